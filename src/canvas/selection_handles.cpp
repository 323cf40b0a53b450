#include "canvas/selection_handles.h"

#include "canvas/canvas_widget.h"
#include "model/arrow_attachment.h"

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

// A wide green rim around an object that a dragged arrow end would be attached to; presses go
// through it.
class AttachHighlight : public QWidget {
public:
    static constexpr int kRim = 3;
    static inline const QColor kColour{0x00, 0xB0, 0x3C};

    explicit AttachHighlight(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_TranslucentBackground);
    }

    void place(const QRect& object) { setGeometry(object.adjusted(-kRim, -kRim, kRim, kRim)); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QRect r = rect();
        for (const QRect& band : {QRect(0, 0, r.width(), kRim), QRect(0, r.height() - kRim, r.width(), kRim),
                                  QRect(0, 0, kRim, r.height()), QRect(r.width() - kRim, 0, kRim, r.height())})
            p.fillRect(band, kColour);
    }
};

// The component names of the adornments, by set and edge (the geometry report and the tests find
// them by these names), and the cursor each handle shows.
struct HandleNames {
    Edge edge;
    const char* black;
    const char* blue;
    Qt::CursorShape cursor;
};
constexpr HandleNames kHandleNames[] = {
    {Edge::TopLeft, "Panel3", "Panel12", Qt::SizeFDiagCursor},
    {Edge::TopRight, "Panel4", "Panel13", Qt::SizeBDiagCursor},
    {Edge::BottomRight, "Panel5", "Panel14", Qt::SizeFDiagCursor},
    {Edge::BottomLeft, "Panel6", "Panel15", Qt::SizeBDiagCursor},
    {Edge::Top, "Panel7", "Panel16", Qt::SizeVerCursor},
    {Edge::Right, "Panel8", "Panel17", Qt::SizeHorCursor},
    {Edge::Bottom, "Panel9", "Panel18", Qt::SizeVerCursor},
    {Edge::Left, "Panel10", "Panel19", Qt::SizeHorCursor},
};
constexpr const char* kBlackOutlineName = "Shape1";
constexpr const char* kBlueOutlineName = "Shape2";
constexpr const char* kBlackMoveBarName = "Panel11";
constexpr const char* kBlueMoveBarName = "Panel20";
constexpr const char* kArrowStartName = "Panel23";
constexpr const char* kArrowEndName = "Panel24";

}  // namespace

SelectionHandles::SelectionHandles(CanvasWidget* canvas, const Document& document)
    : QObject(canvas), m_canvas(canvas), m_document(document)
{
    const QColor black(Qt::black), blue(0x00, 0x80, 0xFF), fuchsia(0xFF, 0x00, 0xFF);
    const auto outlineOf = [&](SelectionSet set, const char* name) {
        auto* outline = new SelectionOutline(canvas);
        outline->setObjectName(QLatin1String(name));
        outline->hide();
        m_components.insert(outline->objectName(), outline);
        m_outlines[set] = outline;
        m_setWidgets[set].push_back(outline);
    };
    outlineOf(SelectionSet::Black, kBlackOutlineName);
    outlineOf(SelectionSet::Blue, kBlueOutlineName);
    const auto handleOf = [&](SelectionSet set, Edge edge, const char* name, QSize size, const QColor& colour,
                              Qt::CursorShape cursor) {
        QWidget* handle = make(name, HandleRole{HandleRole::Kind::SetHandle, set, edge}, size, colour, cursor);
        m_handles[{set, edge}] = handle;
        m_setWidgets[set].push_back(handle);
    };
    handleOf(SelectionSet::Black, Edge::Move, kBlackMoveBarName, kBlackMoveBarSize, QColor(0xFF, 0x80, 0x80),
             Qt::SizeAllCursor);
    handleOf(SelectionSet::Blue, Edge::Move, kBlueMoveBarName, kBlueMoveBarSize, QColor(0xFF, 0x80, 0x40),
             Qt::SizeAllCursor);
    for (const HandleNames& h : kHandleNames) {
        handleOf(SelectionSet::Black, h.edge, h.black, kHandleSize, black, h.cursor);
        handleOf(SelectionSet::Blue, h.edge, h.blue, kHandleSize, blue, h.cursor);
    }
    m_arrowStart = make(kArrowStartName, HandleRole{HandleRole::Kind::ArrowStart}, kArrowStartHandleSize, fuchsia,
                        Qt::CrossCursor);
    m_arrowEnd =
        make(kArrowEndName, HandleRole{HandleRole::Kind::ArrowEnd}, kArrowEndHandleSize, fuchsia, Qt::CrossCursor);
    m_arrowWidgets = {m_arrowStart, m_arrowEnd};
    for (const char* name : {"attachTarget1", "attachTarget2"}) {
        auto* highlight = new AttachHighlight(canvas);
        highlight->setObjectName(QLatin1String(name));
        highlight->hide();
        m_components.insert(highlight->objectName(), highlight);
        m_attachHighlights.push_back(highlight);
    }
}

QWidget* SelectionHandles::make(const char* name, HandleRole role, QSize size, const QColor& colour,
                                Qt::CursorShape cursor)
{
    auto* panel = new QWidget(m_canvas);
    panel->setObjectName(QLatin1String(name));
    panel->resize(size);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, colour);
    panel->setPalette(palette);
    panel->setCursor(cursor);
    panel->hide();
    m_components.insert(panel->objectName(), panel);
    m_roles.insert(panel, role);
    return panel;
}

void SelectionHandles::installHandleFilter(QObject* filter)
{
    for (auto it = m_roles.cbegin(); it != m_roles.cend(); ++it)
        const_cast<QObject*>(it.key())->installEventFilter(filter);
}

std::optional<HandleRole> SelectionHandles::roleOf(const QObject* widget) const
{
    const auto it = m_roles.constFind(widget);
    if (it == m_roles.cend())
        return std::nullopt;
    return it.value();
}

void SelectionHandles::setVisible(const std::vector<QWidget*>& widgets, bool visible)
{
    for (QWidget* w : widgets) {
        w->setVisible(visible);
        if (visible)
            w->raise();
    }
    if (visible && m_canvas->toolBar())
        m_canvas->toolBar()->raise();
}

void SelectionHandles::apply(const AdornmentLayout& layout)
{
    static_cast<SelectionOutline*>(m_outlines.at(layout.set))
        ->place(layout.outline.translated(layout.outlineOrigin), layout.outlineClip);
    for (const auto& [edge, rect] : layout.panels)
        m_handles.at({layout.set, edge})->setGeometry(rect);
}

bool SelectionHandles::placeBlack()
{
    const std::optional<AdornmentLayout> layout = blackSetFor(m_document.outline, m_model.blackAround);
    if (layout)
        apply(*layout);
    else
        m_model.blackAround = 0;
    setVisible(m_setWidgets[SelectionSet::Black], layout.has_value());
    return layout.has_value();
}

bool SelectionHandles::placeBlue()
{
    const std::optional<AdornmentLayout> layout = blueSetFor(m_document.outline, m_model.blueAround);
    if (layout)
        apply(*layout);
    else
        m_model.blueAround = 0;
    setVisible(m_setWidgets[SelectionSet::Blue], layout.has_value());
    return layout.has_value();
}

void SelectionHandles::placeArrowHandles()
{
    m_arrowStart->setGeometry(arrowStartHandle(m_model.arrowStart));
    m_arrowEnd->setGeometry(arrowEndHandle(m_model.arrowEnd));
    setVisible(m_arrowWidgets, m_model.arrowHandles);
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

void SelectionHandles::showAttachTargets(const std::vector<ObjectId>& targets)
{
    m_model.attachTargets = targets;
    std::size_t shown = 0;
    for (ObjectId id : targets) {
        const ObjectRef ref = m_document.outline.find(id);
        const std::optional<QRect> rect = attachableRect(m_document.outline, ref.kind, ref.slot);
        if (!rect || shown >= m_attachHighlights.size())
            continue;
        auto* highlight = static_cast<AttachHighlight*>(m_attachHighlights[shown++]);
        highlight->place(*rect);
        highlight->show();
        highlight->raise();
    }
    for (std::size_t i = shown; i < m_attachHighlights.size(); ++i)
        m_attachHighlights[i]->hide();
    if (shown > 0) {
        // The end handles stay above the rim, the tool bar above everything.
        for (QWidget* w : m_arrowWidgets)
            if (w->isVisible())
                w->raise();
        if (m_canvas->toolBar())
            m_canvas->toolBar()->raise();
    }
}

void SelectionHandles::hideBlackSet()
{
    m_model.blackAround = 0;
    setVisible(m_setWidgets[SelectionSet::Black], false);
    emit visibilityChanged();
}

void SelectionHandles::hideBlueSet()
{
    m_model.blueAround = 0;
    setVisible(m_setWidgets[SelectionSet::Blue], false);
    emit visibilityChanged();
}

void SelectionHandles::hideArrowHandles()
{
    m_model.arrowHandles = false;
    setVisible(m_arrowWidgets, false);
    emit visibilityChanged();
}

void SelectionHandles::hideAll()
{
    m_model = SelectionModel{};
    setVisible(m_setWidgets[SelectionSet::Black], false);
    setVisible(m_setWidgets[SelectionSet::Blue], false);
    setVisible(m_arrowWidgets, false);
    setVisible(m_attachHighlights, false);
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
