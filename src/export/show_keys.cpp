#include "export/show_keys.h"

#include <map>

namespace velmar {

const std::vector<ShowKey>& showKeys()
{
    static const std::vector<ShowKey> keys = [] {
        using A = ShowAction;
        std::vector<ShowKey> k = {
            {Qt::Key_Right, false, A::Forward},
            {Qt::Key_Space, false, A::Forward},
            {Qt::Key_PageDown, false, A::Forward},
            {Qt::Key_Down, false, A::Forward},
            {Qt::Key_Left, false, A::Back},
            {Qt::Key_Backspace, false, A::Back},
            {Qt::Key_PageUp, false, A::Back},
            {Qt::Key_Up, false, A::Back},
            {Qt::Key_Home, false, A::First},
            {Qt::Key_End, false, A::Last},
            {Qt::Key_Return, false, A::Enter},
            {Qt::Key_Enter, false, A::Enter},
            {Qt::Key_T, false, A::Subtitles},
            {Qt::Key_N, false, A::Counter},
            {Qt::Key_B, false, A::BlankBlack},
            {Qt::Key_W, false, A::BlankWhite},
            {Qt::Key_P, false, A::Pen},
            {Qt::Key_P, true, A::Pen, false},
            {Qt::Key_H, false, A::Highlighter},
            {Qt::Key_L, false, A::Laser},
            {Qt::Key_L, true, A::Laser, false},
            {Qt::Key_E, false, A::Eraser},
            {Qt::Key_A, false, A::Arrow},
            {Qt::Key_S, false, A::Spotlight, false},
            {Qt::Key_Escape, false, A::Escape},
        };
        for (int d = 0; d <= 9; ++d)
            k.push_back({Qt::Key(Qt::Key_0 + d), false, A::Digit});
        return k;
    }();
    return keys;
}

std::optional<ShowAction> showActionFor(int key, Qt::KeyboardModifiers modifiers)
{
    const bool control = modifiers.testFlag(Qt::ControlModifier);
    std::optional<ShowAction> alone;
    for (const ShowKey& k : showKeys()) {
        if (k.key != key)
            continue;
        if (k.control == control)
            return k.action;
        if (!k.control)
            alone = k.action;
    }
    return alone;
}

const char* showActionName(ShowAction action)
{
    switch (action) {
    case ShowAction::Forward: return "forward";
    case ShowAction::Back: return "back";
    case ShowAction::First: return "first";
    case ShowAction::Last: return "last";
    case ShowAction::Digit: return "digit";
    case ShowAction::Enter: return "enter";
    case ShowAction::Subtitles: return "subtitles";
    case ShowAction::Counter: return "counter";
    case ShowAction::BlankBlack: return "black";
    case ShowAction::BlankWhite: return "white";
    case ShowAction::Pen: return "pen";
    case ShowAction::Highlighter: return "highlighter";
    case ShowAction::Laser: return "laser";
    case ShowAction::Eraser: return "eraser";
    case ShowAction::Arrow: return "arrow";
    case ShowAction::Spotlight: return "spotlight";
    case ShowAction::Escape: return "escape";
    }
    return "";
}

namespace {

// The name a browser gives a key: KeyboardEvent.code for letters, KeyboardEvent.key for the rest.
QByteArray browserKeyName(Qt::Key key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return "Key" + QByteArray(1, char('A' + (key - Qt::Key_A)));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return QByteArray(1, char('0' + (key - Qt::Key_0)));
    switch (key) {
    case Qt::Key_Right: return "ArrowRight";
    case Qt::Key_Left: return "ArrowLeft";
    case Qt::Key_Up: return "ArrowUp";
    case Qt::Key_Down: return "ArrowDown";
    case Qt::Key_Space: return " ";
    case Qt::Key_PageDown: return "PageDown";
    case Qt::Key_PageUp: return "PageUp";
    case Qt::Key_Backspace: return "Backspace";
    case Qt::Key_Home: return "Home";
    case Qt::Key_End: return "End";
    case Qt::Key_Return:
    case Qt::Key_Enter: return "Enter";
    case Qt::Key_Escape: return "Escape";
    default: return {};
    }
}

}  // namespace

QByteArray webShowKeyMap()
{
    // Sorted by name, so that the page (and its script's hash) comes out the same every time.
    std::map<QByteArray, QByteArray> names;
    for (const ShowKey& k : showKeys())
        if (k.onPage && !k.control)
            if (const QByteArray name = browserKeyName(k.key); !name.isEmpty())
                names.emplace(name, showActionName(k.action));
    QByteArray map = "{";
    for (const auto& [name, action] : names) {
        if (map.size() > 1)
            map += ", ";
        map += "'" + name + "': '" + action + "'";
    }
    return map + "}";
}

}  // namespace velmar
