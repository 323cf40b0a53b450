// The media module: a film player on Qt Multimedia. Built as a module of its own and loaded on
// the first film (see platform/film_player.h); it uses only Qt and the player interface.
#include "platform/film_player.h"

#include <QCoreApplication>
#include <QMediaPlayer>
#include <QObject>
#include <QTimer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>

namespace velmar {
namespace {

class MultimediaFilmPlayer final : public FilmPlayer {
public:
    MultimediaFilmPlayer()
    {
        m_player = new QMediaPlayer;
        m_sink = new QVideoSink(m_player);
        m_player->setVideoSink(m_sink);
        QObject::connect(m_player, &QMediaPlayer::mediaStatusChanged, m_player,
                         [this](QMediaPlayer::MediaStatus status) {
                             if (m_listener.statusChanged)
                                 m_listener.statusChanged(toStatus(status));
                         });
        QObject::connect(m_player, &QMediaPlayer::errorOccurred, m_player,
                         [this](QMediaPlayer::Error error, const QString&) {
                             if (m_listener.errorOccurred)
                                 m_listener.errorOccurred(reasonFor(error));
                         });
        QObject::connect(m_player, &QMediaPlayer::playbackStateChanged, m_player, [this] {
            if (m_listener.stateChanged)
                m_listener.stateChanged();
        });
        // Frames may come from the framework's streaming thread: the player as context makes the
        // connection queued then, so pictures arrive in the GUI thread.
        QObject::connect(m_sink, &QVideoSink::videoFrameChanged, m_player, [this](const QVideoFrame& frame) {
            if (!frame.isValid() || !m_listener.pictureArrived)
                return;
            const QImage image = frame.toImage();
            if (!image.isNull())
                m_listener.pictureArrived(image);
        });
    }

    void setListener(Listener listener) override { m_listener = std::move(listener); }
    bool isAvailable() const override { return m_player->isAvailable(); }
    void setSource(const QString& fileName) override
    {
        m_player->setSource(fileName.isEmpty() ? QUrl() : QUrl::fromLocalFile(fileName));
    }
    void play() override { m_player->play(); }
    void pause() override { m_player->pause(); }
    void stop() override { m_player->stop(); }
    void setPosition(qint64 ms) override { m_player->setPosition(ms); }
    qint64 position() const override { return m_player->position(); }
    State state() const override
    {
        switch (m_player->playbackState()) {
        case QMediaPlayer::PlayingState: return State::Playing;
        case QMediaPlayer::PausedState: return State::Paused;
        default: return State::Stopped;
        }
    }
    Status status() const override { return toStatus(m_player->mediaStatus()); }
    QString errorString() const override
    {
        return m_player->error() == QMediaPlayer::NoError ? QString() : reasonFor(m_player->error());
    }

    void dispose() override
    {
        m_listener = Listener();
        // The player and its sink still signal while they shut down (an empty last frame): they
        // are cut off from this object, which goes now.
        QMediaPlayer* player = m_player;
        player->disconnect();
        m_sink->disconnect(player);
        if (player->mediaStatus() == QMediaPlayer::LoadingMedia) {
            // Stopping a film in the middle of its opening makes the GUI thread wait for the
            // framework's streaming thread, which is itself waiting for the GUI thread to start
            // the video output: a second's freeze. The player is let go once the opening settled.
            QObject::connect(player, &QMediaPlayer::mediaStatusChanged, player,
                             [player](QMediaPlayer::MediaStatus status) {
                                 if (status != QMediaPlayer::LoadingMedia)
                                     player->deleteLater();
                             });
            QTimer::singleShot(kReleaseTimeoutMs, player, &QObject::deleteLater);
        } else {
            player->stop();
            delete player;
        }
        delete this;
    }

private:
    // The framework's errors in the interface language: its own texts are English (GStreamer's),
    // and would stand in the middle of a Russian message.
    static QString reasonFor(QMediaPlayer::Error error)
    {
        switch (error) {
        case QMediaPlayer::FormatError:
            return QCoreApplication::translate(
                "FilmPlayer",
                "мультимедийная система не умеет воспроизводить фильмы этого формата (нет нужного модуля)");
        case QMediaPlayer::AccessDeniedError:
            return QCoreApplication::translate("FilmPlayer", "нет доступа к файлу фильма");
        case QMediaPlayer::NetworkError:
            return QCoreApplication::translate("FilmPlayer", "файл фильма недоступен по сети");
        case QMediaPlayer::ResourceError:
            return QCoreApplication::translate("FilmPlayer",
                                               "мультимедийная система не смогла прочитать или воспроизвести фильм");
        default:
            return QCoreApplication::translate("FilmPlayer", "мультимедийная система не смогла воспроизвести фильм");
        }
    }

    // How long a player that is still opening may live on after its owner let it go.
    static constexpr int kReleaseTimeoutMs = 10000;

    static Status toStatus(QMediaPlayer::MediaStatus status)
    {
        switch (status) {
        case QMediaPlayer::LoadingMedia:
        case QMediaPlayer::StalledMedia: return Status::Loading;
        case QMediaPlayer::LoadedMedia:
        case QMediaPlayer::BufferingMedia:
        case QMediaPlayer::BufferedMedia:
        case QMediaPlayer::EndOfMedia: return Status::Loaded;
        case QMediaPlayer::InvalidMedia: return Status::Invalid;
        default: return Status::NoMedia;
        }
    }

    QMediaPlayer* m_player;
    QVideoSink* m_sink;
    Listener m_listener;
};

}  // namespace
}  // namespace velmar

extern "C" Q_DECL_EXPORT velmar::FilmPlayer* velmarCreateFilmPlayer() { return new velmar::MultimediaFilmPlayer; }
