#include "view/presentation_window.h"

#include "canvas/video_panel_widget.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMediaPlayer>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <cstdio>

namespace velmar {

namespace {

QScreen* screenOr(QScreen* screen)
{
    return screen ? screen : QGuiApplication::primaryScreen();
}

QSize screenSize(QScreen* screen)
{
    screen = screenOr(screen);
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

}  // namespace

PresentationWindow::PresentationWindow(const Document& document, QSize clientSize, QScreen* screen, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      m_picture(document, clientSize, screenSize(screen))
{
    setObjectName(QStringLiteral("presentationWindow"));
    setWindowTitle(QStringLiteral("Показ конспекта"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    if (QScreen* s = screenOr(screen)) {
        setScreen(s);
        setGeometry(s->geometry());
    }
    m_videoBeat.setInterval(30);
    connect(&m_videoBeat, &QTimer::timeout, this, [this] { repaintRegion(m_picture.refreshVideos()); });
    m_videoBeat.start();
}

PresentationWindow* PresentationWindow::present(const Document& document, QSize clientSize, QWidget* mainWindow)
{
    QScreen* screen = mainWindow ? mainWindow->screen() : nullptr;
    auto* window = new PresentationWindow(document, clientSize, screen, mainWindow);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // The outline cannot be edited underneath while it is being shown.
    window->setWindowModality(Qt::ApplicationModal);
    window->showFullScreen();
    window->raise();
    window->activateWindow();
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
    for (const QRect& rect : event->region())
        m_picture.paint(painter, rect);
    painter.end();
    reportIfAsked();
}

void PresentationWindow::reportIfAsked()
{
    // For tests that drive the program with real input: what is on the screen now, once.
    static const bool asked = qEnvironmentVariableIsSet("VELMAR_REPORT_GEOMETRY");
    if (!asked)
        return;
    const QRect r(mapToGlobal(m_picture.outlineRect().topLeft()), m_picture.outlineRect().size());
    const QString line = QStringLiteral("presentation step %1 of %2 outline %3 %4 %5 %6 subtitles %7")
                             .arg(m_picture.step())
                             .arg(m_picture.order().lastStep())
                             .arg(r.x())
                             .arg(r.y())
                             .arg(r.width())
                             .arg(r.height())
                             .arg(m_picture.subtitlesShown() ? 1 : 0);
    if (line == m_reported)
        return;
    m_reported = line;
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

void PresentationWindow::closeEvent(QCloseEvent* event)
{
    if (qEnvironmentVariableIsSet("VELMAR_REPORT_GEOMETRY")) {
        std::printf("presentation closed\n");
        std::fflush(stdout);
    }
    QWidget::closeEvent(event);
}

void PresentationWindow::resizeEvent(QResizeEvent*)
{
    repaintRegion(m_picture.setScreenSize(size()));
}

void PresentationWindow::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Space:
    case Qt::Key_PageDown:
        repaintRegion(m_picture.next());
        break;
    case Qt::Key_Left:
    case Qt::Key_Backspace:
    case Qt::Key_PageUp:
        repaintRegion(m_picture.previous());
        break;
    case Qt::Key_Home:
        repaintRegion(m_picture.setStep(0));
        break;
    case Qt::Key_End:
        repaintRegion(m_picture.setStep(m_picture.order().lastStep()));
        break;
    case Qt::Key_T:
        repaintRegion(m_picture.setSubtitlesShown(!m_picture.subtitlesShown()));
        break;
    case Qt::Key_Escape:
        close();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void PresentationWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        repaintRegion(m_picture.previous());
    } else if (event->button() == Qt::LeftButton) {
        if (VideoPanelWidget* video = m_picture.videoAt(event->position().toPoint()); video && video->isOpen()) {
            if (video->playbackState() == QMediaPlayer::StoppedState)
                video->play();
            else
                video->togglePause();
        } else {
            repaintRegion(m_picture.next());
        }
    }
    event->accept();
}

}  // namespace velmar
