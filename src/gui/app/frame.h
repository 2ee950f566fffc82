// TCorvaneFrame: the main window. It owns the area the child windows live in, the menus,
// the tool bar and the status bar, opens every child window and dialog, and sees every key
// stroke first (Esc stops long work, F1 opens the manual).
#pragma once

#include "gui/app/file_dialogs.h"
#include "gui/app/status_panels.h"

#include <QMainWindow>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QAction;
class QDialog;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class TDXF;
class TfrmAbout;
class TfrmDXFView;
class TfrmAdjustment1;
class TfrmDirection;
class TfrmLambert;
class TfrmResize;
class TfrmPicture;
class TfrmToolPaths;
namespace corvane::imaging {
struct Picture;
}

class TCorvaneFrame : public QMainWindow {
public:
    struct Options {
        // Bits per pixel of the screen; unset reads the primary screen's.
        std::optional<int> screenDepth;
    };

    explicit TCorvaneFrame(Options options);
    TCorvaneFrame() : TCorvaneFrame(Options{}) {}
    ~TCorvaneFrame() override;

    // --- operations other windows use ---
    void ShowReady();
    // Save, Cut, Paste and Copy tool buttons off (true) or on (false).
    void DisablePictureTools(bool disable);
    // The surface dialog for the job in CurrentJob, over the grid just filled, shown and
    // active in its own sub-window.
    TDXF* OpenSurfaceDialog();
    // A new mesh view, shown and active; a "Vector Conversion" one, of the picture window's
    // saved size, when CurrentJob is raster to vector.
    TfrmDXFView* OpenMeshView();
    // The adjustment, texture-shade and resize dialogs, each shown and active in its own
    // sub-window, working on the target picture window until either closes.
    TfrmAdjustment1* OpenAdjustment(TfrmPicture& target);
    TfrmLambert* OpenTextureShade(TfrmPicture& target);
    TfrmResize* OpenResize(TfrmPicture& target);
    long long ScreenColorCount() const;

    corvane::gui::TStatusPanels& StatusBar1() { return *statusPanels_; }
    corvane::gui::TOpenDialog& OpenDialog1() { return openDialog_; }
    corvane::gui::TSaveDialog& SaveDialog1() { return saveDialog_; }
    TfrmToolPaths& frmToolPaths() { return *frmToolPaths_; }
    TfrmDirection& frmDirection() { return *frmDirection_; }
    TfrmAbout& frmAbout() { return *frmAbout_; }

    // --- child windows ---
    QMdiArea& MdiArea() { return *mdiArea_; }
    // Places a child window (a QWidget, usually also a TChildWindow) in the frame, shows and
    // activates it. The sub-window frees itself and the content when closed.
    QMdiSubWindow* AddChildWindow(QWidget* content);
    // Moves the child so that all of it shows in the area; when it is larger than the area,
    // the frame first grows (as far as the screen allows) to make room for it.
    void KeepChildInside(QMdiSubWindow* window);
    // Sizes a 3D view to width x height, but no larger than the visible part of the area,
    // and moves it in from the right and bottom edges so that it shows whole.
    void PlaceChildInside(QMdiSubWindow& window, int width, int height);
    // The room the area offers a child window.
    QSize FreeAreaSize() const;
    // Most recently active first: position 0 is the active child.
    QList<QMdiSubWindow*> ChildWindows() const;
    QMdiSubWindow* ActiveChild() const;
    // The active child if it is a picture window, else null.
    TfrmPicture* ActivePicture() const;
    // An empty picture window ("New Picture").
    TfrmPicture* NewPicture();
    // A picture window loading the file.
    TfrmPicture* OpenPicture(const QString& fileName);

    // Files given on the command line open by extension (lower case, no dot); a kind that
    // has no opener registered opens as a picture. Registering "dxf" or "dnc" also enables
    // the matching Import command.
    using FileOpener = std::function<void(TCorvaneFrame&, const QString& fileName)>;
    void RegisterFileKind(const QString& extension, FileOpener opener);
    bool HasFileKind(const QString& extension) const;
    void OpenFile(const QString& fileName);

    // --- handlers ---
    void New1Click();
    void Load1Click();
    void ImportDNCFile1Click();
    void ImportDXFMesh1Click();
    void SetPluginPath1Click();
    void Exit1Click();
    void Tile1Click();
    void Cascade1Click();
    void Contents1Click();
    void CorvaneHomePage1Click();
    void About1Click();
    void ToolButton3Click();
    void ToolButton4Click();
    void ToolButton6Click();
    void ToolButton7Click();

    // Tool-bar buttons by their number (1, 2, 3, 4, 6, 7, 10).
    QAction* ToolButton(int number) const;
    // Menu items by caption words, e.g. "ImportDXFMesh1".
    QAction* MenuItem(const QString& name) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormResize();
    void buildMenus();
    void buildToolBar();
    void updateMenuBar();
    void onSubWindowActivated(QMdiSubWindow* window);
    void openHelpFor(const QWidget* receiver);

    Options options_;
    QMdiArea* mdiArea_ = nullptr;
    std::unique_ptr<corvane::gui::TStatusPanels> statusPanels_;
    corvane::gui::TOpenDialog openDialog_;
    corvane::gui::TSaveDialog saveDialog_;
    QList<QMenu*> frameMenus_;
    std::map<int, QAction*> toolButtons_;
    std::map<QString, QAction*> menuItems_;
    std::map<QString, FileOpener> fileKinds_;
    TfrmToolPaths* frmToolPaths_ = nullptr;
    TfrmDirection* frmDirection_ = nullptr;
    TfrmAbout* frmAbout_ = nullptr;
};

// The program's one frame, or null before it is built and after it is gone.
TCorvaneFrame* CorvaneFrame();
