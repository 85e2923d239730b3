// SIGTERM, SIGINT and SIGHUP delivered as a Qt signal on the user-interface thread.
#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#include <array>
#include <csignal>

namespace tromel {
namespace {

constexpr std::array<int, 3> watchedSignals{SIGTERM, SIGINT, SIGHUP};
int pipeEnds[2] = {-1, -1};  // [0] read by the event loop, [1] written by the handler

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeEnds) != 0)
        return;
    m_notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);
    struct sigaction action {};
    action.sa_handler = &TerminationSignals::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : watchedSignals)
        ::sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
    for (const int signal : watchedSignals)
        std::signal(signal, SIG_DFL);
    if (pipeEnds[0] >= 0) {
        delete m_notifier;
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        pipeEnds[0] = pipeEnds[1] = -1;
    }
}

void TerminationSignals::handle(int signal) {
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &number, 1);
}

void TerminationSignals::readPipe() {
    unsigned char number = 0;
    if (::read(pipeEnds[0], &number, 1) == 1)
        emit received(number);
}

}  // namespace tromel
