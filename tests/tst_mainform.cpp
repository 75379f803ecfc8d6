// The main window, the capture on its client area and the code window, driven through real mouse
// events on Qt's offscreen platform.
#include "app/MainForm.h"
#include "capture/TracingSurface.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/Screen.h"
#include "platform/Topmost.h"
#include "platform/Version.h"
#include "windows/CutForm.h"
#include "windows/OutForm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

class TestMainForm : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void captionFromTheVersion();
    void windowIsFixedAndCentred();
    void clientAreaAtTwelveTwipsPerPixel();
    void menuBarInOrder();
    void firstSecondAndThirdClicks();
    void rightAndMiddleClicksAddNoVertex();
    void fastSecondClickIsAMouseDown();
    void roundsHalfPixelsToEven();
    void convertsAtTwelveTwipsPerPixel();
    void rightDragOutsideToTheLeft();
    void movesWithOtherButtonsDoNothing();
    void clickWhileCodeIsEnabledStartsOver();
    void rightClickWhileCodeIsEnabledLeavesTheOutlineEmpty();
    void resetWhileTheCodeWindowIsOpen();
    void activationWithoutPanelClearsTheOutline();
    void activationWithPanelChangesNothing();
    void hidingAFocusedPanelKeepsTheOutline();
    void clickOnInactiveWindowStartsTheOutline();
    void drawingSurvivesRepaints();
    void resizeGivesThePreviewTheOuterSize();
    void showCodeAndAboutLeaveTheMenu();
    void fullOutlineIsReportedOnce();
    void closingTheMainWindowClosesTheOthers();
    void closingTheMainWindowClosesHiddenWindowsToo();

    void codeWindowLayout();
    void codeWindowAtTwelveTwipsPerPixel();
    void initialDeclarations();
    void boxesAreReadOnly();
    void appendKeepsTheExactText();
    void clickCopiesTheWholeText();
    void onTopKeepsTheWindowAbove();
    void onTopGrayedDoesNothing();
    void onTopShowsAHiddenWindowWithoutActivating();
    void codeWindowCloseAndRecreation();

private:
    void makeForm(float twipsPerPixel);
    void activate(QWidget *window);
    void click(QPoint pixel, Qt::MouseButton button = Qt::LeftButton);
    void moveHolding(QPoint pixel, Qt::MouseButtons buttons);
    QString saveFormat() const;
    bool blackAt(QPoint pixel) const;
    bool drawingIsBlank() const;
    QFrame *panel(int index);

    QTemporaryDir m_runtime;
    MainForm *m_form = nullptr;
    QWidget *m_other = nullptr; // another top-level window to take the activation
    QStringList m_warnings;
};

void TestMainForm::initTestCase() {
    // A private session folder: the one-copy lock of this test must not meet a running program.
    QVERIFY(m_runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    platform::setWarningSinkForTesting([this](const QString &text) { m_warnings << text; });
}

void TestMainForm::init() {
    m_warnings.clear();
    makeForm(15);
}

void TestMainForm::makeForm(float twipsPerPixel) {
    delete m_form;
    platform::setTwipsPerPixelForTesting(twipsPerPixel, twipsPerPixel);
    m_form = new MainForm();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
    activate(m_form);
}

void TestMainForm::cleanup() {
    if (OutForm *code = OutForm::loaded())
        code->close();
    if (CutForm *preview = CutForm::loaded())
        preview->close();
    delete m_form;
    m_form = nullptr;
    delete m_other;
    m_other = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    platform::setTwipsPerPixelForTesting(0, 0);
}

void TestMainForm::activate(QWidget *window) {
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

void TestMainForm::click(QPoint pixel, Qt::MouseButton button) {
    QTest::mouseClick(m_form->surface(), button, Qt::NoModifier, pixel);
}

void TestMainForm::moveHolding(QPoint pixel, Qt::MouseButtons buttons) {
    // While a button is held the surface has the mouse, wherever the pointer goes.
    QWidget *surface = m_form->surface();
    QMouseEvent move(QEvent::MouseMove, QPointF(pixel), QPointF(surface->mapTo(m_form, pixel)),
                     QPointF(surface->mapToGlobal(pixel)), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(surface, &move);
}

QString TestMainForm::saveFormat() const {
    OutForm *code = OutForm::loaded();
    return code ? code->saveFormatText() : QString();
}

bool TestMainForm::blackAt(QPoint pixel) const {
    return m_form->surface()->drawing().pixelColor(pixel) == QColor(Qt::black);
}

bool TestMainForm::drawingIsBlank() const {
    const QImage &drawing = m_form->surface()->drawing();
    const QRgb background = drawing.pixel(0, 0);
    for (int y = 0; y < drawing.height(); ++y) {
        for (int x = 0; x < drawing.width(); ++x) {
            if (drawing.pixel(x, y) != background)
                return false;
        }
    }
    return true;
}

// The parameter panel, or a frame standing in for it where the panels are not built.
QFrame *TestMainForm::panel(int index) {
    if (!m_form->ParFrm[index]) {
        m_form->ParFrm[index] = new QFrame(m_form->surface());
        m_form->ParFrm[index]->setGeometry(150, 150, 150, 100);
        new QLineEdit(m_form->ParFrm[index]);
        m_form->ParFrm[index]->hide();
    }
    return m_form->ParFrm[index];
}

void TestMainForm::captionFromTheVersion() {
    const platform::AppVersion version = platform::applicationVersion();
    QCOMPARE(version.major, 1);
    QCOMPARE(version.minor, 5);
    m_form->Form_Load(); // this test owns its session, so no other copy runs
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Zarnik v1.5"));
    QVERIFY(m_warnings.isEmpty());
    QCOMPARE(MainForm::captionFor(2, 10), QStringLiteral("Zarnik v2.10"));
    QCOMPARE(MainForm::captionFor(1, 0), QStringLiteral("Zarnik v1.0"));
    QCOMPARE(MainForm::captionFor(12, 34), QStringLiteral("Zarnik v12.34"));
}

void TestMainForm::windowIsFixedAndCentred() {
    QCOMPARE(MainForm::instance(), m_form);
    QCOMPARE(m_form->centralWidget(), m_form->surface());
    QCOMPARE(m_form->surface()->size(), QSize(332, 293)); // 4980 x 4395 twips
    QCOMPARE(m_form->surface()->drawing().size(), QSize(332, 293));
    QCOMPARE(m_form->minimumSize(), m_form->maximumSize());
    QCOMPARE(m_form->size(), m_form->minimumSize());
    QCOMPARE(m_form->height(), m_form->menuBar()->height() + 293);
    const Qt::WindowFlags flags = m_form->windowFlags();
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    const QPoint centre = m_form->screen()->availableGeometry().center();
    QVERIFY((m_form->frameGeometry().center() - centre).manhattanLength() <= 2);
}

void TestMainForm::clientAreaAtTwelveTwipsPerPixel() {
    makeForm(12);
    QCOMPARE(m_form->surface()->size(), QSize(415, 366)); // 4395 / 12 = 366.25
    QCOMPARE(m_form->height(), m_form->menuBar()->height() + 366);
}

void TestMainForm::menuBarInOrder() {
    QMenuBar *bar = m_form->menuBar();
    QVERIFY(!bar->isNativeMenuBar());
    const QList<QAction *> items = bar->actions();
    QStringList captions;
    for (QAction *item : items)
        captions << item->text();
    QCOMPARE(captions, QStringList({QStringLiteral("&Создать"), QStringLiteral("&Пример"),
                                    QStringLiteral("&Код"), QStringLiteral("&Сброс"),
                                    QStringLiteral("&О программе...")}));
    QCOMPARE(items[0]->menu(), m_form->MnuSet);
    QCOMPARE(items[1], m_form->MakeBut);
    QCOMPARE(items[2], m_form->Program);
    QCOMPARE(items[3], m_form->RestBut);
    QCOMPARE(items[4], m_form->about);
    const QList<QAction *> submenu = m_form->MnuSet->actions();
    QCOMPARE(submenu.size(), 2);
    QCOMPARE(submenu[0], m_form->MakeEllipse);
    QCOMPARE(submenu[0]->text(), QStringLiteral("Окружность"));
    QCOMPARE(submenu[1], m_form->RoundRect);
    QCOMPARE(submenu[1]->text(), QStringLiteral("Прямоугольник"));

    QVERIFY(!m_form->MakeBut->isEnabled());
    QVERIFY(!m_form->Program->isEnabled());
    for (QAction *item : {items[0], items[3], items[4], submenu[0], submenu[1]})
        QVERIFY(item->isEnabled());
    for (QAction *item : items + submenu) {
        QVERIFY(item->shortcut().isEmpty());
        QVERIFY(!item->isCheckable());
        QVERIFY(item->isVisible());
    }

    // One line: every item sits on the first row of the bar.
    const int firstRow = bar->actionGeometry(items.first()).top();
    for (QAction *item : items) {
        const QRect place = bar->actionGeometry(item);
        QCOMPARE(place.top(), firstRow);
        QVERIFY(place.right() < bar->width());
    }
}

void TestMainForm::firstSecondAndThirdClicks() {
    click({100, 50}); // 1500, 750 twips
    QCOMPARE(saveFormat(), QStringLiteral("XY(0).X=100: XY(0).Y=50\r\n"));
    const Outline &o = m_form->outline;
    QCOMPARE(o.PointCount, int16_t(1));
    QCOMPARE(o.XY[0].X, 100);
    QCOMPARE(o.XY[0].Y, 50);
    QCOMPARE(o.XY[1].X, 100);
    QCOMPARE(o.XY[1].Y, 50);
    QCOMPARE(o.ClosingLine, std::string("XY(1).X=100: XY(1).Y=50\r\n"));
    QVERIFY(blackAt({100, 50}));
    QVERIFY(!blackAt({150, 50}));
    QVERIFY(!m_form->MakeBut->isEnabled());
    QVERIFY(OutForm::loaded());
    QVERIFY(!OutForm::loaded()->isVisible()); // made hidden by the first line

    click({200, 50}); // 3000, 750 twips
    QCOMPARE(saveFormat(),
             QStringLiteral("XY(0).X=100: XY(0).Y=50\r\nXY(1).X=200: XY(1).Y=50\r\n"));
    QCOMPARE(o.XY[1].X, 200);
    QCOMPARE(o.XY[2].X, 100);
    QCOMPARE(o.XY[2].Y, 50);
    QCOMPARE(o.ClosingLine, std::string("XY(2).X=100: XY(2).Y=50\r\n"));
    QVERIFY(blackAt({150, 50})); // the joining line
    QVERIFY(blackAt({200, 50}));
    QVERIFY(!m_form->MakeBut->isEnabled());

    click({150, 120});
    QVERIFY(m_form->MakeBut->isEnabled());
    QVERIFY(!m_form->Program->isEnabled());
    QCOMPARE(o.PointCount, int16_t(3));
    QCOMPARE(o.ClosingLine, std::string("XY(3).X=100: XY(3).Y=50\r\n"));
    QVERIFY(saveFormat().endsWith(QStringLiteral("XY(1).Y=50\r\nXY(2).X=150: XY(2).Y=120\r\n")));
    QVERIFY(blackAt({175, 85})); // on the line from (200, 50) to (150, 120)
}

void TestMainForm::rightAndMiddleClicksAddNoVertex() {
    click({40, 40}, Qt::RightButton); // on an empty outline: no vertex, no menu change
    QCOMPARE(m_form->outline.PointCount, int16_t(0));
    QVERIFY(!m_form->MakeBut->isEnabled());
    QCOMPARE(saveFormat(), QString());

    click({10, 10});
    click({50, 10});
    const QString twoLines = saveFormat();
    QVERIFY(!m_form->MakeBut->isEnabled());
    click({50, 100}, Qt::RightButton);
    QVERIFY(m_form->MakeBut->isEnabled());
    QCOMPARE(m_form->outline.PointCount, int16_t(2));
    QCOMPARE(saveFormat(), twoLines);
    QVERIFY(blackAt({50, 60})); // line from the previous mouse-down

    m_form->MakeBut->setEnabled(false);
    click({100, 100}, Qt::MiddleButton);
    QVERIFY(m_form->MakeBut->isEnabled());
    QCOMPARE(saveFormat(), twoLines);
    QCOMPARE(m_form->outline.PointCount, int16_t(2));
    QVERIFY(blackAt({75, 100})); // joined to the right click's position

    // The next left click is joined to the last mouse-down, whatever its button.
    click({100, 150});
    QVERIFY(blackAt({100, 125}));
    QCOMPARE(m_form->outline.XY[2].X, 100);
    QCOMPARE(m_form->outline.XY[2].Y, 150);
}

void TestMainForm::fastSecondClickIsAMouseDown() {
    QWidget *surface = m_form->surface();
    auto send = [surface](QEvent::Type type, QPoint at) {
        QMouseEvent event(type, QPointF(at), QPointF(surface->mapToGlobal(at)), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(surface, &event);
    };
    // What the desktop delivers for a double click: a press, then a double click for the second.
    send(QEvent::MouseButtonPress, {60, 70});
    send(QEvent::MouseButtonRelease, {60, 70});
    send(QEvent::MouseButtonDblClick, {60, 70});
    send(QEvent::MouseButtonRelease, {60, 70});
    QCOMPARE(saveFormat(), QStringLiteral("XY(0).X=60: XY(0).Y=70\r\nXY(1).X=60: XY(1).Y=70\r\n"));
    QCOMPARE(m_form->outline.PointCount, int16_t(2));
}

void TestMainForm::roundsHalfPixelsToEven() {
    // Half pixels cannot come from a real mouse at 15 twips per pixel; the handler gets them here.
    platform::runHandler([this] { m_form->Form_MouseDown(1, 0, 562.5f, 337.5f); });
    QCOMPARE(saveFormat(), QStringLiteral("XY(0).X=38: XY(0).Y=22\r\n"));
    QCOMPARE(m_form->outline.XY[0].X, 38);
    QCOMPARE(m_form->outline.XY[0].Y, 22);

    platform::runHandler([this] { m_form->Form_MouseMove(2, 0, -37.5f, 337.5f); });
    QVERIFY(saveFormat().endsWith(QStringLiteral("\r\nXY(1).X=-2.5: XY(1).Y=22.5\r\n")));
    QCOMPARE(m_form->outline.XY[1].X, -2);
    QCOMPARE(m_form->outline.XY[1].Y, 22);
    QCOMPARE(m_form->outline.PointCount, int16_t(2));
    QVERIFY(m_warnings.isEmpty());
}

void TestMainForm::convertsAtTwelveTwipsPerPixel() {
    makeForm(12);
    click({100, 50}); // a real click: 1200, 600 twips, back to the same pixels
    QCOMPARE(saveFormat(), QStringLiteral("XY(0).X=100: XY(0).Y=50\r\n"));
    QVERIFY(blackAt({100, 50}));
    platform::runHandler([this] { m_form->Form_MouseDown(1, 0, 1500, 750); });
    QVERIFY(saveFormat().endsWith(QStringLiteral("\r\nXY(1).X=125: XY(1).Y=62\r\n"))); // 62.5
    platform::runHandler([this] { m_form->Form_MouseMove(2, 0, 1500, 750); });
    QVERIFY(saveFormat().endsWith(QStringLiteral("\r\nXY(2).X=125: XY(2).Y=62.5\r\n")));
    QCOMPARE(m_form->outline.XY[2].Y, 62);
}

void TestMainForm::rightDragOutsideToTheLeft() {
    for (QPoint p : {QPoint(10, 10), QPoint(60, 10), QPoint(60, 60), QPoint(10, 60)})
        click(p);
    QTest::mousePress(m_form->surface(), Qt::RightButton, Qt::NoModifier, {5, 20});
    QCOMPARE(m_form->outline.PointCount, int16_t(4)); // the press itself adds nothing
    moveHolding({2, 16}, Qt::RightButton);
    moveHolding({-3, 12}, Qt::RightButton);
    moveHolding({-8, -1}, Qt::RightButton);
    QTest::mouseRelease(m_form->surface(), Qt::RightButton, Qt::NoModifier, {-8, -1});
    QVERIFY(saveFormat().endsWith(QStringLiteral("XY(3).X=10: XY(3).Y=60\r\n"
                                                 "XY(4).X=2: XY(4).Y=16\r\n"
                                                 "XY(5).X=-3: XY(5).Y=12\r\n"
                                                 "XY(6).X=-8: XY(6).Y=-1\r\n")));
    const Outline &o = m_form->outline;
    QCOMPARE(o.PointCount, int16_t(7));
    QCOMPARE(o.XY[5].X, -3);
    QCOMPARE(o.XY[5].Y, 12);
    QCOMPARE(o.XY[7].X, 10); // closing copy
    QCOMPARE(o.ClosingLine, std::string("XY(7).X=10: XY(7).Y=10\r\n"));
    QVERIFY(blackAt({2, 16})); // a dot, no line
    QVERIFY(!blackAt({2, 18}));

    // The next click is joined to where the right button went down.
    click({5, 100});
    QVERIFY(blackAt({5, 60}));
    QVERIFY(!blackAt({3, 60}));
}

void TestMainForm::movesWithOtherButtonsDoNothing() {
    click({10, 10});
    click({60, 10});
    const QString before = saveFormat();
    const QImage drawing = m_form->surface()->drawing();
    for (Qt::MouseButtons held :
         {Qt::MouseButtons(Qt::LeftButton | Qt::RightButton), Qt::MouseButtons(Qt::LeftButton),
          Qt::MouseButtons(Qt::MiddleButton), Qt::MouseButtons(Qt::RightButton | Qt::MiddleButton),
          Qt::MouseButtons(Qt::NoButton)})
        moveHolding({100, 100}, held);
    QTest::mouseMove(m_form->surface(), {120, 130});
    QCOMPARE(saveFormat(), before);
    QCOMPARE(m_form->outline.PointCount, int16_t(2));
    QCOMPARE(m_form->surface()->drawing(), drawing);
    QVERIFY(!m_form->MakeBut->isEnabled());

    moveHolding({100, 100}, Qt::RightButton);
    QCOMPARE(m_form->outline.PointCount, int16_t(3));
    QVERIFY(!m_form->MakeBut->isEnabled()); // a drag leaves the menu alone
}

void TestMainForm::clickWhileCodeIsEnabledStartsOver() {
    click({10, 10});
    click({60, 10});
    click({60, 60});
    m_form->Program->setEnabled(true); // as after a generator
    m_form->Program->trigger();
    OutForm *code = OutForm::loaded();
    QVERIFY(code && code->isVisible());
    activate(m_form);

    click({30, 40});
    QCOMPARE(saveFormat(), QStringLiteral("XY(0).X=30: XY(0).Y=40\r\n"));
    QCOMPARE(m_form->outline.PointCount, int16_t(1));
    QCOMPARE(m_form->outline.ClosingLine, std::string("XY(1).X=30: XY(1).Y=40\r\n"));
    QVERIFY(!m_form->Program->isEnabled());
    QVERIFY(!m_form->MakeBut->isEnabled()); // enabled at the start, then reset
    QVERIFY(OutForm::loaded() == code && code->isVisible());
    QVERIFY(blackAt({30, 40}));
    QVERIFY(!blackAt({35, 10})); // the old outline is gone
    QVERIFY(!blackAt({45, 25})); // and so is the line drawn by this click before the reset
}

void TestMainForm::rightClickWhileCodeIsEnabledLeavesTheOutlineEmpty() {
    click({10, 10});
    click({60, 10});
    m_form->Program->setEnabled(true);
    click({30, 40}, Qt::RightButton);
    QCOMPARE(m_form->outline.PointCount, int16_t(0));
    QCOMPARE(saveFormat(), QString());
    QVERIFY(!m_form->Program->isEnabled());
    QVERIFY(!m_form->MakeBut->isEnabled());
    QVERIFY(drawingIsBlank());
}

void TestMainForm::resetWhileTheCodeWindowIsOpen() {
    QFrame *ellipsePanel = panel(0);
    QFrame *rectanglePanel = panel(1);
    for (QPoint p : {QPoint(10, 10), QPoint(60, 10), QPoint(60, 60)})
        click(p);
    m_form->Program->setEnabled(true);
    m_form->Program->trigger();
    OutForm *code = OutForm::loaded();
    QVERIFY(code && code->isVisible());
    code->setDeclareText(QStringLiteral("Dim hRgn As Long\r\n"));
    CutForm::ref().show();
    rectanglePanel->show();
    QVERIFY(m_form->MakeBut->isEnabled());
    const std::string closing = m_form->outline.ClosingLine;

    m_form->RestBut->trigger();
    QVERIFY(OutForm::loaded() == code && code->isVisible());
    QCOMPARE(code->saveFormatText(), QString());
    QCOMPARE(code->SaveFormat->toPlainText(), QString());
    QCOMPARE(code->declareText(), QStringLiteral("Dim hRgn As Long\r\n"));
    QVERIFY(CutForm::loaded() && !CutForm::loaded()->isVisible());
    QVERIFY(ellipsePanel->isHidden());
    QVERIFY(rectanglePanel->isHidden());
    QVERIFY(drawingIsBlank());
    QVERIFY(!m_form->MakeBut->isEnabled());
    QVERIFY(!m_form->Program->isEnabled());
    QCOMPARE(m_form->outline.PointCount, int16_t(0));
    QCOMPARE(m_form->outline.ClosingLine, closing);
    QCOMPARE(m_form->outline.XY[1].X, 60);
}

void TestMainForm::activationWithoutPanelClearsTheOutline() {
    for (QPoint p : {QPoint(10, 10), QPoint(60, 10), QPoint(60, 60)})
        click(p);
    QVERIFY(m_form->MakeBut->isEnabled());
    const QString threeLines = saveFormat();
    m_other = new QWidget;
    activate(m_other);
    QCOMPARE(m_form->outline.PointCount, int16_t(3)); // losing the activation does nothing
    QVERIFY(blackAt({60, 60}));

    activate(m_form);
    QCOMPARE(m_form->outline.PointCount, int16_t(0));
    QVERIFY(drawingIsBlank());
    QCOMPARE(saveFormat(), threeLines);
    QVERIFY(m_form->MakeBut->isEnabled());
    QCOMPARE(m_form->outline.ClosingLine, std::string("XY(3).X=10: XY(3).Y=10\r\n"));

    click({80, 90});
    QCOMPARE(saveFormat(), threeLines + QStringLiteral("XY(0).X=80: XY(0).Y=90\r\n"));
    QCOMPARE(m_form->outline.PointCount, int16_t(1));
}

void TestMainForm::activationWithPanelChangesNothing() {
    QFrame *shown = panel(1);
    panel(0);
    shown->show();
    click({10, 10});
    click({60, 10});
    m_other = new QWidget;
    activate(m_other);
    activate(m_form);
    QCOMPARE(m_form->outline.PointCount, int16_t(2));
    QVERIFY(blackAt({35, 10}));

    // With the panels hidden again the same activation clears the outline.
    shown->hide();
    activate(m_other);
    activate(m_form);
    QCOMPARE(m_form->outline.PointCount, int16_t(0));
    QVERIFY(drawingIsBlank());
}

void TestMainForm::hidingAFocusedPanelKeepsTheOutline() {
    QFrame *shown = panel(0);
    panel(1);
    shown->show();
    QLineEdit *box = shown->findChild<QLineEdit *>();
    QVERIFY(box);
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());
    click({10, 10});
    click({60, 10});
    shown->hide(); // the focus leaves the box, the window stays active
    QVERIFY(m_form->isActiveWindow());
    QCOMPARE(m_form->outline.PointCount, int16_t(2));
    QVERIFY(blackAt({35, 10}));
}

void TestMainForm::clickOnInactiveWindowStartsTheOutline() {
    click({10, 10});
    click({60, 10});
    m_other = new QWidget;
    activate(m_other);
    // The activation by this click comes first, then the click is a vertex of a new outline.
    click({40, 50});
    QCOMPARE(m_form->outline.PointCount, int16_t(1));
    QCOMPARE(m_form->outline.XY[0].X, 40);
    QVERIFY(saveFormat().endsWith(QStringLiteral("\r\nXY(0).X=40: XY(0).Y=50\r\n")));
    QVERIFY(blackAt({40, 50}));
    QVERIFY(!blackAt({35, 10}));
    // When the desktop then reports the activation, the new vertex stays.
    activate(m_form);
    QCOMPARE(m_form->outline.PointCount, int16_t(1));
    QVERIFY(blackAt({40, 50}));
}

void TestMainForm::drawingSurvivesRepaints() {
    click({100, 50});
    click({200, 50});
    QImage shown = m_form->surface()->grab().toImage();
    QCOMPARE(shown.pixelColor(150, 50), QColor(Qt::black));
    // Covered by another window and uncovered again.
    m_other = new QWidget;
    m_other->setAttribute(Qt::WA_ShowWithoutActivating);
    m_other->setGeometry(m_form->geometry());
    m_other->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_other));
    m_other->hide();
    m_form->surface()->repaint();
    shown = m_form->surface()->grab().toImage();
    QCOMPARE(shown.pixelColor(150, 50), QColor(Qt::black));
    QCOMPARE(shown.pixelColor(100, 50), QColor(Qt::black));
    QVERIFY(shown.pixelColor(150, 60) != QColor(Qt::black));
}

void TestMainForm::resizeGivesThePreviewTheOuterSize() {
    CutForm *preview = CutForm::loaded();
    QVERIFY(preview);
    QVERIFY(!preview->isVisible());
    QCOMPARE(preview->frameGeometry().size(), m_form->frameGeometry().size());
    const bool makeBut = m_form->MakeBut->isEnabled();
    const bool program = m_form->Program->isEnabled();
    m_form->Form_Resize();
    QCOMPARE(m_form->MakeBut->isEnabled(), makeBut);
    QCOMPARE(m_form->Program->isEnabled(), program);
}

void TestMainForm::showCodeAndAboutLeaveTheMenu() {
    for (bool enabled : {false, true}) {
        m_form->MakeBut->setEnabled(enabled);
        m_form->Program->setEnabled(enabled);
        m_form->Program_Click();
        QVERIFY(OutForm::loaded() && OutForm::loaded()->isVisible());
        m_form->about_Click();
        m_form->Form_GotFocus();
        QCOMPARE(m_form->MakeBut->isEnabled(), enabled);
        QCOMPARE(m_form->Program->isEnabled(), enabled);
    }
    // Showing the code window changes no text.
    OutForm::loaded()->setSaveFormatText(QStringLiteral("a\r\n"));
    m_form->Program_Click();
    QCOMPARE(OutForm::loaded()->saveFormatText(), QStringLiteral("a\r\n"));
    QCOMPARE(OutForm::loaded()->declareText(), OutForm::initialDeclarations());
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window != m_form && window != OutForm::loaded() && window != CutForm::loaded())
            window->close(); // the about window
    }
}

void TestMainForm::fullOutlineIsReportedOnce() {
    for (int i = 0; i < 500; ++i)
        click({i % 300 + 5, i / 300 * 10 + 5});
    QCOMPARE(m_form->outline.PointCount, int16_t(500));
    QVERIFY(m_warnings.isEmpty());
    const std::string closing = m_form->outline.ClosingLine;
    QCOMPARE(closing, std::string("XY(500).X=5: XY(500).Y=5\r\n"));

    QTest::mousePress(m_form->surface(), Qt::RightButton, Qt::NoModifier, {200, 200});
    for (int i = 0; i < 6; ++i)
        moveHolding({200 + i, 210}, Qt::RightButton);
    QTest::mouseRelease(m_form->surface(), Qt::RightButton, Qt::NoModifier, {205, 210});
    QCOMPARE(m_warnings, QStringList{platform::runtimeErrorText(platform::ErrSubscriptOutOfRange)});
    QCOMPARE(m_form->outline.PointCount, int16_t(500));
    QCOMPARE(m_form->outline.ClosingLine, closing);
    QCOMPARE(m_form->outline.XY[500].X, 205); // every move still got as far as slot 500
    QVERIFY(saveFormat().endsWith(QStringLiteral("XY(500).X=204: XY(500).Y=210\r\n"
                                                 "XY(500).X=205: XY(500).Y=210\r\n")));
    QCOMPARE(saveFormat().count(QStringLiteral("\r\n")), 506);
    QVERIFY(blackAt({205, 210}));

    // A new outline has room again; filling it up is reported again.
    m_form->RestBut->trigger();
    click({7, 7});
    QCOMPARE(m_form->outline.PointCount, int16_t(1));
    for (int i = 1; i < 501; ++i)
        click({i % 300 + 5, i / 300 * 10 + 5});
    QCOMPARE(m_warnings.size(), 2);
    QCOMPARE(m_form->outline.PointCount, int16_t(500));
}

void TestMainForm::closingTheMainWindowClosesTheOthers() {
    click({10, 10});
    click({60, 10});
    OutForm::ref().show();
    QPointer<OutForm> code = OutForm::loaded();
    QVERIFY(CutForm::loaded());
    QVERIFY(m_form->close());
    QVERIFY(!CutForm::loaded());
    QVERIFY(!OutForm::loaded());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(code.isNull());
    QVERIFY(!m_form->MakeBut->isEnabled()); // the code window's close steps ran
    QVERIFY(drawingIsBlank());
}

void TestMainForm::closingTheMainWindowClosesHiddenWindowsToo() {
    click({10, 10}); // makes the code window, hidden
    QPointer<OutForm> code = OutForm::loaded();
    QPointer<CutForm> preview = CutForm::loaded();
    QVERIFY(code && !code->isVisible());
    QVERIFY(preview && !preview->isVisible());
    QVERIFY(m_form->close());
    QVERIFY(!OutForm::loaded());
    QVERIFY(!CutForm::loaded());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(code.isNull());
    QVERIFY(preview.isNull());
    QCOMPARE(OutForm::ref().saveFormatText(), QString()); // a fresh one
}

void TestMainForm::codeWindowLayout() {
    OutForm &code = OutForm::ref();
    QCOMPARE(code.windowTitle(), QStringLiteral("Программный код"));
    QCOMPARE(code.size(), QSize(313, 272)); // 4695 x 4080 twips
    QCOMPARE(code.minimumSize(), code.maximumSize());
    QVERIFY(!(code.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(code.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!code.isVisible());

    auto *frame1 = code.findChild<QFrame *>(QStringLiteral("Frame1"));
    QVERIFY(frame1);
    QCOMPARE(frame1->geometry(), QRect(0, 0, 313, 233));
    QCOMPARE(code.DeclareText->parentWidget(), frame1);
    QCOMPARE(code.DeclareText->geometry(), QRect(8, 32, 297, 65));
    QCOMPARE(code.SaveFormat->geometry(), QRect(8, 120, 297, 107));
    QCOMPARE(code.OnTop->pos(), QPoint(8, 248));
    QCOMPARE(code.OnTop->text(), QStringLiteral("Окно поверх остальных"));
    QVERIFY(!code.OnTop->isChecked());
    auto *general = code.findChild<QLabel *>(QStringLiteral("Label1(0)"));
    auto *sub = code.findChild<QLabel *>(QStringLiteral("Label1(1)"));
    QVERIFY(general && sub);
    QCOMPARE(general->text(), QStringLiteral("General:"));
    QCOMPARE(general->pos(), QPoint(8, 16));
    QCOMPARE(sub->text(), QStringLiteral("Sub:"));
    QCOMPARE(sub->pos(), QPoint(8, 104));

    const QString copyTip =
        QStringLiteral(" Кликните мышкой на тексте для копирования в буфер обмена ");
    QCOMPARE(code.DeclareText->toolTip(), copyTip);
    QCOMPARE(code.SaveFormat->toolTip(), copyTip);
    QCOMPARE(code.OnTop->toolTip(), QStringLiteral(" Расположить данное окно поверх остальных "));

    auto nextTabStop = [](QWidget *from) {
        QWidget *next = from->nextInFocusChain();
        while (next != from && !(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        return next;
    };
    QCOMPARE(nextTabStop(code.DeclareText), code.SaveFormat);
    QCOMPARE(nextTabStop(code.SaveFormat), code.OnTop);
    QCOMPARE(nextTabStop(code.OnTop), code.DeclareText);
    QCOMPARE(code.DeclareText->palette().color(QPalette::Base),
             QApplication::palette("QMenu").color(QPalette::Window));
    QCOMPARE(code.SaveFormat->palette().color(QPalette::Base),
             QApplication::palette().color(QPalette::Base));
    QCOMPARE(code.DeclareText->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(code.SaveFormat->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    // Opens centred on the main window.
    m_form->Program_Click();
    QVERIFY(QTest::qWaitForWindowExposed(&code));
    QVERIFY((code.frameGeometry().center() - m_form->frameGeometry().center()).manhattanLength() <=
            2);
    QCOMPARE(code.windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
}

void TestMainForm::codeWindowAtTwelveTwipsPerPixel() {
    platform::setTwipsPerPixelForTesting(12, 12);
    OutForm &code = OutForm::ref();
    QCOMPARE(code.size(), QSize(391, 340));                          // 4695 / 12 = 391.25
    QCOMPARE(code.DeclareText->geometry(), QRect(10, 40, 371, 81));  // 371.25, 81.25
    QCOMPARE(code.SaveFormat->geometry(), QRect(10, 150, 371, 134)); // 133.75
    QCOMPARE(code.OnTop->pos(), QPoint(10, 310));
}

void TestMainForm::initialDeclarations() {
    const QString expected = QStringLiteral(
        "Private Type Coordinates\r\n   X As Long\r\n   Y As Long\r\nEnd Type\r\n"
        "Dim XY(500) As Coordinates\r\n\r\n"
        "Private Declare Function SetWindowRgn Lib \"user32\" \r\n"
        "(ByVal hWnd As Long, ByVal hRgn As Long, ByVal \r\nbRedraw As Long) As Long\r\n"
        "Private Declare Function CreatePolygonRgn Lib \"gdi32\" \r\n"
        "(lpPoint As Coordinates, ByVal nCount As Long, ByVal \r\n"
        "nPolyFillMode As Long) As Long\r\n");
    QCOMPARE(OutForm::initialDeclarations(), expected);
    OutForm &code = OutForm::ref();
    QCOMPARE(code.declareText(), expected);
    QCOMPARE(code.DeclareText->document()->blockCount(), 13); // twelve lines and the empty end
    QCOMPARE(code.DeclareText->document()->findBlockByNumber(6).text(),
             QStringLiteral("Private Declare Function SetWindowRgn Lib \"user32\" "));
    QVERIFY(!code.DeclareText->toPlainText().contains(QLatin1Char('\r')));
    QCOMPARE(code.saveFormatText(), QString());
}

void TestMainForm::boxesAreReadOnly() {
    OutForm &code = OutForm::ref();
    code.setSaveFormatText(QStringLiteral("XY(0).X=1: XY(0).Y=2\r\n"));
    code.show();
    activate(&code);
    for (QPlainTextEdit *box : {code.DeclareText, code.SaveFormat}) {
        const QString before = box == code.SaveFormat ? code.saveFormatText() : code.declareText();
        const QString shown = box->toPlainText();
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("abc"));
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(box->toPlainText(), shown);
        QCOMPARE(box == code.SaveFormat ? code.saveFormatText() : code.declareText(), before);
        // The caret still moves and text can be selected.
        QVERIFY(box->textInteractionFlags() & Qt::TextSelectableByKeyboard);
        QVERIFY(box->textInteractionFlags() & Qt::TextSelectableByMouse);
    }
}

void TestMainForm::appendKeepsTheExactText() {
    OutForm &code = OutForm::ref();
    code.setSaveFormatText(QStringLiteral("first\r\n"));
    code.appendSaveFormatText(QStringLiteral("XY(0).X=1: XY(0).Y=2\r\n"));
    code.appendSaveFormatText(QStringLiteral("XY(1).X=3: XY(1).Y=4\r\n"));
    QCOMPARE(code.saveFormatText(),
             QStringLiteral("first\r\nXY(0).X=1: XY(0).Y=2\r\nXY(1).X=3: XY(1).Y=4\r\n"));
    QCOMPARE(code.SaveFormat->toPlainText(),
             QStringLiteral("first\nXY(0).X=1: XY(0).Y=2\nXY(1).X=3: XY(1).Y=4\n"));
    code.setSaveFormatText(QString());
    QCOMPARE(code.SaveFormat->toPlainText(), QString());
    code.appendSaveFormatText(QStringLiteral("a\r\n"));
    QCOMPARE(code.saveFormatText(), QStringLiteral("a\r\n"));
}

void TestMainForm::clickCopiesTheWholeText() {
    click({100, 50});
    click({200, 50});
    click({150, 120});
    OutForm &code = OutForm::ref();
    code.show();
    QVERIFY(QTest::qWaitForWindowExposed(&code));
    QClipboard *clipboard = QGuiApplication::clipboard();

    // A selection inside the box does not matter.
    QTextCursor selection = code.SaveFormat->textCursor();
    selection.setPosition(3);
    selection.setPosition(9, QTextCursor::KeepAnchor);
    code.SaveFormat->setTextCursor(selection);
    clipboard->setText(QStringLiteral("old"));
    QTest::mouseClick(code.SaveFormat->viewport(), Qt::LeftButton, Qt::NoModifier, {40, 20});
    const QByteArray expected = "XY(0).X=100: XY(0).Y=50\r\nXY(1).X=200: XY(1).Y=50\r\n"
                                "XY(2).X=150: XY(2).Y=120\r\n";
    QCOMPARE(clipboard->text().toUtf8(), expected);
    QCOMPARE(code.saveFormatText().toUtf8(), expected); // the click changes no text

    QTest::mouseClick(code.DeclareText->viewport(), Qt::LeftButton, Qt::NoModifier, {30, 10});
    QCOMPARE(clipboard->text(), OutForm::initialDeclarations());
    QCOMPARE(clipboard->text().count(QStringLiteral("\r\n")), 12);

    // An empty box puts an empty text there.
    m_form->RestBut->trigger();
    QTest::mouseClick(code.SaveFormat->viewport(), Qt::LeftButton, Qt::NoModifier, {40, 20});
    QCOMPARE(clipboard->text(), QString());
}

void TestMainForm::onTopKeepsTheWindowAbove() {
    OutForm &code = OutForm::ref();
    m_form->Program_Click();
    QVERIFY(QTest::qWaitForWindowExposed(&code));
    const QRect frame = code.frameGeometry();
    QVERIFY(!platform::isTopmost(&code));

    QTest::mouseClick(code.OnTop, Qt::LeftButton, Qt::NoModifier, {5, code.OnTop->height() / 2});
    QVERIFY(code.OnTop->isChecked());
    QVERIFY(platform::isTopmost(&code));
    QVERIFY(code.isVisible());
    QCOMPARE(code.frameGeometry(), frame);

    QTest::mouseClick(code.OnTop, Qt::LeftButton, Qt::NoModifier, {5, code.OnTop->height() / 2});
    QVERIFY(!code.OnTop->isChecked());
    QVERIFY(!platform::isTopmost(&code));
    QCOMPARE(code.frameGeometry(), frame);
}

void TestMainForm::onTopGrayedDoesNothing() {
    OutForm &code = OutForm::ref();
    code.OnTop->setTristate(true);
    code.OnTop->setCheckState(Qt::PartiallyChecked);
    code.OnTop_Click();
    QVERIFY(!code.isVisible()); // not shown: nothing was called
    QVERIFY(!platform::isTopmost(&code));
}

void TestMainForm::onTopShowsAHiddenWindowWithoutActivating() {
    OutForm &code = OutForm::ref();
    code.OnTop->setChecked(true);
    code.OnTop_Click();
    QVERIFY(code.isVisible());
    QVERIFY(platform::isTopmost(&code));
    QVERIFY(m_form->isActiveWindow());
    QVERIFY(!code.isActiveWindow());
}

void TestMainForm::codeWindowCloseAndRecreation() {
    for (QPoint p : {QPoint(10, 10), QPoint(60, 10), QPoint(60, 60)})
        click(p);
    m_form->Program->setEnabled(true);
    m_form->Program->trigger();
    QPointer<OutForm> code = OutForm::loaded();
    QVERIFY(code && code->isVisible());
    code->setDeclareText(QStringLiteral("generated\r\n"));
    code->OnTop->click();
    QVERIFY(platform::isTopmost(code));

    QVERIFY(code->close());
    QVERIFY(!OutForm::loaded());
    QVERIFY(!m_form->Program->isEnabled());
    QVERIFY(!m_form->MakeBut->isEnabled());
    QVERIFY(drawingIsBlank());
    QCOMPARE(m_form->outline.PointCount, int16_t(3)); // the table is not touched
    QCOMPARE(m_form->outline.XY[2].X, 60);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(code.isNull());

    OutForm &fresh = OutForm::ref();
    QCOMPARE(fresh.declareText(), OutForm::initialDeclarations());
    QCOMPARE(fresh.saveFormatText(), QString());
    QVERIFY(!fresh.OnTop->isChecked());
    QVERIFY(!fresh.isVisible());
    QVERIFY(!platform::isTopmost(&fresh));

    // The next click writes into the fresh window.
    click({20, 30});
    QCOMPARE(fresh.saveFormatText().count(QStringLiteral("\r\n")), 1);
    QVERIFY(fresh.saveFormatText().endsWith(
        QStringLiteral(".X=20: XY(%1).Y=30\r\n").arg(m_form->outline.PointCount - 1)));
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
