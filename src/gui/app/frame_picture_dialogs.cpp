// The frame's openers of the picture dialogs, and how those dialogs find their picture.
#include "gui/app/frame.h"
#include "gui/app/shared_state.h"
#include "gui/picture/adjustment_dialog.h"
#include "gui/picture/lambert_dialog.h"
#include "gui/picture/picture_window.h"
#include "gui/picture/resize_dialog.h"

#include <QMdiSubWindow>

TfrmAdjustment1* TCorvaneFrame::OpenAdjustment(const corvane::imaging::Picture& picture)
{
    // Owned by its sub-window, which frees both when the dialog closes.
    return new TfrmAdjustment1(*this, picture);
}

TfrmLambert* TCorvaneFrame::OpenTextureShade(const corvane::imaging::Picture& picture)
{
    return new TfrmLambert(*this, picture);
}

TfrmResize* TCorvaneFrame::OpenResize()
{
    return new TfrmResize(*this);
}

TfrmPicture* TCorvaneFrame::TargetPicture() const
{
    const QList<QMdiSubWindow*> children = ChildWindows();
    const int index = corvane::gui::shared().TargetChildIndex;
    if (index < 0 || index >= children.size())
        return nullptr;
    return dynamic_cast<TfrmPicture*>(children[index]->widget());
}
