// How long the elliptic and rounded-rectangle regions take to build, next to Qt's own ellipse
// region for the same box (which has other pixels: it is here for the time only).
//
// The boxes are square, from a small window up to the largest a parameter panel can ask for
// (edges of 32767 twips at 12 twips per pixel: 2,731 pixels). The rounded rectangle's corner is a
// quarter of the box.
#include "platform/Regions.h"

#include <QRect>
#include <QRegion>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

namespace {

// Microseconds per call, the best of a few rounds of enough calls to take a while.
double microsecondsPerCall(const std::function<int()> &call, long long &sink) {
    using Clock = std::chrono::steady_clock;
    // Find a count of calls that takes about 50 ms.
    long long calls = 1;
    for (;;) {
        const auto start = Clock::now();
        for (long long i = 0; i < calls; ++i)
            sink += call();
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (ms >= 50.0 || calls >= (1LL << 24))
            break;
        calls *= 2;
    }
    double best = 1e300;
    for (int round = 0; round < 5; ++round) {
        const auto start = Clock::now();
        for (long long i = 0; i < calls; ++i)
            sink += call();
        const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        best = std::min(best, us / double(calls));
    }
    return best;
}

} // namespace

int main() {
    long long sink = 0;
    std::printf("%7s %8s | %12s %12s %14s | %9s\n", "width", "rows", "ours E (us)", "ours R (us)",
                "Qt ellipse (us)", "Qt / ours E");
    for (const int width : {300, 700, 1100, 1500, 2200, 2731}) {
        const int left = 7, top = 7, right = left + width, bottom = top + width;
        const double ellipse = microsecondsPerCall(
            [&] { return platform::CreateEllipticRgn(left, top, right, bottom)->rectCount(); },
            sink);
        const double roundRect = microsecondsPerCall(
            [&] {
                return platform::CreateRoundRectRgn(left, top, right, bottom, width / 4, width / 4)
                    ->rectCount();
            },
            sink);
        const double qt = microsecondsPerCall(
            [&] { return QRegion(QRect(left, top, width, width), QRegion::Ellipse).rectCount(); },
            sink);
        std::printf("%7d %8d | %12.2f %12.2f %14.2f | %8.1fx\n", width, width - 1, ellipse,
                    roundRect, qt, qt / ellipse);
    }
    std::printf("(checksum %lld)\n", sink);
    return 0;
}
