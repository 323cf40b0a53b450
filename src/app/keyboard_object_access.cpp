#include "app/keyboard_object_access.h"

#include "app/main_window.h"
#include "canvas/canvas_widget.h"
#include "canvas/outline_view.h"
#include "model/reveal_order.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QPointer>

#include <algorithm>
#include <vector>

namespace velmar {

namespace {

class KeyboardObjectAccess : public QObject {
public:
    explicit KeyboardObjectAccess(MainWindow& window) : QObject(&window), m_window(window)
    {
        addShortcut(QStringLiteral("nextObject"), {QKeySequence(Qt::CTRL | Qt::Key_Tab)}, [this] { step(+1); });
        addShortcut(QStringLiteral("previousObject"),
                    {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_Backtab)},
                    [this] { step(-1); });
        addShortcut(QStringLiteral("objectMenu"), {QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)},
                    [this] { press(m_at, Qt::RightButton); });
    }

private:
    template <typename Slot>
    void addShortcut(const QString& name, const QList<QKeySequence>& keys, Slot slot)
    {
        auto* action = new QAction(&m_window);
        action->setObjectName(name);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, slot);
        m_window.addAction(action);
    }

    // The stops in reading order; 0 is the empty canvas.
    std::vector<ObjectId> stops() const
    {
        std::vector<ObjectId> order{0};
        const RevealOrder reveal(m_window.document().outline);
        for (int s = 1; s <= reveal.lastStep(); ++s)
            for (ObjectId id : reveal.step(s).appearing)
                if (std::find(order.begin(), order.end(), id) == order.end())
                    order.push_back(id);
        return order;
    }

    void step(int direction)
    {
        // Nothing to reach while no outline is open: the canvas takes no presses then.
        if (!m_window.canvas()->isEnabled())
            return;
        const std::vector<ObjectId> order = stops();
        // Go on from the last stop these keys reached, or from the object the mouse pressed since.
        const ObjectId current = m_window.document().interaction.currentObject;
        const ObjectId from = current != m_currentAfterPress ? current : m_at;
        auto it = std::find(order.begin(), order.end(), from);
        const int count = int(order.size());
        const int index = it == order.end() ? 0 : int(it - order.begin());
        m_at = order[std::size_t(((index + direction) % count + count) % count)];
        press(m_at, Qt::LeftButton);
        m_currentAfterPress = m_window.document().interaction.currentObject;
    }

    // A click at the object's middle (on an arrow's line, which alone takes presses), or on the
    // canvas's middle for the empty canvas: the same handlers as the mouse, so the same selection,
    // current object, creation point and menu.
    void press(ObjectId id, Qt::MouseButton button)
    {
        QWidget* target = m_window.canvas();
        QPoint at = target->rect().center();
        if (id) {
            const Outline& o = m_window.document().outline;
            QWidget* w = m_window.outlineView()->widget(id);
            if (!w || !o.find(id).isValid()) {
                m_at = 0;
                return;
            }
            target = w;
            at = w->rect().center();
            if (const int arrow = o.findSlot(ObjectKind::Arrow, id)) {
                const ArrowObject& a = o.arrow(arrow);
                at = w->mapFrom(m_window.canvas(), QPoint((a.x1 + a.x2) / 2, (a.y1 + a.y2) / 2));
            }
        } else {
            m_window.document().interaction.currentObject = 0;
        }
        const QPointF global = target->mapToGlobal(QPointF(at));
        QMouseEvent down(QEvent::MouseButtonPress, QPointF(at), global, button, button, Qt::NoModifier);
        QApplication::sendEvent(target, &down);
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(at), global, button, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &up);
    }

    MainWindow& m_window;
    ObjectId m_at = 0;
    // The current object as the last press of these keys left it (an arrow does not become it).
    ObjectId m_currentAfterPress = 0;
};

}  // namespace

void installKeyboardObjectAccess(MainWindow& window) { new KeyboardObjectAccess(window); }

}  // namespace velmar
