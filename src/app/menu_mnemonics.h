#pragma once

#include <QString>

class QApplication;
class QMenu;
class QMenuBar;
class QWidget;

namespace velmar {

// Keyboard mnemonics for every menu of the program (Alt+Ф opens "Файл", then a letter chooses an
// item), without changing a caption as it is shown: each item gets the '&' of the first letter
// not yet taken in its menu, the first letters of its words first. Items that carry a mnemonic of
// their own (the recent outlines' numbers) keep it. A caption the program changes later (the grid
// items' step) gets its mnemonic back on the same letter.
void installMenuMnemonics(QApplication& app);

// Gives the items of one menu bar or menu their mnemonics now.
void assignMnemonics(QWidget* menuOrBar);

// The position in `caption` of its mnemonic letter, or -1 when it has none ("&&" is a literal
// ampersand).
int mnemonicPosition(const QString& caption);

// The caption as it is shown: without the mnemonic marks ("&&" gives "&").
QString withoutMnemonic(const QString& caption);

// `caption` with a mnemonic on the first letter whose lower case is not in `taken` (first letters
// of words first); unchanged when it has one already or no letter is free. The letter chosen is
// added to `taken`.
QString withMnemonic(const QString& caption, QString& taken);

}  // namespace velmar
