#include "export/slide_deck.h"
#include "model/reveal_order.h"
#include "model/window_layout.h"

#include <QBuffer>
#include <QTest>
#include <QXmlStreamReader>

#include <zip.h>

using namespace velmar;

namespace {

const QSize kClient(960, 631);  // a drawn area of 960 × 600

// One file of a zip archive held in memory; empty when it is missing.
QByteArray zipEntry(const QByteArray& archive, const char* name)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(archive.constData(), zip_uint64_t(archive.size()), 0, &error);
    zip_t* zip = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    zip_error_fini(&error);
    if (!zip) {
        if (source)
            zip_source_free(source);
        return {};
    }
    QByteArray bytes;
    zip_stat_t stat;
    if (zip_stat(zip, name, 0, &stat) == 0) {
        if (zip_file_t* file = zip_fopen(zip, name, 0)) {
            bytes.resize(qsizetype(stat.size));
            if (zip_fread(file, bytes.data(), stat.size) != zip_int64_t(stat.size))
                bytes.clear();
            zip_fclose(file);
        }
    }
    zip_close(zip);
    return bytes;
}

// The values of an attribute of every element of a name, in document order; fails on bad XML.
QStringList attributeValues(const QByteArray& xml, QStringView element, QStringView attribute, bool* wellFormed)
{
    QStringList values;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.qualifiedName() != element)
            continue;
        for (const QXmlStreamAttribute& a : reader.attributes()) {
            if (a.qualifiedName() == attribute)
                values << a.value().toString();
        }
    }
    *wellFormed = !reader.hasError() && !xml.isEmpty();
    return values;
}

// A frame with a photo and a text field, a text field on the canvas, and an arrow from bare canvas
// to the photo.
Document lesson()
{
    Document doc;
    Outline& o = doc.outline;
    const int frame = o.createFrame(QRect(100, 80, 400, 300), QStringLiteral("Рамка"));
    o.frame(frame).minimalText = QStringLiteral("Рамка\r\nвторая строка");
    const int picture = o.createPicture(QRect(20, 40, 160, 120), frame);
    QImage photo(160, 120, QImage::Format_RGB32);
    photo.fill(Qt::darkGreen);
    o.picture(picture).setBitmap(photo);
    QByteArray stream;
    QBuffer buffer(&stream);
    buffer.open(QIODevice::WriteOnly);
    photo.save(&buffer, "JPEG", 90);
    o.picture(picture).setJpegStream(stream);
    const int inside = o.createTextField(QRect(200, 40, 150, 50), kButtonFace, QStringLiteral("Внутри"), frame);
    o.textField(inside).font.size = 12;
    const int outside = o.createTextField(QRect(600, 400, 200, 50), kButtonFace, QStringLiteral("Снаружи"), 0);
    o.textField(outside).alignment = AlignCentre;
    o.createArrow(900, 520, 200, 200, 3, kBlack);
    return doc;
}

}  // namespace

class TestSlideDeck : public QObject {
    Q_OBJECT
private slots:
    // Shapes lie where the drawn area has their objects; the clicks are the show's steps in order,
    // each with the shapes of its objects; the arrow comes with the photo it points at.
    void shapesAndClicksFollowTheShow()
    {
        const Document doc = lesson();
        const SlideDeck deck = slideDeck(doc, kClient);
        QCOMPARE(deck.area, QSize(960, 600));
        const RevealOrder order(doc.outline);
        QCOMPARE(int(deck.clicks.size()), order.stepCount() - 1);
        for (int s = 1; s < order.stepCount(); ++s) {
            std::vector<ObjectId> objects;
            for (int index : deck.clicks[std::size_t(s - 1)].shapes) {
                const ObjectId id = deck.shapes[std::size_t(index)].object;
                QCOMPARE(deck.shapes[std::size_t(index)].step, s);
                if (objects.empty() || objects.back() != id)
                    objects.push_back(id);
            }
            QCOMPARE(objects, order.step(s).appearing);
        }
        QCOMPARE(deck.clicks.front().notes, QStringLiteral("Рамка\nвторая строка"));

        const Outline& o = doc.outline;
        const auto shapeOf = [&](ObjectId id) {
            for (const SlideShape& shape : deck.shapes)
                if (shape.object == id)
                    return shape;
            return SlideShape{};
        };
        // The photo: frame-relative bounds on the canvas, less the tool bar above the drawn area.
        const SlideShape photo = shapeOf(o.picture(1).id);
        QCOMPARE(photo.kind, SlideShape::Kind::Picture);
        QCOMPARE(photo.box, QRectF(120, 120 - kToolBarHeight, 160, 120));
        QVERIFY(!photo.image.isEmpty());
        QCOMPARE(photo.image, o.picture(1).jpegStream());  // as stored, not encoded again
        const SlideShape arrow = shapeOf(o.arrow(1).id);
        QCOMPARE(arrow.line, QLineF(900, 520 - kToolBarHeight, 200, 200 - kToolBarHeight));
        QCOMPARE(arrow.step, order.stepOf(o.picture(1).id));
        const SlideShape centred = shapeOf(o.textField(2).id);
        QVERIFY(centred.alignment & Qt::AlignHCenter);
        QCOMPARE(centred.text, QStringLiteral("Снаружи"));
    }

    // The slide keeps the outline's aspect at ten inches wide, and fonts keep their size relative
    // to the slide: a 16-pixel font on a 960-pixel area is 12 points on a 720-point slide.
    void slideSizeAndFontsScaleTogether()
    {
        const Document doc = lesson();
        SlideDeck deck = slideDeck(doc, kClient);
        for (SlideShape& shape : deck.shapes)
            shape.fontPixels = 16;
        QString error;
        const QByteArray pptx = pptxDeck(deck, &error);
        bool ok = false;
        QCOMPARE(attributeValues(zipEntry(pptx, "ppt/presentation.xml"), u"p:sldSz", u"cx", &ok),
                 QStringList{QStringLiteral("9144000")});
        QCOMPARE(attributeValues(zipEntry(pptx, "ppt/presentation.xml"), u"p:sldSz", u"cy", &ok),
                 QStringList{QStringLiteral("5715000")});
        const QStringList sizes = attributeValues(zipEntry(pptx, "ppt/slides/slide1.xml"), u"a:rPr", u"sz", &ok);
        QVERIFY(ok && !sizes.isEmpty());
        QCOMPARE(sizes.count(QStringLiteral("1200")), sizes.size());

        const QByteArray odp = odpDeck(deck, &error);
        QCOMPARE(attributeValues(zipEntry(odp, "styles.xml"), u"style:page-layout-properties", u"fo:page-width", &ok),
                 QStringList{QStringLiteral("25.4000cm")});
        QCOMPARE(attributeValues(zipEntry(odp, "styles.xml"), u"style:page-layout-properties", u"fo:page-height", &ok),
                 QStringList{QStringLiteral("15.8750cm")});
        const QStringList points =
            attributeValues(zipEntry(odp, "content.xml"), u"style:text-properties", u"fo:font-size", &ok);
        QVERIFY(ok && !points.isEmpty());
        QCOMPARE(points.count(QStringLiteral("12.00pt")), points.size());
    }

    // An outline of arrows alone shows them from the start: no clicks, no timing in either deck.
    // Control characters in texts and names leave both decks well-formed XML.
    void startWithoutClicksAndTextsWithControlCharacters()
    {
        Document arrows;
        arrows.outline.createArrow(10, 50, 200, 150, 2, kBlack);
        const SlideDeck still = slideDeck(arrows, kClient);
        QVERIFY(still.clicks.empty());
        QCOMPARE(int(still.shapes.size()), 1);
        QString error;
        const QByteArray slide = zipEntry(pptxDeck(still, &error), "ppt/slides/slide1.xml");
        QVERIFY(!slide.isEmpty() && !slide.contains("p:timing"));
        QVERIFY(!zipEntry(odpDeck(still, &error), "content.xml").contains("anim:seq"));

        Document doc = lesson();
        const QString crafted = QStringLiteral("a\x1b[31m b\x07 c\x01 <&>\"");
        doc.state.outlineName = crafted;
        doc.outline.frame(1).title = crafted;
        doc.outline.frame(1).minimalText = crafted;
        doc.outline.textField(1).text = crafted;
        doc.outline.textField(1).font.name = crafted;
        const SlideDeck deck = slideDeck(doc, kClient);
        bool ok = false;
        const QByteArray pptx = pptxDeck(deck, &error);
        for (const char* part : {"ppt/slides/slide1.xml", "ppt/notesSlides/notesSlide1.xml"}) {
            attributeValues(zipEntry(pptx, part), u"a:t", u"x", &ok);
            QVERIFY2(ok, part);
        }
        attributeValues(zipEntry(odpDeck(deck, &error), "content.xml"), u"text:p", u"x", &ok);
        QVERIFY(ok);
    }
};

QTEST_MAIN(TestSlideDeck)
#include "test_slide_deck.moc"
