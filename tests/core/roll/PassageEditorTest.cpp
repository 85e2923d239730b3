// Selecting, moving, transposing, deleting, copying and pasting passages of a channel.
#include "roll/PassageEditor.h"

#include "roll/NoteTableOps.h"
#include "roll/SelectionColumns.h"
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
    // Loop Selection's columns: from the first record to the last step of the last note.
    EXPECT_EQ(selectedColumns(song, slots({2, 3, 4})), (ColumnSpan{5, 6}));
    EXPECT_EQ(selectedColumns(song, slots({1})), (ColumnSpan{3, 10}));
    EXPECT_EQ(selectedColumns(song, slots({4, 7, 99})), (ColumnSpan{6, 10}));
    EXPECT_FALSE(selectedColumns(song, slots({})));

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
        {with(12, {2, 0}), ClipReadStatus::NewerVersion},
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

}  // namespace
}  // namespace tromel::roll
