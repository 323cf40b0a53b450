#include "paint/tools/rubber_band_tool.h"

#include "paint/core/paint_document.h"

#include <algorithm>
#include <cstring>

namespace velmar::paint {

void RubberBandTool::putBackUnder(QImage& picture)
{
    const QRect r = m_band.intersected(picture.rect());
    const std::size_t bytes = std::size_t(r.width()) * 4;
    for (int y = 0; y < r.height(); ++y)
        std::memcpy(picture.scanLine(r.top() + y) + r.left() * 4, m_under.constScanLine(y), bytes);
}

void RubberBandTool::keepUnder(const QImage& picture, const QRect& area)
{
    if (area.isEmpty())
        return;
    // The buffer only grows during a stroke, so a figure dragged to and fro allocates nothing.
    if (m_under.width() < area.width() || m_under.height() < area.height())
        m_under = QImage(std::max(m_under.width(), area.width()), std::max(m_under.height(), area.height()),
                         QImage::Format_RGB32);
    const std::size_t bytes = std::size_t(area.width()) * 4;
    for (int y = 0; y < area.height(); ++y)
        std::memcpy(m_under.scanLine(y), picture.constScanLine(area.top() + y) + area.left() * 4, bytes);
}

void RubberBandTool::press(ToolContext& ctx, const ToolInput& in)
{
    pressed(ctx, in);
    ctx.stroke().strokeStart = in.pos;
    m_band = QRect();
    m_active = true;
}

void RubberBandTool::move(ToolContext& ctx, const ToolInput& in)
{
    PaintDocument& doc = ctx.document();
    if (!m_active || !doc.buttonDown())
        return;
    const QRect bounds = figureBounds(ctx, in).intersected(doc.picture().rect());
    QImage& picture = doc.mutablePicture(m_band | bounds);
    putBackUnder(picture);
    keepUnder(picture, bounds);
    {
        QPainter painter(&picture);
        painter.setClipRect(bounds);
        drawFigure(ctx, painter, in);
    }
    doc.notifyChanged(m_band | bounds);
    m_band = bounds;
}

bool RubberBandTool::cancel(ToolContext& ctx)
{
    if (!m_active)
        return false;
    PaintDocument& doc = ctx.document();
    // The pixels kept under the figure put the picture back as it was before the press.
    putBackUnder(doc.mutablePicture(m_band));
    doc.notifyChanged(m_band);
    doc.mutableStatus().bandSize.clear();
    doc.notifyStatus();
    m_active = false;
    m_band = QRect();
    m_under = QImage();
    return true;
}

void RubberBandTool::release(ToolContext&, const ToolInput&)
{
    m_active = false;
    m_band = QRect();
    m_under = QImage();
}

}  // namespace velmar::paint
