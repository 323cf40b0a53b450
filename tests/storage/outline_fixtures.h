#pragma once

// Outlines and byte helpers shared by the storage tests.

#include "model/document.h"
#include "storage/jpeg_codec.h"
#include "support/photo_like_image.h"

#include <QFile>
#include <QImage>
#include <QTest>
#include <QtEndian>

namespace fixtures {

using namespace velmar;

inline qint32 intAt(const QByteArray& bytes, qsizetype offset)
{
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
}

inline void setIntAt(QByteArray& bytes, qsizetype offset, qint32 value)
{
    qToLittleEndian<qint32>(value, bytes.data() + offset);
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An outline that uses every field of the format: frames with each bevel and border, Cyrillic and
// multi-line texts in frames and on the canvas, fonts, video fragments with and without a file,
// pictures, arrows, and both sequences out of creation order.
inline Document richDocument()
{
    Document doc;
    doc.state.outlineName = QStringLiteral("Механика: движение тел");
    doc.state.canvasColour = 0x00C0DCC0;
    doc.state.windowSize = QSize(900, 700);
    Outline& o = doc.outline;
    o.setClientSize(QSize(900 - 16, 700 - 59));

    const QStringList titles{QStringLiteral("Наблюдения"), QStringLiteral("Опыты"), QStringLiteral("Величины"),
                             QStringLiteral("Связи величин")};
    for (int k = 1; k <= 4; ++k) {
        const int slot = o.createFrame(QRect(2 + 210 * (k - 1), 34, 200, 260), titles[k - 1]);
        FrameObject& f = o.frame(slot);
        f.innerBevel = quint8(k - 1);
        f.outerBevel = quint8(4 - k);
        f.borderLine = quint8(k % 2);
        f.colour = 0x00102030u * quint32(k);
        f.titleVisible = k != 3;
        f.minimalText = titles[k - 1];
    }
    o.frame(2).colour = kButtonFace;
    o.frame(4).minimalText = QString(260, QChar(0x0436)).replace(100, 1, QLatin1Char(' '));

    const int inFrame = o.createTextField(QRect(5, 25, 150, 60), 0x00FFFFFF,
                                          QStringLiteral("Первая строка\r\nВторая строка\r\nТретья"), 2);
    TextFieldObject& t = o.textField(inFrame);
    t.alignment = AlignCentre;
    t.font = FontSpec{QStringLiteral("Times New Roman"), 14, 0x000000FF, 2, FontBold | FontUnderline};
    t.minimalText = QStringLiteral("Скорость\r\nи ускорение");
    const int onCanvas = o.createTextField(QRect(300, 400, 200, 40), kButtonFace, QStringLiteral("На холсте"), 0);
    o.textField(onCanvas).alignment = AlignRight;
    o.textField(onCanvas).font.style = FontItalic | FontStrikeOut;

    const int film = o.createVideo(QRect(10, 100, 150, 120), 1);
    o.video(film).fileName = QStringLiteral("/home/ученик/Видео/опыт с маятником.avi");
    o.video(film).minimalText = QStringLiteral("Маятник");
    o.createVideo(QRect(600, 350, 150, 150), 0);

    for (int k = 0; k < 2; ++k) {
        const int slot = o.createPicture(QRect(10 + 90 * k, 30, 80, 60), 3);
        o.picture(slot).setBitmap(photoLikeImage(48 + 16 * k, 36, quint32(k + 1)));
        o.picture(slot).minimalText = QStringLiteral("Рисунок %1").arg(k + 1);
    }

    o.createArrow(100, 320, 200, 320, 1, kBlack);
    o.createArrow(400, 500, 380, 420, 7, 0x000000FF);
    o.createArrow(50, 600, 50, 610, 10, 0x00FF00FF);

    o.frameSequence().swap(1, 3);
    o.objectSequence().swap(2, 5);
    o.objectSequence().swap(1, 4);
    return doc;
}

// Compares everything the file format keeps of two outlines (not object ids).
inline void compareOutlines(const Outline& actual, const Outline& expected)
{
    for (int k = 0; k < kKindCount; ++k)
        if (ObjectKind(k) != ObjectKind::Caption)
            QCOMPARE(actual.count(ObjectKind(k)), expected.count(ObjectKind(k)));
    const auto framePosition = [](const Outline& o, int k) { return o.frameSequence().positionOf(o.frame(k).id); };
    const auto objectPosition = [](const Outline& o, ObjectId id) { return o.objectSequence().positionOf(id); };
    for (int k = 1; k <= expected.count(ObjectKind::Frame); ++k) {
        const FrameObject& a = actual.frame(k);
        const FrameObject& e = expected.frame(k);
        QCOMPARE(a.bounds, e.bounds);
        QCOMPARE(a.colour, e.colour);
        QCOMPARE(a.innerBevel, e.innerBevel);
        QCOMPARE(a.outerBevel, e.outerBevel);
        QCOMPARE(a.borderLine, e.borderLine);
        QCOMPARE(a.title, e.title);
        QCOMPARE(a.titleVisible, e.titleVisible);
        QCOMPARE(a.minimalText, e.minimalText);
        QCOMPARE(framePosition(actual, k), framePosition(expected, k));
    }
    for (int k = 1; k <= expected.count(ObjectKind::TextField); ++k) {
        const TextFieldObject& a = actual.textField(k);
        const TextFieldObject& e = expected.textField(k);
        QCOMPARE(a.parentFrame, e.parentFrame);
        QCOMPARE(a.bounds, e.bounds);
        QCOMPARE(a.text, e.text);
        QCOMPARE(a.minimalText, e.minimalText);
        QCOMPARE(a.hint, e.minimalText);
        QCOMPARE(a.background, e.background);
        QCOMPARE(a.alignment, e.alignment);
        QCOMPARE(a.font, e.font);
        QCOMPARE(objectPosition(actual, a.id), objectPosition(expected, e.id));
    }
    for (int k = 1; k <= expected.count(ObjectKind::Video); ++k) {
        const VideoObject& a = actual.video(k);
        const VideoObject& e = expected.video(k);
        QCOMPARE(a.parentFrame, e.parentFrame);
        QCOMPARE(a.bounds, e.bounds);
        QCOMPARE(a.fileName, e.fileName);
        QCOMPARE(a.minimalText, e.minimalText);
        QCOMPARE(objectPosition(actual, a.id), objectPosition(expected, e.id));
    }
    for (int k = 1; k <= expected.count(ObjectKind::Picture); ++k) {
        const PictureObject& a = actual.picture(k);
        const PictureObject& e = expected.picture(k);
        QCOMPARE(a.parentFrame, e.parentFrame);
        QCOMPARE(a.bounds, e.bounds);
        QCOMPARE(a.minimalText, e.minimalText);
        QCOMPARE(objectPosition(actual, a.id), objectPosition(expected, e.id));
        QCOMPARE(a.bitmap().size(), e.bitmap().size());
    }
    for (int k = 1; k <= expected.count(ObjectKind::Arrow); ++k) {
        const ArrowObject& a = actual.arrow(k);
        const ArrowObject& e = expected.arrow(k);
        QCOMPARE(QList<int>({a.x1, a.y1, a.x2, a.y2, a.penWidth, int(a.colour)}),
                 QList<int>({e.x1, e.y1, e.x2, e.y2, e.penWidth, int(e.colour)}));
    }
    QCOMPARE(actual.frameSequence().length(), expected.frameSequence().length());
    QCOMPARE(actual.objectSequence().length(), expected.objectSequence().length());
}

}  // namespace fixtures
