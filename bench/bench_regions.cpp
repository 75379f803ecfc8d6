// How long the elliptic and rounded-rectangle regions take to build, next to Qt's own ellipse
// region for the same box (which has other pixels: it is here for the time only); then polygon
// regions next to Qt's polygon regions, which have the same pixels.
//
// The boxes are square, from a small window up to the largest a parameter panel can ask for
// (edges of 32767 twips at 12 twips per pixel: 2,731 pixels). The rounded rectangle's corner is a
// quarter of the box.
#include "platform/Regions.h"

#include <QPolygon>
#include <QRect>
#include <QRegion>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

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

double microsecondsOfOneCall(const std::function<int()> &call, long long &sink) {
    const auto start = std::chrono::steady_clock::now();
    sink += call();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
        .count();
}

// A triangle `rows` tall and a quarter wider (as far as the 16-bit range allows), shaped like the
// one on which the region fuzzer first found Qt slow.
void comparePolygons(long long &sink) {
    std::printf("\n%8s | %12s %14s | %9s\n", "rows", "ours P (us)", "Qt polygon (us)", "Qt / ours");
    for (const int rows : {1000, 4000, 16000, 32000, 65535}) {
        const int top = -32768;
        const std::vector<Coordinates> points{
            {-32768, top},
            {-32768 + std::min(rows * 5 / 4, 65535), top + rows / 4},
            {-32768 + std::min(rows * 5 / 4, 65535) / 2, top + rows}};
        QPolygon polygon;
        for (const Coordinates &p : points)
            polygon << QPoint(p.X, p.Y);
        const double ours = microsecondsPerCall(
            [&] { return platform::CreatePolygonRgn(points.data(), 3, 2)->rectCount(); }, sink);
        // Qt's takes seconds at the larger heights: timed once, and not at the largest.
        const double qt =
            rows > 32000 ? 0.0
                         : microsecondsOfOneCall(
                               [&] { return QRegion(polygon, Qt::WindingFill).rectCount(); }, sink);
        if (qt > 0.0)
            std::printf("%8d | %12.1f %14.1f | %8.0fx\n", rows, ours, qt, qt / ours);
        else
            std::printf("%8d | %12.1f %14s |\n", rows, ours, "-");
    }
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
    comparePolygons(sink);
    std::printf("(checksum %lld)\n", sink);
    return 0;
}
