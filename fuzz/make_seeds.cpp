// Writes the starting corpus of every fuzz harness from the test fixtures: the rich outline of the
// storage tests as a file and as a header-only snapshot, old-format outlines of each version with
// their picture files, JPEG streams of every coding the decoder takes, and Windows-1251 texts.
// Usage: fuzz_make_seeds CORPUS_DIR   (makes CORPUS_DIR/<harness>/seed-N)
#include "outline_fixtures.h"
#include "storage/cp1251.h"
#include "storage/jpeg_codec.h"
#include "storage/outline_io.h"
#include "support/compact_outline.h"
#include "support/old_format_writer.h"
#include "support/photo_like_image.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

using namespace velmar;

namespace {

int written = 0;

void seed(const QString& corpus, const char* harness, const QByteArray& bytes)
{
    QDir dir(corpus);
    dir.mkpath(QLatin1String(harness));
    QFile file(dir.filePath(QStringLiteral("%1/seed-%2").arg(QLatin1String(harness)).arg(++written)));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_make_seeds CORPUS_DIR\n");
        return 2;
    }
    const QString corpus = QString::fromLocal8Bit(argv[1]);

    // The outline harnesses take the compact form: the base outline plain, and with texts beyond
    // Windows-1251 and properties in its block; plus one whole file of the richer test outline.
    Document base = compact::baseDocument();
    seed(corpus, "outline_reader", compact::compactOf(serializeOutline(base, true)));
    seed(corpus, "snapshot_reader", compact::compactOf(serializeOutline(base, false)));
    base.state.outlineName = QStringLiteral("Урок π");
    base.outline.frame(1).title = QStringLiteral("Фрейм √1");
    base.outline.frame(2).titleColour = 0x000000FF;
    base.outline.textField(1).text = QStringLiteral("T = 2π\r\n²³");
    base.outline.textField(2).readOnly = true;
    base.outline.video(1).playerVisible = false;
    base.outline.picture(1).minimalText = QStringLiteral("≈ 1");
    base.outline.picture(2).border = 1;
    base.outline.picture(3).stretched = false;
    seed(corpus, "outline_reader", compact::compactOf(serializeOutline(base, true)));
    seed(corpus, "snapshot_reader", compact::compactOf(serializeOutline(base, false)));
    seed(corpus, "extension_block", buildOutlineImage(base, false).extension);
    // A patch: frame 2 moved and its title length byte at the capacity.
    seed(corpus, "outline_reader",
         compact::compactOf(
             serializeOutline(compact::baseDocument(), true),
             {QByteArray("\x00\x01\x00\x00\x04\x40\x00\x00\x00", 9), QByteArray("\x00\x01\x17\x00\x01\xfa", 6)}));
    seed(corpus, "outline_reader", serializeOutline(fixtures::richDocument(), true));

    for (const char* version : {"4.0", "3.9", "3.5"}) {
        oldformat::Outline old;
        old.version = QLatin1String(version);
        old.name = QStringLiteral("Урок");
        old.frames.push_back({QRect(10, 40, 200, 150), kButtonFace, 0, 2, 0, QStringLiteral("Фрейм"), 1,
                              QStringLiteral("Текст\r\nфрейма"), 1});
        oldformat::TextField text;
        text.parent = 1;
        text.bounds = QRect(5, 20, 120, 40);
        text.text = QStringLiteral("Строка 1\r\nСтрока 2");
        old.textFields.push_back(text);
        old.arrows.push_back({10, 10, 100, 100, 2, 0});
        oldformat::Picture picture;
        picture.parent = 1;
        picture.bounds = QRect(5, 70, 60, 40);
        picture.stream = encodeJpeg(photoLikeImage(24, 16, 2), 90);
        old.pictures.push_back(picture);
        seed(corpus, "old_outline", oldformat::vmc(old) + "\n--blc--\n" + oldformat::blc(old));
    }

    const QImage photo = photoLikeImage(48, 32, 5);
    for (const QByteArray& stream :
         {encodeJpeg(photo, 100), encodeJpeg(photo, 50), encodeJpeg(photoLikeImage(8, 8, 1), 90)})
        for (char scale : {'\0', '\1', '\2'})
            seed(corpus, "jpeg", QByteArray(1, scale) + stream);

    for (const QString& text :
         {QStringLiteral("Логический конспект «Урок» №1 — ёЁ"), QStringLiteral("plain ASCII\r\n")})
        seed(corpus, "cp1251", encodeCp1251(text));
    std::printf("%d seeds in %s\n", written, qPrintable(corpus));
    return 0;
}
