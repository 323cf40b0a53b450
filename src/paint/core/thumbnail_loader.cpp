#include "paint/core/thumbnail_loader.h"

#include <QMutex>
#include <QMutexLocker>
#include <QThread>

#include <atomic>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace velmar::paint {

namespace {

// Thumbnail work yields to the window: a worker thread runs at a lower priority than the GUI
// thread, so a click is answered at once however many pictures are being decoded (on Linux the
// nice value belongs to the thread).
void lowerThisThreadsPriority()
{
    thread_local bool lowered = false;
    if (lowered)
        return;
    lowered = true;
    setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), 10);
}

}  // namespace

// What one run shares between its workers and the loader.
struct ThumbnailLoader::RunState {
    int run = 0;
    // Whom results are posted to; cleared (under the mutex) when the loader lets the run go, so
    // a worker still busy with a file never reaches a loader that is gone.
    ThumbnailLoader* owner = nullptr;
    std::atomic<bool> cancelled{false};
    std::atomic<int> remaining{0};
    QMutex mutex;
    QList<Result> pending;  // made, not yet delivered
    bool deliveryPosted = false;
};

ThumbnailLoader::ThumbnailLoader(ThumbnailCache cache, QObject* parent) : QObject(parent), m_cache(std::move(cache))
{
    qRegisterMetaType<QList<velmar::paint::ThumbnailLoader::Result>>();
    // One core stays free for the window.
    m_pool->setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
}

ThumbnailLoader::~ThumbnailLoader()
{
    cancel();
    // A worker stuck in the system (a file on a hung network share) must not keep the program
    // from ending: after a while its pool is left behind, to end with the process. The workers
    // hold only what they share with their run, never the loader.
    if (m_pool->waitForDone(kExitWaitMs))
        delete m_pool;
}

void ThumbnailLoader::cancel()
{
    if (m_state) {
        m_state->cancelled = true;
        QMutexLocker lock(&m_state->mutex);
        m_state->owner = nullptr;
    }
    m_pool->clear();
    m_state.reset();
}

bool ThumbnailLoader::busy() const { return m_state && m_state->remaining > 0; }

int ThumbnailLoader::start(const QList<Job>& jobs, int side)
{
    cancel();
    auto state = std::make_shared<RunState>();
    state->run = ++m_run;
    state->remaining = int(jobs.size());
    state->owner = this;
    m_state = state;
    if (jobs.isEmpty()) {
        QMetaObject::invokeMethod(
            this, [this, state] { deliver(state); }, Qt::QueuedConnection);
        return state->run;
    }
    for (const Job& job : jobs) {
        m_pool->start([cache = m_cache, state, job, side] {
            if (state->cancelled)
                return;
            lowerThisThreadsPriority();
            Result result;
            result.row = job.row;
            const QImage image = cache.thumbnail(job.path, job.decoder, side, &result.error);
            if (!image.isNull())
                result.thumbnail = image.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            QMutexLocker lock(&state->mutex);
            state->pending.append(std::move(result));
            --state->remaining;
            // One delivery is posted for however many results pile up before it runs, so the
            // window handles them in batches. Posted under the lock: the owner cannot go meanwhile.
            if (state->owner && !std::exchange(state->deliveryPosted, true)) {
                ThumbnailLoader* owner = state->owner;
                QMetaObject::invokeMethod(
                    owner, [owner, state] { owner->deliver(state); }, Qt::QueuedConnection);
            }
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
    m_pool->waitForDone();
    if (const std::shared_ptr<RunState> state = m_state)
        deliver(state);
}

}  // namespace velmar::paint
