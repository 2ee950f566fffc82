// The dialog's buttons: Create reads the fields and has the target mesh view build its
// regions; Undo and Clear act on the view's list; Cancel and Esc stop a running Create.
#include "common/error.h"
#include "gui/app/hourglass.h"
#include "gui/app/long_run.h"
#include "gui/app/prompts.h"
#include "gui/app/shared_state.h"
#include "gui/app/window_frame.h"
#include "gui/mesh/dxf_view.h"
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
    if (!view || run_->running())
        return;
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

    run_->run([&](corvane::RunControl& control) {
        if (grid)
            view->CreateGridRegions(run, control);
        else
            view->CreateRegions(run, control);
        return !control.escapePressed();
    });
    undoButton_->setEnabled(true);
}

void TfrmToolPaths::Button3Click()
{
    TfrmDXFView* view = TargetView();
    if (!view || run_->running())
        return;
    view->UndoRegions();
    undoButton_->setEnabled(false);
}

void TfrmToolPaths::btnClearClick()
{
    TfrmDXFView* view = TargetView();
    if (!view || run_->running())
        return;
    view->ClearRegions();
}

void TfrmToolPaths::Button2Click()
{
    // Cancel stands for Esc: a running Create stops. It always dismisses the dialog, even
    // when its view is gone.
    frame_.PressEscape();
    hide();
}
