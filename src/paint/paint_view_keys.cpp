// Wheel, zoom keys, Esc, tool letters and the pixel grid switch of the graphic editor.
#include "paint/paint_view_keys.h"

#include "paint/core/view_steps.h"
#include "paint/core/zoom_mapping.h"
#include "paint/paint_option_list.h"
#include "paint/paint_picture_view.h"
#include "paint/paint_tool_column.h"
#include "paint/paint_window.h"
#include "paint/paint_work_area.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QToolButton>
#include <QWheelEvent>

#include <utility>

namespace velmar::paint {

namespace {

struct ToolKey {
    ToolId tool;
    char key;
};

// Letters of the editor's tools, in the Latin layout (Qt also finds them under another layout).
constexpr ToolKey kToolKeys[] = {
    {ToolId::Pencil, 'P'},       {ToolId::Eraser, 'E'}, {ToolId::Line, 'L'},  {ToolId::Rectangle, 'R'},
    {ToolId::Ellipse, 'O'},      {ToolId::Fill, 'F'},   {ToolId::Text, 'T'},  {ToolId::Selection, 'S'},
    {ToolId::ColourPicker, 'I'}, {ToolId::Zoom, 'Z'},   {ToolId::Spray, 'A'}, {ToolId::RoundedRectangle, 'U'},
};

}  // namespace

char EditorViewKeys::toolKey(ToolId tool)
{
    for (const ToolKey& k : kToolKeys)
        if (k.tool == tool)
            return k.key;
    return 0;
}

EditorViewKeys::EditorViewKeys(PaintWindow& window) : QObject(&window), m_window(window)
{
    setObjectName(QStringLiteral("paintViewKeys"));
    addToolKeys();
    addZoomKeys();

    QAction* cancel = new QAction(QCoreApplication::translate("PaintWindow", "Прервать"), &window);
    cancel->setObjectName(QStringLiteral("paintCancelStroke"));
    cancel->setShortcut(QKeySequence(Qt::Key_Escape));
    cancel->setShortcutContext(Qt::WindowShortcut);
    connect(cancel, &QAction::triggered, this, [this] {
        if (!m_window.editor().cancelStroke())
            m_window.editor().cancelResize();
    });
    window.addAction(cancel);

    m_grid = new QAction(QCoreApplication::translate("PaintWindow", "Сетка пикселей (6x и 8x)"), &window);
    m_grid->setObjectName(QStringLiteral("paintPixelGrid"));
    m_grid->setCheckable(true);
    connect(m_grid, &QAction::toggled, this, [this](bool on) { m_window.workArea()->pictureView()->setPixelGrid(on); });
    OptionList* zoomList = window.toolColumn()->zoomList();
    zoomList->addAction(m_grid);
    zoomList->setContextMenuPolicy(Qt::ActionsContextMenu);

    // The wheel over the picture, the floating piece or the grey area reaches the work area.
    window.workArea()->installEventFilter(this);
}

void EditorViewKeys::addToolKeys()
{
    for (const ToolKey& k : kToolKeys) {
        const ToolId tool = k.tool;
        const QString letter = QString(QLatin1Char(k.key));
        QAction* a = new QAction(&m_window);
        a->setObjectName(QStringLiteral("paintToolKey") + letter);
        a->setShortcut(QKeySequence(letter));
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, [this, tool] {
            // A letter typed into a field is text; during a stroke the tool stays.
            if (typing() || m_window.document().buttonDown() || m_window.editor().resizing())
                return;
            emit m_window.toolColumn()->toolClicked(tool);
            m_window.toolColumn()->refresh();
        });
        m_window.addAction(a);
        if (QToolButton* button = m_window.toolColumn()->button(tool))
            button->setToolTip(QStringLiteral("%1 (%2)").arg(button->toolTip(), letter));
    }
}

void EditorViewKeys::addZoomKeys()
{
    const auto add = [this](const char* name, const QString& caption, QList<QKeySequence> keys, int steps) {
        QAction* a = new QAction(caption, &m_window);
        a->setObjectName(QLatin1String(name));
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, [this, steps] {
            if (typing())
                return;
            zoomAbout(steps, m_window.workArea()->viewport().center());
        });
        m_window.addAction(a);
    };
    // Ctrl+= is Ctrl++ without Shift on most layouts.
    add("paintZoomIn", QCoreApplication::translate("PaintWindow", "Увеличить"),
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}, +1);
    add("paintZoomOut", QCoreApplication::translate("PaintWindow", "Уменьшить"),
        {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, -1);
}

bool EditorViewKeys::typing() const
{
    const QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return false;
    return qobject_cast<const QPlainTextEdit*>(focus) || qobject_cast<const QLineEdit*>(focus)
           || qobject_cast<const QAbstractSpinBox*>(focus);
}

void EditorViewKeys::zoomAbout(int steps, QPoint pointer)
{
    PaintDocument& doc = m_window.document();
    const int row = steppedZoomRow(doc.zoomIndex(), steps, doc.zoom());
    if (row == doc.zoomIndex() || doc.buttonDown())
        return;
    WorkArea* area = m_window.workArea();
    QScrollBar* h = area->horizontalBar();
    QScrollBar* v = area->verticalBar();
    const ZoomScale oldZoom = doc.zoom();
    const QPoint scroll(h->value(), v->value());
    m_window.editor().zoomKeepingTool(row);
    if (doc.zoomIndex() != row)
        return;
    // The layout has set the scroll bars' ranges for the new zoom; they hold the wanted place to them.
    const QPoint wanted = scrollKeepingPoint(pointer, scroll, oldZoom, doc.zoom());
    h->setValue(wanted.x());
    v->setValue(wanted.y());
}

bool EditorViewKeys::wheel(QWheelEvent* e)
{
    const QPoint angle = e->angleDelta();
    const QPoint pixels = e->pixelDelta();
    if (e->modifiers().testFlag(Qt::ControlModifier)) {
        m_zoomAngle += angle.y() != 0 ? angle.y() : angle.x();
        const int steps = m_zoomAngle / 120;
        if (steps != 0) {
            m_zoomAngle -= steps * 120;
            zoomAbout(steps, e->position().toPoint());
        }
        return true;
    }
    WorkArea* area = m_window.workArea();
    int across = wheelScrollPixels(angle.x(), pixels.x());
    int down = wheelScrollPixels(angle.y(), pixels.y());
    if (e->modifiers().testFlag(Qt::ShiftModifier) && across == 0)
        std::swap(across, down);
    if (across != 0)
        area->horizontalBar()->setValue(area->horizontalBar()->value() + across);
    if (down != 0)
        area->verticalBar()->setValue(area->verticalBar()->value() + down);
    return true;
}

bool EditorViewKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel && watched == m_window.workArea())
        return wheel(static_cast<QWheelEvent*>(event));
    return QObject::eventFilter(watched, event);
}

}  // namespace velmar::paint
