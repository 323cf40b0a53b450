#pragma once

#include "canvas/film_panel_widget.h"

#include <QDialog>
#include <QPointer>

class QMenu;

namespace velmar {

class VideoDisplay;

// The full-screen video window "Видео": a display filling the window, on which a press with any
// button opens the window's own pop-up menu (play, pause, stop). While it shows, the video
// panel's player draws here; closing the window returns the picture to the panel.
class FilmWindow : public QDialog {
    Q_OBJECT
public:
    explicit FilmWindow(QWidget* parent);
    ~FilmWindow() override;

    // Shows the panel's film maximised, modal to the application.
    void showFor(FilmPanelWidget* panel);
    FilmPanelWidget* source() const { return m_source; }
    VideoDisplay* display() const { return m_display; }
    QMenu* popupMenu() const { return m_menu; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void returnPicture();

    VideoDisplay* m_display;
    QMenu* m_menu;
    QPointer<FilmPanelWidget> m_source;
};

}  // namespace velmar
