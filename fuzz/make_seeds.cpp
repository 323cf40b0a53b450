// Writes the starting corpus of every fuzz harness from the test fixtures: the rich outline of the
// storage tests as a file and as a header-only snapshot, old-format outlines of each version with
// their picture files, JPEG streams of every coding the decoder takes, and Windows-1251 texts.
// Usage: fuzz_make_seeds CORPUS_DIR   (makes CORPUS_DIR/<harness>/seed-N)
#include "outline_fixtures.h"
#include "storage/cp1251.h"
#include "storage/jpeg_codec.h"
#include "storage/outline_io.h"
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

    const Document rich = fixtures::richDocument();
    seed(corpus, "outline_reader", serializeOutline(rich, true));
    Document empty;
    seed(corpus, "outline_reader", serializeOutline(empty, true));
    seed(corpus, "snapshot_reader", serializeOutline(rich, false));
    seed(corpus, "snapshot_reader", serializeOutline(empty, false));

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
    for (const QByteArray& stream : {encodeJpeg(photo, 100), encodeJpeg(photo, 50), encodeJpeg(photoLikeImage(8, 8, 1), 90)})
        for (char scale : {'\0', '\1', '\2'})
            seed(corpus, "jpeg", QByteArray(1, scale) + stream);

    for (const QString& text : {QStringLiteral("Логический конспект «Урок» №1 — ёЁ"), QStringLiteral("plain ASCII\r\n")})
        seed(corpus, "cp1251", encodeCp1251(text));
    std::printf("%d seeds in %s\n", written, qPrintable(corpus));
    return 0;
}
