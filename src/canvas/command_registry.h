#pragma once

#include "platform/command_table.h"

namespace velmar {

// The main window's commands by typed id. A menu item and a tool button that always do the same
// thing (and are enabled together) are one command; the others are separate commands whose check
// marks follow one state. The table in app/main_window_command_table.cpp says where each one
// sits, what it runs and what its state follows.
enum class Command : int {
    // File.
    NewOutline,
    Open,
    Save,
    SaveButton,  // disabled on its own once the outline is saved or opened
    SaveAs,
    ExportPicture,
    ExportWebPage,
    Print,
    PrintPreview,
    Close,
    Exit,
    NewFromTemplate,
    SaveAsTemplate,
    ExportSlideDeck,
    // Edit.
    Undo,
    Redo,
    Find,
    FindNext,
    FindPrevious,
    Replace,
    // Service.
    Summary,
    FrameSequence,
    ObjectSequence,
    MoveEarlier,
    MoveLater,
    Present,
    PresentFromFrame,
    // Settings.
    CanvasColour,
    ResetCanvasColour,
    EditMode,
    FrameTitles,
    StretchSetting,
    Zoom,
    Grid,
    GrowGrid,
    ShrinkGrid,
    // Help.
    Help,
    WebHelp,
    About,
    // Tool-bar buttons with no menu item of their own.
    EditModeButton,
    GridButton,
    ZoomButton,
    FrameTitlesButton,
    StretchButton,
    ObjectSequenceButton,
    FrameSequenceButton,
    MoveEarlierButton,
    MoveLaterButton,
    CanvasColourButton,
    // The canvas's pop-up menu.
    CreateFrame,
    CreatePictureOnCanvas,
    CreateCaptionOnCanvas,
    CreateArrow,
    CreateFilmOnCanvas,
    CanvasColourPopup,
    // A frame's pop-up menu.
    CreatePicture,
    CreateCaption,
    CreateTextField,
    CreateFilm,
    FrameMinimalText,
    FrameTitlePopup,
    RenameFrame,
    FrameColour,
    FrameTitleColour,
    ResetFrameColours,
    InnerBevelNone,
    InnerBevelLowered,
    InnerBevelRaised,
    BorderLineNone,
    BorderLineSingle,
    OuterBevelNone,
    OuterBevelLowered,
    OuterBevelRaised,
    DeleteFrame,
    // A picture's pop-up menu.
    EditPicture,
    OpenPicture,
    PictureLater,
    PictureEarlier,
    PictureMinimalText,
    PictureFullScreen,
    PictureBorderNone,
    PictureBorderSingle,
    StretchPopup,
    DeletePicture,
    // A film's pop-up menu.
    OpenFilmFile,
    FilmMinimalText,
    PlayerButtons,
    FilmFullScreen,
    PlayFilm,
    PauseFilm,
    StopFilm,
    DeleteFilm,
    // A caption's pop-up menu.
    CaptionFont,
    CaptionText,
    CaptionColour,
    ResetCaptionColours,
    DeleteCaption,
    // An arrow's pop-up menu.
    ArrowColour,
    ArrowThicker,
    ArrowThinner,
    DeleteArrow,
    // A text field's pop-up menu.
    TextFieldFont,
    AlignLeft,
    AlignCentre,
    AlignRight,
    FitTextField,
    TextFieldMinimalText,
    TextFieldColour,
    ResetTextFieldColours,
    DeleteTextField,
};

// The main window's menus: those of the menu bar, the pop-up menus of the canvas and of each kind
// of object, and their submenus.
enum class Menu : int {
    File,
    Edit,
    Service,
    Settings,
    Grid,
    Language,
    Help,
    Canvas,
    Frame,
    InnerBevel,
    BorderLine,
    OuterBevel,
    Picture,
    PictureOrder,
    PictureBorder,
    Film,
    Caption,
    Arrow,
    TextField,
    TextAlignment,
};

using CommandRegistry = TypedCommands<Command, Menu>;

}  // namespace velmar
