#include "export/pdf_photos.h"

#include "storage/jpeg_codec.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

namespace velmar {

JpegFacts readJpegFacts(const QByteArray& stream)
{
    JpegFacts facts;
    const auto* bytes = reinterpret_cast<const unsigned char*>(stream.constData());
    const qsizetype size = stream.size();
    if (size < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return facts;
    bool frame = false, supported = false;
    qsizetype at = 2;
    while (at + 3 < size) {
        if (bytes[at] != 0xFF)
            return facts;
        const unsigned char marker = bytes[at + 1];
        if (marker == 0xFF) {  // fill byte before a marker
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        const int length = (bytes[at + 2] << 8) | bytes[at + 3];
        const qsizetype payload = at + 4;
        if (length < 2 || at + 2 + length > size)
            return facts;
        if (marker == 0xEE && length >= 14 && std::memcmp(bytes + payload, "Adobe", 5) == 0)
            facts.adobe = true;
        const bool frameMarker = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frameMarker && length >= 8) {
            frame = true;
            facts.precision = bytes[payload];
            facts.size =
                QSize((bytes[payload + 3] << 8) | bytes[payload + 4], (bytes[payload + 1] << 8) | bytes[payload + 2]);
            facts.components = bytes[payload + 5];
            // Baseline, extended and progressive Huffman-coded frames; PDF readers take no
            // arithmetic-coded, lossless or hierarchical ones.
            supported = marker == 0xC0 || marker == 0xC1 || marker == 0xC2;
        }
        if (marker == 0xDA || marker == 0xD9)
            break;
        at += 2 + length;
    }
    facts.embeddable = frame && supported && facts.precision == 8 && !facts.size.isEmpty()
                       && (facts.components == 1 || facts.components == 3 || facts.components == 4);
    return facts;
}

namespace {

// The stand-ins: pictures of one plain colour, a different one for each photo, sized so that
// the writer's scale from a stand-in to the photo's place is a short decimal (a power of 2 times
// one of 5): the placement the PDF then holds is as exact as the photo's own would have been, and
// readers put the photo on the same pixels as when it was drawn from its bitmap.
const QSize kStandInSize(40, 25);
constexpr int kColourSteps = 12;  // 12 × 12 colours, more than an outline has pictures
constexpr int kColourStep = 16;
constexpr int kColourBase = 40;
constexpr int kStandInGreen = 0xB4;

QRgb standInColour(int index)
{
    return qRgb(kColourBase + kColourStep * (index % kColourSteps), kStandInGreen,
                kColourBase + kColourStep * (index / kColourSteps));
}

// The stand-in whose colour every pixel has (a JPEG of one plain colour comes back within a step
// or two), or -1.
int standInIndex(const uchar* rgb, qsizetype pixels, int stride)
{
    if (pixels <= 0)
        return -1;
    const int red = rgb[0], blue = rgb[2];
    if (red < kColourBase - kColourStep / 2 || blue < kColourBase - kColourStep / 2)
        return -1;
    const int column = (red - kColourBase + kColourStep / 2) / kColourStep;
    const int row = (blue - kColourBase + kColourStep / 2) / kColourStep;
    if (column >= kColourSteps || row >= kColourSteps)
        return -1;
    const QRgb colour = standInColour(row * kColourSteps + column);
    const int tolerance = 6;
    for (qsizetype i = 0; i < pixels; ++i) {
        const uchar* p = rgb + i * stride;
        if (std::abs(p[0] - qRed(colour)) > tolerance || std::abs(p[1] - qGreen(colour)) > tolerance
            || std::abs(p[2] - qBlue(colour)) > tolerance)
            return -1;
    }
    return row * kColourSteps + column;
}

// One object of the PDF as its writer laid it out: where it starts, and its number.
struct PdfObject {
    int number = 0;
    qsizetype offset = 0;
    qsizetype end = 0;
};

// The cross-reference table: every object in use with its offset; false when the file does not
// end in a table of the classic form.
struct CrossReference {
    std::vector<PdfObject> objects;  // in file order
    qsizetype tableOffset = 0;
    QByteArray trailer;                     // from "trailer" up to "startxref"
    int size = 0;                           // one more than the highest object number
    std::map<int, QByteArray> freeEntries;  // the table's lines of the numbers not in use
};

bool readCrossReference(const QByteArray& pdf, CrossReference& xref)
{
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    if (startxref < 0)
        return false;
    bool ok = false;
    xref.tableOffset = pdf.mid(startxref + 9, 24).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
    if (!ok || xref.tableOffset <= 0 || xref.tableOffset >= startxref
        || !pdf.mid(xref.tableOffset, 4).startsWith("xref"))
        return false;
    const qsizetype trailer = pdf.indexOf("trailer", xref.tableOffset);
    if (trailer < 0 || trailer > startxref)
        return false;
    xref.trailer = pdf.mid(trailer, startxref - trailer);
    // Subsections: "first count" and count entries "oooooooooo ggggg n".
    const QList<QByteArray> lines = pdf.mid(xref.tableOffset + 4, trailer - xref.tableOffset - 4).split('\n');
    int next = -1, left = 0;
    for (const QByteArray& raw : lines) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty())
            continue;
        const QList<QByteArray> fields = line.split(' ');
        if (left == 0) {
            if (fields.size() != 2)
                return false;
            next = fields[0].toInt(&ok);
            left = ok ? fields[1].toInt(&ok) : 0;
            if (!ok || next < 0 || left < 0)
                return false;
            xref.size = std::max(xref.size, next + left);
            continue;
        }
        if (fields.size() != 3)
            return false;
        if (fields[2] == "f")
            xref.freeEntries[next] = line + " \n";
        if (fields[2] == "n") {
            const qsizetype offset = fields[0].toLongLong(&ok);
            if (!ok || offset <= 0 || offset >= xref.tableOffset)
                return false;
            xref.objects.push_back({next, offset, 0});
        }
        ++next;
        --left;
    }
    if (left != 0 || xref.objects.empty())
        return false;
    std::sort(xref.objects.begin(), xref.objects.end(),
              [](const PdfObject& a, const PdfObject& b) { return a.offset < b.offset; });
    for (std::size_t i = 0; i < xref.objects.size(); ++i) {
        PdfObject& object = xref.objects[i];
        object.end = i + 1 < xref.objects.size() ? xref.objects[i + 1].offset : xref.tableOffset;
        if (!pdf.mid(object.offset, 24).startsWith(QByteArray::number(object.number) + " 0 obj"))
            return false;
    }
    return true;
}

// A number the dictionary gives a key ("/Width 61"), or -1.
qint64 dictionaryNumber(const QByteArray& dictionary, const char* key)
{
    const QRegularExpression re(QStringLiteral("/%1\\s+(\\d+)(\\s+0\\s+R)?").arg(QLatin1String(key)));
    const QRegularExpressionMatch match = re.match(QString::fromLatin1(dictionary));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

bool dictionaryRefers(const QByteArray& dictionary, const char* key)
{
    const QRegularExpression re(QStringLiteral("/%1\\s+\\d+\\s+0\\s+R").arg(QLatin1String(key)));
    return re.match(QString::fromLatin1(dictionary)).hasMatch();
}

// The integer an object holds alone ("12 0 obj\n4711\nendobj"), or -1.
qint64 objectInteger(const QByteArray& pdf, const PdfObject& object)
{
    const QByteArray body = pdf.mid(object.offset, object.end - object.offset);
    const qsizetype start = body.indexOf("obj");
    const qsizetype end = body.indexOf("endobj");
    if (start < 0 || end < start)
        return -1;
    bool ok = false;
    const qint64 value = body.mid(start + 3, end - start - 3).trimmed().toLongLong(&ok);
    return ok ? value : -1;
}

// Which stand-in a picture's data (as the writer compressed it) is, or -1 for none.
int standInOf(const QByteArray& dictionary, const QByteArray& data)
{
    if (dictionary.contains("/SMask") || dictionary.contains("/Mask") || !dictionary.contains("/DeviceRGB"))
        return -1;
    if (dictionary.contains("/DCTDecode")) {
        const QImage image = decodeJpeg(data).convertToFormat(QImage::Format_RGB888);
        if (image.size() != kStandInSize)
            return -1;
        int index = -1;
        for (int y = 0; y < image.height(); ++y) {
            const int row = standInIndex(image.constScanLine(y), image.width(), 3);
            if (row < 0 || (index >= 0 && row != index))
                return -1;
            index = row;
        }
        return index;
    }
    if (dictionary.contains("/FlateDecode")) {
        // zlib data; qUncompress wants the expected length in front.
        const qint64 expected = qint64(kStandInSize.width()) * kStandInSize.height() * 3;
        QByteArray prefixed(4, '\0');
        for (int i = 0; i < 4; ++i)
            prefixed[i] = char((expected >> (24 - 8 * i)) & 0xFF);
        const QByteArray raw = qUncompress(prefixed + data);
        if (raw.size() != expected)
            return -1;
        return standInIndex(reinterpret_cast<const uchar*>(raw.constData()), raw.size() / 3, 3);
    }
    return -1;
}

}  // namespace

PdfPhotos::PdfPhotos(const Document& document)
{
    m_document.outline = document.outline;
    m_document.state = document.state;
    Outline& outline = m_document.outline;
    for (int k = 1; k <= outline.count(ObjectKind::Picture); ++k) {
        PictureObject& picture = outline.picture(k);
        const QByteArray stream = picture.jpegStream();
        const JpegFacts facts = readJpegFacts(stream);
        // Pictures of the same stream share its stand-in, which the writer then puts in once.
        const auto same = std::find_if(m_photos.begin(), m_photos.end(), [&](const Photo& photo) {
            return photo.stream.size() == stream.size() && photo.stream == stream;
        });
        if (facts.embeddable && same != m_photos.end()) {
            picture.setBitmap(same->standIn);
        } else if (facts.embeddable && int(m_photos.size()) < kColourSteps * kColourSteps) {
            QImage image(kStandInSize, QImage::Format_RGB32);
            image.fill(standInColour(int(m_photos.size())));
            picture.setBitmap(image);
            m_photos.push_back({stream, facts, image});
        } else if (!stream.isEmpty()) {
            // A stream no PDF reader takes (rare): its pixels, decoded here (the picture may have
            // been read without decoding) and compressed by the writer.
            picture.setBitmap(decodeJpeg(stream));
        }
    }
}

QByteArray PdfPhotos::embedStreams(const QByteArray& pdf) const
{
    if (m_photos.empty())
        return pdf;
    CrossReference xref;
    if (!readCrossReference(pdf, xref))
        return pdf;
    std::map<int, const PdfObject*> byNumber;
    for (const PdfObject& object : xref.objects)
        byNumber[object.number] = &object;

    std::map<int, QByteArray> replaced;  // object number → its new bytes
    for (const PdfObject& object : xref.objects) {
        const QByteArray head = pdf.mid(object.offset, std::min<qsizetype>(object.end - object.offset, 1024));
        const qsizetype open = head.indexOf("<<");
        const qsizetype streamKeyword = head.indexOf(">>\nstream");
        if (open < 0 || streamKeyword < open || !head.contains("/Subtype /Image"))
            continue;
        const QByteArray dictionary = head.mid(open, streamKeyword + 2 - open);
        const QSize size(int(dictionaryNumber(dictionary, "Width")), int(dictionaryNumber(dictionary, "Height")));
        if (size != kStandInSize)
            continue;
        qint64 length = dictionaryNumber(dictionary, "Length");
        const bool lengthObject = dictionaryRefers(dictionary, "Length");
        if (lengthObject) {
            const auto found = byNumber.find(int(length));
            length = found == byNumber.end() ? -1 : objectInteger(pdf, *found->second);
        }
        const qsizetype dataStart = object.offset + streamKeyword + qsizetype(sizeof ">>\nstream\n") - 1;
        if (length < 0 || dataStart + length > object.end)
            continue;
        const int index = standInOf(dictionary, pdf.mid(dataStart, length));
        if (index < 0 || index >= int(m_photos.size()))
            continue;
        const Photo* photo = &m_photos[std::size_t(index)];

        const JpegFacts& facts = photo->facts;
        QByteArray bytes = QByteArray::number(object.number) + " 0 obj\n<<\n/Type /XObject\n/Subtype /Image\n";
        bytes += "/Width " + QByteArray::number(facts.size.width()) + "\n/Height "
                 + QByteArray::number(facts.size.height()) + "\n/BitsPerComponent 8\n";
        if (facts.components == 1)
            bytes += "/ColorSpace /DeviceGray\n";
        else if (facts.components == 3)
            bytes += "/ColorSpace /DeviceRGB\n";
        else {
            bytes += "/ColorSpace /DeviceCMYK\n";
            // Adobe's applications store the inks inverted.
            if (facts.adobe)
                bytes += "/Decode [1 0 1 0 1 0 1 0]\n";
        }
        if (dictionary.contains("/Interpolate true"))
            bytes += "/Interpolate true\n";
        if (lengthObject) {
            const int number = int(dictionaryNumber(dictionary, "Length"));
            bytes += "/Length " + QByteArray::number(number) + " 0 R\n";
            replaced[number] =
                QByteArray::number(number) + " 0 obj\n" + QByteArray::number(photo->stream.size()) + "\nendobj\n";
        } else {
            bytes += "/Length " + QByteArray::number(photo->stream.size()) + "\n";
        }
        bytes += "/Filter /DCTDecode\n>>\nstream\n" + photo->stream + "\nendstream\nendobj\n";
        replaced[object.number] = bytes;
    }
    if (replaced.empty())
        return pdf;

    // The objects again in their order, the replaced ones new, then the table of their offsets.
    QByteArray out;
    qsizetype total = xref.objects.front().offset;
    for (const PdfObject& object : xref.objects) {
        const auto found = replaced.find(object.number);
        total += found == replaced.end() ? object.end - object.offset : found->second.size();
    }
    out.reserve(total + 64 + 20 * qsizetype(xref.size) + xref.trailer.size());
    out += pdf.left(xref.objects.front().offset);
    std::vector<qsizetype> offsets(std::size_t(xref.size), -1);
    for (const PdfObject& object : xref.objects) {
        offsets[std::size_t(object.number)] = out.size();
        const auto found = replaced.find(object.number);
        if (found == replaced.end())
            out.append(pdf.constData() + object.offset, object.end - object.offset);
        else
            out += found->second;
    }
    const qsizetype table = out.size();
    out += "xref\n0 " + QByteArray::number(xref.size) + "\n";
    for (int n = 0; n < xref.size; ++n) {
        const qsizetype offset = offsets[std::size_t(n)];
        if (offset >= 0)
            out += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
        else
            out += xref.freeEntries.count(n) ? xref.freeEntries.at(n) : QByteArray("0000000000 65535 f \n");
    }
    out += xref.trailer;
    out += "startxref\n" + QByteArray::number(table) + "\n%%EOF\n";
    return out;
}

}  // namespace velmar
