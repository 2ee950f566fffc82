// What the frame needs to know of a kind of child window (picture window, mesh view, DNC
// view). A new kind derives from QWidget and TChildWindow and is placed in the frame with
// TCorvaneFrame::AddChildWindow; the frame then shows the child's menu bar in place of its
// own while the child is active, and tells it when it becomes active.
#pragma once

#include <QList>

class QMenu;

class TChildWindow {
public:
    virtual ~TChildWindow() = default;
    // The menus of this window's menu bar, in order; empty keeps the frame's menu bar.
    virtual QList<QMenu*> ChildMenus() const = 0;
    // Called each time the window becomes the active child.
    virtual void FormActivate() {}
};
