#pragma once

class QPoint;
class QString;
class QSize;
class QWidget;

namespace velmar {

// When the environment variable VELMAR_REPORT_GEOMETRY is set, prints on standard output, one
// line each, what a program driving Velmar from outside needs to aim its pointer and check what
// it saw: "window X Y W H" whenever the main window's client area moves or changes size (global
// coordinates), "canvas X Y" whenever the canvas's top-left corner moves on the screen (global
// coordinates), each followed by "button NAME X Y W H" for every tool-bar button (canvas
// coordinates, NAME the objectName of its command), "menu NAME" whenever a menu opens (NAME = its
// objectName, "-" if it has none) followed by "item NAME X Y W H" for each of its enabled commands
// (global coordinates), and "active NAME ID TITLE" whenever a window or dialog takes the keyboard
// (ID = its native window's number).
// Does nothing otherwise.
void reportWindowGeometryIfAsked(QWidget* canvas);

// With VELMAR_REPORT_GEOMETRY set, the main window's own sizing, so that a driver knows when the
// window has the size the program gave it: "resize W H" when the program asks for a client size,
// "framed" once it knows the window manager's frame and has sized the window for it.
void reportResizeAsked(QSize inner);
void reportFramed();
// The canvas point a drag from another program is over, as the drop would take it.
void reportDragOver(QPoint canvasPoint);
// The find bar's state: "find shown|hidden STATUS" (what the bar says of the place shown), then
// "findbutton NAME X Y W H" for each of its visible buttons (canvas coordinates).
void reportFindBar(const QWidget* bar, const QWidget* canvas, const QString& status);

}  // namespace velmar
