#include "app/MainForm.h"

#include "about/Form2.h"
#include "app/MenuBar.h"
#include "capture/TracingSurface.h"
#include "codegen/ParameterPanel.h"
#include "codegen/PolygonCode.h"
#include "codegen/ShapeCode.h"
#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "platform/Numbers.h"
#include "platform/Regions.h"
#include "platform/RuntimeError.h"
#include "platform/Screen.h"
#include "platform/ShowWindow.h"
#include "platform/SingleInstance.h"
#include "platform/Version.h"
#include "platform/WindowFrame.h"
#include "platform/WindowRegion.h"
#include "windows/CutForm.h"
#include "windows/OutForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QLayout>
#include <QMenu>

#include <algorithm>
#include <utility>

namespace {

constexpr float kDotRadiusTwips = 10.0f;

// A vertex is stored as the runtime converts a quotient to an Integer: halves to even.
int16_t vertexPixels(float twips, float twipsPerPixel) {
    return platform::toInt16(platform::pixelsFromTwips(twips, twipsPerPixel));
}

// A box's number: its numeric prefix rounded to 16 bits; out of range is the overflow error.
int16_t readBox(const QString &text) {
    return platform::toInt16(platform::numericPrefix(text.toStdString()));
}

} // namespace

MainForm::MainForm() {
    // A fixed single border: a title and a close box, no maximize or minimize button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    m_surface = new TracingSurface(this);
    m_surface->setFixedSize(platform::twipsToPixelsX(kClientWidthTwips),
                            platform::twipsToPixelsY(kClientHeightTwips));
    setCentralWidget(m_surface);
    connect(m_surface, &TracingSurface::mouseDown, this,
            [this](int button, int shift, float x, float y) {
                activateBeforeMouseDown();
                platform::runHandler([&] { Form_MouseDown(button, shift, x, y); });
            });
    connect(m_surface, &TracingSurface::mouseMove, this,
            [this](int buttons, int shift, float x, float y) {
                platform::runHandler([&] { Form_MouseMove(buttons, shift, x, y); });
            });
    createMenu();

    // The closing of the code window and of the preview ends what they showed.
    connect(&m_forms, &Forms::codeClosing, this, [this] {
        setMenuState(Commands::codeWindowClosed(menuState()));
        emptyOutline();
    });
    connect(&m_forms, &Forms::previewClosing, this,
            [this] { setMenuState(Commands::previewClosed(menuState())); });

    // The menu bar sits above the client area; the window takes exactly what both need.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    platform::watchFrameExtents(this, [this] { followOuterSize(); });
}

void MainForm::createMenu() {
    auto *bar = new MenuBar(this); // wraps onto more lines when the window is too narrow
    setMenuWidget(bar);

    // Each item is named as its handler's control, for screen readers' and tests' lookups.
    auto item = [this](QAction *action, const char *name, void (MainForm::*handler)()) {
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this,
                [this, handler] { platform::runHandler([this, handler] { (this->*handler)(); }); });
        return action;
    };
    MnuSet = bar->addMenu(QStringLiteral("&Создать"));
    MnuSet->setObjectName(QStringLiteral("MnuSet"));
    MakeEllipse = item(MnuSet->addAction(QStringLiteral("Окружность")), "MakeEllipse",
                       &MainForm::MakeEllipse_Click);
    RoundRect = item(MnuSet->addAction(QStringLiteral("Прямоугольник")), "RoundRect",
                     &MainForm::RoundRect_Click);
    MakeBut = item(bar->addAction(QStringLiteral("&Пример")), "MakeBut", &MainForm::MakeBut_Click);
    Program = item(bar->addAction(QStringLiteral("&Код")), "Program", &MainForm::Program_Click);
    RestBut = item(bar->addAction(QStringLiteral("&Сброс")), "RestBut", &MainForm::RestBut_Click);
    about =
        item(bar->addAction(QStringLiteral("&О программе...")), "about", &MainForm::about_Click);
    setMenuState({});
}

// A panel is built when it is first shown: most starts never need either, and building both
// was most of what the window took to appear beyond a bare menu bar.
ParameterPanel &MainForm::panel(ParameterPanel::Shape shape) {
    if (!ParFrm[shape]) {
        ParFrm[shape] = new ParameterPanel(shape, m_surface);
        const auto click = shape == ParameterPanel::Ellipse ? &MainForm::CircleOkBut_Click
                                                            : &MainForm::RectOkBut_Click;
        connect(ParFrm[shape], &ParameterPanel::createClicked, this,
                [this, click] { platform::runHandler([this, click] { (this->*click)(); }); });
    }
    return *ParFrm[shape];
}

void MainForm::hidePanel(ParameterPanel::Shape shape) {
    if (ParFrm[shape])
        ParFrm[shape]->setVisible(false);
}

Commands MainForm::menuState() const {
    return {MakeBut->isEnabled(), Program->isEnabled()};
}

void MainForm::setMenuState(Commands state) {
    MakeBut->setEnabled(state.makeBut);
    Program->setEnabled(state.program);
}

void MainForm::Form_Load() {
    const platform::AppVersion version = platform::applicationVersion();
    setWindowTitle(QStringLiteral("Zarnik v%1.%2").arg(version.major).arg(version.minor));
    if (platform::previousInstanceRunning()) {
        platform::showWarning(QStringLiteral("Программа уже запущена!"));
        platform::endApplication();
    }
}

void MainForm::Form_GotFocus() {
    emptyOutline();
}

void MainForm::Form_Resize() {
    m_forms.preview().setOuterSize(platform::outerGeometry(this).size());
}

void MainForm::Form_QueryUnload() {
    if (CutForm *preview = m_forms.openPreview())
        preview->close();
    if (OutForm *code = m_forms.openCode())
        code->close();
}

void MainForm::RestBut_Click() {
    setMenuState(Commands::reset(menuState()));
    m_forms.preview().hide();
    m_forms.code().setSaveFormatText(QString());
    emptyOutline();
    hidePanel(ParameterPanel::Ellipse);
    hidePanel(ParameterPanel::RoundRect);
}

void MainForm::Program_Click() {
    platform::showRestored(&m_forms.code());
}

void MainForm::about_Click() {
    platform::showRestored(&m_forms.about()); // an open one comes back to the front
}

void MainForm::emptyOutline() {
    m_outline.clear();
    // Generated code before the lines stays: the user may still want to copy it.
    if (OutForm *code = m_forms.openCode())
        code->removeAppendedSaveFormatLines();
    m_surface->Cls();
}

void MainForm::appendToSaveFormat(const std::string &line) {
    m_forms.code().appendSaveFormatText(QString::fromStdString(line));
}

void MainForm::Form_MouseDown(int Button, int Shift, float X, float Y) {
    Q_UNUSED(Shift);
    m_capacityNotice.newMouseDown();
    setMenuState(Commands::mouseDown(menuState(), m_outline.PointCount));
    m_outline.moveAnchors(X, Y);
    m_surface->Line(m_outline.PrevX.value_or(0), m_outline.PrevY.value_or(0),
                    m_outline.CurX.value_or(0), m_outline.CurY.value_or(0));

    // Code has been generated since the last reset: this click starts a new outline.
    if (Program->isEnabled()) {
        setMenuState(Commands::startOver(menuState()));
        RestBut_Click();
    }

    if (Button != 1)
        return;
    m_surface->Circle(X, Y, kDotRadiusTwips);
    const int16_t px = vertexPixels(X, platform::twipsPerPixelX());
    const int16_t py = vertexPixels(Y, platform::twipsPerPixelY());
    appendToSaveFormat(pointLine(m_outline.PointCount, px, py));
    m_capacityNotice.captureVertex(m_outline, px, py);
}

void MainForm::Form_MouseMove(int Button, int Shift, float X, float Y) {
    Q_UNUSED(Shift);
    if (Button != 2)
        return;
    const float tx = platform::twipsPerPixelX();
    const float ty = platform::twipsPerPixelY();
    m_surface->Circle(X, Y, kDotRadiusTwips);
    appendToSaveFormat(dragLine(m_outline.PointCount, platform::pixelsFromTwips(X, tx),
                                platform::pixelsFromTwips(Y, ty)));
    m_capacityNotice.captureVertex(m_outline, vertexPixels(X, tx), vertexPixels(Y, ty));
}

// "&Пример": shapes the preview with the traced outline and writes the code that does the same.
void MainForm::MakeBut_Click() {
    setMenuState(Commands::polygon(menuState(), m_outline.PointCount));
    m_surface->Cls();
    // The keyboard stays with the main window and its menu, where "&Код" comes next.
    platform::showRestored(&m_forms.preview(), platform::Focus::Leave);

    // From here on a failing step does not stop the next one, and nobody is told.
    std::optional<QRegion> region; // stays null when the region cannot be made
    platform::resumeNext([&] {
        region = platform::CreatePolygonRgn(m_outline.XY.data(), m_outline.PointCount,
                                            platform::WINDING);
    });
    platform::resumeNext([&] { platform::SetWindowRgn(&m_forms.preview(), region); });
    platform::resumeNext([&] {
        OutForm &code = m_forms.code();
        code.setSaveFormatText(QString::fromStdString(PolygonCode::procedureText(
            m_outline.PointCount, code.saveFormatText().toStdString(), m_outline.ClosingLine)));
    });
    platform::resumeNext([&] {
        m_forms.code().setDeclareText(QString::fromStdString(PolygonCode::declarationsText()));
    });
}

void MainForm::MakeEllipse_Click() {
    hidePanel(ParameterPanel::RoundRect);
    panel(ParameterPanel::Ellipse).setVisible(true);
}

void MainForm::RoundRect_Click() {
    hidePanel(ParameterPanel::Ellipse);
    panel(ParameterPanel::RoundRect).setVisible(true);
}

void MainForm::prefixDeclareText(const std::string &lines) {
    OutForm &code = m_forms.code();
    code.setDeclareText(QString::fromStdString(lines) + code.declareText());
}

void MainForm::showPreviewWith(const std::optional<QRegion> &region) {
    CutForm &preview = m_forms.preview();
    platform::SetWindowRgn(&preview, region);
    platform::showRestored(&preview);
}

// Each box goes into its slot as soon as it is read: an overflow in a later box stops the click
// with the earlier slots already changed and nothing else written.
void MainForm::readPanel(ParameterPanel::Shape shape, int boxes) {
    ParameterPanel &panel = this->panel(shape);
    panel.setVisible(false);
    for (int i = 0; i < boxes; ++i)
        m_shapeParameters[i] = readBox(panel.boxText(i));
}

void MainForm::CircleOkBut_Click() {
    setMenuState(Commands::shape(menuState()));
    readPanel(ParameterPanel::Ellipse, 4);
    const auto &s = m_shapeParameters;
    const shapecode::EllipseParameters p{s[0], s[1], s[2], s[3]};

    prefixDeclareText(shapecode::ellipseDeclarations());
    m_forms.code().setSaveFormatText(QString::fromStdString(shapecode::ellipseProcedure(p)));
    const auto [x1, y1, x2, y2] = shapecode::ellipseRegionArguments(p, platform::twipsPerPixelX(),
                                                                    platform::twipsPerPixelY());
    showPreviewWith(platform::CreateEllipticRgn(x1, y1, x2, y2));
}

void MainForm::RectOkBut_Click() {
    setMenuState(Commands::shape(menuState()));
    readPanel(ParameterPanel::RoundRect, 6);
    const auto &s = m_shapeParameters;
    const shapecode::RoundRectParameters q{s[0], s[1], s[2], s[3], s[4], s[5]};

    prefixDeclareText(shapecode::roundRectDeclarations());
    m_forms.code().setSaveFormatText(QString::fromStdString(shapecode::roundRectProcedure(q)));
    const auto [x1, y1, x2, y2, w, h] = shapecode::roundRectRegionArguments(
        q, platform::twipsPerPixelX(), platform::twipsPerPixelY());
    showPreviewWith(platform::CreateRoundRectRgn(x1, y1, x2, y2, w, h));
}

void MainForm::activateBeforeMouseDown() {
    if (isActiveWindow() || m_cameBack)
        return;
    // The desktop reports the activation after the click, if at all (a bare X server activates
    // nothing): the click itself is the user coming back, and its handler runs now.
    m_cameBack = true;
    gotFocus();
}

void MainForm::changeEvent(QEvent *event) {
    QMainWindow::changeEvent(event);
    // The window itself gets the focus only when it is activated with no panel to take it: then
    // the outline starts over (a focus move inside the window does not count).
    if (event->type() != QEvent::ActivationChange)
        return;
    if (!isActiveWindow())
        m_cameBack = false; // the user has gone elsewhere
    else if (!std::exchange(m_cameBack, true))
        gotFocus();
}

void MainForm::gotFocus() {
    // The window itself gets the focus when no panel can take it, and only when the user comes
    // back to it: the focus it gets back from its own message box leaves the outline alone.
    const bool panelShown = std::any_of(ParFrm.begin(), ParFrm.end(), [](const QWidget *panel) {
        return panel && !panel->isHidden();
    });
    if (!panelShown && !platform::activationFollowsMessageBox(this))
        platform::runHandler([this] { Form_GotFocus(); });
}

void MainForm::closeEvent(QCloseEvent *event) {
    platform::runHandler([this] { Form_QueryUnload(); });
    event->accept();
}

void MainForm::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    followOuterSize();
}

void MainForm::followOuterSize() {
    const QSize outer = platform::outerGeometry(this).size();
    if (outer == m_outerSize)
        return;
    m_outerSize = outer;
    platform::runHandler([this] { Form_Resize(); });
}

void MainForm::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    // The main window is shown once, at start-up, in the middle of the screen by its outer frame.
    if (event->spontaneous())
        return;
    platform::askFrameExtents(this);
    platform::centreOnScreen(this);
    followOuterSize(); // the frame now known
}
