#include "export/outline_renderer.h"

#include "canvas/canvas_widget.h"
#include "canvas/film_panel_widget.h"
#include "canvas/object_widgets.h"
#include "canvas/outline_view.h"

#include <QPainter>

#include <cmath>

namespace velmar {

OutlineRenderer::OutlineRenderer(const Document& document, QSize clientSize, Area area, Films films)
    : m_area(area), m_document(std::make_unique<Document>(document)), m_canvas(std::make_unique<CanvasWidget>())
{
    m_canvas->setAttribute(Qt::WA_DontShowOnScreen);
    m_canvas->resize(clientSize);
    m_canvas->setCanvasColour(m_document->state.canvasColour);
    m_view = std::make_unique<OutlineView>(*m_document, m_canvas.get());
    m_view->sync();
    // Films opened by the view would begin opening once the event loop runs; a drawing of stills
    // calls that off before it can start.
    for (FilmPanelWidget* film : m_canvas->findChildren<FilmPanelWidget*>())
        film->showStill(films == Films::Players);
    // Shown (never on a screen) so that the widgets lay themselves out and paint.
    m_canvas->show();
}

OutlineRenderer::~OutlineRenderer()
{
    // The view's widgets are children of the canvas: the view goes first, then the canvas.
    m_view.reset();
}

QRect OutlineRenderer::drawnArea() const
{
    if (m_area == Area::WholeCanvas)
        return m_canvas->rect();
    return WindowGeometry(m_canvas->size()).belowToolBar();
}

QSize OutlineRenderer::size() const { return drawnArea().size(); }

void OutlineRenderer::setObjectVisible(ObjectId id, bool visible)
{
    if (QWidget* widget = m_view->shownWidget(id))
        widget->setVisible(visible);
}

QWidget* OutlineRenderer::objectWidget(ObjectId id) const { return m_view->shownWidget(id); }

QWidget* OutlineRenderer::canvasWidget() const { return m_canvas.get(); }

void OutlineRenderer::setFullResolutionPictures(bool on)
{
    for (PictureWidget* picture : m_canvas->findChildren<PictureWidget*>())
        picture->setDrawStoredBitmap(on);
}

void OutlineRenderer::drawForAnyScale()
{
    setFullResolutionPictures(true);
    for (ArrowWidget* arrow : m_canvas->findChildren<ArrowWidget*>())
        arrow->setDrawStrokes(true);
}

void OutlineRenderer::paint(QPainter& painter) const
{
    const QRect area = drawnArea();
    if (area.isEmpty())
        return;
    // QWidget::render places the source region's top-left corner at the target offset.
    m_canvas->render(&painter, QPoint(0, 0), QRegion(area), QWidget::DrawWindowBackground | QWidget::DrawChildren);
}

void OutlineRenderer::paint(QPainter& painter, const QRegion& parts) const
{
    const QRect area = drawnArea();
    const QRegion source = parts.translated(area.topLeft()) & area;
    if (source.isEmpty())
        return;
    // The region's bounding corner lands at the target offset. Keeping that corner at the area's
    // own (one pixel more to draw) keeps the painter's transformation exactly that of a whole
    // drawing: an offset worked into it would shift the sampling of scaled pictures by rounding.
    m_canvas->render(&painter, QPoint(0, 0), source + QRect(area.topLeft(), QSize(1, 1)),
                     QWidget::DrawWindowBackground | QWidget::DrawChildren);
}

void OutlineRenderer::paintObject(QPainter& painter, ObjectId id) const
{
    QWidget* widget = m_view->shownWidget(id);
    if (!widget || !widget->isVisibleTo(m_canvas.get()))
        return;
    const QPoint at = widget->mapTo(m_canvas.get(), QPoint(0, 0)) - drawnArea().topLeft();
    widget->render(&painter, at, QRegion(), QWidget::DrawChildren);
}

QRect OutlineRenderer::objectArea(ObjectId id) const
{
    const QWidget* widget = m_view->shownWidget(id);
    if (!widget)
        return {};
    QRect rect = widget->rect();
    // Each parent up to the canvas clips what reaches past its edges.
    for (const QWidget* w = widget; w != m_canvas.get() && w->parentWidget(); w = w->parentWidget())
        rect = rect.translated(w->pos()) & w->parentWidget()->rect();
    return rect.translated(-drawnArea().topLeft());
}

QImage OutlineRenderer::image(double scale) const
{
    const QSize area = size();
    const QSize pixels(int(std::lround(area.width() * scale)), int(std::lround(area.height() * scale)));
    if (pixels.isEmpty() || !(scale > 0))
        return {};
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(toQColor(m_document->state.canvasColour));
    QPainter painter(&image);
    // Qt smooths a scaled picture a shade differently with and without a clip; drawing through
    // one keeps this picture pixel for pixel equal to the presentation's partial redraws.
    painter.setClipRect(image.rect());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(double(pixels.width()) / area.width(), double(pixels.height()) / area.height());
    paint(painter);
    painter.end();
    return image;
}

}  // namespace velmar
