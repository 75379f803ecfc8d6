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
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <random>
#include <utility>

namespace {

// What the rules say the program's state is, derived from the events alone.
struct Model {
    bool makeBut = false, program = false, codeShown = false;
    bool panelShown[2] = {false, false};
    int pointCount = 0;
    bool fullReported = false; // the full-outline error is reported once per mouse-down
    bool overwritten = false;  // a vertex past the capacity took the closing copy's slot
    // The outline's point lines end the procedure text, after the text they were appended to.
    int lines = 0;
    QString before;
    bool textReplaced = false; // by a generator in this event: it starts a new "before"

    void reset() {
        makeBut = program = panelShown[0] = panelShown[1] = false;
        emptyOutline();
        before.clear();
    }
    void emptyOutline() { pointCount = lines = 0; }
    void showPanel(int panel) {
        panelShown[panel] = true;
        panelShown[1 - panel] = false;
    }
    // A vertex arrives; returns the number of messages it brings.
    int capture() {
        if (pointCount < Outline::kSlots - 1) {
            fullReported = overwritten = false;
            ++pointCount;
            return 0;
        }
        overwritten = true;
        return std::exchange(fullReported, true) ? 0 : 1;
    }
};

// Every CR is followed by LF and every LF follows a CR. Only the part added since the last look
// is scanned when the text grew at its end: the procedure grows by a line per vertex.
struct LineEnds {
    QString last;
    qsizetype firstBad(const QString &text) {
        qsizetype from = 0;
        if (!last.isEmpty() && text.startsWith(last))
            from = last.size() - 1; // a CR at the old end needs the new first character
        last = text;
        for (qsizetype i = from; i < text.size(); ++i) {
            const bool crAlone = text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n');
            const bool lfAlone = text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r');
            if (crAlone || lfAlone)
                return i;
        }
        return -1;
    }
};

// The window of a class that is open, or nullptr: a closed one is deleted as it closes here.
template <class W> W *openWindow() {
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *found = qobject_cast<W *>(window))
            return found;
    }
    return nullptr;
}

// The offscreen platform has no window shapes and no stacking; its complaints about each of
// thousands of calls would bury the test's own output.
QtMessageHandler s_previousHandler = nullptr;

void quietAboutOffscreenLimits(QtMsgType type, const QMessageLogContext &context,
                               const QString &message) {
    if (type != QtWarningMsg || !message.startsWith(QLatin1String("This plugin does not support")))
        s_previousHandler(type, context, message);
}

// The per-event checks build their message only for a failure.
#define CHECK(condition, what)                                                                     \
    do {                                                                                           \
        if (!(condition))                                                                          \
            QFAIL(qPrintable(where(what)));                                                        \
    } while (false)

} // namespace

class TestRandomEvents : public QObject {
    Q_OBJECT

private slots:
    void randomEventsKeepTheRules();

private:
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    float coordinate(float size);
    QString boxText();

    std::mt19937_64 m_random;
};

// Mostly inside the window; else on its edge, a hair either side, or as far out as a drag goes.
float TestRandomEvents::coordinate(float size) {
    static constexpr float kEdgeOffsets[] = {-7.5f, -1.0f, -0.5f, 0.0f, 0.5f, 1.0f, 7.5f};
    const int kind = below(100);
    if (kind < 70)
        return std::uniform_real_distribution<float>(0, size)(m_random);
    if (kind < 85)
        return (below(2) ? size : 0.0f) + kEdgeOffsets[below(int(std::size(kEdgeOffsets)))];
    return std::uniform_real_distribution<float>(-3 * size, 4 * size)(m_random);
}

// The texts a user may leave in a parameter box.
QString TestRandomEvents::boxText() {
    static const QStringList kTexts =
        QStringLiteral("|0|100|-150|5000|32767|32768|-32768|-32769|32767.5|+|-|-+-|.|-.|&H|&H7FFF|"
                       "&H8000|&hff|&O777|&Hzz|1e4|3.2767e4|1e400|-1e400|1e-999|2D3|1e|1e+|  12  |"
                       "\t-7|12abc|Привет|1,5|nan|9999999999999999999999|&H7FFFFFFFFFFFFFFF")
            .split(u'|');
    // Huge ones: a prefix, thousands of one character, a tail.
    static const char16_t *const kHuge[][3] = {
        {u"", u"9", u""},  {u"", u" ", u"250"}, {u"", u"0", u"42"}, {u"1.", u"5", u""},
        {u"+", u"-", u""}, {u"&H", u"F", u""},  {u"1e", u"9", u""}};
    const int kind = below(10);
    if (kind < 6)
        return kTexts.at(below(kTexts.size()));
    if (kind == 6)
        return QString::number(below(12001) - 6000);
    const auto &huge = kHuge[below(int(std::size(kHuge)))];
    return QString::fromUtf16(huge[0]) + QString(1000 + below(11000), QChar(*huge[1])) +
           QString::fromUtf16(huge[2]);
}

void TestRandomEvents::randomEventsKeepTheRules() {
    bool seedOk = false, eventsOk = false;
    const quint64 seed = qEnvironmentVariable("ZARNIK_SEED", "20261206").toULongLong(&seedOk, 0);
    const int events = qEnvironmentVariable("ZARNIK_EVENTS", "100000").toInt(&eventsOk);
    QVERIFY2(seedOk && eventsOk && events >= 0, "ZARNIK_SEED or ZARNIK_EVENTS is not a number");
    std::printf("random events: seed %llu (ZARNIK_SEED), %d events (ZARNIK_EVENTS)\n",
                static_cast<unsigned long long>(seed), events);
    std::fflush(stdout);
    m_random.seed(seed);

    QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    s_previousHandler = qInstallMessageHandler(quietAboutOffscreenLimits);
    QStringList warnings;
    platform::setWarningSinkForTesting([&](const QString &text) { warnings << text; });
    platform::setTwipsPerPixelForTesting(15, 15);
    const auto closeNow = [](QWidget *window) {
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };

    MainForm form;
    const auto item = [&](const char *name) { return form.findChild<QAction *>(name); };
    QAction *const makeBut = item("MakeBut"), *const program = item("Program");
    QAction *const menu[] = {makeBut,           program,      item("RestBut"), item("MakeEllipse"),
                             item("RoundRect"), item("about")};
    QWidget *const panels[] = {form.findChild<QWidget *>("ParFrm(0)"),
                               form.findChild<QWidget *>("ParFrm(1)")};
    QLineEdit *boxes[10];
    for (int i = 0; i < 10; ++i)
        boxes[i] = form.findChild<QLineEdit *>(QStringLiteral("SetPar(%1)").arg(i));
    QPushButton *const buttons[] = {form.findChild<QPushButton *>("CircleOkBut"),
                                    form.findChild<QPushButton *>("RectOkBut")};
    Model model;
    LineEnds declareEnds, procedureEnds;
    const QString overflowText = platform::runtimeErrorText(platform::ErrOverflow);
    const QString fullText = platform::runtimeErrorText(platform::ErrSubscriptOutOfRange);
    int dragBurst = 0, polygonRuns = 0, shapeRuns = 0, shapeOverflows = 0;

    for (int step = 0; step < events; ++step) {
        warnings.clear();
        QStringList expectedWarnings;
        bool polygonRun = false, boxClick = false;
        QString event;
        const OutForm *codeBefore = openWindow<OutForm>();
        const QString procedureBefore = codeBefore ? codeBefore->saveFormatText() : QString();

        // Now and then the user traces a long stretch with the right button held.
        if (dragBurst == 0 && below(1000) < 3)
            dragBurst = 100 + below(600);
        int pick = below(1000);
        if (dragBurst > 0) {
            --dragBurst;
            pick = 330; // a mouse move
        }
        if (pick < 330) { // mouse-down: mostly left clicks
            static constexpr int kButtons[] = {1, 1, 1, 1, 1, 1, 2, 4};
            const int button = kButtons[below(8)];
            // A few presses far beyond any screen: their pixels do not fit in 16 bits.
            const bool far = below(200) == 0;
            const float x =
                far ? (below(2) ? 1.0e6f : -1.0e6f) : coordinate(MainForm::kClientWidthTwips);
            const float y = coordinate(MainForm::kClientHeightTwips);
            event = QStringLiteral("mouse-down %1 at (%2, %3)").arg(button).arg(x).arg(y);
            platform::runHandler([&] { form.Form_MouseDown(button, 0, x, y); });
            model.fullReported = false;
            if (model.pointCount > 1)
                model.makeBut = true;
            if (model.program)
                model.reset();
            model.lines += button == 1 && !far;
            if (button == 1 && (far || model.capture()))
                expectedWarnings << (far ? overflowText : fullText);
        } else if (pick < 700) { // mouse moves: mostly right-button drags
            static constexpr int kButtons[] = {2, 2, 2, 2, 2, 2, 0, 1, 3, 4, 6, 7};
            const int button = dragBurst > 0 ? 2 : kButtons[below(12)];
            const float x = coordinate(MainForm::kClientWidthTwips);
            const float y = coordinate(MainForm::kClientHeightTwips);
            event = QStringLiteral("mouse-move %1 at (%2, %3)").arg(button).arg(x).arg(y);
            platform::runHandler([&] { form.Form_MouseMove(button, 0, x, y); });
            model.lines += button == 2;
            if (button == 2 && model.capture())
                expectedWarnings << fullText;
        } else if (pick < 760) { // the menu, enabled items or not: a disabled item does nothing
            QAction *chosen = menu[below(6)];
            event = QStringLiteral("menu %1").arg(chosen->text());
            chosen->trigger();
            if (chosen == makeBut && model.makeBut) {
                model.makeBut = false;
                model.program = model.program || model.pointCount > 2;
                model.lines = 0; // wrapped into the generated text
                model.textReplaced = true;
                polygonRun = true;
                ++polygonRuns;
            } else if (chosen == program && model.program) {
                model.codeShown = true;
            } else if (chosen == menu[2]) {
                model.reset();
            } else if (chosen == menu[3] || chosen == menu[4]) {
                model.showPanel(chosen == menu[4]);
            }
        } else if (pick < 880) { // a panel's button, after typing into its boxes
            const int panel = below(2);
            if (!model.panelShown[panel]) {
                menu[3 + panel]->trigger();
                model.showPanel(panel);
            }
            for (int box = panel * 4; box < (panel == 0 ? 4 : 10); ++box)
                if (below(3) != 0) // some boxes keep their text
                    boxes[box]->setText(boxText());
            event = QStringLiteral("button of panel %1").arg(panel);
            buttons[panel]->click();
            model.program = true;
            model.panelShown[panel] = false;
            boxClick = true;
            ++shapeRuns;
        } else if (pick < 920) {
            if (OutForm *code = openWindow<OutForm>(); code && code->isVisible()) {
                event = QStringLiteral("close code window");
                closeNow(code);
                model.makeBut = model.program = model.codeShown = false;
                model.emptyOutline();
                model.before.clear(); // the next code window is a fresh one
            }
        } else if (pick < 960) {
            if (CutForm *preview = openWindow<CutForm>(); preview && preview->isVisible()) {
                event = QStringLiteral("close preview window");
                closeNow(preview);
                model.makeBut = false;
            }
        } else if (pick < 990) { // the main window gets the focus (no panel to take it)
            if (!model.panelShown[0] && !model.panelShown[1]) {
                event = QStringLiteral("focus");
                platform::runHandler([&] { form.Form_GotFocus(); });
                model.emptyOutline();
            }
        } else if (Form2 *aboutWindow = openWindow<Form2>()) { // it goes away with a click
            event = QStringLiteral("close about window");
            aboutWindow->Form_Click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        if (event.isEmpty())
            continue;
        const auto where = [&](const QString &what) {
            return QStringLiteral("%1 after event %2 (%3), seed %4")
                .arg(what, QString::number(step), event, QString::number(seed));
        };
        const Outline &outline = form.outline();
        CHECK(makeBut->isEnabled() == model.makeBut, "\"&Пример\"");
        CHECK(program->isEnabled() == model.program, "\"&Код\"");
        CHECK(outline.PointCount == model.pointCount, "PointCount");
        for (int p = 0; p < 2; ++p)
            CHECK(panels[p]->isHidden() != model.panelShown[p], QStringLiteral("panel %1").arg(p));
        const OutForm *code = openWindow<OutForm>();
        CHECK((code && code->isVisible()) == model.codeShown, "code window");

        // The closing copy of the first vertex sits after the last vertex while there is room.
        const Coordinates closing = outline.XY[std::size_t(outline.PointCount)];
        CHECK(model.overwritten || (closing.X == outline.FirstX && closing.Y == outline.FirstY),
              QStringLiteral("closing copy in XY(%1)").arg(outline.PointCount));

        // A panel's button brings at most the overflow message, and then writes nothing.
        if (boxClick && !warnings.isEmpty()) {
            ++shapeOverflows;
            expectedWarnings << overflowText;
            CHECK(code == codeBefore && (!code || code->saveFormatText() == procedureBefore),
                  "procedure written despite the overflow");
        } else if (boxClick) {
            model.lines = 0;
            model.textReplaced = true;
        }
        CHECK(warnings == expectedWarnings,
              QStringLiteral("messages [%1]").arg(warnings.join(u'|')));

        // The outline, its closing line and its point lines come and go together.
        CHECK((outline.PointCount == 0) == outline.ClosingLine.empty(), "ClosingLine");
        const QString procedure = code ? code->saveFormatText() : QString();
        if (!std::exchange(model.textReplaced, false)) {
            const QString tail = procedure.mid(model.before.size());
            CHECK(procedure.startsWith(model.before) && tail.count(u"\r\n") == model.lines &&
                      (tail.isEmpty() || tail.endsWith(u"\r\n")),
                  QStringLiteral("%1 point lines after the text before the outline")
                      .arg(model.lines));
        }
        if (model.lines == 0)
            model.before = procedure;

        if (code) {
            const qsizetype badDeclare = declareEnds.firstBad(code->declareText());
            const qsizetype badProcedure = procedureEnds.firstBad(code->saveFormatText());
            CHECK(badDeclare < 0 && badProcedure < 0,
                  QStringLiteral("lone CR or LF at %1 (declarations) / %2 (procedure)")
                      .arg(badDeclare)
                      .arg(badProcedure));
        }

        // After the polygon command both counts in the procedure are PointCount.
        if (polygonRun) {
            CHECK(code, "no code window");
            const QStringList lines = code->saveFormatText().split(QStringLiteral("\r\n"));
            CHECK(lines.size() >= 8 && lines.last().isEmpty(), "procedure shape"); // 8: no vertex
            const QString count = QString::number(outline.PointCount);
            const QString redim = lines.at(2), region = lines.at(lines.size() - 3);
            CHECK(redim == "ReDim XY(" + count + ") As Coordinates" &&
                      region == "hRgn = CreatePolygonRgn(XY(0)," + count + ", 2)",
                  QStringLiteral("%1 vertices: \"%2\", \"%3\"").arg(count, redim, region));
        }
    }

    std::printf("random events: %d polygon runs, %d shape runs (%d stopped by an overflow)\n",
                polygonRuns, shapeRuns, shapeOverflows);
    // A long run must reach the polygon command and both outcomes of a panel's button.
    if (events >= 20000)
        QVERIFY(polygonRuns > 0 && shapeOverflows > 0 && shapeOverflows < shapeRuns);

    platform::setTwipsPerPixelForTesting(0, 0);
    platform::setWarningSinkForTesting({});
    qInstallMessageHandler(s_previousHandler);
}

QTEST_MAIN(TestRandomEvents)
#include "tst_random_events.moc"
