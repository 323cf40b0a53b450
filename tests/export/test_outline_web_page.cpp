#include "app/headless_cli.h"
#include "export/outline_web_page.h"
#include "model/reveal_order.h"
#include "storage/jpeg_codec.h"
#include "storage/outline_io.h"
#include "support/photo_like_image.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <set>

using namespace velmar;

namespace {

// Texts that would end an element, an attribute, the drawing or start a script if written raw.
const QString kCrafted =
    QStringLiteral("<script>window.hacked=1</script> \" ' & </svg></title><img src=x onerror=alert(1)>");

Document craftedOutline()
{
    Document doc;
    Outline& o = doc.outline;
    doc.state.outlineName = QStringLiteral("Урок ") + kCrafted;
    const int frame = o.createFrame(QRect(10, 40, 300, 220), QStringLiteral("Рамка ") + kCrafted);
    o.frame(frame).minimalText = QStringLiteral("Рамка: ") + kCrafted;
    const int text = o.createTextField(QRect(10, 30, 200, 60), kButtonFace, QStringLiteral("Текст ") + kCrafted, frame);
    o.textField(text).minimalText = QStringLiteral("Поле: ") + kCrafted;
    o.textField(text).font.name = QStringLiteral("Sans\"><script>x</script>");
    const int caption = o.createCaption(QRect(10, 100, 200, 20), QStringLiteral("Подпись ") + kCrafted, frame);
    o.caption(caption).font.name = QStringLiteral("Serif' onload='x' \"></text><script>y</script>");
    const int picture = o.createPicture(QRect(10, 130, 80, 60), frame);
    o.picture(picture).setBitmap(photoLikeImage(80, 60, 3));
    o.picture(picture).minimalText = QStringLiteral("Фото: ") + kCrafted;
    const int video = o.createVideo(QRect(350, 60, 160, 120), 0);
    o.video(video).fileName = QStringLiteral("/tmp/фильм ") + kCrafted + QStringLiteral(".avi");
    o.video(video).minimalText = QStringLiteral("Фильм: ") + kCrafted;
    o.createArrow(200, 150, 400, 150, 2, kBlack);
    return doc;
}

// The page with its script's and style sheet's text taken out (they are checked by their
// hashes), read as XML: every element name and attribute, and all text.
struct ReadPage {
    QString error;
    std::multiset<QString> elements;
    QStringList attributes;  // "element attribute"
    QString text;
    int scripts = 0;
};

ReadPage readPage(QString page)
{
    ReadPage read;
    for (const QString& tag : {QStringLiteral("script"), QStringLiteral("style")}) {
        const qsizetype open = page.indexOf(QLatin1Char('<') + tag + QLatin1Char('>'));
        const qsizetype close = page.indexOf(QStringLiteral("</") + tag + QLatin1Char('>'), open);
        if (open >= 0 && close > open)
            page.remove(open + tag.size() + 2, close - open - tag.size() - 2);
    }
    QXmlStreamReader reader(page);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            read.elements.insert(reader.name().toString());
            for (const QXmlStreamAttribute& a : reader.attributes())
                read.attributes << reader.name().toString() + QLatin1Char(' ') + a.qualifiedName().toString();
        } else if (reader.isCharacters()) {
            read.text += reader.text();
        }
    }
    if (reader.hasError())
        read.error = reader.errorString() + QStringLiteral(" at line ") + QString::number(reader.lineNumber());
    read.scripts = int(read.elements.count(QStringLiteral("script")));
    return read;
}

QString hashOf(const QByteArray& content)
{
    return QStringLiteral("'sha256-")
           + QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha256).toBase64())
           + QLatin1Char('\'');
}

}  // namespace

class TestOutlineWebPage : public QObject {
    Q_OBJECT
private slots:
    void craftedTextsStayText();
    void photosAreTheirStoredStreams();
    void groupsCarryTheRevealOrder();
    void savedFromTheMenuAndTheCommandLine();
};

void TestOutlineWebPage::craftedTextsStayText()
{
    const Document doc = craftedOutline();
    const QString page = QString::fromUtf8(outlineWebPage(doc, QSize(600, 400)));
    QVERIFY(!page.isEmpty());
    const ReadPage read = readPage(page);
    QVERIFY2(read.error.isEmpty(), qPrintable(read.error));

    // Only the elements a page and a drawing are made of; exactly one script, the page's own.
    static const std::set<QString> allowed = {"html",
                                              "head",
                                              "meta",
                                              "title",
                                              "style",
                                              "body",
                                              "div",
                                              "button",
                                              "span",
                                              "main",
                                              "svg",
                                              "g",
                                              "path",
                                              "rect",
                                              "polyline",
                                              "polygon",
                                              "line",
                                              "ellipse",
                                              "circle",
                                              "text",
                                              "tspan",
                                              "image",
                                              "clipPath",
                                              "defs",
                                              "linearGradient",
                                              "radialGradient",
                                              "stop",
                                              "p",
                                              "ol",
                                              "li",
                                              "section",
                                              "h1",
                                              "br",
                                              "script"};
    for (const QString& element : read.elements)
        QVERIFY2(allowed.count(element), qPrintable(element));
    QCOMPARE(read.scripts, 1);
    QCOMPARE(page.count(QStringLiteral("<script"), Qt::CaseInsensitive), 1);
    for (const QString& attribute : read.attributes)
        QVERIFY2(!attribute.section(QLatin1Char(' '), 1).startsWith(QLatin1String("on"), Qt::CaseInsensitive),
                 qPrintable(attribute));
    QVERIFY(!page.contains(QStringLiteral("<img"), Qt::CaseInsensitive));

    // The crafted texts arrive as text: in the drawing, the tooltips, the summary and the steps.
    // The drawing breaks texts into lines and runs, so they are compared without white space.
    const auto plain = [](QString text) { return text.remove(QRegularExpression(QStringLiteral("\\s"))); };
    const QString all = plain(read.text);
    for (const QString& text : {QStringLiteral("Текст "), QStringLiteral("Подпись "), QStringLiteral("Фото: "),
                                QStringLiteral("Урок "), QStringLiteral("Фильм: ")})
        QVERIFY2(all.contains(plain(text + kCrafted)), qPrintable(text));
    // A film is named by its file's name (what follows the path's last slash).
    QVERIFY(all.contains(plain(QStringLiteral("title><img src=x onerror=alert(1)>.avi"))));

    // The policy lets in exactly the page's own script and style sheet, and nothing from outside.
    const QRegularExpression csp(QStringLiteral("http-equiv=\"Content-Security-Policy\" content=\"([^\"]*)\""));
    const QString policy = csp.match(page).captured(1);
    QVERIFY(policy.contains(QStringLiteral("default-src 'none'")));
    QVERIFY(policy.contains(QStringLiteral("script-src ") + hashOf(webPageScript())));
    QVERIFY(policy.contains(QStringLiteral("style-src ") + hashOf(webPageStyle())));
    QVERIFY(
        page.contains(QStringLiteral("<script>") + QString::fromUtf8(webPageScript()) + QStringLiteral("</script>")));
    QVERIFY(page.contains(QStringLiteral("<style>") + QString::fromUtf8(webPageStyle()) + QStringLiteral("</style>")));
    QVERIFY(page.startsWith(QStringLiteral("<!DOCTYPE html>\n<html lang=\"ru\">")));
}

void TestOutlineWebPage::photosAreTheirStoredStreams()
{
    Document doc;
    std::vector<QByteArray> streams;
    qint64 total = 0;
    for (int i = 0; i < 4; ++i) {
        const int slot = doc.outline.createPicture(QRect(10 + 150 * i, 40, 140, 100), 0);
        PictureObject& picture = doc.outline.picture(slot);
        const QImage photo = photoLikeImage(640, 480, quint32(i + 1));
        picture.setBitmap(photo);
        if (i < 3) {
            // As loaded from a file: the stream is kept beside the decoded bitmap.
            picture.setJpegStream(encodeJpeg(photo, 85));
            streams.push_back(picture.jpegStream());
        }
        total += i < 3 ? picture.jpegStream().size() : 0;
    }
    qint64 embedded = 0;
    const QByteArray page = outlineWebPage(doc, QSize(700, 300), &embedded);
    for (const QByteArray& stream : streams)
        QVERIFY(page.contains(stream.toBase64()));
    // The picture that had no stream yet is encoded once and keeps that stream.
    const QByteArray fourth = doc.outline.picture(4).jpegStream();
    QVERIFY(!fourth.isEmpty());
    QVERIFY(page.contains(fourth.toBase64()));
    QCOMPARE(embedded, total + fourth.size());
    QCOMPARE(page.count("data:image/jpeg;base64,"), 4);
    // The file holds the same page, though it is written piece by piece.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photos.html"));
    QVERIFY(exportWebPage(doc, QSize(700, 300), path).isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), page);
    QVERIFY2(page.size() <= 1.05 * double(embedded) * 4 / 3 + 200 * 1024,
             qPrintable(QStringLiteral("%1 bytes for %2 bytes of JPEG").arg(page.size()).arg(embedded)));
}

void TestOutlineWebPage::groupsCarryTheRevealOrder()
{
    Document doc;
    Outline& o = doc.outline;
    const int a = o.createFrame(QRect(10, 40, 250, 200), QStringLiteral("А"));
    const int b = o.createFrame(QRect(300, 40, 250, 200), QStringLiteral("Б"));
    o.createTextField(QRect(10, 30, 100, 40), kButtonFace, QStringLiteral("один"), b);
    o.createTextField(QRect(10, 90, 100, 40), kButtonFace, QStringLiteral("два"), a);
    o.textField(2).minimalText = QStringLiteral("Второе\r\nполе");
    o.createArrow(60, 150, 360, 150, 1, kBlack);
    // Frame sequence: Б before А.
    o.frameSequence().swap(1, 2);
    const RevealOrder order(o);
    const QString page = QString::fromUtf8(outlineWebPage(doc, QSize(600, 300)));

    const auto stepOf = [&](const QString& element) {
        const QRegularExpression re(QStringLiteral("<g id=\"%1\" data-step=\"(\\d+)\"").arg(element));
        const QRegularExpressionMatch m = re.match(page);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    };
    QCOMPARE(stepOf(QStringLiteral("frame-1")), order.stepOf(o.frame(a).id));
    QCOMPARE(stepOf(QStringLiteral("frame-2")), order.stepOf(o.frame(b).id));
    QCOMPARE(stepOf(QStringLiteral("text-1")), order.stepOf(o.textField(1).id));
    QCOMPARE(stepOf(QStringLiteral("text-2")), order.stepOf(o.textField(2).id));
    QCOMPARE(stepOf(QStringLiteral("arrow-1")), order.stepOf(o.arrow(1).id));
    QCOMPARE(stepOf(QStringLiteral("frame-2")), 1);
    // The objects of a frame lie inside the frame's group, so they hide with it.
    const qsizetype frameA = page.indexOf(QStringLiteral("<g id=\"frame-1\""));
    const qsizetype textTwo = page.indexOf(QStringLiteral("<g id=\"text-2\""));
    const qsizetype frameB = page.indexOf(QStringLiteral("<g id=\"frame-2\""));
    QVERIFY(frameA < textTwo && textTwo < frameB);
    // One list entry per step, each the step's minimal text with its line breaks, as the show has it.
    QCOMPARE(page.count(QStringLiteral("<li>")), order.stepCount());
    QVERIFY(page.contains(QStringLiteral("<li>Второе\nполе</li>")));
    QVERIFY(page.contains(QStringLiteral("<title>Второе\nполе</title>")));
}

void TestOutlineWebPage::savedFromTheMenuAndTheCommandLine()
{
    WindowFixture f;
    QAction* save = f.command(Command::ExportWebPage);
    QVERIFY(save);
    QVERIFY(!save->isEnabled());
    f.dialogs.inputs.push_back(QStringLiteral("Урок"));
    f.command(Command::NewOutline)->trigger();
    QVERIFY(save->isEnabled());
    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("урок")), 1});
    save->trigger();
    QFile saved(f.home.filePath(QStringLiteral("урок.html")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray page = saved.readAll();
    QVERIFY(page.contains("<title>Урок</title>"));
    QVERIFY(page.contains("id=\"frame-1\""));

    const QString outline = f.home.filePath(QStringLiteral("урок.vmd"));
    QVERIFY(writeOutlineFile(outline, f.doc()).ok);
    QString errors;
    QCOMPARE(runExportCommand(outline, f.home.filePath(QStringLiteral("web.htm")), &errors), 0);
    // The outline's film file does not exist: one note names it, nothing else is said.
    QVERIFY2(errors.startsWith(QStringLiteral("Фильм «")) && errors.count(QLatin1Char('\n')) == 1, qPrintable(errors));
    errors.clear();
    QVERIFY(QFile::exists(f.home.filePath(QStringLiteral("web.htm"))));
    QCOMPARE(runExportCommand(outline, f.home.filePath(QStringLiteral("web.xhtml5")), &errors), 1);
    QVERIFY(errors.contains(QStringLiteral(".html")));
}

QTEST_MAIN(TestOutlineWebPage)
#include "test_outline_web_page.moc"
