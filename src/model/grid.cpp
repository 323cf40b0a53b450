#include "model/grid.h"

#include "model/arrow_attachment.h"
#include "model/object_kinds.h"
#include "model/outline.h"

#include <QCoreApplication>

#include <climits>

namespace velmar {

namespace {

// A size that would snap to 0 keeps its value: snapping never makes an object invisible (and,
// like every snap, never makes it larger).
int snapSize(int value, int step)
{
    const int snapped = snapValue(value, step);
    return snapped == 0 ? value : snapped;
}

QRect snapRect(const QRect& r, int step)
{
    return QRect(snapValue(r.x(), step), snapValue(r.y(), step), snapSize(r.width(), step), snapSize(r.height(), step));
}

}  // namespace

int snapValue(int value, int step)
{
    if (step <= 1)
        return value;
    // Integer division truncates toward zero, and so does the snap.
    return value / step * step;
}

void snapToGrid(Outline& outline, int step)
{
    forEachObject(outline, [step](auto tag, auto& object, int) {
        if constexpr (decltype(tag)::Traits::snapsToGrid)
            object.bounds = snapRect(object.bounds, step);
    });
    // Arrows keep their exact places, but an attached end goes where its object went.
    followAttachments(outline);
}

int grownGridStep(int step)
{
    if (step < 1)
        return 1;
    return step == INT_MAX ? step : step + 1;
}

int shrunkGridStep(int step) { return step <= 1 ? 1 : step - 1; }

QString growGridCaption(int step) { return QCoreApplication::translate("Grid", "Увеличить сетку %1+1").arg(step); }

QString shrinkGridCaption(int step) { return QCoreApplication::translate("Grid", "Уменьшить сетку %1-1").arg(step); }

}  // namespace velmar
