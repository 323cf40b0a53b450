#pragma once

#include "model/document.h"

#include <QImage>
#include <QSize>

#include <memory>

class QPainter;
class QRegion;
class QWidget;

namespace velmar {

class CanvasWidget;
class OutlineView;

// Draws an outline the way the canvas shows it, off screen and without a display: the canvas's
// own object widgets are laid out on a hidden canvas and painted onto any QPainter. Exported
// pictures (any scale), PDF, SVG, printed pages, thumbnails and the presentation all draw through
// it, so they show the same thing. Films show their first picture (see film_still.h).
class OutlineRenderer {
public:
    // What is drawn. Exported pictures keep to the canvas below the tool bar, as the export
    // command has always saved it: client width × (client height − tool bar height). The show and
    // the printout draw the whole canvas: the tool bar lets the canvas show through, and objects
    // placed up there are part of the outline.
    enum class Area { BelowToolBar, WholeCanvas };
    // Whether films only show their still (nothing opens a player: drawing is immediate and needs
    // no media framework) or open players that can be played, showing the still until then.
    enum class Films { Stills, Players };

    // The outline is copied: later changes to `document` do not reach the drawing.
    OutlineRenderer(const Document& document, QSize clientSize, Area area = Area::BelowToolBar,
                    Films films = Films::Stills);
    ~OutlineRenderer();
    OutlineRenderer(const OutlineRenderer&) = delete;
    OutlineRenderer& operator=(const OutlineRenderer&) = delete;

    // The drawn area's size at scale 1.
    QSize size() const;
    const Document& document() const { return *m_document; }

    // Every object is shown at first. A hidden frame hides what lies in it; an object shown in a
    // hidden frame stays unseen until the frame is shown.
    void setObjectVisible(ObjectId id, bool visible);
    // The widget drawing an object (null for an unknown id), e.g. to play a video fragment.
    QWidget* objectWidget(ObjectId id) const;
    // The hidden canvas the objects' widgets lie on, for drawing them one by one.
    QWidget* canvasWidget() const;

    // Pictures are drawn from their stored bitmaps, scaled by the painter, instead of from the
    // copies made at the canvas size: for printing, PDF, SVG, enlarged and reduced drawings.
    // Off at first: the drawing at scale 1 is then the screen's pixels exactly.
    void setFullResolutionPictures(bool on);
    // Prepares the drawing for any scale but the screen's: pictures from their stored bitmaps
    // and arrows as strokes rather than their screen-sized pictures.
    void drawForAnyScale();

    // Draws the area with its top-left corner at the painter's origin, through the painter's
    // transformation: a scaled painter gives sharp text, frames and arrows at that scale.
    void paint(QPainter& painter) const;
    // Draws only the objects over some parts of the area (area coordinates, at the painter's
    // origin like the whole area): a cheap redraw of what changed. Pixels the edge of the parts
    // cuts through may differ from a whole drawing; the caller clips to slightly smaller parts.
    void paint(QPainter& painter, const QRegion& parts) const;
    // Draws one shown object alone (without the canvas under it) where it lies in the area, e.g. an
    // arrow again over something drawn on the area since.
    void paintObject(QPainter& painter, ObjectId id) const;
    // Where an object's widget lies in the area, cut to its frame (empty for unknown ids).
    QRect objectArea(ObjectId id) const;

    // The area as a picture of scale × size() pixels (rounded), drawn at that scale.
    QImage image(double scale = 1.0) const;

private:
    QRect drawnArea() const;

    Area m_area;
    std::unique_ptr<Document> m_document;
    std::unique_ptr<CanvasWidget> m_canvas;
    std::unique_ptr<OutlineView> m_view;
};

}  // namespace velmar
