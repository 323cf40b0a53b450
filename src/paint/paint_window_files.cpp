// The editor's file menu (new, open, save, save as) and pictures dropped from the browser.
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
    connect(m_commands.newPicture, &QAction::triggered, this, &PaintWindow::newPicture);
    connect(m_commands.open, &QAction::triggered, this, &PaintWindow::openPictureFile);
    connect(m_commands.save, &QAction::triggered, this, &PaintWindow::savePicture);
    connect(m_commands.saveAs, &QAction::triggered, this, &PaintWindow::savePictureAs);
    connect(m_browser, &PictureBrowser::pictureDropped, this, &PaintWindow::dropPicture);
}

void PaintWindow::reportFileError(const QString& text)
{
    dialogs().inform(this, QCoreApplication::translate("PaintWindow", "Ошибка"), text, QMessageBox::Critical);
}

void PaintWindow::newPicture()
{
    // The picture keeps its size and is painted over in the back colour, which the picture's
    // brush takes as well.
    const QRgb back = m_doc.backColour();
    m_doc.setCanvasBrush(back);
    QImage picture = m_doc.picture();
    picture.fill(back);
    m_doc.setPicture(picture);
    m_savedOnce = false;
}

void PaintWindow::openPictureFile()
{
    PictureFileDialogState& state = m_doc.openDialogState();
    const auto choice = dialogs().openFile(this, QCoreApplication::translate("PaintWindow", "Открыть"), state.folder(m_browser->folder()),
                                           QLatin1String(kOpenPictureFilter), state.filterIndex);
    if (!choice)
        return;
    state.fileName = choice->path;
    state.filterIndex = choice->filterIndex;
    QString error;
    const QImage image = readPictureFile(choice->path, decoderForOpenFilter(choice->filterIndex, choice->path), &error);
    if (image.isNull()) {
        reportFileError(QCoreApplication::translate("PaintWindow", "Не удалось открыть рисунок «%1»: %2.").arg(QDir::toNativeSeparators(choice->path), error));
        return;
    }
    // The picture control follows at the current zoom.
    m_doc.setPicture(image);
    m_workArea->layoutCanvas();
}

bool PaintWindow::writePicture()
{
    const PictureFileDialogState& state = m_pictureFile;
    QString error;
    if (writePictureFile(m_doc.picture(), state.fileName, state.filterIndex, &error).isEmpty()) {
        reportFileError(QCoreApplication::translate("PaintWindow", "Не удалось сохранить рисунок в файл «%1»: %2.")
                            .arg(QDir::toNativeSeparators(savedPictureName(state.fileName, state.filterIndex)), error));
        return false;
    }
    return true;
}

bool PaintWindow::askSaveName(const QString& caption)
{
    PictureFileDialogState& state = m_doc.saveDialogState();
    const auto choice = dialogs().saveFile(this, caption, state.folder(m_browser->folder()),
                                           QLatin1String(kSavePictureFilter), state.fileName, state.filterIndex);
    if (!choice)
        return false;
    state.fileName = choice->path;
    state.filterIndex = choice->filterIndex;
    return true;
}

void PaintWindow::savePictureAs()
{
    if (askSaveName(QCoreApplication::translate("PaintWindow", "Сохранить как"))) {
        m_pictureFile = m_doc.saveDialogState();
        writePicture();
    }
}

void PaintWindow::savePicture()
{
    // The picture's own file is the one last chosen for it: a piece copied to a file through the
    // same dialog in between does not make "Сохранить" overwrite that piece's file.
    if (m_savedOnce) {
        writePicture();
    } else if (askSaveName(QCoreApplication::translate("PaintWindow", "Сохранить"))) {
        m_pictureFile = m_doc.saveDialogState();
        // A name that could not be written to is asked for again next time.
        m_savedOnce = writePicture();
    }
}

void PaintWindow::dropPicture(const QString& path, PictureDecoder decoder, QPoint globalPos)
{
    PictureView* view = m_workArea->pictureView();
    if (!m_editing || !view->isVisible() || !view->rect().contains(view->mapFromGlobal(globalPos)))
        return;
    QString error;
    const QImage piece = readPictureFile(path, decoder, &error);
    if (piece.isNull()) {
        reportFileError(QCoreApplication::translate("PaintWindow", "Не удалось открыть рисунок «%1»: %2.").arg(QDir::toNativeSeparators(path), error));
        return;
    }
    // The picture arrives as a floating piece at the work area's corner, with the selection
    // tool; its arrival is a step of its own in the editor's history.
    m_editor.placeFloatingPiece(piece);
    offerToFitPiece(this, m_editor);
    m_doc.pushUndo();
}

}  // namespace velmar::paint
