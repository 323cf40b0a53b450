#pragma once

#include "canvas/canvas_host.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <memory>

namespace velmar {

class OutlineView;
class FilmPanelWidget;
class FilmWindow;

// The commands of a video fragment's pop-up menu, acting on the current video fragment: open an
// AVI file, play, pause or resume, stop, show or hide the player buttons, full screen. Also
// reports the video files that could not be opened when an outline was opened or rebuilt, all in
// one message.
class FilmCommands : public QObject {
    Q_OBJECT
public:
    // How long an opening may take before it counts as failed.
    static constexpr int kOpenTimeoutMs = 15000;

    FilmCommands(CanvasHost& host, OutlineView* view, QObject* parent = nullptr);
    ~FilmCommands() override;

    void openFile();             // "Открыть файл"
    void play();                 // "Воспроизвести"
    void togglePause();          // "Пауза"
    void stop();                 // "Стоп"
    void togglePlayerButtons();  // "Кнопки плеера"
    void showFullScreen();       // "Во весь экран"

    // The panel of the current video fragment, or nullptr when the current object is none.
    FilmPanelWidget* currentPanel() const;
    // The full-screen film window (Form5), made on first use.
    FilmWindow* videoWindow();

    // An outline is about to be opened: its files are reported afresh.
    void outlineOpening();
    // The outline was replaced; every video panel is new and opening its file.
    void outlineReplaced();

    // Says at once which films could not be opened so far (before a show covers the window).
    void reportNow();
    // While a show runs no message about films is shown: they wait until it has ended.
    void holdReports(bool hold);
    bool holdingReports() const { return m_holding; }
    // No film of the outline is opening and no failure waits for its report: whatever the films
    // had to say has been said (or is held for the show's end).
    bool settled() const;

private:
    int currentSlot() const;
    void watch(FilmPanelWidget* panel);
    void panelSettled(FilmPanelWidget* panel);
    bool anyOpening() const;
    void reportWhenSettled();
    void reportFailures();

    CanvasHost& m_host;
    OutlineView* m_view;
    std::unique_ptr<FilmWindow> m_window;
    FilmPanelWidget* m_commandPanel = nullptr;  // opened by the open command, which reports itself

    struct Failure {
        QString fileName;
        QString reason;
    };
    QList<Failure> m_failures;  // not yet reported
    QSet<QString> m_reported;   // files reported since the outline was opened
    QTimer m_reportSoon;        // the failures of one loading go out together
    QTimer m_reportDeadline;    // ... but no later than this after the first one
    bool m_holding = false;     // a show is running
};

}  // namespace velmar
