// The "Machine" group of the dialogs that write a program: the controller the program is
// written for, and the fields a profile needs (Units, Spindle Speed, Plunge Feedrate). With
// "As Written" the fields are off and the program is what it has always been. The choice
// and the fields are the user's machine, not one dialog's: every group reads and writes the
// same remembered values, kept between sessions, so the machine is named once.
#pragma once

#include "machine/machine_profile.h"

#include <QGroupBox>
#include <QString>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QSettings;

namespace corvane::gui {

class MachineGroup : public QGroupBox {
public:
    // Wide: two rows of two fields, for under a form; Narrow: the four fields one below the
    // other, for a column.
    enum class Shape { Wide, Narrow };
    MachineGroup(QWidget* parent, Shape shape);

    // --- controls, for tests ---
    QComboBox* machineCombo() const { return machineCombo_; }     // Machine
    QComboBox* unitsCombo() const { return unitsCombo_; }         // Units: inch, mm
    QLineEdit* spindleSpeedEdit() const { return spindleEdit_; }  // Spindle Speed, rpm
    QLineEdit* plungeFeedrateEdit() const { return plungeEdit_; } // Plunge Feedrate

    // The settings as chosen and typed, judged with the program's Feedrate by the core's
    // checkMachineSettings. Throws corvane::Error naming the field: a profile without Units
    // (no unit is proposed: a program in the wrong one cuts 25 times too deep or too
    // shallow), a Spindle Speed or Plunge Feedrate that is not a number greater than 0. An
    // empty Plunge Feedrate means the Feedrate. As Written reads nothing but the choice.
    machine::MachineSettings read(double feedRate) const;

    // Shows the remembered values again; the group does it itself each time it is shown, so
    // a long-lived dialog follows what another group changed meanwhile.
    void load();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void save() const;
    void showEnabling();

    QComboBox* machineCombo_ = nullptr;
    QComboBox* unitsCombo_ = nullptr;
    QLineEdit* spindleEdit_ = nullptr;
    QLineEdit* plungeEdit_ = nullptr;
    QLabel* unitsLabel_ = nullptr;
    QLabel* spindleLabel_ = nullptr;
    QLabel* plungeLabel_ = nullptr;
    // load() is writing the controls: their change signals are not the user's.
    bool loading_ = false;
};

// What a save prompt for a program written for `machine` offers: the controller's kind
// first (proposed), then every other kind a program is saved as. As Written offers what the
// program has always offered, "DNC Files|*.Dnc", proposing "Dnc".
struct ProgramSaveKinds {
    QString filter; // in the program's syntax, "Name|*.a;*.b|Name2|*.c"
    QString defaultExtension;
};
ProgramSaveKinds programSaveKinds(machine::Machine machine);

// The user's remembered settings of the program (organisation "Corvane", the application's
// name), in the user's configuration folder.
std::unique_ptr<QSettings> programSettings();

} // namespace corvane::gui
