#pragma once

#include <QPoint>
#include <QSyntaxHighlighter>

class QMenu;
class QPlainTextEdit;
class QTextEdit;
class QWidget;

namespace velmar {

class SpellChecker;

// Marks the misspelled words of a document with a red wavy underline. The marks are formats of
// the layout only: the text, its undo steps and its change signals are untouched.
class SpellHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    SpellHighlighter(QTextDocument* document, SpellChecker& checker);

protected:
    void highlightBlock(const QString& text) override;

private:
    SpellChecker& m_checker;
};

// Turns the marks on a text box on or off (the shared checker; a box keeps at most one
// highlighter, found again as its document's child).
void checkSpelling(QTextEdit* edit, bool on);
void checkSpelling(QPlainTextEdit* edit, bool on);

// The menu of a text being typed, for a right click at `viewportPos` (in the box's viewport):
// the misspelled word's suggestions and "Добавить в словарь" above Cut, Copy, Paste and Select
// all. The caller shows it and deletes it.
QMenu* textEditMenu(QTextEdit* edit, QPoint viewportPos);
QMenu* textEditMenu(QPlainTextEdit* edit, QPoint viewportPos);

// Shows such a menu at a place on the screen; it deletes itself once closed.
void showTextEditMenu(QMenu* menu, QPoint globalPos);

// Gives a text box that menu for its right clicks, and the marks while it has the keyboard.
void useSpellingMenu(QPlainTextEdit* edit);

}  // namespace velmar
