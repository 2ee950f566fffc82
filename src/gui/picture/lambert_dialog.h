// TfrmLambert: "3D Texture Shade" of a copy of the picture (of its selection, when there is
// one), previewed in its own imaging control and put back in place in the picture window on
// Apply.
#pragma once

#include "gui/picture/preview_support.h"

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QPushButton;
class TCorvaneFrame;
class TfrmPicture;
class TTwistedPixel;

class TfrmLambert : public QWidget {
public:
    // Shown and active in its own sub-window, previewing a copy of the target's selection
    // (or of its whole picture); works on the target until either closes.
    TfrmLambert(TCorvaneFrame& frame, TfrmPicture& target);

    QLineEdit* Edit1 = nullptr; // latitude
    QLineEdit* Edit2 = nullptr; // longitude
    QLineEdit* Edit3 = nullptr; // roughness
    TTwistedPixel* TP = nullptr;
    QPushButton* Button1 = nullptr; // Preview
    QPushButton* Button2 = nullptr; // Reset
    QPushButton* Button3 = nullptr; // Cancel
    QPushButton* Button4 = nullptr; // Apply

    // Preview: a long job (Esc stops it). A field out of range is refused first, named as
    // the dialog labels it.
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TCorvaneFrame& frame_;
    QPointer<TfrmPicture> target_;
    corvane::gui::PreviewSource source_;
};
