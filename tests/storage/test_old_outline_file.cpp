#include "storage/jpeg_codec.h"
#include "storage/old_outline_file.h"
#include "support/old_format_writer.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace velmar;

namespace {

const QString kPath = QStringLiteral("/home/user/Конспекты/физика.vmc");
const QString kBlcPath = QStringLiteral("/home/user/Конспекты/физика.blc");

QByteArray jpegOf(QColor colour, QSize size = QSize(8, 6))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return encodeJpeg(image);
}

QByteArray bmpOf(QColor colour)
{
    QImage image(1, 1, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

bool near(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) <= 3 && qAbs(a.green() - b.green()) <= 3 && qAbs(a.blue() - b.blue()) <= 3;
}

// Two frames, two text fields (one in the second frame, one on the canvas), an arrow, a video
// fragment and two pictures (JPEG and BMP). The "4.0" reading order differs from creation order.
oldformat::Outline fullFixture(const QString& version)
{
    oldformat::Outline o;
    o.version = version;
    o.name = QStringLiteral("Физика");
    o.canvasColour = 0x00C0FFEE;
    o.windowSize = QSize(1024, 768);
    o.frames = {
        {QRect(10, 40, 300, 200), 0x0000FF00, 1, 2, 1, QStringLiteral("Опыты ®"), 0, QStringLiteral("Опыт\r\nпервый"),
         2},
        {QRect(320, 40, 300, 300), 0x00FF0000, 3, 0, 0, QStringLiteral("Величины"), 1, QStringLiteral("Величины"), 1}};
    o.textFields = {{2, QRect(5, 30, 100, 40), QStringLiteral("строка 1\r\nстрока 2"), 0x00ABCDEF, 2,
                     QStringLiteral("Arial"), 14, 0x000000FF, 2, 5, QStringLiteral("Мин\r\nтекст"), 3},
                    {0, QRect(990, 700, 66, 19), QStringLiteral("край"), kButtonFace, 1, QStringLiteral("Courier"), 9,
                     kWindowText, 1, 8, QString(), 1}};
    o.arrows = {{100, 100, 200, 150, 3, 0x000000FF}};
    o.videos = {{1, QRect(20, 30, 150, 100), QStringLiteral("/видео/опыт.avi"), QStringLiteral("видео"), 5}};
    o.pictures = {{1, QRect(10, 10, 80, 60), QStringLiteral("рисунок"), 2, jpegOf(Qt::red)},
                  {0, QRect(400, 400, 50, 50), QStringLiteral("схема"), 4, bmpOf(Qt::blue)}};
    return o;
}

// Layout of the small fixture's lines (0-based), checked by every test that uses it.
enum SmallLine {
    WindowWidth = 3,
    FrameCount = 6,
    Frame1Height = 10,
    Frame1InnerBevel = 12,
    TextFieldParent = 33,
    TextFieldFontSize = 42,
    ArrowWidth = 54,
    PictureCount = 59,
    PictureTop = 62,
    SmallLineCount = 67
};

oldformat::Outline smallFixture()
{
    oldformat::Outline o;
    o.name = QStringLiteral("Малый");
    o.frames = {{QRect(2, 34, 150, 150), kButtonFace, 0, 2, 0, QStringLiteral("А"), 1, QStringLiteral("а"), 1},
                {QRect(160, 34, 150, 150), kButtonFace, 0, 2, 0, QStringLiteral("Б"), 1, QStringLiteral("б"), 2}};
    oldformat::TextField field;
    field.parent = 2;
    field.bounds = QRect(5, 20, 66, 19);
    field.text = QStringLiteral("Текст1");
    field.sequencePosition = 1;
    o.textFields = {field};
    o.arrows = {{50, 60, 80, 60, 1, kBlack}};
    o.pictures = {{1, QRect(10, 10, 80, 60), QString(), 2, jpegOf(Qt::green)}};
    return o;
}

QList<int> frameSlotsInSequence(const Outline& outline)
{
    QList<int> frameSlots;
    for (int p = 1; p <= outline.frameSequence().length(); ++p)
        frameSlots << outline.findSlot(ObjectKind::Frame, outline.frameSequence().entry(p));
    return frameSlots;
}

}  // namespace

class TestOldOutlineFile : public QObject {
    Q_OBJECT
private slots:
    void readsEveryKind_data();
    void readsEveryKind();
    void substituteBytes_data();
    void substituteBytes();
    void tooltips_data();
    void tooltips();
    void sequencePositions_data();
    void sequencePositions();
    void pictureLengthTypes_data();
    void pictureLengthTypes();
    void numberForms_data();
    void numberForms();
    void unsupportedVersion_data();
    void unsupportedVersion();
    void damagedOutline_data();
    void damagedOutline();
    void damagedPictures_data();
    void damagedPictures();
    void sideFileNeededOnlyForPictures();
    void countsUpToCapacity();
    void filesOnDisk();
};

void TestOldOutlineFile::readsEveryKind_data()
{
    QTest::addColumn<QString>("version");
    QTest::newRow("4.0") << QStringLiteral("4.0");
    QTest::newRow("3.9") << QStringLiteral("3.9");
    QTest::newRow("3.5") << QStringLiteral("3.5");
}

void TestOldOutlineFile::readsEveryKind()
{
    QFETCH(QString, version);
    const oldformat::Outline file = fullFixture(version);
    const QByteArray blc = oldformat::blc(file);
    const LoadResult r = readOldOutline(oldformat::vmc(file), &blc, kPath);
    QVERIFY2(r.ok, qPrintable(r.message));
    const bool v40 = version == QLatin1String("4.0"), v35 = version == QLatin1String("3.5");
    const Outline& o = r.outline;

    QCOMPARE(r.outlineName, QStringLiteral("Физика"));
    QCOMPARE(r.canvasColour, ColourValue(0x00C0FFEE));
    QCOMPARE(r.windowSize, QSize(1024, 768));
    QCOMPARE(o.clientSize(), QSize(1024, 768) - defaultWindowChrome());
    QVERIFY(o.sequenceRecording());
    const QString warning = v35 ? QStringLiteral("Могут возникнуть ошибки при открытии файла.")
                                : QStringLiteral("В текущем файле нет данных о логике конспекта.");
    if (v40)
        QVERIFY(r.notices.isEmpty());
    else
        QCOMPARE(r.notices, QStringList{"Версия файла \"" + version + "\"\n\rВерсия программы \"4.1\"\n\r" + warning});

    QCOMPARE(o.count(ObjectKind::Frame), 2);
    const FrameObject& f1 = o.frame(1);
    QCOMPARE(f1.bounds, QRect(10, 40, 300, 200));
    QCOMPARE(f1.colour, ColourValue(0x0000FF00));
    QCOMPARE(f1.innerBevel, quint8(1));
    QCOMPARE(f1.outerBevel, quint8(2));
    QCOMPARE(f1.borderLine, quint8(1));
    QCOMPARE(f1.title, QStringLiteral("Опыты ®"));
    QVERIFY(!f1.titleVisible);
    QVERIFY(o.frame(2).titleVisible);
    QCOMPARE(f1.minimalText, v40 ? QStringLiteral("Опыт\r\nпервый") : QString());
    QCOMPARE(f1.hint, v40 ? QStringLiteral("Опыт\r\nпервый") : QStringLiteral("Опыты ®"));

    QCOMPARE(o.count(ObjectKind::TextField), 2);
    const TextFieldObject& t1 = o.textField(1);
    QCOMPARE(int(t1.parentFrame), 2);
    QCOMPARE(t1.bounds, QRect(5, 30, 100, 40));
    QCOMPARE(t1.text, QStringLiteral("строка 1\r\nстрока 2"));
    // The oldest files keep no colour or alignment for text fields: the parent's colour is used.
    QCOMPARE(t1.background, v35 ? ColourValue(0x00FF0000) : ColourValue(0x00ABCDEF));
    QCOMPARE(o.textField(2).background, v35 ? ColourValue(0x00C0FFEE) : kButtonFace);
    QCOMPARE(int(t1.alignment), v35 ? 0 : 2);
    QCOMPARE(t1.font, (FontSpec{QStringLiteral("Arial"), 14, 0x000000FF, 2, 5}));
    QCOMPARE(t1.minimalText, v40 ? QStringLiteral("Мин\r\nтекст") : kUndefinedText);
    QCOMPARE(t1.hint, t1.minimalText);
    // Fitted into the canvas the stored window size leaves: cut at the edges, then made 30 x 30.
    QCOMPARE(o.textField(2).bounds, QRect(978, 679, 30, 30));
    QCOMPARE(int(o.textField(2).parentFrame), 0);

    QCOMPARE(o.count(ObjectKind::Arrow), 1);
    const ArrowObject& a = o.arrow(1);
    QCOMPARE((QList<int>{a.x1, a.y1, a.x2, a.y2, a.penWidth}), (QList<int>{100, 100, 200, 150, 3}));
    QCOMPARE(a.colour, ColourValue(0x000000FF));

    QCOMPARE(o.count(ObjectKind::Video), 1);
    QCOMPARE(o.video(1).fileName, QStringLiteral("/видео/опыт.avi"));
    QCOMPARE(int(o.video(1).parentFrame), 1);
    QCOMPARE(o.video(1).minimalText, v40 ? QStringLiteral("видео") : kUndefinedText);

    QCOMPARE(o.count(ObjectKind::Picture), 2);
    const PictureObject& jpeg = o.picture(1);
    QCOMPARE(int(jpeg.parentFrame), 1);
    QCOMPARE(jpeg.bounds, QRect(10, 10, 80, 60));
    QCOMPARE(jpeg.bitmap().size(), QSize(8, 6));
    QVERIFY(near(jpeg.bitmap().pixelColor(4, 3), Qt::red));
    QCOMPARE(jpeg.jpegStream(), file.pictures[0].stream);  // kept for saving unchanged
    const PictureObject& bmp = o.picture(2);
    QCOMPARE(bmp.bitmap().size(), QSize(1, 1));
    QCOMPARE(bmp.bitmap().pixelColor(0, 0), QColor(Qt::blue));
    QCOMPARE(bmp.minimalText, v40 ? QStringLiteral("схема") : kUndefinedText);

    // "4.0" keeps the stored reading order; older files read in creation order.
    const QList<ObjectId> objects = {o.textField(1).id, o.textField(2).id, o.video(1).id, o.picture(1).id,
                                     o.picture(2).id};
    const QList<ObjectId> expected =
        v40 ? QList<ObjectId>{objects[1], objects[3], objects[0], objects[4], objects[2]} : objects;
    QList<ObjectId> actual;
    for (int p = 1; p <= o.objectSequence().length(); ++p)
        actual << o.objectSequence().entry(p);
    QCOMPARE(actual, expected);
    QCOMPARE(frameSlotsInSequence(o), v40 ? (QList<int>{2, 1}) : (QList<int>{1, 2}));
}

// The substitute bytes of line breaks, per version and per kind of text: everything else in a
// line is an ordinary Windows-1251 character.
void TestOldOutlineFile::substituteBytes_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QString>("expected");

    QTest::newRow("4.0 text: CR LF") << "4.0"
                                     << "text"
                                     << QByteArray("a\xAF\xAE"
                                                   "b")
                                     << "a\r\nb";
    QTest::newRow("4.0 text: lone LF and CR") << "4.0"
                                              << "text" << QByteArray("\xAEx\xAF") << "\nx\r";
    QTest::newRow("4.0 text keeps ю and я") << "4.0"
                                            << "text" << QByteArray("\xFE\xFF") << "юя";
    QTest::newRow("4.0 frame minimal text") << "4.0"
                                            << "minimal"
                                            << QByteArray("1\xAF\xAE"
                                                          "2")
                                            << "1\r\n2";
    QTest::newRow("4.0 frame title keeps ®") << "4.0"
                                             << "title" << QByteArray("\xAF\xAE") << "Ї®";
    QTest::newRow("3.9 text: CR LF") << "3.9"
                                     << "text" << QByteArray("\xAF\xAE\xAF\xAE") << "\r\n\r\n";
    QTest::newRow("3.5 text: CR LF") << "3.5"
                                     << "text"
                                     << QByteArray("a\xFF\xFE"
                                                   "b")
                                     << "a\r\nb";
    QTest::newRow("3.5 text keeps ® and Ї") << "3.5"
                                            << "text" << QByteArray("\xAE\xAF") << "®Ї";
}

void TestOldOutlineFile::substituteBytes()
{
    QFETCH(QString, version);
    QFETCH(QString, field);
    QFETCH(QByteArray, raw);
    QFETCH(QString, expected);

    oldformat::Outline file = smallFixture();
    file.version = version;
    file.pictures.clear();
    const QString marker = QStringLiteral("MARKER");
    if (field == QLatin1String("text"))
        file.textFields[0].text = marker;
    else if (field == QLatin1String("minimal"))
        file.frames[0].minimalText = marker;
    else
        file.frames[0].title = marker;
    QList<QByteArray> lines = oldformat::lines(file);
    QCOMPARE(lines.count(marker.toLatin1()), 1);
    lines[lines.indexOf(marker.toLatin1())] = raw;

    const LoadResult r = readOldOutline(oldformat::joinLines(lines), nullptr, kPath);
    QVERIFY2(r.ok, qPrintable(r.message));
    const QString actual = field == QLatin1String("text")      ? r.outline.textField(1).text
                           : field == QLatin1String("minimal") ? r.outline.frame(1).minimalText
                                                               : r.outline.frame(1).title;
    QCOMPARE(actual, expected);
}

void TestOldOutlineFile::tooltips_data()
{
    QTest::addColumn<QString>("minimalText");
    QTest::addColumn<QString>("tooltip");

    const QString x255(255, QLatin1Char('x'));
    QTest::newRow("255 characters: unchanged") << x255 << x255;
    QString blankAt200 = QString(199, QLatin1Char('a')) + QLatin1Char(' ') + QString(56, QLatin1Char('b'));
    QTest::newRow("256 characters, blank at 200")
        << blankAt200 << QString(199, QLatin1Char('a')) + QStringLiteral(" ...");
    QString blankAt254 = QString(100, QLatin1Char('a')) + QLatin1Char(' ') + QString(152, QLatin1Char('b'))
                         + QLatin1Char(' ') + QString(46, QLatin1Char('c'));
    QTest::newRow("300 characters, blanks at 101 and 254")
        << blankAt254 << QString(100, QLatin1Char('a')) + QStringLiteral(" ...");
    QTest::newRow("300 characters, no blank") << QString(300, QLatin1Char('z')) << QString();
    QTest::newRow("blank only at 1") << QLatin1Char(' ') + QString(299, QLatin1Char('z')) << QStringLiteral(" ...");
}

void TestOldOutlineFile::tooltips()
{
    QFETCH(QString, minimalText);
    QFETCH(QString, tooltip);
    QCOMPARE(shortenedTooltip(minimalText), tooltip);

    // The import shortens the tooltips of every kind and keeps the whole minimal text.
    oldformat::Outline file = smallFixture();
    file.frames[0].minimalText = minimalText;
    file.pictures[0].minimalText = minimalText;
    const QByteArray blc = oldformat::blc(file);
    const LoadResult r = readOldOutline(oldformat::vmc(file), &blc, kPath);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.outline.frame(1).minimalText, minimalText);
    QCOMPARE(r.outline.frame(1).hint, tooltip);
    QCOMPARE(r.outline.picture(1).minimalText, minimalText);
    QCOMPARE(r.outline.picture(1).hint, tooltip);
}

// Stored positions of three "4.0" frames, and the frame frameSlots the sequence then holds: damaged
// positions never leave an empty entry behind.
void TestOldOutlineFile::sequencePositions_data()
{
    QTest::addColumn<QList<int>>("positions");
    QTest::addColumn<QList<int>>("frameSlots");
    QTest::newRow("in order") << QList<int>{1, 2, 3} << QList<int>{1, 2, 3};
    QTest::newRow("rotated") << QList<int>{3, 1, 2} << QList<int>{2, 3, 1};
    // The same rule as for current-format files: the later claim wins the place, the other frame
    // joins the end rather than leaving the reading order.
    QTest::newRow("two claims to one place: the later wins") << QList<int>{2, 2, 1} << QList<int>{3, 2, 1};
    QTest::newRow("0 leaves a frame out") << QList<int>{0, 1, 2} << QList<int>{2, 3};
    QTest::newRow("beyond the frame count: the gap closes") << QList<int>{5, 1, 2} << QList<int>{2, 3, 1};
}

void TestOldOutlineFile::sequencePositions()
{
    QFETCH(QList<int>, positions);
    QFETCH(QList<int>, frameSlots);
    oldformat::Outline file = smallFixture();
    file.pictures.clear();
    const oldformat::Frame third = file.frames[0];
    file.frames << third;
    for (int i = 0; i < 3; ++i)
        file.frames[i].sequencePosition = positions[i];
    const LoadResult r = readOldOutline(oldformat::vmc(file), nullptr, kPath);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(frameSlotsInSequence(r.outline), frameSlots);
    // A frame made after loading joins at the end.
    Outline outline = r.outline;
    const int added = outline.createFrame(QRect(0, 34, 50, 50), QStringLiteral("Новый"));
    QCOMPARE(frameSlotsInSequence(outline), frameSlots + QList<int>{added});
}

void TestOldOutlineFile::pictureLengthTypes_data()
{
    QTest::addColumn<int>("bmpType");
    QTest::addColumn<int>("jpegType");
    QTest::newRow("1-byte and 2-byte lengths") << 2 << 3;
    QTest::newRow("2-byte and 4-byte lengths") << 3 << 4;
    QTest::newRow("4-byte lengths") << 4 << 4;
}

void TestOldOutlineFile::pictureLengthTypes()
{
    QFETCH(int, bmpType);
    QFETCH(int, jpegType);
    oldformat::Outline file = smallFixture();
    const QByteArray bmp = bmpOf(QColor(10, 200, 30));
    QVERIFY(bmp.size() <= 127);
    file.pictures = {{0, QRect(0, 40, 30, 30), QString(), 1, bmp, bmpType},
                     {1, QRect(0, 0, 30, 30), QString(), 2, jpegOf(Qt::yellow, QSize(40, 20)), jpegType}};
    const QByteArray blc = oldformat::blc(file);
    QCOMPARE(quint8(blc[0]), quint8(bmpType));
    const LoadResult r = readOldOutline(oldformat::vmc(file), &blc, kPath);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.outline.picture(1).bitmap().pixelColor(0, 0), QColor(10, 200, 30));
    QCOMPARE(r.outline.picture(2).bitmap().size(), QSize(40, 20));
    QVERIFY(near(r.outline.picture(2).bitmap().pixelColor(20, 10), Qt::yellow));
}

// Colour lines as the old program may have written them, signed or unsigned.
void TestOldOutlineFile::numberForms_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<uint>("colour");
    QTest::newRow("signed system colour") << QByteArray("-16777201") << uint(kButtonFace);
    QTest::newRow("unsigned system colour") << QByteArray("4278190095") << uint(kButtonFace);
    QTest::newRow("plus sign and blanks") << QByteArray(" +255\t") << 255u;
    QTest::newRow("largest unsigned") << QByteArray("4294967295") << 0xFFFFFFFFu;
}

void TestOldOutlineFile::numberForms()
{
    QFETCH(QByteArray, line);
    QFETCH(uint, colour);
    oldformat::Outline file = smallFixture();
    file.pictures.clear();
    QList<QByteArray> lines = oldformat::lines(file);
    lines[2] = line;
    const LoadResult r = readOldOutline(oldformat::joinLines(lines), nullptr, kPath);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.canvasColour, ColourValue(colour));
}

void TestOldOutlineFile::unsupportedVersion_data()
{
    QTest::addColumn<QByteArray>("versionLine");
    QTest::addColumn<QString>("shown");
    QTest::newRow("4.1 (the current format's version)") << QByteArray("4.1") << "4.1";
    QTest::newRow("trailing blank") << QByteArray("4.0 ") << "4.0 ";
    QTest::newRow("empty line") << QByteArray("") << "";
    QTest::newRow("binary first line: cut, control bytes shown as ?") << QByteArray("\x03"
                                                                                    "4.1\0\0\0\0\0\0\0\0\0\0",
                                                                                    15)
                                                                      << "?4.1??????";
}

void TestOldOutlineFile::unsupportedVersion()
{
    QFETCH(QByteArray, versionLine);
    QFETCH(QString, shown);
    QList<QByteArray> lines = oldformat::lines(smallFixture());
    lines[0] = versionLine;
    const QByteArray blc = oldformat::blc(smallFixture());
    const LoadResult r = readOldOutline(oldformat::joinLines(lines), &blc, kPath);
    QVERIFY(!r.ok);
    QCOMPARE(r.message, "Не поддерживаемая версия файла\n\rВерсия программы \"4.1\"\n\rВерсия файла \"" + shown + "\"");
    QCOMPARE(r.outline.count(ObjectKind::Frame), 0);
}

// The small fixture cut before a line (replacement "CUT") or with one line replaced: each is
// refused with a message naming the file, the line and the item.
void TestOldOutlineFile::damagedOutline_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QByteArray>("replacement");
    QTest::addColumn<QStringList>("phrases");
    const QByteArray cut("CUT");
    const QString bad = QStringLiteral("Invalid numeric input");

    QTest::newRow("empty file") << 0 << cut << QStringList{"строкой 1", "версия файла"};
    QTest::newRow("ends before the frame count") << int(FrameCount) << cut << QStringList{"строкой 7", "число фреймов"};
    QTest::newRow("ends inside a frame") << int(Frame1Height) << cut << QStringList{"строкой 11", "фрейм 1: высота"};
    QTest::newRow("ends before the picture count")
        << int(PictureCount) << cut << QStringList{"строкой 60", "число рисунков"};
    QTest::newRow("ends inside the last picture") << int(PictureTop) << cut << QStringList{"рисунок 1: верхний край"};
    QTest::newRow("letters in a number") << int(WindowWidth) << QByteArray("12x")
                                         << QStringList{"строке 4", "ширина окна", "«12x»", bad};
    QTest::newRow("empty number line") << int(TextFieldFontSize) << QByteArray("")
                                       << QStringList{"строке 43", "текстовое поле 1: размер шрифта", bad};
    QTest::newRow("hexadecimal") << int(FrameCount) << QByteArray("0x2") << QStringList{"число фреймов", bad};
    QTest::newRow("two numbers") << int(ArrowWidth) << QByteArray("1 2") << QStringList{"стрелка 1: толщина", bad};
    QTest::newRow("beyond 32 bits") << int(WindowWidth) << QByteArray("99999999999999") << QStringList{bad};
    QTest::newRow("frame count above 100")
        << int(FrameCount) << QByteArray("101") << QStringList{"строке 7", "число фреймов", "101", "от 0 до 100"};
    QTest::newRow("negative picture count")
        << int(PictureCount) << QByteArray("-1") << QStringList{"число рисунков", "-1"};
    QTest::newRow("bevel out of range") << int(Frame1InnerBevel) << QByteArray("4")
                                        << QStringList{"фрейм 1: внутренний скос", "от 0 до 3"};
    QTest::newRow("arrow width 0") << int(ArrowWidth) << QByteArray("0") << QStringList{"стрелка 1: толщина"};
    QTest::newRow("negative frame height") << int(Frame1Height) << QByteArray("-5") << QStringList{"фрейм 1: высота"};
    QTest::newRow("parent beyond the frames")
        << int(TextFieldParent) << QByteArray("3") << QStringList{"строке 34", "фрейм 3", "фреймов в файле 2"};
}

void TestOldOutlineFile::damagedOutline()
{
    QFETCH(int, line);
    QFETCH(QByteArray, replacement);
    QFETCH(QStringList, phrases);
    const oldformat::Outline file = smallFixture();
    QList<QByteArray> lines = oldformat::lines(file);
    QCOMPARE(lines.size(), int(SmallLineCount));
    if (replacement == "CUT")
        lines = lines.mid(0, line);
    else
        lines[line] = replacement;
    const QByteArray blc = oldformat::blc(file);
    const LoadResult r = readOldOutline(oldformat::joinLines(lines), &blc, kPath);
    QVERIFY(!r.ok);
    QVERIFY2(r.message.contains(QStringLiteral("«%1»").arg(kPath)), qPrintable(r.message));
    for (const QString& phrase : phrases)
        QVERIFY2(r.message.contains(phrase), qPrintable(r.message + " / " + phrase));
    // Nothing of a refused file is handed over.
    QCOMPARE(r.outline.count(ObjectKind::Frame), 0);
    QCOMPARE(r.outline.frameSequence().length(), 0);
}

void TestOldOutlineFile::damagedPictures_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("blc");
    QTest::addColumn<QStringList>("phrases");
    const QByteArray jpeg = smallFixture().pictures[0].stream;
    const QString ends = QStringLiteral("обрывается на рисунке 1 из 1");
    const QString unreadable = QStringLiteral("рисунок 1 не удаётся прочитать");

    QTest::newRow("missing") << false << QByteArray() << QStringList{"файл не найден", kPath};
    QTest::newRow("empty") << true << QByteArray() << QStringList{ends};
    QTest::newRow("length cut short") << true << QByteArray("\x04\x10\x02", 3) << QStringList{ends};
    QTest::newRow("stream cut short") << true << oldformat::length(jpeg.size()) + jpeg.left(jpeg.size() / 2)
                                      << QStringList{ends, QString::number(jpeg.size())};
    QTest::newRow("type byte 5") << true << QByteArray("\x05") + jpeg
                                 << QStringList{"неизвестным типом 5", "Invalid property value"};
    QTest::newRow("type byte 0") << true << QByteArray(1, '\0') + jpeg << QStringList{"Invalid property value"};
    QTest::newRow("negative length") << true << QByteArray("\x02\xFF", 2) + jpeg << QStringList{"неверная длина -1"};
    QTest::newRow("zero length") << true << oldformat::length(0, 4) + jpeg << QStringList{"неверная длина 0"};
    QTest::newRow("not a JPEG") << true << oldformat::length(40) + QByteArray(40, 'x') << QStringList{unreadable};
    QTest::newRow("JPEG ending early") << true << oldformat::length(jpeg.size() / 2) + jpeg.left(jpeg.size() / 2)
                                       << QStringList{unreadable};
    QTest::newRow("damaged BMP") << true << oldformat::length(20) + QByteArray("BM") + QByteArray(18, '\x7F')
                                 << QStringList{unreadable, "BMP"};
}

void TestOldOutlineFile::damagedPictures()
{
    QFETCH(bool, present);
    QFETCH(QByteArray, blc);
    QFETCH(QStringList, phrases);
    const LoadResult r = readOldOutline(oldformat::vmc(smallFixture()), present ? &blc : nullptr, kPath);
    QVERIFY(!r.ok);
    QVERIFY2(r.message.contains(QStringLiteral("«%1»").arg(kBlcPath)), qPrintable(r.message));
    for (const QString& phrase : phrases)
        QVERIFY2(r.message.contains(phrase), qPrintable(r.message + " / " + phrase));
    QCOMPARE(r.outline.count(ObjectKind::Frame), 0);
}

void TestOldOutlineFile::sideFileNeededOnlyForPictures()
{
    oldformat::Outline file = smallFixture();
    file.pictures.clear();
    const LoadResult r = readOldOutline(oldformat::vmc(file), nullptr, kPath);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.outline.count(ObjectKind::Frame), 2);
    QCOMPARE(r.outline.count(ObjectKind::TextField), 1);
}

void TestOldOutlineFile::countsUpToCapacity()
{
    oldformat::Outline file = smallFixture();
    file.pictures.clear();
    for (int i = 0; i < 100; ++i)
        file.arrows << oldformat::Arrow{i, 40, i + 30, 40, 1 + i % 10, kBlack};
    QList<QByteArray> lines = oldformat::lines(file);
    QByteArray data = oldformat::joinLines(lines);
    QCOMPARE(readOldOutline(data, nullptr, kPath).ok, false);  // 101 arrows

    file.arrows.removeFirst();
    const LoadResult r = readOldOutline(oldformat::vmc(file), nullptr, kPath);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.outline.count(ObjectKind::Arrow), 100);
    QCOMPARE(r.outline.arrow(100).penWidth, 10);
}

void TestOldOutlineFile::filesOnDisk()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("урок.v1.vmc"));
    QCOMPARE(oldPicturesPath(path), dir.filePath(QStringLiteral("урок.v1.blc")));
    QCOMPARE(oldPicturesPath(QStringLiteral("/a.b/x")), QStringLiteral("/a.b/x.blc"));

    const oldformat::Outline file = smallFixture();
    QVERIFY(oldformat::writeFiles(file, path));
    LoadResult r = readOldOutlineFile(path, QSize(10, 40));
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.outline.clientSize(), QSize(734, 506));
    QVERIFY(near(r.outline.picture(1).bitmap().pixelColor(1, 1), Qt::green));
    QFile vmcFile(path);
    QVERIFY(vmcFile.open(QIODevice::ReadOnly));
    QCOMPARE(oldOutlineWindowSize(vmcFile.readAll()), r.windowSize);

    // Read for a small drawing (a thumbnail), a large photo is decoded reduced, not at full size,
    // and keeps no stream to be saved.
    oldformat::Outline large = file;
    QImage photo(1600, 1200, QImage::Format_RGB32);
    photo.fill(Qt::green);
    large.pictures[0].stream = encodeJpeg(photo);
    QVERIFY(oldformat::writeFiles(large, path));
    r = readOldOutlineFile(path, QSize(10, 40), 0.1);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.outline.picture(1).bitmap().size(), QSize(200, 150));
    QVERIFY(r.outline.picture(1).jpegStream().isEmpty());
    QVERIFY(oldformat::writeFiles(file, path));

    // A side file copied from Windows with the extension in capitals is found too.
    QVERIFY(QFile::rename(oldPicturesPath(path), dir.filePath(QStringLiteral("урок.v1.BLC"))));
    r = readOldOutlineFile(path);
    QVERIFY2(r.ok, qPrintable(r.message));

    QVERIFY(QFile::remove(dir.filePath(QStringLiteral("урок.v1.BLC"))));
    r = readOldOutlineFile(path);
    QVERIFY(!r.ok);
    QVERIFY(r.message.contains(oldPicturesPath(path)));

    r = readOldOutlineFile(dir.filePath(QStringLiteral("нет.vmc")));
    QVERIFY(!r.ok);
    QVERIFY(r.message.contains(dir.filePath(QStringLiteral("нет.vmc"))));
    QVERIFY(r.message.contains(QStringLiteral("не найден")));
}

QTEST_GUILESS_MAIN(TestOldOutlineFile)
#include "test_old_outline_file.moc"
