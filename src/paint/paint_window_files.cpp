// The editor's file menu (new, open, save, save as) and pictures dropped from the browser.
#include "paint/core/floating_piece.h"
#include "paint/paint_browser.h"
#include "paint/paint_fit_question.h"
#include "paint/paint_picture_view.h"
#include "paint/paint_window.h"
#include "paint/paint_work_area.h"
#include "platform/dialogs.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QPainter>

namespace velmar::paint {

void PaintWindow::connectFileCommands()
{
    connect(m_browser, &PictureBrowser::pictureDropped, this, &PaintWindow::dropPicture);
}

void PaintWindow::reportFileError(const QString& text)
{
    dialogs().inform(this, QCoreApplication::translate("PaintWindow", "Ошибка"), text, QMessageBox::Critical);
}

bool PaintWindow::settleUnsavedPicture()
{
    if (!m_doc.changedSinceSaved())
        return true;
    const QMessageBox::StandardButton answer =
        dialogs().ask(this, QCoreApplication::translate("PaintWindow", "Подтверждение"),
                      QCoreApplication::translate("PaintWindow", "Рисунок изменен. Сохранить изменения?"),
                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Question);
    if (answer == QMessageBox::Yes)
        return savePicture();
    return answer == QMessageBox::No;
}

void PaintWindow::newPicture()
{
    if (!settleUnsavedPicture())
        return;
    // The new picture keeps the size of the one shown, painted in the back colour, which the
    // picture's brush takes as well; the one replaced is a Ctrl+Z away.
    QImage picture(m_doc.picture().size(), QImage::Format_RGB32);
    picture.fill(m_doc.backColour());
    m_editor.replacePicture(picture);
    m_doc.setChangedSinceSaved(false);
    m_savedOnce = false;
    m_pictureFile = PictureFileDialogState();
    m_workArea->layoutCanvas();
}

void PaintWindow::openPictureFile()
{
    if (!settleUnsavedPicture())
        return;
    PictureFileDialogState& state = m_doc.openDialogState();
    const auto choice = dialogs().openFile(this, QCoreApplication::translate("PaintWindow", "Открыть"),
                                           state.folder(m_browser->folder()), openPictureFilter(), state.filterIndex);
    if (!choice)
        return;
    state.fileName = choice->path;
    state.filterIndex = choice->filterIndex;
    QString error;
    const QImage image = readPictureFile(choice->path, decoderForOpenFilter(choice->filterIndex, choice->path), &error);
    if (image.isNull()) {
        reportFileError(QCoreApplication::translate("PaintWindow", "Не удалось открыть рисунок «%1»: %2.")
                            .arg(QDir::toNativeSeparators(choice->path), error));
        return;
    }
    // The picture control follows at the current zoom; the picture replaced is one undo away.
    m_editor.replacePicture(image);
    m_doc.setChangedSinceSaved(false);
    m_workArea->layoutCanvas();
}

bool PaintWindow::writePicture()
{
    const PictureFileDialogState& state = m_pictureFile;
    QString error;
    // The file holds what the screen shows: a floating piece is composed in where it lies (and
    // keeps floating), not left out with the hole it was lifted from.
    if (writePictureFile(pictureAsShown(m_doc), state.fileName, state.filterIndex, &error).isEmpty()) {
        reportFileError(QCoreApplication::translate("PaintWindow", "Не удалось сохранить рисунок в файл «%1»: %2.")
                            .arg(QDir::toNativeSeparators(savedPictureName(state.fileName, state.filterIndex)), error));
        return false;
    }
    m_doc.setChangedSinceSaved(false);
    return true;
}

bool PaintWindow::askSaveName(const QString& caption, bool forPicture)
{
    PictureFileDialogState& state = m_doc.saveDialogState();
    // The picture's own commands propose the picture's own file, not the name a piece was last
    // copied to through the same dialog.
    if (forPicture && !m_pictureFile.fileName.isEmpty()) {
        state.fileName = m_pictureFile.fileName;
        state.filterIndex = m_pictureFile.filterIndex;
    }
    const auto choice = dialogs().saveFile(this, caption, state.folder(m_browser->folder()), savePictureFilter(),
                                           state.fileName, state.filterIndex);
    if (!choice)
        return false;
    state.fileName = choice->path;
    state.filterIndex = choice->filterIndex;
    return true;
}

bool PaintWindow::savePictureAs()
{
    if (!askSaveName(QCoreApplication::translate("PaintWindow", "Сохранить как"), true))
        return false;
    m_pictureFile = m_doc.saveDialogState();
    // The picture now has a file of its own: "Сохранить" writes there without asking.
    m_savedOnce = writePicture();
    return m_savedOnce;
}

bool PaintWindow::savePicture()
{
    // The picture's own file is the one last chosen for it: a piece copied to a file through the
    // same dialog in between does not make "Сохранить" overwrite that piece's file.
    if (m_savedOnce)
        return writePicture();
    if (!askSaveName(QCoreApplication::translate("PaintWindow", "Сохранить"), true))
        return false;
    m_pictureFile = m_doc.saveDialogState();
    // A name that could not be written to is asked for again next time.
    m_savedOnce = writePicture();
    return m_savedOnce;
}

void PaintWindow::dropPicture(const QString& path, PictureDecoder decoder, QPoint globalPos)
{
    PictureView* view = m_workArea->pictureView();
    if (!m_editing || !view->isVisible() || !view->rect().contains(view->mapFromGlobal(globalPos)))
        return;
    QString error;
    const QImage piece = readPictureFile(path, decoder, &error);
    if (piece.isNull()) {
        reportFileError(QCoreApplication::translate("PaintWindow", "Не удалось открыть рисунок «%1»: %2.")
                            .arg(QDir::toNativeSeparators(path), error));
        return;
    }
    // The picture arrives as a floating piece at the work area's corner, with the selection
    // tool; its arrival is a step of its own in the editor's history.
    m_editor.placeFloatingPiece(piece);
    offerToFitPiece(this, m_editor);
    m_doc.pushUndo();
}

}  // namespace velmar::paint
