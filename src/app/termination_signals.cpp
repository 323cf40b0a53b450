#include "app/termination_signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace velmar {

namespace {

// [0] is written by the system handler, [1] read by the notifier.
int g_pipe[2] = {-1, -1};

constexpr int kEndingSignals[] = {SIGTERM, SIGHUP};

extern "C" void onEndingSignal(int signalNumber)
{
    // Only async-signal-safe calls here; errno is the interrupted code's.
    const int savedErrno = errno;
    const char number = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &number, 1);
    errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (g_pipe[0] >= 0)
        return;  // another object has them
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, g_pipe) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return;  // the signals keep their default handling: the history stays as after a crash
    }
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPending);
    struct sigaction action = {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : kEndingSignals)
        ::sigaction(signalNumber, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : kEndingSignals)
        ::sigaction(signalNumber, &action, nullptr);
    delete m_notifier;
    m_notifier = nullptr;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TerminationSignals::readPending()
{
    char numbers[16];
    const ssize_t count = ::read(g_pipe[1], numbers, sizeof numbers);
    // A second signal while the first is handled changes nothing: one report per batch.
    if (count > 0)
        emit received(int(numbers[count - 1]));
}

}  // namespace velmar
