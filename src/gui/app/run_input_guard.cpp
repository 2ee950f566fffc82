#include "gui/app/run_input_guard.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QWidget>

namespace corvane::gui {

namespace {

bool within(const QWidget* area, const QWidget* target)
{
    return area && (area == target || area->isAncestorOf(target));
}

// The widget an event is meant for: the object itself, or for an action or shortcut the
// widget that owns it.
const QWidget* widgetOf(const QObject* object)
{
    for (; object; object = object->parent())
        if (object->isWidgetType())
            return static_cast<const QWidget*>(object);
    return nullptr;
}

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

RunInputGuard::RunInputGuard(QWidget* dialog) : dialog_(dialog)
{
    qApp->installEventFilter(this);
}

RunInputGuard::~RunInputGuard()
{
    qApp->removeEventFilter(this);
}

bool RunInputGuard::mayReceive(const QWidget* target) const
{
    // The dialog's own sub-window counts as the dialog: its title bar and system menu. A
    // top-level dialog's parent is the frame, which must not count.
    const QWidget* host =
        dialog_ ? qobject_cast<const QMdiSubWindow*>(dialog_->parentWidget()) : nullptr;
    if (!host)
        host = dialog_;
    return within(host, target) || within(QApplication::activeModalWidget(), target) ||
           within(QApplication::activePopupWidget(), target);
}

bool RunInputGuard::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Close) {
        // Child windows and the frame stay open until the run is over.
        const bool window =
            qobject_cast<QMdiSubWindow*>(watched) || qobject_cast<QMainWindow*>(watched);
        if (window && !mayReceive(static_cast<QWidget*>(watched))) {
            event->ignore();
            return true;
        }
        return false;
    }
    if (!isUserInput(type))
        return false;
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        return false;
    const QWidget* target = widgetOf(watched);
    if (!target)
        return false; // window-system level: it reaches a widget next, and is judged there
    return !mayReceive(target);
}

} // namespace corvane::gui
