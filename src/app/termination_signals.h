#pragma once

#include <QObject>

class QSocketNotifier;

namespace velmar {

// The signals that end a desktop session's programs (SIGTERM at logout or shutdown, SIGHUP when
// the terminal goes) delivered as a Qt signal in the main thread, where the window can settle
// its history. The system handler only writes the signal's number into a socket pair; a notifier
// reads it in the event loop. One object at a time; the default handling comes back when it goes.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool isInstalled() const { return m_notifier != nullptr; }

signals:
    void received(int signalNumber);

private:
    void readPending();

    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace velmar
