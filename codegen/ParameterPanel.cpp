#include "codegen/ParameterPanel.h"

#include "platform/ClassicFont.h"
#include "platform/Screen.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <span>

namespace {

const QString kCaption = QStringLiteral("Параметры");

// One row of a panel: a label and the text box beside it, sharing the row's top edge.
struct PanelRow {
    int labelIndex;
    const char *caption;
    int labelWidthTwips;
    int labelHeightTwips;
    int boxIndex;
    const char *defaultText;
    int topTwips;
};

constexpr int kLabelLeftTwips = 120;
constexpr int kBoxWidthTwips = 975;
constexpr int kBoxHeightTwips = 285;
constexpr int kButtonHeightTwips = 375;

// The ellipse panel: the first row feeds the left edge, the second the top edge.
constexpr PanelRow kEllipseRows[] = {
    {0, "Отступ сверху", 1080, 195, 0, "100", 360},
    {1, "Отступ слева", 1020, 195, 1, "100", 720},
    {2, "Высота", 615, 255, 2, "5000", 1080},
    {3, "Ширина", 645, 255, 3, "5000", 1440},
};

// The rounded-rectangle panel: its labels were numbered from the bottom row up.
constexpr PanelRow kRoundRectRows[] = {
    {7, "Отступ сверху", 1080, 195, 4, "100", 360},
    {6, "Отступ слева", 1020, 195, 5, "100", 720},
    {5, "Высота", 615, 255, 6, "5000", 1080},
    {4, "Ширина", 735, 255, 7, "5000", 1440},
    {9, "Точка закругления по высоте", 2280, 195, 8, "100", 1800},
    {8, "Точка закругления по ширине", 2295, 195, 9, "100", 2160},
};

struct PanelLayout {
    std::span<const PanelRow> rows;
    int boxLeftTwips;
    platform::TwipsRect frameTwips;
    platform::TwipsRect buttonTwips;
    const char *buttonName;
};

const PanelLayout kLayouts[] = {
    {kEllipseRows, 1350, {0, 0, 2445, 2295}, {120, 1800, 2205, kButtonHeightTwips}, "CircleOkBut"},
    {kRoundRectRows, 2580, {0, 0, 3675, 3015}, {120, 2520, 3435, kButtonHeightTwips}, "RectOkBut"},
};

} // namespace

ParameterPanel::ParameterPanel(Shape shape, QWidget *parent)
    : QFrame(parent) {
    const PanelLayout &layout = kLayouts[shape];
    setObjectName(QStringLiteral("ParFrm(%1)").arg(int(shape)));
    setAttribute(Qt::WA_NoMousePropagation);
    setAutoFillBackground(true); // the window colour
    setAccessibleName(kCaption);
    setGeometry(platform::twipsToPixels(layout.frameTwips));
    setFont(platform::classicFont(8));

    // Made in the order the cursor runs: down the boxes, then to the button.
    for (const PanelRow &row : layout.rows) {
        auto *label = new QLabel(QString::fromUtf8(row.caption), this);
        label->setObjectName(QStringLiteral("Label1(%1)").arg(row.labelIndex));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // The tabled widths fit the captions in the classic 8-point font; where the desktop's font
        // is wider the label grows rather than cutting its caption off.
        QRect geometry = platform::twipsToPixels(
            {kLabelLeftTwips, row.topTwips, row.labelWidthTwips, row.labelHeightTwips});
        geometry.setWidth(std::max(geometry.width(), label->sizeHint().width()));
        label->setGeometry(geometry);

        auto *box = new QLineEdit(QString::fromUtf8(row.defaultText), this);
        box->setObjectName(QStringLiteral("SetPar(%1)").arg(row.boxIndex));
        box->setGeometry(platform::twipsToPixels(
            {layout.boxLeftTwips, row.topTwips, kBoxWidthTwips, kBoxHeightTwips}));
        box->setAccessibleName(label->text());
        label->setBuddy(box);
        m_boxes.push_back(box);
    }
    auto *button = new QPushButton(QStringLiteral("Создать"), this);
    button->setObjectName(QLatin1String(layout.buttonName));
    button->setGeometry(platform::twipsToPixels(layout.buttonTwips));
    // Enter presses a focused button, as on the platform; outside a dialog Qt leaves that to Space.
    button->setAutoDefault(true);
    connect(button, &QPushButton::clicked, this, &ParameterPanel::createClicked);
    hide();
}

QString ParameterPanel::boxText(int row) const {
    return m_boxes.at(std::size_t(row))->text();
}

// The etched line's top runs through the middle of the caption, which stands on it inset from the
// left edge, with the line broken behind it.
void ParameterPanel::paintEvent(QPaintEvent *) {
    static constexpr int kCaptionLeftPx = 7;
    static constexpr int kCaptionGapPx = 1; // line left out on each side of the caption

    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int lineTop = std::max(0, metrics.height() / 2 - 1);
    // Etched: a shadow line with a light one just inside it along the top and left, and just
    // outside it along the bottom and right.
    const QRect shadow(0, lineTop, width() - 1, height() - lineTop - 1);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(shadow.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(shadow.translated(1, 1).adjusted(0, 0, -1, -1));

    const QRect caption(kCaptionLeftPx, 0, metrics.horizontalAdvance(kCaption), metrics.height());
    painter.fillRect(caption.adjusted(-kCaptionGapPx, 0, kCaptionGapPx, 0),
                     palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, kCaption);
}
