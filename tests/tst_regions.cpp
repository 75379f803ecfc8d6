// The three region constructors against the reference answers of the Windows GDI, and their
// behaviour at the edges of what they accept.
#include "platform/Regions.h"
#include "platform/RoundRectSpans.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRect>
#include <QRegion>
#include <QStringList>
#include <QtTest>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <vector>

namespace {

constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();

QString casesPath() {
#ifdef ZARNIK_GDI_CASES
    return QStringLiteral(ZARNIK_GDI_CASES);
#else
    return QStringLiteral(ZARNIK_SOURCE_DIR "/../shared/gdi-regions/cases.txt");
#endif
}

// The same pixels, whatever the rectangles they are listed in.
bool samePixels(const QRegion &a, const QRegion &b) {
    return a.xored(b).isEmpty();
}

// A region from rectangles given as left, top, right, bottom with right and bottom excluded.
QRegion regionOfEdges(const std::vector<int> &edges) {
    QRegion region;
    for (size_t i = 0; i + 3 < edges.size(); i += 4)
        region +=
            QRect(edges[i], edges[i + 1], edges[i + 2] - edges[i], edges[i + 3] - edges[i + 1]);
    return region;
}

QString describe(const std::optional<QRegion> &region) {
    if (!region)
        return QStringLiteral("NULL");
    if (region->isEmpty())
        return QStringLiteral("0");
    QStringList parts{QString::number(region->rectCount())};
    int shown = 0;
    for (const QRect &r : *region) {
        if (++shown > 6) {
            parts << QStringLiteral("...");
            break;
        }
        parts << QStringLiteral("%1 %2 %3 %4")
                     .arg(r.left())
                     .arg(r.top())
                     .arg(r.right() + 1)
                     .arg(r.bottom() + 1);
    }
    return parts.join(QLatin1Char(' '));
}

// Inside the box spanned by the edges, right and bottom edges excluded.
bool insideBox(const QRegion &region, int64_t l, int64_t t, int64_t r, int64_t b) {
    if (region.isEmpty())
        return true;
    const QRect box = region.boundingRect();
    return box.left() >= std::min(l, r) && box.top() >= std::min(t, b) &&
           int64_t(box.right()) < std::max(l, r) && int64_t(box.bottom()) < std::max(t, b);
}

// The region mirrored left to right and top to bottom within the box [l, r) x [t, b).
QRegion mirrored(const QRegion &region, int l, int t, int r, int b, bool horizontally) {
    QRegion out;
    for (const QRect &rc : region) {
        if (horizontally)
            out += QRect(l + r - 1 - rc.right(), rc.top(), rc.width(), rc.height());
        else
            out += QRect(rc.left(), t + b - 1 - rc.bottom(), rc.width(), rc.height());
    }
    return out;
}

struct Tally {
    int total = 0;
    int passed = 0;
};

} // namespace

class TestRegions : public QObject {
    Q_OBJECT

private slots:
    void referenceCases();
    void shapesStayInsideTheirBoxAndSymmetric();
    void equivalentRequestsGiveTheSameRegion();
    void bandsAreOneRunPerRowAndMerged();
    void zeroAreaBoxesAreEmptyNotNull();
    void extremeArgumentsAnswerAtOnce();
    void largestSixteenBitBox();
    void polygonCounts();
    void polygonFillModes();
    void polygonFarVertices();
};

// Every request of the reference file: the same pixels, and no region exactly where the reference
// has none.
void TestRegions::referenceCases() {
    QFile file(casesPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        QSKIP(qPrintable(QStringLiteral("reference cases not found at %1").arg(casesPath())));

    QMap<QChar, Tally> tallies;
    Tally nulls;
    QStringList failures;
    int lineNumber = 0;
    while (!file.atEnd()) {
        ++lineNumber;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty())
            continue;
        const int bar = line.indexOf(QLatin1Char('|'));
        QVERIFY2(bar > 0, qPrintable(QStringLiteral("line %1 has no answer").arg(lineNumber)));
        const QStringList request = line.left(bar).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QStringList expected = line.mid(bar + 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QVERIFY(!request.isEmpty() && !expected.isEmpty());

        std::vector<int32_t> numbers;
        for (qsizetype i = 1; i < request.size(); ++i) {
            bool ok = false;
            numbers.push_back(request[i].toInt(&ok));
            QVERIFY2(ok, qPrintable(QStringLiteral("line %1: bad number").arg(lineNumber)));
        }
        const QChar kind = request[0].at(0);
        std::optional<QRegion> got;
        if (kind == QLatin1Char('E')) {
            QCOMPARE(numbers.size(), size_t(4));
            got = platform::CreateEllipticRgn(numbers[0], numbers[1], numbers[2], numbers[3]);
        } else if (kind == QLatin1Char('R')) {
            QCOMPARE(numbers.size(), size_t(6));
            got = platform::CreateRoundRectRgn(numbers[0], numbers[1], numbers[2], numbers[3],
                                               numbers[4], numbers[5]);
        } else if (kind == QLatin1Char('P')) {
            QVERIFY(numbers.size() >= 2);
            std::vector<Coordinates> points;
            for (size_t i = 2; i + 1 < numbers.size(); i += 2)
                points.push_back({numbers[i], numbers[i + 1]});
            QCOMPARE(points.size(), size_t(std::max(numbers[1], 0)));
            got = platform::CreatePolygonRgn(points.data(), numbers[1], numbers[0]);
        } else {
            QFAIL(qPrintable(QStringLiteral("line %1: unknown request").arg(lineNumber)));
        }

        bool pass = false;
        if (expected[0] == QLatin1String("NULL")) {
            ++nulls.total;
            pass = !got.has_value();
            nulls.passed += pass;
        } else {
            std::vector<int> edges;
            for (qsizetype i = 1; i < expected.size(); ++i)
                edges.push_back(expected[i].toInt());
            QCOMPARE(qsizetype(edges.size()), 4 * expected[0].toInt());
            pass = got.has_value() && samePixels(*got, regionOfEdges(edges));
        }
        Tally &tally = tallies[kind];
        ++tally.total;
        tally.passed += pass;
        if (!pass && failures.size() < 10) {
            failures << QStringLiteral("line %1: %2 -> %3")
                            .arg(lineNumber)
                            .arg(line.left(bar).trimmed(), describe(got));
        }
    }

    int total = 0, passed = 0;
    for (auto it = tallies.cbegin(); it != tallies.cend(); ++it) {
        qInfo("%c: %d of %d requests give the reference's pixels", it.key().toLatin1(),
              it.value().passed, it.value().total);
        total += it.value().total;
        passed += it.value().passed;
    }
    qInfo("NULL answers: %d of %d reproduced", nulls.passed, nulls.total);
    qInfo("all: %d of %d", passed, total);
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
    QVERIFY(total > 0);
}

// Boxes of every kind of size and corner: the region stays in the box, is the same turned left
// to right and top to bottom, and the ellipse is a rounded rectangle with the box as corner.
void TestRegions::shapesStayInsideTheirBoxAndSymmetric() {
    std::mt19937 random(20240611);
    for (int i = 0; i < 3000; ++i) {
        const int l = int(random() % 2001) - 1000, t = int(random() % 2001) - 1000;
        const int limit = i < 2000 ? 40 : 900;
        const int w = int(random() % limit), h = int(random() % limit);
        const int cw = int(random() % (limit + 20)) - 10, ch = int(random() % (limit + 20)) - 10;
        const int r = l + w, b = t + h;

        const auto rounded = platform::CreateRoundRectRgn(l, t, r, b, cw, ch);
        QVERIFY(rounded.has_value());
        QVERIFY2(insideBox(*rounded, l, t, r, b), qPrintable(describe(rounded)));
        QVERIFY(samePixels(*rounded, mirrored(*rounded, l, t, r - 1, b - 1, true)));
        QVERIFY(samePixels(*rounded, mirrored(*rounded, l, t, r - 1, b - 1, false)));

        const auto ellipse = platform::CreateEllipticRgn(l, t, r, b);
        QVERIFY(ellipse.has_value());
        QVERIFY(insideBox(*ellipse, l, t, r, b));
        QVERIFY(samePixels(*ellipse, mirrored(*ellipse, l, t, r - 1, b - 1, true)));
        QVERIFY(samePixels(*ellipse, mirrored(*ellipse, l, t, r - 1, b - 1, false)));
        QVERIFY(samePixels(*ellipse, *platform::CreateRoundRectRgn(l, t, r, b, w, h)));
        // Whatever its corners, a rounded rectangle holds the ellipse of its box.
        QVERIFY(ellipse->subtracted(*rounded).isEmpty());
        if (w > 1 && h > 1) {
            QVERIFY(!ellipse->isEmpty());
            // Only the last column and row of the box are always left out.
            QVERIFY(samePixels(*platform::CreateRoundRectRgn(l, t, r, b, 0, 0),
                               QRegion(l, t, w - 1, h - 1)));
        }
    }
}

// Requests that name the same shape differently.
void TestRegions::equivalentRequestsGiveTheSameRegion() {
    std::mt19937 random(77);
    for (int i = 0; i < 1500; ++i) {
        const int l = int(random() % 601) - 300, t = int(random() % 601) - 300;
        const int w = int(random() % 300), h = int(random() % 300);
        const int cw = int(random() % 320), ch = int(random() % 320);
        const int r = l + w, b = t + h;
        const QRegion base = *platform::CreateRoundRectRgn(l, t, r, b, cw, ch);
        // Edges in either order.
        QVERIFY(samePixels(base, *platform::CreateRoundRectRgn(r, b, l, t, cw, ch)));
        QVERIFY(samePixels(base, *platform::CreateRoundRectRgn(r, t, l, b, cw, ch)));
        // A negative corner size is its magnitude.
        QVERIFY(samePixels(base, *platform::CreateRoundRectRgn(l, t, r, b, -cw, -ch)));
        // A corner larger than the box is the box.
        QVERIFY(
            samePixels(*platform::CreateRoundRectRgn(l, t, r, b, std::min(cw, w), std::min(ch, h)),
                       *platform::CreateRoundRectRgn(l, t, r, b, cw > w ? kIntMax : cw,
                                                     ch > h ? kIntMin : ch)));
        // A shape moved is the same shape, moved.
        QVERIFY(samePixels(base.translated(13, -29),
                           *platform::CreateRoundRectRgn(l + 13, t - 29, r + 13, b - 29, cw, ch)));
        QVERIFY(samePixels(*platform::CreateEllipticRgn(l, t, r, b),
                           *platform::CreateEllipticRgn(r, b, l, t)));
    }
}

// The bands handed to QRegion are the ones it keeps itself: one run a row, each band different
// from the one above it, top to bottom.
void TestRegions::bandsAreOneRunPerRowAndMerged() {
    for (const auto &box : std::vector<std::array<int, 6>>{{0, 0, 326, 326, 326, 326},
                                                           {7, 7, 333, 333, 100, 100},
                                                           {-50, 20, 2150, 1300, 400, 90},
                                                           {3, 3, 40, 9, 80, 80},
                                                           {0, 0, 600, 40, 7, 300}}) {
        std::vector<platform::SpanBand> bands;
        QVERIFY(platform::roundRectBands(box[0], box[1], box[2], box[3], box[4], box[5], bands));
        QVERIFY(!bands.empty());
        for (size_t i = 0; i < bands.size(); ++i) {
            QVERIFY(bands[i].top < bands[i].bottom);
            QVERIFY(bands[i].left < bands[i].right);
            if (i > 0) {
                QVERIFY(bands[i - 1].bottom <= bands[i].top);
                QVERIFY(bands[i - 1].bottom != bands[i].top || bands[i - 1].left != bands[i].left ||
                        bands[i - 1].right != bands[i].right);
            }
        }
        const auto region =
            platform::CreateRoundRectRgn(box[0], box[1], box[2], box[3], box[4], box[5]);
        QVERIFY(region.has_value());
        QCOMPARE(region->rectCount(), int(bands.size()));
        // Qt, building the same pixels itself, keeps the same rectangles.
        QRegion rebuilt;
        for (auto it = region->end(); it != region->begin();)
            rebuilt += *--it;
        QCOMPARE(*region, rebuilt);
    }
}

void TestRegions::zeroAreaBoxesAreEmptyNotNull() {
    for (const auto &box : std::vector<std::array<int, 4>>{{0, 0, 0, 0},
                                                           {5, 5, 5, 40},
                                                           {5, 5, 40, 5},
                                                           {0, 0, 1, 100},
                                                           {0, 0, 100, 1},
                                                           {-32768, 0, 32767, 0},
                                                           {32767, 32767, 32767, -32768}}) {
        const auto e = platform::CreateEllipticRgn(box[0], box[1], box[2], box[3]);
        QVERIFY(e.has_value());
        QVERIFY(e->isEmpty());
        const auto r = platform::CreateRoundRectRgn(box[0], box[1], box[2], box[3], 10, 10);
        QVERIFY(r.has_value());
        QVERIFY(r->isEmpty());
    }
}

// Edges anywhere in the 32-bit range: refused at once beyond the 16-bit range, in the box
// within it, never in time that grows with the coordinates.
void TestRegions::extremeArgumentsAnswerAtOnce() {
    const std::vector<int32_t> values{kIntMin, kIntMin + 1, -32769, -32768,      -1,     0,
                                      1,       32767,       32768,  kIntMax - 1, kIntMax};
    const auto in16 = [](int32_t v) { return v >= -32768 && v <= 32767; };
    QElapsedTimer timer;
    timer.start();
    int calls = 0;
    for (const int32_t l : values) {
        for (const int32_t r : values) {
            const std::array<int32_t, 2> tb[] = {{0, 5}, {kIntMin, kIntMax}, {-3, 32767}};
            for (const auto &[t, b] : tb) {
                const bool accepted = in16(l) && in16(r) && in16(t) && in16(b);
                const auto e = platform::CreateEllipticRgn(l, t, r, b);
                QCOMPARE(e.has_value(), accepted);
                if (e)
                    QVERIFY(insideBox(*e, l, t, r, b));
                const std::array<int32_t, 2> corners[] = {
                    {kIntMin, kIntMax}, {-7, 3}, {0, kIntMin}, {40, 40}, {kIntMax, -1}};
                for (const auto &[cw, ch] : corners) {
                    const auto rr = platform::CreateRoundRectRgn(l, t, r, b, cw, ch);
                    QCOMPARE(rr.has_value(), accepted);
                    if (rr)
                        QVERIFY(insideBox(*rr, l, t, r, b));
                    ++calls;
                }
                ++calls;
            }
        }
    }
    // The accepted ones are at most 65,535 rows each; all together well within a second or two.
    QVERIFY2(timer.elapsed() < 5000,
             qPrintable(QStringLiteral("%1 calls took %2 ms").arg(calls).arg(timer.elapsed())));
    const auto far = platform::CreateEllipticRgn(kIntMin, 0, kIntMax, 5);
    QVERIFY(!far.has_value());
}

void TestRegions::largestSixteenBitBox() {
    QElapsedTimer timer;
    timer.start();
    const auto e = platform::CreateEllipticRgn(-32768, -32768, 32767, 32767);
    QVERIFY(e.has_value());
    QCOMPARE(e->boundingRect(), QRect(-32768, -32768, 65534, 65534));
    QVERIFY(samePixels(*e, mirrored(*e, -32768, -32768, 32766, 32766, true)));
    const auto r = platform::CreateRoundRectRgn(32767, 32767, -32768, -32768, 1000, 65535);
    QVERIFY(r.has_value());
    QCOMPARE(r->boundingRect(), QRect(-32768, -32768, 65534, 65534));
    QVERIFY(e->subtracted(*r).isEmpty());
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
}

void TestRegions::polygonCounts() {
    const std::vector<Coordinates> square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    for (const int32_t mode : {platform::ALTERNATE, platform::WINDING}) {
        // No vertices, one or two: a valid empty region, as the reference answers.
        for (const int32_t count : {0, 1, 2}) {
            const auto region = platform::CreatePolygonRgn(square.data(), count, mode);
            QVERIFY(region.has_value());
            QVERIFY(region->isEmpty());
        }
        const auto none = platform::CreatePolygonRgn(nullptr, 0, mode);
        QVERIFY(none.has_value() && none->isEmpty());
        QCOMPARE(*platform::CreatePolygonRgn(square.data(), 4, mode), QRegion(0, 0, 10, 10));
        // A negative count, missing points, or more points than any outline has: the call fails,
        // without reading past the four points given.
        for (const int32_t count : {-1, -500, kIntMin}) {
            QVERIFY(!platform::CreatePolygonRgn(square.data(), count, mode).has_value());
        }
        QVERIFY(!platform::CreatePolygonRgn(nullptr, 3, mode).has_value());
        QElapsedTimer timer;
        timer.start();
        for (const int32_t count : {platform::kMaxPolygonPoints + 1, kIntMax - 1, kIntMax})
            QVERIFY(!platform::CreatePolygonRgn(square.data(), count, mode).has_value());
        QVERIFY(timer.elapsed() < 1000);
    }
}

void TestRegions::polygonFillModes() {
    // A five-pointed star drawn in one stroke: its middle is covered twice.
    const std::vector<Coordinates> star{{50, 0}, {79, 90}, {2, 35}, {97, 35}, {21, 90}};
    const auto alternate = platform::CreatePolygonRgn(star.data(), 5, platform::ALTERNATE);
    const auto winding = platform::CreatePolygonRgn(star.data(), 5, platform::WINDING);
    QVERIFY(alternate && winding);
    QVERIFY(winding->contains(QPoint(50, 50)));
    QVERIFY(!alternate->contains(QPoint(50, 50)));
    QVERIFY(alternate->subtracted(*winding).isEmpty());
    QVERIFY(!winding->subtracted(*alternate).isEmpty());
    for (const int32_t mode : {0, 3, -1, -2, kIntMin, kIntMax})
        QVERIFY(!platform::CreatePolygonRgn(star.data(), 5, mode).has_value());
}

// Vertices beyond the 16-bit range fail at once; Qt would otherwise overflow or walk every
// scanline between them.
void TestRegions::polygonFarVertices() {
    QElapsedTimer timer;
    timer.start();
    for (const auto &far : std::vector<Coordinates>{
             {kIntMin, 0}, {kIntMax, 0}, {0, kIntMin}, {0, kIntMax}, {32768, 0}, {0, -32769}}) {
        const std::vector<Coordinates> points{{0, 0}, {10, 0}, far};
        for (const int32_t mode : {platform::ALTERNATE, platform::WINDING})
            QVERIFY(!platform::CreatePolygonRgn(points.data(), 3, mode).has_value());
    }
    const std::vector<Coordinates> edge{{-32768, -32768}, {32767, -32768}, {-32768, -32700}};
    const auto thin = platform::CreatePolygonRgn(edge.data(), 3, platform::WINDING);
    QVERIFY(thin.has_value());
    QVERIFY(insideBox(*thin, -32768, -32768, 32768, -32700));
    QVERIFY(timer.elapsed() < 5000);
}

QTEST_GUILESS_MAIN(TestRegions)
#include "tst_regions.moc"
