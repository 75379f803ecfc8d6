#include "about/Form2.h"

#include "about/Module.h"
#include "platform/AccessibleWindows.h"
#include "platform/ClassicFont.h"
#include "platform/MessageBox.h"
#include "platform/Screen.h"
#include "platform/TaskBar.h"
#include "platform/Version.h"

#include "BuildInfo.h"

#include <QApplication>
#include <QBitmap>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <iterator>

namespace {

// Label4 and Label6 are elements of control arrays; their click handlers get the index.
constexpr int kLabel4Index = 0;
constexpr int kLabel6Index = 1;

const QString kIconResource = QStringLiteral(":/icons/zarnik-32.png");
const QString kDescription =
    QStringLiteral("Программа для генерации кода окон нестандартной формы для Visual Basic.");
const QString kMailPrefix = QStringLiteral("e-mail: ");
const QString kFreeware = QStringLiteral("FREEWARE");
// Both tips begin and end with a blank.
const QString kWebToolTip = QStringLiteral(" Посетите сайт программы!!! ");
const QString kMailToolTip = QStringLiteral(" Пишите!!! ");

constexpr qreal kFontPointSize = 8.25;

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kDarkBlue(0, 0, 128);
const QColor kDarkRed(128, 0, 0);
const QColor kLinkBlue(0, 0, 192);
const QColor kLightGrey(224, 224, 224);

// The window draws its own fixed dialog frame, as it has no title bar for the desktop to frame: the
// classic raised edge, outside in, in the "Windows Standard" colours.
struct EdgeLine {
    QColor topLeft, bottomRight;
};
const EdgeLine kDialogEdge[] = {
    {QColor(192, 192, 192), QColor(0, 0, 0)},       // light, dark shadow
    {QColor(255, 255, 255), QColor(128, 128, 128)}, // highlight, shadow
    {QColor(192, 192, 192), QColor(192, 192, 192)}, // face
};
constexpr int kDialogEdgePx = int(std::size(kDialogEdge));

// Control places in twips, relative to the client area.
constexpr platform::TwipsRect kImage1Twips{240, 150, 480, 480};
constexpr platform::TwipsRect kLabel1Twips{120, 405, 4695, 255};
constexpr platform::TwipsRect kLabel2Twips{225, 780, 4440, 390};
constexpr platform::TwipsRect kLabel3Twips{225, 1305, 4440, 465};
constexpr platform::TwipsRect kLabel7Twips{1380, 1830, 2175, 195};
constexpr platform::TwipsRect kLabel5Twips{1590, 2070, 1755, 195};
constexpr platform::TwipsRect kLabel6Twips{1515, 2430, 1890, 195};
constexpr platform::TwipsRect kLabel4Twips{1980, 2820, 930, 195};

// The separator lines run from x1 to x2 at one height, in twips.
constexpr int kLineLeftTwips = 240;
constexpr int kLineRightTwips = 4680;
constexpr int kLine10TopTwips = 690;
constexpr int kLine9TopTwips = 705;
constexpr int kLine2TopTwips = 2700;
constexpr int kLine1TopTwips = 2715;

// The link cursor, 32 x 32 monochrome: '#' black, '.' white, blank transparent. The hot spot is the
// tip of the finger.
constexpr int kCursorSizePixels = 32;
constexpr int kCursorHotX = 7;
constexpr int kCursorHotY = 0;
// clang-format off
constexpr const char *kHandRows[] = {
    "       ##",
    "      #..#",
    "      #..#",
    "      #..#",
    "      #..#",
    "      #..###",
    "      #..#..###",
    "      #..#..#..##",
    "      #..#..#..#.#",
    "   ## #..#..#..#..#",
    "  #..##..#..#..#..#",
    "  #...#...........#",
    "   #..............#",
    "    #.............#",
    "    #.............#",
    "     #...........#",
    "     #...........#",
    "      #.........#",
    "      #.........#",
    "      ###########",
};
// clang-format on

// A place in twips in the client area, in pixels of the window: the controls sit inside the edge.
QRect clientPlace(const platform::TwipsRect &twips) {
    return platform::twipsToPixels(twips).translated(kDialogEdgePx, kDialogEdgePx);
}

void paintDialogEdge(QPainter &painter, QRect line) {
    for (const EdgeLine &colours : kDialogEdge) {
        painter.fillRect(QRect(line.left(), line.top(), line.width(), 1), colours.topLeft);
        painter.fillRect(QRect(line.left(), line.top(), 1, line.height()), colours.topLeft);
        painter.fillRect(QRect(line.left(), line.bottom(), line.width(), 1), colours.bottomRight);
        painter.fillRect(QRect(line.right(), line.top(), 1, line.height()), colours.bottomRight);
        line.adjust(1, 1, -1, -1);
    }
}

QCursor handCursor() {
    QImage black(kCursorSizePixels, kCursorSizePixels, QImage::Format_Mono);
    QImage opaque(kCursorSizePixels, kCursorSizePixels, QImage::Format_Mono);
    // In a bitmap a set bit is colour1, which is black.
    const QList<QRgb> table = {qRgb(255, 255, 255), qRgb(0, 0, 0)};
    black.setColorTable(table);
    opaque.setColorTable(table);
    black.fill(0);
    opaque.fill(0);
    int y = 0;
    for (const char *row : kHandRows) {
        for (int x = 0; row[x] != '\0'; ++x) {
            black.setPixel(x, y, row[x] == '#' ? 1 : 0);
            opaque.setPixel(x, y, row[x] == ' ' ? 0 : 1);
        }
        ++y;
    }
    return QCursor(QBitmap::fromImage(black), QBitmap::fromImage(opaque), kCursorHotX, kCursorHotY);
}

QString webAddress() {
    return QString::fromUtf8(ZARNIK_WEB_ADDRESS);
}

QString mailAddress() {
    return QString::fromUtf8(ZARNIK_MAIL_ADDRESS);
}

QString versionText(int major, int minor, int revision) {
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(revision);
}

// "Zarnik v" + major + "." + minor + "." + revision.
QString titleFor(int major, int minor, int revision) {
    return QStringLiteral("Zarnik v") + versionText(major, minor, revision);
}

// "mailto:" + address + "?Subject=Zarnik v" + major + "." + minor + "." + revision.
QString mailLinkFor(const QString &address, int major, int minor, int revision) {
    return QStringLiteral("mailto:") + address + QStringLiteral("?Subject=Zarnik v") +
           versionText(major, minor, revision);
}

} // namespace

// The resources live in the core library; naming them makes the linker keep them.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

Form2::Form2() {
    initResources();
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString());
    setFixedSize(platform::twipsToPixelsX(kClientWidthTwips) + 2 * kDialogEdgePx,
                 platform::twipsToPixelsY(kClientHeightTwips) + 2 * kDialogEdgePx);

    QPalette background = palette();
    background.setColor(QPalette::Window, kWhite);
    setPalette(background);
    setAutoFillBackground(true);

    setFont(platform::classicFont(kFontPointSize));

    createControls();
    // A tool window would stay out of the task bar too, but it would no longer keep the program
    // running once the main window has closed.
    platform::setShownInTaskBar(this, false);
}

void Form2::createControls() {
    const QCursor linkCursor = handCursor();
    const QColor buttonShadow = QApplication::palette().color(QPalette::Active, QPalette::Dark);

    auto makeLabel = [this](const char *name, const platform::TwipsRect &place,
                            const QColor &colour, Qt::Alignment alignment) {
        auto *label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::NoTextInteraction);
        label->setAlignment(alignment | Qt::AlignTop);
        label->setGeometry(clientPlace(place));
        QPalette text = label->palette();
        text.setColor(QPalette::WindowText, colour);
        label->setPalette(text);
        label->installEventFilter(this);
        return label;
    };
    auto setCaption = [](QLabel *label, const QString &caption) {
        label->setText(caption);
        label->setAccessibleName(caption);
    };
    auto sizeToText = [](QLabel *label) { label->resize(label->sizeHint()); };
    auto makeLine = [this](const char *name, int topTwips, const QColor &colour) {
        auto *line = new QFrame(this);
        line->setObjectName(QLatin1String(name));
        QRect place = clientPlace({kLineLeftTwips, topTwips, kLineRightTwips - kLineLeftTwips, 0});
        place.setHeight(1);
        line->setGeometry(place);
        QPalette fill = line->palette();
        fill.setColor(QPalette::Window, colour);
        line->setPalette(fill);
        line->setAutoFillBackground(true);
        line->setAttribute(Qt::WA_TransparentForMouseEvents); // a click there is on the window
    };

    Image1 = makeLabel("Image1", kImage1Twips, kBlack, Qt::AlignLeft);
    Image1->setPixmap(QPixmap(kIconResource));
    Image1->setAccessibleName(QStringLiteral("Zarnik"));

    Label1 = makeLabel("Label1", kLabel1Twips, kDarkBlue, Qt::AlignHCenter);
    QFont bold = font();
    bold.setBold(true);
    Label1->setFont(bold);

    // The etched separators: a shadow line with a light line under it.
    makeLine("Line10", kLine10TopTwips, buttonShadow);
    makeLine("Line9", kLine9TopTwips, kLightGrey);

    Label2 = makeLabel("Label2", kLabel2Twips, kBlack, Qt::AlignHCenter);
    Label2->setWordWrap(true);
    setCaption(Label2, kDescription);

    Label3 = makeLabel("Label3", kLabel3Twips, kDarkRed, Qt::AlignHCenter);
    Label3->setWordWrap(true);
    setCaption(Label3, QString::fromUtf8(ZARNIK_RIGHTS_LINE));

    QFont underlined = font();
    underlined.setUnderline(true);

    Label7 = makeLabel("Label7", kLabel7Twips, kLinkBlue, Qt::AlignLeft);
    Label7->setFont(underlined);
    Label7->setCursor(linkCursor);
    Label7->setToolTip(kWebToolTip);
    setCaption(Label7, webAddress());
    sizeToText(Label7);

    Label5 = makeLabel("Label5", kLabel5Twips, kLinkBlue, Qt::AlignLeft);
    Label5->setFont(underlined);
    Label5->setCursor(linkCursor);
    Label5->setToolTip(kMailToolTip);
    setCaption(Label5, kMailPrefix + mailAddress());
    sizeToText(Label5);

    Label6 = makeLabel("Label6", kLabel6Twips, kDarkRed, Qt::AlignLeft);
    setCaption(Label6, QString::fromUtf8(ZARNIK_MAKER_LINE));
    sizeToText(Label6);

    // The layout's left edges for the links and the maker's line were made for texts of other
    // lengths; at those edges this program's texts sit staggered. Each is centred on the window
    // instead and keeps its top.
    for (QLabel *line : {Label7, Label5, Label6})
        line->move((width() - line->width()) / 2, line->y());

    makeLine("Line2", kLine2TopTwips, buttonShadow);
    makeLine("Line1", kLine1TopTwips, kLightGrey);

    Label4 = makeLabel("Label4", kLabel4Twips, kBlack, Qt::AlignLeft);
    setCaption(Label4, kFreeware);
    sizeToText(Label4);
}

void Form2::Form_Load() {
    const platform::AppVersion version = platform::applicationVersion();
    const QString title = titleFor(version.major, version.minor, version.revision);
    Label1->setText(title);
    Label1->setAccessibleName(title);
    platform::describeAsDialog(this, title); // a screen reader names the window by its title line
}

void Form2::Form_Click() {
    unload();
}

void Form2::Image1_Click() {
    unload();
}

void Form2::Label1_Click() {
    unload();
}

void Form2::Label2_Click() {
    unload();
}

void Form2::Label3_Click() {
    unload();
}

void Form2::Label4_Click(int Index) {
    Q_UNUSED(Index);
    unload();
}

void Form2::Label5_Click() {
    // Built anew at each click from the version as it is now.
    const platform::AppVersion version = platform::applicationVersion();
    OpenLink(mailLinkFor(mailAddress(), version.major, version.minor, version.revision));
    unload();
}

void Form2::Label6_Click(int Index) {
    Q_UNUSED(Index);
    unload();
}

void Form2::Label7_Click() {
    OpenLink(webAddress());
    unload();
}

void Form2::unload() {
    close(); // deleted once control is back in the event loop
}

void Form2::clickOn(QObject *control) {
    platform::runHandler([this, control] {
        if (control == this)
            Form_Click();
        else if (control == Image1)
            Image1_Click();
        else if (control == Label1)
            Label1_Click();
        else if (control == Label2)
            Label2_Click();
        else if (control == Label3)
            Label3_Click();
        else if (control == Label4)
            Label4_Click(kLabel4Index);
        else if (control == Label5)
            Label5_Click();
        else if (control == Label6)
            Label6_Click(kLabel6Index);
        else if (control == Label7)
            Label7_Click();
    });
}

// A click is a press and a release of a mouse button on the same control.
bool Form2::eventFilter(QObject *watched, QEvent *event) {
    auto *control = qobject_cast<QWidget *>(watched);
    if (!control || control->parentWidget() != this)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_pressedControl = control;
        return true;
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const bool click =
            m_pressedControl == control && control->rect().contains(mouse->position().toPoint());
        m_pressedControl = nullptr;
        if (click)
            clickOn(control);
        return true;
    }
    case QEvent::MouseButtonDblClick:
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

QRect Form2::clientArea() const {
    return rect().adjusted(kDialogEdgePx, kDialogEdgePx, -kDialogEdgePx, -kDialogEdgePx);
}

void Form2::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    paintDialogEdge(painter, rect());
}

// The edge is the frame, not the window's client area: a click there is no click on the window.
void Form2::mousePressEvent(QMouseEvent *event) {
    m_pressedControl = clientArea().contains(event->position().toPoint()) ? this : nullptr;
    event->accept();
}

void Form2::mouseReleaseEvent(QMouseEvent *event) {
    const bool click =
        m_pressedControl == this && clientArea().contains(event->position().toPoint());
    m_pressedControl = nullptr;
    event->accept();
    if (click)
        clickOn(this);
}

void Form2::closeEvent(QCloseEvent *event) {
    emit unloading(); // the next about command loads a fresh window
    event->accept();
}
