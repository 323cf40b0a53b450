// The main window's size: outline files store its outer size, the window manager adds a frame
// whose margins are known only once it has framed the window, and an opened outline's window
// stays on the screen.
#include "app/main_window.h"
#include "app/window_report.h"
#include "canvas/canvas_widget.h"
#include "canvas/selection_handles.h"
#include "model/zoom.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace velmar {

namespace {

// How often and how long to look for the frame of a window just shown.
constexpr int kMarginPollMs = 25;
constexpr int kMarginWaitMs = 2000;
// How long a window waits for the size it asked for before it is painted at the one it has.
constexpr int kPaintHoldMs = 100;

}  // namespace

void MainWindow::initWindowSize()
{
    // Platforms without a window manager frame nothing: their margins are known (zero) at once.
    const QString platform = QGuiApplication::platformName();
    m_marginsKnown = platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
    m_marginTimer = new QTimer(this);
    m_marginTimer->setInterval(kMarginPollMs);
    connect(m_marginTimer, &QTimer::timeout, this, &MainWindow::checkFrameMargins);
    m_paintHoldTimer = new QTimer(this);
    m_paintHoldTimer->setSingleShot(true);
    m_paintHoldTimer->setInterval(kPaintHoldMs);
    connect(m_paintHoldTimer, &QTimer::timeout, this, [this] {
        if (!m_paintHeld)
            return;
        resumePainting();
        // The canvas kept its size: the outline is laid out for the canvas the window has.
        if (m_document.session.zoomOn && m_document.outline.ownLayoutScale() <= 0
            && rescaleOutline(m_document.outline, m_canvas->size(), m_document.session.gridStep))
            m_documents->objectsEdited();
    });

    // A stored window smaller than this (18 × 19) would leave no canvas to scale from or work on.
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    setOuterSize(kInitialWidth, kInitialHeight);
    // Under Wayland the compositor places windows; a client cannot, so it does not try.
    const bool placesItself = !platform.startsWith(QLatin1String("wayland"));
    if (const QScreen* screen = placesItself ? QGuiApplication::primaryScreen() : nullptr) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(kInitialWidth / 2, kInitialHeight / 2));
    }
}

QMargins MainWindow::frameMarginsNow() const
{
    // Asked of the window itself: the widget's copy is brought up to date only when the window
    // moves or changes size, which framing does not always do.
    const QWindow* window = windowHandle();
    return window && isVisible() ? window->frameMargins() : QMargins();
}

void MainWindow::setOuterSize(int w, int h)
{
    const QMargins m = frameMarginsNow();  // none until framed: checkFrameMargins() comes back then
    const QSize margins(m.left() + m.right(), m.top() + m.bottom());
    const QScreen* s = screen();
    const auto fit =
        WindowGeometry::fitOuter(QSize(w, h), margins, minimumSize(), s ? s->availableGeometry().size() : QSize());
    m_wantedOuter = fit.wantedOuter;
    const QSize inner = fit.inner;
    m_expectedInner = inner;
    if (inner != size()) {
        reportResizeAsked(inner);
        resize(inner);
    }
}

QSize MainWindow::outerSize() const
{
    if (!m_marginsKnown && m_wantedOuter.isValid())
        return m_wantedOuter;
    const QMargins m = frameMarginsNow();
    return size() + QSize(m.left() + m.right(), m.top() + m.bottom());
}

void MainWindow::holdPaintingUntilResized()
{
    m_paintHeld = true;
    setUpdatesEnabled(false);
    m_paintHoldTimer->start();
}

void MainWindow::resumePainting()
{
    if (!m_paintHeld)
        return;
    m_paintHeld = false;
    m_paintHoldTimer->stop();
    setUpdatesEnabled(true);
}

bool MainWindow::isOwnResize(QSize inner) const
{
    if (!inner.isValid())
        inner = size();
    return m_adjustingSize || (m_expectedInner.isValid() && inner == m_expectedInner);
}

void MainWindow::followWindowSize()
{
    // An outline keeping its own layout keeps its own window too.
    if (m_document.outline.ownLayoutScale() > 0)
        return;
    if (m_sizeFollowsWindow && m_marginsKnown && !isMinimized())
        m_document.state.windowSize = outerSize();
}

void MainWindow::showOutlineWindow(QSize storedOuter)
{
    DocumentState& state = m_document.state;
    m_showsOpenedLayout = false;
    m_storedOuter = storedOuter;
    if (storedOuter.width() <= 0 || storedOuter.height() <= 0) {
        // A file without a size is shown in the window as it is.
        m_sizeFollowsWindow = true;
        followWindowSize();
        return;
    }
    // The size the file keeps, whatever room this screen has, until the user resizes the window.
    state.windowSize = storedOuter;
    m_sizeFollowsWindow = false;
    if (m_maximizedForImport && isMaximized())
        showNormal();
    m_maximizedForImport = false;
    if (isMaximized() || isFullScreen())
        return;  // the user's maximised window stays maximised
    // The canvas the outline was made for stays its client size for the zoom's reference, also
    // when this screen is too small for the window.
    const QSize madeFor = m_document.outline.clientSize();
    m_adjustingSize = true;
    setOuterSize(storedOuter.width(), storedOuter.height());
    m_adjustingSize = false;
    m_document.outline.setClientSize(madeFor);
    keepOnScreen();
}

QSize MainWindow::expectedCanvas(QSize madeFor) const
{
    if (isVisible() && (m_marginsKnown || isMaximized() || isFullScreen()))
        return m_canvas->size();
    // Not shown or not framed yet: the window gets the stored size as far as the screen allows
    // it, and the canvas loses as much as the window does.
    const QScreen* s = screen();
    if (!s || !m_storedOuter.isValid())
        return madeFor;
    return WindowGeometry::canvasOnScreen(madeFor, m_storedOuter, minimumSize(), s->availableGeometry().size());
}

bool MainWindow::fitOpenedOutline()
{
    m_layoutCanvas = QSize();
    m_showsOpenedLayout = false;
    m_referenceFromWindow = false;
    m_document.outline.setOwnLayoutScale(0);
    if (!m_storedOuter.isValid() || m_storedOuter.isEmpty())
        return false;  // a file without a size is shown in the window as it is
    const QSize madeFor = m_document.outline.clientSize();
    const QSize canvas = expectedCanvas(madeFor);
    m_showsOpenedLayout = true;
    m_fittedAtOpen = false;
    m_referenceFromWindow = !WindowGeometry(madeFor).zoomable() || !WindowGeometry(canvas).zoomable();
    if (m_referenceFromWindow) {
        // Made for a window too small to scale from (18 × 19): laid out as it is in the window
        // of the least size, whose canvas the zoom then scales from; what reached up under the
        // tool bar of that tiny window comes down below this one's.
        if (!moveBelowToolBar(m_document.outline))
            return false;
        m_documents->objectsEdited();
        return true;
    }
    // With the zoom off the outline is scaled only where it would not fit.
    // Until the window has its canvas, the outline's layout is for the canvas it will get.
    m_layoutCanvas = canvas;
    const bool smaller = canvas.width() < madeFor.width() || canvas.height() < madeFor.height();
    if (canvas == madeFor || !(m_document.session.zoomOn || smaller)) {
        m_layoutCanvas = madeFor;
        return false;
    }
    if (smaller) {
        // Too large for this screen: shown whole at one scale for both axes (a round photo stays
        // round), the rest of the canvas left empty. The outline keeps its own layout and window
        // size: saved, it is what it was made as, with the user's edits taken back to its scale.
        const double scale = fittingScale(m_document.outline.referenceClientSize(), canvas);
        if (scale <= 0)
            return false;
        showOwnLayout(m_document.outline, std::min(1.0, scale), m_document.session.gridStep);
        m_fittedAtOpen = true;
        m_documents->objectsEdited();
        return true;
    }
    if (!rescaleOutline(m_document.outline, canvas, m_document.session.gridStep))
        return false;
    m_fittedAtOpen = true;
    // Zoomed into a larger (maximised) window: edited from now on, the outline keeps the window
    // it is shown in; unedited, it is saved as its file has it.
    m_sizeFollowsWindow = true;
    m_documents->objectsEdited();
    return true;
}

bool MainWindow::keepsOwnLayout(QSize canvas) const
{
    // A maximised window smaller than the outline's own shows it whole, as at opening; any
    // other size the user gives the window is the outline's from then on.
    const QSize own = m_document.outline.referenceClientSize();
    if (m_document.outline.ownLayoutScale() <= 0
        || !(canvas.width() < own.width() || canvas.height() - kZoomClientHeightOffset < own.height()))
        return false;
    if (isMaximized() || isFullScreen())
        return true;
    // The window manager may report the new size before the maximised state: a window that
    // fills the screen's room counts as maximised.
    const QScreen* s = screen();
    const QSize room = s ? s->availableGeometry().size() : QSize();
    const QSize outer = outerSize();
    return s && outer.width() >= room.width() - 2 && outer.height() >= room.height() - 2;
}

void MainWindow::refitOwnLayout(QSize canvas)
{
    Outline& outline = m_document.outline;
    const double scale = std::min(1.0, fittingScale(outline.referenceClientSize(), canvas));
    if (scale <= 0 || (scale == outline.ownLayoutScale() && outline.ownLayoutGridStep() == m_document.session.gridStep))
        return;
    // What the user changed so far is taken into the layout before it is shown at the new scale.
    recordOwnLayout(outline);
    m_handles->hideAll();
    showOwnLayout(outline, scale, m_document.session.gridStep);
    m_documents->objectsEdited();
}

bool MainWindow::showsOpenedLayout() const { return m_showsOpenedLayout; }

void MainWindow::refitOpenedOutline()
{
    if (m_document.outline.ownLayoutScale() > 0) {
        if (!m_adjustingSize && WindowGeometry(m_canvas->size()).zoomable())
            refitOwnLayout(m_canvas->size());
        return;
    }
    // Only while the outline is as opened: its first step, unchanged.
    if (!m_showsOpenedLayout || m_adjustingSize
        || m_document.history.currentStep != std::max(0, m_document.history.firstStep) || m_document.state.modified)
        return;
    const QSize canvas = m_canvas->size();
    if (m_referenceFromWindow) {
        if (WindowGeometry(canvas).zoomable())
            recordReferenceLayout(m_document.outline, canvas);
        return;
    }
    const QSize reference = m_document.outline.referenceClientSize();
    const QSize from(reference.width(), reference.height() + kZoomClientHeightOffset);
    if (canvas == from || !WindowGeometry(canvas).zoomable() || !WindowGeometry(from).zoomable())
        return;
    // An outline fitted at opening follows its window's real canvas; one shown as it is moves
    // only where the canvas turned out smaller than the one it was made for (the frame the window
    // manager added was larger than thought), so that nothing lies out of reach.
    const bool smaller = canvas.width() < from.width() || canvas.height() < from.height();
    if (!(smaller || (m_fittedAtOpen && m_document.session.zoomOn)))
        return;
    m_handles->hideAll();
    if (rescaleOutline(m_document.outline, canvas, m_document.session.gridStep)) {
        m_fittedAtOpen = true;
        m_sizeFollowsWindow = true;
        m_documents->objectsEdited();
    }
}

void MainWindow::maximizeForImportIfLarger(QSize storedOuter)
{
    const QScreen* s = screen();
    if (!s || !storedOuter.isValid())
        return;
    const QSize available = s->availableGeometry().size();
    if (available.width() < storedOuter.width() - 20 || available.height() < storedOuter.height() - 20) {
        // Scaled down from the canvas of the machine the outline was made on.
        m_document.outline.setReferenceClientSize(
            QSize(storedOuter.width(), storedOuter.height() - kZoomClientHeightOffset));
        m_maximizedForImport = true;
        showMaximized();
    }
}

void MainWindow::keepOnScreen()
{
    const QScreen* s = screen();
    QWindow* window = windowHandle();
    if (!s || !window || !isVisible() || isMaximized() || isFullScreen())
        return;
    const QRect area = s->availableGeometry();
    const QRect frame(window->framePosition(), outerSize());
    const QPoint at(std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() - frame.width() + 1)),
                    std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() - frame.height() + 1)));
    if (at != frame.topLeft())
        window->setFramePosition(at);
}

void MainWindow::checkFrameMargins()
{
    if (m_marginsKnown || !isVisible())
        return;
    const bool framed = !frameMarginsNow().isNull();
    if (!framed) {
        // Not framed yet: look again shortly, and give up (no frame at all) after a while.
        if (!m_marginTimer->isActive()) {
            m_marginWaitStart = QDateTime::currentMSecsSinceEpoch();
            m_marginTimer->start();
        }
        if (QDateTime::currentMSecsSinceEpoch() - m_marginWaitStart < kMarginWaitMs)
            return;
    }
    m_marginTimer->stop();
    m_marginsKnown = true;
    if (!framed || !m_wantedOuter.isValid() || isMaximized() || isFullScreen()) {
        reportFramed();
        return;
    }
    // The outline was laid out for the canvas of the stored outer size less the real frame, not
    // less the guess made before the window was framed: the zoom's reference moves there, so the
    // outline keeps its place and size.
    const QSize chrome = outerSize() - m_canvas->size();
    const QSize canvas = m_wantedOuter - chrome;
    // An outline already scaled to fit keeps the reference of that canvas: the window's real
    // canvas is fitted from it.
    // An outline keeping its own layout was made for that canvas too: it is fitted from it.
    const bool ownLayout = m_document.outline.ownLayoutScale() > 0;
    if ((ownLayout || !(m_showsOpenedLayout && m_fittedAtOpen)) && m_document.outline.referenceClientSize().isValid()
        && canvas.height() > kZoomClientHeightOffset)
        m_document.outline.setReferenceClientSize(QSize(canvas.width(), canvas.height() - kZoomClientHeightOffset));
    // The window manager keeps the frame's corner where it put it.
    setOuterSize(m_wantedOuter.width(), m_wantedOuter.height());
    if (ownLayout && WindowGeometry(m_canvas->size()).zoomable())
        refitOwnLayout(m_canvas->size());
    keepOnScreen();
    reportFramed();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Platforms whose frame is known from the start (offscreen draws a thin one) get the stored
    // outer size as soon as the window exists; the others once the window manager has framed it.
    if (m_marginsKnown && m_wantedOuter.isValid() && !isMaximized() && !isFullScreen() && outerSize() != m_wantedOuter)
        setOuterSize(m_wantedOuter.width(), m_wantedOuter.height());
    checkFrameMargins();
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    checkFrameMargins();
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // The size this event reports: a resize made while it was on its way (the even size of
    // the grid) does not make the user's resizing the program's.
    if (!isOwnResize(event->size()) && m_marginsKnown && isVisible() && !(m_maximizedForImport && isMaximized())
        && !keepsOwnLayout(m_canvas->size())) {
        // The user resized or maximised the window: the outline keeps its size from now on.
        m_showsOpenedLayout = false;
        m_wantedOuter = QSize();
        m_expectedInner = QSize();
        m_maximizedForImport = false;
        m_sizeFollowsWindow = true;
        followWindowSize();
    }
    checkFrameMargins();
}

}  // namespace velmar
