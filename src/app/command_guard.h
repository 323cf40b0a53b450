#pragma once

#include <QApplication>
#include <QString>

#include <functional>
#include <stdexcept>

class QWidget;

namespace velmar {

// An error a command reports to the user; its text is shown as it stands.
class UserError : public std::runtime_error {
public:
    explicit UserError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

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
