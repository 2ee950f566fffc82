#include "gui/toolpaths/toolpaths_dialog.h"

TfrmToolPaths::TfrmToolPaths(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmToolPaths"));
    setWindowTitle(QStringLiteral("Tool Paths"));
}
