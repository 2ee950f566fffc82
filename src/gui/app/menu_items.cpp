#include "gui/app/menu_items.h"

#include "gui/app/exception_hook.h"

#include <QAction>
#include <QMenu>

namespace corvane::gui {

QAction* MenuItems::add(QMenu& menu, QObject& owner, const QString& name, const QString& caption,
                        std::function<void()> handler)
{
    QAction* action = menu.addAction(caption);
    action->setObjectName(name);
    QObject::connect(action, &QAction::triggered, &owner, guardedCall(std::move(handler)));
    items_[name] = action;
    return action;
}

QAction* MenuItems::share(QMenu& menu, const QString& name, QAction* action)
{
    if (action)
        menu.addAction(action);
    items_[name] = action;
    return action;
}

QAction* MenuItems::find(const QString& name) const
{
    const auto found = items_.find(name);
    return found == items_.end() ? nullptr : found->second;
}

} // namespace corvane::gui
