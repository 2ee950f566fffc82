#include "gui/picture/picture_dialog_frame.h"

#include "gui/app/dialog_title.h"
#include "gui/app/frame.h"
#include "gui/app/window_frame.h"
#include "gui/picture/picture_window.h"

#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QWidget>

namespace corvane::gui {

QMdiSubWindow* placePictureDialog(WindowFrame& frame, QWidget& dialog, QSize clientArea,
                                  TfrmPicture& target)
{
    auto* window =
        new QMdiSubWindow(nullptr, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                       Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog.setFixedSize(clientArea);
    const QString caption = dialog.windowTitle();
    dialog.setWindowTitle(dialogTitleFor(caption, target));
    QObject::connect(&target, &QWidget::windowTitleChanged, &dialog, [&dialog, &target, caption] {
        dialog.setWindowTitle(dialogTitleFor(caption, target));
    });
    // A closed picture window is freed right after; the dialog goes with it. While the frame
    // itself is torn down (CorvaneFrame() is null then) the area frees every window anyway.
    QObject::connect(&target, &QObject::destroyed, window, [window] {
        if (CorvaneFrame())
            window->close();
    });
    window->setWidget(&dialog);
    window->setWindowIcon(frame.Widget().windowIcon());
    auto* systemMenu = new QMenu(window);
    systemMenu->addAction(QStringLiteral("&Close"), window, &QMdiSubWindow::close);
    window->setSystemMenu(systemMenu);
    frame.AddChildWindow(window);
    window->adjustSize();
    window->setFixedSize(window->sizeHint());
    frame.KeepChildInside(window);
    return window;
}

bool pressDialogKey(const QKeyEvent& event, QPushButton* enterButton, QPushButton* escButton)
{
    const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    if (enter && enterButton) {
        enterButton->click();
        return true;
    }
    if (event.key() == Qt::Key_Escape) {
        escButton->click();
        return true;
    }
    return false;
}

void closePictureDialog(QWidget& dialog)
{
    if (auto* window = qobject_cast<QMdiSubWindow*>(dialog.parentWidget()))
        window->close();
}

} // namespace corvane::gui
