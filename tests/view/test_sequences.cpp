// Reordering the frame and object sequences, and their upkeep as objects come and go.
#include "canvas/outline_view.h"
#include "canvas/selection_handles.h"
#include "support/window_fixture.h"
#include "view/sequence_commands.h"

#include <QAction>
#include <QMenu>
#include <QTest>

using namespace velmar;

class TestSequences : public QObject {
    Q_OBJECT
private slots:
    void moves_data();
    void moves();
    void pictureMenuAndOrderButtons();
    void newOutlineAndReopenedOutline();
};

namespace {

QList<ObjectId> entries(const Sequence& s)
{
    QList<ObjectId> ids;
    for (int p = 1; p <= s.length(); ++p)
        ids << s.entry(p);
    return ids;
}

}  // namespace

void TestSequences::moves_data()
{
    QTest::addColumn<ObjectId>("item");
    QTest::addColumn<bool>("later");
    QTest::addColumn<bool>("moved");
    QTest::addColumn<QList<ObjectId>>("after");
    QTest::newRow("first earlier") << ObjectId(1) << false << false << QList<ObjectId>{1, 2, 3};
    QTest::newRow("last later") << ObjectId(3) << true << false << QList<ObjectId>{1, 2, 3};
    QTest::newRow("first later") << ObjectId(1) << true << true << QList<ObjectId>{2, 1, 3};
    QTest::newRow("last earlier") << ObjectId(3) << false << true << QList<ObjectId>{1, 3, 2};
    QTest::newRow("not in it") << ObjectId(9) << false << false << QList<ObjectId>{1, 2, 3};
}

void TestSequences::moves()
{
    QFETCH(ObjectId, item);
    QFETCH(bool, later);
    QFETCH(bool, moved);
    QFETCH(QList<ObjectId>, after);
    Sequence s;
    for (ObjectId id : {1, 2, 3})
        s.append(id, true);
    QCOMPARE(later ? moveLater(s, item) : moveEarlier(s, item), moved);
    QCOMPARE(entries(s), after);
}

void TestSequences::pictureMenuAndOrderButtons()
{
    WindowFixture f;
    f.beginOutline();
    Outline& o = f.doc().outline;
    o.createFrame(QRect(10, 40, 300, 300), QStringLiteral("A"));
    o.createFrame(QRect(400, 40, 150, 150), QStringLiteral("B"));
    for (int i = 0; i < 3; ++i)
        o.createPicture(QRect(10 + 60 * i, 20, 50, 50), 1);
    f.window->outlineView()->sync();
    const ObjectId p1 = o.picture(1).id, p2 = o.picture(2).id, p3 = o.picture(3).id;
    const int step = f.doc().history.currentStep;
    f.doc().state.modified = false;

    // "Вперед" on the last picture and "Назад" on the first change nothing.
    f.doc().interaction.currentObject = p3;
    f.command(Command::PictureLater)->trigger();
    f.doc().interaction.currentObject = p1;
    f.command(Command::PictureEarlier)->trigger();
    QCOMPARE(entries(o.objectSequence()), (QList<ObjectId>{p1, p2, p3}));
    QVERIFY(!f.doc().state.modified);

    // "Вперед" moves a picture later.
    f.command(Command::PictureLater)->trigger();
    QCOMPARE(entries(o.objectSequence()), (QList<ObjectId>{p2, p1, p3}));
    QVERIFY(f.doc().state.modified);
    QCOMPARE(f.doc().history.currentStep, step);

    // ToolButton24 moves the selected picture earlier, once the object overlay is on.
    f.command(Command::ObjectSequenceButton)->trigger();
    QWidget* w3 = f.widgetOf(p3);
    sendMouse(w3, QEvent::MouseButtonPress, QPoint(5, 5), Qt::RightButton);
    f.window->popupMenu(Menu::Picture)->hide();
    QVERIFY(f.window->selectionHandles()->blueSetVisible());
    QVERIFY(f.command(Command::MoveEarlierButton)->isEnabled());
    f.command(Command::MoveEarlierButton)->trigger();
    QCOMPARE(entries(o.objectSequence()), (QList<ObjectId>{p2, p3, p1}));
    f.command(Command::MoveLaterButton)->trigger();
    f.command(Command::MoveLaterButton)->trigger();  // already last
    QCOMPARE(entries(o.objectSequence()), (QList<ObjectId>{p2, p1, p3}));

    // With only the black set shown, the pressed frame moves among the frames.
    QWidget* frame = f.widgetOf(o.frame(1).id);
    sendMouse(frame, QEvent::MouseButtonPress, QPoint(250, 250), Qt::LeftButton);
    sendMouse(frame, QEvent::MouseButtonRelease, QPoint(250, 250), Qt::LeftButton);
    QVERIFY(!f.window->selectionHandles()->blueSetVisible());
    f.command(Command::MoveLaterButton)->trigger();
    QCOMPARE(entries(o.frameSequence()), (QList<ObjectId>{o.frame(2).id, o.frame(1).id}));

    // A deleted picture leaves the sequence; the others close up.
    f.doc().interaction.currentObject = p1;
    f.dialogs.answers.push_back(QMessageBox::Yes);
    f.command(Command::DeletePicture)->trigger();
    QCOMPARE(entries(o.objectSequence()), (QList<ObjectId>{p2, p3}));
}

void TestSequences::newOutlineAndReopenedOutline()
{
    WindowFixture f;
    f.dialogs.inputs.push_back(QStringLiteral("Порядок"));
    f.command(Command::NewOutline)->trigger();
    Outline& o = f.doc().outline;
    QCOMPARE(o.count(ObjectKind::Frame), 10);
    QList<ObjectId> frames;
    for (int k = 1; k <= 10; ++k)
        frames << o.frame(k).id;
    QCOMPARE(entries(o.frameSequence()), frames);

    const QString path = f.home.filePath(QStringLiteral("order.vmd"));
    f.dialogs.files.push_back(Dialogs::FileChoice{path, 1});
    f.command(Command::SaveAs)->trigger();
    f.dialogs.files.push_back(Dialogs::FileChoice{path, 1});
    f.command(Command::Open)->trigger();
    QCOMPARE(o.frameSequence().length(), 10);
    f.doc().interaction.creationPoint = QPoint(100, 100);
    f.command(Command::CreateFrame)->trigger();
    QCOMPARE(o.frameSequence().length(), 11);
    QCOMPARE(o.frameSequence().entry(11), o.frame(11).id);
}

QTEST_MAIN(TestSequences)
#include "test_sequences.moc"
