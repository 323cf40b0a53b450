#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

namespace velmar {

// One frame of a new outline: its title and minimal text in the interface language of the moment
// (they are the user's content from then on and are never translated again), and its place.
struct TemplateFrame {
    QString title;
    QString minimalText;
    QRect bounds;
};

// The ten frames of a new outline laid out on a canvas of this size, the tool bar's band above.
std::vector<TemplateFrame> newOutlineFrames(QSize canvas, int toolBarHeight);

// The name a new outline is given, in the interface language.
QString newOutlineName();

// True for a minimal text nobody wrote: the marker of an object without one, or a text a new
// outline starts with (in Russian or in the interface language). The minimal-text window selects
// such a text so that typing replaces it.
bool isPlaceholderMinimalText(const QString& text);

}  // namespace velmar
