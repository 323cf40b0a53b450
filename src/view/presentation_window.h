#pragma once

#include "view/presentation_picture.h"

#include <QTimer>
#include <QWidget>

class QScreen;

namespace velmar {

// The outline shown full screen, one step of its reading order at a time.
//
// Right, Space, Page Down and a left click go forward; Left, Backspace, Page Up and a right click
// go back; Home and End jump to the start and the end; T shows or hides the subtitle strip; Esc
// closes the window. A left click on a shown video fragment plays or pauses it instead of going
// forward. The window draws from its own copy of the outline and changes nothing in the document.
class PresentationWindow : public QWidget {
    Q_OBJECT
public:
    // A window covering `screen` (the primary screen when null), showing the document as the
    // canvas of clientSize lays it out.
    PresentationWindow(const Document& document, QSize clientSize, QScreen* screen, QWidget* parent = nullptr);

    PresentationPicture& picture() { return m_picture; }

    // Opens a presentation of the main window's outline on the main window's screen; the window
    // deletes itself when closed.
    static PresentationWindow* present(const Document& document, QSize clientSize, QWidget* mainWindow);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void repaintRegion(const QRegion& region);
    // With VELMAR_REPORT_GEOMETRY set, prints the step shown and where the outline lies on the
    // screen whenever that changes.
    void reportIfAsked();

    PresentationPicture m_picture;
    // Films open and play in the background: their new pictures are fetched on this beat.
    QTimer m_videoBeat;
    QString m_reported;
};

}  // namespace velmar
