// Removes temporary files when the program is ended by SIGTERM, SIGINT or SIGHUP.
#include "tools/cli/TemporaryFileGuard.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <csignal>
#include <cstring>

namespace tromel::cli {

namespace {

constexpr std::array<int, 3> guardedSignals{SIGTERM, SIGINT, SIGHUP};

// Written before the handlers are installed and only read by them: a handler may call nothing
// but async-signal-safe functions, so the paths wait here ready for unlink().
std::array<std::array<char, 4096>, TemporaryFileGuard::capacity> guardedPaths{};
// A path is whole before the count takes it in.
std::atomic<std::size_t> guardedCount = 0;

extern "C" void removeAndEnd(int signalNumber) {
    for (std::size_t i = 0; i < guardedCount; ++i)
        unlink(guardedPaths[i].data());
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

TemporaryFileGuard::TemporaryFileGuard() {
    guardedCount = 0;
    install(removeAndEnd, SA_RESETHAND);
}

void TemporaryFileGuard::add(const std::filesystem::path& path) {
    const std::string text = path.string();
    const std::size_t count = guardedCount.load();
    // No longer path can be opened anyway.
    if (text.size() < guardedPaths[0].size() && count < capacity) {
        std::memcpy(guardedPaths[count].data(), text.c_str(), text.size() + 1);
        guardedCount.store(count + 1);
    }
}

TemporaryFileGuard::~TemporaryFileGuard() {
    install(SIG_DFL, 0);
}

}  // namespace tromel::cli
