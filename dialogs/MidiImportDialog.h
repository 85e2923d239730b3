// The import dialog (`midiImportDialog`): a MIDI file's parts, where each goes, the grid and the chord rule.
#pragma once

#include "exchange/MidiParts.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QSpinBox;
class QTableWidget;

namespace tromel::dialogs {

// One row per part in `partTable`: track and MIDI channel, name, program (or the drum of a
// percussion part), note count, and a list `partTarget_i` of "Skip", "Instrument 1".."Instrument 8"
// and "Drum 1".."Drum 8". Below them `stepsPerBeat` (1 to 24) and `chordPolicy`. Opens on the plan
// given; Import hands back the plan as chosen.
class MidiImportDialog : public QDialog {
    Q_OBJECT

public:
    MidiImportDialog(const QString& fileName, const std::vector<exchange::MidiPart>& parts,
                     const exchange::MidiImportPlan& plan, QWidget* parent = nullptr);

    exchange::MidiImportPlan plan() const;

    // The list entry of a target, and the target of an entry: 0 Skip, 1..8 instruments, 9..16 drums.
    static int entryOf(const exchange::PartTarget& target);
    static exchange::PartTarget targetOf(int entry);

private:
    void fillRow(int row, const exchange::MidiPart& part, const exchange::PartTarget& target);

    QTableWidget* m_table = nullptr;
    std::vector<QComboBox*> m_targets;
    QSpinBox* m_stepsPerBeat = nullptr;
    QComboBox* m_chords = nullptr;
};

}  // namespace tromel::dialogs
