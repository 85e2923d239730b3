// The player's keys on a terminal: stdin in non-canonical mode for as long as the object lives.
#include "tools/cli/TerminalKeys.h"

#include <poll.h>
#include <unistd.h>

namespace tromel::cli {

TerminalKeys::TerminalKeys() {
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &m_saved) != 0)
        return;
    termios raw = m_saved;
    // Signals stay on, so Ctrl+C still reaches the player's handler and the terminal is given back.
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    m_active = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
}

TerminalKeys::~TerminalKeys() {
    if (m_active)
        tcsetattr(STDIN_FILENO, TCSANOW, &m_saved);
}

PlayKey TerminalKeys::wait(int milliseconds) {
    if (m_pending.empty()) {
        if (!m_active) {
            poll(nullptr, 0, milliseconds);
            return PlayKey::None;
        }
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (poll(&input, 1, milliseconds) <= 0)
            return PlayKey::None;
        char bytes[64];
        const ssize_t count = read(STDIN_FILENO, bytes, sizeof bytes);
        if (count <= 0)
            return PlayKey::None;
        m_pending.assign(bytes, static_cast<std::size_t>(count));
    }
    const auto [key, used] = keyOf(m_pending);
    m_pending.erase(0, used);
    return key;
}

std::pair<PlayKey, std::size_t> keyOf(const std::string& bytes) {
    if (bytes.size() >= 3 && bytes[0] == '\033' && (bytes[1] == '[' || bytes[1] == 'O')) {
        if (bytes[2] == 'C')
            return {PlayKey::Forward, 3};
        if (bytes[2] == 'D')
            return {PlayKey::Back, 3};
        return {PlayKey::None, 3};
    }
    if (bytes[0] == ' ')
        return {PlayKey::Pause, 1};
    if (bytes[0] == 'q' || bytes[0] == 'Q')
        return {PlayKey::Quit, 1};
    return {PlayKey::None, 1};
}

}  // namespace tromel::cli
