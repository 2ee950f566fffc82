// TfrmAdjustment1: colour, brightness and contrast of a copy of the picture (of its
// selection, when there is one), previewed in its own imaging control and put back in place
// in the picture window on Apply.
#pragma once

#include "gui/picture/preview_support.h"

#include <QPointer>
#include <QWidget>
#include <cstdint>

class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
namespace corvane::gui {
class WindowFrame;
}
class TfrmPicture;
class TTwistedPixel;

class TfrmAdjustment1 : public QWidget {
public:
    // Shown and active in its own sub-window, previewing a copy of the target's selection
    // (or of its whole picture); works on the target until either closes.
    TfrmAdjustment1(corvane::gui::WindowFrame& frame, TfrmPicture& target);
    // The channel the sliders act on: 0 blue, 1 green, 2 red, 3 all.
    std::uint8_t Channel() const { return channel_; }

    // --- controls, for tests ---
    QSlider* redSlider() const { return redSlider_; }
    QSlider* greenSlider() const { return greenSlider_; }
    QSlider* blueSlider() const { return blueSlider_; }
    QSlider* brightnessSlider() const { return brightnessSlider_; }
    QSlider* contrastSlider() const { return contrastSlider_; }
    QLabel* redPercent() const { return redPercent_; }
    QLabel* greenPercent() const { return greenPercent_; }
    QLabel* bluePercent() const { return bluePercent_; }
    QLabel* brightnessPercent() const { return brightnessPercent_; }
    QLabel* contrastPercent() const { return contrastPercent_; }
    TTwistedPixel* preview() const { return preview_; }
    QPushButton* previewButton() const { return previewButton_; }
    QPushButton* resetButton() const { return resetButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    QPushButton* applyButton() const { return applyButton_; }
    QRadioButton* redButton() const { return redButton_; }
    QRadioButton* greenButton() const { return greenButton_; }
    QRadioButton* blueButton() const { return blueButton_; }
    QRadioButton* allButton() const { return allButton_; }

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();

    // The contrast slider's position as the low end of AdjustContrast (the high end is 255
    // minus it): 125% of the position, halves to even.
    static int ContrastLow(int position);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QSlider* redSlider_ = nullptr;
    QSlider* greenSlider_ = nullptr;
    QSlider* blueSlider_ = nullptr;
    QSlider* brightnessSlider_ = nullptr;
    QSlider* contrastSlider_ = nullptr;
    QLabel* redPercent_ = nullptr;
    QLabel* greenPercent_ = nullptr;
    QLabel* bluePercent_ = nullptr;
    QLabel* brightnessPercent_ = nullptr;
    QLabel* contrastPercent_ = nullptr;
    TTwistedPixel* preview_ = nullptr;
    QPushButton* previewButton_ = nullptr;
    QPushButton* resetButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* applyButton_ = nullptr;
    QRadioButton* redButton_ = nullptr;
    QRadioButton* greenButton_ = nullptr;
    QRadioButton* blueButton_ = nullptr;
    QRadioButton* allButton_ = nullptr;
    std::uint8_t channel_ = 3;
    void FormCreate(TfrmPicture& target);
    QSlider* addSlider(const QString& label, const QString& hint, int top, int minimum,
                       QLabel*& percent);
    void SliderChange(QSlider* slider, QLabel* percent);

    corvane::gui::WindowFrame& frame_;
    QPointer<TfrmPicture> target_;
    // What Reset goes back to, even when more previews were made than the undo keeps, and
    // where Apply puts the preview.
    corvane::gui::PreviewSource source_;
};
