#include "support/scripted_dialogs.h"

#include <QPrinter>

namespace {

template <typename T>
T takeFront(std::deque<T>& queue, T fallback)
{
    if (queue.empty())
        return fallback;
    T value = queue.front();
    queue.pop_front();
    return value;
}

}  // namespace

QMessageBox::StandardButton ScriptedDialogs::ask(QWidget*, const QString& caption, const QString& text,
                                                 QMessageBox::StandardButtons, QMessageBox::Icon)
{
    questions << Asked{caption, text};
    return takeFront(answers, QMessageBox::No);
}

int ScriptedDialogs::choose(QWidget*, const QString& caption, const QString& text, const QStringList& buttons,
                            QMessageBox::Icon)
{
    questions << Asked{caption, text};
    choiceButtons << buttons;
    if (!replaceChoice.empty() && text.endsWith(QStringLiteral("уже существует. Заменить его?")))
        return takeFront(replaceChoice, -1);
    return takeFront(choices, -1);
}

void ScriptedDialogs::inform(QWidget*, const QString& caption, const QString& text, QMessageBox::Icon)
{
    messages << Asked{caption, text};
}

std::optional<QString> ScriptedDialogs::inputText(QWidget*, const QString&, const QString&, const QString&)
{
    return takeFront(inputs, std::optional<QString>());
}

std::optional<velmar::Dialogs::FileChoice> ScriptedDialogs::openFile(QWidget*, const QString& caption,
                                                                     const QString& folder, const QString& filter,
                                                                     int filterIndex)
{
    ++fileDialogs;
    fileAsks.append({caption, folder, QString(), filterIndex, filter});
    return takeFront(files, std::optional<FileChoice>());
}

std::optional<velmar::Dialogs::FileChoice> ScriptedDialogs::saveFile(QWidget*, const QString& caption,
                                                                     const QString& folder, const QString& filter,
                                                                     const QString& name, int filterIndex,
                                                                     bool confirmOverwrite)
{
    ++fileDialogs;
    fileAsks.append({caption, folder, name, filterIndex, filter, confirmOverwrite});
    return takeFront(files, std::optional<FileChoice>());
}

std::optional<QString> ScriptedDialogs::chooseFolder(QWidget*, const QString& caption, const QString& folder)
{
    ++fileDialogs;
    fileAsks.append({caption, folder, QString(), 1, QString(), false});
    return takeFront(folders, std::optional<QString>());
}

std::optional<QColor> ScriptedDialogs::chooseColour(QWidget*, const QColor&)
{
    return takeFront(colours, std::optional<QColor>());
}

std::optional<velmar::Dialogs::FontChoice> ScriptedDialogs::chooseFont(QWidget*, const FontChoice& initial)
{
    std::optional<FontChoice> answer = takeFront(fonts, std::optional<FontChoice>());
    // A real dialog answers with a colour when it offers one: the one it started with, unless
    // changed.
    if (answer && (!answer->colour.isValid() || !initial.colour.isValid()))
        answer->colour = initial.colour;
    return answer;
}

std::optional<velmar::Dialogs::PrintChoice> ScriptedDialogs::choosePrinter(QWidget*, QPrinter& printer,
                                                                           const PrintChoice& current)
{
    ++printDialogs;
    printDialogOpenedWith = current;
    const std::optional<PrintChoice> choice = takeFront(printChoices, std::optional<PrintChoice>());
    if (choice && !printFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printFile);
    }
    return choice;
}

bool ScriptedDialogs::previewPrint(QWidget*, QPrinter& printer, bool withSummary, const PagePainter& paint)
{
    ++previews;
    if (!printFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printFile);
        paint(printer, withSummary);
    }
    return withSummary;
}
