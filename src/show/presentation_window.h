#pragma once

#include "show/presentation_picture.h"
#include "show/show_ink.h"

#include <QTimer>
#include <QWidget>

#include <optional>

class QMenu;
class QScreen;

namespace velmar {

// The outline shown full screen, one step of its reading order at a time.
//
// Right, Space, Page Down, Down, the wheel turned down and a left click go forward; Left,
// Backspace, Page Up, Up, the wheel turned up and a right click go back; Home and End jump to the
// start and the end; a frame's number typed and Enter jump to that frame; T shows or hides the
// subtitle strip, N the step counter; B and W blank the screen black or white (the same key, or
// any step key, brings the outline back); Esc closes the window. A left click on a shown video
// fragment plays or pauses it instead of going forward. The keys come from the table the web page
// shares (export/show_keys.h).
//
// The presenter draws over the outline: P (or Ctrl+P) the pen, H the highlighter, L (or Ctrl+L)
// the laser pointer, a red dot that follows the pointer and draws nothing, E the eraser, which
// takes away the strokes it touches; A, or Esc, goes back to the arrow (Esc with the arrow ends
// the show). Strokes belong to the step they were drawn on and come back with it; they last as
// long as the window, unless saved as pictures of the steps. S dims everything but the step's
// object. The pop-up menu (the Menu key, Shift+F10, or a right click while drawing or erasing)
// chooses tools, colours and widths, and saves the drawings. The mouse, touch screens and
// tablets draw; a tablet's pressure sets the width.
//
// The window draws from its own copy of the outline and changes nothing in the document.
class PresentationWindow : public QWidget {
    Q_OBJECT
public:
    // A window covering `screen` (the primary screen when null), showing the document as the
    // canvas of clientSize lays it out.
    PresentationWindow(const Document& document, QSize clientSize, QScreen* screen, QWidget* parent = nullptr);
    ~PresentationWindow() override;

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

    ShowTool tool() const { return m_tool; }
    void setTool(ShowTool tool);
    const ShowInk& ink() const { return m_ink; }
    QColor penColour() const { return m_penColour; }
    void setPenColour(const QColor& colour) { m_penColour = colour; }
    // The pen's width in the screen's pixels (the highlighter draws four times as wide).
    int penWidth() const { return m_penWidth; }
    void setPenWidth(int pixels) { m_penWidth = pixels; }
    bool spotlight() const { return m_spotlight; }
    void setSpotlight(bool on);
    // Where the step's object lies on the screen, the part the spotlight leaves bright (empty at
    // the start, when nothing is shown).
    QRect spotlightRect() const;

    // Writes every step of the outline as a PNG picture with the strokes drawn on it, at the
    // outline's own size, into a folder: step-00.png, step-01.png… Returns an empty string on
    // success, otherwise a Russian message.
    QString saveDrawings(const QString& folder) const;
    // The show's pop-up menu, built on demand.
    QMenu* menu();

signals:
    // The step shown or the blank screen changed.
    void shownChanged();
    // Strokes were drawn or taken away, or the spotlight switched.
    void inkChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void tabletEvent(QTabletEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

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

    // Drawing with the pointer (screen coordinates); weight is the pressure's share of the width.
    void pointerDown(QPointF at, float weight);
    void pointerMove(QPointF at, float weight);
    void pointerUp();
    void moveLaser(std::optional<QPointF> at);
    QRect laserRect(QPointF at) const;
    // Brings the pictures of the strokes up to date and repaints what changed.
    void showInk();
    void openMenu(QPoint global);
    void chooseFolderAndSave();
    void clearStepDrawings();

    PresentationPicture m_picture;
    QSize m_clientSize;
    // Films open and play in the background: their new pictures are fetched on this beat.
    QTimer m_videoBeat;
    QString m_reported;
    Blank m_blank = Blank::None;
    bool m_counter = false;
    QString m_typedNumber;  // digits typed towards a frame's number

    ShowTool m_tool = ShowTool::Arrow;
    ShowInk m_ink;
    InkLayer m_inkLayer;
    QColor m_penColour{220, 20, 20};
    QColor m_highlighterColour{255, 230, 0};
    int m_penWidth = 4;
    bool m_stroking = false;  // a pen or highlighter stroke under way
    bool m_erasing = false;   // the eraser held down
    std::optional<QPointF> m_laser;
    bool m_spotlight = false;
    QMenu* m_menu = nullptr;
};

}  // namespace velmar
