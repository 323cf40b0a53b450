#pragma once

#include "canvas/object_widgets.h"
#include "model/outline.h"
#include "platform/film_player.h"

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace velmar {

// A surface that shows a player's pictures: the current picture stretched over the display
// rectangle, as a media player's display window does.
class VideoDisplay : public QWidget {
    Q_OBJECT
public:
    explicit VideoDisplay(QWidget* parent, const QColor& background = Qt::black);

    const QImage& picture() const { return m_picture; }
    void setPicture(const QImage& picture);
    QRect displayRect() const { return m_displayRect; }
    void setDisplayRect(const QRect& rect);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Sets the picture from inside a paint event, without asking for another one.
    void showPicture(const QImage& picture);
    // Paints what shows before the first picture arrives.
    virtual void paintEmpty(QPainter& painter);

private:
    QImage m_picture;
    QRect m_displayRect;
    QColor m_background;
};

class FilmPanelWidget;

// The player's Play/Pause/Stop bar: 10 pixels high along the top of the video panel, three
// buttons of equal width. The buttons act only while the player is open.
class VideoPlayerBar : public QWidget {
    Q_OBJECT
public:
    enum Button { Play = 0, Pause = 1, Stop = 2 };
    static constexpr int kHeight = 10;

    explicit VideoPlayerBar(FilmPanelWidget* panel);
    // The button under a point of the bar.
    Button buttonAt(QPoint pos) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect cell(int index) const;
    void paintButtons(QPainter& painter, bool open) const;
    void press(Button button);

    FilmPanelWidget* m_panel;
    int m_pressed = -1;
};

// A video fragment's panel with its player. Opening the fragment's AVI file shows the film's first
// picture, taken one film at a time by FilmStillTaker; the film then counts as open and paused at
// its start, without any media pipeline. A player of the media module (see platform/film_player.h)
// is made when the film is played, draws its pictures over the panel's client area (or over
// another display, for full screen), stays while the film plays or is paused after playing, and
// goes when the film is stopped or has played to its end.
class FilmPanelWidget : public VideoDisplay, public ShowsObject {
    Q_OBJECT
public:
    enum class OpenState {
        Closed,   // no file
        Opening,  // the film's first picture is being taken
        Open,     // opened: stopped, playing or paused
        Failed,   // the file could not be opened; the name is kept
    };

    explicit FilmPanelWidget(QWidget* parent);
    ~FilmPanelWidget() override;

    // Geometry, tooltip and the player bar from the model; a file name the panel does not have
    // yet is opened as soon as the event loop runs again.
    void apply(const VideoObject& video);

    // Opens the file (again, even when it is the panel's present file), before the films that
    // other panels are waiting for; an empty name closes the film. Missing files fail at once;
    // otherwise the outcome arrives with openFinished().
    void openFile(const QString& fileName);
    // Waits, without taking user input, until the opening under way has ended; an opening that
    // takes longer than timeoutMs fails. True when the film is open.
    bool waitForOpening(int timeoutMs);

    QString fileName() const { return m_fileName; }
    OpenState openState() const { return m_openState; }
    bool isOpen() const { return m_openState == OpenState::Open; }
    // Why the last opening failed (the media framework's message), empty otherwise.
    QString openError() const { return m_openError; }
    // Paused at the start once opened; playing or paused after Play; stopped after Stop or at the
    // film's end.
    FilmPlayer::State playbackState() const;
    qint64 position() const;
    // Pictures shown since the file was opened: the first picture, then every frame played.
    int framesReceived() const { return m_framesReceived; }

    // The film's commands; each does nothing unless the film is open.
    void play();
    // Pauses a playing film and resumes a paused one; a stopped film stays stopped.
    void togglePause();
    // Stops and goes back to the start of the film.
    void stop();

    // Where the pictures go: another display (full screen), or nullptr for the panel itself. The
    // display rectangle of the panel is reset and the last picture shown comes back with it.
    void setDisplay(VideoDisplay* display);
    VideoDisplay* display() const;

    VideoPlayerBar* playerBar() const { return m_bar; }
    // The player while the film plays or is paused after playing, nullptr otherwise.
    FilmPlayer* player() const { return m_player; }

    // Drawings of the outline show the film's still (its first picture, see film_still.h) rather
    // than an empty panel. With playing false the panel never opens its film and shows only the
    // still: exported files and printed pages are drawn at once. With playing true the film opens
    // as usual and can be played.
    void showStill(bool playing);

signals:
    // An opening has ended, successfully or not (see openState() and openError()).
    void openFinished(bool ok);
    // The media framework could not play the open film (in its words); the film is stopped.
    void playFailed(const QString& reason);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEmpty(QPainter& painter) override;

private:
    void openSoon(const QString& fileName);
    void open(const QString& fileName, bool urgent);
    // Forgets the present film: a new opening under the given name begins.
    void startOver(const QString& fileName);
    void stillTaken(bool ok, const QImage& picture, const QString& error);
    void fail(const QString& reason);
    // Makes the player and starts the film from its start; false when there is no player.
    bool startPlayer();
    void releasePlayer();
    // The player has stopped by itself (the film's end) or failed: it goes at the next turn.
    void playerEnded(const QString& error);
    void pictureArrived(const QImage& image);

    VideoPlayerBar* m_bar;
    FilmPlayer* m_player = nullptr;
    QPointer<VideoDisplay> m_display;  // null: the panel itself
    QString m_fileName;
    QString m_openedPath;  // the absolute name the film was opened under
    OpenState m_openState = OpenState::Closed;
    QString m_openError;
    FilmPlayer::State m_state = FilmPlayer::State::Stopped;
    qint64 m_lastPosition = 0;  // where the film is while there is no player
    int m_framesReceived = 0;
    QImage m_firstPicture;   // the film's first picture, shown again after Stop
    QTimer m_startDeadline;  // a player that neither starts nor fails is given up
    bool m_stillOnly = false;
    int m_stillTicket = 0;  // the request for the first picture under way
    int m_generation = 0;   // counts openings, so that late events of an earlier one are ignored
};

}  // namespace velmar
