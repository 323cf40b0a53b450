#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>

namespace velmar {

// Takes the first pictures of the films the video panels show, one film each time round the event
// loop, so that an outline with a hundred films opens at once and stays responsive while their
// pictures arrive. The pictures are read by the film picture module (storage/film_still.h) within
// the outline's budgets; no media framework is started for them.
class FilmStillTaker : public QObject {
    Q_OBJECT
public:
    struct Result {
        bool ok = false;  // the film's first picture was read
        QImage picture;
        QString error;  // otherwise why not, in Russian
    };
    using Callback = std::function<void(const Result&)>;

    // How long the media framework may take to start playing a film before it counts as failed.
    static constexpr int kTimeoutMs = 15000;
    // A still is read at this many times its panel's size, so that a zoomed window or the show
    // still draws it sharply.
    static constexpr int kHeadroom = 2;

    static FilmStillTaker& instance();
    ~FilmStillTaker() override;

    // Asks for the first picture of the film at path (an absolute name) for a panel of the given
    // size in device pixels. done runs later in the GUI thread: never from inside request(), never
    // after cancel(ticket) or once receiver is gone. An urgent request (a film the user has just
    // chosen) goes before those waiting.
    int request(const QString& path, QSize panelSize, QObject* receiver, Callback done, bool urgent = false);
    void cancel(int ticket);

    // Requests not yet answered.
    int pending() const { return int(m_waiting.size()); }

private:
    FilmStillTaker();
    struct Request {
        int ticket = 0;
        QString path;
        QSize size;
        QPointer<QObject> receiver;
        Callback done;
    };

    void takeNext();

    std::deque<Request> m_waiting;
    QTimer m_turn;  // takes the next film once control is back in the event loop
    int m_lastTicket = 0;
};

}  // namespace velmar
