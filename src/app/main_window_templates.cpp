// New outlines from templates, and the outline kept as a template of the user's.
#include "app/main_window.h"
#include "app/outline_templates.h"
#include "base/user_error.h"
#include "canvas/canvas_widget.h"
#include "canvas/selection_handles.h"
#include "document/document_controller.h"
#include "export/outline_export.h"
#include "model/colour.h"
#include "model/outline_template.h"
#include "model/window_layout.h"
#include "platform/dialogs.h"
#include "storage/outline_io.h"
#include "system/file_io.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace velmar {

namespace {

// A thumbnail file is read up to this size; a larger one is shown without its picture.
constexpr qint64 kThumbnailFileLimit = 8 * 1024 * 1024;
// The thumbnails kept beside the templates.
constexpr QSize kThumbnailSize(320, 240);

QImage readThumbnail(const QString& path)
{
    QString problem;
    const auto bytes = readRegularFile(path, kThumbnailFileLimit, &problem);
    return bytes ? QImage::fromData(*bytes, "PNG") : QImage();
}

}  // namespace

void MainWindow::newFromTemplate()
{
    const QSize canvas = m_canvas->size();
    const QSize drawn(canvas.width(), std::max(1, canvas.height() - kToolBarHeight));
    QImage empty(drawn.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    empty.fill(toQColor(kButtonFace));
    // The built-in template as it would fill this window.
    Document builtIn;
    builtIn.state.canvasColour = kButtonFace;
    for (const TemplateFrame& f : newOutlineFrames(canvas, kToolBarHeight)) {
        const int slot = builtIn.outline.createFrame(f.bounds, f.title);
        builtIn.outline.frame(slot).minimalText = f.minimalText;
    }
    QList<Dialogs::PictureChoice> items{
        {QCoreApplication::translate("Templates", "Пустой конспект"), empty},
        {QCoreApplication::translate("Templates", "Стандартный шаблон"), renderOutline(builtIn, canvas)}};
    const std::vector<UserTemplate> own = userTemplates(templatesFolder(m_document.history.programFolder));
    for (const UserTemplate& t : own)
        items.append({t.name, readThumbnail(t.thumbnail)});
    const int chosen =
        dialogs().choosePicture(this, QCoreApplication::translate("Templates", "Создать"),
                                QCoreApplication::translate("Templates", "С чего начать новый конспект?"), items, 1);
    if (chosen < 0)
        return;
    OutlineStart start;
    if (chosen == 0)
        start.kind = OutlineStart::Kind::Empty;
    else if (chosen >= 2 && size_t(chosen - 2) < own.size())
        start = {OutlineStart::Kind::Template, own[size_t(chosen - 2)].file};
    m_documents->newOutline(start);
}

void MainWindow::saveAsTemplate()
{
    const QString folder = templatesFolder(m_document.history.programFolder);
    const auto name = dialogs().inputText(this, QCoreApplication::translate("Templates", "Сохранить как шаблон"),
                                          QCoreApplication::translate("Templates", "Введите название шаблона"),
                                          m_document.state.outlineName);
    if (!name)
        return;
    const QString file = templateFileFor(folder, *name);
    if (file.isEmpty())
        throw UserError(QCoreApplication::translate(
                            "Templates", "«%1» не может быть названием шаблона: оно пусто или содержит «/», «\\» "
                                         "или управляющие символы.")
                            .arg(*name));
    if (QFileInfo::exists(file)
        && dialogs().ask(this, QCoreApplication::translate("Templates", "Подтверждение"),
                         QCoreApplication::translate("Templates", "Шаблон «%1» уже есть. Заменить его?")
                             .arg(QFileInfo(file).completeBaseName()),
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Question)
               != QMessageBox::Yes)
        return;
    if (!QDir().mkpath(folder))
        throw UserError(
            QCoreApplication::translate("Templates", "Не удалось создать папку шаблонов «%1».").arg(folder));
    // The template keeps the window's size, as a saved outline does, to be scaled from.
    followWindowSize();
    const WriteResult written = writeOutlineFile(file, m_document);
    if (!written.ok)
        throw UserError(written.message);
    // Its picture is what the canvas shows; without it the template is offered all the same.
    m_handles->hideAll();
    const QImage picture = captureCanvas(m_canvas);
    if (!picture.isNull())
        writePicture(picture.scaled(kThumbnailSize, Qt::KeepAspectRatio, Qt::SmoothTransformation),
                     templateThumbnailFor(file));
}

}  // namespace velmar
