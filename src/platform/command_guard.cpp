#include "platform/command_guard.h"

#include "platform/dialogs.h"

#include <QCoreApplication>
#include <QWidget>

namespace velmar {

namespace {

void showError(QWidget* parent, const QString& text)
{
    dialogs().inform(parent, QCoreApplication::translate("Errors", "Ошибка"), text, QMessageBox::Critical);
}

// Runs fn; returns the error text, or a null string when it succeeded.
template <typename Fn>
QString errorOf(Fn&& fn)
{
    try {
        fn();
    } catch (const UserError& e) {
        return e.message();
    } catch (const std::bad_alloc&) {
        return QCoreApplication::translate("Errors", "Недостаточно памяти для выполнения команды.");
    } catch (const std::exception& e) {
        return QCoreApplication::translate("Errors", "Непредвиденная ошибка: ") + QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QCoreApplication::translate("Errors", "Непредвиденная ошибка.");
    }
    return {};
}

}  // namespace

bool runGuarded(QWidget* parent, const std::function<void()>& command)
{
    const QString error = errorOf(command);
    if (error.isNull())
        return true;
    showError(parent, error);
    return false;
}

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    const QString error = errorOf([&] { handled = QApplication::notify(receiver, event); });
    if (!error.isNull())
        showError(activeWindow(), error);
    return handled;
}

}  // namespace velmar
