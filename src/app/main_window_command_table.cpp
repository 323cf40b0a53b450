// The main window's command table: every menu, menu item, tool-bar button and pop-up item, where
// it sits, what it runs and what its enabled and checked states follow. Menus, tool bar and
// handlers are built from it; the states are derived from the document through it.
#include "app/language_menu.h"
#include "app/main_window.h"
#include "canvas/appearance_commands.h"
#include "canvas/canvas_controller.h"
#include "canvas/canvas_widget.h"
#include "export/outline_print.h"
#include "film/film_commands.h"
#include "model/object_group.h"
#include "view/find_bar.h"
#include "view/frame_titles.h"
#include "view/minimal_text_windows.h"
#include "view/sequence_commands.h"
#include "view/sequence_overlay.h"

#include <QAction>
#include <QMenuBar>
#include <QToolBar>

namespace velmar {

namespace {

template <typename Object>
const Object* objectAt(const Outline& outline, ObjectId id)
{
    const ObjectRef ref = outline.find(id);
    if (!ref.isValid())
        return nullptr;
    if constexpr (std::is_same_v<Object, FrameObject>)
        return ref.kind == ObjectKind::Frame ? &outline.frame(ref.slot) : nullptr;
    else if constexpr (std::is_same_v<Object, PictureObject>)
        return ref.kind == ObjectKind::Picture ? &outline.picture(ref.slot) : nullptr;
    else
        return ref.kind == ObjectKind::Video ? &outline.video(ref.slot) : nullptr;
}

// The frame-title and stretch switches act on the object chosen last; the pop-up items on the
// object whose menu opens. With no such object a check mark is left as it is: it describes
// nothing, and no command that shows it is offered.
std::optional<bool> titleShown(const OpenOutline& d)
{
    if (const FrameObject* frame = objectAt<FrameObject>(d.outline, d.interaction.currentCompanion))
        return frame->titleVisible;
    return std::nullopt;
}

std::optional<bool> companionStretched(const OpenOutline& d)
{
    if (const PictureObject* picture = objectAt<PictureObject>(d.outline, d.interaction.currentCompanion))
        return picture->stretched;
    return std::nullopt;
}

const PictureObject* chosenPicture(const OpenOutline& d)
{
    return objectAt<PictureObject>(d.outline, d.interaction.currentObject);
}

CommandState chosenPictureBorder(const OpenOutline& d, int border)
{
    if (const PictureObject* picture = chosenPicture(d))
        return checkedIf(picture->border == border);
    return {};
}

bool offered(const OpenOutline& d, ObjectSwitch what) { return d.interaction.offeredSwitch == what; }

}  // namespace

#define COMMAND(ID) .id = int(Command::ID), .idName = #ID
#define MENU(ID) .id = int(Menu::ID), .idName = #ID "Menu"
#define IN(MENU_ID) .place = int(Menu::MENU_ID)

std::span<const CommandRow<MainWindow>> MainWindow::commandTable()
{
    using W = MainWindow;
    using Row = CommandRow<MainWindow>;
    // Whatever can be saved can be saved as a picture, a web page, and printed.
    static constexpr auto workToSave = [](const W& w) { return enabledIf(w.m_document.session.workToSave); };
    // The session's switches act on an open outline.
    static constexpr auto outlineOpen = [](const W& w) { return enabledIf(w.m_document.session.outlineOpen); };
    static constexpr auto canSave = [](const W& w) { return enabledIf(w.m_documents->canSave()); };
    // Commands that change objects work in edit mode on an open outline.
    static constexpr auto editing = [](const W& w) {
        return enabledIf(w.m_document.session.outlineOpen && w.m_document.session.editMode);
    };
    // Aligning needs two objects of a group, distributing three.
    static constexpr auto grouped = [](const W& w) {
        return enabledIf(w.m_document.session.editMode
                         && groupLeaders(w.m_document.outline, w.m_document.interaction.group).size() >= 2);
    };
    static constexpr auto groupOfThree = [](const W& w) {
        return enabledIf(w.m_document.session.editMode
                         && groupLeaders(w.m_document.outline, w.m_document.interaction.group).size() >= 3);
    };
    static constexpr Row rows[] = {
        // The menu bar.
        {MENU(File), .name = "fileMenu", .caption = QT_TRANSLATE_NOOP("MainWindow", "Файл"), .place = OnMenuBar,
         .isMenu = true},
        {COMMAND(NewOutline), .name = "N47", .caption = QT_TRANSLATE_NOOP("MainWindow", "Новый"), IN(File),
         .shortcut = Qt::CTRL | Qt::Key_N,
         .button = {1, "ToolButton1", "new",
                    QT_TRANSLATE_NOOP("MainWindow", "Создать новый логический конспект (по умолчанию)")},
         .run = [](W& w, bool) { w.m_documents->newOutline(); }},
        {COMMAND(NewFromTemplate), .name = "newFromTemplate", .caption = QT_TRANSLATE_NOOP("MainWindow", "Создать..."),
         IN(File), .run = [](W& w, bool) { w.newFromTemplate(); }},
        {COMMAND(Open), .name = "N48", .caption = QT_TRANSLATE_NOOP("MainWindow", "Открыть"), IN(File),
         .shortcut = Qt::CTRL | Qt::Key_O,
         .button = {2, "ToolButton2", "open", QT_TRANSLATE_NOOP("MainWindow", "Открыть")},
         .run = [](W& w, bool) { w.m_documents->openOutline(); }},
        {COMMAND(Save), .name = "N49", .caption = QT_TRANSLATE_NOOP("MainWindow", "Сохранить"), IN(File),
         .flags = StartsDisabled | SeparatorBefore, .shortcut = Qt::CTRL | Qt::Key_S,
         .run = [](W& w, bool) { w.m_documents->save(); }, .state = canSave},
        {COMMAND(SaveButton), .name = "ToolButton3", .flags = StartsDisabled,
         .button = {3, "ToolButton3", "save", QT_TRANSLATE_NOOP("MainWindow", "Сохранить")},
         .run = [](W& w, bool) { w.m_documents->save(); }, .state = canSave},
        {COMMAND(SaveAs), .name = "N50", .caption = QT_TRANSLATE_NOOP("MainWindow", "Сохранить как..."), IN(File),
         .flags = StartsDisabled | ButtonSeparatorBefore,
         .button = {4, "ToolButton5", "save_as", QT_TRANSLATE_NOOP("MainWindow", "Сохранить как...")},
         .run = [](W& w, bool) { w.m_documents->saveAs(); }, .state = workToSave},
        {COMMAND(ExportPicture), .name = "N53", .caption = QT_TRANSLATE_NOOP("MainWindow", "Сохранить как рисунок"),
         IN(File), .flags = StartsDisabled,
         .button = {5, "ToolButton7", "save_picture", QT_TRANSLATE_NOOP("MainWindow", "Сохранить как рисунок...")},
         .run = [](W& w, bool) { w.exportPicture(); }, .state = workToSave},
        {COMMAND(ExportWebPage), .name = "exportWebPage",
         .caption = QT_TRANSLATE_NOOP("MainWindow", "Сохранить как веб-страницу..."), IN(File), .flags = StartsDisabled,
         .run = [](W& w, bool) { w.exportWebPage(); }, .state = workToSave},
        {COMMAND(SaveAsTemplate), .name = "saveAsTemplate",
         .caption = QT_TRANSLATE_NOOP("MainWindow", "Сохранить как шаблон..."), IN(File), .flags = StartsDisabled,
         .run = [](W& w, bool) { w.saveAsTemplate(); }, .state = workToSave},
        {COMMAND(ExportSlideDeck), .name = "exportSlideDeck",
         .caption = QT_TRANSLATE_NOOP("MainWindow", "Сохранить как презентацию..."), IN(File), .flags = StartsDisabled,
         .run = [](W& w, bool) { w.exportSlideDeck(); }, .state = workToSave},
        {COMMAND(Print), .name = "N302", .caption = QT_TRANSLATE_NOOP("MainWindow", "Печать..."), IN(File),
         .flags = StartsDisabled | SeparatorBefore, .shortcut = Qt::CTRL | Qt::Key_P,
         .run = [](W& w, bool) { w.m_printing->print(); }, .state = workToSave},
        {COMMAND(PrintPreview), .name = "N303", .caption = QT_TRANSLATE_NOOP("MainWindow", "Предварительный просмотр"),
         IN(File), .flags = StartsDisabled, .run = [](W& w, bool) { w.m_printing->preview(); }, .state = workToSave},
        {COMMAND(Close), .name = "N51", .caption = QT_TRANSLATE_NOOP("MainWindow", "Закрыть"), IN(File),
         .flags = StartsDisabled | SeparatorBefore, .run = [](W& w, bool) { w.m_documents->closeOutline(); },
         .state = workToSave},
        {COMMAND(Exit), .name = "N55", .caption = QT_TRANSLATE_NOOP("MainWindow", "Выход"), IN(File),
         .flags = SeparatorBefore, .run = [](W& w, bool) { w.exitProgram(); }},

        {MENU(Edit), .name = "editMenu", .caption = QT_TRANSLATE_NOOP("MainWindow", "Правка"), .place = OnMenuBar,
         .isMenu = true},
        {COMMAND(Undo), .name = "N77", .caption = QT_TRANSLATE_NOOP("MainWindow", "Отменить действие"), IN(Edit),
         .flags = StartsDisabled | ButtonSeparatorBefore, .shortcut = Qt::CTRL | Qt::Key_Z,
         .button = {6, "ToolButton10", "undo", QT_TRANSLATE_NOOP("MainWindow", "Отменить")},
         .run = [](W& w, bool) { w.m_documents->undo(); },
         .state = [](const W& w) { return enabledIf(w.m_documents->canUndo()); }},
        {COMMAND(Redo), .name = "N78", .caption = QT_TRANSLATE_NOOP("MainWindow", "Повторить действие"), IN(Edit),
         .flags = StartsDisabled, .shortcut = Qt::CTRL | Qt::Key_Y,
         .button = {7, "ToolButton18", "redo", QT_TRANSLATE_NOOP("MainWindow", "Вернуть")},
         .run = [](W& w, bool) { w.m_documents->redo(); },
         .state = [](const W& w) { return enabledIf(w.m_documents->canRedo()); }},
        {COMMAND(Find), .name = "findCommand", .caption = QT_TRANSLATE_NOOP("MainWindow", "Найти..."), IN(Edit),
         .flags = SeparatorBefore, .shortcut = Qt::CTRL | Qt::Key_F,
         .run = [](W& w, bool) { w.findBar()->open(false); }, .state = outlineOpen},
        {COMMAND(FindNext), .name = "findNextCommand", .caption = QT_TRANSLATE_NOOP("MainWindow", "Найти далее"),
         IN(Edit), .shortcut = QKeyCombination(Qt::Key_F3), .run = [](W& w, bool) { w.findBar()->findNext(); },
         .state = outlineOpen},
        {COMMAND(FindPrevious), .name = "findPreviousCommand",
         .caption = QT_TRANSLATE_NOOP("MainWindow", "Найти ранее"), IN(Edit), .shortcut = Qt::SHIFT | Qt::Key_F3,
         .run = [](W& w, bool) { w.findBar()->findPrevious(); }, .state = outlineOpen},
        {COMMAND(Replace), .name = "replaceCommand", .caption = QT_TRANSLATE_NOOP("MainWindow", "Заменить..."),
         IN(Edit), .shortcut = Qt::CTRL | Qt::Key_H, .run = [](W& w, bool) { w.findBar()->open(true); },
         .state = outlineOpen},
        {COMMAND(Cut), .name = "editCut", .caption = QT_TRANSLATE_NOOP("MainWindow", "Вырезать"), IN(Edit),
         .flags = SeparatorBefore, .shortcut = Qt::CTRL | Qt::Key_X, .run = [](W& w, bool) { w.cutObjects(false); },
         .state = editing},
        {COMMAND(Copy), .name = "editCopy", .caption = QT_TRANSLATE_NOOP("MainWindow", "Копировать"), IN(Edit),
         .shortcut = Qt::CTRL | Qt::Key_C, .run = [](W& w, bool) { w.copyObjects(false); }, .state = outlineOpen},
        {COMMAND(Paste), .name = "editPaste", .caption = QT_TRANSLATE_NOOP("MainWindow", "Вставить"), IN(Edit),
         .shortcut = Qt::CTRL | Qt::Key_V, .run = [](W& w, bool) { w.pasteObjects(false); }, .state = outlineOpen},
        {COMMAND(Duplicate), .name = "editDuplicate", .caption = QT_TRANSLATE_NOOP("MainWindow", "Дублировать"),
         IN(Edit), .shortcut = Qt::CTRL | Qt::Key_D, .run = [](W& w, bool) { w.duplicateObjects(false); },
         .state = editing},
        {COMMAND(SelectAll), .name = "editSelectAll", .caption = QT_TRANSLATE_NOOP("MainWindow", "Выделить все"),
         IN(Edit), .flags = SeparatorBefore, .shortcut = Qt::CTRL | Qt::Key_A,
         .run =
             [](W& w, bool) {
                 if (!typingText())
                     w.m_controller->selectAll();
             },
         .state = editing},
        {MENU(AlignObjects), .name = "alignObjectsMenu",
         .caption = QT_TRANSLATE_NOOP("MainWindow", "Выровнять объекты"), IN(Edit), .isMenu = true},
        {COMMAND(AlignObjectsLeft), .name = "alignObjectsLeft",
         .caption = QT_TRANSLATE_NOOP("MainWindow", "По левому краю"), IN(AlignObjects),
         .run = [](W& w, bool) { w.m_controller->alignGroup(GroupAlignment::Left); }, .state = grouped},
        {COMMAND(AlignObjectsCentre), .name = "alignObjectsCentre",
         .caption = QT_TRANSLATE_NOOP("MainWindow", "По центру"), IN(AlignObjects),
         .run = [](W& w, bool) { w.m_controller->alignGroup(GroupAlignment::Centre); }, .state = grouped},
        {COMMAND(AlignObjectsRight), .name = "alignObjectsRight",
         .caption = QT_TRANSLATE_NOOP("MainWindow", "По правому краю"), IN(AlignObjects),
         .run = [](W& w, bool) { w.m_controller->alignGroup(GroupAlignment::Right); }, .state = grouped},
        {COMMAND(AlignObjectsTop), .name = "alignObjectsTop",
         .caption = QT_TRANSLATE_NOOP("MainWindow", "По верхнему краю"), IN(AlignObjects), .flags = SeparatorBefore,
         .run = [](W& w, bool) { w.m_controller->alignGroup(GroupAlignment::Top); }, .state = grouped},
        {COMMAND(AlignObjectsMiddle), .name = "alignObjectsMiddle",
         .caption = QT_TRANSLATE_NOOP("MainWindow", "По середине"), IN(AlignObjects),
         .run = [](W& w, bool) { w.m_controller->alignGroup(GroupAlignment::Middle); }, .state = grouped},
        {COMMAND(AlignObjectsBottom), .name = "alignObjectsBottom",
         .caption = QT_TRANSLATE_NOOP("MainWindow", "По нижнему краю"), IN(AlignObjects),
         .run = [](W& w, bool) { w.m_controller->alignGroup(GroupAlignment::Bottom); }, .state = grouped},
        {COMMAND(DistributeHorizontally), .name = "distributeHorizontally",
         .caption = QT_TRANSLATE_NOOP("MainWindow", "Распределить по горизонтали"), IN(AlignObjects),
         .flags = SeparatorBefore, .run = [](W& w, bool) { w.m_controller->distributeGroup(true); },
         .state = groupOfThree},
        {COMMAND(DistributeVertically), .name = "distributeVertically",
         .caption = QT_TRANSLATE_NOOP("MainWindow", "Распределить по вертикали"), IN(AlignObjects),
         .run = [](W& w, bool) { w.m_controller->distributeGroup(false); }, .state = groupOfThree},

        {MENU(Service), .name = "serviceMenu", .caption = QT_TRANSLATE_NOOP("MainWindow", "Сервис"), .place = OnMenuBar,
         .isMenu = true},
        {COMMAND(Summary), .name = "N110", .caption = QT_TRANSLATE_NOOP("MainWindow", "Минимальный текст"), IN(Service),
         .button = {13, "ToolButton21", "minimal_text", QT_TRANSLATE_NOOP("MainWindow", "Минимальный текст")},
         .run = [](W& w, bool) { w.m_minimalTexts->showSummary(); }},
        {COMMAND(FrameSequence), .name = "N112",
         .caption = QT_TRANSLATE_NOOP("MainWindow", "Последовательность фреймов"), IN(Service),
         .flags = SeparatorBefore, .run = [](W& w, bool) { w.m_overlay->switchOn(OverlayKind::Frames); }},
        {COMMAND(ObjectSequence), .name = "N113",
         .caption = QT_TRANSLATE_NOOP("MainWindow", "Последовательность объектов"), IN(Service),
         .run = [](W& w, bool) { w.m_overlay->switchOn(OverlayKind::Objects); }},
        {COMMAND(MoveEarlier), .name = "N115", .caption = QT_TRANSLATE_NOOP("MainWindow", "Переместить вперед"),
         IN(Service), .flags = StartsHidden | StartsDisabled | SeparatorBefore,
         .run = [](W& w, bool) { w.m_sequences->moveSelectedEarlier(); }},
        {COMMAND(MoveLater), .name = "N116", .caption = QT_TRANSLATE_NOOP("MainWindow", "Переместить назад"),
         IN(Service), .flags = StartsHidden | StartsDisabled,
         .run = [](W& w, bool) { w.m_sequences->moveSelectedLater(); }},
        {COMMAND(Present), .name = "N301", .caption = QT_TRANSLATE_NOOP("MainWindow", "Показ конспекта"), IN(Service),
         .flags = SeparatorBefore | ButtonSeparatorBefore, .shortcut = QKeyCombination(Qt::Key_F5),
         .button = {20, "ToolButton31", "present", QT_TRANSLATE_NOOP("MainWindow", "Показ конспекта")},
         .run = [](W& w, bool) { w.startShow(0); }},
        {COMMAND(PresentFromFrame), .name = "presentFromFrame",
         .caption = QT_TRANSLATE_NOOP("MainWindow", "Показ с выбранного фрейма"), IN(Service),
         .shortcut = Qt::SHIFT | Qt::Key_F5, .run = [](W& w, bool) { w.startShow(w.chosenFrame()); }},

        {MENU(Settings), .name = "settingsMenu", .caption = QT_TRANSLATE_NOOP("MainWindow", "Настройки"),
         .place = OnMenuBar, .isMenu = true, .state = outlineOpen},
        {COMMAND(CanvasColour), .name = "N18", .caption = QT_TRANSLATE_NOOP("MainWindow", "Цвет фона"), IN(Settings),
         .run = [](W& w, bool) { w.m_appearance->chooseCanvasColour(); }},
        {COMMAND(ResetCanvasColour), .name = "N69", .caption = QT_TRANSLATE_NOOP("MainWindow", "Сброс цвета"),
         IN(Settings), .run = [](W& w, bool) { w.m_appearance->resetCanvasColour(); }},
        {COMMAND(EditMode), .name = "N61", .caption = QT_TRANSLATE_NOOP("MainWindow", "Перемещение"), IN(Settings),
         .flags = StartsChecked, .run = [](W& w, bool on) { w.setEditMode(on); },
         .state = [](const W& w) { return checkedIf(w.m_document.session.editMode); }},
        {COMMAND(FrameTitles), .name = "N60", .caption = QT_TRANSLATE_NOOP("MainWindow", "Название фрейма"),
         IN(Settings), .flags = StartsChecked | StartsDisabled | SeparatorBefore,
         .run = [](W& w, bool on) { w.m_frameTitles->showTitleFromSwitch(on); },
         .state = [](const W& w) -> CommandState {
             return {offered(w.m_document, ObjectSwitch::FrameTitle), titleShown(w.m_document)};
         }},
        // Never offered: it stays hidden and disabled.
        {COMMAND(StretchSetting), .name = "N64", .caption = QT_TRANSLATE_NOOP("MainWindow", "Масштабирование рисунка"),
         IN(Settings), .flags = StartsChecked | StartsHidden | StartsDisabled,
         .run = [](W& w, bool on) { w.m_controller->setStretchFromButton(on); },
         .state = [](const W& w) -> CommandState {
             return {false, companionStretched(w.m_document)};
         }},
        {COMMAND(Zoom), .name = "N79", .caption = QT_TRANSLATE_NOOP("MainWindow", "Масштабирование конспекта"),
         IN(Settings), .flags = StartsChecked, .run = [](W& w, bool on) { w.setZoom(on); },
         .state = [](const W& w) { return checkedIf(w.m_document.session.zoomOn); }},
        {MENU(Grid), .name = "gridMenu", .caption = QT_TRANSLATE_NOOP("MainWindow", "Привязка к сетке"), IN(Settings),
         .isMenu = true, .flags = SeparatorBefore},
        {COMMAND(Grid), .name = "N80", .caption = QT_TRANSLATE_NOOP("MainWindow", "Привязать к сетке"), IN(Grid),
         .flags = StartsChecked, .run = [](W& w, bool on) { w.setGrid(on); },
         .state = [](const W& w) { return checkedIf(w.m_document.session.gridOn); }},
        {COMMAND(GrowGrid), .name = "N211", .caption = QT_TRANSLATE_NOOP("MainWindow", "Увеличить сетку  2+1"),
         IN(Grid), .flags = SeparatorBefore, .run = [](W& w, bool) { w.growGrid(); }},
        {COMMAND(ShrinkGrid), .name = "N212", .caption = QT_TRANSLATE_NOOP("MainWindow", "Уменьшить сетку 2-1"),
         IN(Grid), .run = [](W& w, bool) { w.shrinkGrid(); }},
        {MENU(Language), .name = "languageMenu", IN(Settings), .isMenu = true, .flags = SeparatorBefore,
         .makeMenu = addLanguageMenu},

        {MENU(Help), .name = "helpMenu", .caption = QT_TRANSLATE_NOOP("MainWindow", "Справка"), .place = OnMenuBar,
         .isMenu = true},
        {COMMAND(Help), .name = "N62", .caption = QT_TRANSLATE_NOOP("MainWindow", "Помощь"), IN(Help),
         .flags = ButtonSeparatorBefore,
         .button = {19, "ToolButton16", "help", QT_TRANSLATE_NOOP("MainWindow", "Помощь")},
         .run = [](W& w, bool) { w.showHelp(); }},
        {COMMAND(WebHelp), .name = "Web1", .caption = QT_TRANSLATE_NOOP("MainWindow", "Web помощь"), IN(Help),
         .flags = StartsHidden, .run = [](W& w, bool) { w.showHelp(); }},
        {COMMAND(About), .name = "N68", .caption = QT_TRANSLATE_NOOP("MainWindow", "О программе"), IN(Help),
         .run = [](W& w, bool) { w.showAbout(); }},

        // Tool-bar buttons of their own.
        {COMMAND(EditModeButton), .name = "ToolButton11",
         .flags = StartsChecked | StartsDisabled | ButtonSeparatorBefore,
         .button = {8, "ToolButton11", "edit_mode", QT_TRANSLATE_NOOP("MainWindow", "Редактирование")},
         .run = [](W& w, bool on) { w.setEditMode(on); },
         .state = [](const W& w) -> CommandState {
             return {w.m_document.session.outlineOpen, w.m_document.session.editMode};
         }},
        {COMMAND(GridButton), .name = "ToolButton20", .flags = StartsChecked | StartsDisabled,
         .button = {9, "ToolButton20", "grid", QT_TRANSLATE_NOOP("MainWindow", "Привязать к сетке")},
         .run = [](W& w, bool on) { w.setGrid(on); },
         .state = [](const W& w) -> CommandState {
             return {w.m_document.session.outlineOpen, w.m_document.session.gridOn};
         }},
        {COMMAND(ZoomButton), .name = "ToolButton19", .flags = StartsChecked | StartsDisabled | ButtonSeparatorBefore,
         .button = {10, "ToolButton19", "zoom_outline",
                    QT_TRANSLATE_NOOP("MainWindow", "Масштабирование логического конспекта")},
         .run = [](W& w, bool on) { w.setZoom(on); },
         .state = [](const W& w) -> CommandState {
             return {w.m_document.session.outlineOpen, w.m_document.session.zoomOn};
         }},
        {COMMAND(FrameTitlesButton), .name = "ToolButton9", .flags = Checkable | StartsDisabled,
         .button = {11, "ToolButton9", "frame_titles", QT_TRANSLATE_NOOP("MainWindow", "Отображать названия фреймов")},
         .run = [](W& w, bool on) { w.m_frameTitles->showTitleFromSwitch(on); },
         .state = [](const W& w) -> CommandState {
             const OpenOutline& d = w.m_document;
             return {offered(d, ObjectSwitch::FrameTitle) && d.interaction.switchButtonsOn, titleShown(d)};
         }},
        {COMMAND(StretchButton), .name = "ToolButton12", .flags = Checkable | StartsHidden | StartsDisabled,
         .button = {12, "ToolButton12", "picture_scaling"},
         .run = [](W& w, bool on) { w.m_controller->setStretchFromButton(on); },
         .state = [](const W& w) -> CommandState {
             const OpenOutline& d = w.m_document;
             return {offered(d, ObjectSwitch::PictureStretch) && d.interaction.switchButtonsOn, companionStretched(d)};
         }},
        // The reading-order overlays: one at a time.
        {COMMAND(ObjectSequenceButton), .name = "ToolButton22", .flags = Checkable | ButtonSeparatorBefore,
         .button = {14, "ToolButton22", "object_sequence",
                    QT_TRANSLATE_NOOP("MainWindow", "Последовательность объектов")},
         .run = [](W& w, bool) { w.m_overlay->toggle(OverlayKind::Objects); },
         .state = [](const W& w) { return checkedIf(w.m_document.session.overlay == OrderOverlay::Objects); }},
        {COMMAND(FrameSequenceButton), .name = "ToolButton26", .flags = Checkable,
         .button = {15, "ToolButton26", "frame_sequence",
                    QT_TRANSLATE_NOOP("MainWindow", "Последовательность фреймов")},
         .run = [](W& w, bool) { w.m_overlay->toggle(OverlayKind::Frames); },
         .state = [](const W& w) { return checkedIf(w.m_document.session.overlay == OrderOverlay::Frames); }},
        {COMMAND(MoveEarlierButton), .name = "ToolButton24", .flags = StartsDisabled | ButtonSeparatorBefore,
         .button = {16, "ToolButton24", "move_earlier", QT_TRANSLATE_NOOP("MainWindow", "Переместить вперед")},
         .run = [](W& w, bool) { w.m_sequences->moveSelectedEarlier(); },
         .state = [](const W& w) { return enabledIf(w.m_document.interaction.orderButtonsOn); }},
        {COMMAND(MoveLaterButton), .name = "ToolButton23", .flags = StartsDisabled,
         .button = {17, "ToolButton23", "move_later", QT_TRANSLATE_NOOP("MainWindow", "Переместить назад")},
         .run = [](W& w, bool) { w.m_sequences->moveSelectedLater(); },
         .state = [](const W& w) { return enabledIf(w.m_document.interaction.orderButtonsOn); }},
        {COMMAND(CanvasColourButton), .name = "ToolButton14", .flags = StartsDisabled | ButtonSeparatorBefore,
         .button = {18, "ToolButton14", "background_colour", QT_TRANSLATE_NOOP("MainWindow", "Цвет фона")},
         .run = [](W& w, bool) { w.m_appearance->chooseCanvasColour(); }, .state = outlineOpen},

        // The canvas's pop-up menu.
        {MENU(Canvas), .name = "PopupMenu1", .place = AsPopup, .isMenu = true},
        {COMMAND(CreateFrame), .name = "N1", .caption = QT_TRANSLATE_NOOP("MainWindow", "Создать фрейм"), IN(Canvas),
         .run = [](W& w, bool) { w.m_controller->createFrame(); }},
        {COMMAND(CreatePictureOnCanvas), .name = "N2", .caption = QT_TRANSLATE_NOOP("MainWindow", "Создать рисунок"),
         IN(Canvas), .flags = StartsHidden, .run = [](W& w, bool) { w.m_controller->createPicture(true); }},
        {COMMAND(CreateCaptionOnCanvas), .name = "N39", .caption = QT_TRANSLATE_NOOP("MainWindow", "Создать надпись"),
         IN(Canvas), .flags = StartsHidden, .run = [](W& w, bool) { w.m_controller->createCaption(true); }},
        {COMMAND(CreateArrow), .name = "N73", .caption = QT_TRANSLATE_NOOP("MainWindow", "Создать стрелку"), IN(Canvas),
         .run = [](W& w, bool) { w.m_controller->createArrow(); }},
        {COMMAND(CreateFilmOnCanvas), .name = "N25",
         .caption = QT_TRANSLATE_NOOP("MainWindow", "Создать видео фрагмент"), IN(Canvas), .flags = StartsHidden,
         .run = [](W& w, bool) { w.m_controller->createVideo(true); }},
        {COMMAND(CanvasColourPopup), .name = "N20", .caption = QT_TRANSLATE_NOOP("MainWindow", "Цвет фона"), IN(Canvas),
         .flags = SeparatorBefore, .run = [](W& w, bool) { w.m_appearance->chooseCanvasColour(); }},
        {COMMAND(PasteOnCanvas), .name = "canvasPaste", .caption = QT_TRANSLATE_NOOP("MainWindow", "Вставить"),
         IN(Canvas), .flags = SeparatorBefore, .run = [](W& w, bool) { w.pasteObjects(true); }},

        // A frame's pop-up menu.
        {MENU(Frame), .name = "PopupMenu2", .place = AsPopup, .isMenu = true},
        {COMMAND(CreatePicture), .name = "N3", .caption = QT_TRANSLATE_NOOP("MainWindow", "Создать рисунок"), IN(Frame),
         .run = [](W& w, bool) { w.m_controller->createPicture(false); }},
        {COMMAND(CreateCaption), .name = "N45", .caption = QT_TRANSLATE_NOOP("MainWindow", "Создать надпись"),
         IN(Frame), .flags = StartsHidden, .run = [](W& w, bool) { w.m_controller->createCaption(false); }},
        {COMMAND(CreateTextField), .name = "N86", .caption = QT_TRANSLATE_NOOP("MainWindow", "Создать текстовое поле"),
         IN(Frame), .run = [](W& w, bool) { w.m_controller->createTextField(); }},
        {COMMAND(CreateFilm), .name = "N37", .caption = QT_TRANSLATE_NOOP("MainWindow", "Создать видео фрагмент"),
         IN(Frame), .run = [](W& w, bool) { w.m_controller->createVideo(false); }},
        {COMMAND(FrameMinimalText), .name = "N98", .caption = QT_TRANSLATE_NOOP("MainWindow", "Минимальный текст"),
         IN(Frame), .flags = SeparatorBefore,
         .run = [](W& w, bool) { w.m_minimalTexts->editMinimalText(ObjectKind::Frame); }},
        {COMMAND(FrameTitlePopup), .name = "Y1", .caption = QT_TRANSLATE_NOOP("MainWindow", "Название фрейма"),
         IN(Frame), .flags = Checkable | SeparatorBefore,
         .run = [](W& w, bool on) { w.m_frameTitles->showTitleFromPopup(on); },
         .state =
             [](const W& w) {
                 return CommandState{std::nullopt, titleShown(w.m_document)};
             }},
        {COMMAND(RenameFrame), .name = "N36", .caption = QT_TRANSLATE_NOOP("MainWindow", "Переименовать фрейм"),
         IN(Frame), .run = [](W& w, bool) { w.m_frameTitles->rename(); }},
        {COMMAND(FrameColour), .name = "N19", .caption = QT_TRANSLATE_NOOP("MainWindow", "Цвет фрейма"), IN(Frame),
         .run = [](W& w, bool) { w.m_appearance->chooseFrameColour(); }},
        {COMMAND(FrameTitleColour), .name = "N71", .caption = QT_TRANSLATE_NOOP("MainWindow", "Цвет надписи"),
         IN(Frame), .run = [](W& w, bool) { w.m_appearance->chooseFrameTitleColour(); }},
        {COMMAND(ResetFrameColours), .name = "N70", .caption = QT_TRANSLATE_NOOP("MainWindow", "Сброс цвета"),
         IN(Frame), .run = [](W& w, bool) { w.m_appearance->resetFrameColours(); }},
        {MENU(InnerBevel), .name = "N7", .caption = QT_TRANSLATE_NOOP("MainWindow", "Внутренний бордюр"), IN(Frame),
         .isMenu = true, .flags = SeparatorBefore},
        {COMMAND(InnerBevelNone), .name = "N11", .caption = QT_TRANSLATE_NOOP("MainWindow", "Нет"), IN(InnerBevel),
         .run = [](W& w, bool) { w.m_appearance->setFrameInnerBevel(BevelNone); }},
        {COMMAND(InnerBevelLowered), .name = "N21", .caption = QT_TRANSLATE_NOOP("MainWindow", "Вдавлен"),
         IN(InnerBevel), .run = [](W& w, bool) { w.m_appearance->setFrameInnerBevel(BevelLowered); }},
        {COMMAND(InnerBevelRaised), .name = "N31", .caption = QT_TRANSLATE_NOOP("MainWindow", "Выпуклый"),
         IN(InnerBevel), .run = [](W& w, bool) { w.m_appearance->setFrameInnerBevel(BevelRaised); }},
        {MENU(BorderLine), .name = "N9", .caption = QT_TRANSLATE_NOOP("MainWindow", "Средний бордюр"), IN(Frame),
         .isMenu = true},
        {COMMAND(BorderLineNone), .name = "N13", .caption = QT_TRANSLATE_NOOP("MainWindow", "Нет"), IN(BorderLine),
         .run = [](W& w, bool) { w.m_appearance->setFrameBorderLine(0); }},
        {COMMAND(BorderLineSingle), .name = "N23", .caption = QT_TRANSLATE_NOOP("MainWindow", "Есть"), IN(BorderLine),
         .run = [](W& w, bool) { w.m_appearance->setFrameBorderLine(1); }},
        {MENU(OuterBevel), .name = "N8", .caption = QT_TRANSLATE_NOOP("MainWindow", "Внешний бордюр"), IN(Frame),
         .isMenu = true},
        {COMMAND(OuterBevelNone), .name = "N12", .caption = QT_TRANSLATE_NOOP("MainWindow", "Нет"), IN(OuterBevel),
         .run = [](W& w, bool) { w.m_appearance->setFrameOuterBevel(BevelNone); }},
        {COMMAND(OuterBevelLowered), .name = "N22", .caption = QT_TRANSLATE_NOOP("MainWindow", "Вдавлен"),
         IN(OuterBevel), .run = [](W& w, bool) { w.m_appearance->setFrameOuterBevel(BevelLowered); }},
        {COMMAND(OuterBevelRaised), .name = "N32", .caption = QT_TRANSLATE_NOOP("MainWindow", "Выпуклый"),
         IN(OuterBevel), .run = [](W& w, bool) { w.m_appearance->setFrameOuterBevel(BevelRaised); }},
        {COMMAND(CutFrame), .name = "frameCut", .caption = QT_TRANSLATE_NOOP("MainWindow", "Вырезать"), IN(Frame),
         .flags = SeparatorBefore, .run = [](W& w, bool) { w.cutObjects(true); }},
        {COMMAND(CopyFrame), .name = "frameCopy", .caption = QT_TRANSLATE_NOOP("MainWindow", "Копировать"), IN(Frame),
         .run = [](W& w, bool) { w.copyObjects(true); }},
        {COMMAND(DuplicateFrame), .name = "frameDuplicate", .caption = QT_TRANSLATE_NOOP("MainWindow", "Дублировать"),
         IN(Frame), .run = [](W& w, bool) { w.duplicateObjects(true); }},
        {COMMAND(PasteInFrame), .name = "framePaste", .caption = QT_TRANSLATE_NOOP("MainWindow", "Вставить"), IN(Frame),
         .run = [](W& w, bool) { w.pasteObjects(true, true); }},
        {COMMAND(DeleteFrame), .name = "N5", .caption = QT_TRANSLATE_NOOP("MainWindow", "Удалить"), IN(Frame),
         .flags = SeparatorBefore, .run = [](W& w, bool) { w.m_appearance->deleteFrame(); }},

        // A picture's pop-up menu.
        {MENU(Picture), .name = "PopupMenu3", .place = AsPopup, .isMenu = true},
        {COMMAND(EditPicture), .name = "N58", .caption = QT_TRANSLATE_NOOP("MainWindow", "Редактировать"), IN(Picture),
         .run = [](W& w, bool) { w.editPicture(); }},
        {COMMAND(OpenPicture), .name = "N38", .caption = QT_TRANSLATE_NOOP("MainWindow", "Открыть рисунок"),
         IN(Picture), .run = [](W& w, bool) { w.m_controller->openPicture(); }},
        {MENU(PictureOrder), .name = "N106", .caption = QT_TRANSLATE_NOOP("MainWindow", "Изменить последовательность"),
         IN(Picture), .isMenu = true},
        {COMMAND(PictureLater), .name = "N107", .caption = QT_TRANSLATE_NOOP("MainWindow", "Вперед"), IN(PictureOrder),
         .run = [](W& w, bool) { w.m_sequences->movePictureLater(); }},
        {COMMAND(PictureEarlier), .name = "N108", .caption = QT_TRANSLATE_NOOP("MainWindow", "Назад"), IN(PictureOrder),
         .run = [](W& w, bool) { w.m_sequences->movePictureEarlier(); }},
        {COMMAND(PictureMinimalText), .name = "N100", .caption = QT_TRANSLATE_NOOP("MainWindow", "Минимальный текст"),
         IN(Picture), .flags = SeparatorBefore,
         .run = [](W& w, bool) { w.m_minimalTexts->editMinimalText(ObjectKind::Picture); }},
        {COMMAND(PictureFullScreen), .name = "N84", .caption = QT_TRANSLATE_NOOP("MainWindow", "Во весь экран"),
         IN(Picture), .flags = SeparatorBefore, .run = [](W& w, bool) { w.m_controller->showPictureFullScreen(); }},
        {MENU(PictureBorder), .name = "N14", .caption = QT_TRANSLATE_NOOP("MainWindow", "Бордюр"), IN(Picture),
         .isMenu = true, .flags = SeparatorBefore},
        {COMMAND(PictureBorderNone), .name = "N16", .caption = QT_TRANSLATE_NOOP("MainWindow", "Нет"),
         IN(PictureBorder), .flags = Checkable, .run = [](W& w, bool) { w.m_appearance->setPictureBorder(0); },
         .state = [](const W& w) { return chosenPictureBorder(w.m_document, 0); }},
        {COMMAND(PictureBorderSingle), .name = "N17", .caption = QT_TRANSLATE_NOOP("MainWindow", "Есть"),
         IN(PictureBorder), .flags = Checkable, .run = [](W& w, bool) { w.m_appearance->setPictureBorder(1); },
         .state = [](const W& w) { return chosenPictureBorder(w.m_document, 1); }},
        {COMMAND(StretchPopup), .name = "N59", .caption = QT_TRANSLATE_NOOP("MainWindow", "Масштабирование"),
         IN(Picture), .flags = StartsHidden | Checkable,
         .run = [](W& w, bool on) { w.m_controller->setStretchFromMenu(on); },
         .state = [](const W& w) -> CommandState {
             if (const PictureObject* picture = chosenPicture(w.m_document))
                 return checkedIf(picture->stretched);
             return {};
         }},
        {COMMAND(CutPicture), .name = "pictureCut", .caption = QT_TRANSLATE_NOOP("MainWindow", "Вырезать"), IN(Picture),
         .flags = SeparatorBefore, .run = [](W& w, bool) { w.cutObjects(true); }},
        {COMMAND(CopyPicture), .name = "pictureCopy", .caption = QT_TRANSLATE_NOOP("MainWindow", "Копировать"),
         IN(Picture), .run = [](W& w, bool) { w.copyObjects(true); }},
        {COMMAND(DuplicatePicture), .name = "pictureDuplicate",
         .caption = QT_TRANSLATE_NOOP("MainWindow", "Дублировать"), IN(Picture),
         .run = [](W& w, bool) { w.duplicateObjects(true); }},
        {COMMAND(DeletePicture), .name = "N6", .caption = QT_TRANSLATE_NOOP("MainWindow", "Удалить"), IN(Picture),
         .flags = SeparatorBefore, .run = [](W& w, bool) { w.m_appearance->deletePicture(); }},

        // A film's pop-up menu.
        {MENU(Film), .name = "PopupMenu4", .place = AsPopup, .isMenu = true},
        {COMMAND(OpenFilmFile), .name = "N26", .caption = QT_TRANSLATE_NOOP("MainWindow", "Открыть файл"), IN(Film),
         .run = [](W& w, bool) { w.m_videoCommands->openFile(); }},
        {COMMAND(FilmMinimalText), .name = "N103", .caption = QT_TRANSLATE_NOOP("MainWindow", "Минимальный текст"),
         IN(Film), .flags = SeparatorBefore,
         .run = [](W& w, bool) { w.m_minimalTexts->editMinimalText(ObjectKind::Video); }},
        {COMMAND(PlayerButtons), .name = "N34", .caption = QT_TRANSLATE_NOOP("MainWindow", "Кнопки плеера"), IN(Film),
         .flags = StartsHidden | StartsChecked | SeparatorBefore,
         .run = [](W& w, bool) { w.m_videoCommands->togglePlayerButtons(); },
         .state = [](const W& w) -> CommandState {
             const Outline& o = w.m_document.outline;
             const VideoObject* film = objectAt<VideoObject>(o, w.m_document.interaction.currentCompanion);
             if (!film)
                 film = objectAt<VideoObject>(o, w.m_document.interaction.currentObject);
             return film ? checkedIf(film->playerVisible) : CommandState{};
         }},
        {COMMAND(FilmFullScreen), .name = "N82", .caption = QT_TRANSLATE_NOOP("MainWindow", "Во весь экран"), IN(Film),
         .run = [](W& w, bool) { w.m_videoCommands->showFullScreen(); }},
        {COMMAND(PlayFilm), .name = "N27", .caption = QT_TRANSLATE_NOOP("MainWindow", "Воспроизвести"), IN(Film),
         .flags = SeparatorBefore, .run = [](W& w, bool) { w.m_videoCommands->play(); }},
        {COMMAND(PauseFilm), .name = "N29", .caption = QT_TRANSLATE_NOOP("MainWindow", "Пауза"), IN(Film),
         .run = [](W& w, bool) { w.m_videoCommands->togglePause(); }},
        {COMMAND(StopFilm), .name = "N28", .caption = QT_TRANSLATE_NOOP("MainWindow", "Стоп"), IN(Film),
         .run = [](W& w, bool) { w.m_videoCommands->stop(); }},
        {COMMAND(CutFilm), .name = "filmCut", .caption = QT_TRANSLATE_NOOP("MainWindow", "Вырезать"), IN(Film),
         .flags = SeparatorBefore, .run = [](W& w, bool) { w.cutObjects(true); }},
        {COMMAND(CopyFilm), .name = "filmCopy", .caption = QT_TRANSLATE_NOOP("MainWindow", "Копировать"), IN(Film),
         .run = [](W& w, bool) { w.copyObjects(true); }},
        {COMMAND(DuplicateFilm), .name = "filmDuplicate", .caption = QT_TRANSLATE_NOOP("MainWindow", "Дублировать"),
         IN(Film), .run = [](W& w, bool) { w.duplicateObjects(true); }},
        {COMMAND(DeleteFilm), .name = "N30", .caption = QT_TRANSLATE_NOOP("MainWindow", "Удалить"), IN(Film),
         .flags = SeparatorBefore, .run = [](W& w, bool) { w.m_appearance->deleteVideo(); }},

        // A caption's pop-up menu.
        {MENU(Caption), .name = "PopupMenu5", .place = AsPopup, .isMenu = true},
        {COMMAND(CaptionFont), .name = "N40", .caption = QT_TRANSLATE_NOOP("MainWindow", "Шрифт"), IN(Caption),
         .run = [](W& w, bool) { w.m_appearance->chooseCaptionFont(); }},
        {COMMAND(CaptionText), .name = "N43", .caption = QT_TRANSLATE_NOOP("MainWindow", "Изменить текст"), IN(Caption),
         .run = [](W& w, bool) { w.m_appearance->editCaptionText(); }},
        {COMMAND(CaptionColour), .name = "N44", .caption = QT_TRANSLATE_NOOP("MainWindow", "Цвет фона"), IN(Caption),
         .run = [](W& w, bool) { w.m_appearance->chooseCaptionColour(); }},
        {COMMAND(ResetCaptionColours), .name = "N72", .caption = QT_TRANSLATE_NOOP("MainWindow", "Сброс цвета"),
         IN(Caption), .run = [](W& w, bool) { w.m_appearance->resetCaptionColours(); }},
        {COMMAND(DeleteCaption), .name = "N42", .caption = QT_TRANSLATE_NOOP("MainWindow", "Удалить"), IN(Caption),
         .flags = SeparatorBefore, .run = [](W& w, bool) { w.m_appearance->deleteCaption(); }},

        // An arrow's pop-up menu.
        {MENU(Arrow), .name = "PopupMenu6", .place = AsPopup, .isMenu = true},
        {COMMAND(ArrowColour), .name = "N74", .caption = QT_TRANSLATE_NOOP("MainWindow", "Изменить цвет"), IN(Arrow),
         .run = [](W& w, bool) { w.m_controller->changeArrowColour(); }},
        {COMMAND(ArrowThicker), .name = "N75", .caption = QT_TRANSLATE_NOOP("MainWindow", "Увеличить толщину"),
         IN(Arrow), .run = [](W& w, bool) { w.m_controller->changeArrowWidth(+1); }},
        {COMMAND(ArrowThinner), .name = "N88", .caption = QT_TRANSLATE_NOOP("MainWindow", "Уменьшить толщину"),
         IN(Arrow), .run = [](W& w, bool) { w.m_controller->changeArrowWidth(-1); }},
        {COMMAND(CutArrow), .name = "arrowCut", .caption = QT_TRANSLATE_NOOP("MainWindow", "Вырезать"), IN(Arrow),
         .flags = SeparatorBefore, .run = [](W& w, bool) { w.cutObjects(true); }},
        {COMMAND(CopyArrow), .name = "arrowCopy", .caption = QT_TRANSLATE_NOOP("MainWindow", "Копировать"), IN(Arrow),
         .run = [](W& w, bool) { w.copyObjects(true); }},
        {COMMAND(DuplicateArrow), .name = "arrowDuplicate", .caption = QT_TRANSLATE_NOOP("MainWindow", "Дублировать"),
         IN(Arrow), .run = [](W& w, bool) { w.duplicateObjects(true); }},
        {COMMAND(DeleteArrow), .name = "N90", .caption = QT_TRANSLATE_NOOP("MainWindow", "Удалить"), IN(Arrow),
         .flags = SeparatorBefore, .run = [](W& w, bool) { w.m_controller->deleteArrow(); }},

        // A text field's pop-up menu.
        {MENU(TextField), .name = "PopupMenu7", .place = AsPopup, .isMenu = true},
        {COMMAND(TextFieldFont), .name = "MenuItem1", .caption = QT_TRANSLATE_NOOP("MainWindow", "Шрифт"),
         IN(TextField), .run = [](W& w, bool) { w.m_appearance->chooseTextFieldFont(); }},
        {MENU(TextAlignment), .name = "N93", .caption = QT_TRANSLATE_NOOP("MainWindow", "Выравнивание текста"),
         IN(TextField), .isMenu = true},
        {COMMAND(AlignLeft), .name = "N94", .caption = QT_TRANSLATE_NOOP("MainWindow", "По левому краю"),
         IN(TextAlignment), .run = [](W& w, bool) { w.m_appearance->setTextAlignment(AlignLeft); }},
        {COMMAND(AlignCentre), .name = "N95", .caption = QT_TRANSLATE_NOOP("MainWindow", "По центру"),
         IN(TextAlignment), .run = [](W& w, bool) { w.m_appearance->setTextAlignment(AlignCentre); }},
        {COMMAND(AlignRight), .name = "N96", .caption = QT_TRANSLATE_NOOP("MainWindow", "По правому краю"),
         IN(TextAlignment), .run = [](W& w, bool) { w.m_appearance->setTextAlignment(AlignRight); }},
        {COMMAND(FitTextField), .name = "N87", .caption = QT_TRANSLATE_NOOP("MainWindow", "Выровнять рамку"),
         IN(TextField), .run = [](W& w, bool) { w.m_appearance->fitTextFieldToText(); }},
        {COMMAND(TextFieldMinimalText), .name = "N104", .caption = QT_TRANSLATE_NOOP("MainWindow", "Минимальный текст"),
         IN(TextField), .flags = SeparatorBefore,
         .run = [](W& w, bool) { w.m_minimalTexts->editMinimalText(ObjectKind::TextField); }},
        {COMMAND(TextFieldColour), .name = "MenuItem3", .caption = QT_TRANSLATE_NOOP("MainWindow", "Цвет фона"),
         IN(TextField), .flags = SeparatorBefore, .run = [](W& w, bool) { w.m_appearance->chooseTextFieldColour(); }},
        {COMMAND(ResetTextFieldColours), .name = "MenuItem4", .caption = QT_TRANSLATE_NOOP("MainWindow", "Сброс цвета"),
         IN(TextField), .run = [](W& w, bool) { w.m_appearance->resetTextFieldColours(); }},
        {COMMAND(CutTextField), .name = "textFieldCut", .caption = QT_TRANSLATE_NOOP("MainWindow", "Вырезать"),
         IN(TextField), .flags = SeparatorBefore, .run = [](W& w, bool) { w.cutObjects(true); }},
        {COMMAND(CopyTextField), .name = "textFieldCopy", .caption = QT_TRANSLATE_NOOP("MainWindow", "Копировать"),
         IN(TextField), .run = [](W& w, bool) { w.copyObjects(true); }},
        {COMMAND(DuplicateTextField), .name = "textFieldDuplicate",
         .caption = QT_TRANSLATE_NOOP("MainWindow", "Дублировать"), IN(TextField),
         .run = [](W& w, bool) { w.duplicateObjects(true); }},
        {COMMAND(DeleteTextField), .name = "MenuItem6", .caption = QT_TRANSLATE_NOOP("MainWindow", "Удалить"),
         IN(TextField), .flags = SeparatorBefore, .run = [](W& w, bool) { w.m_appearance->deleteTextField(); }},
    };
    return rows;
}

#undef COMMAND
#undef MENU
#undef IN

void MainWindow::buildCommands()
{
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    m_toolBar = new QToolBar(QStringLiteral("ToolBar1"));
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(20, 20));
    m_toolBar->setContentsMargins(0, 0, 0, 0);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_canvas->setToolBar(m_toolBar);
    m_printing = new OutlinePrinting(*this, m_canvas, this);
    buildCommandTable(commandTable(), "MainWindow", m_commands, *this, this, menuBar(), m_toolBar, this);
}

ObjectId MainWindow::chosenFrame() const
{
    // The frame around the selection: the black set's frame, or the one holding the object.
    const InteractionState& chosen = m_document.interaction;
    const Outline& o = m_document.outline;
    for (ObjectId id : {chosen.outerSelection, chosen.currentObject})
        if (id && o.find(id).isValid() && o.kindOf(id) == ObjectKind::Frame)
            return id;
    return 0;
}

void MainWindow::followCommandStates()
{
    // Every state is derived again whenever the document says it changed, and after every
    // command, whatever it did (a command that changed nothing puts back the check mark its click
    // flipped).
    const DocumentController* d = m_documents;
    for (auto signal : {&DocumentController::objectsChanged, &DocumentController::outlineReplaced,
                        &DocumentController::historyChanged, &DocumentController::captionChanged,
                        &DocumentController::canvasColourChanged, &DocumentController::selectionHidden,
                        &DocumentController::commandEnded})
        connect(d, signal, this, &MainWindow::showCommandStates);
    for (QAction* action : std::as_const(m_commands.byName()))
        connect(action, &QAction::triggered, this, &MainWindow::showCommandStates, Qt::UniqueConnection);
    showCommandStates();
}

void MainWindow::showCommandStates() { showCommandTableStates(commandTable(), m_commands, *this); }

}  // namespace velmar
