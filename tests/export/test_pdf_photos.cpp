#include "app/headless_cli.h"
#include "export/outline_export.h"
#include "export/outline_renderer.h"
#include "storage/jpeg_codec.h"
#include "storage/outline_io.h"
#include "support/photo_like_image.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <vector>

#include <jpeglib.h>

using namespace velmar;

// The photos of PDFs and web pages are their stored JPEG streams, byte for byte, and still look as
// they did when they were drawn from their pixels: pdfimages takes the streams back out, pdftoppm
// draws the pages, and the web page's addresses are decoded.
class TestPdfPhotos : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void pdfCarriesTheStreams();
    void exportedFilesCarryTheStreams();
    void unreadableStreamsAreRefused();
};

namespace {

const QSize kClient(640, 451);  // a drawn area of 640 × 420

QByteArray jpegOf(const QImage& image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", quality);
    return bytes;
}

// A grey picture of soft bands: Qt writes one component for it.
QImage greyPicture()
{
    QImage image(200, 150, QImage::Format_Grayscale8);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.scanLine(y)[x] = uchar(40 + 170 * x / image.width() + 20 * ((y / 30) % 2));
    return image;
}

// Streams libjpeg writes with settings Qt has no word for: an Adobe CMYK stream of four plain
// patches (inks inverted, as Adobe's applications write them), or an arithmetic-coded RGB one.
QByteArray libjpegStream(bool cmyk)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 160;
    info.image_height = 80;
    info.input_components = cmyk ? 4 : 3;
    info.in_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    info.write_Adobe_marker = cmyk;
    info.arith_code = !cmyk;
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    // CMYK patches: red, green, white, black; RGB: blue, yellow, grey, white.
    const int inks[4][4] = {{0, 255, 255, 0}, {255, 0, 255, 0}, {0, 0, 0, 0}, {0, 0, 0, 255}};
    const int rgb[4][3] = {{20, 40, 220}, {230, 220, 30}, {128, 128, 128}, {255, 255, 255}};
    std::vector<JSAMPLE> row(std::size_t(info.image_width) * std::size_t(info.input_components));
    for (int x = 0; x < 160; ++x)
        for (int i = 0; i < info.input_components; ++i)
            row[std::size_t(x * info.input_components + i)] = JSAMPLE(cmyk ? 255 - inks[x / 40][i] : rgb[x / 40][i]);
    while (info.next_scanline < info.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray stream(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return stream;
}

// A picture as loaded from a file: the stream and its pixels.
int addPhoto(Outline& o, const QRect& bounds, const QByteArray& stream)
{
    const int slot = o.createPicture(bounds, 0);
    o.picture(slot).setBitmap(decodeJpeg(stream));
    o.picture(slot).setJpegStream(stream);
    return slot;
}

QByteArray runTool(const QString& program, const QStringList& arguments, QString* errors = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    if (errors)
        *errors = QString::fromUtf8(process.readAllStandardError());
    return process.exitCode() == 0 ? process.readAllStandardOutput() : QByteArray();
}

struct PdfImage {
    QString colour;  // as pdfimages lists it: rgb, gray, cmyk
    int object = 0;  // the PDF object holding it
    QByteArray bytes;
};

// The pictures of a PDF in page order, as pdfimages takes them out (JPEG data as it is stored).
std::vector<PdfImage> pdfImages(const QString& pdf, const QString& folder)
{
    std::vector<PdfImage> images;
    const QStringList lines =
        QString::fromUtf8(runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})).split('\n');
    QDir(folder).mkpath(QStringLiteral("."));
    runTool(QStringLiteral("pdfimages"), {QStringLiteral("-all"), pdf, folder + QStringLiteral("/i")});
    QStringList files = QDir(folder).entryList({QStringLiteral("i-*")}, QDir::Files, QDir::Name);
    for (int i = 2; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (fields.size() < 6)
            continue;
        PdfImage image;
        image.colour = fields[5];
        image.object = fields.value(10).toInt();
        const int index = int(images.size());
        if (index < files.size()) {
            QFile file(folder + QLatin1Char('/') + files[index]);
            if (file.open(QIODevice::ReadOnly))
                image.bytes = file.readAll();
        }
        images.push_back(image);
    }
    return images;
}

// Page `page` of a PDF drawn at 96 dpi, one pixel per pixel of the outline; null when the
// reader found anything wrong with the file.
QImage pdfPage(const QString& pdf, int page = 1)
{
    const QString base = pdf + QStringLiteral("-page");
    QString errors;
    runTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-f"), QString::number(page),
             QStringLiteral("-l"), QString::number(page), QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf,
             base},
            &errors);
    if (!errors.trimmed().isEmpty())
        qWarning("pdftoppm: %s", qPrintable(errors));
    return errors.trimmed().isEmpty() ? QImage(base + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32)
                                      : QImage();
}

// The largest difference of a colour channel between the 8 × 8 blocks' mean colours of two
// pictures within `area` (kept 2 pixels off its edges, where readers round differently): readers
// shrink pictures a little differently, a sharp edge may fall a pixel further.
int blockDifference(const QImage& a, const QImage& b, QRect area)
{
    area = area.adjusted(2, 2, -2, -2) & a.rect() & b.rect();
    int worst = 0;
    for (int by = area.top(); by + 8 <= area.bottom() + 1; by += 8)
        for (int bx = area.left(); bx + 8 <= area.right() + 1; bx += 8) {
            int sums[6] = {};
            for (int y = by; y < by + 8; ++y)
                for (int x = bx; x < bx + 8; ++x) {
                    const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                    sums[0] += qRed(p), sums[1] += qGreen(p), sums[2] += qBlue(p);
                    sums[3] += qRed(q), sums[4] += qGreen(q), sums[5] += qBlue(q);
                }
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, std::abs(sums[c] - sums[c + 3]) / 64);
        }
    return worst;
}

// Every data address of a JPEG in a web page, decoded.
QList<QByteArray> pageJpegs(const QByteArray& page)
{
    QList<QByteArray> jpegs;
    static const QRegularExpression address(QStringLiteral("data:image/jpeg;base64,([A-Za-z0-9+/=]*)\""));
    auto matches = address.globalMatch(QString::fromUtf8(page));
    while (matches.hasNext())
        jpegs << QByteArray::fromBase64(matches.next().captured(1).toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    return jpegs;
}

}  // namespace

void TestPdfPhotos::initTestCase()
{
    for (const char* tool : {"pdfimages", "pdftoppm"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP("poppler-utils are not installed");
}

void TestPdfPhotos::pdfCarriesTheStreams()
{
    // An RGB photo drawn smaller than it is, a grey one stretched, an Adobe CMYK print stream, an
    // arithmetic-coded stream (no PDF reader takes one) and an edited picture without a stream.
    Document doc;
    doc.state.windowSize = kClient + defaultWindowChrome();
    Outline& o = doc.outline;
    o.setClientSize(kClient);
    const QByteArray rgb = jpegOf(photoLikeImage(480, 360, 5), 85);
    const QByteArray grey = jpegOf(greyPicture(), 90);
    const QByteArray cmyk = libjpegStream(true);
    const QByteArray arithmetic = libjpegStream(false);
    QCOMPARE(decodeJpeg(grey).isNull(), false);
    addPhoto(o, QRect(10, 50, 240, 180), rgb);
    addPhoto(o, QRect(270, 50, 300, 120), grey);
    addPhoto(o, QRect(10, 250, 160, 80), cmyk);
    addPhoto(o, QRect(200, 250, 160, 80), arithmetic);
    const int edited = o.createPicture(QRect(400, 250, 120, 90), 0);
    o.picture(edited).setBitmap(photoLikeImage(120, 90, 9));
    // The first photo again, smaller: one picture object serves both.
    addPhoto(o, QRect(580, 50, 48, 36), rgb);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("photos.pdf"));
    QCOMPARE(exportOutline(doc, kClient, 1.0, pdf), QString());
    const std::vector<PdfImage> images = pdfImages(pdf, dir.filePath(QStringLiteral("images")));
    QCOMPARE(int(images.size()), 6);
    QCOMPARE(images[5].object, images[0].object);
    QCOMPARE(images[0].colour, QStringLiteral("rgb"));
    QVERIFY(images[0].bytes == rgb);
    QCOMPARE(images[1].colour, QStringLiteral("gray"));
    QVERIFY(images[1].bytes == grey);
    QCOMPARE(images[2].colour, QStringLiteral("cmyk"));
    QVERIFY(images[2].bytes == cmyk);
    // Drawn from their pixels and compressed by the writer.
    QVERIFY(!images[3].bytes.isEmpty() && images[3].bytes != arithmetic);
    QVERIFY(!images[4].bytes.isEmpty());
    // Nothing but the pictures makes the file large.
    QFile file(pdf);
    qint64 pictures = 0;
    for (const PdfImage& image : images)
        pictures += image.bytes.size();
    QVERIFY2(file.size() < pictures + 40 * 1024, qPrintable(QString::number(file.size() - pictures)));

    // Each picture is where it was drawn and looks as its pixels do.
    const QImage page = pdfPage(pdf);
    QVERIFY(!page.isNull());
    OutlineRenderer renderer(doc, kClient);
    renderer.drawForAnyScale();
    const QImage expected = renderer.image();
    for (int k : {1, 2, 4, 5, 6}) {
        const int difference = blockDifference(page, expected, renderer.objectArea(o.picture(k).id));
        QVERIFY2(difference <= 28, qPrintable(QStringLiteral("picture %1: %2").arg(k).arg(difference)));
    }
    // The print stream: red, green, white and black patches, however the reader mixes its inks.
    const QRect print = renderer.objectArea(o.picture(3).id);
    const auto patch = [&](int i) { return page.pixel(print.left() + 20 + 40 * i, print.center().y()); };
    QVERIFY(qRed(patch(0)) > 180 && qGreen(patch(0)) < 90 && qBlue(patch(0)) < 90);
    QVERIFY(qGreen(patch(1)) > 120 && qRed(patch(1)) < 90);
    QVERIFY(qRed(patch(2)) > 220 && qGreen(patch(2)) > 220 && qBlue(patch(2)) > 220);
    QVERIFY(qRed(patch(3)) < 70 && qGreen(patch(3)) < 70 && qBlue(patch(3)) < 70);
    // The pictures are not left as stand-ins anywhere: the document itself is unchanged.
    QVERIFY(o.picture(1).jpegStream() == rgb);
    QCOMPARE(o.picture(1).bitmap().size(), QSize(480, 360));
}

void TestPdfPhotos::exportedFilesCarryTheStreams()
{
    // Streams of every length modulo 3 (a JPEG reader ignores what follows its end), so that
    // the web page's base64 ends with no, one and two padding characters.
    Document doc;
    doc.state.windowSize = kClient + defaultWindowChrome();
    Outline& o = doc.outline;
    o.setClientSize(kClient);
    std::vector<QByteArray> streams;
    for (int i = 0; i < 3; ++i) {
        QByteArray stream = jpegOf(photoLikeImage(320, 240, quint32(i + 1)), 80);
        while (stream.size() % 3 != i)
            stream += '\0';
        streams.push_back(stream);
        const int frame = o.createFrame(QRect(10 + 200 * i, 40, 190, 180), QStringLiteral("Фото %1").arg(i + 1));
        const int slot = o.createPicture(QRect(10, 20, 170, 130), frame);
        o.picture(slot).setBitmap(decodeJpeg(stream));
        o.picture(slot).setJpegStream(stream);
        o.picture(slot).minimalText = QStringLiteral("Шаг %1").arg(i + 1);
    }
    streams.push_back(jpegOf(greyPicture(), 75));
    addPhoto(o, QRect(10, 250, 200, 150), streams.back());
    // Read back without decoding, a stream no PDF reader takes is decoded for the PDF alone.
    const QByteArray arithmetic = libjpegStream(false);
    addPhoto(o, QRect(300, 250, 160, 80), arithmetic);
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("урок.vmd"));
    QVERIFY(writeOutlineFile(input, doc).ok);

    // The outline's PDF and a handout of it.
    PrintForm handouts;
    handouts.kind = PrintForm::Kind::Handouts;
    handouts.stepsPerPage = 6;
    for (const PrintForm& form : {PrintForm{}, handouts}) {
        const QString pdf = dir.filePath(form.kind == PrintForm::Kind::Outline ? QStringLiteral("урок.pdf")
                                                                               : QStringLiteral("handout.pdf"));
        QString errors;
        QCOMPARE(runExportCommand(input, pdf, &errors, 1.0, form), 0);
        QVERIFY2(errors.isEmpty(), qPrintable(errors));
        const std::vector<PdfImage> images = pdfImages(pdf, pdf + QStringLiteral("-images"));
        QList<QByteArray> found;
        for (const PdfImage& image : images)
            found << image.bytes;
        for (const QByteArray& stream : streams)
            QVERIFY(found.contains(stream));
        QVERIFY(!found.contains(arithmetic));
        if (form.kind != PrintForm::Kind::Outline)
            continue;
        // Every picture where it belongs, the decoded one too.
        const QImage page = pdfPage(pdf);
        QVERIFY(!page.isNull());
        OutlineRenderer renderer(doc, kClient);
        renderer.drawForAnyScale();
        const QImage expected = renderer.image();
        for (int k = 1; k <= o.count(ObjectKind::Picture); ++k) {
            const int difference = blockDifference(page, expected, renderer.objectArea(o.picture(k).id));
            QVERIFY2(difference <= 28, qPrintable(QStringLiteral("picture %1: %2").arg(k).arg(difference)));
        }
    }

    // The web page holds the streams themselves, each once, in the pictures' order.
    const QString html = dir.filePath(QStringLiteral("урок.html"));
    QString errors;
    QCOMPARE(runExportCommand(input, html, &errors), 0);
    QFile page(html);
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QList<QByteArray> jpegs = pageJpegs(page.readAll());
    QCOMPARE(jpegs.size(), int(streams.size()) + 1);
    for (std::size_t i = 0; i < streams.size(); ++i)
        QVERIFY2(jpegs[qsizetype(i)] == streams[i], qPrintable(QStringLiteral("photo %1").arg(i + 1)));
    QVERIFY(jpegs.last() == arithmetic);
}

void TestPdfPhotos::unreadableStreamsAreRefused()
{
    // A stream whose header is no JPEG's: read without decoding, it is decoded to find out why,
    // and the exports that would embed it refuse, as the picture exports do.
    Document doc;
    doc.state.windowSize = kClient + defaultWindowChrome();
    doc.outline.setClientSize(kClient);
    const int slot = doc.outline.createPicture(QRect(10, 40, 100, 80), 0);
    doc.outline.picture(slot).setBitmap(photoLikeImage(100, 80, 1));
    const QByteArray damaged = QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(300, '\x55');
    doc.outline.picture(slot).setJpegStream(damaged);
    QVERIFY(decodeJpeg(damaged).isNull());
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("урок.vmd"));
    QVERIFY(writeOutlineFile(input, doc).ok);
    for (const char* name : {"out.pdf", "out.html", "out.pptx"}) {
        const QString output = dir.filePath(QLatin1String(name));
        QString errors;
        QCOMPARE(runExportCommand(input, output, &errors), 1);
        QVERIFY2(errors.contains(output), qPrintable(errors));
        QVERIFY(!QFile::exists(output));
    }
}

QTEST_MAIN(TestPdfPhotos)
#include "test_pdf_photos.moc"
