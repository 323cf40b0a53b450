#pragma once

#include <QByteArray>
#include <QString>
#include <Qt>

#include <optional>
#include <vector>

namespace velmar {

// What a key does during a show. The show window and the web page's show take their keys from
// one table, so that the same key does the same thing in both.
enum class ShowAction {
    Forward,      // the next step
    Back,         // the step before
    First,        // the empty canvas
    Last,         // the whole outline
    Digit,        // a digit of a frame's number
    Enter,        // jumps to the frame whose number was typed
    Subtitles,    // the step's minimal text below the outline
    Counter,      // the step counter "5 / 15"
    BlankBlack,   // the screen black, or the outline back
    BlankWhite,   // the screen white, or the outline back
    Pen,          // drawing over the outline
    Highlighter,  // a broad see-through stroke
    Laser,        // a red dot following the pointer, drawing nothing
    Eraser,       // takes away the strokes it touches
    Arrow,        // the pointer steps again, nothing is drawn
    Spotlight,    // everything but the step's object dimmed
    Escape,       // back to the arrow, or the end of the show
};

struct ShowKey {
    Qt::Key key;
    bool control = false;  // held with Ctrl
    ShowAction action;
    // The web page takes the key as well; Ctrl chords stay the browser's (print, address bar).
    bool onPage = true;
};

// Every key of the show, digits included.
const std::vector<ShowKey>& showKeys();

// The action of a key pressed with or without Ctrl. A chord the table does not name with Ctrl
// acts as the key alone, as the show has always taken Shift or Ctrl with its keys.
std::optional<ShowAction> showActionFor(int key, Qt::KeyboardModifiers modifiers);

// The action's name in the web page's script ("forward", "pen"…).
const char* showActionName(ShowAction action);

// The web page's key map: a JavaScript object literal from the names a browser gives a key (the
// key's position, "KeyB", for letters, so that any keyboard layout works; its value, "ArrowUp",
// "Enter", "5", for the rest) to the action's name.
QByteArray webShowKeyMap();

}  // namespace velmar
