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
class TCorvaneFrame;
class TfrmPicture;
class TTwistedPixel;

class TfrmAdjustment1 : public QWidget {
public:
    // Shown and active in its own sub-window, previewing a copy of the target's selection
    // (or of its whole picture); works on the target until either closes.
    TfrmAdjustment1(TCorvaneFrame& frame, TfrmPicture& target);

    QSlider* Slider1 = nullptr; // red
    QSlider* Slider2 = nullptr; // green
    QSlider* Slider3 = nullptr; // blue
    QSlider* Slider4 = nullptr; // brightness
    QSlider* Slider5 = nullptr; // contrast
    QLabel* Percent1 = nullptr;
    QLabel* Percent2 = nullptr;
    QLabel* Percent3 = nullptr;
    QLabel* Percent4 = nullptr;
    QLabel* Percent5 = nullptr;
    TTwistedPixel* TP = nullptr;
    QPushButton* Button1 = nullptr;       // Preview
    QPushButton* Button2 = nullptr;       // Reset
    QPushButton* Button3 = nullptr;       // Cancel
    QPushButton* Button4 = nullptr;       // Apply
    QRadioButton* RadioButton1 = nullptr; // Red
    QRadioButton* RadioButton2 = nullptr; // Green
    QRadioButton* RadioButton3 = nullptr; // Blue
    QRadioButton* RadioButton4 = nullptr; // All
    std::uint8_t Channel = 3;             // 0 blue, 1 green, 2 red, 3 all

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
    void FormCreate(TfrmPicture& target);
    QSlider* addSlider(const QString& label, const QString& hint, int top, int minimum,
                       QLabel*& percent);
    void SliderChange(QSlider* slider, QLabel* percent);

    TCorvaneFrame& frame_;
    QPointer<TfrmPicture> target_;
    // What Reset goes back to, even when more previews were made than the undo keeps, and
    // where Apply puts the preview.
    corvane::gui::PreviewSource source_;
};
