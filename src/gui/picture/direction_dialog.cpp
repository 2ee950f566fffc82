#include "gui/picture/direction_dialog.h"

#include "gui/app/help_pages.h"

TfrmDirection::TfrmDirection(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmDirection"));
    setWindowTitle(QStringLiteral("Light Direction"));
    corvane::gui::setHelpContext(*this, corvane::gui::HelpPictureDialogs);
}
