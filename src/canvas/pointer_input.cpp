#include "canvas/pointer_input.h"

#include <QMouseEvent>
#include <QWidget>

namespace velmar {

PointerInput pointerInput(const QMouseEvent& event, const QWidget* canvas)
{
    PointerInput in;
    in.pos = canvas->mapFromGlobal(event.globalPosition().toPoint());
    in.button = event.button();
    in.shift = event.modifiers() & Qt::ShiftModifier;
    in.alt = event.modifiers() & Qt::AltModifier;
    in.ctrl = event.modifiers() & Qt::ControlModifier;
    in.doubleClick = event.type() == QEvent::MouseButtonDblClick;
    in.time = event.timestamp();
    return in;
}

}  // namespace velmar
