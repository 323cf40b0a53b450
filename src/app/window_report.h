#pragma once

class QWidget;

namespace velmar {

// When the environment variable VELMAR_REPORT_GEOMETRY is set, prints on standard output, one
// line each, what a program driving Velmar from outside needs to aim its pointer and check what
// it saw: "canvas X Y" whenever the canvas's top-left corner moves on the screen (global
// coordinates), and "menu NAME" whenever a menu opens (NAME = its objectName, "-" if it has
// none). Does nothing otherwise.
void reportWindowGeometryIfAsked(QWidget* canvas);

}  // namespace velmar
