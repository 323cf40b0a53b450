// What the user reads when a JPEG stream cannot be decoded: a Russian phrase for each common kind
// of failure, never the decoder library's English text.
#include "outline_fixtures.h"
#include "storage/jpeg_codec.h"
#include "storage/jpeg_messages.h"

#include <QRegularExpression>
#include <QTest>

#include <jerror.h>
#include <jpeglib.h>

using namespace velmar;
using namespace fixtures;

namespace {

QByteArray goodStream() { return encodeJpeg(photoLikeImage(64, 48, 3), 100); }

// The stream with the byte at `offset` after the first `marker` replaced (the stream as it is
// when it has no such marker; the data function checks that it has).
QByteArray patched(QByteArray stream, const char* marker, int offset, char value)
{
    const qsizetype at = stream.indexOf(marker);
    if (at < 0 || at + offset >= stream.size())
        return stream;
    stream[at + offset] = value;
    return stream;
}

// Latin words other than the format's name: what an untranslated library text would leave.
QStringList foreignWords(QString text)
{
    text.remove(QStringLiteral("JPEG"));
    QStringList words;
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]{2,}"));
    for (auto it = latin.globalMatch(text); it.hasNext();)
        words << it.next().captured();
    return words;
}

}  // namespace

class TestJpegMessages : public QObject {
    Q_OBJECT
private slots:
    void failuresAreToldByKind_data();
    void failuresAreToldByKind();
    void everyCodeHasARussianPhrase();
};

void TestJpegMessages::failuresAreToldByKind_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QString>("expected");
    const QByteArray good = goodStream();
    const QString notJpeg = jpegFailureText(JERR_NO_SOI);
    const QString cut = jpegFailureText(JERR_INPUT_EOF);
    const QString unsupported = jpegFailureText(JERR_SOF_UNSUPPORTED);
    const QString tooLarge = jpegFailureText(JERR_IMAGE_TOO_BIG);

    // The file a user once opened: a text file with a JPEG extension, starting with CR.
    QTest::newRow("text file (0x0d 0x0e)") << QByteArray("\x0d\x0e some notes, not a picture") << notJpeg;
    QTest::newRow("PNG signature") << QByteArray("\x89PNG\r\n\x1a\n0000") << notJpeg;
    QTest::newRow("cut in the header") << good.left(40) << cut;
    QTest::newRow("cut in the scan") << good.left(good.size() * 2 / 3) << cut;
    QTest::newRow("start marker only") << QByteArray("\xFF\xD8") << cut;
    QTest::newRow("half of the start marker") << QByteArray("\xFF") << cut;
    // Valid kinds of JPEG this decoder is not built for.
    QVERIFY(good.indexOf("\xFF\xC0") >= 0);
    QTest::newRow("12-bit samples") << patched(good, "\xFF\xC0", 4, 12) << jpegFailureText(JERR_BAD_PRECISION);
    QTest::newRow("lossless process (SOF3)") << patched(good, "\xFF\xC0", 1, char(0xC3)) << unsupported;
    QTest::newRow("hierarchical process (SOF5)") << patched(good, "\xFF\xC0", 1, char(0xC5)) << unsupported;
    // A side beyond the format's limit is refused by the library itself while reading the header.
    QTest::newRow("65535 pixels wide") << patched(patched(good, "\xFF\xC0", 7, char(0xFF)), "\xFF\xC0", 8, char(0xFF))
                                       << tooLarge;
    QByteArray tablesOnly = good.left(good.indexOf("\xFF\xC4"));
    tablesOnly += QByteArray("\xFF\xD9", 2);
    QTest::newRow("tables without a frame") << tablesOnly << jpegFailureText(JERR_NO_IMAGE);
}

void TestJpegMessages::failuresAreToldByKind()
{
    QFETCH(QByteArray, stream);
    QFETCH(QString, expected);
    for (int denominator : {1, 8}) {
        QString error;
        const QImage image = decodeJpeg(stream, &error, denominator);
        QVERIFY(image.isNull());
        QCOMPARE(error, expected);
        QVERIFY2(foreignWords(error).isEmpty(), qPrintable(error));
    }
}

// Every code the library can raise gets a Russian phrase; the common kinds differ from each other
// and from the catch-all, which names the code for a report.
void TestJpegMessages::everyCodeHasARussianPhrase()
{
    QSet<QString> kinds;
    for (int code = 0; code < JMSG_LASTMSGCODE; ++code) {
        const QString text = jpegFailureText(code);
        QVERIFY2(!text.isEmpty() && foreignWords(text).isEmpty(), qPrintable(text));
        if (jpegFailureKind(code) == JpegFailure::Damaged)
            QVERIFY2(text.contains(QString::number(code)), qPrintable(text));
        else
            kinds.insert(text);
    }
    QCOMPARE(kinds.size(), 5);
    QCOMPARE(jpegFailureKind(JERR_NO_SOI), JpegFailure::NotJpeg);
    QCOMPARE(jpegFailureKind(JERR_INPUT_EOF), JpegFailure::Truncated);
    QCOMPARE(jpegFailureKind(JERR_BAD_HUFF_TABLE), JpegFailure::Damaged);
}

QTEST_GUILESS_MAIN(TestJpegMessages)
#include "test_jpeg_messages.moc"
