// The snapshot history: which files each step leaves in temp/, undo and redo through full and
// header-only snapshots, damaged snapshots, and two instances side by side.
#include "outline_fixtures.h"
#include "storage/history.h"
#include "storage/outline_file.h"
#include "storage/outline_io.h"
#include "storage/snapshot_files.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace velmar;
using namespace fixtures;

namespace {

const QSize kChrome = defaultWindowChrome();

// A started outline as New leaves it: three frames, step 0 written in full.
struct Session {
    QTemporaryDir home;
    Document doc;

    Session()
    {
        doc.history.programFolder = home.path();
        doc.outline.setClientSize(QSize(728, 487));
        for (int k = 1; k <= 3; ++k) {
            const int slot =
                doc.outline.createFrame(QRect(2 + 160 * (k - 1), 34, 150, 200), QStringLiteral("Фрейм%1").arg(k));
            doc.outline.frame(slot).minimalText = doc.outline.frame(slot).title;
        }
        startHistory(doc);
    }
    ~Session() { releaseHistoryFolder(home.path()); }
    bool has(int step, bool full) const { return QFileInfo::exists(snapshotPathIn(snapshotFolder(doc), step, full)); }
    // The kind of snapshot of each step 0..last: 'F' full, 'H' header only, '-' none, '!' both.
    QString kinds(int last) const
    {
        QString s;
        for (int k = 0; k <= last; ++k)
            s += has(k, true) ? (has(k, false) ? QLatin1Char('!') : QLatin1Char('F'))
                              : (has(k, false) ? QLatin1Char('H') : QLatin1Char('-'));
        return s;
    }
    void step(bool full)
    {
        const HistoryResult r = recordStep(doc, full ? StepKind::Full : StepKind::HeaderOnly);
        QVERIFY2(r.ok, qPrintable(r.message));
    }
    QPoint frameAt(int slot) const { return doc.outline.frame(slot).bounds.topLeft(); }
};

}  // namespace

class TestHistory : public QObject {
    Q_OBJECT
private slots:
    void newOutlineThenMove();
    void textFieldCreatedThenMoved();
    void stepAfterAnObjectChangeRestoresFromAnEarlierFullSnapshot();
    void undoRedoLimitsAndBranching();
    void staleFullSnapshotOfAReusedStepIsRemoved();
    void deletedArrowComesBack();
    void headerStepRestoresEveryAttribute();
    void headerStepKeepsPresentImages();
    void modifiedFollowsTheSavedStep();
    void damagedSnapshotsChangeNothing_data();
    void damagedSnapshotsChangeNothing();
    void failedWriteIsReported();
    void failedHeaderStepMakesTheNextOneComplete();
    void undoKeepsWhatTheFilesCannotHold();
    void interruptedInstanceWorkIsAdoptedOrDiscarded();
    void cleanUpRemovesOnlySnapshots();
    void twoInstancesKeepSeparateHistories();
    void lockOfACrashedInstanceIsTakenOver();
};

void TestHistory::newOutlineThenMove()
{
    Session s;
    QCOMPARE(s.doc.history.currentStep, 0);
    QCOMPARE(s.doc.history.highestStep, 0);
    QVERIFY(s.doc.state.modified);
    QCOMPARE(s.kinds(1), QStringLiteral("F-"));
    QVERIFY(!canUndo(s.doc) && !canRedo(s.doc));

    s.doc.outline.frame(1).bounds.moveTo(40, 80);
    s.step(false);
    QCOMPARE(s.kinds(1), QStringLiteral("FH"));
    QVERIFY(canUndo(s.doc) && !canRedo(s.doc));

    HistoryResult r = undo(s.doc);
    QVERIFY2(r.ok, qPrintable(r.message));
    QVERIFY(r.reloaded);  // step 0 rebuilt from its full snapshot
    QCOMPARE(s.frameAt(1), QPoint(2, 34));
    QCOMPARE(s.doc.history.currentStep, 0);
    QVERIFY(!canUndo(s.doc) && canRedo(s.doc));

    r = redo(s.doc);
    QVERIFY(r.ok);
    QVERIFY(!r.reloaded);  // header of step 1 applied to the present objects
    QCOMPARE(s.frameAt(1), QPoint(40, 80));
    QCOMPARE(s.doc.outline.frame(1).hint, QStringLiteral("Фрейм1"));
    QCOMPARE(s.doc.outline.frameSequence().length(), 3);
    QCOMPARE(s.kinds(1), QStringLiteral("FH"));
}

void TestHistory::textFieldCreatedThenMoved()
{
    Session s;
    s.doc.outline.createTextField(QRect(5, 30, 66, 19), kButtonFace, QStringLiteral("Текст1"), 2);
    s.step(true);
    s.doc.outline.textField(1).bounds.moveTo(20, 60);
    s.step(false);
    QCOMPARE(s.kinds(2), QStringLiteral("FFH"));

    HistoryResult r = undo(s.doc);  // step 1 from its full snapshot
    QVERIFY(r.ok && r.reloaded);
    QCOMPARE(s.doc.outline.count(ObjectKind::TextField), 1);
    QCOMPARE(s.doc.outline.textField(1).bounds, QRect(5, 19, 66, 30));  // as fitted when created
    r = undo(s.doc);                                                    // step 0 from its own
    QVERIFY(r.ok && r.reloaded);
    QCOMPARE(s.doc.outline.count(ObjectKind::TextField), 0);
    QCOMPARE(s.doc.outline.objectSequence().length(), 0);

    r = redo(s.doc);  // step 1 loaded again
    QVERIFY(r.ok && r.reloaded);
    QCOMPARE(s.doc.outline.count(ObjectKind::TextField), 1);
    QCOMPARE(s.doc.outline.textField(1).parentFrame, quint8(2));
    r = redo(s.doc);  // the header of step 2 applied
    QVERIFY(r.ok && !r.reloaded);
    QCOMPARE(s.doc.outline.textField(1).bounds.topLeft(), QPoint(20, 60));
    QCOMPARE(s.doc.outline.objectSequence().positionOf(s.doc.outline.textField(1).id), 1);
}

void TestHistory::stepAfterAnObjectChangeRestoresFromAnEarlierFullSnapshot()
{
    // Step 1 moves a frame (header only), step 2 adds a text field (full). Undoing step 2 cannot
    // patch the present objects, which hold the text field: it rebuilds step 0 and applies step 1.
    Session s;
    s.doc.outline.frame(2).bounds.moveTo(170, 90);
    s.step(false);
    s.doc.outline.createTextField(QRect(5, 30, 66, 19), kButtonFace, QStringLiteral("Текст1"), 1);
    s.step(true);
    QCOMPARE(s.kinds(2), QStringLiteral("FHF"));

    const HistoryResult r = undo(s.doc);
    QVERIFY2(r.ok, qPrintable(r.message));
    QVERIFY(r.reloaded);
    QCOMPARE(s.doc.outline.count(ObjectKind::TextField), 0);
    QCOMPARE(s.frameAt(2), QPoint(170, 90));
    QCOMPARE(s.doc.history.currentStep, 1);
}

void TestHistory::undoRedoLimitsAndBranching()
{
    Session s;
    // Undo at step 0 is refused and changes nothing.
    HistoryResult r = undo(s.doc);
    QVERIFY(!r.ok);
    QCOMPARE(s.doc.history.currentStep, 0);

    for (int k = 1; k <= 3; ++k) {
        s.doc.outline.frame(1).bounds.moveTo(10 * k, 40);
        s.step(false);
    }
    QVERIFY(!canRedo(s.doc));
    QVERIFY(!redo(s.doc).ok);
    QCOMPARE(s.doc.history.currentStep, 3);

    QVERIFY(undo(s.doc).ok);
    QVERIFY(undo(s.doc).ok);
    QCOMPARE(s.frameAt(1), QPoint(10, 40));
    QVERIFY(canRedo(s.doc));

    // A change after two undos: the new step is the highest, the abandoned ones are gone.
    s.doc.outline.frame(1).bounds.moveTo(99, 40);
    s.step(false);
    QCOMPARE(s.doc.history.currentStep, 2);
    QCOMPARE(s.doc.history.highestStep, 2);
    QVERIFY(!canRedo(s.doc));
    QCOMPARE(s.kinds(3), QStringLiteral("FHH-"));
    QVERIFY(undo(s.doc).ok);
    QVERIFY(redo(s.doc).ok);
    QCOMPARE(s.frameAt(1), QPoint(99, 40));
}

void TestHistory::staleFullSnapshotOfAReusedStepIsRemoved()
{
    // Step 1 adds a text field (full); undo; step 1 is taken again by a move (header only). The
    // full snapshot of the abandoned step 1 must not win when step 1 is restored.
    Session s;
    s.doc.outline.createTextField(QRect(5, 30, 66, 19), kButtonFace, QStringLiteral("Текст1"), 1);
    s.step(true);
    QVERIFY(undo(s.doc).ok);
    QCOMPARE(s.doc.outline.count(ObjectKind::TextField), 0);
    s.doc.outline.frame(3).bounds.moveTo(500, 50);
    s.step(false);
    QCOMPARE(s.kinds(1), QStringLiteral("FH"));

    QVERIFY(undo(s.doc).ok);
    const HistoryResult r = redo(s.doc);
    QVERIFY(r.ok);
    QCOMPARE(s.doc.outline.count(ObjectKind::TextField), 0);
    QCOMPARE(s.frameAt(3), QPoint(500, 50));

    // The other way round: a header snapshot of a step rewritten in full is removed as well.
    QVERIFY(undo(s.doc).ok);
    s.doc.outline.createVideo(QRect(5, 30, 60, 60), 2);
    s.step(true);
    QCOMPARE(s.kinds(1), QStringLiteral("FF"));
}

void TestHistory::deletedArrowComesBack()
{
    Session s;
    s.doc.outline.createArrow(50, 60, 80, 60, 3, 0x000000FF);
    s.step(true);
    s.doc.outline.removeObject(ObjectKind::Arrow, 1);
    s.step(true);
    QCOMPARE(s.doc.outline.count(ObjectKind::Arrow), 0);

    QVERIFY(undo(s.doc).ok);
    QCOMPARE(s.doc.outline.count(ObjectKind::Arrow), 1);
    const ArrowObject& a = s.doc.outline.arrow(1);
    QCOMPARE(QList<int>({a.x1, a.y1, a.x2, a.y2, a.penWidth, int(a.colour)}), QList<int>({50, 60, 80, 60, 3, 0xFF}));
}

void TestHistory::headerStepRestoresEveryAttribute()
{
    QTemporaryDir home;
    Document doc = richDocument();
    doc.history.programFolder = home.path();
    startHistory(doc);
    const Outline before = doc.outline;

    // One header-only step that changes a value of every kind.
    Outline& o = doc.outline;
    doc.state.outlineName = QStringLiteral("Переименован");
    doc.state.canvasColour = 0x00FFFFFF;
    doc.state.windowSize = QSize(1000, 760);
    o.frame(1).bounds = QRect(7, 40, 190, 250);
    o.frame(1).title = QStringLiteral("Новое название");
    o.frame(1).innerBevel = BevelSpace;
    o.frame(1).titleVisible = false;
    o.frame(4).minimalText = QStringLiteral("короче");
    o.textField(1).text = QStringLiteral("Изменённый\r\nтекст");
    o.textField(1).parentFrame = 1;  // dropped on another frame
    o.textField(1).font = FontSpec{QStringLiteral("Arial"), 20, 0x00008000, 1, FontItalic};
    o.textField(2).alignment = AlignLeft;
    o.video(1).fileName.clear();
    o.picture(2).minimalText = QStringLiteral("Другой рисунок");
    o.picture(2).bounds.moveTo(0, 0);
    o.arrow(2).x2 = 300;
    o.arrow(2).penWidth = 2;
    o.frameSequence().swap(1, 4);
    o.objectSequence().swap(3, 6);
    QVERIFY(recordStep(doc, StepKind::HeaderOnly).ok);
    const Outline after = doc.outline;

    QVERIFY(undo(doc).reloaded);
    compareOutlines(doc.outline, before);
    QCOMPARE(doc.state.outlineName, QStringLiteral("Механика: движение тел"));

    const HistoryResult r = redo(doc);
    QVERIFY(r.ok && !r.reloaded);
    compareOutlines(doc.outline, after);
    QCOMPARE(doc.outline.frame(4).hint, QStringLiteral("короче"));
    QCOMPARE(r.outlineName, QStringLiteral("Переименован"));
    QCOMPARE(r.canvasColour, ColourValue(0x00FFFFFF));
    QCOMPARE(r.windowSize, QSize(1000, 760));
    QCOMPARE(doc.state.windowSize, QSize(1000, 760));
    QCOMPARE(doc.outline.clientSize(), QSize(1000 - 16, 760 - 59));
    releaseHistoryFolder(home.path());
}

void TestHistory::headerStepKeepsPresentImages()
{
    // A picture edited in the graphic editor is a header-only step: undoing it keeps the new image.
    Session s;
    s.doc.outline.createPicture(QRect(5, 30, 60, 40), 1);
    s.doc.outline.picture(1).setBitmap(photoLikeImage(60, 40, 1));
    s.step(true);
    s.doc.outline.frame(3).bounds.moveTo(480, 40);
    s.step(false);
    const QImage edited = photoLikeImage(60, 40, 2);
    s.doc.outline.picture(1).setBitmap(edited);
    s.step(false);
    QVERIFY(undo(s.doc).ok);
    QCOMPARE(s.doc.outline.picture(1).bitmap(), edited);
}

void TestHistory::modifiedFollowsTheSavedStep()
{
    Session s;
    markSaved(s.doc);  // as after Open
    QCOMPARE(s.doc.history.savedStep, 0);
    QVERIFY(!s.doc.state.modified);
    s.doc.outline.frame(1).bounds.moveTo(30, 50);
    s.step(false);
    QVERIFY(s.doc.state.modified);
    QVERIFY(undo(s.doc).ok);
    QVERIFY(!s.doc.state.modified);  // back at the opened state
    QVERIFY(redo(s.doc).ok);
    QVERIFY(s.doc.state.modified);  // differs from the file: closing must ask
    markSaved(s.doc);
    QVERIFY(undo(s.doc).ok);
    QVERIFY(s.doc.state.modified);
}

// Each row spoils the snapshot that the undo needs. Undo must fail with a message, and neither
// the objects nor the step may change.
void TestHistory::damagedSnapshotsChangeNothing_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("header snapshot missing") << "missing"
                                             << "не найден";
    QTest::newRow("header snapshot of another version")
        << "version"
        << "Не поддерживаемая версия файла\n\rВерсия программы \"4.1\"\n\rВерсия файла \"4.0\"";
    QTest::newRow("header snapshot cut short") << "short"
                                               << "короче заголовка";
    QTest::newRow("counts that do not match the objects") << "counts"
                                                          << "фреймов 4, а в конспекте 3";
    QTest::newRow("count above 100") << "count101"
                                     << "фреймы";
    QTest::newRow("full snapshot damaged") << "full"
                                           << "temp0.tm1";
}

void TestHistory::damagedSnapshotsChangeNothing()
{
    QFETCH(QString, damage);
    QFETCH(QString, mentions);
    Session s;
    s.doc.outline.frame(1).bounds.moveTo(20, 40);
    s.step(false);
    s.doc.outline.frame(1).bounds.moveTo(30, 40);
    s.step(false);
    // Undo from step 2 applies the header of step 1; for the full-snapshot row, undo from step 1
    // loads step 0.
    const QString folder = snapshotFolder(s.doc);
    const QString header1 = snapshotPathIn(folder, 1, false);
    QByteArray bytes = readFile(header1);
    if (damage == QLatin1String("missing")) {
        QVERIFY(QFile::remove(header1));
    } else if (damage == QLatin1String("version")) {
        bytes[3] = '0';
        QVERIFY(writeFile(header1, bytes));
    } else if (damage == QLatin1String("short")) {
        QVERIFY(writeFile(header1, bytes.left(1000)));
    } else if (damage == QLatin1String("counts")) {
        setIntAt(bytes, 276, 4);
        QVERIFY(writeFile(header1, bytes));
    } else if (damage == QLatin1String("count101")) {
        setIntAt(bytes, 276, 101);
        QVERIFY(writeFile(header1, bytes));
    } else {
        QVERIFY(undo(s.doc).ok);
        QVERIFY(writeFile(snapshotPathIn(folder, 0, true), bytes.left(300000)));
    }
    const Outline before = s.doc.outline;
    const int step = s.doc.history.currentStep;

    const HistoryResult r = undo(s.doc);
    QVERIFY(!r.ok);
    QVERIFY2(r.message.contains(mentions), qPrintable(r.message));
    QCOMPARE(s.doc.history.currentStep, step);
    compareOutlines(s.doc.outline, before);
    QCOMPARE(s.doc.outline.frame(1).id, before.frame(1).id);  // the very same objects
}

void TestHistory::failedWriteIsReported()
{
    Session s;
    QTemporaryDir other;
    const QString blocker = other.filePath(QStringLiteral("not-a-folder"));
    QVERIFY(writeFile(blocker, "x"));
    s.doc.history.folder = blocker;
    s.doc.outline.createVideo(QRect(5, 30, 60, 60), 1);
    const HistoryResult r = recordStep(s.doc, StepKind::Full);
    QVERIFY(!r.ok);
    QVERIFY2(r.message.contains(QStringLiteral("temp1.tm1")), qPrintable(r.message));
    QCOMPARE(s.doc.history.currentStep, 1);
    QVERIFY2(s.doc.history.nextStepComplete, "the next step must be written in full again");
}

void TestHistory::failedHeaderStepMakesTheNextOneComplete()
{
    Session s;
    s.doc.outline.frame(1).bounds.moveTo(40, 60);
    s.step(false);  // step 1
    // Step 2 cannot be written: a folder stands where its file should go.
    QVERIFY(QDir().mkpath(snapshotPathIn(snapshotFolder(s.doc), 2, false)));
    s.doc.outline.frame(2).bounds.moveTo(300, 90);
    QVERIFY(!recordStep(s.doc, StepKind::HeaderOnly).ok);
    s.doc.outline.frame(3).bounds.moveTo(500, 100);
    // Step 3 is a header change too, but only a complete snapshot can stand for step 2's objects.
    QVERIFY(recordStep(s.doc, StepKind::HeaderOnly).ok);
    QCOMPARE(s.kinds(3).left(2), QStringLiteral("FH"));
    QVERIFY(s.has(3, true));

    // Undo passes over the step that has no snapshot, back to step 1; redo comes back to step 3.
    const HistoryResult back = undo(s.doc);
    QVERIFY2(back.ok, qPrintable(back.message));
    QCOMPARE(s.doc.history.currentStep, 1);
    QCOMPARE(s.frameAt(1), QPoint(40, 60));
    QCOMPARE(s.frameAt(2), QPoint(162, 34));
    QCOMPARE(s.frameAt(3), QPoint(322, 34));
    const HistoryResult forth = redo(s.doc);
    QVERIFY2(forth.ok, qPrintable(forth.message));
    QCOMPARE(s.doc.history.currentStep, 3);
    QCOMPARE(s.frameAt(2), QPoint(300, 90));
    QCOMPARE(s.frameAt(3), QPoint(500, 100));
}

void TestHistory::undoKeepsWhatTheFilesCannotHold()
{
    Session s;
    // Step 1: a red title and a hidden player bar; step 2: a text field is created.
    const int film = s.doc.outline.createVideo(QRect(5, 30, 60, 60), 1);
    s.doc.outline.video(film).playerVisible = false;
    s.doc.outline.frame(2).titleColour = 0x000000FF;
    s.doc.outline.frame(2).reference = QRect(1, 2, 3, 4);
    s.step(true);
    const int picture = s.doc.outline.createPicture(QRect(5, 30, 40, 40), 2);
    s.doc.outline.picture(picture).border = 1;
    s.doc.outline.picture(picture).stretched = false;
    s.step(true);
    s.doc.outline.createTextField(QRect(5, 30, 60, 30), kButtonFace, QStringLiteral("т"), 3);
    s.step(true);

    // Undoing the creation (a complete reload) leaves the other objects as they were.
    QVERIFY(undo(s.doc).ok);
    QCOMPARE(s.doc.outline.count(ObjectKind::TextField), 0);
    QCOMPARE(s.doc.outline.frame(2).titleColour, ColourValue(0x000000FF));
    QCOMPARE(s.doc.outline.frame(2).reference, QRect(1, 2, 3, 4));
    QVERIFY(!s.doc.outline.video(1).playerVisible);
    QCOMPARE(s.doc.outline.picture(1).border, quint8(1));
    QVERIFY(!s.doc.outline.picture(1).stretched);
    // Undoing the step that made them gives back what was before it; redo brings them back.
    QVERIFY(undo(s.doc).ok);
    QVERIFY(undo(s.doc).ok);
    QCOMPARE(s.doc.outline.frame(2).titleColour, kWindowText);
    QVERIFY(redo(s.doc).ok);
    QCOMPARE(s.doc.outline.frame(2).titleColour, ColourValue(0x000000FF));
    QVERIFY(!s.doc.outline.video(1).playerVisible);

    // A header-only step keeps them too.
    s.doc.outline.frame(1).bounds.moveTo(50, 50);
    s.step(false);
    s.doc.outline.frame(2).titleColour = 0x0000FF00;
    s.step(false);
    QVERIFY(undo(s.doc).ok);
    QCOMPARE(s.doc.outline.frame(2).titleColour, ColourValue(0x000000FF));
    QVERIFY(redo(s.doc).ok);
    QCOMPARE(s.doc.outline.frame(2).titleColour, ColourValue(0x0000FF00));
}

void TestHistory::interruptedInstanceWorkIsAdoptedOrDiscarded()
{
    QTemporaryDir home;
    const QString temp = QDir(home.path()).filePath(QStringLiteral("temp"));
    // Work left at `step` (complete) and step + 1 (a move), written `age` seconds ago.
    const auto leave = [&](const QString& tag, int step, int age) -> QString {
        const QString folder = QDir(temp).filePath(QStringLiteral("instance-") + tag);
        QDir().mkpath(folder);
        Document doc;
        doc.outline.createFrame(QRect(2, 34, 100, 100), tag);
        bool written = writeOutlineFile(snapshotPathIn(folder, step, true), doc).ok;
        doc.outline.frame(1).bounds.moveTo(70, 80);
        written = written && writeFile(snapshotPathIn(folder, step + 1, false), serializeOutline(doc, false));
        for (const QString& path : {snapshotPathIn(folder, step, true), snapshotPathIn(folder, step + 1, false)}) {
            QFile file(path);
            written =
                written && file.open(QIODevice::ReadWrite)
                && file.setFileTime(QDateTime::currentDateTime().addSecs(-age), QFileDevice::FileModificationTime);
        }
        return written ? folder : QString();
    };
    const QString older = leave(QStringLiteral("older"), 2, 600);
    const QString newer = leave(QStringLiteral("newer"), 5, 10);
    QVERIFY(!older.isEmpty() && !newer.isEmpty());

    HistoryFolder main(home.path());
    QVERIFY(main.isShared());
    QVERIFY(writeFile(snapshotPathIn(main.path(), 9, true), "left over in the main folder"));
    // A running instance's folder is never offered.
    const HistoryFolder running(home.path(), QStringLiteral("running"));
    QVERIFY(writeFile(snapshotPathIn(running.path(), 0, true), "live"));

    auto work = findInterruptedInstanceWork(home.path(), main.path());
    QVERIFY(work);
    QCOMPARE(work->folder, newer);
    QCOMPARE(work->step, 5);
    const QString adopted = adoptInterruptedWork(*work, main.path());
    QCOMPARE(adopted, snapshotPathIn(main.path(), 5, true));
    QVERIFY(QFileInfo::exists(snapshotPathIn(main.path(), 6, false)));
    QVERIFY(!QFileInfo::exists(snapshotPathIn(main.path(), 9, true)));
    QVERIFY(!QFileInfo::exists(newer));
    LoadResult loaded = readOutlineFile(adopted, kChrome);
    QVERIFY(loaded.ok);
    QCOMPARE(applyLaterSteps(loaded, main.path(), 5), 6);
    QCOMPARE(loaded.outline.frame(1).bounds.topLeft(), QPoint(70, 80));

    work = findInterruptedInstanceWork(home.path(), main.path());
    QVERIFY(work);
    QCOMPARE(work->folder, older);
    discardInterruptedWork(*work);
    QVERIFY(!QFileInfo::exists(older));
    QVERIFY(!findInterruptedInstanceWork(home.path(), main.path()));
    QVERIFY(QFileInfo::exists(running.path()));
}

void TestHistory::cleanUpRemovesOnlySnapshots()
{
    Session s;
    const QString folder = snapshotFolder(s.doc);
    for (const char* name : {"temp5.tm2", "temp1001.tm1", "temp77.tm1", "temp07.tm1", "notes.txt", "temp3.tm1.bak"})
        QVERIFY(writeFile(QDir(folder).filePath(QLatin1String(name)), "x"));
    cleanUp(s.doc);
    QStringList left = QDir(folder).entryList(QDir::Files);
    left.removeAll(QStringLiteral("velmar.lock"));
    left.sort();
    QCOMPARE(left, QStringList({"notes.txt", "temp07.tm1", "temp3.tm1.bak"}));
}

void TestHistory::twoInstancesKeepSeparateHistories()
{
    QTemporaryDir home;
    const HistoryFolder first(home.path());
    const HistoryFolder second(home.path(), QStringLiteral("second"));
    QVERIFY(first.isShared());
    QVERIFY(!second.isShared());
    QCOMPARE(first.path(), QDir(home.path()).filePath(QStringLiteral("temp")));
    QCOMPARE(second.path(), QDir(home.path()).filePath(QStringLiteral("temp/instance-second")));

    Document a, b;
    a.history.folder = first.path();
    b.history.folder = second.path();
    for (Document* d : {&a, &b}) {
        d->outline.createFrame(QRect(2, 34, 100, 100), QStringLiteral("Ф"));
        startHistory(*d);
        d->outline.frame(1).bounds.moveTo(d == &a ? 10 : 20, 40);
        QVERIFY(recordStep(*d, StepKind::HeaderOnly).ok);
    }
    QVERIFY(QFileInfo::exists(snapshotPathIn(first.path(), 1, false)));
    QVERIFY(QFileInfo::exists(snapshotPathIn(second.path(), 1, false)));
    QVERIFY(undo(a).ok);
    QVERIFY(undo(b).ok);
    QVERIFY(redo(b).ok);
    QCOMPARE(b.outline.frame(1).bounds.topLeft(), QPoint(20, 40));

    // Closing the second instance deletes its snapshots only; the first one's stay.
    cleanUp(b);
    QCOMPARE(findFullSnapshotIn(second.path()), -1);
    QCOMPARE(findFullSnapshotIn(first.path()), 0);
    // The second instance does not take the first one's live snapshots for crash leftovers; the
    // start-up scan of a later instance does not either.
    QCOMPARE(second.interruptedStep(), -1);
    QCOMPARE(first.interruptedStep(), 0);
    QCOMPARE(findInterruptedSnapshot(home.path()), -1);
    releaseHistoryFolder(home.path());
}

void TestHistory::lockOfACrashedInstanceIsTakenOver()
{
    // Another process holds temp/ as a running instance does; then it is killed.
    QTemporaryDir home;
    const QString temp = QDir(home.path()).filePath(QStringLiteral("temp"));
    QVERIFY(QDir().mkpath(temp));
    QProcess holder;
    holder.start(QStringLiteral("sh"),
                 {QStringLiteral("-c"), QStringLiteral("exec 9>>\"$0\"; flock -n 9 || exit 1; echo locked; read line"),
                  QDir(temp).filePath(QStringLiteral("velmar.lock"))});
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readAllStandardOutput().trimmed(), QByteArray("locked"));
    QVERIFY(writeFile(QDir(temp).filePath(QStringLiteral("temp4.tm1")), "the other instance's step"));
    {
        const HistoryFolder whileItRuns(home.path());
        QVERIFY(!whileItRuns.isShared());
        QCOMPARE(whileItRuns.interruptedStep(), -1);
    }
    QVERIFY(
        !QFileInfo::exists(QDir(temp).filePath(QStringLiteral("instance-%1").arg(QCoreApplication::applicationPid()))));

    holder.kill();
    QVERIFY(holder.waitForFinished(10000));
    {
        const HistoryFolder afterTheCrash(home.path());
        QVERIFY(afterTheCrash.isShared());
        QCOMPARE(afterTheCrash.interruptedStep(), 4);
    }
    // A clean end leaves no lock file behind.
    QVERIFY(!QFileInfo::exists(QDir(temp).filePath(QStringLiteral("velmar.lock"))));
    const HistoryFolder next(home.path());
    QVERIFY(next.isShared());
}

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
