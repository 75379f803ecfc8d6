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

// Inside the box spanned by the edges, right and bottom edges excluded.
bool insideBox(const QRegion &region, int64_t l, int64_t t, int64_t r, int64_t b) {
    const QRect box = region.boundingRect();
    return region.isEmpty() ||
           (box.left() >= std::min(l, r) && box.top() >= std::min(t, b) &&
            int64_t(box.right()) < std::max(l, r) && int64_t(box.bottom()) < std::max(t, b));
}

std::vector<int32_t> numbers(const QByteArray &text) {
    std::vector<int32_t> n;
    for (const QByteArray &word : text.simplified().split(' '))
        n.push_back(word.toInt());
    return n;
}

} // namespace

class TestRegions : public QObject {
    Q_OBJECT

private slots:
    void referenceCases_data();
    void referenceCases();
    void extremeBoxesAnswerAtOnce();
    void polygonArguments();
    void polygonsAgreeWithQt();
    void tallPolygonsAnswerAtOnce();
};

// The general cases, and rounded rectangles with tall, narrow (or wide, flat) corners, whose edge
// steps on exact ties; each file with the number of requests it holds.
void TestRegions::referenceCases_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("count");
    QTest::newRow("cases") << "cases.txt" << 873;
    QTest::newRow("narrow corners") << "narrow-corners.txt" << 200;
}

// Every request ("E l t r b", "R l t r b w h" or "P mode count x y ...", then "|" and "NULL" or a
// rectangle count and left top right bottom of each): the same pixels, and no region exactly where
// the reference has none.
void TestRegions::referenceCases() {
    QFETCH(QString, name);
    QFETCH(int, count);
    QFile file(QStringLiteral(ZARNIK_REGION_DATA "/") + name);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName() + " is missing"));
    int total = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.isEmpty())
            continue;
        ++total;
        const QList<QByteArray> halves = line.split('|');
        QCOMPARE(halves.size(), 2);
        const QByteArray kind = halves[0].left(1);
        const std::vector<int32_t> n = numbers(halves[0].mid(1));
        std::optional<QRegion> got;
        if (kind == "E" && n.size() == 4) {
            got = platform::CreateEllipticRgn(n[0], n[1], n[2], n[3]);
        } else if (kind == "R" && n.size() == 6) {
            got = platform::CreateRoundRectRgn(n[0], n[1], n[2], n[3], n[4], n[5]);
        } else {
            QVERIFY2(kind == "P" && n.size() >= 2, line.constData());
            std::vector<Coordinates> points;
            for (size_t i = 2; i + 1 < n.size(); i += 2)
                points.push_back({n[i], n[i + 1]});
            got = platform::CreatePolygonRgn(points.data(), n[1], n[0]);
        }
        std::optional<QRegion> expected;
        if (halves[1].trimmed() != "NULL") {
            const std::vector<int32_t> a = numbers(halves[1]);
            QCOMPARE(a.size(), size_t(1 + 4 * a[0]));
            expected = QRegion();
            for (size_t i = 1; i + 3 < a.size(); i += 4)
                *expected += QRect(QPoint(a[i], a[i + 1]), QPoint(a[i + 2] - 1, a[i + 3] - 1));
        }
        QVERIFY2(got.has_value() == expected.has_value() &&
                     (!got || got->xored(*expected).isEmpty()),
                 line.left(120).constData());
    }
    QCOMPARE(total, count);
}

// Edges anywhere in the 32-bit range: refused at once beyond the 16-bit range, inside the box
// within it (so a box with no width is empty, not NULL), never in time that grows with the
// coordinates.
void TestRegions::extremeBoxesAnswerAtOnce() {
    const int32_t values[] = {kIntMin, -32769, -32768, 0, 32767, 32768, kIntMax};
    const auto in16 = [](int32_t v) { return v >= -32768 && v <= 32767; };
    QElapsedTimer timer;
    timer.start();
    for (const int32_t l : values) {
        for (const int32_t r : values) {
            for (const auto &[t, b] : {std::pair{0, 5}, {kIntMin, kIntMax}, {-3, 32767}}) {
                const bool accepted = in16(l) && in16(r) && in16(t) && in16(b);
                const auto e = platform::CreateEllipticRgn(l, t, r, b);
                QVERIFY(e.has_value() == accepted && (!e || insideBox(*e, l, t, r, b)));
                for (const auto &[cw, ch] : {std::pair{kIntMin, kIntMax}, {-7, 3}, {kIntMax, -1}}) {
                    const auto rr = platform::CreateRoundRectRgn(l, t, r, b, cw, ch);
                    QVERIFY(rr.has_value() == accepted && (!rr || insideBox(*rr, l, t, r, b)));
                }
            }
        }
    }
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
}

// Counts, fill modes and vertices the reference files do not try: the call fails at once, without
// reading past the points given.
void TestRegions::polygonArguments() {
    const std::vector<Coordinates> square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    QElapsedTimer timer;
    timer.start();
    for (const int32_t mode : {platform::ALTERNATE, platform::WINDING}) {
        QCOMPARE(platform::CreatePolygonRgn(nullptr, 0, mode), std::optional(QRegion()));
        for (const int32_t count : {-1, kIntMin, platform::kMaxPolygonPoints + 1, kIntMax})
            QVERIFY(!platform::CreatePolygonRgn(square.data(), count, mode));
        QVERIFY(!platform::CreatePolygonRgn(nullptr, 3, mode));
        for (const Coordinates far : {Coordinates{kIntMin, 0}, {0, kIntMax}, {32768, 0}}) {
            const std::vector<Coordinates> points{{0, 0}, {10, 0}, far};
            QVERIFY(!platform::CreatePolygonRgn(points.data(), 3, mode));
        }
    }
    for (const int32_t mode : {0, 3, -1, kIntMax})
        QVERIFY(!platform::CreatePolygonRgn(square.data(), 4, mode));
    // A zigzag over the whole 16-bit height fails with 1,000 vertices: its region would hold
    // some 30 million rectangles. With three vertices it stands.
    std::vector<Coordinates> zigzag;
    for (int32_t i = 0; i < 1000; ++i)
        zigzag.push_back({-32768 + 60 * i, i % 2 ? 32767 : -32768});
    QVERIFY(!platform::CreatePolygonRgn(zigzag.data(), 1000, platform::WINDING));
    QVERIFY(platform::CreatePolygonRgn(zigzag.data(), 3, platform::WINDING));
    QVERIFY(timer.elapsed() < 1000);
}

// Qt's polygon regions give the same pixels as Windows (all reference polygons agree), but cost
// time in the square of their height, so they serve only as a check here. Qt can leave touching
// runs apart and, in winding mode, bands overlapping, so its rectangles are joined one by one into
// a well-formed region first; ours must then equal it band for band. The seed is fixed: a failing
// round number names its polygon.
void TestRegions::polygonsAgreeWithQt() {
    QRandomGenerator random(20261206);
    for (int round = 0; round < 3000; ++round) {
        const int count = 3 + random.bounded(round % 5 == 0 ? 60 : 9);
        const int size = 2 + random.bounded(round % 3 == 0 ? 12 : 300);
        std::vector<Coordinates> points;
        QPolygon polygon;
        for (int i = 0; i < count; ++i) {
            points.push_back({random.bounded(size) - size / 3, random.bounded(size) - size / 3});
            polygon << QPoint(points.back().X, points.back().Y);
        }
        for (const int32_t mode : {platform::ALTERNATE, platform::WINDING}) {
            QRegion expected;
            for (const QRect &rect :
                 QRegion(polygon, mode == platform::WINDING ? Qt::WindingFill : Qt::OddEvenFill))
                expected += rect;
            const auto got = platform::CreatePolygonRgn(points.data(), count, mode);
            QVERIFY2(got && *got == expected,
                     qPrintable(QString("round %1 mode %2").arg(round).arg(mode)));
        }
    }
}

// Vertices at the far ends of the 16-bit range: one step a row, so a polygon 65,535 rows tall
// takes milliseconds, where Qt takes seconds.
void TestRegions::tallPolygonsAnswerAtOnce() {
    QElapsedTimer timer;
    timer.start();
    const std::vector<Coordinates> square{
        {-32768, -32768}, {32767, -32768}, {32767, 32767}, {-32768, 32767}};
    for (const int32_t mode : {platform::ALTERNATE, platform::WINDING})
        QCOMPARE(platform::CreatePolygonRgn(square.data(), 4, mode),
                 std::optional(QRegion(-32768, -32768, 65535, 65535)));
    // A thin triangle: every row holds one run, from the left edge to the right one.
    const std::vector<Coordinates> triangle{{10, 20}, {25649, 5120}, {12800, 20652}};
    const auto region = platform::CreatePolygonRgn(triangle.data(), 3, platform::WINDING);
    QVERIFY(region);
    QCOMPARE(region->boundingRect(),
             QRect(QPoint(11, 21), QPoint(25648, 20651))); // row 20: the apex alone
    QVERIFY(region->contains(QPoint(12800, 20651)) && !region->contains(QPoint(12801, 20651)));
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
}

QTEST_GUILESS_MAIN(TestRegions)
#include "tst_regions.moc"
