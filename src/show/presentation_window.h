#pragma once

#include "show/presentation_picture.h"

#include <QTimer>
#include <QWidget>

class QScreen;

namespace velmar {

// The outline shown full screen, one step of its reading order at a time.
//
// Right, Space, Page Down, Down, the wheel turned down and a left click go forward; Left,
// Backspace, Page Up, Up, the wheel turned up and a right click go back; Home and End jump to the
// start and the end; a frame's number typed and Enter jump to that frame; T shows or hides the
// subtitle strip, N the step counter; B and W blank the screen black or white (the same key, or
// any step key, brings the outline back); Esc closes the window. A left click on a shown video
// fragment plays or pauses it instead of going forward. The window draws from its own copy of the
// outline and changes nothing in the document.
class PresentationWindow : public QWidget {
    Q_OBJECT
public:
    // A window covering `screen` (the primary screen when null), showing the document as the
    // canvas of clientSize lays it out.
    PresentationWindow(const Document& document, QSize clientSize, QScreen* screen, QWidget* parent = nullptr);

    PresentationPicture& picture() { return m_picture; }

    // Opens a presentation of the main window's outline on the main window's screen; the window
    // deletes itself when closed. With a second screen the show goes there and the main window's
    // screen gets the presenter's view (show/presenter_view.h).
    // The show starts at the step where startAt appears (0: the start).
    static PresentationWindow* present(const Document& document, QSize clientSize, QWidget* mainWindow,
                                       ObjectId startAt = 0);

    enum class Blank { None, Black, White };
    Blank blank() const { return m_blank; }
    bool counterShown() const { return m_counter; }
    // The counter's text, "5 / 15": the step shown and the last step.
    QString counterText() const;

signals:
    // The step shown or the blank screen changed.
    void shownChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void repaintRegion(const QRegion& region);
    // Moves to a step, bringing the outline back from a blank screen; the counter follows.
    void go(int step);
    void setBlank(Blank blank);
    // Where the counter stands on the screen (bottom right, above the subtitle strip).
    QRect counterRect() const;
    // The step of the n-th frame shown (from 1), or -1.
    int stepOfFrame(int n) const;
    // With VELMAR_REPORT_GEOMETRY set, prints the step shown and where the outline lies on the
    // screen whenever that changes.
    void reportIfAsked();

    PresentationPicture m_picture;
    // Films open and play in the background: their new pictures are fetched on this beat.
    QTimer m_videoBeat;
    QString m_reported;
    Blank m_blank = Blank::None;
    bool m_counter = false;
    QString m_typedNumber;  // digits typed towards a frame's number
};

}  // namespace velmar
