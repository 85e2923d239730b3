// Recording while the song plays: played notes land where they were heard, and are heard from the next pass.
#include "audio/mixer/KeyFrequency.h"
#include "roll/Recording.h"
#include "tests/core/audio/AudioTestKit.h"
#include "tests/core/roll/EditedChannel.h"

#include <gtest/gtest.h>

namespace tromel::roll {
namespace {

using audio::stepFrame;
using audio::StepGrid;
using test::Records;

TEST(StepGrid, FramesGoToTheNearestStepAndTheLoopWrapsAsPlaybackDoes) {
    // Steps of 441 frames from frame 1000, playing positions 6, 7, 8, then 3, 4, ... (loop 2 to 8).
    const StepGrid grid{1, 5, 1000, 10, 2, 8};
    EXPECT_EQ(grid.positionOf(1), 6);
    EXPECT_EQ(grid.positionOf(3), 8);
    EXPECT_EQ(grid.positionOf(4), 3);
    EXPECT_EQ(grid.positionOf(9), 8);
    EXPECT_EQ(grid.positionOf(10), 3);
    EXPECT_EQ(grid.nearestStep(0), 1);  // before the first step: the first
    EXPECT_EQ(grid.nearestStep(1000 + 441 + 220), 1);
    EXPECT_EQ(grid.nearestStep(1000 + 441 + 221), 2);
    EXPECT_EQ(grid.nearestStep(1000 + 441 * 1000 - 1), 1000);
    EXPECT_EQ(grid.stepsBetween(0, 100), 1);  // at least one
    EXPECT_EQ(grid.stepsBetween(0, 441 * 2 + 220), 2);
    EXPECT_EQ(grid.stepsBetween(0, 441 * 2 + 221), 3);
    // The grid tempo's frames are floor(n × tempo × 44.1): tempo 7 steps at 308, 617, 926, ...
    const StepGrid odd{1, 0, 0, 7, 0, 100};
    EXPECT_EQ(odd.nearestStep(stepFrame(3, 7)), 3);
    EXPECT_EQ(odd.nearestStep(stepFrame(3, 7) + 154), 3);
    EXPECT_EQ(odd.nearestStep(stepFrame(3, 7) + 155), 4);
    // A count-in of 4 steps comes first: step 5 of the run plays position 6.
    const StepGrid counted{1, 5, 1000, 10, 2, 8, 4};
    EXPECT_TRUE(counted.countsIn(4));
    EXPECT_FALSE(counted.countsIn(5));
    EXPECT_EQ(counted.positionOf(5), 6);
    EXPECT_EQ(counted.positionOf(8), 3);
    // A render's clock sounds its first step on its first frame, each step one earlier.
    const StepGrid atOnce{1, 0, 0, 7, 0, 100, 0, audio::FirstStep::AtOnce};
    EXPECT_EQ(atOnce.nearestStep(0), 1);
    EXPECT_EQ(atOnce.nearestStep(stepFrame(2, 7) + 154), 3);
    EXPECT_EQ(atOnce.nearestStep(stepFrame(2, 7) + 155), 4);
    // At 22050 Hz steps of 7 ms fall at floor(n × 154.35): 0, 154, 308, 463, ...; at 96000 Hz
    // steps of 10 ms are 960 frames.
    const StepGrid low{1, 0, 0, 7, 0, 100, 0, audio::FirstStep::AtOnce, 22050};
    EXPECT_EQ(low.frameOf(4), 463);
    EXPECT_EQ(low.nearestStep(463 + 77), 4);
    EXPECT_EQ(low.nearestStep(463 + 78), 5);
    EXPECT_EQ(low.nearestStep(stepFrame(999, 7, 22050)), 1000);
    const StepGrid high{1, 5, 1000, 10, 2, 8, 0, audio::FirstStep::OneStepIn, 96000};
    EXPECT_EQ(high.frameOf(2), 1000 + 2 * 960);
    EXPECT_EQ(high.stepsBetween(0, 960 * 2 + 479), 2);
    EXPECT_EQ(high.stepsBetween(0, 960 * 2 + 481), 3);
}

// Notes struck nearer a step of the count-in than the song's first are not recorded; a note
// stops at 255 steps, the longest a file holds, whatever it was held for.
TEST(Recording, TheCountInIsNotRecordedAndNotesStopAt255Steps) {
    test::EditedChannel edited;
    Recording recording{edited.song, edited.state};
    const StepGrid grid{1, 0, 0, 100, 0, 2000, 4};  // 4410 frames a step, 4 of count-in
    const auto frameOf = [](double step) { return static_cast<int64_t>(step * 4410); };
    recording.noteOn(40, 100, frameOf(3.9));  // nearest to step 4, the count-in's last
    recording.noteOff(40, frameOf(4.2));
    recording.noteOn(41, 100, frameOf(5.4));  // nearest to step 5: position 1
    recording.noteOff(41, frameOf(5.4 + 254));
    recording.noteOn(42, 100, frameOf(300));
    recording.noteOff(42, frameOf(300 + 255));
    recording.noteOn(43, 100, frameOf(600));
    recording.noteOff(43, frameOf(600 + 256.4));
    const std::vector<EntryOutcome> placed = recording.finish(grid, false, frameOf(900));
    ASSERT_EQ(placed.size(), 4u);
    EXPECT_FALSE(placed[0].edit);
    EXPECT_EQ(placed[0].status, "Notes played during the count-in were not recorded");
    EXPECT_EQ(edited.records(), (Records{{1, 55, 254, 6, 100}, {296, 54, 255, 6, 100}, {596, 53, 255, 6, 100}}));
    // A note-on 1323 frames (30 ms) after a chord's first is in the chord, which keeps its top note;
    // one frame later it starts a chord of its own, which replaces the one before at that step.
    recording.noteOn(50, 100, frameOf(1000));
    recording.noteOn(49, 100, frameOf(1000) + Recording::chordWindow);
    recording.noteOn(60, 100, frameOf(1100));
    recording.noteOn(59, 100, frameOf(1100) + Recording::chordWindow + 1);
    for (const int key : {50, 49, 60, 59})
        recording.noteOff(key, frameOf(key < 60 ? 1001 : 1101));
    // The last chord is over once its window has passed too.
    const int64_t lastChord = frameOf(1100) + Recording::chordWindow + 1;
    EXPECT_EQ(recording.place(grid, false, lastChord + Recording::chordWindow).size(), 2u);
    EXPECT_EQ(recording.place(grid, false, lastChord + Recording::chordWindow + 1).size(), 1u);
    EXPECT_TRUE(recording.isEmpty());
    const std::vector<NoteRec> records = edited.records();
    EXPECT_EQ(std::vector<NoteRec>(records.end() - 2, records.end()),
              (Records{{996, 96 - 50, 1, 6, 100}, {1096, 96 - 59, 1, 6, 100}}));
}

struct RecordingTest : testing::Test {
    audio::test::fs::path folder = audio::test::steadySampleFolder();
    audio::MixerAudioLayer layer;
    audio::test::RecordingHost host;
    audio::Transport transport{layer, folder};
    test::EditedChannel edited;
    Recording recording{edited.song, edited.state};

    // Renders until the output has reached `frame`, in pieces of a device's size.
    void renderTo(int64_t frame) {
        std::vector<float> buffer(2 * 512);
        while (layer.renderedFrames() < frame)
            layer.renderFrames(buffer.data(), static_cast<int>(std::min<int64_t>(512, frame - layer.renderedFrames())));
    }
    // The frame heard when the output has reached `frame`.
    int64_t heard(int64_t frame) {
        renderTo(frame);
        return layer.renderedFrames() - layer.outputLatencyFrames();
    }
    // The output frame at which step n of the song is heard, plus a fraction of a step.
    int64_t at(int64_t n, double fraction = 0) {
        return stepFrame(n, tempo) + static_cast<int64_t>(fraction * tempo * 44.1) + layer.outputLatencyFrames();
    }
    static constexpr int32_t tempo = 100;
};

TEST_F(RecordingTest, NotesPlayedAtKnownFramesLandOnTheirStepsWithTheirLengths) {
    Song song;
    song.tempo = tempo;
    song.loopBegin = 2;
    song.loopEnd = 8;
    ASSERT_TRUE(transport.play(song, host));
    transport.finishPreparing(host);
    EXPECT_FALSE(transport.stepGrid());  // the mixer has not begun the run
    renderTo(1);
    const std::optional<StepGrid> grid = transport.stepGrid();
    ASSERT_TRUE(grid);
    edited.state.currentChannel = 1;
    edited.state.lastNotePan = 3;
    // Heard 0.3 step after step 2 (file step 1), held 2.9 steps; 0.6 step after step 3, held
    // 0.2 step (at least one): it replaces the note before, whose steps it shares.
    recording.noteOn(48, 100, heard(at(2, 0.3)));
    recording.noteOn(50, 110, heard(at(3, 0.6)));
    recording.noteOff(50, heard(at(3, 0.8)));
    recording.noteOff(48, heard(at(5, 0.2)));
    std::vector<EntryOutcome> placed = recording.place(*grid, false, heard(at(6)));
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(edited.records(), (Records{{4, 46, 1, 3, 110}}));
    // 0.7 step after the loop's last step is the loop's first (file step 2) in the second pass;
    // held past the loop end.
    recording.noteOn(52, 120, heard(at(8, 0.7)));
    // A chord: 60 and 55 within 30 ms of 52, its top note (60) goes in for its own length.
    recording.noteOn(60, 90, heard(at(8, 0.7) + 1000));
    recording.noteOn(55, 80, heard(at(8, 0.7) + 1300));
    recording.noteOff(55, heard(at(9)));
    recording.noteOff(60, heard(at(15, 0.75)));
    EXPECT_TRUE(recording.place(*grid, false, heard(at(16))).empty());  // 52 is still held
    EXPECT_FALSE(recording.isEmpty());
    std::vector<EntryOutcome> finished = recording.finish(*grid, false, heard(at(16)));
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_EQ(edited.records(), (Records{{3, 36, 7, 3, 90}}));
    // The pass as one step: each note's change undone, the last first.
    SongEdit pass;
    for (std::vector<EntryOutcome>* outcomes : {&placed, &finished})
        for (EntryOutcome& outcome : *outcomes)
            pass.append(std::move(*outcome.edit));
    pass.undo(edited.song, edited.state);
    EXPECT_TRUE(edited.records().empty());
    pass.redo(edited.song, edited.state);
    EXPECT_EQ(edited.records(), (Records{{3, 36, 7, 3, 90}}));
}

// Recorded notes are heard from the loop's next pass on; a pause ends a run of the clock, and
// the grid of the run before is not used for what is heard after the resume.
TEST_F(RecordingTest, RefreshedNotesPlayFromTheNextPassAndEachRunHasItsGrid) {
    Song song;
    song.tempo = tempo;
    song.loopEnd = 8;
    ASSERT_TRUE(transport.play(song, host));
    transport.finishPreparing(host);
    const int64_t pass = stepFrame(8, tempo);
    // Rendered on from the first frame of the timeline, so that onsets are timeline frames.
    std::vector<float> heard = audio::test::render(layer, static_cast<int>(stepFrame(2, tempo)));
    audio::test::addNote(song, 0, {5, 48, 1, 6, 160});
    transport.refreshEvents(song);
    heard.resize(2 * static_cast<std::size_t>(2 * pass + stepFrame(2, tempo)));
    layer.renderFrames(heard.data() + 2 * stepFrame(2, tempo), static_cast<int>(2 * pass));
    EXPECT_EQ(audio::test::onsets(heard), std::vector<int64_t>{pass + stepFrame(5, tempo)});

    const uint32_t run = transport.stepGrid()->run;
    transport.pause();
    EXPECT_FALSE(transport.stepGrid());
    audio::test::render(layer, 1000);
    transport.play(song, host);
    EXPECT_FALSE(transport.stepGrid());  // until the mixer begins the new run
    const int64_t resumed = layer.renderedFrames();
    audio::test::render(layer, 100);
    const std::optional<StepGrid> grid = transport.stepGrid();
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->run, run + 1);
    EXPECT_EQ(grid->startFrame, resumed);
    EXPECT_EQ(grid->positionBefore, 2);  // paused after two steps of the third pass
    EXPECT_EQ(grid->positionOf(1), 3);
}

}  // namespace
}  // namespace tromel::roll
