// The player's keys on a terminal: stdin in non-canonical mode for as long as the object lives.
#pragma once

#include <termios.h>

#include <string>
#include <utility>

namespace tromel::cli {

enum class PlayKey { None, Pause, Back, Forward, Quit };

class TerminalKeys {
public:
    // Takes the keys only when stdin is a terminal; otherwise active() is false and wait() only waits.
    TerminalKeys();
    ~TerminalKeys();
    TerminalKeys(const TerminalKeys&) = delete;
    TerminalKeys& operator=(const TerminalKeys&) = delete;

    bool active() const { return m_active; }
    // The next key typed, waiting up to `milliseconds` when none is pending; a signal ends the wait early.
    PlayKey wait(int milliseconds);

private:
    bool m_active = false;
    termios m_saved{};
    // Keys typed faster than they are taken (a held arrow key) arrive together.
    std::string m_pending;
};

// The key the terminal's bytes begin with (Space, q, an arrow key's escape sequence), and how many bytes it
// takes; bytes of other keys are taken as PlayKey::None.
std::pair<PlayKey, std::size_t> keyOf(const std::string& bytes);

}  // namespace tromel::cli
