// Builds the crafted inputs of the hostile-document checks (check_hostile.sh):
//   make_hostile_input picture OUT.vmd IN.jpg [CLAIMED]   an outline holding IN.jpg's stream as it
//       is (progressive, arithmetic-coded…); with CLAIMED, the picture's stored length says CLAIMED
//       bytes and the file is extended to hold them (sparse: it takes no room on the disk)
//   make_hostile_input old OUT.vmc                         an outline of the earlier format with one
//       picture, without its .blc side file (the check plants one)
//   make_hostile_input repeat-scan IN.jpg OUT.jpg COUNT    IN.jpg with its last scan repeated until
//       the stream holds COUNT scans
#include "model/document.h"
#include "storage/outline_file.h"
#include "support/old_format_writer.h"

#include <QCoreApplication>
#include <QFile>

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
    return fail("usage: picture OUT.vmd IN.jpg [CLAIMED] | old OUT.vmc | repeat-scan IN.jpg OUT.jpg COUNT"), 2;
}
