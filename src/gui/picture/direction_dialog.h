// TfrmDirection: asks for the light direction of Emboss, 3D Shade and Gradient Edge. It is
// created once at start-up, shown modally and only hidden when closed, so the checked
// direction stays for the next use.
#pragma once

#include <QDialog>

class QPushButton;
class QRadioButton;

class TfrmDirection : public QDialog {
public:
    explicit TfrmDirection(QWidget* owner);

    // --- controls, for tests ---
    // Index 0 .. 7: North, North East, East, South East, South, South West, West, North West
    // (LightDirection 1..8).
    QRadioButton* directionButton(int index) const { return directionButtons_[index]; }
    QPushButton* okButton() const { return okButton_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();

    QRadioButton* directionButtons_[8] = {};
    QPushButton* okButton_ = nullptr;
};
