// TfrmLambert: "3D Texture Shade" of a copy of the picture (of its selection, when there is
// one), previewed in its own imaging control and put back in place in the picture window on
// Apply.
#pragma once

#include "gui/picture/preview_support.h"

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QPushButton;
namespace corvane::gui {
class WindowFrame;
}
class TfrmPicture;
class TTwistedPixel;

class TfrmLambert : public QWidget {
public:
    // Shown and active in its own sub-window, previewing a copy of the target's selection
    // (or of its whole picture); works on the target until either closes.
    TfrmLambert(corvane::gui::WindowFrame& frame, TfrmPicture& target);

    // --- controls, for tests ---
    QLineEdit* latitudeEdit() const { return latitudeEdit_; }
    QLineEdit* longitudeEdit() const { return longitudeEdit_; }
    QLineEdit* roughnessEdit() const { return roughnessEdit_; }
    TTwistedPixel* preview() const { return preview_; }
    QPushButton* previewButton() const { return previewButton_; }
    QPushButton* resetButton() const { return resetButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    QPushButton* applyButton() const { return applyButton_; }

    // Preview: a long job (Esc stops it). A field out of range is refused first, named as
    // the dialog labels it.
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* latitudeEdit_ = nullptr;
    QLineEdit* longitudeEdit_ = nullptr;
    QLineEdit* roughnessEdit_ = nullptr;
    TTwistedPixel* preview_ = nullptr;
    QPushButton* previewButton_ = nullptr;
    QPushButton* resetButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* applyButton_ = nullptr;
    corvane::gui::WindowFrame& frame_;
    QPointer<TfrmPicture> target_;
    corvane::gui::PreviewSource source_;
};
