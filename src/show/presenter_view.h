#pragma once

#include "show/presentation_picture.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QScreen;

namespace velmar {

class PresentationWindow;

// The presenter's own screen while the show runs on another: the step the audience sees, the
// next step, the step's minimal text, the time of day and the time since the show began. Keys
// and the wheel work here as on the show; closing either window ends both. It draws from its own
// copies of the outline, as the show does.
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
    void reportIfAsked();

    PresentationWindow* m_show;
    PresentationPicture m_current;
    PresentationPicture m_next;
    QElapsedTimer m_started;
    QTimer m_tick;
    QString m_reported;
};

}  // namespace velmar
