#include "paint/core/thumbnail_loader.h"

#include <QMutex>
#include <QMutexLocker>

#include <atomic>

namespace velmar::paint {

// What one run shares between its workers and the loader.
struct ThumbnailLoader::RunState {
    int run = 0;
    std::atomic<bool> cancelled{false};
    std::atomic<int> remaining{0};
    QMutex mutex;
    QList<Result> pending;   // made, not yet delivered
    bool deliveryPosted = false;
};

ThumbnailLoader::ThumbnailLoader(ThumbnailCache cache, QObject* parent) : QObject(parent), m_cache(std::move(cache))
{
    qRegisterMetaType<QList<velmar::paint::ThumbnailLoader::Result>>();
}

ThumbnailLoader::~ThumbnailLoader()
{
    cancel();
    m_pool.waitForDone();
}

void ThumbnailLoader::cancel()
{
    if (m_state)
        m_state->cancelled = true;
    m_pool.clear();
    m_state.reset();
}

bool ThumbnailLoader::busy() const
{
    return m_state && m_state->remaining > 0;
}

int ThumbnailLoader::start(const QList<Job>& jobs, int side)
{
    cancel();
    auto state = std::make_shared<RunState>();
    state->run = ++m_run;
    state->remaining = int(jobs.size());
    m_state = state;
    if (jobs.isEmpty()) {
        QMetaObject::invokeMethod(this, [this, state] { deliver(state); }, Qt::QueuedConnection);
        return state->run;
    }
    for (const Job& job : jobs) {
        m_pool.start([this, state, job, side] {
            if (state->cancelled)
                return;
            Result result;
            result.row = job.row;
            const QImage image = m_cache.thumbnail(job.path, job.decoder, side, &result.error);
            if (!image.isNull())
                result.thumbnail = image.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            bool post = false;
            {
                QMutexLocker lock(&state->mutex);
                state->pending.append(std::move(result));
                --state->remaining;
                post = !std::exchange(state->deliveryPosted, true);
            }
            // One delivery is posted for however many results pile up before it runs, so the
            // window handles them in batches.
            if (post)
                QMetaObject::invokeMethod(this, [this, state] { deliver(state); }, Qt::QueuedConnection);
        });
    }
    return state->run;
}

void ThumbnailLoader::deliver(const std::shared_ptr<RunState>& state)
{
    if (state != m_state)
        return;
    QList<Result> results;
    bool done = false;
    {
        // A worker counts its job done in the same step as it hands over the result, so once
        // none remain every result is in this batch.
        QMutexLocker lock(&state->mutex);
        results.swap(state->pending);
        state->deliveryPosted = false;
        done = state->remaining == 0;
    }
    if (!results.isEmpty())
        emit thumbnailsReady(state->run, results);
    if (done && state == m_state) {
        m_state.reset();
        emit runFinished(state->run);
    }
}

void ThumbnailLoader::waitForDone()
{
    m_pool.waitForDone();
    if (const std::shared_ptr<RunState> state = m_state)
        deliver(state);
}

}  // namespace velmar::paint
