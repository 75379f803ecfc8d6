// What the program does when the desktop or the user hands it something unusual: a parameter box
// holding ten thousand characters, and a link with no URL handler installed.
#include "about/Form2.h"
#include "app/MainForm.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/Screen.h"
#include "platform/Shell.h"
#include "windows/CutForm.h"
#include "windows/OutForm.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kLongTextLength = 10000;
// A safety net against work that grows badly with the text, not a measurement: a click takes a
// few milliseconds here, and much longer only if something is quadratic.
constexpr qint64 kQuickMs = 5000;

} // namespace

class TestDesktopFaults : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void tenThousandCharactersInABox_data();
    void tenThousandCharactersInABox();
    void linkWithNoUrlHandler();

private:
    QTemporaryDir m_runtime;
    MainForm *m_form = nullptr;
    QStringList m_warnings;
};

void TestDesktopFaults::initTestCase() {
    QVERIFY(m_runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
}

void TestDesktopFaults::init() {
    m_warnings.clear();
    platform::setWarningSinkForTesting([this](const QString &text) { m_warnings << text; });
    platform::setTwipsPerPixelForTesting(15, 15);
    m_form = new MainForm;
}

void TestDesktopFaults::cleanup() {
    if (Form2 *about = Form2::loaded())
        about->close();
    if (CutForm *preview = CutForm::loaded())
        preview->close();
    if (OutForm *code = OutForm::loaded())
        code->close();
    delete m_form;
    m_form = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    platform::setTwipsPerPixelForTesting(0, 0);
    platform::setWarningSinkForTesting({});
    platform::setShellOpenerForTesting({});
}

void TestDesktopFaults::tenThousandCharactersInABox_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>(
        "left"); // the left edge as written into the procedure; empty: overflow
    const auto filled = [](char16_t c, int length) { return QString(length, QChar(c)); };
    QTest::newRow("digits") << filled(u'9', kLongTextLength) << QString();
    QTest::newRow("blanks before a number")
        << filled(u' ', kLongTextLength - 2) + "12" << QStringLiteral("12");
    QTest::newRow("zeros before a number")
        << filled(u'0', kLongTextLength - 2) + "42" << QStringLiteral("42");
    QTest::newRow("a long fraction")
        << "1." + filled(u'6', kLongTextLength - 2) << QStringLiteral("2");
    QTest::newRow("a huge exponent") << "1e" + filled(u'9', kLongTextLength - 2) << QString();
    QTest::newRow("a tiny exponent")
        << "7e-" + filled(u'9', kLongTextLength - 3) << QStringLiteral("0");
    QTest::newRow("signs") << filled(u'-', kLongTextLength) << QStringLiteral("0");
    QTest::newRow("letters") << filled(u'z', kLongTextLength) << QStringLiteral("0");
    QTest::newRow("hex digits") << "&H" + filled(u'F', kLongTextLength - 2) << QString();
}

// Put into the ellipse panel's first box (the left edge) and run through the generator: either
// the overflow message with nothing written, or the number read from the text's prefix.
void TestDesktopFaults::tenThousandCharactersInABox() {
    QFETCH(QString, text);
    QFETCH(QString, left);
    m_form->MakeEllipse->trigger();
    QLineEdit *box = m_form->SetPar[0];
    box->setMaxLength(32767); // a text box takes as much as a user can paste
    box->clear();
    // Pasted, then the last characters typed: typing all of it key by key takes the line edit
    // itself seconds.
    box->insert(text.left(kLongTextLength - 10));
    QTest::keyClicks(box, text.right(10));
    QCOMPARE(box->text().size(), kLongTextLength);

    QElapsedTimer timer;
    timer.start();
    m_form->CircleOkBut->click();
    const qint64 elapsed = timer.elapsed();
    QVERIFY2(elapsed < kQuickMs, qPrintable(QStringLiteral("took %1 ms").arg(elapsed)));
    QVERIFY(m_form->Program->isEnabled());

    if (left.isEmpty()) {
        QCOMPARE(m_warnings, QStringList{platform::runtimeErrorText(platform::ErrOverflow)});
        QVERIFY(!OutForm::loaded() || OutForm::loaded()->saveFormatText().isEmpty());
    } else {
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.join(u'|')));
        const QStringList lines = OutForm::ref().saveFormatText().split(QStringLiteral("\r\n"));
        QVERIFY(lines.size() > 3);
        QCOMPARE(lines.at(2),
                 "MakeCircle = CreateEllipticRgn(" + left + "/ Screen.TwipsPerPixelX, _");
        QVERIFY(CutForm::loaded() && CutForm::loaded()->isVisible());
    }
}

// With no program on the PATH to open links, a click on a link still closes the about window at
// once, and the program goes on.
void TestDesktopFaults::linkWithNoUrlHandler() {
    platform::setShellOpenerForTesting({}); // the desktop's own handler
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "");
    const QString noBrowsers[] = {QStringLiteral("BROWSER"), QStringLiteral("DEFAULT_BROWSER")};
    QHash<QString, QByteArray> saved;
    for (const QString &name : noBrowsers) {
        saved[name] = qgetenv(name.toLatin1());
        qunsetenv(name.toLatin1());
    }

    QElapsedTimer timer;
    timer.start();
    m_form->about->trigger();
    QVERIFY(Form2::loaded());
    Form2::loaded()->Label7_Click(); // the web link
    QVERIFY(!Form2::loaded());
    m_form->about->trigger();
    QVERIFY(Form2::loaded());
    Form2::loaded()->Label5_Click(); // the mail link
    QVERIFY(!Form2::loaded());
    const qint64 elapsed = timer.elapsed();

    qputenv("PATH", path);
    for (const QString &name : noBrowsers) {
        if (!saved[name].isNull())
            qputenv(name.toLatin1(), saved[name]);
    }
    QVERIFY2(elapsed < kQuickMs, qPrintable(QStringLiteral("took %1 ms").arg(elapsed)));
    QVERIFY(m_warnings.isEmpty());
    m_form->about->trigger(); // the program still answers
    QVERIFY(Form2::loaded());
}

QTEST_MAIN(TestDesktopFaults)
#include "tst_desktop_faults.moc"
