#include "export/outline_web_svg.h"

#include "canvas/canvas_widget.h"
#include "canvas/object_widgets.h"
#include "export/outline_renderer.h"
#include "export/svg_text.h"
#include "model/object_kinds.h"
#include "storage/jpeg_codec.h"

#include <QBuffer>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>
#include <QXmlStreamReader>

#include <map>
#include <set>

namespace velmar {

namespace {

QString escapedText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&#39;"); break;
        default:
            // Control characters other than tab and line breaks have no place in a page.
            if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
                out += QLatin1Char(' ');
            else
                out += c;
        }
    }
    return out;
}

// The drawing elements a vector drawing of an outline is made of. Anything else in a drawing
// (never expected) is left out with its content.
bool isDrawingElement(QStringView name)
{
    static const std::set<QString> names = {QStringLiteral("g"),
                                            QStringLiteral("path"),
                                            QStringLiteral("rect"),
                                            QStringLiteral("circle"),
                                            QStringLiteral("ellipse"),
                                            QStringLiteral("line"),
                                            QStringLiteral("polyline"),
                                            QStringLiteral("polygon"),
                                            QStringLiteral("text"),
                                            QStringLiteral("tspan"),
                                            QStringLiteral("image"),
                                            QStringLiteral("defs"),
                                            QStringLiteral("linearGradient"),
                                            QStringLiteral("radialGradient"),
                                            QStringLiteral("stop")};
    return names.count(name.toString()) > 0;
}

const QRegularExpression& plainAttributeName()
{
    static const QRegularExpression re(QStringLiteral("^[a-zA-Z][a-zA-Z-]*$"));
    return re;
}

const QRegularExpression& embeddedImage()
{
    static const QRegularExpression re(QStringLiteral("^data:image/(png|jpeg);base64,[A-Za-z0-9+/=\\s]*$"));
    return re;
}

// Copies the drawing of one SVG document made by QSvgGenerator into `out`: the elements between
// its header and its end, every name, value and text written anew and escaped. Ids get `prefix`
// so that the drawings of many objects can share one page. The n-th image takes the address
// `imageHref(n)` gives, when that is not empty. False when the drawing cannot be read.
bool copyDrawing(const QByteArray& svg, const QString& prefix, const std::function<QString(int)>& imageHref,
                 QString& out)
{
    QXmlStreamReader reader(svg);
    int depth = 0;      // depth below the root <svg>
    int skipDepth = 0;  // > 0 while inside an element that is left out
    int images = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (depth == 1)
                continue;  // the root <svg>
            const QStringView name = reader.name();
            if (skipDepth || (depth == 2 && (name == QLatin1String("title") || name == QLatin1String("desc")))
                || !isDrawingElement(name)) {
                ++skipDepth;
                continue;
            }
            out += QLatin1Char('<') + name.toString();
            QString href;
            for (const QXmlStreamAttribute& attribute : reader.attributes()) {
                const QString qualified = attribute.qualifiedName().toString();
                QString value = attribute.value().toString();
                if (attribute.name() == QLatin1String("href")) {
                    href = value;
                    continue;
                }
                if (qualified == QLatin1String("xml:space")) {
                    out += QStringLiteral(" xml:space=\"preserve\"");
                    continue;
                }
                if (!plainAttributeName().match(qualified).hasMatch()
                    || qualified.startsWith(QLatin1String("on"), Qt::CaseInsensitive)
                    || qualified == QLatin1String("style"))
                    continue;
                if (qualified == QLatin1String("id"))
                    value = prefix + value;
                // A font the browser does not have falls back to a sans-serif one, as it does here.
                if (qualified == QLatin1String("font-family") && !value.endsWith(QLatin1String("sans-serif")))
                    value += QStringLiteral(", sans-serif");
                if (value.contains(QLatin1String("url("))) {
                    // Only references to this drawing's own definitions.
                    if (!value.startsWith(QLatin1String("url(#")))
                        continue;
                    value = QStringLiteral("url(#") + prefix + value.mid(5);
                }
                out += QLatin1Char(' ') + qualified + QStringLiteral("=\"") + escapedText(value) + QLatin1Char('"');
            }
            if (name == QLatin1String("image")) {
                const QString replaced = imageHref ? imageHref(images) : QString();
                ++images;
                if (!replaced.isEmpty())
                    out += QStringLiteral(" href=\"") + replaced + QLatin1Char('"');
                else if (embeddedImage().match(href).hasMatch())
                    out += QStringLiteral(" href=\"") + href.remove(QRegularExpression(QStringLiteral("\\s")))
                           + QLatin1Char('"');
            }
            out += QLatin1Char('>');
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
            if (depth == 0)
                continue;
            if (skipDepth) {
                --skipDepth;
                continue;
            }
            out += QStringLiteral("</") + reader.name().toString() + QLatin1Char('>');
        } else if (token == QXmlStreamReader::Characters && depth > 1 && !skipDepth) {
            out += escapedText(reader.text().toString());
        }
    }
    return !reader.hasError() && !svg.isEmpty();
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
                std::vector<QByteArray>* marked)
        : m_describe(describe), m_jpegs(jpegs), m_marked(marked)
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

        const auto jpeg = m_jpegs.find(id);
        QString jpegHref;
        if (jpeg != m_jpegs.end() && m_marked) {
            jpegHref = QStringLiteral("data:image/jpeg;base64,") + webPhotoMark(int(m_marked->size()));
            m_marked->push_back(jpeg->second);
        } else if (jpeg != m_jpegs.end()) {
            jpegHref = QStringLiteral("data:image/jpeg;base64,") + QString::fromLatin1(jpeg->second.toBase64());
        }
        if (!copyDrawing(
                ownDrawing(widget, offset), QStringLiteral("d%1-").arg(++m_layers),
                [&](int index) { return index == 0 ? jpegHref : QString(); }, out))
            m_failed = true;
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

    // A drawing could not be read back: the page would miss part of the outline.
    bool failed() const { return m_failed; }

private:
    // The widget drawn alone with its parts that are no objects (a frame's title, a text field's
    // text, a player's bar), as an SVG document in area coordinates.
    static QByteArray ownDrawing(QWidget* widget, QPoint offset)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setResolution(96);
        generator.setSize(widget->size());
        QPainter painter;
        if (!painter.begin(&generator))
            return {};
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
        // One element per line of text, as the SVG export writes it: browsers would otherwise
        // place the generator's pieces with their own fonts and overlap them.
        return finishSvg(bytes, QString());
    }

    const std::function<WebLayerInfo(ObjectId)>& m_describe;
    const std::map<ObjectId, QByteArray>& m_jpegs;
    std::vector<QByteArray>* m_marked;
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
    // The photos are drawn from a one-pixel stand-in through the same path as any drawing, and
    // their JPEG streams take the stand-in's place: no photo is decoded or encoded for the page.
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
        QImage pixel(1, 1, QImage::Format_RGB32);
        pixel.fill(Qt::white);
        picture.setBitmap(pixel);
    }
    if (embeddedJpegBytes)
        *embeddedJpegBytes = jpegBytes;
    // The drawing names fonts in attributes; characters that would end an attribute are taken
    // out of font names (no installed font has them, so the drawing does not change).
    const auto plainFont = [](FontSpec& font) { font.name.remove(QRegularExpression(QStringLiteral("[\"'<>&]"))); };
    forEachKind([&](auto tag) {
        using Object = typename decltype(tag)::Object;
        if constexpr (requires(Object o) { o.font; })
            for (int k = 1; k <= stand.outline.count(tag.kind); ++k)
                plainFont(stand.outline.object<Object>(k).font);
    });

    OutlineRenderer renderer(stand, clientSize);
    renderer.drawForAnyScale();
    const QSize area = renderer.size();
    QString out = QStringLiteral("<svg id=\"outline\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 %1 %2\""
                                 " preserveAspectRatio=\"xMidYMid meet\" role=\"group\">\n")
                      .arg(area.width())
                      .arg(area.height());
    LayerWriter writer(describe, jpegs, markedPhotos);
    if (QWidget* canvas = renderer.canvasWidget())
        writer.write(canvas, QPoint(0, -kToolBarHeight), out);
    out += QStringLiteral("</svg>\n");
    return writer.failed() ? QString() : out;
}

}  // namespace velmar
