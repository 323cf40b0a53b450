#include "canvas/film_still_taker.h"

#include "storage/film_still.h"

#include <QCoreApplication>

#include <algorithm>

namespace velmar {

namespace {

FilmStillTaker* theTaker = nullptr;

}  // namespace

FilmStillTaker& FilmStillTaker::instance()
{
    if (!theTaker) {
        theTaker = new FilmStillTaker;
        theTaker->setParent(QCoreApplication::instance());
    }
    return *theTaker;
}

FilmStillTaker::FilmStillTaker()
{
    m_turn.setSingleShot(true);
    m_turn.setInterval(0);
    connect(&m_turn, &QTimer::timeout, this, &FilmStillTaker::takeNext);
}

FilmStillTaker::~FilmStillTaker() { theTaker = nullptr; }

int FilmStillTaker::request(const QString& path, QSize panelSize, QObject* receiver, Callback done, bool urgent)
{
    Request r{++m_lastTicket, path, panelSize * kHeadroom, receiver, std::move(done)};
    if (urgent)
        m_waiting.push_front(std::move(r));
    else
        m_waiting.push_back(std::move(r));
    m_turn.start();
    return m_lastTicket;
}

void FilmStillTaker::cancel(int ticket)
{
    auto drop = [ticket](const Request& r) { return r.ticket == ticket; };
    m_waiting.erase(std::remove_if(m_waiting.begin(), m_waiting.end(), drop), m_waiting.end());
}

void FilmStillTaker::takeNext()
{
    while (!m_waiting.empty() && !m_waiting.front().receiver)
        m_waiting.pop_front();
    if (m_waiting.empty())
        return;
    Request next = std::move(m_waiting.front());
    m_waiting.pop_front();
    // One film each time round the event loop, so that drawing and input go on between them.
    if (!m_waiting.empty())
        m_turn.start();
    const FilmStill still = readFilmStill(next.path, next.size);
    // The receiver may have gone while the film was read, or cancelled meanwhile.
    if (next.receiver && next.done)
        next.done({!still.picture.isNull(), still.picture, still.problem});
}

}  // namespace velmar
