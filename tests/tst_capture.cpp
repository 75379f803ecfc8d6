// The outline rules on their own: the lines written per vertex and the full outline.
#include "capture/Outline.h"
#include "platform/RuntimeError.h"

#include <QtTest>
#include <clocale>
#include <string>

class TestCapture : public QObject {
    Q_OBJECT

private slots:
    void writesLines_data();
    void writesLines();
    void dragLinesKeepThePointUnderACommaLocale();
    void reportsAFullOutlineOncePerMouseDown();
};

void TestCapture::writesLines_data() {
    QTest::addColumn<bool>("drag");
    QTest::addColumn<int>("index");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("click, 16-bit ends") << false << 500 << -32768.0f << 32767.0f
                                        << QByteArray("XY(500).X=-32768: XY(500).Y=32767\r\n");
    // On whole pixels a drag writes what a click would.
    QTest::newRow("drag, whole") << true << 4 << -3.0f << 12.0f
                                 << QByteArray("XY(4).X=-3: XY(4).Y=12\r\n");
    QTest::newRow("drag, thirds") << true << 2 << 100.0f / 15.0f << -40.0f / 15.0f
                                  << QByteArray("XY(2).X=6.666667: XY(2).Y=-2.666667\r\n");
}

void TestCapture::writesLines() {
    QFETCH(bool, drag);
    QFETCH(int, index);
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(QByteArray, line);
    const std::string written =
        drag ? dragLine(index, x, y) : pointLine(index, int32_t(x), int32_t(y));
    QCOMPARE(QByteArray::fromStdString(written), line);
}

void TestCapture::dragLinesKeepThePointUnderACommaLocale() {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "ru_RU.UTF-8"))
        QSKIP("the ru_RU.UTF-8 locale is not installed (scripts/install-deps.sh makes it)");
    const std::string line = dragLine(1, 37.5f, -2.5f);
    std::setlocale(LC_ALL, saved.c_str());
    QCOMPARE(QByteArray::fromStdString(line), QByteArray("XY(1).X=37.5: XY(1).Y=-2.5\r\n"));
}

void TestCapture::reportsAFullOutlineOncePerMouseDown() {
    Outline outline;
    CapacityNotice notice;
    auto reports = [&](int attempts) {
        int reported = 0;
        for (int i = 0; i < attempts; ++i) {
            try {
                notice.captureVertex(outline, int16_t(1000 + i), 3);
            } catch (const platform::RuntimeError &error) {
                if (error.number() == platform::ErrSubscriptOutOfRange)
                    ++reported;
            }
        }
        return reported;
    };
    QCOMPARE(reports(520), 1); // 500 fit, then twenty that do not
    // Every attempt still stored itself in slot 500; nothing after the failing step ran.
    QCOMPARE(outline.XY[500].X, 1519);
    QCOMPARE(outline.PointCount, int16_t(500));
    QCOMPARE(outline.ClosingLine, std::string("XY(500).X=1000: XY(500).Y=3\r\n"));
    notice.newMouseDown();
    QCOMPARE(reports(3), 1);
    outline.clear(); // a reset
    QCOMPARE(reports(1), 0);
    QCOMPARE(outline.PointCount, int16_t(1));
    QCOMPARE(reports(505), 1);
}

QTEST_APPLESS_MAIN(TestCapture)
#include "tst_capture.moc"
