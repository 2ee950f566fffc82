// What a mouse drag on a 3D window does to the panel's view options. The buttons and keys
// held are compared as a whole, so an extra key or button makes a drag do nothing:
//   right button alone       zoom: dragging up zooms in, by 100 percent per panel height
//   Shift with left button   pan: the offsets follow the mouse
//   left button alone        rotate: elevation follows y, rotation goes against x
#pragma once

#include "gui/draw3d/view_projection.h"

#include <QPoint>

class QMouseEvent;
#include <Qt>

namespace corvane::gui {

class TDraw3D;

// The view after the mouse moved from `last` to `now`. A zoom that would come to 0 or less
// leaves the zoom as it was; so does a panel without height.
ViewOptions viewAfterDrag(const ViewOptions& view, Qt::MouseButtons buttons,
                          Qt::KeyboardModifiers keys, QPoint last, QPoint now, int panelHeight);

// A mouse move over the panel of a 3D window: the panel's view follows the drag from `last`,
// which then becomes the event's position.
void dragView(TDraw3D& panel, const QMouseEvent& event, QPoint& last);

// The drag of a 3D window's view: while a button is held the window draws only its box, so
// that even a drawing of millions of lines follows the mouse; the whole drawing comes back
// when the button is let go.
class ViewDrag {
public:
    void press(const QMouseEvent& event);
    void move(TDraw3D& panel, const QMouseEvent& event);
    void release(TDraw3D& panel);
    bool boxOnly() const { return boxOnly_; }

private:
    QPoint last_;
    bool boxOnly_ = false;
};

// The two views every 3D window offers; the zoom and offsets stay as they are.
ViewOptions topView(ViewOptions view);       // 0 / 0 / 0
ViewOptions isometricView(ViewOptions view); // 345 / 300 / 0

} // namespace corvane::gui
