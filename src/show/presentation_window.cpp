#include "show/presentation_window.h"

#include "canvas/film_panel_widget.h"
#include "export/show_keys.h"
#include "show/presenter_view.h"
#include "show/show_report.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>

#include <algorithm>
#include <cstdio>

namespace velmar {

namespace {

QScreen* screenOr(QScreen* screen) { return screen ? screen : QGuiApplication::primaryScreen(); }

QSize screenSize(QScreen* screen)
{
    screen = screenOr(screen);
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

}  // namespace

PresentationWindow::PresentationWindow(const Document& document, QSize clientSize, QScreen* screen, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_picture(document, clientSize, screenSize(screen)),
      m_clientSize(clientSize)
{
    setObjectName(QStringLiteral("presentationWindow"));
    setWindowTitle(QCoreApplication::translate("PresentationWindow", "Показ конспекта"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    // Fingers draw with a tool; without one, a tap is taken as a click.
    setAttribute(Qt::WA_AcceptTouchEvents);
    if (QScreen* s = screenOr(screen)) {
        setScreen(s);
        setGeometry(s->geometry());
    }
    m_videoBeat.setInterval(30);
    connect(&m_videoBeat, &QTimer::timeout, this, [this] { repaintRegion(m_picture.refreshVideos()); });
    m_videoBeat.start();
}

PresentationWindow::~PresentationWindow() = default;

PresentationWindow* PresentationWindow::present(const Document& document, QSize clientSize, QWidget* mainWindow,
                                                ObjectId startAt)
{
    QScreen* home = mainWindow ? mainWindow->screen() : nullptr;
    // With a second screen the audience sees the show there, the presenter the main window's screen.
    QScreen* audience = PresenterView::audienceScreen(home);
    auto* window = new PresentationWindow(document, clientSize, audience ? audience : home, mainWindow);
    if (startAt)
        window->m_picture.setStep(std::max(0, window->m_picture.order().stepOf(startAt)));
    window->setAttribute(Qt::WA_DeleteOnClose);
    // The outline cannot be edited underneath while it is being shown.
    window->setWindowModality(Qt::ApplicationModal);
    window->showFullScreen();
    window->raise();
    if (audience) {
        // A window of the show's own, so that the show's modality lets it take input.
        auto* presenter = new PresenterView(document, clientSize, window, home);
        presenter->showFullScreen();
        presenter->raise();
        presenter->activateWindow();
    } else {
        window->activateWindow();
    }
    return window;
}

void PresentationWindow::repaintRegion(const QRegion& region)
{
    if (!region.isEmpty())
        update(region);
}

void PresentationWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (m_blank != Blank::None) {
        painter.fillRect(rect(), m_blank == Blank::Black ? Qt::black : Qt::white);
    } else {
        const QRect spot = m_spotlight ? spotlightRect() : QRect();
        for (const QRect& rect : event->region()) {
            m_picture.paint(painter, rect);
            if (m_spotlight && !spot.isEmpty()) {
                // Everything but the step's object lies under a dark veil.
                const QRegion veiled = QRegion(rect) - QRegion(spot);
                for (const QRect& part : veiled)
                    painter.fillRect(part, QColor(0, 0, 0, 160));
            }
            m_inkLayer.paint(painter, rect);
        }
        if (m_laser && event->region().intersects(laserRect(*m_laser))) {
            painter.setRenderHint(QPainter::Antialiasing);
            const QRectF dot = laserRect(*m_laser);
            QRadialGradient glow(dot.center(), dot.width() / 2);
            glow.setColorAt(0, QColor(255, 40, 40));
            glow.setColorAt(0.45, QColor(255, 0, 0));
            glow.setColorAt(1, QColor(255, 0, 0, 0));
            painter.setPen(Qt::NoPen);
            painter.setBrush(glow);
            painter.drawEllipse(dot);
            painter.setRenderHint(QPainter::Antialiasing, false);
        }
        if (m_counter && event->region().intersects(counterRect())) {
            const QRect box = counterRect();
            painter.fillRect(box, QColor(32, 32, 32, 200));
            QFont font = painter.font();
            font.setPixelSize(box.height() * 6 / 10);
            painter.setFont(font);
            painter.setPen(Qt::white);
            painter.drawText(box, Qt::AlignCenter, counterText());
        }
    }
    painter.end();
    reportIfAsked();
}

QString PresentationWindow::counterText() const
{
    if (!m_typedNumber.isEmpty())
        return QStringLiteral("→ %1").arg(m_typedNumber);
    return QStringLiteral("%1 / %2").arg(m_picture.step()).arg(m_picture.order().lastStep());
}

QRect PresentationWindow::counterRect() const
{
    const int h = std::max(24, height() / 24);
    const int w = h * 4;
    const int bottom = m_picture.subtitlesShown() ? m_picture.subtitleRect().top() : height();
    return QRect(width() - w - h / 2, bottom - h - h / 2, w, h);
}

void PresentationWindow::go(int step)
{
    m_typedNumber.clear();
    if (m_blank != Blank::None) {
        setBlank(Blank::None);
        return;  // the first key after a blank screen only brings the outline back
    }
    pointerUp();  // a stroke under way stays with the step it was drawn on
    const QRect counterBefore = counterRect();
    const QRect spotBefore = spotlightRect();
    const int before = m_picture.step();
    repaintRegion(m_picture.setStep(step));
    if (m_counter)
        update(counterBefore | counterRect());
    if (m_picture.step() != before) {
        if (m_spotlight)
            update(spotBefore == spotlightRect() ? QRect() : rect());
        // The strokes of the step left go, those of the step come back.
        update(m_inkLayer.sync(m_ink, m_picture.step()));
    }
    emit shownChanged();
}

void PresentationWindow::setBlank(Blank blank)
{
    if (blank == m_blank)
        return;
    m_blank = blank;
    update();
    emit shownChanged();
}

int PresentationWindow::stepOfFrame(int n) const
{
    const RevealOrder& order = m_picture.order();
    const Outline& outline = m_picture.renderer().document().outline;
    int seen = 0;
    for (int step = 1; step <= order.lastStep(); ++step)
        if (outline.kindOf(order.step(step).lead) == ObjectKind::Frame && ++seen == n)
            return step;
    return -1;
}

void PresentationWindow::reportIfAsked()
{
    if (!showReportAsked())
        return;
    const QRect r(mapToGlobal(m_picture.outlineRect().topLeft()), m_picture.outlineRect().size());
    const QString line =
        QStringLiteral("presentation step %1 of %2 outline %3 %4 %5 %6 subtitles %7 blank %8 counter %9 screen %10 "
                       "tool %11 strokes %12 spotlight %13 laser %14")
            .arg(m_picture.step())
            .arg(m_picture.order().lastStep())
            .arg(r.x())
            .arg(r.y())
            .arg(r.width())
            .arg(r.height())
            .arg(m_picture.subtitlesShown() ? 1 : 0)
            .arg(int(m_blank))
            .arg(m_counter ? 1 : 0)
            .arg(QGuiApplication::screens().indexOf(screen()))
            .arg(int(m_tool))
            .arg(m_ink.strokes(m_picture.step()).size())
            .arg(m_spotlight ? 1 : 0)
            .arg(m_laser ? QStringLiteral("%1 %2")
                               .arg(mapToGlobal(m_laser->toPoint()).x())
                               .arg(mapToGlobal(m_laser->toPoint()).y())
                         : QStringLiteral("-"));
    printReportLine(line, m_reported);
}

void PresentationWindow::closeEvent(QCloseEvent* event)
{
    if (showReportAsked()) {
        std::printf("presentation closed\n");
        std::fflush(stdout);
    }
    QWidget::closeEvent(event);
}

void PresentationWindow::resizeEvent(QResizeEvent*)
{
    repaintRegion(m_picture.setScreenSize(size()));
    m_inkLayer.setTarget(size(), m_picture.outlineToScreen());
    m_inkLayer.sync(m_ink, m_picture.step());
}

void PresentationWindow::keyPressEvent(QKeyEvent* event)
{
    const int step = m_picture.step();
    const int key = event->key();
    if ((key == Qt::Key_Menu) || (key == Qt::Key_F10 && event->modifiers().testFlag(Qt::ShiftModifier))) {
        openMenu(mapToGlobal(m_laser ? m_laser->toPoint() : rect().center()));
        event->accept();
        return;
    }
    const std::optional<ShowAction> action = showActionFor(key, event->modifiers());
    if (!action) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (*action) {
    case ShowAction::Digit:
        if (m_typedNumber.size() < 3) {
            m_typedNumber += QChar('0' + (key - Qt::Key_0));
            if (m_counter)
                update(counterRect());
        }
        break;
    case ShowAction::Forward: go(step + 1); break;
    case ShowAction::Back: go(step - 1); break;
    case ShowAction::First: go(0); break;
    case ShowAction::Last: go(m_picture.order().lastStep()); break;
    case ShowAction::Enter: {
        const int target = m_typedNumber.isEmpty() ? -1 : stepOfFrame(m_typedNumber.toInt());
        m_typedNumber.clear();
        if (target >= 0)
            go(target);
        else if (m_counter)
            update(counterRect());
        break;
    }
    case ShowAction::Subtitles: {
        const QRect counterBefore = counterRect();
        repaintRegion(m_picture.setSubtitlesShown(!m_picture.subtitlesShown()));
        // The outline moved: the strokes follow it.
        m_inkLayer.setTarget(size(), m_picture.outlineToScreen());
        m_inkLayer.sync(m_ink, m_picture.step());
        update();
        if (m_counter)
            update(counterBefore | counterRect());
        break;
    }
    case ShowAction::Counter:
        m_counter = !m_counter;
        update(counterRect());
        break;
    case ShowAction::BlankBlack: setBlank(m_blank == Blank::Black ? Blank::None : Blank::Black); break;
    case ShowAction::BlankWhite: setBlank(m_blank == Blank::White ? Blank::None : Blank::White); break;
    case ShowAction::Pen: setTool(ShowTool::Pen); break;
    case ShowAction::Highlighter: setTool(ShowTool::Highlighter); break;
    case ShowAction::Laser: setTool(ShowTool::Laser); break;
    case ShowAction::Eraser: setTool(ShowTool::Eraser); break;
    case ShowAction::Arrow: setTool(ShowTool::Arrow); break;
    case ShowAction::Spotlight: setSpotlight(!m_spotlight); break;
    case ShowAction::Escape:
        // Esc puts the tool down first; with the arrow it ends the show.
        if (m_tool != ShowTool::Arrow)
            setTool(ShowTool::Arrow);
        else
            close();
        break;
    }
    event->accept();
}

void PresentationWindow::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta < 0)
        go(m_picture.step() + 1);
    else if (delta > 0)
        go(m_picture.step() - 1);
    event->accept();
}

void PresentationWindow::mousePressEvent(QMouseEvent* event)
{
    const bool drawingTool = m_tool == ShowTool::Pen || m_tool == ShowTool::Highlighter || m_tool == ShowTool::Eraser;
    if (drawingTool) {
        if (event->button() == Qt::LeftButton)
            pointerDown(event->position(), 1.0f);
        else if (event->button() == Qt::RightButton)
            openMenu(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton) {
        go(m_picture.step() - 1);
    } else if (event->button() == Qt::LeftButton) {
        if (FilmPanelWidget* video = m_picture.videoAt(event->position().toPoint()); video && video->isOpen()) {
            if (video->playbackState() == FilmPlayer::State::Stopped)
                video->play();
            else
                video->togglePause();
        } else {
            go(m_picture.step() + 1);
        }
    }
    event->accept();
}

}  // namespace velmar
