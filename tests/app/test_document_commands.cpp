// New, Open, Save, Save as, Close and closing the window, undo/redo and the outline zoom, driven
// through the real window's commands with scripted dialogs.
#include "canvas/canvas_widget.h"
#include "canvas/object_widgets.h"
#include "canvas/outline_view.h"
#include "canvas/selection_handles.h"
#include "storage/jpeg_codec.h"
#include "storage/outline_io.h"
#include "storage/snapshot_files.h"
#include "support/old_format_writer.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTest>
#include <QTextEdit>

using namespace velmar;

class TestDocumentCommands : public QObject {
    Q_OBJECT
private slots:
    void newCreatesTheTenFrames();
    void newAsksAboutUnsavedWorkAndExistingNames();
    void saveAsNamesTheFileAndTheOutline();
    void failedSaveKeepsTheOutlineModified();
    void failedSaveAsAndCancelledNewLeaveTheDocumentAsItWas();
    void openRefusedFileKeepsTheOutline();
    void openOldFormatThenSaveWritesVmd();
    void undoAndRedo();
    void closeAndCloseBox();
    void newAndCloseLeaveNoSelectionOrOrderBehind();
    void zoomFollowsTheWindow();
    void typedTextIsKeptAndClosingLeavesNoSnapshots();
    void switchesKeepOneStateThroughUndoOpenAndNew();

private:
    static void startNew(WindowFixture& f, const QString& name = QStringLiteral("Урок"))
    {
        f.dialogs.inputs.push_back(name);
        f.window->command(Command::NewOutline)->trigger();
    }
};

void TestDocumentCommands::newCreatesTheTenFrames()
{
    WindowFixture f;
    startNew(f);
    const Outline& o = f.doc().outline;
    QCOMPARE(o.count(ObjectKind::Frame), 10);
    const QSize client = f.window->canvas()->size();
    const int W = client.width() / 4, Q = (client.height() - 31) / 4;
    QCOMPARE(o.frame(1).title, QStringLiteral("Наблюдения"));
    QCOMPARE(o.frame(4).title, QStringLiteral("Связи величин"));
    QCOMPARE(o.frame(4).minimalText, QStringLiteral("Связи"));
    QCOMPARE(o.frame(10).minimalText, QStringLiteral("Технологические процессы"));
    // Geometry before the grid of 2 snaps it.
    auto snap = [](QRect r) { return QRect(r.x() / 2 * 2, r.y() / 2 * 2, r.width() / 2 * 2, r.height() / 2 * 2); };
    QCOMPARE(o.frame(3).bounds, snap(QRect(2 * W + 2, 34, 2 * W - 4, Q - 2)));
    QCOMPARE(o.frame(7).bounds, snap(QRect(3 * W + 2, 3 * Q + 34, W - 4, Q - 2)));
    QCOMPARE(o.frameSequence().length(), 10);
    QCOMPARE(o.frameSequence().entry(10), o.frame(10).id);
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Логический конспект (Урок)"));
    QVERIFY(f.doc().state.modified);  // a new outline is unsaved from its first moment
    QCOMPARE(f.doc().history.currentStep, 0);
    QVERIFY(QFileInfo::exists(QDir(snapshotFolder(f.doc())).filePath(QStringLiteral("temp0.tm1"))));
    QVERIFY(f.command("settingsMenu")->isEnabled());
    QVERIFY(f.command(Command::EditModeButton)->isEnabled());
    QVERIFY(!f.command(Command::Undo)->isEnabled());
    QVERIFY(!f.command(Command::FrameTitlesButton)->isEnabled());
    QCOMPARE(f.dialogs.questions.size(), 0);
}

void TestDocumentCommands::newAsksAboutUnsavedWorkAndExistingNames()
{
    WindowFixture f;
    startNew(f);
    // Yes saves (here through Save as) and ends the command.
    f.dialogs.answers = {QMessageBox::Yes};
    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("first")), 1});
    f.window->command(Command::NewOutline)->trigger();
    QVERIFY(QFileInfo::exists(f.home.filePath(QStringLiteral("first.vmd"))));
    QCOMPARE(f.dialogs.inputs.size(), std::size_t(0));
    QVERIFY(!f.doc().state.modified);

    // An existing folder in Project: Cancel asks again, No stops, Yes goes on.
    QVERIFY(QDir(f.home.path()).mkpath(QStringLiteral("Project/Физика")));
    f.doc().outline.frame(1).title = QStringLiteral("метка");
    f.dialogs.inputs = {QStringLiteral("Физика"), QStringLiteral("Физика")};
    f.dialogs.answers = {QMessageBox::Cancel, QMessageBox::No};
    f.window->command(Command::NewOutline)->trigger();
    QCOMPARE(f.dialogs.questions.last().text, QStringLiteral("Данный конспект уже существует. Желаете заменить?"));
    QCOMPARE(f.doc().outline.frame(1).title, QStringLiteral("метка"));  // unchanged on the canvas
    f.dialogs.inputs = {QStringLiteral("Физика")};
    f.dialogs.answers = {QMessageBox::Yes};
    f.window->command(Command::NewOutline)->trigger();
    QCOMPARE(f.doc().outline.frame(1).title, QStringLiteral("Наблюдения"));
    QCOMPARE(f.doc().state.outlineName, QStringLiteral("Физика"));
}

void TestDocumentCommands::saveAsNamesTheFileAndTheOutline()
{
    WindowFixture f;
    startNew(f);
    const QString caption = f.window->windowTitle();
    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("урок")), 1});
    f.command(Command::SaveAs)->trigger();
    const QString written = f.home.filePath(QStringLiteral("урок.vmd"));
    QVERIFY(QFileInfo::exists(written));
    QCOMPARE(f.doc().state.outlineName, QStringLiteral("урок"));
    QCOMPARE(f.doc().state.fileName, written);
    QCOMPARE(f.window->windowTitle(), caption);
    QVERIFY(!f.doc().state.modified);
    QVERIFY(!f.command(Command::SaveButton)->isEnabled());

    // The file holds the outline: read it back.
    const LoadResult back = readOutlineFile(written, defaultWindowChrome());
    QVERIFY(back.ok);
    QCOMPARE(back.outline.count(ObjectKind::Frame), 10);
    QCOMPARE(back.outlineName, QStringLiteral("урок"));

    // A typed extension stays in the outline name; the file still ends in .vmd.
    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("второй.txt")), 1});
    f.window->command(Command::SaveAs)->trigger();
    QVERIFY(QFileInfo::exists(f.home.filePath(QStringLiteral("второй.vmd"))));
    QCOMPARE(f.doc().state.outlineName, QStringLiteral("второй.txt"));
}

void TestDocumentCommands::failedSaveKeepsTheOutlineModified()
{
    WindowFixture f;
    startNew(f);
    QVERIFY(QDir(f.home.path()).mkdir(QStringLiteral("blocked.vmd")));  // a folder where the file should go
    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("blocked")), 1});
    f.window->command(Command::SaveAs)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages.first().text.contains(QStringLiteral("blocked.vmd")));
    QVERIFY(f.doc().state.modified);
    QVERIFY(f.command(Command::SaveButton)->isEnabled());
}

void TestDocumentCommands::failedSaveAsAndCancelledNewLeaveTheDocumentAsItWas()
{
    WindowFixture f;
    startNew(f);
    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("урок")), 1});
    f.command(Command::SaveAs)->trigger();
    const QString saved = f.home.filePath(QStringLiteral("урок.vmd"));
    QCOMPARE(f.doc().state.fileName, saved);
    f.doc().outline.frame(1).bounds.moveTo(20, 60);
    f.window->documents().recordStep(StepKind::HeaderOnly);

    // Save as into a folder that does not exist fails: name, file and the file flag stay.
    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("нет/другой")), 1});
    f.command(Command::SaveAs)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.doc().state.fileName, saved);
    QCOMPARE(f.doc().state.outlineName, QStringLiteral("урок"));
    QVERIFY(f.doc().state.hasFileName);
    QVERIFY(f.doc().state.modified);

    // New, cancelled at the name: the outline keeps its history and can still be undone.
    f.dialogs.answers = {QMessageBox::No};
    f.window->command(Command::NewOutline)->trigger();
    QCOMPARE(f.dialogs.inputs.size(), std::size_t(0));
    QCOMPARE(f.doc().history.currentStep, 1);
    QVERIFY(f.command(Command::Undo)->isEnabled());
    QCOMPARE(f.doc().state.outlineName, QStringLiteral("урок"));
    QVERIFY(f.doc().state.hasFileName);
    QVERIFY(f.doc().state.modified);  // still unsaved: closing must still ask
    f.command(Command::Undo)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.doc().outline.frame(1).bounds.topLeft(), QPoint(2, 34));
}

void TestDocumentCommands::openRefusedFileKeepsTheOutline()
{
    WindowFixture f;
    // An outline with a photo, opened from its file: an Open lets go of the pictures it replaces
    // only once the new file's record is accepted.
    const auto writePhoto = [&f](const QString& name, Qt::GlobalColor colour) {
        Document made;
        made.state.windowSize = f.window->size();
        made.outline.setClientSize(f.window->canvas()->size());
        made.outline.createFrame(QRect(10, 40, 200, 150), QStringLiteral("Фото"));
        made.outline.createPicture(QRect(10, 20, 160, 120), 1);
        QImage photo(320, 240, QImage::Format_RGB32);
        photo.fill(colour);
        made.outline.picture(1).setJpegStream(encodeJpeg(photo, 90));
        const QString path = f.home.filePath(name);
        return writeOutlineFile(path, made).ok ? path : QString();
    };
    const auto shownColour = [&f] {
        auto* w = qobject_cast<PictureWidget*>(f.widgetOf(f.doc().outline.picture(1).id));
        return w ? QColor(w->rendering().pixel(80, 60)) : QColor();
    };
    const auto isNear = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 24;
    };
    const QString red = writePhoto(QStringLiteral("red.vmd"), Qt::red);
    const QString blue = writePhoto(QStringLiteral("blue.vmd"), Qt::blue);
    f.dialogs.files.push_back(Dialogs::FileChoice{red, 1});
    f.window->command(Command::Open)->trigger();
    QVERIFY(f.dialogs.messages.isEmpty());
    QVERIFY(isNear(shownColour(), Qt::red));
    const QByteArray stream = f.doc().outline.picture(1).jpegStream();
    QVERIFY(!stream.isEmpty());

    // A file of a later version, refused for its record, leaves the photo and its stream as they
    // were.
    QByteArray bytes(597496, '\0');
    bytes[0] = 3;
    bytes[1] = '4';
    bytes[2] = '.';
    bytes[3] = '0';
    const QString old = f.home.filePath(QStringLiteral("old.vmd"));
    QFile file(old);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    f.dialogs.files.push_back(Dialogs::FileChoice{old, 1});
    f.window->command(Command::Open)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 1);
    f.dialogs.messages.clear();
    QCOMPARE(f.doc().outline.count(ObjectKind::Picture), 1);
    QCOMPARE(f.doc().outline.picture(1).jpegStream(), stream);
    QVERIFY(isNear(shownColour(), Qt::red));

    // Accepted, the next file's photo is shown, and the same file opened again shows its own.
    for (const auto& [path, colour] : {std::pair{blue, Qt::blue}, std::pair{blue, Qt::blue}, std::pair{red, Qt::red}}) {
        f.dialogs.files.push_back(Dialogs::FileChoice{path, 1});
        f.window->command(Command::Open)->trigger();
        QVERIFY(f.dialogs.messages.isEmpty());
        QVERIFY2(isNear(shownColour(), colour), qPrintable(QFileInfo(path).fileName()));
        QVERIFY(!f.doc().outline.picture(1).jpegStream().isEmpty());
    }

    startNew(f);
    f.doc().state.modified = false;
    f.dialogs.files.push_back(Dialogs::FileChoice{old, 1});
    f.window->command(Command::Open)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages.first().text.startsWith(
        QStringLiteral("Не поддерживаемая версия файла\n\rВерсия программы \"4.1\"")));
    QCOMPARE(f.doc().outline.count(ObjectKind::Frame), 10);
    QCOMPARE(f.doc().state.outlineName, QStringLiteral("Урок"));
}

void TestDocumentCommands::openOldFormatThenSaveWritesVmd()
{
    WindowFixture f;
    oldformat::Outline old;
    old.name = QStringLiteral("Старый урок");
    old.frames << oldformat::Frame{QRect(10, 40, 200, 150),      0x0000FFFF, 0, 2, 0, QStringLiteral("Опыты"), 1,
                                   QStringLiteral("Что видели"), 1};
    oldformat::TextField text;
    text.parent = 1;
    text.bounds = QRect(10, 30, 100, 40);
    text.text = QStringLiteral("строка 1\r\nстрока 2");
    text.sequencePosition = 2;
    old.textFields << text;
    QImage photo(30, 20, QImage::Format_RGB32);
    photo.fill(Qt::blue);
    oldformat::Picture picture;
    picture.parent = 1;
    picture.bounds = QRect(20, 80, 60, 40);
    picture.sequencePosition = 1;
    picture.stream = encodeJpeg(photo);
    old.pictures << picture;
    const QString vmc = f.home.filePath(QStringLiteral("урок.vmc"));
    QVERIFY(oldformat::writeFiles(old, vmc));
    auto bytesOf = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray vmcBefore = bytesOf(vmc), blcBefore = bytesOf(f.home.filePath(QStringLiteral("урок.blc")));

    f.dialogs.files.push_back(Dialogs::FileChoice{vmc, 2});
    f.window->command(Command::Open)->trigger();
    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));
    const Outline& o = f.doc().outline;
    QCOMPARE(o.count(ObjectKind::Frame), 1);
    QCOMPARE(o.textField(1).text, QStringLiteral("строка 1\r\nстрока 2"));
    QCOMPARE(o.picture(1).bitmap().size(), QSize(30, 20));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Логический конспект (Старый урок)"));

    f.window->command(Command::Save)->trigger();  // Save enabled through the menu after opening
    const QString vmd = f.home.filePath(QStringLiteral("урок.vmd"));
    QVERIFY(QFileInfo::exists(vmd));
    QCOMPARE(f.doc().state.fileName, vmd);
    QCOMPARE(bytesOf(vmc), vmcBefore);
    QCOMPARE(bytesOf(f.home.filePath(QStringLiteral("урок.blc"))), blcBefore);
    const LoadResult back = readOutlineFile(vmd, defaultWindowChrome());
    QVERIFY(back.ok);
    QCOMPARE(back.outline.frame(1).minimalText, QStringLiteral("Что видели"));
    QCOMPARE(back.outline.objectSequence().entry(1), back.outline.picture(1).id);
}

void TestDocumentCommands::undoAndRedo()
{
    WindowFixture f;
    startNew(f);
    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("u")), 1});
    f.window->command(Command::SaveAs)->trigger();  // saved at step 0
    const QRect first = f.doc().outline.frame(1).bounds;
    f.doc().outline.frame(1).bounds.translate(20, 10);
    f.window->documents().recordStep(StepKind::HeaderOnly);  // step 1, header only
    QVERIFY(QFileInfo::exists(QDir(snapshotFolder(f.doc())).filePath(QStringLiteral("temp1.tm2"))));
    QVERIFY(f.window->command(Command::Undo)->isEnabled());
    QVERIFY(!f.window->command(Command::Redo)->isEnabled());

    f.command(Command::Undo)->trigger();
    QCOMPARE(f.doc().outline.frame(1).bounds, first);
    QCOMPARE(f.doc().history.currentStep, 0);
    QVERIFY(!f.doc().state.modified);  // back at the saved step
    QVERIFY(!f.window->command(Command::Undo)->isEnabled());
    QVERIFY(f.window->command(Command::Redo)->isEnabled());
    QCOMPARE(f.window->outlineView()->widget(f.doc().outline.frame(1).id)->geometry(), first);

    f.command(Command::Redo)->trigger();
    QCOMPARE(f.doc().outline.frame(1).bounds, first.translated(20, 10));
    QVERIFY(f.doc().state.modified);  // a step beyond the saved one is unsaved work
}

void TestDocumentCommands::closeAndCloseBox()
{
    WindowFixture f;
    startNew(f);
    // Cancel keeps everything; No closes the outline without saving.
    f.dialogs.answers = {QMessageBox::Cancel};
    f.window->command(Command::Close)->trigger();
    QCOMPARE(f.doc().outline.count(ObjectKind::Frame), 10);
    f.doc().outline.frame(1).bounds.translate(20, 10);
    f.window->documents().recordStep(StepKind::HeaderOnly);
    QVERIFY(f.window->command(Command::Undo)->isEnabled() && f.window->command(Command::Print)->isEnabled());
    f.dialogs.answers = {QMessageBox::No};
    f.window->command(Command::Close)->trigger();
    QCOMPARE(f.doc().outline.count(ObjectKind::Frame), 0);
    // Every command of the outline goes with it, undo too, though its steps are still on disk.
    QVERIFY(!f.window->commands().menu(Menu::Settings)->menuAction()->isEnabled());
    for (Command gone :
         {Command::SaveAs, Command::Save, Command::SaveButton, Command::ExportPicture, Command::ExportWebPage,
          Command::Print, Command::PrintPreview, Command::Close, Command::Undo, Command::Redo, Command::EditModeButton})
        QVERIFY2(!f.command(gone)->isEnabled(), qPrintable(f.command(gone)->objectName()));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Логический конспект (Урок)"));

    // The close box asks when modified; a cancelled Save as keeps the window open.
    startNew(f, QStringLiteral("Второй"));
    f.dialogs.answers = {QMessageBox::Yes};
    QVERIFY(!f.window->close());
    QVERIFY(f.window->isVisible());
    f.dialogs.answers = {QMessageBox::No};
    const QString folder = snapshotFolder(f.doc());
    QVERIFY(f.window->close());
    QVERIFY(QDir(folder).entryList({QStringLiteral("temp*.tm*")}).isEmpty());
}

void TestDocumentCommands::newAndCloseLeaveNoSelectionOrOrderBehind()
{
    // Handles and reading order belong to the objects; when New or Close removes the objects,
    // neither stays behind pointing at nothing.
    WindowFixture f;
    startNew(f);
    const auto selectFirstFrame = [&f] {
        QWidget* frame = f.widgetOf(f.doc().outline.frame(1).id);
        sendMouse(frame, QEvent::MouseButtonPress, QPoint(40, 40), Qt::LeftButton);
        sendMouse(frame, QEvent::MouseButtonRelease, QPoint(40, 40), Qt::LeftButton);
        QVERIFY(f.window->selectionHandles()->blackSetVisible());
    };
    selectFirstFrame();
    f.dialogs.answers = {QMessageBox::No};
    startNew(f, QStringLiteral("Второй"));
    QVERIFY(!f.window->selectionHandles()->blackSetVisible());
    QCOMPARE(f.doc().interaction.outerSelection, ObjectId(0));

    selectFirstFrame();
    f.dialogs.answers = {QMessageBox::No};
    f.window->command(Command::Close)->trigger();
    QVERIFY(!f.window->selectionHandles()->blackSetVisible());
    QCOMPARE(f.doc().outline.frameSequence().length(), 0);
    QCOMPARE(f.doc().outline.objectSequence().length(), 0);
}

void TestDocumentCommands::zoomFollowsTheWindow()
{
    WindowFixture f;
    startNew(f);
    const QRect before = f.doc().outline.frame(2).bounds;
    const QSize client = f.window->canvas()->size();
    f.window->resize(f.window->width() + client.width(), f.window->height());  // twice the client width
    QTRY_COMPARE(f.window->canvas()->width(), 2 * client.width());
    const QRect after = f.doc().outline.frame(2).bounds;
    QVERIFY(qAbs(after.left() - 2 * before.left()) <= 2);
    QVERIFY(qAbs(after.width() - 2 * before.width()) <= 2);
    QCOMPARE(after.height(), before.height());
    // Back to the reference size: everything returns.
    f.window->resize(f.window->width() - client.width(), f.window->height());
    QTRY_COMPARE(f.doc().outline.frame(2).bounds, before);

    // Zoom off: resizing moves nothing.
    f.command(Command::ZoomButton)->trigger();
    QVERIFY(!f.window->command(Command::Zoom)->isChecked());
    f.window->resize(f.window->width() + 100, f.window->height() + 60);
    QTRY_COMPARE(f.window->canvas()->width(), client.width() + 100);
    QCOMPARE(f.doc().outline.frame(2).bounds, before);
}

void TestDocumentCommands::typedTextIsKeptAndClosingLeavesNoSnapshots()
{
    WindowFixture f;
    startNew(f);
    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("t")), 1});
    f.window->command(Command::SaveAs)->trigger();
    f.doc().interaction.currentObject = f.doc().outline.frame(1).id;
    f.doc().interaction.creationPoint = QPoint(10, 20);
    f.window->command(Command::CreateTextField)->trigger();
    f.window->command(Command::Save)->trigger();
    QVERIFY(!f.doc().state.modified);

    auto* text = static_cast<QTextEdit*>(f.window->outlineView()->widget(f.doc().outline.textField(1).id));
    f.window->activateWindow();
    text->setFocus();
    QTest::keyClicks(text, QStringLiteral("abc"));
    QVERIFY(f.doc().outline.textField(1).text.startsWith(QStringLiteral("abc")));
    QVERIFY(f.doc().state.modified);  // typing alone marks the outline modified

    // Closing asks; "Нет" closes without writing any snapshot afterwards.
    f.dialogs.answers = {QMessageBox::No};
    const QString folder = snapshotFolder(f.doc());
    QVERIFY(f.window->close());
    QCOMPARE(f.dialogs.questions.size(), 1);
    f.window.reset();
    QVERIFY(QDir(folder).entryList({QStringLiteral("temp*.tm*")}).isEmpty());
}

void TestDocumentCommands::switchesKeepOneStateThroughUndoOpenAndNew()
{
    WindowFixture f;
    startNew(f);
    // Each switch turned off from a different surface: the button, or the menu item.
    f.command(Command::GridButton)->trigger();
    f.window->command(Command::Zoom)->trigger();
    f.command(Command::EditModeButton)->trigger();
    const auto agree = [&](const char* when) {
        const SessionState& s = f.doc().session;
        const struct {
            Command button;
            Command item;
            bool on;
        } pairs[] = {{Command::GridButton, Command::Grid, s.gridOn},
                     {Command::ZoomButton, Command::Zoom, s.zoomOn},
                     {Command::EditModeButton, Command::EditMode, s.editMode}};
        for (const auto& p : pairs) {
            QVERIFY2(!p.on, when);
            QVERIFY2(!f.command(p.button)->isChecked(), when);
            QVERIFY2(!f.command(p.item)->isChecked(), when);
        }
    };
    agree("switched off");

    // With the grid off, a change keeps an odd position.
    f.doc().outline.frame(1).bounds.moveTo(7, 41);
    f.window->documents().recordStep(StepKind::HeaderOnly);
    QCOMPARE(f.doc().outline.frame(1).bounds.topLeft(), QPoint(7, 41));
    f.window->command(Command::Undo)->trigger();
    agree("after undo");
    f.command(Command::Redo)->trigger();
    QCOMPARE(f.doc().outline.frame(1).bounds.topLeft(), QPoint(7, 41));

    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("switches")), 1});
    f.window->command(Command::SaveAs)->trigger();
    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("switches.vmd")), 1});
    f.command(Command::Open)->trigger();
    QCOMPARE(f.doc().state.outlineName, QStringLiteral("switches"));
    agree("after open");
    QCOMPARE(f.doc().outline.frame(1).bounds.topLeft(), QPoint(7, 41));
    startNew(f, QStringLiteral("Ещё"));
    agree("after new");

    // Turned on again from the other surface, both show it.
    f.window->command(Command::Grid)->trigger();
    QVERIFY(f.doc().session.gridOn);
    QVERIFY(f.command(Command::GridButton)->isChecked());
}

QTEST_MAIN(TestDocumentCommands)
#include "test_document_commands.moc"
