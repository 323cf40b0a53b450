// The main window's command surface: main menu, tool bar and the seven pop-up menus, each
// command carrying its component name as objectName, gathered into the command registry.
#include "app/language_menu.h"
#include "app/main_window.h"
#include "canvas/canvas_widget.h"
#include "export/outline_print.h"
#include "platform/command_guard.h"
#include "show/presentation_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace velmar {

namespace {

QIcon toolIcon(const char* name) { return QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(name))); }

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

    QMenu* file = bar->addMenu(QCoreApplication::translate("MainWindow", "Файл"));
    file->setObjectName(QStringLiteral("fileMenu"));
    c.newOutline = addItem(file, "N47", QCoreApplication::translate("MainWindow", "Новый"));
    c.open = addItem(file, "N48", QCoreApplication::translate("MainWindow", "Открыть"));
    file->addSeparator();
    c.saveItem = addItem(file, "N49", QCoreApplication::translate("MainWindow", "Сохранить"), Disabled);
    c.saveItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    c.saveAs = addItem(file, "N50", QCoreApplication::translate("MainWindow", "Сохранить как..."), Disabled);
    c.exportPicture =
        addItem(file, "N53", QCoreApplication::translate("MainWindow", "Сохранить как рисунок"), Disabled);
    c.exportWebPage = addItem(file, "exportWebPage",
                              QCoreApplication::translate("MainWindow", "Сохранить как веб-страницу..."), Disabled);
    file->addSeparator();
    c.print = addItem(file, "N302", QCoreApplication::translate("MainWindow", "Печать..."), Disabled);
    c.print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    c.printPreview =
        addItem(file, "N303", QCoreApplication::translate("MainWindow", "Предварительный просмотр"), Disabled);
    auto* printing = new OutlinePrinting(*this, m_canvas, this);
    connect(c.print, &QAction::triggered, this,
            [this, printing] { runGuarded(this, [printing] { printing->print(); }); });
    connect(c.printPreview, &QAction::triggered, this,
            [this, printing] { runGuarded(this, [printing] { printing->preview(); }); });
    file->addSeparator();
    c.close = addItem(file, "N51", QCoreApplication::translate("MainWindow", "Закрыть"), Disabled);
    file->addSeparator();
    c.exit = addItem(file, "N55", QCoreApplication::translate("MainWindow", "Выход"));

    QMenu* edit = bar->addMenu(QCoreApplication::translate("MainWindow", "Правка"));
    edit->setObjectName(QStringLiteral("editMenu"));
    c.undo = addItem(edit, "N77", QCoreApplication::translate("MainWindow", "Отменить действие"), Disabled);
    c.undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    c.redo = addItem(edit, "N78", QCoreApplication::translate("MainWindow", "Повторить действие"), Disabled);
    c.redo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));

    QMenu* service = bar->addMenu(QCoreApplication::translate("MainWindow", "Сервис"));
    service->setObjectName(QStringLiteral("serviceMenu"));
    c.summary = addItem(service, "N110", QCoreApplication::translate("MainWindow", "Минимальный текст"));
    service->addSeparator();
    c.frameOverlayItem =
        addItem(service, "N112", QCoreApplication::translate("MainWindow", "Последовательность фреймов"));
    c.objectOverlayItem =
        addItem(service, "N113", QCoreApplication::translate("MainWindow", "Последовательность объектов"));
    service->addSeparator();
    c.moveEarlierItem =
        addItem(service, "N115", QCoreApplication::translate("MainWindow", "Переместить вперед"), Hidden | Disabled);
    c.moveLaterItem =
        addItem(service, "N116", QCoreApplication::translate("MainWindow", "Переместить назад"), Hidden | Disabled);
    service->addSeparator();
    c.present = addItem(service, "N301", QCoreApplication::translate("MainWindow", "Показ конспекта"));
    c.present->setShortcut(QKeySequence(Qt::Key_F5));
    connect(c.present, &QAction::triggered, this, [this] { runGuarded(this, [this] { startShow(0); }); });
    QAction* fromFrame =
        addItem(service, "presentFromFrame", QCoreApplication::translate("MainWindow", "Показ с выбранного фрейма"));
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
            startShow(start);
        });
    });

    QMenu* settings = bar->addMenu(QCoreApplication::translate("MainWindow", "Настройки"));
    settings->setObjectName(QStringLiteral("settingsMenu"));
    settings->menuAction()->setObjectName(QStringLiteral("settingsMenu"));
    c.settingsMenu = settings->menuAction();
    c.byName.insert(settings->objectName(), c.settingsMenu);
    c.canvasColourItem = addItem(settings, "N18", QCoreApplication::translate("MainWindow", "Цвет фона"));
    c.resetCanvasColour = addItem(settings, "N69", QCoreApplication::translate("MainWindow", "Сброс цвета"));
    c.editModeItem = addItem(settings, "N61", QCoreApplication::translate("MainWindow", "Перемещение"), Checked);
    settings->addSeparator();
    c.frameTitlesItem =
        addItem(settings, "N60", QCoreApplication::translate("MainWindow", "Название фрейма"), Checked | Disabled);
    c.stretchSettingsItem =
        addItem(settings, "N64", QCoreApplication::translate("MainWindow", "Масштабирование рисунка"),
                Checked | Hidden | Disabled);
    c.zoomItem =
        addItem(settings, "N79", QCoreApplication::translate("MainWindow", "Масштабирование конспекта"), Checked);
    settings->addSeparator();
    QMenu* grid = addSubmenu(settings, "gridMenu", QCoreApplication::translate("MainWindow", "Привязка к сетке"));
    c.gridItem = addItem(grid, "N80", QCoreApplication::translate("MainWindow", "Привязать к сетке"), Checked);
    grid->addSeparator();
    c.growGrid = addItem(grid, "N211", QCoreApplication::translate("MainWindow", "Увеличить сетку  2+1"));
    c.shrinkGrid = addItem(grid, "N212", QCoreApplication::translate("MainWindow", "Уменьшить сетку 2-1"));
    settings->addSeparator();
    QMenu* language = addLanguageMenu(settings, this);
    c.byName.insert(language->objectName(), language->menuAction());
    c.menusByName.insert(language->objectName(), language);
    for (QAction* choice : language->actions())
        c.byName.insert(choice->objectName(), choice);

    QMenu* help = bar->addMenu(QCoreApplication::translate("MainWindow", "Справка"));
    help->setObjectName(QStringLiteral("helpMenu"));
    c.help = addItem(help, "N62", QCoreApplication::translate("MainWindow", "Помощь"));
    c.webHelp = addItem(help, "Web1", QCoreApplication::translate("MainWindow", "Web помощь"), Hidden);
    c.about = addItem(help, "N68", QCoreApplication::translate("MainWindow", "О программе"));
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

    shareButton(c.newOutline, "ToolButton1", "new",
                QCoreApplication::translate("MainWindow", "Создать новый логический конспект (по умолчанию)"));
    shareButton(c.open, "ToolButton2", "open", QCoreApplication::translate("MainWindow", "Открыть"));
    c.saveButton = addButton("ToolButton3", "save", QCoreApplication::translate("MainWindow", "Сохранить"), Disabled);
    m_toolBar->addSeparator();
    shareButton(c.saveAs, "ToolButton5", "save_as", QCoreApplication::translate("MainWindow", "Сохранить как..."));
    shareButton(c.exportPicture, "ToolButton7", "save_picture",
                QCoreApplication::translate("MainWindow", "Сохранить как рисунок..."));
    m_toolBar->addSeparator();
    shareButton(c.undo, "ToolButton10", "undo", QCoreApplication::translate("MainWindow", "Отменить"));
    shareButton(c.redo, "ToolButton18", "redo", QCoreApplication::translate("MainWindow", "Вернуть"));
    m_toolBar->addSeparator();
    c.editModeButton = addButton("ToolButton11", "edit_mode",
                                 QCoreApplication::translate("MainWindow", "Редактирование"), Checked | Disabled);
    c.gridButton = addButton("ToolButton20", "grid", QCoreApplication::translate("MainWindow", "Привязать к сетке"),
                             Checked | Disabled);
    m_toolBar->addSeparator();
    c.zoomButton = addButton("ToolButton19", "zoom_outline",
                             QCoreApplication::translate("MainWindow", "Масштабирование логического конспекта"),
                             Checked | Disabled);
    c.frameTitlesButton =
        addButton("ToolButton9", "frame_titles",
                  QCoreApplication::translate("MainWindow", "Отображать названия фреймов"), Checkable | Disabled);
    c.stretchButton = addButton("ToolButton12", "picture_scaling", QString(), Checkable | Hidden | Disabled);
    shareButton(c.summary, "ToolButton21", "minimal_text",
                QCoreApplication::translate("MainWindow", "Минимальный текст"));
    m_toolBar->addSeparator();
    c.objectOverlayButton =
        addButton("ToolButton22", "object_sequence",
                  QCoreApplication::translate("MainWindow", "Последовательность объектов"), Checkable);
    c.frameOverlayButton =
        addButton("ToolButton26", "frame_sequence",
                  QCoreApplication::translate("MainWindow", "Последовательность фреймов"), Checkable);
    m_toolBar->addSeparator();
    c.moveEarlierButton = addButton("ToolButton24", "move_earlier",
                                    QCoreApplication::translate("MainWindow", "Переместить вперед"), Disabled);
    c.moveLaterButton = addButton("ToolButton23", "move_later",
                                  QCoreApplication::translate("MainWindow", "Переместить назад"), Disabled);
    m_toolBar->addSeparator();
    c.canvasColourButton = addButton("ToolButton14", "background_colour",
                                     QCoreApplication::translate("MainWindow", "Цвет фона"), Disabled);
    m_toolBar->addSeparator();
    shareButton(c.help, "ToolButton16", "help", QCoreApplication::translate("MainWindow", "Помощь"));
    m_toolBar->addSeparator();
    shareButton(c.present, "ToolButton31", "present", QCoreApplication::translate("MainWindow", "Показ конспекта"));
}

void MainWindow::buildPopupMenus()
{
    CommandRegistry& c = m_commands;
    QMenu* canvasMenu = c.canvasMenu = addPopup("PopupMenu1");
    c.createFrame = addItem(canvasMenu, "N1", QCoreApplication::translate("MainWindow", "Создать фрейм"));
    c.createPictureOnCanvas =
        addItem(canvasMenu, "N2", QCoreApplication::translate("MainWindow", "Создать рисунок"), Hidden);
    c.createCaptionOnCanvas =
        addItem(canvasMenu, "N39", QCoreApplication::translate("MainWindow", "Создать надпись"), Hidden);
    c.createArrow = addItem(canvasMenu, "N73", QCoreApplication::translate("MainWindow", "Создать стрелку"));
    c.createVideoOnCanvas =
        addItem(canvasMenu, "N25", QCoreApplication::translate("MainWindow", "Создать видео фрагмент"), Hidden);
    canvasMenu->addSeparator();
    c.canvasColourPopupItem = addItem(canvasMenu, "N20", QCoreApplication::translate("MainWindow", "Цвет фона"));

    QMenu* frameMenu = c.frameMenu = addPopup("PopupMenu2");
    c.createPicture = addItem(frameMenu, "N3", QCoreApplication::translate("MainWindow", "Создать рисунок"));
    c.createCaption = addItem(frameMenu, "N45", QCoreApplication::translate("MainWindow", "Создать надпись"), Hidden);
    c.createTextField = addItem(frameMenu, "N86", QCoreApplication::translate("MainWindow", "Создать текстовое поле"));
    c.createVideo = addItem(frameMenu, "N37", QCoreApplication::translate("MainWindow", "Создать видео фрагмент"));
    frameMenu->addSeparator();
    c.frameMinimalText = addItem(frameMenu, "N98", QCoreApplication::translate("MainWindow", "Минимальный текст"));
    frameMenu->addSeparator();
    c.frameTitlePopupItem =
        addItem(frameMenu, "Y1", QCoreApplication::translate("MainWindow", "Название фрейма"), Checkable);
    c.renameFrame = addItem(frameMenu, "N36", QCoreApplication::translate("MainWindow", "Переименовать фрейм"));
    c.frameColour = addItem(frameMenu, "N19", QCoreApplication::translate("MainWindow", "Цвет фрейма"));
    c.frameTitleColour = addItem(frameMenu, "N71", QCoreApplication::translate("MainWindow", "Цвет надписи"));
    c.resetFrameColours = addItem(frameMenu, "N70", QCoreApplication::translate("MainWindow", "Сброс цвета"));
    frameMenu->addSeparator();
    QMenu* inner = addSubmenu(frameMenu, "N7", QCoreApplication::translate("MainWindow", "Внутренний бордюр"));
    c.innerBevelNone = addItem(inner, "N11", QCoreApplication::translate("MainWindow", "Нет"));
    c.innerBevelLowered = addItem(inner, "N21", QCoreApplication::translate("MainWindow", "Вдавлен"));
    c.innerBevelRaised = addItem(inner, "N31", QCoreApplication::translate("MainWindow", "Выпуклый"));
    QMenu* middle = addSubmenu(frameMenu, "N9", QCoreApplication::translate("MainWindow", "Средний бордюр"));
    c.borderLineNone = addItem(middle, "N13", QCoreApplication::translate("MainWindow", "Нет"));
    c.borderLineSingle = addItem(middle, "N23", QCoreApplication::translate("MainWindow", "Есть"));
    QMenu* outer = addSubmenu(frameMenu, "N8", QCoreApplication::translate("MainWindow", "Внешний бордюр"));
    c.outerBevelNone = addItem(outer, "N12", QCoreApplication::translate("MainWindow", "Нет"));
    c.outerBevelLowered = addItem(outer, "N22", QCoreApplication::translate("MainWindow", "Вдавлен"));
    c.outerBevelRaised = addItem(outer, "N32", QCoreApplication::translate("MainWindow", "Выпуклый"));
    frameMenu->addSeparator();
    c.deleteFrame = addItem(frameMenu, "N5", QCoreApplication::translate("MainWindow", "Удалить"));

    QMenu* pictureMenu = c.pictureMenu = addPopup("PopupMenu3");
    c.editPicture = addItem(pictureMenu, "N58", QCoreApplication::translate("MainWindow", "Редактировать"));
    c.openPicture = addItem(pictureMenu, "N38", QCoreApplication::translate("MainWindow", "Открыть рисунок"));
    QMenu* order =
        addSubmenu(pictureMenu, "N106", QCoreApplication::translate("MainWindow", "Изменить последовательность"));
    c.pictureLater = addItem(order, "N107", QCoreApplication::translate("MainWindow", "Вперед"));
    c.pictureEarlier = addItem(order, "N108", QCoreApplication::translate("MainWindow", "Назад"));
    pictureMenu->addSeparator();
    c.pictureMinimalText = addItem(pictureMenu, "N100", QCoreApplication::translate("MainWindow", "Минимальный текст"));
    pictureMenu->addSeparator();
    c.pictureFullScreen = addItem(pictureMenu, "N84", QCoreApplication::translate("MainWindow", "Во весь экран"));
    pictureMenu->addSeparator();
    QMenu* border = addSubmenu(pictureMenu, "N14", QCoreApplication::translate("MainWindow", "Бордюр"));
    c.pictureBorderNone = addItem(border, "N16", QCoreApplication::translate("MainWindow", "Нет"), Checkable);
    c.pictureBorderSingle = addItem(border, "N17", QCoreApplication::translate("MainWindow", "Есть"), Checkable);
    c.stretchPopupItem =
        addItem(pictureMenu, "N59", QCoreApplication::translate("MainWindow", "Масштабирование"), Hidden | Checkable);
    pictureMenu->addSeparator();
    c.deletePicture = addItem(pictureMenu, "N6", QCoreApplication::translate("MainWindow", "Удалить"));

    QMenu* videoMenu = c.videoMenu = addPopup("PopupMenu4");
    c.openVideoFile = addItem(videoMenu, "N26", QCoreApplication::translate("MainWindow", "Открыть файл"));
    videoMenu->addSeparator();
    c.videoMinimalText = addItem(videoMenu, "N103", QCoreApplication::translate("MainWindow", "Минимальный текст"));
    videoMenu->addSeparator();
    c.playerButtons =
        addItem(videoMenu, "N34", QCoreApplication::translate("MainWindow", "Кнопки плеера"), Hidden | Checked);
    c.videoFullScreen = addItem(videoMenu, "N82", QCoreApplication::translate("MainWindow", "Во весь экран"));
    videoMenu->addSeparator();
    c.playVideo = addItem(videoMenu, "N27", QCoreApplication::translate("MainWindow", "Воспроизвести"));
    c.pauseVideo = addItem(videoMenu, "N29", QCoreApplication::translate("MainWindow", "Пауза"));
    c.stopVideo = addItem(videoMenu, "N28", QCoreApplication::translate("MainWindow", "Стоп"));
    videoMenu->addSeparator();
    c.deleteVideo = addItem(videoMenu, "N30", QCoreApplication::translate("MainWindow", "Удалить"));

    QMenu* captionMenu = c.captionMenu = addPopup("PopupMenu5");
    c.captionFont = addItem(captionMenu, "N40", QCoreApplication::translate("MainWindow", "Шрифт"));
    c.captionText = addItem(captionMenu, "N43", QCoreApplication::translate("MainWindow", "Изменить текст"));
    c.captionColour = addItem(captionMenu, "N44", QCoreApplication::translate("MainWindow", "Цвет фона"));
    c.resetCaptionColours = addItem(captionMenu, "N72", QCoreApplication::translate("MainWindow", "Сброс цвета"));
    captionMenu->addSeparator();
    c.deleteCaption = addItem(captionMenu, "N42", QCoreApplication::translate("MainWindow", "Удалить"));

    QMenu* arrowMenu = c.arrowMenu = addPopup("PopupMenu6");
    c.arrowColour = addItem(arrowMenu, "N74", QCoreApplication::translate("MainWindow", "Изменить цвет"));
    c.arrowThicker = addItem(arrowMenu, "N75", QCoreApplication::translate("MainWindow", "Увеличить толщину"));
    c.arrowThinner = addItem(arrowMenu, "N88", QCoreApplication::translate("MainWindow", "Уменьшить толщину"));
    arrowMenu->addSeparator();
    c.deleteArrow = addItem(arrowMenu, "N90", QCoreApplication::translate("MainWindow", "Удалить"));

    QMenu* textMenu = c.textFieldMenu = addPopup("PopupMenu7");
    c.textFieldFont = addItem(textMenu, "MenuItem1", QCoreApplication::translate("MainWindow", "Шрифт"));
    QMenu* align = addSubmenu(textMenu, "N93", QCoreApplication::translate("MainWindow", "Выравнивание текста"));
    c.alignLeft = addItem(align, "N94", QCoreApplication::translate("MainWindow", "По левому краю"));
    c.alignCentre = addItem(align, "N95", QCoreApplication::translate("MainWindow", "По центру"));
    c.alignRight = addItem(align, "N96", QCoreApplication::translate("MainWindow", "По правому краю"));
    c.fitTextField = addItem(textMenu, "N87", QCoreApplication::translate("MainWindow", "Выровнять рамку"));
    textMenu->addSeparator();
    c.textFieldMinimalText = addItem(textMenu, "N104", QCoreApplication::translate("MainWindow", "Минимальный текст"));
    textMenu->addSeparator();
    c.textFieldColour = addItem(textMenu, "MenuItem3", QCoreApplication::translate("MainWindow", "Цвет фона"));
    c.resetTextFieldColours = addItem(textMenu, "MenuItem4", QCoreApplication::translate("MainWindow", "Сброс цвета"));
    textMenu->addSeparator();
    c.deleteTextField = addItem(textMenu, "MenuItem6", QCoreApplication::translate("MainWindow", "Удалить"));
}

}  // namespace velmar
