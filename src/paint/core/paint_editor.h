#pragma once

#include "paint/core/paint_document.h"
#include "paint/tools/paint_tool.h"

#include <QImage>

#include <map>
#include <memory>

namespace velmar::paint {

// The editor's command surface, without widgets: the window turns mouse, keyboard, timer and
// list events into calls of these functions and renders the PaintDocument.
class PaintEditor : public ToolContext {
public:
    explicit PaintEditor(PaintDocument& document, PaintHost* host = nullptr);
    ~PaintEditor() override;

    // Opening: the picture arrives 1:1 at 32 bits per pixel.
    void openPicture(const QImage& picture);
    // Activation: clears the history, records the picture as state 1, clears pictureModified,
    // zoom 1, pencil.
    void activate();
    // Closing: finishes an open text box and returns the picture to write back. Whether the
    // outline needs an undo step is document().pictureModified().
    QImage close();

    // A tool button (or its icon) was clicked. The text tool is refused at zoom other than 1.
    void chooseTool(ToolId tool) override;
    // A row of the zoom list: zoom, then back to the tool used before the zoom tool (the text
    // tool becomes the pencil).
    void chooseZoom(int row);

    // Mouse on the picture control (pos in its pixels; may lie outside while a button is held).
    void press(const ToolInput& input);
    void move(const ToolInput& input);
    void release(const ToolInput& input);
    // Pointer over the grey work area outside the picture, no button held.
    void hoverOutside(QPoint controlPos);
    // The window's 50 ms timer fired.
    void tick();

    // Keypad + (delta 1) and − (delta −1): the current tool's size setting. Returns whether the
    // current tool has one.
    bool sizeKey(int delta);

    // "Отменить" / "Повторить".
    void undo();
    void redo();

    // Palette: a press with the left button sets the front square, the right button the back
    // square. Double-click redefinition is setPaletteColour.
    void palettePress(int index, Qt::MouseButton button);
    void setPaletteColour(int index, ColourValue colour) { m_doc.setPaletteColour(index, colour); }

    // Draws the open text box into the picture, empties and hides it.
    void commitText();

    // Seeds the spray's random source (tests).
    void seedRandom(quint32 seed) { m_random.seed(seed); }

    PaintTool* tool(ToolId id) const;

    // ToolContext
    PaintDocument& document() override { return m_doc; }
    StrokeState& stroke() override { return m_stroke; }
    PaintHost* host() override { return m_host; }
    SprayRandom& random() override { return m_random; }

private:
    PaintTool* currentTool() const { return tool(m_doc.currentTool()); }
    void resetToolPanels();
    void showSetting();
    void readPointer(const ToolInput& input);
    void showUndoState(const QImage& state);

    PaintDocument& m_doc;
    PaintHost* m_host;
    StrokeState m_stroke;
    SprayRandom m_random;
    std::map<ToolId, std::unique_ptr<PaintTool>> m_tools;
    PaintTool* m_pressedTool = nullptr;
};

}  // namespace velmar::paint
