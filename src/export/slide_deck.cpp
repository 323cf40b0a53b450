#include "export/slide_deck.h"

#include "canvas/object_widgets.h"
#include "export/outline_export.h"
#include "export/outline_renderer.h"
#include "export/outline_web_svg.h"
#include "model/reveal_order.h"
#include "model/text_metrics.h"
#include "model/visible_text.h"
#include "storage/film_still.h"
#include "system/file_io.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontInfo>

#include <map>

namespace velmar {

namespace {

void setFont(SlideShape& shape, const QFont& font, const QColor& colour)
{
    shape.fontFamily = QFontInfo(font).family();
    shape.fontPixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 96.0 / 72.0;
    shape.textColour = colour;
    shape.bold = font.bold();
    shape.italic = font.italic();
    shape.underline = font.underline();
}

QColor bevelBorder(quint8 outerBevel, quint8 innerBevel, quint8 borderLine)
{
    if (borderLine)
        return Qt::black;
    return outerBevel != BevelNone || innerBevel != BevelNone ? QColor(0x80, 0x80, 0x80) : QColor();
}

// XML has no place for most control characters, which outline texts may hold (typed or read
// from files): they become spaces, line breaks and tabs stay.
QString xmlText(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != '\n' && u != '\t') || u == 0xFFFE || u == 0xFFFF)
            c = QLatin1Char(' ');
    }
    return out;
}

// Collects the shapes of the outline's widgets in drawing order: each widget, then what lies in it.
class ShapeCollector {
public:
    ShapeCollector(const Outline& outline, const OutlineRenderer& renderer, SlideDeck& deck,
                   const std::map<ObjectId, QByteArray>& jpegs)
        : m_outline(outline), m_renderer(renderer), m_deck(deck), m_jpegs(jpegs)
    {
    }

    void collect(QWidget* parent)
    {
        for (QObject* child : parent->children()) {
            auto* widget = qobject_cast<QWidget*>(child);
            const ObjectId id = widget ? objectId(widget) : 0;
            if (!id || widget->isHidden())
                continue;
            add(id, widget);
            collect(widget);
        }
    }

    std::map<ObjectId, std::vector<int>> shapesOf;

private:
    void push(SlideShape shape)
    {
        shape.text = xmlText(shape.text);
        shape.name = xmlText(shape.name);
        shape.fontFamily = xmlText(shape.fontFamily);
        shapesOf[shape.object].push_back(int(m_deck.shapes.size()));
        m_deck.shapes.push_back(std::move(shape));
    }

    void add(ObjectId id, QWidget* widget)
    {
        const ObjectRef ref = m_outline.find(id);
        if (!ref.slot)
            return;
        const QRectF box = m_renderer.objectArea(id);
        SlideShape shape;
        shape.object = id;
        shape.box = box;
        switch (ref.kind) {
        case ObjectKind::Frame: {
            const FrameObject& frame = m_outline.frame(ref.slot);
            shape.fill = toQColor(frame.colour);
            if (const QColor border = bevelBorder(frame.outerBevel, frame.innerBevel, frame.borderLine);
                border.isValid())
                shape.border = border;
            push(shape);
            const FrameTitle* title = static_cast<FrameWidget*>(widget)->title();
            const QString text = visibleText(frame.title);
            if (frame.titleVisible && title && !text.isEmpty()) {
                SlideShape label;
                label.object = id;
                const QPoint at = title->mapTo(m_renderer.canvasWidget(), QPoint()) - QPoint(0, kToolBarHeight);
                label.box = QRectF(at, title->size()) & box;
                label.text = text;
                label.wrap = false;
                setFont(label, title->font(), toQColor(frame.titleColour));
                push(label);
            }
            return;
        }
        case ObjectKind::Caption: {
            const CaptionObject& caption = m_outline.caption(ref.slot);
            shape.fill = toQColor(caption.colour);
            shape.text = visibleText(caption.text);
            setFont(shape, toQFont(caption.font), toQColor(caption.font.colour));
            shape.alignment = Qt::AlignCenter;
            push(shape);
            return;
        }
        case ObjectKind::TextField: {
            const TextFieldObject& field = m_outline.textField(ref.slot);
            shape.fill = toQColor(field.background);
            shape.text = TextFieldWidget::toWidgetText(field.text);
            setFont(shape, toQFont(field.font), toQColor(field.font.colour));
            shape.alignment = (field.alignment == AlignRight    ? Qt::AlignRight
                               : field.alignment == AlignCentre ? Qt::AlignHCenter
                                                                : Qt::AlignLeft)
                              | Qt::AlignTop;
            push(shape);
            return;
        }
        case ObjectKind::Picture: {
            const PictureObject& picture = m_outline.picture(ref.slot);
            shape.kind = SlideShape::Kind::Picture;
            // The stored stream itself: the deck holds the photo exactly as the outline does.
            if (const auto jpeg = m_jpegs.find(picture.id); jpeg != m_jpegs.end())
                shape.image = jpeg->second;
            shape.imageType = QStringLiteral("jpeg");
            if (picture.border)
                shape.border = QColor(Qt::black);
            if (!shape.image.isEmpty())
                push(shape);
            return;
        }
        case ObjectKind::Video: {
            const VideoObject& video = m_outline.video(ref.slot);
            shape.kind = SlideShape::Kind::Picture;
            shape.name = QFileInfo(video.fileName).fileName();
            const QImage still = video.fileName.isEmpty() ? QImage() : filmStill(video.fileName, widget->size());
            QImage picture = still;
            if (picture.isNull()) {
                // A film that cannot be read is an empty panel, as in the drawing.
                picture = QImage(widget->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
                picture.fill(Qt::black);
            }
            QBuffer buffer(&shape.image);
            buffer.open(QIODevice::WriteOnly);
            picture.save(&buffer, "PNG");
            shape.imageType = QStringLiteral("png");
            push(shape);
            if (!shape.name.isEmpty()) {
                SlideShape label;
                label.object = id;
                QFont font;
                font.setPixelSize(12);
                setFont(label, font, Qt::white);
                label.box = QRectF(box.left(), box.bottom() - 18, box.width(), 18);
                label.fill = QColor(0, 0, 0);
                label.text = shape.name;
                push(label);
            }
            return;
        }
        case ObjectKind::Arrow: break;
        }
    }

    const Outline& m_outline;
    const OutlineRenderer& m_renderer;
    SlideDeck& m_deck;
    const std::map<ObjectId, QByteArray>& m_jpegs;
};

}  // namespace

SlideDeck slideDeck(const Document& document, QSize clientSize)
{
    SlideDeck deck;
    // The shapes need the objects' places, not their drawing: the photos are laid out from
    // one-pixel stand-ins (no photo is scaled for a widget), and their JPEG streams go in as
    // they are.
    Document stand = document;
    std::map<ObjectId, QByteArray> jpegs;
    for (int k = 1; k <= stand.outline.count(ObjectKind::Picture); ++k) {
        PictureObject& picture = stand.outline.picture(k);
        const QByteArray jpeg = pictureJpeg(document.outline.picture(k));
        if (jpeg.isEmpty())
            continue;
        jpegs[picture.id] = jpeg;
        QImage pixel(1, 1, QImage::Format_RGB32);
        pixel.fill(Qt::white);
        picture.setBitmap(pixel);
    }
    OutlineRenderer renderer(stand, clientSize);
    deck.area = renderer.size();
    deck.background = toQColor(document.state.canvasColour);
    deck.title = xmlText(document.state.outlineName);
    const Outline& outline = renderer.document().outline;

    ShapeCollector collector(outline, renderer, deck, jpegs);
    if (QWidget* canvas = renderer.canvasWidget())
        collector.collect(canvas);
    // Arrows lie over everything, as on the canvas.
    for (const ArrowObject& arrow : outline.objects<ArrowObject>()) {
        SlideShape line;
        line.kind = SlideShape::Kind::Line;
        line.object = arrow.id;
        line.line = QLineF(arrow.x1, arrow.y1 - kToolBarHeight, arrow.x2, arrow.y2 - kToolBarHeight);
        line.lineWidth = std::clamp(arrow.penWidth, kArrowPenMin, kArrowPenMax);
        line.border = toQColor(arrow.colour);
        line.head = arrow.x1 != arrow.x2 || arrow.y1 != arrow.y2;
        collector.shapesOf[arrow.id].push_back(int(deck.shapes.size()));
        deck.shapes.push_back(line);
    }

    const RevealOrder order(outline);
    for (int s = 0; s < order.stepCount(); ++s) {
        const RevealStep& step = order.step(s);
        SlideStep click;
        click.notes = xmlText(step.subtitle);
        for (ObjectId id : step.appearing) {
            const auto shapes = collector.shapesOf.find(id);
            if (shapes == collector.shapesOf.end())
                continue;
            for (int index : shapes->second) {
                deck.shapes[std::size_t(index)].step = s;
                click.shapes.push_back(index);
            }
        }
        // Step 0 is the start the slide opens with; every later step is a click.
        if (s > 0)
            deck.clicks.push_back(std::move(click));
    }
    return deck;
}

bool isSlideDeckName(const QString& path)
{
    return path.endsWith(QLatin1String(".pptx"), Qt::CaseInsensitive)
           || path.endsWith(QLatin1String(".odp"), Qt::CaseInsensitive);
}

QString exportSlideDeck(const Document& document, QSize clientSize, const QString& path)
{
    const SlideDeck deck = slideDeck(document, clientSize);
    QString error;
    const QByteArray bytes =
        path.endsWith(QLatin1String(".odp"), Qt::CaseInsensitive) ? odpDeck(deck, &error) : pptxDeck(deck, &error);
    if (bytes.isEmpty())
        return QCoreApplication::translate("OutlineExport", "Не удалось записать презентацию в файл «%1»: %2.")
            .arg(path, error);
    const FileWriteStatus written = replaceFile(path, {QByteArrayView(bytes)}, false);
    if (!written.ok)
        return QCoreApplication::translate("OutlineExport", "Не удалось записать презентацию в файл «%1»: %2.")
            .arg(path, written.error);
    return {};
}

}  // namespace velmar
