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

class TestDesktopFaults : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        platform::setWarningSinkForTesting([this](const QString &text) { m_warnings << text; });
        platform::setTwipsPerPixelForTesting(15, 15);
    }
    void init() {
        m_warnings.clear();
        m_form = std::make_unique<MainForm>();
    }
    void cleanup() {
        for (QWidget *window :
             {static_cast<QWidget *>(Form2::loaded()), static_cast<QWidget *>(CutForm::loaded()),
              static_cast<QWidget *>(OutForm::loaded())})
            if (window)
                window->close();
        m_form.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void tenThousandCharactersInABox_data();
    void tenThousandCharactersInABox();
    void linkWithNoUrlHandler();

private:
    static constexpr int kLongTextLength = 10000;
    // A safety net against work that grows badly with the text or waits on the desktop, not a
    // measurement: each step here takes a few milliseconds.
    static constexpr qint64 kQuickMs = 5000;
    QTemporaryDir m_runtime;
    std::unique_ptr<MainForm> m_form;
    QStringList m_warnings;
};

void TestDesktopFaults::tenThousandCharactersInABox_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("left"); // the left edge as written; empty: the overflow message
    const int n = kLongTextLength;
    QTest::newRow("digits") << QString(n, u'9') << QString();
    QTest::newRow("blanks before a number") << QString(n - 2, u' ') + "12" << QStringLiteral("12");
    QTest::newRow("a long fraction") << "1." + QString(n - 2, u'6') << QStringLiteral("2");
    QTest::newRow("a huge exponent") << "1e" + QString(n - 2, u'9') << QString();
    QTest::newRow("signs") << QString(n, u'-') << QStringLiteral("0");
}

// Put into the ellipse panel's first box (the left edge) and run through the generator: either
// the overflow message with nothing written, or the number read from the text's prefix.
void TestDesktopFaults::tenThousandCharactersInABox() {
    QFETCH(QString, text);
    QFETCH(QString, left);
    m_form->MakeEllipse->trigger();
    QLineEdit *box = m_form->SetPar[0];
    box->selectAll();
    box->insert(text); // as a paste: the box must take all of it
    QCOMPARE(box->text().size(), kLongTextLength);

    QElapsedTimer timer;
    timer.start();
    m_form->CircleOkBut->click();
    QVERIFY2(timer.elapsed() < kQuickMs, qPrintable(QString::number(timer.elapsed()) + " ms"));

    if (left.isEmpty()) {
        QCOMPARE(m_warnings, QStringList{platform::runtimeErrorText(platform::ErrOverflow)});
        QVERIFY(!OutForm::loaded() || OutForm::loaded()->saveFormatText().isEmpty());
    } else {
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.join(u'|')));
        const QStringList lines = OutForm::ref().saveFormatText().split(QStringLiteral("\r\n"));
        QVERIFY(lines.size() > 3);
        QCOMPARE(lines.at(2),
                 "MakeCircle = CreateEllipticRgn(" + left + "/ Screen.TwipsPerPixelX, _");
    }
}

// With no program on the PATH to open links, a click on either link still closes the about window
// at once, and the program goes on.
void TestDesktopFaults::linkWithNoUrlHandler() {
    platform::setShellOpenerForTesting({}); // the desktop's own handler
    const QByteArray path = qgetenv("PATH"), browser = qgetenv("BROWSER");
    qputenv("PATH", "");
    qunsetenv("BROWSER");

    QElapsedTimer timer;
    timer.start();
    for (void (Form2::*link)() : {&Form2::Label7_Click, &Form2::Label5_Click}) { // web, mail
        m_form->about->trigger();
        QVERIFY(Form2::loaded());
        (Form2::loaded()->*link)();
        QVERIFY(!Form2::loaded());
    }
    const qint64 elapsed = timer.elapsed();
    qputenv("PATH", path);
    if (!browser.isNull())
        qputenv("BROWSER", browser);

    QVERIFY2(elapsed < kQuickMs, qPrintable(QString::number(elapsed) + " ms"));
    QVERIFY(m_warnings.isEmpty());
    m_form->about->trigger(); // the program still answers
    QVERIFY(Form2::loaded());
}

QTEST_MAIN(TestDesktopFaults)
#include "tst_desktop_faults.moc"
