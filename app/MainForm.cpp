#include "app/MainForm.h"

#include "about/Form2.h"
#include "app/MenuBar.h"
#include "capture/TracingSurface.h"
#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/Screen.h"
#include "platform/ShowWindow.h"
#include "platform/SingleInstance.h"
#include "platform/Version.h"
#include "platform/WindowFrame.h"
#include "windows/CutForm.h"
#include "windows/OutForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QLayout>
#include <QMenu>

namespace {

MainForm *s_instance = nullptr;

} // namespace

MainForm::MainForm() {
    s_instance = this;
    // A fixed single border: a title and a close box, no maximize or minimize button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    m_surface = new TracingSurface(this);
    m_surface->setFixedSize(platform::twipsToPixelsX(kClientWidthTwips),
                            platform::twipsToPixelsY(kClientHeightTwips));
    setCentralWidget(m_surface);
    createMenu();
    createParameterPanels();

    // The menu bar sits above the client area; the window takes exactly what both need.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    platform::watchFrameExtents(this, [this] { followOuterSize(); });
}

MainForm::~MainForm() {
    if (s_instance == this)
        s_instance = nullptr;
}

MainForm *MainForm::instance() {
    return s_instance;
}

QString MainForm::captionFor(int major, int minor) {
    return QStringLiteral("Zarnik v%1.%2").arg(major).arg(minor);
}

Commands MainForm::menuState() const {
    return {MakeBut->isEnabled(), Program->isEnabled()};
}

void MainForm::setMenuState(Commands state) {
    MakeBut->setEnabled(state.makeBut);
    Program->setEnabled(state.program);
}

void MainForm::createMenu() {
    auto *bar = new MenuBar(this); // wraps onto more lines when the window is too narrow
    setMenuWidget(bar);

    auto handled = [this](QAction *action, void (MainForm::*handler)()) {
        connect(action, &QAction::triggered, this,
                [this, handler] { platform::runHandler([this, handler] { (this->*handler)(); }); });
    };

    MnuSet = bar->addMenu(QStringLiteral("&Создать"));
    MakeEllipse = MnuSet->addAction(QStringLiteral("Окружность"));
    handled(MakeEllipse, &MainForm::MakeEllipse_Click);
    RoundRect = MnuSet->addAction(QStringLiteral("Прямоугольник"));
    handled(RoundRect, &MainForm::RoundRect_Click);

    MakeBut = bar->addAction(QStringLiteral("&Пример"));
    MakeBut->setEnabled(false);
    handled(MakeBut, &MainForm::MakeBut_Click);

    Program = bar->addAction(QStringLiteral("&Код"));
    Program->setEnabled(false);
    handled(Program, &MainForm::Program_Click);

    RestBut = bar->addAction(QStringLiteral("&Сброс"));
    handled(RestBut, &MainForm::RestBut_Click);

    about = bar->addAction(QStringLiteral("&О программе..."));
    handled(about, &MainForm::about_Click);
}

bool MainForm::panelShown() const {
    for (const QFrame *frame : ParFrm) {
        if (frame && !frame->isHidden())
            return true;
    }
    return false;
}

void MainForm::Form_Load() {
    const platform::AppVersion version = platform::applicationVersion();
    setWindowTitle(captionFor(version.major, version.minor));
    if (platform::previousInstanceRunning()) {
        platform::showWarning(QStringLiteral("Программа уже запущена!"));
        platform::endApplication();
    }
}

void MainForm::Form_GotFocus() {
    emptyOutline();
}

void MainForm::Form_Resize() {
    CutForm::ref().setOuterSize(platform::outerGeometry(this).size());
}

void MainForm::Form_QueryUnload() {
    if (CutForm *preview = CutForm::loaded())
        preview->close();
    if (OutForm *code = OutForm::loaded())
        code->close();
}

void MainForm::RestBut_Click() {
    setMenuState(Commands::reset(menuState()));
    CutForm::ref().hide();
    OutForm::ref().setSaveFormatText(QString());
    emptyOutline();
    for (QFrame *frame : ParFrm) {
        if (frame)
            frame->hide();
    }
}

void MainForm::Program_Click() {
    platform::showRestored(&OutForm::ref());
}

void MainForm::about_Click() {
    Form2::showWindow();
}

void MainForm::activateBeforeMouseDown() {
    if (isActiveWindow()) {
        m_activatedByClick = false;
        return;
    }
    // The desktop reports the activation after the click; run its handler now instead.
    m_activatedByClick = true;
    gotFocus();
}

void MainForm::changeEvent(QEvent *event) {
    QMainWindow::changeEvent(event);
    // The window itself gets the focus only when it is activated with no panel to take it: then
    // the outline starts over (a focus move inside the window does not count).
    if (event->type() != QEvent::ActivationChange || !isActiveWindow())
        return;
    if (m_activatedByClick) {
        m_activatedByClick = false;
        return;
    }
    gotFocus();
}

void MainForm::gotFocus() {
    // The window itself gets the focus when no panel can take it, and only when the user comes
    // back to it: the focus it gets back from its own message box leaves the outline alone.
    if (!panelShown() && !platform::activationFollowsMessageBox(this))
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
