// While a surface run lets pending events through at its checkpoints, only the running
// dialog (and a modal prompt or popup it opens) may take user input. A click on another
// window's command, a shortcut or a close could otherwise rebuild or empty the height grid,
// or start a second run, under the running loop. Esc passes everywhere: it is how the user
// abandons the job.
#pragma once

#include <QObject>

class QWidget;

namespace corvane::gui {

class RunInputGuard : public QObject {
public:
    // Guards from construction to destruction; `dialog` is the running dialog, or null when
    // the job runs from a window that must take no input at all until it ends.
    explicit RunInputGuard(QWidget* dialog);
    ~RunInputGuard() override;
    RunInputGuard(const RunInputGuard&) = delete;
    RunInputGuard& operator=(const RunInputGuard&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool mayReceive(const QWidget* target) const;

    QWidget* dialog_;
};

} // namespace corvane::gui
