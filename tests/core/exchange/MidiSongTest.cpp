// Songs into MIDI files and back: crafted files imported, the default plan, and random songs round trip.
#include "exchange/GeneralMidiMap.h"
#include "exchange/MidiExport.h"
#include "exchange/MidiGrid.h"
#include "exchange/MidiImport.h"
#include "exchange/MidiReader.h"
#include "exchange/MidiWriter.h"
#include "song/OrgFile.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace tromel::exchange {
namespace {

// An event, with its bytes when it is a meta event.
struct Event {
    MidiEvent event;
    std::string payload;
};

Event message(uint32_t tick, uint8_t kind, int channel, int data1, int data2 = 0) {
    return {MidiEvent::channelMessage(tick, kind, channel, data1, data2), {}};
}
Event on(uint32_t tick, int channel, int key, int velocity = 100) {
    return message(tick, midi::noteOn, channel, key, velocity);
}
Event off(uint32_t tick, int channel, int key) {
    return message(tick, midi::noteOff, channel, key, 0);
}
Event control(uint32_t tick, int channel, int controller, int value) {
    return message(tick, midi::controlChange, channel, controller, value);
}
Event meta(uint32_t tick, uint8_t type, std::string bytes) {
    MidiEvent event;
    event.tick = tick;
    event.status = midi::meta;
    event.metaType = type;
    return {event, std::move(bytes)};
}

// Puts an event in place of the track's event `at`, or after its last.
void put(MidiTrack& t, const Event& e, std::size_t at = SIZE_MAX) {
    if (at == SIZE_MAX) {
        t.events.push_back(e.event);
        at = t.events.size() - 1;
    }
    t.events[at] = e.event;
    t.events[at].payloadAt = static_cast<uint32_t>(t.metaBytes.size());
    t.events[at].payloadSize = static_cast<uint32_t>(e.payload.size());
    t.metaBytes += e.payload;
}

// A track of the events given, put in time order.
MidiTrack track(std::vector<Event> events) {
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.event.tick < b.event.tick; });
    MidiTrack t;
    for (const Event& e : events)
        put(t, e);
    t.endTick = t.events.empty() ? 0 : t.events.back().tick;
    return t;
}

struct Imported {
    std::vector<MidiPart> parts;
    MidiImportPlan plan;
    MidiImportResult result;
};

Imported import(const MidiFile& file, ChordPolicy chords = ChordPolicy::Spread, int stepsPerBeat = 0) {
    Imported in;
    in.parts = findMidiParts(file);
    in.plan = defaultImportPlan(file, in.parts);
    in.plan.chords = chords;
    in.plan.stepsPerBeat = stepsPerBeat > 0 ? stepsPerBeat : in.plan.stepsPerBeat;
    in.result = midiToSong(file, in.parts, in.plan);
    return in;
}

// A channel's records as (file step, file key or -1, length, volume, file pan or -1).
using Row = std::tuple<int, int, int, int, int>;
std::vector<Row> rows(const Song& song, int kind, int channel) {
    std::vector<Row> out;
    const NoteTable& table = song.notes(kind);
    for (int slot = 1; slot <= table.slotBound(); ++slot) {
        const NoteRec& n = table.at(channel, slot);
        if (!n.isEmpty())
            out.emplace_back(n.position - 1, n.key == noKey ? -1 : 96 - n.key, n.length, n.volume,
                             n.pan == noPan ? -1 : 12 - n.pan);
    }
    return out;
}

// Type 0: two channels in one track by running status, a note-on of velocity 0 ending a note,
// a grid of 25 ticks a step, the tempo, a 3/4 bar; starts off the grid counted by how far they move.
TEST(MidiImport, TypeZeroWithTempoAndTimeSignature) {
    MidiFile file;
    file.format = 0;
    file.division = 100;
    file.tracks.push_back(track({meta(0, midi::metaTempo, {'\x07', '\xA1', '\x20'}),  // 500,000 us
                                 meta(0, midi::metaTimeSignature, {3, 2, 24, 8}),
                                 message(0, midi::programChange, 1, 40), on(0, 0, 60, 127), on(12, 1, 72, 64),
                                 on(50, 0, 60, 0), off(62, 1, 72), on(63, 0, 59, 127), off(112, 0, 59)}));
    const Imported in = import(file, ChordPolicy::Spread, 4);
    EXPECT_EQ(import(file).plan.stepsPerBeat, 8);  // 12.5 ticks a step: no start moves by a tick
    const Song& song = in.result.song;
    EXPECT_EQ(std::tie(song.tempo, song.stepsPerBar, song.beatsPerStep, song.loopBegin, song.loopEnd),
              std::make_tuple(125, 3, 4, 0, 12));  // the end (step 5) rounded up to a bar of 12 steps
    EXPECT_EQ(rows(song, 0, 0), (std::vector<Row>{{0, 48, 2, 254, 6}, {3, 47, 1, 254, 6}}));  // 2.52 to 4.48
    EXPECT_EQ(rows(song, 0, 1), (std::vector<Row>{{0, 60, 2, 65, 6}}));                       // 0.48 to 2.48
    EXPECT_EQ(song.instruments[1].wave, waveOfProgram(40));
    EXPECT_EQ(in.result.summary.lines(),
              (std::vector<std::string>{"3 notes imported.",
                                        "2 note starts moved to the grid, by at most a 32nd note"}));  // 12 ticks
    // 7/16 is 1.75 quarter notes: read as 2, and said so; a later meter is named and not kept.
    put(file.tracks[0], meta(0, midi::metaTimeSignature, {7, 4, 24, 8}), 1);
    put(file.tracks[0], meta(150, midi::metaTimeSignature, {7, 4, 24, 8}));  // no change
    put(file.tracks[0], meta(200, midi::metaTimeSignature, {5, 2, 24, 8}));
    EXPECT_EQ(
        import(file, ChordPolicy::Spread, 4).result.summary.lines(),
        (std::vector<std::string>{"3 notes imported.", "1 time signature changes ignored (the first, 7/16, is kept)",
                                  "2 note starts moved to the grid, by at most a 32nd note",
                                  "Time signature 7/16 read as 2 beats per bar."}));
    // A tempo a song cannot hold is named with what it became; a tempo event too short to say one
    // is counted. At 4 steps a quarter, 2,000 microseconds is the fastest that rounds to 1 ms a step.
    file.tracks[0].events.resize(file.tracks[0].events.size() - 2);
    put(file.tracks[0], meta(100, midi::metaTempo, {'\x01', '\x00'}));
    for (const auto& [tempo, line] :
         {std::pair{2000, ""},
          {1999,
           "The file's tempo, 1999 microseconds per quarter note, is faster than a song "
           "holds; read as 1 ms per step."},
          {0, "The file's tempo is 0 microseconds per quarter note; read as 1 ms per step."}}) {
        put(file.tracks[0], meta(0, midi::metaTempo, {0, static_cast<char>(tempo >> 8), static_cast<char>(tempo)}), 0);
        const MidiImportResult result = import(file, ChordPolicy::Spread, 4).result;
        EXPECT_EQ(result.song.tempo, 1);
        EXPECT_EQ(result.summary.tempo, line);
        EXPECT_EQ(result.summary.lines().at(1), "1 tempo events ignored: shorter than the 3 bytes of a tempo");
    }
}

// Chords of one part spread over channels no part uses, or keep their top note; overlapping
// notes are cut at the next start; later tempo changes are counted and flattened; pitch bends
// and the sustain pedal are counted; volume and pan controllers act where a note sounds.
TEST(MidiImport, ChordsOverlapsAndControllers) {
    MidiFile file;
    file.division = 96 * 2;  // a file on the grid of 2 steps a beat
    file.tracks.push_back(track(
        {meta(0, midi::metaTempo, {'\x07', '\xA1', '\x20'}), meta(960, midi::metaTempo, {'\x03', '\xD0', '\x90'})}));
    file.tracks.push_back(track(
        {control(0, 2, midi::controllerPan, 0), on(0, 2, 60), on(0, 2, 64), on(0, 2, 67), on(0, 2, 67), off(192, 2, 60),
         off(192, 2, 64), off(192, 2, 67), off(192, 2, 67), on(288, 2, 50), control(384, 2, midi::controllerVolume, 64),
         control(480, 2, midi::controllerPan, 127), on(576, 2, 52), off(960, 2, 50), off(960, 2, 52),
         message(600, midi::pitchBend, 2, 0, 64), control(610, 2, midi::controllerSustain, 127)}));
    file.tracks.push_back(track({on(0, 3, 40), off(96, 3, 40)}));  // a part of its own on channel 4
    const Imported spread = import(file);
    EXPECT_EQ(spread.plan.stepsPerBeat, 2);
    const Song& song = spread.result.song;
    EXPECT_EQ(rows(song, 0, 2), (std::vector<Row>{{0, 55, 2, 157, 0},
                                                  {3, 38, 3, 157, 0},
                                                  {4, -1, 1, 65, -1},  // controller 7 while the note sounds
                                                  {5, -1, 1, 255, 12},
                                                  {6, 40, 4, 157, 12}}));
    EXPECT_EQ(rows(song, 0, 0), (std::vector<Row>{{0, 52, 2, 157, 0}}));  // free channels in order
    EXPECT_EQ(rows(song, 0, 1), (std::vector<Row>{{0, 48, 2, 157, 0}}));
    EXPECT_EQ(rows(song, 0, 3), (std::vector<Row>{{0, 28, 1, 157, 6}}));
    EXPECT_EQ(song.instruments[0].wave, song.instruments[2].wave);
    const MidiImportSummary& summary = spread.result.summary;
    EXPECT_EQ(std::tie(summary.imported, summary.doubled, summary.cutAtNextNote, summary.tempoChanges,
                       summary.pitchBends, summary.sustainPedal),
              std::make_tuple(6, 1, 1, 1, 1, 1));
    const Imported top = import(file, ChordPolicy::Top);
    EXPECT_EQ(rows(top.result.song, 0, 0), std::vector<Row>{});
    ASSERT_EQ(rows(top.result.song, 0, 2).size(), 5u);
    EXPECT_EQ(std::get<1>(rows(top.result.song, 0, 2)[0]), 55);
    EXPECT_EQ(top.result.summary.belowTopNote, 2);
    EXPECT_EQ(top.result.summary.lines().at(1), "2 notes dropped: chord notes below the top note");
}

// Percussion on MIDI channel 10 goes to drum channels by drum, kinds first, then the hats; past
// eight drums the others share their kind's channel. Keys outside the keyboard move by octaves;
// lengths stop at 255 steps; the loop comes from the markers, or controller 111 for its start.
TEST(MidiImport, DrumsKeysLengthsAndLoops) {
    MidiFile file;
    file.division = 384;
    std::vector<Event> drums;
    const int keys[] = {36, 38, 42, 46, 49, 45, 39, 56, 54, 51, 44};  // 11 drums, 6 kinds, the pedal hat rarest
    for (int i = 0; i < 11; ++i)
        for (int n = 0; n <= 10 - i; ++n)
            drums.push_back(on(static_cast<uint32_t>(96 * (n * 11 + i)), 9, keys[i])),
                drums.push_back(off(static_cast<uint32_t>(96 * (n * 11 + i) + 48), 9, keys[i]));
    file.tracks.push_back(track(drums));
    file.tracks.push_back(
        track({on(0, 0, 5), off(96, 0, 5), on(96, 0, 127), off(96 * 257, 0, 127),
               meta(768, midi::metaMarker, "LoopStart"), meta(96 * 1600, midi::metaMarker, "loopEnd")}));
    const Imported in = import(file);
    const Song& song = in.result.song;
    // Kick; snare (with the clap); closed, open and pedal hats; tom; crash (with the ride); cowbell
    // (with the tambourine).
    const std::vector<int> waves{0, 2, 5, 6, 27, 4, 7, 9};
    for (int channel = 0; channel < 8; ++channel)
        EXPECT_EQ(song.drums[channel].wave, waves[channel]) << channel;
    EXPECT_EQ(std::get<1>(rows(song, 1, 0)[0]), 36);  // a drum plays at its own rate
    EXPECT_EQ(song.drumNotes.liveCount(1), 10 + 5);
    EXPECT_EQ(std::get<1>(rows(song, 1, 1)[1]), 36 + 39 - 38);  // the clap a key above the snare
    EXPECT_EQ(song.drumNotes.liveCount(7), 4 + 3);
    EXPECT_EQ(song.drumNotes.liveCount(6), 7 + 2);
    EXPECT_EQ(rows(song, 0, 0), (std::vector<Row>{{0, 5, 1, 157, 6}, {1, 91, 255, 157, 6}}));
    EXPECT_EQ(std::tie(in.result.summary.movedByOctaves, in.result.summary.cutTo255), std::make_tuple(2, 1));
    EXPECT_EQ(std::tie(song.loopBegin, song.loopEnd), std::make_tuple(8, 1600));
    EXPECT_TRUE(needsLaterVersion(song));                                   // the pedal hat is drum 27
    put(file.tracks[1], control(384, 0, midi::controllerLoopStart, 0), 3);  // in place of the start marker
    file.tracks[1].events.pop_back();
    const Song again = import(file).result.song;
    EXPECT_EQ(std::tie(again.loopBegin, again.loopEnd), std::make_tuple(4, 256));  // the end rounded up to a bar
}

// A drum keeps its distance from the key of its sound: floor toms 41 and 43 on one tom become 36
// and 38, and go back to 41 and 43; a drum layered on itself at one step keeps the louder hit.
TEST(MidiImport, DrumsKeepTheirPitch) {
    MidiFile file;
    file.division = 96;
    file.tracks.push_back(
        track({on(0, 9, 36, 60), on(0, 9, 36, 120), off(24, 9, 36), off(24, 9, 36), on(24, 9, 43), off(48, 9, 43),
               on(48, 9, 41), off(72, 9, 41), on(72, 9, 47), off(96, 9, 47), on(96, 9, 45), off(120, 9, 45)}));
    const Imported in = import(file);
    const Song& song = in.result.song;
    EXPECT_EQ(std::make_tuple(song.drums[0].wave, song.drums[1].wave, song.drums[2].wave), std::make_tuple(0, 4, 13));
    EXPECT_EQ(rows(song, 1, 0), (std::vector<Row>{{0, 36, 1, volumeOfVelocity(120), 6}}));
    EXPECT_EQ(rows(song, 1, 1), (std::vector<Row>{{3, 38, 1, 157, 6}, {4, 36, 1, 157, 6}}));
    EXPECT_EQ(rows(song, 1, 2), (std::vector<Row>{{1, 38, 1, 157, 6}, {2, 36, 1, 157, 6}}));
    EXPECT_EQ(in.result.summary.doubled, 1);
    const MidiExportResult exported = songToMidi(song);
    const Song back = import(exported.file).result.song;
    for (int channel = 0; channel < 3; ++channel)
        EXPECT_EQ(rows(back, 1, channel), rows(song, 1, channel)) << channel;
    EXPECT_EQ(percussionKeyOfDrumNote(13, 38), 43);
    EXPECT_EQ(percussionKeyOfDrumNote(13, 50), 43);  // no key further up plays that tom
    EXPECT_EQ(percussionKeyOfDrumNote(4, 37), 45);   // between the two keys of a tom, the lower
}

// Each limit on both sides: the last step a note may start on, the 255-step cut and its count,
// starts less than half a step apart making one chord, a key restarted within its own step, and
// the last step an export reaches.
TEST(MidiImport, LimitsHoldOnBothSides) {
    // 21 steps a tick: tick 102,261,126 is step 2,147,483,646, the last a note may start on.
    MidiFile far;
    far.division = 1;
    far.tracks.push_back(
        track({on(102261126, 0, 60), off(102261127, 0, 60), on(102261127, 1, 60), off(102261128, 1, 60)}));
    const MidiImportResult last = import(far, ChordPolicy::Spread, 21).result;
    EXPECT_EQ(rows(last.song, 0, 0), (std::vector<Row>{{2147483646, 48, 21, 157, 6}}));
    EXPECT_EQ(rows(last.song, 0, 1), std::vector<Row>{});
    EXPECT_EQ(last.summary.lines().at(1), "1 notes dropped: later than the last step a song holds");
    // One step a beat of 96 ticks.
    MidiFile longNotes;
    longNotes.tracks.push_back(track({on(0, 0, 60), off(255 * 96, 0, 60), on(300 * 96, 0, 62), off(556 * 96, 0, 62)}));
    const MidiImportResult cut = import(longNotes, ChordPolicy::Spread, 1).result;
    EXPECT_EQ(rows(cut.song, 0, 0), (std::vector<Row>{{0, 48, 255, 157, 6}, {300, 50, 255, 157, 6}}));
    EXPECT_EQ(cut.summary.lines().at(1), "1 notes cut to 255 steps");
    MidiFile close;
    close.tracks.push_back(track({on(0, 0, 60), off(90, 0, 60), on(47, 0, 64), off(90, 0, 64),       // one chord
                                  on(192, 0, 60), off(280, 0, 60), on(240, 0, 64), off(280, 0, 64),  // two steps
                                  on(384, 0, 67), off(400, 0, 67), on(431, 0, 67), off(470, 0, 67),  // its step
                                  on(480, 0, 67), off(560, 0, 67),                                   // the next
                                  on(600, 0, 72), message(960, midi::pitchBend, 0, 0, 64)}));        // never ended
    const MidiImportResult chords = import(close, ChordPolicy::Spread, 1).result;
    EXPECT_EQ(rows(chords.song, 0, 0),
              (std::vector<Row>{{0, 52, 1, 157, 6},
                                {2, 48, 1, 157, 6},
                                {3, 52, 1, 157, 6},
                                {4, 55, 1, 157, 6},
                                {5, 55, 1, 157, 6},
                                {6, 60, 4, 157, 6}}));  // the last never ended: it lasts to the end of its track
    EXPECT_EQ(rows(chords.song, 0, 1), (std::vector<Row>{{0, 48, 1, 157, 6}}));
    EXPECT_EQ(chords.summary.doubled, 1);
    // The same key at one step from two tracks sent to one channel: the earlier track's note stays.
    MidiFile twice;
    twice.tracks = {track({on(0, 0, 60), off(96, 0, 60)}), track({on(0, 1, 60), off(192, 1, 60)})};
    const std::vector<MidiPart> parts = findMidiParts(twice);
    MidiImportPlan plan = defaultImportPlan(twice, parts);
    plan.stepsPerBeat = 1;
    plan.targets = {{TargetKind::Instrument, 0}, {TargetKind::Instrument, 0}};
    EXPECT_EQ(rows(midiToSong(twice, parts, plan).song, 0, 0), (std::vector<Row>{{0, 48, 1, 157, 6}}));
    // A note restarted within its own step never sounds, one a step later sounds for that step; a
    // song reaching step 2,796,202 is the longest a file holds at 96 ticks a step.
    Song song;
    song.tempo = 100;
    song.loopEnd = 2796202;
    song.instrumentNotes.grow(4);
    const int16_t volume = static_cast<int16_t>(volumeOfVelocity(100));
    for (const auto& [slot, position, length] : {std::tuple{1, 1, 3}, {2, 1, 2}, {3, 3, 1}, {4, 4, 1}})
        song.instrumentNotes.at(0, slot) = {position, 40 + slot, length, 6, volume};
    const MidiExportResult exported = songToMidi(song);
    ASSERT_TRUE(exported.ok()) << exported.error;
    EXPECT_EQ(rows(import(exported.file).result.song, 0, 0),
              (std::vector<Row>{{0, 54, 2, volume, 6}, {2, 53, 1, volume, 6}, {3, 52, 1, volume, 6}}));
    song.loopEnd = 2796203;
    EXPECT_EQ(songToMidi(song).error, "The song reaches step 2796203; a MIDI file holds at most 2796202 steps.");
}

// More notes than a channel holds, more parts than channels: each part by note count, keeping its
// own channel where it can; whatever does not fit is counted.
TEST(MidiImport, FullChannelsAndMorePartsThanChannels) {
    MidiFile file;
    file.division = 384;
    std::vector<Event> many;
    for (uint32_t i = 0; i < 32770; ++i)
        many.push_back(on(i * 96, 5, 60)), many.push_back(off(i * 96 + 10, 5, 60));
    file.tracks.push_back(track(many));
    for (int channel = 0; channel < 16; ++channel) {
        if (channel == 5 || channel == 9)
            continue;
        std::vector<Event> part;
        for (int n = 0; n < 20 - channel; ++n)
            part.push_back(on(static_cast<uint32_t>(96 * n), channel, 60)),
                part.push_back(off(static_cast<uint32_t>(96 * n + 10), channel, 60));
        file.tracks.push_back(track(part));
    }
    const Imported in = import(file);
    std::vector<PartTarget> expected(in.parts.size());
    const int channels[] = {0, 1, 2, 3, 4, 6, 7};
    for (int i = 0; i < 7; ++i)
        expected[static_cast<std::size_t>(i + 1)] = {TargetKind::Instrument, channels[i]};
    expected[0] = {TargetKind::Instrument, 5};
    EXPECT_EQ(in.plan.targets, expected);
    const MidiImportSummary& summary = in.result.summary;
    EXPECT_EQ(in.result.song.instrumentNotes.liveCount(5), 32767);
    EXPECT_EQ(in.result.song.instruments[5].noteCount, 32767);
    EXPECT_EQ(std::tie(summary.beyondTable, summary.skippedParts), std::make_tuple(3, 12 + 10 + 9 + 8 + 7 + 6 + 5));
    EXPECT_EQ(summary.imported + summary.dropped(),
              32770 + 20 + 19 + 18 + 17 + 16 + 14 + 13 + 12 + 10 + 9 + 8 + 7 + 6 + 5);
    // In score order: parts keep their own MIDI channel in the file's order, the rest follow it.
    MidiFile score;
    for (const auto& [channel, count] : {std::pair{12, 10}, {13, 20}, {0, 5}, {0, 30}}) {
        std::vector<Event> part;
        for (int n = 0; n < count; ++n)
            part.push_back(on(static_cast<uint32_t>(96 * n), channel, 60)),
                part.push_back(off(static_cast<uint32_t>(96 * n + 10), channel, 60));
        score.tracks.push_back(track(part));
    }
    std::vector<int> channelsGiven;
    for (const PartTarget& target : import(score).plan.targets)
        channelsGiven.push_back(target.channel);
    EXPECT_EQ(channelsGiven, (std::vector<int>{1, 2, 0, 3}));
}

// Files in the styles musicians write, each with a note at the start of every bar: the default
// grid moves no start of a file written on a grid, takes 4 for one played in by hand, and every bar
// of the file starts a bar of the song.
TEST(MidiImport, TheDefaultGridKeepsTheRhythmAndTheBars) {
    struct Style {
        const char* name;
        int division;
        int numerator;
        int denominatorPower;
        int ticksApart;  // between note starts
        int stepsPerBeat;
        int beatsPerBar;
        int channel = 0;
    };
    const Style styles[] = {
        {"sixteenths at 480", 480, 4, 2, 120, 4, 4},      {"sixteenths at 96", 96, 4, 2, 24, 4, 4},
        {"eighth triplets", 480, 4, 2, 160, 3, 4},        {"3/4 in eighths", 480, 3, 2, 240, 2, 3},
        {"6/8 in eighths", 480, 6, 3, 240, 3, 2},         {"9/8 in sixteenths", 384, 9, 3, 96, 6, 3},
        {"7/8 in eighths", 480, 7, 3, 240, 1, 7},         {"3/8 in eighths", 480, 3, 3, 240, 1, 3},
        {"a fill over four toms", 96, 4, 2, 24, 4, 4, 9}, {"tempo change, 2/2", 480, 2, 1, 480, 2, 2},
        {"humanised sixteenths", 480, 4, 2, 120, 4, 4},
    };
    for (const Style& style : styles) {
        const int barTicks = style.division * 4 * style.numerator >> style.denominatorPower;
        const bool humanised = std::string(style.name).starts_with("humanised");
        std::vector<Event> events{
            meta(0, midi::metaTimeSignature,
                 {static_cast<char>(style.numerator), static_cast<char>(style.denominatorPower), 24, 8}),
            meta(0, midi::metaTempo, {'\x07', '\xA1', '\x20'}),
            meta(static_cast<uint32_t>(barTicks), midi::metaTempo, {'\x06', '\x00', '\x00'})};
        const int toms[] = {50, 48, 45, 43};
        for (int n = 0; n * style.ticksApart < 4 * barTicks; ++n) {
            const int jitter = humanised && n % 4 != 0 ? 1 + n % 9 : 0;  // bars keep their first note
            const auto tick = static_cast<uint32_t>(n * style.ticksApart + jitter);
            const int key = style.channel == 9 ? toms[n % 4] : 60 + n % 12;
            events.push_back(on(tick, style.channel, key));
            events.push_back(off(tick + static_cast<uint32_t>(style.ticksApart / 2), style.channel, key));
        }
        MidiFile file;
        file.division = style.division;
        file.tracks.push_back(track(events));
        const Imported in = import(file);
        const Song& song = in.result.song;
        EXPECT_EQ(std::tie(song.beatsPerStep, song.stepsPerBar), std::tie(style.stepsPerBeat, style.beatsPerBar))
            << style.name;
        EXPECT_EQ(in.result.summary.movedToGrid, humanised ? 48 : 0) << style.name;
        EXPECT_EQ(in.result.summary.tempoChanges, 1) << style.name;
        const int barSteps = song.stepsPerBar * song.beatsPerStep;  // a bar lasts as long as the file's first
        EXPECT_NEAR(song.tempo * barSteps, 500.0 * barTicks / style.division, barSteps / 2.0) << style.name;
        std::set<int> starts;
        for (int channel = 0; channel < 8; ++channel)
            for (const Row& row : rows(song, style.channel == 9 ? 1 : 0, channel))
                starts.insert(std::get<0>(row));
        for (int bar = 0; bar < 4; ++bar)
            EXPECT_TRUE(starts.count(bar * song.stepsPerBar * song.beatsPerStep)) << style.name << " bar " << bar;
    }
    // One start in a hundred off the beat still leaves the grid of a beat.
    MidiFile quarters;
    std::vector<Event> events;
    for (uint32_t n = 0; n < 100; ++n)
        events.push_back(on(96 * n + (n == 50 ? 48 : 0), 0, 60)), events.push_back(off(96 * n + 60, 0, 60));
    quarters.tracks.push_back(track(events));
    EXPECT_EQ(import(quarters).plan.stepsPerBeat, 1);
}

Song randomSong(std::mt19937& rng) {
    auto draw = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Song song;
    song.beatsPerStep = static_cast<int16_t>(draw(0, 3) ? draw(1, 24) : draw(25, 255));
    song.stepsPerBar = static_cast<int16_t>(draw(0, 3) ? draw(1, 16) : draw(17, 300));
    song.tempo = draw(1, 3000);
    song.loopBegin = draw(0, 64);
    song.loopEnd = song.loopBegin + draw(1, 4000);
    for (int kind = 0; kind < 2; ++kind)
        for (int channel = 0; channel < 8; ++channel) {
            (kind == 0 ? song.instruments : song.drums)[channel].wave = static_cast<int16_t>(draw(0, kind ? 27 : 99));
            const int count = draw(0, 3) == 0 ? 0 : draw(1, 40);
            song.notes(kind).grow(count);
            int step = draw(0, 20);
            for (int slot = 1; slot <= count; ++slot) {
                const int length = draw(1, 255);
                song.notes(kind).at(channel, slot) = {step + 1, 96 - draw(0, 95), length,
                                                      static_cast<int16_t>(12 - draw(0, 12)),
                                                      static_cast<int16_t>(volumeOfVelocity(draw(1, 127)))};
                step += length + (draw(0, 1) ? 0 : draw(1, 30));
            }
        }
    return song;
}

// Within the constraints (one note at a time, keys in range, volumes the curve gives), a song
// comes back with the same notes on every instrument channel, and its tempo, grid, bar and loop,
// at any steps per beat and any tempo.
TEST(MidiRoundTrip, RandomSongsComeBackWithTheirNotes) {
    std::mt19937 rng(20261218);
    for (int round = 0; round < 1000; ++round) {
        const Song song = randomSong(rng);
        const MidiExportResult exported = songToMidi(song);
        ASSERT_TRUE(exported.ok()) << exported.error;
        const MidiReadResult read = readMidiBytes(writeMidiBytes(exported.file));
        ASSERT_TRUE(read.ok()) << read.error;
        const Imported back = import(read.file);
        const Song& got = back.result.song;
        ASSERT_EQ(std::tie(got.tempo, got.beatsPerStep, got.stepsPerBar, got.loopBegin, got.loopEnd),
                  std::tie(song.tempo, song.beatsPerStep, song.stepsPerBar, song.loopBegin, song.loopEnd))
            << "round " << round;
        for (int channel = 0; channel < 8; ++channel)
            ASSERT_EQ(rows(got, 0, channel), rows(song, 0, channel)) << "round " << round << " channel " << channel;
    }
    // Our own file on another grid than its own takes its tempo from the file's tempo.
    Song song;
    song.tempo = 100;
    song.instrumentNotes.grow(1);
    song.instrumentNotes.at(0, 1) = {1, 50, 1, 6, 166};
    EXPECT_EQ(import(songToMidi(song).file, ChordPolicy::Spread, 8).result.song.tempo, 50);
    // A beat of four quarter notes comes back on its grid; a tempo no k gives (an older export's, which
    // stopped at the largest) leaves the beat one quarter note, as that export wrote it.
    song.tempo = 16384;
    song.instrumentNotes.at(0, 1) = {9, 50, 1, 6, static_cast<int16_t>(volumeOfVelocity(100))};
    MidiFile slow = songToMidi(song).file;
    EXPECT_EQ(rows(import(slow).result.song, 0, 0), rows(song, 0, 0));
    slow.division = 96 * 4;
    put(slow.tracks[0], meta(0, midi::metaTempo, {'\xFF', '\xFF', '\xFF'}), 0);
    EXPECT_EQ(rows(import(slow).result.song, 0, 0), rows(song, 0, 0));
    // A marker naming a grid or tempo no song holds is not one an export wrote.
    EXPECT_EQ(readMarkerPayload(markerPayload({255, -3, 65535})), (SongGridMarker{255, -3, 65535}));
    for (const SongGridMarker& foreign : {SongGridMarker{4, 4, 0}, {4, 4, 65536}, {0, 4, 100}, {256, 4, 100}})
        EXPECT_EQ(readMarkerPayload(markerPayload(foreign)), std::nullopt) << foreign.stepsPerBeat;
    EXPECT_EQ(readMarkerPayload(markerPayload({4, 4, 100}).substr(1)), std::nullopt);
}

}  // namespace
}  // namespace tromel::exchange
