// The graphic editor window driven as a user would: opened from the outline, drawn in with the
// mouse, zoomed and scrolled, closed back into the outline.
#include "canvas/outline_view.h"
#include "paint/classic_scroll_bars.h"
#include "paint/paint_colour_strip.h"
#include "paint/paint_option_list.h"
#include "paint/paint_picture_view.h"
#include "paint/paint_tool_column.h"
#include "paint/paint_window.h"
#include "paint/paint_work_area.h"
#include "paint/tools/paint_tool.h"
#include "storage/history.h"
#include "storage/snapshot_files.h"
#include "support/window_fixture.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace velmar;
using namespace velmar::paint;

class TestPaintWindow : public QObject {
    Q_OBJECT
private slots:
    void openDrawCloseIsOneUndoableFullStep();
    void closingUnchangedRecordsNothing();
    void zoomFromTheTextToolReturnsToThePencil();
    void zoomedPictureScrollsAndReadsThePointer();
    void scrollBarsFollowTheWorkAreaWidth();
    void scrollBarPartsAreWhereTheBarPutsThem();
    void coloursFollowTheMouseButtons();
    void sizeKeysAndSprayTimer();
    void textBoxIsDrawnInOnToolChange();
    void toolIconsHaveSharpPicturesForScaledScreens();

private:
    // A frame with one picture of the given content, the picture made current as its menu does.
    static ObjectId addPicture(WindowFixture& f, const QImage& content)
    {
        f.doc().interaction.creationPoint = QPoint(10, 40);
        f.command(Command::CreateFrame)->trigger();
        f.doc().interaction.currentObject = f.doc().outline.frame(1).id;
        f.doc().interaction.creationPoint = QPoint(10, 30);
        f.command(Command::CreatePicture)->trigger();
        PictureObject& p = f.doc().outline.picture(1);
        p.setBitmap(content);
        f.window->outlineView()->sync();
        f.window->documents().recordStep(StepKind::Full);
        f.doc().interaction.currentObject = p.id;
        return p.id;
    }
    static QImage filled(QSize size, QColor colour)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }
    static PaintWindow* openEditor(WindowFixture& f)
    {
        f.command(Command::EditPicture)->trigger();
        PaintWindow* w = f.window->paintWindow();
        if (w)
            w->resize(694, 480);
        return w;
    }
    // A press, moves and a release on the work area, the points given in picture-control pixels.
    static void stroke(PaintWindow* w, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton,
                       Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        WorkArea* area = w->workArea();
        const QPoint o = area->pictureOrigin();
        area->pointerPressed(from + o, button, button, mods);
        for (int i = 1; i <= 4; ++i)
            area->pointerMoved(from + (to - from) * i / 4 + o, button, mods);
        area->pointerReleased(to + o, button, Qt::NoButton, mods);
    }
    static void click(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(widget, button, Qt::NoModifier, at);
    }
};

void TestPaintWindow::openDrawCloseIsOneUndoableFullStep()
{
    WindowFixture f;
    f.beginOutline();
    const QImage original = filled(QSize(120, 90), Qt::white);
    addPicture(f, original);
    const int stepBefore = f.doc().history.currentStep;
    f.doc().state.modified = false;

    PaintWindow* w = openEditor(f);
    QVERIFY(w);
    QVERIFY(w->isVisible());
    QVERIFY(!f.window->isVisible());
    QCOMPARE(w->objectName(), QStringLiteral("Form2"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Графический редактор"));
    QCOMPARE(w->document().picture(), original);
    QCOMPARE(w->document().currentTool(), ToolId::Pencil);
    QCOMPARE(w->statusText(0), QStringLiteral("Картинка"));
    QCOMPARE(w->statusText(1), QStringLiteral("120 x 90"));
    QCOMPARE(w->statusText(2), QStringLiteral("Диаметр"));
    QCOMPARE(w->statusText(4), QStringLiteral("Курсор"));
    QCOMPARE(w->statusText(7), QStringLiteral("Цвет"));
    QVERIFY(!w->command(PaintCommand::Undo)->isEnabled());

    // A pencil line, then an editor undo and redo of it.
    stroke(w, QPoint(10, 20), QPoint(50, 20));
    QCOMPARE(w->document().picture().pixelColor(30, 20), QColor(Qt::black));
    QVERIFY(w->command(PaintCommand::Undo)->isEnabled());
    w->command(PaintCommand::Undo)->trigger();
    QCOMPARE(w->document().picture().pixelColor(30, 20), QColor(Qt::white));
    w->command(PaintCommand::Redo)->trigger();
    QCOMPARE(w->document().picture().pixelColor(30, 20), QColor(Qt::black));
    QCOMPARE(w->statusText(5), QStringLiteral("50 x 20"));

    w->close();
    QVERIFY(!w->isVisible());
    QVERIFY(f.window->isVisible());
    const PictureObject& p = f.doc().outline.picture(1);
    QCOMPARE(p.bitmap().pixelColor(30, 20), QColor(Qt::black));
    QVERIFY(f.doc().state.modified);
    QCOMPARE(f.doc().history.currentStep, stepBefore + 1);
    // A complete snapshot: undo in the outline brings the earlier picture back.
    QVERIFY(QFile::exists(snapshotPathIn(snapshotFolder(f.doc()), stepBefore + 1, true)));
    // (The snapshots hold the pictures as JPEG: compare by brightness.)
    const auto grey = [&f] { return qGray(f.doc().outline.picture(1).bitmap().pixel(30, 20)); };
    f.command(Command::Undo)->trigger();
    QVERIFY2(grey() > 240, qPrintable(QString::number(grey())));
    QCOMPARE(f.doc().outline.picture(1).bitmap().size(), QSize(120, 90));
    f.command(Command::Redo)->trigger();
    QVERIFY2(grey() < 15, qPrintable(QString::number(grey())));
}

void TestPaintWindow::closingUnchangedRecordsNothing()
{
    WindowFixture f;
    f.beginOutline();
    addPicture(f, filled(QSize(40, 30), Qt::green));
    const int stepBefore = f.doc().history.currentStep;
    f.doc().state.modified = false;
    const qint64 key = f.doc().outline.picture(1).bitmap().cacheKey();

    PaintWindow* w = openEditor(f);
    // Zooming and choosing tools change nothing in the picture.
    click(w->toolColumn()->button(ToolId::Zoom), QPoint(5, 5));
    click(w->toolColumn()->zoomList(), w->toolColumn()->zoomList()->rowCentre(1));
    w->workArea()->pointerMoved(w->workArea()->pictureOrigin() + QPoint(3, 3), Qt::NoButton, Qt::NoModifier);
    w->close();

    QCOMPARE(f.doc().history.currentStep, stepBefore);
    QVERIFY(!f.doc().state.modified);
    QCOMPARE(f.doc().outline.picture(1).bitmap().cacheKey(), key);

    // The next opening starts afresh: zoom 1, the pencil, an empty history.
    w = openEditor(f);
    QCOMPARE(w->document().zoomFactor(), 1);
    QCOMPARE(w->document().currentTool(), ToolId::Pencil);
    QCOMPARE(w->workArea()->pictureView()->size(), QSize(40, 30));
    w->close();
}

void TestPaintWindow::zoomFromTheTextToolReturnsToThePencil()
{
    WindowFixture f;
    f.beginOutline();
    addPicture(f, filled(QSize(200, 150), Qt::white));
    PaintWindow* w = openEditor(f);
    ToolColumn* tools = w->toolColumn();

    click(tools->button(ToolId::Text), QPoint(5, 5));
    QCOMPARE(w->document().currentTool(), ToolId::Text);
    QVERIFY(tools->button(ToolId::Text)->isChecked());
    QVERIFY(tools->fontButton()->isVisibleTo(w));
    click(tools->button(ToolId::Zoom), QPoint(5, 5));
    QVERIFY(tools->zoomList()->isVisibleTo(w));
    QVERIFY(!tools->fontButton()->isVisibleTo(w));
    click(tools->zoomList(), tools->zoomList()->rowCentre(2));  // "  6x"

    QCOMPARE(w->document().zoomFactor(), 6);
    QCOMPARE(w->document().currentTool(), ToolId::Pencil);
    QVERIFY(tools->button(ToolId::Pencil)->isChecked());
    QVERIFY(!tools->button(ToolId::Zoom)->isChecked());
    QVERIFY(!tools->zoomList()->isVisibleTo(w));
    QCOMPARE(w->statusText(1), QStringLiteral("200 x 150"));
    // At zoom 6 the text tool cannot be chosen.
    click(tools->button(ToolId::Text), QPoint(5, 5));
    QCOMPARE(w->document().currentTool(), ToolId::Pencil);
    QVERIFY(!tools->button(ToolId::Text)->isChecked());

    // A click at control point (17, 11) sets picture pixel (2, 1), drawn as a 6 × 6 block.
    stroke(w, QPoint(17, 11), QPoint(17, 11));
    QCOMPARE(w->document().picture().pixelColor(2, 1), QColor(Qt::black));
    QCOMPARE(w->document().picture().pixelColor(3, 1), QColor(Qt::white));
    const QImage shown = w->workArea()->pictureView()->grab().toImage();
    QCOMPARE(shown.pixelColor(12, 6), QColor(Qt::black));
    QCOMPARE(shown.pixelColor(17, 11), QColor(Qt::black));
    QCOMPARE(shown.pixelColor(18, 11), QColor(Qt::white));
    w->close();
}

void TestPaintWindow::zoomedPictureScrollsAndReadsThePointer()
{
    WindowFixture f;
    f.beginOutline();
    QImage big = filled(QSize(4000, 3000), Qt::white);
    big.setPixelColor(3999, 2999, Qt::red);
    addPicture(f, big);
    PaintWindow* w = openEditor(f);
    click(w->toolColumn()->button(ToolId::Zoom), QPoint(5, 5));
    click(w->toolColumn()->zoomList(), w->toolColumn()->zoomList()->rowCentre(3));  // "  8x"
    QCOMPARE(w->document().zoomFactor(), 8);

    WorkArea* area = w->workArea();
    PictureView* view = area->pictureView();
    // Only the visible part of the 32,000 × 24,000 control is a widget.
    QVERIFY(area->viewport().contains(view->geometry()));
    QScrollBar* h = area->horizontalBar();
    QScrollBar* v = area->verticalBar();
    QVERIFY(h->isEnabled() && v->isEnabled());
    QCOMPARE(h->maximum(), 32000 - area->width() + 23);
    QCOMPARE(v->maximum(), 24000 - area->height() + 23);

    h->setValue(h->maximum());
    v->setValue(v->maximum());
    QCOMPARE(area->pictureOrigin(), QPoint(2 - h->maximum(), 2 - v->maximum()));
    // The last picture pixel sits at the bottom-right of the picture, as an 8 × 8 red block.
    const QPoint lastBlock = QPoint(32000 - 4, 24000 - 4) + area->pictureOrigin() - view->pos();
    const QImage shown = view->grab().toImage();
    QCOMPARE(shown.pixelColor(lastBlock), QColor(Qt::red));
    QCOMPARE(shown.pixelColor(lastBlock - QPoint(8, 0)), QColor(Qt::white));

    area->pointerMoved(QPoint(32000 - 1, 24000 - 1) + area->pictureOrigin(), Qt::NoButton, Qt::NoModifier);
    QCOMPARE(w->statusText(5), QStringLiteral("3999 x 2999"));
    QCOMPARE(w->statusText(8), QStringLiteral("R-255 G-0 B-0"));
    area->pointerMoved(QPoint(32000 - 9, 24000 - 1) + area->pictureOrigin(), Qt::NoButton, Qt::NoModifier);
    QCOMPARE(w->statusText(5), QStringLiteral("3998 x 2999"));
    QCOMPARE(w->statusText(8), QStringLiteral("R-255 G-255 B-255"));

    // Back to zoom 1: the bars follow at once.
    click(w->toolColumn()->button(ToolId::Zoom), QPoint(5, 5));
    click(w->toolColumn()->zoomList(), w->toolColumn()->zoomList()->rowCentre(0));
    QCOMPARE(h->maximum(), 4000 - area->width() + 23);
    QCOMPARE(view->geometry(), QRect(area->pictureOrigin(), QSize(4000, 3000)).intersected(area->viewport()));
    w->close();
}

void TestPaintWindow::scrollBarsFollowTheWorkAreaWidth()
{
    WindowFixture f;
    f.beginOutline();
    addPicture(f, filled(QSize(100, 50), Qt::white));
    PaintWindow* w = openEditor(f);
    WorkArea* area = w->workArea();
    const int workWidth = area->width();
    QVERIFY(workWidth > 100);

    struct Case {
        int pictureWidth;
        bool enabled;
        int maximum;
    };
    for (const Case c :
         {Case{workWidth - 23, false, 0}, Case{workWidth - 22, true, 1}, Case{workWidth + 50, true, 73}}) {
        w->document().setPicture(filled(QSize(c.pictureWidth, 50), Qt::white));
        QCOMPARE(area->horizontalBar()->isEnabled(), c.enabled);
        QCOMPARE(area->horizontalBar()->maximum(), c.maximum);
        QVERIFY(!area->verticalBar()->isEnabled());
        QCOMPARE(w->statusText(1), QStringLiteral("%1 x 50").arg(c.pictureWidth));
        // The thumb is drawn where the bar takes clicks on it; a bar with nothing to scroll has
        // none (no light edge anywhere along its track).
        QScrollBar* bar = area->horizontalBar();
        const QImage shown = bar->grab().toImage();
        const QRect track = scrollBarPart(*bar, QStyle::SC_ScrollBarGroove);
        const QRect thumb = scrollBarPart(*bar, QStyle::SC_ScrollBarSlider);
        if (c.enabled) {
            QCOMPARE(shown.pixel(thumb.topLeft() + QPoint(1, 1)), qRgb(255, 255, 255));
            QCOMPARE(shown.pixel(thumb.bottomRight()), qRgb(0, 0, 0));
            if (thumb.right() < track.right())
                QCOMPARE(shown.pixel(thumb.right() + 1, thumb.center().y()), qRgb(224, 224, 224));
        } else {
            for (int x = track.left(); x <= track.right(); ++x)
                QCOMPARE(shown.pixel(x, track.top() + 1), qRgb(224, 224, 224));
        }
    }
    // An arrow button held down is drawn flat, and raised again when let go.
    QScrollBar* bar = area->horizontalBar();
    const QRect button = scrollBarPart(*bar, QStyle::SC_ScrollBarAddLine);
    const QPoint edge = button.topLeft() + QPoint(1, 1);
    QCOMPARE(bar->grab().toImage().pixel(edge), qRgb(255, 255, 255));
    QTest::mousePress(bar, Qt::LeftButton, {}, button.center());
    QCOMPARE(bar->grab().toImage().pixel(edge), qRgb(192, 192, 192));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, button.center());
    QCOMPARE(bar->grab().toImage().pixel(edge), qRgb(255, 255, 255));
    // Scrolled, then the picture narrows again: back to the margin of 2.
    area->horizontalBar()->setValue(40);
    QCOMPARE(area->pictureOrigin().x(), -38);
    w->document().setPicture(filled(QSize(30, 30), Qt::white));
    QCOMPARE(area->pictureOrigin(), QPoint(2, 2));
    QCOMPARE(area->pictureView()->geometry(), QRect(2, 2, 30, 30));
    w->close();
}

// The parts the editor reports (and its tests look for on the screen) are the parts the bar
// itself places, in either direction of writing and either appearance.
void TestPaintWindow::scrollBarPartsAreWhereTheBarPutsThem()
{
    struct Bar : QScrollBar {
        using QScrollBar::QScrollBar;
        QRect own(QStyle::SubControl part) const
        {
            QStyleOptionSlider option;
            initStyleOption(&option);
            option.subControls = QStyle::SC_All;
            return style()->subControlRect(QStyle::CC_ScrollBar, &option, part, this);
        }
    };
    for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft})
        for (const bool inverted : {false, true})
            for (const Qt::Orientation orientation : {Qt::Horizontal, Qt::Vertical}) {
                Bar bar(orientation);
                bar.setStyle(classicScrollBars());
                bar.setLayoutDirection(direction);
                bar.setInvertedAppearance(inverted);
                bar.resize(orientation == Qt::Horizontal ? QSize(200, 16) : QSize(16, 200));
                bar.setRange(0, 100);
                bar.setPageStep(30);
                bar.setValue(20);
                for (const QStyle::SubControl part : {QStyle::SC_ScrollBarSlider, QStyle::SC_ScrollBarAddLine,
                                                      QStyle::SC_ScrollBarSubPage, QStyle::SC_ScrollBarGroove})
                    QCOMPARE(scrollBarPart(bar, part), bar.own(part));
            }
}

void TestPaintWindow::coloursFollowTheMouseButtons()
{
    WindowFixture f;
    f.beginOutline();
    addPicture(f, filled(QSize(100, 80), Qt::white));
    PaintWindow* w = openEditor(f);
    ColourStrip* strip = w->colourStrip();
    QWidget* red = strip->findChild<QWidget*>(QStringLiteral("Panel17"));
    QVERIFY(red);
    click(red, QPoint(8, 8), Qt::RightButton);
    QCOMPARE(QColor(w->document().backColour()), QColor(Qt::red));
    QCOMPARE(QColor(w->document().frontColour()), QColor(Qt::black));

    stroke(w, QPoint(5, 5), QPoint(30, 5));
    stroke(w, QPoint(5, 9), QPoint(30, 9), Qt::RightButton);
    QCOMPARE(w->document().picture().pixelColor(20, 5), QColor(Qt::black));
    QCOMPARE(w->document().picture().pixelColor(20, 9), QColor(Qt::red));

    // A double-click redefines the colour; cancelling leaves the palette as it was, but the press
    // before it has given the front square the old colour.
    QWidget* blue = strip->findChild<QWidget*>(QStringLiteral("Panel25"));
    f.dialogs.colours.push_back(std::nullopt);
    click(blue, QPoint(8, 8));  // a double-click starts with a click
    QTest::mouseDClick(blue, Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
    QCOMPARE(QColor(w->document().frontColour()), QColor(Qt::blue));
    QCOMPARE(w->document().paletteColour(13), ColourValue(0xFF0000));
    f.dialogs.colours.push_back(QColor(10, 20, 30));
    click(blue, QPoint(8, 8));
    QTest::mouseDClick(blue, Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
    QCOMPARE(w->document().paletteColour(13), ColourValue(0x1E140A));
    QCOMPARE(blue->grab().toImage().pixelColor(8, 8), QColor(10, 20, 30));
    QCOMPARE(QColor(w->document().frontColour()), QColor(Qt::blue));

    // The colour picker with the right button takes the back colour and returns to the pencil.
    click(w->toolColumn()->button(ToolId::ColourPicker), QPoint(5, 5));
    stroke(w, QPoint(20, 5), QPoint(20, 5), Qt::RightButton);
    QCOMPARE(QColor(w->document().backColour()), QColor(Qt::black));
    QCOMPARE(w->document().currentTool(), ToolId::Pencil);
    QVERIFY(w->toolColumn()->button(ToolId::Pencil)->isChecked());
    w->close();
}

void TestPaintWindow::sizeKeysAndSprayTimer()
{
    WindowFixture f;
    f.beginOutline();
    addPicture(f, filled(QSize(100, 80), Qt::white));
    PaintWindow* w = openEditor(f);
    for (int i = 0; i < 25; ++i)
        QTest::keyClick(w, Qt::Key_Plus, Qt::KeypadModifier);
    QCOMPARE(w->statusText(3), QStringLiteral("20"));
    QCOMPARE(w->document().sizes().pencilSize, 20);
    QTest::keyClick(w, Qt::Key_Plus);  // the main keyboard's + is not a size key
    QCOMPARE(w->document().sizes().pencilSize, 20);

    // The keys also work while a list has the focus.
    click(w->toolColumn()->button(ToolId::Rectangle), QPoint(5, 5));
    QCOMPARE(w->statusText(2), QStringLiteral("Толщина"));
    QCOMPARE(w->statusText(3), QStringLiteral("1"));
    OptionList* fillStyles = w->toolColumn()->fillStyleList();
    QVERIFY(fillStyles->isVisibleTo(w));
    click(fillStyles, fillStyles->rowCentre(2));
    QCOMPARE(int(w->document().fillStyle()), 2);
    QTest::keyClick(fillStyles, Qt::Key_Minus, Qt::KeypadModifier);
    QCOMPARE(w->statusText(3), QStringLiteral("1"));
    QTest::keyClick(fillStyles, Qt::Key_Plus, Qt::KeypadModifier);
    QCOMPARE(w->statusText(3), QStringLiteral("2"));
    QCOMPARE(w->document().sizes().shapeWidth, 2);

    // The spray's timer runs while the button is held on the picture, and stops on release or
    // when the pointer leaves the picture for the grey work area.
    click(w->toolColumn()->button(ToolId::Spray), QPoint(5, 5));
    w->document().setPicture(filled(QSize(100, 80), Qt::white));
    WorkArea* area = w->workArea();
    const QPoint o = area->pictureOrigin();
    area->pointerPressed(o + QPoint(40, 40), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QVERIFY(area->sprayTimer()->isActive());
    const QImage blank = filled(QSize(100, 80), Qt::white);
    QTRY_VERIFY_WITH_TIMEOUT(w->document().picture() != blank, 2000);
    area->pointerReleased(o + QPoint(40, 40), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QVERIFY(!area->sprayTimer()->isActive());
    w->close();
}

void TestPaintWindow::textBoxIsDrawnInOnToolChange()
{
    WindowFixture f;
    f.beginOutline();
    addPicture(f, filled(QSize(200, 120), Qt::white));
    PaintWindow* w = openEditor(f);
    click(w->toolColumn()->button(ToolId::Text), QPoint(5, 5));
    // A frame dragged to 5 × 5 opens a box of at least 30 × 20.
    stroke(w, QPoint(20, 20), QPoint(25, 25));
    QPlainTextEdit* box = w->workArea()->textBox();
    QVERIFY(box->isVisibleTo(w));
    QCOMPARE(box->geometry(), QRect(QPoint(21, 21) + w->workArea()->pictureOrigin(), QSize(28, 18)));
    // The "Шрифт" button gives the box the chosen font (the colour stays the front square's).
    f.dialogs.fonts.push_back(Dialogs::FontChoice(QFont(QStringLiteral("DejaVu Sans"), 12), Qt::green));
    click(w->toolColumn()->fontButton(), QPoint(5, 5));
    QCOMPARE(w->document().textFont().pointSize(), 12);
    QCOMPARE(box->font().pointSize(), 12);
    QCOMPARE(QColor(w->document().frontColour()), QColor(Qt::black));
    QTest::keyClicks(box, QStringLiteral("Ab"));
    box->insertPlainText(QStringLiteral("\nЖ"));
    QCOMPARE(w->textBoxLines(), (QStringList{QStringLiteral("Ab"), QStringLiteral("Ж")}));
    const QImage before = w->document().picture();

    click(w->toolColumn()->button(ToolId::Pencil), QPoint(5, 5));
    QVERIFY(!box->isVisibleTo(w));
    QVERIFY(box->toPlainText().isEmpty());
    const QImage after = w->document().picture();
    QVERIFY(after != before);
    // The text lies inside the box, not elsewhere.
    bool outside = false;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            if (after.pixel(x, y) != before.pixel(x, y) && !QRect(21, 21, 60, 50).contains(x, y))
                outside = true;
    QVERIFY(!outside);
    w->close();
}

void TestPaintWindow::toolIconsHaveSharpPicturesForScaledScreens()
{
    // On a screen scaled by 2 each tool button must find a picture of twice the density, not an
    // enlarged blurry one.
    WindowFixture f;
    f.beginOutline();
    addPicture(f, filled(QSize(40, 30), Qt::white));
    PaintWindow* w = openEditor(f);
    int tools = 0;
    for (QToolButton* button : w->toolColumn()->findChildren<QToolButton*>()) {
        if (button->icon().isNull())
            continue;
        const QPixmap sharp = button->icon().pixmap(button->iconSize(), 2.0);
        QVERIFY2(sharp.devicePixelRatio() >= 2.0, qPrintable(button->objectName()));
        ++tools;
    }
    // One button for each tool the editor has.
    QCOMPARE(tools, int(allTools().size()));
    for (ToolId id : allTools())
        QVERIFY(w->toolColumn()->button(id));
    w->close();
}

QTEST_MAIN(TestPaintWindow)
#include "test_paint_window.moc"
