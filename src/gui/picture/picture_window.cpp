#include "gui/picture/picture_window.h"

#include "common/error.h"
#include "gui/app/help_pages.h"
#include "gui/app/hourglass.h"
#include "gui/app/long_run.h"
#include "gui/app/prompts.h"
#include "gui/app/shared_state.h"
#include "gui/app/window_frame.h"
#include "gui/picture/picture_information.h"
#include "gui/picture/progress_steps.h"
#include "gui/picture/save_as_rules.h"
#include "gui/picture/twisted_pixel.h"
#include "relief/height_grid.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QVBoxLayout>

using corvane::gui::ButtonCancel;
using corvane::gui::ButtonNo;
using corvane::gui::ButtonOk;
using corvane::gui::ButtonYes;
using corvane::gui::MessageKind;
using corvane::gui::prompts;
using corvane::gui::shared;

namespace {

// The smallest window Fit Window makes: room for the title bar's buttons and a grip.
constexpr int kMinWindowWidth = 100;
constexpr int kMinWindowHeight = 60;

} // namespace

TfrmPicture::TfrmPicture(corvane::gui::WindowFrame& frame) : frame_(frame)
{
    setObjectName(QStringLiteral("frmPicture"));
    corvane::gui::setHelpPage(*this, QStringLiteral("picture.html"));
    scrollArea_ = new QScrollArea(this);
    scrollArea_->setFrameShape(QFrame::NoFrame);
    scrollArea_->setWidgetResizable(false);
    scrollArea_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    TP = new TTwistedPixel;
    TP->setObjectName(QStringLiteral("TP"));
    scrollArea_->setWidget(TP);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scrollArea_);

    connect(TP, &TTwistedPixel::OnProgressReport, this, &TfrmPicture::TPProgressReport);
    connect(TP, &TTwistedPixel::OnPluginFilterComplete, this, &TfrmPicture::TPPluginFilterComplete);
    connect(TP, &TTwistedPixel::OnPictureEdited, this, &TfrmPicture::pictureEdited);
    connect(TP, &TTwistedPixel::OnPluginChosen, this, &TfrmPicture::RunPlugin);

    buildMenus();
    SetCaption(QStringLiteral("New Picture"));
    frame_.AddChildWindow(this);
    FormCreate();
    TP->setFocus();
}

TfrmPicture::~TfrmPicture() = default;

QString TfrmPicture::Caption() const
{
    return windowTitle().remove(QStringLiteral("[*]"));
}

void TfrmPicture::SetCaption(const QString& caption)
{
    // "[*]" shows as "*" while the picture has unsaved changes.
    setWindowTitle(caption + QStringLiteral("[*]"));
}

QMdiSubWindow* TfrmPicture::SubWindow() const
{
    return qobject_cast<QMdiSubWindow*>(parentWidget());
}

void TfrmPicture::FormCreate()
{
    shared().PictureChanged = true;
    TP->SetScrollbarsVisible(false);
    setWindowScrollBars(false);
    ViewMode = 0;
    TP->SetUndoSize(10);
    if (!TP->HasImage()) {
        TP->SetTool(1);
        setWindowSize(250, 250);
        setControlSize(250, 250);
        if (!shared().PluginPath.isEmpty())
            TP->SetPluginPathName(shared().PluginPath);
    }
}

void TfrmPicture::pictureEdited()
{
    Modified = true;
    shared().PictureChanged = true;
    if (ViewMode == 0)
        FitWindowToImage();
}

void TfrmPicture::FormActivate()
{
    frame_.DisablePictureTools(false);
}

void TfrmPicture::ToolClick(FrameTool tool)
{
    switch (tool) {
    case FrameTool::Save:
        mnuSaveClick();
        break;
    case FrameTool::Cut:
        mnuCutClick();
        break;
    case FrameTool::Copy:
        mnuCopyClick();
        break;
    case FrameTool::Paste:
        mnuPasteClick();
        break;
    }
}

void TfrmPicture::RecoverFromError()
{
    TP->RecoverFromError();
}

void TfrmPicture::showStatus(const QString& text)
{
    frame_.StatusBar1().setText(0, text);
    frame_.StatusBar1().repaintNow();
}

void TfrmPicture::setControlSize(int width, int height)
{
    TP->resize(std::max(width, 0), std::max(height, 0));
}

void TfrmPicture::setWindowSize(int width, int height)
{
    if (QMdiSubWindow* window = SubWindow())
        window->resize(width, height);
}

void TfrmPicture::setWindowScrollBars(bool visible)
{
    const Qt::ScrollBarPolicy policy = visible ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    scrollArea_->setHorizontalScrollBarPolicy(policy);
    scrollArea_->setVerticalScrollBarPolicy(policy);
}

// --- loading ---

bool TfrmPicture::LoadFile(const QString& fileName)
{
    auto& status = frame_.StatusBar1();
    status.setGaugeVisible(true);
    // Shown before the read starts, so the user sees it while the picture loads.
    showStatus(QStringLiteral("Loading ") + fileName + QStringLiteral("... Esc to Cancel."));
    bool loaded = false;
    corvane::gui::LongRun::Options options;
    options.tellFailure = false; // told below, with the file's name
    corvane::gui::LongRun run(frame_, options);
    const corvane::gui::RunReport report = run.run([&](corvane::RunControl& control) {
        loaded = TP->LoadImage(fileName, control) && TP->HasImage();
        return loaded || !TP->LoadStopped();
    });
    status.setGaugeVisible(false);
    if (report.outcome == corvane::gui::RunOutcome::Stopped)
        return false;
    if (!loaded) {
        const QString reason =
            report.outcome == corvane::gui::RunOutcome::Failed ? report.text : TP->LastError();
        showStatus(QStringLiteral("Could not load ") + fileName);
        prompts().message(MessageKind::Warning, QStringLiteral("Warning"),
                          QStringLiteral("Could not load ") + fileName +
                              (reason.isEmpty() ? QString() : QStringLiteral("\n") + reason),
                          ButtonOk);
        return false;
    }
    SetCaption(fileName);
    lastTypeCode_ = TP->GetFileType(fileName);
    FitWindowToImage();
    if (QMdiSubWindow* window = SubWindow()) {
        window->show();
        frame_.KeepChildInside(window);
    }
    frame_.ShowReady();
    return true;
}

void TfrmPicture::TPProgressReport(long done, long total)
{
    const corvane::gui::ProgressUpdate update =
        corvane::gui::advanceProgress(shared().ProgressStep, done, total);
    auto& status = frame_.StatusBar1();
    if (update.moveGauge) {
        status.setGaugeVisible(true);
        status.setGaugePosition(update.percent);
        status.repaintNow();
    }
    if (update.runFinished) {
        status.setGaugeVisible(false);
        status.setText(1, QStringLiteral("Done"));
        status.repaintNow();
    }
}

void TfrmPicture::TPPluginFilterComplete()
{
    TP->update();
    frame_.StatusBar1().setGaugeVisible(false);
}

// --- saving ---

bool TfrmPicture::writePicture(const QString& fileName, int typeCode)
{
    // PNG, TIFF and PNM keep a depth map's 16 bits; the other kinds hold 256 levels at most,
    // and the window then shows what its file holds.
    if (!corvane::gui::keepsSixteenBits(typeCode) &&
        !reduceDepthMapFirst(
            QStringLiteral("A %1 file holds 256 levels at most.\nReduce the 16-bit depth map to "
                           "256 levels and save it?")
                .arg(corvane::gui::fileKindName(typeCode))))
        return false;
    // A stop or failure leaves the file on disk as it was, and the picture unsaved.
    corvane::gui::LongRun::Options options;
    options.tellFailure = false; // told below, with the file's name
    corvane::gui::LongRun run(frame_, options);
    const corvane::gui::RunReport report = run.run([&](corvane::RunControl& control) {
        TP->SaveImage(fileName, typeCode, control);
        return true;
    });
    if (report.outcome == corvane::gui::RunOutcome::Stopped)
        return false;
    if (report.outcome == corvane::gui::RunOutcome::Failed) {
        showStatus(QStringLiteral("Failed: could not save ") + fileName);
        prompts().message(MessageKind::Warning, QStringLiteral("Warning"),
                          QStringLiteral("Could not save the picture.\n") + report.text, ButtonOk);
        return false;
    }
    lastTypeCode_ = typeCode;
    return true;
}

bool TfrmPicture::mnuSaveClick()
{
    showStatus(QStringLiteral("Saving ") + Caption() + QStringLiteral(" ... Please Wait..."));
    if (corvane::gui::isUntitledCaption(Caption())) {
        // Save As clears Modified itself, and only once the picture is written.
        if (!mnuSaveAsClick()) {
            const QString status = frame_.StatusBar1().text(0);
            if (!status.startsWith(QStringLiteral("Failed")) &&
                status != QStringLiteral("Process Cancelled..."))
                frame_.ShowReady();
            return false;
        }
        return true;
    }
    int typeCode = TP->GetFileType(Caption());
    // A name typed with an extension that tells no type keeps the type it was saved as.
    if (typeCode == 0)
        typeCode = lastTypeCode_;
    // A picture read from a kind we cannot write (a GIF, a metafile) is saved under a new
    // name and kind, as the user would be asked to in any editor.
    if (typeCode == 0)
        return mnuSaveAsClick();
    if (!writePicture(Caption(), typeCode))
        return false;
    Modified = false;
    frame_.ShowReady();
    return true;
}

bool TfrmPicture::mnuSaveAsClick()
{
    corvane::gui::SaveRequest request;
    request.filter = corvane::gui::kSaveAsFilter;
    if (!corvane::gui::isUntitledCaption(Caption())) {
        request.startName = QFileInfo(Caption()).completeBaseName();
        request.documentFolder = QFileInfo(Caption()).absolutePath();
    }
    const auto choice = frame_.SaveDialog1().Execute(request);
    if (!choice)
        return false;
    const corvane::gui::SaveTarget target =
        corvane::gui::saveTargetFor(choice->path, choice->filterIndex);
    // The dialog asked about overwriting the name as typed; a file under the name with the
    // extension added has not been asked about yet.
    if (target.fileName != choice->path && QFileInfo::exists(target.fileName)) {
        const int answer = prompts().message(
            MessageKind::Confirmation, QStringLiteral("Confirm"),
            QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(target.fileName),
            ButtonYes | ButtonNo);
        if (answer != ButtonYes)
            return false;
    }
    showStatus(QStringLiteral("Saving ") + target.fileName + QStringLiteral(" ... Please Wait..."));
    if (!writePicture(target.fileName, target.typeCode))
        return false;
    // The caption names the file only once the file holds the picture.
    SetCaption(target.fileName);
    frame_.ShowReady();
    Modified = false;
    return true;
}

void TfrmPicture::PictureInformation1Click()
{
    if (!TP->HasImage())
        return;
    prompts().message(MessageKind::Information, QStringLiteral("Picture Information"),
                      corvane::gui::pictureInformation(TP->Picture()), ButtonOk);
}

// --- closing ---

void TfrmPicture::closeEvent(QCloseEvent* event)
{
    if (Modified) {
        const int answer = prompts().message(MessageKind::Warning, QStringLiteral("Warning"),
                                             QStringLiteral("Save changes to %1?").arg(Caption()),
                                             ButtonYes | ButtonNo | ButtonCancel);
        // A save that is cancelled or fails keeps the window, so the picture is not lost.
        if (answer == ButtonCancel || (answer == ButtonYes && !mnuSaveClick())) {
            event->ignore();
            return;
        }
    }
    event->accept();
    FormClose();
}

void TfrmPicture::FormClose()
{
    shared().PictureChanged = true;
    if (frame_.MdiArea().subWindowList().size() == 1)
        frame_.DisablePictureTools(true);
}

void TfrmPicture::mnuCloseClick()
{
    if (QMdiSubWindow* window = SubWindow())
        window->close();
}

// --- plug-ins ---

void TfrmPicture::LoadPlugins1Click()
{
    if (shared().PluginPath.isEmpty())
        frame_.SetPluginPath1Click();
    if (shared().PluginPath.isEmpty())
        return;
    TP->SetPluginPathName(shared().PluginPath);
    TP->LoadPlugins();
    showStatus(QStringLiteral("Right click image for plugins..."));
}

bool TfrmPicture::RunPlugin(const QString& programPath)
{
    if (!reduceDepthMapFirst(kCommandNeeds256Levels))
        return false;
    bool ran = false;
    corvane::gui::LongRun run(frame_);
    const corvane::gui::RunReport report = run.run([&](corvane::RunControl& control) {
        ran = TP->RunPlugin(programPath, control);
        return true;
    });
    if (report.outcome != corvane::gui::RunOutcome::Completed)
        return false;
    if (!ran) {
        showStatus(QStringLiteral("Failed: ") + TP->LastError());
        prompts().message(MessageKind::Warning, QStringLiteral("Warning"), TP->LastError(),
                          ButtonOk);
        return false;
    }
    frame_.ShowReady();
    return true;
}

// --- editing ---

void TfrmPicture::mnuUndoClick()
{
    if (TP->UndoLevels() == 0) {
        showStatus(QStringLiteral("Can Not Undo - At Top Level..."));
        return;
    }
    corvane::gui::Hourglass busy;
    showStatus(QStringLiteral("Undoing Previous Command... Please Wait..."));
    TP->Undo();
    // Undo may give back another size: in Fit Window mode the window follows the picture.
    if (ViewMode == 0)
        FitWindowToImage();
    frame_.ShowReady();
}

void TfrmPicture::mnuCutClick()
{
    if (TP->HasImage())
        TP->ClipboardCut();
}

void TfrmPicture::mnuCopyClick()
{
    if (TP->HasImage())
        TP->ClipboardCopy();
}

void TfrmPicture::mnuPasteClick()
{
    TP->ClipboardPaste();
}

void TfrmPicture::mnuCropClick()
{
    if (!TP->HasSelection()) {
        prompts().message(MessageKind::Information, QStringLiteral("Information"),
                          QStringLiteral("Select Area and try again"), ButtonOk);
        return;
    }
    showStatus(QStringLiteral("Cropping Selection... Please Wait..."));
    TP->CropToSelection();
    FitWindowToImage();
    frame_.ShowReady();
}

bool TfrmPicture::Require24Bit()
{
    if (TP->ImageBitCount() == 24)
        return true;
    prompts().message(MessageKind::Information, QStringLiteral("Information"),
                      QStringLiteral("Works on 24 Bit Images only"), ButtonOk);
    return false;
}

// --- view modes ---

QSize TfrmPicture::frameDecoration() const
{
    // The sub-window keeps its borders and title bar as its contents margins.
    const QMdiSubWindow* window = SubWindow();
    const QMargins margins = window ? window->contentsMargins() : QMargins();
    return {margins.left() + margins.right(), margins.top() + margins.bottom()};
}

void TfrmPicture::FitWindowToImage()
{
    if (!TP->HasImage())
        return;
    const QSize decoration = frameDecoration();
    const QSize whole(TP->ImageWidth() + decoration.width(),
                      TP->ImageHeight() + decoration.height());
    const QSize area = frame_.FreeAreaSize();
    if (whole.width() > area.width() || whole.height() > area.height()) {
        // A picture larger than the free area would make a window beyond the frame with no
        // way to see the rest: it goes to the scroll-bar view, as large as the area allows.
        UseScrollBars1Click();
        if (QMdiSubWindow* window = SubWindow()) {
            window->move(0, 0);
            window->resize(whole.boundedTo(area));
        }
        return;
    }
    setWindowSize(std::max(whole.width(), kMinWindowWidth),
                  std::max(whole.height(), kMinWindowHeight));
    setControlSize(TP->ImageWidth(), TP->ImageHeight());
}

void TfrmPicture::Fit1Click()
{
    MenuItem(QStringLiteral("Fit1"))->setChecked(true);
    ViewMode = 0;
    TP->SetFitToSize(false);
    setWindowScrollBars(false);
    FitWindowToImage();
}

void TfrmPicture::FitPicture1Click()
{
    MenuItem(QStringLiteral("FitPicture1"))->setChecked(true);
    ViewMode = 1;
    TP->SetFitToSize(true);
    setControlSize(width(), height());
    TP->SetTool(1);
    setWindowScrollBars(false);
}

void TfrmPicture::UseScrollBars1Click()
{
    setWindowScrollBars(true);
    TP->SetFitToSize(false);
    QMdiSubWindow* window = SubWindow();
    setControlSize(width(), height());
    ViewMode = 2;
    MenuItem(QStringLiteral("UseScrollBars1"))->setChecked(true);
    if (window)
        window->resize(window->width() + 1, window->height());
}

void TfrmPicture::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TfrmPicture::FormResize()
{
    switch (ViewMode) {
    case 0:
        FitWindowToImage();
        break;
    case 1:
        // The window's whole inside, every row of it.
        setControlSize(width(), height());
        break;
    default:
        setControlSize(TP->ImageWidth(), TP->ImageHeight());
        break;
    }
}

// --- hand-off to the surface dialog ---

void TfrmPicture::RecordTargetIndex()
{
    const QList<QMdiSubWindow*> children = frame_.ChildWindows();
    QMdiSubWindow* active = frame_.ActiveChild();
    for (int position = int(children.size()) - 1; position >= 0; --position) {
        if (children[position] == active) {
            shared().TargetChildIndex = position + 1;
            return;
        }
    }
}

void TfrmPicture::FillHeightGrid(bool border)
{
    shared().HeightGrid = corvane::relief::FillHeightGrid(TP->Picture(), border);
    ++shared().HeightGridStamp;
}

void TfrmPicture::DXFSurface1Click()
{
    if (!TP->HasImage())
        return;
    RecordTargetIndex();
    shared().CurrentJob = corvane::gui::JobDxfSurface;
    FillHeightGrid(true);
    frame_.OpenSurfaceDialog();
}

void TfrmPicture::GCode1Click()
{
    if (!TP->HasImage())
        return;
    shared().SourcePictureName = QFileInfo(Caption()).fileName();
    RecordTargetIndex();
    shared().CurrentJob = corvane::gui::JobGCode;
    FillHeightGrid(false);
    frame_.OpenSurfaceDialog();
}

// --- finding picture windows ---

namespace corvane::gui {

TfrmPicture* NewPicture(WindowFrame& frame)
{
    // Owned by its sub-window, which frees both when the user closes it.
    return new TfrmPicture(frame);
}

TfrmPicture* OpenPicture(WindowFrame& frame, const QString& fileName)
{
    TfrmPicture* picture = NewPicture(frame);
    picture->LoadFile(fileName);
    return picture;
}

TfrmPicture* OpenPictureFile(WindowFrame& frame, const QString& fileName)
{
    TfrmPicture* picture = OpenPicture(frame, fileName);
    if (picture->TP->HasImage())
        return picture;
    picture->mnuCloseClick();
    return nullptr;
}

TfrmPicture* ActivePicture(const WindowFrame& frame)
{
    QMdiSubWindow* window = frame.ActiveChild();
    return window ? dynamic_cast<TfrmPicture*>(window->widget()) : nullptr;
}

} // namespace corvane::gui
