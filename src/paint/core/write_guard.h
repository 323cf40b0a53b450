#pragma once

#include <QRect>

namespace velmar::paint {

// Told before a routine writes pixels of the picture, so that what they overwrite can be kept
// (the editor's undo history keeps a tile's old pixels the first time a stroke touches it).
// `changes`: every pixel about to be written there takes another value than it has.
class WriteGuard {
public:
    virtual void beforeWrite(const QRect& area, bool changes) = 0;

protected:
    ~WriteGuard() = default;
};

}  // namespace velmar::paint
