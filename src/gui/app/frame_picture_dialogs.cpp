// The frame's openers of the picture dialogs.
#include "gui/app/frame.h"
#include "gui/picture/adjustment_dialog.h"
#include "gui/picture/lambert_dialog.h"
#include "gui/picture/resize_dialog.h"

TfrmAdjustment1* TCorvaneFrame::OpenAdjustment(TfrmPicture& target)
{
    // Owned by its sub-window, which frees both when the dialog closes.
    return new TfrmAdjustment1(*this, target);
}

TfrmLambert* TCorvaneFrame::OpenTextureShade(TfrmPicture& target)
{
    return new TfrmLambert(*this, target);
}

TfrmResize* TCorvaneFrame::OpenResize(TfrmPicture& target)
{
    return new TfrmResize(*this, target);
}
