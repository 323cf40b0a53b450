#pragma once

#include "export/outline_renderer.h"
#include "model/reveal_order.h"

#include <QImage>
#include <QRegion>
#include <QTransform>

#include <map>
#include <utility>

namespace velmar {

class FilmPanelWidget;

// What a presentation shows on a screen of a given size, kept as one picture: the whole canvas
// (the band under the window's tool bar included) with the outline up to
// the current step, scaled uniformly to fit with its aspect kept and centred on the canvas colour,
// and below it, when switched on, a strip with the step's subtitle (the outline shrinks to leave
// room for it). The outline is drawn by the same renderer as exported pictures, from a copy of
// the document: presenting never touches the outline being edited.
//
// A step redraws only where objects appeared or vanished; every change returns the region of the
// picture it touched, so that a window repaints no more than that.
class PresentationPicture {
public:
    PresentationPicture(const Document& document, QSize clientSize, QSize screenSize);
    ~PresentationPicture();

    // The outline as shown at the current step, at its scale on the screen.
    const QImage& image() const { return m_image; }
    const RevealOrder& order() const { return m_order; }
    OutlineRenderer& renderer() { return m_renderer; }
    const OutlineRenderer& renderer() const { return m_renderer; }

    int step() const { return m_step; }
    // Moves to a step (clamped to the outline's steps).
    QRegion setStep(int step);
    QRegion next() { return setStep(m_step + 1); }
    QRegion previous() { return setStep(m_step - 1); }

    bool subtitlesShown() const { return m_subtitles; }
    QRegion setSubtitlesShown(bool on);
    QRegion setScreenSize(QSize size);

    // Where the outline lies in the picture, and its scale against the canvas.
    QRect outlineRect() const { return m_outlineRect; }
    double scale() const { return m_scale; }
    // From the outline's coordinates (the canvas's pixels) to the screen's.
    QTransform outlineToScreen() const
    {
        return QTransform(m_scaleX, 0, 0, m_scaleY, m_outlineRect.x(), m_outlineRect.y());
    }
    QRect subtitleRect() const;

    // Draws the part of the screen picture that `exposed` covers (screen coordinates): canvas
    // colour around the outline, the outline, the subtitle strip.
    void paint(QPainter& painter, const QRect& exposed) const;

    // The video fragment shown under a point of the picture, or nullptr.
    FilmPanelWidget* videoAt(QPoint point) const;
    // Draws again the shown video fragments whose player brought a new picture or changed state
    // since they were drawn (films open and play in the background).
    QRegion refreshVideos();

private:
    int stripHeightForTexts() const;
    void layOut();
    QRegion redrawAll();
    QRegion redrawObjects(const std::vector<ObjectId>& ids);
    // Draws a region of the outline picture again; returns it in screen coordinates.
    QRegion redrawRegion(const QRegion& dirty);
    QRegion withImageRowsWhole(QRegion dirty) const;
    void paintSubtitle(QPainter& painter, const QRect& strip) const;
    // The outline picture's pixels an area rectangle touches.
    QRect toPicture(const QRect& area) const;
    std::pair<int, int> videoSignature(const FilmPanelWidget* video) const;

    OutlineRenderer m_renderer;
    RevealOrder m_order;
    QColor m_canvasColour;
    QSize m_screenSize;
    QImage m_image;
    QRect m_outlineRect;
    double m_scale = 1.0;                   // the uniform scale fitting the outline into the room it has
    double m_scaleX = 1.0, m_scaleY = 1.0;  // the same, made to whole pixels
    int m_step = 0;
    bool m_subtitles = false;
    int m_stripHeight = 32;                // the subtitle strip's height when shown
    std::vector<ObjectId> m_imageObjects;  // pictures, films and arrows: drawn as scaled images
    // The shown video fragments and the player state they were drawn with.
    std::map<ObjectId, std::pair<int, int>> m_videosDrawn;
};

}  // namespace velmar
