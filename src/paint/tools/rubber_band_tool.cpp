#include "paint/tools/rubber_band_tool.h"

#include "paint/core/paint_document.h"

#include <cstring>

namespace velmar::paint {

namespace {

// Copies the picture into the snapshot, reusing the snapshot's buffer between strokes.
void takeSnapshot(QImage& snapshot, const QImage& picture)
{
    if (snapshot.size() != picture.size() || snapshot.format() != picture.format() ||
        snapshot.bytesPerLine() != picture.bytesPerLine()) {
        snapshot = picture.copy();
        return;
    }
    std::memcpy(snapshot.bits(), picture.constBits(), std::size_t(picture.sizeInBytes()));
}

void restore(QImage& picture, const QImage& snapshot, const QRect& area)
{
    const QRect r = area.intersected(picture.rect()).intersected(snapshot.rect());
    if (r.isEmpty())
        return;
    const std::size_t bytes = std::size_t(r.width()) * 4;
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::memcpy(picture.scanLine(y) + r.left() * 4, snapshot.constScanLine(y) + r.left() * 4,
                    bytes);
}

}  // namespace

void RubberBandTool::press(ToolContext& ctx, const ToolInput& in)
{
    pressed(ctx, in);
    takeSnapshot(ctx.stroke().snapshot, ctx.document().picture());
    ctx.stroke().strokeStart = in.pos;
    m_band = QRect();
    m_active = true;
}

void RubberBandTool::move(ToolContext& ctx, const ToolInput& in)
{
    PaintDocument& doc = ctx.document();
    if (!m_active || !doc.buttonDown())
        return;
    QImage& picture = doc.mutablePicture();
    restore(picture, ctx.stroke().snapshot, m_band);
    QRect drawn;
    {
        QPainter painter(&picture);
        drawn = drawFigure(ctx, painter, in).intersected(picture.rect());
    }
    doc.notifyChanged(m_band | drawn);
    m_band = drawn;
}

bool RubberBandTool::cancel(ToolContext& ctx)
{
    if (!m_active)
        return false;
    PaintDocument& doc = ctx.document();
    restore(doc.mutablePicture(), ctx.stroke().snapshot, m_band);
    doc.notifyChanged(m_band);
    doc.mutableStatus().bandSize.clear();
    doc.notifyStatus();
    m_active = false;
    m_band = QRect();
    return true;
}

void RubberBandTool::release(ToolContext&, const ToolInput&)
{
    m_active = false;
    m_band = QRect();
}

}  // namespace velmar::paint
