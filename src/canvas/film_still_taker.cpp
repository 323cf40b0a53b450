#include "canvas/film_still_taker.h"

#include "platform/film_player.h"
#include "storage/film_still.h"

#include <QCoreApplication>

namespace velmar {

namespace {

FilmStillTaker* theTaker = nullptr;

}  // namespace

FilmStillTaker& FilmStillTaker::instance()
{
    if (!theTaker) {
        theTaker = new FilmStillTaker;
        // Goes with the application, before the media framework's own objects do.
        theTaker->setParent(QCoreApplication::instance());
    }
    return *theTaker;
}

FilmStillTaker::FilmStillTaker()
{
    m_turn.setSingleShot(true);
    m_turn.setInterval(0);
    connect(&m_turn, &QTimer::timeout, this, &FilmStillTaker::takeNext);
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(kTimeoutMs);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        finish({false, {}, QCoreApplication::translate("VideoPanel", "мультимедийная система не ответила за %1 с").arg(kTimeoutMs / 1000)});
    });
    m_pictureWait.setSingleShot(true);
    m_pictureWait.setInterval(kPictureWaitMs);
    // A film that opened without giving a picture (no video stream the framework shows) can still
    // be played; its panel stays empty until then.
    connect(&m_pictureWait, &QTimer::timeout, this, [this] { finish({true, {}, {}}); });
}

FilmStillTaker::~FilmStillTaker()
{
    theTaker = nullptr;
    for (FilmPlayer* player : {m_player, m_retired})
        if (player)
            player->dispose();
}

int FilmStillTaker::request(const QString& path, QObject* receiver, Callback done, bool urgent)
{
    Request r{++m_lastTicket, path, receiver, std::move(done)};
    if (urgent)
        m_waiting.push_front(std::move(r));
    else
        m_waiting.push_back(std::move(r));
    if (!m_player)
        m_turn.start();
    return m_lastTicket;
}

void FilmStillTaker::cancel(int ticket)
{
    // A film already in the media framework is taken all the same: its still is kept for later.
    auto drop = [ticket](const Request& r) { return r.ticket == ticket; };
    m_waiting.erase(std::remove_if(m_waiting.begin(), m_waiting.end(), drop), m_waiting.end());
    m_current.erase(std::remove_if(m_current.begin(), m_current.end(), drop), m_current.end());
    m_delivering.erase(std::remove_if(m_delivering.begin(), m_delivering.end(), drop), m_delivering.end());
}

void FilmStillTaker::takeNext()
{
    if (m_player)
        return;
    // The last film's player goes before the next film is taken.
    if (m_retired) {
        m_retired->dispose();
        m_retired = nullptr;
    }
    while (!m_waiting.empty() && !m_waiting.front().receiver)
        m_waiting.pop_front();
    if (m_waiting.empty())
        return;
    Request next = std::move(m_waiting.front());
    m_waiting.pop_front();
    // One film each time round the event loop, so that drawing and input go on between them.
    m_turn.start();

    // Read by the program itself, or taken by a player earlier in this session.
    const QImage still = filmStill(next.path);
    if (!still.isNull()) {
        m_delivering.push_back(std::move(next));
        deliver({true, still, {}});
        return;
    }
    m_turn.stop();
    m_currentPath = next.path;
    m_current.push_back(std::move(next));
    // Other fragments showing the same file get its picture from this one opening.
    for (auto it = m_waiting.begin(); it != m_waiting.end();) {
        if (it->path == m_currentPath) {
            m_current.push_back(std::move(*it));
            it = m_waiting.erase(it);
        } else {
            ++it;
        }
    }
    openInPlayer(m_currentPath);
}

void FilmStillTaker::openInPlayer(const QString& path)
{
    QString error;
    m_player = createFilmPlayer(&error);
    if (!m_player) {
        finish({false, {}, error});
        return;
    }
    if (!m_player->isAvailable()) {
        finish({false, {}, QCoreApplication::translate("VideoPanel", "воспроизведение видео недоступно: не установлена мультимедийная система")});
        return;
    }
    m_loaded = false;
    m_picture = QImage();
    // Each call checks that its player is still the one at work: one let go may still speak
    // until it is disposed of.
    FilmPlayer* player = m_player;
    FilmPlayer::Listener listener;
    listener.statusChanged = [this, player](FilmPlayer::Status status) {
        if (player != m_player)
            return;
        if (status == FilmPlayer::Status::Invalid) {
            const QString text = player->errorString();
            finish({false, {}, text.isEmpty() ? QCoreApplication::translate("VideoPanel", "формат файла не поддерживается") : text});
        } else if (status == FilmPlayer::Status::Loaded && !m_loaded) {
            m_loaded = true;
            if (!m_picture.isNull())
                finish({true, m_picture, {}});
            else
                m_pictureWait.start();
        }
    };
    listener.errorOccurred = [this, player](const QString& text) {
        if (player == m_player)
            finish({false, {}, text});
    };
    listener.pictureArrived = [this, player](const QImage& picture) {
        if (player == m_player)
            pictureArrived(picture);
    };
    m_player->setListener(std::move(listener));
    m_deadline.start();
    m_player->setSource(path);
    // Playing and pausing at once stops the film on its first picture.
    m_player->play();
    m_player->pause();
}

void FilmStillTaker::pictureArrived(const QImage& picture)
{
    if (!m_picture.isNull())
        return;
    m_picture = picture;
    if (m_loaded)
        finish({true, m_picture, {}});
}

void FilmStillTaker::finish(const Result& result)
{
    m_deadline.stop();
    m_pictureWait.stop();
    if (m_player) {
        // Let go at the next turn: this may run inside the player's own signal.
        m_retired = m_player;
        m_player = nullptr;
    }
    const QString trimmed = result.error.trimmed();
    Result settled = result;
    if (!settled.ok && trimmed.isEmpty())
        settled.error = QCoreApplication::translate("VideoPanel", "неизвестная ошибка мультимедийной системы");
    // Drawings of the outline made later (export, printing) show the same picture.
    if (settled.ok && !settled.picture.isNull())
        rememberFilmStill(m_currentPath, settled.picture);
    for (Request& r : m_current)
        m_delivering.push_back(std::move(r));
    m_current.clear();
    m_currentPath.clear();
    m_turn.start();
    deliver(settled);
}

void FilmStillTaker::deliver(const Result& result)
{
    // One at a time from the front: a receiver may cancel the others, or ask for more.
    while (!m_delivering.empty()) {
        Request r = std::move(m_delivering.front());
        m_delivering.pop_front();
        if (r.receiver && r.done)
            r.done(result);
    }
}

}  // namespace velmar
