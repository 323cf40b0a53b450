#include "canvas/selection_handles.h"

#include "canvas/canvas_widget.h"

#include <QPainter>
#include <QToolBar>

namespace velmar {

namespace {

// A dotted rectangle outline that lets every press through to what lies under it. Inside a frame
// the widget covers only the part of the outline within the frame; the rectangle is drawn where
// it would stand whole, so the part outside the frame is simply not shown.
class SelectionOutline : public QWidget {
public:
    explicit SelectionOutline(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_TranslucentBackground);
    }

    void place(const QRect& whole, const QRect& clip)
    {
        m_whole = whole;
        setGeometry(clip.isNull() ? whole : whole.intersected(clip));
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        QPen pen(Qt::black, 1, Qt::DotLine);
        p.setPen(pen);
        p.drawRect(m_whole.translated(-pos()).adjusted(0, 0, -1, -1));
    }

private:
    QRect m_whole;
};

const QStringList kBlackSet = {"Shape1", "Panel11", "Panel3", "Panel4", "Panel5", "Panel6",
                               "Panel7", "Panel8", "Panel9", "Panel10"};
const QStringList kBlueSet = {"Shape2", "Panel20", "Panel12", "Panel13", "Panel14", "Panel15",
                              "Panel16", "Panel17", "Panel18", "Panel19"};
const QStringList kArrowSet = {"Panel23", "Panel24"};

}  // namespace

SelectionHandles::SelectionHandles(CanvasWidget* canvas, const Document& document)
    : QObject(canvas), m_canvas(canvas), m_document(document)
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

void SelectionHandles::installHandleFilter(QObject* filter)
{
    for (auto it = m_components.cbegin(); it != m_components.cend(); ++it)
        if (it.key().startsWith(QLatin1String("Panel")))
            it.value()->installEventFilter(filter);
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
}

void SelectionHandles::apply(const AdornmentLayout& layout)
{
    static_cast<SelectionOutline*>(m_components.value(layout.outlineName))
        ->place(layout.outline.translated(layout.outlineOrigin), layout.outlineClip);
    for (const auto& [name, rect] : layout.panels)
        m_components.value(name)->setGeometry(rect);
}

bool SelectionHandles::placeBlack()
{
    const std::optional<AdornmentLayout> layout = blackSetFor(m_document.outline, m_model.blackAround);
    if (layout)
        apply(*layout);
    else
        m_model.blackAround = 0;
    setVisible(kBlackSet, layout.has_value());
    return layout.has_value();
}

bool SelectionHandles::placeBlue()
{
    const std::optional<AdornmentLayout> layout = blueSetFor(m_document.outline, m_model.blueAround);
    if (layout)
        apply(*layout);
    else
        m_model.blueAround = 0;
    setVisible(kBlueSet, layout.has_value());
    return layout.has_value();
}

void SelectionHandles::placeArrowHandles()
{
    m_components.value(QStringLiteral("Panel23"))->setGeometry(arrowStartHandle(m_model.arrowStart));
    m_components.value(QStringLiteral("Panel24"))->setGeometry(arrowEndHandle(m_model.arrowEnd));
    setVisible(kArrowSet, m_model.arrowHandles);
}

void SelectionHandles::showBlackSet(ObjectId id)
{
    m_model.blackAround = id;
    placeBlack();
    emit visibilityChanged();
}

void SelectionHandles::showBlueSet(ObjectId id)
{
    m_model.blueAround = id;
    placeBlue();
    emit visibilityChanged();
}

void SelectionHandles::showArrowHandles(QPoint start, QPoint end)
{
    m_model.arrowHandles = true;
    m_model.arrowStart = start;
    m_model.arrowEnd = end;
    placeArrowHandles();
    emit visibilityChanged();
}

void SelectionHandles::moveArrowEnd(bool start, QPoint point)
{
    (start ? m_model.arrowStart : m_model.arrowEnd) = point;
    placeArrowHandles();
}

void SelectionHandles::hideBlackSet()
{
    m_model.blackAround = 0;
    setVisible(kBlackSet, false);
    emit visibilityChanged();
}

void SelectionHandles::hideBlueSet()
{
    m_model.blueAround = 0;
    setVisible(kBlueSet, false);
    emit visibilityChanged();
}

void SelectionHandles::hideArrowHandles()
{
    m_model.arrowHandles = false;
    setVisible(kArrowSet, false);
    emit visibilityChanged();
}

void SelectionHandles::hideAll()
{
    m_model = SelectionModel{};
    setVisible(kBlackSet, false);
    setVisible(kBlueSet, false);
    setVisible(kArrowSet, false);
    emit visibilityChanged();
}

void SelectionHandles::refresh()
{
    const SelectionModel before = m_model;
    if (m_model.blackAround)
        placeBlack();
    if (m_model.blueAround)
        placeBlue();
    if (m_model.arrowHandles)
        placeArrowHandles();
    if (before.blackAround != m_model.blackAround || before.blueAround != m_model.blueAround)
        emit visibilityChanged();
}

}  // namespace velmar
