// The DNC view's menu bar, which takes the place of the frame's while the view is active.
#include "gui/app/child_menus.h"
#include "gui/dnc/dnc_window.h"

#include <QMenu>

void TfrmDnc::buildMenus()
{
    QMenu* file = newMenu(QStringLiteral("&File"));
    corvane::gui::addFrameFileItems(items_, *file, frame_);
    addSeparator(*file, QStringLiteral("N1"));
    addCloseAndExit(*file);

    QMenu* view = newViewMenu();
    addSeparator(*view, QStringLiteral("N2"));
    addItem(*view, QStringLiteral("Simulate1"), QStringLiteral("&Simulate..."),
            [this] { Simulate1Click(); });

    setMenus({file, view});
}
