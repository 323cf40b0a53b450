#pragma once

#include <QString>

#include <stdexcept>

namespace velmar {

// An error a command reports to the user; its text is shown as it stands. Any layer may throw
// it; the command guard around every command shows it in a message box.
class UserError : public std::runtime_error {
public:
    explicit UserError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

}  // namespace velmar
