// The surface dialog's "Roughing" group (G-code mode): "Rough First" and the roughing tool's
// fields. Step Over follows 40 % of the Diameter, Step Down the dialog's Depth / Pass and
// Feedrate the dialog's Feedrate until the user types into them; reading takes those
// defaults from the engine (defaultRoughing), so the dialog and the command line write the
// same program for the same values. The fields are off while "Rough First" is unchecked.
#pragma once

#include "relief/relief_parameters.h"
#include "relief/roughing_parameters.h"

#include <QGroupBox>
#include <map>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace corvane::gui {

class RoughingGroup : public QGroupBox {
public:
    explicit RoughingGroup(QWidget* parent);

    // --- controls, for tests ---
    QCheckBox* roughFirstCheck() const { return roughFirst_; } // Rough First
    QComboBox* toolCombo() const { return tool_; }             // Tool
    QLineEdit* diameterEdit() const { return diameter_; }      // Diameter
    QLineEdit* angleEdit() const { return angle_; }            // Angle (V Bit)
    QLineEdit* stockEdit() const { return stock_; }            // Stock to Leave
    QLineEdit* stepOverEdit() const { return stepOver_; }      // Step Over
    QLineEdit* stepDownEdit() const { return stepDown_; }      // Step Down
    QLineEdit* feedrateEdit() const { return feedrate_; }      // Feedrate
    QLabel* labelFor(const QWidget* field) const;

    bool roughFirst() const;
    // The dialog's Depth / Pass and Feedrate as typed: shown in Step Down and Feedrate while
    // the user has not typed into them.
    void followFinishing(const QString& depthPerPass, const QString& feedrate);

    // The roughing values for the finishing program `finishing` (as the dialog read it,
    // before roughing changes its passes), checked by the engine's rules. Throws
    // corvane::Error naming the field ("Step Over can not be larger than the Diameter").
    relief::RoughingParameters read(const relief::ReliefParameters& finishing) const;

private:
    QLineEdit* addField(const QString& caption, int column, int row);
    void showEnabling();
    void diameterTyped();

    QCheckBox* roughFirst_ = nullptr;
    QComboBox* tool_ = nullptr;
    QLineEdit* diameter_ = nullptr;
    QLineEdit* angle_ = nullptr;
    QLineEdit* stock_ = nullptr;
    QLineEdit* stepOver_ = nullptr;
    QLineEdit* stepDown_ = nullptr;
    QLineEdit* feedrate_ = nullptr;
    std::map<const QWidget*, QLabel*> labels_;
    // The fields the user has typed into; the others show and take their defaults.
    bool stepOverTyped_ = false;
    bool stepDownTyped_ = false;
    bool feedrateTyped_ = false;
};

} // namespace corvane::gui
