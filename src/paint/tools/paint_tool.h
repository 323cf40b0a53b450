#pragma once

#include "paint/core/paint_types.h"

#include <QImage>
#include <QStringList>

#include <memory>
#include <random>
#include <vector>

namespace velmar::paint {

class PaintDocument;
struct ToolSizes;

// What the editor window supplies to the tools: the text box widget of the text tool. The box's
// place and visibility are in PaintDocument::overlay(); its text lives in the widget.
class PaintHost {
public:
    virtual ~PaintHost() = default;
    // The lines typed into the text box.
    virtual QStringList textBoxLines() const = 0;
    // Empties the text box.
    virtual void clearTextBox() = 0;
};

// The spray's random numbers; tests seed it to get the same dots every run.
class SprayRandom {
public:
    explicit SprayRandom(quint32 seed = std::random_device{}()) : m_engine(seed) {}
    void seed(quint32 s) { m_engine.seed(s); }
    // A uniformly distributed integer 0..n−1 (0 when n < 1).
    int below(int n)
    {
        if (n < 1)
            return 0;
        return std::uniform_int_distribution<int>(0, n - 1)(m_engine);
    }

private:
    std::mt19937 m_engine;
};

// The colours and points of the stroke in progress.
struct StrokeState {
    QRgb drawColour = 0xFF000000;   // the colour the stroke draws in
    QRgb otherColour = 0xFFFFFFFF;  // the other square's colour (fills shapes)
    QPoint strokeStart;             // press point, picture-control pixels
    QPoint lastPointer;             // last pointer point, for the spray
    bool erasing = false;           // a button is held on the eraser square
};

// The narrow view of the editor that a tool acts on.
class ToolContext {
public:
    virtual ~ToolContext() = default;
    virtual PaintDocument& document() = 0;
    virtual StrokeState& stroke() = 0;
    virtual PaintHost* host() = 0;  // may be null (no window: nothing to draw in)
    virtual SprayRandom& random() = 0;
    // Switches to another tool as a tool-button click would (the colour picker returns to the
    // tool used before it).
    virtual void chooseTool(ToolId tool) = 0;
};

// What a tool declares about itself, so that the editor's shared steps need no list of tools.
struct ToolCapabilities {
    // A press may change the picture's pixels (the editor gives the picture its own copy first).
    bool writesPixels = true;
    // The name the status bar gives the tool's setting ("Диаметр"…), or null for none.
    const char* settingName = nullptr;  // Russian, marked for translation where it is set
    // The size the keypad's + and − change, or null for none.
    int ToolSizes::*sizeSetting = nullptr;
    // Used once: after a press it hands over to the tool used before it.
    bool returnsToPreviousTool = false;
};

// One tool of the editor. The editor has already done the steps every tool shares: a press sets
// buttonDown and the stroke colour by the button; a release records an undo state (except for
// the selection tool) and clears buttonDown.
class PaintTool {
public:
    virtual ~PaintTool() = default;
    virtual ToolId id() const = 0;
    virtual ToolCapabilities capabilities() const = 0;

    // The tool's button was clicked (after the panels were reset).
    virtual void chosen(ToolContext&) {}
    // The keypad's + or − changed the tool's size setting.
    virtual void sizeChanged(ToolContext&) {}
    // The tool stops being current, or the editor closes: finish what is open (the text box).
    virtual void finish(ToolContext&) {}

    virtual void press(ToolContext&, const ToolInput&) {}
    // Every move over the picture, whether or not a button is held (see buttonDown).
    virtual void move(ToolContext&, const ToolInput&) {}
    virtual void release(ToolContext&, const ToolInput&) {}
    // The pointer moves over the grey work area outside the picture; `pos` is in picture-control
    // pixels (so it may be negative or beyond the picture).
    virtual void hoverOutside(ToolContext&, QPoint pos) {}
    // One tick of the 50 ms timer (the spray).
    virtual void tick(ToolContext&) {}
    // Esc while the button is held: undo what the press and the moves since did and forget the
    // stroke, so that its release changes nothing. Returns false for tools whose strokes cannot
    // be broken off (their Esc does nothing).
    virtual bool cancel(ToolContext&) { return false; }
    // Whether the undo state is recorded on release (the selection records on put-down).
    virtual bool recordsOnRelease() const { return true; }
    // Whether a move shows the pointer's pixel and colour in the status bar (not while a
    // floating piece is dragged: the bar shows the piece's place then).
    virtual bool readsOutPointer() const { return true; }
};

// Every tool number the editor has a tool for, in increasing order.
std::vector<ToolId> allTools();
// Creates the tool for a tool number; null for numbers no button carries (6, 12).
std::unique_ptr<PaintTool> createTool(ToolId id);

}  // namespace velmar::paint
