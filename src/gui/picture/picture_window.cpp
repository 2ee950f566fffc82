#include "gui/picture/picture_window.h"

#include "common/error.h"
#include "gui/app/frame.h"
#include "gui/app/hourglass.h"
#include "gui/app/prompts.h"
#include "gui/app/shared_state.h"
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

// What the window's frame adds around the picture: the borders and the title bar.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 27;

} // namespace

TfrmPicture::TfrmPicture(TCorvaneFrame& frame) : frame_(frame)
{
    setObjectName(QStringLiteral("frmPicture"));
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

    buildMenus();
    SetCaption(QStringLiteral("New Picture"));
    frame_.AddChildWindow(this);
    FormCreate();
    TP->setFocus();
}

TfrmPicture::~TfrmPicture() = default;

QString TfrmPicture::Caption() const
{
    return windowTitle();
}

void TfrmPicture::SetCaption(const QString& caption)
{
    setWindowTitle(caption);
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

void TfrmPicture::FormActivate()
{
    frame_.DisablePictureTools(false);
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
    shared().EscapePressed = false;
    auto& status = frame_.StatusBar1();
    status.setGaugeVisible(true);
    // Shown before the read starts, so the user sees it while the picture loads.
    showStatus(QStringLiteral("Loading ") + fileName + QStringLiteral("... Esc to Cancel."));
    bool loaded = false;
    {
        corvane::gui::Hourglass busy;
        loaded = TP->LoadImage(fileName) && TP->HasImage();
    }
    status.setGaugeVisible(false);
    if (!loaded) {
        const QString reason = TP->LastError();
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
    if (QMdiSubWindow* window = SubWindow())
        window->show();
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
    try {
        corvane::gui::Hourglass busy;
        TP->SaveImage(fileName, typeCode);
    } catch (const std::exception& error) {
        // The picture stays unsaved and the file on disk stays as it was.
        showStatus(QStringLiteral("Failed: could not save ") + fileName);
        prompts().message(MessageKind::Warning, QStringLiteral("Warning"),
                          QStringLiteral("Could not save the picture.\n") +
                              QString::fromStdString(error.what()),
                          ButtonOk);
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
            if (!frame_.StatusBar1().text(0).startsWith(QStringLiteral("Failed")))
                frame_.ShowReady();
            return false;
        }
        return true;
    }
    int typeCode = TP->GetFileType(Caption());
    // A name typed with an extension that tells no type keeps the type it was saved as.
    if (typeCode == 0)
        typeCode = lastTypeCode_;
    if (!writePicture(Caption(), typeCode))
        return false;
    Modified = false;
    frame_.ShowReady();
    return true;
}

bool TfrmPicture::mnuSaveAsClick()
{
    const auto choice = frame_.SaveDialog1().Execute(corvane::gui::kSaveAsFilter, 1);
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

void TfrmPicture::mnuExitClick()
{
    frame_.Exit1Click();
}

// --- the frame's commands, repeated in this window's menu ---

void TfrmPicture::mnuNewClick()
{
    frame_.New1Click();
}
void TfrmPicture::mnuLoadClick()
{
    frame_.Load1Click();
}
void TfrmPicture::ImportDNCFile1Click()
{
    frame_.ImportDNCFile1Click();
}
void TfrmPicture::ImportDXFMesh1Click()
{
    frame_.ImportDXFMesh1Click();
}
void TfrmPicture::Tile1Click()
{
    frame_.Tile1Click();
}
void TfrmPicture::Cascade1Click()
{
    frame_.Cascade1Click();
}
void TfrmPicture::Contents1Click()
{
    frame_.Contents1Click();
}
void TfrmPicture::About1Click()
{
    frame_.About1Click();
}

// --- plug-ins ---

void TfrmPicture::SetPluginPath1Click()
{
    frame_.SetPluginPath1Click();
}

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
    if (ViewMode == 0)
        FitWindowToImage();
}

void TfrmPicture::mnuCropClick()
{
    if (!TP->HasSelection()) {
        prompts().message(MessageKind::Information, QStringLiteral("Information"),
                          QStringLiteral("Select Area and try again"), ButtonOk);
        return;
    }
    showStatus(QStringLiteral("Cropping Selection... Please Wait..."));
    TP->ClipboardCopy();
    TP->ReleaseSelection();
    TP->ClearImage();
    TP->ClipboardPaste();
    FitWindowToImage();
    frame_.ShowReady();
    Modified = true;
    shared().PictureChanged = true;
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

void TfrmPicture::FitWindowToImage()
{
    if (!TP->HasImage())
        return;
    setWindowSize(TP->ImageWidth() + kFrameWidth, TP->ImageHeight() + kFrameHeight);
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
    if (QMdiSubWindow* window = SubWindow())
        setControlSize(window->width() - kFrameWidth, window->height() - kFrameHeight);
    TP->SetTool(1);
    setWindowScrollBars(false);
}

void TfrmPicture::UseScrollBars1Click()
{
    setWindowScrollBars(true);
    TP->SetFitToSize(false);
    QMdiSubWindow* window = SubWindow();
    if (window)
        setControlSize(window->width() - kFrameWidth, window->height() - kFrameHeight);
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
    QMdiSubWindow* window = SubWindow();
    switch (ViewMode) {
    case 0:
        FitWindowToImage();
        break;
    case 1:
        if (window)
            setControlSize(window->width() - kFrameWidth, window->height() - kFrameHeight);
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
