// The three region constructors against the Windows GDI's reference answers, and at their edges.
#include "platform/Regions.h"

#include <QPolygon>
#include <QtTest> // and with it QtCore
#include <array>
#include <limits>
#include <vector>

using platform::ALTERNATE, platform::WINDING, platform::CreatePolygonRgn;
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();

class TestRegions : public QObject {
    Q_OBJECT

private slots:
    // Each line a request ("E l t r b", "R l t r b w h" or "P mode count x y ...") and after a "|"
    // "NULL" or the count of rectangles and left top right bottom of each: the same pixels, and no
    // region exactly where the reference has none (narrow corners: steps on exact ties).
    void referenceCases() {
        for (const auto &[name, count] :
             {std::pair{"cases.txt", 873}, {"narrow-corners.txt", 200}}) {
            QFile file(QStringLiteral(ZARNIK_REGION_DATA "/") + name);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName() + " is missing"));
            QTextStream in(&file);
            int total = 0;
            for (in.skipWhiteSpace(); !in.atEnd(); in.skipWhiteSpace(), ++total) {
                QString kind, bar, answer;
                in >> kind;
                std::vector<int32_t> n(kind == "E" ? 4 : kind == "R" ? 6 : 2);
                for (int32_t &number : n)
                    in >> number;
                std::vector<Coordinates> points(kind == "P" ? std::max(n[1], 0) : 0);
                for (Coordinates &point : points)
                    in >> point.X >> point.Y;
                in >> bar >> answer;
                auto expected = answer == "NULL" ? std::nullopt : std::optional(QRegion());
                for (int i = answer.toInt(), l, t, r, b; i > 0; --i) {
                    in >> l >> t >> r >> b;
                    *expected += QRect(l, t, r - l, b - t);
                }
                const auto got =
                    kind == "E"   ? platform::CreateEllipticRgn(n[0], n[1], n[2], n[3])
                    : kind == "R" ? platform::CreateRoundRectRgn(n[0], n[1], n[2], n[3], n[4], n[5])
                                  : CreatePolygonRgn(points.data(), n[1], n[0]);
                QVERIFY2(got.has_value() == expected.has_value() &&
                             (!got || got->xored(*expected).isEmpty()),
                         qPrintable(QStringLiteral("%1, request %2").arg(name).arg(total + 1)));
            }
            QCOMPARE(total, count);
        }
    }

    // At once: box edges beyond the 16-bit range are refused, within it the region stays inside the
    // box (empty, not NULL, with no width). Polygons fail for counts, modes and vertices the files
    // do not try, without reading past the points, and for a zigzag whose 1,000 vertices would
    // make 30 million rectangles; one 65,535 rows tall takes milliseconds (Qt's take seconds).
    void atTheEdges() {
        QElapsedTimer timer;
        timer.start();
        const int32_t values[] = {kIntMin, -32769, -32768, 0, 32767, 32768, kIntMax};
        const auto in16 = [](int64_t v) { return v >= -32768 && v <= 32767; };
        for (const int64_t l : values)
            for (const int64_t r : values)
                for (const auto &[t, b] : {std::pair{0, 5}, {kIntMin, kIntMax}, {-3, 32767}})
                    for (const auto &[w, h] : {std::pair{kIntMin, kIntMax}, {-7, 3}, {kIntMax, -1}})
                        for (const auto &got : {platform::CreateEllipticRgn(l, t, r, b),
                                                platform::CreateRoundRectRgn(l, t, r, b, w, h)}) {
                            QCOMPARE(got.has_value(), in16(l) && in16(r) && in16(t) && in16(b));
                            const QRect box(QPoint(std::min(l, r), std::min(t, b)),
                                            QPoint(std::max(l, r) - 1, std::max(t, b) - 1));
                            QVERIFY(!got || got->isEmpty() || box.contains(got->boundingRect()));
                        }
        const Coordinates square[] = {
            {-32768, -32768}, {32767, -32768}, {32767, 32767}, {-32768, 32767}};
        std::vector<Coordinates> zigzag;
        for (int32_t i = 0; i < 1000; ++i)
            zigzag.push_back({-32768 + 60 * i, i % 2 ? 32767 : -32768});
        for (const int32_t mode : {ALTERNATE, WINDING}) {
            QCOMPARE(CreatePolygonRgn(square, 4, mode),
                     std::optional(QRegion(-32768, -32768, 65535, 65535)));
            for (const int32_t count : {-1, kIntMin, platform::kMaxPolygonPoints + 1, kIntMax})
                QVERIFY(!CreatePolygonRgn(square, count, mode));
            QVERIFY(!CreatePolygonRgn(nullptr, 3, mode));
            for (const Coordinates far : {Coordinates{kIntMin, 0}, {0, kIntMax}, {32768, 0}})
                QVERIFY(!CreatePolygonRgn(std::array<Coordinates, 3>{{{0, 0}, {10, 0}, far}}.data(),
                                          3, mode));
            QVERIFY(!CreatePolygonRgn(zigzag.data(), 1000, mode));
            QVERIFY(CreatePolygonRgn(zigzag.data(), 3, mode));
        }
        for (const int32_t mode : {0, 3, -1, kIntMax})
            QVERIFY(!CreatePolygonRgn(square, 4, mode));
        // A thin triangle: one run a row, from the left edge to the right one; none at the apex.
        const Coordinates triangle[] = {{10, 20}, {25649, 5120}, {12800, 20652}};
        const QRegion region = CreatePolygonRgn(triangle, 3, WINDING).value_or(QRegion());
        QCOMPARE(region.boundingRect(), QRect(QPoint(11, 21), QPoint(25648, 20651)));
        QVERIFY(region.contains(QPoint(12800, 20651)) && !region.contains(QPoint(12801, 20651)));
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    }

    // Qt's polygons give the same pixels as Windows but take time in the square of their height,
    // so they serve only as a check, their rectangles joined into a well-formed region first (Qt
    // can leave runs apart and bands overlapping). The seed is fixed: a round names its polygon.
    void polygonsAgreeWithQt() {
        QRandomGenerator random(20261206);
        for (int round = 0; round < 3000; ++round) {
            std::vector<Coordinates> points(3 + random.bounded(round % 5 == 0 ? 60 : 9));
            const int size = 2 + random.bounded(round % 3 == 0 ? 12 : 300);
            QPolygon polygon;
            for (Coordinates &p : points) {
                p = {random.bounded(size) - size / 3, random.bounded(size) - size / 3};
                polygon << QPoint(p.X, p.Y);
            }
            for (const int32_t mode : {ALTERNATE, WINDING}) {
                QRegion expected;
                for (const QRect &rect :
                     QRegion(polygon, mode == WINDING ? Qt::WindingFill : Qt::OddEvenFill))
                    expected += rect;
                QVERIFY2(CreatePolygonRgn(points.data(), int32_t(points.size()), mode) == expected,
                         qPrintable(QStringLiteral("round %1, mode %2").arg(round).arg(mode)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestRegions)
#include "tst_regions.moc"
