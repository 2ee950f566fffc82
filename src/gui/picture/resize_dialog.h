// TfrmResize: resizes the picture window it works on by a typed ratio.
#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;
namespace corvane::gui {
class WindowFrame;
}

class TfrmResize : public QWidget {
public:
    explicit TfrmResize(corvane::gui::WindowFrame& frame);

    // --- controls, for tests ---
    QLineEdit* ratioEdit() const { return ratioEdit_; }
    QPushButton* resizeButton() const { return resizeButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

    void Button1Click();
    void Button2Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* ratioEdit_ = nullptr;
    QPushButton* resizeButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    corvane::gui::WindowFrame& frame_;
};
