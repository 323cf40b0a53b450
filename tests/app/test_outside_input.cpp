// Pictures, films and outlines dropped on the window, and the list of recent outlines: each drop
// is one undoable step in the right place, a full outline refuses politely, an outline dropped
// asks about unsaved work first, a vanished recent file is taken off the list with a note.
#include "app/recent_outlines.h"
#include "canvas/canvas_widget.h"
#include "storage/outline_io.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QTest>
#include <QUrl>

#include <sys/stat.h>

using namespace velmar;

class TestOutsideInput : public QObject {
    Q_OBJECT
private slots:
    void droppedPictureLandsInTheFrameAsOneStep_data();
    void droppedPictureLandsInTheFrameAsOneStep();
    void dropOnAFullOutlineIsRefused();
    void droppedOutlineAsksAboutUnsavedWorkThenOpens();
    void recentOutlinesKeepEightNewestAndDropVanishedOnes();
    void recentNamesAreShownAndAFifoIsSaidForWhatItIs();
    void pictureDataTooLargeIsSaidSo();
};

// Sends a drop of data at a canvas point and lets the queued handling run.
static void drop(WindowFixture& f, QMimeData* data, QPoint canvasPoint)
{
    const QPoint at = f.window->canvas()->mapTo(f.window.get(), canvasPoint);
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.window.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent event(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.window.get(), &event);
    QCoreApplication::processEvents();
    delete data;
}

void TestOutsideInput::droppedPictureLandsInTheFrameAsOneStep_data()
{
    QTest::addColumn<bool>("asFile");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("parent");
    QTest::newRow("file into the frame") << true << QPoint(100, 120) << 1;
    QTest::newRow("file on the canvas") << true << QPoint(500, 300) << 0;
    QTest::newRow("browser image data") << false << QPoint(100, 120) << 1;
}

void TestOutsideInput::droppedPictureLandsInTheFrameAsOneStep()
{
    QFETCH(bool, asFile);
    QFETCH(QPoint, at);
    QFETCH(int, parent);
    WindowFixture f;
    f.beginOutline();
    f.doc().outline.createFrame(QRect(40, 60, 240, 180), QStringLiteral("A"));
    f.window->documents().recordStep(StepKind::Full);
    QImage red(64, 32, QImage::Format_RGB32);
    red.fill(Qt::red);
    auto* data = new QMimeData;
    if (asFile) {
        const QString path = f.home.filePath(QStringLiteral("red.png"));
        QVERIFY(red.save(path));
        data->setUrls({QUrl::fromLocalFile(path)});
    } else {
        data->setImageData(red);
    }
    drop(f, data, at);
    Outline& o = f.doc().outline;
    QCOMPARE(o.count(ObjectKind::Picture), 1);
    QCOMPARE(int(o.picture(1).parentFrame), parent);
    QCOMPARE(o.picture(1).bitmap().pixel(5, 5), QColor(Qt::red).rgb());
    // The picture keeps its 2 : 1 proportions, inside its frame when it lies in one.
    const QRect placed = o.picture(1).bounds;
    QVERIFY2(qAbs(placed.width() - 2 * placed.height()) <= 2,
             qPrintable(QStringLiteral("%1×%2").arg(placed.width()).arg(placed.height())));
    QVERIFY(placed.width() >= 150);
    if (parent)
        QVERIFY(QRect(QPoint(0, 0), o.frame(1).bounds.size()).contains(placed));
    QVERIFY(f.doc().state.modified);
    f.command(Command::Undo)->trigger();  // one Ctrl+Z takes the whole drop back
    QCOMPARE(f.doc().outline.count(ObjectKind::Picture), 0);
    QCOMPARE(f.doc().outline.count(ObjectKind::Frame), 1);
}

void TestOutsideInput::dropOnAFullOutlineIsRefused()
{
    WindowFixture f;
    f.beginOutline();
    for (int i = 0; i < 100; ++i)
        f.doc().outline.createPicture(QRect(i, i, 20, 20), 0);
    f.window->documents().recordStep(StepKind::Full);
    auto* data = new QMimeData;
    QImage picture(10, 10, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    data->setImageData(picture);
    drop(f, data, QPoint(300, 300));
    QCOMPARE(f.doc().outline.count(ObjectKind::Picture), 100);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages.first().text.contains(QStringLiteral("100")));
}

void TestOutsideInput::droppedOutlineAsksAboutUnsavedWorkThenOpens()
{
    WindowFixture f;
    f.beginOutline();
    Document other;
    other.outline.createFrame(QRect(10, 40, 100, 100), QStringLiteral("Другой"));
    const QString path = f.home.filePath(QStringLiteral("other.vmd"));
    QVERIFY(writeOutlineFile(path, other).ok);
    f.doc().outline.createFrame(QRect(40, 60, 240, 180), QStringLiteral("Несохранённый"));
    f.window->documents().recordStep(StepKind::Full);

    f.dialogs.answers.push_back(QMessageBox::Cancel);  // the save question: stay
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(path)});
    drop(f, data, QPoint(300, 300));
    QCOMPARE(f.doc().outline.frame(1).title, QStringLiteral("Несохранённый"));

    f.dialogs.answers.push_back(QMessageBox::No);  // the save question: drop the changes, open
    data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(path)});
    drop(f, data, QPoint(300, 300));
    QCOMPARE(f.doc().outline.count(ObjectKind::Frame), 1);
    QCOMPARE(f.doc().outline.frame(1).title, QStringLiteral("Другой"));
    QCOMPARE(f.dialogs.questions.size(), 2);  // asked once per drop, never twice
}

void TestOutsideInput::recentOutlinesKeepEightNewestAndDropVanishedOnes()
{
    QStringList list;
    for (int i = 1; i <= 10; ++i)
        list = RecentOutlines::withFront(list, QStringLiteral("/l/%1.vmd").arg(i));
    list = RecentOutlines::withFront(list, QStringLiteral("/l/5.vmd"));
    QCOMPARE(list.size(), RecentOutlines::kMaxItems);
    QCOMPARE(list.first(), QStringLiteral("/l/5.vmd"));
    QCOMPARE(list.count(QStringLiteral("/l/5.vmd")), 1);
    QCOMPARE(list.last(), QStringLiteral("/l/3.vmd"));

    WindowFixture f;
    f.beginOutline();
    Document saved;
    const QString kept = f.home.filePath(QStringLiteral("kept.vmd"));
    QVERIFY(writeOutlineFile(kept, saved).ok);
    const QString settingsFile = f.home.filePath(QStringLiteral("velmar.conf"));
    {
        QSettings settings(settingsFile, QSettings::IniFormat);
        settings.setValue(QStringLiteral("recentOutlines"), QStringList{f.home.filePath(QStringLiteral("gone.vmd")),
                                                                        QStringLiteral("relative.vmd"), kept});
    }
    QMenu menu;
    QAction* exit = menu.addAction(QStringLiteral("Выход"));
    QStringList opened;
    RecentOutlines recent(
        &menu, exit, [&](const QString& p) { opened << p; }, f.window.get());
    recent.useSettings(settingsFile);
    QCOMPARE(recent.paths(), (QStringList{f.home.filePath(QStringLiteral("gone.vmd")), kept}));
    menu.findChild<QAction*>(QStringLiteral("recentOutline1"))->trigger();
    QVERIFY(opened.isEmpty());
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages.first().text.contains(QStringLiteral("gone.vmd")));
    QCOMPARE(QSettings(settingsFile, QSettings::IniFormat).value(QStringLiteral("recentOutlines")).toStringList(),
             QStringList{kept});
    menu.findChild<QAction*>(QStringLiteral("recentOutline1"))->trigger();
    QCOMPARE(opened, QStringList{kept});
}

void TestOutsideInput::recentNamesAreShownAndAFifoIsSaidForWhatItIs()
{
    WindowFixture f;
    f.beginOutline();
    // A name with ESC and a line feed (a file from an archive), and a FIFO under an outline's name.
    const QString odd = f.home.filePath(QStringLiteral("a") + QChar(0x1B) + QStringLiteral("[2Jb\nc.vmd"));
    QFile oddFile(odd);
    QVERIFY(oddFile.open(QIODevice::WriteOnly));
    oddFile.close();
    const QString fifo = f.home.filePath(QStringLiteral("канал.vmd"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString settingsFile = f.home.filePath(QStringLiteral("velmar.conf"));
    QSettings(settingsFile, QSettings::IniFormat).setValue(QStringLiteral("recentOutlines"), QStringList{odd, fifo});
    QMenu menu;
    QAction* exit = menu.addAction(QStringLiteral("Выход"));
    QStringList opened;
    RecentOutlines recent(
        &menu, exit, [&](const QString& p) { opened << p; }, f.window.get());
    recent.useSettings(settingsFile);

    const QString caption = menu.findChild<QAction*>(QStringLiteral("recentOutline1"))->text();
    QVERIFY2(caption.contains(QStringLiteral("a␛[2Jb␊c.vmd")), qPrintable(caption));
    QVERIFY(!caption.contains(QChar(0x1B)) && !caption.contains(QLatin1Char('\n')));

    menu.findChild<QAction*>(QStringLiteral("recentOutline2"))->trigger();
    QVERIFY(opened.isEmpty());
    QCOMPARE(f.dialogs.messages.size(), 1);
    const QString said = f.dialogs.messages.first().text;
    QVERIFY2(said.contains(QStringLiteral("не обычный файл")) && !said.contains(QStringLiteral("не найден")),
             qPrintable(said));
    QCOMPARE(recent.paths(), QStringList{odd});
}

namespace {

// What another program offers on the clipboard: the encoded picture only, decoded when the picture
// is asked for (as Qt's X clipboard does).
class OfferedPicture : public QMimeData {
public:
    explicit OfferedPicture(const QByteArray& png) { setData(QStringLiteral("image/png"), png); }
    bool hasFormat(const QString& format) const override
    {
        return format == QLatin1String("application/x-qt-image") || QMimeData::hasFormat(format);
    }

protected:
    QVariant retrieveData(const QString& format, QMetaType type) const override
    {
        if (format == QLatin1String("application/x-qt-image"))
            return QImage::fromData(data(QStringLiteral("image/png")));
        return QMimeData::retrieveData(format, type);
    }
};

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFF;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
    }
    return ~crc;
}

QByteArray bigEndian(quint32 value)
{
    QByteArray bytes;
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes += char(value >> shift);
    return bytes;
}

QByteArray pngChunk(const QByteArray& typeAndData)
{
    return bigEndian(quint32(typeAndData.size() - 4)) + typeAndData + bigEndian(crc32(typeAndData));
}

// A PNG file whose header claims width × height pixels, with a few bytes of picture data.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    const QByteArray header = "IHDR" + bigEndian(width) + bigEndian(height) + QByteArray::fromHex("0802000000");
    return QByteArray::fromHex("89504e470d0a1a0a") + pngChunk(header) + pngChunk("IDAT" + QByteArray(16, '\0'))
           + pngChunk("IEND");
}

}  // namespace

void TestOutsideInput::pictureDataTooLargeIsSaidSo()
{
    WindowFixture f;
    f.beginOutline();
    QAction* paste = f.command(Command::Paste);
    QVERIFY(paste);
    QApplication::clipboard()->setMimeData(new OfferedPicture(pngClaiming(100000, 100000)));
    QVERIFY(QApplication::clipboard()->mimeData()->hasImage());
    paste->trigger();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY2(f.dialogs.messages[0].text.contains(QStringLiteral("слишком велик (100000 × 100000")),
             qPrintable(f.dialogs.messages[0].text));
    QCOMPARE(f.doc().outline.count(ObjectKind::Picture), 0);

    // Data that claims to be a picture and is none is said so too.
    QApplication::clipboard()->setMimeData(new OfferedPicture(QByteArray("not a picture")));
    paste->trigger();
    QCOMPARE(f.dialogs.messages.size(), 2);
    QCOMPARE(f.doc().outline.count(ObjectKind::Picture), 0);

    // The same data dropped from another program: said so, not dropped without a word.
    drop(f, new OfferedPicture(pngClaiming(100000, 100000)), QPoint(100, 120));
    QCOMPARE(f.dialogs.messages.size(), 3);
    QVERIFY2(f.dialogs.messages[2].text.contains(QStringLiteral("слишком велик (100000 × 100000")),
             qPrintable(f.dialogs.messages[2].text));
    drop(f, new OfferedPicture(QByteArray("not a picture")), QPoint(100, 120));
    QCOMPARE(f.dialogs.messages.size(), 4);
    QVERIFY2(f.dialogs.messages[3].text.contains(QStringLiteral("повреждены")), qPrintable(f.dialogs.messages[3].text));
    QCOMPARE(f.doc().outline.count(ObjectKind::Picture), 0);
}

QTEST_MAIN(TestOutsideInput)
#include "test_outside_input.moc"
