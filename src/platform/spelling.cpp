#include "platform/spelling.h"

#include "platform/spell_checker.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>
#include <QTextEdit>

namespace velmar {

SpellHighlighter::SpellHighlighter(QTextDocument* document, SpellChecker& checker)
    : QSyntaxHighlighter(document), m_checker(checker)
{
    // A word the user adds is no longer marked anywhere.
    connect(&checker, &SpellChecker::personalChanged, this, &QSyntaxHighlighter::rehighlight);
}

void SpellHighlighter::highlightBlock(const QString& text)
{
    QTextCharFormat misspelled;
    misspelled.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    misspelled.setUnderlineColor(Qt::red);
    for (const WordSpan& word : wordsOf(text))
        if (!m_checker.isCorrect(text.mid(word.start, word.length)))
            setFormat(word.start, word.length, misspelled);
}

namespace {

void switchHighlighter(QTextDocument* document, bool on)
{
    auto* highlighter = document->findChild<SpellHighlighter*>(QString(), Qt::FindDirectChildrenOnly);
    if (on && !highlighter)
        new SpellHighlighter(document, SpellChecker::shared());
    else if (!on && highlighter)
        delete highlighter;  // its formats go with it
}

QAction* addItem(QMenu* menu, const char* name, const QString& caption, bool enabled)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setEnabled(enabled);
    return action;
}

// QTextEdit and QPlainTextEdit offer the same editing functions without a common base.
template <typename Edit>
QMenu* buildTextEditMenu(Edit* edit, QPoint viewportPos)
{
    auto* menu = new QMenu(edit);
    menu->setObjectName(QStringLiteral("textEditMenu"));
    QPointer<Edit> box(edit);
    const bool writable = !edit->isReadOnly();

    // A click outside the selection puts the cursor where it was clicked, as in any text box.
    QTextCursor cursor = edit->textCursor();
    const int clicked = edit->cursorForPosition(viewportPos).position();
    if (!cursor.hasSelection() || clicked < cursor.selectionStart() || clicked > cursor.selectionEnd()) {
        cursor.setPosition(clicked);
        edit->setTextCursor(cursor);
    }

    const QTextBlock block = edit->document()->findBlock(clicked);
    const int inBlock = clicked - block.position();
    SpellChecker& checker = SpellChecker::shared();
    for (const WordSpan& span : wordsOf(block.text())) {
        if (!writable || inBlock < span.start || inBlock > span.start + span.length)
            continue;
        const QString word = block.text().mid(span.start, span.length);
        if (checker.isCorrect(word))
            break;
        const int start = block.position() + span.start;
        const QStringList suggestions = checker.suggestions(word);
        for (int i = 0; i < suggestions.size(); ++i) {
            const QString replacement = suggestions[i];
            QAction* action = menu->addAction(replacement);
            action->setObjectName(QStringLiteral("suggestion%1").arg(i));
            QFont bold = action->font();
            bold.setBold(true);
            action->setFont(bold);
            QObject::connect(action, &QAction::triggered, edit, [box, start, word, replacement] {
                if (!box)
                    return;
                QTextCursor replace(box->document());
                replace.setPosition(start);
                replace.setPosition(start + int(word.size()), QTextCursor::KeepAnchor);
                // The text may have changed while the menu was open.
                if (replace.selectedText() != word)
                    return;
                replace.insertText(replacement);
                box->setTextCursor(replace);
            });
        }
        if (suggestions.isEmpty())
            addItem(menu, "noSuggestions", QCoreApplication::translate("TextEditMenu", "Нет вариантов"), false);
        QAction* add =
            addItem(menu, "addToDictionary", QCoreApplication::translate("TextEditMenu", "Добавить в словарь"), true);
        QObject::connect(add, &QAction::triggered, edit, [word] { SpellChecker::shared().addToPersonal(word); });
        menu->addSeparator();
        break;
    }

    const bool selected = edit->textCursor().hasSelection();
    QObject::connect(
        addItem(menu, "cutText", QCoreApplication::translate("TextEditMenu", "Вырезать"), writable && selected),
        &QAction::triggered, edit, [box] {
            if (box)
                box->cut();
        });
    QObject::connect(addItem(menu, "copyText", QCoreApplication::translate("TextEditMenu", "Копировать"), selected),
                     &QAction::triggered, edit, [box] {
                         if (box)
                             box->copy();
                     });
    QObject::connect(addItem(menu, "pasteText", QCoreApplication::translate("TextEditMenu", "Вставить"),
                             writable && edit->canPaste()),
                     &QAction::triggered, edit, [box] {
                         if (box)
                             box->paste();
                     });
    menu->addSeparator();
    QObject::connect(addItem(menu, "selectAllText", QCoreApplication::translate("TextEditMenu", "Выделить всё"),
                             !edit->document()->isEmpty()),
                     &QAction::triggered, edit, [box] {
                         if (box)
                             box->selectAll();
                     });
    return menu;
}

}  // namespace

void showTextEditMenu(QMenu* menu, QPoint globalPos)
{
    // Its items act once it has closed; it goes after that.
    QObject::connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    menu->popup(globalPos);
}

void checkSpelling(QTextEdit* edit, bool on) { switchHighlighter(edit->document(), on); }
void checkSpelling(QPlainTextEdit* edit, bool on) { switchHighlighter(edit->document(), on); }

QMenu* textEditMenu(QTextEdit* edit, QPoint viewportPos) { return buildTextEditMenu(edit, viewportPos); }
QMenu* textEditMenu(QPlainTextEdit* edit, QPoint viewportPos) { return buildTextEditMenu(edit, viewportPos); }

void useSpellingMenu(QPlainTextEdit* edit)
{
    checkSpelling(edit, true);
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(edit, &QWidget::customContextMenuRequested, edit, [edit](QPoint pos) {
        showTextEditMenu(textEditMenu(edit, pos), edit->viewport()->mapToGlobal(pos));
    });
}

}  // namespace velmar
