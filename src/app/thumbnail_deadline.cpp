#include "app/thumbnail_deadline.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <malloc.h>
#include <sys/resource.h>

namespace velmar {

namespace {

// Plain atomics: the waiting thread may still sleep while the process ends normally.
std::atomic<bool> g_writing{false};

}  // namespace

int ThumbnailDeadline::secondsFor(qint64 fileBytes)
{
    constexpr qint64 kStep = 2LL * 1024 * 1024;
    const qint64 extra = fileBytes <= kStep ? 0 : (fileBytes - 1) / kStep;
    return int(std::min<qint64>(13, 4 + extra));
}

void ThumbnailDeadline::start(qint64 fileBytes)
{
    const int seconds = secondsFor(fileBytes);
    // Worded now: the catalogue is the application's, and the application may be busy or gone then.
    const QByteArray message =
        QCoreApplication::translate("FileCommands",
                                    "Миниатюра конспекта не построена за отведённые %1 с: файл слишком долго читается.")
            .arg(seconds)
            .toLocal8Bit();
    std::thread([seconds, message] {
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        if (g_writing.load())
            return;
        std::fprintf(stderr, "%s\n", message.constData());
        std::fflush(stderr);
        std::_Exit(1);
    }).detach();
}

void ThumbnailDeadline::writing() { g_writing.store(true); }

#if defined(__SANITIZE_ADDRESS__)
#define VELMAR_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMAR_ADDRESS_SANITIZER 1
#endif
#endif

void ThumbnailDeadline::capMemory()
{
#ifndef VELMAR_ADDRESS_SANITIZER
    // Every thread that allocates would reserve an arena of its own (64 MB of address space
    // each): two serve the few threads a thumbnail runs.
    mallopt(M_ARENA_MAX, 2);
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0)
        return;
    const rlim_t cap = rlim_t(kMemoryCap);
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur <= cap)
        return;  // already held lower
    limit.rlim_cur = cap;
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < cap)
        limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_AS, &limit);
#endif
}

ThumbnailDeadline& thumbnailDeadline()
{
    static ThumbnailDeadline deadline;
    return deadline;
}

}  // namespace velmar
