#pragma once

class QMenu;
class QWidget;

namespace velmar {

// The "Язык интерфейса" submenu of a settings menu: the system's language, Russian or English.
// The choice is saved in the user's settings file and takes effect at the next start, which a
// message says when the choice differs from the language in use.
QMenu* addLanguageMenu(QMenu* settings, QWidget* window);

}  // namespace velmar
