#include "export/painter_relay.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>

namespace velmar {

// Passes every state change and drawing call of the relay's painter on to the target painter.
class PainterRelay::Engine : public QPaintEngine {
public:
    explicit Engine(QPainter& target)
        : QPaintEngine(QPaintEngine::AllFeatures), m_target(target), m_base(target.transform())
    {
    }

    bool begin(QPaintDevice*) override
    {
        m_target.save();
        return true;
    }
    bool end() override
    {
        m_target.restore();
        return true;
    }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& state) override
    {
        const DirtyFlags dirty = state.state();
        if (dirty & DirtyPen)
            m_target.setPen(state.pen());
        if (dirty & DirtyBrush)
            m_target.setBrush(state.brush());
        if (dirty & DirtyBrushOrigin)
            m_target.setBrushOrigin(state.brushOrigin());
        if (dirty & DirtyFont)
            m_target.setFont(state.font());
        if (dirty & DirtyBackground)
            m_target.setBackground(state.backgroundBrush());
        if (dirty & DirtyBackgroundMode)
            m_target.setBackgroundMode(state.backgroundMode());
        // The transformation first: a clip is given in the coordinates it set up.
        if (dirty & DirtyTransform)
            m_target.setTransform(state.transform() * m_base);
        if (dirty & DirtyClipRegion)
            m_target.setClipRegion(state.clipRegion(), state.clipOperation());
        if (dirty & DirtyClipPath)
            m_target.setClipPath(state.clipPath(), state.clipOperation());
        if (dirty & DirtyClipEnabled)
            m_target.setClipping(state.isClipEnabled());
        if (dirty & DirtyHints)
            m_target.setRenderHints(state.renderHints());
        if (dirty & DirtyCompositionMode)
            m_target.setCompositionMode(state.compositionMode());
        if (dirty & DirtyOpacity)
            m_target.setOpacity(state.opacity());
    }

    void drawPath(const QPainterPath& path) override { m_target.drawPath(path); }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        if (mode == PolylineMode)
            m_target.drawPolyline(points, count);
        else
            m_target.drawPolygon(points, count, mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    }
    void drawPolygon(const QPoint* points, int count, PolygonDrawMode mode) override
    {
        if (mode == PolylineMode)
            m_target.drawPolyline(points, count);
        else
            m_target.drawPolygon(points, count, mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    }
    void drawRects(const QRectF* rects, int count) override { m_target.drawRects(rects, count); }
    void drawRects(const QRect* rects, int count) override { m_target.drawRects(rects, count); }
    void drawLines(const QLineF* lines, int count) override { m_target.drawLines(lines, count); }
    void drawLines(const QLine* lines, int count) override { m_target.drawLines(lines, count); }
    void drawEllipse(const QRectF& rect) override { m_target.drawEllipse(rect); }
    void drawEllipse(const QRect& rect) override { m_target.drawEllipse(rect); }
    void drawPoints(const QPointF* points, int count) override { m_target.drawPoints(points, count); }
    void drawPoints(const QPoint* points, int count) override { m_target.drawPoints(points, count); }
    void drawPixmap(const QRectF& rect, const QPixmap& pixmap, const QRectF& source) override
    {
        m_target.drawPixmap(rect, pixmap, source);
    }
    void drawTiledPixmap(const QRectF& rect, const QPixmap& pixmap, const QPointF& offset) override
    {
        m_target.drawTiledPixmap(rect, pixmap, offset);
    }
    void drawImage(const QRectF& rect, const QImage& image, const QRectF& source,
                   Qt::ImageConversionFlags flags) override
    {
        m_target.drawImage(rect, image, source, flags);
    }
    void drawTextItem(const QPointF& at, const QTextItem& item) override { m_target.drawTextItem(at, item); }

private:
    QPainter& m_target;
    QTransform m_base;
};

PainterRelay::PainterRelay(QPainter& target, QSize size) : m_engine(std::make_unique<Engine>(target)), m_size(size)
{
    const QPicture recording;
    m_dpiX = recording.logicalDpiX();
    m_dpiY = recording.logicalDpiY();
}

PainterRelay::~PainterRelay() = default;

QPaintEngine* PainterRelay::paintEngine() const { return m_engine.get(); }

int PainterRelay::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth: return m_size.width();
    case PdmHeight: return m_size.height();
    case PdmWidthMM: return int(m_size.width() * 25.4 / m_dpiX);
    case PdmHeightMM: return int(m_size.height() * 25.4 / m_dpiY);
    case PdmNumColors: return INT_MAX;
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmPhysicalDpiX: return m_dpiX;
    case PdmDpiY:
    case PdmPhysicalDpiY: return m_dpiY;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
    default: return QPaintDevice::metric(metric);
    }
}

}  // namespace velmar
