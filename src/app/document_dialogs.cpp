#include "app/document_dialogs.h"

#include "platform/dialogs.h"

namespace velmar {

namespace {

QMessageBox::Icon iconOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Information: return QMessageBox::Information;
    case MessageKind::Question: return QMessageBox::Question;
    case MessageKind::Warning: return QMessageBox::Warning;
    case MessageKind::Error: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

std::optional<QString> pathOf(const std::optional<Dialogs::FileChoice>& choice)
{
    if (!choice)
        return std::nullopt;
    return choice->path;
}

}  // namespace

Answer DocumentDialogs::askYesNoCancel(const QString& caption, const QString& text, MessageKind kind)
{
    const QMessageBox::StandardButton pressed =
        dialogs().ask(m_parent, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, iconOf(kind));
    if (pressed == QMessageBox::Yes)
        return Answer::Yes;
    if (pressed == QMessageBox::No)
        return Answer::No;
    return Answer::Cancel;
}

void DocumentDialogs::tell(const QString& caption, const QString& text, MessageKind kind)
{
    dialogs().inform(m_parent, caption, text, iconOf(kind));
}

std::optional<QString> DocumentDialogs::askText(const QString& caption, const QString& prompt, const QString& initial)
{
    return dialogs().inputText(m_parent, caption, prompt, initial);
}

std::optional<QString> DocumentDialogs::chooseFileToOpen(const QString& caption, const QString& folder,
                                                         const QString& filter, int filterIndex)
{
    return pathOf(dialogs().openFile(m_parent, caption, folder, filter, filterIndex));
}

int DocumentDialogs::choose(const QString& caption, const QString& text, MessageKind kind, const QStringList& buttons)
{
    const int pressed = dialogs().choose(m_parent, caption, text, buttons, iconOf(kind));
    return pressed >= 0 && pressed < buttons.size() ? pressed : int(buttons.size()) - 1;
}

std::optional<QString> DocumentDialogs::chooseFileToSave(const QString& caption, const QString& folder,
                                                         const QString& filter, const QString& proposedName,
                                                         int filterIndex)
{
    return pathOf(dialogs().saveFile(m_parent, caption, folder, filter, proposedName, filterIndex, false));
}

}  // namespace velmar
