// TDXF: the "Create DXf Surface" / "Create G-Code File" dialog. It lives in its own
// sub-window of the frame and is a thin view over SurfaceDialogModel: every edit the user
// makes goes into the model, the edits the coupling rewrites come back out, and "Create"
// hands the model's parameters and the shared height grid to the relief engine.
#pragma once

#include "machine/machine_profile.h"
#include "relief/roughing_parameters.h"
#include "relief/surface_dialog_model.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
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
namespace corvane::gui {
class WindowFrame;
}
class TfrmPicture;
namespace corvane::gui {
class LongRun;
class MachineGroup;
class RoughingGroup;
} // namespace corvane::gui

class TDXF : public QWidget {
public:
    // Builds the dialog for the job in CurrentJob over the grid the picture window has just
    // filled, and places it in the frame as a fixed-size sub-window, shown and active.
    explicit TDXF(corvane::gui::WindowFrame& frame);
    ~TDXF() override;

    // --- controls, for tests ---
    QLineEdit* sizeXEdit() const { return sizeXEdit_; }               // Size X
    QLineEdit* sizeYEdit() const { return sizeYEdit_; }               // Size Y
    QLineEdit* stepXEdit() const { return stepXEdit_; }               // Step X
    QLineEdit* stepYEdit() const { return stepYEdit_; }               // Step Y
    QLineEdit* depthEdit() const { return depthEdit_; }               // Depth
    QLineEdit* feedrateEdit() const { return feedrateEdit_; }         // Feedrate (G-code)
    QLineEdit* depthPerPassEdit() const { return depthPerPassEdit_; } // Depth / Pass (G-code)
    QLineEdit* rapidHeightEdit() const { return rapidHeightEdit_; }   // Rapid Height (G-code)
    QCheckBox* keepAspectCheck() const { return keepAspectCheck_; }   // Keep Aspect Ratio
    QCheckBox* gougeCheck() const { return gougeCheck_; }             // Use Gouge Control
    QGroupBox* gougeGroup() const { return gougeGroup_; }             // Gouge Control
    QComboBox* toolTypeCombo() const { return toolTypeCombo_; }
    QLineEdit* toolDiameterEdit() const { return toolDiameterEdit_; }
    QSpinBox* includedAngleSpin() const { return includedAngleSpin_; }
    // Protect Moves Between Samples (G-code)
    QCheckBox* protectMovesCheck() const { return protectMovesCheck_; }
    // Machine, Units, Spindle Speed, Plunge Feedrate (G-code)
    corvane::gui::MachineGroup* machineGroup() const { return machineGroup_; }
    QProgressBar* progressBar() const { return progressBar_; }
    QPushButton* createButton() const { return createButton_; }   // Create
    QPushButton* cancelButton() const { return cancelButton_; }   // Cancel
    QPushButton* previewButton() const { return previewButton_; } // Preview (G-code only)
    corvane::gui::RoughingGroup* roughingGroup() const { return roughingGroup_; } // G-code only
    // Base Thickness of an STL solid (DXF mode only; null in G-code mode)
    QLineEdit* baseThicknessEdit() const { return baseThicknessEdit_; }

    // Size Y over Size X while Keep Aspect Ratio couples them.
    double AspectRatio() const { return aspectRatio_; }
    // A Create or Preview is running.
    bool Busy() const;
    // The Cancel of the running job has not been seen by it yet.
    bool StopRequested() const;

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

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    double aspectRatio_ = 1;
    // The dialog is writing the model's texts into the edits: their change signals are not
    // the user's.
    bool updating_ = false;
    QLineEdit* sizeXEdit_ = nullptr;
    QLineEdit* sizeYEdit_ = nullptr;
    QLineEdit* stepXEdit_ = nullptr;
    QLineEdit* stepYEdit_ = nullptr;
    QLineEdit* depthEdit_ = nullptr;
    QLineEdit* feedrateEdit_ = nullptr;
    QLineEdit* depthPerPassEdit_ = nullptr;
    QLineEdit* rapidHeightEdit_ = nullptr;
    QLineEdit* baseThicknessEdit_ = nullptr;
    QCheckBox* keepAspectCheck_ = nullptr;
    QCheckBox* gougeCheck_ = nullptr;
    QGroupBox* gougeGroup_ = nullptr;
    QComboBox* toolTypeCombo_ = nullptr;
    QLineEdit* toolDiameterEdit_ = nullptr;
    QSpinBox* includedAngleSpin_ = nullptr;
    QCheckBox* protectMovesCheck_ = nullptr;
    corvane::gui::MachineGroup* machineGroup_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QPushButton* createButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* previewButton_ = nullptr;
    corvane::gui::RoughingGroup* roughingGroup_ = nullptr;
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
    void runCreate(const corvane::relief::ReliefParameters& params,
                   const corvane::machine::MachineSettings& machine);
    // With "Rough First" (surface_dialog_roughing.cpp): the roughing group under the others,
    // its defaults following the dialog's, and the runs that write or carve both programs.
    void buildRoughingGroup();
    void showRoughingDefaults();
    std::optional<corvane::relief::RoughingParameters>
    roughingForRun(const corvane::relief::ReliefParameters& params);
    // The save prompt of a program for `machine`, `startName` proposed in `folder`.
    std::optional<QString> askProgramName(const QString& startName, const QString& folder,
                                          corvane::machine::Machine machine);
    void runCreateWithRoughing(const corvane::relief::ReliefParameters& params,
                               const corvane::relief::RoughingParameters& roughing,
                               const corvane::machine::MachineSettings& machine);
    void previewWithRoughing(const corvane::relief::ReliefParameters& params,
                             const corvane::relief::RoughingParameters& roughing,
                             const corvane::relief::SurfaceDialogModel::Tool& tool);
    void closeDialog();
    void warn(const QString& text);

    corvane::gui::WindowFrame& frame_;
    corvane::relief::SurfaceDialogModel model_;
    // Create and Preview, with this dialog the one window that takes input meanwhile.
    std::unique_ptr<corvane::gui::LongRun> run_;
    std::map<corvane::relief::SurfaceEdit, QWidget*> edits_;
    std::map<const QWidget*, QLabel*> labels_;
    // The HeightGridStamp that the grid had when this dialog opened.
    unsigned heightGridStamp_ = 0;
    // The picture window the dialog works for: active again once the dialog closes, and its
    // file's folder is where the save prompt starts.
    QPointer<QMdiSubWindow> sourceWindow_;
    QString sourceFolder_;
};
