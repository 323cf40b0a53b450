#include "storage/object_fields.h"

#include <QTest>

using namespace velmar;

// What the history keeps beside its snapshots: the details no file record holds, and the layout
// an outline kept in its own layout showed at the step.
class TestKeptDetails : public QObject {
    Q_OBJECT
private slots:
    void detailsBesideTheRecords_data();
    void detailsBesideTheRecords();
    void countsThatDisagreeKeepNothing();
};

namespace {

// One object of every kind; `variant` gives every value a field may take a different setting.
Outline outlineOfEveryKind(int variant)
{
    Outline o;
    o.createFrame(QRect(10 * variant, 40, 300, 200), QStringLiteral("А"));
    o.createPicture(QRect(5 * variant, 5, 40, 40), 1);
    o.createCaption(QRect(5, 50 + variant, 40, 20), QStringLiteral("н"), 1);
    o.createVideo(QRect(50, 5 * variant, 40, 40), 1);
    o.createTextField(QRect(50, 50, 60 + variant, 30), kButtonFace, QStringLiteral("т"), 1);
    o.createArrow(variant, 1, 50, 50 + variant, 1, kBlack);
    FrameObject& f = o.frame(1);
    f.titleColour = ColourValue(variant);
    f.reference = QRect(variant, 0, 1, 1);
    f.colour = ColourValue(variant);
    PictureObject& p = o.picture(1);
    p.border = quint8(variant % 2);
    p.stretched = variant % 2 == 0;
    p.reference = QRect(variant, 1, 1, 1);
    p.minimalText = QString::number(variant);
    TextFieldObject& t = o.textField(1);
    t.readOnly = variant % 2;
    t.reference = QRect(variant, 2, 1, 1);
    t.referenceFontSize = 10 + variant;
    t.font.size = 8 + variant;
    t.text = QString::number(variant);
    VideoObject& v = o.video(1);
    v.playerVisible = variant % 2 == 0;
    v.reference = QRect(variant, 3, 1, 1);
    ArrowObject& a = o.arrow(1);
    a.referenceStart = QPoint(variant, 4);
    a.referenceEnd = QPoint(variant, 5);
    a.penWidth = 1 + variant;
    o.caption(1).reference = QRect(variant, 6, 1, 1);
    o.setReferenceClientSize(QSize(700 + variant, 500));
    return o;
}

}  // namespace

void TestKeptDetails::detailsBesideTheRecords_data()
{
    QTest::addColumn<bool>("ownLayout");
    QTest::newRow("the canvas's layout") << false;
    QTest::newRow("an own layout") << true;
}

void TestKeptDetails::detailsBesideTheRecords()
{
    QFETCH(bool, ownLayout);
    Outline to = outlineOfEveryKind(2);
    Outline from = outlineOfEveryKind(1);
    if (ownLayout)
        from.setOwnLayoutScale(0.5, 2);
    keepUnsavedDetails(to, from);

    // Kept: what the snapshots' records cannot hold.
    QCOMPARE(to.frame(1).titleColour, ColourValue(1));
    QCOMPARE(to.frame(1).reference, from.frame(1).reference);
    QCOMPARE(to.picture(1).border, quint8(1));
    QVERIFY(!to.picture(1).stretched);
    QCOMPARE(to.picture(1).reference, from.picture(1).reference);
    QVERIFY(to.textField(1).readOnly);
    QCOMPARE(to.textField(1).reference, from.textField(1).reference);
    QCOMPARE(to.textField(1).referenceFontSize, 11.0);
    QVERIFY(!to.video(1).playerVisible);
    QCOMPARE(to.video(1).reference, from.video(1).reference);
    QCOMPARE(to.arrow(1).referenceStart, QPoint(1, 4));
    QCOMPARE(to.arrow(1).referenceEnd, QPoint(1, 5));
    QCOMPARE(to.referenceClientSize(), QSize(701, 500));
    QCOMPARE(to.ownLayoutScale(), ownLayout ? 0.5 : 0.0);

    // Left as the snapshot had them: what the records hold, and a caption's reference.
    QCOMPARE(to.frame(1).colour, ColourValue(2));
    QCOMPARE(to.picture(1).minimalText, QStringLiteral("2"));
    QCOMPARE(to.textField(1).text, QStringLiteral("2"));
    QCOMPARE(to.arrow(1).penWidth, 3);
    QCOMPARE(to.caption(1).reference, QRect(2, 6, 1, 1));

    // The layout: the step's own for an own layout, the snapshot's otherwise.
    const Outline& layout = ownLayout ? from : outlineOfEveryKind(2);
    QCOMPARE(to.frame(1).bounds, layout.frame(1).bounds);
    QCOMPARE(to.picture(1).bounds, layout.picture(1).bounds);
    QCOMPARE(to.caption(1).bounds, layout.caption(1).bounds);
    QCOMPARE(to.video(1).bounds, layout.video(1).bounds);
    QCOMPARE(to.textField(1).bounds, layout.textField(1).bounds);
    QCOMPARE(to.textField(1).font.size, layout.textField(1).font.size);
    QCOMPARE(QPoint(to.arrow(1).x1, to.arrow(1).y2), QPoint(layout.arrow(1).x1, layout.arrow(1).y2));
}

void TestKeptDetails::countsThatDisagreeKeepNothing()
{
    Outline to = outlineOfEveryKind(2);
    to.createPicture(QRect(5, 5, 40, 40), 0);
    const Outline from = outlineOfEveryKind(1);
    keepUnsavedDetails(to, from);
    QCOMPARE(to.picture(1).border, quint8(0));
    QCOMPARE(to.picture(1).reference, QRect(2, 1, 1, 1));
    // The other kinds still agree.
    QCOMPARE(to.frame(1).titleColour, ColourValue(1));
}

QTEST_GUILESS_MAIN(TestKeptDetails)
#include "test_kept_details.moc"
