// The outline summary: minimal texts in the order the show reveals them, frames not in the frame
// sequence and objects on the canvas included (pupils get what the show presents).
#include "model/summary.h"

#include <QTest>

using namespace velmar;

class TestSummary : public QObject {
    Q_OBJECT
private slots:
    void summary_data();
    void summary();
};

namespace {

enum Scenario { EmptyFrameSequence, OneEmptyFrame, SwappedFrames, UnknownEntries };

// Two frames read in swapped order, objects on both, one on the canvas and a caption, an empty
// frame minimal text and a picture whose minimal text was never edited.
Outline swappedFrames()
{
    Outline o;
    o.createFrame(QRect(0, 34, 200, 200), QStringLiteral("A"));
    o.createFrame(QRect(220, 34, 200, 200), QStringLiteral("B"));
    o.frame(1).minimalText = QStringLiteral("Первый");
    o.frame(2).minimalText = QString();
    const int picture = o.createPicture(QRect(10, 20, 50, 50), 1);  // never edited
    const int textB = o.createTextField(QRect(10, 20, 50, 30), kButtonFace, QStringLiteral("t"), 2);
    const int video = o.createVideo(QRect(10, 80, 50, 50), 1);
    o.createTextField(QRect(400, 300, 50, 30), kButtonFace, QStringLiteral("c"), 0);  // on the canvas
    o.createCaption(QRect(5, 5, 40, 13), QStringLiteral("n"), 1);
    o.textField(textB).minimalText = QStringLiteral("Текст B");
    o.video(video).minimalText = QStringLiteral("Видео A");
    o.textField(2).minimalText = QStringLiteral("на холсте");
    o.frameSequence().swap(1, 2);
    // Reading order of the objects: video, text field B, picture, canvas text field.
    o.objectSequence().swap(1, 3);
    Q_UNUSED(picture);
    return o;
}

}  // namespace

void TestSummary::summary_data()
{
    QTest::addColumn<int>("scenario");
    QTest::addColumn<QString>("expected");

    QTest::newRow("a frame missing from the frame sequence is still read")
        << int(EmptyFrameSequence) << QStringLiteral("\rF\r\r");
    QTest::newRow("a frame with an empty minimal text") << int(OneEmptyFrame) << QStringLiteral("\r\r\r");
    QTest::newRow("two frames in swapped order") << int(SwappedFrames)
                                                 << QStringLiteral("\r\r\rТекст B\r"
                                                                   "\rПервый\r\rВидео A\r<Неопределен>\r"
                                                                   "\r\r\rна холсте\r");
    QTest::newRow("entries naming nothing are skipped") << int(UnknownEntries) << QStringLiteral("\rF\r\r");
}

void TestSummary::summary()
{
    QFETCH(int, scenario);
    QFETCH(QString, expected);

    Outline o;
    switch (scenario) {
    case EmptyFrameSequence:
        o.createFrame(QRect(0, 34, 100, 100), QStringLiteral("F"));
        o.frame(1).minimalText = QStringLiteral("F");
        o.frameSequence().clear();
        break;
    case OneEmptyFrame: o.createFrame(QRect(0, 34, 100, 100), QStringLiteral("F")); break;
    case SwappedFrames: o = swappedFrames(); break;
    case UnknownEntries:
        o.createFrame(QRect(0, 34, 100, 100), QStringLiteral("F"));
        o.frame(1).minimalText = QStringLiteral("F");
        o.frameSequence().append(999, true);
        o.objectSequence().append(998, true);
        break;
    }
    QCOMPARE(buildSummary(o), expected);
}

QTEST_GUILESS_MAIN(TestSummary)
#include "test_summary.moc"
