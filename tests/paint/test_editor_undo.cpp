// The editor's undo history, which keeps only the changed rectangles between states, against a
// plain history of ten whole copies: the same states, limits and menu enabling, pixel for pixel,
// over seeded random mixes of small strokes and whole-picture changes.
#include "paint/core/editor_undo.h"

#include <QPainter>
#include <QTest>

#include <algorithm>
#include <array>
#include <random>

using namespace velmar::paint;

namespace {

// Ten whole copies, the history the editor's behaviour is defined by.
class WholeCopies {
public:
    void clear() { index = count = 0; }
    void push(const QImage& picture)
    {
        if (index != 0)
            undoEnabled = true;
        if (++index > 10) {
            std::rotate(states.begin(), states.begin() + 1, states.end());
            index = 10;
        }
        count = index;
        states[std::size_t(index - 1)] = picture.copy();
    }
    QImage undo()
    {
        --index;
        redoEnabled = true;
        if (index < 2)
            undoEnabled = false;
        if (index <= 0)
            index = 1;
        if (count == 0) {
            index = 0;
            redoEnabled = false;
        }
        return shown();
    }
    QImage redo()
    {
        ++index;
        undoEnabled = true;
        if (count - 1 < index)
            redoEnabled = false;
        if (index > count) {
            index = count;
            redoEnabled = false;
        }
        return shown();
    }
    QImage shown() const { return index >= 1 ? states[std::size_t(index - 1)] : QImage(); }

    std::array<QImage, 10> states;
    int index = 0;
    int count = 0;
    bool undoEnabled = false;
    bool redoEnabled = false;
};

QImage blank(QSize size, QRgb colour)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

// Where the two pictures first differ, for the failure message.
QString firstDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return QStringLiteral("size %1x%2 against %3x%4").arg(a.width()).arg(a.height()).arg(b.width()).arg(b.height());
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("pixel %1,%2").arg(x).arg(y);
    return QString();
}

}  // namespace

class TestEditorUndo : public QObject {
    Q_OBJECT
private slots:
    void randomMixMatchesWholeCopies_data();
    void randomMixMatchesWholeCopies();
    void memoryFollowsTheChangedArea();
    void undoReportsOnlyWhatItChanged();
};

void TestEditorUndo::randomMixMatchesWholeCopies_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 2u, 3u, 17u, 4242u})
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
}

void TestEditorUndo::randomMixMatchesWholeCopies()
{
    // The picture is drawn on as the editor would: small rectangles (across tile edges and the
    // picture's borders), scattered dots, whole fills, size changes and unchanged recordings,
    // with undo and redo in between and, now and then, a fresh start. After every step the
    // history must show exactly what ten whole copies would, with the same items enabled.
    QFETCH(quint32, seed);
    std::mt19937 rng(seed);
    const auto below = [&rng](int n) { return int(rng() % quint32(n)); };
    const auto colour = [&] { return qRgb(below(256), below(256), below(256)); };
    EditorUndo undo;
    WholeCopies whole;
    QImage picture = blank(QSize(200, 150), 0xFFFFFFFF);
    undo.pushUndo(picture);
    whole.push(picture);
    for (int step = 0; step < 600; ++step) {
        const int kind = below(20);
        QString what;
        if (kind < 6) {
            // A stroke: one rectangle; the history is told where (or left to compare all).
            const QRect r(below(picture.width() + 20) - 10, below(picture.height() + 20) - 10, 1 + below(90),
                          1 + below(70));
            QPainter(&picture).fillRect(r, QColor::fromRgb(colour()));
            if (below(2))
                undo.pushUndo(picture, r);
            else
                undo.pushUndo(picture);
            whole.push(picture);
            what = QStringLiteral("stroke");
        } else if (kind < 7) {
            // Dots far apart, told as their bounding rectangle.
            QRect bounds;
            for (int i = 0; i < 4; ++i) {
                const QPoint p(below(picture.width()), below(picture.height()));
                picture.setPixel(p, colour());
                bounds |= QRect(p, QSize(1, 1));
            }
            undo.pushUndo(picture, bounds);
            whole.push(picture);
            what = QStringLiteral("dots");
        } else if (kind < 8) {
            picture.fill(colour());  // a global fill or a new picture
            undo.pushUndo(picture);
            whole.push(picture);
            what = QStringLiteral("whole fill");
        } else if (kind < 9) {
            // A canvas resize: the old pixels stay at the top left.
            QImage resized = blank(QSize(40 + below(200), 30 + below(160)), colour());
            QPainter(&resized).drawImage(0, 0, picture);
            picture = resized;
            undo.pushUndo(picture);
            whole.push(picture);
            what = QStringLiteral("resize");
        } else if (kind < 10) {
            undo.pushUndo(picture, QRect());  // a click that changed nothing
            whole.push(picture);
            what = QStringLiteral("unchanged");
        } else if (kind < 15) {
            picture = undo.undo().copy();
            QCOMPARE(picture, whole.undo());
            what = QStringLiteral("undo");
        } else if (kind < 19) {
            picture = undo.redo().copy();
            QCOMPARE(picture, whole.redo());
            what = QStringLiteral("redo");
        } else {
            undo.clear();
            whole.clear();
            undo.pushUndo(picture);
            whole.push(picture);
            what = QStringLiteral("activation");
        }
        const QString where = QStringLiteral("step %1 (%2)").arg(step).arg(what);
        QVERIFY2(undo.index() == whole.index && undo.count() == whole.count, qPrintable(where));
        QVERIFY2(undo.undoEnabled() == whole.undoEnabled && undo.redoEnabled() == whole.redoEnabled, qPrintable(where));
        QVERIFY2(undo.slot(undo.index()) == whole.shown(),
                 qPrintable(where + QLatin1Char(' ') + firstDifference(undo.slot(undo.index()), whole.shown())));
        if (step % 25 == 0) {
            // Every state still reachable, rebuilt from the steps, is the recorded one.
            for (int i = 1; i <= whole.count; ++i)
                QVERIFY2(undo.slot(i) == whole.states[std::size_t(i - 1)],
                         qPrintable(where + QStringLiteral(" slot %1 ").arg(i)
                                    + firstDifference(undo.slot(i), whole.states[std::size_t(i - 1)])));
            QVERIFY(undo.slot(whole.count + 1).isNull());
        }
    }
}

void TestEditorUndo::memoryFollowsTheChangedArea()
{
    const QSize size(1024, 768);
    const qint64 pictureBytes = qint64(size.width()) * size.height() * 4;
    constexpr qint64 tileBytes = qint64(EditorUndo::kTile) * EditorUndo::kTile * 4;
    EditorUndo undo;
    QImage picture = blank(size, 0xFFFFFFFF);
    undo.pushUndo(picture);
    QCOMPARE(undo.storedBytes(), pictureBytes);
    // Twenty small strokes, each over a tile corner: nine steps are kept, at most four tiles each.
    for (int i = 0; i < 20; ++i) {
        const QRect r(EditorUndo::kTile * (1 + i % 12) - 3, EditorUndo::kTile * (1 + i % 9) - 3, 6, 6);
        QPainter(&picture).fillRect(r, QColor::fromRgb(qRgb(i, 0, 0)));
        undo.pushUndo(picture, r);
    }
    QVERIFY2(undo.storedBytes() <= pictureBytes + 9 * 4 * tileBytes, qPrintable(QString::number(undo.storedBytes())));
    // Undo and redo move pixels between the state and the steps without growing either.
    const qint64 settled = undo.storedBytes();
    for (int i = 0; i < 30; ++i)
        (i / 5) % 2 ? undo.redo() : undo.undo();
    QCOMPARE(undo.storedBytes(), settled);
    // A whole-picture change costs about one picture; a new stroke after undos frees what it drops.
    picture.fill(0xFF00FF00);
    undo.pushUndo(picture);
    QVERIFY(undo.storedBytes() >= settled + pictureBytes - tileBytes * 4);
    for (int i = 0; i < 9; ++i)
        undo.undo();
    picture = undo.slot(undo.index()).copy();
    picture.setPixel(1, 1, 0xFF0000FF);
    undo.pushUndo(picture, QRect(1, 1, 1, 1));
    QCOMPARE(undo.count(), 2);
    QVERIFY(undo.storedBytes() <= pictureBytes + tileBytes);
    // A fresh start keeps nothing of the old steps.
    undo.clear();
    undo.pushUndo(picture);
    QCOMPARE(undo.storedBytes(), pictureBytes);
}

void TestEditorUndo::undoReportsOnlyWhatItChanged()
{
    // The editor copies back only the reported rectangles: they must hold every pixel the step
    // changed and, for a small stroke, little else.
    EditorUndo undo;
    QImage picture = blank(QSize(640, 480), 0xFFFFFFFF);
    undo.pushUndo(picture);
    const QRect stroke(300, 200, 10, 3);
    picture.fill(0xFF0000FF);  // the whole picture, then a stroke on it
    undo.pushUndo(picture);
    QPainter(&picture).fillRect(stroke, Qt::black);
    undo.pushUndo(picture, stroke);
    const QImage before = picture;
    const QImage shown = undo.undo();
    qint64 area = 0;
    QImage patched = before.copy();
    for (const QRect& r : undo.lastChange()) {
        area += qint64(r.width()) * r.height();
        QPainter(&patched).drawImage(r.topLeft(), shown.copy(r));
    }
    QCOMPARE(patched, shown);
    QVERIFY(area <= qint64(EditorUndo::kTile) * EditorUndo::kTile);
    // Back over the whole fill: the whole picture is reported.
    undo.undo();
    QCOMPARE(undo.slot(undo.index()).pixel(0, 0), 0xFFFFFFFFu);
    qint64 covered = 0;
    for (const QRect& r : undo.lastChange())
        covered += qint64(r.width()) * r.height();
    QCOMPARE(covered, qint64(640) * 480);
    // At the oldest state nothing moves and nothing is reported.
    undo.undo();
    QVERIFY(undo.lastChange().empty());
}

QTEST_MAIN(TestEditorUndo)
#include "test_editor_undo.moc"
