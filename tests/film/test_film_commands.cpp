// The video fragment's pop-up commands on the real window: opening a film, playing, pausing and
// stopping it, the player buttons, full screen, and films after saving, reopening and undo.
#include "canvas/film_panel_widget.h"
#include "canvas/outline_view.h"
#include "film/film_commands.h"
#include "film/film_window.h"
#include "show/presentation_window.h"
#include "storage/history.h"
#include "storage/outline_io.h"
#include "storage/snapshot_files.h"
#include "support/avi_writer.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>

using namespace velmar;

class TestVideoCommands : public QObject {
    Q_OBJECT
private slots:
    void openFilmIntoAFragment();
    void playbackIsNoStepAndNeedsAnOpenPlayer();
    void unopenableFileAndCancel();
    void playerButtonsCommand();
    void fullScreenAndBack();
    void filmsComeBackAfterSavingAndReopening();
    void missingFilmsAreReportedOnceTogether();
    void undoAndRedoBringTheFilmBack();
    void noFilmMessageCoversTheShow();

private:
    // A frame with a video fragment in it, the fragment current; returns the fragment's slot.
    int fragmentInFrame(WindowFixture& f, QPoint framePoint = QPoint(10, 40));
    FilmPanelWidget* panelOf(WindowFixture& f, int slot)
    {
        return qobject_cast<FilmPanelWidget*>(f.widgetOf(f.doc().outline.video(slot).id));
    }
    // Chooses the file in the open dialog of "Открыть файл" on the current fragment.
    void openFilm(WindowFixture& f, const QString& path)
    {
        f.dialogs.files.push_back(Dialogs::FileChoice{path, 1});
        f.command(Command::OpenFilmFile)->trigger();
    }
    QString film(WindowFixture& f, const QString& name, int frames = 30);
};

namespace {

constexpr int kWait = 15000;

// A file named like a film that holds none.
QString writeNotAFilm(WindowFixture& f)
{
    const QString path = QDir(f.home.path()).filePath(QStringLiteral("notes.avi"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(QByteArray("plain text, no film here\n").repeated(40));
    return path;
}

}  // namespace

int TestVideoCommands::fragmentInFrame(WindowFixture& f, QPoint framePoint)
{
    f.doc().interaction.creationPoint = framePoint;
    f.command(Command::CreateFrame)->trigger();
    const int frame = f.doc().outline.count(ObjectKind::Frame);
    f.doc().interaction.currentObject = f.doc().outline.frame(frame).id;
    f.doc().interaction.creationPoint = QPoint(6, 20);
    f.command(Command::CreateFilm)->trigger();
    const int slot = f.doc().outline.count(ObjectKind::Video);
    // A right press on the fragment makes it current, as before its pop-up menu.
    QWidget* panel = f.widgetOf(f.doc().outline.video(slot).id);
    sendMouse(panel, QEvent::MouseButtonPress, QPoint(60, 60), Qt::RightButton);
    sendMouse(panel, QEvent::MouseButtonRelease, QPoint(60, 60), Qt::RightButton);
    if (QMenu* menu = f.window->popupMenu(Menu::Film))
        menu->hide();
    return slot;
}

QString TestVideoCommands::film(WindowFixture& f, const QString& name, int frames)
{
    QList<QColor> colours;
    for (int i = 0; i < frames; ++i)
        colours << (i == 0 ? QColor(Qt::red) : i % 2 ? QColor(Qt::green) : QColor(Qt::blue));
    const QString path = QDir(f.home.path()).filePath(name);
    return avi::writeAvi(path, avi::colourFrames(colours, 48, 36), 10, avi::Codec::Mjpeg) ? path : QString();
}

void TestVideoCommands::openFilmIntoAFragment()
{
    WindowFixture f;
    f.beginOutline();
    const int slot = fragmentInFrame(f);
    const QString path = film(f, QStringLiteral("first.avi"));
    const int step = f.doc().history.currentStep;
    QCOMPARE(f.doc().interaction.currentObject, f.doc().outline.video(slot).id);

    openFilm(f, path);
    QCOMPARE(f.dialogs.fileDialogs, 1);
    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));
    FilmPanelWidget* panel = panelOf(f, slot);
    QCOMPARE(f.doc().outline.video(slot).fileName, path);
    QVERIFY(panel->isOpen());
    QCOMPARE(panel->playbackState(), FilmPlayer::State::Paused);
    QTRY_VERIFY_WITH_TIMEOUT(!panel->picture().isNull(), kWait);
    QCOMPARE(panel->displayRect(), panel->rect());

    // A new film is an undo step written as a complete outline.
    QCOMPARE(f.doc().history.currentStep, step + 1);
    QVERIFY(f.doc().state.modified);
    QVERIFY(QFile::exists(snapshotPathIn(snapshotFolder(f.doc()), step + 1, true)));
}

void TestVideoCommands::playbackIsNoStepAndNeedsAnOpenPlayer()
{
    WindowFixture f;
    f.beginOutline();
    const int empty = fragmentInFrame(f, QPoint(10, 40));
    const int filled = fragmentInFrame(f, QPoint(200, 40));
    openFilm(f, film(f, QStringLiteral("long.avi"), 60));
    FilmPanelWidget* panel = panelOf(f, filled);
    QVERIFY(panel->isOpen());
    f.doc().state.modified = false;
    const int step = f.doc().history.currentStep;

    // Pause on a paused film resumes it; pause again, stop, and pause after stop does nothing.
    f.command(Command::PauseFilm)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(panel->playbackState(), FilmPlayer::State::Playing, kWait);
    const int frames = panel->framesReceived();
    QTRY_VERIFY_WITH_TIMEOUT(panel->framesReceived() > frames + 2, kWait);
    f.command(Command::PauseFilm)->trigger();
    QCOMPARE(panel->playbackState(), FilmPlayer::State::Paused);
    f.command(Command::StopFilm)->trigger();
    QCOMPARE(panel->playbackState(), FilmPlayer::State::Stopped);
    QTRY_COMPARE_WITH_TIMEOUT(panel->position(), qint64(0), kWait);
    f.command(Command::PauseFilm)->trigger();
    QCOMPARE(panel->playbackState(), FilmPlayer::State::Stopped);
    f.command(Command::PlayFilm)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(panel->playbackState(), FilmPlayer::State::Playing, kWait);
    QCOMPARE(f.doc().history.currentStep, step);
    QVERIFY(!f.doc().state.modified);

    // Playback goes on while the user works on the outline, and while another fragment is current.
    const int during = panel->framesReceived();
    f.doc().interaction.creationPoint = QPoint(400, 300);
    f.command(Command::CreateFrame)->trigger();
    QCOMPARE(panel->playbackState(), FilmPlayer::State::Playing);
    QTRY_VERIFY_WITH_TIMEOUT(panel->framesReceived() > during + 2, kWait);

    // The fragment without a film: every player command does nothing.
    f.doc().interaction.currentObject = f.doc().interaction.currentCompanion = f.doc().outline.video(empty).id;
    for (Command command : {Command::PlayFilm, Command::PauseFilm, Command::StopFilm, Command::FilmFullScreen})
        f.command(command)->trigger();
    QVERIFY(!panelOf(f, empty)->player());
    QVERIFY(!f.window->videoCommands()->videoWindow()->isVisible());
    QCOMPARE(panel->playbackState(), FilmPlayer::State::Playing);
    QVERIFY(f.dialogs.messages.isEmpty());
}

void TestVideoCommands::unopenableFileAndCancel()
{
    WindowFixture f;
    f.beginOutline();
    const int slot = fragmentInFrame(f);
    const int step = f.doc().history.currentStep;
    f.doc().state.modified = false;

    // Cancelled: nothing changes.
    f.command(Command::OpenFilmFile)->trigger();
    QCOMPARE(f.dialogs.fileDialogs, 1);
    QVERIFY(f.doc().outline.video(slot).fileName.isEmpty());
    QCOMPARE(panelOf(f, slot)->openState(), FilmPanelWidget::OpenState::Closed);

    // Not a film: the framework's reason in one message; the name stays, closed, no step.
    const QString bad = QDir(f.home.path()).filePath(QStringLiteral("notes.avi"));
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("plain text, no film here\n").repeated(40));
    file.close();
    openFilm(f, bad);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages.first().caption, QStringLiteral("Ошибка"));
    QVERIFY(f.dialogs.messages.first().text.startsWith(QStringLiteral("Не удалось открыть видеофайл «") + bad + "»: "));
    QCOMPARE(f.doc().outline.video(slot).fileName, bad);
    FilmPanelWidget* panel = panelOf(f, slot);
    QCOMPARE(panel->openState(), FilmPanelWidget::OpenState::Failed);
    QCOMPARE(panel->fileName(), bad);
    QCOMPARE(f.doc().history.currentStep, step);
    QVERIFY(!f.doc().state.modified);
    f.command(Command::FilmFullScreen)->trigger();
    QVERIFY(!f.window->videoCommands()->videoWindow()->isVisible());

    // A later sync does not try the same name again, and no second report follows: had it tried,
    // the films would settle only once it failed again and was reported.
    f.window->outlineView()->sync();
    QTRY_VERIFY_WITH_TIMEOUT(f.window->videoCommands()->settled(), kWait);
    QCOMPARE(f.dialogs.messages.size(), 1);

    // A missing file is named as such.
    openFilm(f, QDir(f.home.path()).filePath(QStringLiteral("gone.avi")));
    QCOMPARE(f.dialogs.messages.size(), 2);
    QVERIFY(f.dialogs.messages.last().text.endsWith(QStringLiteral("»: файл не найден.")));

    // A film whose name an outline file cannot keep is refused before anything changes.
    const QString good = film(f, QStringLiteral("фильм.avi"));
    for (const QString& name : {QString(240, QLatin1Char('x')) + QStringLiteral(".avi")}) {
        const QString path = QDir(f.home.path()).filePath(name);
        QVERIFY(QFile::copy(good, path));
        const int before = f.dialogs.messages.size();
        openFilm(f, path);
        QCOMPARE(f.dialogs.messages.size(), before + 1);
        QVERIFY(f.dialogs.messages.last().text.contains(QStringLiteral("нельзя связать")));
        QCOMPARE(f.doc().outline.video(slot).fileName, QDir(f.home.path()).filePath(QStringLiteral("gone.avi")));
    }
    // A Cyrillic name is fine, and so is one beyond Windows-1251, which the file keeps whole.
    openFilm(f, good);
    QVERIFY(panelOf(f, slot)->isOpen());
    QCOMPARE(f.doc().history.currentStep, step + 1);
    const QString unicode = QDir(f.home.path()).filePath(QStringLiteral("映画.avi"));
    QVERIFY(QFile::copy(good, unicode));
    openFilm(f, unicode);
    QCOMPARE(f.doc().outline.video(slot).fileName, unicode);

    // A film whose first picture reads well but which the media framework will not play (its
    // main header is gone) opens, and fails with a message when played: no step, still open.
    QFile headless(QDir(f.home.path()).filePath(QStringLiteral("headless.avi")));
    QVERIFY(QFile::copy(good, headless.fileName()));
    QVERIFY(headless.open(QIODevice::ReadWrite));
    QByteArray bytes = headless.readAll();
    bytes.replace(int(bytes.indexOf("avih")), 4, "JUNK");
    QVERIFY(headless.seek(0));
    headless.write(bytes);
    headless.close();
    const int messages = f.dialogs.messages.size();
    openFilm(f, headless.fileName());
    QCOMPARE(f.dialogs.messages.size(), messages);
    const int opened = f.doc().history.currentStep;
    f.command(Command::PlayFilm)->trigger();
    // The framework either fails it or is given up on after its time.
    QTRY_COMPARE_WITH_TIMEOUT(f.dialogs.messages.size(), messages + 1, kWait + 10000);
    QCOMPARE(f.dialogs.messages.last().caption, QStringLiteral("Ошибка"));
    QVERIFY(f.dialogs.messages.last().text.startsWith(QStringLiteral("Не удалось открыть видеофайл «")
                                                      + headless.fileName()));
    QCOMPARE(panelOf(f, slot)->playbackState(), FilmPlayer::State::Stopped);
    QVERIFY(panelOf(f, slot)->isOpen());
    QCOMPARE(f.doc().history.currentStep, opened);
}

void TestVideoCommands::playerButtonsCommand()
{
    WindowFixture f;
    f.beginOutline();
    const int slot = fragmentInFrame(f);
    QAction* item = f.command(Command::PlayerButtons);
    QVERIFY(item->isCheckable());
    QVERIFY(item->isChecked());
    QVERIFY(panelOf(f, slot)->playerBar()->isVisible());
    const int step = f.doc().history.currentStep;

    item->trigger();
    QVERIFY(!f.doc().outline.video(slot).playerVisible);
    QVERIFY(!panelOf(f, slot)->playerBar()->isVisible());
    QCOMPARE(f.doc().history.currentStep, step + 1);

    // A press on the fragment shows the bar's state in the item.
    fragmentInFrame(f, QPoint(200, 40));
    QVERIFY(item->isChecked());
    QWidget* first = panelOf(f, slot);
    sendMouse(first, QEvent::MouseButtonPress, QPoint(50, 50), Qt::RightButton);
    sendMouse(first, QEvent::MouseButtonRelease, QPoint(50, 50), Qt::RightButton);
    f.window->popupMenu(Menu::Film)->hide();
    QVERIFY(!item->isChecked());
    item->trigger();
    QVERIFY(f.doc().outline.video(slot).playerVisible);
    QVERIFY(panelOf(f, slot)->playerBar()->isVisible());
}

void TestVideoCommands::fullScreenAndBack()
{
    WindowFixture f;
    f.beginOutline();
    const int slot = fragmentInFrame(f);
    FilmWindow* form5 = f.window->videoCommands()->videoWindow();
    QCOMPARE(form5->objectName(), QStringLiteral("Form5"));
    QCOMPARE(form5->windowTitle(), QStringLiteral("Видео"));
    // The window's commands are its own, not the main window's items of the same names.
    QAction* play = form5->findChild<QAction*>(QStringLiteral("N1"));
    QAction* pause = form5->findChild<QAction*>(QStringLiteral("N3"));
    QAction* stop = form5->findChild<QAction*>(QStringLiteral("N2"));
    QVERIFY(play && pause && stop);
    QCOMPARE(play->text(), QStringLiteral("Воспроизвести"));
    QVERIFY(f.command(Command::CreateFrame) != play);

    f.command(Command::FilmFullScreen)->trigger();
    QVERIFY(!form5->isVisible());

    openFilm(f, film(f, QStringLiteral("big.avi"), 60));
    FilmPanelWidget* panel = panelOf(f, slot);
    QTRY_VERIFY_WITH_TIMEOUT(!panel->picture().isNull(), kWait);
    f.command(Command::FilmFullScreen)->trigger();
    QVERIFY(form5->isVisible());
    QVERIFY(form5->isModal());
    QVERIFY(form5->windowState() & Qt::WindowMaximized);
    VideoDisplay* screen = form5->display();
    QCOMPARE(screen->objectName(), QStringLiteral("Panel1"));
    QCOMPARE(panel->display(), screen);
    // The paused picture is there at once, stretched over the whole window.
    QVERIFY(!screen->picture().isNull());
    QTRY_COMPARE_WITH_TIMEOUT(screen->displayRect(), screen->rect(), kWait);

    const QImage onPanel = panel->picture();
    play->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(panel->playbackState(), FilmPlayer::State::Playing, kWait);
    QTRY_VERIFY_WITH_TIMEOUT(screen->picture() != onPanel, kWait);
    pause->trigger();
    QCOMPARE(panel->playbackState(), FilmPlayer::State::Paused);
    pause->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(panel->playbackState(), FilmPlayer::State::Playing, kWait);
    stop->trigger();
    QCOMPARE(panel->playbackState(), FilmPlayer::State::Stopped);

    // Any press on the picture opens the window's menu.
    sendMouse(screen, QEvent::MouseButtonPress, QPoint(30, 30), Qt::MiddleButton);
    QVERIFY(form5->popupMenu()->isVisible());
    QCOMPARE(form5->popupMenu()->actions(), (QList<QAction*>{play, pause, stop}));
    form5->popupMenu()->hide();

    // Closing returns the picture to the panel, over its whole client area.
    form5->close();
    QVERIFY(!form5->isVisible());
    QCOMPARE(panel->display(), panel);
    QCOMPARE(panel->picture(), screen->picture());
    QCOMPARE(panel->displayRect(), panel->rect());
    QVERIFY(!form5->source());
    play->trigger();  // nothing to play any more
    QCOMPARE(panel->playbackState(), FilmPlayer::State::Stopped);
}

void TestVideoCommands::filmsComeBackAfterSavingAndReopening()
{
    const QString outline = [] {
        static QTemporaryDir keep;
        return keep.filePath(QStringLiteral("films.vmd"));
    }();
    QString path;
    {
        WindowFixture f;
        f.beginOutline();
        fragmentInFrame(f);
        const int second = fragmentInFrame(f, QPoint(200, 40));
        path = film(f, QStringLiteral("kept.avi"));
        QFile::copy(path, outline + ".avi");
        path = outline + ".avi";
        openFilm(f, path);
        QVERIFY(panelOf(f, second)->isOpen());
        f.dialogs.files.push_back(Dialogs::FileChoice{outline, 1});
        f.command(Command::SaveAs)->trigger();
        QVERIFY(QFile::exists(outline));
    }
    WindowFixture f;
    f.dialogs.files.push_back(Dialogs::FileChoice{outline, 1});
    f.command(Command::Open)->trigger();
    QCOMPARE(f.doc().outline.count(ObjectKind::Video), 2);
    QVERIFY(f.doc().outline.video(1).fileName.isEmpty());
    QCOMPARE(f.doc().outline.video(2).fileName, path);
    // The empty fragment stays closed; the other shows its film's first picture, paused.
    QCOMPARE(panelOf(f, 1)->openState(), FilmPanelWidget::OpenState::Closed);
    FilmPanelWidget* panel = panelOf(f, 2);
    QTRY_VERIFY_WITH_TIMEOUT(panel->isOpen(), kWait);
    QTRY_VERIFY_WITH_TIMEOUT(!panel->picture().isNull(), kWait);
    QCOMPARE(panel->playbackState(), FilmPlayer::State::Paused);
    const QColor centre = panel->picture().pixelColor(panel->picture().width() / 2, panel->picture().height() / 2);
    QVERIFY2(centre.red() > 200 && centre.green() < 60, qPrintable(centre.name()));
    QTRY_VERIFY_WITH_TIMEOUT(f.window->videoCommands()->settled(), kWait);
    QVERIFY(f.dialogs.messages.isEmpty());
    QVERIFY(!f.doc().state.modified);
}

void TestVideoCommands::missingFilmsAreReportedOnceTogether()
{
    static QTemporaryDir keep;
    const QString outline = keep.filePath(QStringLiteral("lost.vmd"));
    const QString lostA = keep.filePath(QStringLiteral("a.avi"));
    const QString lostB = keep.filePath(QStringLiteral("b.avi"));
    const QString kept = keep.filePath(QStringLiteral("kept.avi"));
    {
        WindowFixture f;
        f.beginOutline();
        const QString made = film(f, QStringLiteral("x.avi"), 4);
        for (const QString& copy : {lostA, lostB, kept})
            QVERIFY(QFile::copy(made, copy));
        // Two fragments share one file; one more has another; the last one's file stays.
        for (const QString& name : {lostA, lostA, lostB, kept}) {
            fragmentInFrame(f, QPoint(10 + 160 * (f.doc().outline.count(ObjectKind::Video) % 4), 40));
            openFilm(f, name);
        }
        f.doc().interaction.currentObject = f.doc().outline.frame(1).id;
        f.command(Command::CreateTextField)->trigger();
        f.dialogs.files.push_back(Dialogs::FileChoice{outline, 1});
        f.command(Command::SaveAs)->trigger();
        QVERIFY(f.dialogs.messages.isEmpty());
    }
    QVERIFY(QFile::remove(lostA));
    QVERIFY(QFile::remove(lostB));

    WindowFixture f;
    f.dialogs.files.push_back(Dialogs::FileChoice{outline, 1});
    f.command(Command::Open)->trigger();
    // Everything is loaded: frames, fragments with their names, the text field.
    QCOMPARE(f.doc().outline.count(ObjectKind::Frame), 4);
    QCOMPARE(f.doc().outline.count(ObjectKind::Video), 4);
    QCOMPARE(f.doc().outline.count(ObjectKind::TextField), 1);
    QCOMPARE(f.doc().outline.video(2).fileName, lostA);
    QTRY_VERIFY_WITH_TIMEOUT(panelOf(f, 4)->isOpen(), kWait);

    // One message after loading, each missing file named once.
    QTRY_COMPARE_WITH_TIMEOUT(f.dialogs.messages.size(), 1, kWait);
    const QString text = f.dialogs.messages.first().text;
    QCOMPARE(text.count(lostA), 1);
    QCOMPARE(text.count(lostB), 1);
    QVERIFY(!text.contains(kept));
    QVERIFY(text.startsWith(QStringLiteral("Не удалось открыть видеофайлы:")));
    QVERIFY(f.doc().history.currentStep >= 0);

    // Rebuilding the same outline by undo and redo reports nothing new.
    f.doc().interaction.creationPoint = QPoint(500, 300);
    f.command(Command::CreateFrame)->trigger();
    f.command(Command::Undo)->trigger();
    f.command(Command::Redo)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(f.window->videoCommands()->settled(), kWait);
    QCOMPARE(f.dialogs.messages.size(), 1);

    // Opened again, the outline's missing files are news again.
    f.dialogs.files.push_back(Dialogs::FileChoice{outline, 1});
    f.command(Command::Open)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(f.dialogs.messages.size(), 2, kWait);
}

void TestVideoCommands::undoAndRedoBringTheFilmBack()
{
    WindowFixture f;
    f.beginOutline();
    const int slot = fragmentInFrame(f);
    const QString path = film(f, QStringLiteral("history.avi"));
    openFilm(f, path);
    QVERIFY(panelOf(f, slot)->isOpen());

    f.command(Command::Undo)->trigger();
    QVERIFY(f.doc().outline.video(slot).fileName.isEmpty());
    QCOMPARE(panelOf(f, slot)->openState(), FilmPanelWidget::OpenState::Closed);

    f.command(Command::Redo)->trigger();
    QCOMPARE(f.doc().outline.video(slot).fileName, path);
    FilmPanelWidget* panel = panelOf(f, slot);
    QTRY_VERIFY_WITH_TIMEOUT(panel->isOpen(), kWait);
    QTRY_VERIFY_WITH_TIMEOUT(!panel->picture().isNull(), kWait);
    QCOMPARE(panel->playbackState(), FilmPlayer::State::Paused);
    QVERIFY(f.dialogs.messages.isEmpty());
}

void TestVideoCommands::noFilmMessageCoversTheShow()
{
    // An outline whose film cannot be read, opened, and the show started at once, before the
    // film's opening has come round.
    WindowFixture f;
    const QString bad = writeNotAFilm(f);
    Document doc;
    const int slot = doc.outline.createVideo(QRect(20, 60, 160, 120), 0);
    doc.outline.video(slot).fileName = bad;
    const QString outline = QDir(f.home.path()).filePath(QStringLiteral("show.vmd"));
    QVERIFY(writeOutlineFile(outline, doc).ok);
    f.window->documents().openOutline(outline);
    QCOMPARE(f.doc().outline.count(ObjectKind::Video), 1);
    auto* panel = panelOf(f, 1);
    QVERIFY(panel);
    QCOMPARE(panel->openState(), FilmPanelWidget::OpenState::Opening);
    const int before = int(f.dialogs.messages.size());
    f.command(Command::Present)->trigger();
    QPointer<PresentationWindow> show = f.window->findChild<PresentationWindow*>();
    QVERIFY(show && show->isVisible());

    // The film fails while the show runs: no message over it, however long it runs.
    QTRY_COMPARE_WITH_TIMEOUT(panel->openState(), FilmPanelWidget::OpenState::Failed, kWait);
    QTRY_VERIFY_WITH_TIMEOUT(f.window->videoCommands()->settled(), kWait);
    QCOMPARE(int(f.dialogs.messages.size()), before);
    QVERIFY(show->isVisible());

    // Ended, the show leaves the window, and the message comes, in Russian alone.
    QTest::keyClick(show, Qt::Key_Escape);
    QTRY_VERIFY(show.isNull());
    QTRY_COMPARE(int(f.dialogs.messages.size()), before + 1);
    QString text = f.dialogs.messages.last().text;
    QVERIFY2(text.startsWith(QStringLiteral("Не удалось открыть видеофайл «")), qPrintable(text));
    text.remove(bad);
    QVERIFY2(!text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{3,}"))), qPrintable(text));

    // A failure known before the show is said before it starts, never during it.
    f.window->documents().openOutline(outline);
    QTRY_COMPARE_WITH_TIMEOUT(panelOf(f, 1)->openState(), FilmPanelWidget::OpenState::Failed, kWait);
    const int known = int(f.dialogs.messages.size());
    f.command(Command::Present)->trigger();
    show = f.window->findChild<PresentationWindow*>();
    QVERIFY(show);
    QVERIFY(int(f.dialogs.messages.size()) <= known + 1);
    const int atStart = int(f.dialogs.messages.size());
    QTRY_VERIFY_WITH_TIMEOUT(f.window->videoCommands()->settled(), kWait);
    QCOMPARE(int(f.dialogs.messages.size()), atStart);
    QTest::keyClick(show, Qt::Key_Escape);
    QTRY_VERIFY(show.isNull());
    QTRY_VERIFY_WITH_TIMEOUT(f.window->videoCommands()->settled(), kWait);
    QCOMPARE(int(f.dialogs.messages.size()), atStart);
}

QTEST_MAIN(TestVideoCommands)
#include "test_film_commands.moc"
