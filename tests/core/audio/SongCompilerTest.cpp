// Compiling a song into play events: file names, order, volumes, pans, limits, refusals.
#include "audio/SongCompiler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>

namespace tromel::audio {
namespace {

void addNote(NoteTable& table, int channel, int32_t slot, NoteRec note) {
    table.grow(slot);
    table.at(channel, slot) = note;
}

NoteRec note(int32_t position, int32_t key, int32_t length, int16_t pan, int16_t volume) {
    return {position, key, length, pan, volume};
}

TEST(SongCompiler, SampleFileNames) {
    EXPECT_EQ(sampleFileName(false, 0), "M01.wav");
    EXPECT_EQ(sampleFileName(false, 8), "M09.wav");
    EXPECT_EQ(sampleFileName(false, 9), "M10.wav");
    EXPECT_EQ(sampleFileName(false, 99), "M100.wav");
    EXPECT_EQ(sampleFileName(false, 100), "M01.wav");
    EXPECT_EQ(sampleFileName(false, -1), "M01.wav");
    EXPECT_EQ(sampleFileName(true, 11), "D12.wav");
    EXPECT_EQ(sampleFileName(true, 12), "D01.wav");
    EXPECT_EQ(sampleFileName(true, 9), "D10.wav");
}

TEST(SongCompiler, PanConversionCentresTheMiddleOfTheStrip) {
    EXPECT_EQ(panOf(0), 100);
    EXPECT_EQ(panOf(1), 83);
    EXPECT_EQ(panOf(3), 50);
    EXPECT_EQ(panOf(6), 0);
    EXPECT_EQ(panOf(9), -50);
    EXPECT_EQ(panOf(12), -100);
    EXPECT_EQ(panOf(-188), 100);  // a file's pan byte 200
    EXPECT_EQ(panOf(40), -100);
}

TEST(SongCompiler, RefusesLoopsAndTemposPlaybackCannotFollow) {
    Song song;
    EXPECT_FALSE(playRefusal(song));
    const auto refusal = [](auto change) {
        Song s;
        change(s);
        return playRefusal(s).value_or("");
    };
    EXPECT_NE(refusal([](Song& s) { s.loopEnd = 0; }).find("loop end is 0"), std::string::npos);
    EXPECT_NE(refusal([](Song& s) { s.loopBegin = -1; }).find("loop begin is -1"), std::string::npos);
    EXPECT_NE(refusal([](Song& s) { s.loopBegin = 1600; }).find("loop begin (1600)"), std::string::npos);
    EXPECT_NE(refusal([](Song& s) { s.tempo = 0; }).find("tempo is 0"), std::string::npos);
    EXPECT_NE(refusal([](Song& s) { s.tempo = -5; }).find("tempo is -5"), std::string::npos);
}

TEST(SongCompiler, EventsFollowChannelThenSlotOrderWithinAPosition) {
    Song song;
    song.loopEnd = 10;
    addNote(song.instrumentNotes, 1, 1, note(3, 40, 2, 6, 100));
    addNote(song.drumNotes, 0, 1, note(3, 60, 1, 6, 200));
    addNote(song.instrumentNotes, 0, 1, note(3, 50, 4, 0, 90));
    addNote(song.instrumentNotes, 0, 2, note(3, 51, 5, 12, 91));  // same channel, same position
    addNote(song.instrumentNotes, 0, 3, note(1, 52, 1, 6, 92));
    CompiledSong compiled;
    compileEvents(song, compiled);
    ASSERT_EQ(compiled.events.size(), 5u);
    EXPECT_EQ(compiled.events[0].position, 1);
    const auto at3 = compiled.eventsAt(3);
    ASSERT_EQ(at3.size(), 4u);
    EXPECT_EQ(at3[0].keyRow, 50);  // instrument 0, slot 1
    EXPECT_EQ(at3[1].keyRow, 51);  // instrument 0, slot 2
    EXPECT_EQ(at3[2].isDrum, 1);   // drum 0
    EXPECT_EQ(at3[3].channel, 1);  // instrument 1
    EXPECT_EQ(compiled.slotCount, 4);
    EXPECT_EQ(at3[0].pan, 100);
    EXPECT_EQ(at3[1].pan, -100);
    EXPECT_TRUE(compiled.eventsAt(2).empty());
}

TEST(SongCompiler, DrumStartsGainSixtyAndChangesKeepOrClearTheirValues) {
    Song song;
    addNote(song.drumNotes, 2, 1, note(1, 60, 1, 6, 200));
    addNote(song.instrumentNotes, 2, 1, note(1, 60, 1, 6, 200));
    addNote(song.instrumentNotes, 3, 1, note(2, noKey, 0, 3, noVolume));
    addNote(song.drumNotes, 3, 1, note(2, noKey, 0, noPan, 80));
    CompiledSong compiled;
    compileEvents(song, compiled);
    const auto starts = compiled.eventsAt(1);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0].volume, 200);  // instrument 2 comes before drum 2
    EXPECT_EQ(starts[1].volume, 260);
    const auto changes = compiled.eventsAt(2);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].kind, EventKind::Change);
    EXPECT_EQ(changes[0].volume, -1);
    EXPECT_EQ(changes[0].pan, 50);
    EXPECT_EQ(changes[1].volume, 80);  // no +60 on a drum change
    EXPECT_EQ(changes[1].pan, -101);
}

TEST(SongCompiler, NotesUpToTheLoopEndAreCompiledAndLaterOnesNever) {
    Song song;
    song.loopEnd = 8;
    addNote(song.instrumentNotes, 0, 1, note(8, 40, 1, 6, 100));
    addNote(song.instrumentNotes, 0, 2, note(9, 40, 1, 6, 100));
    addNote(song.instrumentNotes, 0, 3, note(0, 40, 1, 6, 100));  // an empty slot's position
    CompiledSong compiled;
    compileEvents(song, compiled);
    ASSERT_EQ(compiled.events.size(), 1u);
    EXPECT_EQ(compiled.events[0].position, 8);
}

TEST(SongCompiler, WorkDependsOnTheNotesNotOnTheLoopEnd) {
    Song song;
    song.loopEnd = std::numeric_limits<int32_t>::max();
    song.instrumentNotes.grow(20000 / 8 + 1);
    for (int32_t i = 1; i <= 20000; ++i)
        addNote(song.instrumentNotes, i % 8, i / 8 + 1, note(i * 100, 40, 1, 6, 100));
    const auto begin = std::chrono::steady_clock::now();
    CompiledSong compiled;
    compileEvents(song, compiled);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
    EXPECT_EQ(compiled.events.size(), 20000u);
    EXPECT_EQ(compiled.eventsAt(2000000).size(), 1u);
    EXPECT_LT(ms, 1000.0);
}

}  // namespace
}  // namespace tromel::audio
