#include "app/thumbnail_deadline.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

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
    const QByteArray message = QCoreApplication::translate(
        "FileCommands", "Миниатюра конспекта не построена за отведённые %1 с: файл слишком долго читается.")
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

ThumbnailDeadline& thumbnailDeadline()
{
    static ThumbnailDeadline deadline;
    return deadline;
}

}  // namespace velmar
