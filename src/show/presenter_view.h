#pragma once

#include "show/presentation_picture.h"
#include "show/show_ink.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QPushButton;
class QScreen;

namespace velmar {

class PresentationWindow;

// The presenter's own screen while the show runs on another: the step the audience sees (with
// what is drawn over it), the next step, the step's minimal text, the time of day, the time since
// the show began and a countdown the presenter sets, pauses and resets. Keys and the wheel work
// here as on the show; closing either window ends both. It draws from its own copies of the
// outline, as the show does.
class PresenterView : public QWidget {
    Q_OBJECT
public:
    // The screen the audience should see the show on when the main window lies on `home`: another
    // screen of the desktop, or null when there is only one (then the show takes `home`).
    static QScreen* audienceScreen(QScreen* home);

    // A window of `show` covering `screen`, following the show's steps.
    PresenterView(const Document& document, QSize clientSize, PresentationWindow* show, QScreen* screen);

    // Where the parts lie in the window.
    QRect currentRect() const;
    QRect nextRect() const;
    QRect textRect() const;
    QRect clockRect() const;
    // The texts shown: "5 / 15", the minimal text of the step, "14:05" and "0:03:12".
    QString stepText() const;
    QString minimalText() const;
    QString clockText() const;
    QString elapsedText() const;

    // The countdown: none at first; set() starts it from a number of seconds, pause() stops or
    // restarts it, reset() puts it back to the time set, stopped. Past zero it counts on below.
    void setCountdown(qint64 seconds);
    void toggleCountdownPause();
    void resetCountdown();
    bool countdownSet() const { return m_countdownTotal > 0; }
    bool countdownRunning() const { return m_countdownRunning; }
    // Milliseconds left (below zero once the time is up).
    qint64 countdownLeft() const;
    // "9:59", "−0:12" past the time; empty when none is set.
    QString countdownText() const;
    QRect countdownRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The show moved to another step (or blanked): both small pictures follow.
    void follow();
    // Something was drawn or taken away on the show.
    void followInk();
    void askCountdown();
    void placeButtons();
    void reportIfAsked();

    PresentationWindow* m_show;
    PresentationPicture m_current;
    PresentationPicture m_next;
    QElapsedTimer m_started;
    InkLayer m_ink;
    qint64 m_countdownTotal = 0;  // milliseconds set, 0 for none
    qint64 m_countdownSpent = 0;  // milliseconds counted down before the current run
    QElapsedTimer m_countdownRun;
    bool m_countdownRunning = false;
    QPushButton* m_setButton = nullptr;
    QPushButton* m_pauseButton = nullptr;
    QPushButton* m_resetButton = nullptr;
    QTimer m_tick;
    QString m_reported;
};

}  // namespace velmar
