// Saving and loading whole outlines: round trips, pictures, damaged picture tails, atomic writes.
#include "outline_fixtures.h"
#include "storage/outline_file.h"
#include "storage/outline_io.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace velmar;
using namespace fixtures;

class TestOutlineIo : public QObject {
    Q_OBJECT
private slots:
    void richOutlineSurvivesSaveAndLoad();
    void unchangedPicturesAreWrittenByteForByte();
    void picturesAreEncodedOncePerChange();
    void frameTooltips_data();
    void frameTooltips();
    void openThenSaveWritesTheSameBytes_data();
    void openThenSaveWritesTheSameBytes();
    void storedSequencePositionsAreHonoured_data();
    void storedSequencePositionsAreHonoured();
    void damagedPictureStreamsCostOnlyTheirPicture_data();
    void damagedPictureStreamsCostOnlyTheirPicture();
    void hugeStoredPictureSizesCostLittle();
    void savingIsAtomic();
    void fullDiskIsReportedInRussian();
    void unreadableFilesAreReported();
};

void TestOutlineIo::richOutlineSurvivesSaveAndLoad()
{
    Document doc = richDocument();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Механика.vmd"));
    const WriteResult written = writeOutlineFile(path, doc);
    QVERIFY2(written.ok, qPrintable(written.message));
    QCOMPARE(QFileInfo(path).size(), qint64(serializeOutline(doc, true).size()));

    const LoadResult loaded = readOutlineFile(path, defaultWindowChrome());
    QVERIFY2(loaded.ok, qPrintable(loaded.message));
    QVERIFY(loaded.message.isEmpty());
    QCOMPARE(loaded.outlineName, doc.state.outlineName);
    QCOMPARE(loaded.canvasColour, doc.state.canvasColour);
    QCOMPARE(loaded.windowSize, QSize(900, 700));
    QCOMPARE(loaded.outline.clientSize(), QSize(900 - 16, 700 - 59));
    compareOutlines(loaded.outline, doc.outline);
    for (int k = 1; k <= 2; ++k) {
        const PictureObject& p = loaded.outline.picture(k);
        QCOMPARE(p.jpegStream(), doc.outline.picture(k).jpegStream());
        QCOMPARE(p.bitmap(), decodeJpeg(doc.outline.picture(k).jpegStream()));
    }
    QCOMPARE(loaded.outline.frame(2).hint, QStringLiteral("Опыты"));
    QVERIFY(loaded.outline.sequenceRecording());

    // A frame created after loading joins the end of the frame sequence.
    Outline after = loaded.outline;
    const int slot = after.createFrame(QRect(0, 34, 50, 50), QStringLiteral("Фрейм5"));
    QCOMPARE(after.frameSequence().positionOf(after.frame(slot).id), 5);

    // Reading the same bytes from memory gives the same outline.
    const LoadResult fromBytes = readOutline(readFile(path), path, defaultWindowChrome());
    QVERIFY(fromBytes.ok);
    compareOutlines(fromBytes.outline, loaded.outline);
}

void TestOutlineIo::unchangedPicturesAreWrittenByteForByte()
{
    const Document doc = richDocument();
    const QByteArray first = serializeOutline(doc, true);
    const LoadResult loaded = readOutline(first, QStringLiteral("a.vmd"), defaultWindowChrome());
    QVERIFY(loaded.ok);
    Document again;
    again.outline = loaded.outline;
    again.state.outlineName = loaded.outlineName;
    again.state.canvasColour = loaded.canvasColour;
    again.state.windowSize = loaded.windowSize;
    QCOMPARE(serializeOutline(again, true), first);
}

void TestOutlineIo::picturesAreEncodedOncePerChange()
{
    Document doc = richDocument();
    PictureObject& picture = doc.outline.picture(1);
    QVERIFY(picture.jpegStream().isEmpty());
    serializeOutline(doc, false);
    QVERIFY2(picture.jpegStream().isEmpty(), "a header-only snapshot must not encode pictures");
    serializeOutline(doc, true);
    const QByteArray cached = picture.jpegStream();
    QVERIFY(!cached.isEmpty());
    QVERIFY(!decodeJpeg(cached).isNull());
    serializeOutline(doc, true);
    QVERIFY(picture.jpegStream().constData() == cached.constData());  // the same buffer, not re-encoded

    picture.setBitmap(photoLikeImage(20, 20, 9));
    QVERIFY(picture.jpegStream().isEmpty());
    serializeOutline(doc, true);
    QCOMPARE(decodeJpeg(picture.jpegStream()).size(), QSize(20, 20));
}

void TestOutlineIo::frameTooltips_data()
{
    QTest::addColumn<QString>("minimalText");
    QTest::addColumn<QString>("tooltip");
    const QString a255(255, QLatin1Char('a'));
    QString blankAt200(256, QLatin1Char('b'));
    blankAt200[199] = QLatin1Char(' ');
    QString blankAt254(300, QLatin1Char('c'));
    blankAt254[253] = QLatin1Char(' ');
    QString blanksAt10And253(300, QLatin1Char('d'));
    blanksAt10And253[9] = QLatin1Char(' ');
    blanksAt10And253[252] = QLatin1Char(' ');
    QTest::newRow("short") << QStringLiteral("Опыты") << QStringLiteral("Опыты");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("exactly 255") << a255 << a255;
    QTest::newRow("256, blank at 200") << blankAt200 << blankAt200.left(200) + QStringLiteral("...");
    QTest::newRow("no blank in the first 253") << QString(400, QLatin1Char('e')) << QString();
    QTest::newRow("blank only at 254") << blankAt254 << QString();
    QTest::newRow("the last blank up to 253 counts")
        << blanksAt10And253 << blanksAt10And253.left(253) + QStringLiteral("...");
}

void TestOutlineIo::frameTooltips()
{
    QFETCH(QString, minimalText);
    QFETCH(QString, tooltip);
    // Loading gives frames the shortened tooltip; other objects show their whole minimal text.
    Document doc;
    doc.outline.createFrame(QRect(0, 34, 200, 200), QStringLiteral("Ф"));
    doc.outline.frame(1).minimalText = minimalText;
    doc.outline.createPicture(QRect(5, 5, 40, 40), 1);
    doc.outline.picture(1).minimalText = minimalText;
    const LoadResult loaded = readOutline(serializeOutline(doc, true), QStringLiteral("t.vmd"), defaultWindowChrome());
    QVERIFY(loaded.ok);
    QCOMPARE(loaded.outline.frame(1).hint, tooltip);
    QCOMPARE(loaded.outline.picture(1).hint, minimalText);
}

// Outlines that the creation rule would have fitted differently, and values at the edges of what
// the file holds. Loading places every object at its stored bounds, so saving what was opened
// writes the very same bytes.
void TestOutlineIo::openThenSaveWritesTheSameBytes_data()
{
    QTest::addColumn<int>("shape");
    QTest::newRow("rich outline") << 0;
    QTest::newRow("one-line text fields") << 1;
    QTest::newRow("pictures partly out of their frames") << 2;
    QTest::newRow("extremes of the format") << 3;
}

void TestOutlineIo::openThenSaveWritesTheSameBytes()
{
    QFETCH(int, shape);
    Document doc = shape == 0 ? richDocument() : Document();
    Outline& o = doc.outline;
    doc.state.windowSize = QSize(616, 459);  // canvas 600 × 400
    o.setClientSize(QSize(600, 400));
    if (shape == 1) {
        o.createFrame(QRect(10, 40, 150, 150), QStringLiteral("Ф"));
        o.createTextField(QRect(5, 30, 60, 40), kButtonFace, QStringLiteral("Текст2"), 1);
        o.textField(1).bounds = QRect(5, 30, 43, 19);  // after "Выровнять рамку"
        o.createTextField(QRect(0, 0, 50, 50), kButtonFace, QStringLiteral("т"), 0);
        o.textField(2).bounds = QRect(590, 10, 66, 19);  // reaching past the canvas edge
    } else if (shape == 2) {
        o.createFrame(QRect(10, 40, 150, 150), QStringLiteral("Ф"));
        o.createPicture(QRect(0, 0, 100, 100), 1);
        o.picture(1).bounds = QRect(20, 100, 100, 150);  // dragged down, half out of the frame
        o.createPicture(QRect(0, 0, 100, 100), 1);
        o.picture(2).bounds = QRect(-40, -20, 12, 8);
        o.picture(2).setBitmap(photoLikeImage(12, 8, 3));
    } else if (shape == 3) {
        o.createFrame(QRect(-32768, 32767, 32767, 0), QStringLiteral("край"));
        o.createTextField(QRect(0, 0, 50, 50), kButtonFace, QString(1020, QChar(0x44F)), 1);
        o.textField(1).bounds = QRect(-32768, -32768, 0, 32767);
        o.textField(1).font.size = 255;
        o.createVideo(QRect(0, 0, 50, 50), 0);
        o.video(1).bounds = QRect(32767, -32768, 1, 1);
        o.createArrow(-32768, 32767, 32767, -32768, 10, 0xFF000008);
    }
    const QByteArray saved = serializeOutline(doc, true);
    LoadResult loaded = readOutline(saved, QStringLiteral("f.vmd"), defaultWindowChrome());
    QVERIFY2(loaded.ok, qPrintable(loaded.message));
    compareOutlines(loaded.outline, doc.outline);

    Document reopened;
    reopened.outline = std::move(loaded.outline);
    reopened.state.outlineName = loaded.outlineName;
    reopened.state.canvasColour = loaded.canvasColour;
    reopened.state.windowSize = loaded.windowSize;
    const QByteArray again = serializeOutline(reopened, true);
    QCOMPARE(again.size(), saved.size());
    QVERIFY(again == saved);
}

// Frames stored with the given sequence positions; expected: the frame slots in reading order.
void TestOutlineIo::storedSequencePositionsAreHonoured_data()
{
    QTest::addColumn<QList<int>>("positions");
    QTest::addColumn<QList<int>>("order");
    QTest::newRow("creation order") << QList<int>{1, 2, 3} << QList<int>{1, 2, 3};
    QTest::newRow("reversed") << QList<int>{3, 2, 1} << QList<int>{3, 2, 1};
    QTest::newRow("one left out") << QList<int>{2, 0, 1} << QList<int>{3, 1};
    QTest::newRow("a gap is closed") << QList<int>{1, 5, 3} << QList<int>{1, 3, 2};
    QTest::newRow("a taken place: the later frame wins, the other joins the end")
        << QList<int>{2, 2, 1} << QList<int>{3, 2, 1};
}

void TestOutlineIo::storedSequencePositionsAreHonoured()
{
    QFETCH(QList<int>, positions);
    QFETCH(QList<int>, order);
    Document doc;
    for (int k = 1; k <= 3; ++k)
        doc.outline.createFrame(QRect(60 * k, 34, 50, 50), QString::number(k));
    QByteArray bytes = serializeOutline(doc, true);
    for (int k = 0; k < 3; ++k)
        setIntAt(bytes, 280 + k * 1304 + 1300, positions[k]);
    const LoadResult loaded = readOutline(bytes, QStringLiteral("s.vmd"), defaultWindowChrome());
    QVERIFY(loaded.ok);
    const Sequence& s = loaded.outline.frameSequence();
    QCOMPARE(s.length(), order.size());
    for (int j = 1; j <= order.size(); ++j)
        QCOMPARE(loaded.outline.findSlot(ObjectKind::Frame, s.entry(j)), order[j - 1]);
}

// Three pictures; each row damages the tail. Every other object must load, the damaged pictures
// keep a blank placeholder of their size, and one message must list exactly them.
void TestOutlineIo::damagedPictureStreamsCostOnlyTheirPicture_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QList<int>>("lost");
    QTest::newRow("intact") << "none" << QList<int>{};
    QTest::newRow("picture 2 is not a JPEG") << "notJpeg2" << QList<int>{2};
    QTest::newRow("scan data of picture 2 overwritten") << "scan2" << QList<int>{2};
    QTest::newRow("tail cut inside the last chunk") << "truncateLast" << QList<int>{3};
    QTest::newRow("no tail at all") << "noTail" << QList<int>{1, 2, 3};
    // Chunk 3 is found through picture 2's length, so it is lost as well.
    QTest::newRow("length of picture 2 below picture 1") << "shrinking" << QList<int>{2, 3};
    QTest::newRow("negative length of picture 1") << "negative" << QList<int>{1, 2, 3};
    QTest::newRow("length far beyond the file") << "huge" << QList<int>{2, 3};
}

void TestOutlineIo::damagedPictureStreamsCostOnlyTheirPicture()
{
    QFETCH(QString, damage);
    QFETCH(QList<int>, lost);
    Document doc = richDocument();
    doc.outline.createPicture(QRect(10, 100, 70, 50), 3);
    doc.outline.picture(3).setBitmap(photoLikeImage(30, 30, 3));
    QByteArray bytes = serializeOutline(doc, true);
    const qsizetype s1 = intAt(bytes, 489492 + 1052), s2 = intAt(bytes, 489492 + 1056 + 1052);
    const qsizetype chunk2 = 597496 + s1;
    if (damage == QLatin1String("notJpeg2")) {
        // Picture 2's own stream is the last part of chunk 2.
        bytes.replace(chunk2 + s1, 16, QByteArray(16, 'x'));
    } else if (damage == QLatin1String("scan2")) {
        for (qsizetype at = chunk2 + s1 + 700; at < chunk2 + s2 - 10; ++at)
            bytes[at] = char(0xFF);
    } else if (damage == QLatin1String("truncateLast")) {
        bytes.chop(100);
    } else if (damage == QLatin1String("noTail")) {
        bytes.truncate(597496);
    } else if (damage == QLatin1String("shrinking")) {
        setIntAt(bytes, 489492 + 1056 + 1052, qint32(s1 - 1));
    } else if (damage == QLatin1String("negative")) {
        setIntAt(bytes, 489492 + 1052, -5);
    } else if (damage == QLatin1String("huge")) {
        setIntAt(bytes, 489492 + 1056 + 1052, 0x7FFFFFF0);
    }

    const LoadResult loaded = readOutline(bytes, QStringLiteral("pictures.vmd"), defaultWindowChrome());
    QVERIFY(loaded.ok);
    QCOMPARE(loaded.outline.count(ObjectKind::Picture), 3);
    QCOMPARE(loaded.outline.count(ObjectKind::Frame), 4);
    QCOMPARE(loaded.outline.count(ObjectKind::Arrow), 3);
    QCOMPARE(loaded.outline.picture(2).minimalText, QStringLiteral("Рисунок 2"));
    for (int k = 1; k <= 3; ++k) {
        const PictureObject& p = loaded.outline.picture(k);
        const bool isLost = lost.contains(k);
        const QString entry = QStringLiteral("рисунок %1 (").arg(k);
        QCOMPARE(loaded.message.contains(entry), isLost);
        if (isLost) {
            QCOMPARE(p.bitmap().size(), p.bounds.size());
            QCOMPARE(p.bitmap().pixelColor(0, 0), QColor(Qt::white));
            QVERIFY(p.jpegStream().isEmpty());
        } else {
            QCOMPARE(p.bitmap(), decodeJpeg(doc.outline.picture(k).jpegStream()));
        }
    }
    if (lost.isEmpty())
        QVERIFY(loaded.message.isEmpty());
    else
        QVERIFY(loaded.message.contains(QStringLiteral("«pictures.vmd»")));
    // The reasons are the program's own Russian words, not the decoder library's English.
    QString reasons = loaded.message;
    reasons.remove(QStringLiteral("pictures.vmd")).remove(QStringLiteral("JPEG"));
    QVERIFY2(!reasons.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2,}"))), qPrintable(loaded.message));
}

void TestOutlineIo::hugeStoredPictureSizesCostLittle()
{
    // A hundred picture records claiming 32767 × 32767 pixels and no picture data: a 600 KB file
    // that once asked for hundreds of gigabytes of white placeholders.
    QByteArray bytes = serializeOutline(richDocument(), true).left(597496);
    const QByteArray first = bytes.mid(489492, 1056);
    setIntAt(bytes, 489488, 100);
    for (int k = 0; k < 100; ++k) {
        QByteArray record = first;
        setIntAt(record, 0, 0);       // on the canvas
        setIntAt(record, 12, 32767);  // width
        setIntAt(record, 16, 32767);  // height
        setIntAt(record, 1048, 0);    // not in the sequence
        setIntAt(record, 1052, 0);    // no data
        bytes.replace(489492 + k * 1056, 1056, record);
    }
    const LoadResult loaded = readOutline(bytes, QStringLiteral("huge.vmd"), defaultWindowChrome());
    QVERIFY2(loaded.ok, qPrintable(loaded.message));
    QCOMPARE(loaded.outline.count(ObjectKind::Picture), 100);
    qint64 distinctBytes = 0;
    QSet<const uchar*> buffers;
    for (int k = 1; k <= 100; ++k) {
        const QImage& bitmap = loaded.outline.picture(k).bitmap();
        QVERIFY(bitmap.width() <= 1024 && bitmap.height() <= 1024);
        if (!buffers.contains(bitmap.constBits())) {
            buffers.insert(bitmap.constBits());
            distinctBytes += bitmap.sizeInBytes();
        }
    }
    QVERIFY2(distinctBytes <= 4 * 1024 * 1024, qPrintable(QString::number(distinctBytes)));
}

void TestOutlineIo::savingIsAtomic()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.vmd"));
    Document doc = richDocument();
    QVERIFY(writeOutlineFile(path, doc).ok);
    const QByteArray before = readFile(path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);

    // Saving again over the file keeps its permissions and leaves no temporary file behind.
    doc.outline.frame(1).title = QStringLiteral("Другое название");
    QVERIFY(writeOutlineFile(path, doc).ok);
    QVERIFY(readFile(path) != before);
    const QFile::Permissions kept = QFile::permissions(path);
    QVERIFY(kept.testFlag(QFile::ReadGroup));
    QVERIFY(!kept.testFlag(QFile::WriteGroup) && !kept.testFlag(QFile::ReadOther));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    // A picture that cannot be encoded makes the save fail; the file on disk is unchanged.
    const QByteArray saved = readFile(path);
    doc.outline.picture(1).setBitmap(QImage(70000, 1, QImage::Format_RGB32));  // wider than JPEG allows
    const WriteResult refused = writeOutlineFile(path, doc);
    QVERIFY(!refused.ok);
    QVERIFY2(refused.message.contains(path) && refused.message.contains(QStringLiteral("рисунок 1")),
             qPrintable(refused.message));
    QCOMPARE(readFile(path), saved);

    // A folder that does not exist, and a path that is a folder.
    doc.outline.picture(1).setBitmap(photoLikeImage(8, 8, 1));
    const WriteResult missing = writeOutlineFile(dir.filePath(QStringLiteral("нет/такой/папки.vmd")), doc);
    QVERIFY(!missing.ok);
    QVERIFY(missing.message.contains(QStringLiteral("папки.vmd")));
    QVERIFY(!writeOutlineFile(dir.path(), doc).ok);
    QCOMPARE(readFile(path), saved);
}

void TestOutlineIo::fullDiskIsReportedInRussian()
{
    const OutlineImage image = buildOutlineImage(richDocument(), false);
    const WriteResult written = writeFileDirectly(QStringLiteral("/dev/full"), image);
    QVERIFY(!written.ok);
    QVERIFY2(written.message.contains(QStringLiteral("Недостаточно места на диске")), qPrintable(written.message));
}

void TestOutlineIo::unreadableFilesAreReported()
{
    QTemporaryDir dir;
    const LoadResult missing = readOutlineFile(dir.filePath(QStringLiteral("нет.vmd")), defaultWindowChrome());
    QVERIFY(!missing.ok);
    QVERIFY(missing.message.contains(QStringLiteral("нет.vmd")));
    const LoadResult folder = readOutlineFile(dir.path(), defaultWindowChrome());
    QVERIFY(!folder.ok);
    QVERIFY(folder.message.contains(QStringLiteral("папка")));
}

QTEST_GUILESS_MAIN(TestOutlineIo)
#include "test_outline_io.moc"
