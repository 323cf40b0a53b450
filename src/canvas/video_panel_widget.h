#pragma once

#include "model/outline.h"
#include "platform/film_player.h"

#include <QImage>
#include <QPointer>
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
    // Paints what shows before the first picture arrives.
    virtual void paintEmpty(QPainter& painter);

private:
    QImage m_picture;
    QRect m_displayRect;
    QColor m_background;
};

class VideoPanelWidget;

// The player's Play/Pause/Stop bar: 10 pixels high along the top of the video panel, three
// buttons of equal width. The buttons act only while the player is open.
class VideoPlayerBar : public QWidget {
    Q_OBJECT
public:
    enum Button { Play = 0, Pause = 1, Stop = 2 };
    static constexpr int kHeight = 10;

    explicit VideoPlayerBar(VideoPanelWidget* panel);
    // The button under a point of the bar.
    Button buttonAt(QPoint pos) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect cell(int index) const;
    void press(Button button);

    VideoPanelWidget* m_panel;
    int m_pressed = -1;
};

// A video fragment's panel with its player. The player opens the fragment's AVI file through the
// media module (see platform/film_player.h), and its pictures are drawn over the panel's client area (or over another display,
// for full screen). Opening ends paused on the film's first picture.
class VideoPanelWidget : public VideoDisplay {
    Q_OBJECT
public:
    enum class OpenState {
        Closed,   // no file
        Opening,  // the media framework is reading the file
        Open,     // opened: stopped, playing or paused
        Failed,   // the file could not be opened; the name is kept
    };

    explicit VideoPanelWidget(QWidget* parent);
    ~VideoPanelWidget() override;

    // Geometry, tooltip and the player bar from the model; a file name the player does not have
    // yet is opened as soon as the event loop runs again.
    void apply(const VideoObject& video);

    // Opens the file (again, even when it is the player's present file); an empty name closes the
    // player. Missing files fail at once; otherwise the outcome arrives with openFinished().
    void openFile(const QString& fileName);
    // Waits, without taking user input, until the opening under way has ended; an opening that
    // takes longer than timeoutMs fails. True when the player is open.
    bool waitForOpening(int timeoutMs);

    QString fileName() const { return m_fileName; }
    OpenState openState() const { return m_openState; }
    bool isOpen() const { return m_openState == OpenState::Open; }
    // Why the last opening failed (the media framework's message), empty otherwise.
    QString openError() const { return m_openError; }
    FilmPlayer::State playbackState() const;
    qint64 position() const;
    // Video frames decoded since the file was opened.
    int framesReceived() const { return m_framesReceived; }

    // The player's commands; each does nothing unless the player is open.
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
    FilmPlayer* player() const { return m_player; }

    // Drawings of the outline show the film's still (its first picture, see film_still.h) rather
    // than an empty panel. With playing false the panel never opens a player and shows only the
    // still: exported files and printed pages are drawn at once, without a media framework. With
    // playing true the player opens as usual and the still shows until its first picture arrives.
    void showStill(bool playing);

    // Settings the media framework needs before the first player: GStreamer as the backend
    // (unless the user chose another one) and frame conversion on the CPU.
    static void prepareMediaFramework();

signals:
    // An opening has ended, successfully or not (see openState() and openError()).
    void openFinished(bool ok);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEmpty(QPainter& painter) override;

private:
    void openSoon(const QString& fileName);
    // Forgets the present film: a new opening under the given name begins.
    void startOver(const QString& fileName);
    // Creates the player on first use; false (with the reason) when the media module is missing.
    bool ensurePlayer(QString* error);
    void releaseSource();
    void fail(const QString& reason);
    void mediaStatusChanged(FilmPlayer::Status status);
    void pictureArrived(const QImage& image);

    VideoPlayerBar* m_bar;
    FilmPlayer* m_player = nullptr;
    QPointer<VideoDisplay> m_display;  // null: the panel itself
    QString m_fileName;
    OpenState m_openState = OpenState::Closed;
    QString m_openError;
    int m_framesReceived = 0;
    QImage m_firstPicture;  // the film's first picture, shown again after Stop
    bool m_stillOnly = false;
    QImage m_still;  // shown while the player has given no picture
    int m_generation = 0;  // counts openings, so that late events of an earlier one are ignored
};

}  // namespace velmar
