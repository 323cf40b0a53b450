#include "app/window_report.h"

#include "canvas/object_widgets.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

#include <cstdio>

namespace velmar {

namespace {

class WindowReport : public QObject {
public:
    explicit WindowReport(QWidget* canvas) : QObject(canvas), m_canvas(canvas)
    {
        // Window-manager moves arrive in bursts: report once they have settled into one place.
        m_timer.setSingleShot(true);
        m_timer.setInterval(0);
        connect(&m_timer, &QTimer::timeout, this, &WindowReport::reportOrigin);
        qApp->installEventFilter(this);
        m_timer.start();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Expose:
            // The canvas moves on the screen with its window, and inside it as the menu bar and
            // the layout settle.
            if (isChoice(watched))
                reportChoices(static_cast<QWidget*>(watched)->window());
            // "editor X Y W H" (canvas coordinates): a text field's editor shown, as where the
            // pointer came over a field drawn without one.
            if (event->type() == QEvent::Show && m_canvas)
                if (auto* editor = qobject_cast<TextFieldWidget*>(watched)) {
                    const QRect r(editor->mapTo(m_canvas, QPoint(0, 0)), editor->size());
                    std::printf("editor %d %d %d %d\n", r.x(), r.y(), r.width(), r.height());
                    std::fflush(stdout);
                }
            if (watched == m_canvas || (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())) {
                m_timer.start();
                if (event->type() == QEvent::Show)
                    if (auto* menu = qobject_cast<QMenu*>(watched))
                        reportMenu(menu);
            }
            break;
        case QEvent::MouseButtonRelease:
            // A choice made: where every choice lies now that the dialog has settled.
            if (isChoice(watched))
                reportChoices(static_cast<QWidget*>(watched)->window());
            break;
        case QEvent::WindowActivate:
            // A window or dialog that has taken the keyboard: keys sent now reach it.
            if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
                const auto* window = static_cast<QWidget*>(watched);
                const QByteArray name = window->objectName().toUtf8();
                std::printf("active %s %llu %s\n", name.isEmpty() ? "-" : name.constData(),
                            static_cast<unsigned long long>(window->winId()),
                            window->windowTitle().toUtf8().constData());
                reportAnswers(window);
                std::fflush(stdout);
            }
            break;
        default: break;
        }
        return false;
    }

private:
    // The typed id a command table gave an action or a menu, after a space; nothing for others.
    static QByteArray typedId(const QObject* object)
    {
        const QByteArray id = object ? object->property("command").toByteArray() : QByteArray();
        return id.isEmpty() ? id : " " + id;
    }

    // "menu NAME [ID]", then "item NAME X Y W H [ID]" for each of its enabled, visible commands
    // that has a name (global coordinates), so that a command can be chosen by its name or its
    // typed id.
    static void reportMenu(QMenu* menu)
    {
        const QByteArray name = menu->objectName().toUtf8();
        std::printf("menu %s%s\n", name.isEmpty() ? "-" : name.constData(), typedId(menu).constData());
        for (QAction* action : menu->actions()) {
            if (!action->isVisible() || !action->isEnabled() || action->isSeparator() || action->objectName().isEmpty())
                continue;
            const QRect local = menu->actionGeometry(action);
            if (local.isEmpty())
                continue;
            const QRect r(menu->mapToGlobal(local.topLeft()), local.size());
            std::printf("item %s %d %d %d %d%s\n", action->objectName().toUtf8().constData(), r.x(), r.y(), r.width(),
                        r.height(), typedId(action).constData());
        }
        std::fflush(stdout);
    }

    // Controls of a dialog's own pages named choice… (what to print…), which show, move and
    // grow as the dialog lays them out: "answer NAME X Y W H" in their window for every one of
    // them whenever one changes (a layout moving some of them may leave others without an event
    // though their place in the window changed with their parent's).
    static bool isChoice(QObject* watched)
    {
        if (!watched->isWidgetType())
            return false;
        const auto* widget = static_cast<QWidget*>(watched);
        return !widget->isWindow() && widget->objectName().startsWith(QLatin1String("choice"));
    }

    static void reportChoices(const QWidget* window)
    {
        for (const QWidget* widget : window->findChildren<QWidget*>()) {
            if (!widget->objectName().startsWith(QLatin1String("choice")) || !widget->isVisible())
                continue;
            const QRect r(widget->mapTo(window, QPoint(0, 0)), widget->size());
            std::printf("answer %s %d %d %d %d\n", widget->objectName().toUtf8().constData(), r.x(), r.y(), r.width(),
                        r.height());
        }
        std::fflush(stdout);
    }

    // "answer choiceN X Y W H" for each answer button of a question with answers of its own, in
    // the question's window (a driver adds where the window manager put the window).
    static void reportAnswers(const QWidget* window)
    {
        for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            if (!button->objectName().startsWith(QLatin1String("choice")) || !button->isVisible())
                continue;
            const QRect r(button->mapTo(window, QPoint(0, 0)), button->size());
            std::printf("answer %s %d %d %d %d\n", button->objectName().toUtf8().constData(), r.x(), r.y(), r.width(),
                        r.height());
        }
    }

    void reportOrigin()
    {
        if (!m_canvas || !m_canvas->isVisible())
            return;
        // The window as velmar knows it: a driver compares it with where the X server has the
        // window to tell that velmar has caught up with the window manager's last move.
        const QWidget* window = m_canvas->window();
        const QRect placed(window->mapToGlobal(QPoint(0, 0)), window->size());
        if (placed != m_window) {
            m_window = placed;
            std::printf("window %d %d %d %d\n", placed.x(), placed.y(), placed.width(), placed.height());
            std::fflush(stdout);
        }
        const QPoint origin = m_canvas->mapToGlobal(QPoint(0, 0));
        if (origin == m_last)
            return;
        m_last = origin;
        std::printf("canvas %d %d\n", origin.x(), origin.y());
        if (auto* bar = m_canvas->findChild<QToolBar*>())
            for (QToolButton* button : bar->findChildren<QToolButton*>()) {
                // The button carries the tool button's name, also where it shows a menu item's action.
                if (!button->defaultAction() || button->objectName().isEmpty() || !button->isVisible())
                    continue;
                const QRect r(button->mapTo(m_canvas, QPoint(0, 0)), button->size());
                std::printf("button %s %d %d %d %d%s\n", button->objectName().toUtf8().constData(), r.x(), r.y(),
                            r.width(), r.height(), typedId(button->defaultAction()).constData());
            }
        std::fflush(stdout);
    }

    QPointer<QWidget> m_canvas;
    QTimer m_timer;
    QPoint m_last{-100000, -100000};
    QRect m_window;
};

bool reportAsked()
{
    static const bool asked = qEnvironmentVariableIsSet("VELMAR_REPORT_GEOMETRY");
    return asked;
}

}  // namespace

void reportWindowGeometryIfAsked(QWidget* canvas)
{
    if (canvas && reportAsked())
        new WindowReport(canvas);
}

void reportResizeAsked(QSize inner)
{
    if (!reportAsked())
        return;
    std::printf("resize %d %d\n", inner.width(), inner.height());
    std::fflush(stdout);
}

void reportDragOver(QPoint canvasPoint)
{
    if (!reportAsked())
        return;
    std::printf("drag-over %d %d\n", canvasPoint.x(), canvasPoint.y());
    std::fflush(stdout);
}

void reportFindBar(const QWidget* bar, const QWidget* canvas, const QString& status)
{
    if (!reportAsked())
        return;
    std::printf("find %s %s\n", bar->isVisible() ? "shown" : "hidden", status.toUtf8().constData());
    if (bar->isVisible())
        for (const QAbstractButton* button : bar->findChildren<QAbstractButton*>()) {
            if (!button->isVisible() || button->objectName().isEmpty())
                continue;
            const QRect r(button->mapTo(canvas->window(), QPoint(0, 0)) - canvas->mapTo(canvas->window(), QPoint(0, 0)),
                          button->size());
            std::printf("findbutton %s %d %d %d %d\n", button->objectName().toUtf8().constData(), r.x(), r.y(),
                        r.width(), r.height());
        }
    std::fflush(stdout);
}

void reportFramed()
{
    if (!reportAsked())
        return;
    std::printf("framed\n");
    std::fflush(stdout);
}

}  // namespace velmar
