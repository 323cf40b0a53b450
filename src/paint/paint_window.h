#pragma once

#include "paint/core/paint_document.h"
#include "paint/editor/paint_editor.h"
#include "paint/paint_commands.h"
#include "paint/tools/paint_tool.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <optional>
#include <span>

class QLabel;
class QListWidget;
class QMenu;
class QSplitter;

namespace velmar::paint {

class ColourStrip;
class PictureBrowser;
class ToolColumn;
class WorkArea;

// The graphic editor window (Form2, "Графический редактор"): the tool column on the left, the
// work area with the picture, the browser column behind the splitter on the right, the colour
// strip at the bottom and the ten-panel status bar. It edits one picture at a time: editPicture()
// shows it on a copy of the picture, and closing the window hands the edited picture back through
// editingFinished(). The window lives for the whole run and keeps its settings between openings.
class PaintWindow : public QMainWindow, public PaintHost {
    Q_OBJECT
public:
    static constexpr int kStatusPanels = 10;

    explicit PaintWindow(QWidget* parent = nullptr);
    ~PaintWindow() override;

    // Opens the editor on a copy of picture (1:1, 32 bits per pixel) and activates it: empty
    // history with the picture as its first state, zoom 1, the pencil.
    void editPicture(const QImage& picture);
    bool isEditing() const { return m_editing; }

    PaintDocument& document() { return m_doc; }
    PaintEditor& editor() { return m_editor; }
    WorkArea* workArea() const { return m_workArea; }
    ToolColumn* toolColumn() const { return m_tools; }
    ColourStrip* colourStrip() const { return m_colours; }
    PictureBrowser* browser() const { return m_browser; }
    // "Сохранить" has had a file name chosen since the last "Создать" or opening of the editor.
    bool savedOnce() const { return m_savedOnce; }
    // The text of status panel i (0..9).
    QString statusText(int i) const;
    // The window's commands by typed id; action() finds one by its objectName or its typed id's
    // name, for reports.
    const PaintCommands& commands() const { return m_commands; }
    QAction* command(PaintCommand id) const { return m_commands.action(id); }
    QAction* action(const QString& name) const;
    // The selection frame's pop-up menu (PopupMenu1).
    QMenu* frameMenu() const { return m_commands.menu(PaintMenu::Frame); }
    // Every menu and item of the window: where it sits, what it runs, what its state follows.
    static std::span<const CommandRow<PaintWindow>> commandTable();

    // Asks for a new size in the resize dialog; tests put a scripted answer in its place.
    using SizeQuestion = std::function<std::optional<QSize>(QWidget* parent, QSize original)>;
    void setSizeQuestion(SizeQuestion question) { m_askSize = std::move(question); }

    // PaintHost
    QStringList textBoxLines() const override;
    void clearTextBox() override;

signals:
    // The window closed; picture is the edited picture, modified whether an edit was recorded.
    void editingFinished(const QImage& picture, bool modified);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Menus and the frame's pop-up menu from the command table, their handlers connected, their
    // states following the piece, the clipboard and the history.
    void buildCommands();
    void showCommandStates();
    // The edit commands (paint_window_edit.cpp): the "Правка" items and the frame's pop-up menu
    // run the same functions.
    void showFrameMenu(const QPoint& globalPos);
    void copyCommand();
    void cutCommand();
    void pasteCommand();
    void copyToFileCommand();
    void pasteFromFileCommand();
    // The "Рисунок" menu (paint_window_picture.cpp): a command on the picture or its piece, with
    // the text being typed and a stroke under way settled first.
    void pictureCommand(const std::function<void()>& command);
    void resizeCommand();
    void fitToWindow();
    void buildStatusBar();
    void showStatus();
    void chooseFont();
    // Keypad + and −: the current tool's size setting. True when the key was one of them.
    bool sizeKey(const QKeyEvent* event);
    // With VELMAR_REPORT_GEOMETRY set, prints where the picture and the controls are on the
    // screen whenever that changes, so that tests driving the real program know where to point.
    void reportGeometry();
    // With VELMAR_REPORT_PICTURE set to a folder, prints the editor's state after every change and
    // writes there the picture pixels the work area shows, with the screen rectangle showing them,
    // so that tests can compare the screen with the picture (paint_window_report.cpp).
    void startViewReports(const QString& folder);
    void reportView();

    // The file commands and the browser's drop (paint_window_files.cpp).
    void connectFileCommands();
    void newPicture();
    void openPictureFile();
    // Both return whether the picture was written.
    bool savePicture();
    bool savePictureAs();
    // Asks about changes not saved to a file ("Да" saves); false when the command is to stop.
    bool settleUnsavedPicture();
    // Runs the shared save dialog; true when a name was chosen (the dialog keeps it). For the
    // picture's own commands it proposes the picture's file once it has one.
    bool askSaveName(const QString& caption, bool forPicture = false);
    // Saves under the name and filter last chosen for the picture; false (reported) on failure.
    bool writePicture();
    void dropPicture(const QString& path, PictureDecoder decoder, QPoint globalPos);
    void reportFileError(const QString& text);

    PaintDocument m_doc;
    PaintEditor m_editor;
    PaintCommands m_commands;
    ToolColumn* m_tools = nullptr;
    WorkArea* m_workArea = nullptr;
    ColourStrip* m_colours = nullptr;
    QSplitter* m_splitter = nullptr;
    PictureBrowser* m_browser = nullptr;
    std::array<QLabel*, kStatusPanels> m_status{};
    bool m_editing = false;
    bool m_savedOnce = false;
    // Where "Сохранить" writes once a name has been chosen for the picture.
    PictureFileDialogState m_pictureFile;
    QTimer* m_reportTimer = nullptr;
    QString m_lastReport;
    QTimer* m_viewTimer = nullptr;
    QString m_viewFolder;
    int m_viewReports = 0;
    SizeQuestion m_askSize;
};

}  // namespace velmar::paint
