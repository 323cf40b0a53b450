// The editor's work area: picture placement, scrolling, and the marks the tools show over it.
#include "paint/paint_work_area.h"

#include "paint/classic_scroll_bars.h"
#include "paint/core/paint_document.h"
#include "paint/core/zoom_mapping.h"
#include "paint/editor/paint_editor.h"
#include "paint/paint_floating_piece.h"
#include "paint/paint_picture_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>

namespace velmar::paint {

namespace {

const QColor kSilver(192, 192, 192);
const QColor kHandleColour(0, 0, 128);  // the active caption colour of the classic desktop

}  // namespace

// A small widget over the picture whose pointer moves and releases go on to the work area.
class WorkAreaChild : public QWidget {
public:
    explicit WorkAreaChild(WorkArea* area) : QWidget(area), m_area(area) {}

protected:
    void mouseMoveEvent(QMouseEvent* e) override
    {
        m_area->pointerMoved(mapToParent(e->position().toPoint()), e->buttons(), e->modifiers());
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        m_area->pointerReleased(mapToParent(e->position().toPoint()), e->button(), e->buttons(), e->modifiers());
    }

    WorkArea* m_area;
};

// A 4 × 4 resize handle. A press starts the work area's handle drag; the moves and the release
// reach the work area through its mouse grab, or through this widget while it holds the button.
class HandleWidget : public WorkAreaChild {
public:
    HandleWidget(const char* name, Qt::CursorShape cursor, bool canvas, int index, WorkArea* area)
        : WorkAreaChild(area), m_canvas(canvas), m_index(index)
    {
        setObjectName(QLatin1String(name));
        resize(4, 4);
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, kHandleColour);
        setPalette(pal);
        setCursor(cursor);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton)
            m_area->handlePressed(m_canvas, m_index, mapToParent(e->position().toPoint()));
    }

private:
    bool m_canvas;
    int m_index;
};

// The eraser square (Shape2): an outline that follows the pointer. The eraser's press, moves and
// release arrive here and go on to the work area.
class EraserSquare : public WorkAreaChild {
public:
    explicit EraserSquare(WorkArea* area) : WorkAreaChild(area)
    {
        setObjectName(QStringLiteral("Shape2"));
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setPen(QColor(0, 0, 0));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        m_area->pointerPressed(mapToParent(e->position().toPoint()), e->button(), e->buttons(), e->modifiers());
    }
};

// The dotted frame (Shape1) of the text tool; the mouse passes through it to the picture.
class DottedFrame : public QWidget {
public:
    explicit DottedFrame(QWidget* parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("Shape1"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        QPen pen(QColor(0, 0, 0));
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

WorkArea::WorkArea(PaintDocument& document, PaintEditor& editor, QWidget* parent)
    : QWidget(parent), m_doc(document), m_editor(editor)
{
    setObjectName(QStringLiteral("Panel8"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kSilver);
    setPalette(pal);
    setMouseTracking(true);
    setMinimumSize(60, 60);
    setFocusPolicy(Qt::ClickFocus);

    m_picture = new PictureView(m_doc, this);
    m_picture->onMouse = [this](QMouseEvent* e) { forwardMouse(m_picture, e); };

    m_hbar = new QScrollBar(Qt::Horizontal, this);
    m_hbar->setObjectName(QStringLiteral("ScrollBar1"));
    m_vbar = new QScrollBar(Qt::Vertical, this);
    m_vbar->setObjectName(QStringLiteral("ScrollBar2"));
    m_vbar->setSingleStep(4);
    for (QScrollBar* bar : {m_hbar, m_vbar}) {
        bar->setStyle(classicScrollBars());
        bar->setEnabled(false);
        bar->setRange(0, 0);
        connect(bar, &QScrollBar::valueChanged, this, &WorkArea::scrolled);
    }
    m_corner = new QWidget(this);
    m_corner->setAutoFillBackground(true);

    m_piece = new FloatingPieceView(m_doc, this);
    m_piece->onMouse = [this](QMouseEvent* e) { forwardMouse(m_piece, e); };
    m_edgeHandles = {new HandleWidget("Panel5", Qt::SizeFDiagCursor, true, 0, this),
                     new HandleWidget("Panel6", Qt::SizeHorCursor, true, 1, this),
                     new HandleWidget("Panel7", Qt::SizeVerCursor, true, 2, this)};
    m_frame = new DottedFrame(this);
    m_frame->hide();
    m_textBox = new QPlainTextEdit(this);
    m_textBox->setObjectName(QStringLiteral("Memo1"));
    m_textBox->setFrameShape(QFrame::NoFrame);
    m_textBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_textBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_textBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_textBox->document()->setDocumentMargin(0);
    m_textBox->hide();
    const char* frameHandleNames[] = {"Panel45", "Panel51", "Panel56", "Panel57",
                                      "Panel58", "Panel59", "Panel60", "Panel61"};
    const Qt::CursorShape frameHandleCursors[] = {Qt::SizeFDiagCursor, Qt::SizeVerCursor,   Qt::SizeBDiagCursor,
                                                  Qt::SizeHorCursor,   Qt::SizeFDiagCursor, Qt::SizeVerCursor,
                                                  Qt::SizeBDiagCursor, Qt::SizeHorCursor};
    for (std::size_t i = 0; i < m_frameHandles.size(); ++i) {
        m_frameHandles[i] = new HandleWidget(frameHandleNames[i], frameHandleCursors[i], false, int(i), this);
        m_frameHandles[i]->hide();
    }
    m_eraser = new EraserSquare(this);
    m_eraser->hide();

    m_sprayTimer = new QTimer(this);
    m_sprayTimer->setObjectName(QStringLiteral("Timer1"));
    m_sprayTimer->setInterval(50);
    connect(m_sprayTimer, &QTimer::timeout, this, [this] { m_editor.tick(); });
    connect(&m_doc, &PaintDocument::sprayTimerChanged, this, [this](bool on) {
        if (on)
            m_sprayTimer->start();
        else
            m_sprayTimer->stop();
    });

    m_edgeScroll = new QTimer(this);
    m_edgeScroll->setInterval(30);
    connect(m_edgeScroll, &QTimer::timeout, this, &WorkArea::scrollTowardsHandle);

    connect(&m_doc, &PaintDocument::pictureChanged, this, &WorkArea::pictureChanged);
    // A new picture or zoom changes every pixel shown, whether or not the view moves or resizes.
    connect(&m_doc, &PaintDocument::pictureReplaced, this, &WorkArea::repaintAll);
    connect(&m_doc, &PaintDocument::zoomChanged, this, &WorkArea::repaintAll);
    connect(&m_doc, &PaintDocument::overlayChanged, this, &WorkArea::showOverlay);
    connect(&m_doc, &PaintDocument::pieceChanged, this, [this] {
        m_piece->pieceReplaced();
        placePieceView();
    });
    layoutCanvas();
}

QPoint WorkArea::pictureOrigin() const { return {pictureOffset(m_hbar->value()), pictureOffset(m_vbar->value())}; }

QWidget* WorkArea::pieceView() const { return m_piece; }

std::vector<QWidget*> WorkArea::resizeHandles() const
{
    std::vector<QWidget*> handles(m_edgeHandles.begin(), m_edgeHandles.end());
    handles.insert(handles.end(), m_frameHandles.begin(), m_frameHandles.end());
    return handles;
}

std::vector<QWidget*> WorkArea::overlays() const
{
    std::vector<QWidget*> widgets = resizeHandles();
    widgets.insert(widgets.end(), {m_frame, m_eraser, m_textBox});
    return widgets;
}

QRect WorkArea::viewport() const
{
    return {0, 0, std::max(0, width() - kScrollBarExtent), std::max(0, height() - kScrollBarExtent)};
}

void WorkArea::layoutCanvas()
{
    // What the picture may take without scroll bars: the fit to the window uses it.
    m_doc.setViewSize(QSize(std::max(1, width() - kScrollSlack), std::max(1, height() - kScrollSlack)));
    QSize control = m_doc.controlSize();
    // A handle dragged beyond the picture may take the view with it: the scroll bars reach the frame.
    if (m_handleDrag.active) {
        const QRect frame = m_doc.overlay().frame.normalized();
        control = control.expandedTo(QSize(frame.right() + 1, frame.bottom() + 1));
    }
    const CanvasLayout layout = velmar::paint::layoutCanvas(size(), control);
    const auto apply = [](QScrollBar* bar, const ScrollAxis& axis, int page) {
        const QSignalBlocker block(bar);
        if (axis.enabled) {
            bar->setRange(0, axis.maximum);
            bar->setPageStep(std::max(1, page));
        } else {
            bar->setValue(0);
            bar->setRange(0, 0);
        }
        bar->setEnabled(axis.enabled);
    };
    apply(m_hbar, layout.horizontal, viewport().width());
    apply(m_vbar, layout.vertical, viewport().height());
    m_hbar->setGeometry(0, height() - kScrollBarExtent, std::max(0, width() - kScrollBarExtent), kScrollBarExtent);
    m_vbar->setGeometry(width() - kScrollBarExtent, 0, kScrollBarExtent, std::max(0, height() - kScrollBarExtent));
    m_corner->setGeometry(width() - kScrollBarExtent, height() - kScrollBarExtent, kScrollBarExtent, kScrollBarExtent);
    placePictureView();
    // The size read-out, in picture pixels at any zoom.
    const QString sizeText = PaintDocument::sizeText(m_doc.picture().width(), m_doc.picture().height());
    if (m_doc.status().pictureSize != sizeText) {
        m_doc.mutableStatus().pictureSize = sizeText;
        m_doc.notifyStatus();
    }
}

void WorkArea::repaintAll()
{
    layoutCanvas();
    m_picture->update();
    if (m_piece->isVisible())
        m_piece->update();
}

void WorkArea::placePictureView()
{
    m_doc.setScrollPosition(QPoint(m_hbar->value(), m_vbar->value()));
    const QRect control(pictureOrigin(), m_doc.controlSize());
    const QRect visible = control.intersected(viewport());
    if (visible.isEmpty()) {
        m_picture->hide();
    } else {
        const bool moved =
            visible != m_picture->geometry() || m_picture->controlOffset() != visible.topLeft() - control.topLeft();
        m_picture->setControlOffset(visible.topLeft() - control.topLeft());
        m_picture->setGeometry(visible);
        m_picture->show();
        if (moved)
            m_picture->update();
    }
    placeEdgeHandles();
    showOverlay();
}

void WorkArea::placeEdgeHandles()
{
    const QPoint o = pictureOrigin();
    const QSize c = m_doc.controlSize();
    m_edgeHandles[0]->move(o.x() + c.width(), o.y() + c.height());
    m_edgeHandles[1]->move(o.x() + c.width(), o.y() + c.height() / 2);
    m_edgeHandles[2]->move(o.x() + c.width() / 2 - 2, o.y() + c.height());
    for (QWidget* h : m_edgeHandles)
        h->setVisible(m_doc.overlay().canvasHandlesVisible && viewport().contains(h->geometry().topLeft()));
}

void WorkArea::placePieceView()
{
    const QRect control = m_doc.pieceRect().translated(pictureOrigin());
    const QRect visible = control.intersected(viewport());
    if (!m_doc.pieceFloating() || visible.isEmpty()) {
        m_piece->hide();
        return;
    }
    const QPoint offset = visible.topLeft() - control.topLeft();
    if (offset != m_piece->controlOffset()) {
        m_piece->setControlOffset(offset);
        m_piece->update();
    }
    m_piece->setGeometry(visible);
    if (m_piece->isHidden()) {
        // Over the picture, under the frame, its handles and the eraser square.
        m_piece->show();
        m_piece->raise();
        m_frame->raise();
        for (QWidget* h : m_frameHandles)
            h->raise();
        m_eraser->raise();
    }
}

void WorkArea::scrolled() { placePictureView(); }

void WorkArea::showOverlay()
{
    const PaintOverlay& o = m_doc.overlay();
    const QPoint origin = pictureOrigin();

    placePieceView();
    placeEdgeHandles();

    if (o.eraserVisible) {
        m_eraser->setGeometry(o.eraserSquare.translated(origin));
        m_eraser->show();
        m_eraser->raise();
    } else {
        m_eraser->hide();
    }

    const QRect frame = o.frame.normalized().translated(origin);
    if (o.frameVisible) {
        m_frame->setGeometry(frame.adjusted(0, 0, 1, 1));
        m_frame->show();
        m_frame->raise();
    } else {
        m_frame->hide();
    }

    if (o.textBoxVisible) {
        m_textBox->setFont(m_doc.textFont());
        m_textBox->setGeometry(o.textBox.translated(origin));
        if (!m_textBox->isVisible()) {
            m_textBox->show();
            m_textBox->setFocus();
        }
        m_textBox->raise();
    } else if (m_textBox->isVisible()) {
        m_textBox->hide();
    }

    // The eight handles around the frame: corners and edge middles.
    const int l = frame.left(), t = frame.top(), w = frame.width(), h = frame.height();
    const QPoint places[] = {
        {l - 1, t - 1},         {l + w / 2 - 2, t - 1},     {l + w - 2, t - 1}, {l + w - 2, t + h / 2 - 1},
        {l + w - 2, t + h - 2}, {l + w / 2 - 1, t + h - 2}, {l - 1, t + h - 2}, {l - 1, t + h / 2 - 2}};
    for (std::size_t i = 0; i < m_frameHandles.size(); ++i) {
        m_frameHandles[i]->move(places[i]);
        m_frameHandles[i]->setVisible(o.handlesVisible);
        if (o.handlesVisible)
            m_frameHandles[i]->raise();
    }
}

void WorkArea::pictureChanged(const QRect& pixels) { m_picture->updatePixels(pixels); }

ToolInput WorkArea::toolInput(QPoint workPos, Qt::MouseButton button, Qt::MouseButtons buttons,
                              Qt::KeyboardModifiers mods) const
{
    ToolInput input;
    input.pos = workPos - pictureOrigin();
    input.pixel = toPicturePixel(input.pos, m_doc.zoom());
    input.button = button;
    input.buttons = buttons;
    input.shift = mods.testFlag(Qt::ShiftModifier);
    input.alt = mods.testFlag(Qt::AltModifier);
    return input;
}

void WorkArea::forwardMouse(QWidget* child, QMouseEvent* e)
{
    // The picture and the floating piece lie over the work area; their mouse events are the work
    // area's, in its own coordinates.
    const QPoint pos = child->mapToParent(e->position().toPoint());
    if (e->type() == QEvent::MouseButtonPress)
        pointerPressed(pos, e->button(), e->buttons(), e->modifiers());
    else if (e->type() == QEvent::MouseMove)
        pointerMoved(pos, e->buttons(), e->modifiers());
    else if (e->type() == QEvent::MouseButtonRelease)
        pointerReleased(pos, e->button(), e->buttons(), e->modifiers());
}

void WorkArea::pointerPressed(QPoint workPos, Qt::MouseButton button, Qt::MouseButtons buttons,
                              Qt::KeyboardModifiers mods)
{
    if (m_doc.buttonDown())
        return;  // a second button during a stroke changes nothing
    // A press here ends typing in an option field (the fill tolerance): the editor's keys and
    // shortcuts work on the picture again. The text tool's box takes the focus back below.
    takeFocus();
    const bool onSquare = !m_eraser->isHidden() && m_eraser->geometry().contains(workPos);
    const bool onPicture = !m_picture->isHidden() && m_picture->geometry().contains(workPos);
    const bool onPiece = !m_piece->isHidden() && m_piece->geometry().contains(workPos);
    if (button == Qt::RightButton && onPieceFrame(workPos)) {
        emit frameMenuRequested(mapToGlobal(workPos));
        return;
    }
    m_pressedOutside = !onSquare && !onPicture && !onPiece;
    if (m_pressedOutside)
        m_editor.pressOutside();
    else
        m_editor.press(toolInput(workPos, button, buttons, mods));
    if (m_textBox->isVisible())
        m_textBox->setFocus();
}

void WorkArea::takeFocus()
{
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
}

bool WorkArea::onPieceFrame(QPoint workPos) const
{
    const PaintOverlay& o = m_doc.overlay();
    return m_doc.pieceFloating() && o.frameVisible && m_doc.currentTool() != ToolId::Text
           && o.frame.normalized().translated(pictureOrigin()).contains(workPos);
}

void WorkArea::handlePressed(bool canvas, int index, QPoint workPos)
{
    if (m_doc.buttonDown() || m_handleDrag.active)
        return;
    m_handleDrag = {true, canvas, index, workPos - pictureOrigin(), workPos};
    if (canvas)
        m_editor.canvasResizePress(CanvasHandle(index));
    else
        m_editor.frameResizePress(FrameHandle(index));
    // The pressed handle hides: the work area follows the pointer until the release.
    grabMouse();
}

void WorkArea::pointerMoved(QPoint workPos, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods)
{
    if (m_handleDrag.active) {
        dragHandle(workPos);
        if (edgeScrollStep(workPos, viewport()).isNull())
            m_edgeScroll->stop();
        else if (!m_edgeScroll->isActive())
            m_edgeScroll->start();
        return;
    }
    const ToolInput input = toolInput(workPos, Qt::NoButton, buttons, mods);
    const bool onPicture = !m_picture->isHidden() && m_picture->geometry().contains(workPos);
    if (m_doc.buttonDown() || onPicture)
        m_editor.move(input);
    else
        m_editor.hoverOutside(input.pos);
}

void WorkArea::pointerReleased(QPoint workPos, Qt::MouseButton button, Qt::MouseButtons buttons,
                               Qt::KeyboardModifiers mods)
{
    m_pressedOutside = false;
    if (m_handleDrag.active) {
        m_handleDrag.active = false;
        m_edgeScroll->stop();
        releaseMouse();
        if (m_handleDrag.canvas)
            m_editor.canvasResizeRelease();
        else
            m_editor.frameResizeRelease();
        // The scroll bars go back to the picture's own extent.
        layoutCanvas();
        return;
    }
    if (m_doc.buttonDown())
        m_editor.release(toolInput(workPos, button, buttons, mods));
}

void WorkArea::dragHandle(QPoint workPos)
{
    m_handleDrag.pointer = workPos;
    // The travel over the picture: a view scrolled since the press counts as travel too.
    const QPoint delta = workPos - pictureOrigin() - m_handleDrag.pressed;
    if (m_handleDrag.canvas)
        m_editor.canvasResizeMove(delta);
    else
        m_editor.frameResizeMove(delta);
}

QPoint WorkArea::edgeScrollStep(QPoint pointer, const QRect& viewport)
{
    const auto axis = [](int at, int first, int last) {
        if (at < first)
            return -std::min(kEdgeScrollMax, std::max(4, (first - at) * 2));
        if (at > last)
            return std::min(kEdgeScrollMax, std::max(4, (at - last) * 2));
        return 0;
    };
    return {axis(pointer.x(), viewport.left(), viewport.right()), axis(pointer.y(), viewport.top(), viewport.bottom())};
}

void WorkArea::scrollTowardsHandle()
{
    if (!m_handleDrag.active) {
        m_edgeScroll->stop();
        return;
    }
    const QPoint step = edgeScrollStep(m_handleDrag.pointer, viewport());
    if (step.isNull()) {
        m_edgeScroll->stop();
        return;
    }
    // The scroll range first takes in the frame as dragged so far.
    layoutCanvas();
    const QPoint before(m_hbar->value(), m_vbar->value());
    m_hbar->setValue(m_hbar->value() + step.x());
    m_vbar->setValue(m_vbar->value() + step.y());
    if (QPoint(m_hbar->value(), m_vbar->value()) != before)
        dragHandle(m_handleDrag.pointer);
}

void WorkArea::resizeEvent(QResizeEvent*) { layoutCanvas(); }

void WorkArea::mousePressEvent(QMouseEvent* e)
{
    pointerPressed(e->position().toPoint(), e->button(), e->buttons(), e->modifiers());
}

void WorkArea::mouseMoveEvent(QMouseEvent* e) { pointerMoved(e->position().toPoint(), e->buttons(), e->modifiers()); }

void WorkArea::mouseReleaseEvent(QMouseEvent* e)
{
    pointerReleased(e->position().toPoint(), e->button(), e->buttons(), e->modifiers());
}

}  // namespace velmar::paint
