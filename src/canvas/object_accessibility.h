#pragma once

#include "model/outline.h"

class QWidget;

namespace velmar {

// What a screen reader announces for an object of the outline: a frame by its title, the other
// objects by their minimal text, with the kind of object (and for a film its file) as the
// description. Set by the widgets each time they show the object, so the names follow renames.
void nameForAccessibility(QWidget* widget, const FrameObject& frame);
void nameForAccessibility(QWidget* widget, const PictureObject& picture);
void nameForAccessibility(QWidget* widget, const TextFieldObject& field);
void nameForAccessibility(QWidget* widget, const CaptionObject& caption);
void nameForAccessibility(QWidget* widget, const VideoObject& video);
void nameForAccessibility(QWidget* widget, const ArrowObject& arrow);

// A text field's face reads to a screen reader as the field's editor does: an editable text (read
// only where the field is) with the field's text. A frame's title reads as a label does: static
// text named by the title.
void installObjectWidgetAccessibility();

}  // namespace velmar
