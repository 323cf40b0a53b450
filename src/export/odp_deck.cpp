// The slide deck as an OpenDocument presentation: one page with its shapes, its notes, the
// pictures, and the clicks as "appear" entrance effects of the page's main sequence.
#include "export/slide_deck.h"
#include "export/zip_archive.h"

#include <QXmlStreamWriter>

#include <map>

namespace velmar {

namespace {

const QString kOffice = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString kStyle = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
const QString kText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kDraw = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:drawing:1.0");
const QString kFo = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0");
const QString kSvg = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0");
const QString kPresentation = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:presentation:1.0");
const QString kSmil = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:smil-compatible:1.0");
const QString kAnim = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:animation:1.0");
const QString kXlink = QStringLiteral("http://www.w3.org/1999/xlink");
const QString kManifest = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:manifest:1.0");
const QString kMimeType = QStringLiteral("application/vnd.oasis.opendocument.presentation");

template <typename Body>
QByteArray part(Body body)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.writeStartDocument(QStringLiteral("1.0"));
    body(xml);
    xml.writeEndDocument();
    return bytes;
}

void rootElement(QXmlStreamWriter& xml, const QString& name)
{
    xml.writeStartElement(name);
    const std::pair<QString, const char*> spaces[] = {
        {kOffice, "office"}, {kStyle, "style"}, {kText, "text"},   {kDraw, "draw"},
        {kFo, "fo"},         {kSvg, "svg"},     {kXlink, "xlink"}, {kPresentation, "presentation"},
        {kSmil, "smil"},     {kAnim, "anim"}};
    for (const auto& [uri, prefix] : spaces)
        xml.writeNamespace(uri, QString::fromLatin1(prefix));
    xml.writeAttribute(QStringLiteral("office:version"), QStringLiteral("1.3"));
}

// Pixels of the drawn area in centimetres and points.
class Units {
public:
    explicit Units(QSize area) : m_cm(2.54 * kSlideWidthInches / std::max(1, area.width())) {}
    QString cm(double pixels) const { return QString::number(pixels * m_cm, 'f', 4) + QStringLiteral("cm"); }
    QString points(double pixels) const
    {
        return QString::number(pixels * m_cm / 2.54 * 72.0, 'f', 2) + QStringLiteral("pt");
    }

private:
    double m_cm;
};

void attribute(QXmlStreamWriter& xml, const char* name, const QString& value)
{
    xml.writeAttribute(QString::fromLatin1(name), value);
}

void place(QXmlStreamWriter& xml, const Units& u, const QRectF& box)
{
    attribute(xml, "svg:x", u.cm(box.left()));
    attribute(xml, "svg:y", u.cm(box.top()));
    attribute(xml, "svg:width", u.cm(box.width()));
    attribute(xml, "svg:height", u.cm(box.height()));
}

// The automatic styles of the shapes: graphic style gN for shape N, paragraph style pN and text
// style tN for its text.
void shapeStyles(QXmlStreamWriter& xml, const Units& u, const SlideDeck& deck)
{
    for (std::size_t i = 0; i < deck.shapes.size(); ++i) {
        const SlideShape& shape = deck.shapes[i];
        xml.writeStartElement(QStringLiteral("style:style"));
        attribute(xml, "style:name", QStringLiteral("g%1").arg(i));
        attribute(xml, "style:family", QStringLiteral("graphic"));
        xml.writeEmptyElement(QStringLiteral("style:graphic-properties"));
        if (shape.fill) {
            attribute(xml, "draw:fill", QStringLiteral("solid"));
            attribute(xml, "draw:fill-color", shape.fill->name());
        } else {
            attribute(xml, "draw:fill", QStringLiteral("none"));
        }
        if (shape.border) {
            attribute(xml, "draw:stroke", QStringLiteral("solid"));
            attribute(xml, "svg:stroke-color", shape.border->name());
            attribute(xml, "svg:stroke-width", u.cm(shape.kind == SlideShape::Kind::Line ? shape.lineWidth : 1));
        } else {
            attribute(xml, "draw:stroke", QStringLiteral("none"));
        }
        if (shape.kind == SlideShape::Kind::Line && shape.head) {
            attribute(xml, "draw:marker-end", QStringLiteral("Arrow"));
            attribute(xml, "draw:marker-end-width", u.cm(std::max(8.0, shape.lineWidth * 4)));
            attribute(xml, "svg:stroke-linecap", QStringLiteral("round"));
        }
        if (shape.kind == SlideShape::Kind::Box) {
            attribute(xml, "draw:textarea-vertical-align",
                      shape.alignment & Qt::AlignVCenter ? QStringLiteral("middle") : QStringLiteral("top"));
            attribute(xml, "draw:textarea-horizontal-align", QStringLiteral("justify"));
            attribute(xml, "draw:auto-grow-height", QStringLiteral("false"));
            attribute(xml, "draw:auto-grow-width", QStringLiteral("false"));
            attribute(xml, "fo:wrap-option", shape.wrap ? QStringLiteral("wrap") : QStringLiteral("no-wrap"));
            for (const char* padding : {"fo:padding-left", "fo:padding-right", "fo:padding-top", "fo:padding-bottom"})
                attribute(xml, padding, u.cm(1));
        }
        xml.writeEndElement();
        if (shape.text.isEmpty())
            continue;
        xml.writeStartElement(QStringLiteral("style:style"));
        attribute(xml, "style:name", QStringLiteral("p%1").arg(i));
        attribute(xml, "style:family", QStringLiteral("paragraph"));
        xml.writeEmptyElement(QStringLiteral("style:paragraph-properties"));
        attribute(xml, "fo:text-align",
                  shape.alignment & Qt::AlignRight     ? QStringLiteral("end")
                  : shape.alignment & Qt::AlignHCenter ? QStringLiteral("center")
                                                       : QStringLiteral("start"));
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("style:style"));
        attribute(xml, "style:name", QStringLiteral("t%1").arg(i));
        attribute(xml, "style:family", QStringLiteral("text"));
        xml.writeEmptyElement(QStringLiteral("style:text-properties"));
        attribute(xml, "fo:font-family", shape.fontFamily);
        attribute(xml, "fo:font-size", u.points(shape.fontPixels));
        attribute(xml, "fo:color", shape.textColour.name());
        attribute(xml, "fo:font-weight", shape.bold ? QStringLiteral("bold") : QStringLiteral("normal"));
        attribute(xml, "fo:font-style", shape.italic ? QStringLiteral("italic") : QStringLiteral("normal"));
        if (shape.underline) {
            attribute(xml, "style:text-underline-style", QStringLiteral("solid"));
            attribute(xml, "style:text-underline-width", QStringLiteral("auto"));
            attribute(xml, "style:text-underline-color", QStringLiteral("font-color"));
        }
        xml.writeEndElement();
    }
}

void paragraphs(QXmlStreamWriter& xml, const QString& text, const QString& paragraphStyle, const QString& textStyle)
{
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        xml.writeStartElement(QStringLiteral("text:p"));
        if (!paragraphStyle.isEmpty())
            attribute(xml, "text:style-name", paragraphStyle);
        if (!textStyle.isEmpty()) {
            xml.writeStartElement(QStringLiteral("text:span"));
            attribute(xml, "text:style-name", textStyle);
            xml.writeCharacters(line);
            xml.writeEndElement();
        } else {
            xml.writeCharacters(line);
        }
        xml.writeEndElement();
    }
}

void shapeElement(QXmlStreamWriter& xml, const Units& u, const SlideShape& shape, int index, const QString& picturePath)
{
    const QString id = QStringLiteral("s%1").arg(index);
    const auto identify = [&] {
        attribute(xml, "draw:style-name", QStringLiteral("g%1").arg(index));
        attribute(xml, "xml:id", id);
        attribute(xml, "draw:id", id);
    };
    switch (shape.kind) {
    case SlideShape::Kind::Box:
        xml.writeStartElement(QStringLiteral("draw:rect"));
        identify();
        place(xml, u, shape.box);
        if (!shape.text.isEmpty())
            paragraphs(xml, shape.text, QStringLiteral("p%1").arg(index), QStringLiteral("t%1").arg(index));
        xml.writeEndElement();
        break;
    case SlideShape::Kind::Picture:
        xml.writeStartElement(QStringLiteral("draw:frame"));
        identify();
        if (!shape.name.isEmpty())
            attribute(xml, "draw:name", shape.name);
        place(xml, u, shape.box);
        xml.writeEmptyElement(QStringLiteral("draw:image"));
        attribute(xml, "xlink:href", picturePath);
        attribute(xml, "xlink:type", QStringLiteral("simple"));
        attribute(xml, "xlink:show", QStringLiteral("embed"));
        attribute(xml, "xlink:actuate", QStringLiteral("onLoad"));
        xml.writeEndElement();
        break;
    case SlideShape::Kind::Line:
        xml.writeEmptyElement(QStringLiteral("draw:line"));
        identify();
        attribute(xml, "svg:x1", u.cm(shape.line.x1()));
        attribute(xml, "svg:y1", u.cm(shape.line.y1()));
        attribute(xml, "svg:x2", u.cm(shape.line.x2()));
        attribute(xml, "svg:y2", u.cm(shape.line.y2()));
        break;
    }
}

// The clicks: the page's main sequence, each click a group of "appear" effects.
void animations(QXmlStreamWriter& xml, const SlideDeck& deck)
{
    xml.writeStartElement(QStringLiteral("anim:par"));
    attribute(xml, "presentation:node-type", QStringLiteral("timing-root"));
    xml.writeStartElement(QStringLiteral("anim:seq"));
    attribute(xml, "presentation:node-type", QStringLiteral("main-sequence"));
    for (const SlideStep& click : deck.clicks) {
        xml.writeStartElement(QStringLiteral("anim:par"));
        attribute(xml, "smil:begin", QStringLiteral("next"));
        xml.writeStartElement(QStringLiteral("anim:par"));
        attribute(xml, "smil:begin", QStringLiteral("0s"));
        bool first = true;
        for (int index : click.shapes) {
            xml.writeStartElement(QStringLiteral("anim:par"));
            attribute(xml, "smil:begin", QStringLiteral("0s"));
            attribute(xml, "smil:fill", QStringLiteral("hold"));
            attribute(xml, "presentation:node-type",
                      first ? QStringLiteral("on-click") : QStringLiteral("with-previous"));
            attribute(xml, "presentation:preset-class", QStringLiteral("entrance"));
            attribute(xml, "presentation:preset-id", QStringLiteral("ooo-entrance-appear"));
            first = false;
            xml.writeEmptyElement(QStringLiteral("anim:set"));
            attribute(xml, "smil:begin", QStringLiteral("0s"));
            attribute(xml, "smil:dur", QStringLiteral("0.001s"));
            attribute(xml, "smil:fill", QStringLiteral("hold"));
            attribute(xml, "smil:targetElement", QStringLiteral("s%1").arg(index));
            attribute(xml, "smil:attributeName", QStringLiteral("visibility"));
            attribute(xml, "smil:to", QStringLiteral("visible"));
            xml.writeEndElement();
        }
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
}

}  // namespace

QByteArray odpDeck(const SlideDeck& deck, QString* error)
{
    const Units u(deck.area);
    std::vector<ZipEntry> pictures;
    std::map<int, QString> picturePath;
    for (std::size_t i = 0; i < deck.shapes.size(); ++i) {
        const SlideShape& shape = deck.shapes[i];
        if (shape.kind != SlideShape::Kind::Picture)
            continue;
        const QString path =
            QStringLiteral("Pictures/picture%1.%2")
                .arg(pictures.size() + 1)
                .arg(shape.imageType == QLatin1String("png") ? QStringLiteral("png") : QStringLiteral("jpg"));
        picturePath[int(i)] = path;
        pictures.push_back({path, shape.image, false});
    }
    const auto pageBackground = [&](QXmlStreamWriter& xml, const char* name) {
        xml.writeStartElement(QStringLiteral("style:style"));
        attribute(xml, "style:name", QString::fromLatin1(name));
        attribute(xml, "style:family", QStringLiteral("drawing-page"));
        xml.writeEmptyElement(QStringLiteral("style:drawing-page-properties"));
        attribute(xml, "draw:background-size", QStringLiteral("full"));
        attribute(xml, "draw:fill", QStringLiteral("solid"));
        attribute(xml, "draw:fill-color", deck.background.name());
        xml.writeEndElement();
    };

    const QByteArray content = part([&](QXmlStreamWriter& xml) {
        rootElement(xml, QStringLiteral("office:document-content"));
        xml.writeStartElement(QStringLiteral("office:automatic-styles"));
        pageBackground(xml, "dp1");
        shapeStyles(xml, u, deck);
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("office:body"));
        xml.writeStartElement(QStringLiteral("office:presentation"));
        xml.writeStartElement(QStringLiteral("draw:page"));
        attribute(xml, "draw:name", deck.title.isEmpty() ? QStringLiteral("page1") : deck.title);
        attribute(xml, "draw:style-name", QStringLiteral("dp1"));
        attribute(xml, "draw:master-page-name", QStringLiteral("Default"));
        for (std::size_t i = 0; i < deck.shapes.size(); ++i)
            shapeElement(xml, u, deck.shapes[i], int(i), picturePath[int(i)]);
        if (!deck.clicks.empty())
            animations(xml, deck);
        xml.writeStartElement(QStringLiteral("presentation:notes"));
        xml.writeStartElement(QStringLiteral("draw:frame"));
        attribute(xml, "presentation:class", QStringLiteral("notes"));
        attribute(xml, "svg:x", QStringLiteral("1.5cm"));
        attribute(xml, "svg:y", QStringLiteral("14cm"));
        attribute(xml, "svg:width", QStringLiteral("18cm"));
        attribute(xml, "svg:height", QStringLiteral("12cm"));
        xml.writeStartElement(QStringLiteral("draw:text-box"));
        for (std::size_t k = 0; k < deck.clicks.size(); ++k)
            paragraphs(xml, QStringLiteral("%1. %2").arg(k + 1).arg(deck.clicks[k].notes), {}, {});
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();  // notes
        xml.writeEndElement();  // page
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
    });

    const QByteArray styles = part([&](QXmlStreamWriter& xml) {
        rootElement(xml, QStringLiteral("office:document-styles"));
        xml.writeStartElement(QStringLiteral("office:styles"));
        xml.writeEmptyElement(QStringLiteral("draw:marker"));
        attribute(xml, "draw:name", QStringLiteral("Arrow"));
        attribute(xml, "svg:viewBox", QStringLiteral("0 0 20 30"));
        attribute(xml, "svg:d", QStringLiteral("M10 0l-10 30h20z"));
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("office:automatic-styles"));
        xml.writeStartElement(QStringLiteral("style:page-layout"));
        attribute(xml, "style:name", QStringLiteral("PM1"));
        xml.writeEmptyElement(QStringLiteral("style:page-layout-properties"));
        for (const char* margin : {"fo:margin-top", "fo:margin-bottom", "fo:margin-left", "fo:margin-right"})
            attribute(xml, margin, QStringLiteral("0cm"));
        attribute(xml, "fo:page-width", u.cm(deck.area.width()));
        attribute(xml, "fo:page-height", u.cm(deck.area.height()));
        attribute(xml, "style:print-orientation",
                  deck.area.width() >= deck.area.height() ? QStringLiteral("landscape") : QStringLiteral("portrait"));
        xml.writeEndElement();
        pageBackground(xml, "Mdp1");
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("office:master-styles"));
        xml.writeEmptyElement(QStringLiteral("style:master-page"));
        attribute(xml, "style:name", QStringLiteral("Default"));
        attribute(xml, "style:page-layout-name", QStringLiteral("PM1"));
        attribute(xml, "draw:style-name", QStringLiteral("Mdp1"));
        xml.writeEndElement();
        xml.writeEndElement();
    });

    const QByteArray manifest = part([&](QXmlStreamWriter& xml) {
        xml.writeStartElement(QStringLiteral("manifest:manifest"));
        xml.writeNamespace(kManifest, QStringLiteral("manifest"));
        xml.writeAttribute(kManifest, QStringLiteral("version"), QStringLiteral("1.3"));
        const auto entry = [&](const QString& path, const QString& type) {
            xml.writeEmptyElement(kManifest, QStringLiteral("file-entry"));
            xml.writeAttribute(kManifest, QStringLiteral("full-path"), path);
            if (path == QLatin1String("/"))
                xml.writeAttribute(kManifest, QStringLiteral("version"), QStringLiteral("1.3"));
            xml.writeAttribute(kManifest, QStringLiteral("media-type"), type);
        };
        entry(QStringLiteral("/"), kMimeType);
        entry(QStringLiteral("content.xml"), QStringLiteral("text/xml"));
        entry(QStringLiteral("styles.xml"), QStringLiteral("text/xml"));
        for (const ZipEntry& picture : pictures)
            entry(picture.name, picture.name.endsWith(QLatin1String(".png")) ? QStringLiteral("image/png")
                                                                             : QStringLiteral("image/jpeg"));
        xml.writeEndElement();
    });

    // The type comes first and stored, so that it can be read at a fixed place.
    std::vector<ZipEntry> files = {{QStringLiteral("mimetype"), kMimeType.toLatin1(), false},
                                   {QStringLiteral("content.xml"), content},
                                   {QStringLiteral("styles.xml"), styles},
                                   {QStringLiteral("META-INF/manifest.xml"), manifest}};
    files.insert(files.end(), pictures.begin(), pictures.end());
    return zipArchive(files, error);
}

}  // namespace velmar
