// Long random runs of user events straight into the handlers. After every event the program's
// state is compared with the rules as this test states them on its own: the menu's two flags, the
// outline count, the panels, the code window, the messages and the procedure text.
//
// ZARNIK_SEED picks the run (the seed is printed at the start, so a failing run can be repeated);
// ZARNIK_EVENTS sets how many events it has.
#include "app/MainForm.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/Screen.h"
#include "windows/CutForm.h"
#include "windows/OutForm.h"

#include <QtTest>
#include <QtWidgets>

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
    // The outline's point lines end the procedure text, after the text they were appended to.
    int lines = 0;
    QString before;
    bool textReplaced = false; // by a generator in this event: it starts a new "before"

    void emptyOutline() { pointCount = lines = 0; }
    void reset() {
        makeBut = program = panelShown[0] = panelShown[1] = false;
        emptyOutline();
        before.clear(); // the procedure text is emptied
    }
    // A vertex arrives; returns whether it brings the full-outline message.
    bool capture() {
        if (pointCount < Outline::kSlots - 1) {
            fullReported = false;
            ++pointCount;
            return false;
        }
        return !std::exchange(fullReported, true);
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

// The texts a user may leave in a parameter box.
const QStringList kBoxTexts =
    QStringLiteral("|0|100|-150|5000|32767|32768|-32768|-32769|32767.5|+|-|-+-|.|-.|&H|&H7FFF|"
                   "&H8000|&hff|&O777|&Hzz|1e4|3.2767e4|1e400|-1e400|1e-999|2D3|1e|1e+|  12  |"
                   "\t-7|12abc|Привет|1,5|nan|9999999999999999999999|&H7FFFFFFFFFFFFFFF")
        .split(u'|');

// The per-event checks build their message only for a failure.
#define CHECK(condition, what)                                                                     \
    do {                                                                                           \
        if (!(condition))                                                                          \
            QFAIL(                                                                                 \
                qPrintable(QStringLiteral("%1 after event %2 (%3), seed %4")                       \
                               .arg(what, QString::number(step), event, QString::number(seed))));  \
    } while (false)

} // namespace

class TestRandomEvents : public QObject {
    Q_OBJECT

private slots:
    void randomEventsKeepTheRules();
};

void TestRandomEvents::randomEventsKeepTheRules() {
    const quint64 seed = qEnvironmentVariable("ZARNIK_SEED", "20261206").toULongLong(nullptr, 0);
    const int events = qEnvironmentVariable("ZARNIK_EVENTS", "100000").toInt();
    std::printf("random events: seed %llu (ZARNIK_SEED), %d events (ZARNIK_EVENTS)\n",
                static_cast<unsigned long long>(seed), events);
    std::fflush(stdout);
    std::mt19937_64 random(seed);
    const auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    // Mostly inside the window; else on its edge, a hair either side, or as far as a drag goes.
    const auto coordinate = [&](float size) {
        const int kind = below(100);
        return kind < 70   ? std::uniform_real_distribution<float>(0, size)(random)
               : kind < 85 ? (below(2) ? size : 0.0f) +
                                 std::array{-7.5f, -1.0f, -0.5f, 0.0f, 0.5f, 1.0f, 7.5f}[below(7)]
                           : std::uniform_real_distribution<float>(-3 * size, 4 * size)(random);
    };

    // The offscreen platform's complaint about each of thousands of shapes and raises would bury
    // the test's own output.
    QLoggingCategory::setFilterRules(QStringLiteral("default.warning=false"));
    QStringList warnings;
    platform::setWarningSinkForTesting([&](const QString &text) { warnings << text; });
    platform::setTwipsPerPixelForTesting(15, 15);

    MainForm form;
    const auto item = [&](const char *name) { return form.findChild<QAction *>(name); };
    QAction *const makeBut = item("MakeBut"), *const program = item("Program");
    QAction *const menu[] = {makeBut,           program,      item("RestBut"), item("MakeEllipse"),
                             item("RoundRect"), item("about")};
    // A panel is made when it is first shown.
    const auto panelHidden = [&](int p) {
        const auto *panel = form.findChild<QWidget *>(QStringLiteral("ParFrm(%1)").arg(p));
        return !panel || panel->isHidden();
    };
    const char *const buttons[] = {"CircleOkBut", "RectOkBut"};
    Model model;
    const QString overflowText = platform::runtimeErrorText(platform::ErrOverflow);
    const QString fullText = platform::runtimeErrorText(platform::ErrSubscriptOutOfRange);
    int dragBurst = 0;

    for (int step = 0; step < events; ++step) {
        warnings.clear();
        QStringList expectedWarnings;
        bool boxClick = false;
        QString event;

        // Now and then the user traces a long stretch with the right button held.
        if (dragBurst == 0 && below(1000) < 3)
            dragBurst = 100 + below(600);
        const int pick = dragBurst > 0 ? (--dragBurst, 330) : below(1000);
        if (pick < 330) { // mouse-down: mostly left clicks
            const int button = std::array{1, 1, 1, 1, 1, 1, 2, 4}[below(8)];
            // A few presses far beyond any screen: their pixels do not fit in 16 bits.
            const bool far = below(200) == 0;
            const float x =
                far ? (below(2) ? 1.0e6f : -1.0e6f) : coordinate(MainForm::kClientWidthTwips);
            const float y = coordinate(MainForm::kClientHeightTwips);
            event = QStringLiteral("mouse-down %1 at (%2, %3)").arg(button).arg(x).arg(y);
            platform::runHandler([&] { form.Form_MouseDown(button, 0, x, y); });
            model.fullReported = false;
            model.makeBut = model.makeBut || model.pointCount > 1;
            if (model.program)
                model.reset();
            model.lines += button == 1 && !far;
            if (button == 1 && (far || model.capture()))
                expectedWarnings << (far ? overflowText : fullText);
        } else if (pick < 700) { // mouse moves: mostly right-button drags
            const int button =
                dragBurst > 0 ? 2 : std::array{2, 2, 2, 2, 2, 2, 0, 1, 3, 4, 6, 7}[below(12)];
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
            } else if (chosen == program && model.program) {
                model.codeShown = true;
            } else if (chosen == menu[2]) {
                model.reset();
            } else if (chosen == menu[3] || chosen == menu[4]) {
                model.panelShown[chosen == menu[3]] = false;
                model.panelShown[chosen == menu[4]] = true;
            }
        } else if (pick < 880) { // a panel's button, after typing into most of its boxes
            const int panel = below(2);
            menu[3 + panel]->trigger();
            model.panelShown[1 - panel] = false;
            for (int box = panel * 4; box < (panel == 0 ? 4 : 10); ++box) {
                // Mostly the texts above, else a number, else thousands of one character.
                const int kind = below(12);
                const QString text = kind < 6   ? kBoxTexts.at(below(kBoxTexts.size()))
                                     : kind < 8 ? QString::number(below(12001) - 6000)
                                     : kind < 9 ? QString(1000 + below(11000), u"9 0-F"[below(5)])
                                                : QString();
                if (!text.isNull())
                    form.findChild<QLineEdit *>(QStringLiteral("SetPar(%1)").arg(box))
                        ->setText(text);
            }
            event = QStringLiteral("button of panel %1").arg(panel);
            form.findChild<QPushButton *>(buttons[panel])->click();
            model.program = boxClick = true;
            model.panelShown[panel] = false;
        } else if (pick < 920) {
            if (OutForm *code = openWindow<OutForm>(); code && code->isVisible()) {
                event = QStringLiteral("close code window");
                code->close();
                model.makeBut = model.program = model.codeShown = false;
                model.emptyOutline();
                model.before.clear(); // the next code window is a fresh one
            }
        } else if (pick < 960) {
            if (CutForm *preview = openWindow<CutForm>(); preview && preview->isVisible()) {
                event = QStringLiteral("close preview window");
                preview->close();
                model.makeBut = false;
            }
        } else if (!model.panelShown[0] && !model.panelShown[1]) { // focus, no panel to take it
            event = QStringLiteral("focus");
            platform::runHandler([&] { form.Form_GotFocus(); });
            model.emptyOutline();
        }
        if (event.isEmpty())
            continue;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const Outline &outline = form.outline();
        CHECK(makeBut->isEnabled() == model.makeBut, "\"&Пример\"");
        CHECK(program->isEnabled() == model.program, "\"&Код\"");
        CHECK(outline.PointCount == model.pointCount, "PointCount");
        for (int p = 0; p < 2; ++p)
            CHECK(panelHidden(p) != model.panelShown[p], QStringLiteral("panel %1").arg(p));
        const OutForm *code = openWindow<OutForm>();
        CHECK((code && code->isVisible()) == model.codeShown, "code window");

        // A panel's button brings at most the overflow message.
        if (boxClick && !warnings.isEmpty()) {
            expectedWarnings << overflowText;
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
    }

    platform::setTwipsPerPixelForTesting(0, 0);
    platform::setWarningSinkForTesting({});
}

QTEST_MAIN(TestRandomEvents)
#include "tst_random_events.moc"
