// SVG export of an outline whose texts hold markup, entities and control characters: every file
// written is well-formed XML, holds only the drawing's own elements, and carries each text as
// text, in one element per line, with a generic font family to fall back on.
#include "export/outline_export.h"
#include "export/svg_text.h"
#include "storage/outline_io.h"

#include <QFile>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace velmar;

class TestSvgExport : public QObject {
    Q_OBJECT
private slots:
    void hostileTextsStayText();
    void sizeInPixelsAsThePicture();
    void finishingTheGeneratorsDrawing_data();
    void finishingTheGeneratorsDrawing();
};

namespace {

const QString kEsc = QString(QChar(0x1B));
const QString kVt = QString(QChar(0x0B));

// What a reader makes of an SVG: the elements by name, the attributes, the texts of the text
// elements and the title; `error` when it is not well-formed.
struct ReadSvg {
    QString error;
    QSet<QString> elements;
    QStringList attributeNames;
    QStringList fontFamilies;
    QStringList texts;
    QString title;
};

ReadSvg readSvg(const QByteArray& bytes)
{
    ReadSvg read;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        read.elements << name;
        for (const QXmlStreamAttribute& a : xml.attributes()) {
            read.attributeNames << a.qualifiedName().toString();
            if (a.name() == QLatin1String("font-family"))
                read.fontFamilies << a.value().toString();
        }
        if (name == QLatin1String("text"))
            read.texts << xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (name == QLatin1String("title"))
            read.title = xml.readElementText();
    }
    if (xml.hasError())
        read.error = xml.errorString() + QStringLiteral(" at line ") + QString::number(xml.lineNumber());
    return read;
}

}  // namespace

void TestSvgExport::hostileTextsStayText()
{
    Document doc;
    doc.state.windowSize = QSize(800, 600);
    doc.state.outlineName =
        QStringLiteral("Урок</title><script>fetch('x?'+document.cookie)</script><title> & <1>") + kEsc;
    Outline& o = doc.outline;
    o.createFrame(QRect(10, 40, 300, 200), QStringLiteral("Опыты & <1> \"кавычки\"") + kVt + QStringLiteral("!"));
    o.createFrame(QRect(320, 40, 300, 200), QStringLiteral("Вторая ]]> &amp;"));
    const int field = o.createTextField(QRect(10, 30, 250, 60), 0x00FFFFFF,
                                        QStringLiteral("Первая") + kEsc
                                            + QStringLiteral("[31m строка\r\n"
                                                             "</text><script>alert(1)</script>"),
                                        1);
    // A font name made to end the attribute and add a handler.
    o.textField(field).font.name = QStringLiteral("Arial\" onload=\"alert(1)");
    o.createCaption(QRect(10, 100, 200, 20), QStringLiteral("Подпись") + kEsc + QStringLiteral(" & ]]>"), 2);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("урок.svg"));
    const QSize client = doc.state.windowSize - defaultWindowChrome();
    QCOMPARE(exportOutline(doc, client, 1.0, path), QString());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const ReadSvg svg = readSvg(file.readAll());
    QVERIFY2(svg.error.isEmpty(), qPrintable(svg.error));

    // Only what a drawing is made of: no script, no element a text brought in.
    const QSet<QString> drawing = {QStringLiteral("svg"),      QStringLiteral("title"),   QStringLiteral("desc"),
                                   QStringLiteral("defs"),     QStringLiteral("g"),       QStringLiteral("path"),
                                   QStringLiteral("rect"),     QStringLiteral("text"),    QStringLiteral("image"),
                                   QStringLiteral("polyline"), QStringLiteral("polygon"), QStringLiteral("line"),
                                   QStringLiteral("circle"),   QStringLiteral("ellipse")};
    QVERIFY2((svg.elements - drawing).isEmpty(), qPrintable(QStringList((svg.elements - drawing).values()).join(' ')));
    for (const QString& attribute : svg.attributeNames)
        QVERIFY2(!attribute.startsWith(QLatin1String("on")), qPrintable(attribute));

    // Each text comes back as written, less the control characters (a frame title shows its
    // control character as a visible sign, as the window does).
    QCOMPARE(svg.title, QStringLiteral("Урок</title><script>fetch('x?'+document.cookie)</script><title> & <1>"));
    const QString texts = svg.texts.join(QLatin1Char('\n'));
    for (const QString& expected :
         {QStringLiteral("Опыты & <1> \"кавычки\"\u240B!"), QStringLiteral("Вторая ]]> &amp;"),
          QStringLiteral("Первая[31m строка"), QStringLiteral("</text><script>alert(1)</script>"),
          QStringLiteral("Подпись & ]]>")})
        QVERIFY2(svg.texts.contains(expected), qPrintable(expected + QStringLiteral("\n--- among ---\n") + texts));
    QVERIFY2(!texts.contains(kEsc) && !texts.contains(kVt), qPrintable(texts));

    // Every family named falls back on a generic one.
    QVERIFY(!svg.fontFamilies.isEmpty());
    for (const QString& family : svg.fontFamilies)
        QVERIFY2(family.endsWith(QLatin1String(", sans-serif")) || family.endsWith(QLatin1String(", serif"))
                     || family.endsWith(QLatin1String(", monospace")),
                 qPrintable(family));
}

// A viewer reads the drawing's size from the root element: it is the exported picture's, in
// pixels, at every scale (in millimetres it came back one pixel wider).
void TestSvgExport::sizeInPixelsAsThePicture()
{
    Document doc;
    doc.state.windowSize = QSize(1200, 700);
    doc.outline.createFrame(QRect(10, 40, 300, 200), QStringLiteral("Опыты"));
    const QSize client = doc.state.windowSize - defaultWindowChrome();
    QTemporaryDir dir;
    for (const double scale : {1.0, 1.5, 0.37}) {
        const QString svgPath = dir.filePath(QStringLiteral("a.svg"));
        const QString pngPath = dir.filePath(QStringLiteral("a.png"));
        QCOMPARE(exportOutline(doc, client, scale, svgPath), QString());
        QCOMPARE(exportOutline(doc, client, scale, pngPath), QString());
        const QSize picture = QImage(pngPath).size();
        QVERIFY(!picture.isEmpty());
        QFile file(svgPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(file.readAll());
        while (!xml.atEnd() && xml.readNext() != QXmlStreamReader::StartElement) {
        }
        QCOMPARE(xml.name().toString(), QStringLiteral("svg"));
        const QXmlStreamAttributes root = xml.attributes();
        QCOMPARE(root.value(QStringLiteral("width")).toString(), QString::number(picture.width()));
        QCOMPARE(root.value(QStringLiteral("height")).toString(), QString::number(picture.height()));
        QCOMPARE(root.value(QStringLiteral("viewBox")).toString(),
                 QStringLiteral("0 0 %1 %2").arg(picture.width()).arg(picture.height()));
    }
}

void TestSvgExport::finishingTheGeneratorsDrawing_data()
{
    QTest::addColumn<QString>("generated");
    QTest::addColumn<QStringList>("texts");  // the text elements a reader finds, in order

    const QString head = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg viewBox=\"0 0 10 10\">\n"
                                        "<title></title>\n<g fill=\"none\">\n");
    const QString tail = QStringLiteral("</g>\n</svg>\n");
    const auto piece = [](const char* x, const char* y, const char* text) {
        return QStringLiteral("<text fill=\"#000000\" x=\"%1\" y=\"%2\" font-family=\"MS Sans Serif\" font-size=\"11\" "
                              ">%3</text>\n")
            .arg(QLatin1String(x), QLatin1String(y), QString::fromUtf8(text));
    };
    QTest::newRow("one line drawn in two pieces")
        << head + piece("1", "10", "Закон ") + piece("40", "10", "Ома 😀") + tail << QStringList{"Закон Ома 😀"};
    QTest::newRow("two lines stay two") << head + piece("1", "10", "a") + piece("1", "24", "b") + tail
                                        << QStringList{"a", "b"};
    QTest::newRow("texts of two widgets stay apart")
        << head + piece("1", "10", "a") + QStringLiteral("</g>\n<g fill=\"none\">\n") + piece("60", "10", "b") + tail
        << QStringList{"a", "b"};
    QTest::newRow("raw control characters and an unescaped title")
        << head + piece("1", "10", "a\x1b\x0b\x01z") + tail << QStringList{"az"};
}

void TestSvgExport::finishingTheGeneratorsDrawing()
{
    QFETCH(QString, generated);
    QFETCH(QStringList, texts);
    const QByteArray finished = finishSvg(generated.toUtf8(), QStringLiteral("<b>&</b>"));
    QVERIFY(!finished.isEmpty());
    const ReadSvg svg = readSvg(finished);
    QVERIFY2(svg.error.isEmpty(), qPrintable(svg.error + QStringLiteral("\n") + QString::fromUtf8(finished)));
    QCOMPARE(svg.texts, texts);
    QCOMPARE(svg.title, QStringLiteral("<b>&</b>"));
    QCOMPARE(svg.fontFamilies.value(0), QStringLiteral("'MS Sans Serif', sans-serif"));
    // What cannot be made well-formed is not handed on.
    QVERIFY(finishSvg(generated.toUtf8().replace("</svg>", "</sv>"), QString()).isEmpty());
}

QTEST_MAIN(TestSvgExport)
#include "test_svg_export.moc"
