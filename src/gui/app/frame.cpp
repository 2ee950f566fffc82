#include "gui/app/frame.h"

#include "gui/app/about.h"
#include "gui/app/color_depth.h"
#include "gui/app/help_pages.h"
#include "gui/app/prompts.h"
#include "gui/app/shared_state.h"
#include "gui/app/tool_icons.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>

using corvane::gui::shared;

namespace {

TCorvaneFrame* theFrame = nullptr;

const QString kDxfFilter = QStringLiteral("DXF files|*.Dxf|*.dxf");
// Every kind the mesh view reads, then each kind on its own.
const QString kMeshFilter =
    QStringLiteral("Mesh Files|*.stl;*.obj;*.ply;*.off;*.3mf|STL Files|*.stl|OBJ Files|*.obj|"
                   "PLY Files|*.ply|OFF Files|*.off|3MF Files|*.3mf|DXF Files|*.dxf");
const QString kDncFilter = QStringLiteral("DNC files *.Dnc|*.Dnc|All Files *.*|*.*");

// Esc in a message box or file dialog closes that prompt and nothing else: a job waiting on
// the prompt's answer must not take it as a request to stop. Keys that have not reached a
// widget yet (the window-system level) are judged when they do.
bool meantForModalPrompt(QObject* receiver)
{
    const QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return false;
    for (QObject* object = receiver; object; object = object->parent())
        if (object->isWidgetType())
            return modal == object || modal->isAncestorOf(static_cast<QWidget*>(object));
    return true;
}

} // namespace

TCorvaneFrame* CorvaneFrame()
{
    return theFrame;
}

TCorvaneFrame::TCorvaneFrame(Options options) : options_(options)
{
    theFrame = this;
    setObjectName(QStringLiteral("CorvaneFrame"));
    setWindowTitle(QStringLiteral("Corvane"));
    setWindowIcon(QIcon(QStringLiteral(":/corvane/corvane.png")));
    corvane::gui::setHelpContext(*this, corvane::gui::HelpFrame);

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCentralWidget(mdiArea_);
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &TCorvaneFrame::onSubWindowActivated);

    statusPanels_ = std::make_unique<corvane::gui::TStatusPanels>(*statusBar());
    buildMenus();
    buildToolBar();

    setMinimumSize(400, 250);
    resize(610, 458);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    FormCreate();

    // Created once and kept until the program ends.
    frmAbout_ = new TfrmAbout(this);
}

TCorvaneFrame::~TCorvaneFrame()
{
    // FormDestroy: the manual is shown by the user's browser, which stays open on its own.
    // The area announces activation changes while its children are torn down, after this
    // part of the frame is gone.
    disconnect(mdiArea_, nullptr, this, nullptr);
    if (theFrame == this)
        theFrame = nullptr;
}

void TCorvaneFrame::FormCreate()
{
    // Key preview: the frame sees every key first, whichever child has the focus.
    qApp->installEventFilter(this);
    shared().LightDirection = 1;
    statusPanels_->setWidth(0, width() - 100);
    statusPanels_->setGaugeVisible(false);
    DisablePictureTools(true);
    shared().VectorGridColumns = 1;
    shared().VectorGridRows = 1;

    const QString warning = corvane::gui::colorDepthWarning(ScreenColorCount());
    if (!warning.isEmpty())
        corvane::gui::prompts().message(corvane::gui::MessageKind::Warning,
                                        QStringLiteral("Warning"), warning, corvane::gui::ButtonOk);
}

void TCorvaneFrame::FormResize()
{
    statusPanels_->setWidth(0, width() - 200);
    statusPanels_->setWidth(1, 100);
}

void TCorvaneFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

long long TCorvaneFrame::ScreenColorCount() const
{
    int depth = 24;
    if (options_.screenDepth)
        depth = *options_.screenDepth;
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        depth = screen->depth();
    return corvane::gui::ScreenColorCount(depth);
}

void TCorvaneFrame::ShowReady()
{
    statusPanels_->setText(0, QStringLiteral("Ready..."));
}

void TCorvaneFrame::DisablePictureTools(bool disable)
{
    for (int number : {3, 4, 7, 6})
        toolButtons_.at(number)->setEnabled(!disable);
}

// --- the windows of other folders ---

QWidget* TCorvaneFrame::NewPicture()
{
    return openers_.newPicture ? openers_.newPicture() : nullptr;
}

QWidget* TCorvaneFrame::OpenPictureFile(const QString& fileName)
{
    return openers_.openPictureFile ? openers_.openPictureFile(fileName) : nullptr;
}

QWidget* TCorvaneFrame::OpenPicture(corvane::imaging::Picture picture, const QString& caption)
{
    return openers_.openPicture ? openers_.openPicture(std::move(picture), caption) : nullptr;
}

void TCorvaneFrame::OpenSurfaceDialog()
{
    if (openers_.openSurfaceDialog)
        openers_.openSurfaceDialog();
}

QWidget* TCorvaneFrame::OpenMeshView()
{
    return openers_.openMeshView ? openers_.openMeshView() : nullptr;
}

void TCorvaneFrame::ShowToolpathsDialog(QWidget& meshView)
{
    if (openers_.showToolpathsDialog)
        openers_.showToolpathsDialog(meshView);
}

void TCorvaneFrame::MeshViewClosing(QWidget& meshView)
{
    if (openers_.meshViewClosing)
        openers_.meshViewClosing(meshView);
}

void TCorvaneFrame::ChooseLightDirection()
{
    if (openers_.chooseLightDirection)
        openers_.chooseLightDirection();
}

// --- child windows ---

QMdiSubWindow* TCorvaneFrame::AddChildWindow(QWidget* content)
{
    QMdiSubWindow* window = mdiArea_->addSubWindow(content);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // The window menu's own keys (Ctrl+W among them) would clash with the child's File menu,
    // and Qt answers a clash with nothing at all: the child's menu carries the keys.
    if (QMenu* system = window->systemMenu())
        for (QAction* action : system->actions())
            action->setShortcuts({});
    window->show();
    mdiArea_->setActiveSubWindow(window);
    KeepChildInside(window);
    return window;
}

QSize TCorvaneFrame::FreeAreaSize() const
{
    return mdiArea_->viewport()->size();
}

void TCorvaneFrame::PlaceChildInside(QMdiSubWindow& window, int width, int height)
{
    const QRect visible = MdiArea().viewport()->rect();
    width = std::clamp(width, std::min(200, visible.width()), std::max(visible.width(), 1));
    height = std::clamp(height, std::min(150, visible.height()), std::max(visible.height(), 1));
    window.resize(width, height);
    const int x = std::clamp(window.x(), 0, std::max(0, visible.width() - width));
    const int y = std::clamp(window.y(), 0, std::max(0, visible.height() - height));
    window.move(x, y);
}

void TCorvaneFrame::KeepChildInside(QMdiSubWindow* window)
{
    if (!window)
        return;
    const QSize need = window->size();
    QSize area = FreeAreaSize();
    const QSize missing(std::max(0, need.width() - area.width()),
                        std::max(0, need.height() - area.height()));
    if (missing.width() > 0 || missing.height() > 0) {
        QSize grown = size() + missing;
        if (const QScreen* shown = screen()) {
            const QRect screenArea = shown->availableGeometry();
            const QSize decoration = frameGeometry().size() - size();
            grown = grown.boundedTo(screenArea.size() - decoration);
            resize(grown);
            // Keep the grown frame on the screen.
            QRect placed = frameGeometry();
            placed.moveRight(std::min(placed.right(), screenArea.right()));
            placed.moveBottom(std::min(placed.bottom(), screenArea.bottom()));
            placed.moveLeft(std::max(placed.left(), screenArea.left()));
            placed.moveTop(std::max(placed.top(), screenArea.top()));
            move(placed.topLeft());
        } else {
            resize(grown);
        }
        area = FreeAreaSize();
    }
    const QPoint at(std::clamp(window->x(), 0, std::max(0, area.width() - need.width())),
                    std::clamp(window->y(), 0, std::max(0, area.height() - need.height())));
    if (at != window->pos())
        window->move(at);
}

QList<QMdiSubWindow*> TCorvaneFrame::ChildWindows() const
{
    QList<QMdiSubWindow*> windows = mdiArea_->subWindowList(QMdiArea::ActivationHistoryOrder);
    std::reverse(windows.begin(), windows.end());
    return windows;
}

QMdiSubWindow* TCorvaneFrame::ActiveChild() const
{
    // currentSubWindow stays set while a message box or dialog has the focus.
    return mdiArea_->currentSubWindow();
}

void TCorvaneFrame::RegisterFileKind(const QString& extension, FileOpener opener)
{
    fileKinds_[extension.toLower()] = std::move(opener);
    if (extension.toLower() == QStringLiteral("dxf"))
        MenuItem(QStringLiteral("ImportDXFMesh1"))->setEnabled(true);
    if (extension.toLower() == QStringLiteral("stl"))
        MenuItem(QStringLiteral("ImportMesh1"))->setEnabled(true);
    if (extension.toLower() == QStringLiteral("dnc"))
        MenuItem(QStringLiteral("ImportDNCFile1"))->setEnabled(true);
}

bool TCorvaneFrame::HasFileKind(const QString& extension) const
{
    return fileKinds_.count(extension.toLower()) != 0;
}

void TCorvaneFrame::OpenFile(const QString& fileName)
{
    // Captions carry the full name, so a file named relative to the working folder gets it.
    const QString fullName = QFileInfo(fileName).absoluteFilePath();
    const auto kind = fileKinds_.find(QFileInfo(fullName).suffix().toLower());
    if (kind != fileKinds_.end()) {
        kind->second(*this, fullName);
        return;
    }
    OpenPictureFile(fullName);
}

void TCorvaneFrame::onSubWindowActivated(QMdiSubWindow* window)
{
    updateMenuBar();
    if (!window)
        return;
    if (auto* child = dynamic_cast<TChildWindow*>(window->widget()))
        child->FormActivate();
}

void TCorvaneFrame::updateMenuBar()
{
    QList<QMenu*> menus = frameMenus_;
    if (QMdiSubWindow* window = ActiveChild())
        if (auto* child = dynamic_cast<TChildWindow*>(window->widget()))
            if (!child->ChildMenus().isEmpty())
                menus = child->ChildMenus();
    const QList<QAction*> shown = menuBar()->actions();
    bool same = shown.size() == menus.size();
    for (qsizetype i = 0; same && i < menus.size(); ++i)
        same = shown[i] == menus[i]->menuAction();
    if (same)
        return;
    menuBar()->clear();
    for (QMenu* menu : menus)
        menuBar()->addMenu(menu);
}

// --- handlers ---

void TCorvaneFrame::New1Click()
{
    NewPicture();
    DisablePictureTools(false);
    ShowReady(); // what the last command said is over
}

void TCorvaneFrame::Load1Click()
{
    const auto choice = openDialog_.Execute(corvane::gui::imageFileFilter());
    if (!choice)
        return;
    OpenPictureFile(choice->path);
}

void TCorvaneFrame::ImportDXFMesh1Click()
{
    shared().CurrentJob = corvane::gui::JobMeshImport;
    openDialog_.FileName.clear();
    const auto choice = openDialog_.Execute(kDxfFilter);
    if (choice && HasFileKind(QStringLiteral("dxf")))
        fileKinds_.at(QStringLiteral("dxf"))(*this, choice->path);
}

void TCorvaneFrame::ImportMesh1Click()
{
    shared().CurrentJob = corvane::gui::JobMeshImport;
    openDialog_.FileName.clear();
    const auto choice = openDialog_.Execute(kMeshFilter);
    if (!choice)
        return;
    // A name whose kind has no opener still goes to the mesh reader, which names the kinds
    // it reads.
    const QString extension = QFileInfo(choice->path).suffix().toLower();
    const QString kind = HasFileKind(extension) ? extension : QStringLiteral("stl");
    if (HasFileKind(kind))
        fileKinds_.at(kind)(*this, choice->path);
}

void TCorvaneFrame::ImportDNCFile1Click()
{
    openDialog_.FileName.clear();
    const auto choice = openDialog_.Execute(kDncFilter);
    if (choice && HasFileKind(QStringLiteral("dnc")))
        fileKinds_.at(QStringLiteral("dnc"))(*this, choice->path); // says how it ended
    else
        ShowReady();
}

void TCorvaneFrame::SetPluginPath1Click()
{
    shared().PluginPath.clear();
    if (const auto folder =
            corvane::gui::prompts().browseFolder(QStringLiteral("Select Plug Ins Path")))
        shared().PluginPath = *folder;
}

void TCorvaneFrame::Exit1Click()
{
    close();
}

void TCorvaneFrame::Tile1Click()
{
    // Horizontal tiling: every child spans the full width, one above the other.
    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList(QMdiArea::CreationOrder);
    QList<QMdiSubWindow*> shown;
    for (QMdiSubWindow* window : windows)
        if (!window->isHidden() && !window->isMinimized())
            shown << window;
    if (shown.isEmpty())
        return;
    const QRect area = mdiArea_->viewport()->rect();
    const int height = std::max(1, area.height() / int(shown.size()));
    for (int i = 0; i < int(shown.size()); ++i) {
        shown[i]->showNormal();
        shown[i]->setGeometry(0, i * height, area.width(), height);
    }
}

void TCorvaneFrame::Cascade1Click()
{
    mdiArea_->cascadeSubWindows();
}

void TCorvaneFrame::Contents1Click()
{
    corvane::gui::showManualPage(corvane::gui::helpPageUrl(corvane::gui::HelpContents));
}

void TCorvaneFrame::CorvaneHomePage1Click()
{
    corvane::gui::showManualPage(corvane::gui::helpPageUrl(corvane::gui::HelpContents));
}

void TCorvaneFrame::About1Click()
{
    // Modal to the program, but not a nested event loop: the user (or a test) closes it.
    frmAbout_->setWindowModality(Qt::ApplicationModal);
    frmAbout_->show();
    frmAbout_->raise();
}

void TCorvaneFrame::toolClick(FrameTool tool)
{
    if (QMdiSubWindow* window = ActiveChild())
        if (auto* child = dynamic_cast<TChildWindow*>(window->widget()))
            child->ToolClick(tool);
}

void TCorvaneFrame::ToolButton3Click()
{
    toolClick(FrameTool::Save);
}

void TCorvaneFrame::ToolButton4Click()
{
    toolClick(FrameTool::Cut);
}

void TCorvaneFrame::ToolButton6Click()
{
    toolClick(FrameTool::Copy);
}

void TCorvaneFrame::ToolButton7Click()
{
    toolClick(FrameTool::Paste);
}

// --- closing and keys ---

void TCorvaneFrame::closeEvent(QCloseEvent* event)
{
    // Ask each picture in turn; a Cancel stops the exit and spares the rest the question.
    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList(QMdiArea::CreationOrder);
    for (QMdiSubWindow* window : windows) {
        if (!window->close()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

void TCorvaneFrame::PressEscape()
{
    shared().EscapePressed = true;
}

bool TCorvaneFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && !meantForModalPrompt(watched))
            PressEscape(); // and let the focused widget see it too
        if (key->key() == Qt::Key_F1 && !key->isAutoRepeat()) {
            openHelpFor(qobject_cast<QWidget*>(watched));
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TCorvaneFrame::openHelpFor(const QWidget* receiver)
{
    // Key strokes go to the focused widget, so the receiver is the one the user works in.
    if (!receiver)
        receiver = QApplication::focusWidget();
    // With the focus on the frame itself (its tool bar, the empty area) the active child is
    // still the window the user works in.
    const bool inFrame = !receiver || receiver == this || isAncestorOf(receiver);
    if (QMdiSubWindow* active = ActiveChild();
        active && inFrame && receiver != active && !active->isAncestorOf(receiver))
        receiver = active;
    corvane::gui::showManualPage(corvane::gui::helpPageOf(receiver));
}
