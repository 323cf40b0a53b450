// Ways into the outline that other programs taught users: shortcuts for New and Open, the list of
// recent outlines, files and pictures dropped on the window, a picture pasted from the clipboard,
// and the keyboard on the selected object.
#include "app/main_window.h"
#include "app/recent_outlines.h"
#include "app/window_report.h"
#include "canvas/canvas_controller.h"
#include "canvas/canvas_widget.h"
#include "canvas/incoming_picture.h"
#include "platform/command_guard.h"
#include "platform/dialogs.h"
#include "platform/pasted_picture.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QCoreApplication>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>

namespace velmar {

namespace {

enum class Incoming { None, Outline, Picture, Film };

Incoming kindOfFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("vmd") || suffix == QLatin1String("vmc"))
        return Incoming::Outline;
    static const QStringList films{"avi", "mp4", "m4v", "mov", "mkv", "webm"};
    if (films.contains(suffix))
        return Incoming::Film;
    static const QStringList pictures{"jpg", "jpeg", "png", "bmp", "gif", "webp"};
    return pictures.contains(suffix) ? Incoming::Picture : Incoming::None;
}

// The first local file of a drop, or empty.
QString droppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

bool acceptable(const QMimeData* data)
{
    if (!data)
        return false;
    const QString file = droppedFile(data);
    return file.isEmpty() ? data->hasImage() : kindOfFile(file) != Incoming::None;
}

}  // namespace

// A text being typed has the keyboard: a line or text editor that can be written in. The keys on
// the selection leave it alone even where the editor does not claim a key for itself.
bool typingText()
{
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        return !line->isReadOnly();
    if (auto* text = qobject_cast<QTextEdit*>(focus))
        return !text->isReadOnly();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(focus))
        return !plain->isReadOnly();
    return qobject_cast<QAbstractSpinBox*>(focus) != nullptr;
}

void MainWindow::installOutsideInput()
{
    m_recent = new RecentOutlines(
        m_commands.menu(Menu::File), m_commands.action(Command::Exit),
        [this](const QString& path) { m_documents->openOutline(path); }, this);
    connect(m_documents, &DocumentController::fileUsed, this, [this](const QString& path) {
        if (m_recent)
            m_recent->remember(path);
    });

    // Keys that act on the canvas while no text is being typed: a text field being edited takes
    // them first (it claims its editing keys before window shortcuts are looked at).
    const auto key = [this](const char* name, QKeySequence sequence, auto handler) {
        auto* action = new QAction(this);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(sequence);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, [this, handler] {
            if (!typingText())
                runGuarded(this, handler);
        });
        return action;
    };
    const struct {
        const char* name;
        int key;
        int dx, dy;
    } moves[] = {{"moveLeft", Qt::Key_Left, -1, 0},
                 {"moveRight", Qt::Key_Right, 1, 0},
                 {"moveUp", Qt::Key_Up, 0, -1},
                 {"moveDown", Qt::Key_Down, 0, 1}};
    for (const auto& m : moves) {
        const int dx = m.dx, dy = m.dy;
        key(m.name, QKeySequence(m.key), [this, dx, dy] { m_controller->nudgeSelection(dx, dy, false); });
        key((QByteArray(m.name) + "ByGrid").constData(), QKeySequence(Qt::SHIFT | m.key),
            [this, dx, dy] { m_controller->nudgeSelection(dx, dy, true); });
    }
    key("deleteSelected", QKeySequence(Qt::Key_Delete), [this] { m_controller->deleteSelection(); });
    key("clearSelection", QKeySequence(Qt::Key_Escape), [this] { m_controller->escape(); });

    setAcceptDrops(true);
}

QPoint MainWindow::canvasPointerOr(QPoint fallback) const
{
    const QPoint pointer = m_canvas->mapFromGlobal(QCursor::pos());
    return m_canvas->rect().contains(pointer) ? pointer : fallback;
}

void MainWindow::pastePicture()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasImage())
        return;
    const PastedPicture pasted = takePastedPicture(data, kMaxIncomingPixels);
    if (pasted.claimedSize.isValid())
        throw UserError(tooLargePictureMessage(pasted.claimedSize));
    if (pasted.image.isNull())
        throw UserError(QCoreApplication::translate(
            "MainWindow", "Рисунок в буфере обмена не удалось прочитать: данные повреждены."));
    takePicture(takeIncomingPicture(pasted.image), canvasPointerOr(m_document.interaction.creationPoint));
}

void MainWindow::takePicture(const IncomingPicture& in, QPoint canvasPoint)
{
    if (!in.error.isEmpty())
        throw UserError(in.error);
    if (m_controller->createPictureAt(in.image, canvasPoint) && !in.note.isEmpty())
        dialogs().inform(this, QCoreApplication::translate("MainWindow", "Внимание"), in.note,
                         QMessageBox::Information);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (acceptable(event->mimeData()))
        event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    if (!acceptable(event->mimeData()))
        return;
    event->acceptProposedAction();
    reportDragOver(m_canvas->mapFrom(this, event->position().toPoint()));
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (!acceptable(data))
        return;
    event->acceptProposedAction();
    const QPoint at = m_canvas->mapFrom(this, event->position().toPoint());
    const QString file = droppedFile(data);
    // The drop's data lives only as long as the event: take what is needed now, act after it. A
    // picture dropped as data is taken as a pasted one is: one too large is refused with its size,
    // one that cannot be read is said to be damaged, never dropped without a word.
    PastedPicture picture;
    if (file.isEmpty())
        picture = takePastedPicture(data, kMaxIncomingPixels);
    QMetaObject::invokeMethod(
        this, [this, file, picture, at] { runGuarded(this, [&] { takeDrop(file, picture, at); }); },
        Qt::QueuedConnection);
}

void MainWindow::takeDrop(const QString& file, const PastedPicture& picture, QPoint canvasPoint)
{
    if (file.isEmpty()) {
        if (picture.claimedSize.isValid())
            throw UserError(tooLargePictureMessage(picture.claimedSize));
        if (picture.image.isNull())
            throw UserError(QCoreApplication::translate(
                "MainWindow", "Перенесенный рисунок не удалось прочитать: данные повреждены."));
        takePicture(takeIncomingPicture(picture.image), canvasPoint);
        return;
    }
    const QString shown = QFileInfo(file).fileName();
    switch (kindOfFile(file)) {
    case Incoming::Outline: m_documents->openOutline(file); return;
    case Incoming::Film: m_controller->createVideoAt(QFileInfo(file).absoluteFilePath(), canvasPoint); return;
    case Incoming::Picture: {
        if (!QFileInfo(file).isFile())
            throw UserError(
                QCoreApplication::translate("MainWindow", "Не удалось открыть файл «%1»: это не обычный файл.")
                    .arg(shown));
        takePicture(readIncomingPicture(file, shown), canvasPoint);
        return;
    }
    case Incoming::None: return;
    }
}

}  // namespace velmar
