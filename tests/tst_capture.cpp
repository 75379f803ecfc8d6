// The outline rules on their own: the point-assignment lines, the closed point table and the full
// outline.
#include "capture/Outline.h"
#include "platform/RuntimeError.h"

#include <QtTest>
#include <clocale>
#include <string>

class TestCapture : public QObject {
    Q_OBJECT

private slots:
    void writesPointLines_data();
    void writesPointLines();
    void writesDragLines_data();
    void writesDragLines();
    void dragLinesKeepThePointUnderACommaLocale();
    void firstVertexIsAlsoItsClosingCopy();
    void secondAndThirdVerticesMoveTheClosingCopy();
    void leavesStaleSlotsAlone();
    void storesNegativeDragPositions();
    void takesTheFiveHundredthVertex();
    void fiveHundredAndFirstVertexIsASubscriptError();
    void reportsAFullOutlineOnce();
    void reportsAgainOnceTheOutlineHadRoom();

private:
    static int captureError(Outline &outline, int16_t px, int16_t py);
    static void fill(Outline &outline, int count);
};

int TestCapture::captureError(Outline &outline, int16_t px, int16_t py) {
    try {
        captureVertex(outline, px, py);
    } catch (const platform::RuntimeError &error) {
        return error.number();
    }
    return 0;
}

// Vertices (i, 2i + 1) for i = 0 .. count - 1.
void TestCapture::fill(Outline &outline, int count) {
    for (int i = 0; i < count; ++i)
        captureVertex(outline, int16_t(i), int16_t(2 * i + 1));
}

void TestCapture::writesPointLines_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("vertex 0") << 0 << 100 << 50 << QByteArray("XY(0).X=100: XY(0).Y=50\r\n");
    QTest::newRow("negative x") << 4 << -3 << 12 << QByteArray("XY(4).X=-3: XY(4).Y=12\r\n");
    QTest::newRow("zeros") << 0 << 0 << 0 << QByteArray("XY(0).X=0: XY(0).Y=0\r\n");
    QTest::newRow("slot 500") << 500 << -32768 << 32767
                              << QByteArray("XY(500).X=-32768: XY(500).Y=32767\r\n");
}

void TestCapture::writesPointLines() {
    QFETCH(int, index);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(QByteArray, line);
    QCOMPARE(QByteArray::fromStdString(pointLine(index, x, y)), line);
}

void TestCapture::writesDragLines_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<float>("qx");
    QTest::addColumn<float>("qy");
    QTest::addColumn<QByteArray>("line");
    // On whole pixels a drag writes what a click would.
    QTest::newRow("whole") << 4 << -3.0f << 12.0f << QByteArray("XY(4).X=-3: XY(4).Y=12\r\n");
    QTest::newRow("halves") << 7 << 37.5f << 22.5f << QByteArray("XY(7).X=37.5: XY(7).Y=22.5\r\n");
    QTest::newRow("thirds") << 2 << 100.0f / 15.0f << -40.0f / 15.0f
                            << QByteArray("XY(2).X=6.666667: XY(2).Y=-2.666667\r\n");
}

void TestCapture::writesDragLines() {
    QFETCH(int, index);
    QFETCH(float, qx);
    QFETCH(float, qy);
    QFETCH(QByteArray, line);
    QCOMPARE(QByteArray::fromStdString(dragLine(index, qx, qy)), line);
}

void TestCapture::dragLinesKeepThePointUnderACommaLocale() {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "ru_RU.UTF-8"))
        QSKIP("the ru_RU.UTF-8 locale is not installed (scripts/install-deps.sh makes it)");
    const std::string line = dragLine(1, 37.5f, -2.5f);
    std::setlocale(LC_ALL, saved.c_str());
    QCOMPARE(QByteArray::fromStdString(line), QByteArray("XY(1).X=37.5: XY(1).Y=-2.5\r\n"));
}

void TestCapture::firstVertexIsAlsoItsClosingCopy() {
    Outline outline;
    captureVertex(outline, 100, 50);
    QCOMPARE(outline.PointCount, int16_t(1));
    QCOMPARE(outline.XY[0].X, 100);
    QCOMPARE(outline.XY[0].Y, 50);
    QCOMPARE(outline.XY[1].X, 100);
    QCOMPARE(outline.XY[1].Y, 50);
    QCOMPARE(outline.FirstX, int16_t(100));
    QCOMPARE(outline.FirstY, int16_t(50));
    QCOMPARE(outline.ClosingLine, std::string("XY(1).X=100: XY(1).Y=50\r\n"));
}

void TestCapture::secondAndThirdVerticesMoveTheClosingCopy() {
    Outline outline;
    captureVertex(outline, 100, 50);
    captureVertex(outline, 200, 50);
    QCOMPARE(outline.PointCount, int16_t(2));
    QCOMPARE(outline.XY[1].X, 200);
    QCOMPARE(outline.XY[1].Y, 50);
    QCOMPARE(outline.XY[2].X, 100);
    QCOMPARE(outline.XY[2].Y, 50);
    QCOMPARE(outline.ClosingLine, std::string("XY(2).X=100: XY(2).Y=50\r\n"));

    captureVertex(outline, 150, 120);
    QCOMPARE(outline.PointCount, int16_t(3));
    QCOMPARE(outline.XY[2].X, 150);
    QCOMPARE(outline.XY[2].Y, 120);
    QCOMPARE(outline.XY[3].X, 100);
    QCOMPARE(outline.XY[3].Y, 50);
    QCOMPARE(outline.XY[0].X, 100); // earlier vertices stay
    QCOMPARE(outline.ClosingLine, std::string("XY(3).X=100: XY(3).Y=50\r\n"));
}

void TestCapture::leavesStaleSlotsAlone() {
    Outline outline;
    fill(outline, 6);
    // A reset only sets the count back; the next outline overwrites what it needs.
    outline.PointCount = 0;
    captureVertex(outline, -7, 9);
    QCOMPARE(outline.FirstX, int16_t(-7));
    QCOMPARE(outline.FirstY, int16_t(9));
    QCOMPARE(outline.XY[1].X, -7);
    QCOMPARE(outline.XY[1].Y, 9);
    QCOMPARE(outline.XY[2].X, 2); // the old outline's vertex 2
    QCOMPARE(outline.XY[5].Y, 11);
    QCOMPARE(outline.XY[6].X, 0); // its closing copy
    QCOMPARE(outline.ClosingLine, std::string("XY(1).X=-7: XY(1).Y=9\r\n"));
}

void TestCapture::storesNegativeDragPositions() {
    Outline outline;
    fill(outline, 4);
    captureVertex(outline, -3, 12);
    QCOMPARE(outline.XY[4].X, -3);
    QCOMPARE(outline.XY[4].Y, 12);
    QCOMPARE(outline.XY[5].X, 0);
    QCOMPARE(outline.XY[5].Y, 1);
    QCOMPARE(outline.ClosingLine, std::string("XY(5).X=0: XY(5).Y=1\r\n"));
}

void TestCapture::takesTheFiveHundredthVertex() {
    Outline outline;
    fill(outline, 499);
    QCOMPARE(outline.PointCount, int16_t(499));
    QCOMPARE(captureError(outline, 300, 301), 0);
    QCOMPARE(outline.PointCount, int16_t(500));
    QCOMPARE(outline.XY[499].X, 300);
    QCOMPARE(outline.XY[499].Y, 301);
    QCOMPARE(outline.XY[500].X, 0); // closing copy in the last slot
    QCOMPARE(outline.XY[500].Y, 1);
    QCOMPARE(outline.ClosingLine, std::string("XY(500).X=0: XY(500).Y=1\r\n"));
}

void TestCapture::fiveHundredAndFirstVertexIsASubscriptError() {
    Outline outline;
    fill(outline, 500);
    const std::string closing = outline.ClosingLine;
    QCOMPARE(captureError(outline, 77, 88), int(platform::ErrSubscriptOutOfRange));
    // Stored in slot 500 before the closing copy failed; nothing after that step ran.
    QCOMPARE(outline.XY[500].X, 77);
    QCOMPARE(outline.XY[500].Y, 88);
    QCOMPARE(outline.PointCount, int16_t(500));
    QCOMPARE(outline.ClosingLine, closing);
    QCOMPARE(outline.XY[499].X, 499);

    // The next one fails the same way.
    QCOMPARE(captureError(outline, 5, 6), int(platform::ErrSubscriptOutOfRange));
    QCOMPARE(outline.XY[500].X, 5);
    QCOMPARE(outline.PointCount, int16_t(500));
}

void TestCapture::reportsAFullOutlineOnce() {
    Outline outline;
    CapacityNotice notice;
    for (int i = 0; i < 500; ++i)
        notice.captureVertex(outline, int16_t(i), int16_t(i));

    int reported = 0;
    for (int i = 0; i < 20; ++i) {
        try {
            notice.captureVertex(outline, int16_t(1000 + i), 3);
        } catch (const platform::RuntimeError &error) {
            QCOMPARE(error.number(), int(platform::ErrSubscriptOutOfRange));
            ++reported;
        }
        // Every attempt still does what it does before the failing step, and no more.
        QCOMPARE(outline.XY[500].X, 1000 + i);
        QCOMPARE(outline.PointCount, int16_t(500));
        QCOMPARE(outline.ClosingLine, std::string("XY(500).X=0: XY(500).Y=0\r\n"));
    }
    QCOMPARE(reported, 1);
}

void TestCapture::reportsAgainOnceTheOutlineHadRoom() {
    Outline outline;
    CapacityNotice notice;
    auto reports = [&](int attempts) {
        int reported = 0;
        for (int i = 0; i < attempts; ++i) {
            try {
                notice.captureVertex(outline, 1, 1);
            } catch (const platform::RuntimeError &) {
                ++reported;
            }
        }
        return reported;
    };
    QCOMPARE(reports(503), 1); // 500 fit, then three that do not
    outline.PointCount = 0;    // a reset
    QCOMPARE(reports(1), 0);
    QCOMPARE(outline.PointCount, int16_t(1));
    QCOMPARE(reports(505), 1);
    QCOMPARE(outline.PointCount, int16_t(500));
}

QTEST_APPLESS_MAIN(TestCapture)
#include "tst_capture.moc"
