// What the frame needs to know of a kind of child window (picture window, mesh view, DNC
// view, Cut Preview). A new kind derives from QWidget and TChildWindow and is placed in the
// frame with WindowFrame::AddChildWindow; the frame then shows the child's menu bar in place
// of its own while the child is active, tells it when it becomes active, passes it the
// clicks of the frame's picture tool buttons, and lets it recover after a failed handler.
#pragma once

#include <QList>

class QMenu;

// The frame's tool buttons that act on the active child.
enum class FrameTool { Save, Cut, Copy, Paste };

class TChildWindow {
public:
    virtual ~TChildWindow() = default;
    // The menus of this window's menu bar, in order; empty keeps the frame's menu bar.
    virtual QList<QMenu*> ChildMenus() const = 0;
    // Called each time the window becomes the active child.
    virtual void FormActivate() {}
    // A tool button pressed while this window is the active child.
    virtual void ToolClick(FrameTool) {}
    // An error escaped one of the program's handlers while this window was active.
    virtual void RecoverFromError() {}
};
