// Turning a song into its play events, and the rules that go with it.
#include "audio/playback/SongCompiler.h"

#include "song/DrumSet.h"
#include "song/KeysAndPans.h"

#include <algorithm>
#include <cmath>

namespace tromel::audio {

namespace {

constexpr int drumStartVolumeBoost = 60;

bool hasPitch(const NoteRec& note) {
    return isKeyRow(note.key);
}

}  // namespace

PlayEvent playEventOf(const NoteRec& note, bool drum, int channel) {
    PlayEvent event;
    event.position = note.position;
    event.isDrum = drum ? 1 : 0;
    event.channel = channel;
    if (hasPitch(note)) {
        event.kind = EventKind::NoteStart;
        event.pan = panOf(note.pan);
        event.volume = note.volume + (drum ? drumStartVolumeBoost : 0);
        event.keyRow = note.key;
        event.length = note.length;
    } else {
        // A record without a pitch only changes the sounding note; 255 and -243 mean "keep".
        event.kind = EventKind::Change;
        event.volume = note.volume == noVolume ? unchangedVolume : note.volume;
        event.pan = note.pan == noPan ? unchangedPan : panOf(note.pan);
    }
    return event;
}

namespace {

void gatherChannel(const NoteTable& table, bool drum, int channel, int32_t loopEnd, std::vector<PlayEvent>& out) {
    for (int32_t slot = 1; slot <= table.slotBound(); ++slot) {
        const NoteRec& note = table.at(channel, slot);
        if (note.position >= 1 && note.position <= loopEnd)
            out.push_back(playEventOf(note, drum, channel));
    }
}

int32_t largestRun(const std::vector<PlayEvent>& events) {
    int32_t largest = 0;
    for (std::size_t i = 0; i < events.size();) {
        std::size_t j = i;
        while (j < events.size() && events[j].position == events[i].position)
            ++j;
        largest = std::max(largest, static_cast<int32_t>(j - i));
        i = j;
    }
    return largest;
}

}  // namespace

std::string sampleFileName(bool drum, int number) {
    const int count = drum ? drumCount : 100;
    if (drum && (number < 0 || number >= count))
        return {};
    const int fileNumber = number >= 0 && number < count ? number + 1 : 1;
    const std::string digits = std::to_string(fileNumber);
    return std::string(drum ? "D" : "M") + (fileNumber < 10 ? "0" : "") + digits + ".wav";
}

std::vector<SampleRequest> songSamples(const Song& song, const std::filesystem::path& folder) {
    std::vector<SampleRequest> requests;
    for (int k = 0; k < songChannelCount; ++k) {
        const bool drum = k >= 8;
        const int number = drum ? song.drums[k - 8].wave : song.instruments[k].wave;
        const std::string file = sampleFileName(drum, number);
        requests.push_back({file.empty() ? std::filesystem::path() : folder / file, !drum});
    }
    return requests;
}

int panOf(int storedPan) {
    // Stored pan 0 is the right end of the roll's pan strip and 12 the left end, with 6 the
    // centre, so 6 must sound centred: 0..12 maps onto 100..-100.
    const double pan = std::nearbyint((6 - storedPan) * (100.0 / 6.0));
    return static_cast<int>(std::clamp(pan, -100.0, 100.0));
}

std::optional<std::string> playRefusal(const Song& song) {
    const auto number = [](int32_t value) { return std::to_string(value); };
    if (song.loopEnd < 1)
        return "The song cannot play: its loop end is " + number(song.loopEnd) + ", and it must be 1 or more.";
    if (song.loopBegin < 0)
        return "The song cannot play: its loop begin is " + number(song.loopBegin) + ", and it must be 0 or more.";
    if (song.loopBegin >= song.loopEnd)
        return "The song cannot play: its loop begin (" + number(song.loopBegin) + ") must come before its loop end (" +
               number(song.loopEnd) + ").";
    if (song.tempo < 1)
        return "The song cannot play: its tempo is " + number(song.tempo) + ", and it must be 1 or more.";
    return std::nullopt;
}

void meterOf(const Song& song, int32_t& beatSteps, int32_t& barSteps) {
    if (song.beatsPerStep <= 0 || song.stepsPerBar <= 0) {
        beatSteps = 4;
        barSteps = 16;
        return;
    }
    beatSteps = song.beatsPerStep;
    barSteps = static_cast<int32_t>(song.stepsPerBar) * song.beatsPerStep;
}

int32_t barStepsOf(const Song& song) {
    int32_t beatSteps = 0;
    int32_t barSteps = 0;
    meterOf(song, beatSteps, barSteps);
    return barSteps;
}

void compileEvents(const Song& song, CompiledSong& out, int32_t lastPosition) {
    out.events.clear();
    out.tempo = song.tempo;
    out.loopBegin = song.loopBegin;
    out.loopEnd = song.loopEnd;
    out.songLoopBegin = song.loopBegin;
    out.songLoopEnd = song.loopEnd;
    meterOf(song, out.beatSteps, out.barSteps);
    const int32_t last = std::max(song.loopEnd, lastPosition);
    // Gathered channel by channel in play order, so a stable sort by position alone leaves each
    // position's events in the order of instrument 0, drum 0, instrument 1, ... and slot order.
    for (int channel = 0; channel < NoteTable::channelCount; ++channel) {
        gatherChannel(song.instrumentNotes, false, channel, last, out.events);
        gatherChannel(song.drumNotes, true, channel, last, out.events);
    }
    std::stable_sort(out.events.begin(), out.events.end(),
                     [](const PlayEvent& a, const PlayEvent& b) { return a.position < b.position; });
    out.slotCount = largestRun(out.events);
}

}  // namespace tromel::audio
