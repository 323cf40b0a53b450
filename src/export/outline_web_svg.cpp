#include "export/outline_web_svg.h"

#include "canvas/canvas_widget.h"
#include "canvas/object_widgets.h"
#include "export/outline_renderer.h"
#include "export/svg_drawing.h"
#include "storage/jpeg_codec.h"

#include <QPainter>
#include <QWidget>

#include <map>

namespace velmar {

namespace {

QString escapedText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    appendXmlEscaped(out, text);
    return out;
}

// A JPEG stream starts with the start-of-image marker and a marker segment.
bool looksLikeJpeg(const QByteArray& bytes)
{
    return bytes.size() > 3 && quint8(bytes[0]) == 0xFF && quint8(bytes[1]) == 0xD8 && quint8(bytes[2]) == 0xFF;
}

class LayerWriter {
public:
    // With `marked`, a photo's address holds its mark (see outlineWebSvg) and its stream is
    // added to *marked, instead of the stream written in as base64.
    LayerWriter(const std::function<WebLayerInfo(ObjectId)>& describe, const std::map<ObjectId, QByteArray>& jpegs,
                std::vector<QByteArray>* marked, QSize area)
        : m_describe(describe), m_jpegs(jpegs), m_marked(marked), m_drawing(area)
    {
    }

    // Writes the widget's own drawing (with the parts of it that are no objects) and then, inside,
    // the layers of the objects lying in it.
    void write(QWidget* widget, QPoint offset, QString& out)
    {
        const ObjectId id = objectId(widget);
        const WebLayerInfo info = id ? m_describe(id) : WebLayerInfo{};
        out += QStringLiteral("<g");
        if (!info.elementId.isEmpty())
            out += QStringLiteral(" id=\"") + escapedText(info.elementId) + QLatin1Char('"');
        if (id)
            out += QStringLiteral(" data-step=\"%1\"").arg(info.step);
        if (!info.name.isEmpty()) {
            out += QStringLiteral(" role=\"") + escapedText(info.role.isEmpty() ? QStringLiteral("group") : info.role)
                   + QStringLiteral("\" aria-label=\"") + escapedText(info.name) + QLatin1Char('"');
        }
        out += QLatin1Char('>');
        if (!info.name.isEmpty())
            out += QStringLiteral("<title>") + escapedText(info.name) + QStringLiteral("</title>");

        // A photo fills its control, under the border the control draws over it.
        if (const auto jpeg = m_jpegs.find(id); jpeg != m_jpegs.end()) {
            out += QStringLiteral("<image x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" preserveAspectRatio=\"none\""
                                  " href=\"data:image/jpeg;base64,")
                       .arg(offset.x())
                       .arg(offset.y())
                       .arg(widget->width())
                       .arg(widget->height());
            if (m_marked) {
                out += webPhotoMark(int(m_marked->size()));
                m_marked->push_back(jpeg->second);
            } else {
                out += QString::fromLatin1(jpeg->second.toBase64());
            }
            out += QStringLiteral("\"/>");
        }
        m_drawing.setOutput(&out);
        drawOwn(widget, offset);
        if (!info.label.isEmpty()) {
            // The line sits at the object's bottom left, cut to the object.
            const QString clip = QStringLiteral("clip%1").arg(++m_layers);
            out += QStringLiteral("<clipPath id=\"%1\"><rect x=\"%2\" y=\"%3\" width=\"%4\" height=\"%5\"/></clipPath>"
                                  "<text class=\"label\" clip-path=\"url(#%1)\" x=\"%6\" y=\"%7\">")
                       .arg(clip)
                       .arg(offset.x())
                       .arg(offset.y())
                       .arg(widget->width())
                       .arg(widget->height())
                       .arg(offset.x() + 4)
                       .arg(offset.y() + widget->height() - 6)
                   + escapedText(info.label) + QStringLiteral("</text>");
        }

        std::vector<QWidget*> objects;
        for (QObject* child : widget->children()) {
            auto* w = qobject_cast<QWidget*>(child);
            if (w && !w->isHidden() && objectId(w))
                objects.push_back(w);
        }
        if (!objects.empty()) {
            // What lies in a frame is cut to the frame, as on the canvas.
            const QString clip = QStringLiteral("clip%1").arg(++m_layers);
            const QRect area =
                id ? QRect(offset, widget->size()) : QRect(QPoint(0, 0), widget->size() - QSize(0, -offset.y()));
            out += QStringLiteral("<clipPath id=\"%1\"><rect x=\"%2\" y=\"%3\" width=\"%4\" height=\"%5\"/></clipPath>"
                                  "<g clip-path=\"url(#%1)\">")
                       .arg(clip)
                       .arg(area.x())
                       .arg(area.y())
                       .arg(area.width())
                       .arg(area.height());
            for (QWidget* child : objects)
                write(child, offset + child->pos(), out);
            out += QStringLiteral("</g>");
        }
        out += QStringLiteral("</g>\n");
    }

    // A widget could not be drawn: the page would miss part of the outline.
    bool failed() const { return m_failed; }

private:
    // Draws the widget alone with its parts that are no objects (a frame's title, a text field's
    // text, a player's bar), in area coordinates.
    void drawOwn(QWidget* widget, QPoint offset)
    {
        QPainter painter;
        if (!painter.begin(&m_drawing)) {
            m_failed = true;
            return;
        }
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.translate(offset);
        // Only the canvas paints its background colour; objects paint what they paint on screen.
        widget->render(&painter, QPoint(), QRegion(widget->rect()),
                       objectId(widget) ? QWidget::RenderFlags() : QWidget::RenderFlags(QWidget::DrawWindowBackground));
        for (QObject* child : widget->children()) {
            auto* w = qobject_cast<QWidget*>(child);
            if (!w || w->isHidden() || objectId(w) || w->isWindow())
                continue;
            painter.save();
            painter.translate(w->pos());
            w->render(&painter, QPoint(), QRegion(w->rect()), QWidget::DrawChildren);
            painter.restore();
        }
        painter.end();
    }

    const std::function<WebLayerInfo(ObjectId)>& m_describe;
    const std::map<ObjectId, QByteArray>& m_jpegs;
    std::vector<QByteArray>* m_marked;
    SvgDrawing m_drawing;
    int m_layers = 0;
    bool m_failed = false;
};

}  // namespace

QByteArray pictureJpeg(const PictureObject& picture)
{
    if (looksLikeJpeg(picture.jpegStream()))
        return picture.jpegStream();
    if (picture.bitmap().isNull())
        return {};
    const QByteArray encoded = encodeJpeg(picture.bitmap(), 100);
    if (looksLikeJpeg(encoded))
        picture.setJpegStream(encoded);
    return encoded;
}

QString webPhotoMark(int index) { return QChar(kWebPhotoMark) + QString::number(index) + QChar(kWebPhotoMark); }

QString outlineWebSvg(const Document& document, QSize clientSize, const std::function<WebLayerInfo(ObjectId)>& describe,
                      qint64* embeddedJpegBytes, std::vector<QByteArray>* markedPhotos)
{
    // The photos are left out of the drawing, as pictures without an image (nothing of them is
    // decoded, scaled or encoded), and their JPEG streams are written in where their controls lie.
    Document stand;
    stand.outline = document.outline;
    stand.state = document.state;
    std::map<ObjectId, QByteArray> jpegs;
    qint64 jpegBytes = 0;
    for (int k = 1; k <= stand.outline.count(ObjectKind::Picture); ++k) {
        PictureObject& picture = stand.outline.picture(k);
        const QByteArray jpeg = pictureJpeg(document.outline.picture(k));
        if (jpeg.isEmpty())
            continue;
        jpegs[picture.id] = jpeg;
        jpegBytes += jpeg.size();
        picture.setBitmap(QImage());
    }
    if (embeddedJpegBytes)
        *embeddedJpegBytes = jpegBytes;
    OutlineRenderer renderer(stand, clientSize);
    renderer.drawForAnyScale();
    const QSize area = renderer.size();
    QString out = QStringLiteral("<svg id=\"outline\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 %1 %2\""
                                 " preserveAspectRatio=\"xMidYMid meet\" role=\"group\">\n")
                      .arg(area.width())
                      .arg(area.height());
    LayerWriter writer(describe, jpegs, markedPhotos, area);
    if (QWidget* canvas = renderer.canvasWidget())
        writer.write(canvas, QPoint(0, -kToolBarHeight), out);
    out += QStringLiteral("</svg>\n");
    return writer.failed() ? QString() : out;
}

}  // namespace velmar
