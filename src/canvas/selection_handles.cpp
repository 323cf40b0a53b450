#include "canvas/selection_handles.h"

#include "canvas/canvas_widget.h"
#include "canvas/selection_geometry.h"

#include <QPainter>
#include <QToolBar>

namespace velmar {

namespace {

// A dotted rectangle outline that lets every press through to what lies under it.
class SelectionOutline : public QWidget {
public:
    explicit SelectionOutline(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_TranslucentBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        QPen pen(Qt::black, 1, Qt::DotLine);
        p.setPen(pen);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

const QStringList kBlackSet = {"Shape1", "Panel11", "Panel3", "Panel4", "Panel5", "Panel6",
                               "Panel7", "Panel8", "Panel9", "Panel10"};
const QStringList kBlueSet = {"Shape2", "Panel20", "Panel12", "Panel13", "Panel14", "Panel15",
                              "Panel16", "Panel17", "Panel18", "Panel19"};
const QStringList kArrowSet = {"Panel23", "Panel24"};

}  // namespace

SelectionHandles::SelectionHandles(CanvasWidget* canvas) : QObject(canvas), m_canvas(canvas)
{
    const QColor black(Qt::black), blue(0x00, 0x80, 0xFF), fuchsia(0xFF, 0x00, 0xFF);
    const Qt::CursorShape cursors[8] = {Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeFDiagCursor,
                                        Qt::SizeBDiagCursor, Qt::SizeVerCursor,   Qt::SizeHorCursor,
                                        Qt::SizeVerCursor,   Qt::SizeHorCursor};
    for (const QString& name : {QStringLiteral("Shape1"), QStringLiteral("Shape2")}) {
        auto* outline = new SelectionOutline(canvas);
        outline->setObjectName(name);
        outline->hide();
        m_components.insert(name, outline);
    }
    for (int i = 0; i < 8; ++i) {
        make(QStringLiteral("Panel%1").arg(3 + i), kHandleSize, black, cursors[i]);
        make(QStringLiteral("Panel%1").arg(12 + i), kHandleSize, blue, cursors[i]);
    }
    make(QStringLiteral("Panel11"), kBlackMoveBarSize, QColor(0xFF, 0x80, 0x80), Qt::SizeAllCursor);
    make(QStringLiteral("Panel20"), kBlueMoveBarSize, QColor(0xFF, 0x80, 0x40), Qt::SizeAllCursor);
    make(QStringLiteral("Panel23"), kArrowStartHandleSize, fuchsia, Qt::CrossCursor);
    make(QStringLiteral("Panel24"), kArrowEndHandleSize, fuchsia, Qt::CrossCursor);
}

QWidget* SelectionHandles::make(const QString& name, QSize size, const QColor& colour, Qt::CursorShape cursor)
{
    auto* panel = new QWidget(m_canvas);
    panel->setObjectName(name);
    panel->resize(size);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, colour);
    panel->setPalette(palette);
    panel->setCursor(cursor);
    panel->hide();
    m_components.insert(name, panel);
    return panel;
}

QString SelectionHandles::nameOf(const QObject* widget) const
{
    for (auto it = m_components.cbegin(); it != m_components.cend(); ++it)
        if (it.value() == widget && it.key().startsWith(QLatin1String("Panel")))
            return it.key();
    return {};
}

void SelectionHandles::setVisible(const QStringList& names, bool visible)
{
    for (const QString& name : names)
        if (QWidget* w = m_components.value(name)) {
            w->setVisible(visible);
            if (visible)
                w->raise();
        }
    if (visible && m_canvas->toolBar())
        m_canvas->toolBar()->raise();
    emit visibilityChanged();
}

namespace {

void applyLayout(const AdornmentLayout& layout, const QHash<QString, QWidget*>& components)
{
    components.value(layout.outlineName)->setGeometry(layout.outline);
    for (const auto& [name, rect] : layout.panels)
        components.value(name)->setGeometry(rect);
}

}  // namespace

void SelectionHandles::placeBlackSet(const QRect& bounds)
{
    applyLayout(blackSetAround(bounds), m_components);
    setVisible(kBlackSet, true);
}

void SelectionHandles::placeBlueSetInFrame(const QRect& objectInFrame, QWidget* frame)
{
    QWidget* shape = m_components.value(QStringLiteral("Shape2"));
    if (shape->parentWidget() != frame)
        shape->setParent(frame);
    applyLayout(blueSetInFrame(objectInFrame, frame->pos()), m_components);
    setVisible(kBlueSet, true);
}

void SelectionHandles::placeBlueSetOnCanvas(const QRect& bounds, ObjectKind kind)
{
    reclaimShape2();
    applyLayout(blueSetOnCanvas(bounds, kind), m_components);
    setVisible(kBlueSet, true);
}

void SelectionHandles::placeArrowHandles(int x1, int y1, int x2, int y2)
{
    m_components.value(QStringLiteral("Panel23"))->setGeometry(arrowStartHandle(QPoint(x1, y1)));
    m_components.value(QStringLiteral("Panel24"))->setGeometry(arrowEndHandle(QPoint(x2, y2)));
    setVisible(kArrowSet, true);
}

void SelectionHandles::hideBlackSet() { setVisible(kBlackSet, false); }
void SelectionHandles::hideBlueSet() { setVisible(kBlueSet, false); }
void SelectionHandles::hideArrowHandles() { setVisible(kArrowSet, false); }

void SelectionHandles::hideAll()
{
    hideBlackSet();
    hideBlueSet();
    hideArrowHandles();
}

void SelectionHandles::reclaimShape2()
{
    QWidget* shape = m_components.value(QStringLiteral("Shape2"));
    if (shape->parentWidget() != m_canvas) {
        const bool visible = shape->isVisible();
        shape->setParent(m_canvas);
        shape->setVisible(visible);
    }
}

bool SelectionHandles::blackSetVisible() const { return m_components.value(QStringLiteral("Panel3"))->isVisible(); }
bool SelectionHandles::blueSetVisible() const { return m_components.value(QStringLiteral("Panel12"))->isVisible(); }

QPoint SelectionHandles::arrowStart() const
{
    return arrowPointOfHandle(m_components.value(QStringLiteral("Panel23"))->pos());
}

QPoint SelectionHandles::arrowEnd() const
{
    return arrowPointOfHandle(m_components.value(QStringLiteral("Panel24"))->pos());
}

}  // namespace velmar
