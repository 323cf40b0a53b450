#pragma once

#include "canvas/canvas_host.h"

#include <QObject>

namespace velmar {

// Showing, hiding and renaming the title of the current frame (the frame whose panel or title
// was pressed last, or the frame just created). Three controls mirror the title's visibility:
// the tool button ToolButton9, the settings item N60 and the frame pop-up item Y1.
class FrameTitles : public QObject {
    Q_OBJECT
public:
    FrameTitles(CanvasHost& host, QObject* parent = nullptr);

    // ToolButton9: the title follows the button; N60 and Y1 follow too. No history step.
    void toggleFromButton();
    // N60: the button takes the item's check mark, then acts as above.
    void toggleFromSettings();
    // Y1: the title follows the item's check mark; a history step.
    void toggleFromPopup();
    // N36 "Переименовать фрейм": the new name from an input box; a history step when confirmed.
    void rename();

private:
    FrameObject* currentFrame();

    CanvasHost& m_host;
};

}  // namespace velmar
