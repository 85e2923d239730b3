// Notes played in: the computer keyboard's key map, chords, and step entry's placement and removal.
#include "roll/ChordGrouper.h"
#include "roll/NoteEntry.h"
#include "roll/NoteTableOps.h"
#include "roll/PianoKeyMap.h"
#include "tests/core/roll/EditedChannel.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace tromel::roll {
namespace {

using test::EditedChannel;
using test::Records;

// X key codes of every key of the two rows and the file key each plays from octave 4.
TEST(PianoKeyMap, EveryKeyPlaysItsPlaceFromTheBaseOctave) {
    const std::map<std::string, std::pair<uint32_t, int32_t>> keys{
        {"Z", {52, 48}}, {"S", {39, 49}}, {"X", {53, 50}}, {"D", {40, 51}}, {"C", {54, 52}}, {"V", {55, 53}},
        {"G", {42, 54}}, {"B", {56, 55}}, {"H", {43, 56}}, {"N", {57, 57}}, {"J", {44, 58}}, {"M", {58, 59}},
        {"Q", {24, 60}}, {"2", {11, 61}}, {"W", {25, 62}}, {"3", {12, 63}}, {"E", {26, 64}}, {"R", {27, 65}},
        {"5", {14, 66}}, {"T", {28, 67}}, {"6", {15, 68}}, {"Y", {29, 69}}, {"7", {16, 70}}, {"U", {30, 71}},
        {"I", {31, 72}}, {"9", {18, 73}}, {"O", {32, 74}}, {"0", {19, 75}}, {"P", {33, 76}}};
    for (const auto& [name, key] : keys) {
        EXPECT_EQ(pianoFileKey(key.first, startingBaseOctave), key.second) << name;
        EXPECT_EQ(pianoFileKey(key.first, 0), key.second - 48) << name;
    }
    // Keys between and beside the rows play nothing: A, F, K, L, 1, 4, 8, the space bar, Return.
    for (const uint32_t silent : {38u, 41u, 45u, 46u, 10u, 13u, 17u, 65u, 36u, 0u})
        EXPECT_FALSE(pianoKeyOffset(silent).has_value()) << silent;
    // From octave 6 the upper row passes the highest key (95, B7) at its fifth key: R is 12 × 6 + 17.
    EXPECT_EQ(pianoFileKey(26, 6), 88);
    EXPECT_EQ(pianoFileKey(16, 6), 94);
    EXPECT_EQ(pianoFileKey(30, 6), 95);
    EXPECT_FALSE(pianoFileKey(31, 6).has_value());
    EXPECT_EQ(shiftedBaseOctave(4, 1), 5);
    EXPECT_EQ(shiftedBaseOctave(6, 1), 6);
    EXPECT_EQ(shiftedBaseOctave(0, -1), 0);
    EXPECT_EQ(shiftedBaseOctave(1, -1), 0);
}

TEST(ChordGrouper, NoteOnsWithinTheWindowOfTheFirstAreOneChord) {
    ChordGrouper grouper(30);
    EXPECT_FALSE(grouper.add({60, 100, 1000}));
    EXPECT_FALSE(grouper.add({64, 90, 1020}));
    EXPECT_FALSE(grouper.add({60, 80, 1025}));  // a key twice: the first counts
    EXPECT_FALSE(grouper.add({67, 70, 1030}));  // 30 after the first: still the chord
    EXPECT_EQ(grouper.dueAt(), 1031);
    EXPECT_FALSE(grouper.takeDue(1030));
    const auto chord = grouper.add({72, 60, 1031});  // past the window: a new chord
    ASSERT_TRUE(chord);
    EXPECT_EQ(*chord, (std::vector<ChordNote>{{67, 70, 1030}, {64, 90, 1020}, {60, 100, 1000}}));
    EXPECT_EQ(grouper.takeDue(1062), (std::vector<ChordNote>{{72, 60, 1031}}));
    EXPECT_FALSE(grouper.takeAll());
    EXPECT_FALSE(grouper.dueAt());
}

struct NoteEntryTest : testing::Test {
    EditedChannel edited;
    Song& song = edited.song;
    EditState& state = edited.state;

    EntryOutcome place(int32_t position, std::vector<EnteredNote> notes, bool spread = false) {
        return placeChord(song, state, "Enter Note", position, std::move(notes), spread);
    }
    const NoteRec& on(int channel, int32_t slot) { return song.notes(state.channelKind).at(channel, slot); }
    // Every channel's records and counts (a step may leave a table grown, its new slots empty).
    std::vector<std::vector<NoteRec>> notes() {
        std::vector<std::vector<NoteRec>> all;
        for (int kind = 0; kind < 2; ++kind)
            for (int channel = 0; channel < 8; ++channel) {
                std::vector<NoteRec> live;
                for (int32_t slot = 1; slot <= song.notes(kind).slotBound(); ++slot)
                    if (!song.notes(kind).at(channel, slot).isEmpty())
                        live.push_back(song.notes(kind).at(channel, slot));
                live.push_back({state.noteCounts[kind][channel]});
                all.push_back(live);
            }
        return all;
    }
};

TEST_F(NoteEntryTest, APlayedPhraseGivesExactRecordsAndEachNoteIsOneStep) {
    state.currentChannel = 2;
    state.lastNotePan = 4;
    edited.put({{3, 40, 2, 6, 100}, {3, noKey, 1, 9, noVolume}, {9, 41, 1, 6, 100}});
    const auto before = notes();
    // C4 at 1 for 1 step, E4 at 2 for 2 steps: it replaces the note at 3 (one note per step) and
    // spares the pan change there; G4 at 4 for 8 steps reaches the note at 9.
    std::vector<SongEdit> steps;
    for (const auto& [position, key, length, volume] :
         {std::tuple{1, 48, 1, 166}, std::tuple{2, 52, 2, 200}, std::tuple{4, 55, 8, 30}}) {
        EntryOutcome outcome = place(position, {{key, length, static_cast<int16_t>(volume)}});
        ASSERT_TRUE(outcome.placed && outcome.edit);
        EXPECT_FALSE(outcome.status);
        EXPECT_EQ(outcome.edit->name(), "Enter Note");
        steps.push_back(std::move(*outcome.edit));
    }
    EXPECT_EQ(edited.records(),
              (Records{{1, 48, 1, 4, 166}, {2, 44, 2, 4, 200}, {3, noKey, 1, 9, noVolume}, {4, 41, 8, 4, 30}}));
    for (auto step = steps.rbegin(); step != steps.rend(); ++step)
        step->undo(song, state);
    EXPECT_EQ(notes(), before);
    steps[0].redo(song, state);
    EXPECT_EQ(edited.records().front(), (NoteRec{1, 48, 1, 4, 166}));
}

TEST_F(NoteEntryTest, AChordPutsItsTopNoteOrSpreadsOverTheNextFreeChannels) {
    state.channelKind = 1;
    state.currentChannel = 6;
    // Drum channel 7 holds a note over step 5, channel 0 one at step 8 only, channel 1 one at 5.
    for (const auto& [channel, record] : {std::pair{7, NoteRec{4, 30, 2, 6, 1}}, std::pair{0, NoteRec{8, 30, 1, 6, 1}},
                                          std::pair{1, NoteRec{5, 30, 1, 6, 1}}}) {
        song.drumNotes.grow(1);
        song.drumNotes.at(channel, 1) = record;
        state.noteCounts[1][channel] = 1;
    }
    const auto before = notes();
    const std::vector<EnteredNote> chord{{50, 3, 10}, {62, 3, 20}, {55, 3, 30}, {40, 3, 40}};
    EntryOutcome top = place(5, chord);
    ASSERT_TRUE(top.edit);
    EXPECT_EQ(on(6, 1), (NoteRec{5, 34, 3, 6, 20}));
    EXPECT_EQ(state.noteCounts[1], (std::array<int16_t, 8>{1, 1, 0, 0, 0, 0, 1, 1}));
    top.edit->undo(song, state);
    EXPECT_EQ(notes(), before);

    // Spread: 62 on channel 6, then 55, 50, 40 on 0 (free over 5 to 7), 2 and 3; 7 and 1 are taken.
    EntryOutcome spread = place(5, chord, true);
    ASSERT_TRUE(spread.edit);
    EXPECT_FALSE(spread.status);
    EXPECT_EQ(on(6, 1), (NoteRec{5, 34, 3, 6, 20}));
    EXPECT_EQ(on(0, 1), (NoteRec{5, 41, 3, 6, 30}));
    EXPECT_EQ(on(0, 2), (NoteRec{8, 30, 1, 6, 1}));  // 8 is past the chord's steps: kept
    EXPECT_EQ(on(2, 1), (NoteRec{5, 46, 3, 6, 10}));
    EXPECT_EQ(on(3, 1), (NoteRec{5, 56, 3, 6, 40}));
    EXPECT_EQ(on(7, 1), (NoteRec{4, 30, 2, 6, 1}));
    EXPECT_EQ(state.noteCounts[1], (std::array<int16_t, 8>{2, 1, 1, 1, 0, 0, 1, 1}));
    spread.edit->undo(song, state);  // the chord is one step
    EXPECT_EQ(notes(), before);

    // With every other channel taken, the lower notes are left out, and the status says so.
    song.drumNotes.grow(2);
    for (int channel = 0; channel < 8; ++channel)
        if (channel != 6)
            song.drumNotes.at(channel, ++state.noteCounts[1][channel]) = {1, 30, 20, 6, 1};
    const EntryOutcome crowded = place(5, chord, true);
    EXPECT_EQ(crowded.status, "3 notes of the chord found no free channel");
    EXPECT_EQ(on(6, 1).key, 34);
    EXPECT_EQ(place(5, {chord[0], chord[1]}, true).status, "1 note of the chord found no free channel");
}

TEST_F(NoteEntryTest, AFullChannelRefusesTheWholeChordWithTheExistingMessage) {
    Records full;
    for (int32_t i = 0; i < maxChannelNotes; ++i)
        full.push_back({2 * i + 1, 40, 1, 6, 100});
    edited.put(full);
    const Song before = song;
    const EntryOutcome refused = place(2, {{48, 1, 100}, {50, 1, 100}}, true);
    EXPECT_FALSE(refused.placed);
    EXPECT_FALSE(refused.edit);
    EXPECT_EQ(refused.status, "Channel is full: 32767 notes");
    EXPECT_EQ(song, before);
    // Replacing a note keeps the count: allowed.
    EXPECT_TRUE(place(3, {{48, 1, 100}}).placed);
    EXPECT_EQ(edited.count(), maxChannelNotes);
}

TEST_F(NoteEntryTest, RemovingTakesTheNotesOverTheStepsAndSparesChanges) {
    edited.put({{2, 40, 3, 6, 100}, {5, noKey, 1, 9, noVolume}, {5, 41, 1, 6, 100}, {7, 42, 1, 6, 100}});
    const Song before = song;
    EXPECT_FALSE(removeNotesAt(song, state, "Remove Note", 8, 2).edit);  // nothing there
    EntryOutcome removed = removeNotesAt(song, state, "Remove Note", 4, 2);
    ASSERT_TRUE(removed.edit);
    EXPECT_EQ(edited.records(), (Records{{5, noKey, 1, 9, noVolume}, {7, 42, 1, 6, 100}}));
    removed.edit->undo(song, state);
    EXPECT_EQ(song, before);
}

}  // namespace
}  // namespace tromel::roll
