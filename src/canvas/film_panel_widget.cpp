#include "canvas/film_panel_widget.h"

#include "canvas/film_still_taker.h"
#include "canvas/object_accessibility.h"
#include "canvas/object_widgets.h"
#include "model/colour.h"
#include "storage/film_still.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <vector>

namespace velmar {

// --- display ----------------------------------------------------------------------------------

VideoDisplay::VideoDisplay(QWidget* parent, const QColor& background) : QWidget(parent), m_background(background) {}

void VideoDisplay::setPicture(const QImage& picture)
{
    m_picture = picture;
    update();
}

void VideoDisplay::showPicture(const QImage& picture) { m_picture = picture; }

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

void VideoDisplay::paintEmpty(QPainter& painter) { painter.fillRect(rect(), m_background); }

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

VideoPlayerBar::VideoPlayerBar(FilmPanelWidget* panel) : QWidget(panel), m_panel(panel)
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
    // Every bar of one size and state looks the same, and an outline has a bar for each film: on
    // the screen (a raster device, nothing scaled, whole-pixel offsets) a bar is drawn once and
    // copied. Print and vector exports draw it.
    const QTransform& transform = p.transform();
    if (p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Raster
        && transform.type() <= QTransform::TxTranslate && transform.dx() == std::floor(transform.dx())
        && transform.dy() == std::floor(transform.dy())) {
        struct Drawn {
            QSize size;
            bool open;
            int pressed;
            QImage image;
        };
        static std::vector<Drawn> drawn;
        const auto same = [&](const Drawn& d) { return d.size == size() && d.open == open && d.pressed == m_pressed; };
        auto it = std::find_if(drawn.begin(), drawn.end(), same);
        if (it == drawn.end()) {
            // A few sizes and states are kept: the latest first.
            constexpr std::size_t kKept = 8;
            if (drawn.size() == kKept)
                drawn.pop_back();
            QImage image(size(), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter onImage(&image);
            paintButtons(onImage, open);
            onImage.end();
            it = drawn.insert(drawn.begin(), Drawn{size(), open, m_pressed, image});
        }
        p.drawImage(0, 0, it->image);
        return;
    }
    paintButtons(p, open);
}

void VideoPlayerBar::paintButtons(QPainter& p, bool open) const
{
    const QColor face = toQColor(kButtonFace);
    for (int i = 0; i < 3; ++i) {
        const QRect r = cell(i);
        p.fillRect(r, face);
        const bool sunken = m_pressed == i;
        p.setPen(sunken ? face.darker(160) : face.lighter(130));
        drawStraightLine(p, r.topLeft(), r.topRight());
        drawStraightLine(p, r.topLeft(), r.bottomLeft());
        p.setPen(sunken ? face.lighter(130) : face.darker(160));
        drawStraightLine(p, r.bottomLeft(), r.bottomRight());
        drawStraightLine(p, r.topRight(), r.bottomRight());

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

// --- panel ---------------------------------------------------------------------------------------

FilmPanelWidget::FilmPanelWidget(QWidget* parent)
    : VideoDisplay(parent, toQColor(kButtonFace)), m_bar(new VideoPlayerBar(this))
{
    m_bar->setGeometry(0, 0, width(), VideoPlayerBar::kHeight);
    m_startDeadline.setSingleShot(true);
    m_startDeadline.setInterval(FilmStillTaker::kTimeoutMs);
    connect(&m_startDeadline, &QTimer::timeout, this, [this] {
        if (m_player)
            playerEnded(QCoreApplication::translate("VideoPanel", "мультимедийная система не ответила за %1 с")
                            .arg(FilmStillTaker::kTimeoutMs / 1000));
    });
}

FilmPanelWidget::~FilmPanelWidget()
{
    if (m_stillTicket)
        FilmStillTaker::instance().cancel(m_stillTicket);
    releasePlayer();
}

void FilmPanelWidget::apply(const VideoObject& video)
{
    setGeometry(video.bounds);
    setToolTip(video.hint);
    nameForAccessibility(this, video);
    m_bar->setVisible(video.playerVisible);
    if (video.fileName == m_fileName)
        return;
    if (m_stillOnly) {
        // Read when drawn, at the size it is drawn at.
        startOver(video.fileName);
        update();
        return;
    }
    openSoon(video.fileName);
}

void FilmPanelWidget::showStill(bool playing)
{
    m_stillOnly = !playing;
    if (!m_stillOnly) {
        // The still shows at once, before the film's opening has come round.
        if (picture().isNull() && !m_fileName.isEmpty())
            setPicture(filmStill(m_fileName, size() * FilmStillTaker::kHeadroom));
        return;
    }
    // An opening that was to begin is called off; the still is read when the panel is drawn.
    const QString fileName = m_fileName;
    startOver(fileName);
    m_openState = OpenState::Closed;
    m_bar->update();
    update();
}

void FilmPanelWidget::paintEvent(QPaintEvent* event)
{
    if (m_stillOnly && !m_fileName.isEmpty()) {
        // The still at the size this drawing gives the panel: a thumbnail reads a small one, an
        // enlarged export or a printed page a larger one (up to the film's own size).
        QTransform toDevice;
        {
            QPainter probe(this);
            toDevice = probe.deviceTransform();
        }
        const QSize drawn(int(std::ceil(width() * std::hypot(toDevice.m11(), toDevice.m12()))),
                          int(std::ceil(height() * std::hypot(toDevice.m21(), toDevice.m22()))));
        const QImage still = filmStill(m_fileName, drawn);
        if (still.cacheKey() != picture().cacheKey())
            showPicture(still);
    }
    VideoDisplay::paintEvent(event);
}

void FilmPanelWidget::openSoon(const QString& fileName)
{
    if (fileName.isEmpty()) {
        openFile(fileName);
        return;
    }
    // An outline being built or read opens its films once control is back in the event loop, so
    // that a drawing of stills can call the opening off before it begins.
    startOver(fileName);
    m_openState = OpenState::Opening;
    m_bar->update();
    const int generation = m_generation;
    QTimer::singleShot(0, this, [this, generation, fileName] {
        if (generation == m_generation)
            open(fileName, false);
    });
}

void FilmPanelWidget::openFile(const QString& fileName) { open(fileName, true); }

void FilmPanelWidget::open(const QString& fileName, bool urgent)
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
    m_openState = OpenState::Opening;
    m_openedPath = info.absoluteFilePath();
    const int generation = m_generation;
    m_stillTicket = FilmStillTaker::instance().request(
        m_openedPath, size() * devicePixelRatioF(), this,
        [this, generation](const FilmStillTaker::Result& result) {
            if (generation == m_generation)
                stillTaken(result.ok, result.picture, result.error);
        },
        urgent);
}

void FilmPanelWidget::stillTaken(bool ok, const QImage& picture, const QString& error)
{
    m_stillTicket = 0;
    if (m_openState != OpenState::Opening)
        return;
    if (!ok) {
        fail(error);
        return;
    }
    // Open, paused on the first picture, with no player until the film is played.
    m_openState = OpenState::Open;
    m_state = FilmPlayer::State::Paused;
    m_firstPicture = picture;
    if (!picture.isNull()) {
        ++m_framesReceived;
        display()->setPicture(picture);
    }
    setDisplayRect(rect());
    m_bar->update();
    emit openFinished(true);
}

bool FilmPanelWidget::waitForOpening(int timeoutMs)
{
    if (m_openState == OpenState::Opening) {
        QEventLoop loop;
        connect(this, &FilmPanelWidget::openFinished, &loop, &QEventLoop::quit);
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        if (m_openState == OpenState::Opening)
            fail(QCoreApplication::translate("VideoPanel", "мультимедийная система не ответила за %1 с")
                     .arg(timeoutMs / 1000.0));
    }
    return isOpen();
}

void FilmPanelWidget::startOver(const QString& fileName)
{
    ++m_generation;
    if (m_stillTicket) {
        FilmStillTaker::instance().cancel(m_stillTicket);
        m_stillTicket = 0;
    }
    releasePlayer();
    // The same film opened again keeps its picture until the new opening brings one.
    if (fileName != m_fileName)
        setPicture(QImage());
    m_fileName = fileName;
    m_openedPath.clear();
    m_openError.clear();
    m_state = FilmPlayer::State::Stopped;
    m_lastPosition = 0;
    m_framesReceived = 0;
    m_firstPicture = QImage();
}

void FilmPanelWidget::fail(const QString& reason)
{
    if (m_stillTicket) {
        FilmStillTaker::instance().cancel(m_stillTicket);
        m_stillTicket = 0;
    }
    m_openState = OpenState::Failed;
    setPicture(QImage());
    m_openError = reason.trimmed();
    if (m_openError.isEmpty())
        m_openError = QCoreApplication::translate("VideoPanel", "неизвестная ошибка мультимедийной системы");
    m_bar->update();
    emit openFinished(false);
}

bool FilmPanelWidget::startPlayer()
{
    QString error;
    m_player = createFilmPlayer(&error);
    if (m_player && !m_player->isAvailable()) {
        m_player->dispose();
        m_player = nullptr;
        error = QCoreApplication::translate("VideoPanel",
                                            "воспроизведение видео недоступно: не установлена мультимедийная система");
    }
    if (!m_player) {
        emit playFailed(error);
        return false;
    }
    // Each call checks that its player is still the panel's: one let go may still speak until it
    // is disposed of.
    FilmPlayer* player = m_player;
    FilmPlayer::Listener listener;
    listener.statusChanged = [this, player](FilmPlayer::Status status) {
        if (player != m_player)
            return;
        if (status == FilmPlayer::Status::Loaded)
            m_startDeadline.stop();
        else if (status == FilmPlayer::Status::Invalid)
            playerEnded(player->errorString().isEmpty()
                            ? QCoreApplication::translate("VideoPanel", "формат файла не поддерживается")
                            : player->errorString());
    };
    listener.errorOccurred = [this, player](const QString& text) {
        if (player == m_player)
            playerEnded(text.trimmed().isEmpty()
                            ? QCoreApplication::translate("VideoPanel", "неизвестная ошибка мультимедийной системы")
                            : text);
    };
    listener.stateChanged = [this, player] {
        // A player that stops by itself has played the film to its end.
        if (player == m_player && player->state() == FilmPlayer::State::Stopped
            && m_state != FilmPlayer::State::Stopped)
            playerEnded(QString());
    };
    listener.pictureArrived = [this, player](const QImage& image) {
        if (player == m_player)
            pictureArrived(image);
    };
    m_player->setListener(std::move(listener));
    // Some damaged films leave the framework neither playing nor failing.
    m_startDeadline.start();
    m_player->setSource(m_openedPath);
    m_player->play();
    return true;
}

void FilmPanelWidget::releasePlayer()
{
    if (!m_player)
        return;
    m_startDeadline.stop();
    FilmPlayer* player = m_player;
    m_player = nullptr;
    player->dispose();
}

void FilmPanelWidget::playerEnded(const QString& error)
{
    m_startDeadline.stop();
    FilmPlayer* player = m_player;
    m_player = nullptr;
    m_lastPosition = error.isEmpty() ? player->position() : 0;
    m_state = FilmPlayer::State::Stopped;
    // This runs inside the player's own signal: it is disposed of once that has returned.
    QTimer::singleShot(0, QCoreApplication::instance(), [player] { player->dispose(); });
    m_bar->update();
    if (error.isEmpty())
        return;
    // A film that would not play shows its first picture again.
    if (!m_firstPicture.isNull())
        display()->setPicture(m_firstPicture);
    emit playFailed(error);
}

void FilmPanelWidget::pictureArrived(const QImage& image)
{
    if (m_openState != OpenState::Open || m_state == FilmPlayer::State::Stopped)
        return;
    if (m_firstPicture.isNull()) {
        // A film whose first picture could not be taken beforehand: the player's is kept, and
        // drawings made later in this session (export, printing) show it too.
        m_firstPicture = image;
        rememberFilmStill(m_openedPath, image);
    }
    ++m_framesReceived;
    display()->setPicture(image);
}

FilmPlayer::State FilmPanelWidget::playbackState() const { return isOpen() ? m_state : FilmPlayer::State::Stopped; }

qint64 FilmPanelWidget::position() const { return m_player ? m_player->position() : m_lastPosition; }

void FilmPanelWidget::play()
{
    if (!isOpen())
        return;
    if (display() == this)
        setDisplayRect(rect());
    setCursor(Qt::ArrowCursor);
    if (!m_player) {
        // The film starts over from its beginning, in a player of its own.
        m_lastPosition = 0;
        if (!startPlayer())
            return;
    } else {
        m_player->play();
    }
    m_state = FilmPlayer::State::Playing;
    m_bar->update();
}

void FilmPanelWidget::togglePause()
{
    if (!isOpen())
        return;
    if (m_state == FilmPlayer::State::Playing) {
        if (m_player)
            m_player->pause();
        m_state = FilmPlayer::State::Paused;
        m_bar->update();
    } else if (m_state == FilmPlayer::State::Paused) {
        play();
    }
}

void FilmPanelWidget::stop()
{
    if (!isOpen())
        return;
    releasePlayer();
    m_state = FilmPlayer::State::Stopped;
    m_lastPosition = 0;
    m_bar->update();
    // Back at the start: the film's first picture shows instead of the last one played.
    if (!m_firstPicture.isNull())
        display()->setPicture(m_firstPicture);
}

VideoDisplay* FilmPanelWidget::display() const
{
    return m_display ? m_display.data() : const_cast<FilmPanelWidget*>(this);
}

void FilmPanelWidget::setDisplay(VideoDisplay* target)
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

void FilmPanelWidget::resizeEvent(QResizeEvent* event)
{
    VideoDisplay::resizeEvent(event);
    m_bar->setGeometry(0, 0, width(), VideoPlayerBar::kHeight);
}

void FilmPanelWidget::paintEmpty(QPainter& painter)
{
    painter.fillRect(rect(), toQColor(kButtonFace));
    paintPanelFrame(painter, rect(), BevelRaised, BevelNone, 0);
}

}  // namespace velmar
