#pragma once

#include "canvas/canvas_host.h"

#include <QObject>

namespace velmar {

// Showing, hiding and renaming the title of the current frame (the frame whose panel or title
// was pressed last, or the frame just created). Three controls mirror the title's visibility:
// the tool button, the settings item and the frame pop-up item; their check marks show it.
class FrameTitles : public QObject {
    Q_OBJECT
public:
    FrameTitles(CanvasHost& host, QObject* parent = nullptr);

    // The tool button or the settings item was switched: the title is shown or hidden. No
    // history step, but the outline is modified.
    void showTitleFromSwitch(bool shown);
    // The frame's pop-up item was switched: the title follows, as a history step.
    void showTitleFromPopup(bool shown);
    // N36 "Переименовать фрейм": the new name from an input box; a history step when confirmed.
    void rename();

private:
    FrameObject* currentFrame();

    CanvasHost& m_host;
};

}  // namespace velmar
