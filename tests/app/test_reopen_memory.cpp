// Opening an outline again and again keeps nothing of the outlines before: the process's
// resident memory after the tenth Open of a photo outline stays near that after the first.
#include "app/main_window.h"
#include "canvas/outline_view.h"
#include "support/photo_like_image.h"
#include "support/resident_memory.h"
#include "support/window_fixture.h"
#include "system/heap_settings.h"

#include <QApplication>
#include <QTest>

using namespace velmar;

namespace {

}  // namespace

class TestReopenMemory : public QObject {
    Q_OBJECT
private slots:
    void reopeningKeepsMemoryLevel();
};

void TestReopenMemory::reopeningKeepsMemoryLevel()
{
    WindowFixture f;
    const QString path = f.home.filePath(QStringLiteral("фото.vmd"));
    f.dialogs.inputs.push_back(QStringLiteral("Фото"));
    f.command(Command::NewOutline)->trigger();
    Outline& o = f.doc().outline;
    // Ten photos of 1600 × 1200 (7.7 MB each decoded), one in each frame, with films and arrows.
    for (int k = 1; k <= 10; ++k) {
        o.picture(o.createPicture(QRect(4, 16, 60, 45), k)).setBitmap(photoLikeImage(1600, 1200, quint32(k)));
        o.createVideo(QRect(4, 64, 40, 20), k);
        o.createArrow(10 * k, 100, 10 * k + 200, 300, 2, 0);
    }
    f.window->outlineView()->sync();
    f.window->documents().recordStep(StepKind::Full);
    f.dialogs.files.push_back(Dialogs::FileChoice{path, 1});
    f.command(Command::SaveAs)->trigger();
    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));

    QList<double> resident;
    for (int i = 0; i < 10; ++i) {
        f.dialogs.files.push_back(Dialogs::FileChoice{path, 1});
        f.command(Command::Open)->trigger();
        QCOMPARE(f.doc().outline.count(ObjectKind::Picture), 10);
        // The event loop runs between commands: widgets of the outline before are deleted.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        resident << velmar::test::residentMb();
    }
    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));
    QVERIFY(resident.first() > 0);
    // A generous bound: ten outlines kept would add some 800 MB.
    QVERIFY2(resident.last() <= resident.first() * 1.10 + 16,
             qPrintable(QStringLiteral("%1 MB after the first Open, %2 MB after the tenth")
                            .arg(resident.first())
                            .arg(resident.last())));
}

int main(int argc, char** argv)
{
    // As the program does at its start.
    returnLargeBlocksToTheSystem();
    QApplication app(argc, argv);
    TestReopenMemory test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_reopen_memory.moc"
