// SIGTERM, SIGINT and SIGHUP delivered as a Qt signal on the user-interface thread.
#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <thread>

namespace tromel {
namespace {

constexpr std::array<int, 3> watchedSignals{SIGTERM, SIGINT, SIGHUP};
int readEnd = -1;  // read by the event loop
// Written by the handler; the destructor takes it (-1) before closing it, and waits for a handler
// that read it before then to finish with it.
std::atomic<int> writeEnd{-1};
std::atomic<int> handlersRunning{0};
static_assert(std::atomic<int>::is_always_lock_free, "a handler may only use lock-free atomics");

void setAction(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : watchedSignals)
        ::sigaction(signal, &action, nullptr);
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    int ends[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return;
    readEnd = ends[0];
    writeEnd = ends[1];
    m_notifier = new QSocketNotifier(readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);
    setAction(&TerminationSignals::handle);
}

TerminationSignals::~TerminationSignals() {
    setAction(SIG_DFL);
    const int fd = writeEnd.exchange(-1);
    if (fd < 0)
        return;
    while (handlersRunning.load() != 0)
        std::this_thread::yield();
    delete m_notifier;
    ::close(readEnd);
    ::close(fd);
    readEnd = -1;
}

// Only async-signal-safe calls. The first signal is the event loop's to handle; the default
// actions come back at once, so that a second one ends a program whose event loop is stuck.
void TerminationSignals::handle(int signal) {
    const int savedErrno = errno;
    setAction(SIG_DFL);
    handlersRunning.fetch_add(1);
    const int fd = writeEnd.load();
    if (fd >= 0) {
        const unsigned char number = static_cast<unsigned char>(signal);
        [[maybe_unused]] const ssize_t written = ::write(fd, &number, 1);
    }
    handlersRunning.fetch_sub(1);
    errno = savedErrno;
}

void TerminationSignals::readPipe() {
    unsigned char number = 0;
    if (::read(readEnd, &number, 1) == 1)
        emit received(number);
}

}  // namespace tromel
