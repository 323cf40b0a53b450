// The stamp tells a file rewritten by someone else from the one this program read, even when the
// size and the modification time stayed the same.
#include "storage/file_stamp.h"
#include "storage/outline_file.h"

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace velmar;

class TestFileStamp : public QObject {
    Q_OBJECT
private slots:
    void oneByteOfTheRecordChangedIsNoticed_data();
    void oneByteOfTheRecordChangedIsNoticed();
    void hashSeesEveryBitAndTheLength();
    void fileIsHashedAsItsRecordInMemory();
};

namespace {

void write(const QString& path, const QByteArray& bytes, const QDateTime& modified)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
    // Written out first: data flushed after the time was set would set it to now.
    QVERIFY(file.flush());
    QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

}  // namespace

void TestFileStamp::oneByteOfTheRecordChangedIsNoticed_data()
{
    QTest::addColumn<qsizetype>("fileSize");
    QTest::addColumn<qsizetype>("changedAt");
    const qsizetype record = layout::kHeaderSize;
    // A whole record with chunks after it: its first byte, one inside a 32-byte stripe, and the
    // last bytes, which fall outside the stripes.
    QTest::newRow("first byte") << record + 5000 << qsizetype(0);
    QTest::newRow("middle") << record + 5000 << record / 2 + 3;
    QTest::newRow("last byte of the record") << record + 5000 << record - 1;
    QTest::newRow("in the last whole stripe") << record + 5000 << (record / 32) * 32 - 1;
    // Files shorter than a record are hashed whole, however short.
    QTest::newRow("short file, last byte") << qsizetype(1001) << qsizetype(1000);
    QTest::newRow("shorter than a stripe") << qsizetype(7) << qsizetype(6);
}

void TestFileStamp::oneByteOfTheRecordChangedIsNoticed()
{
    QFETCH(qsizetype, fileSize);
    QFETCH(qsizetype, changedAt);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("урок.vmd"));
    const QDateTime modified = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch() - 3600);
    const QByteArray bytes = randomBytes(fileSize, quint32(changedAt) + 1);
    write(path, bytes, modified);
    const FileStamp read = FileStamp::of(path);
    QVERIFY(read.exists);
    QVERIFY(!read.changedIn(FileStamp::of(path)));

    // Written again unchanged: same stamp. Rewritten with one byte of the record changed, same
    // size, same time: noticed.
    write(path, bytes, modified);
    QVERIFY(!read.changedIn(FileStamp::of(path)));
    QByteArray changed = bytes;
    changed[changedAt] = char(changed[changedAt] ^ 0x10);
    write(path, changed, modified);
    const FileStamp now = FileStamp::of(path);
    QCOMPARE(now.size, read.size);
    QCOMPARE(now.modifiedMs, read.modifiedMs);
    QVERIFY(read.changedIn(now));
}

void TestFileStamp::hashSeesEveryBitAndTheLength()
{
    const QByteArray record = randomBytes(1000, 7);
    const quint64 hash = FileStamp::recordHashOf(record);
    QCOMPARE(FileStamp::recordHashOf(QByteArray(record)), hash);
    // Every single bit flipped in a stretch crossing a stripe's end and in the tail gives a hash
    // of its own, as does the record one zero byte longer or shorter.
    QSet<quint64> seen{hash};
    for (qsizetype at : {qsizetype(0), qsizetype(31), qsizetype(32), qsizetype(995), qsizetype(999)})
        for (int bit = 0; bit < 8; ++bit) {
            QByteArray flipped = record;
            flipped[at] = char(flipped[at] ^ (1 << bit));
            seen.insert(FileStamp::recordHashOf(flipped));
        }
    seen.insert(FileStamp::recordHashOf(record + '\0'));
    seen.insert(FileStamp::recordHashOf(record.chopped(1)));
    QCOMPARE(seen.size(), 5 * 8 + 3);
    QVERIFY(FileStamp::recordHashOf(QByteArray()) != FileStamp::recordHashOf(QByteArray(1, '\0')));
}

void TestFileStamp::fileIsHashedAsItsRecordInMemory()
{
    // The file is hashed through a buffer smaller than the record: lengths at and around the
    // buffer's pieces and the record's end must give the hash of the same bytes held whole.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.vmd"));
    const QByteArray bytes = randomBytes(layout::kHeaderSize + 100, 3);
    const qsizetype piece = 64 * 1024;
    for (qsizetype size : {qsizetype(0), qsizetype(1), piece - 1, piece, piece + 1, 2 * piece, layout::kHeaderSize - 1,
                           layout::kHeaderSize, layout::kHeaderSize + 100}) {
        write(path, bytes.first(size), QDateTime::currentDateTimeUtc());
        const FileStamp stamp = FileStamp::of(path);
        QVERIFY(stamp.exists);
        QCOMPARE(stamp.size, qint64(size));
        QCOMPARE(stamp.recordHash, FileStamp::recordHashOf(bytes.first(std::min(size, layout::kHeaderSize))));
    }
}

QTEST_MAIN(TestFileStamp)
#include "test_file_stamp.moc"
