// TDXF: the "Create DXf Surface" / "Create G-Code File" dialog. It lives in its own
// sub-window of the frame and is a thin view over SurfaceDialogModel: every edit the user
// makes goes into the model, the edits the coupling rewrites come back out, and "Create"
// hands the model's parameters and the shared height grid to the relief engine.
#pragma once

#include "relief/surface_dialog_model.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <QWidget>
#include <map>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMdiSubWindow;
class QProgressBar;
class QPushButton;
class QSpinBox;
class TCorvaneFrame;
class TfrmPicture;

class TDXF : public QWidget {
public:
    // Builds the dialog for the job in CurrentJob over the grid the picture window has just
    // filled, and places it in the frame as a fixed-size sub-window, shown and active.
    explicit TDXF(TCorvaneFrame& frame);
    ~TDXF() override;

    // --- named controls ---
    QLineEdit* sizeXEdit = nullptr;        // Size X
    QLineEdit* sizeYEdit = nullptr;        // Size Y
    QLineEdit* stepXEdit = nullptr;        // Step X
    QLineEdit* stepYEdit = nullptr;        // Step Y
    QLineEdit* depthEdit = nullptr;        // Depth
    QLineEdit* feedrateEdit = nullptr;     // Feedrate (G-code)
    QLineEdit* depthPerPassEdit = nullptr; // Depth / Pass (G-code)
    QLineEdit* rapidHeightEdit = nullptr;  // Rapid Height (G-code)
    QCheckBox* keepAspectCheck = nullptr;  // Keep Aspect Ratio
    QCheckBox* chkGouge = nullptr;         // Use Gouge Control
    QGroupBox* gougeGroup = nullptr;       // Gouge Control
    QComboBox* cmbType = nullptr;
    QLineEdit* txtDia = nullptr;
    QSpinBox* txtIncluded = nullptr;
    QCheckBox* chkProtectMoves = nullptr; // Protect Moves Between Samples (G-code)
    QProgressBar* progressBar = nullptr;
    QPushButton* createButton = nullptr;  // Create
    QPushButton* cancelButton = nullptr;  // Cancel
    QPushButton* previewButton = nullptr; // Preview (G-code only)

    // --- fields ---
    corvane::relief::SurfaceMode SurfaceMode = corvane::relief::SurfaceMode::DxfSurface;
    double AspectRatio = 1;
    bool Updating = false;
    bool Busy = false;
    bool StopRequested = false;

    // The label shown beside a control ("Size X", "Tool Type", ...); null if there is none.
    QLabel* LabelFor(const QWidget* control) const;
    QMdiSubWindow* SubWindow() const;
    const corvane::relief::SurfaceDialogModel& Model() const { return model_; }

    // --- handlers ---
    void Edit1Change();
    void Edit2Change();
    void Edit3Change();
    void Edit4Change();
    void Edit5Change();
    void chkGougeClick();
    void cmbTypeChange();
    void Button1Click();
    void Button2Click();
    // Preview: simulates the program Create would write and shows it in a Cut Preview.
    void PreviewClick();
    // Every key press that reaches the dialog or one of its controls passes here first.
    void FormKeyPress(QChar key);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QLineEdit* addEdit(corvane::relief::SurfaceEdit edit, int top);
    void FormCreate();
    void FormClose();
    TfrmPicture* sourcePicture() const;
    void placeInFrame();
    // Sends the text of `edit` into the model and writes back the edits it rewrote.
    void editChanged(corvane::relief::SurfaceEdit edit);
    void showModelText(corvane::relief::SurfaceEdit edit);
    void showEnabling();
    // Whether the shared grid is still the one built for this dialog.
    bool ownsHeightGrid() const;
    // The values typed, read and checked, for a Create or a Preview; nothing when they are
    // refused or the grid is no longer this dialog's (the user has been told).
    std::optional<corvane::relief::ReliefParameters> valuesForRun();
    void runCreate(const corvane::relief::ReliefParameters& params);
    void closeDialog();
    void warn(const QString& text);

    TCorvaneFrame& frame_;
    corvane::relief::SurfaceDialogModel model_;
    std::map<corvane::relief::SurfaceEdit, QWidget*> edits_;
    std::map<const QWidget*, QLabel*> labels_;
    // The HeightGridStamp that the grid had when this dialog opened.
    unsigned heightGridStamp_ = 0;
    // The picture window the dialog works for: active again once the dialog closes, and its
    // file's folder is where the save prompt starts.
    QPointer<QMdiSubWindow> sourceWindow_;
    QString sourceFolder_;
};
