// Settings > "MIDI Input...": the MIDI input ports to play notes in from (`winMidiInput`).
#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

namespace tromel::audio {
class MidiInput;
}

namespace tromel::dialogs {

// Lists the ports the system offers, the chosen ones ticked (one chosen before but not there now
// stays ticked, marked so), and opens the ticked ones on OK. Without MIDI it says so and offers
// nothing to choose.
class MidiInputDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* noMidiText =
        "This system has no MIDI: there is no MIDI sequencer (/dev/snd/seq). Tromel works on without it.";
    static constexpr const char* portsText =
        "Notes from the ticked ports play the current channel of the window you work in. Other programs "
        "can also play into Tromel through its own port, \"Tromel\".";

    // `midi` is null where the program has no MIDI input at all.
    MidiInputDialog(audio::MidiInput* midi, QWidget* parent = nullptr);

    QListWidget* portList() const { return m_ports; }
    // The names ticked now.
    QStringList ticked() const;

private:
    void accept() override;

    audio::MidiInput* m_midi;
    QListWidget* m_ports = nullptr;
};

}  // namespace tromel::dialogs
