#include "canvas/group_overlay.h"

#include <QEvent>
#include <QPainter>

namespace velmar {

namespace {

const QColor kGroupColour(0, 90, 200);

// A rectangle outline whose lines lie `gap` pixels outside r on every side (a 1-pixel pen draws a
// QRect's outline one pixel beyond its right and bottom edges).
void outlineAround(QPainter& p, const QRect& r, int gap)
{
    p.drawRect(QRect(r.left() - gap, r.top() - gap, r.width() + 2 * gap - 1, r.height() + 2 * gap - 1));
}

}  // namespace

GroupOverlay::GroupOverlay(QWidget* canvas) : QWidget(canvas)
{
    setObjectName(QStringLiteral("groupOverlay"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(canvas->rect());
    canvas->installEventFilter(this);
    hide();
}

bool GroupOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return false;
}

void GroupOverlay::showGroup(std::vector<QRect> members, const QRect& bounds)
{
    m_members = std::move(members);
    m_bounds = m_members.size() > 1 ? bounds : QRect();
    showIfNeeded();
}

void GroupOverlay::showBand(const QRect& band)
{
    m_band = band;
    showIfNeeded();
}

void GroupOverlay::showIfNeeded()
{
    const bool needed = !m_members.empty() || !m_band.isNull();
    if (needed) {
        // Objects made since are drawn above an overlay raised before.
        raise();
        show();
        update();
    } else {
        hide();
    }
}

void GroupOverlay::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QPen dashed(kGroupColour, 1, Qt::DashLine);
    p.setBrush(Qt::NoBrush);
    p.setPen(dashed);
    for (const QRect& r : m_members)
        outlineAround(p, r, 2);
    if (!m_bounds.isNull()) {
        p.setPen(QPen(kGroupColour, 1, Qt::SolidLine));
        outlineAround(p, m_bounds, 5);
    }
    if (!m_band.isNull()) {
        p.setPen(QPen(kGroupColour, 1, Qt::DotLine));
        p.setBrush(QColor(0, 90, 200, 40));
        p.drawRect(m_band.adjusted(0, 0, -1, -1));
    }
}

}  // namespace velmar
