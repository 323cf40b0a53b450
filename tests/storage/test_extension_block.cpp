// Texts beyond Windows-1251 and appearance properties in the block after the picture chunks:
// what a reader of the plain layout sees, round trips, history steps and crash recovery, and
// damaged blocks.
#include "model/arrow_attachment.h"
#include "outline_fixtures.h"
#include "storage/extension_block.h"
#include "storage/history.h"
#include "storage/old_outline_file.h"
#include "storage/outline_io.h"
#include "storage/snapshot_files.h"

#include <QTemporaryDir>
#include <QTest>

using namespace velmar;
using namespace fixtures;

namespace {

const QSize kChrome = defaultWindowChrome();
const QString kPendulum = QStringLiteral("T = 2π·√(l/g)");
const QString kGravity = QStringLiteral("g = 9,8 м/с² ≈ 10");

// An outline using every text the block can carry, each holding characters beyond the code
// page, and every property away from a new object's value.
Document unicodeDocument()
{
    Document doc = richDocument();
    Outline& o = doc.outline;
    doc.state.outlineName = QStringLiteral("Маятник: ω² = g/l 🙂");
    o.frame(1).title = QStringLiteral("Период ≠ частота");
    o.frame(1).minimalText = kPendulum;
    o.frame(3).titleColour = 0x000000FF;
    o.textField(1).text = kPendulum + QStringLiteral("\r\n") + kGravity;
    o.textField(1).minimalText = QStringLiteral("α → β");
    o.textField(1).font.name = QStringLiteral("Δejavu");
    o.textField(2).readOnly = true;
    o.video(1).fileName = QStringLiteral("/видео/λ.avi");
    o.video(1).minimalText = QStringLiteral("x³");
    o.video(2).playerVisible = false;
    o.picture(1).minimalText = QStringLiteral("∑ сил");
    o.picture(2).border = 1;
    o.picture(2).stretched = false;
    return doc;
}

LoadResult load(const QByteArray& bytes) { return readOutline(bytes, QStringLiteral("урок.vmd"), kChrome); }

// The plain layout, read the way a program that knows only the record and the chunks reads it:
// fixed offsets, Pascal strings, the cumulative chunk lengths of the pictures.
struct PlainReader {
    const QByteArray& bytes;
    QByteArray shortString(qsizetype at) const { return bytes.mid(at + 1, quint8(bytes[at])); }
    QByteArray longText(qsizetype at) const
    {
        QByteArray text;
        for (int i = 0; i < 4; ++i)
            text += shortString(at + i * 256);
        return text;
    }
    qsizetype endOfChunks() const
    {
        qsizetype end = 597496;
        for (int k = 0; k < intAt(bytes, 489488); ++k)
            end += intAt(bytes, 489492 + k * 1056 + 1052);
        return end;
    }
};

// A block around the given payload: the right magic, a length and a CRC that fit unless changed.
QByteArray blockAround(const QByteArray& payload, quint32 version = extension::kVersion)
{
    QByteArray block(extension::kMagic, sizeof extension::kMagic);
    char word[4];
    for (quint32 value : {version, quint32(payload.size()), crc32Of(payload)}) {
        qToLittleEndian<quint32>(value, word);
        block.append(word, 4);
    }
    return block + payload;
}

QByteArray entry(quint8 kind, quint8 slot, const QList<QPair<int, QByteArray>>& fields)
{
    QByteArray body;
    for (const auto& [tag, value] : fields) {
        char word[2];
        qToLittleEndian<quint16>(quint16(tag), word);
        body.append(word, 2);
        qToLittleEndian<quint16>(quint16(value.size()), word);
        body.append(word, 2);
        body += value;
    }
    QByteArray head(2, '\0');
    head[0] = char(kind);
    head[1] = char(slot);
    char size[4];
    qToLittleEndian<quint32>(quint32(body.size()), size);
    return head + QByteArray(size, 4) + body;
}

QByteArray u32(quint32 value)
{
    char word[4];
    qToLittleEndian<quint32>(value, word);
    return QByteArray(word, 4);
}

}  // namespace

class TestExtensionBlock : public QObject {
    Q_OBJECT
private slots:
    void plainReaderSeesTheOutlineWithSubstitutes();
    void everyTextAndPropertySurvivesSaveAndReopen();
    void textsAreKeptUpToTheFieldCapacity();
    void outlinesTheRecordHoldsGetNoBlock();
    void headerStepsAndCrashRecoveryKeepTextsAndProperties();
    void attachedArrowsTravelWithFileAndHistory();
    void damagedBlocksLoadTheOutlineWithANote_data();
    void damagedBlocksLoadTheOutlineWithANote();
};

void TestExtensionBlock::plainReaderSeesTheOutlineWithSubstitutes()
{
    const Document doc = unicodeDocument();
    const QByteArray bytes = serializeOutline(doc, true);
    const PlainReader plain{bytes};

    QCOMPARE(plain.shortString(0), QByteArray("4.1"));
    // Every character the code page lacks is one '?'; the pair of the emoji gives two.
    QCOMPARE(plain.shortString(11), QByteArray("\xcc\xe0\xff\xf2\xed\xe8\xea: ?? = g/l ??"));
    QCOMPARE(intAt(bytes, 276), 4);
    QCOMPARE(plain.shortString(280 + 23), QByteArray("\xcf\xe5\xf0\xe8\xee\xe4 ? \xf7\xe0\xf1\xf2\xee\xf2\xe0"));
    QCOMPARE(plain.longText(280 + 275), QByteArray("T = 2?\xb7?(l/g)"));
    QCOMPARE(plain.longText(130684 + 20), QByteArray("T = 2?\xb7?(l/g)\r\ng = 9,8 \xec/\xf1? ? 10"));
    QCOMPARE(plain.shortString(130684 + 2073), QByteArray("?ejavu"));

    // The chunks end where the block begins; the last picture's stream ends there.
    const qsizetype end = plain.endOfChunks();
    QVERIFY(end < bytes.size());
    QCOMPARE(bytes.mid(end - 2, 2), QByteArray("\xff\xd9"));
    QCOMPARE(bytes.mid(end, 8), QByteArray(extension::kMagic, 8));

    // Without the block the file is the plain layout: it loads with the substitutes, no note.
    const LoadResult plainLoaded = load(bytes.left(end));
    QVERIFY2(plainLoaded.ok && plainLoaded.notices.isEmpty(), qPrintable(plainLoaded.message));
    QCOMPARE(plainLoaded.outline.frame(1).minimalText, QStringLiteral("T = 2?·?(l/g)"));
    QCOMPARE(plainLoaded.outline.frame(3).titleColour, kWindowText);
    QCOMPARE(plainLoaded.outline.count(ObjectKind::Picture), 2);
    QVERIFY(!plainLoaded.outline.picture(2).bitmap().isNull());
}

void TestExtensionBlock::everyTextAndPropertySurvivesSaveAndReopen()
{
    const Document doc = unicodeDocument();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("урок.vmd"));
    QVERIFY(writeOutlineFile(path, doc).ok);
    LoadResult loaded = readAnyOutlineFile(path);
    applyWindowChrome(loaded, kChrome);
    QVERIFY2(loaded.ok && loaded.message.isEmpty() && loaded.notices.isEmpty(), qPrintable(loaded.notices.join('\n')));
    QCOMPARE(loaded.outlineName, doc.state.outlineName);
    compareOutlines(loaded.outline, doc.outline);
    const Outline& o = loaded.outline;
    QCOMPARE(o.frame(1).title, doc.outline.frame(1).title);
    QCOMPARE(o.frame(1).hint, shortenedTooltip(kPendulum));
    QCOMPARE(o.frame(3).titleColour, ColourValue(0x000000FF));
    QCOMPARE(o.textField(1).text, doc.outline.textField(1).text);
    QCOMPARE(o.textField(1).minimalText, QStringLiteral("α → β"));
    QCOMPARE(o.textField(1).hint, QStringLiteral("α → β"));
    QCOMPARE(o.textField(1).font.name, QStringLiteral("Δejavu"));
    QVERIFY(o.textField(2).readOnly && !o.textField(1).readOnly);
    QCOMPARE(o.video(1).fileName, QStringLiteral("/видео/λ.avi"));
    QCOMPARE(o.video(1).minimalText, QStringLiteral("x³"));
    QVERIFY(!o.video(2).playerVisible && o.video(1).playerVisible);
    QCOMPARE(o.picture(1).minimalText, QStringLiteral("∑ сил"));
    QVERIFY(o.picture(2).border == 1 && !o.picture(2).stretched);
    QVERIFY(o.picture(1).border == 0 && o.picture(1).stretched);

    // Saving what was opened writes the same bytes again, block included.
    Document again;
    again.outline = loaded.outline;
    again.state.outlineName = loaded.outlineName;
    again.state.canvasColour = loaded.canvasColour;
    again.state.windowSize = loaded.windowSize;
    QCOMPARE(serializeOutline(again, true), readFile(path));
}

void TestExtensionBlock::textsAreKeptUpToTheFieldCapacity()
{
    Document doc;
    doc.outline.setClientSize(QSize(700, 500));
    doc.outline.createFrame(QRect(2, 34, 100, 100), QString(300, QChar(0x03C0)));
    const int text = doc.outline.createTextField(QRect(5, 30, 60, 30), kButtonFace, QString(1020, QChar(0x221A)), 1);
    // An emoji cut in half at the capacity: the record holds '?' for the half, so does the block.
    doc.outline.textField(text).minimalText = QString(1019, QLatin1Char('a')) + QStringLiteral("🙂");
    const LoadResult loaded = load(serializeOutline(doc, true));
    QVERIFY(loaded.ok && loaded.notices.isEmpty());
    QCOMPARE(loaded.outline.frame(1).title, QString(250, QChar(0x03C0)));
    QCOMPARE(loaded.outline.textField(1).text, QString(1020, QChar(0x221A)));
    QCOMPARE(loaded.outline.textField(1).minimalText,
             QString(1019, QLatin1Char('a')) + QChar(QChar::ReplacementCharacter));
}

void TestExtensionBlock::outlinesTheRecordHoldsGetNoBlock()
{
    // Cyrillic, typographic quotes, № and dashes all have bytes in the code page.
    Document doc = richDocument();
    doc.outline.frame(1).title = QStringLiteral("«Урок» № 1 — ёЁ…");
    const QByteArray bytes = serializeOutline(doc, true);
    QCOMPARE(qsizetype(PlainReader{bytes}.endOfChunks()), bytes.size());
    QVERIFY(serializeOutline(doc, false).size() == layout::kHeaderSize);
    // Any one property away from its default brings the block, in full files and header-only ones.
    doc.outline.picture(1).stretched = false;
    QVERIFY(serializeOutline(doc, false).size() > layout::kHeaderSize);
    QVERIFY(serializeOutline(doc, true).size() > bytes.size());
}

void TestExtensionBlock::headerStepsAndCrashRecoveryKeepTextsAndProperties()
{
    QTemporaryDir home;
    Document doc;
    doc.history.programFolder = home.path();
    doc.outline.setClientSize(QSize(728, 487));
    doc.outline.createFrame(QRect(2, 34, 150, 200), QStringLiteral("Фрейм"));
    doc.outline.createTextField(QRect(5, 30, 100, 40), kButtonFace, QStringLiteral("текст"), 1);
    QVERIFY(startHistory(doc).ok);

    // Header-only steps: typing, then a title colour, then a move.
    doc.outline.textField(1).text = kPendulum;
    QVERIFY(recordStep(doc, StepKind::HeaderOnly).ok);
    doc.outline.frame(1).titleColour = 0x000000FF;
    doc.outline.frame(1).title = QStringLiteral("Φ");
    QVERIFY(recordStep(doc, StepKind::HeaderOnly).ok);
    doc.outline.frame(1).bounds.moveTo(40, 40);
    QVERIFY(recordStep(doc, StepKind::HeaderOnly).ok);

    QVERIFY(undo(doc).ok);
    QCOMPARE(doc.outline.textField(1).text, kPendulum);
    QCOMPARE(doc.outline.frame(1).title, QStringLiteral("Φ"));
    QVERIFY(undo(doc).ok);
    QCOMPARE(doc.outline.textField(1).text, kPendulum);
    QCOMPARE(doc.outline.frame(1).titleColour, kWindowText);
    QVERIFY(redo(doc).ok);
    QVERIFY(redo(doc).ok);
    QCOMPARE(doc.outline.frame(1).titleColour, ColourValue(0x000000FF));
    QCOMPARE(doc.outline.frame(1).bounds.topLeft(), QPoint(40, 40));

    // After a crash, the complete step 0 and the header-only steps after it give back all of it,
    // with nothing from the memory of the program that crashed.
    const QString folder = snapshotFolder(doc);
    LoadResult recovered = readOutlineFile(snapshotPathIn(folder, 0, true), kChrome);
    QVERIFY(recovered.ok);
    QCOMPARE(applyLaterSteps(recovered, folder, 0), 3);
    QCOMPARE(recovered.outline.textField(1).text, kPendulum);
    QCOMPARE(recovered.outline.frame(1).title, QStringLiteral("Φ"));
    QCOMPARE(recovered.outline.frame(1).titleColour, ColourValue(0x000000FF));
    releaseHistoryFolder(home.path());
}

void TestExtensionBlock::attachedArrowsTravelWithFileAndHistory()
{
    QTemporaryDir home;
    Document doc = richDocument();
    doc.history.programFolder = home.path();
    Outline& o = doc.outline;
    // Arrow 1 from frame 1 to the second text field (on the canvas); arrow 2 ends on a picture of
    // frame 3, arrow 3 stays free.
    QVERIFY(dropArrowEnd(o, 1, true, QPoint(180, 270)));
    QVERIFY(dropArrowEnd(o, 1, false, QPoint(350, 420)));
    QVERIFY(dropArrowEnd(o, 2, false, QPoint(560, 100)));
    QCOMPARE(int(o.arrow(2).endAttachment.kind), int(ObjectKind::Picture));
    const QString path = home.filePath(QStringLiteral("стрелки.vmd"));
    QVERIFY(writeOutlineFile(path, doc).ok);

    // The record keeps the arrows where they are; the block says what holds them.
    QByteArray bytes = readFile(path);
    QCOMPARE(intAt(bytes, layout::kArrows + 4), 350);
    LoadResult loaded = load(bytes);
    QVERIFY2(loaded.ok && loaded.notices.isEmpty(), qPrintable(loaded.notices.join('\n')));
    for (int k = 1; k <= 3; ++k) {
        QCOMPARE(loaded.outline.arrow(k).startAttachment, o.arrow(k).startAttachment);
        QCOMPARE(loaded.outline.arrow(k).endAttachment, o.arrow(k).endAttachment);
    }
    // A tool that moved an arrow's end in the record but kept the block: that end is free and the
    // arrow is where the record has it; the other attachments hold.
    setIntAt(bytes, layout::kArrows + 4, 351);
    loaded = load(bytes);
    QVERIFY(loaded.ok);
    QCOMPARE(loaded.notices.size(), 1);
    QVERIFY2(loaded.notices[0].contains(QStringLiteral("стрелка 1")), qPrintable(loaded.notices[0]));
    QVERIFY(!loaded.outline.arrow(1).endAttachment.attached());
    QVERIFY(loaded.outline.arrow(1).startAttachment.attached());
    QCOMPARE(loaded.outline.arrow(1).x2, 351);

    // Undo of a move puts the arrow back with the frame; redo moves both again.
    QVERIFY(startHistory(doc).ok);
    o.frame(1).bounds.translate(30, 40);
    followAttachments(o);
    QCOMPARE(QPoint(o.arrow(1).x1, o.arrow(1).y1), QPoint(210, 310));
    QVERIFY(recordStep(doc, StepKind::HeaderOnly).ok);
    QVERIFY(undo(doc).ok);
    QCOMPARE(QPoint(o.arrow(1).x1, o.arrow(1).y1), QPoint(180, 270));
    QVERIFY(o.arrow(1).startAttachment.attached());
    QVERIFY(redo(doc).ok);
    QCOMPARE(QPoint(o.arrow(1).x1, o.arrow(1).y1), QPoint(210, 310));
    QCOMPARE(o.arrow(2).endAttachment.slot, 2);
    releaseHistoryFolder(home.path());
}

void TestExtensionBlock::damagedBlocksLoadTheOutlineWithANote_data()
{
    QTest::addColumn<QByteArray>("tail");  // what follows the chunks
    QTest::addColumn<QString>("noted");    // a phrase of the note; empty: no note
    QTest::addColumn<QString>("title");    // frame 1's title after loading

    const QByteArray good = entry(0, 1, {{23, QStringLiteral("Ψ").toUtf8()}});
    const QByteArray whole = blockAround(good);
    QTest::newRow("sound") << whole << QString() << QStringLiteral("Ψ");
    QTest::newRow("trailing bytes without the magic")
        << QByteArray("garbage after the pictures") << QString() << QStringLiteral("?");
    QTest::newRow("cut in the magic") << whole.left(5) << QString() << QStringLiteral("?");
    QTest::newRow("cut in the preamble") << whole.left(14) << QStringLiteral("обрывается на заголовке")
                                         << QStringLiteral("?");
    QTest::newRow("cut in the entries") << whole.left(whole.size() - 1) << QStringLiteral("обрывается")
                                        << QStringLiteral("?");
    QByteArray badCrc = whole;
    badCrc[badCrc.size() - 1] = char(badCrc.back() ^ 1);
    QTest::newRow("wrong CRC") << badCrc << QStringLiteral("контрольная сумма") << QStringLiteral("?");
    QTest::newRow("wrong version") << blockAround(good, 2) << QStringLiteral("версии 2") << QStringLiteral("?");
    QByteArray huge = whole;
    qToLittleEndian<quint32>(0xFFFFFFF0u, huge.data() + 12);
    QTest::newRow("huge length") << huge << QStringLiteral("больше допустимых") << QStringLiteral("?");

    // Entries: a bad one is dropped alone, the sound one beside it still taken.
    const auto beside = [&](const QByteArray& bad) { return blockAround(bad + good); };
    QTest::newRow("empty slot") << beside(entry(0, 9, {{23, "x"}})) << QStringLiteral("фрейм 9") << QStringLiteral("Ψ");
    QTest::newRow("unknown kind") << beside(entry(6, 1, {{0x1001, u32(1)}})) << QStringLiteral("вида 6")
                                  << QStringLiteral("Ψ");
    QTest::newRow("field of another kind")
        << beside(entry(5, 1, {{0x1001, u32(1)}})) << QStringLiteral("неизвестное поле 4097") << QStringLiteral("Ψ");
    // An arrow end attached to no object there is, or standing away from its place on the object.
    QTest::newRow("attached beyond the slots")
        << beside(entry(5, 1, {{0x1006, u32(4 * 256 + 101)}})) << QStringLiteral("вне 0…1124") << QStringLiteral("Ψ");
    QTest::newRow("attached to a missing film") << beside(entry(5, 2, {{0x1008, u32(3 * 256 + 9)}}))
                                                << QStringLiteral("стрелка 2 (привязка") << QStringLiteral("Ψ");
    QTest::newRow("attached away from its end") << beside(entry(5, 3, {{0x1008, u32(1)}, {0x1009, u32(0x80008000)}}))
                                                << QStringLiteral("стрелка 3 (привязка") << QStringLiteral("Ψ");
    QTest::newRow("unknown field") << beside(entry(4, 1, {{999, "x"}})) << QStringLiteral("неизвестное поле 999")
                                   << QStringLiteral("Ψ");
    QTest::newRow("invalid UTF-8") << beside(entry(4, 1, {{20, "\xff\xfe"}})) << QStringLiteral("не в UTF-8")
                                   << QStringLiteral("Ψ");
    QTest::newRow("text not the record's")
        << beside(entry(4, 1, {{20, "другой"}})) << QStringLiteral("не совпадает") << QStringLiteral("Ψ");
    QTest::newRow("text beyond capacity") << beside(entry(0, 2, {{23, QString(251, QChar(0x03C0)).toUtf8()}}))
                                          << QStringLiteral("длиннее 250") << QStringLiteral("Ψ");
    QTest::newRow("property out of range")
        << beside(entry(1, 1, {{0x1002, u32(7)}})) << QStringLiteral("вне 0…1") << QStringLiteral("Ψ");
    QTest::newRow("property of 2 bytes") << beside(entry(1, 1, {{0x1002, "\1\0"}})) << QStringLiteral("вместо 4")
                                         << QStringLiteral("Ψ");
    QTest::newRow("repeated entry") << blockAround(good + entry(0, 1, {{23, QStringLiteral("Ω").toUtf8()}}))
                                    << QStringLiteral("повторная") << QStringLiteral("Ψ");
    QByteArray many;
    for (int k = 1; k <= 150; ++k)
        many += entry(3, quint8(k), {});
    QTest::newRow("150 entries of a kind") << beside(many) << QStringLiteral("больше 100") << QStringLiteral("Ψ");
    QByteArray overlong = entry(0, 2, {{23, "x"}});
    qToLittleEndian<quint32>(1000, overlong.data() + 2);
    QTest::newRow("entry beyond the block")
        << blockAround(good + overlong) << QStringLiteral("за конец блока") << QStringLiteral("Ψ");
}

void TestExtensionBlock::damagedBlocksLoadTheOutlineWithANote()
{
    QFETCH(QByteArray, tail);
    QFETCH(QString, noted);
    QFETCH(QString, title);
    Document doc = richDocument();
    doc.outline.frame(1).title = QStringLiteral("Ψ");
    doc.outline.frame(2).title = QString(250, QLatin1Char('?'));
    doc.outline.textField(1).text = QStringLiteral("?");
    const OutlineImage image = buildOutlineImage(doc, true);
    OutlineImage plain = image;
    plain.extension.clear();

    const LoadResult loaded = load(plain.toBytes() + tail);
    QVERIFY2(loaded.ok, qPrintable(loaded.message));
    QVERIFY(loaded.message.isEmpty());
    QCOMPARE(loaded.outline.count(ObjectKind::Frame), 4);
    QCOMPARE(loaded.outline.count(ObjectKind::Picture), 2);
    QCOMPARE(loaded.outline.frame(1).title, title);
    if (noted.isEmpty()) {
        QVERIFY2(loaded.notices.isEmpty(), qPrintable(loaded.notices.join('\n')));
    } else {
        QCOMPARE(loaded.notices.size(), 1);
        QVERIFY2(loaded.notices[0].contains(noted) && loaded.notices[0].contains(QStringLiteral("урок.vmd")),
                 qPrintable(loaded.notices[0]));
    }
    // The same block after a header-only record is read the same way.
    QString dropped;
    const HeaderReadResult header = readOutlineHeaderWithBlock(buildOutlineImage(doc, false).header + tail, &dropped);
    QVERIFY(header.ok());
    QCOMPARE(header.header.outline.frame(1).title, title);
    QCOMPARE(dropped.isEmpty(), noted.isEmpty());
}

QTEST_GUILESS_MAIN(TestExtensionBlock)
#include "test_extension_block.moc"
