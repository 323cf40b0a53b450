#include "support/avi_writer.h"

#include "storage/jpeg_codec.h"

#include <QByteArray>
#include <QColor>
#include <QSaveFile>
#include <QtEndian>

namespace velmar::avi {

namespace {

void putU32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void putU16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void putTag(QByteArray& out, const char* tag) { out.append(tag, 4); }

// A chunk: tag, length, data, and a pad byte when the length is odd.
QByteArray chunk(const char* tag, const QByteArray& data)
{
    QByteArray out;
    putTag(out, tag);
    putU32(out, quint32(data.size()));
    out.append(data);
    if (data.size() % 2)
        out.append('\0');
    return out;
}

QByteArray list(const char* type, const QByteArray& content)
{
    QByteArray body(type, 4);
    body.append(content);
    return chunk("LIST", body);
}

// The bottom-up BGR rows of a DIB, each padded to four bytes.
QByteArray dibPixels(const QImage& frame)
{
    const QImage rgb = frame.convertToFormat(QImage::Format_RGB32);
    const int stride = (rgb.width() * 3 + 3) / 4 * 4;
    QByteArray out(stride * rgb.height(), '\0');
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(rgb.height() - 1 - y));
        char* row = out.data() + y * stride;
        for (int x = 0; x < rgb.width(); ++x) {
            row[x * 3] = char(qBlue(line[x]));
            row[x * 3 + 1] = char(qGreen(line[x]));
            row[x * 3 + 2] = char(qRed(line[x]));
        }
    }
    return out;
}

}  // namespace

bool writeAvi(const QString& path, const QList<QImage>& frames, int fps, Codec codec)
{
    if (frames.isEmpty() || fps <= 0 || frames.first().isNull())
        return false;
    const int width = frames.first().width();
    const int height = frames.first().height();
    const bool mjpeg = codec == Codec::Mjpeg;
    const char* frameTag = mjpeg ? "00dc" : "00db";

    QByteArray movi;
    QByteArray index;
    quint32 largest = 0;
    for (const QImage& image : frames) {
        const QImage frame = image.size() == QSize(width, height) ? image : image.scaled(width, height);
        const QByteArray data =
            mjpeg ? velmar::encodeJpeg(frame.convertToFormat(QImage::Format_RGB32), 90) : dibPixels(frame);
        // Index offsets count from the "movi" type of the list.
        putTag(index, frameTag);
        putU32(index, 0x10);  // key frame
        putU32(index, quint32(4 + movi.size()));
        putU32(index, quint32(data.size()));
        movi.append(chunk(frameTag, data));
        largest = std::max(largest, quint32(data.size()));
    }

    QByteArray avih;
    putU32(avih, quint32(1000000 / fps));  // microseconds per frame
    putU32(avih, largest * quint32(fps));  // max bytes per second
    putU32(avih, 0);                       // padding granularity
    putU32(avih, 0x10);                    // has an index
    putU32(avih, quint32(frames.size()));
    putU32(avih, 0);  // initial frames
    putU32(avih, 1);  // streams
    putU32(avih, largest);
    putU32(avih, quint32(width));
    putU32(avih, quint32(height));
    for (int i = 0; i < 4; ++i)
        putU32(avih, 0);

    QByteArray strh;
    putTag(strh, "vids");
    putTag(strh, mjpeg ? "MJPG" : "DIB ");
    putU32(strh, 0);                       // flags
    putU16(strh, 0);                       // priority
    putU16(strh, 0);                       // language
    putU32(strh, 0);                       // initial frames
    putU32(strh, 1);                       // scale
    putU32(strh, quint32(fps));            // rate
    putU32(strh, 0);                       // start
    putU32(strh, quint32(frames.size()));  // length
    putU32(strh, largest);
    putU32(strh, 0xFFFFFFFFu);  // quality: default
    putU32(strh, 0);            // sample size
    putU16(strh, 0);
    putU16(strh, 0);
    putU16(strh, quint16(width));
    putU16(strh, quint16(height));

    QByteArray strf;
    putU32(strf, 40);
    putU32(strf, quint32(width));
    putU32(strf, quint32(height));  // positive: bottom-up rows
    putU16(strf, 1);
    putU16(strf, 24);
    if (mjpeg)
        putTag(strf, "MJPG");
    else
        putU32(strf, 0);  // BI_RGB
    putU32(strf, quint32((width * 3 + 3) / 4 * 4 * height));
    for (int i = 0; i < 4; ++i)
        putU32(strf, 0);

    const QByteArray hdrl = list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf)));
    QByteArray body("AVI ", 4);
    body.append(hdrl);
    body.append(list("movi", movi));
    body.append(chunk("idx1", index));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(chunk("RIFF", body));
    return file.commit();
}

QList<QImage> colourFrames(const QList<QColor>& colours, int width, int height)
{
    QList<QImage> frames;
    for (const QColor& colour : colours) {
        QImage frame(width, height, QImage::Format_RGB32);
        frame.fill(colour);
        frames << frame;
    }
    return frames;
}

}  // namespace velmar::avi
