// TfrmLambert: "3D Texture Shade" of a copy of the picture, previewed in its own imaging
// control and copied back into the picture window on Apply.
#pragma once

#include "imaging/picture.h"

#include <QWidget>

class QLineEdit;
class QPushButton;
namespace corvane::gui {
class WindowFrame;
}
class TTwistedPixel;

class TfrmLambert : public QWidget {
public:
    TfrmLambert(corvane::gui::WindowFrame& frame, const corvane::imaging::Picture& picture);

    // --- controls, for tests ---
    QLineEdit* latitudeEdit() const { return latitudeEdit_; }
    QLineEdit* longitudeEdit() const { return longitudeEdit_; }
    QLineEdit* roughnessEdit() const { return roughnessEdit_; }
    TTwistedPixel* preview() const { return preview_; }
    QPushButton* previewButton() const { return previewButton_; }
    QPushButton* resetButton() const { return resetButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    QPushButton* applyButton() const { return applyButton_; }

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
    corvane::imaging::Picture original_;
};
