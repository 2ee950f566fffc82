// The dialog's buttons: Create reads the fields and has the target mesh view build its
// regions; Undo and Clear act on the view's list; Cancel and Esc stop a running Create.
#include "common/error.h"
#include "gui/app/exception_hook.h"
#include "gui/app/frame.h"
#include "gui/app/gui_run_control.h"
#include "gui/app/hourglass.h"
#include "gui/app/prompts.h"
#include "gui/app/shared_state.h"
#include "gui/mesh/dxf_view.h"
#include "gui/relief/run_input_guard.h"
#include "gui/toolpaths/toolpaths_dialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <exception>
#include <optional>

using corvane::gui::shared;

void TfrmToolPaths::refuse(const QString& text)
{
    corvane::gui::NormalCursor arrow;
    corvane::gui::prompts().message(corvane::gui::MessageKind::Warning, QStringLiteral("Warning"),
                                    text, corvane::gui::ButtonOk);
}

void TfrmToolPaths::Button1Click()
{
    TfrmDXFView* view = TargetView();
    // The builder lets events through: a second Create, an Undo or a Clear then would change
    // the list the first one appends to.
    if (!view || running_)
        return;
    shared().EscapePressed = false;
    // What the window was opened as decides the source, not the job another window started.
    const bool grid = view->IsVectorConversion();
    const corvane::toolpaths::ToolpathsFields fields = Fields();
    if (const auto problem = corvane::toolpaths::toolpathsFieldsProblem(fields, grid)) {
        refuse(QString::fromStdString(*problem));
        return;
    }
    const corvane::toolpaths::ToolpathsRun run =
        corvane::toolpaths::readToolpathsFields(fields, grid, shared().VectorGridColumns);
    shared().RapidHeight = run.rapidHeight;

    std::optional<QString> failure;
    running_ = true;
    {
        corvane::gui::Hourglass busy;
        corvane::gui::RunInputGuard guard(this);
        corvane::gui::GuiRunControl control(frame_.StatusBar1());
        failure = corvane::gui::failureOf([&] {
            if (grid)
                view->CreateGridRegions(run, control);
            else
                view->CreateRegions(run, control);
        });
        if (failure) {
            frame_.StatusBar1().setGaugeVisible(false);
            frame_.StatusBar1().setText(0, QStringLiteral("Failed: ") + *failure);
        }
    }
    running_ = false;
    if (shared().EscapePressed)
        frame_.StatusBar1().setText(0, QStringLiteral("Process Cancelled..."));
    shared().EscapePressed = false;
    undoButton->setEnabled(true);
    if (failure)
        refuse(*failure);
}

void TfrmToolPaths::Button3Click()
{
    TfrmDXFView* view = TargetView();
    if (!view || running_)
        return;
    view->UndoRegions();
    undoButton->setEnabled(false);
}

void TfrmToolPaths::btnClearClick()
{
    TfrmDXFView* view = TargetView();
    if (!view || running_)
        return;
    view->ClearRegions();
}

void TfrmToolPaths::Button2Click()
{
    // Stops a running Create; always dismisses the dialog, even when its view is gone.
    shared().EscapePressed = true;
    hide();
}
