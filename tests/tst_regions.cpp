// The three region constructors against the reference answers of the Windows GDI, and their
// behaviour at the edges of what they accept.
#include "platform/Regions.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPolygon>
#include <QRandomGenerator>
#include <QtTest>
#include <limits>
#include <vector>

namespace {
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();
} // namespace

class TestRegions : public QObject {
    Q_OBJECT

private slots:
    // The general cases, and rounded rectangles with tall, narrow (or wide, flat) corners, whose
    // edge steps on exact ties; each file with the number of requests it holds.
    void referenceCases_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("count");
        QTest::newRow("cases") << "cases.txt" << 873;
        QTest::newRow("narrow corners") << "narrow-corners.txt" << 200;
    }

    // Each line a request ("E l t r b", "R l t r b w h" or "P mode count x y ...") and, after a
    // "|", "NULL" or the count of rectangles and left top right bottom of each: the same pixels,
    // and no region exactly where the reference has none.
    void referenceCases() {
        QFETCH(QString, name);
        QFETCH(int, count);
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
            QVERIFY2(bar == "|", qPrintable(QString("request %1 misread").arg(total + 1)));
            std::optional<QRegion> expected;
            if (answer != "NULL") {
                expected = QRegion();
                for (int i = answer.toInt(); i > 0; --i) {
                    int l, t, r, b;
                    in >> l >> t >> r >> b;
                    *expected += QRect(l, t, r - l, b - t);
                }
            }
            const std::optional<QRegion> got =
                kind == "E"   ? platform::CreateEllipticRgn(n[0], n[1], n[2], n[3])
                : kind == "R" ? platform::CreateRoundRectRgn(n[0], n[1], n[2], n[3], n[4], n[5])
                              : platform::CreatePolygonRgn(points.data(), n[1], n[0]);
            QVERIFY2(got.has_value() == expected.has_value() &&
                         (!got || got->xored(*expected).isEmpty()),
                     qPrintable(QString("request %1").arg(total + 1)));
        }
        QCOMPARE(total, count);
    }

    // Edges anywhere in the 32-bit range: refused beyond the 16-bit range, inside the box within
    // it (so a box with no width is empty, not NULL), in time that does not grow with them.
    void extremeBoxesAnswerAtOnce() {
        const int32_t values[] = {kIntMin, -32769, -32768, 0, 32767, 32768, kIntMax};
        const auto in16 = [](int64_t v) { return v >= -32768 && v <= 32767; };
        QElapsedTimer timer;
        timer.start();
        for (const int64_t l : values)
            for (const int64_t r : values)
                for (const auto &[t, b] : {std::pair{0, 5}, {kIntMin, kIntMax}, {-3, 32767}})
                    for (const auto &[w, h] : {std::pair{kIntMin, kIntMax}, {-7, 3}, {kIntMax, -1}})
                        for (const auto &got : {platform::CreateEllipticRgn(l, t, r, b),
                                                platform::CreateRoundRectRgn(l, t, r, b, w, h)}) {
                            QCOMPARE(got.has_value(), in16(l) && in16(r) && in16(t) && in16(b));
                            const QRect box = got ? got->boundingRect() : QRect();
                            QVERIFY(!got || got->isEmpty() ||
                                    (box.left() >= std::min(l, r) && box.right() < std::max(l, r) &&
                                     box.top() >= std::min(t, b) && box.bottom() < std::max(t, b)));
                        }
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    }

    // Counts, fill modes and vertices the reference files do not try fail at once, without reading
    // past the points given; so does a zigzag over the whole 16-bit height with 1,000 vertices
    // (some 30 million rectangles), which stands with three.
    void polygonArguments() {
        const Coordinates square[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
        std::vector<Coordinates> zigzag;
        for (int32_t i = 0; i < 1000; ++i)
            zigzag.push_back({-32768 + 60 * i, i % 2 ? 32767 : -32768});
        QElapsedTimer timer;
        timer.start();
        for (const int32_t mode : {platform::ALTERNATE, platform::WINDING}) {
            for (const int32_t count : {-1, kIntMin, platform::kMaxPolygonPoints + 1, kIntMax})
                QVERIFY(!platform::CreatePolygonRgn(square, count, mode));
            QVERIFY(!platform::CreatePolygonRgn(nullptr, 3, mode));
            for (const Coordinates far : {Coordinates{kIntMin, 0}, {0, kIntMax}, {32768, 0}}) {
                const Coordinates points[] = {{0, 0}, {10, 0}, far};
                QVERIFY(!platform::CreatePolygonRgn(points, 3, mode));
            }
            QVERIFY(!platform::CreatePolygonRgn(zigzag.data(), 1000, mode));
            QVERIFY(platform::CreatePolygonRgn(zigzag.data(), 3, mode));
        }
        for (const int32_t mode : {0, 3, -1, kIntMax})
            QVERIFY(!platform::CreatePolygonRgn(square, 4, mode));
        QVERIFY(timer.elapsed() < 1000);
    }

    // Qt's polygon regions give the same pixels as Windows (all reference polygons agree) but cost
    // time in the square of their height, so they serve only as a check. Qt can leave touching runs
    // apart and, in winding mode, bands overlapping, so its rectangles are joined one by one into a
    // well-formed region; ours must equal it band for band. The seed is fixed: a round names its
    // polygon.
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
            for (const int32_t mode : {platform::ALTERNATE, platform::WINDING}) {
                QRegion expected;
                for (const QRect &rect : QRegion(
                         polygon, mode == platform::WINDING ? Qt::WindingFill : Qt::OddEvenFill))
                    expected += rect;
                QVERIFY2(platform::CreatePolygonRgn(points.data(), int32_t(points.size()), mode) ==
                             std::optional(expected),
                         qPrintable(QString("round %1, mode %2").arg(round).arg(mode)));
            }
        }
    }

    // Vertices at the far ends of the 16-bit range: one step a row, so a polygon 65,535 rows tall
    // takes milliseconds, where Qt takes seconds.
    void tallPolygonsAnswerAtOnce() {
        QElapsedTimer timer;
        timer.start();
        const Coordinates square[] = {
            {-32768, -32768}, {32767, -32768}, {32767, 32767}, {-32768, 32767}};
        for (const int32_t mode : {platform::ALTERNATE, platform::WINDING})
            QCOMPARE(platform::CreatePolygonRgn(square, 4, mode),
                     std::optional(QRegion(-32768, -32768, 65535, 65535)));
        // A thin triangle: every row holds one run, from the left edge to the right one; row 20,
        // the apex, none.
        const Coordinates triangle[] = {{10, 20}, {25649, 5120}, {12800, 20652}};
        const auto region = platform::CreatePolygonRgn(triangle, 3, platform::WINDING);
        QCOMPARE(region.value_or(QRegion()).boundingRect(),
                 QRect(QPoint(11, 21), QPoint(25648, 20651)));
        QVERIFY(region->contains(QPoint(12800, 20651)) && !region->contains(QPoint(12801, 20651)));
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TestRegions)
#include "tst_regions.moc"
