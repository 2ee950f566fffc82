#include "gui/draw3d/view_drag.h"

#include "common/round_half_even.h"
#include "gui/draw3d/draw3d_panel.h"

#include <QMouseEvent>

namespace corvane::gui {

ViewOptions viewAfterDrag(const ViewOptions& view, Qt::MouseButtons buttons,
                          Qt::KeyboardModifiers keys, QPoint last, QPoint now, int panelHeight)
{
    ViewOptions v = view;
    // The keypad flag says where a key came from, not which key is held.
    keys &= ~Qt::KeypadModifier;
    if (buttons == Qt::RightButton && keys == Qt::NoModifier) {
        if (panelHeight <= 0)
            return v;
        const long long zoom =
            corvane::roundHalfEven((last.y() - now.y()) * 100.0 / panelHeight) + view.zoom;
        if (zoom > 0 && zoom <= 1000000)
            v.zoom = int(zoom);
    } else if (buttons == Qt::LeftButton && keys == Qt::ShiftModifier) {
        v.horizOffset += now.x() - last.x();
        v.vertOffset += now.y() - last.y();
    } else if (buttons == Qt::LeftButton && keys == Qt::NoModifier) {
        v.elevation += now.y() - last.y();
        v.rotation -= now.x() - last.x();
    }
    return v;
}

void dragView(TDraw3D& panel, const QMouseEvent& event, QPoint& last)
{
    const QPoint now = event.position().toPoint();
    panel.SetView(
        viewAfterDrag(panel.View(), event.buttons(), event.modifiers(), last, now, panel.height()));
    last = now;
}

void ViewDrag::press(const QMouseEvent& event)
{
    last_ = event.position().toPoint();
    boxOnly_ = true;
}

void ViewDrag::move(TDraw3D& panel, const QMouseEvent& event)
{
    dragView(panel, event, last_);
}

void ViewDrag::release(TDraw3D& panel)
{
    boxOnly_ = false;
    panel.Repaint();
}

ViewOptions topView(ViewOptions view)
{
    view.rotation = view.elevation = view.tilt = 0;
    return view;
}

ViewOptions isometricView(ViewOptions view)
{
    view.rotation = 345;
    view.elevation = 300;
    view.tilt = 0;
    return view;
}

} // namespace corvane::gui
