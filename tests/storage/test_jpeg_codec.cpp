// The JPEG codec and the Windows-1251 codec at the file boundary.
#include "outline_fixtures.h"
#include "storage/cp1251.h"
#include "storage/decode_limits.h"
#include "storage/jpeg_codec.h"
#include "storage/outline_io.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace velmar;
using namespace fixtures;

class TestJpegCodec : public QObject {
    Q_OBJECT
private slots:
    void roundTripKeepsSizeAndColours();
    void damagedStreamsAreRefused_data();
    void damagedStreamsAreRefused();
    void scaledDecoding();
    void printStreamsDecode_data();
    void printStreamsDecode();
    void cp1251CoversTheCodePage();
    void streamsCannotBuyUnboundedWork();
    void picturesOfOneFileShareABudget();
    void everyScanIsCharged();
    void claimsBeyondTheDataTakeNoMemory();
};

void TestJpegCodec::roundTripKeepsSizeAndColours()
{
    const QImage image = photoLikeImage(123, 45, 7);
    const QByteArray stream = encodeJpeg(image, 100);
    QVERIFY(stream.startsWith("\xFF\xD8\xFF"));
    QVERIFY(stream.endsWith("\xFF\xD9"));
    QString error = QStringLiteral("stale");
    const QImage decoded = decodeJpeg(stream, &error);
    QVERIFY(error.isEmpty());
    QCOMPARE(decoded.size(), image.size());
    QCOMPARE(decoded.format(), QImage::Format_RGB32);
    // Quality 100 keeps the picture: on average every channel within a few levels (colour is
    // subsampled, so single pixels at sharp colour edges may differ more).
    qint64 total = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb a = image.pixel(x, y), b = decoded.pixel(x, y);
            total += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    const double mean = double(total) / (3.0 * image.width() * image.height());
    QVERIFY2(mean < 4.0, qPrintable(QString::number(mean)));
    QVERIFY(encodeJpeg(QImage()).isEmpty());
}

namespace {

// Rewrites the frame size in a stream's SOF0 marker.
QByteArray withFrameSize(QByteArray stream, int width, int height)
{
    const qsizetype sof = stream.indexOf("\xFF\xC0");
    stream[sof + 5] = char(height >> 8);
    stream[sof + 6] = char(height & 0xFF);
    stream[sof + 7] = char(width >> 8);
    stream[sof + 8] = char(width & 0xFF);
    return stream;
}

}  // namespace

void TestJpegCodec::damagedStreamsAreRefused_data()
{
    QTest::addColumn<QByteArray>("stream");
    const QByteArray good = encodeJpeg(photoLikeImage(64, 48, 3), 100);
    QByteArray scanOverwritten = good;
    for (qsizetype at = good.size() / 2; at < good.size() - 2; ++at)
        scanOverwritten[at] = char(0xFF);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not a JPEG") << QByteArray("GIF89a, not a JPEG stream at all");
    QTest::newRow("cut in the header") << good.left(40);
    QTest::newRow("cut in the scan") << good.left(good.size() * 2 / 3);
    QTest::newRow("scan data overwritten") << scanOverwritten;
    // Sizes that would take gigabytes: refused before any pixel is stored, or at the end of data.
    QTest::newRow("claims 20000 x 20000") << withFrameSize(good, 20000, 20000);
    QTest::newRow("claims 9000 x 9000 with a few bytes of data") << withFrameSize(good, 9000, 9000);
}

void TestJpegCodec::damagedStreamsAreRefused()
{
    QFETCH(QByteArray, stream);
    QString error;
    QElapsedTimer timer;
    timer.start();
    const QImage image = decodeJpeg(stream, &error);
    QVERIFY(image.isNull());
    QVERIFY(!error.isEmpty());
    QVERIFY2(timer.elapsed() < 3000, "a damaged stream must fail fast, not decode a huge empty picture");
}

void TestJpegCodec::scaledDecoding()
{
    const QByteArray stream = encodeJpeg(photoLikeImage(200, 120, 5), 100);
    QCOMPARE(decodeJpeg(stream, nullptr, 4).size(), QSize(50, 30));
    QCOMPARE(decodeJpeg(stream, nullptr, 3).size(), QSize(200, 120));  // unsupported: full size

    // The smallest reduced size still covering the wanted one; libjpeg rounds scaled sizes up.
    const struct {
        QSize wanted, decoded;
    } rows[] = {
        {{50, 30}, {50, 30}},      // exactly a quarter
        {{51, 30}, {100, 60}},     // one pixel more in one direction: half
        {{25, 1}, {25, 15}},       // an eighth
        {{300, 100}, {200, 120}},  // larger than the stream: full size, never enlarged
        {{}, {200, 120}},          // nothing wanted: full size
    };
    for (const auto& row : rows)
        QCOMPARE(decodeJpegAtLeast(stream, row.wanted).size(), row.decoded);
    const QByteArray odd = encodeJpeg(photoLikeImage(201, 121, 5), 100);
    QCOMPARE(decodeJpegAtLeast(odd, QSize(26, 16)).size(), QSize(26, 16));
}

namespace {

// Ink amounts (0 = none, 255 = full) of the four patches of a print picture, left to right, and
// the screen colours they stand for.
struct Patch {
    int c, m, y, k;
    QRgb rgb;
};
const Patch kPatches[] = {
    {0, 255, 255, 0, qRgb(255, 0, 0)},
    {255, 0, 255, 0, qRgb(0, 255, 0)},
    {0, 0, 0, 0, qRgb(255, 255, 255)},
    {0, 0, 0, 128, qRgb(127, 127, 127)},
};

// A 64 × 16 CMYK stream of the four patches, stored as CMYK or YCCK; Adobe streams carry their
// marker and hold the inks inverted, as Adobe's applications write them.
QByteArray printStream(J_COLOR_SPACE stored, bool adobe)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 64;
    info.image_height = 16;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, stored);
    info.write_Adobe_marker = adobe;
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(64 * 4);
    for (int x = 0; x < 64; ++x) {
        const Patch& p = kPatches[x / 16];
        const int inks[4] = {p.c, p.m, p.y, p.k};
        for (int i = 0; i < 4; ++i)
            row[std::size_t(x) * 4 + i] = JSAMPLE(adobe ? 255 - inks[i] : inks[i]);
    }
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

bool nearRgb(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) <= 6 && std::abs(qGreen(a) - qGreen(b)) <= 6
           && std::abs(qBlue(a) - qBlue(b)) <= 6;
}

}  // namespace

void TestJpegCodec::printStreamsDecode_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::newRow("Adobe CMYK (inverted)") << printStream(JCS_CMYK, true);
    QTest::newRow("Adobe YCCK (inverted)") << printStream(JCS_YCCK, true);
    QTest::newRow("plain CMYK") << printStream(JCS_CMYK, false);
}

void TestJpegCodec::printStreamsDecode()
{
    QFETCH(QByteArray, stream);
    for (const int denominator : {1, 2}) {
        QString error;
        const QImage image = decodeJpeg(stream, &error, denominator);
        QVERIFY2(!image.isNull(), qPrintable(error));
        QCOMPARE(image.size(), QSize(64, 16) / denominator);
        QCOMPARE(image.format(), QImage::Format_RGB32);
        const int patch = 16 / denominator;
        for (int i = 0; i < 4; ++i) {
            const QRgb got = image.pixel(i * patch + patch / 2, image.height() / 2);
            QVERIFY2(
                nearRgb(got, kPatches[i].rgb),
                qPrintable(QStringLiteral("patch %1 at 1/%2: %3").arg(i).arg(denominator).arg(QColor(got).name())));
        }
    }
}

void TestJpegCodec::cp1251CoversTheCodePage()
{
    // Every byte but the one unassigned (0x98) survives a decode and encode.
    for (int b = 1; b < 256; ++b) {
        if (b == 0x98)
            continue;
        const QByteArray byte(1, char(b));
        QCOMPARE(encodeCp1251(decodeCp1251(byte)), byte);
    }
    QCOMPARE(encodeCp1251(QStringLiteral("Новый")), QByteArray::fromHex("CDEEE2FBE9"));
    QCOMPARE(encodeCp1251(QStringLiteral("Ёё№€")), QByteArray::fromHex("A8B8B988"));
    QCOMPARE(decodeCp1251(QByteArray("\x98")), QString(QChar(0xFFFD)));
    // Characters outside the code page become one '?' each, keeping the text's length.
    QCOMPARE(encodeCp1251(QStringLiteral("α中")), QByteArray("??"));
}

namespace {

// How a test stream is coded.
struct Coding {
    bool progressive = false;
    int singleCoefficientScans = 0;  // progressive: AC coefficients 1..n of each component one per scan
    bool arithmetic = false;
    int restartRows = 0;
};

QByteArray encodeAs(const QImage& source, const Coding& coding)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(image.width());
    info.image_height = JDIMENSION(image.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    info.arith_code = coding.arithmetic;
    info.restart_in_rows = coding.restartRows;
    std::vector<jpeg_scan_info> scans;
    if (coding.singleCoefficientScans > 0) {
        // A legal but absurd progression: the DC of all components, then one AC coefficient of
        // one component per scan.
        scans.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 0});
        for (int c = 0; c < 3; ++c)
            for (int k = 1; k <= coding.singleCoefficientScans; ++k)
                scans.push_back({1, {c, 0, 0, 0}, k, k, 0, 0});
        info.scan_info = scans.data();
        info.num_scans = int(scans.size());
    } else if (coding.progressive) {
        jpeg_simple_progression(&info);
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPLE*>(image.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray stream(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return stream;
}

// The stream with the picture size its frame header declares replaced.
QByteArray withDeclaredSize(QByteArray stream, int width, int height)
{
    for (qsizetype at = 2; at + 9 < stream.size(); ++at)
        if (uchar(stream[at]) == 0xFF && (uchar(stream[at + 1]) & 0xF0) == 0xC0 && uchar(stream[at + 1]) != 0xC4
            && uchar(stream[at + 1]) != 0xCC) {
            stream[at + 5] = char(height >> 8), stream[at + 6] = char(height);
            stream[at + 7] = char(width >> 8), stream[at + 8] = char(width);
            break;
        }
    return stream;
}

}  // namespace

void TestJpegCodec::streamsCannotBuyUnboundedWork()
{
    const QImage photo = photoLikeImage(320, 240, 9);
    QElapsedTimer timer;
    timer.start();

    // Sizes a few bytes claim: beyond the largest side, and within it but far beyond what the
    // data can hold; at full and at reduced scale alike.
    const QByteArray small = encodeAs(photoLikeImage(16, 16, 1), {});
    for (const QSize claimed : {QSize(65000, 65000), QSize(10000, 10000)}) {
        const QByteArray stream = withDeclaredSize(small, claimed.width(), claimed.height());
        QString why;
        QVERIFY(decodeJpeg(stream, &why).isNull());
        QVERIFY(!why.isEmpty());
        QVERIFY(decodeJpeg(stream, nullptr, 8).isNull());
        QVERIFY(decodeJpegAtLeast(stream, QSize(10, 10)).isNull());
        QVERIFY(decodeJpeg(withDeclaredSize(encodeAs(photoLikeImage(16, 16, 1), {.progressive = true}), claimed.width(),
                                            claimed.height()))
                    .isNull());
    }

    // Progressive streams decode, up to a sane number of scans.
    QCOMPARE(decodeJpeg(encodeAs(photo, {.progressive = true})).size(), photo.size());
    QCOMPARE(decodeJpeg(encodeAs(photo, {.singleCoefficientScans = 20})).size(), photo.size());  // 61 scans
    QString why;
    QVERIFY(decodeJpeg(encodeAs(photo, {.singleCoefficientScans = 40}), &why).isNull());  // 121 scans
    QVERIFY2(why.contains(QStringLiteral("слишком много проходов")), qPrintable(why));

    // Arithmetic and Huffman coding, with and without restart markers: whole streams decode,
    // streams cut short are refused. A Huffman stream cut and ended with its end marker is
    // refused too; an arithmetic one cannot be told from a whole stream whose last rows are
    // plain (its encoder drops the zero bytes they would cost), so such a stream decodes.
    for (const bool arithmetic : {false, true})
        for (const int restartRows : {0, 1}) {
            const QByteArray whole = encodeAs(photo, {.arithmetic = arithmetic, .restartRows = restartRows});
            const QImage decoded = decodeJpeg(whole, &why);
            QVERIFY2(decoded.size() == photo.size(), qPrintable(why));
            QByteArray cut = whole.left(whole.size() / 3);
            QVERIFY2(decodeJpeg(cut, &why).isNull(), arithmetic ? "arithmetic" : "Huffman");
            if (!arithmetic)
                QVERIFY(decodeJpeg(cut.append("\xFF\xD9", 2), &why).isNull());
        }
    QImage plainBelow = photo;
    QPainter(&plainBelow).fillRect(0, 40, 320, 200, Qt::white);
    for (const int restartRows : {0, 1}) {
        const QByteArray stream = encodeAs(plainBelow, {.arithmetic = true, .restartRows = restartRows});
        QVERIFY2(decodeJpeg(stream, &why).size() == photo.size(), qPrintable(why));
        QVERIFY2(decodeJpeg(stream, &why, 8).size() == photo.size() / 8, qPrintable(why));
    }
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
}

void TestJpegCodec::picturesOfOneFileShareABudget()
{
    // Forty arithmetic-coded pictures of 4000 × 4000, white with a few dots, each a few kilobytes
    // and within the single stream's limits: together 2.5 GB of bitmaps and seconds of decoding
    // from a file of about a megabyte. They are read for a thumbnail (decoded at 1/8 to spare the
    // test's memory); a picture is charged at its stream's full size either way.
    QImage dotted(4000, 4000, QImage::Format_RGB32);
    dotted.fill(Qt::white);
    for (int i = 0; i < 100; ++i)
        dotted.setPixel((i * 7919) % 4000, (i * 104729) % 4000, qRgb(0, 0, 0));
    const QByteArray stream = encodeAs(dotted, {.arithmetic = true});
    QVERIFY2(stream.size() < 16 * 1024, qPrintable(QString::number(stream.size())));
    QCOMPARE(jpegStreamSize(stream), dotted.size());
    Document doc;
    for (int k = 1; k <= 40; ++k) {
        QCOMPARE(doc.outline.createPicture(QRect(k * 10, 40, 30, 30), 0), k);
        doc.outline.picture(k).setBitmap(QImage(30, 30, QImage::Format_RGB32));
        doc.outline.picture(k).setJpegStream(stream);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("many.vmd"));
    QVERIFY(writeOutlineFile(path, doc).ok);

    QElapsedTimer timer;
    timer.start();
    const LoadResult loaded = readOutlineFile(path, defaultWindowChrome(), 0.01);
    const qint64 elapsed = timer.elapsed();
    QVERIFY2(loaded.ok, qPrintable(loaded.message));
    QCOMPARE(loaded.outline.count(ObjectKind::Picture), 40);
    // The first pictures in file order are decoded while the budget lasts; the rest are named in
    // the message and kept as blank placeholders.
    const qint64 allowance = PictureBudget(QFileInfo(path).size()).pixelsLeft();
    const int expectedWhole = int(allowance / (4000 * 4000));
    QVERIFY(expectedWhole >= 1 && expectedWhole < 40);
    int whole = 0;
    for (int k = 1; k <= 40; ++k) {
        if (loaded.outline.picture(k).bitmap().size() == QSize(500, 500)) {
            QCOMPARE(k, whole + 1);
            ++whole;
        }
    }
    QCOMPARE(whole, expectedWhole);
    QVERIFY2(loaded.message.contains(PictureBudget::refusal()), qPrintable(loaded.message));
    QVERIFY2(loaded.message.contains(QStringLiteral("рисунок %1 ").arg(expectedWhole + 1)), qPrintable(loaded.message));
    QVERIFY2(elapsed < 4000, qPrintable(QString::number(elapsed)));
}

namespace {

// The stream with its last scan (header and data) repeated `times` more times before its end.
QByteArray withLastScanRepeated(const QByteArray& s, int times)
{
    qsizetype at = 2, scan = -1, scanEnd = -1;
    while (at + 3 < s.size() && uchar(s[at + 1]) != 0xD9) {
        const qsizetype next = at + 2 + ((uchar(s[at + 2]) << 8) | uchar(s[at + 3]));
        if (uchar(s[at + 1]) != 0xDA) {
            at = next;
            continue;
        }
        scan = at;
        for (scanEnd = next; scanEnd + 1 < s.size(); ++scanEnd)
            if (uchar(s[scanEnd]) == 0xFF && uchar(s[scanEnd + 1]) != 0 && (uchar(s[scanEnd + 1]) & 0xF8) != 0xD0)
                break;
        at = scanEnd;
    }
    return s.left(scanEnd) + s.mid(scan, scanEnd - scan).repeated(times) + s.mid(scanEnd);
}

}  // namespace

void TestJpegCodec::everyScanIsCharged()
{
    // A baseline stream costs its pixels; a progressive one a pass for every scan over the whole
    // picture (a scan of one component a third of one).
    const QImage photo = photoLikeImage(320, 240, 4);
    const qint64 pixels = 320 * 240;
    QCOMPARE(jpegDecodingCost(encodeAs(photo, {})), pixels);
    const qint64 progressive = jpegDecodingCost(encodeAs(photo, {.progressive = true}));
    QVERIFY2(progressive > 3 * pixels && progressive < 6 * pixels, qPrintable(QString::number(progressive)));
    QCOMPARE(jpegDecodingCost(encodeAs(photo, {.singleCoefficientScans = 20})), pixels * (3 + 60) / 3);
    QCOMPARE(jpegDecodingCost(QByteArray("not a picture")), qint64(0));

    // Stuffed zeros, fill bytes and restart markers inside scan data, at every alignment, neither
    // end a scan nor hide the marker right after them. One component, 24 scans: 24 passes.
    QByteArray scans = QByteArray::fromHex("FFD8"
                                           "FFC0000B08000A000A01011100");
    for (int shift = 0; shift < 24; ++shift)
        scans += QByteArray::fromHex("FFDA000801010000003F00") + QByteArray(shift, '\x11')
                 + QByteArray::fromHex("FF0012FFD3FFFF0034FFD7") + QByteArray(shift % 8, '\x22');
    scans += QByteArray::fromHex("FFD9");
    QCOMPARE(jpegDecodingCost(scans, QSize(10, 10)), qint64(100 * 24));

    // Replaying the last refinement scan (the decoder itself only warns about it) is damage, not
    // work: refused at the first repeat, well before the scan cap.
    QString why;
    const QByteArray replayed = withLastScanRepeated(encodeAs(photo, {.progressive = true}), 3);
    QVERIFY(decodeJpeg(replayed, &why).isNull());
    QVERIFY2(why.contains(QStringLiteral("повторённые проходы")), qPrintable(why));

    // A legal progression of 61 scans over a plain 3000 × 3000 picture: a few kilobytes buying
    // 190 million pixels of decoding. Refused before decoding, alone and inside an outline.
    QImage plain(3000, 3000, QImage::Format_RGB32);
    plain.fill(Qt::white);
    const QByteArray costly = encodeAs(plain, {.singleCoefficientScans = 20, .arithmetic = true});
    QVERIFY(jpegDecodingCost(costly) > PictureBudget(costly.size()).pixelsLeft());
    QElapsedTimer timer;
    timer.start();
    QVERIFY(decodeJpeg(costly, &why).isNull());
    QVERIFY2(why.contains(QStringLiteral("проходов")), qPrintable(why));
    Document doc;
    QCOMPARE(doc.outline.createPicture(QRect(10, 10, 40, 40), 0), 1);
    doc.outline.picture(1).setBitmap(QImage(40, 40, QImage::Format_RGB32));
    doc.outline.picture(1).setJpegStream(costly);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("costly.vmd"));
    QVERIFY(writeOutlineFile(path, doc).ok);
    const LoadResult loaded = readOutlineFile(path, defaultWindowChrome(), 0.01);
    QVERIFY2(loaded.message.contains(PictureBudget::refusal()), qPrintable(loaded.message));
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
}

void TestJpegCodec::claimsBeyondTheDataTakeNoMemory()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer reserves the address space this test caps");
#else
    // A 16 × 16 stream of a few hundred bytes claiming 5000 × 6000 pixels (within the file's
    // time budget): it cannot hold them, so it is refused from its header, before the 120 MB
    // bitmap is allocated. Checked in a child process whose address space leaves no room for it.
    const QByteArray stream = withDeclaredSize(encodeAs(photoLikeImage(16, 16, 1), {}), 5000, 6000);
    QVERIFY(stream.size() < 4096);
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        qint64 used = 0;
        if (FILE* status = std::fopen("/proc/self/status", "r")) {
            char line[256];
            while (std::fgets(line, sizeof line, status))
                if (std::strncmp(line, "VmSize:", 7) == 0)
                    used = std::atoll(line + 7) * 1024;
            std::fclose(status);
        }
        const rlimit cap{rlim_t(used + 64 * 1024 * 1024), rlim_t(used + 64 * 1024 * 1024)};
        if (used == 0 || setrlimit(RLIMIT_AS, &cap) != 0)
            _exit(3);
        QString why;
        const bool refused = decodeJpeg(stream, &why).isNull();
        _exit(refused && why == QStringLiteral("данные JPEG обрываются") ? 0 : refused ? 1 : 2);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    // 1: refused only when the bitmap could not be allocated; 2: decoded.
    QCOMPARE(WEXITSTATUS(status), 0);
#endif
}

QTEST_GUILESS_MAIN(TestJpegCodec)
#include "test_jpeg_codec.moc"
