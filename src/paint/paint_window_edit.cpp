// The graphic editor window's edit commands: the floating piece through the system clipboard
// and picture files.
#include "paint/core/picture_files.h"
#include "paint/paint_fit_question.h"
#include "paint/paint_window.h"
#include "paint/paint_work_area.h"
#include "platform/dialogs.h"
#include "platform/pasted_picture.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>

namespace velmar::paint {

void PaintWindow::showFrameMenu(const QPoint& globalPos)
{
    showCommandStates();
    m_commands.menu(PaintMenu::Frame)->popup(globalPos);
}

void PaintWindow::copyCommand()
{
    const QImage piece = m_editor.copyPiece();
    if (!piece.isNull())
        QGuiApplication::clipboard()->setImage(piece);
}

void PaintWindow::cutCommand()
{
    const QImage piece = m_editor.cutPiece();
    if (!piece.isNull())
        QGuiApplication::clipboard()->setImage(piece);
}

void PaintWindow::pasteCommand()
{
    // A picture that cannot be taken is said so, never dropped without a word.
    constexpr qint64 kMaxPastedPixels = 100'000'000;
    const PastedPicture pasted = takePastedPicture(QGuiApplication::clipboard()->mimeData(), kMaxPastedPixels);
    if (pasted.image.isNull()) {
        const QString problem =
            pasted.claimedSize.isValid()
                ? QCoreApplication::translate("PaintWindow", "Рисунок в буфере обмена слишком велик (%1 x %2).")
                      .arg(pasted.claimedSize.width())
                      .arg(pasted.claimedSize.height())
                : QCoreApplication::translate("PaintWindow",
                                              "Рисунок в буфере обмена не удалось прочитать: данные повреждены.");
        dialogs().inform(this, QCoreApplication::translate("PaintWindow", "Ошибка"), problem, QMessageBox::Warning);
        return;
    }
    m_editor.paste(pasted.image);
    offerToFitPiece(this, m_editor);
}

void PaintWindow::copyToFileCommand()
{
    if (!m_editor.canCopy())
        return;
    // The piece is written through the same save dialog as the picture: it opens where the last
    // save went, with its name and filter, and what is chosen here is offered there next time.
    if (!askSaveName(QCoreApplication::translate("PaintWindow", "Копировать в файл")))
        return;
    const PictureFileDialogState& state = m_doc.saveDialogState();
    const PieceFileResult saved = m_editor.savePieceToFile(state.fileName, state.filterIndex);
    if (!saved.ok)
        dialogs().inform(this, QCoreApplication::translate("PaintWindow", "Ошибка"), saved.error, QMessageBox::Warning);
}

void PaintWindow::pasteFromFileCommand()
{
    const auto choice = dialogs().openFile(this, QCoreApplication::translate("PaintWindow", "Вставить из файла"),
                                           QString(), openPictureFilter());
    if (!choice)
        return;
    const PieceFileResult read = m_editor.pastePieceFromFile(choice->path, choice->filterIndex);
    if (!read.ok)
        dialogs().inform(this, QCoreApplication::translate("PaintWindow", "Ошибка"), read.error, QMessageBox::Warning);
    else
        offerToFitPiece(this, m_editor);
}

}  // namespace velmar::paint
