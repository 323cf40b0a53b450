#pragma once

#include <QImage>
#include <QString>

#include <functional>

class QObject;

namespace velmar {

// A film's player as the video panels use it. The media framework (Qt Multimedia, GStreamer,
// PulseAudio and the network libraries they bring) lives in a module of its own that is loaded
// the first time a player is asked for, so that a start-up without films never maps them.
// Nothing of the framework's own types appears here.
class FilmPlayer {
public:
    enum class State { Stopped, Playing, Paused };
    enum class Status { NoMedia, Loading, Loaded, Invalid };

    // What the player tells its owner. Every call arrives in the GUI thread; none comes after
    // dispose().
    struct Listener {
        std::function<void(Status)> statusChanged;
        std::function<void(const QString&)> errorOccurred;
        std::function<void()> stateChanged;
        std::function<void(const QImage&)> pictureArrived;
    };

    virtual void setListener(Listener listener) = 0;
    // False when the framework has no backend to play with.
    virtual bool isAvailable() const = 0;
    // An absolute file name; an empty one lets go of the present film.
    virtual void setSource(const QString& fileName) = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual void setPosition(qint64 ms) = 0;
    virtual qint64 position() const = 0;
    virtual State state() const = 0;
    virtual Status status() const = 0;
    virtual QString errorString() const = 0;
    // Ends the player: the listener is cut off at once; the framework's objects go now, or once an
    // opening under way has settled (stopping in the middle of one would block the GUI thread).
    virtual void dispose() = 0;

protected:
    virtual ~FilmPlayer() = default;
};

// A new player, or nullptr with a Russian reason when the media module cannot be loaded. The
// first call also sets what the media framework needs (its backend, frames converted on the CPU).
FilmPlayer* createFilmPlayer(QString* error);

// Whether the media module has been loaded in this process.
bool filmPlayerModuleLoaded();

}  // namespace velmar
