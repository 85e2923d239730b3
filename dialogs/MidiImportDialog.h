// The import dialog (`midiImportDialog`): a MIDI file's parts, where each goes, the grid and the chord rule.
#pragma once

#include "exchange/MidiParts.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QLabel;
class QSpinBox;
class QTableWidget;

namespace tromel::dialogs {

class MidiPartPreview;

// One row per part in `partTable`: track and MIDI channel, name, program (or the drum of a
// percussion part), note count, a list `partTarget_i` of "Skip", "Instrument 1".."Instrument 8"
// and "Drum 1".."Drum 8", a "Listen" button `partListen_i` that plays the part's first four bars as
// it would be imported (where it goes, or on channel 1 of its kind while skipped), and why a part
// the plan leaves out is left out. Sixteen parts fit without scrolling on a 1600 × 1000 screen.
// The dialog takes the preview given (`partPreview`) as its own and stops it when it closes. Below them `stepsPerBeat`
// (1 to 24, or 255 for a file carrying its own grid) with `gridMoves` saying, as it changes, how many note starts that
// grid moves, and `chordPolicy`. Opens on the plan given; Import hands back the plan as chosen.
class MidiImportDialog : public QDialog {
    Q_OBJECT

public:
    MidiImportDialog(const QString& fileName, const exchange::MidiFile& file,
                     const std::vector<exchange::MidiPart>& parts, const exchange::MidiImportPlan& plan,
                     MidiPartPreview* preview = nullptr, QWidget* parent = nullptr);

    exchange::MidiImportPlan plan() const;

    // The list entry of a target, and the target of an entry: 0 Skip, 1..8 instruments, 9..16 drums.
    static int entryOf(const exchange::PartTarget& target);
    static exchange::PartTarget targetOf(int entry);

private:
    void fillRow(int row, const exchange::MidiPart& part, const exchange::PartTarget& target);
    void showGridMoves();
    void listen(int row);
    void fitRows();

    const exchange::MidiFile& m_file;
    std::vector<exchange::MidiPart> m_parts;
    MidiPartPreview* m_preview;
    int m_beatHalves = 2;
    QLabel* m_gridMoves = nullptr;
    QTableWidget* m_table = nullptr;
    std::vector<QComboBox*> m_targets;
    QSpinBox* m_stepsPerBeat = nullptr;
    QComboBox* m_chords = nullptr;
};

}  // namespace tromel::dialogs
