// Edit > "Step Entry": notes played in go in one after another at an edit cursor.
#pragma once

#include "audio/midi/PlayedNote.h"
#include "document/EditPort.h"
#include "document/ViewPort.h"
#include "roll/ChordGrouper.h"
#include "song/EditState.h"
#include "song/Song.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class QTimer;
class QWidget;

namespace tromel {

// The cursor stands at the first step of the bar at the view's left edge when step entry is
// turned on and moves with Left and Right (a step) and Alt+click on the roll or the ruler. Each
// chord played (note-ons within 30 ms of each other, a single note too) goes in at the cursor
// for the step length, as one step of the history, and the cursor moves on by that length;
// Backspace takes it back one length and removes the notes there. The settings (on, length,
// spreading chords) are the program's; the cursor is the window's.
class StepEntryCommands : public QObject {
    Q_OBJECT

public:
    static constexpr int64_t chordWindowNanoseconds = 30'000'000;

    StepEntryCommands(QWidget* window, Song& song, EditState& state, EditPort& edits, ViewPort& view,
                      std::function<void(const std::string&)> showStatus);

    // Step Entry, Step Length and Spread Chords.
    void addTo(QMenu* editMenu);
    bool isOn() const { return m_on; }
    int32_t cursor() const { return m_cursor; }
    void moveCursorTo(int32_t column);
    // A note-on played while step entry is on.
    void noteOn(const audio::PlayedNote& note);
    void backspace();

private:
    void readSettings();
    void refreshMenu();
    void placeDue();
    void place(const std::vector<roll::ChordNote>& chord);
    QAction* addKey(QWidget* window, const QKeySequence& keys, std::function<void()> run);

    Song& m_song;
    EditState& m_state;
    EditPort& m_edits;
    ViewPort& m_view;
    std::function<void(const std::string&)> m_showStatus;
    roll::ChordGrouper m_chords{chordWindowNanoseconds};
    QTimer* m_chordTimer = nullptr;
    QAction* m_stepEntryAction = nullptr;
    QAction* m_spreadAction = nullptr;
    QActionGroup* m_lengths = nullptr;
    QList<QAction*> m_keys;  // Left, Right, Backspace: enabled while step entry is on
    bool m_on = false;
    int32_t m_cursor = 1;
};

}  // namespace tromel
