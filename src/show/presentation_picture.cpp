#include "show/presentation_picture.h"

#include "canvas/film_panel_widget.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace velmar {

namespace {

// Height of the subtitle strip on a screen of the given height, before the texts are measured.
int baseStripHeight(int screenHeight) { return std::max(32, int(std::lrint(screenHeight * 0.09))); }

// The subtitles' letters: their size follows the screen, as the strip's least height does.
QFont subtitleFont(int screenHeight)
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(std::max(12, baseStripHeight(screenHeight) * 3 / 10));
    return font;
}

// Where a subtitle is written inside a strip: a margin of half the least height at the sides.
QRect subtitleBox(const QRect& strip, int screenHeight)
{
    const int side = baseStripHeight(screenHeight) / 2;
    return strip.adjusted(side, 4, -side, -4);
}

}  // namespace

PresentationPicture::PresentationPicture(const Document& document, QSize clientSize, QSize screenSize)
    : m_renderer(document, clientSize, OutlineRenderer::Area::WholeCanvas, OutlineRenderer::Films::Players),
      m_order(m_renderer.document().outline), m_canvasColour(toQColor(document.state.canvasColour)),
      m_screenSize(screenSize)
{
    const Outline& outline = m_renderer.document().outline;
    for (const PictureObject& p : outline.objects<PictureObject>())
        m_imageObjects.push_back(p.id);
    for (const VideoObject& v : outline.objects<VideoObject>())
        m_imageObjects.push_back(v.id);
    for (const ArrowObject& a : outline.objects<ArrowObject>())
        m_imageObjects.push_back(a.id);
    for (int i = 1; i < m_order.stepCount(); ++i)
        for (ObjectId id : m_order.step(i).appearing)
            m_renderer.setObjectVisible(id, false);
    for (ObjectId id : m_order.shownAt(0))
        if (auto* video = qobject_cast<FilmPanelWidget*>(m_renderer.objectWidget(id)))
            m_videosDrawn[id] = videoSignature(video);
    layOut();
    redrawAll();
}

PresentationPicture::~PresentationPicture() = default;

void PresentationPicture::layOut()
{
    const QSize area = m_renderer.size();
    m_stripHeight = stripHeightForTexts();
    const int strip = m_subtitles ? m_stripHeight : 0;
    const QSize room(m_screenSize.width(), std::max(0, m_screenSize.height() - strip));
    if (area.isEmpty() || room.isEmpty()) {
        m_outlineRect = {};
        return;
    }
    m_scale = std::min(double(room.width()) / area.width(), double(room.height()) / area.height());
    const double scale = m_scale;
    // Whole pixels, as the renderer sizes its pictures; the two factors differ by less than a
    // pixel's worth, so the aspect stays as it was.
    const QSize pixels(std::clamp(int(std::lround(area.width() * scale)), 1, room.width()),
                       std::clamp(int(std::lround(area.height() * scale)), 1, room.height()));
    m_scaleX = double(pixels.width()) / area.width();
    m_scaleY = double(pixels.height()) / area.height();
    m_outlineRect = QRect(QPoint((room.width() - pixels.width()) / 2, (room.height() - pixels.height()) / 2), pixels);
}

QRect PresentationPicture::subtitleRect() const
{
    if (!m_subtitles)
        return {};
    return QRect(0, m_screenSize.height() - m_stripHeight, m_screenSize.width(), m_stripHeight);
}

int PresentationPicture::stripHeightForTexts() const
{
    // One height for the whole show, tall enough for every line of every step's subtitle, so the
    // outline keeps its place from step to step; at most a third of the screen.
    const int screenHeight = m_screenSize.height();
    const int least = baseStripHeight(screenHeight);
    const QFontMetrics metrics(subtitleFont(screenHeight));
    const QRect box = subtitleBox(QRect(0, 0, m_screenSize.width(), least), screenHeight);
    int needed = least;
    const auto measure = [&](const QString& text) {
        if (text.isEmpty() || box.width() <= 0)
            return;
        const QRect tall(0, 0, box.width(), std::max(1, screenHeight));
        needed = std::max(needed, metrics.boundingRect(tall, Qt::AlignCenter | Qt::TextWordWrap, text).height() + 8);
    };
    measure(m_renderer.document().state.outlineName);
    for (int i = 1; i < m_order.stepCount(); ++i)
        measure(m_order.step(i).subtitle);
    return std::clamp(needed, least, std::max(least, screenHeight / 3));
}

QRegion PresentationPicture::redrawAll()
{
    if (m_outlineRect.isEmpty()) {
        m_image = QImage();
    } else {
        m_image = QImage(m_outlineRect.size(), QImage::Format_RGB32);
        redrawRegion(QRegion(m_image.rect()));
    }
    return QRegion(QRect(QPoint(0, 0), m_screenSize));
}

QRect PresentationPicture::toPicture(const QRect& area) const
{
    if (area.isEmpty())
        return {};
    // The pixels the area touches, with one to spare for smoothing at its edges.
    const QRectF scaled(area.x() * m_scaleX, area.y() * m_scaleY, area.width() * m_scaleX, area.height() * m_scaleY);
    return scaled.toAlignedRect().adjusted(-1, -1, 1, 1) & m_image.rect();
}

QRegion PresentationPicture::withImageRowsWhole(QRegion dirty) const
{
    // Qt smooths a scaled picture by stepping through its pixels from the left end of each run it
    // draws; a run starting inside a picture (at the edge of a redraw) comes out a shade different
    // from one starting at the picture's own left edge, as in a drawing of the whole outline.
    // Every row of a redraw that meets a picture, arrow or film therefore reaches back to that
    // object's left edge (only leftwards, and only on those rows, so a redraw stays small).
    std::vector<QRect> images;
    for (ObjectId id : m_imageObjects)
        if (const QRect r = toPicture(m_renderer.objectArea(id)); !r.isEmpty())
            images.push_back(r);
    for (;;) {
        QRegion added;
        for (const QRect& d : dirty)
            for (const QRect& r : images)
                if (const QRect meet = d & r; !meet.isEmpty() && d.left() > r.left())
                    added += QRect(QPoint(r.left(), meet.top()), QPoint(d.left() - 1, meet.bottom()));
        added -= dirty;
        if (added.isEmpty())
            return dirty;
        dirty += added;
    }
}

QRegion PresentationPicture::redrawRegion(const QRegion& dirty)
{
    const QRegion target = withImageRowsWhole(dirty & m_image.rect());
    if (m_image.isNull() || target.isEmpty())
        return {};
    // The renderer draws a little more than the target, so that the clip, not the edge of what
    // was drawn, decides the outermost pixels: they come out as in a drawing of the whole outline.
    QRegion parts;
    for (const QRect& r : target)
        parts += QRectF(r.x() / m_scaleX, r.y() / m_scaleY, r.width() / m_scaleX, r.height() / m_scaleY)
                     .toAlignedRect()
                     .adjusted(-3, -3, 3, 3);
    QPainter painter(&m_image);
    painter.setClipRegion(target);
    for (const QRect& r : target)
        painter.fillRect(r, m_canvasColour);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(m_scaleX, m_scaleY);
    m_renderer.paint(painter, parts);
    painter.end();
    return target.translated(m_outlineRect.topLeft());
}

QRegion PresentationPicture::redrawObjects(const std::vector<ObjectId>& ids)
{
    QRegion dirty;
    for (ObjectId id : ids)
        dirty += toPicture(m_renderer.objectArea(id));
    return redrawRegion(dirty);
}

QRegion PresentationPicture::setStep(int step)
{
    step = std::clamp(step, 0, std::max(0, m_order.lastStep()));
    if (step == m_step)
        return {};
    const bool forward = step > m_step;
    std::vector<ObjectId> changed;
    for (int i = std::min(step, m_step) + 1; i <= std::max(step, m_step); ++i)
        for (ObjectId id : m_order.step(i).appearing) {
            m_renderer.setObjectVisible(id, forward);
            changed.push_back(id);
            if (auto* video = qobject_cast<FilmPanelWidget*>(m_renderer.objectWidget(id))) {
                if (forward)
                    m_videosDrawn[id] = videoSignature(video);
                else
                    m_videosDrawn.erase(id);
            }
        }
    m_step = step;
    QRegion region = redrawObjects(changed);
    region += subtitleRect();
    return region;
}

QRegion PresentationPicture::setSubtitlesShown(bool on)
{
    if (on == m_subtitles)
        return {};
    m_subtitles = on;
    layOut();
    return redrawAll();
}

QRegion PresentationPicture::setScreenSize(QSize size)
{
    if (size == m_screenSize)
        return {};
    m_screenSize = size;
    layOut();
    return redrawAll();
}

void PresentationPicture::paint(QPainter& painter, const QRect& exposed) const
{
    painter.fillRect(exposed, m_canvasColour);
    const QRect outline = exposed & m_outlineRect;
    if (!outline.isEmpty())
        painter.drawImage(outline.topLeft(), m_image, outline.translated(-m_outlineRect.topLeft()));
    const QRect strip = subtitleRect();
    if (strip.intersects(exposed))
        paintSubtitle(painter, strip);
}

void PresentationPicture::paintSubtitle(QPainter& painter, const QRect& strip) const
{
    painter.fillRect(strip, QColor(32, 32, 32));
    // The start names the outline; every later step says its lead's minimal text.
    const QString text = m_step == 0 ? m_renderer.document().state.outlineName : m_order.step(m_step).subtitle;
    if (text.isEmpty())
        return;
    QFont font = subtitleFont(m_screenSize.height());
    painter.setPen(Qt::white);
    const QRect box = subtitleBox(strip, m_screenSize.height());
    const auto fits = [&](const QFont& f, const QString& t) {
        const QRect needed = QFontMetrics(f).boundingRect(box, Qt::AlignCenter | Qt::TextWordWrap, t);
        return needed.height() <= box.height() && needed.width() <= box.width();
    };
    // The strip is made for the tallest subtitle; only one taller than a third of the screen is
    // written smaller, down to 8-pixel letters, and beyond that ends with an ellipsis.
    while (!fits(font, text) && font.pixelSize() > 8)
        font.setPixelSize(font.pixelSize() - 1);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    QString shown = text;
    if (!fits(font, shown)) {
        shown = metrics.elidedText(text, Qt::ElideRight, box.width() * 2 - metrics.averageCharWidth() * 4);
        while (shown.size() > 1
               && metrics.boundingRect(box, Qt::AlignCenter | Qt::TextWordWrap, shown).height() > box.height())
            shown = metrics.elidedText(text, Qt::ElideRight,
                                       metrics.horizontalAdvance(shown) - metrics.averageCharWidth() * 4);
    }
    painter.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, shown);
}

std::pair<int, int> PresentationPicture::videoSignature(const FilmPanelWidget* video) const
{
    return {video->framesReceived(), int(video->openState())};
}

FilmPanelWidget* PresentationPicture::videoAt(QPoint point) const
{
    if (!m_outlineRect.contains(point))
        return nullptr;
    const QPointF local = point - m_outlineRect.topLeft();
    const QPoint area(int(std::floor(local.x() / m_scaleX)), int(std::floor(local.y() / m_scaleY)));
    for (const auto& [id, drawn] : m_videosDrawn)
        if (m_renderer.objectArea(id).contains(area))
            return qobject_cast<FilmPanelWidget*>(m_renderer.objectWidget(id));
    return nullptr;
}

QRegion PresentationPicture::refreshVideos()
{
    QRegion changed;
    for (auto& [id, drawn] : m_videosDrawn) {
        const auto* video = qobject_cast<const FilmPanelWidget*>(m_renderer.objectWidget(id));
        if (!video || videoSignature(video) == drawn)
            continue;
        drawn = videoSignature(video);
        changed += toPicture(m_renderer.objectArea(id));
    }
    return redrawRegion(changed);
}

}  // namespace velmar
