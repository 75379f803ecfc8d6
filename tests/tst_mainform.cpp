// The main window, the capture on its client area and the code window, driven through real mouse
// events on Qt's offscreen platform.
#include "FormsFixture.h"
#include "app/MenuBar.h"
#include "platform/Topmost.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScopeGuard>
#include <QTemporaryDir>

const QString kThreeLines = QStringLiteral("XY(0).X=100: XY(0).Y=50\r\nXY(1).X=200: XY(1).Y=50\r\n"
                                           "XY(2).X=150: XY(2).Y=120\r\n");

class TestMainForm : public QObject, FormsFixture {
    Q_OBJECT

    QTemporaryDir m_runtime;
    QWidget *m_other = nullptr; // another top-level window to take the activation

    void activate(QWidget *window) {
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
    // While a button is held the surface has the mouse, wherever the pointer goes.
    void moveHolding(QPoint pixel, Qt::MouseButtons buttons) {
        QMouseEvent move(QEvent::MouseMove, QPointF(pixel), QPointF(surface()->mapToGlobal(pixel)),
                         Qt::NoButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(surface(), &move);
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
        return surface()->drawing().pixelColor(pixel) == QColor(Qt::black);
    }
    bool drawingIsBlank() const {
        const QImage &drawing = surface()->drawing();
        QImage blank(drawing.size(), drawing.format());
        blank.fill(drawing.pixel(0, 0));
        return drawing == blank;
    }
    int16_t pointCount() const { return form->outline().PointCount; }
    MenuBar *menu() const { return qobject_cast<MenuBar *>(form->menuWidget()); }

private slots:
    void initTestCase() {
        // A private session folder: the one-copy lock of this test must not meet a running program.
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }
    void init() {
        m_other = new QWidget;
        makeForm(15);
        activate(form.get());
    }
    void cleanup() {
        tearDown();
        delete m_other;
    }

    void sizesAndMenuAt12TwipsPerPixel() {
        // 4980 x 4395 and 4695 x 4080 twips are not whole pixels here.
        makeForm(12);
        activate(form.get());
        QCOMPARE(surface()->size(), QSize(415, 366));
        form->Program_Click();
        QCOMPARE(open<OutForm>()->size(), QSize(391, 340));
        // The boxes end where their panel's button ends, as they do in twips.
        for (int i = 0; i < 10; ++i)
            QCOMPARE(SetPar(i)->geometry().right(),
                     named(i < 4 ? "CircleOkBut" : "RectOkBut")->geometry().right());
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
        QCOMPARE(surface()->size(), QSize(332, 293));
    }

    // A dot at each clicked vertex and a line from the mouse-down before, whatever its button; a
    // drag leaves dots alone, also where it goes outside the window.
    void drawsTheOutline() {
        clickAll({{100, 50}, {200, 50}, {150, 120}});
        QVERIFY(blackAt({100, 50}) && blackAt({150, 50}) && blackAt({175, 85}));
        QVERIFY(!blackAt({150, 60}));
        surface()->repaint(); // and what is painted keeps the lines
        const QImage shown = surface()->grab().toImage();
        QVERIFY(shown.pixelColor(150, 50) == Qt::black && shown.pixelColor(150, 60) != Qt::black);

        click({150, 200}, Qt::MiddleButton);
        QVERIFY(blackAt({150, 160}));
        QCOMPARE(pointCount(), int16_t(3));
        moveHolding({200, 200}, Qt::RightButton);
        moveHolding({-3, 12}, Qt::RightButton);
        QVERIFY(blackAt({200, 200}) && !blackAt({200, 202}) && !blackAt({175, 200}));
        QVERIFY(saveFormat().endsWith(QStringLiteral("XY(4).X=-3: XY(4).Y=12\r\n")));
        click({150, 240}); // joined to the last mouse-down, not to the last dot
        QVERIFY(blackAt({150, 220}));
    }

    void fastSecondClickIsAMouseDown() {
        // What the desktop delivers for a fast second click: a press, then a double click.
        const QPointF at(60, 70);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                  QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            const bool up = type == QEvent::MouseButtonRelease;
            QMouseEvent event(type, at, surface()->mapToGlobal(at), Qt::LeftButton,
                              up ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(surface(), &event);
        }
        QCOMPARE(saveFormat(),
                 QStringLiteral("XY(0).X=60: XY(0).Y=70\r\nXY(1).X=60: XY(1).Y=70\r\n"));
    }

    // Half pixels cannot come from a real mouse; the handlers get them here: 37.5 and 22.5.
    void roundsHalfPixelsToEven() {
        click({100, 50});
        form->Form_MouseDown(1, 0, 562.5f, 337.5f);
        form->Form_MouseMove(2, 0, 562.5f, 337.5f);
        QVERIFY(saveFormat().endsWith(
            QStringLiteral("\r\nXY(1).X=38: XY(1).Y=22\r\nXY(2).X=37.5: XY(2).Y=22.5\r\n")));
        QCOMPARE(QPoint(form->outline().XY[2].X, form->outline().XY[2].Y), QPoint(38, 22));
    }

    void focusRuleWithAndWithoutPanel() {
        QWidget *shown = ParFrm(0);
        shown->show();
        QLineEdit *box = SetPar(0);
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
        clickAll({{10, 10}, {60, 10}, {60, 60}});
        activate(m_other);
        activate(form.get());
        QCOMPARE(pointCount(), int16_t(3)); // a panel is shown: nothing happens
        shown->hide();                      // the focus leaves the box, the window stays active
        QVERIFY(form->isActiveWindow());
        QCOMPARE(pointCount(), int16_t(3));
        QVERIFY(blackAt({35, 10}));

        activate(m_other);
        QCOMPARE(pointCount(), int16_t(3)); // losing the activation does nothing
        // A click on the inactive window: its activation first, then a vertex of a new outline.
        click({40, 50});
        QCOMPARE(pointCount(), int16_t(1));
        QCOMPARE(saveFormat(), QStringLiteral("XY(0).X=40: XY(0).Y=50\r\n"));
        QVERIFY(blackAt({40, 50}) && !blackAt({35, 10}));
        activate(form.get()); // the desktop reports that activation afterwards: the vertex stays
        QCOMPARE(pointCount(), int16_t(1));

        activate(m_other);
        activate(form.get());
        QCOMPARE(pointCount(), int16_t(0));
        QVERIFY(drawingIsBlank());
        QVERIFY(action("MakeBut")->isEnabled()); // from the third click
        QVERIFY(form->outline().ClosingLine.empty() && saveFormat().isEmpty());
    }

    // The program's own box gives the activation back without emptying the outline, whether the
    // desktop hands it back or a click on the window takes it.
    void ownMessageBoxKeepsTheOutline() {
        for (int i = 0; i < 500; ++i) // full: every further click brings the message
            click({i % 300 + 5, i / 300 * 10 + 5});
        platform::setWarningSinkForTesting({});
        clickThroughBox({5, 5});
        activate(form.get()); // as a window manager gives it back
        clickThroughBox({5, 5});
        clickThroughBox({5, 5}); // on the window the box left inactive
        activate(form.get());    // that click's activation, reported after it
        QCOMPARE(pointCount(), int16_t(500));
        activate(m_other); // another window's activation still empties it
        activate(form.get());
        QCOMPARE(pointCount(), int16_t(0));
    }

    // After generated code the next mouse-down resets first; the code window stays open with its
    // declarations, the preview and the panels are hidden, the point table keeps its values.
    void mouseDownAfterGeneratedCodeStartsOver() {
        ParFrm(1)->show(); // so that activations leave the outline alone
        clickAll({{10, 10}, {60, 10}, {60, 60}});
        action("Program")->setEnabled(true); // as after a generator
        action("Program")->trigger();
        OutForm *code = open<OutForm>();
        QVERIFY(QTest::qWaitForWindowExposed(code));
        code->setDeclareText(QStringLiteral("Dim hRgn As Long\r\n"));
        open<CutForm>()->show();
        activate(form.get());
        click({30, 40});
        QVERIFY(!action("Program")->isEnabled() && !action("MakeBut")->isEnabled());
        QCOMPARE(code->saveFormatText(), QStringLiteral("XY(0).X=30: XY(0).Y=40\r\n"));
        QCOMPARE(code->declareText(), QStringLiteral("Dim hRgn As Long\r\n"));
        QVERIFY(open<OutForm>() == code && code->isVisible());
        QVERIFY(!open<CutForm>()->isVisible() && ParFrm(1)->isHidden());
        QCOMPARE(form->outline().XY[2].X, 60);
        QVERIFY(!blackAt({35, 10}) && !blackAt({45, 50}) && blackAt({30, 40}));
    }

    // Closing the code window ends the outline; a use before the closed window is gone already
    // makes a fresh one, with the initial texts, unchecked and not on top.
    void closedCodeWindowComesBackFresh() {
        clickAll({{10, 10}, {60, 10}, {60, 60}});
        form->Program_Click();
        QPointer<OutForm> closed = open<OutForm>();
        closed->findChild<QCheckBox *>(QStringLiteral("OnTop"))->click();
        QVERIFY(platform::isTopmost(closed) && closed->close());
        QVERIFY(!action("Program")->isEnabled() && !action("MakeBut")->isEnabled());
        QVERIFY(pointCount() == 0 && drawingIsBlank());
        click({20, 30});
        flushDeletes();
        QVERIFY(!closed);
        OutForm *fresh = open<OutForm>();
        QCOMPARE(fresh->saveFormatText(), QStringLiteral("XY(0).X=20: XY(0).Y=30\r\n"));
        QCOMPARE(fresh->declareText(),
                 QStringLiteral("Private Type Coordinates\r\n   X As Long\r\n   Y As Long\r\n"
                                "End Type\r\nDim XY(500) As Coordinates\r\n\r\n"
                                "Private Declare Function SetWindowRgn Lib \"user32\" \r\n"
                                "(ByVal hWnd As Long, ByVal hRgn As Long, ByVal \r\n"
                                "bRedraw As Long) As Long\r\n"
                                "Private Declare Function CreatePolygonRgn Lib \"gdi32\" \r\n"
                                "(lpPoint As Coordinates, ByVal nCount As Long, ByVal \r\n"
                                "nPolyFillMode As Long) As Long\r\n"));
        QVERIFY(!fresh->findChild<QCheckBox *>()->isChecked() && !fresh->isVisible() &&
                !platform::isTopmost(fresh));
    }

    void codeWindowBoxes() {
        clickAll({{100, 50}, {200, 50}, {150, 120}});
        form->Program_Click();
        OutForm &code = *open<OutForm>();
        activate(&code);
        auto *declareText = code.findChild<QPlainTextEdit *>(QStringLiteral("DeclareText"));
        auto *saveFormat = code.findChild<QPlainTextEdit *>(QStringLiteral("SaveFormat"));
        QCOMPARE(declareText->palette().color(QPalette::Base),
                 QApplication::palette("QMenu").color(QPalette::Window));
        for (QPlainTextEdit *box : {declareText, saveFormat}) {
            const QString shown = box->toPlainText();
            box->setFocus();
            QTest::keyClicks(box, QStringLiteral("ab"));
            QTest::keyClick(box, Qt::Key_Backspace);
            QTest::keyClick(box, Qt::Key_Return);
            QCOMPARE(box->toPlainText(), shown); // the user cannot type into the boxes
        }
        // A copy of part of the text gives that part as stored, CR LF included.
        QClipboard *clipboard = QGuiApplication::clipboard();
        QTextCursor selection = saveFormat->textCursor();
        selection.setPosition(20); // from "=50" of the first line to "XY(1)." of the second
        selection.setPosition(30, QTextCursor::KeepAnchor);
        saveFormat->setTextCursor(selection);
        saveFormat->copy();
        const QString part = kThreeLines.mid(20, 11);
        QCOMPARE(clipboard->text(), part);
        // A left click copies the whole text, whatever is selected; a right one nothing.
        QTest::mouseClick(saveFormat->viewport(), Qt::RightButton, Qt::NoModifier, {40, 20});
        QCOMPARE(clipboard->text(), part);
        QTest::mouseClick(saveFormat->viewport(), Qt::LeftButton, Qt::NoModifier, {40, 20});
        QCOMPARE(clipboard->text().toUtf8(), kThreeLines.toUtf8());
    }

    void onTopKeepsTheWindowAbove() {
        form->RestBut_Click(); // makes the code window, hidden
        OutForm &code = *open<OutForm>();
        auto *onTop = code.findChild<QCheckBox *>(QStringLiteral("OnTop"));
        onTop->setTristate(true); // grayed: nothing is called
        onTop->setCheckState(Qt::PartiallyChecked);
        code.OnTop_Click();
        QVERIFY(!code.isVisible() && !platform::isTopmost(&code));

        // Checked on a hidden window: shown above the others without taking the activation.
        onTop->setTristate(false);
        onTop->setChecked(true);
        code.OnTop_Click();
        QVERIFY(code.isVisible() && platform::isTopmost(&code) && form->isActiveWindow());
        QVERIFY(QTest::qWaitForWindowExposed(&code));
        const QRect frame = code.frameGeometry();
        for (bool checked : {false, true}) {
            QTest::mouseClick(onTop, Qt::LeftButton, Qt::NoModifier, {5, onTop->height() / 2});
            QCOMPARE(platform::isTopmost(&code), checked);
            QCOMPARE(code.frameGeometry(), frame);
        }
    }

    void closingTheMainWindowClosesTheOthers() {
        clickAll({{10, 10}, {60, 10}});
        form->Program_Click();
        QPointer<OutForm> code = open<OutForm>();
        QPointer<CutForm> preview = open<CutForm>();
        QVERIFY(code && preview && !preview->isVisible());
        // The preview follows every change of the main window's outer size.
        surface()->setFixedHeight(surface()->height() + 20);
        QTRY_COMPARE(preview->frameGeometry().size(), form->frameGeometry().size());
        QVERIFY(form->close());
        flushDeletes();
        QVERIFY(!code && !preview);
        QVERIFY(drawingIsBlank()); // the code window's close steps ran
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
