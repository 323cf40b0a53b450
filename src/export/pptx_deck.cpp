// The slide deck as a PowerPoint presentation (Office Open XML): one slide, its notes, a blank
// layout and master, a theme, the pictures, and the clicks as entrance effects "appear".
#include "export/slide_deck.h"
#include "export/zip_archive.h"

#include <QXmlStreamWriter>

#include <cmath>

namespace velmar {

namespace {

const QString kP = QStringLiteral("http://schemas.openxmlformats.org/presentationml/2006/main");
const QString kA = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/main");
const QString kR = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
const QString kRels = QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships");
const QString kRelType = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");

// Writes one XML part: the declaration, then what `body` writes.
template <typename Body>
QByteArray part(Body body)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.writeStartDocument(QStringLiteral("1.0"), true);
    body(xml);
    xml.writeEndDocument();
    return bytes;
}

void rootElement(QXmlStreamWriter& xml, const QString& name)
{
    xml.writeStartElement(name);
    xml.writeNamespace(kA, QStringLiteral("a"));
    xml.writeNamespace(kR, QStringLiteral("r"));
    xml.writeNamespace(kP, QStringLiteral("p"));
}

struct Relation {
    QString id, type, target;
};

QByteArray relations(const std::vector<Relation>& list)
{
    return part([&](QXmlStreamWriter& xml) {
        xml.writeStartElement(QStringLiteral("Relationships"));
        xml.writeDefaultNamespace(kRels);
        for (const Relation& r : list) {
            xml.writeStartElement(QStringLiteral("Relationship"));
            xml.writeAttribute(QStringLiteral("Id"), r.id);
            xml.writeAttribute(QStringLiteral("Type"),
                               r.type.startsWith(QLatin1String("http")) ? r.type : kRelType + r.type);
            xml.writeAttribute(QStringLiteral("Target"), r.target);
            xml.writeEndElement();
        }
        xml.writeEndElement();
    });
}

QString hex(const QColor& colour) { return colour.name(QColor::HexRgb).mid(1).toUpper(); }

void solidFill(QXmlStreamWriter& xml, const QColor& colour)
{
    xml.writeStartElement(QStringLiteral("a:solidFill"));
    xml.writeEmptyElement(QStringLiteral("a:srgbClr"));
    xml.writeAttribute(QStringLiteral("val"), hex(colour));
    xml.writeEndElement();
}

// Pixels of the drawn area to the slide's units.
class Units {
public:
    explicit Units(QSize area) : m_emu(914400.0 * kSlideWidthInches / std::max(1, area.width())) {}
    qint64 emu(double pixels) const { return std::llround(pixels * m_emu); }
    QString s(double pixels) const { return QString::number(emu(pixels)); }
    // A font height in pixels as hundredths of a point.
    QString fontSize(double pixels) const
    {
        return QString::number(std::clamp<qint64>(std::llround(pixels * m_emu / 12700.0 * 100.0), 100, 400000));
    }

private:
    double m_emu;
};

void transform(QXmlStreamWriter& xml, const Units& u, const QRectF& box, bool flipH = false, bool flipV = false)
{
    xml.writeStartElement(QStringLiteral("a:xfrm"));
    if (flipH)
        xml.writeAttribute(QStringLiteral("flipH"), QStringLiteral("1"));
    if (flipV)
        xml.writeAttribute(QStringLiteral("flipV"), QStringLiteral("1"));
    xml.writeEmptyElement(QStringLiteral("a:off"));
    xml.writeAttribute(QStringLiteral("x"), u.s(box.left()));
    xml.writeAttribute(QStringLiteral("y"), u.s(box.top()));
    xml.writeEmptyElement(QStringLiteral("a:ext"));
    xml.writeAttribute(QStringLiteral("cx"), u.s(box.width()));
    xml.writeAttribute(QStringLiteral("cy"), u.s(box.height()));
    xml.writeEndElement();
}

void geometry(QXmlStreamWriter& xml, const QString& preset)
{
    xml.writeStartElement(QStringLiteral("a:prstGeom"));
    xml.writeAttribute(QStringLiteral("prst"), preset);
    xml.writeEmptyElement(QStringLiteral("a:avLst"));
    xml.writeEndElement();
}

void outline(QXmlStreamWriter& xml, const Units& u, const std::optional<QColor>& colour, double width = 1,
             bool head = false)
{
    xml.writeStartElement(QStringLiteral("a:ln"));
    if (colour) {
        xml.writeAttribute(QStringLiteral("w"), u.s(width));
        if (head)
            xml.writeAttribute(QStringLiteral("cap"), QStringLiteral("rnd"));
        solidFill(xml, *colour);
        if (head) {
            xml.writeEmptyElement(QStringLiteral("a:tailEnd"));
            xml.writeAttribute(QStringLiteral("type"), QStringLiteral("arrow"));
            xml.writeAttribute(QStringLiteral("w"), QStringLiteral("med"));
            xml.writeAttribute(QStringLiteral("len"), QStringLiteral("med"));
        }
    } else {
        xml.writeEmptyElement(QStringLiteral("a:noFill"));
    }
    xml.writeEndElement();
}

void names(QXmlStreamWriter& xml, const QString& element, int id, const QString& name, const QString& description = {})
{
    xml.writeEmptyElement(element);
    xml.writeAttribute(QStringLiteral("id"), QString::number(id));
    xml.writeAttribute(QStringLiteral("name"), name);
    if (!description.isEmpty())
        xml.writeAttribute(QStringLiteral("descr"), description);
}

void paragraphs(QXmlStreamWriter& xml, const Units& u, const SlideShape& shape)
{
    const QString align = shape.alignment & Qt::AlignRight     ? QStringLiteral("r")
                          : shape.alignment & Qt::AlignHCenter ? QStringLiteral("ctr")
                                                               : QStringLiteral("l");
    for (const QString& line : shape.text.split(QLatin1Char('\n'))) {
        xml.writeStartElement(QStringLiteral("a:p"));
        xml.writeEmptyElement(QStringLiteral("a:pPr"));
        xml.writeAttribute(QStringLiteral("algn"), align);
        const auto runProperties = [&](const QString& element) {
            xml.writeStartElement(element);
            xml.writeAttribute(QStringLiteral("lang"), QStringLiteral("ru-RU"));
            xml.writeAttribute(QStringLiteral("sz"), u.fontSize(shape.fontPixels));
            xml.writeAttribute(QStringLiteral("b"), shape.bold ? QStringLiteral("1") : QStringLiteral("0"));
            xml.writeAttribute(QStringLiteral("i"), shape.italic ? QStringLiteral("1") : QStringLiteral("0"));
            if (shape.underline)
                xml.writeAttribute(QStringLiteral("u"), QStringLiteral("sng"));
            solidFill(xml, shape.textColour);
            for (const char* script : {"a:latin", "a:cs"}) {
                xml.writeEmptyElement(QString::fromLatin1(script));
                xml.writeAttribute(QStringLiteral("typeface"), shape.fontFamily);
            }
            xml.writeEndElement();
        };
        if (!line.isEmpty()) {
            xml.writeStartElement(QStringLiteral("a:r"));
            runProperties(QStringLiteral("a:rPr"));
            xml.writeTextElement(QStringLiteral("a:t"), line);
            xml.writeEndElement();
        }
        runProperties(QStringLiteral("a:endParaRPr"));
        xml.writeEndElement();
    }
}

void boxShape(QXmlStreamWriter& xml, const Units& u, const SlideShape& shape, int id)
{
    xml.writeStartElement(QStringLiteral("p:sp"));
    xml.writeStartElement(QStringLiteral("p:nvSpPr"));
    names(xml, QStringLiteral("p:cNvPr"), id, QStringLiteral("Shape %1").arg(id));
    xml.writeEmptyElement(QStringLiteral("p:cNvSpPr"));
    if (!shape.text.isEmpty())
        xml.writeAttribute(QStringLiteral("txBox"), QStringLiteral("1"));
    xml.writeEmptyElement(QStringLiteral("p:nvPr"));
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("p:spPr"));
    transform(xml, u, shape.box);
    geometry(xml, QStringLiteral("rect"));
    if (shape.fill)
        solidFill(xml, *shape.fill);
    else
        xml.writeEmptyElement(QStringLiteral("a:noFill"));
    outline(xml, u, shape.border);
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("p:txBody"));
    xml.writeStartElement(QStringLiteral("a:bodyPr"));
    xml.writeAttribute(QStringLiteral("wrap"), shape.wrap ? QStringLiteral("square") : QStringLiteral("none"));
    for (const char* inset : {"lIns", "tIns", "rIns", "bIns"})
        xml.writeAttribute(QString::fromLatin1(inset), u.s(1));
    xml.writeAttribute(QStringLiteral("anchor"),
                       shape.alignment & Qt::AlignVCenter ? QStringLiteral("ctr") : QStringLiteral("t"));
    xml.writeEmptyElement(QStringLiteral("a:noAutofit"));
    xml.writeEndElement();
    xml.writeEmptyElement(QStringLiteral("a:lstStyle"));
    if (shape.text.isEmpty()) {
        xml.writeEmptyElement(QStringLiteral("a:p"));
    } else {
        paragraphs(xml, u, shape);
    }
    xml.writeEndElement();
    xml.writeEndElement();
}

void pictureShape(QXmlStreamWriter& xml, const Units& u, const SlideShape& shape, int id, const QString& relation)
{
    xml.writeStartElement(QStringLiteral("p:pic"));
    xml.writeStartElement(QStringLiteral("p:nvPicPr"));
    names(xml, QStringLiteral("p:cNvPr"), id, QStringLiteral("Picture %1").arg(id), shape.name);
    xml.writeEmptyElement(QStringLiteral("p:cNvPicPr"));
    xml.writeEmptyElement(QStringLiteral("p:nvPr"));
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("p:blipFill"));
    xml.writeEmptyElement(QStringLiteral("a:blip"));
    xml.writeAttribute(kR, QStringLiteral("embed"), relation);
    xml.writeStartElement(QStringLiteral("a:stretch"));
    xml.writeEmptyElement(QStringLiteral("a:fillRect"));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("p:spPr"));
    transform(xml, u, shape.box);
    geometry(xml, QStringLiteral("rect"));
    outline(xml, u, shape.border);
    xml.writeEndElement();
    xml.writeEndElement();
}

void lineShape(QXmlStreamWriter& xml, const Units& u, const SlideShape& shape, int id)
{
    const QLineF& l = shape.line;
    xml.writeStartElement(QStringLiteral("p:cxnSp"));
    xml.writeStartElement(QStringLiteral("p:nvCxnSpPr"));
    names(xml, QStringLiteral("p:cNvPr"), id, QStringLiteral("Arrow %1").arg(id));
    xml.writeEmptyElement(QStringLiteral("p:cNvCxnSpPr"));
    xml.writeEmptyElement(QStringLiteral("p:nvPr"));
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("p:spPr"));
    const QRectF box = QRectF(l.p1(), l.p2()).normalized();
    transform(xml, u, box, l.x2() < l.x1(), l.y2() < l.y1());
    geometry(xml, QStringLiteral("line"));
    outline(xml, u, shape.border, shape.lineWidth, shape.head);
    xml.writeEndElement();
    xml.writeEndElement();
}

// The clicks: the main sequence of the slide's timing, each click a group of "appear" effects.
void timing(QXmlStreamWriter& xml, const SlideDeck& deck, int firstShapeId)
{
    int node = 0;
    const auto timeNode = [&](const QList<std::pair<QString, QString>>& attributes) {
        xml.writeStartElement(QStringLiteral("p:cTn"));
        xml.writeAttribute(QStringLiteral("id"), QString::number(++node));
        for (const auto& [name, value] : attributes)
            xml.writeAttribute(name, value);
    };
    const auto start = [&](const QString& delay) {
        xml.writeStartElement(QStringLiteral("p:stCondLst"));
        xml.writeEmptyElement(QStringLiteral("p:cond"));
        xml.writeAttribute(QStringLiteral("delay"), delay);
        xml.writeEndElement();
    };
    xml.writeStartElement(QStringLiteral("p:timing"));
    xml.writeStartElement(QStringLiteral("p:tnLst"));
    xml.writeStartElement(QStringLiteral("p:par"));
    timeNode({{QStringLiteral("dur"), QStringLiteral("indefinite")},
              {QStringLiteral("restart"), QStringLiteral("never")},
              {QStringLiteral("nodeType"), QStringLiteral("tmRoot")}});
    xml.writeStartElement(QStringLiteral("p:childTnLst"));
    xml.writeStartElement(QStringLiteral("p:seq"));
    xml.writeAttribute(QStringLiteral("concurrent"), QStringLiteral("1"));
    xml.writeAttribute(QStringLiteral("nextAc"), QStringLiteral("seek"));
    timeNode({{QStringLiteral("dur"), QStringLiteral("indefinite")},
              {QStringLiteral("nodeType"), QStringLiteral("mainSeq")}});
    xml.writeStartElement(QStringLiteral("p:childTnLst"));
    for (const SlideStep& click : deck.clicks) {
        xml.writeStartElement(QStringLiteral("p:par"));
        timeNode({{QStringLiteral("fill"), QStringLiteral("hold")}});
        start(QStringLiteral("indefinite"));
        xml.writeStartElement(QStringLiteral("p:childTnLst"));
        xml.writeStartElement(QStringLiteral("p:par"));
        timeNode({{QStringLiteral("fill"), QStringLiteral("hold")}});
        start(QStringLiteral("0"));
        xml.writeStartElement(QStringLiteral("p:childTnLst"));
        bool first = true;
        for (int index : click.shapes) {
            xml.writeStartElement(QStringLiteral("p:par"));
            timeNode(
                {{QStringLiteral("presetID"), QStringLiteral("1")},
                 {QStringLiteral("presetClass"), QStringLiteral("entr")},
                 {QStringLiteral("presetSubtype"), QStringLiteral("0")},
                 {QStringLiteral("fill"), QStringLiteral("hold")},
                 {QStringLiteral("grpId"), QStringLiteral("0")},
                 {QStringLiteral("nodeType"), first ? QStringLiteral("clickEffect") : QStringLiteral("withEffect")}});
            first = false;
            start(QStringLiteral("0"));
            xml.writeStartElement(QStringLiteral("p:childTnLst"));
            xml.writeStartElement(QStringLiteral("p:set"));
            xml.writeStartElement(QStringLiteral("p:cBhvr"));
            timeNode({{QStringLiteral("dur"), QStringLiteral("1")}, {QStringLiteral("fill"), QStringLiteral("hold")}});
            start(QStringLiteral("0"));
            xml.writeEndElement();
            xml.writeStartElement(QStringLiteral("p:tgtEl"));
            xml.writeEmptyElement(QStringLiteral("p:spTgt"));
            xml.writeAttribute(QStringLiteral("spid"), QString::number(firstShapeId + index));
            xml.writeEndElement();
            xml.writeStartElement(QStringLiteral("p:attrNameLst"));
            xml.writeTextElement(QStringLiteral("p:attrName"), QStringLiteral("style.visibility"));
            xml.writeEndElement();
            xml.writeEndElement();  // cBhvr
            xml.writeStartElement(QStringLiteral("p:to"));
            xml.writeEmptyElement(QStringLiteral("p:strVal"));
            xml.writeAttribute(QStringLiteral("val"), QStringLiteral("visible"));
            xml.writeEndElement();
            xml.writeEndElement();  // set
            xml.writeEndElement();  // childTnLst
            xml.writeEndElement();  // cTn
            xml.writeEndElement();  // par
        }
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndElement();  // childTnLst
    xml.writeEndElement();  // cTn mainSeq
    for (const char* list : {"p:prevCondLst", "p:nextCondLst"}) {
        xml.writeStartElement(QString::fromLatin1(list));
        xml.writeStartElement(QStringLiteral("p:cond"));
        xml.writeAttribute(QStringLiteral("evt"), list[2] == 'p' ? QStringLiteral("onPrev") : QStringLiteral("onNext"));
        xml.writeAttribute(QStringLiteral("delay"), QStringLiteral("0"));
        xml.writeStartElement(QStringLiteral("p:tgtEl"));
        xml.writeEmptyElement(QStringLiteral("p:sldTgt"));
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndElement();  // seq
    xml.writeEndElement();  // childTnLst
    xml.writeEndElement();  // cTn root
    xml.writeEndElement();  // par
    xml.writeEndElement();  // tnLst
    // The build list names every shape with a text body that an effect brings in: PowerPoint
    // plays the effects of such shapes only when they are listed here. Pictures and lines
    // need no entry.
    xml.writeStartElement(QStringLiteral("p:bldLst"));
    for (const SlideStep& click : deck.clicks)
        for (int index : click.shapes)
            if (deck.shapes[std::size_t(index)].kind == SlideShape::Kind::Box) {
                xml.writeEmptyElement(QStringLiteral("p:bldP"));
                xml.writeAttribute(QStringLiteral("spid"), QString::number(firstShapeId + index));
                xml.writeAttribute(QStringLiteral("grpId"), QStringLiteral("0"));
                xml.writeAttribute(QStringLiteral("animBg"), QStringLiteral("1"));
            }
    xml.writeEndElement();  // bldLst
    xml.writeEndElement();  // timing
}

void emptyTree(QXmlStreamWriter& xml)
{
    xml.writeStartElement(QStringLiteral("p:spTree"));
    xml.writeStartElement(QStringLiteral("p:nvGrpSpPr"));
    names(xml, QStringLiteral("p:cNvPr"), 1, QString());
    xml.writeEmptyElement(QStringLiteral("p:cNvGrpSpPr"));
    xml.writeEmptyElement(QStringLiteral("p:nvPr"));
    xml.writeEndElement();
    xml.writeEmptyElement(QStringLiteral("p:grpSpPr"));
}

void colourMap(QXmlStreamWriter& xml, const QString& element)
{
    xml.writeEmptyElement(element);
    const char* pairs[][2] = {{"bg1", "lt1"},         {"tx1", "dk1"},         {"bg2", "lt2"},
                              {"tx2", "dk2"},         {"accent1", "accent1"}, {"accent2", "accent2"},
                              {"accent3", "accent3"}, {"accent4", "accent4"}, {"accent5", "accent5"},
                              {"accent6", "accent6"}, {"hlink", "hlink"},     {"folHlink", "folHlink"}};
    for (const auto& pair : pairs)
        xml.writeAttribute(QString::fromLatin1(pair[0]), QString::fromLatin1(pair[1]));
}

QByteArray theme()
{
    return part([](QXmlStreamWriter& xml) {
        xml.writeStartElement(QStringLiteral("a:theme"));
        xml.writeNamespace(kA, QStringLiteral("a"));
        xml.writeAttribute(QStringLiteral("name"), QStringLiteral("Velmar"));
        xml.writeStartElement(QStringLiteral("a:themeElements"));
        xml.writeStartElement(QStringLiteral("a:clrScheme"));
        xml.writeAttribute(QStringLiteral("name"), QStringLiteral("Velmar"));
        const char* colours[][2] = {{"dk1", "000000"},     {"lt1", "FFFFFF"},     {"dk2", "1F1F1F"},
                                    {"lt2", "EEEEEE"},     {"accent1", "4472C4"}, {"accent2", "ED7D31"},
                                    {"accent3", "A5A5A5"}, {"accent4", "FFC000"}, {"accent5", "5B9BD5"},
                                    {"accent6", "70AD47"}, {"hlink", "0563C1"},   {"folHlink", "954F72"}};
        for (const auto& c : colours) {
            xml.writeStartElement(QStringLiteral("a:") + QString::fromLatin1(c[0]));
            xml.writeEmptyElement(QStringLiteral("a:srgbClr"));
            xml.writeAttribute(QStringLiteral("val"), QString::fromLatin1(c[1]));
            xml.writeEndElement();
        }
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("a:fontScheme"));
        xml.writeAttribute(QStringLiteral("name"), QStringLiteral("Velmar"));
        for (const char* font : {"a:majorFont", "a:minorFont"}) {
            xml.writeStartElement(QString::fromLatin1(font));
            for (const char* script : {"a:latin", "a:ea", "a:cs"}) {
                xml.writeEmptyElement(QString::fromLatin1(script));
                xml.writeAttribute(QStringLiteral("typeface"),
                                   script[2] == 'l' ? QStringLiteral("DejaVu Sans") : QString());
            }
            xml.writeEndElement();
        }
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("a:fmtScheme"));
        xml.writeAttribute(QStringLiteral("name"), QStringLiteral("Velmar"));
        for (const char* list : {"a:fillStyleLst", "a:lnStyleLst", "a:effectStyleLst", "a:bgFillStyleLst"}) {
            xml.writeStartElement(QString::fromLatin1(list));
            for (int k = 0; k < 3; ++k) {
                const QString name = QString::fromLatin1(list);
                if (name == QLatin1String("a:lnStyleLst")) {
                    xml.writeStartElement(QStringLiteral("a:ln"));
                    xml.writeAttribute(QStringLiteral("w"), QString::number(9525 * (k + 1)));
                    solidFill(xml, Qt::black);
                    xml.writeEndElement();
                } else if (name == QLatin1String("a:effectStyleLst")) {
                    xml.writeStartElement(QStringLiteral("a:effectStyle"));
                    xml.writeEmptyElement(QStringLiteral("a:effectLst"));
                    xml.writeEndElement();
                } else {
                    solidFill(xml, Qt::white);
                }
            }
            xml.writeEndElement();
        }
        xml.writeEndElement();  // fmtScheme
        xml.writeEndElement();  // themeElements
        xml.writeEndElement();
    });
}

}  // namespace

QByteArray pptxDeck(const SlideDeck& deck, QString* error)
{
    const Units u(deck.area);
    const qint64 slideWidth = u.emu(deck.area.width());
    const qint64 slideHeight = std::clamp<qint64>(u.emu(deck.area.height()), 914400, 51206400);
    std::vector<ZipEntry> files;

    // The pictures, as the deck holds them, and the slide's relations to them.
    std::vector<Relation> slideRelations = {
        {QStringLiteral("rId1"), QStringLiteral("slideLayout"), QStringLiteral("../slideLayouts/slideLayout1.xml")},
        {QStringLiteral("rId2"), QStringLiteral("notesSlide"), QStringLiteral("../notesSlides/notesSlide1.xml")}};
    std::map<int, QString> pictureRelation;
    for (std::size_t i = 0; i < deck.shapes.size(); ++i) {
        const SlideShape& shape = deck.shapes[i];
        if (shape.kind != SlideShape::Kind::Picture)
            continue;
        const QString id = QStringLiteral("rId%1").arg(slideRelations.size() + 1);
        const QString file =
            QStringLiteral("image%1.%2")
                .arg(pictureRelation.size() + 1)
                .arg(shape.imageType == QLatin1String("png") ? QStringLiteral("png") : QStringLiteral("jpeg"));
        slideRelations.push_back({id, QStringLiteral("image"), QStringLiteral("../media/") + file});
        pictureRelation[int(i)] = id;
        files.push_back({QStringLiteral("ppt/media/") + file, shape.image, false});
    }

    // Shape ids: 1 is the shape tree, the shapes follow in drawing order.
    constexpr int kFirstShapeId = 2;
    const QByteArray slide = part([&](QXmlStreamWriter& xml) {
        rootElement(xml, QStringLiteral("p:sld"));
        xml.writeStartElement(QStringLiteral("p:cSld"));
        xml.writeStartElement(QStringLiteral("p:bg"));
        xml.writeStartElement(QStringLiteral("p:bgPr"));
        solidFill(xml, deck.background);
        xml.writeEmptyElement(QStringLiteral("a:effectLst"));
        xml.writeEndElement();
        xml.writeEndElement();
        emptyTree(xml);
        for (std::size_t i = 0; i < deck.shapes.size(); ++i) {
            const SlideShape& shape = deck.shapes[i];
            const int id = kFirstShapeId + int(i);
            switch (shape.kind) {
            case SlideShape::Kind::Box: boxShape(xml, u, shape, id); break;
            case SlideShape::Kind::Picture: pictureShape(xml, u, shape, id, pictureRelation[int(i)]); break;
            case SlideShape::Kind::Line: lineShape(xml, u, shape, id); break;
            }
        }
        xml.writeEndElement();  // spTree
        xml.writeEndElement();  // cSld
        xml.writeStartElement(QStringLiteral("p:clrMapOvr"));
        xml.writeEmptyElement(QStringLiteral("a:masterClrMapping"));
        xml.writeEndElement();
        if (!deck.clicks.empty())
            timing(xml, deck, kFirstShapeId);
        xml.writeEndElement();
    });

    const QByteArray notes = part([&](QXmlStreamWriter& xml) {
        rootElement(xml, QStringLiteral("p:notes"));
        xml.writeStartElement(QStringLiteral("p:cSld"));
        emptyTree(xml);
        xml.writeStartElement(QStringLiteral("p:sp"));
        xml.writeStartElement(QStringLiteral("p:nvSpPr"));
        names(xml, QStringLiteral("p:cNvPr"), 2, QStringLiteral("Notes"));
        xml.writeEmptyElement(QStringLiteral("p:cNvSpPr"));
        xml.writeStartElement(QStringLiteral("p:nvPr"));
        xml.writeEmptyElement(QStringLiteral("p:ph"));
        xml.writeAttribute(QStringLiteral("type"), QStringLiteral("body"));
        xml.writeAttribute(QStringLiteral("idx"), QStringLiteral("1"));
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("p:spPr"));
        transform(xml, Units(QSize(1, 1)), QRectF(0.07, 0.5, 0.86, 0.4));
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("p:txBody"));
        xml.writeEmptyElement(QStringLiteral("a:bodyPr"));
        xml.writeEmptyElement(QStringLiteral("a:lstStyle"));
        for (std::size_t k = 0; k < deck.clicks.size(); ++k) {
            const QStringList lines = deck.clicks[k].notes.split(QLatin1Char('\n'));
            for (int l = 0; l < lines.size(); ++l) {
                xml.writeStartElement(QStringLiteral("a:p"));
                xml.writeStartElement(QStringLiteral("a:r"));
                xml.writeEmptyElement(QStringLiteral("a:rPr"));
                xml.writeAttribute(QStringLiteral("lang"), QStringLiteral("ru-RU"));
                xml.writeTextElement(QStringLiteral("a:t"),
                                     l == 0 ? QStringLiteral("%1. %2").arg(k + 1).arg(lines[l]) : lines[l]);
                xml.writeEndElement();
                xml.writeEndElement();
            }
        }
        if (deck.clicks.empty())
            xml.writeEmptyElement(QStringLiteral("a:p"));
        xml.writeEndElement();
        xml.writeEndElement();  // sp
        xml.writeEndElement();  // spTree
        xml.writeEndElement();  // cSld
        xml.writeEndElement();
    });

    const auto master = [&](const QString& root, bool layouts) {
        return part([&](QXmlStreamWriter& xml) {
            rootElement(xml, root);
            xml.writeStartElement(QStringLiteral("p:cSld"));
            emptyTree(xml);
            xml.writeEndElement();
            xml.writeEndElement();
            colourMap(xml, QStringLiteral("p:clrMap"));
            if (layouts) {
                xml.writeStartElement(QStringLiteral("p:sldLayoutIdLst"));
                xml.writeEmptyElement(QStringLiteral("p:sldLayoutId"));
                xml.writeAttribute(QStringLiteral("id"), QStringLiteral("2147483649"));
                xml.writeAttribute(kR, QStringLiteral("id"), QStringLiteral("rId1"));
                xml.writeEndElement();
            }
            xml.writeEndElement();
        });
    };
    const QByteArray layout = part([](QXmlStreamWriter& xml) {
        rootElement(xml, QStringLiteral("p:sldLayout"));
        xml.writeAttribute(QStringLiteral("type"), QStringLiteral("blank"));
        xml.writeStartElement(QStringLiteral("p:cSld"));
        xml.writeAttribute(QStringLiteral("name"), QStringLiteral("Blank"));
        emptyTree(xml);
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("p:clrMapOvr"));
        xml.writeEmptyElement(QStringLiteral("a:masterClrMapping"));
        xml.writeEndElement();
        xml.writeEndElement();
    });

    const QByteArray presentation = part([&](QXmlStreamWriter& xml) {
        rootElement(xml, QStringLiteral("p:presentation"));
        xml.writeStartElement(QStringLiteral("p:sldMasterIdLst"));
        xml.writeEmptyElement(QStringLiteral("p:sldMasterId"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("2147483648"));
        xml.writeAttribute(kR, QStringLiteral("id"), QStringLiteral("rId1"));
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("p:notesMasterIdLst"));
        xml.writeEmptyElement(QStringLiteral("p:notesMasterId"));
        xml.writeAttribute(kR, QStringLiteral("id"), QStringLiteral("rId3"));
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("p:sldIdLst"));
        xml.writeEmptyElement(QStringLiteral("p:sldId"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("256"));
        xml.writeAttribute(kR, QStringLiteral("id"), QStringLiteral("rId2"));
        xml.writeEndElement();
        xml.writeEmptyElement(QStringLiteral("p:sldSz"));
        xml.writeAttribute(QStringLiteral("cx"), QString::number(slideWidth));
        xml.writeAttribute(QStringLiteral("cy"), QString::number(slideHeight));
        xml.writeEmptyElement(QStringLiteral("p:notesSz"));
        xml.writeAttribute(QStringLiteral("cx"), QStringLiteral("6858000"));
        xml.writeAttribute(QStringLiteral("cy"), QStringLiteral("9144000"));
        xml.writeEndElement();
    });

    const QByteArray contentTypes = part([&](QXmlStreamWriter& xml) {
        const QString ns = QStringLiteral("http://schemas.openxmlformats.org/package/2006/content-types");
        const QString pml = QStringLiteral("application/vnd.openxmlformats-officedocument.presentationml.");
        xml.writeStartElement(QStringLiteral("Types"));
        xml.writeDefaultNamespace(ns);
        const auto byExtension = [&](const char* extension, const QString& type) {
            xml.writeEmptyElement(QStringLiteral("Default"));
            xml.writeAttribute(QStringLiteral("Extension"), QString::fromLatin1(extension));
            xml.writeAttribute(QStringLiteral("ContentType"), type);
        };
        byExtension("rels", QStringLiteral("application/vnd.openxmlformats-package.relationships+xml"));
        byExtension("xml", QStringLiteral("application/xml"));
        byExtension("jpeg", QStringLiteral("image/jpeg"));
        byExtension("png", QStringLiteral("image/png"));
        const auto byName = [&](const char* name, const QString& type) {
            xml.writeEmptyElement(QStringLiteral("Override"));
            xml.writeAttribute(QStringLiteral("PartName"), QString::fromLatin1(name));
            xml.writeAttribute(QStringLiteral("ContentType"), type);
        };
        byName("/ppt/presentation.xml", pml + QStringLiteral("presentation.main+xml"));
        byName("/ppt/slides/slide1.xml", pml + QStringLiteral("slide+xml"));
        byName("/ppt/slideLayouts/slideLayout1.xml", pml + QStringLiteral("slideLayout+xml"));
        byName("/ppt/slideMasters/slideMaster1.xml", pml + QStringLiteral("slideMaster+xml"));
        byName("/ppt/notesSlides/notesSlide1.xml", pml + QStringLiteral("notesSlide+xml"));
        byName("/ppt/notesMasters/notesMaster1.xml", pml + QStringLiteral("notesMaster+xml"));
        byName("/ppt/theme/theme1.xml", QStringLiteral("application/vnd.openxmlformats-officedocument.theme+xml"));
        byName("/ppt/theme/theme2.xml", QStringLiteral("application/vnd.openxmlformats-officedocument.theme+xml"));
        xml.writeEndElement();
    });

    std::vector<ZipEntry> parts = {
        {QStringLiteral("[Content_Types].xml"), contentTypes},
        {QStringLiteral("_rels/.rels"), relations({{QStringLiteral("rId1"), QStringLiteral("officeDocument"),
                                                    QStringLiteral("ppt/presentation.xml")}})},
        {QStringLiteral("ppt/presentation.xml"), presentation},
        {QStringLiteral("ppt/_rels/presentation.xml.rels"),
         relations(
             {{QStringLiteral("rId1"), QStringLiteral("slideMaster"), QStringLiteral("slideMasters/slideMaster1.xml")},
              {QStringLiteral("rId2"), QStringLiteral("slide"), QStringLiteral("slides/slide1.xml")},
              {QStringLiteral("rId3"), QStringLiteral("notesMaster"), QStringLiteral("notesMasters/notesMaster1.xml")},
              {QStringLiteral("rId4"), QStringLiteral("theme"), QStringLiteral("theme/theme1.xml")}})},
        {QStringLiteral("ppt/slides/slide1.xml"), slide},
        {QStringLiteral("ppt/slides/_rels/slide1.xml.rels"), relations(slideRelations)},
        {QStringLiteral("ppt/notesSlides/notesSlide1.xml"), notes},
        {QStringLiteral("ppt/notesSlides/_rels/notesSlide1.xml.rels"),
         relations({{QStringLiteral("rId1"), QStringLiteral("notesMaster"),
                     QStringLiteral("../notesMasters/notesMaster1.xml")},
                    {QStringLiteral("rId2"), QStringLiteral("slide"), QStringLiteral("../slides/slide1.xml")}})},
        {QStringLiteral("ppt/slideLayouts/slideLayout1.xml"), layout},
        {QStringLiteral("ppt/slideLayouts/_rels/slideLayout1.xml.rels"),
         relations({{QStringLiteral("rId1"), QStringLiteral("slideMaster"),
                     QStringLiteral("../slideMasters/slideMaster1.xml")}})},
        {QStringLiteral("ppt/slideMasters/slideMaster1.xml"), master(QStringLiteral("p:sldMaster"), true)},
        {QStringLiteral("ppt/slideMasters/_rels/slideMaster1.xml.rels"),
         relations({{QStringLiteral("rId1"), QStringLiteral("slideLayout"),
                     QStringLiteral("../slideLayouts/slideLayout1.xml")},
                    {QStringLiteral("rId2"), QStringLiteral("theme"), QStringLiteral("../theme/theme1.xml")}})},
        {QStringLiteral("ppt/notesMasters/notesMaster1.xml"), master(QStringLiteral("p:notesMaster"), false)},
        {QStringLiteral("ppt/notesMasters/_rels/notesMaster1.xml.rels"),
         relations({{QStringLiteral("rId1"), QStringLiteral("theme"), QStringLiteral("../theme/theme2.xml")}})},
        {QStringLiteral("ppt/theme/theme1.xml"), theme()},
        {QStringLiteral("ppt/theme/theme2.xml"), theme()},
    };
    parts.insert(parts.end(), files.begin(), files.end());
    return zipArchive(parts, error);
}

}  // namespace velmar
