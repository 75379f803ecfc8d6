#include "windows/OutForm.h"

#include "platform/Clipboard.h"
#include "platform/MessageBox.h"
#include "platform/Numbers.h"
#include "platform/Screen.h"
#include "platform/Topmost.h"
#include "platform/WindowFrame.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>

namespace {

const QString kCopyTip =
    QStringLiteral(" Кликните мышкой на тексте для копирования в буфер обмена ");
const QString kOnTopTip = QStringLiteral(" Расположить данное окно поверх остальных ");

// Positions and sizes in twips, relative to the client area.
constexpr platform::TwipsRect kFrame1Twips{0, 0, 4695, 3495};
constexpr platform::TwipsRect kGeneralLabelTwips{120, 240, 600, 195};
constexpr platform::TwipsRect kDeclareTextTwips{120, 480, 4455, 975};
constexpr platform::TwipsRect kSubLabelTwips{120, 1560, 330, 195};
constexpr platform::TwipsRect kSaveFormatTwips{120, 1800, 4455, 1605};
constexpr platform::TwipsRect kOnTopTwips{120, 3720, 2175, 190};

// A box is named after its label, the way a screen reader announces it.
CodeBox *makeTextBox(QWidget *parent, const char *name, const QLabel *label,
                     const platform::TwipsRect &place) {
    auto *box = new CodeBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(label->text());
    box->setGeometry(platform::twipsToPixels(place));
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The program alone writes the texts; the user may click, select and move the caret.
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setToolTip(kCopyTip);
    return box;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &caption,
                  const platform::TwipsRect &place) {
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->move(platform::twipsToPixels(place).topLeft());
    label->adjustSize(); // sized to its caption
    return label;
}

// The check box value of the forms toolkit: 0 unchecked, 1 checked, 2 grayed.
int checkValue(const QCheckBox *box) {
    switch (box->checkState()) {
    case Qt::Unchecked:
        return 0;
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        break;
    }
    return 2;
}

// The twelve lines DeclareText starts with.
QString initialDeclarations() {
    return QStringLiteral("Private Type Coordinates\r\n"
                          "   X As Long\r\n"
                          "   Y As Long\r\n"
                          "End Type\r\n"
                          "Dim XY(500) As Coordinates\r\n"
                          "\r\n"
                          "Private Declare Function SetWindowRgn Lib \"user32\" \r\n"
                          "(ByVal hWnd As Long, ByVal hRgn As Long, ByVal \r\n"
                          "bRedraw As Long) As Long\r\n"
                          "Private Declare Function CreatePolygonRgn Lib \"gdi32\" \r\n"
                          "(lpPoint As Coordinates, ByVal nCount As Long, ByVal \r\n"
                          "nPolyFillMode As Long) As Long\r\n");
}

} // namespace

OutForm::OutForm(const QWidget *owner)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_owner(owner) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Программный код"));
    setFixedSize(platform::twipsToPixelsX(kClientWidthTwips),
                 platform::twipsToPixelsY(kClientHeightTwips));

    auto *frame1 = new QFrame(this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    frame1->setFrameShape(QFrame::Box);
    frame1->setFrameShadow(QFrame::Sunken);
    frame1->setGeometry(platform::twipsToPixels(kFrame1Twips));

    const QLabel *general =
        makeLabel(frame1, "Label1(0)", QStringLiteral("General:"), kGeneralLabelTwips);
    DeclareText = makeTextBox(frame1, "DeclareText", general, kDeclareTextTwips);
    QPalette menuColoured = DeclareText->palette();
    menuColoured.setColor(QPalette::Base, QApplication::palette("QMenu").color(QPalette::Window));
    DeclareText->setPalette(menuColoured);
    const QLabel *sub = makeLabel(frame1, "Label1(1)", QStringLiteral("Sub:"), kSubLabelTwips);
    SaveFormat = makeTextBox(frame1, "SaveFormat", sub, kSaveFormatTwips);

    OnTop = new QCheckBox(QStringLiteral("Окно поверх остальных"), this);
    OnTop->setObjectName(QStringLiteral("OnTop"));
    OnTop->setToolTip(kOnTopTip);
    // The caption must stay readable where the platform's check box is larger than the layout's.
    const QRect onTopPlace = platform::twipsToPixels(kOnTopTwips);
    OnTop->setGeometry(
        QRect(onTopPlace.topLeft(), onTopPlace.size().expandedTo(OnTop->sizeHint())));

    setTabOrder(DeclareText, SaveFormat);
    setTabOrder(SaveFormat, OnTop);

    DeclareText->viewport()->installEventFilter(this);
    SaveFormat->viewport()->installEventFilter(this);
    connect(OnTop, &QCheckBox::clicked, this,
            [this] { platform::runHandler([this] { OnTop_Click(); }); });

    setDeclareText(initialDeclarations());
}

QString OutForm::declareText() const {
    return DeclareText->exactText();
}

void OutForm::setDeclareText(const QString &text) {
    DeclareText->setExactText(text);
}

QString OutForm::saveFormatText() const {
    return SaveFormat->exactText();
}

void OutForm::setSaveFormatText(const QString &text) {
    SaveFormat->setExactText(text);
    m_appendedFrom = text.size();
}

void OutForm::appendSaveFormatText(const QString &line) {
    // A traced outline writes hundreds of lines, one per event: add only the new one to the view.
    SaveFormat->appendExactText(line);
}

void OutForm::removeAppendedSaveFormatLines() {
    const QString text = saveFormatText();
    if (m_appendedFrom < text.size())
        setSaveFormatText(text.left(m_appendedFrom));
}

void OutForm::DeclareText_Click() {
    platform::putClipboardText(declareText());
}

void OutForm::SaveFormat_Click() {
    platform::putClipboardText(saveFormatText());
}

void OutForm::OnTop_Click() {
    int insertAfter = 0;
    switch (checkValue(OnTop)) {
    case 1:
        insertAfter = platform::HWND_TOPMOST;
        break;
    case 0:
        insertAfter = platform::HWND_NOTOPMOST;
        break;
    default:
        return;
    }
    const float twipsX = platform::twipsPerPixelX();
    const float twipsY = platform::twipsPerPixelY();
    // Left, Top, Width and Height as the forms toolkit gives them: the outer frame in twips.
    const QRect frame = frameGeometry();
    const float left = float(frame.x()) * twipsX;
    const float top = float(frame.y()) * twipsY;
    const float width = float(frame.width()) * twipsX;
    const float height = float(frame.height()) * twipsY;
    // Long arguments, converted as the runtime converts: halves to even.
    const auto pixels = [](float twips, float twipsPerPixel) {
        return platform::toInt32(platform::pixelsFromTwips(twips, twipsPerPixel));
    };
    platform::SetWindowPos(this, insertAfter, pixels(left, twipsX), pixels(top, twipsY),
                           pixels(width, twipsX), pixels(height, twipsY),
                           platform::SWP_SHOWWINDOW | platform::SWP_NOACTIVATE);
}

void OutForm::Form_QueryUnload() {
    setSaveFormatText(QString());
    emit unloading();
}

void OutForm::closeEvent(QCloseEvent *event) {
    platform::runHandler([this] { Form_QueryUnload(); });
    event->accept();
}

bool OutForm::eventFilter(QObject *watched, QEvent *event) {
    // A click is the left button's; the right one opens the box's menu, the middle one nothing.
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == DeclareText->viewport())
            platform::runHandler([this] { DeclareText_Click(); });
        else if (watched == SaveFormat->viewport())
            platform::runHandler([this] { SaveFormat_Click(); });
    }
    return QWidget::eventFilter(watched, event); // the box still places its caret
}

void OutForm::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    platform::askFrameExtents(this);
    if (m_owner) {
        QRect outer = platform::outerGeometry(this);
        outer.moveCenter(platform::outerGeometry(m_owner).center());
        platform::moveOuterTo(this, outer.topLeft());
    }
}
