// TDXF: the "Create DXf Surface" / "Create G-Code File" dialog. It lives in its own
// sub-window of the frame and is a thin view over SurfaceDialogModel: every edit the user
// makes goes into the model, the edits the coupling rewrites come back out, and "Create"
// hands the model's parameters and the shared height grid to the relief engine.
#pragma once

#include "relief/surface_dialog_model.h"

#include <QWidget>
#include <map>

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
    QLineEdit* Edit1 = nullptr;     // Size X
    QLineEdit* Edit2 = nullptr;     // Size Y
    QLineEdit* Edit3 = nullptr;     // Step X
    QLineEdit* Edit4 = nullptr;     // Step Y
    QLineEdit* Edit5 = nullptr;     // Depth
    QLineEdit* Edit6 = nullptr;     // Feedrate (G-code)
    QLineEdit* Edit7 = nullptr;     // Depth / Pass (G-code)
    QLineEdit* Edit8 = nullptr;     // Rapid Height (G-code)
    QCheckBox* CheckBox1 = nullptr; // Keep Aspect Ratio
    QCheckBox* chkGouge = nullptr;  // Use Gouge Control
    QGroupBox* Frm1 = nullptr;      // Gouge Control
    QComboBox* cmbType = nullptr;
    QLineEdit* txtDia = nullptr;
    QSpinBox* txtIncluded = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* Button1 = nullptr; // Create
    QPushButton* Button2 = nullptr; // Cancel

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
    void runCreate(const corvane::relief::ReliefParameters& params);
    void closeDialog();
    void warn(const QString& text);

    TCorvaneFrame& frame_;
    corvane::relief::SurfaceDialogModel model_;
    std::map<corvane::relief::SurfaceEdit, QWidget*> edits_;
    std::map<const QWidget*, QLabel*> labels_;
    // The HeightGridStamp that the grid had when this dialog opened.
    unsigned heightGridStamp_ = 0;
};
