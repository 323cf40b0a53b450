#include "export/svg_drawing.h"

#include "export/svg_text.h"
#include "model/text_metrics.h"

#include <QBuffer>
#include <QImage>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPixmap>
#include <QVarLengthArray>

#include <cmath>

namespace velmar {

namespace {

// A coordinate: whole numbers as such, others to 1/10000 of a pixel.
void appendNumber(QString& out, qreal value)
{
    const qreal rounded = std::nearbyint(value);
    if (std::abs(value - rounded) < 1e-6 && std::abs(rounded) < 1e9) {
        out += QString::number(qint64(rounded));
        return;
    }
    QString text = QString::number(value, 'f', 4);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    out += text;
}

void appendAttribute(QString& out, QLatin1StringView name, qreal value)
{
    out += QLatin1Char(' ');
    out += name;
    out += QLatin1String("=\"");
    appendNumber(out, value);
    out += QLatin1Char('"');
}

// A colour as "#rrggbb" and its alpha as the given opacity attribute when not opaque.
void appendColour(QString& out, QLatin1StringView name, QLatin1StringView opacity, const QColor& colour)
{
    out += QLatin1Char(' ');
    out += name;
    out += QLatin1String("=\"");
    out += colour.name(QColor::HexRgb);
    out += QLatin1Char('"');
    if (colour.alpha() != 255)
        appendAttribute(out, opacity, colour.alphaF());
}

// The colour a brush paints with in this drawing: its own, or for a gradient its middle stop.
QColor brushColour(const QBrush& brush)
{
    if (const QGradient* gradient = brush.gradient(); gradient && !gradient->stops().isEmpty()) {
        const QGradientStops stops = gradient->stops();
        return stops.at(stops.size() / 2).second;
    }
    return brush.color();
}

}  // namespace

void appendXmlEscaped(QString& out, QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        switch (c) {
        case u'&': out += QLatin1String("&amp;"); continue;
        case u'<': out += QLatin1String("&lt;"); continue;
        case u'>': out += QLatin1String("&gt;"); continue;
        case u'"': out += QLatin1String("&quot;"); continue;
        case u'\'': out += QLatin1String("&#39;"); continue;
        default: break;
        }
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 < n && text[i + 1].isLowSurrogate()) {
                out += text[i];
                out += text[++i];
            }
            continue;
        }
        if (QChar::isLowSurrogate(c) || !keptInXml(c))
            continue;
        out += QChar(c);
    }
}

QString svgFontFamily(const QString& family)
{
    QString name = family;
    name.remove(QLatin1Char('\'')).remove(QLatin1Char('\\'));
    const QString generic = genericFamilyOf(family);
    QString value = QLatin1Char('\'') + name + QStringLiteral("', ") + generic;
    // A font the browser lacks falls back to a sans-serif one, as it does here.
    if (generic != QLatin1String("sans-serif"))
        value += QStringLiteral(", sans-serif");
    return value;
}

class SvgDrawingEngine : public QPaintEngine {
public:
    SvgDrawingEngine()
        : QPaintEngine(PaintEngineFeatures(AllFeatures)
                       & ~PaintEngineFeatures(PatternBrush | PerspectiveTransform | ConicalGradientFill | PorterDuff))
    {
    }

    void setOutput(QString* out) { m_out = out; }

    bool begin(QPaintDevice*) override
    {
        m_pen = QPen();
        m_brush = QBrush();
        m_transform = QTransform();
        m_font = QFont();
        m_opacity = 1;
        m_text = {};
        return m_out != nullptr;
    }

    bool end() override
    {
        closeText();
        return true;
    }

    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& state) override
    {
        const DirtyFlags dirty = state.state();
        if (dirty & DirtyPen)
            m_pen = state.pen();
        if (dirty & DirtyBrush)
            m_brush = state.brush();
        if (dirty & DirtyTransform)
            m_transform = state.transform();
        if (dirty & DirtyFont)
            m_font = state.font();
        if (dirty & DirtyOpacity)
            m_opacity = state.opacity();
    }

    void drawRects(const QRect* rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            drawRect(QRectF(rects[i]));
    }
    void drawRects(const QRectF* rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            drawRect(rects[i]);
    }

    void drawLines(const QLine* lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            drawLine(QLineF(lines[i]));
    }
    void drawLines(const QLineF* lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            drawLine(lines[i]);
    }

    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        if (count <= 0)
            return;
        const bool open = mode == PolylineMode;
        if (!startShape(open ? QLatin1String("polyline") : QLatin1String("polygon"), !open))
            return;
        if (!open)
            *m_out +=
                mode == WindingMode ? QLatin1String(" fill-rule=\"nonzero\"") : QLatin1String(" fill-rule=\"evenodd\"");
        *m_out += QLatin1String(" points=\"");
        for (int i = 0; i < count; ++i) {
            const QPointF p = mapped(points[i]);
            if (i)
                *m_out += QLatin1Char(' ');
            appendNumber(*m_out, p.x());
            *m_out += QLatin1Char(',');
            appendNumber(*m_out, p.y());
        }
        *m_out += QLatin1String("\"/>");
    }
    void drawPolygon(const QPoint* points, int count, PolygonDrawMode mode) override
    {
        QVarLengthArray<QPointF, 16> converted(count);
        for (int i = 0; i < count; ++i)
            converted[i] = QPointF(points[i]);
        drawPolygon(converted.constData(), count, mode);
    }

    void drawPath(const QPainterPath& path) override
    {
        if (path.isEmpty() || !startShape(QLatin1String("path"), true))
            return;
        *m_out += path.fillRule() == Qt::WindingFill ? QLatin1String(" fill-rule=\"nonzero\"")
                                                     : QLatin1String(" fill-rule=\"evenodd\"");
        *m_out += QLatin1String(" d=\"");
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element e = path.elementAt(i);
            const QPointF p = mapped(QPointF(e.x, e.y));
            switch (e.type) {
            case QPainterPath::MoveToElement: *m_out += QLatin1Char('M'); break;
            case QPainterPath::LineToElement: *m_out += QLatin1Char('L'); break;
            case QPainterPath::CurveToElement: *m_out += QLatin1Char('C'); break;
            case QPainterPath::CurveToDataElement: *m_out += QLatin1Char(' '); break;
            }
            appendNumber(*m_out, p.x());
            *m_out += QLatin1Char(',');
            appendNumber(*m_out, p.y());
        }
        *m_out += QLatin1String("\"/>");
    }

    void drawPixmap(const QRectF& r, const QPixmap& pixmap, const QRectF& sr) override
    {
        drawImage(r, pixmap.toImage(), sr, Qt::AutoColor);
    }

    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr, Qt::ImageConversionFlags) override
    {
        closeText();
        const QImage part = sr == QRectF(image.rect()) ? image : image.copy(sr.toAlignedRect());
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!part.save(&buffer, "PNG"))
            return;
        const QRectF at = placed(r);
        *m_out += QLatin1String("<image");
        appendAttribute(*m_out, QLatin1String("x"), at.x());
        appendAttribute(*m_out, QLatin1String("y"), at.y());
        appendAttribute(*m_out, QLatin1String("width"), at.width());
        appendAttribute(*m_out, QLatin1String("height"), at.height());
        *m_out += QLatin1String(" preserveAspectRatio=\"none\"");
        appendTransform();
        appendOpacity();
        *m_out += QLatin1String(" href=\"data:image/png;base64,") + QString::fromLatin1(png.toBase64())
                  + QLatin1String("\"/>");
    }

    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        const QString text = item.text();
        if (text.isEmpty() || m_pen.style() == Qt::NoPen)
            return;
        const QFont font = item.font();
        QString attributes;
        appendColour(attributes, QLatin1String("fill"), QLatin1String("fill-opacity"), m_pen.color());
        attributes += QLatin1String(" font-family=\"");
        appendXmlEscaped(attributes, svgFontFamily(font.family()));
        attributes += QLatin1Char('"');
        const qreal pixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 96 / 72;
        appendAttribute(attributes, QLatin1String("font-size"), std::lrint(pixels));
        appendAttribute(attributes, QLatin1String("font-weight"), font.weight());
        if (font.italic())
            attributes += QLatin1String(" font-style=\"italic\"");
        if (font.underline())
            attributes += QLatin1String(" text-decoration=\"underline\"");
        appendTransform(attributes);
        appendOpacity(attributes);
        const QPointF at = mapped(p);
        // A run that follows another on the same baseline, in the same look, is the same line:
        // one element, placed where its first run is, so that a reader's font lays it out whole.
        if (m_text.open && m_text.attributes == attributes && qFuzzyCompare(m_text.baseline + 1, at.y() + 1)) {
            appendXmlEscaped(*m_out, text);
            return;
        }
        closeText();
        *m_out += QLatin1String("<text xml:space=\"preserve\"");
        appendAttribute(*m_out, QLatin1String("x"), at.x());
        appendAttribute(*m_out, QLatin1String("y"), at.y());
        *m_out += attributes;
        *m_out += QLatin1Char('>');
        appendXmlEscaped(*m_out, text);
        m_text = {true, at.y(), attributes};
    }

private:
    struct OpenText {
        bool open = false;
        qreal baseline = 0;
        QString attributes;
    };

    bool translatesOnly() const { return m_transform.type() <= QTransform::TxTranslate; }
    QPointF mapped(QPointF p) const { return translatesOnly() ? m_transform.map(p) : p; }
    QRectF placed(const QRectF& r) const
    {
        return translatesOnly() ? r.translated(m_transform.dx(), m_transform.dy()) : r;
    }

    void closeText()
    {
        if (!m_text.open)
            return;
        *m_out += QLatin1String("</text>");
        m_text.open = false;
    }

    void appendTransform() { appendTransform(*m_out); }
    void appendTransform(QString& out) const
    {
        if (translatesOnly())
            return;
        const QTransform& t = m_transform;
        out += QLatin1String(" transform=\"matrix(");
        const qreal values[] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
        for (int i = 0; i < 6; ++i) {
            if (i)
                out += QLatin1Char(',');
            appendNumber(out, values[i]);
        }
        out += QLatin1String(")\"");
    }

    void appendOpacity() { appendOpacity(*m_out); }
    void appendOpacity(QString& out) const
    {
        if (m_opacity < 1)
            appendAttribute(out, QLatin1String("opacity"), m_opacity);
    }

    // Opens an element with the pen's stroke and, when `filled`, the brush's fill. False when
    // neither would paint anything.
    bool startShape(QLatin1StringView element, bool filled)
    {
        const bool stroked = m_pen.style() != Qt::NoPen && m_pen.brush().style() != Qt::NoBrush;
        filled = filled && m_brush.style() != Qt::NoBrush;
        if (!stroked && !filled)
            return false;
        closeText();
        *m_out += QLatin1Char('<');
        *m_out += element;
        if (filled)
            appendColour(*m_out, QLatin1String("fill"), QLatin1String("fill-opacity"), brushColour(m_brush));
        else
            *m_out += QLatin1String(" fill=\"none\"");
        if (stroked)
            appendStroke();
        appendTransform();
        appendOpacity();
        return true;
    }

    void appendStroke()
    {
        appendColour(*m_out, QLatin1String("stroke"), QLatin1String("stroke-opacity"), brushColour(m_pen.brush()));
        const qreal width = m_pen.widthF() > 0 ? m_pen.widthF() : 1;
        appendAttribute(*m_out, QLatin1String("stroke-width"), width);
        switch (m_pen.capStyle()) {
        case Qt::FlatCap: *m_out += QLatin1String(" stroke-linecap=\"butt\""); break;
        case Qt::RoundCap: *m_out += QLatin1String(" stroke-linecap=\"round\""); break;
        default: *m_out += QLatin1String(" stroke-linecap=\"square\""); break;
        }
        switch (m_pen.joinStyle()) {
        case Qt::RoundJoin: *m_out += QLatin1String(" stroke-linejoin=\"round\""); break;
        case Qt::BevelJoin: *m_out += QLatin1String(" stroke-linejoin=\"bevel\""); break;
        default: *m_out += QLatin1String(" stroke-linejoin=\"miter\""); break;
        }
        if (m_pen.style() != Qt::SolidLine && m_pen.style() != Qt::NoPen) {
            const QList<qreal> pattern = m_pen.dashPattern();
            *m_out += QLatin1String(" stroke-dasharray=\"");
            for (qsizetype i = 0; i < pattern.size(); ++i) {
                if (i)
                    *m_out += QLatin1Char(',');
                appendNumber(*m_out, pattern[i] * width);
            }
            *m_out += QLatin1Char('"');
        }
    }

    void drawRect(const QRectF& r)
    {
        if (!startShape(QLatin1String("rect"), true))
            return;
        const QRectF at = placed(r);
        appendAttribute(*m_out, QLatin1String("x"), at.x());
        appendAttribute(*m_out, QLatin1String("y"), at.y());
        appendAttribute(*m_out, QLatin1String("width"), at.width());
        appendAttribute(*m_out, QLatin1String("height"), at.height());
        *m_out += QLatin1String("/>");
    }

    void drawLine(const QLineF& line)
    {
        if (!startShape(QLatin1String("line"), false))
            return;
        const QPointF a = mapped(line.p1()), b = mapped(line.p2());
        appendAttribute(*m_out, QLatin1String("x1"), a.x());
        appendAttribute(*m_out, QLatin1String("y1"), a.y());
        appendAttribute(*m_out, QLatin1String("x2"), b.x());
        appendAttribute(*m_out, QLatin1String("y2"), b.y());
        *m_out += QLatin1String("/>");
    }

    QString* m_out = nullptr;
    QPen m_pen;
    QBrush m_brush;
    QTransform m_transform;
    QFont m_font;
    qreal m_opacity = 1;
    OpenText m_text;
};

SvgDrawing::SvgDrawing(QSize size) : m_size(size), m_engine(std::make_unique<SvgDrawingEngine>()) {}

SvgDrawing::~SvgDrawing() = default;

void SvgDrawing::setOutput(QString* out) { m_engine->setOutput(out); }

QPaintEngine* SvgDrawing::paintEngine() const { return m_engine.get(); }

int SvgDrawing::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth: return m_size.width();
    case PdmHeight: return m_size.height();
    case PdmWidthMM: return int(std::lrint(m_size.width() * 25.4 / 96));
    case PdmHeightMM: return int(std::lrint(m_size.height() * 25.4 / 96));
    case PdmNumColors: return INT_MAX;
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return 96;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
    }
    return 0;
}

}  // namespace velmar
