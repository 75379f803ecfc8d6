#include "app/MainForm.h"
#include "capture/TracingSurface.h"
#include "platform/ClassicFont.h"
#include "platform/MessageBox.h"
#include "platform/Screen.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace {

const QString kPanelCaption = QStringLiteral("Параметры");
const QString kCreateCaption = QStringLiteral("Создать");

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
constexpr int kEllipseBoxLeftTwips = 1350;
constexpr platform::TwipsRect kEllipsePanelTwips{0, 0, 2445, 2295};
constexpr platform::TwipsRect kCircleOkButTwips{120, 1800, 2205, kButtonHeightTwips};
constexpr PanelRow kEllipseRows[] = {
    {0, "Отступ сверху", 1080, 195, 0, "100", 360},
    {1, "Отступ слева", 1020, 195, 1, "100", 720},
    {2, "Высота", 615, 255, 2, "5000", 1080},
    {3, "Ширина", 645, 255, 3, "5000", 1440},
};

// The rounded-rectangle panel: its labels were numbered from the bottom row up.
constexpr int kRoundRectBoxLeftTwips = 2580;
constexpr platform::TwipsRect kRoundRectPanelTwips{0, 0, 3675, 3015};
constexpr platform::TwipsRect kRectOkButTwips{120, 2520, 3435, kButtonHeightTwips};
constexpr PanelRow kRoundRectRows[] = {
    {7, "Отступ сверху", 1080, 195, 4, "100", 360},
    {6, "Отступ слева", 1020, 195, 5, "100", 720},
    {5, "Высота", 615, 255, 6, "5000", 1080},
    {4, "Ширина", 735, 255, 7, "5000", 1440},
    {9, "Точка закругления по высоте", 2280, 195, 8, "100", 1800},
    {8, "Точка закругления по ширине", 2295, 195, 9, "100", 2160},
};

// A captioned frame as a classic group box: a child window with its own background, so that the
// outline traced on the surface under it does not show through; an etched line around it, whose
// top runs through the middle of the caption; and the caption on that line, inset from the left
// edge, with the line broken behind it.
//
// The panels lie on the tracing surface, and Qt hands a mouse event that a widget ignores on to its
// parent: a press on the frame or on one of its labels must end at the frame instead of adding a
// vertex underneath.
class ParameterFrame : public QFrame {
public:
    ParameterFrame(const QString &caption, QWidget *parent)
        : QFrame(parent)
        , m_caption(caption) {
        setAttribute(Qt::WA_NoMousePropagation);
        setAutoFillBackground(true); // the window colour
        setAccessibleName(caption);
    }

protected:
    void paintEvent(QPaintEvent *) override {
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

        const QRect caption(kCaptionLeftPx, 0, metrics.horizontalAdvance(m_caption),
                            metrics.height());
        painter.fillRect(caption.adjusted(-kCaptionGapPx, 0, kCaptionGapPx, 0),
                         palette().color(QPalette::Window));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_caption);
    }

private:
    QString m_caption;
};

} // namespace

void MainForm::createParameterPanels() {
    auto makeRows = [this](QFrame *frame, const auto &rows, int boxLeftTwips) {
        for (const PanelRow &row : rows) {
            auto *label = new QLabel(QString::fromUtf8(row.caption), frame);
            label->setObjectName(QStringLiteral("Label1(%1)").arg(row.labelIndex));
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            // The tabled widths fit the captions in the classic 8-point font; where the desktop's
            // font is wider the label grows rather than cutting its caption off.
            QRect geometry = platform::twipsToPixels(
                {kLabelLeftTwips, row.topTwips, row.labelWidthTwips, row.labelHeightTwips});
            geometry.setWidth(std::max(geometry.width(), label->sizeHint().width()));
            label->setGeometry(geometry);
            Label1[row.labelIndex] = label;

            auto *box = new QLineEdit(QString::fromUtf8(row.defaultText), frame);
            box->setObjectName(QStringLiteral("SetPar(%1)").arg(row.boxIndex));
            box->setGeometry(platform::twipsToPixels(
                {boxLeftTwips, row.topTwips, kBoxWidthTwips, kBoxHeightTwips}));
            box->setAccessibleName(label->text());
            label->setBuddy(box);
            SetPar[row.boxIndex] = box;
        }
    };
    auto makeFrame = [this](int index, const platform::TwipsRect &twips) {
        auto *frame = new ParameterFrame(kPanelCaption, surface());
        frame->setObjectName(QStringLiteral("ParFrm(%1)").arg(index));
        frame->setGeometry(platform::twipsToPixels(twips));
        frame->setFont(platform::classicFont(8));
        ParFrm[index] = frame;
        return frame;
    };

    QFrame *ellipsePanel = makeFrame(0, kEllipsePanelTwips);
    makeRows(ellipsePanel, kEllipseRows, kEllipseBoxLeftTwips);
    CircleOkBut = new QPushButton(kCreateCaption, ellipsePanel);
    CircleOkBut->setObjectName(QStringLiteral("CircleOkBut"));
    CircleOkBut->setGeometry(platform::twipsToPixels(kCircleOkButTwips));
    connect(CircleOkBut, &QPushButton::clicked, this,
            [this] { platform::runHandler([this] { CircleOkBut_Click(); }); });

    QFrame *roundRectPanel = makeFrame(1, kRoundRectPanelTwips);
    makeRows(roundRectPanel, kRoundRectRows, kRoundRectBoxLeftTwips);
    RectOkBut = new QPushButton(kCreateCaption, roundRectPanel);
    RectOkBut->setObjectName(QStringLiteral("RectOkBut"));
    RectOkBut->setGeometry(platform::twipsToPixels(kRectOkButTwips));
    connect(RectOkBut, &QPushButton::clicked, this,
            [this] { platform::runHandler([this] { RectOkBut_Click(); }); });

    // Enter presses a focused button, as on the platform; outside a dialog Qt leaves that to Space.
    CircleOkBut->setAutoDefault(true);
    RectOkBut->setAutoDefault(true);

    // The cursor runs down a panel's boxes and then to its button.
    QWidget *const tabOrder[] = {SetPar[0],   SetPar[1], SetPar[2], SetPar[3],
                                 CircleOkBut, SetPar[4], SetPar[5], SetPar[6],
                                 SetPar[7],   SetPar[8], SetPar[9], RectOkBut};
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    ParFrm[0]->hide();
    ParFrm[1]->hide();
}
