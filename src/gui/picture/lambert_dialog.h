// TfrmLambert: "3D Texture Shade" of a copy of the picture, previewed in its own imaging
// control and copied back into the picture window on Apply.
#pragma once

#include "imaging/picture.h"

#include <QWidget>

class QLineEdit;
class QPushButton;
class TCorvaneFrame;
class TTwistedPixel;

class TfrmLambert : public QWidget {
public:
    TfrmLambert(TCorvaneFrame& frame, const corvane::imaging::Picture& picture);

    QLineEdit* Edit1 = nullptr; // latitude
    QLineEdit* Edit2 = nullptr; // longitude
    QLineEdit* Edit3 = nullptr; // roughness
    TTwistedPixel* TP = nullptr;
    QPushButton* Button1 = nullptr; // Preview
    QPushButton* Button2 = nullptr; // Reset
    QPushButton* Button3 = nullptr; // Cancel
    QPushButton* Button4 = nullptr; // Apply

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TCorvaneFrame& frame_;
    corvane::imaging::Picture original_;
};
