#pragma once

#include "model/document.h"
#include "support/window_fixture.h"

#include <QHash>
#include <QMap>
#include <QString>
#include <QTimer>

#include <optional>
#include <random>

// One user command of a random walk over the main window, as plain data, so that a walk can be
// printed, replayed from its text and shortened. Objects are named by kind and index (taken
// modulo the kind's count when the command runs) and points inside them in thousandths of their
// size, so a command still means something when it is replayed in another order.
struct WalkCommand {
    QString op;       // click, drag, rclick, handle, type, action, resize
    QString name;     // menu item, handle or command; "-" for none
    char kind = '-';  // F P C T V A, or '-' for a point of the canvas
    int index = 0;
    int x = 0, y = 0;    // canvas point, or thousandths of the object's width and height
    int dx = 0, dy = 0;  // drag offset in pixels; the new window size for resize
    QString mods;        // "-" or letters: a = Alt held, d = double click
    int answer = 0;      // questions: 0 No, 1 Yes, 2 Cancel; other dialogs: 0 cancel, 1 accept
    qint64 value = 0;    // a colour 0xRRGGBB, a file filter index, or font size + 100 × style bits
    QString text;        // text to enter, file name, font family, minimal text or keys to type

    QString toString() const;
    static std::optional<WalkCommand> parse(const QString& line);
};

// Drives the real main window of a WindowFixture with WalkCommands, answering every dialog from
// the command, and checks the outline after each one.
class CommandWalker {
public:
    CommandWalker(WindowFixture& fixture, const QString& folder);
    ~CommandWalker();

    // A command that makes sense for the window as it is now.
    WalkCommand generate(std::mt19937& rng);
    // Runs one command and lets the window settle (pop-ups closed, deferred deletions done).
    void run(const WalkCommand& command);
    // The violations after the command: model and window invariants every time; with thorough,
    // also save → load of the live outline. Files the program claims are saved, and history
    // steps revisited by undo and redo, are compared with the outline they were taken of.
    QStringList check(const WalkCommand& command, bool thorough);
    // How often each check ran and what the walk reached, to show that it did its work.
    const QMap<QString, int>& counts() const { return m_counts; }

private:
    velmar::OpenOutline& doc() { return m_fixture.doc(); }
    std::optional<QPoint> target(const WalkCommand& c);
    QRect canvasRect(char kind, int slot);
    QWidget* widgetAt(QPoint canvasPoint, QPoint* local);
    void press(QPoint canvasPoint, Qt::MouseButton button, const QString& mods);
    void chooseFromPopup(const QString& name);
    void typeInto(const WalkCommand& c);
    void settle();
    void closeModal();
    void prepareDialogs(const WalkCommand& c);
    // Adjusts the command (or the window) where a known fault would stop the walk.
    void stepAroundKnownFaults(WalkCommand& c);
    bool reachable(QAction* action) const;
    QString walkPath(const QString& name) const;

    struct Snapshot {
        velmar::Outline outline;
        QString name;
        velmar::ColourValue canvasColour = 0;
        QSize windowSize;
    };
    Snapshot snapshot();
    // Identity, change time and size of every outline file in the walk's folder.
    QMap<QString, QString> fileStamps() const;
    static QString stamp(const QString& path);
    bool historyRestarted() const;
    void checkFileCommand(const WalkCommand& c, QStringList& out);

    WindowFixture& m_fixture;
    QString m_folder;
    QTimer m_modalCloser;
    std::optional<QString> m_minimalText;
    QMap<QString, int> m_counts;
    int m_stepBefore = -1;
    int m_generated = 0;
    int m_roundTrips = 0;
    QHash<int, Snapshot> m_steps;          // the outline as it was when each step was recorded
    QMap<QString, Snapshot> m_savedFiles;  // the outline each file was saved with
    std::optional<Snapshot> m_beforeFileCommand;
    QMap<QString, QString> m_stampsBefore;
    bool m_historyStarted = false;  // the command being run started a new history
    // The outline as the file opened last holds it (one with a stored window size), and the step
    // the opening recorded; whether the program said, before a file command, that saving would
    // write it rather than the outline shown, and whether the outline was modified then.
    struct Opened {
        velmar::Outline outline;
        int step = 0;
    };
    std::optional<Opened> m_opened;
    bool m_savesAsOpened = false;
    bool m_objectOrderOverflowed = false;  // more objects than an order has places, once in the walk
    bool m_modifiedBefore = false;
};
