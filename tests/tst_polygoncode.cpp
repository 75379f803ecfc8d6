#include "codegen/PolygonCode.h"

#include <QtTest>
#include <algorithm>
#include <string>

// The polygon texts, checked byte for byte without any window.
namespace {
// Compared as byte arrays, a mismatch prints both texts.
QByteArray bytes(const std::string &text) {
    return QByteArray::fromStdString(text);
}
} // namespace

class TestPolygonCode : public QObject {
    Q_OBJECT

private slots:
    void triangleProcedure();
    void procedureKeepsPreviousTextAsItIs();
    void countIsWrittenInPlainDecimal_data();
    void countIsWrittenInPlainDecimal();
    void declarations();
};

void TestPolygonCode::triangleProcedure() {
    const std::string previous = "XY(0).X=10: XY(0).Y=20\r\n"
                                 "XY(1).X=100: XY(1).Y=20\r\n"
                                 "XY(2).X=50: XY(2).Y=80\r\n";
    const std::string expected = "Dim hRgn As Long\r\n"
                                 "\r\n"
                                 "ReDim XY(3) As Coordinates\r\n"
                                 "\r\n"
                                 "XY(0).X=10: XY(0).Y=20\r\n"
                                 "XY(1).X=100: XY(1).Y=20\r\n"
                                 "XY(2).X=50: XY(2).Y=80\r\n"
                                 "XY(3).X=10: XY(3).Y=20\r\n"
                                 "\r\n"
                                 "hRgn = CreatePolygonRgn(XY(0),3, 2)\r\n"
                                 "Call SetWindowRgn(Me.hWnd, hRgn, True)\r\n";
    QCOMPARE(bytes(PolygonCode::procedureText(3, previous, "XY(3).X=10: XY(3).Y=20\r\n")),
             bytes(expected));
}

void TestPolygonCode::procedureKeepsPreviousTextAsItIs() {
    // Nothing is trimmed, re-indented or separated: odd text goes in untouched, even without a
    // final line end, and the closing line follows it directly.
    const std::string previous = "  odd\ttext \r\nno line end";
    const std::string text = PolygonCode::procedureText(2, previous, "XY(2).X=-1: XY(2).Y=0\r\n");
    const std::string head = "Dim hRgn As Long\r\n\r\nReDim XY(2) As Coordinates\r\n\r\n";
    QCOMPARE(bytes(text.substr(0, head.size())), bytes(head));
    QCOMPARE(bytes(text.substr(head.size(), previous.size())), bytes(previous));
    QCOMPARE(bytes(text.substr(head.size() + previous.size())),
             QByteArray("XY(2).X=-1: XY(2).Y=0\r\n\r\n"
                        "hRgn = CreatePolygonRgn(XY(0),2, 2)\r\n"
                        "Call SetWindowRgn(Me.hWnd, hRgn, True)\r\n"));

    // An empty previous text and an empty closing line leave the four fixed blocks back to back.
    QCOMPARE(bytes(PolygonCode::procedureText(0, "", "")),
             QByteArray("Dim hRgn As Long\r\n\r\nReDim XY(0) As Coordinates\r\n\r\n\r\n"
                        "hRgn = CreatePolygonRgn(XY(0),0, 2)\r\n"
                        "Call SetWindowRgn(Me.hWnd, hRgn, True)\r\n"));
}

void TestPolygonCode::countIsWrittenInPlainDecimal_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("digits");
    QTest::newRow("0") << 0 << "0";
    QTest::newRow("1") << 1 << "1";
    QTest::newRow("10") << 10 << "10";
    QTest::newRow("500") << 500 << "500";
}

void TestPolygonCode::countIsWrittenInPlainDecimal() {
    QFETCH(int, count);
    QFETCH(QString, digits);
    const std::string n = digits.toStdString();
    const std::string text = PolygonCode::procedureText(count, "", "X\r\n");
    QVERIFY(text.find("\r\nReDim XY(" + n + ") As Coordinates\r\n") != std::string::npos);
    QVERIFY(text.find("\r\nhRgn = CreatePolygonRgn(XY(0)," + n + ", 2)\r\n") != std::string::npos);
    QVERIFY(text.ends_with("Call SetWindowRgn(Me.hWnd, hRgn, True)\r\n"));
}

void TestPolygonCode::declarations() {
    const std::string expected = "Private Type Coordinates\r\n"
                                 "X As Long\r\n"
                                 "Y As Long\r\n"
                                 "End Type\r\n"
                                 "Dim XY() As Coordinates\r\n"
                                 "\r\n"
                                 "Private Declare Function SetWindowRgn Lib _\r\n"
                                 "\"user32\" (ByVal hWnd As Long, _\r\n"
                                 "ByVal hRgn As Long, ByVal bRedraw As Long) As Long\r\n"
                                 "Private Declare Function CreatePolygonRgn Lib _\r\n"
                                 "\"gdi32\"(lpPoint As Coordinates, ByVal nCount As _\r\n"
                                 "Long, ByVal nPolyFillMode As Long) As Long";
    const std::string text = PolygonCode::declarationsText();
    QCOMPARE(bytes(text), bytes(expected));
    // Each library name has one quote on either side, never a doubled one.
    QCOMPARE(std::count(text.begin(), text.end(), '"'), std::ptrdiff_t(4));
    QVERIFY(text.find("\"\"") == std::string::npos);
}

QTEST_APPLESS_MAIN(TestPolygonCode)
#include "tst_polygoncode.moc"
