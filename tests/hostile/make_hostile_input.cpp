// Builds the crafted inputs of the hostile-document checks (check_hostile.sh):
//   make_hostile_input picture OUT.vmd IN.jpg [CLAIMED]   an outline holding IN.jpg's stream as it
//       is (progressive, arithmetic-coded…); with CLAIMED, the picture's stored length says CLAIMED
//       bytes and the file is extended to hold them (sparse: it takes no room on the disk)
//   make_hostile_input old OUT.vmc                         an outline of the earlier format with one
//       picture, without its .blc side file (the check plants one)
//   make_hostile_input repeat-scan IN.jpg OUT.jpg COUNT    IN.jpg with its last scan repeated until
//       the stream holds COUNT scans
//   make_hostile_input film KIND OUT.avi                   a crafted AVI of a few hundred bytes:
//       header-size  a 24-bit film whose bitmap header says it is 0x80000000 bytes long
//       negative-header  an 8-bit film whose bitmap header says -4096 bytes (its palette would lie
//                    before the format data)
//       huge-mjpeg   a Motion JPEG film of 4 KB whose frame is 5000 × 5000
//       plain        a valid 24-bit film of 16 × 16 (the reference the others are cut from)
#include "model/document.h"
#include "storage/jpeg_codec.h"
#include "storage/outline_file.h"
#include "support/old_format_writer.h"

#include <QCoreApplication>
#include <QFile>
#include <QtEndian>

#include <cstdio>
#include <cstdlib>

using namespace velmar;

namespace {

int fail(const char* what)
{
    std::fprintf(stderr, "make_hostile_input: %s\n", what);
    return 1;
}

QByteArray readAll(const char* path)
{
    QFile file(QString::fromLocal8Bit(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes, qint64 size = -1)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return false;
    return size < 0 || file.resize(size);
}

int picture(const char* out, const char* in, const char* claimed)
{
    const QByteArray stream = readAll(in);
    if (stream.isEmpty())
        return fail("the picture cannot be read");
    const qint64 length = claimed ? QByteArray(claimed).toLongLong() : stream.size();
    if (length < stream.size() || length > 0x7fffffff)
        return fail("the claimed length must hold the stream and fit 31 bits");
    Document doc;
    doc.state.outlineName = QStringLiteral("Рисунок");
    doc.state.windowSize = QSize(744, 546);
    const int slot = doc.outline.createPicture(QRect(20, 20, 200, 150), 0);
    QImage blank(200, 150, QImage::Format_RGB32);
    blank.fill(Qt::gray);
    doc.outline.picture(slot).setBitmap(blank);
    QByteArray record(layout::kHeaderSize, '\0');
    writeOutlineHeader(record.data(), doc, {qint32(length)});
    return writeAll(QString::fromLocal8Bit(out), record + stream, layout::kHeaderSize + length) ? 0
                                                                                                : fail("cannot write");
}

int oldOutline(const char* out)
{
    oldformat::Outline outline;
    outline.name = QStringLiteral("Старый конспект");
    oldformat::Picture p;
    p.bounds = QRect(10, 10, 120, 90);
    p.stream = QByteArray("\xFF\xD8\xFF\xD9", 4);
    outline.pictures << p;
    return writeAll(QString::fromLocal8Bit(out), oldformat::vmc(outline)) ? 0 : fail("cannot write");
}

// The offset just past a scan's entropy-coded data: the next marker that is neither a stuffed
// byte nor a restart marker.
qsizetype scanDataEnd(const QByteArray& s, qsizetype at)
{
    while (at + 1 < s.size()) {
        if (uchar(s[at]) == 0xFF) {
            const uchar next = uchar(s[at + 1]);
            if (next != 0x00 && next != 0xFF && !(next >= 0xD0 && next <= 0xD7))
                return at;
        }
        ++at;
    }
    return s.size();
}

int repeatScan(const char* in, const char* out, int count)
{
    const QByteArray s = readAll(in);
    if (s.size() < 4)
        return fail("the picture cannot be read");
    qsizetype at = 2, lastScan = -1, lastScanEnd = -1;
    int scans = 0;
    while (at + 3 < s.size()) {
        if (uchar(s[at]) != 0xFF)
            return fail("no marker where one belongs");
        const uchar marker = uchar(s[at + 1]);
        if (marker == 0xD9)
            break;
        const int length = (uchar(s[at + 2]) << 8) | uchar(s[at + 3]);
        const qsizetype next = at + 2 + length;
        if (marker == 0xDA) {
            lastScan = at;
            lastScanEnd = scanDataEnd(s, next);
            ++scans;
            at = lastScanEnd;
        } else {
            at = next;
        }
    }
    if (lastScan < 0 || scans >= count)
        return fail("no scan to repeat, or already enough");
    const QByteArray scan = s.mid(lastScan, lastScanEnd - lastScan);
    QByteArray result = s.left(lastScanEnd);
    for (int k = scans; k < count; ++k)
        result += scan;
    result += s.mid(lastScanEnd);
    return writeAll(QString::fromLocal8Bit(out), result) ? 0 : fail("cannot write");
}

// --- crafted films -------------------------------------------------------------------------

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray le16(quint16 v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray riffChunk(const char* id, const QByteArray& data)
{
    QByteArray c = QByteArray(id, 4) + le32(quint32(data.size())) + data;
    if (data.size() % 2)
        c += '\0';
    return c;
}

QByteArray riffList(const char* type, const QByteArray& content)
{
    return riffChunk("LIST", QByteArray(type, 4) + content);
}

// A one-frame, one-stream AVI with an index, its format chunk and frame as given.
QByteArray aviFile(const char* handler, const QByteArray& format, int width, int height, const char* frameId,
                   const QByteArray& frame)
{
    QByteArray avih = le32(100000) + le32(quint32(frame.size() * 10)) + le32(0) + le32(0x10) + le32(1) + le32(0)
                      + le32(1) + le32(quint32(frame.size())) + le32(quint32(width)) + le32(quint32(height))
                      + QByteArray(16, '\0');
    QByteArray strh = QByteArray("vids") + QByteArray(handler, 4) + le32(0) + le16(0) + le16(0) + le32(0) + le32(1)
                      + le32(10) + le32(0) + le32(1) + le32(quint32(frame.size())) + le32(0xFFFFFFFF) + le32(0)
                      + le16(0) + le16(0) + le16(quint16(width)) + le16(quint16(height));
    const QByteArray hdrl = riffList(
        "hdrl", riffChunk("avih", avih) + riffList("strl", riffChunk("strh", strh) + riffChunk("strf", format)));
    const QByteArray movi = riffList("movi", riffChunk(frameId, frame));
    const QByteArray idx1 =
        riffChunk("idx1", QByteArray(frameId, 4) + le32(0x10) + le32(4) + le32(quint32(frame.size())));
    const QByteArray body = QByteArray("AVI ") + hdrl + movi + idx1;
    return QByteArray("RIFF") + le32(quint32(body.size())) + body;
}

QByteArray bitmapInfo(quint32 headerSize, int width, int height, int bits, const char* compression, quint32 imageSize)
{
    return le32(headerSize) + le32(quint32(width)) + le32(quint32(height)) + le16(1) + le16(quint16(bits))
           + (compression ? QByteArray(compression, 4) : le32(0)) + le32(imageSize) + le32(0) + le32(0)
           + le32(bits == 8 ? 256 : 0) + le32(0);
}

int film(const QByteArray& kind, const char* out)
{
    QByteArray bytes;
    if (kind == "plain" || kind == "header-size") {
        QByteArray frame;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                frame += QByteArray(y < 8 ? "\xff\x00\x00" : "\x00\x00\xff", 3);  // rows bottom-up: blue, then red
        const quint32 size = kind == "plain" ? 40 : 0x80000000u;
        bytes = aviFile("DIB ", bitmapInfo(size, 16, 16, 24, nullptr, quint32(frame.size())), 16, 16, "00db", frame);
    } else if (kind == "negative-header") {
        QByteArray palette;
        for (int i = 0; i < 256; ++i)
            palette += QByteArray(1, char(i)) + QByteArray(1, char(255 - i)) + QByteArray(1, char(i / 2))
                       + QByteArray(1, '\0');
        QByteArray frame(16 * 16, '\0');
        for (int i = 0; i < frame.size(); ++i)
            frame[i] = char(i % 256);
        bytes = aviFile("DIB ", bitmapInfo(quint32(-4096), 16, 16, 8, nullptr, quint32(frame.size())) + palette, 16, 16,
                        "00db", frame);
    } else if (kind == "huge-mjpeg") {
        // A plain 5000 × 5000 picture's stream cut after its first 3.5 KB: the header and the
        // first blocks, all a decoder needs to set up the whole frame.
        QImage plain(5000, 5000, QImage::Format_Grayscale8);
        plain.fill(128);
        QByteArray jpeg = encodeJpeg(plain, 50).left(3500) + QByteArray("\xFF\xD9", 2);
        bytes = aviFile("MJPG", bitmapInfo(40, 5000, 5000, 24, "MJPG", quint32(jpeg.size())), 5000, 5000, "00dc", jpeg);
    } else {
        return fail("film kinds: plain header-size negative-header huge-mjpeg");
    }
    return writeAll(QString::fromLocal8Bit(out), bytes) ? 0 : fail("cannot write");
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "picture" && (argc == 4 || argc == 5))
        return picture(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
    if (mode == "old" && argc == 3)
        return oldOutline(argv[2]);
    if (mode == "repeat-scan" && argc == 5)
        return repeatScan(argv[2], argv[3], std::atoi(argv[4]));
    if (mode == "film" && argc == 4)
        return film(argv[2], argv[3]);
    return fail("usage: picture OUT.vmd IN.jpg [CLAIMED] | old OUT.vmc | repeat-scan IN.jpg OUT.jpg COUNT | film KIND "
                "OUT.avi"),
           2;
}
