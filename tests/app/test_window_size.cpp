// The main window's size as outline files store it: an opened outline's window gets the stored
// outer size and keeps it in the file, stays on the screen, and an old-format file's canvas size
// is forgotten by the next outline opened.
#include "canvas/canvas_widget.h"
#include "model/zoom.h"
#include "storage/outline_io.h"
#include "support/old_format_writer.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QScreen>
#include <QTest>

using namespace velmar;

class TestWindowSize : public QObject {
    Q_OBJECT
private slots:
    void openedOutlineKeepsItsStoredSize_data();
    void openedOutlineKeepsItsStoredSize();
    void oldFormatSizeIsForgottenByTheNextOutline();

private:
    static QString writeOutline(WindowFixture& f, const QString& name, QSize window)
    {
        Document doc;
        doc.state.outlineName = name;
        doc.state.windowSize = window;
        doc.outline.createFrame(QRect(10, 40, 300, 200), QStringLiteral("Рамка"));
        const QString path = f.home.filePath(name + QStringLiteral(".vmd"));
        return writeOutlineFile(path, doc).ok ? path : QString();
    }
    static void open(WindowFixture& f, const QString& path, int filter = 1)
    {
        f.dialogs.files.push_back(Dialogs::FileChoice{path, filter});
        f.command("N48")->trigger();
        QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));
    }
    static QSize available(WindowFixture& f) { return f.window->screen()->availableGeometry().size(); }
};

void TestWindowSize::openedOutlineKeepsItsStoredSize_data()
{
    QTest::addColumn<QSize>("extra");  // added to the screen's room; negative: smaller than it
    QTest::newRow("an odd size that fits") << QSize(-53, -29);
    QTest::newRow("larger than the screen") << QSize(400, 300);
}

void TestWindowSize::openedOutlineKeepsItsStoredSize()
{
    QFETCH(QSize, extra);
    WindowFixture f;
    const QSize stored = available(f) + extra;
    const QString path = writeOutline(f, QStringLiteral("окно"), stored);
    QVERIFY(!path.isEmpty());
    open(f, path);

    QTRY_VERIFY(f.window->screen()->availableGeometry().contains(f.window->frameGeometry()));
    QCOMPARE(f.window->frameGeometry().size(), stored.boundedTo(available(f)));
    // Nothing was scaled to the smaller window, and the file keeps the size it had.
    QCOMPARE(f.doc().outline.frame(1).bounds, QRect(10, 40, 300, 200));
    QCOMPARE(f.doc().state.windowSize, stored);
    f.command("N49")->trigger();
    const LoadResult saved = readOutlineFile(path, defaultWindowChrome());
    QVERIFY(saved.ok);
    QCOMPARE(saved.windowSize, stored);
    QCOMPARE(saved.outline.frame(1).bounds, QRect(10, 40, 300, 200));

    // Resized by the user, the outline keeps the new size (even: the grid is on).
    f.window->resize(401, 301);
    QTRY_VERIFY(f.window->frameGeometry().width() % 2 == 0 && f.window->frameGeometry().height() % 2 == 0
                && f.window->width() < 402 && f.window->height() < 302);
    const QSize resized = f.window->frameGeometry().size();
    f.dialogs.colours.push_back(QColor(Qt::yellow));
    f.command("N18")->trigger();  // a change, so that Save is enabled again
    f.command("N49")->trigger();
    QCOMPARE(readOutlineFile(path, defaultWindowChrome()).windowSize, resized);
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

QTEST_MAIN(TestWindowSize)
#include "test_window_size.moc"
