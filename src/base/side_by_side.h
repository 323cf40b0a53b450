#pragma once

#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <cstddef>

namespace velmar {

// Runs work(0) … work(count − 1) on the threads of `pool` and waits for all of them; a single
// piece of work runs on the calling thread. Each index is given to one thread, so work on
// separate objects needs no locking. The pool must run nothing else meanwhile: it is waited for.
template <typename Work>
void runSideBySide(QThreadPool& pool, std::size_t count, Work&& work)
{
    if (count == 1) {
        work(std::size_t(0));
        return;
    }
    for (std::size_t i = 0; i < count; ++i)
        pool.start([&work, i] { work(i); });
    pool.waitForDone();
}

// A pool of as many threads as the machine has cores, for runSideBySide.
inline void sizeForCores(QThreadPool& pool, std::size_t count)
{
    pool.setMaxThreadCount(std::max(1, std::min<int>(QThread::idealThreadCount(), int(count))));
}

}  // namespace velmar
