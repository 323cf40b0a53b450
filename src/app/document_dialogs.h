#pragma once

#include "document/document_questions.h"

class QWidget;

namespace velmar {

// The document commands' questions asked with the program's dialogs (or the ones a test installs
// in their place), over the window that shows the outline.
class DocumentDialogs final : public DocumentQuestions {
public:
    explicit DocumentDialogs(QWidget* parent) : m_parent(parent) {}

    Answer askYesNoCancel(const QString& caption, const QString& text, MessageKind kind) override;
    void tell(const QString& caption, const QString& text, MessageKind kind) override;
    std::optional<QString> askText(const QString& caption, const QString& prompt, const QString& initial) override;
    std::optional<QString> chooseFileToOpen(const QString& caption, const QString& folder, const QString& filter,
                                            int filterIndex) override;
    int choose(const QString& caption, const QString& text, MessageKind kind, const QStringList& buttons) override;
    std::optional<QString> chooseFileToSave(const QString& caption, const QString& folder, const QString& filter,
                                            const QString& proposedName, int filterIndex) override;

private:
    QWidget* m_parent;
};

}  // namespace velmar
