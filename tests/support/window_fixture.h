#pragma once

#include "app/main_window.h"
#include "support/scripted_dialogs.h"

#include <QMouseEvent>
#include <QTemporaryDir>

#include <memory>

// A started main window in a temporary program folder, with scripted dialogs.
struct WindowFixture {
    ScriptedDialogs dialogs;
    QTemporaryDir home;
    std::unique_ptr<velmar::MainWindow> window;

    WindowFixture();
    // Makes the window ready for editing as an open outline is (menus and buttons enabled).
    void beginOutline();

    velmar::OpenOutline& doc() { return window->document(); }
    QAction* command(velmar::Command id) { return window->command(id); }
    QAction* command(const QString& name) { return window->command(name); }
    QWidget* widgetOf(velmar::ObjectId id);
    QWidget* component(const char* name);
};

// Sends a mouse event with explicit buttons and modifiers to a widget (through its filters).
void sendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Press at from, move in steps to to, release there: a drag in the widget's coordinates.
void dragWidget(QWidget* widget, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
