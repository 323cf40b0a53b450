// The main window's size as outline files store it: an opened outline's window gets the stored
// outer size and keeps it in the file, stays on the screen, and an old-format file's canvas size
// is forgotten by the next outline opened.
#include "canvas/canvas_widget.h"
#include "export/outline_renderer.h"
#include "model/zoom.h"
#include "storage/history.h"
#include "storage/outline_io.h"
#include "storage/snapshot_files.h"
#include "support/old_format_writer.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTest>

using namespace velmar;

class TestWindowSize : public QObject {
    Q_OBJECT
private slots:
    void openedOutlineFitsTheWindow_data();
    void openedOutlineFitsTheWindow();
    void tinyStoredWindowGetsARoomyOne();
    void tinyWindowOutlineComesOutFromUnderTheToolBar();
    void maximisedWindowZoomsTheOpenedOutline();
    void oldFormatSizeIsForgottenByTheNextOutline();
    void largerOutlineKeepsItsOwnLayout();
    void unchangedOutlineIsSavedAsOpened_data();
    void unchangedOutlineIsSavedAsOpened();
    void textFieldsAfterResizeStepsAreDrawnAsExported();

private:
    // An outline made for a window of the given outer size: one frame near the canvas's top-left
    // corner and one reaching into its bottom-right corner.
    static QString writeOutline(WindowFixture& f, const QString& name, QSize window)
    {
        Document doc;
        doc.state.outlineName = name;
        doc.state.windowSize = window;
        doc.outline.createFrame(QRect(10, 40, 300, 200), QStringLiteral("Рамка"));
        const QSize canvas = window - defaultWindowChrome();
        if (canvas.width() > 420 && canvas.height() > 300)
            doc.outline.createFrame(QRect(canvas.width() - 210, canvas.height() - 160, 200, 150),
                                    QStringLiteral("Угол"));
        const QString path = f.home.filePath(name + QStringLiteral(".vmd"));
        return writeOutlineFile(path, doc).ok ? path : QString();
    }
    static void open(WindowFixture& f, const QString& path, int filter = 1)
    {
        f.dialogs.files.push_back(Dialogs::FileChoice{path, filter});
        f.command(Command::Open)->trigger();
        QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));
    }
    // "Сохранить как" into another folder under the outline's own name (the name is stored in
    // the file); the bytes written.
    static QByteArray saveCopy(WindowFixture& f, const QString& name)
    {
        const QDir copies(f.home.filePath(QStringLiteral("копии")));
        copies.mkpath(QStringLiteral("."));
        f.dialogs.files.push_back(Dialogs::FileChoice{copies.filePath(name), 1});
        f.command(Command::SaveAs)->trigger();
        QFile file(copies.filePath(name + QStringLiteral(".vmd")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QByteArray bytesOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QSize available(WindowFixture& f) { return f.window->screen()->availableGeometry().size(); }
    // Every frame lies whole on the canvas below the tool bar.
    static QString framesOutOfReach(WindowFixture& f)
    {
        const QRect canvas(QPoint(0, 0), f.window->canvas()->size());
        QStringList out;
        for (int i = 1; i <= f.doc().outline.count(ObjectKind::Frame); ++i) {
            const QRect b = f.doc().outline.frame(i).bounds;
            if (!canvas.contains(b) || b.top() < 31)
                out << QStringLiteral("frame %1 at %2,%3 %4×%5 on %6×%7")
                           .arg(i)
                           .arg(b.x())
                           .arg(b.y())
                           .arg(b.width())
                           .arg(b.height())
                           .arg(canvas.width())
                           .arg(canvas.height());
        }
        return out.join(QStringLiteral("; "));
    }
};

void TestWindowSize::openedOutlineFitsTheWindow_data()
{
    QTest::addColumn<QSize>("extra");  // added to the screen's room; negative: smaller than it
    QTest::newRow("an odd size that fits") << QSize(-53, -29);
    QTest::newRow("larger than the screen") << QSize(640, 150);
}

void TestWindowSize::openedOutlineFitsTheWindow()
{
    QFETCH(QSize, extra);
    WindowFixture f;
    const QSize stored = available(f) + extra;
    const QString path = writeOutline(f, QStringLiteral("окно"), stored);
    QVERIFY(!path.isEmpty());
    const QByteArray original = bytesOf(path);
    open(f, path);

    QTRY_VERIFY(f.window->screen()->availableGeometry().contains(f.window->frameGeometry()));
    QCOMPARE(f.window->frameGeometry().size(), stored.boundedTo(available(f)));
    // Every frame can be reached; an outline that fits is shown as it is.
    QCOMPARE(framesOutOfReach(f), QString());
    const bool fits = extra.width() < 0;
    if (fits) {
        QCOMPARE(f.doc().outline.frame(1).bounds, QRect(10, 40, 300, 200));
        QCOMPARE(f.doc().state.windowSize, stored);
    } else {
        // Scaled as the zoom scales a window the user makes smaller: both directions shrink.
        const QRect first = f.doc().outline.frame(1).bounds;
        QVERIFY2(first.width() < 300 && first.height() < 200,
                 qPrintable(QStringLiteral("%1×%2").arg(first.width()).arg(first.height())));
    }
    QVERIFY(!f.command(Command::Save)->isEnabled());
    // Opened and saved unedited, the outline is the file's to the byte.
    QCOMPARE(saveCopy(f, QStringLiteral("окно")), original);

    // Resized by the user, the outline keeps the new size (even: the grid is on).
    f.window->resize(401, 301);
    QTRY_VERIFY(f.window->frameGeometry().width() % 2 == 0 && f.window->frameGeometry().height() % 2 == 0
                && f.window->width() < 402 && f.window->height() < 302);
    QCOMPARE(framesOutOfReach(f), QString());
    const QSize resized = f.window->frameGeometry().size();
    f.dialogs.colours.push_back(QColor(Qt::yellow));
    f.command(Command::CanvasColour)->trigger();  // a change, so that Save is enabled again
    f.command(Command::Save)->trigger();
    QCOMPARE(readOutlineFile(f.doc().state.fileName, defaultWindowChrome()).windowSize, resized);
}

void TestWindowSize::tinyStoredWindowGetsARoomyOne()
{
    WindowFixture f;
    const QString path = writeOutline(f, QStringLiteral("крошка"), QSize(18, 19));
    const QByteArray original = bytesOf(path);
    open(f, path);
    QTRY_VERIFY(f.window->width() >= MainWindow::kMinimumWidth && f.window->height() >= MainWindow::kMinimumHeight);
    QCOMPARE(f.doc().outline.frame(1).bounds, QRect(10, 40, 300, 200));
    QCOMPARE(saveCopy(f, QStringLiteral("крошка")), original);

    // Enlarged, the window zooms the outline from the canvas it opened with.
    const QSize before = f.window->canvas()->size();
    f.window->resize(f.window->width() * 2, f.window->height() + (before.height() - 32));
    QTRY_VERIFY(f.window->canvas()->size() != before);
    const QRect grown = f.doc().outline.frame(1).bounds;
    QVERIFY2(grown.width() >= 590 && grown.width() <= 610, qPrintable(QString::number(grown.width())));
    QVERIFY2(grown.height() > 300, qPrintable(QString::number(grown.height())));
}

void TestWindowSize::tinyWindowOutlineComesOutFromUnderTheToolBar()
{
    WindowFixture f;
    // Laid out in an 18 × 19 window, whose tool bar covered everything: the frame's title at 12.
    Document doc;
    doc.state.outlineName = QStringLiteral("крошка");
    doc.state.windowSize = QSize(18, 19);
    doc.outline.createFrame(QRect(10, 12, 300, 200), QStringLiteral("Рамка"));
    doc.outline.createFrame(QRect(320, 60, 100, 100), QStringLiteral("Ниже"));
    doc.outline.createTextField(QRect(5, 20, 60, 24), kButtonFace, QStringLiteral("в рамке"), 1);
    doc.outline.createArrow(400, 20, 450, 180, 3, kBlack);
    const QString path = f.home.filePath(QStringLiteral("крошка.vmd"));
    QVERIFY(writeOutlineFile(path, doc).ok);
    const QByteArray original = bytesOf(path);
    open(f, path);
    QTRY_VERIFY(f.window->width() >= MainWindow::kMinimumWidth && f.window->height() >= MainWindow::kMinimumHeight);

    // Everything on the canvas comes down by one amount: the topmost frame starts 3 pixels below
    // the tool bar, as a new outline's do; the rest keeps its place to it.
    const Outline& o = f.doc().outline;
    const int by = o.frame(1).bounds.top() - 12;
    QCOMPARE(o.frame(1).bounds.top(), 34);
    QVERIFY(std::min(o.arrow(1).y1, o.arrow(1).y2) - 3 >= 31);
    QCOMPARE(o.frame(2).bounds.top(), 60 + by);
    // Inside its frame it keeps its place (snapped to the grid).
    const QPoint inFrame = doc.outline.textField(1).bounds.topLeft();
    QCOMPARE(o.textField(1).bounds.topLeft(), QPoint(inFrame.x() / 2 * 2, inFrame.y() / 2 * 2));
    for (int i = 1; i <= o.count(ObjectKind::Frame); ++i)
        QVERIFY(o.frame(i).bounds.top() >= 31);
    // Not a change of the user's: saved unedited, the file stays as it was.
    QVERIFY(!f.doc().state.modified);
    QCOMPARE(saveCopy(f, QStringLiteral("крошка")), original);
}

void TestWindowSize::maximisedWindowZoomsTheOpenedOutline()
{
    WindowFixture f;
    f.window->showMaximized();
    QTRY_VERIFY(f.window->isMaximized());
    // Made for a window two thirds the size of this maximised one.
    const QSize stored = f.window->frameGeometry().size() * 2 / 3;
    const QString path = writeOutline(f, QStringLiteral("развёрнуто"), stored);
    const QByteArray original = bytesOf(path);
    open(f, path);
    QVERIFY(f.window->isMaximized());
    // Zoomed to the maximised window as a resize would: larger in both directions.
    const QRect first = f.doc().outline.frame(1).bounds;
    QVERIFY2(first.width() > 400 && first.height() > 260, qPrintable(QStringLiteral("%1×%2 canvas %3×%4 stored %5×%6")
                                                                         .arg(first.width())
                                                                         .arg(first.height())
                                                                         .arg(f.window->canvas()->width())
                                                                         .arg(f.window->canvas()->height())
                                                                         .arg(stored.width())
                                                                         .arg(stored.height())));
    QCOMPARE(framesOutOfReach(f), QString());
    QCOMPARE(saveCopy(f, QStringLiteral("развёрнуто")), original);
}

void TestWindowSize::oldFormatSizeIsForgottenByTheNextOutline()
{
    WindowFixture f;
    // An old outline made on a larger screen: the window is maximised and the outline scaled
    // down from that screen's canvas.
    oldformat::Outline old;
    old.name = QStringLiteral("старый");
    old.windowSize = available(f) + QSize(200, 200);
    old.frames << oldformat::Frame{QRect(10, 40, 200, 150), 0x0000FFFF, 0, 2, 0, QStringLiteral("Опыты"), 1,
                                   QStringLiteral("Опыты"), 1};
    const QString vmc = f.home.filePath(QStringLiteral("старый.vmc"));
    QVERIFY(oldformat::writeFiles(old, vmc));
    open(f, vmc, 2);
    QTRY_VERIFY(f.window->isMaximized());
    QCOMPARE(f.doc().outline.referenceClientSize(),
             QSize(old.windowSize.width(), old.windowSize.height() - kZoomClientHeightOffset));

    // The next outline is shown at its own size, with its own canvas as the zoom's reference.
    const QSize stored(700, 500);
    const QString vmd = writeOutline(f, QStringLiteral("новый"), stored);
    open(f, vmd);
    QTRY_VERIFY(!f.window->isMaximized());
    QTRY_COMPARE(f.window->frameGeometry().size(), stored);
    const QSize canvas = f.window->canvas()->size();
    QCOMPARE(f.doc().outline.referenceClientSize(), QSize(canvas.width(), canvas.height() - kZoomClientHeightOffset));
    QCOMPARE(f.doc().outline.frame(1).bounds, QRect(10, 40, 300, 200));
    QCOMPARE(f.doc().state.windowSize, stored);
}

void TestWindowSize::largerOutlineKeepsItsOwnLayout()
{
    WindowFixture f;
    // Made for a canvas half as large again as this screen allows, on both axes.
    const QSize chrome = defaultWindowChrome();
    const QSize room = available(f) - chrome;
    const QSize madeFor(room.width() * 3 / 2, (room.height() - 32) * 3 / 2 + 32);
    const QSize stored = madeFor + chrome;
    Document doc;
    doc.state.outlineName = QStringLiteral("проектор");
    doc.state.windowSize = stored;
    Outline& o = doc.outline;
    o.createFrame(QRect(100, 100, 600, 500), QStringLiteral("Фото"));
    const int photo = o.createPicture(QRect(100, 80, 300, 300), 1);
    o.picture(photo).bounds = QRect(100, 80, 300, 300);  // round, in a square
    o.createFrame(QRect(madeFor.width() - 330, madeFor.height() - 240, 300, 200), QStringLiteral("Угол"));
    o.createTextField(QRect(20, 40, 120, 30), kButtonFace, QStringLiteral("Текст"), 2);
    o.createArrow(720, 300, madeFor.width() - 340, madeFor.height() - 150, 2, kBlack);
    const QString path = f.home.filePath(QStringLiteral("проектор.vmd"));
    QVERIFY(writeOutlineFile(path, doc).ok);
    const QByteArray original = bytesOf(path);
    const LoadResult asMade = readOutlineFile(path, chrome);
    open(f, path);

    // Shown whole, at one scale for both axes: the square photo stays square.
    const double scale = f.doc().outline.ownLayoutScale();
    QVERIFY2(scale > 0.55 && scale < 0.75, qPrintable(QString::number(scale)));
    const QRect shown = f.doc().outline.picture(1).bounds;
    QVERIFY2(std::abs(shown.width() - shown.height()) <= 2 && std::abs(shown.width() - 300 * scale) <= 2,
             qPrintable(QStringLiteral("%1×%2").arg(shown.width()).arg(shown.height())));
    QCOMPARE(framesOutOfReach(f), QString());
    QCOMPARE(f.doc().state.windowSize, stored);
    // Nothing was adjusted in the file's layout: step 0 is the file.
    const QString folder = snapshotFolder(f.doc());
    QCOMPARE(bytesOf(snapshotPathIn(folder, 0, true)), original);
    QVERIFY(!QFileInfo::exists(snapshotPathIn(folder, 1, false)));

    // A 10-pixel nudge of the second frame, then Save.
    const QRect before = f.doc().outline.frame(2).bounds;
    f.doc().outline.frame(2).bounds.translate(10, 0);
    f.window->documents().recordStep(StepKind::HeaderOnly);
    const int put = f.doc().outline.frame(2).bounds.x();
    f.command(Command::Save)->trigger();
    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));

    // The file is the outline as made, but for the frame moved: the same bytes elsewhere, the
    // window as stored, the frame where the user put it seen at full size.
    const QByteArray saved = bytesOf(path);
    QCOMPARE(saved.size(), original.size());
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < saved.size(); ++i)
        if (saved[i] != original[i]) {
            if (first < 0)
                first = i;
            last = i;
        }
    QVERIFY(first >= 0);
    QVERIFY2(last - first < 4, qPrintable(QStringLiteral("bytes %1..%2 differ").arg(first).arg(last)));
    const LoadResult reopened = readOutlineFile(path, chrome);
    QVERIFY(reopened.ok);
    QCOMPARE(reopened.windowSize, stored);
    QCOMPARE(reopened.outline.frame(1).bounds, asMade.outline.frame(1).bounds);
    QCOMPARE(reopened.outline.picture(1).bounds, QRect(100, 80, 300, 300));
    const QRect moved = reopened.outline.frame(2).bounds;
    QVERIFY2(std::abs(moved.x() - put / scale) <= 1,
             qPrintable(QStringLiteral("%1 for %2").arg(moved.x()).arg(put / scale)));
    QVERIFY2(std::abs(moved.x() - (asMade.outline.frame(2).bounds.x() + 10 / scale)) <= 3,
             qPrintable(QString::number(moved.x())));
    QCOMPARE(moved.y(), asMade.outline.frame(2).bounds.y());

    // The history step holds the same layout: work recovered after a crash is the file saved.
    LoadResult recovered = readOutlineFile(snapshotPathIn(folder, 0, true), chrome);
    QCOMPARE(applyLaterSteps(recovered, folder, 0), 1);
    QCOMPARE(recovered.windowSize, stored);
    QCOMPARE(recovered.outline.frame(2).bounds, moved);
    QCOMPARE(recovered.outline.picture(1).bounds, QRect(100, 80, 300, 300));

    // Undo and redo show the steps fitted as before.
    f.command(Command::Undo)->trigger();
    QCOMPARE(f.doc().outline.frame(2).bounds, before);
    QCOMPARE(f.doc().outline.picture(1).bounds, shown);
    f.command(Command::Redo)->trigger();
    QCOMPARE(f.doc().outline.frame(2).bounds.x(), put);
    QCOMPARE(f.doc().outline.picture(1).bounds, shown);
}

void TestWindowSize::unchangedOutlineIsSavedAsOpened_data()
{
    QTest::addColumn<QSize>("extra");     // added to the screen's room, as above
    QTest::addColumn<QString>("change");  // what is done between opening and "Сохранить как"
    QTest::addColumn<bool>("asOpened");   // the file written is the one opened, byte for byte
    const QSize fits(-53, -29);
    const QSize larger(640, 150);
    QTest::newRow("snapped on opening") << fits << QString() << true;
    QTest::newRow("grid made coarser") << fits << QStringLiteral("N211") << true;
    QTest::newRow("grid switched off") << fits << QStringLiteral("ToolButton20") << true;
    QTest::newRow("edited, then undone") << fits << QStringLiteral("edit undo") << true;
    QTest::newRow("edited") << fits << QStringLiteral("edit") << false;
    QTest::newRow("shown smaller, grid made coarser") << larger << QStringLiteral("N211") << true;
    QTest::newRow("shown smaller, edited") << larger << QStringLiteral("edit") << false;
}

void TestWindowSize::unchangedOutlineIsSavedAsOpened()
{
    QFETCH(QSize, extra);
    QFETCH(QString, change);
    QFETCH(bool, asOpened);
    WindowFixture f;
    // Laid out off the grid of 2 the program starts with, a frame right below the tool bar.
    Document doc;
    doc.state.outlineName = QStringLiteral("сетка");
    doc.state.windowSize = available(f) + extra;
    doc.outline.createFrame(QRect(11, 33, 301, 201), QStringLiteral("Рамка"));
    doc.outline.createFrame(QRect(335, 61, 197, 355), QStringLiteral("Вторая"));
    const QString path = f.home.filePath(QStringLiteral("сетка.vmd"));
    QVERIFY(writeOutlineFile(path, doc).ok);
    const QByteArray original = bytesOf(path);
    open(f, path);
    // Opening snapped it: what is shown is not what the file holds.
    QVERIFY(f.doc().outline.frame(2).bounds != doc.outline.frame(2).bounds);

    for (const QString& step : change.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (step == QLatin1String("edit")) {
            f.doc().outline.frame(2).bounds.translate(10, 0);
            f.window->documents().recordStep(StepKind::HeaderOnly);
        } else if (step == QLatin1String("undo")) {
            f.command("N77")->trigger();
        } else {
            f.command(qPrintable(step))->trigger();
        }
    }
    // A grid changed snaps the outline, but it is no change to save.
    QCOMPARE(f.command("N49")->isEnabled(), !asOpened);
    QCOMPARE(f.window->documents().savesAsOpened(), asOpened);
    const Outline shown = ownLayoutOf(f.doc().outline);

    const QByteArray saved = saveCopy(f, QStringLiteral("сетка"));
    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));
    if (asOpened) {
        QCOMPARE(saved.size(), original.size());
        QVERIFY(saved == original);
        return;
    }
    // Edited, the outline is saved as it is shown (in its own layout when shown smaller).
    const QString copy = f.home.filePath(QStringLiteral("копии/сетка.vmd"));
    const LoadResult read = readOutlineFile(copy, defaultWindowChrome());
    QVERIFY(read.ok);
    for (int i = 1; i <= 2; ++i)
        QCOMPARE(read.outline.frame(i).bounds, shown.frame(i).bounds);
}

// A text field whose font grew or shrank with the window by more than its height (the fitted
// field is a little shorter than the line the text document lays out) is drawn from its top on
// the screen and in every export alike, whichever sizes it went through.
void TestWindowSize::textFieldsAfterResizeStepsAreDrawnAsExported()
{
    WindowFixture f;
    Document doc;
    doc.state.outlineName = QStringLiteral("поле");
    doc.state.windowSize = QSize(800, 600);
    doc.outline.createFrame(QRect(20, 50, 300, 220), QStringLiteral("Первая"));
    doc.outline.createTextField(QRect(20, 30, 160, 40), kButtonFace, QStringLiteral("Текст"), 1);
    const QString path = f.home.filePath(QStringLiteral("поле.vmd"));
    QVERIFY(writeOutlineFile(path, doc).ok);
    open(f, path);
    const QSize start = f.window->size();
    QSet<int> fontSizes;
    for (const QSize d : {QSize(13, 7), QSize(57, 33), QSize(-31, -19), QSize(-75, -41)}) {
        CanvasWidget* canvas = f.window->canvas();
        const QSize before = canvas->size();
        f.window->resize(start + d);
        QTRY_VERIFY(canvas->size() != before);
        // The outline follows the new size once the window has settled.
        const auto screenIsDrawing = [&] {
            const QImage screen = canvas->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const QImage drawn = OutlineRenderer(f.doc(), canvas->size()).image().convertToFormat(QImage::Format_RGB32);
            return screen.copy(0, kToolBarHeight, screen.width(), screen.height() - kToolBarHeight) == drawn;
        };
        QTRY_VERIFY(screenIsDrawing());
        fontSizes << f.doc().outline.textField(1).font.size;
    }
    QVERIFY(fontSizes.size() >= 3);  // the font took several sizes on the way
}

QTEST_MAIN(TestWindowSize)
#include "test_window_size.moc"
