// TfrmResize: resizes the picture window it works on by a typed ratio.
#pragma once

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QPushButton;
namespace corvane::gui {
class WindowFrame;
}
class TfrmPicture;

class TfrmResize : public QWidget {
public:
    // Works on the target until either closes.
    TfrmResize(corvane::gui::WindowFrame& frame, TfrmPicture& target);

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
    QPointer<TfrmPicture> target_;
};
