// The main window, the capture on its client area and the code window, driven through real mouse
// events on Qt's offscreen platform.
#include "FormsFixture.h"
#include "app/MenuBar.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/Topmost.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>

enum CodeWindowStep { LeftClick, RightClick, Reset, CloseCodeWindow };
using menubar::KeyEffect;
using menubar::KeyTarget;
Q_DECLARE_METATYPE(KeyTarget)

const QString kThreeLines = QStringLiteral("XY(0).X=100: XY(0).Y=50\r\nXY(1).X=200: XY(1).Y=50\r\n"
                                           "XY(2).X=150: XY(2).Y=120\r\n");

class TestMainForm : public QObject, FormsFixture {
    Q_OBJECT

    QTemporaryDir m_runtime;
    QWidget *m_other = nullptr; // another top-level window to take the activation

    void makeShownForm(float twipsPerPixel) {
        makeForm(twipsPerPixel);
        activate(form.get());
    }
    void activate(QWidget *window) {
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
    // While a button is held the surface has the mouse, wherever the pointer goes.
    void moveHolding(QPoint pixel, Qt::MouseButtons buttons) {
        QWidget *surface = form->surface();
        QMouseEvent move(
            QEvent::MouseMove, QPointF(pixel), QPointF(surface->mapTo(form.get(), pixel)),
            QPointF(surface->mapToGlobal(pixel)), Qt::NoButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(surface, &move);
    }
    void rightDrag(QPoint from, std::initializer_list<QPoint> moves) {
        QTest::mousePress(form->surface(), Qt::RightButton, Qt::NoModifier, from);
        for (QPoint pixel : moves)
            moveHolding(pixel, Qt::RightButton);
        QTest::mouseRelease(form->surface(), Qt::RightButton, Qt::NoModifier, *(moves.end() - 1));
    }
    // The main window's menu items, one of them disabled (-1: none).
    static std::vector<menubar::Item> menuItems(int disabled) {
        std::vector<menubar::Item> items;
        for (const char *caption : {"&Создать", "&Пример", "&Код", "&Сброс", "&О программе..."})
            items.push_back(
                {QString::fromUtf8(caption), int(items.size()) != disabled, items.empty()});
        return items;
    }
    MenuBar *menu() const { return qobject_cast<MenuBar *>(form->menuWidget()); }
    QAction *highlighted() const {
        for (QMenuBar *line : menu()->lines()) {
            if (line->activeAction())
                return line->activeAction();
        }
        return nullptr;
    }
    // Where the keyboard goes: the open menu, else the focus widget, else the active window.
    static QWidget *activeWidget() {
        if (QWidget *popup = QApplication::activePopupWidget())
            return popup;
        return QApplication::focusWidget() ? QApplication::focusWidget()
                                           : QApplication::activeWindow();
    }
    // Alt, a letter, and their releases, each going where the keyboard is at that moment: Alt
    // alone closes an open menu.
    static void altKey(char16_t letter) {
        const int key = QChar(letter).toUpper().unicode();
        const QString text(letter);
        QTest::simulateEvent(activeWidget(), true, Qt::Key_Alt, Qt::AltModifier, {}, false);
        QTest::simulateEvent(activeWidget(), true, key, Qt::AltModifier, text, false);
        QTest::simulateEvent(activeWidget(), false, key, Qt::AltModifier, text, false);
        QTest::simulateEvent(activeWidget(), false, Qt::Key_Alt, Qt::NoModifier, {}, false);
    }
    // A click whose mouse-down brings the program's own message box, which the user closes.
    void clickThroughBox(QPoint pixel) {
        QTimer::singleShot(0, [] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                box->accept();
        });
        click(pixel);
    }
    bool blackAt(QPoint pixel) const {
        return form->surface()->drawing().pixelColor(pixel) == QColor(Qt::black);
    }
    bool drawingIsBlank() const {
        const QImage &drawing = form->surface()->drawing();
        QImage blank(drawing.size(), drawing.format());
        blank.fill(drawing.pixel(0, 0));
        return drawing == blank;
    }

private slots:
    void initTestCase() {
        // A private session folder: the one-copy lock of this test must not meet a running
        // program.
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }
    void init() {
        recordWarnings();
        m_other = new QWidget;
        makeShownForm(15);
    }
    void cleanup() {
        tearDown();
        delete m_other;
    }

    void menuAndSizesAt12TwipsPerPixel() {
        // 4980 x 4395 and 4695 x 4080 twips are not whole pixels here.
        makeShownForm(12);
        QCOMPARE(form->surface()->size(), QSize(415, 366));
        QCOMPARE(OutForm::ref().size(), QSize(391, 340));
        // The boxes end where their panel's button ends, as they do in twips.
        for (int i = 0; i < 10; ++i)
            QCOMPARE(form->SetPar[i]->geometry().right(),
                     (i < 4 ? form->CircleOkBut : form->RectOkBut)->geometry().right());
        // With the default font the bar is one line, as high as a plain menu bar of its items.
        const QList<QMenuBar *> lines = menu()->lines();
        QCOMPARE(lines.size(), 1);
        QMenuBar plain;
        plain.addActions(lines[0]->actions());
        QCOMPARE(form->height(), plain.heightForWidth(415) + 366);
        QStringList captions;
        for (QAction *item : lines[0]->actions())
            captions << item->text();
        QCOMPARE(captions.join(u'|'),
                 QStringLiteral("&Создать|&Пример|&Код|&Сброс|&О программе..."));
    }

    void menuWrapsWithALargeFont() {
        const QFont font = QApplication::font();
        QFont large = font;
        large.setPointSizeF(font.pointSizeF() * 2);
        QApplication::setFont(large);
        auto restore = qScopeGuard([&] { QApplication::setFont(font); });
        QTRY_VERIFY(menu()->lines().size() > 1);
        QTRY_COMPARE(form->height(), menu()->height() + 293); // the client area keeps its size
        QCOMPARE(form->surface()->size(), QSize(332, 293));
        for (QMenuBar *line : menu()->lines()) {
            for (QAction *item : line->actions()) {
                const QRect place = line->actionGeometry(item);
                QVERIFY2(form->rect().contains(place.translated(line->mapTo(form.get(), QPoint()))),
                         qPrintable(item->text()));
            }
        }
        restore.dismiss();
        QApplication::setFont(font);
        QTRY_COMPARE(menu()->lines().size(), 1);
    }

    void sharedAccessKeyRunsNothingByItself() {
        clickAll({{10, 10}, {60, 10}, {60, 60}});
        const QString threeLines = saveFormat();
        for (int round = 0; round < 2; ++round) { // С: Создать opens, then Сброс is highlighted
            altKey(u'С');
            QTRY_VERIFY(form->MnuSet->isVisible());
            altKey(u'С');
            QTRY_VERIFY(!form->MnuSet->isVisible());
            QCOMPARE(highlighted(), form->RestBut);
        }
        QCOMPARE(saveFormat(), threeLines); // the outline is kept
        QVERIFY(form->MakeBut->isEnabled());
        QTest::keyClick(activeWidget(), Qt::Key_Return);
        QCOMPARE(saveFormat(), QString());
        QVERIFY(!form->MakeBut->isEnabled() && !highlighted());
    }

    void menuBarRules_data() {
        QTest::addColumn<QChar>("key");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("disabled");
        QTest::addColumn<KeyTarget>("expected");
        QTest::newRow("shared key, bar not in use")
            << QChar(u'С') << -1 << -1 << KeyTarget{0, KeyEffect::Open};
        QTest::newRow("shared key again")
            << QChar(u'с') << 0 << -1 << KeyTarget{3, KeyEffect::Highlight};
        QTest::newRow("shared key round")
            << QChar(u'С') << 3 << -1 << KeyTarget{0, KeyEffect::Open};
        QTest::newRow("shared key from between")
            << QChar(u'С') << 1 << -1 << KeyTarget{3, KeyEffect::Highlight};
        QTest::newRow("shared key, one disabled")
            << QChar(u'С') << 0 << 3 << KeyTarget{0, KeyEffect::Open};
        QTest::newRow("own key") << QChar(u'О') << 3 << -1 << KeyTarget{4, KeyEffect::Run};
        QTest::newRow("own key, disabled")
            << QChar(u'П') << -1 << 1 << KeyTarget{1, KeyEffect::None};
        QTest::newRow("no item's key") << QChar(u'Ж') << -1 << -1 << KeyTarget{};
    }

    void menuBarRules() {
        QFETCH(QChar, key);
        QFETCH(int, current);
        QFETCH(int, disabled);
        QFETCH(KeyTarget, expected);
        const KeyTarget target = menubar::accessKeyTarget(menuItems(disabled), key, current);
        QCOMPARE(target.item, expected.item);
        QCOMPARE(int(target.effect), int(expected.effect));
    }

    void menuBarArrowsAndLines() {
        const std::vector<menubar::Item> items = menuItems(1);
        QCOMPARE(menubar::arrowTarget(items, 0, 1), 2); // over the disabled item
        QCOMPARE(menubar::arrowTarget(items, 4, 1), 0); // round from one end to the other
        QCOMPARE(menubar::arrowTarget(items, 0, -1), 4);
        // Items 73, 69, 39, 55 and 126 wide, 6 apart, 6 before the first: 392 for one line.
        const menubar::LineMetrics metrics{{73, 69, 39, 55, 126}, 6, 6, 0};
        QCOMPARE(menubar::lineStarts(metrics, 392), std::vector<int>{0});
        QCOMPARE(menubar::lineStarts(metrics, 391), std::vector<int>({0, 4}));
        QCOMPARE(menubar::lineStarts(metrics, 160), std::vector<int>({0, 2, 4}));
        QCOMPARE(menubar::lineStarts(metrics, 10), std::vector<int>({0, 1, 2, 3, 4}));
    }

    void firstSecondAndThirdClicks() {
        const QPoint vertices[] = {{100, 50}, {200, 50}, {150, 120}};
        const QPoint onLine[] = {{100, 50}, {150, 50}, {175, 85}}; // the dot, then the lines
        const Outline &o = form->outline;
        for (int i = 0; i < 3; ++i) {
            click(vertices[i]);
            QCOMPARE(saveFormat(), kThreeLines.section(QStringLiteral("\r\n"), 0, i) + "\r\n");
            QCOMPARE(o.PointCount, int16_t(i + 1));
            QCOMPARE(QPoint(o.XY[i].X, o.XY[i].Y), vertices[i]);
            QCOMPARE(QPoint(o.XY[i + 1].X, o.XY[i + 1].Y), vertices[0]); // the closing copy
            QCOMPARE(o.ClosingLine,
                     QStringLiteral("XY(%1).X=100: XY(%1).Y=50\r\n").arg(i + 1).toStdString());
            QVERIFY(blackAt(onLine[i]));
            QCOMPARE(form->MakeBut->isEnabled(), i == 2); // "&Пример" from the third click
        }
        QVERIFY(!blackAt({150, 60}));
        form->surface()->repaint(); // and what is painted keeps the lines
        const QImage shown = form->surface()->grab().toImage();
        QVERIFY(shown.pixelColor(150, 50) == Qt::black && shown.pixelColor(150, 60) != Qt::black);
        QVERIFY(!form->Program->isEnabled());
        QVERIFY(!OutForm::loaded()->isVisible()); // made hidden by the first line
    }

    void rightAndMiddleClicksAddNoVertex_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("right") << Qt::RightButton;
        QTest::newRow("middle") << Qt::MiddleButton;
    }

    void rightAndMiddleClicksAddNoVertex() {
        QFETCH(Qt::MouseButton, button);
        click({40, 40}, button); // on an empty outline: no vertex, no menu change
        QCOMPARE(form->outline.PointCount, int16_t(0));
        QVERIFY(!form->MakeBut->isEnabled());
        QCOMPARE(saveFormat(), QString());

        clickAll({{10, 10}, {50, 10}});
        const QString twoLines = saveFormat();
        click({50, 100}, button);
        QVERIFY(form->MakeBut->isEnabled());
        QCOMPARE(form->outline.PointCount, int16_t(2));
        QCOMPARE(saveFormat(), twoLines);
        QVERIFY(blackAt({50, 60})); // joined to the previous mouse-down

        // The next left click is joined to the last mouse-down, whatever its button.
        click({100, 150});
        QVERIFY(blackAt({75, 125}));
        QCOMPARE(form->outline.XY[2].X, 100);
    }

    void fastSecondClickIsAMouseDown() {
        // What the desktop delivers for a fast second click: a press, then a double click.
        const QPointF at(60, 70);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                  QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            const bool up = type == QEvent::MouseButtonRelease;
            QMouseEvent event(type, at, form->surface()->mapToGlobal(at), Qt::LeftButton,
                              up ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(form->surface(), &event);
        }
        QCOMPARE(saveFormat(),
                 QStringLiteral("XY(0).X=60: XY(0).Y=70\r\nXY(1).X=60: XY(1).Y=70\r\n"));
    }

    void roundsHalfPixelsToEven() {
        click({100, 50});
        // Half pixels cannot come from a real mouse; the handlers get them here: 37.5 and 22.5.
        platform::runHandler([&] { form->Form_MouseDown(1, 0, 562.5f, 337.5f); });
        QVERIFY(saveFormat().endsWith(QStringLiteral("\r\nXY(1).X=38: XY(1).Y=22\r\n")));
        platform::runHandler([&] { form->Form_MouseMove(2, 0, 562.5f, 337.5f); });
        QVERIFY(saveFormat().endsWith(QStringLiteral("\r\nXY(2).X=37.5: XY(2).Y=22.5\r\n")));
        QCOMPARE(QPoint(form->outline.XY[2].X, form->outline.XY[2].Y), QPoint(38, 22));
        QVERIFY(warnings.isEmpty());
    }

    void rightDragOutsideToTheLeft() {
        clickAll({{10, 10}, {60, 10}});
        const QString before = saveFormat();
        const QImage drawing = form->surface()->drawing();
        // Moves with any other buttons, Button 3 (left and right) among them, do nothing.
        for (int held : {1 | 2, 1, 4, 2 | 4, 0}) // left 1, right 2, middle 4
            moveHolding({100, 100}, Qt::MouseButtons(held));
        QCOMPARE(saveFormat(), before);
        QCOMPARE(form->surface()->drawing(), drawing);

        moveHolding({2, 16}, Qt::RightButton);
        QVERIFY(!form->MakeBut->isEnabled()); // a drag leaves the menu alone
        rightDrag({5, 20}, {{-3, 12}, {-8, -1}});
        QCOMPARE(saveFormat(), before + QStringLiteral("XY(2).X=2: XY(2).Y=16\r\n"
                                                       "XY(3).X=-3: XY(3).Y=12\r\n"
                                                       "XY(4).X=-8: XY(4).Y=-1\r\n"));
        const Outline &o = form->outline;
        QCOMPARE(o.PointCount, int16_t(5)); // the press itself adds nothing
        QCOMPARE(o.XY[3].X, -3);
        QCOMPARE(o.XY[5].X, 10); // closing copy
        QCOMPARE(o.ClosingLine, std::string("XY(5).X=10: XY(5).Y=10\r\n"));
        QVERIFY(blackAt({2, 16})); // a dot, no line
        QVERIFY(!blackAt({2, 18}));
    }

    void focusRuleWithAndWithoutPanel() {
        QFrame *shown = form->ParFrm[0];
        shown->show();
        QLineEdit *box = shown->findChild<QLineEdit *>();
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
        clickAll({{10, 10}, {60, 10}, {60, 60}});
        activate(m_other);
        activate(form.get());
        QCOMPARE(form->outline.PointCount, int16_t(3)); // a panel is shown: nothing happens
        shown->hide(); // the focus leaves the box, the window stays active
        QVERIFY(form->isActiveWindow());
        QCOMPARE(form->outline.PointCount, int16_t(3));
        QVERIFY(blackAt({35, 10}));

        activate(m_other);
        QCOMPARE(form->outline.PointCount, int16_t(3)); // losing the activation does nothing
        // A click on the inactive window: its activation first, then a vertex of a new outline.
        click({40, 50});
        QCOMPARE(form->outline.PointCount, int16_t(1));
        QCOMPARE(saveFormat(), QStringLiteral("XY(0).X=40: XY(0).Y=50\r\n"));
        QVERIFY(blackAt({40, 50}) && !blackAt({35, 10}));
        activate(form.get()); // the desktop reports that activation afterwards: the vertex stays
        QCOMPARE(form->outline.PointCount, int16_t(1));

        const bool makeBut = form->MakeBut->isEnabled();
        activate(m_other);
        activate(form.get());
        QCOMPARE(form->outline.PointCount, int16_t(0));
        QVERIFY(drawingIsBlank());
        QCOMPARE(form->MakeBut->isEnabled(), makeBut);
        QVERIFY(form->outline.ClosingLine.empty() && saveFormat().isEmpty());
    }

    void fullOutlineIsReportedAtEachMouseDown() {
        for (int i = 0; i < 500; ++i)
            click({i % 300 + 5, i / 300 * 10 + 5});
        QCOMPARE(form->outline.PointCount, int16_t(500));
        QVERIFY(warnings.isEmpty());

        // The 501st vertex comes from a drag that goes on: one message for the drag.
        rightDrag({200, 200},
                  {{200, 210}, {201, 210}, {202, 210}, {203, 210}, {204, 210}, {205, 210}});
        const QString full = platform::runtimeErrorText(platform::ErrSubscriptOutOfRange);
        QCOMPARE(warnings, QStringList{full});
        // Every move still wrote its line (the outline's own rules are checked in tst_capture).
        QVERIFY(saveFormat().endsWith(QStringLiteral("XY(500).X=204: XY(500).Y=210\r\n"
                                                     "XY(500).X=205: XY(500).Y=210\r\n")));
        QCOMPARE(saveFormat().count(QStringLiteral("\r\n")), 506);
        click({210, 210}); // and one for each new mouse-down
        QCOMPARE(warnings, QStringList({full, full}));

        // The program's own box gives the activation back without emptying the outline, whether
        // the desktop hands it back or a click on the window takes it.
        platform::setWarningSinkForTesting({});
        clickThroughBox({5, 5});
        activate(form.get()); // as a window manager gives it back
        clickThroughBox({5, 5});
        clickThroughBox({5, 5}); // on the window the box left inactive
        activate(form.get());    // that click's activation, reported after it
        QCOMPARE(form->outline.PointCount, int16_t(500));
        activate(m_other); // another window's activation still empties it
        activate(form.get());
        QCOMPARE(form->outline.PointCount, int16_t(0));
    }

    void whileTheCodeWindowIsOpen_data() {
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pointCount");
        QTest::newRow("left click starts over")
            << int(LeftClick) << QStringLiteral("XY(0).X=30: XY(0).Y=40\r\n") << 1;
        QTest::newRow("right click starts over") << int(RightClick) << QString() << 0;
        QTest::newRow("reset") << int(Reset) << QString() << 0;
        QTest::newRow("close and recreation") << int(CloseCodeWindow) << QString() << 0;
    }

    void whileTheCodeWindowIsOpen() {
        QFETCH(int, step);
        QFETCH(QString, text);
        QFETCH(int, pointCount);
        form->ParFrm[1]->show(); // so that activations leave the outline alone
        clickAll({{10, 10}, {60, 10}, {60, 60}});
        form->Program->setEnabled(true); // as after a generator
        form->Program->trigger();
        QPointer<OutForm> code = OutForm::loaded();
        QVERIFY(code && QTest::qWaitForWindowExposed(code));
        code->setDeclareText(QStringLiteral("Dim hRgn As Long\r\n"));
        code->OnTop->click();
        CutForm::ref().show();
        activate(form.get());
        QVERIFY(form->MakeBut->isEnabled());

        if (step == LeftClick || step == RightClick)
            click({30, 40}, step == LeftClick ? Qt::LeftButton : Qt::RightButton);
        else if (step == Reset)
            form->RestBut->trigger();
        else
            QVERIFY(code->close());
        QVERIFY(!form->Program->isEnabled());
        QVERIFY(!form->MakeBut->isEnabled()); // enabled by a click's start, then reset
        QCOMPARE(form->outline.PointCount, int16_t(pointCount));
        QCOMPARE(form->outline.ClosingLine.empty(), pointCount == 0);
        QCOMPARE(form->outline.XY[1].X, step == LeftClick ? 30 : 60); // a reset leaves the table
        QVERIFY(!blackAt({35, 10}));
        QCOMPARE(drawingIsBlank(), step != LeftClick);
        if (step != CloseCodeWindow) {
            QVERIFY(OutForm::loaded() == code && code->isVisible());
            QCOMPARE(code->saveFormatText(), text);
            QCOMPARE(code->declareText(), QStringLiteral("Dim hRgn As Long\r\n"));
            QVERIFY(!CutForm::loaded()->isVisible() && form->ParFrm[1]->isHidden());
            return;
        }
        QVERIFY(!OutForm::loaded());
        flushDeletes();
        QVERIFY(code.isNull());
        OutForm &fresh = OutForm::ref();
        const QString declarations = QStringLiteral(
            "Private Type Coordinates\r\n   X As Long\r\n   Y As Long\r\nEnd Type\r\n"
            "Dim XY(500) As Coordinates\r\n\r\n"
            "Private Declare Function SetWindowRgn Lib \"user32\" \r\n"
            "(ByVal hWnd As Long, ByVal hRgn As Long, ByVal \r\nbRedraw As Long) As Long\r\n"
            "Private Declare Function CreatePolygonRgn Lib \"gdi32\" \r\n"
            "(lpPoint As Coordinates, ByVal nCount As Long, ByVal \r\n"
            "nPolyFillMode As Long) As Long\r\n");
        QCOMPARE(fresh.declareText(), declarations);
        QCOMPARE(fresh.saveFormatText(), QString());
        QVERIFY(!fresh.OnTop->isChecked() && !fresh.isVisible() && !platform::isTopmost(&fresh));
        click({20, 30}); // the next click writes into the fresh window
        QCOMPARE(fresh.saveFormatText(), QStringLiteral("XY(0).X=20: XY(0).Y=30\r\n"));
    }

    void codeWindowBoxes() {
        clickAll({{100, 50}, {200, 50}, {150, 120}});
        form->Program_Click();
        OutForm &code = *OutForm::loaded();
        QVERIFY(QTest::qWaitForWindowExposed(&code));
        QCOMPARE(code.DeclareText->palette().color(QPalette::Base),
                 QApplication::palette("QMenu").color(QPalette::Window));
        activate(&code);
        for (QPlainTextEdit *box : {code.DeclareText, code.SaveFormat}) {
            const QString shown = box->toPlainText();
            box->setFocus();
            QTest::keyClicks(box, QStringLiteral("ab"));
            QTest::keyClick(box, Qt::Key_Backspace);
            QTest::keyClick(box, Qt::Key_Return);
            QCOMPARE(box->toPlainText(), shown); // the user cannot type into the boxes
        }
        // A copy of the selection gives that part of the text as stored, CR LF included.
        QClipboard *clipboard = QGuiApplication::clipboard();
        QTest::keyClick(code.SaveFormat, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(code.SaveFormat, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text().toUtf8(), kThreeLines.toUtf8());
        QTextCursor selection = code.SaveFormat->textCursor();
        selection.setPosition(20); // from "=50" of the first line to "XY(1)." of the second
        selection.setPosition(30, QTextCursor::KeepAnchor);
        code.SaveFormat->setTextCursor(selection);
        code.SaveFormat->copy();
        const QString part = kThreeLines.mid(20, 11);
        QCOMPARE(clipboard->text(), part);
        // A left click puts the whole text on the clipboard, whatever is selected; a right one
        // nothing.
        QTest::mouseClick(code.SaveFormat->viewport(), Qt::RightButton, Qt::NoModifier, {40, 20});
        QCOMPARE(clipboard->text(), part);
        QTest::mouseClick(code.SaveFormat->viewport(), Qt::LeftButton, Qt::NoModifier, {40, 20});
        QCOMPARE(clipboard->text().toUtf8(), kThreeLines.toUtf8());
        QTest::mouseClick(code.DeclareText->viewport(), Qt::LeftButton, Qt::NoModifier, {30, 10});
        QCOMPARE(clipboard->text(), OutForm::initialDeclarations());
    }

    void onTopKeepsTheWindowAbove() {
        OutForm &code = OutForm::ref();
        code.OnTop->setTristate(true); // grayed: nothing is called
        code.OnTop->setCheckState(Qt::PartiallyChecked);
        code.OnTop_Click();
        QVERIFY(!code.isVisible() && !platform::isTopmost(&code));

        // Checked on a hidden window: shown above the others without taking the activation.
        code.OnTop->setTristate(false);
        code.OnTop->setChecked(true);
        code.OnTop_Click();
        QVERIFY(code.isVisible() && platform::isTopmost(&code) && form->isActiveWindow());
        QVERIFY(QTest::qWaitForWindowExposed(&code));
        const QRect frame = code.frameGeometry();
        for (bool checked : {false, true}) {
            QTest::mouseClick(code.OnTop, Qt::LeftButton, Qt::NoModifier,
                              {5, code.OnTop->height() / 2});
            QCOMPARE(code.OnTop->isChecked(), checked);
            QCOMPARE(platform::isTopmost(&code), checked);
            QCOMPARE(code.frameGeometry(), frame);
        }
    }

    void closingTheMainWindowClosesTheOthers() {
        clickAll({{10, 10}, {60, 10}});
        OutForm::ref().show(); // the preview window stays hidden
        QPointer<OutForm> code = OutForm::loaded();
        QPointer<CutForm> preview = CutForm::loaded();
        QVERIFY(code && preview && !preview->isVisible());
        // The preview follows every change of the main window's outer size.
        form->surface()->setFixedHeight(form->surface()->height() + 20);
        QTRY_COMPARE(preview->frameGeometry().size(), form->frameGeometry().size());
        QVERIFY(form->close());
        QVERIFY(!OutForm::loaded() && !CutForm::loaded());
        flushDeletes();
        QVERIFY(code.isNull() && preview.isNull());
        QVERIFY(drawingIsBlank()); // the code window's close steps ran
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
