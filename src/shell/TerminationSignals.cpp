#include "shell/TerminationSignals.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <pthread.h>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace {

constexpr std::array<int, 2> terminationSignals{SIGTERM, SIGINT};
// A shell reports a child ended by signal n as status 128 + n.
constexpr int shellSignalStatusBase = 128;

// The pipe's ends, shared with the handler; -1 while no object exists.
int readEnd = -1;
volatile sig_atomic_t writeEnd = -1;
// The dispositions before the object, index as terminationSignals.
std::array<struct sigaction, terminationSignals.size()> previous{};

extern "C" void onTerminationSignal(int signalNumber) {
    const int savedErrno = errno;
    // Once is enough to ask for the clean stop; a second signal of the kind acts as if never
    // handled, so that a stop that hangs can still be ended with another Ctrl+C.
    for (std::size_t i = 0; i < terminationSignals.size(); ++i) {
        if (terminationSignals[i] == signalNumber)
            sigaction(signalNumber, &previous[i], nullptr);
    }
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // A full pipe holds enough bytes to wake the loop already; the byte may be lost.
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (readEnd != -1)
        throw std::logic_error("a second TerminationSignals object");
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe for termination signals");
    readEnd = ends[0];
    writeEnd = ends[1];
    m_notifier = new QSocketNotifier(readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);

    for (std::size_t i = 0; i < terminationSignals.size(); ++i) {
        const int number = terminationSignals[i];
        sigaction(number, nullptr, &previous[i]);
        if (previous[i].sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = onTerminationSignal;
        sigemptyset(&action.sa_mask);
        // Writes and waits of the writer threads go on rather than fail with EINTR.
        action.sa_flags = SA_RESTART;
        sigaction(number, &action, nullptr);
        m_handled.append(number);
    }
}

TerminationSignals::~TerminationSignals() {
    for (std::size_t i = 0; i < terminationSignals.size(); ++i) {
        if (m_handled.contains(terminationSignals[i]))
            sigaction(terminationSignals[i], &previous[i], nullptr);
    }
    delete m_notifier;
    ::close(writeEnd);
    ::close(readEnd);
    writeEnd = -1;
    readEnd = -1;
}

void TerminationSignals::endBy(int signalNumber) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signalNumber, &action, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signalNumber);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    std::raise(signalNumber);
    // Not reached for SIGTERM and SIGINT; the status a shell would report otherwise.
    std::_Exit(shellSignalStatusBase + signalNumber);
}

void TerminationSignals::readPipe() {
    unsigned char bytes[16];
    ssize_t count;
    while ((count = ::read(readEnd, bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            Q_EMIT received(bytes[i]);
    }
}
