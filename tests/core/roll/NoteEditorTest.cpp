// Mouse gestures on the roll, driven with plain numbers, checked on the song and the outcome.
#include "roll/NoteEditor.h"

#include "roll/NoteTableOps.h"
#include "song/OrgFile.h"
#include "tests/core/roll/EditedChannel.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace tromel::roll {
namespace {

using test::Records;
using Positions = std::vector<int32_t>;
using Point = std::pair<double, double>;

constexpr int height = 452;              // the roll's client height; the panel starts at y = 308
constexpr double panY = height - 130;    // inside the pan strip
constexpr double volumeY = height - 30;  // inside the volume strip
constexpr MouseButtons none{};
constexpr MouseButtons left{true, false, false};
constexpr MouseButtons right{false, true, false};

class NoteEditorTest : public testing::Test, protected test::EditedChannel {
protected:
    // A point `offset` pixels into the cell of column and row (offset 0 is the cell's first pixel).
    double xIn(int32_t column, double offset = 4) const {
        return 64 + 16.0 * (column - 1) - state.viewScrollX + offset;
    }
    double yIn(int32_t row) const { return 12.0 * (row - 1) + 5 - state.viewScrollY; }

    EditOutcome hoverAt(double x, double y) { return editor.move(none, x, y, height); }
    EditOutcome press(MouseButtons buttons, double x, double y) {
        hoverAt(x, y);
        return editor.press(buttons, x, y, height);
    }
    EditOutcome leftClick(double x, double y) {
        const EditOutcome pressed = press(left, x, y);
        editor.release();
        return pressed;
    }
    // Hovers over the first point, presses there, drags through the others and releases; gives
    // the step the gesture leaves, which only its end ever finishes.
    std::optional<SongEdit> drag(MouseButtons buttons, const std::vector<Point>& points) {
        EXPECT_FALSE(press(buttons, points[0].first, points[0].second).finished);
        for (std::size_t i = 1; i < points.size(); ++i)
            EXPECT_FALSE(editor.move(buttons, points[i].first, points[i].second, height).finished);
        return editor.release().finished;
    }

    NoteEditor editor{song, state};
};

TEST_F(NoteEditorTest, AClickInAnEmptyTableGrowsItAndAddsANoteWithTheLastValues) {
    state.channelKind = 1;
    state.currentChannel = 3;
    EXPECT_EQ(hoverAt(xIn(4), yIn(2)).status, "Current Channel: Drum #4");
    EXPECT_TRUE(leftClick(xIn(4), yIn(2)).redraw);
    EXPECT_EQ(song.drumNotes.at(3, 1), (NoteRec{4, 2, 1, 6, 166}));
    EXPECT_EQ(state.noteCounts[1][3], 1);
    EXPECT_EQ(song.drums[3].noteCount, 0);  // the count read from a file is never edited
}

TEST_F(NoteEditorTest, ClickInAColumnThatHoldsARecordRekeysIt) {
    put({{5, 10, 3, 2, 80}, {7, noKey, 1, 3, noVolume}, {9, noKey, 1, noPan, 100}});
    EXPECT_EQ(leftClick(xIn(5), yIn(20)).placed, (NoteRec{5, 20, 3, 2, 80}));  // what a preview sounds
    leftClick(xIn(7), yIn(15));
    leftClick(xIn(9), yIn(16));
    // A pan event becomes a note, pan as painted; a volume event keeps its volume.
    EXPECT_EQ(records(), (Records{{5, 20, 3, 2, 80}, {7, 15, 1, 3, 166}, {9, 16, 1, noPan, 100}}));
}

TEST_F(NoteEditorTest, OnlyTheLastFourPixelsStretchAndOnlyWithinOneTo255) {
    state.viewScrollX = 20;
    put({{5, 10, 2, 6, 166}});
    for (int offset = 0; offset < 16; ++offset) {  // over the note's last column
        const EditOutcome hovered = hoverAt(xIn(6, offset), yIn(10));
        EXPECT_EQ(hovered.pointer, offset >= 12 ? PointerShape::resize : PointerShape::move) << offset;
        EXPECT_EQ(hovered.status, offset >= 12 ? "Stretch Note" : "Move Note");
    }
    EXPECT_EQ(hoverAt(xIn(5, 14), yIn(10)).pointer, PointerShape::move);  // not the end of the note
    EXPECT_EQ(hoverAt(xIn(7, 0), yIn(10)).pointer, PointerShape::arrow);

    press(left, xIn(6, 14), yIn(10));
    editor.move(left, xIn(3), yIn(10), height);
    EXPECT_EQ(slot(1).length, 1);
    editor.move(left, xIn(400), yIn(10), height);
    EXPECT_EQ(slot(1).length, 255);
    EXPECT_TRUE(editor.move(left, xIn(9), yIn(22), height).redraw);
    EXPECT_EQ(slot(1), (NoteRec{5, 10, 5, 6, 166}));
    EXPECT_EQ(editor.release().pointer, PointerShape::arrow);
    leftClick(xIn(20), yIn(3));  // the next note takes the last length
    EXPECT_EQ(slot(2), (NoteRec{20, 3, 5, 6, 166}));
}

// Nothing is tidied while the button is held; at release the moved note clears the notes it
// lands on, but not events, and dragged left of column 1 it goes with what its length covers.
TEST_F(NoteEditorTest, AMovedNoteClearsWhatItLandsOnAtReleaseAndLeftOfColumnOneGoes) {
    put({{5, 10, 1, 6, 166}, {9, noKey, 1, 3, noVolume}, {9, 20, 2, 6, 166}});
    press(left, xIn(5), yIn(10));
    editor.move(left, xIn(10), yIn(12), height);
    EXPECT_EQ(records(), (Records{{10, 12, 1, 6, 166}, {9, noKey, 1, 3, noVolume}, {9, 20, 2, 6, 166}}));
    editor.release();
    EXPECT_EQ(records(), (Records{{9, noKey, 1, 3, noVolume}, {10, 12, 1, 6, 166}}));
    EXPECT_EQ(slot(3), NoteRec{});

    put({{5, 10, 4, 6, 166}, {2, 20, 1, 6, 166}, {3, 21, 1, 6, 166}, {4, 22, 1, 6, 166}});
    press(left, xIn(5, 3), yIn(10));
    editor.move(left, 66, yIn(10), height);
    EXPECT_EQ(slot(1).position, 0);
    editor.release();
    EXPECT_EQ(positions(), (Positions{4}));
}

TEST_F(NoteEditorTest, AScrolledMoveKeepsTheNoteUnderThePointer) {
    state.viewScrollX = 28;
    state.viewScrollY = 25;
    put({{10, 8, 2, 6, 166}});
    press(left, xIn(10, 5), yIn(8));
    EXPECT_FALSE(editor.move(left, xIn(10, 5), yIn(8), height).placed);
    EXPECT_EQ(editor.move(left, xIn(11, 5), yIn(9), height).placed, (NoteRec{11, 9, 2, 6, 166}));  // a new key
    EXPECT_EQ(slot(1), (NoteRec{11, 9, 2, 6, 166}));
    // Above or below the keyboard the note stays a note, on the top or bottom key.
    editor.move(left, xIn(11, 5), -2000, height);
    EXPECT_EQ(slot(1).key, 1);
    editor.move(left, xIn(11, 5), 5000, height);
    EXPECT_EQ(slot(1).key, 96);
}

TEST_F(NoteEditorTest, RightClickDeletesOneNoteAndClosesTheGapRightDragSweepsColumns) {
    put({{3, 24, 4, 6, 166}, {5, 10, 1, 6, 166}, {9, 10, 1, 6, 166}, {5, 20, 1, 6, 166}, {5, noKey, 1, 2, noVolume}});
    press(right, xIn(5), yIn(25));  // arrow pointer over an empty cell: nothing goes
    EXPECT_EQ(count(), 5);
    EXPECT_TRUE(press(right, xIn(5), yIn(10)).redraw);
    EXPECT_EQ(positions(), (Positions{3, 5, 5, 9}));
    EXPECT_EQ(slot(5), NoteRec{});
    editor.move(right, xIn(6), yIn(23), height);  // over nothing in the roll
    EXPECT_EQ(count(), 4);
    EXPECT_EQ(editor.move(right, xIn(5), yIn(20), height).status, "Move Note");
    EXPECT_EQ(positions(), (Positions{9}));
}

TEST_F(NoteEditorTest, StripPressesSetOrAddEventsAndDragsOnlyPaint) {
    // A right click clears the column; on the keyboard's side, no click acts.
    put({{3, 30, 4, 6, 166}, {5, noKey, 1, 2, noVolume}, {8, 20, 1, 6, 166}});
    leftClick(30, panY);
    leftClick(10, volumeY);
    press(right, 30, volumeY);
    EXPECT_EQ(song.instrumentNotes.liveCount(), 3);
    press(right, xIn(5), panY);
    editor.release();
    EXPECT_EQ(positions(), (Positions{8}));

    put({{6, 10, 1, 6, 166}});
    editor.press(left, xIn(4), height - 144 + 0.5, height);  // top of the pan strip
    editor.press(left, xIn(4), height - 71.9, height);       // top of the volume strip
    EXPECT_EQ(records(), (Records{{4, noKey, 1, 0, 248}, {6, 10, 1, 6, 166}}));
    editor.release();
    // Painting adds nothing, and 60 pixels into the pan strip is the strip's middle.
    drag(left, {{xIn(6), volumeY}, {xIn(8), height + 200}, {xIn(6), height + 200}, {xIn(6), height - 84}});
    EXPECT_EQ(records(), (Records{{4, noKey, 1, 0, 248}, {6, 10, 1, 12, 0}}));
    // The scales' other ends, and the seam between roll and strips that belongs to neither.
    EXPECT_EQ(RollSpot(100, height - 1, height, 0, 0).volume(), 4);
    const RollSpot seam(100, height - 72, height, 0, 0);
    EXPECT_FALSE(seam.inPanStrip() || seam.inVolumeStrip() || seam.inRoll());
    EXPECT_TRUE(RollSpot(100, height - 144, height, 0, 0).inRoll());
}

// The middle button, both buttons at once, a press whose pointer shape the song no longer
// matches (a move or a resize pointer over a note since removed), and adds to a full channel,
// which says so.
TEST_F(NoteEditorTest, PressesThatCannotActChangeNothing) {
    put({{5, 10, 1, 6, 166}});
    hoverAt(xIn(5), yIn(10));
    for (const MouseButtons buttons : {MouseButtons{false, false, true}, MouseButtons{true, true, false}}) {
        EXPECT_FALSE(editor.press(buttons, xIn(5), yIn(10), height).redraw);
        EXPECT_FALSE(editor.move(buttons, xIn(9), yIn(10), height).redraw);
        EXPECT_FALSE(editor.press(buttons, xIn(5), panY, height).redraw);
    }
    EXPECT_EQ(records(), (Records{{5, 10, 1, 6, 166}}));
    for (const double offset : {4.0, 14.0}) {
        put({{5, 10, 1, 6, 166}});
        hoverAt(xIn(5, offset), yIn(10));
        table().at(0, 1) = NoteRec{};
        const Song before = song;
        editor.press(left, xIn(5, offset), yIn(10), height);
        editor.move(left, xIn(9), yIn(3), height);
        EXPECT_FALSE(state.isNoteMove || state.isNoteStretch);
        EXPECT_EQ(song, before);
    }
    put(Records(maxChannelNotes, {3000, noKey, 1, 6, noVolume}));
    const Song before = song;
    const EditOutcome refused = leftClick(xIn(5), yIn(10));
    EXPECT_EQ(refused.status, "Channel is full: 32767 notes");
    EXPECT_FALSE(refused.redraw);
    EXPECT_EQ(press(left, xIn(6), panY).status, "Channel is full: 32767 notes");
    EXPECT_EQ(song, before);
}

// Zoomed, the pointer maps to the drawn cells exactly, each gesture acts on the cell drawn under
// it, and a note stretches from the right quarter of its last column (2 pixels at least).
TEST_F(NoteEditorTest, EveryGestureHitsTheDrawnCellAtEveryZoom) {
    const std::pair<int16_t, int16_t> zooms[] = {{25, 50}, {50, 75}, {200, 150}, {400, 200}, {25, 200}, {400, 50}};
    for (const auto& [zoomX, zoomY] : zooms) {
        SCOPED_TRACE(testing::Message() << zoomX << " x " << zoomY);
        state.zoomX = zoomX;
        state.zoomY = zoomY;
        state.viewScrollX = 3;  // no whole column: the cells do not meet the pixels of the written grid
        state.viewScrollY = 5;
        state.lastNoteLength = 1;
        const RollScale scale = RollScale::ofZoom(zoomX, zoomY);
        const int cw = scale.columnWidth;
        const int zone = std::max(2, cw / 4);
        const auto x = [&](int32_t column, double offset) {
            return double(columnLeftX(column, state.viewScrollX, scale)) + offset;
        };
        const auto y = [&](int32_t row, double offset) {
            return double(rowTopY(row, state.viewScrollY, scale)) + offset;
        };
        const double middle = scale.rowHeight / 2;
        put({{5, 6, 2, 6, 166}});
        for (const double edge : {0.0, cw - 1.0}) {
            EXPECT_EQ(hoverAt(x(4, edge), y(6, middle)).pointer, PointerShape::arrow);
            EXPECT_EQ(hoverAt(x(5, edge), y(6, middle)).pointer, PointerShape::move);
        }
        EXPECT_EQ(hoverAt(x(5, 1), y(6, 0)).pointer, PointerShape::move);
        EXPECT_EQ(hoverAt(x(5, 1), y(6, scale.rowHeight - 1)).pointer, PointerShape::move);
        EXPECT_EQ(hoverAt(x(5, 1), y(7, 0)).pointer, PointerShape::arrow);
        EXPECT_EQ(hoverAt(x(6, cw - zone - 1), y(6, middle)).pointer, PointerShape::move);
        EXPECT_EQ(hoverAt(x(6, cw - zone), y(6, middle)).pointer, PointerShape::resize);
        EXPECT_EQ(hoverAt(x(6, cw - 1), y(6, middle)).pointer, PointerShape::resize);

        leftClick(x(8, 0), y(3, 0));                                  // add
        drag(left, {{x(5, 1), y(6, 1)}, {x(12, 1), y(8, 1)}});        // move
        drag(left, {{x(13, cw - 1), y(8, 1)}, {x(15, 0), y(8, 1)}});  // stretch from the end
        EXPECT_EQ(records(), (Records{{8, 3, 1, 6, 166}, {12, 8, 4, 6, 166}}));
        leftClick(x(40, 0), y(9, 1));                            // four steps long now, like the stretched note
        press(right, x(43, cw - 1), y(9, scale.rowHeight - 1));  // delete it from its end
        editor.release();
        leftClick(x(20, cw - 1), panY);
        EXPECT_EQ(records(), (Records{{8, 3, 1, 6, 166}, {12, 8, 4, 6, 166}, {20, noKey, 1, 2, noVolume}}));
        editor.press(left, x(12, 0), y(8, 0), height, Modifiers{true, false});  // select from the cell's corner
        editor.move(left, x(20, cw - 1), y(8, scale.rowHeight - 1), height);
        editor.release();
        EXPECT_EQ(editor.selection().slotIndices(), (std::vector<int32_t>{2, 3}));
        leftClick(x(30, 0), y(30, 0));  // and drop it
    }
}

TEST_F(NoteEditorTest, ShiftDrawsASelectionAndDragsItAsOneStep) {
    put({{3, 10, 1, 6, 166}, {3, noKey, 1, 2, noVolume}, {5, 12, 2, 6, 166}, {9, 10, 1, 6, 166}, {12, 20, 1, 6, 166}});
    const Modifiers shift{true, false};
    const auto selected = [this] { return editor.selection().slotIndices(); };
    // A rectangle from (6, 13) back to (2, 9): the notes starting inside, and the event beside one.
    EXPECT_TRUE(editor.press(left, xIn(6), yIn(13), height, shift).redraw);
    editor.move(left, xIn(2), yIn(9), height);
    EXPECT_EQ(editor.band()->firstColumn, 2);
    EXPECT_EQ(editor.release().finished, std::nullopt);
    EXPECT_FALSE(editor.band());
    EXPECT_EQ(selected(), (std::vector<int32_t>{1, 2, 3}));
    editor.press(left, xIn(12), yIn(20), height, Modifiers{true, true});  // Shift+Ctrl adds the note at 12
    editor.release();
    EXPECT_EQ(selected(), (std::vector<int32_t>{1, 2, 3, 5}));

    // Dragged from a selected note two columns right and a row up, through the note at 9:
    // only where it lands counts.
    hoverAt(xIn(5), yIn(12));
    editor.press(left, xIn(5), yIn(12), height, shift);
    editor.move(left, xIn(9), yIn(15), height);
    editor.move(left, xIn(7), yIn(11), height);
    const std::optional<SongEdit> step = editor.release().finished;
    ASSERT_TRUE(step);
    EXPECT_EQ(step->name(), "Move Notes");
    EXPECT_EQ(positions(), (Positions{5, 5, 7, 9, 14}));
    EXPECT_EQ(slot(3), (NoteRec{7, 11, 2, 6, 166}));
    EXPECT_EQ(selected(), (std::vector<int32_t>{1, 2, 3, 5}));
    step->undo(song, state);
    EXPECT_EQ(positions(), (Positions{3, 3, 5, 9, 12}));

    // With every channel of the kind the rectangle takes channel 1's note too; a drag that lands
    // it on another note of channel 1 and comes back leaves that channel as it was.
    table().grow(2);
    table().at(1, 1) = {4, 30, 1, 6, 166};
    table().at(1, 2) = {8, 31, 1, 6, 166};
    int16_t& channelOne = state.noteCounts[state.channelKind][1];
    channelOne = 2;
    editor.setAllChannels(true);
    editor.press(left, xIn(3), yIn(1), height, shift);
    editor.move(left, xIn(6), yIn(40), height);
    editor.release();
    EXPECT_EQ(editor.selection().channels(), (std::vector<int>{0, 1}));
    editor.press(left, xIn(5), yIn(12), height, shift);
    editor.move(left, xIn(9), yIn(12), height);
    EXPECT_EQ(channelOne, 1);
    editor.move(left, xIn(5), yIn(12), height);
    EXPECT_FALSE(editor.release().finished);
    EXPECT_EQ(channelOne, 2);
    editor.setAllChannels(false);

    // A plain click clears the selection and does what it always did.
    EXPECT_TRUE(leftClick(xIn(20), yIn(5)).redraw);
    EXPECT_TRUE(editor.selection().empty());
    EXPECT_EQ(count(), 6);
}

// What a save writes, followed by every channel's slot layout and live count: two songs with the
// same image save the same bytes now and after any further edit.
std::vector<int32_t> image(const Song& song, const EditState& state) {
    const std::vector<uint8_t> bytes = writeOrgBytes(song);
    std::vector<int32_t> out(bytes.begin(), bytes.end());
    for (int kind = 0; kind < 2; ++kind) {
        for (int channel = 0; channel < NoteTable::channelCount; ++channel) {
            std::vector<NoteRec> records = channelRecords(song.notes(kind), channel);
            while (!records.empty() && records.back().isEmpty())
                records.pop_back();
            out.push_back(-1);
            out.push_back(state.noteCounts[kind][channel]);
            for (const NoteRec& r : records)
                out.insert(out.end(), {r.position, r.key, r.length, r.pan, r.volume});
        }
    }
    return out;
}

// The step each gesture leaves, named as the Edit menu shows it; its undo and redo are the
// random history's below.
TEST_F(NoteEditorTest, EachGestureIsOneNamedStep) {
    put({{5, 10, 1, 6, 166}, {9, 20, 1, 6, 166}});
    const std::tuple<const char*, MouseButtons, std::vector<Point>> cases[] = {
        {"Add Note", left, {{xIn(2), yIn(22)}}},
        {"Change Key", left, {{xIn(5), yIn(23)}}},
        {"Move Note", left, {{xIn(5), yIn(23)}, {xIn(7), yIn(12)}, {xIn(9), yIn(20)}}},  // onto the note at 9
        {"Stretch Note", left, {{xIn(9, 14), yIn(20)}, {xIn(12), yIn(20)}}},
        {"Paint Pan", left, {{xIn(9), panY}, {xIn(5), panY + 20}}},
        {"Paint Volume", left, {{xIn(11), volumeY}}},
        {"none", left, {{20, yIn(22)}}},  // the keyboard
        {"Delete Notes", right, {{xIn(2), yIn(22)}, {xIn(9), yIn(20)}}},
    };
    for (const auto& [name, buttons, points] : cases) {
        const std::optional<SongEdit> step = drag(buttons, points);
        EXPECT_EQ(step ? step->name() : "none", name);
    }
    EXPECT_EQ(positions(), (Positions{11}));  // the volume event
}

// Gestures of every kind, some of them cut short, selections drawn and dragged, passage
// operations, undos and redos on two channels of each kind: after every action the song is the
// one saved at that point of the history.
TEST_F(NoteEditorTest, RandomGesturesUndosAndRedosFollowTheHistoryExactly) {
    std::mt19937 random(20261207);
    const auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const auto anywhere = [&] {
        const int zone = pick(0, 9);
        const double x = xIn(pick(1, 14), pick(0, 15));
        return std::make_pair(x, zone == 0 ? panY + pick(-10, 40) : zone == 1 ? volumeY : yIn(pick(1, 6)));
    };
    constexpr std::pair<int32_t, int32_t> moves[] = {{0, -1}, {0, 1}, {0, -12}, {1, 0}, {-1, 0}, {16, 0}};
    constexpr const char* passageSteps[] = {"Delete Notes", "Paste", "Move Notes", "Move Notes"};
    // The history in miniature, as the document keeps it: a new step drops the steps undone before.
    std::vector<SongEdit> history;
    std::size_t done = 0;
    const auto record = [&](std::optional<SongEdit> step) {
        if (step) {
            history.resize(done++);
            history.push_back(std::move(*step));
        }
    };
    // A channel straight from a file: out of order, so the first tidy reorders it all.
    Records file;
    for (int32_t i = 1; i <= 40; ++i)
        file.push_back({i <= 3 ? 4 * (4 - i) + 1 : 20 + i, 10 + i % 7, 1, 6, 166});
    file[1] = {9, 2, 1, 6, 166};
    file[2] = {5, 4, 1, 6, 166};
    put(file);
    std::vector<std::vector<int32_t>> saved{image(song, state)};
    int steps = 0;
    int passages = 0;
    for (int action = 0; action < 10000; ++action) {
        const int what = pick(0, 19);
        const std::size_t stepsBefore = history.size();
        const std::size_t doneBefore = done;
        if (what < 5) {
            // The document drops a selection an undo or a redo made stale.
            if (what < 3 && done > 0)
                history[--done].undo(song, state);
            else if (what >= 3 && done < history.size())
                history[done++].redo(song, state);
            editor.setSelection({});
        } else if (what < 7) {
            if (editor.selection().empty())
                editor.setSelection(
                    selectInRect(song, state, CellRect::between(pick(1, 14), 1, pick(1, 14), pick(1, 6))));
            const auto move = moves[pick(0, 5)];
            const int32_t columns = move.first, rows = move.second;
            const NoteClip clip = PassageEditor(song, state).copy(editor.selection());
            const int32_t column = pick(1, 14);
            const int op = pick(0, 3);
            record(editor
                       .editPassage(passageSteps[op],
                                    [&](PassageEditor& p, const NoteSelection& s) {
                                        return op == 0   ? p.remove(s)
                                               : op == 1 ? p.paste(clip, column)
                                                         : p.move(s, columns, rows);
                                    })
                       .finished);
        } else {
            if (what == 7) {
                state.channelKind = static_cast<int16_t>(pick(0, 1));
                state.currentChannel = static_cast<int16_t>(pick(0, 1) * 5);
                editor.setSelection({});
            }
            auto [x, y] = anywhere();
            hoverAt(x, y);
            const MouseButtons button = pick(0, 3) == 0 ? right : left;
            const Modifiers modifiers{pick(0, 2) == 0, pick(0, 1) == 0};
            record(editor.press(button, x, y, height, modifiers).finished);
            for (int drag = pick(0, 3); drag > 0; --drag) {
                std::tie(x, y) = anywhere();
                record(editor.move(button, x, y, height).finished);
            }
            // Most gestures end with a release; some lose it and end at the next pointer move.
            record(pick(0, 4) ? editor.release().finished : editor.move(none, x, y, height).finished);
        }
        if (what >= 5 && (history.size() != stepsBefore || done != doneBefore)) {
            ++steps;
            passages += what < 7;
            saved.resize(done);
            saved.push_back(image(song, state));
        }
        ASSERT_EQ(image(song, state), saved[done]) << "after action " << action;
    }
    EXPECT_GT(steps, 3000);
    EXPECT_GT(passages, 200);
}

}  // namespace
}  // namespace tromel::roll
