#include "paint/classic_scroll_bars.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyleOptionSlider>

namespace velmar::paint {

namespace {

const QColor kFace(192, 192, 192);
const QColor kLight(255, 255, 255);
const QColor kShadow(128, 128, 128);
const QColor kDarkShadow(0, 0, 0);
const QColor kTrack(224, 224, 224);
const QColor kTrackPressed(128, 128, 128);

// A frame one pixel wide inside `r`: `topLeft` along the top and left edges, `bottomRight` along
// the other two.
void edge(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

// A button face: raised, or flat with a grey border while it is held down.
void button(QPainter& p, const QRect& r, bool pressed)
{
    p.fillRect(r, kFace);
    if (pressed) {
        edge(p, r, kShadow, kShadow);
        return;
    }
    edge(p, r, kFace, kDarkShadow);
    edge(p, r.adjusted(1, 1, -1, -1), kLight, kShadow);
}

enum class Towards { Left, Right, Up, Down };

// A solid triangle pointing `towards`, its base `side` pixels long (odd), centred on `centre`.
void arrow(QPainter& p, QPoint centre, int side, Towards towards, const QColor& colour)
{
    const int rows = (side + 1) / 2;
    for (int i = 0; i < rows; ++i) {
        const int length = side - 2 * i;  // the base first, then narrower towards the point
        const int across = length / 2;
        const int along = rows / 2 - i;  // from the centre towards the point
        switch (towards) {
        case Towards::Up: p.fillRect(QRect(centre.x() - across, centre.y() + along, length, 1), colour); break;
        case Towards::Down: p.fillRect(QRect(centre.x() - across, centre.y() - along, length, 1), colour); break;
        case Towards::Left: p.fillRect(QRect(centre.x() + along, centre.y() - across, 1, length), colour); break;
        case Towards::Right: p.fillRect(QRect(centre.x() - along, centre.y() - across, 1, length), colour); break;
        }
    }
}

}  // namespace

void ClassicScrollBars::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                           const QWidget* widget) const
{
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || !bar) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    QPainter& p = *painter;
    const bool enabled = bar->state & State_Enabled;
    const bool horizontal = bar->orientation == Qt::Horizontal;
    const auto held = [&](SubControl part) { return (bar->activeSubControls & part) && (bar->state & State_Sunken); };
    const auto area = [&](SubControl part) { return subControlRect(CC_ScrollBar, bar, part, widget); };

    // The track whole (a bar without a thumb shows nothing else there), then a page held down.
    if (bar->subControls & SC_ScrollBarGroove)
        p.fillRect(area(SC_ScrollBarGroove), kTrack);
    for (SubControl page : {SC_ScrollBarSubPage, SC_ScrollBarAddPage})
        if ((bar->subControls & page) && enabled && held(page))
            p.fillRect(area(page), kTrackPressed);

    const struct {
        SubControl part;
        Towards towards;
    } buttons[] = {{SC_ScrollBarSubLine, horizontal ? Towards::Left : Towards::Up},
                   {SC_ScrollBarAddLine, horizontal ? Towards::Right : Towards::Down}};
    for (const auto& b : buttons) {
        if (!(bar->subControls & b.part))
            continue;
        const QRect r = area(b.part);
        if (r.isEmpty())
            continue;
        const bool pressed = enabled && held(b.part);
        button(p, r, pressed);
        const int side = std::max(1, ((std::min(r.width(), r.height()) - 2) / 2) | 1);
        // Pressed, the glyph moves down and right with the face, as a classic button's does.
        const QPoint centre = r.center() + (pressed ? QPoint(1, 1) : QPoint(0, 0));
        if (enabled) {
            arrow(p, centre, side, b.towards, kDarkShadow);
        } else {
            arrow(p, centre + QPoint(1, 1), side, b.towards, kLight);
            arrow(p, centre, side, b.towards, kShadow);
        }
    }

    // A bar with nothing to scroll shows no thumb.
    if ((bar->subControls & SC_ScrollBarSlider) && enabled && bar->maximum > bar->minimum) {
        const QRect thumb = area(SC_ScrollBarSlider);
        if (!thumb.isEmpty())
            button(p, thumb, false);
    }
}

QStyle* classicScrollBars()
{
    static QPointer<ClassicScrollBars> style;
    if (!style) {
        style = new ClassicScrollBars;
        style->setParent(qApp);
    }
    return style;
}

QRect scrollBarPart(const QScrollBar& bar, QStyle::SubControl part)
{
    // The option the bar paints itself with.
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar.orientation();
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = bar.sliderPosition();
    option.sliderValue = bar.value();
    option.singleStep = bar.singleStep();
    option.pageStep = bar.pageStep();
    // Right to left, the style mirrors the parts itself (from the direction initFrom() took).
    option.upsideDown = bar.invertedAppearance();
    if (bar.orientation() == Qt::Horizontal)
        option.state |= QStyle::State_Horizontal;
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar);
}

}  // namespace velmar::paint
