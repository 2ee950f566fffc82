// TfrmSimulate: the DNC view's "Simulate" dialog. It asks for the tool (type, diameter,
// V bit angle), the height map's cell, the rapid rate and the stock block, starting from
// what the program suggests, and optionally for the picture the program was made from
// (with the relief's Size X, Size Y and Depth) to compare the cut with. OK reads and checks
// them and stays open, naming the field, when one cannot be used.
#pragma once

#include "simulation/simulate_dialog_model.h"

#include <QDialog>
#include <map>
#include <optional>

class QComboBox;
class QGroupBox;
class QLineEdit;

class TfrmSimulate : public QDialog {
public:
    TfrmSimulate(QWidget* parent, const corvane::simulation::SimulateDialogTexts& texts);

    QComboBox* ToolTypeCombo() const { return toolTypeCombo_; }
    QLineEdit* PictureEdit() const { return pictureEdit_; }
    QLineEdit* Edit(corvane::simulation::SimulateField field) const;

    corvane::simulation::SimulateDialogTexts Texts() const;
    // What OK read; valid once the dialog was accepted.
    const corvane::simulation::SimulationSettings& Settings() const { return settings_; }
    const std::optional<corvane::simulation::TargetRequest>& Target() const { return target_; }

    void accept() override;

private:
    QLineEdit* addEdit(corvane::simulation::SimulateField field, const std::string& text);
    void showEnabling();
    void browsePicture();

    QComboBox* toolTypeCombo_ = nullptr;
    QLineEdit* pictureEdit_ = nullptr;
    std::map<corvane::simulation::SimulateField, QLineEdit*> edits_;
    corvane::simulation::SimulationSettings settings_;
    std::optional<corvane::simulation::TargetRequest> target_;
    QGroupBox* stockGroup_ = nullptr;
};
