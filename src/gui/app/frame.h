// TCorvaneFrame: the main window. It owns the area the child windows live in, the menus,
// the tool bar and the status bar, and sees every key stroke first (Esc stops long work, F1
// opens the manual). Windows reach it through WindowFrame; it opens the windows of other
// folders through the WindowOpeners it is handed at start-up.
#pragma once

#include "gui/app/child_window.h"
#include "gui/app/file_dialogs.h"
#include "gui/app/status_panels.h"
#include "gui/app/window_frame.h"

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
class TfrmAbout;

class TCorvaneFrame : public QMainWindow, public corvane::gui::WindowFrame {
public:
    struct Options {
        // Bits per pixel of the screen; unset reads the primary screen's.
        std::optional<int> screenDepth;
    };

    explicit TCorvaneFrame(Options options);
    TCorvaneFrame() : TCorvaneFrame(Options{}) {}
    ~TCorvaneFrame() override;

    // The openers of the windows of other folders; set once, before the frame is used.
    void SetOpeners(corvane::gui::WindowOpeners openers) { openers_ = std::move(openers); }

    // --- WindowFrame ---
    void ShowReady() override;
    void DisablePictureTools(bool disable) override;
    corvane::gui::TStatusPanels& StatusBar1() override { return *statusPanels_; }
    corvane::gui::TOpenDialog& OpenDialog1() override { return openDialog_; }
    corvane::gui::TSaveDialog& SaveDialog1() override { return saveDialog_; }
    QMdiArea& MdiArea() override { return *mdiArea_; }
    QMdiSubWindow* AddChildWindow(QWidget* content) override;
    void KeepChildInside(QMdiSubWindow* window) override;
    void PlaceChildInside(QMdiSubWindow& window, int width, int height) override;
    QSize FreeAreaSize() const override;
    QList<QMdiSubWindow*> ChildWindows() const override;
    QMdiSubWindow* ActiveChild() const override;
    QWidget& Widget() override { return *this; }
    // Menu items by caption words, e.g. "ImportDXFMesh1".
    QAction* MenuItem(const QString& name) const override;
    QWidget* NewPicture() override;
    QWidget* OpenPictureFile(const QString& fileName) override;
    QWidget* OpenPicture(corvane::imaging::Picture picture, const QString& caption) override;
    void OpenSurfaceDialog() override;
    QWidget* OpenMeshView() override;
    void ShowToolpathsDialog(QWidget& meshView) override;
    void MeshViewClosing(QWidget& meshView) override;
    void ChooseLightDirection() override;
    void PressEscape() override;

    long long ScreenColorCount() const;
    TfrmAbout& frmAbout() { return *frmAbout_; }

    // Files given on the command line open by extension (lower case, no dot); a kind that
    // has no opener registered opens as a picture. Registering "dxf", "stl" or "dnc" also
    // enables the matching Import command.
    using FileOpener = std::function<void(corvane::gui::WindowFrame&, const QString& fileName)>;
    void RegisterFileKind(const QString& extension, FileOpener opener);
    bool HasFileKind(const QString& extension) const;
    void OpenFile(const QString& fileName);

    // --- handlers ---
    void New1Click();
    void Load1Click();
    void ImportDNCFile1Click();
    void ImportDXFMesh1Click();
    void ImportMesh1Click();
    void SetPluginPath1Click() override;
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
    // The active child's answer to a picture tool button.
    void toolClick(FrameTool tool);

    Options options_;
    QMdiArea* mdiArea_ = nullptr;
    std::unique_ptr<corvane::gui::TStatusPanels> statusPanels_;
    corvane::gui::TOpenDialog openDialog_;
    corvane::gui::TSaveDialog saveDialog_;
    QList<QMenu*> frameMenus_;
    std::map<int, QAction*> toolButtons_;
    std::map<QString, QAction*> menuItems_;
    std::map<QString, FileOpener> fileKinds_;
    corvane::gui::WindowOpeners openers_;
    TfrmAbout* frmAbout_ = nullptr;
};

// The program's one frame, or null before it is built and after it is gone.
TCorvaneFrame* CorvaneFrame();
