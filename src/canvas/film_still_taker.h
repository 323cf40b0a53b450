#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <vector>

namespace velmar {

class FilmPlayer;

// Takes the first pictures of the films the video panels show, one film at a time, so that an
// outline with a hundred films needs no hundred media pipelines (each with its own threads) just to
// show them. A film that storage/film_still.h reads by itself (uncompressed or Motion JPEG AVI)
// costs no media framework at all. Any other file is opened by one player of the media module,
// paused on its first picture, and that player is let go before the next file is taken: the media
// framework holds at most one film for this, and none once every still is taken.
class FilmStillTaker : public QObject {
    Q_OBJECT
public:
    struct Result {
        bool ok = false;  // the film can be shown; its first picture (null when it gave none)
        QImage picture;
        QString error;    // otherwise why not, in the media framework's words
    };
    using Callback = std::function<void(const Result&)>;

    // How long the media framework may take over one film before it counts as failed.
    static constexpr int kTimeoutMs = 15000;
    // How long a film that has opened may take to give its first picture.
    static constexpr int kPictureWaitMs = 3000;

    static FilmStillTaker& instance();
    ~FilmStillTaker() override;

    // Asks for the first picture of the film at path (an absolute name). done runs later in the
    // GUI thread: never from inside request(), never after cancel(ticket) or once receiver is
    // gone. An urgent request (a film the user has just chosen) goes before those waiting.
    int request(const QString& path, QObject* receiver, Callback done, bool urgent = false);
    void cancel(int ticket);

    // Whether the media framework holds a film for this now.
    bool playerActive() const { return m_player != nullptr; }
    // Requests not yet answered, the film in the media framework included.
    int pending() const { return int(m_waiting.size() + m_current.size()); }

private:
    FilmStillTaker();
    struct Request {
        int ticket = 0;
        QString path;
        QPointer<QObject> receiver;
        Callback done;
    };

    void takeNext();
    void openInPlayer(const QString& path);
    void pictureArrived(const QImage& picture);
    void finish(const Result& result);
    void deliver(const Result& result);

    std::deque<Request> m_waiting;
    std::vector<Request> m_current;  // the film in the media framework and all who asked for it
    QString m_currentPath;
    std::deque<Request> m_delivering;  // answered, their callbacks under way
    FilmPlayer* m_player = nullptr;
    FilmPlayer* m_retired = nullptr;   // the last film's player, let go at the next turn
    bool m_loaded = false;
    QImage m_picture;
    QTimer m_turn;       // takes the next film once control is back in the event loop
    QTimer m_deadline;   // a film the media framework does not settle
    QTimer m_pictureWait;
    int m_lastTicket = 0;
};

}  // namespace velmar
