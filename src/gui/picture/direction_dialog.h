// TfrmDirection: asks for the light direction of Emboss, 3D Shade and Gradient Edge. It is
// created once at start-up and only hidden when closed; its controls arrive with the image
// commands that use it.
#pragma once

#include <QDialog>

class TfrmDirection : public QDialog {
public:
    explicit TfrmDirection(QWidget* owner);
};
