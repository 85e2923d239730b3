// The Standard MIDI File reader and writer: golden bytes, running status, and untrusted files refused whole.
#include "exchange/MidiExport.h"
#include "exchange/MidiReader.h"
#include "exchange/MidiWriter.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>

namespace tromel::exchange {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> bytesOf(std::initializer_list<int> values) {
    return {values.begin(), values.end()};
}

void append(std::vector<uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}

// A file with the given header fields and track chunks, each chunk's length as given or its own.
std::vector<uint8_t> smf(int format, int division, const std::vector<std::vector<uint8_t>>& tracks,
                         int trackCount = -1) {
    std::vector<uint8_t> out;
    append(out, "MThd");
    const int count = trackCount < 0 ? static_cast<int>(tracks.size()) : trackCount;
    out.insert(out.end(),
               {0, 0, 0, 6, 0, static_cast<uint8_t>(format), static_cast<uint8_t>(count >> 8),
                static_cast<uint8_t>(count), static_cast<uint8_t>(division >> 8), static_cast<uint8_t>(division)});
    for (const auto& track : tracks) {
        append(out, "MTrk");
        const auto size = static_cast<uint32_t>(track.size());
        out.insert(out.end(), {static_cast<uint8_t>(size >> 24), static_cast<uint8_t>(size >> 16),
                               static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size)});
        out.insert(out.end(), track.begin(), track.end());
    }
    return out;
}

// One note of one step at tempo 100 ms per step, 4 steps per beat, the loop 0..16: every byte.
TEST(MidiWriter, ExportOfOneNoteSongGivesTheseBytes) {
    Song song;
    song.tempo = 100;
    song.loopEnd = 16;
    song.instrumentNotes.grow(1);
    song.instrumentNotes.at(0, 1) = {1, 96 - 45, 2, 6, 166};
    const MidiExportResult result = songToMidi(song);
    ASSERT_TRUE(result.ok());
    std::vector<uint8_t> expected = bytesOf({'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0x01, 0x80});
    append(expected, "MTrk");
    expected.insert(expected.end(), {0, 0,    0,    0x43, 0, 0xFF, 0x51, 3, 0x06, 0x1A, 0x80,  // 400,000 us a beat
                                     0, 0xFF, 0x58, 4,    4, 2,    24,   8, 0,    0xFF, 0x7F, 15, 0x7D});
    append(expected, "Tromel");
    expected.insert(expected.end(), {0, 4, 0, 4, 0, 0, 0, 100, 0, 0xFF, 0x06, 9});  // steps a beat, beats a bar, ms
    append(expected, "loopStart");
    expected.insert(expected.end(), {0, 0xB0, 111, 0, 0x8C, 0x00, 0xFF, 0x06, 7});  // 1536 ticks later
    append(expected, "loopEnd");
    expected.insert(expected.end(), {0, 0xFF, 0x2F, 0});
    append(expected, "MTrk");
    expected.insert(expected.end(), {0, 0, 0, 0x24, 0, 0xFF, 0x03, 12});
    append(expected, "Instrument 1");
    expected.insert(expected.end(), {0,    0xC0, 79,   0,  0xB0, 10, 64,   0,    0x90, 57, 103,  // ocarina, centre
                                     0x81, 0x40, 0x80, 57, 64,   0,  0xFF, 0x2F, 0});            // off 192 ticks later
    EXPECT_EQ(writeMidiBytes(result.file), expected);
    EXPECT_EQ(readMidiBytes(expected).file, result.file);
    MidiFile renamed = readMidiBytes(expected).file;
    renamed.tracks[1].metaBytes.back() = '2';  // "Instrument 2"
    EXPECT_NE(renamed, result.file);
    // A meta event keeps its bytes however many: 300 take a length of two bytes.
    std::vector<uint8_t> named = bytesOf({0, 0xFF, 0x03, 0x82, 0x2C});
    named.insert(named.end(), 300, 'n');
    named.insert(named.end(), {0, 0xFF, 0x2F, 0});
    EXPECT_EQ(writeMidiBytes(readMidiBytes(smf(0, 96, {named})).file), smf(0, 96, {named}));
}

// Running status (also across meta events, which the format lets cancel it), a note-on of
// velocity 0, system exclusive messages and chunks of unknown kinds.
TEST(MidiReader, ReadsRunningStatusAndSkipsWhatItDoesNotKeep) {
    std::vector<uint8_t> file =
        smf(1, 96, {bytesOf({0, 0x90, 60, 100, 10, 62,   90, 0,  0xF0, 2,    1,    0xF7, 5,    0x80, 60,
                             0, 0,    60, 0,   0,  0xB3, 7,  80, 0,    0xFF, 0x2F, 0,    0x90, 1,    1})});
    const std::vector<uint8_t> unknown = {'X', 'Y', 'Z', 'W', 0, 0, 0, 2, 9, 9};
    file.insert(file.begin() + 14, unknown.begin(), unknown.end());
    const MidiReadResult result = readMidiBytes(file);
    ASSERT_TRUE(result.ok()) << result.error;
    const auto& events = result.file.tracks.at(0).events;
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[1], MidiEvent::channelMessage(10, midi::noteOn, 0, 62, 90));
    EXPECT_EQ(events[2], MidiEvent::channelMessage(15, midi::noteOff, 0, 60, 0));
    EXPECT_EQ(events[3], events[2]);  // by running status, which the system exclusive message had cancelled
    EXPECT_EQ(events[4], MidiEvent::channelMessage(15, midi::controlChange, 3, 7, 80));
    EXPECT_EQ(result.file.tracks[0].endTick, 15u);  // events after the end of track are not read
}

TEST(MidiReader, RefusesWhatItCannotReadWhole) {
    const auto note = bytesOf({0, 0x90, 60, 100});
    std::vector<uint8_t> lengthBeyond = smf(1, 96, {note});
    lengthBeyond[21] = 200;
    std::vector<uint8_t> shortHeader = smf(1, 96, {note});
    shortHeader.resize(12);
    const std::pair<std::vector<uint8_t>, std::string> cases[] = {
        {{}, "not a Standard MIDI File"},
        {bytesOf({'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 1, 0, 1, 0, 96}), "not a Standard MIDI File"},
        {shortHeader, "ends inside its header"},
        {bytesOf({'M', 'T', 'h', 'd', 0, 0, 0, 2, 0, 1, 0, 1, 0, 96}), "ends inside its header"},  // a 2-byte header
        {smf(1, 96, {note}, 2), "ends before track 2"},
        {lengthBeyond, "track 1: its chunk length reaches past the end of the file"},
        {smf(1, 96, {bytesOf({0, 60, 100})}), "track 1: running status with no status before it"},
        {smf(1, 96, {bytesOf({0, 0xF0, 1, 2, 0, 60, 100})}), "running status after a meta or system exclusive"},
        {smf(1, 96, {bytesOf({0, 0x90, 60, 100, 0, 0xFF, 0x06, 0, 0, 60, 0})}),
         "track 1: running status after a meta or system exclusive event, which ends it"},
        {smf(1, 96, {bytesOf({0x8F, 0xFF, 0xFF, 0xFF, 0x7F, 0x90, 60, 100})}), "a number longer than four bytes"},
        {smf(1, 96, {bytesOf({0xFF, 0xFF, 0xFF, 0x7F, 0x90, 60, 100, 1, 0x80, 60, 0})}), "runs longer than a song"},
        {smf(1, 96, {bytesOf({0, 0x90, 60})}), "the track ends inside an event"},
        {smf(1, 96, {bytesOf({0, 0xFF, 0x03, 10, 'a'})}), "the track ends inside an event"},
        {smf(1, 96, {bytesOf({0, 0x90, 60, 0x80})}), "a data byte with its top bit set"},
        {smf(1, 96, {bytesOf({0, 0xF4})}), "an event byte the format does not allow"},
        {smf(1, 0, {note}), "division (ticks per quarter note) is 0"},
        {smf(1, 0xE728, {note}), "SMPTE"},
        {smf(1, 96, {}, 257), "257 tracks; at most 256"},
        {smf(1, 96, {}, 0), "no tracks"},
        {smf(2, 96, {note}), "type 2"},
        {smf(3, 96, {note}), "unknown MIDI file type 3"},
        {smf(0, 96, {note, note}), "a type 0 file must have one track, not 2"},
    };
    for (const auto& [bytes, reason] : cases) {
        const MidiReadResult result = readMidiBytes(bytes);
        EXPECT_NE(result.error.find(reason), std::string::npos) << reason << ": " << result.error;
    }
    // A file of 16 MB is read, one byte more is not: a track of one text event as long as it takes.
    const fs::path folder = fs::path(testing::TempDir()) / "midi-size";
    fs::create_directories(folder);
    const std::size_t length = largestMidiFileBytes - 29;  // after the header, the chunk header and 7 bytes
    const std::vector<uint8_t> text = smf(
        0, 96,
        {bytesOf({0, 0xFF, 0x01, 0x80 | static_cast<int>(length >> 21), 0x80 | static_cast<int>(length >> 14 & 0x7F),
                  0x80 | static_cast<int>(length >> 7 & 0x7F), static_cast<int>(length & 0x7F)})});
    std::vector<uint8_t> header = text;
    const auto chunk = static_cast<uint32_t>(7 + length);
    std::copy_n(std::array<uint8_t, 4>{static_cast<uint8_t>(chunk >> 24), static_cast<uint8_t>(chunk >> 16),
                                       static_cast<uint8_t>(chunk >> 8), static_cast<uint8_t>(chunk)}
                    .begin(),
                4, header.begin() + 18);
    for (const std::size_t size : {largestMidiFileBytes, largestMidiFileBytes + 1}) {
        const fs::path path = folder / ("text-" + std::to_string(size) + ".mid");
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(header.data()), header.size());
        fs::resize_file(path, size);
    }
    EXPECT_EQ(loadMidiFile(folder / ("text-" + std::to_string(largestMidiFileBytes) + ".mid")).error, "");
    EXPECT_EQ(loadMidiFile(folder / ("text-" + std::to_string(largestMidiFileBytes + 1) + ".mid")).error,
              "the file is larger than 16 MB");
    // 256 tracks are read; the longest delta a file holds is read too.
    EXPECT_TRUE(readMidiBytes(smf(1, 96, std::vector<std::vector<uint8_t>>(256, note))).ok());
    EXPECT_EQ(readMidiBytes(smf(1, 96, {bytesOf({0xFF, 0xFF, 0xFF, 0x7F, 0xB0, 7, 1})})).file.tracks[0].endTick,
              largestMidiTick);
}

}  // namespace
}  // namespace tromel::exchange
