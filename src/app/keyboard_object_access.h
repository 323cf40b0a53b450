#pragma once

namespace velmar {

class MainWindow;

// Reaches the outline's objects and their pop-up menus without a mouse. Ctrl+Tab and
// Ctrl+Shift+Tab go to the next and the previous stop in reading order (the empty canvas, then
// every frame followed by its objects, the objects on the canvas, the arrows with them) and select
// it as a click on it does; Shift+F10 or the Menu key opens the pop-up menu of the object reached,
// at the object, as a right click on it does. A click by the mouse moves the starting point.
void installKeyboardObjectAccess(MainWindow& window);

}  // namespace velmar
