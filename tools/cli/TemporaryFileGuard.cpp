// Removes a temporary file when the program is ended by SIGTERM, SIGINT or SIGHUP.
#include "tools/cli/TemporaryFileGuard.h"

#include <unistd.h>

#include <array>
#include <csignal>
#include <cstring>

namespace tromel::cli {

namespace {

constexpr std::array<int, 3> guardedSignals{SIGTERM, SIGINT, SIGHUP};

// Written before the handlers are installed and only read by them: a handler may call nothing
// but async-signal-safe functions, so the path waits here ready for unlink().
std::array<char, 4096> guardedPath{};

extern "C" void removeAndEnd(int signalNumber) {
    unlink(guardedPath.data());
    // The handler was installed with SA_RESETHAND, so the default action ends the program with
    // this signal as soon as the handler returns.
    raise(signalNumber);
}

void install(void (*handler)(int), int flags) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : guardedSignals)
        sigaction(signalNumber, &action, nullptr);
}

}  // namespace

TemporaryFileGuard::TemporaryFileGuard(const std::filesystem::path& path) {
    const std::string text = path.string();
    if (text.size() >= guardedPath.size())
        return;  // no such path can be opened anyway
    std::memcpy(guardedPath.data(), text.c_str(), text.size() + 1);
    install(removeAndEnd, SA_RESETHAND);
}

TemporaryFileGuard::~TemporaryFileGuard() {
    install(SIG_DFL, 0);
}

}  // namespace tromel::cli
