#include "export/page_drawing.h"

#include "export/outline_renderer.h"
#include "export/painter_relay.h"

#include <QCoreApplication>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace velmar {

QRectF printableArea(const QPagedPaintDevice& device)
{
    const QRect paint = device.pageLayout().paintRectPixels(device.logicalDpiX());
    return QRectF(QPointF(0, 0), QSizeF(paint.size()));
}

double millimetre(const QPaintDevice& device) { return device.logicalDpiX() / 25.4; }

QTransform fittingTransform(QSize area, const QRectF& target)
{
    if (area.isEmpty() || target.isEmpty())
        return QTransform(0, 0, 0, 0, target.center().x(), target.center().y());
    const double scale = std::min(target.width() / area.width(), target.height() / area.height());
    const QPointF at(target.center().x() - area.width() * scale / 2, target.center().y() - area.height() * scale / 2);
    return QTransform::fromScale(scale, scale) * QTransform::fromTranslate(at.x(), at.y());
}

void drawOutline(QPainter& painter, const OutlineRenderer& renderer, const QTransform& transform)
{
    const QSize area = renderer.size();
    if (area.isEmpty())
        return;
    painter.save();
    painter.setTransform(transform, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    {
        PainterRelay relay(painter, area);
        QPainter relayed(&relay);
        renderer.paint(relayed);
    }
    painter.restore();
}

QString deviceRefused()
{
    return QCoreApplication::translate("OutlinePrint", "Не удалось напечатать конспект: %1.")
        .arg(QCoreApplication::translate("OutlinePrint", "принтер недоступен или файл не удаётся записать"));
}

}  // namespace velmar
