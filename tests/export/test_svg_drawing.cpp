#include "export/svg_drawing.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QXmlStreamReader>

using namespace velmar;

namespace {

struct Element {
    QString name;
    QXmlStreamAttributes attributes;
    QString text;
};

// What a painting wrote, read back by an XML reader inside an <svg> root.
QList<Element> paintedElements(const std::function<void(QPainter&)>& paint, QString* error)
{
    QString out;
    SvgDrawing drawing(QSize(400, 300));
    drawing.setOutput(&out);
    QPainter painter(&drawing);
    paint(painter);
    painter.end();
    QXmlStreamReader reader(QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\">") + out
                            + QStringLiteral("</svg>"));
    QList<Element> elements;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() != QLatin1String("svg"))
            elements.append({reader.name().toString(), reader.attributes(), {}});
        else if (reader.isCharacters() && !elements.isEmpty())
            elements.last().text += reader.text();
    }
    if (reader.hasError())
        *error = reader.errorString() + QStringLiteral(" in ") + out;
    return elements;
}

}  // namespace

class TestSvgDrawing : public QObject {
    Q_OBJECT
private slots:
    void hostileTextsAndFontsStayValues();
    void runsOfALineAreOneElement();
    void shapesLieWhereThePainterPutsThem();
};

// A text and a font name made to end the attribute or the element, open a script, or hold
// characters XML cannot carry arrive as one text element holding the text and one attribute
// holding the name.
void TestSvgDrawing::hostileTextsAndFontsStayValues()
{
    const QString family = QStringLiteral("Sans\"><script>alert(1)</script><text x=\"");
    const QString text = QStringLiteral("</text><script>x</script> & \" ' \x01\x0b") + QChar(0xD800) + QChar(0xFFFE)
                         + QStringLiteral("ё");
    QString error;
    const QList<Element> elements = paintedElements(
        [&](QPainter& p) {
            QFont font(family);
            font.setPixelSize(14);
            p.setFont(font);
            p.setPen(Qt::black);
            p.drawText(QPointF(10, 30), text);
        },
        &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(elements.size(), 1);
    QCOMPARE(elements[0].name, QStringLiteral("text"));
    QCOMPARE(elements[0].text, QStringLiteral("</text><script>x</script> & \" ' ё"));
    const QString written = elements[0].attributes.value(QStringLiteral("font-family")).toString();
    QVERIFY2(written.startsWith(QStringLiteral("'Sans\"><script>alert(1)</script><text x=\"',")), qPrintable(written));
    QCOMPARE(elements[0].attributes.value(QStringLiteral("font-size")).toString(), QStringLiteral("14"));
}

// A line drawn in several runs (as a line whose glyphs come from two fonts is) is one element at
// the first run's place, so that a browser's fonts cannot make the runs overlap; another
// baseline, or a shape drawn between, starts a new one.
void TestSvgDrawing::runsOfALineAreOneElement()
{
    QString error;
    const QList<Element> elements = paintedElements(
        [](QPainter& p) {
            p.setPen(Qt::blue);
            p.drawText(QPointF(10, 20), QStringLiteral("один "));
            p.drawText(QPointF(50, 20), QStringLiteral("два"));
            p.drawText(QPointF(10, 40), QStringLiteral("три"));
            p.fillRect(QRect(0, 50, 5, 5), Qt::red);
            p.drawText(QPointF(30, 40), QStringLiteral("четыре"));
        },
        &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QStringList seen;
    for (const Element& e : elements)
        seen << e.name + QLatin1Char(':') + e.text + QLatin1Char('@')
                    + e.attributes.value(QStringLiteral("x")).toString() + QLatin1Char(',')
                    + e.attributes.value(QStringLiteral("y")).toString();
    QCOMPARE(seen, QStringList({QStringLiteral("text:один два@10,20"), QStringLiteral("text:три@10,40"),
                                QStringLiteral("rect:@0,50"), QStringLiteral("text:четыре@30,40")}));
    QCOMPARE(elements[0].attributes.value(QStringLiteral("fill")).toString(), QStringLiteral("#0000ff"));
}

// Translations move the coordinates; any other transformation is the element's own, applied
// once; pens and brushes become strokes and fills; images are embedded.
void TestSvgDrawing::shapesLieWhereThePainterPutsThem()
{
    QString error;
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::green);
    const QList<Element> elements = paintedElements(
        [&](QPainter& p) {
            p.translate(5, 7);
            p.setPen(QPen(QColor(10, 20, 30), 2));
            p.setBrush(QColor(255, 0, 0, 128));
            p.drawRect(QRect(1, 2, 30, 40));
            p.setPen(Qt::NoPen);
            p.drawImage(QRect(10, 10, 8, 6), image);
            p.scale(2, 2);
            p.setBrush(Qt::NoBrush);
            p.setPen(Qt::black);
            p.drawLine(QPoint(1, 1), QPoint(3, 3));
        },
        &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(elements.size(), 3);
    const auto value = [&](int i, const char* name) {
        return elements[i].attributes.value(QLatin1String(name)).toString();
    };
    QCOMPARE(elements[0].name, QStringLiteral("rect"));
    QCOMPARE(value(0, "x") + QLatin1Char(',') + value(0, "y"), QStringLiteral("6,9"));
    QCOMPARE(value(0, "fill"), QStringLiteral("#ff0000"));
    QCOMPARE(value(0, "fill-opacity").left(4), QStringLiteral("0.50"));
    QCOMPARE(value(0, "stroke"), QStringLiteral("#0a141e"));
    QCOMPARE(value(0, "stroke-width"), QStringLiteral("2"));
    QCOMPARE(elements[1].name, QStringLiteral("image"));
    QCOMPARE(value(1, "x") + QLatin1Char(',') + value(1, "y") + QLatin1Char(' ') + value(1, "width"),
             QStringLiteral("15,17 8"));
    QVERIFY(value(1, "href").startsWith(QStringLiteral("data:image/png;base64,iVBOR")));
    QCOMPARE(elements[2].name, QStringLiteral("line"));
    QCOMPARE(value(2, "x1") + QLatin1Char(',') + value(2, "y2"), QStringLiteral("1,3"));
    QCOMPARE(value(2, "transform"), QStringLiteral("matrix(2,0,0,2,5,7)"));
}

QTEST_MAIN(TestSvgDrawing)
#include "test_svg_drawing.moc"
