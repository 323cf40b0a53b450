#pragma once

#include <QRectF>
#include <QSize>
#include <QString>
#include <QTransform>

class QPagedPaintDevice;
class QPainter;
class QPaintDevice;

namespace velmar {

class OutlineRenderer;

// The printable area of a page in the coordinates of a painter on the device: its origin is the
// area's top-left corner.
QRectF printableArea(const QPagedPaintDevice& device);

// Device units per millimetre.
double millimetre(const QPaintDevice& device);

// The transformation that fits a drawn area into a target rectangle, its aspect kept, centred.
QTransform fittingTransform(QSize area, const QRectF& target);

// Draws the renderer's area under the painter's transformation times `transform`, as vectors and
// text (through a relay: widgets rendered straight onto a printer arrive as one bitmap).
void drawOutline(QPainter& painter, const OutlineRenderer& renderer, const QTransform& transform);

// "Не удалось напечатать …: %1." with the reason that the device cannot be painted on.
QString deviceRefused();

}  // namespace velmar
