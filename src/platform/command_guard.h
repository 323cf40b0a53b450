#pragma once

#include "base/user_error.h"

#include <QApplication>
#include <QString>

#include <functional>

class QWidget;

namespace velmar {

// Runs a command; an error it throws is shown in a message box and the program goes on.
// Returns false when the command stopped on an error.
bool runGuarded(QWidget* parent, const std::function<void()>& command);

// The application object: an exception that escapes any event handler is shown the same way
// instead of reaching Qt's event loop.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace velmar
