#include "app/MainForm.h"
#include "capture/TracingSurface.h"
#include "codegen/ShapeCode.h"
#include "platform/MessageBox.h"
#include "platform/Regions.h"
#include "platform/RuntimeError.h"
#include "platform/Screen.h"
#include "platform/WindowRegion.h"
#include "windows/CutForm.h"
#include "windows/OutForm.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace shapecode;

namespace {

const QString kEllipseDeclarations =
    QStringLiteral("Private Declare Function CreateEllipticRgn Lib _\r\n"
                   "\"gdi32\" (ByVal X1 As Long, ByVal Y1 As Long, _\r\n"
                   "ByVal X2 As Long, ByVal Y2 As Long) As Long\r\n");

const QString kDefaultEllipseProcedure =
    QStringLiteral("Dim MakeCircle As String\r\n"
                   "\r\n"
                   "MakeCircle = CreateEllipticRgn(100/ Screen.TwipsPerPixelX, _\r\n"
                   "100/ Screen.TwipsPerPixelY, _\r\n"
                   "5000/ Screen.TwipsPerPixelX, _\r\n"
                   "5000/ Screen.TwipsPerPixelY)\r\n"
                   "Call SetWindowRgn(Me.hWnd, MakeCircle, True)\r\n");

const QString kRoundRectDeclarations = QStringLiteral(
    "Private Declare Function CreateRoundRectRgn _\r\n"
    "Lib\"gdi32\"(ByVal X1 As Long, ByVal Y1 As Long, _\r\n"
    "ByVal X2 As Long, ByVal Y2 As Long, ByVal X3 As Long, ByVal Y3 As Long) As Long\r\n"
    "\r\n");

const QString kDefaultRoundRectProcedure =
    QStringLiteral("Dim MakeRegion As Long\r\n"
                   "MakeRegion = CreateRoundRectRgn(100 / Screen.TwipsPerPixelX, _\r\n"
                   "100 / Screen.TwipsPerPixelY, _\r\n"
                   "5000 / Screen.TwipsPerPixelX, _\r\n"
                   "5000/ Screen.TwipsPerPixelY, _\r\n"
                   "100,100)\r\n"
                   "\r\n"
                   "Call SetWindowRgn(Me.hWnd, MakeRegion, True)");

QStringList linesOf(const QString &text) {
    return text.split(QStringLiteral("\r\n"));
}

QString declarations() {
    return OutForm::ref().declareText();
}

QString procedure() {
    return OutForm::ref().saveFormatText();
}

std::optional<QRegion> previewRegion() {
    return platform::windowRegion(CutForm::loaded());
}

bool overflows(const std::function<void()> &f) {
    try {
        f();
    } catch (const platform::RuntimeError &e) {
        return e.number() == platform::ErrOverflow;
    }
    return false;
}

} // namespace

class TestShapes : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // The texts and figures on their own.
    void ellipseTextsByteForByte();
    void roundRectTextsByteForByte();
    void numbersAreWrittenInPlainDecimal();
    void pixelsRoundHalvesToEven_data();
    void pixelsRoundHalvesToEven();
    void regionArgumentsTakeTheirEdgesFromTheRightBoxes();

    // The panels.
    void panelsAreLaidOutInTwips_data();
    void panelsAreLaidOutInTwips();
    void panelsPairLabelsWithBoxes();
    void menuSwitchesPanels();
    void typedTextsSurviveEveryTransition();
    void tabRunsDownTheBoxesToTheButton();
    void pressesOnAPanelStayOffTheSurface();

    // The generators through their buttons.
    void defaultShapes_data();
    void defaultShapes();
    void halvesGoToEvenInBothSteps();
    void negativeLeftEdge();
    void emptyBoxReadsAsZero();
    void hexBoxReadsAsItsValue();
    void overflowStopsAtTheBox_data();
    void overflowStopsAtTheBox();
    void repeatedClicksStackDeclarations();
    void roundRectAfterEllipse();
    void negativeCornerWidth();
    void firstBoxesMoveTheShape();
    void previewComesBackAfterBeingHidden();

private:
    void makeForm(float twipsPerPixel);

    MainForm *m_form = nullptr;
    QStringList m_warnings;
};

void TestShapes::init() {
    m_warnings.clear();
    platform::setWarningSinkForTesting([this](const QString &text) { m_warnings << text; });
}

void TestShapes::cleanup() {
    if (CutForm *preview = CutForm::loaded())
        preview->close();
    if (OutForm *out = OutForm::loaded())
        out->close();
    delete m_form;
    m_form = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    platform::setTwipsPerPixelForTesting(0, 0);
    platform::setWarningSinkForTesting({});
}

void TestShapes::makeForm(float twipsPerPixel) {
    platform::setTwipsPerPixelForTesting(twipsPerPixel, twipsPerPixel);
    m_form = new MainForm;
}

// ---------------------------------------------------------------------------------------------
// Texts and figures

void TestShapes::ellipseTextsByteForByte() {
    QCOMPARE(QString::fromStdString(ellipseDeclarations()), kEllipseDeclarations);
    QCOMPARE(QString::fromStdString(ellipseProcedure({100, 100, 5000, 5000})),
             kDefaultEllipseProcedure);

    // Each box has its own place: P0 left, P1 top, P3 right, P2 bottom.
    const QStringList lines = linesOf(QString::fromStdString(ellipseProcedure({1, 2, 3, 4})));
    QCOMPARE(lines.size(), 8); // seven lines and the empty rest after the last CR LF
    QCOMPARE(lines[2],
             QStringLiteral("MakeCircle = CreateEllipticRgn(1/ Screen.TwipsPerPixelX, _"));
    QCOMPARE(lines[3], QStringLiteral("2/ Screen.TwipsPerPixelY, _"));
    QCOMPARE(lines[4], QStringLiteral("4/ Screen.TwipsPerPixelX, _"));
    QCOMPARE(lines[5], QStringLiteral("3/ Screen.TwipsPerPixelY)"));
    QCOMPARE(lines[7], QString());
}

void TestShapes::roundRectTextsByteForByte() {
    QCOMPARE(QString::fromStdString(roundRectDeclarations()), kRoundRectDeclarations);
    QCOMPARE(QString::fromStdString(roundRectProcedure({100, 100, 5000, 5000, 100, 100})),
             kDefaultRoundRectProcedure);

    // Q5 left, Q4 top, Q7 right, Q6 bottom, then Q9 and Q8 as typed.
    const std::string text = roundRectProcedure({4, 5, 6, 7, 8, 9});
    QVERIFY(text.ends_with("True)"));
    const QStringList lines = linesOf(QString::fromStdString(text));
    QCOMPARE(lines.size(), 8);
    QCOMPARE(lines[1],
             QStringLiteral("MakeRegion = CreateRoundRectRgn(5 / Screen.TwipsPerPixelX, _"));
    QCOMPARE(lines[2], QStringLiteral("4 / Screen.TwipsPerPixelY, _"));
    QCOMPARE(lines[3], QStringLiteral("7 / Screen.TwipsPerPixelX, _"));
    QCOMPARE(lines[4], QStringLiteral("6/ Screen.TwipsPerPixelY, _"));
    QCOMPARE(lines[5], QStringLiteral("9,8)"));
    QCOMPARE(lines[6], QString());
}

void TestShapes::numbersAreWrittenInPlainDecimal() {
    const QStringList e =
        linesOf(QString::fromStdString(ellipseProcedure({-150, 0, -32768, 32767})));
    QCOMPARE(e[2], QStringLiteral("MakeCircle = CreateEllipticRgn(-150/ Screen.TwipsPerPixelX, _"));
    QCOMPARE(e[3], QStringLiteral("0/ Screen.TwipsPerPixelY, _"));
    QCOMPARE(e[4], QStringLiteral("32767/ Screen.TwipsPerPixelX, _"));
    QCOMPARE(e[5], QStringLiteral("-32768/ Screen.TwipsPerPixelY)"));

    const QStringList r =
        linesOf(QString::fromStdString(roundRectProcedure({7, 0, 0, 0, 100, -20})));
    QCOMPARE(r[5], QStringLiteral("-20,100)"));
    QCOMPARE(r[2], QStringLiteral("7 / Screen.TwipsPerPixelY, _"));
}

void TestShapes::pixelsRoundHalvesToEven_data() {
    QTest::addColumn<int>("twips");
    QTest::addColumn<float>("twipsPerPixel");
    QTest::addColumn<int>("pixels");
    QTest::newRow("100 at 15") << 100 << 15.0f << 7;
    QTest::newRow("5000 at 15") << 5000 << 15.0f << 333;
    QTest::newRow("100 at 12") << 100 << 12.0f << 8;
    QTest::newRow("5000 at 12") << 5000 << 12.0f << 417;
    QTest::newRow("30 at 12 is 2.5") << 30 << 12.0f << 2;
    QTest::newRow("90 at 12 is 7.5") << 90 << 12.0f << 8;
    QTest::newRow("-150 at 15") << -150 << 15.0f << -10;
    QTest::newRow("-30 at 12 is -2.5") << -30 << 12.0f << -2;
    QTest::newRow("32767 at 15") << 32767 << 15.0f << 2184;
    QTest::newRow("-32768 at 1") << -32768 << 1.0f << -32768;
}

void TestShapes::pixelsRoundHalvesToEven() {
    QFETCH(int, twips);
    QFETCH(float, twipsPerPixel);
    QFETCH(int, pixels);
    QCOMPARE(pixelsFromTwips(int16_t(twips), twipsPerPixel), pixels);
}

void TestShapes::regionArgumentsTakeTheirEdgesFromTheRightBoxes() {
    using A4 = std::array<int32_t, 4>;
    using A6 = std::array<int32_t, 6>;
    QCOMPARE(ellipseRegionArguments({150, 300, 450, 600}, 15, 15), (A4{10, 20, 40, 30}));
    // Different horizontal and vertical scales show which edge is divided by which.
    QCOMPARE(ellipseRegionArguments({120, 120, 120, 120}, 12, 15), (A4{10, 8, 10, 8}));
    QCOMPARE(roundRectRegionArguments({150, 300, 450, 600, 11, 22}, 15, 15),
             (A6{20, 10, 40, 30, 22, 11}));
    QCOMPARE(roundRectRegionArguments({120, 120, 120, 120, 120, 120}, 12, 15),
             (A6{10, 8, 10, 8, 120, 120}));
    QVERIFY(overflows([] { ellipseRegionArguments({0, 0, 0, 0}, 0, 15); }));
}

// ---------------------------------------------------------------------------------------------
// Panels

void TestShapes::panelsAreLaidOutInTwips_data() {
    QTest::addColumn<float>("twipsPerPixel");
    QTest::addColumn<QRect>("ellipsePanel");
    QTest::addColumn<QRect>("firstEllipseBox");
    QTest::addColumn<QRect>("circleOkBut");
    QTest::addColumn<QRect>("roundRectPanel");
    QTest::addColumn<QRect>("lastRoundRectBox");
    QTest::addColumn<QRect>("widthLabel");
    QTest::addColumn<QRect>("rectOkBut");
    // 2445 x 2295; 1350, 360, 975 x 285; 120, 1800, 2205 x 375; 3675 x 3015;
    // 2580, 2160, 975 x 285; Label1(4) 120, 1440, 735 x 255; 120, 2520, 3435 x 375.
    QTest::newRow("15") << 15.0f << QRect(0, 0, 163, 153) << QRect(90, 24, 65, 19)
                        << QRect(8, 120, 147, 25) << QRect(0, 0, 245, 201)
                        << QRect(172, 144, 65, 19) << QRect(8, 96, 49, 17)
                        << QRect(8, 168, 229, 25);
    QTest::newRow("12") << 12.0f << QRect(0, 0, 204, 191) << QRect(112, 30, 81, 24)
                        << QRect(10, 150, 184, 31) << QRect(0, 0, 306, 251)
                        << QRect(215, 180, 81, 24) << QRect(10, 120, 61, 21)
                        << QRect(10, 210, 286, 31);
}

void TestShapes::panelsAreLaidOutInTwips() {
    QFETCH(float, twipsPerPixel);
    makeForm(twipsPerPixel);
    QCOMPARE(m_form->ParFrm[0]->parentWidget(), m_form->surface());
    QCOMPARE(m_form->ParFrm[1]->parentWidget(), m_form->surface());
    QTEST(m_form->ParFrm[0]->geometry(), "ellipsePanel");
    QTEST(m_form->SetPar[0]->geometry(), "firstEllipseBox");
    QTEST(m_form->CircleOkBut->geometry(), "circleOkBut");
    QTEST(m_form->ParFrm[1]->geometry(), "roundRectPanel");
    QTEST(m_form->SetPar[9]->geometry(), "lastRoundRectBox");
    QTEST(m_form->Label1[4]->geometry(), "widthLabel");
    QTEST(m_form->RectOkBut->geometry(), "rectOkBut");

    for (int i = 0; i < 10; ++i) {
        QCOMPARE(m_form->SetPar[i]->parentWidget(), m_form->ParFrm[i < 4 ? 0 : 1]);
        QCOMPARE(m_form->Label1[i]->parentWidget(), m_form->ParFrm[i < 4 ? 0 : 1]);
        // A label and its box share the row's top edge.
        QCOMPARE(m_form->Label1[i]->y(), m_form->Label1[i]->buddy()->y());
    }
    QCOMPARE(m_form->CircleOkBut->parentWidget(), m_form->ParFrm[0]);
    QCOMPARE(m_form->RectOkBut->parentWidget(), m_form->ParFrm[1]);
}

void TestShapes::panelsPairLabelsWithBoxes() {
    makeForm(15);
    struct Pair {
        int label;
        const char *caption;
        int box;
        const char *text;
    };
    const Pair pairs[] = {
        {0, "Отступ сверху", 0, "100"},
        {1, "Отступ слева", 1, "100"},
        {2, "Высота", 2, "5000"},
        {3, "Ширина", 3, "5000"},
        {7, "Отступ сверху", 4, "100"},
        {6, "Отступ слева", 5, "100"},
        {5, "Высота", 6, "5000"},
        {4, "Ширина", 7, "5000"},
        {9, "Точка закругления по высоте", 8, "100"},
        {8, "Точка закругления по ширине", 9, "100"},
    };
    for (const Pair &p : pairs) {
        const QString caption = QString::fromUtf8(p.caption);
        QCOMPARE(m_form->Label1[p.label]->text(), caption);
        QCOMPARE(m_form->Label1[p.label]->buddy(), m_form->SetPar[p.box]);
        QCOMPARE(m_form->SetPar[p.box]->text(), QString::fromUtf8(p.text));
        QCOMPARE(m_form->SetPar[p.box]->accessibleName(), caption);
    }
    QCOMPARE(m_form->CircleOkBut->text(), QStringLiteral("Создать"));
    QCOMPARE(m_form->RectOkBut->text(), QStringLiteral("Создать"));
    QCOMPARE(m_form->ParFrm[0]->accessibleName(), QStringLiteral("Параметры"));
    QCOMPARE(m_form->ParFrm[1]->accessibleName(), QStringLiteral("Параметры"));
}

void TestShapes::menuSwitchesPanels() {
    makeForm(15);
    auto shown = [this] {
        return QPair<bool, bool>(!m_form->ParFrm[0]->isHidden(), !m_form->ParFrm[1]->isHidden());
    };
    using P = QPair<bool, bool>;
    QCOMPARE(shown(), P(false, false));

    const bool makeButBefore = m_form->MakeBut->isEnabled();
    const bool programBefore = m_form->Program->isEnabled();

    m_form->MakeEllipse->trigger();
    QCOMPARE(shown(), P(true, false));
    m_form->MakeEllipse->trigger();
    QCOMPARE(shown(), P(true, false));
    m_form->RoundRect->trigger();
    QCOMPARE(shown(), P(false, true));
    m_form->RoundRect->trigger();
    QCOMPARE(shown(), P(false, true));
    m_form->MakeEllipse->trigger();
    QCOMPARE(shown(), P(true, false));

    // Switching changes nothing else.
    QCOMPARE(m_form->MakeBut->isEnabled(), makeButBefore);
    QCOMPARE(m_form->Program->isEnabled(), programBefore);
    QVERIFY(!CutForm::loaded() || !CutForm::loaded()->isVisible());

    m_form->CircleOkBut->click();
    QCOMPARE(shown(), P(false, false));
    m_form->RoundRect->trigger();
    m_form->RectOkBut->click();
    QCOMPARE(shown(), P(false, false));

    m_form->RoundRect->trigger();
    m_form->RestBut->trigger();
    QCOMPARE(shown(), P(false, false));
    m_form->MakeEllipse->trigger();
    m_form->RestBut->trigger();
    QCOMPARE(shown(), P(false, false));
}

void TestShapes::typedTextsSurviveEveryTransition() {
    makeForm(15);
    m_form->MakeEllipse->trigger();
    m_form->SetPar[1]->clear();
    QTest::keyClicks(m_form->SetPar[1], QStringLiteral("250"));
    m_form->SetPar[2]->clear(); // an empty box stays empty
    m_form->RoundRect->trigger();
    m_form->SetPar[8]->setText(QStringLiteral("abc"));
    m_form->MakeEllipse->trigger();
    QCOMPARE(m_form->SetPar[1]->text(), QStringLiteral("250"));

    m_form->CircleOkBut->click();
    QCOMPARE(m_form->shapeParameters[1], int16_t(250));
    m_form->RestBut->trigger();
    m_form->MakeEllipse->trigger();
    QCOMPARE(m_form->SetPar[1]->text(), QStringLiteral("250"));
    QCOMPARE(m_form->SetPar[2]->text(), QString());
    QCOMPARE(m_form->SetPar[0]->text(), QStringLiteral("100"));
    m_form->RoundRect->trigger();
    QCOMPARE(m_form->SetPar[8]->text(), QStringLiteral("abc"));
}

void TestShapes::tabRunsDownTheBoxesToTheButton() {
    makeForm(15);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form));

    auto walk = [this](int panel, const QList<QWidget *> &expected) {
        panel == 0 ? m_form->MakeEllipse->trigger() : m_form->RoundRect->trigger();
        expected.first()->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), expected.first());
        for (qsizetype i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), expected[i]);
        }
    };
    walk(0, {m_form->SetPar[0], m_form->SetPar[1], m_form->SetPar[2], m_form->SetPar[3],
             m_form->CircleOkBut});
    walk(1, {m_form->SetPar[4], m_form->SetPar[5], m_form->SetPar[6], m_form->SetPar[7],
             m_form->SetPar[8], m_form->SetPar[9], m_form->RectOkBut});
}

// Presses go through the window, as the platform delivers them, to whatever lies under the cursor.
void TestShapes::pressesOnAPanelStayOffTheSurface() {
    makeForm(15);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
    QWindow *window = m_form->windowHandle();
    auto at = [this](QWidget *widget, QPoint local) { return widget->mapTo(m_form, local); };
    auto press = [&](QWidget *widget, QPoint local, Qt::MouseButton button) {
        const QPoint pos = at(widget, local);
        QTest::mousePress(window, button, {}, pos);
        QTest::mouseMove(window, pos + QPoint(3, 3));
        QTest::mouseRelease(window, button, {}, pos + QPoint(3, 3));
    };
    const QString saveFormatBefore = procedure();

    for (int panel = 0; panel < 2; ++panel) {
        panel == 0 ? m_form->MakeEllipse->trigger() : m_form->RoundRect->trigger();
        QFrame *frame = m_form->ParFrm[panel];
        QPushButton *button = panel == 0 ? m_form->CircleOkBut : m_form->RectOkBut;
        QLabel *label = m_form->Label1[panel == 0 ? 0 : 9];
        QVERIFY(frame->isVisible());
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) {
            press(label, QPoint(2, 2), b);
            press(frame, QPoint(frame->width() - 3, frame->height() - 3), b); // bare frame
            press(frame, QPoint(3, 3), b); // the caption's corner
        }
        press(button, QPoint(5, 5), Qt::RightButton); // a button ignores the right one
        QVERIFY(frame->isVisible());
        QCOMPARE(m_form->outline.PointCount, int16_t(0));
        QCOMPARE(procedure(), saveFormatBefore);
    }

    // The same press beside the panel does reach the surface.
    const QPoint beside = m_form->ParFrm[1]->geometry().topRight() + QPoint(20, 20);
    press(m_form->surface(), beside, Qt::LeftButton);
    QCOMPARE(m_form->outline.PointCount, int16_t(1));
    QVERIFY(procedure() != saveFormatBefore);
}

// ---------------------------------------------------------------------------------------------
// Generators

void TestShapes::defaultShapes_data() {
    QTest::addColumn<float>("twipsPerPixel");
    QTest::addColumn<bool>("ellipse");
    QTest::addColumn<QRegion>("region");
    QTest::newRow("ellipse at 15") << 15.0f << true << *platform::CreateEllipticRgn(7, 7, 333, 333);
    QTest::newRow("ellipse at 12") << 12.0f << true << *platform::CreateEllipticRgn(8, 8, 417, 417);
    QTest::newRow("rounded rectangle at 15")
        << 15.0f << false << *platform::CreateRoundRectRgn(7, 7, 333, 333, 100, 100);
    QTest::newRow("rounded rectangle at 12")
        << 12.0f << false << *platform::CreateRoundRectRgn(8, 8, 417, 417, 100, 100);
}

void TestShapes::defaultShapes() {
    QFETCH(float, twipsPerPixel);
    QFETCH(bool, ellipse);
    QFETCH(QRegion, region);
    makeForm(twipsPerPixel);
    QVERIFY(!m_form->Program->isEnabled());
    const QString initial = declarations();

    if (ellipse) {
        m_form->MakeEllipse->trigger();
        m_form->CircleOkBut->click();
        QCOMPARE(declarations(), kEllipseDeclarations + initial);
        QCOMPARE(procedure(), kDefaultEllipseProcedure);
        QCOMPARE(m_form->shapeParameters, (std::array<int16_t, 6>{100, 100, 5000, 5000, 0, 0}));
    } else {
        m_form->RoundRect->trigger();
        m_form->RectOkBut->click();
        QCOMPARE(declarations(), kRoundRectDeclarations + initial);
        QCOMPARE(procedure(), kDefaultRoundRectProcedure);
        QCOMPARE(m_form->shapeParameters, (std::array<int16_t, 6>{100, 100, 5000, 5000, 100, 100}));
    }
    QVERIFY(m_warnings.isEmpty());
    QVERIFY(m_form->Program->isEnabled());
    QVERIFY(m_form->ParFrm[0]->isHidden());
    QVERIFY(m_form->ParFrm[1]->isHidden());
    QVERIFY(CutForm::loaded());
    QVERIFY(CutForm::loaded()->isVisible());
    QCOMPARE(previewRegion(), std::optional<QRegion>(region));
    QVERIFY(OutForm::loaded());
    QVERIFY(!OutForm::loaded()->isVisible()); // the code window waits for "&Код"
}

void TestShapes::halvesGoToEvenInBothSteps() {
    makeForm(12);
    m_form->MakeEllipse->trigger();
    m_form->SetPar[0]->setText(QStringLiteral("30")); // 2.5 pixels
    m_form->SetPar[1]->setText(QStringLiteral("90")); // 7.5 pixels
    m_form->CircleOkBut->click();
    QCOMPARE(previewRegion(), platform::CreateEllipticRgn(2, 8, 417, 417));

    // The box texts themselves: 2.5 reads as 2, 3.5 as 4.
    m_form->SetPar[2]->setText(QStringLiteral("2.5"));
    m_form->SetPar[3]->setText(QStringLiteral("3.5"));
    m_form->CircleOkBut->click();
    QCOMPARE(m_form->shapeParameters[2], int16_t(2));
    QCOMPARE(m_form->shapeParameters[3], int16_t(4));
    const QStringList lines = linesOf(procedure());
    QCOMPARE(lines[4], QStringLiteral("4/ Screen.TwipsPerPixelX, _"));
    QCOMPARE(lines[5], QStringLiteral("2/ Screen.TwipsPerPixelY)"));
}

void TestShapes::negativeLeftEdge() {
    makeForm(15);
    m_form->SetPar[0]->setText(QStringLiteral("-150"));
    m_form->CircleOkBut->click();
    QCOMPARE(linesOf(procedure())[2],
             QStringLiteral("MakeCircle = CreateEllipticRgn(-150/ Screen.TwipsPerPixelX, _"));
    QCOMPARE(previewRegion(), platform::CreateEllipticRgn(-10, 7, 333, 333));
}

void TestShapes::emptyBoxReadsAsZero() {
    makeForm(15);
    m_form->SetPar[3]->clear();
    m_form->CircleOkBut->click();
    QVERIFY(m_warnings.isEmpty());
    QCOMPARE(m_form->shapeParameters[3], int16_t(0));
    QCOMPARE(linesOf(procedure())[4], QStringLiteral("0/ Screen.TwipsPerPixelX, _"));
    QCOMPARE(previewRegion(), platform::CreateEllipticRgn(7, 7, 0, 333));
}

void TestShapes::hexBoxReadsAsItsValue() {
    makeForm(15);
    m_form->SetPar[3]->setText(QStringLiteral("&H7FFF"));
    m_form->CircleOkBut->click();
    QVERIFY(m_warnings.isEmpty());
    QCOMPARE(m_form->shapeParameters[3], int16_t(32767));
    QCOMPARE(linesOf(procedure())[4], QStringLiteral("32767/ Screen.TwipsPerPixelX, _"));
    QCOMPARE(previewRegion(), platform::CreateEllipticRgn(7, 7, 2184, 333));
}

void TestShapes::overflowStopsAtTheBox_data() {
    QTest::addColumn<bool>("ellipse");
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("text");
    QTest::newRow("ellipse 40000") << true << 2 << QStringLiteral("40000");
    QTest::newRow("ellipse 1e5") << true << 2 << QStringLiteral("1e5");
    QTest::newRow("rounded rectangle 40000") << false << 7 << QStringLiteral("40000");
    QTest::newRow("rounded rectangle 1e5") << false << 7 << QStringLiteral("1e5");
}

// A good click first, then the bad one: the earlier boxes' slots take the new values, and the
// code window, the preview and the later slots keep what the good click left.
void TestShapes::overflowStopsAtTheBox() {
    QFETCH(bool, ellipse);
    QFETCH(int, box);
    QFETCH(QString, text);
    makeForm(15);
    const int first = ellipse ? 0 : 4;
    QPushButton *button = ellipse ? m_form->CircleOkBut : m_form->RectOkBut;
    QAction *open = ellipse ? m_form->MakeEllipse : m_form->RoundRect;
    const int frame = ellipse ? 0 : 1;

    open->trigger();
    button->click();
    QVERIFY(m_warnings.isEmpty());
    const QString declarationsBefore = declarations();
    const QString procedureBefore = procedure();
    const std::optional<QRegion> regionBefore = previewRegion();
    QVERIFY(regionBefore);

    m_form->Program->setEnabled(false);
    for (int i = first; i < box; ++i)
        m_form->SetPar[i]->setText(QString::number(1000 + i));
    m_form->SetPar[box]->setText(text);
    open->trigger();
    button->click();

    QCOMPARE(m_warnings, QStringList{platform::runtimeErrorText(platform::ErrOverflow)});
    QVERIFY(m_form->Program->isEnabled());
    QVERIFY(m_form->ParFrm[frame]->isHidden());
    for (int i = first; i < box; ++i)
        QCOMPARE(m_form->shapeParameters[i - first], int16_t(1000 + i));
    QCOMPARE(m_form->shapeParameters[box - first], int16_t(5000)); // from the good click
    QCOMPARE(declarations(), declarationsBefore);
    QCOMPARE(procedure(), procedureBefore);
    QCOMPARE(previewRegion(), regionBefore);
    QCOMPARE(m_form->SetPar[box]->text(), text);
}

void TestShapes::repeatedClicksStackDeclarations() {
    makeForm(15);
    const QString initial = declarations();
    m_form->CircleOkBut->click();
    m_form->SetPar[0]->setText(QStringLiteral("1500"));
    m_form->CircleOkBut->click();
    QCOMPARE(declarations(), kEllipseDeclarations + kEllipseDeclarations + initial);
    QVERIFY(procedure().startsWith(QStringLiteral("Dim MakeCircle As String\r\n")));
    QCOMPARE(procedure().count(QStringLiteral("Dim ")), 1);
    QCOMPARE(linesOf(procedure())[2],
             QStringLiteral("MakeCircle = CreateEllipticRgn(1500/ Screen.TwipsPerPixelX, _"));
}

void TestShapes::roundRectAfterEllipse() {
    makeForm(15);
    const QString initial = declarations();
    m_form->MakeEllipse->trigger();
    m_form->CircleOkBut->click();
    m_form->RoundRect->trigger();
    m_form->RectOkBut->click();
    QCOMPARE(declarations(), kRoundRectDeclarations + kEllipseDeclarations + initial);
    QCOMPARE(procedure(), kDefaultRoundRectProcedure);
    QCOMPARE(previewRegion(), platform::CreateRoundRectRgn(7, 7, 333, 333, 100, 100));
}

void TestShapes::negativeCornerWidth() {
    makeForm(15);
    m_form->SetPar[9]->setText(QStringLiteral("-20"));
    m_form->RectOkBut->click();
    QVERIFY(m_warnings.isEmpty());
    QCOMPARE(linesOf(procedure())[5], QStringLiteral("-20,100)"));
    QCOMPARE(m_form->shapeParameters[5], int16_t(-20));
    QCOMPARE(previewRegion(), platform::CreateRoundRectRgn(7, 7, 333, 333, -20, 100));
}

// "Отступ сверху" on the ellipse panel and "Отступ слева" on the other one give the left edge; the
// other edges stay where they are (1500 twips are 100 pixels, 3000 twips 200).
void TestShapes::firstBoxesMoveTheShape() {
    makeForm(15);
    auto bounds = [] { return previewRegion().value_or(QRegion()).boundingRect(); };

    m_form->SetPar[0]->setText(QStringLiteral("1500"));
    m_form->CircleOkBut->click();
    QCOMPARE(previewRegion(), platform::CreateEllipticRgn(100, 7, 333, 333));
    QVERIFY(bounds().left() >= 99 && bounds().left() <= 101);
    QVERIFY(bounds().top() < 20);
    m_form->SetPar[1]->setText(QStringLiteral("3000"));
    m_form->CircleOkBut->click();
    QCOMPARE(previewRegion(), platform::CreateEllipticRgn(100, 200, 333, 333));
    QVERIFY(bounds().top() >= 199 && bounds().top() <= 201);

    m_form->SetPar[5]->setText(QStringLiteral("1500"));
    m_form->RectOkBut->click();
    QCOMPARE(previewRegion(), platform::CreateRoundRectRgn(100, 7, 333, 333, 100, 100));
    QVERIFY(bounds().left() >= 99 && bounds().left() <= 101);
    QVERIFY(bounds().top() < 20);
    m_form->SetPar[4]->setText(QStringLiteral("3000"));
    m_form->RectOkBut->click();
    QCOMPARE(previewRegion(), platform::CreateRoundRectRgn(100, 200, 333, 333, 100, 100));
    QVERIFY(bounds().top() >= 199 && bounds().top() <= 201);
}

void TestShapes::previewComesBackAfterBeingHidden() {
    makeForm(15);
    m_form->CircleOkBut->click();
    QVERIFY(CutForm::loaded()->isVisible());
    m_form->RestBut->trigger();
    QVERIFY(!CutForm::loaded()->isVisible());
    m_form->CircleOkBut->click();
    QVERIFY(CutForm::loaded()->isVisible());

    CutForm::loaded()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_form->RectOkBut->click();
    QVERIFY(CutForm::loaded());
    QVERIFY(CutForm::loaded()->isVisible());
    QCOMPARE(previewRegion(), platform::CreateRoundRectRgn(7, 7, 333, 333, 100, 100));
}

QTEST_MAIN(TestShapes)
#include "tst_shapes.moc"
