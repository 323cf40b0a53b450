#pragma once

class QApplication;
class QString;
class QWidget;

namespace velmar {

// Gives the program's controls their accessible names (and descriptions where a name alone says
// too little), in the interface language, as each widget is first polished: icon-only buttons take their hint,
// and the controls that show no text (handles, palette cells, option lists, hint-less tool
// buttons) take a name from one table keyed by their window and component name. Names already
// set (the outline's objects name themselves after their title or minimal text) are kept.
void installAccessibleNames(QApplication& app);

// Names one widget now, as installAccessibleNames() would; for widgets made before it ran.
void nameForAccessibility(QWidget* widget);

}  // namespace velmar
