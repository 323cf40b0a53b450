// Finding words in an outline and replacing them in its texts: what is searched and in which
// order, letters of any case and ё taken for е, and what a replacement touches.
#include "model/text_search.h"

#include <QTest>

using namespace velmar;

namespace {

// Frame 2 comes first in the frame sequence; frame 1 holds a text field and a film; a text field
// lies on the canvas.
Outline lesson()
{
    Outline o;
    o.setClientSize(QSize(728, 487));
    o.createFrame(QRect(2, 34, 300, 300), QStringLiteral("Ёлка и ель"));
    o.createFrame(QRect(320, 34, 300, 300), QStringLiteral("Берёза"));
    o.frameSequence().swap(1, 2);
    o.frame(1).minimalText = QStringLiteral("хвойные: ель");
    const int t = o.createTextField(QRect(5, 30, 200, 40), kButtonFace, QStringLiteral("ЕЛЬ растёт\r\nель"), 1);
    o.textField(t).minimalText = QStringLiteral("про ель");
    const int v = o.createVideo(QRect(5, 100, 100, 80), 1);
    o.video(v).fileName = QStringLiteral("/видео/ЕЛЬ.avi");
    o.createTextField(QRect(400, 400, 200, 40), kButtonFace, QStringLiteral("берёзовая роща"), 0);
    return o;
}

QStringList describe(const Outline& o, const std::vector<SearchHit>& hits)
{
    QStringList out;
    for (const SearchHit& h : hits)
        out << QStringLiteral("%1:%2:%3")
                   .arg(int(o.find(h.object).kind))
                   .arg(int(h.field))
                   .arg(textOfHit(o, h).mid(h.start, h.length));
    return out;
}

}  // namespace

class TestTextSearch : public QObject {
    Q_OBJECT
private slots:
    void matchesAnyCaseAndYoAsYe_data();
    void matchesAnyCaseAndYoAsYe();
    void hitsComeInReadingOrder();
    void replacingTouchesTextsOnly();
    void aStaleHitIsNotReplaced();
};

void TestTextSearch::matchesAnyCaseAndYoAsYe_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("words");
    QTest::addColumn<QList<int>>("starts");
    QTest::newRow("ё in the text") << QStringLiteral("берёза") << QStringLiteral("береза") << QList<int>{0};
    QTest::newRow("ё in the words") << QStringLiteral("береза") << QStringLiteral("БЕРЁЗА") << QList<int>{0};
    QTest::newRow("capital Ё") << QStringLiteral("Ёж и ёжик") << QStringLiteral("еж") << QList<int>{0, 5};
    QTest::newRow("Latin, any case") << QStringLiteral("Velmar VELMAR") << QStringLiteral("vElMaR") << QList<int>{0, 7};
    QTest::newRow("no overlaps") << QStringLiteral("ааааа") << QStringLiteral("аа") << QList<int>{0, 2};
    QTest::newRow("across a line break") << QStringLiteral("конец\r\nначало") << QStringLiteral("ц\r\nн")
                                         << QList<int>{4};
    QTest::newRow("not there") << QStringLiteral("ель") << QStringLiteral("ёлка") << QList<int>{};
    QTest::newRow("й is not и") << QStringLiteral("мой") << QStringLiteral("мои") << QList<int>{};
}

void TestTextSearch::matchesAnyCaseAndYoAsYe()
{
    QFETCH(QString, text);
    QFETCH(QString, words);
    QFETCH(QList<int>, starts);
    Outline o;
    o.createFrame(QRect(2, 34, 300, 300), QString());
    o.createTextField(QRect(5, 30, 100, 40), kButtonFace, text, 1);
    QList<int> found;
    for (const SearchHit& h : findInOutline(o, words)) {
        QCOMPARE(h.field, SearchField::Text);
        QCOMPARE(h.length, words.size());
        found << h.start;
    }
    QCOMPARE(found, starts);
}

void TestTextSearch::hitsComeInReadingOrder()
{
    const Outline o = lesson();
    const int frame = int(ObjectKind::Frame), text = int(ObjectKind::TextField), video = int(ObjectKind::Video);
    const auto at = [](int kind, SearchField field, const char* what) {
        return QStringLiteral("%1:%2:%3").arg(kind).arg(int(field)).arg(QString::fromUtf8(what));
    };
    // Frame 2 first (the sequence), then frame 1: its title, its minimal text, then what lies in
    // it: the text field's text and minimal text, the film's name.
    QCOMPARE(describe(o, findInOutline(o, QStringLiteral("ель"))),
             QStringList({at(frame, SearchField::Title, "ель"), at(frame, SearchField::MinimalText, "ель"),
                          at(text, SearchField::Text, "ЕЛЬ"), at(text, SearchField::Text, "ель"),
                          at(text, SearchField::MinimalText, "ель"), at(video, SearchField::FilmName, "ЕЛЬ")}));
    QCOMPARE(describe(o, findInOutline(o, QStringLiteral("берез"))),
             QStringList({at(frame, SearchField::Title, "Берёз"), at(text, SearchField::Text, "берёз")}));
    QVERIFY(findInOutline(o, QString()).empty());
    const std::vector<SearchHit> hits = findInOutline(o, QStringLiteral("ель"));
    QVERIFY(std::is_sorted(hits.begin(), hits.end(), comesBefore));
}

void TestTextSearch::replacingTouchesTextsOnly()
{
    Outline o = lesson();
    QCOMPARE(replaceInTexts(o, QStringLiteral("ёль"), QStringLiteral("сосна")), 2);
    QCOMPARE(o.textField(1).text, QStringLiteral("сосна растёт\r\nсосна"));
    // Titles, minimal texts and film names stay as they were.
    QCOMPARE(o.frame(1).title, QStringLiteral("Ёлка и ель"));
    QCOMPARE(o.textField(1).minimalText, QStringLiteral("про ель"));
    QCOMPARE(o.video(1).fileName, QStringLiteral("/видео/ЕЛЬ.avi"));
    // A replacement holding the words is not replaced again; nothing found replaces nothing.
    QCOMPARE(replaceInTexts(o, QStringLiteral("сосна"), QStringLiteral("сосна сосна")), 2);
    QCOMPARE(o.textField(1).text, QStringLiteral("сосна сосна растёт\r\nсосна сосна"));
    QCOMPARE(replaceInTexts(o, QStringLiteral("дуб"), QStringLiteral("клён")), 0);
    QCOMPARE(replaceInTexts(o, QString(), QStringLiteral("x")), 0);
}

void TestTextSearch::aStaleHitIsNotReplaced()
{
    Outline o = lesson();
    const std::vector<SearchHit> hits = findInOutline(o, QStringLiteral("ель"));
    // Titles are not replaced; a text hit is, once; the same hit again no longer holds the words.
    QVERIFY(!replaceHit(o, hits[0], QStringLiteral("ель"), QStringLiteral("пихта")));
    const SearchHit second = hits[3];
    QCOMPARE(second.field, SearchField::Text);
    QVERIFY(replaceHit(o, second, QStringLiteral("ель"), QStringLiteral("пихта")));
    QCOMPARE(o.textField(1).text, QStringLiteral("ЕЛЬ растёт\r\nпихта"));
    QVERIFY(!replaceHit(o, second, QStringLiteral("ель"), QStringLiteral("пихта")));
    o.textField(1).text = QStringLiteral("ель");
    QVERIFY(!replaceHit(o, hits[2], QStringLiteral("ель растёт"), QStringLiteral("x")));
}

QTEST_GUILESS_MAIN(TestTextSearch)
#include "test_text_search.moc"
