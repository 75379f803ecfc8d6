#include "app/MainForm.h"
#include "capture/TracingSurface.h"
#include "platform/Regions.h"
#include "platform/Screen.h"
#include "platform/WindowRegion.h"
#include "windows/CaptionFrame.h"
#include "windows/CutForm.h"
#include "windows/OutForm.h"

#include <QAction>
#include <QtTest>
#include <memory>
#include <vector>

// The "&Пример" command from the first click to the shaped preview and the code window's texts,
// and the preview window's own behaviour, on the real windows.
namespace {

const QString kDeclarations =
    QStringLiteral("Private Type Coordinates\r\n"
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
                   "Long, ByVal nPolyFillMode As Long) As Long");

const std::vector<Coordinates> kTriangle{{10, 20}, {100, 20}, {50, 80}};

QString line(int index, int x, int y) {
    return QStringLiteral("XY(%1).X=%2: XY(%1).Y=%3\r\n").arg(index).arg(x).arg(y);
}

// The procedure text around the lines collected before.
QByteArray wrapped(int n, const QString &previous, const QString &closingLine) {
    return (QStringLiteral("Dim hRgn As Long\r\n\r\nReDim XY(%1) As Coordinates\r\n\r\n").arg(n) +
            previous + closingLine +
            QStringLiteral("\r\nhRgn = CreatePolygonRgn(XY(0),%1, 2)\r\n"
                           "Call SetWindowRgn(Me.hWnd, hRgn, True)\r\n")
                .arg(n))
        .toUtf8();
}

// What the region constructor makes of the same points, passed the same way.
std::optional<QRegion> polygonOf(const std::vector<Coordinates> &points) {
    return platform::CreatePolygonRgn(points.data(), int32_t(points.size()), 2);
}

QByteArray saveFormat() {
    return OutForm::ref().saveFormatText().toUtf8();
}

std::optional<QRegion> previewRegion() {
    return platform::windowRegion(&CutForm::ref());
}

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A press, a move with the button held and a release, as a drag on the frame.
void drag(QWidget *w, QPoint from, QPoint by) {
    QTest::mousePress(w, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(from + by), QPointF(w->mapToGlobal(from) + by),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    QTest::mouseRelease(w, Qt::LeftButton, {}, from + by);
}

} // namespace

class TestPolygon : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void triangleGivesTheWorkedExample();
    void twoPointsLeaveCodeAsItWas();
    void countsAfterTheFocusRule();
    void largestOutline();
    void secondRunWrapsTheTextAgain();
    void afterTheCodeWindowClosed();

    void clicksHideOnlyOnTheClientArea();
    void closingDisablesThePreviewCommand_data();
    void closingDisablesThePreviewCommand();
    void sizeFollowsTheMainWindowTheRegionStays();
    void emptyAndNullRegionsDiffer();

private:
    // A mouse-down on the main window at a position in pixels (15 twips each).
    void click(int x, int y, int button = 1) { m_main->Form_MouseDown(button, 0, x * 15, y * 15); }
    void trace(const std::vector<Coordinates> &points) {
        for (const Coordinates &p : points)
            click(p.X, p.Y);
    }

    std::unique_ptr<MainForm> m_main;
};

void TestPolygon::initTestCase() {
    platform::setTwipsPerPixelForTesting(15, 15);
}

void TestPolygon::init() {
    m_main = std::make_unique<MainForm>();
    m_main->RestBut_Click();
}

void TestPolygon::cleanup() {
    if (CutForm *preview = CutForm::loaded())
        preview->close();
    if (OutForm *code = OutForm::loaded())
        code->close();
    flushDeletes();
    m_main.reset();
}

void TestPolygon::triangleGivesTheWorkedExample() {
    trace(kTriangle);
    QVERIFY(m_main->MakeBut->isEnabled());
    QVERIFY(!m_main->Program->isEnabled());
    m_main->MakeBut_Click();

    QVERIFY(!m_main->MakeBut->isEnabled());
    QVERIFY(m_main->Program->isEnabled());
    QVERIFY(CutForm::loaded() && CutForm::loaded()->isVisible());
    QVERIFY(!OutForm::loaded()->isVisible()); // the user opens it with "&Код"
    QCOMPARE(saveFormat(), QByteArray("Dim hRgn As Long\r\n"
                                      "\r\n"
                                      "ReDim XY(3) As Coordinates\r\n"
                                      "\r\n"
                                      "XY(0).X=10: XY(0).Y=20\r\n"
                                      "XY(1).X=100: XY(1).Y=20\r\n"
                                      "XY(2).X=50: XY(2).Y=80\r\n"
                                      "XY(3).X=10: XY(3).Y=20\r\n"
                                      "\r\n"
                                      "hRgn = CreatePolygonRgn(XY(0),3, 2)\r\n"
                                      "Call SetWindowRgn(Me.hWnd, hRgn, True)\r\n"));
    QCOMPARE(OutForm::ref().declareText().toUtf8(), kDeclarations.toUtf8());

    // The triangle itself, measured from the preview's outer corner: not moved by the frame.
    QVERIFY(polygonOf(kTriangle) && !polygonOf(kTriangle)->isEmpty());
    QCOMPARE(previewRegion(), polygonOf(kTriangle));
    QCOMPARE(CutForm::ref().mask(), *polygonOf(kTriangle));

    // A reset hides the preview and keeps its shape for the next showing.
    m_main->RestBut_Click();
    QVERIFY(!CutForm::loaded()->isVisible());
    QCOMPARE(previewRegion(), polygonOf(kTriangle));
}

void TestPolygon::twoPointsLeaveCodeAsItWas() {
    for (const bool codeEnabled : {false, true}) {
        m_main->RestBut_Click();
        trace({{30, 40}, {120, 90}});
        click(5, 5, 2); // a mouse-down with two vertices makes "&Пример" available
        QVERIFY(m_main->MakeBut->isEnabled());
        m_main->Program->setEnabled(codeEnabled); // as after an ellipse was generated
        m_main->MakeBut_Click();
        QCOMPARE(m_main->Program->isEnabled(), codeEnabled);
        QCOMPARE(saveFormat(), wrapped(2, line(0, 30, 40) + line(1, 120, 90), line(2, 30, 40)));
        QCOMPARE(previewRegion(), polygonOf({{30, 40}, {120, 90}}));
    }
}

void TestPolygon::countsAfterTheFocusRule() {
    trace(kTriangle);
    const QString collected = line(0, 10, 20) + line(1, 100, 20) + line(2, 50, 80);
    // The main window gets the focus back: the count starts over, "&Пример" stays available.
    m_main->Form_GotFocus();
    QVERIFY(m_main->MakeBut->isEnabled());
    m_main->MakeBut_Click();
    QVERIFY(!m_main->Program->isEnabled());
    // n is 0, the closing line is still the one built for the third vertex.
    QCOMPARE(saveFormat(), wrapped(0, collected, line(3, 10, 20)));
    QCOMPARE(previewRegion(), std::optional(QRegion()));

    // Once more with one vertex taken since the focus came back.
    m_main->RestBut_Click();
    trace(kTriangle);
    m_main->Form_GotFocus();
    click(70, 5);
    QVERIFY(m_main->MakeBut->isEnabled());
    m_main->Program->setEnabled(true);
    m_main->MakeBut_Click();
    QVERIFY(m_main->Program->isEnabled()); // as it was
    QCOMPARE(saveFormat(), wrapped(1, collected + line(0, 70, 5), line(1, 70, 5)));
    QCOMPARE(previewRegion(), polygonOf({{70, 5}}));
}

void TestPolygon::largestOutline() {
    std::vector<Coordinates> points;
    QString collected;
    for (int i = 0; i < 500; ++i) {
        // A zigzag star: every vertex differs, and leaving any one out changes the shape.
        const int x = 160 + (i % 2 ? 150 : 40) * std::cos(i * 2 * M_PI / 500);
        const int y = 160 + (i % 2 ? 150 : 40) * std::sin(i * 2 * M_PI / 500);
        points.push_back({x, y});
        collected += line(i, x, y);
    }
    trace(points);
    m_main->MakeBut_Click();
    QCOMPARE(saveFormat(), wrapped(500, collected, line(500, points[0].X, points[0].Y)));
    QCOMPARE(previewRegion(), polygonOf(points));
    QVERIFY(previewRegion() != polygonOf({points.begin(), points.end() - 1}));
}

void TestPolygon::secondRunWrapsTheTextAgain() {
    trace({{10, 20}, {100, 20}});
    click(1, 1, 2);
    m_main->MakeBut_Click();
    const QByteArray first = wrapped(2, line(0, 10, 20) + line(1, 100, 20), line(2, 10, 20));
    QCOMPARE(saveFormat(), first);

    // No reset in between: the next click adds to the generated text, and the next run wraps it.
    click(50, 80);
    QVERIFY(m_main->MakeBut->isEnabled());
    m_main->MakeBut_Click();
    QCOMPARE(saveFormat(), wrapped(3, QString::fromUtf8(first) + line(2, 50, 80), line(3, 10, 20)));
    QCOMPARE(previewRegion(), polygonOf(kTriangle));
}

void TestPolygon::afterTheCodeWindowClosed() {
    trace(kTriangle);
    OutForm::ref().close();
    flushDeletes();
    QVERIFY(!m_main->MakeBut->isEnabled());
    trace({{200, 30}, {150, 150}});
    QVERIFY(m_main->MakeBut->isEnabled());
    m_main->MakeBut_Click();
    // Only the lines written since are there; the count and the closing line cover all five.
    QCOMPARE(saveFormat(), wrapped(5, line(3, 200, 30) + line(4, 150, 150), line(5, 10, 20)));
    QCOMPARE(previewRegion(), polygonOf({{10, 20}, {100, 20}, {50, 80}, {200, 30}, {150, 150}}));
}

void TestPolygon::clicksHideOnlyOnTheClientArea() {
    m_main->MakeBut->setEnabled(true);
    CutForm &preview = CutForm::ref();
    QVERIFY(!preview.isVisible());
    QCOMPARE(CaptionFrame::clientRect(preview.size()).size(), QSize(333, 310));
    preview.show();
    const QSize outer = preview.size();
    const QRect bar = CaptionFrame::captionRect(outer);
    for (const QPoint p : {bar.center(), QPoint(1, outer.height() / 2),
                           QPoint(outer.width() / 2, outer.height() - 1)}) {
        QTest::mouseClick(&preview, Qt::LeftButton, {}, p);
        QVERIFY(preview.isVisible());
    }
    // A press on the client area let go on the frame is no click either.
    QTest::mousePress(&preview, Qt::LeftButton, {}, CaptionFrame::clientRect(outer).center());
    QTest::mouseRelease(&preview, Qt::LeftButton, {}, bar.center());
    QVERIFY(preview.isVisible());

    QTest::mouseClick(&preview, Qt::LeftButton, {},
                      CaptionFrame::clientRect(outer).topLeft() + QPoint(5, 5));
    QVERIFY(!preview.isVisible());
    QCOMPARE(CutForm::loaded(), &preview); // hidden, not closed
    QVERIFY(m_main->MakeBut->isEnabled());
}

void TestPolygon::closingDisablesThePreviewCommand_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("close") << "close";
    QTest::newRow("close box") << "box";
    QTest::newRow("Alt+F4") << "key";
    QTest::newRow("double click on the icon") << "icon";
}

void TestPolygon::closingDisablesThePreviewCommand() {
    QFETCH(QString, how);
    trace(kTriangle);
    m_main->MakeBut_Click();
    m_main->MakeBut->setEnabled(true);
    QPointer<CutForm> preview = &CutForm::ref();
    const QSize outer = preview->size();
    if (how == "close")
        preview->close();
    else if (how == "box")
        QTest::mouseClick(preview, Qt::LeftButton, {}, CaptionFrame::closeBoxRect(outer).center());
    else if (how == "key")
        QTest::keyClick(preview, Qt::Key_F4, Qt::AltModifier);
    else
        QTest::mouseDClick(preview, Qt::LeftButton, {}, CaptionFrame::iconRect(outer).center());
    QVERIFY(!m_main->MakeBut->isEnabled());
    QVERIFY(!CutForm::loaded());
    flushDeletes();
    QVERIFY(!preview);
    // The next one is fresh: hidden, unshaped, at its first size.
    QVERIFY(!CutForm::ref().isVisible());
    QVERIFY(!previewRegion());
    QVERIFY(CutForm::ref().mask().isEmpty());
    QCOMPARE(CutForm::ref().size(), CaptionFrame::outerSizeFor(QSize(333, 310)));
}

void TestPolygon::sizeFollowsTheMainWindowTheRegionStays() {
    trace(kTriangle);
    m_main->Form_Resize();
    m_main->MakeBut_Click();
    CutForm &preview = CutForm::ref();
    QCOMPARE(preview.size(), m_main->frameGeometry().size());
    const QRegion region = preview.mask();

    // Sizing the window by its corner leaves the shape as it was.
    const QSize size = preview.size();
    drag(&preview, QPoint(size.width() - 1, size.height() - 1), QPoint(60, 70));
    QCOMPARE(preview.size(), size + QSize(60, 70));
    QCOMPARE(preview.mask(), region);
    QCOMPARE(previewRegion(), std::optional<QRegion>(region));
}

void TestPolygon::emptyAndNullRegionsDiffer() {
    CutForm &preview = CutForm::ref();
    preview.show();
    // Empty: nothing of the window is left, which a mask with nothing in it would not give.
    platform::SetWindowRgn(&preview, QRegion());
    QCOMPARE(previewRegion(), std::optional<QRegion>(QRegion()));
    QVERIFY(!preview.mask().isEmpty());
    preview.resize(preview.size() + QSize(100, 100));
    QVERIFY(preview.mask().intersected(preview.rect()).isEmpty());

    // Null, as from a region that could not be made: the whole window again.
    platform::SetWindowRgn(&preview, std::nullopt);
    QVERIFY(!previewRegion());
    QVERIFY(preview.mask().isEmpty());
}

QTEST_MAIN(TestPolygon)
#include "tst_polygon.moc"
