#pragma once

#include <QString>

namespace velmar {

class Outline;

// Cuts the left, top, width and height of every frame, caption, text field and picture (in this
// order) to whole multiples of the grid step, truncating toward zero: a left of -5 at step 2
// becomes -4, and a width or height smaller than the step keeps
// its value rather than becoming 0. Positions are those relative to the
// object's parent. Video fragments and arrows keep their exact geometry. A step below 1 is
// treated as 1 (nothing changes) rather than dividing by zero.
void snapToGrid(Outline& outline, int step);

// One value cut to the grid, truncating toward zero.
int snapValue(int value, int step);

// The step after "grow" (one more) and after "shrink" (one less, never below 1).
int grownGridStep(int step);
int shrunkGridStep(int step);

// Captions of the two grid menu items for the current step: "Увеличить сетку 3+1" and
// "Уменьшить сетку 3-1".
QString growGridCaption(int step);
QString shrinkGridCaption(int step);

}  // namespace velmar
