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

constexpr float kTwipsPerPixel = 15.0f;

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

QString expectedLine(int index, int x, int y) {
    return QStringLiteral("XY(%1).X=%2: XY(%1).Y=%3\r\n").arg(index).arg(x).arg(y);
}

// The procedure text around the lines collected before, spelled out line by line.
QString wrapped(int n, const QString &previous, const QString &closingLine) {
    return QStringLiteral("Dim hRgn As Long\r\n\r\nReDim XY(%1) As Coordinates\r\n\r\n").arg(n) +
           previous + closingLine +
           QStringLiteral("\r\nhRgn = CreatePolygonRgn(XY(0),%1, 2)\r\n"
                          "Call SetWindowRgn(Me.hWnd, hRgn, True)\r\n")
               .arg(n);
}

// What the region constructor makes of the same points, passed the same way.
std::optional<QRegion> polygonOf(const std::vector<Coordinates> &points) {
    return platform::CreatePolygonRgn(points.data(), int32_t(points.size()), 2);
}

QString saveFormat() {
    return OutForm::ref().saveFormatText();
}

bool isBlank(const QImage &image) {
    if (image.isNull())
        return true;
    const QRgb ground = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != ground)
                return false;
        }
    }
    return true;
}

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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

    void previewStartsHiddenAtItsInitialSize();
    void clickOnTheClientAreaHides();
    void clicksOnTheFrameDoNotHide();
    void closingDisablesThePreviewCommand_data();
    void closingDisablesThePreviewCommand();
    void freshPreviewAfterClose();
    void resetHidesThePreview();
    void previewTakesTheMainWindowsOuterSize();
    void regionStaysWhenMovedOrSized();
    void emptyAndNullRegionsDiffer();
    void maximizeBoxFillsTheScreenAndBack();

private:
    // A left click on the main window at a position in pixels.
    void click(int x, int y) {
        m_main->Form_MouseDown(1, 0, x * kTwipsPerPixel, y * kTwipsPerPixel);
    }
    void rightClick(int x, int y) {
        m_main->Form_MouseDown(2, 0, x * kTwipsPerPixel, y * kTwipsPerPixel);
    }
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
    const std::vector<Coordinates> triangle{{10, 20}, {100, 20}, {50, 80}};
    trace(triangle);
    QVERIFY(m_main->MakeBut->isEnabled());
    QVERIFY(!m_main->Program->isEnabled());
    QVERIFY(!isBlank(m_main->surface()->drawing()));

    m_main->MakeBut_Click();

    QVERIFY(!m_main->MakeBut->isEnabled());
    QVERIFY(m_main->Program->isEnabled());
    QVERIFY(isBlank(m_main->surface()->drawing()));
    QVERIFY(CutForm::loaded());
    QVERIFY(CutForm::loaded()->isVisible());
    QVERIFY(OutForm::loaded());
    QVERIFY(!OutForm::loaded()->isVisible()); // the user opens it with "&Код"

    const QString procedure = QStringLiteral("Dim hRgn As Long\r\n"
                                             "\r\n"
                                             "ReDim XY(3) As Coordinates\r\n"
                                             "\r\n"
                                             "XY(0).X=10: XY(0).Y=20\r\n"
                                             "XY(1).X=100: XY(1).Y=20\r\n"
                                             "XY(2).X=50: XY(2).Y=80\r\n"
                                             "XY(3).X=10: XY(3).Y=20\r\n"
                                             "\r\n"
                                             "hRgn = CreatePolygonRgn(XY(0),3, 2)\r\n"
                                             "Call SetWindowRgn(Me.hWnd, hRgn, True)\r\n");
    QCOMPARE(saveFormat().toUtf8(), procedure.toUtf8());
    QCOMPARE(OutForm::ref().declareText().toUtf8(), kDeclarations.toUtf8());

    // The triangle itself, measured from the preview's outer corner: not moved by the frame.
    const std::optional<QRegion> expected = polygonOf(triangle);
    QVERIFY(expected && !expected->isEmpty());
    CutForm &preview = CutForm::ref();
    QCOMPARE(platform::windowRegion(&preview), expected);
    QCOMPARE(preview.mask(), *expected);
    QCOMPARE(preview.mask().boundingRect().topLeft(), QPoint(10, 20));
    QVERIFY(preview.mask().contains(QPoint(50, 30)));
    QVERIFY(!preview.mask().contains(
        QPoint(50, 30) + CaptionFrame::clientRect(preview.size()).topLeft() + QPoint(0, 60)));
}

void TestPolygon::twoPointsLeaveCodeAsItWas() {
    for (const bool codeEnabled : {false, true}) {
        m_main->RestBut_Click();
        const std::vector<Coordinates> line{{30, 40}, {120, 90}};
        trace(line);
        rightClick(5, 5); // a mouse-down with two vertices makes "&Пример" available
        QVERIFY(m_main->MakeBut->isEnabled());
        QCOMPARE(m_main->outline.PointCount, int16_t(2));
        // As after an ellipse was generated on the side.
        m_main->Program->setEnabled(codeEnabled);

        m_main->MakeBut_Click();

        QCOMPARE(m_main->Program->isEnabled(), codeEnabled);
        QVERIFY(!m_main->MakeBut->isEnabled());
        QCOMPARE(
            saveFormat().toUtf8(),
            wrapped(2, expectedLine(0, 30, 40) + expectedLine(1, 120, 90), expectedLine(2, 30, 40))
                .toUtf8());
        QCOMPARE(OutForm::ref().declareText().toUtf8(), kDeclarations.toUtf8());
        QCOMPARE(platform::windowRegion(&CutForm::ref()), polygonOf(line));
    }
}

void TestPolygon::countsAfterTheFocusRule() {
    trace({{10, 20}, {100, 20}, {50, 80}});
    const QString collected =
        expectedLine(0, 10, 20) + expectedLine(1, 100, 20) + expectedLine(2, 50, 80);
    QCOMPARE(saveFormat(), collected);

    // The main window gets the focus back: the count starts over, "&Пример" stays available.
    m_main->Form_GotFocus();
    QCOMPARE(m_main->outline.PointCount, int16_t(0));
    QVERIFY(m_main->MakeBut->isEnabled());

    m_main->MakeBut_Click();
    QVERIFY(!m_main->Program->isEnabled());
    // n is 0, the closing line is still the one built for the third vertex.
    QCOMPARE(saveFormat().toUtf8(), wrapped(0, collected, expectedLine(3, 10, 20)).toUtf8());
    QCOMPARE(platform::windowRegion(&CutForm::ref()), polygonOf({}));
    // No points make an empty region, and an empty region leaves nothing of the window showing.
    QVERIFY(polygonOf({})->isEmpty());
    QVERIFY(!CutForm::ref().mask().isEmpty());
    QVERIFY(CutForm::ref().mask().intersected(CutForm::ref().rect()).isEmpty());

    // Once more with one vertex taken since the focus came back.
    m_main->RestBut_Click();
    trace({{10, 20}, {100, 20}, {50, 80}});
    m_main->Form_GotFocus();
    click(70, 5);
    QCOMPARE(m_main->outline.PointCount, int16_t(1));
    QVERIFY(m_main->MakeBut->isEnabled());
    m_main->Program->setEnabled(true);
    m_main->MakeBut_Click();
    QVERIFY(m_main->Program->isEnabled()); // as it was
    QCOMPARE(saveFormat().toUtf8(),
             wrapped(1, collected + expectedLine(0, 70, 5), expectedLine(1, 70, 5)).toUtf8());
    QCOMPARE(platform::windowRegion(&CutForm::ref()), polygonOf({{70, 5}}));
}

void TestPolygon::largestOutline() {
    std::vector<Coordinates> points;
    QString collected;
    for (int i = 0; i < 500; ++i) {
        // A zigzag star: every vertex differs, and leaving any one out changes the shape.
        const int x = 160 + (i % 2 ? 150 : 40) * std::cos(i * 2 * M_PI / 500);
        const int y = 160 + (i % 2 ? 150 : 40) * std::sin(i * 2 * M_PI / 500);
        points.push_back({x, y});
        collected += expectedLine(i, x, y);
    }
    trace(points);
    QCOMPARE(m_main->outline.PointCount, int16_t(500));

    m_main->MakeBut_Click();

    const QString text = saveFormat();
    QCOMPARE(text.toUtf8(),
             wrapped(500, collected, expectedLine(500, points[0].X, points[0].Y)).toUtf8());
    QVERIFY(text.contains(QStringLiteral("\r\nReDim XY(500) As Coordinates\r\n")));
    QVERIFY(text.contains(QStringLiteral("\r\nhRgn = CreatePolygonRgn(XY(0),500, 2)\r\n")));
    QCOMPARE(platform::windowRegion(&CutForm::ref()), polygonOf(points));
    std::vector<Coordinates> fewer(points.begin(), points.end() - 1);
    QVERIFY(platform::windowRegion(&CutForm::ref()) != polygonOf(fewer));
}

void TestPolygon::secondRunWrapsTheTextAgain() {
    trace({{10, 20}, {100, 20}});
    rightClick(1, 1);
    m_main->MakeBut_Click();
    QVERIFY(!m_main->Program->isEnabled());
    const QString first =
        wrapped(2, expectedLine(0, 10, 20) + expectedLine(1, 100, 20), expectedLine(2, 10, 20));
    QCOMPARE(saveFormat().toUtf8(), first.toUtf8());

    // No reset in between: the next click adds to the generated text, and the next run wraps it.
    click(50, 80);
    QVERIFY(m_main->MakeBut->isEnabled());
    m_main->MakeBut_Click();
    QVERIFY(m_main->Program->isEnabled());
    QCOMPARE(saveFormat().toUtf8(),
             wrapped(3, first + expectedLine(2, 50, 80), expectedLine(3, 10, 20)).toUtf8());
    QCOMPARE(platform::windowRegion(&CutForm::ref()), polygonOf({{10, 20}, {100, 20}, {50, 80}}));
}

void TestPolygon::afterTheCodeWindowClosed() {
    trace({{10, 20}, {100, 20}, {50, 80}});
    OutForm::ref().close();
    flushDeletes();
    QVERIFY(!m_main->MakeBut->isEnabled());

    trace({{200, 30}, {150, 150}});
    QVERIFY(m_main->MakeBut->isEnabled());
    QCOMPARE(m_main->outline.PointCount, int16_t(5));
    m_main->MakeBut_Click();

    // Only the lines written since are there, the count and the closing line cover all five.
    const QString text = saveFormat();
    QCOMPARE(text.toUtf8(), wrapped(5, expectedLine(3, 200, 30) + expectedLine(4, 150, 150),
                                    expectedLine(5, 10, 20))
                                .toUtf8());
    QVERIFY(!text.contains(QStringLiteral("XY(0).X=")));
    QCOMPARE(platform::windowRegion(&CutForm::ref()),
             polygonOf({{10, 20}, {100, 20}, {50, 80}, {200, 30}, {150, 150}}));
}

void TestPolygon::previewStartsHiddenAtItsInitialSize() {
    CutForm *old = CutForm::loaded();
    if (old)
        old->close();
    flushDeletes();
    QVERIFY(!CutForm::loaded());
    CutForm &preview = CutForm::ref();
    QCOMPARE(CutForm::loaded(), &preview);
    QCOMPARE(&CutForm::ref(), &preview); // the same window until it is closed
    QVERIFY(!preview.isVisible());
    QCOMPARE(preview.windowTitle(), QStringLiteral("Пример"));
    QCOMPARE(CaptionFrame::clientRect(preview.size()).size(), QSize(333, 310));
    QCOMPARE(preview.size(), CaptionFrame::outerSizeFor(QSize(333, 310)));
    QVERIFY(!platform::windowRegion(&preview));
    QVERIFY(preview.mask().isEmpty());

    // The picture at the client area's top-left, unscaled; the dark red beyond it.
    preview.setOuterSize(CaptionFrame::outerSizeFor(QSize(450, 430)));
    const QImage shot = preview.grab().toImage();
    const QRect client = CaptionFrame::clientRect(preview.size());
    QImage picture(QStringLiteral(":/preview.jpg"));
    QCOMPARE(picture.size(), QSize(400, 400));
    for (const QPoint p :
         {QPoint(0, 0), QPoint(399, 0), QPoint(0, 399), QPoint(399, 399), QPoint(123, 287)})
        QCOMPARE(QColor(shot.pixel(client.topLeft() + p)), QColor(picture.pixel(p)));
    QCOMPARE(QColor(shot.pixel(client.topLeft() + QPoint(400, 10))), QColor(192, 0, 0));
    QCOMPARE(QColor(shot.pixel(client.topLeft() + QPoint(10, 400))), QColor(192, 0, 0));
    QCOMPARE(QColor(shot.pixel(client.bottomRight())), QColor(192, 0, 0));
}

void TestPolygon::clickOnTheClientAreaHides() {
    m_main->MakeBut->setEnabled(true);
    CutForm &preview = CutForm::ref();
    preview.show();
    const QPoint inside = CaptionFrame::clientRect(preview.size()).topLeft() + QPoint(5, 5);
    QTest::mouseClick(&preview, Qt::LeftButton, {}, inside);
    QVERIFY(!preview.isVisible());
    QCOMPARE(CutForm::loaded(), &preview); // hidden, not closed
    QVERIFY(m_main->MakeBut->isEnabled());
}

void TestPolygon::clicksOnTheFrameDoNotHide() {
    CutForm &preview = CutForm::ref();
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
    m_main->MakeBut->setEnabled(true);
    CutForm &preview = CutForm::ref();
    preview.show();
    const QSize outer = preview.size();
    if (how == "close") {
        preview.close();
    } else if (how == "box") {
        QTest::mouseClick(&preview, Qt::LeftButton, {}, CaptionFrame::closeBoxRect(outer).center());
    } else if (how == "key") {
        QTest::keyClick(&preview, Qt::Key_F4, Qt::AltModifier);
    } else {
        QTest::mouseDClick(&preview, Qt::LeftButton, {}, CaptionFrame::iconRect(outer).center());
    }
    QVERIFY(!m_main->MakeBut->isEnabled());
    QVERIFY(!CutForm::loaded());
    QPointer<CutForm> gone(&preview);
    flushDeletes();
    QVERIFY(!gone);
}

void TestPolygon::freshPreviewAfterClose() {
    trace({{10, 20}, {100, 20}, {50, 80}});
    m_main->Form_Resize();
    m_main->MakeBut_Click();
    CutForm *first = &CutForm::ref();
    QVERIFY(platform::windowRegion(first));
    first->close();
    flushDeletes();

    CutForm &fresh = CutForm::ref();
    QVERIFY(!fresh.isVisible());
    QCOMPARE(fresh.size(), CaptionFrame::outerSizeFor(QSize(333, 310)));
    QVERIFY(!platform::windowRegion(&fresh));
    QVERIFY(fresh.mask().isEmpty());
}

void TestPolygon::resetHidesThePreview() {
    trace({{10, 20}, {100, 20}, {50, 80}});
    m_main->MakeBut_Click();
    CutForm &preview = CutForm::ref();
    QVERIFY(preview.isVisible());
    const std::optional<QRegion> region = platform::windowRegion(&preview);
    m_main->RestBut_Click();
    QVERIFY(!preview.isVisible());
    QCOMPARE(CutForm::loaded(), &preview);
    QCOMPARE(platform::windowRegion(&preview), region); // kept for the next showing
}

void TestPolygon::previewTakesTheMainWindowsOuterSize() {
    m_main->Form_Resize();
    QCOMPARE(CutForm::ref().size(), m_main->frameGeometry().size());
    QVERIFY(CutForm::ref().size() != CaptionFrame::outerSizeFor(QSize(333, 310)));
    CutForm::ref().setOuterSize(QSize(500, 420));
    QCOMPARE(CutForm::ref().size(), QSize(500, 420));
    QCOMPARE(CaptionFrame::clientRect(CutForm::ref().size()).size(),
             QSize(500 - 2 * CaptionFrame::kBorderPx, 420 - 2 * CaptionFrame::kBorderPx -
                                                          CaptionFrame::kCaptionHeightPx -
                                                          CaptionFrame::kCaptionGapPx));
}

void TestPolygon::regionStaysWhenMovedOrSized() {
    trace({{10, 20}, {100, 20}, {50, 80}});
    m_main->MakeBut_Click();
    CutForm &preview = CutForm::ref();
    const QRegion region = preview.mask();
    QVERIFY(!region.isEmpty());

    // Dragging the caption moves the window; dragging the corner sizes it. The shape stays.
    const QPoint grip = CaptionFrame::captionRect(preview.size()).topLeft() + QPoint(40, 5);
    const QPoint before = preview.pos();
    QTest::mousePress(&preview, Qt::LeftButton, {}, grip);
    QMouseEvent drag(QEvent::MouseMove, QPointF(grip + QPoint(30, 20)),
                     QPointF(preview.mapToGlobal(grip) + QPoint(30, 20)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&preview, &drag);
    QTest::mouseRelease(&preview, Qt::LeftButton, {}, grip + QPoint(30, 20));
    QCOMPARE(preview.pos(), before + QPoint(30, 20));
    QCOMPARE(preview.mask(), region);

    const QSize size = preview.size();
    const QPoint corner(size.width() - 1, size.height() - 1);
    QTest::mousePress(&preview, Qt::LeftButton, {}, corner);
    QMouseEvent grow(QEvent::MouseMove, QPointF(corner + QPoint(60, 70)),
                     QPointF(preview.mapToGlobal(corner) + QPoint(60, 70)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&preview, &grow);
    QTest::mouseRelease(&preview, Qt::LeftButton, {}, corner + QPoint(60, 70));
    QCOMPARE(preview.size(), size + QSize(60, 70));
    QCOMPARE(preview.mask(), region);
    QCOMPARE(platform::windowRegion(&preview), std::optional<QRegion>(region));
}

void TestPolygon::emptyAndNullRegionsDiffer() {
    CutForm &preview = CutForm::ref();
    preview.show();
    platform::SetWindowRgn(&preview, QRegion(QRect(10, 10, 50, 40)));
    QCOMPARE(preview.mask(), QRegion(QRect(10, 10, 50, 40)));

    // Empty: nothing of the window is left, which a mask with nothing in it would not give.
    platform::SetWindowRgn(&preview, QRegion());
    QCOMPARE(platform::windowRegion(&preview), std::optional<QRegion>(QRegion()));
    QVERIFY(!preview.mask().isEmpty());
    QVERIFY(preview.mask().intersected(preview.rect()).isEmpty());
    preview.resize(preview.size() + QSize(100, 100));
    QVERIFY(preview.mask().intersected(preview.rect()).isEmpty());

    // Null, as from a region that could not be made: the whole window again.
    platform::SetWindowRgn(&preview, std::nullopt);
    QVERIFY(!platform::windowRegion(&preview));
    QVERIFY(preview.mask().isEmpty());
}

void TestPolygon::maximizeBoxFillsTheScreenAndBack() {
    CutForm &preview = CutForm::ref();
    preview.show();
    platform::SetWindowRgn(&preview, QRegion(QRect(0, 0, 200, 120)));
    const QRect normal = preview.geometry();
    const QRect screen = preview.screen()->availableGeometry();
    QVERIFY(normal != screen);

    QTest::mouseClick(&preview, Qt::LeftButton, {},
                      CaptionFrame::maximizeBoxRect(preview.size()).center());
    QCOMPARE(preview.geometry(), screen);
    QCOMPARE(preview.mask(), QRegion(QRect(0, 0, 200, 120)));
    // A maximized window stays where it is when its caption is dragged.
    const QPoint grip = CaptionFrame::captionRect(preview.size()).center();
    QTest::mousePress(&preview, Qt::LeftButton, {}, grip);
    QMouseEvent drag(QEvent::MouseMove, QPointF(grip + QPoint(30, 20)),
                     QPointF(preview.mapToGlobal(grip) + QPoint(30, 20)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&preview, &drag);
    QTest::mouseRelease(&preview, Qt::LeftButton, {}, grip + QPoint(30, 20));
    QCOMPARE(preview.geometry(), screen);

    // The same box, now showing the restore glyph, brings the old place and size back.
    QTest::mouseClick(&preview, Qt::LeftButton, {},
                      CaptionFrame::maximizeBoxRect(preview.size()).center());
    QCOMPARE(preview.geometry(), normal);

    // A double click on the caption does the same.
    QTest::mouseDClick(&preview, Qt::LeftButton, {},
                       CaptionFrame::captionRect(preview.size()).center());
    QCOMPARE(preview.geometry(), screen);
    QVERIFY(preview.isVisible());
}

QTEST_MAIN(TestPolygon)
#include "tst_polygon.moc"
