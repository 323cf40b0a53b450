#pragma once

#include "paint/core/thumbnail_cache.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QThreadPool>

#include <memory>

namespace velmar::paint {

// Makes the browser's thumbnails on worker threads, so that a folder of large photos never holds
// up the window: start() hands over the picture items of a listing and returns at once; the
// thumbnails come back in batches, in the thread that owns the loader, through thumbnailsReady().
// A new start() (or cancel()) drops whatever the previous run has not yet begun, and its late
// results are never delivered.
class ThumbnailLoader : public QObject {
    Q_OBJECT
public:
    struct Job {
        int row = 0;  // the list row the thumbnail belongs to
        QString path;
        PictureDecoder decoder = PictureDecoder::None;
    };
    struct Result {
        int row = 0;
        QImage thumbnail;  // side × side, stretched; null when the file could not be read
        QString error;     // why, in Russian
    };

    explicit ThumbnailLoader(ThumbnailCache cache = ThumbnailCache(), QObject* parent = nullptr);
    ~ThumbnailLoader() override;

    // Starts a run making side × side thumbnails of the jobs' files; returns its number.
    int start(const QList<Job>& jobs, int side);
    void cancel();
    // The number of the run whose results are delivered (the last started).
    int currentRun() const { return m_run; }
    bool busy() const;
    // Waits until the workers are idle and delivers what they made (tests, benchmarks).
    void waitForDone();

    const ThumbnailCache& cache() const { return m_cache; }

signals:
    void thumbnailsReady(int run, const QList<velmar::paint::ThumbnailLoader::Result>& results);
    void runFinished(int run);

private:
    struct RunState;
    void deliver(const std::shared_ptr<RunState>& state);

    // How long the loader's end waits for a worker still reading a file.
    static constexpr int kExitWaitMs = 3000;

    ThumbnailCache m_cache;
    QThreadPool* m_pool = new QThreadPool;  // left behind when a worker does not finish in time
    std::shared_ptr<RunState> m_state;
    int m_run = 0;
};

}  // namespace velmar::paint
