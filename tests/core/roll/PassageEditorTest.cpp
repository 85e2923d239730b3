// Selecting, moving, transposing, deleting, copying and pasting passages of a channel.
#include "roll/PassageEditor.h"

#include "roll/NoteTableOps.h"
#include "roll/RollGeometry.h"
#include "song/OrgFile.h"
#include "tests/core/roll/EditedChannel.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace tromel::roll {
namespace {

using test::Records;

class PassageEditorTest : public testing::TestWithParam<int16_t>, protected test::EditedChannel {
protected:
    PassageEditorTest() {
        state.channelKind = GetParam();
        state.currentChannel = 5;
    }
    Records selected(const NoteSelection& selection) {
        Records result;
        for (int32_t slot : selection.slotIndices())
            result.push_back(table().at(selection.channel(), slot));
        return result;
    }
    NoteSelection slots(std::vector<int32_t> chosen) const {
        return NoteSelection(state.channelKind, 5, std::move(chosen));
    }
    // Another channel of the kind, besides the one put() fills.
    void putIn(int channel, const Records& records) {
        table().grow(static_cast<int32_t>(records.size()));
        for (std::size_t i = 0; i < records.size(); ++i)
            table().at(channel, static_cast<int32_t>(i) + 1) = records[i];
        state.noteCounts[state.channelKind][channel] = static_cast<int16_t>(records.size());
    }
    Records recordsOf(int channel) {
        Records result;
        for (int32_t index = 1; index <= state.noteCounts[state.channelKind][channel]; ++index)
            result.push_back(table().at(channel, index));
        return result;
    }

    PassageEditor editor{song, state};
};

INSTANTIATE_TEST_SUITE_P(BothKinds, PassageEditorTest, ::testing::Values<int16_t>(0, 1),
                         [](const auto& info) { return info.param == 0 ? "Instruments" : "Drums"; });

TEST_P(PassageEditorTest, RectanglesTakeNotesByStartAndEventsByColumn) {
    put({{3, 10, 8, 6, 166},          // 1: starts left of every rectangle, reaches into them
         {5, 10, 1, 6, 166},          // 2
         {5, noKey, 1, 2, noVolume},  // 3: beside note 2
         {6, noKey, 1, noPan, 90},    // 4: in a column without a note
         {7, 20, 1, 6, 166},          // 5
         {7, noKey, 1, 4, noVolume},  // 6: beside note 5
         {9, 12, 2, 6, 166}});        // 7
    struct Case {
        CellRect rect;
        std::vector<int32_t> slots;
    };
    // Events go by their column alone, whatever the rows and the notes beside them.
    const Case cases[] = {
        {CellRect::between(4, 9, 9, 12), {2, 3, 4, 6, 7}},     // note 5 lies below; its event is taken
        {CellRect::between(9, 20, 4, 9), {2, 3, 4, 5, 6, 7}},  // drawn from the other corner
        {CellRect::between(5, 11, 6, 1), {2, 3, 4}},
        {CellRect::between(6, 1, 6, 1), {4}},  // an event alone in its column
        {CellRect::between(8, 12, 9, 12), {7}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(selectInRect(song, state, c.rect).slotIndices(), c.slots)
            << c.rect.firstColumn << "," << c.rect.firstRow;
    // Loop Selection's columns of records: from the first record to the last step of the last note.
    const PassageEditor editor(song, state);
    EXPECT_EQ(editor.columnsOf(slots({2, 3, 4})), (ColumnSpan{5, 6}));
    EXPECT_EQ(editor.columnsOf(slots({1})), (ColumnSpan{3, 10}));
    EXPECT_EQ(editor.columnsOf(slots({4, 7, 99})), (ColumnSpan{6, 10}));
    EXPECT_FALSE(editor.columnsOf(slots({})));

    // Rectangles united span the columns of both.
    EXPECT_EQ(selectInRect(song, state, CellRect::between(6, 1, 8, 1))
                  .unitedWith(selectInRect(song, state, CellRect::between(4, 9, 5, 12)))
                  .columns(),
              (ColumnSpan{4, 8}));
    // Another channel's selection replaces one; the Shift+Ctrl gesture unites those of one channel.
    const NoteSelection elsewhere(state.channelKind, 4, {1});
    EXPECT_EQ(selectInRect(song, state, CellRect::between(4, 9, 6, 12)).unitedWith(elsewhere), elsewhere);
}

TEST_P(PassageEditorTest, MovesKeepTheShapeOrRefuseTheWholeStep) {
    song.stepsPerBar = 3;  // a bar of 12 steps
    constexpr int32_t lastPosition = std::numeric_limits<int32_t>::max();
    constexpr PassageRefusal taken = PassageRefusal::none;
    struct Case {
        const char* name;
        int32_t columns;
        int32_t rows;
        PassageRefusal refusal;
        std::vector<int32_t> chosen;
        Records before;
        Records after;  // the channel when the step is taken
    };
    // clang-format off
    const Case cases[] = {
        {"row 1 refuses going up", 0, -1, PassageRefusal::leavesKeyboard, {1, 2},
         {{4, 1, 1, 6, 166}, {5, 30, 1, 6, 166}}, {}},
        {"row 85 refuses an octave down", 0, octave, PassageRefusal::leavesKeyboard, {1, 2},
         {{4, 85, 1, 6, 166}, {5, 30, 1, 6, 166}}, {}},
        {"an octave down onto row 96", 0, octave, taken, {1},
         {{4, 84, 1, 6, 166}, {5, 30, 1, 6, 166}}, {{4, 96, 1, 6, 166}, {5, 30, 1, 6, 166}}},
        {"events and off-keyboard notes keep their keys", 0, -1, taken, {1, 2, 3},
         {{4, 0, 1, 6, 166}, {4, noKey, 1, 3, noVolume}, {5, 96, 1, 6, 166}},
         {{4, 0, 1, 6, 166}, {4, noKey, 1, 3, noVolume}, {5, 95, 1, 6, 166}}},
        {"position 1 refuses a step left", -1, 0, PassageRefusal::beforeFirstStep, {1, 2},
         {{1, 10, 1, 6, 166}, {5, 30, 1, 6, 166}}, {}},
        {"a bar left onto position 1", -12, 0, taken, {1, 2},
         {{13, noKey, 1, 3, noVolume}, {14, 30, 1, 6, 166}}, {{1, noKey, 1, 3, noVolume}, {2, 30, 1, 6, 166}}},
        {"the last position a file holds", 1, 0, PassageRefusal::pastLastStep, {1},
         {{lastPosition, 10, 1, 6, 166}}, {}},
        // Up or down the passage stays in its columns: notes it leaves out there stay as they were.
        {"a row up leaves the other notes of its columns", 0, -1, taken, {2},
         {{4, 40, 1, 6, 166}, {4, 10, 3, 6, 166}, {5, 41, 2, 6, 166}, {6, 42, 1, 6, 166}},
         {{4, 40, 1, 6, 166}, {4, 9, 3, 6, 166}, {5, 41, 2, 6, 166}, {6, 42, 1, 6, 166}}},
        {"an octave down too", 0, octave, taken, {1, 3},
         {{4, 10, 3, 6, 166}, {5, 41, 2, 6, 166}, {6, 12, 1, 6, 166}, {6, 60, 1, 6, 166}},
         {{4, 22, 3, 6, 166}, {5, 41, 2, 6, 166}, {6, 24, 1, 6, 166}, {6, 60, 1, 6, 166}}},
        // The passage (columns 4 and 5) lands on columns 6 and 7: the note at 6 goes, the event at
        // 7 is spared, the note at 8 lies beyond its reach and the one at 3 keeps the columns the
        // passage left.
        {"landing clears the notes it overlaps", 2, 5, taken, {2, 3},
         {{3, 40, 2, 6, 166}, {4, 10, 2, 6, 166}, {5, 11, 1, 6, 166}, {6, 50, 1, 6, 166},
          {7, noKey, 1, 2, noVolume}, {8, 51, 1, 6, 166}},
         {{3, 40, 2, 6, 166}, {6, 15, 2, 6, 166}, {7, 16, 1, 6, 166}, {7, noKey, 1, 2, noVolume},
          {8, 51, 1, 6, 166}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        put(c.before);
        const PassageEdit edit = editor.move(slots(c.chosen), c.columns, c.rows);
        EXPECT_EQ(edit.refusal, c.refusal);
        EXPECT_EQ(edit.changed, c.refusal == taken);
        EXPECT_EQ(records(), c.refusal == taken ? c.after : c.before);
        if (c.refusal != taken) {
            EXPECT_EQ(edit.selection, slots(c.chosen));
        }
    }
}

TEST_P(PassageEditorTest, TheSelectionFollowsItsNotesFromStepToStep) {
    put({{2, 20, 1, 6, 166}, {4, 30, 1, 6, 166}, {6, 40, 1, 6, 166}, {8, noKey, 1, 1, noVolume}});
    NoteSelection selection = slots({2, 4});
    selection = editor.move(selection, 5, 0).selection;  // past the note at 6 and the event at 8
    selection = editor.transpose(selection, 1).selection;
    selection = editor.transpose(selection, octave).selection;
    EXPECT_EQ(selected(selection), (Records{{9, 17, 1, 6, 166}, {13, noKey, 1, 1, noVolume}}));
    selection = editor.move(selection, -editor.barLength(), 0).selection;  // refused: keeps it
    EXPECT_EQ(selected(selection).front().position, 9);
    EXPECT_EQ(editor.limitMove(selection, {-100, -100}), (CellOffset{-8, -16}));  // a drag stops at the edges
    EXPECT_EQ(editor.limitMove(selection, {3, 100}), (CellOffset{3, 79}));
    EXPECT_FALSE(editor.transpose(slots({4}), 1).changed);  // an event alone has no key to change

    const PassageEdit removed = editor.remove(selection);
    EXPECT_TRUE(removed.changed);
    EXPECT_TRUE(removed.selection.empty());
    EXPECT_EQ(records(), (Records{{2, 20, 1, 6, 166}, {6, 40, 1, 6, 166}}));
    EXPECT_EQ(table().at(5, 3), NoteRec{});
    // Stale slots and other channels' selections change nothing.
    EXPECT_FALSE(editor.remove(slots({3, 7})).changed);
    EXPECT_FALSE(editor.move(NoteSelection(state.channelKind, 4, {1}), 1, 0).changed);
    EXPECT_EQ(count(), 2);
}

TEST_P(PassageEditorTest, PastedPassagesReplaceWhatTheyOverlapAndSurviveASave) {
    const Records passage{{7, 1, 3, 0, 248},
                          {7, noKey, 1, 12, noVolume},
                          {9, 96, 0, noPan, 0},
                          {12, noKey, 1, noPan, 100},
                          {20, -158, 255, 6, noVolume}};
    put(passage);
    const auto read = NoteClip::fromBytes(editor.copy(selectAll(song, state)).toBytes());
    ASSERT_TRUE(read.ok());

    // Into an empty song, the other kind and another channel, at the passage's own column.
    Song pasted;
    EditState target;
    target.channelKind = static_cast<int16_t>(1 - state.channelKind);
    target.currentChannel = 2;
    EXPECT_EQ(PassageEditor(pasted, target).paste(read.clip, 7).selection.size(), passage.size());
    Song reread;
    ASSERT_TRUE(readOrgBytes(writeOrgBytes(pasted), reread).ok());
    for (int32_t slot = 1; slot <= 5; ++slot)
        EXPECT_EQ(reread.notes(target.channelKind).at(2, slot), passage[slot - 1]) << slot;
    EXPECT_EQ(target.noteCounts[target.channelKind][2], 5);

    // Over itself two steps later: the notes sharing a column with a pasted note go (the one at
    // 7 reaches column 9), except the length-0 note at 9, which placing spares too; events stay.
    // Equal positions keep slot order, and the pasted records took the freed slots first.
    const PassageEdit over = editor.paste(read.clip, 9);
    EXPECT_EQ(records(), (Records{{7, noKey, 1, 12, noVolume},
                                  {9, 1, 3, 0, 248},
                                  {9, 96, 0, noPan, 0},
                                  {9, noKey, 1, 12, noVolume},
                                  {11, 96, 0, noPan, 0},
                                  {12, noKey, 1, noPan, 100},
                                  {14, noKey, 1, noPan, 100},
                                  {22, -158, 255, 6, noVolume}}));
    EXPECT_EQ(selected(over.selection).front(), (NoteRec{9, 1, 3, 0, 248}));
    EXPECT_EQ(over.selection.size(), 5u);
    EXPECT_EQ(editor.paste(read.clip, 0).refusal, PassageRefusal::beforeFirstStep);
    EXPECT_EQ(editor.paste(read.clip, std::numeric_limits<int32_t>::max() - 12).refusal, PassageRefusal::pastLastStep);
}

// Duplicate pastes the passage right after the columns it was drawn over, by Paste's rules, and
// moves the selection onto the copy, so that pressing it again repeats the passage on.
TEST_P(PassageEditorTest, DuplicateRepeatsThePassageAfterItsLastColumn) {
    put({{5, 10, 2, 6, 166},           // 1
         {6, noKey, 1, 3, noVolume},   // 2
         {7, 20, 2, 6, 166},           // 3
         {10, 30, 1, 6, 166},          // 4: the copy's note at 9 covers column 10
         {12, noKey, 1, noPan, 90}});  // 5: an event, which the copy spares
    NoteSelection selection = selectInRect(song, state, CellRect::between(5, 1, 8, 25));
    EXPECT_EQ(editor.columnsOf(selection), (ColumnSpan{5, 8}));
    PassageEdit edit = editor.duplicate(selection);
    EXPECT_TRUE(edit.changed);
    EXPECT_EQ(records(), (Records{{5, 10, 2, 6, 166},
                                  {6, noKey, 1, 3, noVolume},
                                  {7, 20, 2, 6, 166},
                                  {9, 10, 2, 6, 166},
                                  {10, noKey, 1, 3, noVolume},
                                  {11, 20, 2, 6, 166},
                                  {12, noKey, 1, noPan, 90}}));
    EXPECT_EQ(selected(edit.selection),
              (Records{{9, 10, 2, 6, 166}, {10, noKey, 1, 3, noVolume}, {11, 20, 2, 6, 166}}));
    EXPECT_EQ(edit.selection.columns(), (ColumnSpan{9, 12}));
    edit = editor.duplicate(edit.selection);
    EXPECT_EQ(selected(edit.selection).front(), (NoteRec{13, 10, 2, 6, 166}));
    EXPECT_EQ(edit.selection.columns(), (ColumnSpan{13, 16}));
    // Without a rectangle the passage runs from its first record to the end of its last note.
    EXPECT_EQ(editor.columnsOf(selectAll(song, state)), (ColumnSpan{5, 16}));
    EXPECT_EQ(editor.columnsOf(slots({2})), (ColumnSpan{6, 6}));

    // A copy reaching past what a file holds is refused whole, the selection kept.
    constexpr int32_t lastPosition = std::numeric_limits<int32_t>::max();
    put({{lastPosition - 1, 10, 1, 6, 166}});
    edit = editor.duplicate(selectAll(song, state));
    EXPECT_EQ(selected(edit.selection), (Records{{lastPosition, 10, 1, 6, 166}}));
    const PassageEdit refused = editor.duplicate(edit.selection);
    EXPECT_EQ(refused.refusal, PassageRefusal::pastLastStep);
    EXPECT_EQ(refused.selection, edit.selection);
    EXPECT_EQ(count(), 2);
}

// With every channel of the kind a rectangle selects in all of them, and moving, duplicating,
// copying and pasting keep the channels' passages together; a refusal in one refuses all.
TEST_P(PassageEditorTest, AllChannelsMoveDuplicateCopyAndPasteAsOne) {
    put({{1, 30, 4, 6, 166}, {33, 32, 4, 6, 166}, {66, 70, 1, 6, 166}});  // channel 5; 66 lies outside
    putIn(2, {{1, noKey, 1, 3, noVolume}, {17, 5, 16, 6, 166}});
    putIn(7, {{49, 50, 16, 6, 166}});
    putIn(0, {{70, 60, 1, 6, 166}});
    NoteSelection selection = selectInRect(song, state, CellRect::between(1, 1, 64, rowCount), true);
    EXPECT_TRUE(selection.spansKind());
    EXPECT_EQ(selection.channels(), (std::vector<int>{2, 5, 7}));
    EXPECT_EQ(selection.size(), 5u);

    EXPECT_EQ(editor.transpose(selection, octave).refusal, PassageRefusal::leavesKeyboard);  // row 5
    EXPECT_EQ(recordsOf(7), (Records{{49, 50, 16, 6, 166}}));
    selection = editor.transpose(selection, 1).selection;
    EXPECT_EQ(recordsOf(2), (Records{{1, noKey, 1, 3, noVolume}, {17, 4, 16, 6, 166}}));
    EXPECT_EQ(recordsOf(7), (Records{{49, 49, 16, 6, 166}}));

    const PassageEdit duplicated = editor.duplicate(selection);
    EXPECT_EQ(records(), (Records{{1, 29, 4, 6, 166}, {33, 31, 4, 6, 166}, {65, 29, 4, 6, 166}, {97, 31, 4, 6, 166}}));
    EXPECT_EQ(
        recordsOf(2),
        (Records{{1, noKey, 1, 3, noVolume}, {17, 4, 16, 6, 166}, {65, noKey, 1, 3, noVolume}, {81, 4, 16, 6, 166}}));
    EXPECT_EQ(recordsOf(0), (Records{{70, 60, 1, 6, 166}}));
    EXPECT_EQ(duplicated.selection.columns(), (ColumnSpan{65, 128}));
    EXPECT_EQ(duplicated.selection.channels(), (std::vector<int>{2, 5, 7}));
    selection = editor.duplicate(duplicated.selection).selection;
    EXPECT_EQ(recordsOf(7), (Records{{49, 49, 16, 6, 166}, {113, 49, 16, 6, 166}, {177, 49, 16, 6, 166}}));
    EXPECT_EQ(selection.columns(), (ColumnSpan{129, 192}));

    // The clip names its channels and counts its steps from the passage's first record.
    const NoteClip clip = editor.copy(selection);
    ASSERT_TRUE(clip.hasChannels());
    EXPECT_EQ(clip.parts(), (std::vector<ClipPart>{{2, {{0, noKey, 1, 3, noVolume}, {16, 4, 16, 6, 166}}},
                                                   {5, {{0, 29, 4, 6, 166}, {32, 31, 4, 6, 166}}},
                                                   {7, {{48, 49, 16, 6, 166}}}}));
    EXPECT_EQ(NoteClip::fromBytes(clip.toBytes()).clip, clip);
    // Onto the current channel alone its first channel goes; onto their own channels, all.
    editor.paste(clip, 300);
    EXPECT_EQ(records().back(), (NoteRec{316, 4, 16, 6, 166}));
    const PassageEdit spread = editor.paste(clip, 400, true);
    EXPECT_EQ(recordsOf(7).back(), (NoteRec{448, 49, 16, 6, 166}));
    EXPECT_EQ(recordsOf(2).back(), (NoteRec{416, 4, 16, 6, 166}));
    EXPECT_EQ(records().back(), (NoteRec{432, 31, 4, 6, 166}));
    EXPECT_EQ(spread.selection.size(), 5u);
    EXPECT_TRUE(spread.selection.spansKind());

    EXPECT_TRUE(editor.remove(spread.selection).changed);
    EXPECT_EQ(recordsOf(7).back(), (NoteRec{177, 49, 16, 6, 166}));
    EXPECT_EQ(recordsOf(2).back(), (NoteRec{145, 4, 16, 6, 166}));
}

TEST_P(PassageEditorTest, AFullChannelTakesEditsButNoPasteThatWouldPassTheLimit) {
    Records full;
    for (int32_t i = 1; i <= maxChannelNotes; ++i)
        full.push_back({i, 1 + i % 96, 1, 6, 166});
    put(full);
    const NoteClip one({{0, 40, 1, 6, 166}});
    const Song before = song;
    const PassageEdit refused = editor.paste(one, maxChannelNotes + 1);
    EXPECT_EQ(refused.status(), "Channel is full: 32767 notes");
    EXPECT_FALSE(refused.changed);
    EXPECT_EQ(song, before);

    EXPECT_TRUE(editor.paste(one, 100).changed);  // replaces the note at 100
    EXPECT_EQ(table().at(5, 100), (NoteRec{100, 40, 1, 6, 166}));
    EXPECT_TRUE(editor.move(slots({1, 2}), 1, 0).changed);  // onto the note at 3
    EXPECT_EQ(count(), maxChannelNotes - 1);
    EXPECT_EQ(table().at(5, 3).position, 4);
    EXPECT_TRUE(editor.transpose(slots({maxChannelNotes - 1}), -1).changed);
}

TEST(NoteClip, TheBinaryFormHoldsFileValuesAndRefusesBadData) {
    const NoteClip clip({{0, 1, 3, 0, 248}, {2, noKey, 1, noPan, noVolume}});
    const std::vector<uint8_t> golden{'T', 'r', 'o', 'm', 'e', 'l', ' ', 'n', 'o', 't', 'e', 's', 1, 0,   2, 0,   0,
                                      0,   0,   0,   0,   0,   95,  3,   248, 12,  2,   0,   0,   0, 255, 1, 255, 255};
    EXPECT_EQ(clip.toBytes(), golden);
    EXPECT_EQ(clip.toText(), "Step\tKey\tLength\tVolume\tPan\n0\tB7\t3\t248\t0\n2\t-\t1\t-\t-\n");
    EXPECT_EQ(NoteClip::fromBytes(golden).clip, clip);

    auto with = [&](std::size_t offset, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> changed = golden;
        std::copy(bytes.begin(), bytes.end(), changed.begin() + static_cast<std::ptrdiff_t>(offset));
        return changed;
    };
    std::vector<uint8_t> trailing = golden;
    trailing.push_back(0);
    struct Case {
        std::vector<uint8_t> bytes;
        ClipReadStatus status;
    };
    const Case cases[] = {
        {{}, ClipReadStatus::NotNotes},
        {with(0, {'t'}), ClipReadStatus::NotNotes},
        {{golden.begin(), golden.begin() + 17}, ClipReadStatus::NotNotes},
        {with(12, {0, 0}), ClipReadStatus::NotNotes},
        {with(12, {2, 0}), ClipReadStatus::TooManyNotes},  // records read as parts
        {{golden.begin(), golden.end() - 1}, ClipReadStatus::WrongSize},
        {trailing, ClipReadStatus::WrongSize},
        {with(14, {0, 0x80, 0, 0}), ClipReadStatus::TooManyNotes},  // checked before anything is made
    };
    for (const Case& c : cases) {
        const ClipReadResult read = NoteClip::fromBytes(c.bytes);
        EXPECT_EQ(read.status, c.status) << c.bytes.size();
        EXPECT_TRUE(read.clip.empty());
    }
}

// Several channels take the second version: parts, each with its channel and count.
TEST(NoteClip, TheFormOfSeveralChannelsNamesThemAndRefusesThemOutOfOrder) {
    const NoteClip clip = NoteClip::ofChannels({{1, {{0, 1, 3, 0, 248}}}, {6, {}}, {7, {{2, noKey, 1, noPan, 90}}}});
    const std::vector<uint8_t> golden{'T', 'r', 'o', 'm', 'e', 'l', ' ', 'n', 'o', 't', 'e', 's', 2,   0,  3,  0,  0, 0,
                                      1,   0,   1,   0,   0,   0,   0,   0,   0,   0,   95,  3,   248, 12, 6,  0,  0, 0,
                                      0,   0,   7,   0,   1,   0,   0,   0,   2,   0,   0,   0,   255, 1,  90, 255};
    EXPECT_EQ(clip.toBytes(), golden);
    EXPECT_EQ(NoteClip::fromBytes(golden).clip, clip);
    EXPECT_EQ(clip.toText(), "Channel\tStep\tKey\tLength\tVolume\tPan\n2\t0\tB7\t3\t248\t0\n8\t2\t-\t1\t90\t-\n");
    EXPECT_EQ(clip.notes(), clip.parts().front().notes);
    const NoteClip single = NoteClip::ofChannels({{3, {{0, 40, 1, 6, 166}}}});  // one channel, named
    EXPECT_EQ(NoteClip::fromBytes(single.toBytes()).clip, single);

    auto with = [&](std::size_t offset, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> changed = golden;
        std::copy(bytes.begin(), bytes.end(), changed.begin() + static_cast<std::ptrdiff_t>(offset));
        return changed;
    };
    struct Case {
        std::vector<uint8_t> bytes;
        ClipReadStatus status;
    };
    const Case cases[] = {
        {with(14, {9}), ClipReadStatus::WrongSize},                 // more parts than channels
        {with(14, {4}), ClipReadStatus::WrongSize},                 // a part announced and missing
        {with(32, {1}), ClipReadStatus::WrongSize},                 // channel 1 twice
        {with(18, {8}), ClipReadStatus::WrongSize},                 // no channel 8
        {with(34, {0, 0x80, 0, 0}), ClipReadStatus::TooManyNotes},  // checked before anything is made
        {with(40, {2}), ClipReadStatus::WrongSize},                 // a record announced and missing
        {with(14, {2}), ClipReadStatus::WrongSize},                 // bytes left over
        {with(12, {3}), ClipReadStatus::NewerVersion},
    };
    for (const Case& c : cases) {
        const ClipReadResult read = NoteClip::fromBytes(c.bytes);
        EXPECT_EQ(read.status, c.status) << c.bytes.size();
        EXPECT_TRUE(read.clip.empty());
    }
}

}  // namespace
}  // namespace tromel::roll
