#include "FormsFixture.h"
#include "codegen/ShapeCode.h"
#include "platform/MessageBox.h"
#include "platform/Regions.h"
#include "platform/RuntimeError.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const QString kEllipseDeclarations =
    QStringLiteral("Private Declare Function CreateEllipticRgn Lib _\r\n"
                   "\"gdi32\" (ByVal X1 As Long, ByVal Y1 As Long, _\r\n"
                   "ByVal X2 As Long, ByVal Y2 As Long) As Long\r\n");

const QString kRoundRectDeclarations = QStringLiteral(
    "Private Declare Function CreateRoundRectRgn _\r\n"
    "Lib\"gdi32\"(ByVal X1 As Long, ByVal Y1 As Long, _\r\n"
    "ByVal X2 As Long, ByVal Y2 As Long, ByVal X3 As Long, ByVal Y3 As Long) As Long\r\n"
    "\r\n");

// The procedures, with the numbers in the order they are written.
QString ellipseProcedure(const QStringList &n) {
    return QStringLiteral("Dim MakeCircle As String\r\n"
                          "\r\n"
                          "MakeCircle = CreateEllipticRgn(%1/ Screen.TwipsPerPixelX, _\r\n"
                          "%2/ Screen.TwipsPerPixelY, _\r\n"
                          "%3/ Screen.TwipsPerPixelX, _\r\n"
                          "%4/ Screen.TwipsPerPixelY)\r\n"
                          "Call SetWindowRgn(Me.hWnd, MakeCircle, True)\r\n")
        .arg(n[0], n[1], n[2], n[3]);
}

QString roundRectProcedure(const QStringList &n) {
    return QStringLiteral("Dim MakeRegion As Long\r\n"
                          "MakeRegion = CreateRoundRectRgn(%1 / Screen.TwipsPerPixelX, _\r\n"
                          "%2 / Screen.TwipsPerPixelY, _\r\n"
                          "%3 / Screen.TwipsPerPixelX, _\r\n"
                          "%4/ Screen.TwipsPerPixelY, _\r\n"
                          "%5,%6)\r\n"
                          "\r\n"
                          "Call SetWindowRgn(Me.hWnd, MakeRegion, True)")
        .arg(n[0], n[1], n[2], n[3], n[4], n[5]);
}

using Boxes = QMap<int, QString>;

} // namespace

class TestShapes : public QObject, FormsFixture {
    Q_OBJECT

    // Opens the panel and clicks its button.
    void generateShape(bool ellipse) {
        (ellipse ? form->MakeEllipse : form->RoundRect)->trigger();
        (ellipse ? form->CircleOkBut : form->RectOkBut)->click();
    }

private slots:
    void init() { recordWarnings(); }
    void cleanup() { tearDown(); }

    void generate_data() {
        QTest::addColumn<float>("twipsPerPixel");
        QTest::addColumn<bool>("ellipse");
        QTest::addColumn<Boxes>("typed");     // box index -> text, over the defaults
        QTest::addColumn<QString>("written"); // the numbers in the order written
        QTest::addColumn<QRegion>("region");
        using platform::CreateEllipticRgn;
        using platform::CreateRoundRectRgn;
        const QString e = "100 100 5000 5000", r = "100 100 5000 5000 100 100";
        QTest::newRow("ellipse at 15")
            << 15.0f << true << Boxes() << e << *CreateEllipticRgn(7, 7, 333, 333);
        QTest::newRow("rounded at 15")
            << 15.0f << false << Boxes() << r << *CreateRoundRectRgn(7, 7, 333, 333, 100, 100);
        // Each box in its place: P0 left, P1 top, P3 right, P2 bottom; Q5 left, Q4 top, Q7 right,
        // Q6 bottom, then Q9 and Q8. 1500 twips are 100 pixels.
        QTest::newRow("ellipse boxes")
            << 15.0f << true << Boxes{{0, "1500"}, {1, "3000"}, {2, "4500"}, {3, "6000"}}
            << "1500 3000 6000 4500" << *CreateEllipticRgn(100, 200, 400, 300);
        QTest::newRow("rounded boxes")
            << 15.0f << false
            << Boxes{{4, "3000"}, {5, "1500"}, {6, "4500"}, {7, "6000"}, {8, "150"}, {9, "300"}}
            << "1500 3000 6000 4500 300 150" << *CreateRoundRectRgn(100, 200, 400, 300, 300, 150);
        // 2.5 reads as 2 and 3.5 as 4; 30 and 90 twips are 2.5 and 7.5 pixels.
        QTest::newRow("halves to even")
            << 12.0f << true << Boxes{{0, "30"}, {1, "90"}, {2, "2.5"}, {3, "3.5"}} << "30 90 4 2"
            << *CreateEllipticRgn(2, 8, 0, 0);
        QTest::newRow("-150") << 15.0f << true << Boxes{{0, "-150"}} << "-150 100 5000 5000"
                              << *CreateEllipticRgn(-10, 7, 333, 333);
        QTest::newRow("empty box") << 15.0f << true << Boxes{{3, ""}} << "100 100 0 5000"
                                   << *CreateEllipticRgn(7, 7, 0, 333);
        QTest::newRow("-20 corner width")
            << 15.0f << false << Boxes{{9, "-20"}} << "100 100 5000 5000 -20 100"
            << *CreateRoundRectRgn(7, 7, 333, 333, -20, 100);
    }

    void generate() {
        QFETCH(float, twipsPerPixel);
        QFETCH(bool, ellipse);
        QFETCH(Boxes, typed);
        QFETCH(QString, written);
        QFETCH(QRegion, region);
        makeForm(twipsPerPixel);
        QVERIFY(!form->Program->isEnabled());
        const QString initial = declareText();
        for (auto it = typed.cbegin(); it != typed.cend(); ++it)
            form->SetPar[it.key()]->setText(it.value());

        generateShape(ellipse);
        QCOMPARE(warnings, QStringList());
        QCOMPARE(declareText(),
                 (ellipse ? kEllipseDeclarations : kRoundRectDeclarations) + initial);
        const QStringList n = written.split(u' ');
        QCOMPARE(saveFormat(), ellipse ? ellipseProcedure(n) : roundRectProcedure(n));
        QVERIFY(form->Program->isEnabled());
        QVERIFY(form->ParFrm[0]->isHidden() && form->ParFrm[1]->isHidden());
        QVERIFY(CutForm::loaded() && CutForm::loaded()->isVisible());
        QCOMPARE(previewRegion(), std::optional<QRegion>(region));
        QVERIFY(!OutForm::loaded()->isVisible()); // the code window waits for "&Код"

        // The preview hidden by a reset comes back with the next click.
        form->RestBut->trigger();
        QVERIFY(!CutForm::loaded()->isVisible());
        generateShape(ellipse);
        QVERIFY(CutForm::loaded()->isVisible());
    }

    // "&H" texts take their width from the number of digits, leading zeros included; "&O" texts
    // from their value. Either is two's complement in its width.
    void readsHexAndOctalTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read"); // as written into the code, or "overflow": the message
        for (const char *row :
             {"&H7FFF 32767", "&HFFFF -1", "&H8000 -32768", "&hff 255", "&H0FFFF overflow",
              "&H10000 overflow", "&HFFFFFFFF -1", "&HFFFF8000 -32768", "&H000000001 overflow",
              "&H 0", "-&H10 0", "&O177777 -1", "&O100000 -32768", "&o17 15", "&O200000 overflow",
              "&O37777777777 -1", "&O37777700000 -32768", "&O40000000000 overflow",
              "&O000000000000000017 15"}) {
            const QStringList cells = QString::fromLatin1(row).split(u' ');
            QTest::newRow(row) << cells[0] << cells[1];
        }
    }

    void readsHexAndOctalTexts() {
        QFETCH(QString, text);
        QFETCH(QString, read);
        makeForm(15);
        form->SetPar[0]->setText(text);
        form->CircleOkBut->click();
        if (read == u"overflow") {
            QCOMPARE(warnings, QStringList{platform::runtimeErrorText(platform::ErrOverflow)});
        } else {
            QCOMPARE(warnings, QStringList());
            QCOMPARE(saveFormat().section(QStringLiteral("\r\n"), 2, 2),
                     "MakeCircle = CreateEllipticRgn(" + read + "/ Screen.TwipsPerPixelX, _");
        }
    }

    // The horizontal scale divides the left and right edges, the vertical one the top and bottom.
    void scalesApplyToTheirOwnAxis() {
        using A4 = std::array<int32_t, 4>;
        using A6 = std::array<int32_t, 6>;
        QCOMPARE(shapecode::ellipseRegionArguments({120, 120, 120, 120}, 12, 15),
                 (A4{10, 8, 10, 8}));
        QCOMPARE(shapecode::roundRectRegionArguments({120, 120, 120, 120, 120, 120}, 12, 15),
                 (A6{10, 8, 10, 8, 120, 120}));
    }

    void overflowStopsAtTheBox_data() {
        QTest::addColumn<bool>("ellipse");
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("text");
        QTest::newRow("ellipse 40000") << true << 2 << QStringLiteral("40000");
        QTest::newRow("rounded 1e5") << false << 7 << QStringLiteral("1e5");
    }

    // A good click first, then the bad one: the earlier boxes' slots take the new values, and the
    // code window, the preview and the later slots keep what the good click left.
    void overflowStopsAtTheBox() {
        QFETCH(bool, ellipse);
        QFETCH(int, box);
        QFETCH(QString, text);
        makeForm(15);
        const int first = ellipse ? 0 : 4;
        generateShape(ellipse);
        const QString declarationsBefore = declareText();
        const QString procedureBefore = saveFormat();
        const std::optional<QRegion> regionBefore = previewRegion();
        QVERIFY(regionBefore);

        form->Program->setEnabled(false);
        for (int i = first; i < box; ++i)
            form->SetPar[i]->setText(QString::number(1000 + i));
        form->SetPar[box]->setText(text);
        generateShape(ellipse);

        QCOMPARE(warnings, QStringList{platform::runtimeErrorText(platform::ErrOverflow)});
        QVERIFY(form->Program->isEnabled());
        QVERIFY(form->ParFrm[ellipse ? 0 : 1]->isHidden());
        for (int i = first; i < box; ++i)
            QCOMPARE(form->shapeParameters[i - first], int16_t(1000 + i));
        QCOMPARE(form->shapeParameters[box - first], int16_t(5000)); // from the good click
        QCOMPARE(declareText(), declarationsBefore);
        QCOMPARE(saveFormat(), procedureBefore);
        QCOMPARE(previewRegion(), regionBefore);
        QCOMPARE(form->SetPar[box]->text(), text);
    }

    void declarationsStackAndProcedureIsReplaced() {
        makeForm(15);
        const QString initial = declareText();
        form->CircleOkBut->click();
        form->SetPar[0]->setText(QStringLiteral("1500"));
        form->CircleOkBut->click();
        QCOMPARE(declareText(), kEllipseDeclarations + kEllipseDeclarations + initial);
        QCOMPARE(saveFormat(), ellipseProcedure({"1500", "100", "5000", "5000"}));
        form->RectOkBut->click();
        QCOMPARE(declareText(),
                 kRoundRectDeclarations + kEllipseDeclarations + kEllipseDeclarations + initial);
        QCOMPARE(saveFormat(), roundRectProcedure({"100", "100", "5000", "5000", "100", "100"}));
    }

    // Which panel is shown is compared with the menu rules after every event in
    // tst_random_events; here the boxes keep what the user left in them.
    void panelTextsOutliveTheReset() {
        makeForm(15);
        form->MakeEllipse->trigger();
        form->SetPar[1]->clear();
        QTest::keyClicks(form->SetPar[1], QStringLiteral("250"));
        form->SetPar[2]->clear();
        form->RoundRect->trigger();
        form->SetPar[8]->setText(QStringLiteral("abc"));
        form->RestBut->trigger();

        form->MakeEllipse->trigger();
        QCOMPARE(form->SetPar[1]->text(), QStringLiteral("250"));
        QCOMPARE(form->SetPar[2]->text(), QString());
        QCOMPARE(form->SetPar[8]->text(), QStringLiteral("abc"));
        form->CircleOkBut->click();
        QCOMPARE(form->shapeParameters[1], int16_t(250));
    }

    void tabRunsDownTheBoxesToTheButton() {
        makeForm(15);
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        auto walk = [this](QAction *open, const QList<QWidget *> &expected) {
            open->trigger();
            expected.first()->setFocus(Qt::TabFocusReason);
            QTRY_COMPARE(QApplication::focusWidget(), expected.first());
            for (qsizetype i = 1; i < expected.size(); ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), expected[i]);
            }
            QTest::keyClick(expected.last(), Qt::Key_Return); // presses the button
            QVERIFY(!expected.last()->isVisible());
        };
        walk(form->MakeEllipse, {form->SetPar[0], form->SetPar[1], form->SetPar[2], form->SetPar[3],
                                 form->CircleOkBut});
        walk(form->RoundRect, {form->SetPar[4], form->SetPar[5], form->SetPar[6], form->SetPar[7],
                               form->SetPar[8], form->SetPar[9], form->RectOkBut});
    }

    // Presses go through the window, as the platform delivers them, to whatever lies under the
    // cursor.
    void pressesOnAPanelStayOffTheSurface() {
        makeForm(15);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        auto press = [this](QWidget *widget, QPoint local, Qt::MouseButton button) {
            const QPoint pos = widget->mapTo(form.get(), local);
            QTest::mousePress(form->windowHandle(), button, {}, pos);
            QTest::mouseRelease(form->windowHandle(), button, {}, pos + QPoint(3, 3));
        };
        const QString before = saveFormat();
        for (QAction *open : {form->MakeEllipse, form->RoundRect}) {
            open->trigger();
            QFrame *frame = form->ParFrm[open == form->MakeEllipse ? 0 : 1];
            for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) {
                press(frame, QPoint(frame->width() - 3, frame->height() - 3), b); // bare frame
                press(frame->findChild<QLabel *>(), QPoint(2, 2), b);
            }
            QVERIFY(frame->isVisible());
            QCOMPARE(form->outline.PointCount, int16_t(0));
            QCOMPARE(saveFormat(), before);
        }
        // The same press beside the panel does reach the surface.
        press(form->surface(), form->ParFrm[1]->geometry().topRight() + QPoint(20, 20),
              Qt::LeftButton);
        QCOMPARE(form->outline.PointCount, int16_t(1));
    }
};

QTEST_MAIN(TestShapes)
#include "tst_shapes.moc"
