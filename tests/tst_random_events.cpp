// Long random runs of user events straight into the handlers. After every event the program's
// state is compared with a small model of the menu rules, the outline count and the panels, and the
// texts in the code window are checked for well-formed line ends.
//
// ZARNIK_SEED picks the run (the seed is printed at the start, so a failing run can be repeated);
// ZARNIK_EVENTS sets how many events it has.
#include "about/Form2.h"
#include "app/MainForm.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/Screen.h"
#include "windows/CutForm.h"
#include "windows/OutForm.h"

#include <QAction>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <random>

namespace {

constexpr float kTwipsPerPixel = 15.0f;
constexpr float kClientWidth = MainForm::kClientWidthTwips;
constexpr float kClientHeight = MainForm::kClientHeightTwips;
constexpr int kMaxVertices = Outline::kSlots - 1;

quint64 seedFromEnvironment() {
    bool ok = false;
    const quint64 seed = qEnvironmentVariable("ZARNIK_SEED").toULongLong(&ok, 0);
    return ok ? seed : 20261206u;
}

int eventCountFromEnvironment() {
    bool ok = false;
    const int count = qEnvironmentVariableIntValue("ZARNIK_EVENTS", &ok);
    return ok && count >= 0 ? count : 100000;
}

// What the rules say the program's state is, derived from the events alone.
struct Model {
    bool makeBut = false;
    bool program = false;
    int pointCount = 0;
    bool fullReported = false;        // the full-outline error is reported once per outline
    bool lastSlotOverwritten = false; // a vertex past the capacity took the closing copy's slot
    bool panelShown[2] = {false, false};
    bool codeShown = false;

    void reset() {
        makeBut = false;
        program = false;
        pointCount = 0;
        panelShown[0] = panelShown[1] = false;
    }

    // A vertex arrives; returns the number of messages it brings.
    int capture() {
        if (pointCount < kMaxVertices) {
            fullReported = false;
            lastSlotOverwritten = false;
            ++pointCount;
            return 0;
        }
        lastSlotOverwritten = true;
        if (fullReported)
            return 0;
        fullReported = true;
        return 1;
    }
};

// A text is well formed when every CR is followed by LF and every LF follows a CR.
qsizetype badLineEnd(const QString &text, qsizetype from) {
    for (qsizetype i = from; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' && (i + 1 >= text.size() || text.at(i + 1) != u'\n'))
            return i;
        if (c == u'\n' && (i == 0 || text.at(i - 1) != u'\r'))
            return i;
    }
    return -1;
}

// Checks a text box's text, scanning only what is new when the text grew at its end.
class LineEndChecker {
public:
    bool check(const QString &text, QString *where) {
        qsizetype from = 0;
        if (text.size() >= m_last.size() && !m_last.isEmpty() && text.startsWith(m_last))
            from = m_last.size() - 1; // a CR at the old end needs the new first character
        const qsizetype bad = badLineEnd(text, from);
        m_last = text;
        if (bad < 0)
            return true;
        *where = QStringLiteral("position %1 of %2: ...%3...")
                     .arg(bad)
                     .arg(text.size())
                     .arg(text.mid(qMax<qsizetype>(0, bad - 30), 60));
        return false;
    }

private:
    QString m_last;
};

} // namespace

class TestRandomEvents : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void randomEventsKeepTheRules();

private:
    // The texts a user may leave in a parameter box.
    QString randomBoxText();
    float randomX();
    float randomY();
    float randomCoordinate(float size);
    void fillBoxes(int first, int count);
    void closeDeletedWindows();

    QTemporaryDir m_runtime;
    std::mt19937_64 m_random;
    QStringList m_warnings;
};

// The offscreen platform has no window shapes and no stacking; its complaints about each of
// thousands of calls would bury the test's own output.
QtMessageHandler s_previousHandler = nullptr;

void quietAboutOffscreenLimits(QtMsgType type, const QMessageLogContext &context,
                               const QString &message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    s_previousHandler(type, context, message);
}

void TestRandomEvents::initTestCase() {
    s_previousHandler = qInstallMessageHandler(quietAboutOffscreenLimits);
    QVERIFY(m_runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    platform::setWarningSinkForTesting([this](const QString &text) { m_warnings << text; });
    platform::setTwipsPerPixelForTesting(kTwipsPerPixel, kTwipsPerPixel);
}

void TestRandomEvents::cleanupTestCase() {
    platform::setTwipsPerPixelForTesting(0, 0);
    platform::setWarningSinkForTesting({});
    qInstallMessageHandler(s_previousHandler);
}

float TestRandomEvents::randomCoordinate(float size) {
    std::uniform_int_distribution<int> kind(0, 99);
    const int k = kind(m_random);
    if (k < 70) // inside
        return std::uniform_real_distribution<float>(0, size)(m_random);
    if (k < 85) { // on the edge, a hair inside or outside
        static constexpr float kOffsets[] = {-1.0f, -0.5f, 0.0f, 0.5f, 1.0f, 7.5f, -7.5f};
        const float offset =
            kOffsets[std::uniform_int_distribution<int>(0, std::size(kOffsets) - 1)(m_random)];
        return (m_random() & 1) ? size + offset : offset;
    }
    // outside, as far as a drag can take the mouse on a large screen
    return std::uniform_real_distribution<float>(-3 * size, 4 * size)(m_random);
}

float TestRandomEvents::randomX() {
    return randomCoordinate(kClientWidth);
}

float TestRandomEvents::randomY() {
    return randomCoordinate(kClientHeight);
}

QString TestRandomEvents::randomBoxText() {
    static const char *const kFixed[] = {"",
                                         "100",
                                         "5000",
                                         "0",
                                         "-150",
                                         "32767",
                                         "32768",
                                         "-32768",
                                         "-32769",
                                         "32767.5",
                                         "-32768.5",
                                         "+",
                                         "-",
                                         "+-",
                                         "--",
                                         "-+-",
                                         ".",
                                         "-.",
                                         "&H",
                                         "&H7FFF",
                                         "&H8000",
                                         "&HFFFF",
                                         "&hff",
                                         "&O777",
                                         "&O",
                                         "&Hzz",
                                         "1e4",
                                         "1E5",
                                         "3.2767e4",
                                         "1e400",
                                         "-1e400",
                                         "1e-999",
                                         "2D3",
                                         "1e",
                                         "1e+",
                                         "  12  ",
                                         "\t-7",
                                         "12abc",
                                         "abc",
                                         "Привет",
                                         "0x10",
                                         "1,5",
                                         "1.5.5",
                                         "nan",
                                         "inf",
                                         "9999999999999999999999",
                                         "&H7FFFFFFFFFFFFFFF"};
    const int kind = std::uniform_int_distribution<int>(0, 9)(m_random);
    if (kind < 6)
        return QString::fromUtf8(
            kFixed[std::uniform_int_distribution<int>(0, std::size(kFixed) - 1)(m_random)]);
    if (kind == 6) // a small number
        return QString::number(std::uniform_int_distribution<int>(-6000, 6000)(m_random));
    const int length = std::uniform_int_distribution<int>(1000, 12000)(m_random);
    switch (std::uniform_int_distribution<int>(0, 4)(m_random)) {
    case 0: // huge digits
        return QString(length, u'9');
    case 1: // a number behind thousands of blanks
        return QString(length, u' ') + QStringLiteral("250");
    case 2: // a long fraction
        return QStringLiteral("1.") + QString(length, u'5');
    case 3: // zeros before a small number
        return QString(length, u'0') + QStringLiteral("42");
    default: { // garbage
        QString text;
        text.reserve(length);
        std::uniform_int_distribution<int> ch(1, 0x4ff);
        for (int i = 0; i < length; ++i)
            text += QChar(char16_t(ch(m_random)));
        return text;
    }
    }
}

void TestRandomEvents::fillBoxes(int first, int count) {
    MainForm *form = MainForm::instance();
    for (int i = first; i < first + count; ++i) {
        if (std::uniform_int_distribution<int>(0, 2)(m_random) != 0) // some boxes keep their text
            form->SetPar[i]->setText(randomBoxText());
    }
}

void TestRandomEvents::closeDeletedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestRandomEvents::randomEventsKeepTheRules() {
    const quint64 seed = seedFromEnvironment();
    const int events = eventCountFromEnvironment();
    std::printf("random events: seed %llu (ZARNIK_SEED), %d events (ZARNIK_EVENTS)\n",
                static_cast<unsigned long long>(seed), events);
    std::fflush(stdout);
    m_random.seed(seed);

    MainForm form;
    Model model;
    LineEndChecker declareCheck, procedureCheck;
    const QRegularExpression redimLine(QStringLiteral("^ReDim XY\\((\\d+)\\) As Coordinates$"));
    const QRegularExpression regionLine(
        QStringLiteral("^hRgn = CreatePolygonRgn\\(XY\\(0\\),(\\d+), 2\\)$"));
    const QString overflowText = platform::runtimeErrorText(platform::ErrOverflow);
    const QString fullText = platform::runtimeErrorText(platform::ErrSubscriptOutOfRange);
    int dragBurst = 0;
    int polygonRuns = 0, shapeRuns = 0, shapeOverflows = 0, fullOutlines = 0, maxCount = 0;

    for (int step = 0; step < events; ++step) {
        m_warnings.clear();
        int expectedWarnings = 0;
        bool boxClick = false, polygonRun = false, resetRan = false;
        int clickedPanel = -1;
        QString event;
        const QString declareBefore =
            OutForm::loaded() ? OutForm::loaded()->declareText() : QString();
        const QString procedureBefore =
            OutForm::loaded() ? OutForm::loaded()->saveFormatText() : QString();
        const bool codeLoadedBefore = OutForm::loaded() != nullptr;

        // Now and then the user traces a long stretch with the right button held.
        if (dragBurst == 0 && std::uniform_int_distribution<int>(0, 999)(m_random) < 3)
            dragBurst = std::uniform_int_distribution<int>(100, 700)(m_random);
        int pick = std::uniform_int_distribution<int>(0, 999)(m_random);
        if (dragBurst > 0) {
            --dragBurst;
            pick = 330; // a mouse move
        }
        if (pick < 330) { // mouse-down: mostly left clicks
            static constexpr int kButtons[] = {1, 1, 1, 1, 1, 1, 2, 4};
            const int button = kButtons[std::uniform_int_distribution<int>(0, 7)(m_random)];
            // A few presses far beyond any screen: their pixels do not fit in 16 bits.
            const bool far = std::uniform_int_distribution<int>(0, 199)(m_random) == 0;
            const float x = far ? (m_random() & 1 ? 1.0e6f : -1.0e6f) : randomX();
            const float y = randomY();
            event = QStringLiteral("mouse-down %1 at (%2, %3)").arg(button).arg(x).arg(y);
            platform::runHandler([&] { form.Form_MouseDown(button, 0, x, y); });
            if (model.pointCount > 1)
                model.makeBut = true;
            if (model.program) {
                model.reset();
                resetRan = true;
            }
            if (button == 1) {
                if (far)
                    expectedWarnings = 1;
                else
                    expectedWarnings = model.capture();
            }
        } else if (pick < 700) { // mouse moves: mostly right-button drags
            static constexpr int kButtons[] = {2, 2, 2, 2, 2, 2, 0, 1, 3, 4, 6, 7};
            int button = kButtons[std::uniform_int_distribution<int>(0, 11)(m_random)];
            if (dragBurst > 0)
                button = 2;
            const float x = randomX();
            const float y = randomY();
            event = QStringLiteral("mouse-move %1 at (%2, %3)").arg(button).arg(x).arg(y);
            platform::runHandler([&] { form.Form_MouseMove(button, 0, x, y); });
            if (button == 2)
                expectedWarnings = model.capture();
        } else if (pick < 760) { // the menu, enabled items or not
            QAction *const items[] = {form.MakeBut,     form.Program,   form.RestBut,
                                      form.MakeEllipse, form.RoundRect, form.about};
            QAction *item = items[std::uniform_int_distribution<int>(0, 5)(m_random)];
            event = QStringLiteral("menu %1").arg(item->text());
            const bool enabled = item->isEnabled();
            item->trigger(); // a disabled item does nothing
            if (item == form.MakeBut && model.makeBut) {
                QVERIFY2(enabled, qPrintable(event));
                model.makeBut = false;
                if (model.pointCount > 2)
                    model.program = true;
                polygonRun = true;
                ++polygonRuns;
            } else if (item == form.Program && model.program) {
                model.codeShown = true;
            } else if (item == form.RestBut) {
                model.reset();
                resetRan = true;
                QVERIFY2(
                    OutForm::loaded() && OutForm::loaded()->saveFormatText().isEmpty(),
                    qPrintable(QStringLiteral("procedure kept by the reset at event %1, seed %2")
                                   .arg(step)
                                   .arg(seed)));
            } else if (item == form.MakeEllipse) {
                model.panelShown[0] = true;
                model.panelShown[1] = false;
            } else if (item == form.RoundRect) {
                model.panelShown[0] = false;
                model.panelShown[1] = true;
            }
        } else if (pick < 880) { // a panel's button, after typing into its boxes
            const int panel = std::uniform_int_distribution<int>(0, 1)(m_random);
            if (!model.panelShown[panel]) {
                event = QStringLiteral("show panel %1").arg(panel);
                (panel == 0 ? form.MakeEllipse : form.RoundRect)->trigger();
                model.panelShown[panel] = true;
                model.panelShown[1 - panel] = false;
            }
            if (panel == 0)
                fillBoxes(0, 4);
            else
                fillBoxes(4, 6);
            event += QStringLiteral(" button of panel %1").arg(panel);
            (panel == 0 ? form.CircleOkBut : form.RectOkBut)->click();
            model.program = true;
            model.panelShown[panel] = false;
            boxClick = true;
            clickedPanel = panel;
            ++shapeRuns;
        } else if (pick < 920) { // the user closes the code window
            if (OutForm *code = OutForm::loaded(); code && code->isVisible()) {
                event = QStringLiteral("close code window");
                code->close();
                closeDeletedWindows();
                model.makeBut = model.program = false;
                model.codeShown = false;
            }
        } else if (pick < 960) { // the user closes the preview window
            if (CutForm *preview = CutForm::loaded(); preview && preview->isVisible()) {
                event = QStringLiteral("close preview window");
                preview->close();
                closeDeletedWindows();
                model.makeBut = false;
            }
        } else if (pick < 990) { // the main window itself gets the focus (no panel to take it)
            if (!model.panelShown[0] && !model.panelShown[1]) {
                event = QStringLiteral("focus");
                platform::runHandler([&] { form.Form_GotFocus(); });
                model.pointCount = 0;
            }
        } else { // the about window goes away with a click
            if (Form2 *aboutWindow = Form2::loaded()) {
                event = QStringLiteral("close about window");
                aboutWindow->Form_Click();
                closeDeletedWindows();
            }
        }
        if (event.isEmpty())
            continue;
        const QString where =
            QStringLiteral("event %1 (%2), seed %3").arg(step).arg(event).arg(seed);
        const auto fail = [&](const QString &what) {
            return qPrintable(what + QStringLiteral(" after ") + where);
        };

        // The menu, the outline and the panels follow the rules.
        QVERIFY2(form.MakeBut->isEnabled() == model.makeBut, fail(QStringLiteral("\"&Пример\"")));
        QVERIFY2(form.Program->isEnabled() == model.program, fail(QStringLiteral("\"&Код\"")));
        QVERIFY2(form.outline.PointCount == model.pointCount, fail(QStringLiteral("PointCount")));
        for (int p = 0; p < 2; ++p)
            QVERIFY2(!form.ParFrm[p]->isHidden() == model.panelShown[p],
                     fail(QStringLiteral("panel %1").arg(p)));
        const OutForm *code = OutForm::loaded();
        QVERIFY2((code && code->isVisible()) == model.codeShown,
                 fail(QStringLiteral("code window")));
        maxCount = qMax(maxCount, model.pointCount);

        // The closing copy of the first vertex sits after the last vertex while there is room.
        if (!model.lastSlotOverwritten) {
            const Coordinates closing = form.outline.XY[std::size_t(form.outline.PointCount)];
            QVERIFY2(closing.X == form.outline.FirstX && closing.Y == form.outline.FirstY,
                     fail(QStringLiteral("closing copy in XY(%1)").arg(form.outline.PointCount)));
        }
        if (model.lastSlotOverwritten && expectedWarnings == 1)
            ++fullOutlines;

        // Messages: the mouse brings exactly those the model expects; a box at most one overflow.
        for (const QString &warning : std::as_const(m_warnings))
            QVERIFY2(warning == overflowText || warning == fullText,
                     fail(QStringLiteral("message \"%1\"").arg(warning)));
        if (boxClick) {
            QVERIFY2(m_warnings.size() <= 1, fail(QStringLiteral("messages")));
            if (!m_warnings.isEmpty()) {
                ++shapeOverflows;
                QCOMPARE_EQ(m_warnings.first(), overflowText);
                // Nothing is written when a box does not fit.
                QVERIFY2((OutForm::loaded() != nullptr) == codeLoadedBefore,
                         fail(QStringLiteral("code window made")));
                if (codeLoadedBefore) {
                    QVERIFY2(OutForm::loaded()->declareText() == declareBefore,
                             fail(QStringLiteral("declarations written")));
                    QVERIFY2(OutForm::loaded()->saveFormatText() == procedureBefore,
                             fail(QStringLiteral("procedure written")));
                }
            } else {
                const QString head = clickedPanel == 0
                                         ? QStringLiteral("Dim MakeCircle As String\r\n")
                                         : QStringLiteral("Dim MakeRegion As Long\r\n");
                QVERIFY2(OutForm::loaded()->saveFormatText().startsWith(head),
                         fail(QStringLiteral("shape procedure")));
                QVERIFY2(OutForm::loaded()->declareText().endsWith(declareBefore),
                         fail(QStringLiteral("declarations kept after the new ones")));
            }
        } else {
            QVERIFY2(m_warnings.size() == expectedWarnings,
                     fail(QStringLiteral("%1 messages, %2 expected")
                              .arg(m_warnings.size())
                              .arg(expectedWarnings)));
        }

        // Every generated text is well formed.
        if (const OutForm *out = OutForm::loaded()) {
            QString bad;
            QVERIFY2(declareCheck.check(out->declareText(), &bad),
                     fail(QStringLiteral("line end in DeclareText at ") + bad));
            QVERIFY2(procedureCheck.check(out->saveFormatText(), &bad),
                     fail(QStringLiteral("line end in SaveFormat at ") + bad));
        }

        // After the polygon command both counts in the procedure are PointCount.
        if (polygonRun) {
            QVERIFY2(CutForm::loaded() && CutForm::loaded()->isVisible(),
                     fail(QStringLiteral("preview shown")));
            const QStringList lines =
                OutForm::loaded()->saveFormatText().split(QStringLiteral("\r\n"));
            QVERIFY2(lines.size() >= 9, fail(QStringLiteral("procedure length")));
            const auto redim = redimLine.match(lines.at(2));
            const auto region = regionLine.match(lines.at(lines.size() - 3));
            QVERIFY2(redim.hasMatch(), fail(QStringLiteral("ReDim line ") + lines.at(2)));
            QVERIFY2(region.hasMatch(),
                     fail(QStringLiteral("region line ") + lines.at(lines.size() - 3)));
            QVERIFY2(redim.captured(1).toInt() == form.outline.PointCount &&
                         region.captured(1).toInt() == form.outline.PointCount,
                     fail(QStringLiteral("counts %1 and %2 for %3 vertices")
                              .arg(redim.captured(1), region.captured(1))
                              .arg(form.outline.PointCount)));
            QCOMPARE_EQ(lines.last(), QString()); // the last line ends in CR LF too
        }
        if (resetRan)
            QVERIFY2(!CutForm::loaded() || CutForm::loaded()->isHidden(),
                     fail(QStringLiteral("preview hidden by the reset")));
    }

    std::printf("random events: %d polygon runs, %d shape runs (%d stopped by an overflow), "
                "%d full outlines, largest outline %d\n",
                polygonRuns, shapeRuns, shapeOverflows, fullOutlines, maxCount);
    // The run must have reached the interesting places; a change in the mix would show here.
    if (events >= 20000) {
        QVERIFY(polygonRuns > 0);
        QVERIFY(shapeOverflows > 0 && shapeOverflows < shapeRuns);
    }

    if (Form2 *aboutWindow = Form2::loaded())
        aboutWindow->close();
    if (CutForm *preview = CutForm::loaded())
        preview->close();
    if (OutForm *out = OutForm::loaded())
        out->close();
    closeDeletedWindows();
}

QTEST_MAIN(TestRandomEvents)
#include "tst_random_events.moc"
