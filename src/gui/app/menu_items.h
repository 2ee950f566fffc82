// The named menu items of a child window: each runs its handler through guardedCall (so an
// error is reported, never thrown through Qt), and each can be found again by its name.
#pragma once

#include <QString>
#include <functional>
#include <map>

class QAction;
class QMenu;
class QObject;

namespace corvane::gui {

class MenuItems {
public:
    // Adds an item to the menu; `owner` ends the connection when it goes.
    QAction* add(QMenu& menu, QObject& owner, const QString& name, const QString& caption,
                 std::function<void()> handler);
    // Puts an action made elsewhere (one of the frame's own commands) into the menu under
    // that name, so that its state and shortcut are one and the same in both menu bars.
    QAction* share(QMenu& menu, const QString& name, QAction* action);
    // Names an action made elsewhere (a separator, a submenu's own action).
    void remember(const QString& name, QAction* action) { items_[name] = action; }
    // Null when there is no item of that name.
    QAction* find(const QString& name) const;

private:
    std::map<QString, QAction*> items_;
};

} // namespace corvane::gui
