// View > "Keyboard Piano": letter and digit keys of a window played as a piano, by where they sit.
#include "document/PianoKeys.h"

#include "audio/AudioLayer.h"
#include "roll/PianoKeyMap.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <utility>

namespace tromel {
namespace {

bool isLetterOrDigit(int key) {
    return (key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9);
}

}  // namespace

PianoKeys::PianoKeys(QWidget* window, std::function<void(const audio::PlayedNote&)> played)
    : QObject(window), m_window(window), m_played(std::move(played)), m_baseOctave(roll::startingBaseOctave) {}

PianoKeys::~PianoKeys() {
    setOn(false);
}

// Keys reach the focused widget, which may be any control of the window: the program's filter
// sees them all first, and only while the piano is on.
void PianoKeys::setOn(bool on) {
    if (on == m_on)
        return;
    m_on = on;
    if (on) {
        qApp->installEventFilter(this);
    } else {
        qApp->removeEventFilter(this);
        letGoOfAll();
    }
}

bool PianoKeys::isForWindow(QObject* watched) const {
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget && (widget == m_window || m_window->isAncestorOf(widget));
}

// By place (a key of the two rows, whatever the layout calls it) or by name (any other letter or
// digit), without the modifiers that make a key a command.
bool PianoKeys::isPianoKey(const QKeyEvent& key) const {
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    return roll::pianoKeyOffset(key.nativeScanCode()).has_value() || isLetterOrDigit(key.key());
}

bool PianoKeys::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == m_window && type == QEvent::ActivationChange && !m_window->isActiveWindow())
        letGoOfAll();
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride) ||
        !isForWindow(watched))
        return false;
    auto& key = static_cast<QKeyEvent&>(*event);
    const bool octaveKey = (key.key() == Qt::Key_PageUp || key.key() == Qt::Key_PageDown) &&
                           !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (!octaveKey && !isPianoKey(key))
        return false;
    if (type == QEvent::ShortcutOverride) {
        key.accept();  // no shortcut of the window takes it: it comes as a key press
        return true;
    }
    if (!key.isAutoRepeat()) {
        if (octaveKey && type == QEvent::KeyPress) {
            const int octave = roll::shiftedBaseOctave(m_baseOctave, key.key() == Qt::Key_PageUp ? 1 : -1);
            if (octave != m_baseOctave)
                emit baseOctaveChanged(m_baseOctave = octave);
        } else if (!octaveKey) {
            takeKey(key);
        }
    }
    return true;
}

bool PianoKeys::takeKey(QKeyEvent& key) {
    const uint32_t code = key.nativeScanCode();
    if (key.type() == QEvent::KeyRelease) {
        const auto held = m_held.find(code);
        if (held == m_held.end())
            return false;
        m_played({false, held->second, 0, audio::steadyNanoseconds()});
        m_held.erase(held);
        return true;
    }
    const std::optional<int32_t> fileKey = roll::pianoFileKey(code, m_baseOctave);
    if (!fileKey || m_held.count(code))
        return false;
    m_held[code] = *fileKey;
    m_played({true, *fileKey, 0, audio::steadyNanoseconds()});
    return true;
}

void PianoKeys::letGoOfAll() {
    const std::map<uint32_t, int32_t> held = std::exchange(m_held, {});
    for (const auto& [code, fileKey] : held)
        m_played({false, fileKey, 0, audio::steadyNanoseconds()});
}

}  // namespace tromel
