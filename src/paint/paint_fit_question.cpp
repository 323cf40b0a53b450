// The question put when an arriving picture is larger than the picture being edited.
#include "paint/paint_fit_question.h"

#include "paint/core/view_steps.h"
#include "paint/editor/paint_editor.h"
#include "platform/dialogs.h"

#include <QCoreApplication>

namespace velmar::paint {

void offerToFitPiece(QWidget* parent, PaintEditor& editor)
{
    if (!editor.pieceLargerThanPicture())
        return;
    const PaintDocument& doc = editor.document();
    const QSize piece = doc.piece().size();
    const QSize picture = doc.picture().size();
    const QSize fitted = fitKeepingAspect(piece, picture);
    const QString text =
        QCoreApplication::translate("PaintWindow", "Вставляемый рисунок (%1 x %2) больше редактируемого (%3 x %4).\n\n"
                                                   "Уменьшить его до %5 x %6, сохранив пропорции? "
                                                   "«Нет» оставит его размер, и часть рисунка окажется за краем.")
            .arg(piece.width())
            .arg(piece.height())
            .arg(picture.width())
            .arg(picture.height())
            .arg(fitted.width())
            .arg(fitted.height());
    const auto answer = dialogs().ask(parent, QCoreApplication::translate("PaintWindow", "Графический редактор"), text,
                                      QMessageBox::Yes | QMessageBox::No, QMessageBox::Question);
    if (answer == QMessageBox::Yes)
        editor.fitPieceToPicture();
}

}  // namespace velmar::paint
