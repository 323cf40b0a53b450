#pragma once

#include "canvas/command_registry.h"
#include "canvas/film_panel_widget.h"
#include "canvas/object_widgets.h"
#include "model/object_kinds.h"

#include <optional>

namespace velmar {

// The canvas's entry for each kind of object (beside the model's KindTraits): the widget that
// shows it, its pop-up menu and the pop-up item that deletes it. Delete on the keyboard triggers
// that item; a press on the object opens that menu.
template <typename Object>
struct CanvasKind;

template <>
struct CanvasKind<FrameObject> {
    using Widget = FrameWidget;
    static constexpr Menu menu = Menu::Frame;
    static constexpr std::optional<Command> remove = Command::DeleteFrame;
    static constexpr bool widgetTakesPress = false;  // beside what the canvas does with a press
};

template <>
struct CanvasKind<PictureObject> {
    using Widget = PictureWidget;
    static constexpr Menu menu = Menu::Picture;
    static constexpr std::optional<Command> remove = Command::DeletePicture;
    static constexpr bool widgetTakesPress = false;
};

template <>
struct CanvasKind<CaptionObject> {
    using Widget = CaptionWidget;
    static constexpr Menu menu = Menu::Caption;
    static constexpr std::optional<Command> remove = Command::DeleteCaption;
    static constexpr bool widgetTakesPress = false;
};

template <>
struct CanvasKind<VideoObject> {
    using Widget = FilmPanelWidget;
    static constexpr Menu menu = Menu::Film;
    static constexpr std::optional<Command> remove = Command::DeleteFilm;
    static constexpr bool widgetTakesPress = false;
};

template <>
struct CanvasKind<TextFieldObject> {
    // The field's editor; until it is needed, the outline view shows a TextFieldFace instead.
    using Widget = TextFieldWidget;
    static constexpr Menu menu = Menu::TextField;
    static constexpr std::optional<Command> remove = Command::DeleteTextField;
    // The text box also takes a plain left press (caret, focus).
    static constexpr bool widgetTakesPress = true;
};

template <>
struct CanvasKind<ArrowObject> {
    using Widget = ArrowWidget;
    static constexpr Menu menu = Menu::Arrow;
    // Delete removes an arrow only while its end handles show (the arrow's own selection).
    static constexpr std::optional<Command> remove = std::nullopt;
    static constexpr bool widgetTakesPress = false;
};

// The order in which one pass creates the widgets of new objects: frames first, since the objects
// inside them need their frame's widget as parent; the later kinds lie above the earlier ones.
using WidgetOrder = KindList<FrameObject, TextFieldObject, VideoObject, PictureObject, CaptionObject, ArrowObject>;

// The pop-up menu of an object of a kind.
inline QMenu* popupMenuFor(const CommandRegistry& commands, ObjectKind kind)
{
    return withKind(kind, [&](auto tag) { return commands.menu(CanvasKind<typename decltype(tag)::Object>::menu); });
}

// The pop-up item deleting an object of a kind; null for arrows.
inline QAction* deleteCommandFor(const CommandRegistry& commands, ObjectKind kind)
{
    return withKind(kind, [&](auto tag) -> QAction* {
        constexpr auto remove = CanvasKind<typename decltype(tag)::Object>::remove;
        if constexpr (!remove)
            return nullptr;
        else
            return commands.action(*remove);
    });
}

}  // namespace velmar
