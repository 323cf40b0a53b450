// The byte layout of outline files: offsets, strings, split texts, the picture tail, and what the
// reader refuses.
#include "outline_fixtures.h"
#include "storage/outline_file.h"
#include "storage/outline_io.h"

#include <QTest>

using namespace velmar;
using namespace fixtures;

class TestOutlineFile : public QObject {
    Q_OBJECT
private slots:
    void emptyOutlineIsTheBareRecord();
    void splitText_data();
    void splitText();
    void fieldsSitAtTheirOffsets_data();
    void fieldsSitAtTheirOffsets();
    void fixedStringsAreCutToCapacity();
    void pictureTailIsCumulative();
    void slotsAboveTheCountsAreIgnored();
    void otherVersionsAreRefused_data();
    void otherVersionsAreRefused();
    void damagedRecordsAreRefused_data();
    void damagedRecordsAreRefused();
};

void TestOutlineFile::emptyOutlineIsTheBareRecord()
{
    Document doc;  // named "Новый", no objects
    const QByteArray bytes = serializeOutline(doc, true);
    QCOMPARE(bytes.size(), qsizetype(597496));
    QCOMPARE(bytes.left(4), QByteArray::fromHex("03342E31"));
    QCOMPARE(bytes.mid(11, 6), QByteArray::fromHex("05CDEEE2FBE9"));
    QCOMPARE(quint32(intAt(bytes, 264)), kButtonFace);
    QCOMPARE(intAt(bytes, 268), 744);
    QCOMPARE(intAt(bytes, 272), 546);
    for (const qsizetype countOffset : {276, 130680, 359484, 489488, 595092})
        QCOMPARE(intAt(bytes, countOffset), 0);
    // Beyond the fields written, the record is zero.
    QCOMPARE(bytes.mid(280).count('\0'), bytes.size() - 280);
    QCOMPARE(serializeOutline(doc, false), bytes);
}

void TestOutlineFile::splitText_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QList<int>>("pieces");
    QTest::addColumn<int>("kept");
    QTest::newRow("empty") << 0 << QList<int>{0, 0, 0, 0} << 0;
    QTest::newRow("255: piece 1 only") << 255 << QList<int>{255, 0, 0, 0} << 255;
    QTest::newRow("256: one character in piece 2") << 256 << QList<int>{255, 1, 0, 0} << 256;
    QTest::newRow("510") << 510 << QList<int>{255, 255, 0, 0} << 510;
    QTest::newRow("511") << 511 << QList<int>{255, 255, 1, 0} << 511;
    QTest::newRow("765: piece 3 full") << 765 << QList<int>{255, 255, 255, 0} << 765;
    QTest::newRow("766: piece 4 starts") << 766 << QList<int>{255, 255, 255, 1} << 766;
    QTest::newRow("1020: all full") << 1020 << QList<int>{255, 255, 255, 255} << 1020;
    QTest::newRow("1021: the last character is lost") << 1021 << QList<int>{255, 255, 255, 255} << 1020;
    QTest::newRow("3000") << 3000 << QList<int>{255, 255, 255, 255} << 1020;
}

void TestOutlineFile::splitText()
{
    QFETCH(int, length);
    QFETCH(QList<int>, pieces);
    QFETCH(int, kept);
    // Cyrillic letters and CR LF, so that each character must become one byte.
    QString text;
    const QString alphabet = QStringLiteral("абвгдеёжзийклмнопрстуфхцчшщъыьэюя\r\nABC 0123");
    for (int i = 0; i < length; ++i)
        text += alphabet.at(i % alphabet.size());

    const SplitText split(text);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(split.piece(i).size(), qsizetype(pieces[i]));
    QCOMPARE(split.text(), text.left(kept));

    char bytes[1024];
    std::memset(bytes, 0x5A, sizeof bytes);  // what the record held before
    split.write(bytes);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(int(quint8(bytes[i * 256])), pieces[i]);
    QCOMPARE(SplitText::read(bytes).text(), text.left(kept));
    // Writing straight from the text gives the same bytes.
    char direct[1024];
    std::memset(direct, 0x5A, sizeof direct);
    SplitText::write(direct, text);
    QCOMPARE(QByteArray(direct, 1024), QByteArray(bytes, 1024));
}

// One outline with known values; every row names a field, its offset in the file and the value
// the file must hold there (int32, or a byte when the size is 1).
void TestOutlineFile::fieldsSitAtTheirOffsets_data()
{
    QTest::addColumn<qsizetype>("offset");
    QTest::addColumn<int>("size");
    QTest::addColumn<qint64>("value");
    const qsizetype frame2 = 280 + 1304, text2 = 130684 + 2288, video1 = 359488, picture2 = 489492 + 1056,
                    arrow2 = 595096 + 24;
    QTest::newRow("canvas colour") << qsizetype(264) << 4 << qint64(0x00C0DCC0);
    QTest::newRow("window width") << qsizetype(268) << 4 << qint64(900);
    QTest::newRow("window height") << qsizetype(272) << 4 << qint64(700);
    QTest::newRow("frame count") << qsizetype(276) << 4 << qint64(4);
    QTest::newRow("frame 2 left") << frame2 << 4 << qint64(212);
    QTest::newRow("frame 2 top") << frame2 + 4 << 4 << qint64(34);
    QTest::newRow("frame 2 width") << frame2 + 8 << 4 << qint64(200);
    QTest::newRow("frame 2 height") << frame2 + 12 << 4 << qint64(260);
    QTest::newRow("frame 2 colour") << frame2 + 16 << 4 << qint64(qint32(kButtonFace));
    QTest::newRow("frame 2 inner bevel") << frame2 + 20 << 1 << qint64(1);
    QTest::newRow("frame 2 outer bevel") << frame2 + 21 << 1 << qint64(2);
    QTest::newRow("frame 2 border") << frame2 + 22 << 1 << qint64(0);
    QTest::newRow("frame 2 title length") << frame2 + 23 << 1 << qint64(5);
    QTest::newRow("frame 2 title visible") << frame2 + 274 << 1 << qint64(1);
    QTest::newRow("frame 3 title hidden") << frame2 + 1304 + 274 << 1 << qint64(0);
    QTest::newRow("frame 2 minimal text length") << frame2 + 275 << 1 << qint64(5);
    QTest::newRow("frame 2 sequence position") << frame2 + 1300 << 4 << qint64(2);
    QTest::newRow("frame 1 sequence position") << qsizetype(280 + 1300) << 4 << qint64(3);
    QTest::newRow("text field count") << qsizetype(130680) << 4 << qint64(2);
    QTest::newRow("text field 1 parent") << qsizetype(130684) << 4 << qint64(2);
    QTest::newRow("text field 2 parent") << text2 << 4 << qint64(0);
    QTest::newRow("text field 2 left") << text2 + 4 << 4 << qint64(300);
    QTest::newRow("text field 2 height") << text2 + 16 << 4 << qint64(40);
    QTest::newRow("text field 2 text length") << text2 + 20 << 1 << qint64(9);
    QTest::newRow("text field 2 background") << text2 + 2068 << 4 << qint64(qint32(kButtonFace));
    QTest::newRow("text field 2 alignment") << text2 + 2072 << 1 << qint64(1);
    QTest::newRow("text field 2 font name length") << text2 + 2073 << 1 << qint64(13);
    QTest::newRow("text field 1 font size") << qsizetype(130684 + 2274) << 1 << qint64(14);
    QTest::newRow("text field 1 font colour") << qsizetype(130684 + 2276) << 4 << qint64(0xFF);
    QTest::newRow("text field 1 pitch") << qsizetype(130684 + 2280) << 1 << qint64(2);
    QTest::newRow("text field 1 style") << qsizetype(130684 + 2281) << 1 << qint64(5);
    QTest::newRow("text field 2 style") << text2 + 2281 << 1 << qint64(10);
    QTest::newRow("text field 1 sequence position") << qsizetype(130684 + 2284) << 4 << qint64(4);
    QTest::newRow("video count") << qsizetype(359484) << 4 << qint64(2);
    QTest::newRow("video 1 parent") << video1 << 4 << qint64(1);
    QTest::newRow("video 1 top") << video1 + 8 << 4 << qint64(100);
    QTest::newRow("video 1 file name length") << video1 + 20 << 1 << qint64(39);
    QTest::newRow("video 1 minimal text length") << video1 + 271 << 1 << qint64(7);
    QTest::newRow("video 1 sequence position") << video1 + 1296 << 4 << qint64(3);
    QTest::newRow("picture count") << qsizetype(489488) << 4 << qint64(2);
    QTest::newRow("picture 2 parent") << picture2 << 4 << qint64(3);
    QTest::newRow("picture 2 left") << picture2 + 4 << 4 << qint64(100);
    QTest::newRow("picture 2 reserved") << picture2 + 20 << 4 << qint64(0);
    QTest::newRow("picture 2 minimal text length") << picture2 + 24 << 1 << qint64(9);
    QTest::newRow("picture 2 sequence position") << picture2 + 1048 << 4 << qint64(6);
    QTest::newRow("picture 1 sequence position") << qsizetype(489492 + 1048) << 4 << qint64(2);
    QTest::newRow("arrow count") << qsizetype(595092) << 4 << qint64(3);
    QTest::newRow("arrow 2 start x") << arrow2 << 4 << qint64(400);
    QTest::newRow("arrow 2 end x") << arrow2 + 4 << 4 << qint64(380);
    QTest::newRow("arrow 2 start y") << arrow2 + 8 << 4 << qint64(500);
    QTest::newRow("arrow 2 end y") << arrow2 + 12 << 4 << qint64(420);
    QTest::newRow("arrow 2 width") << arrow2 + 16 << 4 << qint64(7);
    QTest::newRow("arrow 2 colour") << arrow2 + 20 << 4 << qint64(0xFF);
}

void TestOutlineFile::fieldsSitAtTheirOffsets()
{
    QFETCH(qsizetype, offset);
    QFETCH(int, size);
    QFETCH(qint64, value);
    static const QByteArray bytes = serializeOutline(richDocument(), false);
    if (size == 1)
        QCOMPARE(qint64(quint8(bytes.at(offset))), value);
    else
        QCOMPARE(qint64(intAt(bytes, offset)), value);
}

void TestOutlineFile::fixedStringsAreCutToCapacity()
{
    Document doc;
    doc.state.outlineName = QString(300, QLatin1Char('N'));
    doc.outline.createFrame(QRect(0, 34, 100, 100), QString(251, QChar(0x0424)));  // Ф
    const int t = doc.outline.createTextField(QRect(5, 5, 50, 50), kButtonFace, QString(), 1);
    doc.outline.textField(t).font.name = QString(230, QLatin1Char('f'));
    doc.outline.textField(t).font.size = 300;  // a byte holds no more than 255
    const QByteArray bytes = serializeOutline(doc, false);
    QCOMPARE(int(quint8(bytes.at(11))), 250);
    QCOMPARE(int(quint8(bytes.at(280 + 23))), 250);
    QCOMPARE(bytes.at(280 + 24), char(0xD4));  // Ф in Windows-1251
    QCOMPARE(int(quint8(bytes.at(130684 + 2073))), 200);
    QCOMPARE(int(quint8(bytes.at(130684 + 2274))), 255);

    const LoadResult loaded = readOutline(bytes, QStringLiteral("cut.vmd"), defaultWindowChrome());
    QVERIFY2(loaded.ok, qPrintable(loaded.message));
    QCOMPARE(loaded.outlineName, QString(250, QLatin1Char('N')));
    QCOMPARE(loaded.outline.frame(1).title, QString(250, QChar(0x0424)));
    QCOMPARE(loaded.outline.textField(1).font.name, QString(200, QLatin1Char('f')));
}

void TestOutlineFile::pictureTailIsCumulative()
{
    // Streams of 1,000 and 1,500 bytes: S(1) = 1,000, S(2) = 2,500, a tail of 3,500 bytes.
    Document doc;
    doc.outline.createFrame(QRect(0, 34, 300, 300), QStringLiteral("Ф"));
    const QByteArray first(1000, 'a'), second(1500, 'b');
    for (const QByteArray* stream : {&first, &second}) {
        const int slot = doc.outline.createPicture(QRect(5, 5, 50, 50), 1);
        doc.outline.picture(slot).setJpegStream(*stream);
    }
    const QByteArray bytes = serializeOutline(doc, true);
    QCOMPARE(bytes.size(), qsizetype(600996));
    QCOMPARE(intAt(bytes, 489492 + 1052), 1000);
    QCOMPARE(intAt(bytes, 489492 + 1056 + 1052), 2500);
    QCOMPARE(bytes.mid(597496), first + first + second);

    // The header-only form holds no tail and no lengths.
    const QByteArray header = serializeOutline(doc, false);
    QCOMPARE(header.size(), qsizetype(597496));
    QCOMPARE(intAt(header, 489492 + 1052), 0);
    QCOMPARE(intAt(header, 489492 + 1056 + 1052), 0);
    QCOMPARE(header, bytes.left(597496)
                         .replace(489492 + 1052, 4, QByteArray(4, '\0'))
                         .replace(489492 + 1056 + 1052, 4, QByteArray(4, '\0')));
}

void TestOutlineFile::slotsAboveTheCountsAreIgnored()
{
    const Document doc = richDocument();
    const QByteArray clean = serializeOutline(doc, true);
    QByteArray dirty = clean;
    // Fill every slot above each count with bytes that would be damage if they were read.
    const struct {
        qsizetype array, size;
        int count;
    } tables[] = {{280, 1304, 4}, {130684, 2288, 2}, {359488, 1300, 2}, {489492, 1056, 2}, {595096, 24, 3}};
    for (const auto& table : tables)
        for (qsizetype at = table.array + table.count * table.size; at < table.array + 100 * table.size; ++at)
            dirty[at] = char(0xFF);
    // And the bytes after the characters of a ShortString.
    dirty[11 + 1 + 30] = 'x';
    dirty[280 + 23 + 1 + 20] = 'y';

    const LoadResult a = readOutline(clean, QStringLiteral("a.vmd"), defaultWindowChrome());
    const LoadResult b = readOutline(dirty, QStringLiteral("b.vmd"), defaultWindowChrome());
    QVERIFY2(a.ok && b.ok, qPrintable(a.message + b.message));
    QVERIFY(b.message.isEmpty());
    compareOutlines(b.outline, a.outline);
    QCOMPARE(b.outlineName, a.outlineName);
}

void TestOutlineFile::otherVersionsAreRefused_data()
{
    QTest::addColumn<QByteArray>("versionField");
    QTest::addColumn<QString>("shown");
    QTest::newRow("4.0") << QByteArray("\x03"
                                       "4.0")
                         << QStringLiteral("4.0");
    QTest::newRow("4.10") << QByteArray("\x04"
                                        "4.10")
                          << QStringLiteral("4.10");
    QTest::newRow("empty") << QByteArray("\x00", 1) << QString();
    QTest::newRow("length past the field") << QByteArray("\xC8"
                                                         "4.1abcdefghij")
                                           << QStringLiteral("4.1abcdefg");
    QTest::newRow("Cyrillic") << QByteArray("\x02\xE2\xE5") << QStringLiteral("ве");
}

void TestOutlineFile::otherVersionsAreRefused()
{
    QFETCH(QByteArray, versionField);
    QFETCH(QString, shown);
    QByteArray bytes = serializeOutline(richDocument(), true);
    bytes.replace(0, versionField.size(), versionField);
    const LoadResult loaded = readOutline(bytes, QStringLiteral("old.vmd"), defaultWindowChrome());
    QVERIFY(!loaded.ok);
    QCOMPARE(loaded.message,
             QStringLiteral("Не поддерживаемая версия файла\n\rВерсия программы \"4.1\"\n\rВерсия файла \"") + shown
                 + QStringLiteral("\""));
    QCOMPARE(loaded.outline.count(ObjectKind::Frame), 0);
}

// Each row damages one field of a valid file; the file must be refused with a message that names
// it and says what is wrong, and nothing may be built from it.
void TestOutlineFile::damagedRecordsAreRefused_data()
{
    QTest::addColumn<qsizetype>("offset");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("truncateTo");  // -1 = keep the length
    QTest::addColumn<QString>("mentions");
    const auto int32 = [](qint32 v) {
        QByteArray b(4, '\0');
        qToLittleEndian<qint32>(v, b.data());
        return b;
    };
    const QByteArray none;
    QTest::newRow("frame count 101") << qsizetype(276) << int32(101) << qsizetype(-1) << "фреймы";
    QTest::newRow("frame count negative") << qsizetype(276) << int32(-1) << qsizetype(-1) << "фреймы";
    QTest::newRow("text field count 5000") << qsizetype(130680) << int32(5000) << qsizetype(-1) << "текстовые поля";
    QTest::newRow("video count 101") << qsizetype(359484) << int32(101) << qsizetype(-1) << "видео";
    QTest::newRow("picture count huge") << qsizetype(489488) << int32(0x7FFFFFFF) << qsizetype(-1) << "рисунки";
    QTest::newRow("arrow count 101") << qsizetype(595092) << int32(101) << qsizetype(-1) << "стрелки";
    QTest::newRow("outline name longer than 250")
        << qsizetype(11) << QByteArray("\xFB") << qsizetype(-1) << "название конспекта";
    QTest::newRow("frame title longer than 250")
        << qsizetype(280 + 1304 + 23) << QByteArray("\xFF") << qsizetype(-1) << "фрейм 2: название";
    QTest::newRow("font name longer than 200")
        << qsizetype(130684 + 2073) << QByteArray("\xC9") << qsizetype(-1) << "шрифт";
    QTest::newRow("video file name longer than 250")
        << qsizetype(359488 + 20) << QByteArray("\xFB") << qsizetype(-1) << "имя файла";
    QTest::newRow("parent frame beyond the frames") << qsizetype(130684) << int32(5) << qsizetype(-1) << "номер фрейма";
    QTest::newRow("negative parent frame")
        << qsizetype(489492) << int32(-1) << qsizetype(-1) << "рисунок 1: номер фрейма";
    QTest::newRow("inner bevel 4") << qsizetype(280 + 20) << QByteArray("\x04") << qsizetype(-1) << "внутренний скос";
    QTest::newRow("alignment 3") << qsizetype(130684 + 2072) << QByteArray("\x03") << qsizetype(-1) << "выравнивание";
    QTest::newRow("sequence position 101")
        << qsizetype(280 + 1300) << int32(101) << qsizetype(-1) << "последовательности";
    QTest::newRow("negative width") << qsizetype(359488 + 12) << int32(-20) << qsizetype(-1) << "ширина";
    QTest::newRow("frame beyond any screen") << qsizetype(280) << int32(2000000000) << qsizetype(-1) << "левый край";
    QTest::newRow("arrow width 0") << qsizetype(595096 + 16) << int32(0) << qsizetype(-1) << "толщина";
    QTest::newRow("arrow end far away") << qsizetype(595096 + 4) << int32(-1000000) << qsizetype(-1) << "x конца";
    QTest::newRow("header one byte short") << qsizetype(0) << none << qsizetype(597495) << "короче заголовка";
    QTest::newRow("only the version") << qsizetype(0) << none << qsizetype(4) << "короче заголовка";
    QTest::newRow("empty file") << qsizetype(0) << none << qsizetype(0) << "пуст";
}

void TestOutlineFile::damagedRecordsAreRefused()
{
    QFETCH(qsizetype, offset);
    QFETCH(QByteArray, bytes);
    QFETCH(qsizetype, truncateTo);
    QFETCH(QString, mentions);
    QByteArray file = serializeOutline(richDocument(), true);
    file.replace(offset, bytes.size(), bytes);
    if (truncateTo >= 0)
        file.truncate(truncateTo);

    const LoadResult loaded = readOutline(file, QStringLiteral("/home/u/конспект.vmd"), defaultWindowChrome());
    QVERIFY(!loaded.ok);
    QVERIFY2(loaded.message.contains(QStringLiteral("«/home/u/конспект.vmd»")), qPrintable(loaded.message));
    QVERIFY2(loaded.message.contains(mentions), qPrintable(loaded.message));
    for (int k = 0; k < kKindCount; ++k)
        QCOMPARE(loaded.outline.count(ObjectKind(k)), 0);

    // The same bytes from a file on disk.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("damaged.vmd"));
    QVERIFY(writeFile(path, file));
    const LoadResult fromDisk = readOutlineFile(path, defaultWindowChrome());
    QVERIFY(!fromDisk.ok);
    QVERIFY2(fromDisk.message.contains(path) && fromDisk.message.contains(mentions), qPrintable(fromDisk.message));
}

QTEST_GUILESS_MAIN(TestOutlineFile)
#include "test_outline_file.moc"
