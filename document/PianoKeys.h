// View > "Keyboard Piano": letter and digit keys of a window played as a piano, by where they sit.
#pragma once

#include "audio/midi/PlayedNote.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <map>

class QKeyEvent;
class QWidget;

namespace tromel {

// While on, every key event bound for a widget of `window` passes here first: letter and digit
// keys without Ctrl, Alt or Meta are the piano's and nothing else's (keys of the two rows play,
// the others are kept quiet), Page Up and Page Down move the base octave, auto-repeats are
// dropped. A key pressed plays on its release too, whatever the octave has become meanwhile; the
// window losing the keyboard lets every held key go.
class PianoKeys : public QObject {
    Q_OBJECT

public:
    PianoKeys(QWidget* window, std::function<void(const audio::PlayedNote&)> played);
    ~PianoKeys() override;

    void setOn(bool on);
    bool isOn() const { return m_on; }
    int baseOctave() const { return m_baseOctave; }

signals:
    void baseOctaveChanged(int octave);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isForWindow(QObject* watched) const;
    bool isPianoKey(const QKeyEvent& key) const;
    bool takeKey(QKeyEvent& key);
    void letGoOfAll();

    QWidget* m_window;
    std::function<void(const audio::PlayedNote&)> m_played;
    bool m_on = false;
    int m_baseOctave;
    std::map<uint32_t, int32_t> m_held;  // scan code -> the file key it plays
};

}  // namespace tromel
