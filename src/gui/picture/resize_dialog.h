// TfrmResize: resizes the picture window it works on by a typed ratio.
#pragma once

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QPushButton;
class TCorvaneFrame;
class TfrmPicture;

class TfrmResize : public QWidget {
public:
    // Works on the target until either closes.
    TfrmResize(TCorvaneFrame& frame, TfrmPicture& target);

    QLineEdit* Edit1 = nullptr;     // ratio
    QPushButton* Button1 = nullptr; // Resize
    QPushButton* Button2 = nullptr; // Cancel

    void Button1Click();
    void Button2Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TCorvaneFrame& frame_;
    QPointer<TfrmPicture> target_;
};
