// Pictures dropped on the graphic editor from other programs.
#include "paint/paint_outside_drop.h"

#include "paint/paint_fit_question.h"
#include "paint/paint_window.h"
#include "paint/paint_work_area.h"
#include "platform/dialogs.h"
#include "system/file_io.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QUrl>

namespace velmar::paint {

namespace {

// Larger pictures are refused rather than risk running out of memory (400 MB at 32 bits).
constexpr qint64 kMaxPixels = 100'000'000;
// Nor is a file read that no such picture needs.
constexpr qint64 kMaxFileBytes = 512LL * 1024 * 1024;

bool isPictureName(const QString& path)
{
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    return !suffix.isEmpty() && QImageReader::supportedImageFormats().contains(suffix);
}

QString droppedFile(const QMimeData* data)
{
    if (!data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

}  // namespace

OutsideDrop::OutsideDrop(PaintWindow& window) : QObject(&window), m_window(window), m_area(window.workArea())
{
    WorkArea* area = window.workArea();
    area->setAcceptDrops(true);
    area->installEventFilter(this);
}

bool OutsideDrop::acceptable(const QMimeData* data)
{
    if (!data)
        return false;
    const QString file = droppedFile(data);
    // Judged by the name and the kind of the entry alone, as the main window judges drops: a
    // FIFO named like a picture would hold the window while it is only dragged over if it were
    // opened here.
    if (!file.isEmpty())
        return QFileInfo(file).isFile() && isPictureName(file);
    return data->hasImage();
}

bool OutsideDrop::eventFilter(QObject* watched, QEvent* event)
{
    // Compared with the pointer kept at construction: while the window is being destroyed its
    // work area still sends events, and the window may no longer be asked for anything.
    if (watched != m_area)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* e = static_cast<QDropEvent*>(event);
        if (m_window.isEditing() && acceptable(e->mimeData()))
            e->acceptProposedAction();
        else
            e->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        if (!m_window.isEditing() || !acceptable(e->mimeData()))
            return true;
        e->acceptProposedAction();
        // The data lives as long as the event; the question about its size is asked after it, so
        // the program the picture came from is not kept waiting for the drop to finish.
        const QString file = droppedFile(e->mimeData());
        const QImage image = file.isEmpty() ? qvariant_cast<QImage>(e->mimeData()->imageData()) : QImage();
        QMetaObject::invokeMethod(
            this, [this, file, image] { take(file, image); }, Qt::QueuedConnection);
        return true;
    }
    default: return false;
    }
}

void OutsideDrop::take(const QString& file, const QImage& image)
{
    if (!m_window.isEditing())
        return;
    QImage picture;
    QString problem;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!file.isEmpty()) {
        // Read only if it still is a regular file (it may have been swapped since the drag), and
        // without waiting on it.
        QString why;
        if (std::optional<QByteArray> read = readRegularFile(file, kMaxFileBytes, &why))
            bytes = std::move(*read);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        reader.setAutoTransform(true);
        const QSize size = reader.size();
        if (!why.isEmpty())
            problem = QCoreApplication::translate("PaintWindow", "Не удалось открыть рисунок «%1»: %2.")
                          .arg(QDir::toNativeSeparators(file), why);
        else if (size.isValid() && qint64(size.width()) * size.height() > kMaxPixels)
            problem = QCoreApplication::translate("PaintWindow", "Рисунок «%1» слишком велик (%2 x %3).")
                          .arg(QDir::toNativeSeparators(file))
                          .arg(size.width())
                          .arg(size.height());
        else if (!reader.read(&picture))
            problem = QCoreApplication::translate("PaintWindow", "Не удалось открыть рисунок «%1».")
                          .arg(QDir::toNativeSeparators(file));
    } else {
        picture = image;
        if (qint64(picture.width()) * picture.height() > kMaxPixels) {
            problem = QCoreApplication::translate("PaintWindow", "Перенесённый рисунок слишком велик (%1 x %2).")
                          .arg(picture.width())
                          .arg(picture.height());
            picture = QImage();
        } else if (picture.isNull()) {
            problem =
                QCoreApplication::translate("PaintWindow", "Перенесённые данные не удалось прочитать как рисунок.");
        }
    }
    if (picture.isNull()) {
        dialogs().inform(&m_window, QCoreApplication::translate("PaintWindow", "Ошибка"), problem,
                         QMessageBox::Warning);
        return;
    }
    PaintEditor& editor = m_window.editor();
    editor.placeFloatingPiece(picture);
    offerToFitPiece(&m_window, editor);
    m_window.document().pushUndo();
}

}  // namespace velmar::paint
