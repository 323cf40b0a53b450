#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace velmar {

// What a message to the user is: the sign its box shows.
enum class MessageKind { Information, Question, Warning, Error };

// The button a question with "Да", "Нет" and "Отмена" was answered with. A box closed without a
// button counts as "Отмена".
enum class Answer { Yes, No, Cancel };

// How the document commands talk to the user, without knowing how that is shown: the window
// answers with its dialogs (tests script those). Filters are "Description|*.ext" pairs joined by
// '|'; filterIndex counts from 1.
class DocumentQuestions {
public:
    virtual ~DocumentQuestions() = default;
    virtual Answer askYesNoCancel(const QString& caption, const QString& text, MessageKind kind) = 0;
    // A message with a single OK button.
    virtual void tell(const QString& caption, const QString& text, MessageKind kind) = 0;
    // A single line of text; nullopt when cancelled.
    virtual std::optional<QString> askText(const QString& caption, const QString& prompt, const QString& initial) = 0;
    // A file to open or to save to; nullopt when cancelled.
    virtual std::optional<QString> chooseFileToOpen(const QString& caption, const QString& folder,
                                                    const QString& filter, int filterIndex) = 0;
    // A question answered with one of `buttons` (captions, the first one the default, the last one
    // what Esc and closing the box choose): the index of the one pressed.
    virtual int choose(const QString& caption, const QString& text, MessageKind kind, const QStringList& buttons) = 0;
    // A file to save to; nullopt when cancelled. The dialog does not ask about replacing a file: the
    // name typed is not always the file written (an extension is added), so the caller asks.
    virtual std::optional<QString> chooseFileToSave(const QString& caption, const QString& folder,
                                                    const QString& filter, const QString& proposedName,
                                                    int filterIndex) = 0;
};

}  // namespace velmar
