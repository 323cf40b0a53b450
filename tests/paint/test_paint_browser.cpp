// The editor's picture browser and file menu driven through the real window: listing, walking
// folders with double-clicks, dragging a picture onto the work area, and new/open/save.
#include "paint/core/floating_piece.h"
#include "paint/editor/paint_editor.h"
#include "paint/paint_browser.h"
#include "paint/paint_picture_view.h"
#include "paint/paint_window.h"
#include "paint/paint_work_area.h"
#include "storage/jpeg_codec.h"
#include "support/scripted_dialogs.h"

#include <QFile>
#include <QListWidget>
#include <QSet>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>

using namespace velmar;
using namespace velmar::paint;

namespace {

QImage filled(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QStringList captions(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// The colour in the middle of a list item's icon.
QColor iconCentre(const QListWidgetItem* item, int side)
{
    const QImage image = item->icon().pixmap(side, side).toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

void doubleClickRow(QListWidget* list, int row)
{
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

}  // namespace

class TestPaintBrowser : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void listsThumbnailsAndWalksFolders();
    void splitterRefreshesEverySecondMove();
    void draggingAPictureOntoTheWorkArea();
    void saveAsksOnceUntilNewOrReopened();
    void failedSaveIsReportedAndAskedAgain();
    void openKeepsTheZoomAndTheFilterPicksTheDecoder();
    void newPaintsTheBackColour();
    void copyToFileSharesTheSaveDialog();
    void saveWritesWhatTheScreenShows();
    void saveNeverWritesOverACopiedPiece();
    void newAndOpenAskFirstAndAreOneUndoStep();
    void onlyRowsNearTheViewKeepThumbnails();

private:
    // An editor window open on a white 120 × 90 picture, browsing `folder`.
    std::unique_ptr<PaintWindow> openWindow(const QString& folder)
    {
        auto w = std::make_unique<PaintWindow>();
        w->browser()->setFolder(folder);
        w->resize(694, 480);
        w->editPicture(filled(QSize(120, 90), Qt::white));
        w->browser()->finishThumbnails();
        return w;
    }

    QTemporaryDir m_cache;
};

void TestPaintBrowser::initTestCase()
{
    // The thumbnails of these tests stay out of the user's cache.
    qputenv("XDG_CACHE_HOME", m_cache.path().toLocal8Bit());
}

void TestPaintBrowser::listsThumbnailsAndWalksFolders()
{
    QTemporaryDir dir;
    const QString root = dir.path();
    QVERIFY(QDir(root).mkdir(QStringLiteral("sub")));
    QVERIFY(filled(QSize(30, 20), Qt::red).save(root + QStringLiteral("/a.bmp"), "BMP"));
    QFile jpeg(root + QStringLiteral("/b.jpg"));
    QVERIFY(jpeg.open(QIODevice::WriteOnly));
    jpeg.write(encodeJpeg(filled(QSize(400, 300), QColor(0, 200, 0))));
    jpeg.close();
    QVERIFY(QFile::copy(root + QStringLiteral("/b.jpg"), root + QStringLiteral("/sub/x.jpeg")));
    QFile broken(root + QStringLiteral("/c.jpeg"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();

    auto w = openWindow(root);
    PictureBrowser* browser = w->browser();
    QListWidget* list = browser->list();
    QCOMPARE(list->objectName(), QStringLiteral("ListView1"));
    QCOMPARE(captions(list), QStringList({"..", "sub", "a", "b", "c."}));
    QCOMPARE(list->count(), 5);
    const int side = browser->thumbSize();
    QCOMPARE(list->iconSize(), QSize(side, side));
    // Thumbnails land on their own rows; the unreadable file keeps a marked placeholder.
    QCOMPARE(iconCentre(list->item(2), side), QColor(Qt::red));
    const QColor green = iconCentre(list->item(3), side);
    QVERIFY2(green.green() > 180 && green.red() < 30, qPrintable(green.name()));
    QCOMPARE(browser->thumbnailCount(), 2);
    QVERIFY(list->item(4)->toolTip().contains(QStringLiteral("не читается")));

    // Into the subfolder, and back up with "..".
    doubleClickRow(list, 1);
    QCOMPARE(browser->folder(), root + QStringLiteral("/sub"));
    QCOMPARE(captions(list), QStringList({"..", "x."}));
    doubleClickRow(list, 0);
    QCOMPARE(browser->folder(), root);
    QCOMPARE(list->count(), 5);
    // A picture item lists the folder again and stays where it is.
    doubleClickRow(list, 3);
    QCOMPARE(browser->folder(), root);
    QCOMPARE(list->count(), 5);
    // With nothing selected a double-click does nothing.
    list->clearSelection();
    const int run = browser->loader().currentRun();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                       QPoint(list->width() - 20, list->height() - 10));
    QCOMPARE(browser->loader().currentRun(), run);
}

void TestPaintBrowser::splitterRefreshesEverySecondMove()
{
    QTemporaryDir dir;
    auto w = openWindow(dir.path());
    PictureBrowser* browser = w->browser();
    auto* splitter = w->findChild<QSplitter*>(QStringLiteral("Splitter1"));
    QVERIFY(splitter);
    const int total = splitter->sizes().at(0) + splitter->sizes().at(1);
    const int run = browser->loader().currentRun();

    splitter->setSizes({total - 200, 200});
    browser->splitterMoved();  // the first report lists anew, at the new width
    QCOMPARE(browser->loader().currentRun(), run + 1);
    QCOMPARE(browser->thumbSize(), thumbSizeForListWidth(browser->list()->width()));
    QVERIFY(browser->thumbSize() > 100);
    splitter->setSizes({total - 90, 90});
    browser->splitterMoved();  // the second does not
    QCOMPARE(browser->loader().currentRun(), run + 1);
    QVERIFY(browser->thumbSize() > 100);
    browser->splitterMoved();  // the third does
    QCOMPARE(browser->loader().currentRun(), run + 2);
    QCOMPARE(browser->thumbSize(), 32);
}

void TestPaintBrowser::draggingAPictureOntoTheWorkArea()
{
    QTemporaryDir dir;
    const QString root = dir.path();
    QVERIFY(QDir(root).mkdir(QStringLiteral("sub")));
    QImage piece = filled(QSize(16, 12), Qt::blue);
    piece.setPixel(0, 0, qRgb(255, 255, 0));
    QVERIFY(piece.save(root + QStringLiteral("/p.bmp"), "BMP"));
    auto w = openWindow(root);
    PictureBrowser* browser = w->browser();
    QListWidget* list = browser->list();
    QWidget* viewport = list->viewport();
    PictureView* picture = w->workArea()->pictureView();
    const QPoint overPicture = viewport->mapFromGlobal(picture->mapToGlobal(picture->rect().center()));
    bool stuck = false;  // a drag outlived its release
    const auto dragRow = [&](int row, QPoint releaseAt) {
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(row)).center());
        const bool dragging = browser->dragging();
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, releaseAt);
        stuck = stuck || browser->dragging();
        return dragging;
    };
    const int states = w->document().history().count();

    // Neither "..", the first item, nor a folder is dragged.
    QVERIFY(!dragRow(0, overPicture));
    QVERIFY(!dragRow(1, overPicture));
    QVERIFY(!w->document().pieceFloating());
    // A picture let go over the list is abandoned.
    QVERIFY(dragRow(2, QPoint(5, 5)));
    QVERIFY(!w->document().pieceFloating());
    QCOMPARE(w->document().history().count(), states);

    QVERIFY(dragRow(2, overPicture));
    QVERIFY(w->document().pieceFloating());
    QCOMPARE(w->document().currentTool(), ToolId::Selection);
    QCOMPARE(w->document().piece().copy(), piece);
    QCOMPARE(w->document().pieceRect().topLeft(), QPoint(0, 0));  // the work area's (2, 2)
    QCOMPARE(w->document().history().count(), states + 1);
    QVERIFY(!stuck);
    // Put down, it lies at the picture's corner.
    w->editor().putDownPiece();
    QCOMPARE(w->document().picture().pixel(0, 0), qRgb(255, 255, 0));
    QCOMPARE(w->document().picture().pixel(15, 11), qRgb(0, 0, 255));
    QCOMPARE(w->document().picture().pixel(16, 12), qRgb(255, 255, 255));
}

void TestPaintBrowser::saveAsksOnceUntilNewOrReopened()
{
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    auto w = openWindow(dir.path());
    QAction* save = w->command(PaintCommand::Save);
    QCOMPARE(save->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    const QString first = dir.path() + QStringLiteral("/first.png");  // saved as first.bmp

    // A cancelled first save writes nothing, and the next save asks again.
    w->command(PaintCommand::New)->trigger();
    save->trigger();
    QCOMPARE(dialogs.fileDialogs, 1);
    QVERIFY(!w->savedOnce());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 0);

    dialogs.files.push_back(Dialogs::FileChoice{first, 1});
    save->trigger();
    QCOMPARE(dialogs.fileDialogs, 2);
    QVERIFY(w->savedOnce());
    const QString written = dir.path() + QStringLiteral("/first.bmp");
    QCOMPARE(QImage(written).size(), QSize(120, 90));

    // The second save writes the picture as it is now without asking.
    w->document().mutablePicture().fill(Qt::red);
    save->trigger();
    QCOMPARE(dialogs.fileDialogs, 2);
    QCOMPARE(QImage(written).pixelColor(5, 5), QColor(Qt::red));

    // "Сохранить как..." asks, keeps the name's folder, and leaves the flag alone.
    dialogs.files.push_back(Dialogs::FileChoice{dir.path() + QStringLiteral("/other"), 2});
    w->command(PaintCommand::SaveAs)->trigger();
    QCOMPARE(dialogs.fileDialogs, 3);
    QCOMPARE(decodeJpeg([&] {
                 QFile f(dir.path() + QStringLiteral("/other.jpg"));
                 f.open(QIODevice::ReadOnly);
                 return f.readAll();
             }())
                 .size(),
             QSize(120, 90));
    QVERIFY(w->savedOnce());

    // Reopening the editor on another picture must not write it over the first one's file.
    w->close();
    w->editPicture(filled(QSize(50, 40), Qt::green));
    QVERIFY(!w->savedOnce());
    save->trigger();
    QCOMPARE(dialogs.fileDialogs, 4);
    QCOMPARE(QImage(written).pixelColor(5, 5), QColor(Qt::red));

    // "Создать" clears the flag as well.
    dialogs.files.push_back(Dialogs::FileChoice{first, 1});
    save->trigger();
    QVERIFY(w->savedOnce());
    w->command(PaintCommand::New)->trigger();
    QVERIFY(!w->savedOnce());
}

void TestPaintBrowser::failedSaveIsReportedAndAskedAgain()
{
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    auto w = openWindow(dir.path());
    dialogs.files.push_back(Dialogs::FileChoice{dir.path() + QStringLiteral("/missing/folder/p.bmp"), 1});
    w->command(PaintCommand::Save)->trigger();
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].caption, QStringLiteral("Ошибка"));
    QVERIFY(dialogs.messages[0].text.contains(QStringLiteral("Не удалось сохранить")));
    QVERIFY(!w->savedOnce());
    w->command(PaintCommand::Save)->trigger();
    QCOMPARE(dialogs.fileDialogs, 2);
}

void TestPaintBrowser::openKeepsTheZoomAndTheFilterPicksTheDecoder()
{
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    auto w = openWindow(dir.path());
    // A JPEG stream under a bitmap's name: the JPEG filter reads it as JPEG.
    const QString disguised = dir.path() + QStringLiteral("/photo.bmp");
    QFile file(disguised);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(encodeJpeg(filled(QSize(10, 8), Qt::white)));
    file.close();

    w->editor().chooseZoom(2);
    QCOMPARE(w->document().zoomFactor(), 6);
    const int states = w->document().history().count();
    dialogs.files.push_back(Dialogs::FileChoice{disguised, 2});
    w->command(PaintCommand::Open)->trigger();
    QCOMPARE(dialogs.messages.size(), 0);
    QCOMPARE(w->document().picture().size(), QSize(10, 8));
    QCOMPARE(w->document().zoomFactor(), 6);
    QCOMPARE(w->workArea()->pictureView()->size(), QSize(60, 48));
    QCOMPARE(w->statusText(1), QStringLiteral("10 x 8"));
    QCOMPARE(w->document().history().count(), states + 1);  // undo gives the picture back

    // A damaged file is reported and the picture stays as it was.
    w->document().mutablePicture().fill(Qt::red);
    const QString damaged = dir.path() + QStringLiteral("/damaged.bmp");
    QFile bad(damaged);
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("BM not really a bitmap");
    bad.close();
    for (int filter : {1, 3}) {
        dialogs.files.push_back(Dialogs::FileChoice{damaged, filter});
        w->command(PaintCommand::Open)->trigger();
    }
    QCOMPARE(dialogs.messages.size(), 2);
    QVERIFY(dialogs.messages[0].text.contains(QStringLiteral("damaged.bmp")));
    QCOMPARE(w->document().picture().size(), QSize(10, 8));
    QCOMPARE(w->document().picture().pixelColor(1, 1), QColor(Qt::red));
}

void TestPaintBrowser::newPaintsTheBackColour()
{
    QTemporaryDir dir;
    auto w = openWindow(dir.path());
    w->document().mutablePicture().fill(Qt::black);
    w->document().setBackColour(qRgb(0, 128, 255));
    const int states = w->document().history().count();
    w->command(PaintCommand::New)->trigger();
    QCOMPARE(w->document().picture().size(), QSize(120, 90));
    QCOMPARE(w->document().picture().pixel(0, 0), qRgb(0, 128, 255));
    QCOMPARE(w->document().picture().pixel(119, 89), qRgb(0, 128, 255));
    QCOMPARE(w->document().canvasBrush(), qRgb(0, 128, 255));
    QCOMPARE(w->document().history().count(), states + 1);
}

void TestPaintBrowser::copyToFileSharesTheSaveDialog()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("pieces")));
    ScriptedDialogs dialogs;
    auto w = openWindow(dir.path());
    const QString picture = dir.path() + QStringLiteral("/pieces/picture.jpg");
    dialogs.files.push_back(Dialogs::FileChoice{picture, 2});
    w->command(PaintCommand::Save)->trigger();
    QVERIFY(w->savedOnce());

    // The piece's dialog opens where the picture went, with its name and filter.
    w->command(PaintCommand::SelectAll)->trigger();
    const QString piece = dir.path() + QStringLiteral("/pieces/piece");
    dialogs.files.push_back(Dialogs::FileChoice{piece, 1});
    w->command(PaintCommand::CopyToFile)->trigger();
    QCOMPARE(dialogs.fileAsks.size(), 2);
    QCOMPARE(dialogs.fileAsks[1].folder, dir.path() + QStringLiteral("/pieces"));
    QCOMPARE(dialogs.fileAsks[1].name, picture);
    QCOMPARE(dialogs.fileAsks[1].filterIndex, 2);
    // The filters speak the interface's language, as the outline's own dialogs do.
    QCOMPARE(dialogs.fileAsks[1].filter, QStringLiteral("Рисунок BMP (*.bmp)|*.bmp|Рисунок JPEG (*.jpg)|*.jpg"));
    QCOMPARE(QImage(piece + QStringLiteral(".bmp")).size(), QSize(120, 90));

    // The picture's own "Сохранить как..." offers the picture's file, not the piece's ...
    w->command(PaintCommand::SaveAs)->trigger();
    QCOMPARE(dialogs.fileAsks.size(), 3);
    QCOMPARE(dialogs.fileAsks[2].name, picture);
    QCOMPARE(dialogs.fileAsks[2].filterIndex, 2);
    // ... and "Сохранить" writes the picture's own file, not over the piece's.
    w->editor().chooseTool(ToolId::Pencil);
    w->document().mutablePicture().fill(Qt::red);
    w->command(PaintCommand::Save)->trigger();
    QCOMPARE(dialogs.fileAsks.size(), 3);
    QCOMPARE(QImage(piece + QStringLiteral(".bmp")).pixelColor(5, 5), QColor(Qt::white));
    QFile saved(picture);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QColor written = decodeJpeg(saved.readAll()).pixelColor(5, 5);
    QVERIFY2(written.red() > 240 && written.green() < 20, qPrintable(written.name()));
}

namespace {

// A drag of the editor's current tool at picture-control points (zoom 1).
void dragTool(PaintEditor& editor, QPoint from, QPoint to)
{
    const auto input = [](QPoint at, Qt::MouseButton button) {
        ToolInput in;
        in.pos = at;
        in.pixel = at;
        in.button = button;
        in.buttons = button;
        return in;
    };
    editor.press(input(from, Qt::LeftButton));
    editor.move(input((from + to) / 2, Qt::NoButton));
    editor.move(input(to, Qt::NoButton));
    editor.release(input(to, Qt::LeftButton));
}

// A picture red on its left half and blue on its right one.
QImage twoHalves()
{
    QImage image = filled(QSize(120, 90), Qt::red);
    image.fill(Qt::red);
    for (int y = 0; y < 90; ++y)
        for (int x = 60; x < 120; ++x)
            image.setPixel(x, y, qRgb(0, 0, 255));
    return image;
}

QImage readBack(const QString& path) { return QImage(path).convertToFormat(QImage::Format_RGB32); }

}  // namespace

void TestPaintBrowser::saveWritesWhatTheScreenShows()
{
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    auto w = openWindow(dir.path());
    PaintDocument& doc = w->document();
    w->editor().openPicture(twoHalves());
    w->editor().activate();
    w->editor().chooseTool(ToolId::Selection);
    dragTool(w->editor(), {10, 10}, {40, 40});  // a red 30 × 30 piece lifted ...
    dragTool(w->editor(), {20, 20}, {90, 20});  // ... and moved onto the blue half
    QVERIFY(doc.pieceFloating());
    QImage shown = twoHalves();
    for (int y = 10; y < 40; ++y)
        for (int x = 10; x < 40; ++x)
            shown.setPixel(x, y, doc.backColour());
    for (int y = 10; y < 40; ++y)
        for (int x = 80; x < 110; ++x)
            shown.setPixel(x, y, qRgb(255, 0, 0));
    const int states = doc.history().count();

    // Ctrl+S and "Сохранить как..." write the screen's picture: the hole and the piece where it
    // floats, and the piece keeps floating, still movable.
    dialogs.files.push_back(Dialogs::FileChoice{dir.filePath(QStringLiteral("dots.bmp")), 1});
    w->command(PaintCommand::Save)->trigger();
    QCOMPARE(readBack(dir.filePath(QStringLiteral("dots.bmp"))), shown);
    dialogs.files.push_back(Dialogs::FileChoice{dir.filePath(QStringLiteral("again.bmp")), 1});
    w->command(PaintCommand::SaveAs)->trigger();
    QCOMPARE(readBack(dir.filePath(QStringLiteral("again.bmp"))), shown);
    QVERIFY(doc.pieceFloating());
    QCOMPARE(doc.picture().pixel(85, 15), qRgb(0, 0, 255));
    QCOMPARE(doc.history().count(), states);
    dragTool(w->editor(), {85, 15}, {86, 15});
    w->editor().putDownPiece();
    QCOMPARE(doc.picture().pixel(81, 10), qRgb(255, 0, 0));
    QCOMPARE(doc.picture().pixel(80, 10), qRgb(0, 0, 255));
}

void TestPaintBrowser::saveNeverWritesOverACopiedPiece()
{
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    auto w = openWindow(dir.path());
    PaintDocument& doc = w->document();
    const QString dots = dir.filePath(QStringLiteral("dots.bmp"));
    const QString piece = dir.filePath(QStringLiteral("piece.bmp"));
    dialogs.files.push_back(Dialogs::FileChoice{dots, 1});
    w->command(PaintCommand::SaveAs)->trigger();
    QCOMPARE(readBack(dots).size(), QSize(120, 90));

    w->editor().chooseTool(ToolId::Selection);
    dragTool(w->editor(), {0, 0}, {30, 20});
    dialogs.files.push_back(Dialogs::FileChoice{piece, 1});
    w->command(PaintCommand::CopyToFile)->trigger();
    QCOMPARE(readBack(piece).size(), QSize(30, 20));
    w->editor().chooseTool(ToolId::Pencil);
    dragTool(w->editor(), {50, 50}, {100, 50});

    // Ctrl+S writes the picture's file at once, twice over; the piece's file stays the piece.
    const int asked = dialogs.fileDialogs;
    for (int k = 0; k < 2; ++k) {
        w->command(PaintCommand::Save)->trigger();
        QCOMPARE(dialogs.fileDialogs, asked);
        QCOMPARE(readBack(dots), doc.picture());
        QCOMPARE(readBack(piece).size(), QSize(30, 20));
    }
}

void TestPaintBrowser::newAndOpenAskFirstAndAreOneUndoStep()
{
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    auto w = openWindow(dir.path());
    PaintDocument& doc = w->document();
    const QString red = dir.filePath(QStringLiteral("red.bmp"));
    QVERIFY(filled(QSize(30, 20), Qt::red).save(red, "BMP"));
    QAction* newPicture = w->command(PaintCommand::New);
    QAction* open = w->command(PaintCommand::Open);

    // Drawn on, with a piece floating: the picture as the screen shows it.
    dragTool(w->editor(), {5, 80}, {100, 80});
    w->editor().chooseTool(ToolId::Selection);
    dragTool(w->editor(), {0, 70}, {40, 89});
    dragTool(w->editor(), {10, 80}, {60, 30});
    const QImage before = pictureAsShown(doc);
    QVERIFY(before != doc.picture());

    // "Отмена" keeps everything; "Нет" makes a new, empty picture without the old piece.
    dialogs.answers = {QMessageBox::Cancel};
    newPicture->trigger();
    QCOMPARE(dialogs.questions.size(), 1);
    QCOMPARE(dialogs.questions[0].text, QStringLiteral("Рисунок изменен. Сохранить изменения?"));
    QVERIFY(doc.pieceFloating());
    QCOMPARE(pictureAsShown(doc), before);
    dialogs.answers = {QMessageBox::No};
    newPicture->trigger();
    QCOMPARE(dialogs.questions.size(), 2);
    QVERIFY(!doc.pieceFloating());
    const QImage empty = filled(QSize(120, 90), QColor::fromRgb(doc.backColour()));
    QCOMPARE(doc.picture(), empty);
    // Putting down nothing afterwards stamps nothing in.
    w->editor().putDownPiece();
    QCOMPARE(doc.picture(), empty);

    // One Ctrl+Z brings the replaced picture back (its piece put down), redo the new one.
    w->editor().undo();
    QCOMPARE(doc.picture(), before);
    w->editor().redo();
    QCOMPARE(doc.picture(), empty);

    // Undone and redone, the picture counts as changed: "Открыть" asks, and is one step too.
    dialogs.answers = {QMessageBox::No};
    dialogs.files.push_back(Dialogs::FileChoice{red, 1});
    open->trigger();
    QCOMPARE(dialogs.questions.size(), 3);
    const QImage redPicture = filled(QSize(30, 20), Qt::red);
    QCOMPARE(doc.picture(), redPicture);
    w->editor().undo();
    QCOMPARE(doc.picture(), empty);
    w->editor().redo();
    QCOMPARE(doc.picture(), redPicture);

    // Just opened, nothing is unsaved: "Создать" asks nothing.
    dialogs.files.push_back(Dialogs::FileChoice{red, 1});
    open->trigger();
    QCOMPARE(dialogs.questions.size(), 4);
    newPicture->trigger();
    QCOMPARE(dialogs.questions.size(), 4);
    QCOMPARE(doc.picture(), filled(QSize(30, 20), QColor::fromRgb(doc.backColour())));

    // "Да" saves first; a save cancelled in its dialog stops the command.
    w->editor().chooseTool(ToolId::Pencil);
    dragTool(w->editor(), {2, 2}, {20, 2});
    const QImage drawn = doc.picture();
    dialogs.answers = {QMessageBox::Yes};
    open->trigger();  // the save dialog is cancelled (no file scripted)
    QCOMPARE(dialogs.questions.size(), 5);
    QCOMPARE(doc.picture(), drawn);
    dialogs.answers = {QMessageBox::Yes};
    dialogs.files.push_back(Dialogs::FileChoice{dir.filePath(QStringLiteral("kept.bmp")), 1});
    newPicture->trigger();
    QCOMPARE(dialogs.questions.size(), 6);
    QCOMPARE(readBack(dir.filePath(QStringLiteral("kept.bmp"))), drawn);
    QCOMPARE(doc.picture(), filled(QSize(30, 20), QColor::fromRgb(doc.backColour())));
}

void TestPaintBrowser::onlyRowsNearTheViewKeepThumbnails()
{
    // 150 pictures of distinct colours, a list a few rows high, room for 12 decoded icons away
    // from the view.
    QTemporaryDir dir, cache;
    const int pictures = 150;
    const auto colourOf = [](int i) { return QColor::fromHsv((i * 23) % 360, 255, 230); };
    for (int i = 0; i < pictures; ++i)
        QVERIFY(filled(QSize(8, 6), colourOf(i))
                    .save(dir.path() + QStringLiteral("/p%1.bmp").arg(i, 3, 10, QLatin1Char('0')), "BMP"));
    PictureBrowser browser(nullptr, ThumbnailCache(cache.path()));
    browser.setKeptIconLimit(12);
    browser.setFolder(dir.path());
    browser.resize(136, 300);
    browser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&browser));
    browser.refresh();
    browser.finishThumbnails();
    QCOMPARE(browser.thumbnailCount(), pictures);
    QListWidget* list = browser.list();
    const int side = browser.thumbSize();
    const auto showsOwnPicture = [&](int row) {
        const QColor want = colourOf(row - 1), got = iconCentre(list->item(row), side);  // row 0 is ".."
        return std::abs(want.red() - got.red()) <= 3 && std::abs(want.green() - got.green()) <= 3
               && std::abs(want.blue() - got.blue()) <= 3;
    };
    const auto checkView = [&](const char* where) {
        const auto [first, last] = browser.visibleRows();
        QVERIFY2(first <= last, where);
        // The rows found are the ones on screen, and each shows its own picture.
        const QRect view = list->viewport()->rect();
        QVERIFY2(list->visualItemRect(list->item(first)).intersects(view), where);
        QVERIFY2(list->visualItemRect(list->item(last)).intersects(view), where);
        if (first > 0)
            QVERIFY2(!list->visualItemRect(list->item(first - 1)).intersects(view), where);
        if (last + 1 < list->count())
            QVERIFY2(!list->visualItemRect(list->item(last + 1)).intersects(view), where);
        for (int row = std::max(first, 1); row <= last; ++row)
            QVERIFY2(showsOwnPicture(row), qPrintable(QStringLiteral("%1: row %2").arg(QLatin1String(where)).arg(row)));
        // Besides the rows near the view (a screenful above and below), at most the limit.
        const int near = 3 * (last - first + 1);
        QVERIFY2(browser.keptIcons() <= 12 + near, qPrintable(QString::number(browser.keptIcons())));
        // The icons the list holds: one each for the kept rows, and the shared ones.
        QSet<qint64> icons;
        for (int row = 0; row < list->count(); ++row)
            icons.insert(list->item(row)->icon().cacheKey());
        QVERIFY2(icons.size() <= browser.keptIcons() + 2, qPrintable(QString::number(icons.size())));
    };
    checkView("top");
    QVERIFY(!showsOwnPicture(pictures));

    // Down the list in a few steps, to the bottom.
    for (int row : {40, 80, 120}) {
        list->scrollToItem(list->item(row), QAbstractItemView::PositionAtTop);
        browser.finishThumbnails();
        checkView("on the way down");
    }
    list->scrollToBottom();
    browser.finishThumbnails();
    checkView("bottom");
    QVERIFY(showsOwnPicture(pictures));
    // The top rows, seen before more than the limit of others, gave up their thumbnails...
    QVERIFY(!showsOwnPicture(1));
    // ... and take them back from the cache when scrolled to again.
    list->scrollToTop();
    browser.finishThumbnails();
    checkView("top again");
    QVERIFY(showsOwnPicture(1));
    // A row seen on the way down, with more than the limit seen since, has given its up.
    QVERIFY(!showsOwnPicture(41));
}

QTEST_MAIN(TestPaintBrowser)
#include "test_paint_browser.moc"
