// TfrmPicture: the child window that holds one picture document. The picture lives in the
// imaging control TP; the window adds the document state (file name as caption, unsaved
// changes, view mode), its own menu bar, loading and saving, the clipboard commands,
// plug-ins, progress reporting and the hand-off of the picture to the surface dialog.
#pragma once

#include "common/run_control.h"
#include "gui/app/child_window.h"
#include "imaging/picture.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <map>

class QAction;
class QActionGroup;
class QMdiSubWindow;
class QMenu;
class QScrollArea;
namespace corvane::gui {
class WindowFrame;
}
class TTwistedPixel;

class TfrmPicture : public QWidget, public TChildWindow {
public:
    // Creates an empty "New Picture" window in the frame, shown and active.
    explicit TfrmPicture(corvane::gui::WindowFrame& frame);
    ~TfrmPicture() override;

    // --- document state ---
    // Unsaved changes: a flag that also marks the caption with "*".
    class ModifiedMark {
    public:
        explicit ModifiedMark(QWidget& window) : window_(window) {}
        ModifiedMark(const ModifiedMark&) = delete;
        // Takes the other flag's value, not its window (a = b = false).
        ModifiedMark& operator=(const ModifiedMark& other) { return *this = bool(other); }
        ModifiedMark& operator=(bool on)
        {
            on_ = on;
            window_.setWindowModified(on);
            return *this;
        }
        operator bool() const { return on_; }

    private:
        QWidget& window_;
        bool on_ = false;
    };
    ModifiedMark Modified{*this};
    int ViewMode = 0; // 0 Fit Window, 1 Fit Picture, 2 Use Scroll Bars
    TTwistedPixel* TP = nullptr;

    // The document's file name with its folder; "New Picture" when it has none yet.
    QString Caption() const;
    void SetCaption(const QString& caption);
    // The sub-window that carries this window's frame in the frame's area.
    QMdiSubWindow* SubWindow() const;

    // --- operations ---
    // Loads the file; on failure tells the user why and stays an empty "New Picture".
    bool LoadFile(const QString& fileName);
    // Fit Window: the window takes the picture's size (never less than a small minimum);
    // a picture larger than the frame's free area switches to the scroll-bar view instead,
    // the window as large as the area allows.
    void FitWindowToImage();
    bool Require24Bit();
    void RecordTargetIndex();
    void FillHeightGrid(bool border);

    // --- handlers ---
    void LoadPlugins1Click();
    // Runs a plug-in chosen from the picture's right-click menu: status text, gauge and Esc;
    // a failure is told through the prompts. False when it did not change the picture.
    bool RunPlugin(const QString& programPath);
    // Save and Save As return whether the picture was written.
    bool mnuSaveClick();
    bool mnuSaveAsClick();
    // Picture Information: size, depth and resolution of the picture in an information box.
    void PictureInformation1Click();
    void mnuCloseClick();
    void mnuUndoClick();
    void mnuCutClick();
    void mnuCopyClick();
    void mnuPasteClick();
    void mnuCropClick();
    void DXFSurface1Click();
    void GCode1Click();
    void RastertoDXF1Click();
    void Fit1Click();
    void FitPicture1Click();
    void UseScrollBars1Click();
    // The "&Image" menu (image_commands.cpp).
    // One processing step of an image command.
    using ImageStep = std::function<corvane::imaging::Picture(const corvane::imaging::Picture&,
                                                              corvane::RunControl&)>;
    void mnuConvertToMillionsClick();
    void Popularity1Click();
    void MedianCut1Click();
    void Uniform8841Click();
    void Uniform6661Click();
    void GreyScale1Click();
    void Halftone1Click();
    void mnuConvertTo16Click();
    void mnu8ColorsClick();
    void mnuGrayMaxClick();
    void mnuGrayMeanClick();
    void mnuGrayWeightedClick();
    void BlackandWhite2Click();
    void mnuConvertToNegativeClick();
    void mnuReduceTo64Click();
    void mnuReduce32Click();
    void mnuReduce16Click();
    void mnuAdjustImgeClick();
    void mnuGradientEdgeClick();
    void mnuLaplaceClick();
    void mnuMatchedFilterClick();
    void mnuShiftDifferenceClick();
    void mnuSobelClick();
    void mnuEnhanceClick();
    void mnuEmbossClick();
    void mnu3dShade2Click(); // "3&D Shade"
    void mnu3dShadeClick();  // "&3D Texture Shade"
    void mnuDespeckleClick();
    void mnuPosterizeClick();
    void mnuSharpenClick();
    void mnuSharpenMoreClick();
    void mnuSharpenMaxClick();
    void mnuBlurClick();
    void mnuBlurMoreClick();
    void mnuBlurMaxClick();
    void mnuFlipClick();
    void Flip901Click();
    void Resize1Click();
    void TPProgressReport(long done, long total);
    void TPPluginFilterComplete();
    void FormResize();

    // TChildWindow
    QList<QMenu*> ChildMenus() const override { return menus_; }
    void FormActivate() override;
    void ToolClick(FrameTool tool) override;
    void RecoverFromError() override;

    // Menu items by name (mnuSave, Fit1, DXFSurface1, mnuSharpen, ...).
    QAction* MenuItem(const QString& name) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void buildMenus();
    QAction* addItem(QMenu& menu, const QString& name, const QString& caption,
                     std::function<void()> handler);
    // Puts the frame's action `frameName` into the menu, found here under `name`.
    void shareFrameItem(QMenu& menu, const QString& name, const QString& frameName);
    // What the sub-window adds around this window: its borders and title bar.
    QSize frameDecoration() const;
    void setControlSize(int width, int height);
    void setWindowSize(int width, int height);
    void setWindowScrollBars(bool visible);
    void showStatus(const QString& text);
    // Connects the "&Image" menu's items to their handlers.
    void wireImageMenu();
    // The shape of every processing command after its guard: hourglass, status text (none
    // when empty), the step as one undo level, "Ready..." when withReady, then Modified and
    // PictureChanged. False when there was no picture or the user stopped it with Esc.
    bool runImageCommand(const QString& status, const ImageStep& step, bool withReady = true);
    void showDirectionDialog();
    // Commands and file kinds that work on 8 or 24 bits call this first: a 16-bit depth map
    // is reduced to 256 levels (one undo level) once the user agrees to `question`, asked as
    // a Confirm. True when the command may go on: the picture was not a depth map, or it
    // has been reduced; false, the picture as it was, when the user said No.
    bool reduceDepthMapFirst(const QString& question);
    // The question of the image commands and plug-ins.
    static const QString kCommandNeeds256Levels;
    // The guards of the command table; true when the command may go on.
    bool confirmUnless(bool allowed, const QString& text);
    bool informUnless(bool allowed, const QString& text);
    void markChanged();
    // Cut, paste, crop or a plug-in changed the picture.
    void pictureEdited();
    // Writes the picture; on failure tells the user and returns false.
    bool writePicture(const QString& fileName, int typeCode);

    corvane::gui::WindowFrame& frame_;
    QScrollArea* scrollArea_ = nullptr;
    QList<QMenu*> menus_;
    std::map<QString, QAction*> items_;
    QActionGroup* viewModes_ = nullptr;
    // The type the picture was last written as, for a later Save to a name whose extension
    // does not tell the type.
    int lastTypeCode_ = 0;
};

namespace corvane::gui {

// An empty "New Picture" window in the frame, shown and active.
TfrmPicture* NewPicture(WindowFrame& frame);
// A picture window loading the file; it stays, empty, when the file did not load.
TfrmPicture* OpenPicture(WindowFrame& frame, const QString& fileName);
// As OpenPicture, but a window whose file did not load closes again (the user has been told
// why; the empty window would be in the way): null then.
TfrmPicture* OpenPictureFile(WindowFrame& frame, const QString& fileName);
// The active child if it is a picture window, else null.
TfrmPicture* ActivePicture(const WindowFrame& frame);

} // namespace corvane::gui
