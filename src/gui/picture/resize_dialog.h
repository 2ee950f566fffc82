// TfrmResize: resizes the picture window it works on by a typed ratio.
#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;
class TCorvaneFrame;

class TfrmResize : public QWidget {
public:
    explicit TfrmResize(TCorvaneFrame& frame);

    QLineEdit* Edit1 = nullptr;     // ratio
    QPushButton* Button1 = nullptr; // Resize
    QPushButton* Button2 = nullptr; // Cancel

    void Button1Click();
    void Button2Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TCorvaneFrame& frame_;
};
