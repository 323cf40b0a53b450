#include "support/window_fixture.h"

#include "canvas/outline_view.h"
#include "canvas/selection_handles.h"

#include <QAction>
#include <QApplication>

WindowFixture::WindowFixture() : window(std::make_unique<velmar::MainWindow>())
{
    velmar::StartupOptions options;
    options.programFolder = home.path();
    options.startFolder = home.path();
    window->startUp(options);
    window->show();
}

void WindowFixture::beginOutline()
{
    window->document().session.outlineOpen = true;
    window->showCommandStates();
}

QWidget* WindowFixture::widgetOf(velmar::ObjectId id) { return window->outlineView()->widget(id); }

QWidget* WindowFixture::component(const char* name)
{
    return window->selectionHandles()->component(QLatin1String(name));
}

void sendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, buttons, modifiers);
    QApplication::sendEvent(widget, &event);
}

void dragWidget(QWidget* widget, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers)
{
    // Global positions are taken before the widget moves, as the pointer's are.
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
    auto send = [&](QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
        const QPoint local = pos + origin - widget->mapToGlobal(QPoint(0, 0));
        QMouseEvent event(type, QPointF(local), QPointF(pos + origin), button, buttons, modifiers);
        QApplication::sendEvent(widget, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
        send(QEvent::MouseMove, from + (to - from) * i / steps, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}
