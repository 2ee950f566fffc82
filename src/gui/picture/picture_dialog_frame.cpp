#include "gui/picture/picture_dialog_frame.h"

#include "gui/app/frame.h"

#include <QMdiSubWindow>
#include <QMenu>

namespace corvane::gui {

QMdiSubWindow* placePictureDialog(TCorvaneFrame& frame, QWidget& dialog, QSize clientArea)
{
    auto* window =
        new QMdiSubWindow(nullptr, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                       Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog.setFixedSize(clientArea);
    window->setWidget(&dialog);
    window->setWindowIcon(frame.windowIcon());
    auto* systemMenu = new QMenu(window);
    systemMenu->addAction(QStringLiteral("&Close"), window, &QMdiSubWindow::close);
    window->setSystemMenu(systemMenu);
    frame.AddChildWindow(window);
    window->adjustSize();
    window->setFixedSize(window->sizeHint());
    frame.KeepChildInside(window);
    return window;
}

} // namespace corvane::gui
