#include "canvas/video_panel_widget.h"

#include "canvas/object_accessibility.h"

#include "canvas/object_widgets.h"
#include "model/colour.h"
#include "storage/film_still.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace velmar {

// --- display ----------------------------------------------------------------------------------

VideoDisplay::VideoDisplay(QWidget* parent, const QColor& background)
    : QWidget(parent), m_background(background)
{
}

void VideoDisplay::setPicture(const QImage& picture)
{
    m_picture = picture;
    update();
}

void VideoDisplay::setDisplayRect(const QRect& rect)
{
    if (rect == m_displayRect)
        return;
    m_displayRect = rect;
    update();
}

void VideoDisplay::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The film always covers the whole display at its present size.
    setDisplayRect(rect());
}

void VideoDisplay::paintEmpty(QPainter& painter)
{
    painter.fillRect(rect(), m_background);
}

void VideoDisplay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_picture.isNull() || m_displayRect.isEmpty()) {
        paintEmpty(painter);
        return;
    }
    if (!m_displayRect.contains(rect()))
        paintEmpty(painter);
    // Stretched to the rectangle, aspect ratio not kept, as the player's display window does.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(m_displayRect), m_picture);
}

// --- player bar -------------------------------------------------------------------------------

VideoPlayerBar::VideoPlayerBar(VideoPanelWidget* panel) : QWidget(panel), m_panel(panel)
{
    setObjectName(QStringLiteral("playerBar"));
    setCursor(Qt::ArrowCursor);
}

QRect VideoPlayerBar::cell(int index) const
{
    // Three equal buttons; the last takes what the division leaves over.
    const int w = width() / 3;
    const int left = index * w;
    return QRect(left, 0, index == 2 ? width() - left : w, height());
}

VideoPlayerBar::Button VideoPlayerBar::buttonAt(QPoint pos) const
{
    for (int i = 0; i < 3; ++i)
        if (cell(i).contains(pos))
            return Button(i);
    return pos.x() < 0 ? Play : Stop;
}

void VideoPlayerBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const bool open = m_panel->isOpen();
    const QColor face = toQColor(kButtonFace);
    for (int i = 0; i < 3; ++i) {
        const QRect r = cell(i);
        p.fillRect(r, face);
        const bool sunken = m_pressed == i;
        p.setPen(sunken ? face.darker(160) : face.lighter(130));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(sunken ? face.lighter(130) : face.darker(160));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());

        // A glyph of at most 6 × 6 pixels in the middle of the button.
        const int s = std::min(6, std::max(2, r.height() - 4));
        const QPoint c = r.center() + (sunken ? QPoint(1, 1) : QPoint(0, 0));
        const QRect g(c.x() - s / 2, c.y() - s / 2 + 1, s, s);
        p.setPen(Qt::NoPen);
        const QColor grey(0x80, 0x80, 0x80);
        if (i == Play) {
            p.setRenderHint(QPainter::Antialiasing);
            p.setBrush(open ? QColor(0x00, 0x80, 0x00) : grey);
            const QRectF t(g);
            const QPointF tri[3] = {t.topLeft(), t.bottomLeft(), QPointF(t.right(), t.center().y())};
            p.drawPolygon(tri, 3);
            p.setRenderHint(QPainter::Antialiasing, false);
        } else if (i == Pause) {
            const QColor ink = open ? QColor(0x20, 0x20, 0x20) : grey;
            const int bar = std::max(1, s / 3);
            p.fillRect(QRect(g.left(), g.top(), bar, s), ink);
            p.fillRect(QRect(g.right() - bar + 1, g.top(), bar, s), ink);
        } else {
            p.fillRect(g, open ? QColor(0x20, 0x20, 0x20) : grey);
        }
    }
}

void VideoPlayerBar::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = buttonAt(event->position().toPoint());
    update();
}

void VideoPlayerBar::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || m_pressed < 0)
        return;
    const int pressed = m_pressed;
    m_pressed = -1;
    update();
    if (rect().contains(event->position().toPoint()) && buttonAt(event->position().toPoint()) == pressed)
        press(Button(pressed));
}

void VideoPlayerBar::press(Button button)
{
    switch (button) {
    case Play: m_panel->play(); break;
    case Pause: m_panel->togglePause(); break;
    case Stop: m_panel->stop(); break;
    }
}

// --- panel ------------------------------------------------------------------------------------

void VideoPanelWidget::prepareMediaFramework()
{
    // Qt 6.4's FFmpeg backend is a preview that draws MJPEG films in wrong colours and garbles
    // uncompressed and Cinepak ones; GStreamer decodes them all.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    // Frames become images on the CPU. Otherwise Qt 6.4 first sets up an OpenGL context in the GUI
    // thread for the conversion, and on a software-rendered X display that takes long enough for
    // GStreamer's streaming thread to give up the film ("Internal data stream error"). No widget
    // of the program draws with OpenGL, so nothing else changes.
    QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
}

VideoPanelWidget::VideoPanelWidget(QWidget* parent)
    : VideoDisplay(parent, toQColor(kButtonFace)), m_bar(new VideoPlayerBar(this))
{
    m_bar->setGeometry(0, 0, width(), VideoPlayerBar::kHeight);
}

VideoPanelWidget::~VideoPanelWidget()
{
    if (m_player)
        m_player->dispose();
}

void VideoPanelWidget::apply(const VideoObject& video)
{
    setGeometry(video.bounds);
    setToolTip(video.hint);
    nameForAccessibility(this, video);
    m_bar->setVisible(video.playerVisible);
    if (video.fileName == m_fileName)
        return;
    if (m_stillOnly) {
        startOver(video.fileName);
        m_still = filmStill(video.fileName);
        setPicture(m_still);
        return;
    }
    openSoon(video.fileName);
}

void VideoPanelWidget::showStill(bool playing)
{
    m_stillOnly = !playing;
    m_still = filmStill(m_fileName);
    if (m_stillOnly) {
        // An opening that was to begin is called off.
        const QString fileName = m_fileName;
        startOver(fileName);
        m_openState = OpenState::Closed;
        m_bar->update();
    }
    if (m_framesReceived == 0)
        display()->setPicture(m_still);
}

void VideoPanelWidget::openSoon(const QString& fileName)
{
    if (fileName.isEmpty()) {
        openFile(fileName);
        return;
    }
    // The framework's video output asks the GUI thread to start it and gives up after a second;
    // an outline being built or written would keep that thread busy longer. So the panel opens
    // its file once control is back in the event loop, and counts as opening until then.
    startOver(fileName);
    m_openState = OpenState::Opening;
    m_bar->update();
    const int generation = m_generation;
    QTimer::singleShot(0, this, [this, generation, fileName] {
        if (generation == m_generation)
            openFile(fileName);
    });
}

bool VideoPanelWidget::ensurePlayer(QString* error)
{
    if (m_player)
        return true;
    prepareMediaFramework();
    m_player = createFilmPlayer(error);
    if (!m_player)
        return false;
    FilmPlayer::Listener listener;
    listener.statusChanged = [this](FilmPlayer::Status status) { mediaStatusChanged(status); };
    listener.errorOccurred = [this](const QString& text) {
        if (m_openState == OpenState::Opening)
            fail(text);
    };
    listener.stateChanged = [this] { m_bar->update(); };
    listener.pictureArrived = [this](const QImage& image) { pictureArrived(image); };
    m_player->setListener(std::move(listener));
    return true;
}

void VideoPanelWidget::releaseSource()
{
    if (!m_player)
        return;
    m_player->stop();
    m_player->setSource(QString());
}

void VideoPanelWidget::startOver(const QString& fileName)
{
    ++m_generation;
    // A still belongs to its film.
    if (fileName != m_fileName)
        m_still = QImage();
    m_fileName = fileName;
    m_openError.clear();
    m_framesReceived = 0;
    m_firstPicture = QImage();
    releaseSource();
    setPicture(m_still);
}

void VideoPanelWidget::openFile(const QString& fileName)
{
    startOver(fileName);
    if (fileName.isEmpty()) {
        m_openState = OpenState::Closed;
        m_bar->update();
        return;
    }
    const QFileInfo info(fileName);
    if (!info.exists()) {
        fail(QCoreApplication::translate("VideoPanel", "файл не найден"));
        return;
    }
    if (!info.isFile() || !info.isReadable()) {
        fail(QCoreApplication::translate("VideoPanel", "файл недоступен для чтения"));
        return;
    }
    QString moduleError;
    if (!ensurePlayer(&moduleError)) {
        fail(moduleError);
        return;
    }
    if (!m_player->isAvailable()) {
        fail(QCoreApplication::translate("VideoPanel", "воспроизведение видео недоступно: не установлена мультимедийная система"));
        return;
    }
    m_openState = OpenState::Opening;
    m_player->setSource(info.absoluteFilePath());
    // Playing and pausing at once leaves the film paused on its first picture.
    m_player->play();
    m_player->pause();
}

bool VideoPanelWidget::waitForOpening(int timeoutMs)
{
    if (m_openState == OpenState::Opening) {
        QEventLoop loop;
        connect(this, &VideoPanelWidget::openFinished, &loop, &QEventLoop::quit);
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        if (m_openState == OpenState::Opening)
            fail(QCoreApplication::translate("VideoPanel", "мультимедийная система не ответила за %1 с").arg(timeoutMs / 1000.0));
    }
    return isOpen();
}

void VideoPanelWidget::fail(const QString& reason)
{
    m_openState = OpenState::Failed;
    m_openError = reason.trimmed();
    if (m_openError.isEmpty())
        m_openError = QCoreApplication::translate("VideoPanel", "неизвестная ошибка мультимедийной системы");
    // The framework is still inside its own signal: let go of the file once it has returned.
    const int generation = m_generation;
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == m_generation && m_openState == OpenState::Failed)
            releaseSource();
    });
    m_bar->update();
    emit openFinished(false);
}

void VideoPanelWidget::mediaStatusChanged(FilmPlayer::Status status)
{
    if (m_openState != OpenState::Opening)
        return;
    switch (status) {
    case FilmPlayer::Status::Loaded:
        m_openState = OpenState::Open;
        setDisplayRect(rect());
        m_bar->update();
        emit openFinished(true);
        break;
    case FilmPlayer::Status::Invalid:
        fail(m_player->errorString().isEmpty() ? QCoreApplication::translate("VideoPanel", "формат файла не поддерживается")
                                               : m_player->errorString());
        break;
    default:
        break;
    }
}

void VideoPanelWidget::pictureArrived(const QImage& image)
{
    if (m_openState == OpenState::Closed || m_openState == OpenState::Failed)
        return;
    // Pictures still on their way when the film was stopped would cover its first picture.
    if (m_openState == OpenState::Open && m_player->state() == FilmPlayer::State::Stopped
        && m_framesReceived > 0)
        return;
    if (m_framesReceived == 0) {
        m_firstPicture = image;
        // Drawings made later in this session (export, printing) show the same first picture.
        rememberFilmStill(m_fileName, image);
    }
    ++m_framesReceived;
    display()->setPicture(image);
}

FilmPlayer::State VideoPanelWidget::playbackState() const
{
    return m_player && isOpen() ? m_player->state() : FilmPlayer::State::Stopped;
}

qint64 VideoPanelWidget::position() const
{
    return m_player ? m_player->position() : 0;
}

void VideoPanelWidget::play()
{
    if (!isOpen())
        return;
    if (display() == this)
        setDisplayRect(rect());
    setCursor(Qt::ArrowCursor);
    m_player->play();
}

void VideoPanelWidget::togglePause()
{
    if (!isOpen())
        return;
    if (m_player->state() == FilmPlayer::State::Playing)
        m_player->pause();
    else if (m_player->state() == FilmPlayer::State::Paused)
        m_player->play();
}

void VideoPanelWidget::stop()
{
    if (!isOpen())
        return;
    m_player->stop();
    m_player->setPosition(0);
    // A stopped player sends no picture of the position it went back to: the film's first
    // picture, kept from the opening, is shown instead of the last one played.
    if (!m_firstPicture.isNull())
        display()->setPicture(m_firstPicture);
}

VideoDisplay* VideoPanelWidget::display() const
{
    return m_display ? m_display.data() : const_cast<VideoPanelWidget*>(this);
}

void VideoPanelWidget::setDisplay(VideoDisplay* target)
{
    VideoDisplay* previous = display();
    m_display = target == this ? nullptr : target;
    if (m_display) {
        m_display->setPicture(picture());
        m_display->setDisplayRect(m_display->rect());
        return;
    }
    // Back on the panel: the picture the other display showed last comes with it.
    if (previous != this && !previous->picture().isNull())
        setPicture(previous->picture());
    setDisplayRect(rect());
}

void VideoPanelWidget::resizeEvent(QResizeEvent* event)
{
    VideoDisplay::resizeEvent(event);
    m_bar->setGeometry(0, 0, width(), VideoPlayerBar::kHeight);
}

void VideoPanelWidget::paintEmpty(QPainter& painter)
{
    painter.fillRect(rect(), toQColor(kButtonFace));
    paintPanelFrame(painter, rect(), BevelRaised, BevelNone, 0);
}

}  // namespace velmar
