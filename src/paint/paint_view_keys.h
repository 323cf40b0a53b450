#pragma once

#include "paint/core/paint_types.h"

#include <QObject>
#include <QPoint>

class QAction;
class QWheelEvent;

namespace velmar::paint {

class PaintWindow;

// The editor's habits beyond its menus: the mouse wheel scrolls the picture (Shift+wheel
// sideways) and with Ctrl zooms through the zoom list keeping the point under the pointer in
// place; Ctrl++ and Ctrl+− zoom about the middle of the view; Esc breaks off the stroke under
// way; a letter chooses a tool (shown in the tool buttons' tips) unless text is being typed;
// and the zoom list's context menu switches the pixel grid.
class EditorViewKeys : public QObject {
    Q_OBJECT
public:
    explicit EditorViewKeys(PaintWindow& window);

    // The check item "Сетка пикселей" of the zoom list's menu.
    QAction* pixelGridAction() const { return m_grid; }
    // Zooms `steps` rows of the zoom list keeping the work-area point `pointer` in place.
    void zoomAbout(int steps, QPoint pointer);

    // The letter choosing each tool, or 0 for none.
    static char toolKey(ToolId tool);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addToolKeys();
    void addZoomKeys();
    bool wheel(QWheelEvent* event);
    // Whether a letter is being typed into a field: the text tool's box or an option field.
    bool typing() const;

    PaintWindow& m_window;
    QAction* m_grid = nullptr;
    int m_zoomAngle = 0;  // wheel turn with Ctrl not yet amounting to a notch
};

}  // namespace velmar::paint
