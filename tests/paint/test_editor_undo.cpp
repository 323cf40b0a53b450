// The editor's undo history, which keeps only the tiles a stroke touched, against a plain history
// of ten whole copies: the same states, limits and menu enabling, pixel for pixel, over seeded
// random mixes of small strokes, strokes not yet recorded, turns and whole-picture changes.
#include "paint/core/editor_undo.h"
#include "paint/core/picture_transforms.h"

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
    // The picture is drawn on as the editor would, telling the history each area before writing
    // it: small rectangles (across tile edges and the picture's borders), scattered dots, whole
    // fills, pictures replaced whole (another one, another size), turns, unchanged recordings and
    // strokes left unrecorded, with undo and redo in between and, now and then, a fresh start.
    // After every step the history must show exactly what ten whole copies would, with the same
    // items enabled.
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
        const int kind = below(22);
        QString what;
        if (kind < 6) {
            // A stroke: one rectangle, told exactly or as a larger area.
            const QRect r(below(picture.width() + 20) - 10, below(picture.height() + 20) - 10, 1 + below(90),
                          1 + below(70));
            undo.keep(picture, below(2) ? r : r.adjusted(-below(70), -below(70), below(70), below(70)));
            QPainter(&picture).fillRect(r, QColor::fromRgb(colour()));
            undo.pushUndo(picture);
            whole.push(picture);
            what = QStringLiteral("stroke");
        } else if (kind < 7) {
            // Dots far apart, each told on its own.
            for (int i = 0; i < 4; ++i) {
                const QPoint p(below(picture.width()), below(picture.height()));
                undo.keep(picture, QRect(p, QSize(1, 1)), true);
                picture.setPixel(p, colour());
            }
            undo.pushUndo(picture);
            whole.push(picture);
            what = QStringLiteral("dots");
        } else if (kind < 8) {
            undo.keep(picture, picture.rect());
            picture.fill(colour());  // a global fill
            undo.pushUndo(picture);
            whole.push(picture);
            what = QStringLiteral("whole fill");
        } else if (kind < 9) {
            // A canvas resize or a new picture of its own: the old pixels stay at the top left.
            QImage next = blank(below(3) ? QSize(40 + below(200), 30 + below(160)) : picture.size(), colour());
            QPainter(&next).drawImage(0, 0, picture, 0, 0, below(picture.width()), below(picture.height()));
            undo.replacing(picture);
            picture = next;
            undo.pushUndo(picture);
            whole.push(picture);
            what = QStringLiteral("replaced");
        } else if (kind < 10) {
            undo.pushUndo(picture);  // a click that changed nothing
            whole.push(picture);
            what = QStringLiteral("unchanged");
        } else if (kind < 12) {
            undo.pushTurn(picture, PictureTurn(below(5)));
            whole.push(picture);
            what = QStringLiteral("turn");
        } else if (kind < 13) {
            // Drawn on but not recorded (a stroke broken off by undo): the next step settles it.
            const QRect r(below(picture.width()), below(picture.height()), 1 + below(80), 1 + below(80));
            undo.keep(picture, r);
            QPainter(&picture).fillRect(r, QColor::fromRgb(colour()));
            what = QStringLiteral("unrecorded");
        } else if (kind < 17) {
            undo.undo(picture);
            QCOMPARE(picture, whole.undo());
            what = QStringLiteral("undo");
        } else if (kind < 21) {
            undo.redo(picture);
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
        const QImage recorded = undo.slot(undo.index(), picture);
        QVERIFY2(recorded == whole.shown(),
                 qPrintable(where + QLatin1Char(' ') + firstDifference(recorded, whole.shown())));
        QCOMPARE(undo.pendingDiffers(picture), picture != whole.shown());
        if (step % 25 == 0) {
            // Every state still reachable, rebuilt from the steps, is the recorded one.
            for (int i = 1; i <= whole.count; ++i)
                QVERIFY2(undo.slot(i, picture) == whole.states[std::size_t(i - 1)],
                         qPrintable(where + QStringLiteral(" slot %1 ").arg(i)
                                    + firstDifference(undo.slot(i, picture), whole.states[std::size_t(i - 1)])));
            QVERIFY(undo.slot(whole.count + 1, picture).isNull());
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
    // The history keeps no picture of its own: the picture shown is the state.
    QCOMPARE(undo.storedBytes(), 0);
    // Twenty small strokes, each over a tile corner: nine steps are kept, at most four tiles each.
    for (int i = 0; i < 20; ++i) {
        const QRect r(EditorUndo::kTile * (1 + i % 12) - 3, EditorUndo::kTile * (1 + i % 9) - 3, 6, 6);
        undo.keep(picture, r);
        QPainter(&picture).fillRect(r, QColor::fromRgb(qRgb(i, 0, 0)));
        undo.pushUndo(picture);
    }
    QVERIFY2(undo.storedBytes() <= 9 * 4 * tileBytes, qPrintable(QString::number(undo.storedBytes())));
    // Undo and redo move pixels between the picture and the steps without growing either.
    const qint64 settled = undo.storedBytes();
    for (int i = 0; i < 30; ++i)
        (i / 5) % 2 ? undo.redo(picture) : undo.undo(picture);
    QCOMPARE(undo.storedBytes(), settled);
    // A whole-picture change costs about one picture; a new stroke after undos frees what it drops.
    undo.keep(picture, picture.rect());
    picture.fill(0xFF00FF00);
    undo.pushUndo(picture);
    QVERIFY(undo.storedBytes() >= settled + pictureBytes - tileBytes * 4);
    for (int i = 0; i < 9; ++i)
        undo.undo(picture);
    undo.keep(picture, QRect(1, 1, 1, 1));
    picture.setPixel(1, 1, 0xFF0000FF);
    undo.pushUndo(picture);
    QCOMPARE(undo.count(), 2);
    QVERIFY(undo.storedBytes() <= tileBytes);
    // Turns keep no pixels at all.
    for (int i = 0; i < 4; ++i)
        undo.pushTurn(picture, PictureTurn::Right90);
    QVERIFY(undo.storedBytes() <= tileBytes);
    // A fresh start keeps nothing of the old steps.
    undo.clear();
    undo.pushUndo(picture);
    QCOMPARE(undo.storedBytes(), 0);
}

void TestEditorUndo::undoReportsOnlyWhatItChanged()
{
    // The editor repaints only the reported rectangles: they must hold every pixel the step
    // changed and, for a small stroke, little else.
    EditorUndo undo;
    QImage picture = blank(QSize(640, 480), 0xFFFFFFFF);
    undo.pushUndo(picture);
    const QRect stroke(300, 200, 10, 3);
    undo.keep(picture, picture.rect());
    picture.fill(0xFF0000FF);  // the whole picture, then a stroke on it
    undo.pushUndo(picture);
    undo.keep(picture, stroke);
    QPainter(&picture).fillRect(stroke, Qt::black);
    undo.pushUndo(picture);
    const QImage before = picture.copy();
    undo.undo(picture);
    const QImage shown = picture.copy();
    qint64 area = 0;
    QImage patched = before.copy();
    for (const QRect& r : undo.lastChange()) {
        area += qint64(r.width()) * r.height();
        QPainter(&patched).drawImage(r.topLeft(), shown.copy(r));
    }
    QCOMPARE(patched, shown);
    QVERIFY(area <= qint64(EditorUndo::kTile) * EditorUndo::kTile);
    // Back over the whole fill: the whole picture is reported.
    undo.undo(picture);
    QCOMPARE(picture.pixel(0, 0), 0xFFFFFFFFu);
    qint64 covered = 0;
    for (const QRect& r : undo.lastChange())
        covered += qint64(r.width()) * r.height();
    QCOMPARE(covered, qint64(640) * 480);
    // At the oldest state nothing moves and nothing is reported.
    undo.undo(picture);
    QVERIFY(undo.lastChange().empty());
}

QTEST_MAIN(TestEditorUndo)
#include "test_editor_undo.moc"
