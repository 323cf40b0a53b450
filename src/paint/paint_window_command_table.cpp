// The graphic editor's command table: its menus, their items and the selection frame's pop-up
// menu, what each runs and what its enabled state follows.
#include "paint/paint_window.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMimeData>

namespace velmar::paint {

namespace {

bool clipboardHoldsPicture()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasImage();
}

}  // namespace

#define COMMAND(ID) .id = int(PaintCommand::ID), .idName = "Paint" #ID
#define MENU(ID) .id = int(PaintMenu::ID), .idName = "Paint" #ID "Menu"
#define IN(MENU_ID) .place = int(PaintMenu::MENU_ID)

std::span<const CommandRow<PaintWindow>> PaintWindow::commandTable()
{
    using W = PaintWindow;
    using Row = CommandRow<PaintWindow>;
    // The piece's commands follow the floating piece, the pastes the clipboard.
    static constexpr auto piece = [](const W& w) { return enabledIf(w.m_editor.canCopy()); };
    static constexpr auto clipboard = [](const W&) { return enabledIf(clipboardHoldsPicture()); };
    static constexpr Row rows[] = {
        {MENU(File), .name = "paintFileMenu", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Файл"), .place = OnMenuBar,
         .isMenu = true},
        {COMMAND(New), .name = "paintNew", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Создать"), IN(File),
         .shortcut = Qt::CTRL | Qt::Key_N, .run = [](W& w, bool) { w.newPicture(); }},
        {COMMAND(Open), .name = "paintOpen", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Открыть"), IN(File),
         .shortcut = Qt::CTRL | Qt::Key_O, .run = [](W& w, bool) { w.openPictureFile(); }},
        {COMMAND(Save), .name = "paintSave", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Сохранить"), IN(File),
         .shortcut = Qt::CTRL | Qt::Key_S, .run = [](W& w, bool) { w.savePicture(); }},
        {COMMAND(SaveAs), .name = "paintSaveAs", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Сохранить как..."),
         IN(File), .run = [](W& w, bool) { w.savePictureAs(); }},
        {COMMAND(Exit), .name = "paintExit", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Выход"), IN(File),
         .flags = StartsHidden | SeparatorBefore, .run = [](W& w, bool) { w.close(); }},

        {MENU(Edit), .name = "paintEditMenu", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Правка"), .place = OnMenuBar,
         .isMenu = true},
        // Undo and redo follow the history.
        {COMMAND(Undo), .name = "paintUndo", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Отменить"), IN(Edit),
         .shortcut = Qt::CTRL | Qt::Key_Z, .run = [](W& w, bool) { w.m_editor.undo(); },
         .state = [](const W& w) { return enabledIf(w.m_editor.undoAvailable()); }},
        {COMMAND(Redo), .name = "paintRedo", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Повторить"), IN(Edit),
         .shortcut = Qt::CTRL | Qt::Key_Y, .run = [](W& w, bool) { w.m_editor.redo(); },
         .state = [](const W& w) { return enabledIf(w.m_editor.redoAvailable()); }},
        {COMMAND(Cut), .name = "paintCut", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Вырезать"), IN(Edit),
         .flags = SeparatorBefore, .shortcut = Qt::CTRL | Qt::Key_X, .run = [](W& w, bool) { w.cutCommand(); },
         .state = piece},
        {COMMAND(Copy), .name = "paintCopy", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Копировать"), IN(Edit),
         .shortcut = Qt::CTRL | Qt::Key_C, .run = [](W& w, bool) { w.copyCommand(); }, .state = piece},
        {COMMAND(Paste), .name = "paintPaste", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Вставить"), IN(Edit),
         .shortcut = Qt::CTRL | Qt::Key_V, .run = [](W& w, bool) { w.pasteCommand(); }, .state = clipboard},
        {COMMAND(SelectAll), .name = "paintSelectAll", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Выделить все"),
         IN(Edit), .shortcut = Qt::CTRL | Qt::Key_A, .run = [](W& w, bool) { w.m_editor.selectAll(); }},
        {COMMAND(CopyToFile), .name = "paintCopyToFile",
         .caption = QT_TRANSLATE_NOOP("PaintWindow", "Копировать в файл..."), IN(Edit), .flags = SeparatorBefore,
         .run = [](W& w, bool) { w.copyToFileCommand(); }, .state = piece},
        {COMMAND(PasteFromFile), .name = "paintPasteFromFile",
         .caption = QT_TRANSLATE_NOOP("PaintWindow", "Вставить из файла..."), IN(Edit),
         .run = [](W& w, bool) { w.pasteFromFileCommand(); }},

        // The picture, or the floating piece when there is one: crop, turns, size, and the zoom
        // that shows it whole.
        {MENU(Picture), .name = "paintPictureMenu", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Рисунок"),
         .place = OnMenuBar, .isMenu = true},
        {COMMAND(Crop), .name = "paintCrop", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Обрезать по выделению"),
         IN(Picture), .shortcut = Qt::CTRL | Qt::SHIFT | Qt::Key_X,
         .run = [](W& w, bool) { w.pictureCommand([&w] { w.m_editor.cropToSelection(); }); },
         .state = [](const W& w) { return enabledIf(w.m_editor.canCrop()); }},
        {COMMAND(TurnRight), .name = "paintTurnRight",
         .caption = QT_TRANSLATE_NOOP("PaintWindow", "Повернуть на 90° по часовой стрелке"), IN(Picture),
         .flags = SeparatorBefore, .shortcut = Qt::CTRL | Qt::Key_R,
         .run = [](W& w, bool) { w.pictureCommand([&w] { w.m_editor.turn(PictureTurn::Right90); }); }},
        {COMMAND(TurnLeft), .name = "paintTurnLeft",
         .caption = QT_TRANSLATE_NOOP("PaintWindow", "Повернуть на 90° против часовой стрелки"), IN(Picture),
         .shortcut = Qt::CTRL | Qt::SHIFT | Qt::Key_R,
         .run = [](W& w, bool) { w.pictureCommand([&w] { w.m_editor.turn(PictureTurn::Left90); }); }},
        {COMMAND(TurnHalf), .name = "paintTurnHalf", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Повернуть на 180°"),
         IN(Picture), .run = [](W& w, bool) { w.pictureCommand([&w] { w.m_editor.turn(PictureTurn::Half); }); }},
        {COMMAND(FlipHorizontal), .name = "paintFlipHorizontal",
         .caption = QT_TRANSLATE_NOOP("PaintWindow", "Отразить слева направо"), IN(Picture), .flags = SeparatorBefore,
         .run = [](W& w, bool) { w.pictureCommand([&w] { w.m_editor.turn(PictureTurn::FlipHorizontal); }); }},
        {COMMAND(FlipVertical), .name = "paintFlipVertical",
         .caption = QT_TRANSLATE_NOOP("PaintWindow", "Отразить сверху вниз"), IN(Picture),
         .run = [](W& w, bool) { w.pictureCommand([&w] { w.m_editor.turn(PictureTurn::FlipVertical); }); }},
        {COMMAND(Resize), .name = "paintResize", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Изменить размер..."),
         IN(Picture), .flags = SeparatorBefore, .shortcut = Qt::CTRL | Qt::Key_W,
         .run = [](W& w, bool) { w.resizeCommand(); }},
        {COMMAND(FitToWindow), .name = "paintFitToWindow",
         .caption = QT_TRANSLATE_NOOP("PaintWindow", "По размеру окна"), IN(Picture), .flags = SeparatorBefore,
         .shortcut = Qt::CTRL | Qt::Key_0, .run = [](W& w, bool) { w.fitToWindow(); }},

        // Not offered: the menu stays hidden, its items do nothing.
        {MENU(Help), .name = "paintHelpMenu", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Справка"),
         .place = OnMenuBar, .isMenu = true, .flags = StartsHidden},
        {COMMAND(Help), .name = "paintHelp", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Вызов справки"), IN(Help)},
        {COMMAND(About), .name = "paintAbout", .caption = QT_TRANSLATE_NOOP("PaintWindow", "О программе..."), IN(Help)},

        // The selection frame's pop-up menu: the same functions as the edit menu's.
        {MENU(Frame), .name = "PopupMenu1", .place = AsPopup, .isMenu = true},
        {COMMAND(PopupCut), .name = "popupCut", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Вырезать"), IN(Frame),
         .run = [](W& w, bool) { w.cutCommand(); }},
        {COMMAND(PopupCopy), .name = "popupCopy", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Копировать"), IN(Frame),
         .run = [](W& w, bool) { w.copyCommand(); }},
        {COMMAND(PopupPaste), .name = "popupPaste", .caption = QT_TRANSLATE_NOOP("PaintWindow", "Вставить"), IN(Frame),
         .run = [](W& w, bool) { w.pasteCommand(); }, .state = clipboard},
        {COMMAND(PopupPasteFromFile), .name = "popupPasteFromFile",
         .caption = QT_TRANSLATE_NOOP("PaintWindow", "Вставить из файла"), IN(Frame), .flags = SeparatorBefore,
         .run = [](W& w, bool) { w.pasteFromFileCommand(); }},
        {COMMAND(PopupCopyToFile), .name = "popupCopyToFile",
         .caption = QT_TRANSLATE_NOOP("PaintWindow", "Копировать в файл"), IN(Frame),
         .run = [](W& w, bool) { w.copyToFileCommand(); }},
    };
    return rows;
}

#undef COMMAND
#undef MENU
#undef IN

void PaintWindow::buildCommands()
{
    buildCommandTable(commandTable(), "PaintWindow", m_commands, *this, this, menuBar(), nullptr, nullptr);
    // The items follow the piece, the clipboard and the history at once, so that their shortcuts
    // do too.
    connect(m_commands.menu(PaintMenu::Edit), &QMenu::aboutToShow, this, &PaintWindow::showCommandStates);
    connect(&m_doc, &PaintDocument::overlayChanged, this, &PaintWindow::showCommandStates);
    connect(&m_doc, &PaintDocument::pieceChanged, this, &PaintWindow::showCommandStates);
    connect(&m_doc, &PaintDocument::undoAvailabilityChanged, this, &PaintWindow::showCommandStates);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &PaintWindow::showCommandStates);
    showCommandStates();
}

void PaintWindow::showCommandStates() { showCommandTableStates(commandTable(), m_commands, *this); }

}  // namespace velmar::paint
