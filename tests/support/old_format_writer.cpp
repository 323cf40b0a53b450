#include "support/old_format_writer.h"

#include "storage/cp1251.h"

#include <QFile>

namespace velmar::oldformat {

namespace {

// Colours are written as the signed 32-bit numbers the old program kept them in.
QByteArray colour(velmar::ColourValue value) { return QByteArray::number(qint32(value)); }
QByteArray number(qint64 value) { return QByteArray::number(value); }

struct Writer {
    const Outline& outline;
    QList<QByteArray> out;

    bool is40() const { return outline.version == QLatin1String("4.0"); }
    bool is35() const { return outline.version == QLatin1String("3.5"); }
    void text(const QString& t) { out << velmar::encodeCp1251(t); }
    void breaking(const QString& t) { out << substituted(t, outline.version); }
    void rect(const QRect& r) { out << number(r.left()) << number(r.top()) << number(r.width()) << number(r.height()); }
    // Minimal texts carry substitutes in "4.0", the only version that has them.
    void sequenced(const QString& minimalText, int position)
    {
        if (!is40())
            return;
        breaking(minimalText);
        out << number(position);
    }

    void write()
    {
        text(outline.version);
        text(outline.name);
        out << colour(outline.canvasColour) << number(outline.windowSize.width())
            << number(outline.windowSize.height());

        text(QStringLiteral("Фреймы"));
        out << number(outline.frames.size());
        for (const Frame& f : outline.frames) {
            rect(f.bounds);
            out << colour(f.colour) << number(f.innerBevel) << number(f.outerBevel) << number(f.borderLine);
            text(f.title);
            out << number(f.titleVisible);
            sequenced(f.minimalText, f.sequencePosition);
        }

        text(QStringLiteral("Текстовые поля"));
        out << number(outline.textFields.size());
        for (const TextField& t : outline.textFields) {
            out << number(t.parent);
            rect(t.bounds);
            breaking(t.text);
            if (!is35())
                out << colour(t.background) << number(t.alignment);
            text(t.fontName);
            out << number(t.fontSize) << colour(t.fontColour) << number(t.pitch) << number(t.style);
            sequenced(t.minimalText, t.sequencePosition);
        }

        text(QStringLiteral("Стрелки"));
        out << number(outline.arrows.size());
        for (const Arrow& a : outline.arrows)
            out << number(a.x1) << number(a.y1) << number(a.x2) << number(a.y2) << number(a.penWidth)
                << colour(a.colour);

        text(QStringLiteral("Видео"));
        out << number(outline.videos.size());
        for (const Video& v : outline.videos) {
            out << number(v.parent);
            rect(v.bounds);
            text(v.fileName);
            sequenced(v.minimalText, v.sequencePosition);
        }

        text(QStringLiteral("Рисунки"));
        out << number(outline.pictures.size());
        for (const Picture& p : outline.pictures) {
            out << number(p.parent);
            rect(p.bounds);
            sequenced(p.minimalText, p.sequencePosition);
        }
    }
};

}  // namespace

QByteArray substituted(const QString& text, const QString& version)
{
    const bool oldest = version == QLatin1String("3.5");
    QByteArray bytes = velmar::encodeCp1251(text);
    for (char& b : bytes) {
        if (b == '\n')
            b = char(oldest ? 0xFE : 0xAE);
        else if (b == '\r')
            b = char(oldest ? 0xFF : 0xAF);
    }
    return bytes;
}

QList<QByteArray> lines(const Outline& outline)
{
    Writer writer{outline, {}};
    writer.write();
    return writer.out;
}

QByteArray joinLines(const QList<QByteArray>& lines)
{
    QByteArray data;
    for (const QByteArray& line : lines)
        data += line + "\r\n";
    return data;
}

QByteArray vmc(const Outline& outline) { return joinLines(lines(outline)); }

QByteArray length(qint64 value, int type)
{
    if (type == 0)
        type = value >= -128 && value <= 127 ? 2 : value >= -32768 && value <= 32767 ? 3 : 4;
    const int size = type == 2 ? 1 : type == 3 ? 2 : 4;
    QByteArray bytes(1, char(type));
    for (int i = 0; i < size; ++i)
        bytes += char((quint64(value) >> (8 * i)) & 0xFF);
    return bytes;
}

QByteArray blc(const Outline& outline)
{
    QByteArray data;
    for (const Picture& p : outline.pictures)
        data += length(p.stream.size(), p.lengthType) + p.stream;
    return data;
}

bool writeFiles(const Outline& outline, const QString& vmcPath)
{
    const qsizetype dot = vmcPath.lastIndexOf(QLatin1Char('.'));
    const QString blcPath = (dot > 0 ? vmcPath.left(dot) : vmcPath) + QStringLiteral(".blc");
    QFile text(vmcPath), pictures(blcPath);
    return text.open(QIODevice::WriteOnly) && text.write(vmc(outline)) >= 0 && pictures.open(QIODevice::WriteOnly)
           && pictures.write(blc(outline)) >= 0;
}

}  // namespace velmar::oldformat
