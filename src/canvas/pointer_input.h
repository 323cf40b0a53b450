#pragma once

#include <QPoint>
#include <Qt>

class QMouseEvent;
class QWidget;

namespace velmar {

// One mouse event as the canvas gestures see it, free of the widget that received it: where the
// pointer is in canvas coordinates, the button that changed, the modifier keys and when.
struct PointerInput {
    QPoint pos;                             // canvas coordinates
    Qt::MouseButton button = Qt::NoButton;  // pressed or released; NoButton for a move
    bool shift = false;
    bool alt = false;
    bool ctrl = false;
    bool doubleClick = false;
    quint64 time = 0;  // milliseconds, as the event's timestamp
};

// The input of a mouse event that receiver (the canvas, an object, a handle, any widget of the
// canvas's window) got, placed on the canvas through the receiver's own position of the pointer.
// The screen position is not used: on a screen scaled by a fraction, the window's place in scaled
// pixels is rounded and may lag behind the window manager, while the receiver's position is
// measured from the window itself.
PointerInput pointerInput(const QMouseEvent& event, const QWidget* receiver, const QWidget* canvas);

}  // namespace velmar
