// The cost of one right-button drag move on the main window, with the code window shown, when the
// outline already has about 10 and about 500 vertices. A move should cost the same however long
// the outline is: it appends one line and one vertex.
//
// Prints the median time per move for each length and the ratio of the two. Runs offscreen.
#include "app/MainForm.h"
#include "platform/MessageBox.h"
#include "windows/OutForm.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Timing {
    double handlerNs; // the handler alone
    double totalNs;   // the handler and the repaints it causes
};

double median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// Traces an outline of `vertices` - 1 points, then times the move that adds the last one.
Timing oneMove(MainForm &form, int vertices) {
    form.RestBut_Click();
    QApplication::processEvents();
    for (int i = 0; i + 1 < vertices; ++i)
        form.Form_MouseMove(2, 0, float(300 + (i * 37) % 4000), float(200 + (i * 53) % 3800));
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    form.Form_MouseMove(2, 0, 1234.5f, 2345.5f);
    const double handler = double(timer.nsecsElapsed());
    QApplication::processEvents();
    const double total = double(timer.nsecsElapsed());
    if (form.outline().PointCount != vertices) {
        std::fprintf(stderr, "bench_drag: %d vertices, not %d\n", form.outline().PointCount,
                     vertices);
        std::exit(1);
    }
    return {handler, total};
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::setWarningSinkForTesting([](const QString &text) {
        std::fprintf(stderr, "bench_drag: unexpected message: %s\n", qPrintable(text));
        std::exit(1);
    });
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 200;

    MainForm form;
    form.show();
    form.Program_Click(); // the code window shown

    constexpr int kShort = 10;
    constexpr int kLong = 500;
    std::vector<double> shortHandler, shortTotal, longHandler, longTotal;
    for (int round = 0; round < rounds; ++round) { // side by side, so drifts hit both alike
        const Timing s = oneMove(form, kShort);
        const Timing l = oneMove(form, kLong);
        shortHandler.push_back(s.handlerNs);
        shortTotal.push_back(s.totalNs);
        longHandler.push_back(l.handlerNs);
        longTotal.push_back(l.totalNs);
    }
    const double sh = median(shortHandler), lh = median(longHandler);
    const double st = median(shortTotal), lt = median(longTotal);
    std::printf("drag move, handler only:        %7.1f us at %d vertices, %7.1f us at %d: %.2fx\n",
                sh / 1000, kShort, lh / 1000, kLong, lh / sh);
    std::printf("drag move, handler and repaint: %7.1f us at %d vertices, %7.1f us at %d: %.2fx\n",
                st / 1000, kShort, lt / 1000, kLong, lt / st);
    std::printf("DRAG_RATIO %.2f\n", lt / st);
    return 0;
}
