// The main window's command surface: main menu, tool bar and the seven pop-up menus, each
// command carrying its component name as objectName, gathered into the command registry.
#include "app/main_window.h"

#include "canvas/canvas_widget.h"
#include "platform/command_guard.h"
#include "view/outline_print.h"
#include "view/presentation_window.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace velmar {

namespace {

QIcon toolIcon(const char* name)
{
    return QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(name)));
}

}  // namespace

QAction* MainWindow::addItem(QMenu* menu, const char* name, const QString& caption, int flags)
{
    auto* action = new QAction(caption, menu);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(flags & (Checkable | Checked));
    action->setChecked(flags & Checked);
    action->setEnabled(!(flags & Disabled));
    action->setVisible(!(flags & Hidden));
    menu->addAction(action);
    m_commands.byName.insert(action->objectName(), action);
    return action;
}

QMenu* MainWindow::addSubmenu(QMenu* menu, const char* name, const QString& caption)
{
    QMenu* sub = menu->addMenu(caption);
    sub->setObjectName(QLatin1String(name));
    sub->menuAction()->setObjectName(QLatin1String(name));
    m_commands.byName.insert(sub->objectName(), sub->menuAction());
    m_commands.menusByName.insert(sub->objectName(), sub);
    return sub;
}

QMenu* MainWindow::addPopup(const char* name)
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QLatin1String(name));
    m_commands.menusByName.insert(menu->objectName(), menu);
    return menu;
}

QAction* MainWindow::addButton(const char* name, const char* icon, const QString& hint, int flags)
{
    auto* action = new QAction(toolIcon(icon), QString(), m_toolBar);
    action->setObjectName(QLatin1String(name));
    action->setToolTip(hint);
    action->setCheckable(flags & (Checkable | Checked));
    action->setChecked(flags & Checked);
    action->setEnabled(!(flags & Disabled));
    placeButton(action, name);
    // Hide after the button exists, so that the tool bar keeps no room for it.
    action->setVisible(!(flags & Hidden));
    return action;
}

QAction* MainWindow::shareButton(QAction* item, const char* name, const char* icon, const QString& hint)
{
    // The menu item's action goes on the tool bar as well: one action, one enabled state. The
    // menu keeps showing the caption alone; the button shows the icon and the hint.
    item->setIcon(toolIcon(icon));
    item->setIconVisibleInMenu(false);
    item->setToolTip(hint);
    placeButton(item, name);
    return item;
}

void MainWindow::placeButton(QAction* action, const char* name)
{
    m_toolBar->addAction(action);
    // The button carries the tool button's component name, whichever action it shows.
    if (QWidget* button = m_toolBar->widgetForAction(action)) {
        button->setObjectName(QLatin1String(name));
        button->setFixedSize(30, 26);
    }
    m_commands.byName.insert(QLatin1String(name), action);
}

void MainWindow::buildMainMenu()
{
    CommandRegistry& c = m_commands;
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* file = bar->addMenu(QStringLiteral("Файл"));
    file->setObjectName(QStringLiteral("fileMenu"));
    c.newOutline = addItem(file, "N47", QStringLiteral("Новый"));
    c.open = addItem(file, "N48", QStringLiteral("Открыть"));
    file->addSeparator();
    c.saveItem = addItem(file, "N49", QStringLiteral("Сохранить"), Disabled);
    c.saveItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    c.saveAs = addItem(file, "N50", QStringLiteral("Сохранить как..."), Disabled);
    c.exportPicture = addItem(file, "N53", QStringLiteral("Сохранить как рисунок"), Disabled);
    c.exportWebPage = addItem(file, "exportWebPage", QStringLiteral("Сохранить как веб-страницу..."), Disabled);
    file->addSeparator();
    c.print = addItem(file, "N302", QStringLiteral("Печать..."), Disabled);
    c.print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    c.printPreview = addItem(file, "N303", QStringLiteral("Предварительный просмотр"), Disabled);
    auto* printing = new OutlinePrinting(*this, m_canvas, this);
    connect(c.print, &QAction::triggered, this, [this, printing] { runGuarded(this, [printing] { printing->print(); }); });
    connect(c.printPreview, &QAction::triggered, this,
            [this, printing] { runGuarded(this, [printing] { printing->preview(); }); });
    file->addSeparator();
    c.close = addItem(file, "N51", QStringLiteral("Закрыть"), Disabled);
    file->addSeparator();
    c.exit = addItem(file, "N55", QStringLiteral("Выход"));

    QMenu* edit = bar->addMenu(QStringLiteral("Правка"));
    edit->setObjectName(QStringLiteral("editMenu"));
    c.undo = addItem(edit, "N77", QStringLiteral("Отменить действие"), Disabled);
    c.undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    c.redo = addItem(edit, "N78", QStringLiteral("Повторить действие"), Disabled);
    c.redo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));

    QMenu* service = bar->addMenu(QStringLiteral("Сервис"));
    service->setObjectName(QStringLiteral("serviceMenu"));
    c.summary = addItem(service, "N110", QStringLiteral("Минимальный текст"));
    service->addSeparator();
    c.frameOverlayItem = addItem(service, "N112", QStringLiteral("Последовательность фреймов"));
    c.objectOverlayItem = addItem(service, "N113", QStringLiteral("Последовательность объектов"));
    service->addSeparator();
    c.moveEarlierItem = addItem(service, "N115", QStringLiteral("Переместить вперед"), Hidden | Disabled);
    c.moveLaterItem = addItem(service, "N116", QStringLiteral("Переместить назад"), Hidden | Disabled);
    service->addSeparator();
    c.present = addItem(service, "N301", QStringLiteral("Показ конспекта"));
    c.present->setShortcut(QKeySequence(Qt::Key_F5));
    connect(c.present, &QAction::triggered, this, [this] {
        runGuarded(this, [this] { PresentationWindow::present(document(), canvas()->size(), this); });
    });
    QAction* fromFrame = addItem(service, "presentFromFrame", QStringLiteral("Показ с выбранного фрейма"));
    fromFrame->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F5));
    connect(fromFrame, &QAction::triggered, this, [this] {
        runGuarded(this, [this] {
            // The frame around the selection: the black set's frame, or the one holding the object.
            const InteractionState& chosen = document().interaction;
            const Outline& o = document().outline;
            ObjectId start = 0;
            for (ObjectId id : {chosen.outerSelection, chosen.currentObject}) {
                if (!id || !o.find(id).isValid())
                    continue;
                if (o.kindOf(id) == ObjectKind::Frame) {
                    start = id;
                    break;
                }
            }
            PresentationWindow::present(document(), canvas()->size(), this, start);
        });
    });

    QMenu* settings = bar->addMenu(QStringLiteral("Настройки"));
    settings->setObjectName(QStringLiteral("settingsMenu"));
    settings->menuAction()->setObjectName(QStringLiteral("settingsMenu"));
    c.settingsMenu = settings->menuAction();
    c.byName.insert(settings->objectName(), c.settingsMenu);
    c.canvasColourItem = addItem(settings, "N18", QStringLiteral("Цвет фона"));
    c.resetCanvasColour = addItem(settings, "N69", QStringLiteral("Сброс цвета"));
    c.editModeItem = addItem(settings, "N61", QStringLiteral("Перемещение"), Checked);
    settings->addSeparator();
    c.frameTitlesItem = addItem(settings, "N60", QStringLiteral("Название фрейма"), Checked | Disabled);
    c.stretchSettingsItem = addItem(settings, "N64", QStringLiteral("Масштабирование рисунка"), Checked | Hidden | Disabled);
    c.zoomItem = addItem(settings, "N79", QStringLiteral("Масштабирование конспекта"), Checked);
    settings->addSeparator();
    QMenu* grid = addSubmenu(settings, "gridMenu", QStringLiteral("Привязка к сетке"));
    c.gridItem = addItem(grid, "N80", QStringLiteral("Привязать к сетке"), Checked);
    grid->addSeparator();
    c.growGrid = addItem(grid, "N211", QStringLiteral("Увеличить сетку  2+1"));
    c.shrinkGrid = addItem(grid, "N212", QStringLiteral("Уменьшить сетку 2-1"));

    QMenu* help = bar->addMenu(QStringLiteral("Справка"));
    help->setObjectName(QStringLiteral("helpMenu"));
    c.help = addItem(help, "N62", QStringLiteral("Помощь"));
    c.webHelp = addItem(help, "Web1", QStringLiteral("Web помощь"), Hidden);
    c.about = addItem(help, "N68", QStringLiteral("О программе"));
}

void MainWindow::buildToolBar()
{
    CommandRegistry& c = m_commands;
    m_toolBar = new QToolBar(QStringLiteral("ToolBar1"));
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(20, 20));
    m_toolBar->setContentsMargins(0, 0, 0, 0);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_canvas->setToolBar(m_toolBar);

    shareButton(c.newOutline, "ToolButton1", "new", QStringLiteral("Создать новый логический конспект (по умолчанию)"));
    shareButton(c.open, "ToolButton2", "open", QStringLiteral("Открыть"));
    c.saveButton = addButton("ToolButton3", "save", QStringLiteral("Сохранить"), Disabled);
    m_toolBar->addSeparator();
    shareButton(c.saveAs, "ToolButton5", "save_as", QStringLiteral("Сохранить как..."));
    shareButton(c.exportPicture, "ToolButton7", "save_picture", QStringLiteral("Сохранить как рисунок..."));
    m_toolBar->addSeparator();
    shareButton(c.undo, "ToolButton10", "undo", QStringLiteral("Отменить"));
    shareButton(c.redo, "ToolButton18", "redo", QStringLiteral("Вернуть"));
    m_toolBar->addSeparator();
    c.editModeButton = addButton("ToolButton11", "edit_mode", QStringLiteral("Редактирование"), Checked | Disabled);
    c.gridButton = addButton("ToolButton20", "grid", QStringLiteral("Привязать к сетке"), Checked | Disabled);
    m_toolBar->addSeparator();
    c.zoomButton = addButton("ToolButton19", "zoom_outline", QStringLiteral("Масштабирование логического конспекта"), Checked | Disabled);
    c.frameTitlesButton = addButton("ToolButton9", "frame_titles", QStringLiteral("Отображать названия фреймов"), Checkable | Disabled);
    c.stretchButton = addButton("ToolButton12", "picture_scaling", QString(), Checkable | Hidden | Disabled);
    shareButton(c.summary, "ToolButton21", "minimal_text", QStringLiteral("Минимальный текст"));
    m_toolBar->addSeparator();
    c.objectOverlayButton = addButton("ToolButton22", "object_sequence", QString(), Checkable);
    c.frameOverlayButton = addButton("ToolButton26", "frame_sequence", QString(), Checkable);
    m_toolBar->addSeparator();
    c.moveEarlierButton = addButton("ToolButton24", "move_earlier", QString(), Disabled);
    c.moveLaterButton = addButton("ToolButton23", "move_later", QString(), Disabled);
    m_toolBar->addSeparator();
    c.canvasColourButton = addButton("ToolButton14", "background_colour", QStringLiteral("Цвет фона"), Disabled);
    m_toolBar->addSeparator();
    shareButton(c.help, "ToolButton16", "help", QStringLiteral("Помощь"));
    m_toolBar->addSeparator();
    shareButton(c.present, "ToolButton31", "present", QStringLiteral("Показ конспекта"));
}

void MainWindow::buildPopupMenus()
{
    CommandRegistry& c = m_commands;
    QMenu* canvasMenu = c.canvasMenu = addPopup("PopupMenu1");
    c.createFrame = addItem(canvasMenu, "N1", QStringLiteral("Создать фрейм"));
    c.createPictureOnCanvas = addItem(canvasMenu, "N2", QStringLiteral("Создать рисунок"), Hidden);
    c.createCaptionOnCanvas = addItem(canvasMenu, "N39", QStringLiteral("Создать надпись"), Hidden);
    c.createArrow = addItem(canvasMenu, "N73", QStringLiteral("Создать стрелку"));
    c.createVideoOnCanvas = addItem(canvasMenu, "N25", QStringLiteral("Создать видео фрагмент"), Hidden);
    canvasMenu->addSeparator();
    c.canvasColourPopupItem = addItem(canvasMenu, "N20", QStringLiteral("Цвет фона"));

    QMenu* frameMenu = c.frameMenu = addPopup("PopupMenu2");
    c.createPicture = addItem(frameMenu, "N3", QStringLiteral("Создать рисунок"));
    c.createCaption = addItem(frameMenu, "N45", QStringLiteral("Создать надпись"), Hidden);
    c.createTextField = addItem(frameMenu, "N86", QStringLiteral("Создать текстовое поле"));
    c.createVideo = addItem(frameMenu, "N37", QStringLiteral("Создать видео фрагмент"));
    frameMenu->addSeparator();
    c.frameMinimalText = addItem(frameMenu, "N98", QStringLiteral("Минимальный текст"));
    frameMenu->addSeparator();
    c.frameTitlePopupItem = addItem(frameMenu, "Y1", QStringLiteral("Название фрейма"), Checkable);
    c.renameFrame = addItem(frameMenu, "N36", QStringLiteral("Переименовать фрейм"));
    c.frameColour = addItem(frameMenu, "N19", QStringLiteral("Цвет фрейма"));
    c.frameTitleColour = addItem(frameMenu, "N71", QStringLiteral("Цвет надписи"));
    c.resetFrameColours = addItem(frameMenu, "N70", QStringLiteral("Сброс цвета"));
    frameMenu->addSeparator();
    QMenu* inner = addSubmenu(frameMenu, "N7", QStringLiteral("Внутренний бордюр"));
    c.innerBevelNone = addItem(inner, "N11", QStringLiteral("Нет"));
    c.innerBevelLowered = addItem(inner, "N21", QStringLiteral("Вдавлен"));
    c.innerBevelRaised = addItem(inner, "N31", QStringLiteral("Выпуклый"));
    QMenu* middle = addSubmenu(frameMenu, "N9", QStringLiteral("Средний бордюр"));
    c.borderLineNone = addItem(middle, "N13", QStringLiteral("Нет"));
    c.borderLineSingle = addItem(middle, "N23", QStringLiteral("Есть"));
    QMenu* outer = addSubmenu(frameMenu, "N8", QStringLiteral("Внешний бордюр"));
    c.outerBevelNone = addItem(outer, "N12", QStringLiteral("Нет"));
    c.outerBevelLowered = addItem(outer, "N22", QStringLiteral("Вдавлен"));
    c.outerBevelRaised = addItem(outer, "N32", QStringLiteral("Выпуклый"));
    frameMenu->addSeparator();
    c.deleteFrame = addItem(frameMenu, "N5", QStringLiteral("Удалить"));

    QMenu* pictureMenu = c.pictureMenu = addPopup("PopupMenu3");
    c.editPicture = addItem(pictureMenu, "N58", QStringLiteral("Редактировать"));
    c.openPicture = addItem(pictureMenu, "N38", QStringLiteral("Открыть рисунок"));
    QMenu* order = addSubmenu(pictureMenu, "N106", QStringLiteral("Изменить последовательность"));
    c.pictureLater = addItem(order, "N107", QStringLiteral("Вперед"));
    c.pictureEarlier = addItem(order, "N108", QStringLiteral("Назад"));
    pictureMenu->addSeparator();
    c.pictureMinimalText = addItem(pictureMenu, "N100", QStringLiteral("Минимальный текст"));
    pictureMenu->addSeparator();
    c.pictureFullScreen = addItem(pictureMenu, "N84", QStringLiteral("Во весь экран"));
    pictureMenu->addSeparator();
    QMenu* border = addSubmenu(pictureMenu, "N14", QStringLiteral("Бордюр"));
    c.pictureBorderNone = addItem(border, "N16", QStringLiteral("Нет"), Checkable);
    c.pictureBorderSingle = addItem(border, "N17", QStringLiteral("Есть"), Checkable);
    c.stretchPopupItem = addItem(pictureMenu, "N59", QStringLiteral("Масштабирование"), Hidden | Checkable);
    pictureMenu->addSeparator();
    c.deletePicture = addItem(pictureMenu, "N6", QStringLiteral("Удалить"));

    QMenu* videoMenu = c.videoMenu = addPopup("PopupMenu4");
    c.openVideoFile = addItem(videoMenu, "N26", QStringLiteral("Открыть файл"));
    videoMenu->addSeparator();
    c.videoMinimalText = addItem(videoMenu, "N103", QStringLiteral("Минимальный текст"));
    videoMenu->addSeparator();
    c.playerButtons = addItem(videoMenu, "N34", QStringLiteral("Кнопки плеера"), Hidden | Checked);
    c.videoFullScreen = addItem(videoMenu, "N82", QStringLiteral("Во весь экран"));
    videoMenu->addSeparator();
    c.playVideo = addItem(videoMenu, "N27", QStringLiteral("Воспроизвести"));
    c.pauseVideo = addItem(videoMenu, "N29", QStringLiteral("Пауза"));
    c.stopVideo = addItem(videoMenu, "N28", QStringLiteral("Стоп"));
    videoMenu->addSeparator();
    c.deleteVideo = addItem(videoMenu, "N30", QStringLiteral("Удалить"));

    QMenu* captionMenu = c.captionMenu = addPopup("PopupMenu5");
    c.captionFont = addItem(captionMenu, "N40", QStringLiteral("Шрифт"));
    c.captionText = addItem(captionMenu, "N43", QStringLiteral("Изменить текст"));
    c.captionColour = addItem(captionMenu, "N44", QStringLiteral("Цвет фона"));
    c.resetCaptionColours = addItem(captionMenu, "N72", QStringLiteral("Сброс цвета"));
    captionMenu->addSeparator();
    c.deleteCaption = addItem(captionMenu, "N42", QStringLiteral("Удалить"));

    QMenu* arrowMenu = c.arrowMenu = addPopup("PopupMenu6");
    c.arrowColour = addItem(arrowMenu, "N74", QStringLiteral("Изменить цвет"));
    c.arrowThicker = addItem(arrowMenu, "N75", QStringLiteral("Увеличить толщину"));
    c.arrowThinner = addItem(arrowMenu, "N88", QStringLiteral("Уменьшить толщину"));
    arrowMenu->addSeparator();
    c.deleteArrow = addItem(arrowMenu, "N90", QStringLiteral("Удалить"));

    QMenu* textMenu = c.textFieldMenu = addPopup("PopupMenu7");
    c.textFieldFont = addItem(textMenu, "MenuItem1", QStringLiteral("Шрифт"));
    QMenu* align = addSubmenu(textMenu, "N93", QStringLiteral("Выравнивание текста"));
    c.alignLeft = addItem(align, "N94", QStringLiteral("По левому краю"));
    c.alignCentre = addItem(align, "N95", QStringLiteral("По центру"));
    c.alignRight = addItem(align, "N96", QStringLiteral("По правому краю"));
    c.fitTextField = addItem(textMenu, "N87", QStringLiteral("Выровнять рамку"));
    textMenu->addSeparator();
    c.textFieldMinimalText = addItem(textMenu, "N104", QStringLiteral("Минимальный текст"));
    textMenu->addSeparator();
    c.textFieldColour = addItem(textMenu, "MenuItem3", QStringLiteral("Цвет фона"));
    c.resetTextFieldColours = addItem(textMenu, "MenuItem4", QStringLiteral("Сброс цвета"));
    textMenu->addSeparator();
    c.deleteTextField = addItem(textMenu, "MenuItem6", QStringLiteral("Удалить"));
}

}  // namespace velmar
