// A song as a Standard MIDI File of type 1.
#include "exchange/MidiExport.h"

#include "exchange/GeneralMidiMap.h"
#include "exchange/MidiGrid.h"
#include "song/ChannelNames.h"
#include "song/KeysAndPans.h"

#include <algorithm>
#include <array>
#include <optional>
#include <tuple>

namespace tromel::exchange {
namespace {

constexpr int noteOffVelocity = 64;

bool hasPitch(const NoteRec& note) {
    return isKeyRow(note.key);
}

// A record of one song channel, with where it stands in time.
struct Placed {
    int64_t step;
    int channel;  // 0..7 within its kind
    const NoteRec* note;
};

std::vector<Placed> recordsOf(const NoteTable& table, int channel) {
    std::vector<Placed> placed;
    for (int32_t slot = 1; slot <= table.slotBound(); ++slot)
        if (!table.at(channel, slot).isEmpty())
            placed.push_back(
                {static_cast<int64_t>(table.at(channel, slot).position) - 1, channel, &table.at(channel, slot)});
    return placed;
}

enum Rank { endingRank, controllerRank, startingRank };

// Events of one tick are ordered: notes ending, then controllers (and meta events), then notes starting. Every tick
// has been checked to lie within largestMidiTick before any event is made.
class TrackBuilder {
public:
    void add(int64_t tick, int rank, MidiEvent event) {
        event.tick = static_cast<uint32_t>(tick);
        m_track.events.push_back(event);
        m_ranks.push_back(static_cast<uint8_t>(rank));
    }
    void addMeta(int64_t tick, uint8_t type, std::string_view payload) {
        m_track.addMeta(static_cast<uint32_t>(tick), type, payload);
        m_ranks.push_back(controllerRank);
    }

    MidiTrack finish() {
        std::vector<MidiEvent>& events = m_track.events;
        const auto key = [&](std::size_t i) { return (uint64_t{events[i].tick} << 8) | m_ranks[i]; };
        bool ordered = true;
        for (std::size_t i = 1; i < events.size() && ordered; ++i)
            ordered = key(i - 1) <= key(i);
        if (!ordered) {
            // Records come in time order, so only a change inside a sounding note lands out of order.
            std::vector<std::size_t> order(events.size());
            for (std::size_t i = 0; i < order.size(); ++i)
                order[i] = i;
            std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
            std::vector<MidiEvent> sorted;
            sorted.reserve(order.size());
            for (std::size_t i : order)
                sorted.push_back(events[i]);
            events = std::move(sorted);
        }
        m_track.endTick = events.empty() ? 0 : events.back().tick;
        return std::move(m_track);
    }

private:
    MidiTrack m_track;
    std::vector<uint8_t> m_ranks;
};

// What a MIDI channel has been told last, so a controller is sent only when its value changes.
struct ChannelState {
    std::optional<int> pan;
    std::optional<int> volume;
};

class SongExporter {
public:
    explicit SongExporter(const Song& song) : m_song(song) {}

    MidiExportResult run() {
        MidiExportResult result;
        if (m_song.tempo < 1) {
            result.error = "The song's tempo is " + std::to_string(m_song.tempo) +
                           " ms per step; a MIDI file needs a tempo of 1 or more.";
            return result;
        }
        if (auto tooSlow = fitBeat()) {
            result.error = *tooSlow;
            return result;
        }
        const int64_t lastStep = lastStepOf();
        if (lastStep * m_ticksPerStep > largestMidiTick) {
            result.error = "The song reaches step " + std::to_string(lastStep) + "; a MIDI file holds at most " +
                           std::to_string(largestMidiTick / m_ticksPerStep) + " steps.";
            return result;
        }
        m_endTick = lastStep * m_ticksPerStep;
        MidiFile& file = result.file;
        file.format = 1;
        // At most 192 × 255 / 64 or 96 × 255 ticks a quarter: always within the 15 bits of the division.
        file.division = static_cast<int>(m_ticksPerStep * stepsPerBeatOf(m_song) / m_quartersPerBeat);
        file.tracks.push_back({});
        for (int channel = 0; channel < 8; ++channel) {
            ChannelState state;
            auto records = recordsOf(m_song.instrumentNotes, channel);
            std::stable_sort(records.begin(), records.end(),
                             [](const Placed& a, const Placed& b) { return a.step < b.step; });
            addChannelTrack(file, false, records, channel, state);
        }
        // The drum channels share MIDI channel 10 and so its controllers: they are walked in time together.
        std::vector<Placed> drums;
        for (int channel = 0; channel < 8; ++channel) {
            const auto records = recordsOf(m_song.drumNotes, channel);
            drums.insert(drums.end(), records.begin(), records.end());
        }
        std::stable_sort(drums.begin(), drums.end(), [](const Placed& a, const Placed& b) { return a.step < b.step; });
        addDrumTracks(file, drums);
        file.tracks[0] = firstTrack(file);
        return result;
    }

private:
    // Chooses k, the quarter notes a beat is written as, and the ticks of a step; or says why none fits.
    std::optional<std::string> fitBeat() {
        const int64_t beat = int64_t{m_song.tempo} * stepsPerBeatOf(m_song) * 1000;  // microseconds
        while (quarterTempo(beat) > largestMidiTempo && m_quartersPerBeat < largestQuartersPerBeat)
            m_quartersPerBeat *= 2;
        if (quarterTempo(beat) > largestMidiTempo)
            return "The song is too slow to write as MIDI: a beat of " + std::to_string(stepsPerBeatOf(m_song)) +
                   " steps of " + std::to_string(m_song.tempo) + " ms lasts " + std::to_string(beat / 1000000) +
                   " s, and a MIDI file holds a beat of at most " +
                   std::to_string(largestMidiTempo * largestQuartersPerBeat / 1000000) + " s.";
        // A quarter note holds a whole number of ticks: 96 a step does, but for 64 quarters to an odd
        // number of steps.
        m_ticksPerStep =
            ticksPerStep * stepsPerBeatOf(m_song) % m_quartersPerBeat == 0 ? ticksPerStep : 2 * ticksPerStep;
        return std::nullopt;
    }

    int64_t lastStepOf() const {
        int64_t last = std::max<int64_t>({0, m_song.loopBegin, m_song.loopEnd});
        for (int kind = 0; kind < 2; ++kind) {
            const NoteTable& table = m_song.notes(kind);
            for (int channel = 0; channel < 8; ++channel)
                for (int32_t slot = 1; slot <= table.slotBound(); ++slot) {
                    const NoteRec& note = table.at(channel, slot);
                    if (!note.isEmpty())
                        last = std::max<int64_t>(last, note.position - 1 + std::max(1, note.length));
                }
        }
        return last;
    }

    MidiTrack firstTrack(const MidiFile& file) const {
        TrackBuilder track;
        const int64_t tempo = quarterTempo(int64_t{m_song.tempo} * stepsPerBeatOf(m_song) * 1000);
        const char tempoBytes[] = {static_cast<char>(tempo >> 16), static_cast<char>(tempo >> 8),
                                   static_cast<char>(tempo)};
        track.addMeta(0, midi::metaTempo, {tempoBytes, 3});
        if (m_song.stepsPerBar >= 1) {
            // Numerator, denominator as a power of two (4 = 2^2), clocks per click, 32nds per quarter. A bar
            // of x beats is x × k quarter notes.
            const char numerator =
                static_cast<char>(std::min<int64_t>(int64_t{m_song.stepsPerBar} * m_quartersPerBeat, 255));
            const char meter[] = {numerator, 2, 24, 8};
            track.addMeta(0, midi::metaTimeSignature, {meter, 4});
        }
        track.addMeta(0, midi::metaSequencerSpecific,
                      markerPayload({stepsPerBeatOf(m_song), m_song.stepsPerBar, m_song.tempo}));
        const int64_t loopStart = std::max(0, m_song.loopBegin) * m_ticksPerStep;
        const int64_t loopEnd = std::max(0, m_song.loopEnd) * m_ticksPerStep;
        track.addMeta(loopStart, midi::metaMarker, "loopStart");
        track.add(loopStart, controllerRank,
                  MidiEvent::channelMessage(0, midi::controlChange, 0, midi::controllerLoopStart, 0));
        track.addMeta(loopEnd, midi::metaMarker, "loopEnd");
        MidiTrack built = track.finish();
        built.endTick = static_cast<uint32_t>(m_endTick);
        for (const MidiTrack& other : file.tracks)
            built.endTick = std::max(built.endTick, other.endTick);
        return built;
    }

    void addChannelTrack(MidiFile& file, bool drum, const std::vector<Placed>& records, int channel,
                         ChannelState& state) {
        if (std::none_of(records.begin(), records.end(), [](const Placed& p) { return hasPitch(*p.note); }))
            return;
        TrackBuilder track;
        const std::string name = channelName(drum ? 1 : 0, channel);
        track.addMeta(0, midi::metaTrackName, name);
        if (!drum)
            track.add(0, controllerRank,
                      MidiEvent::channelMessage(0, midi::programChange, channel,
                                                programOfWave(m_song.instruments[channel].wave)));
        int volume = startingVolume;
        for (std::size_t i = 0; i < records.size(); ++i)
            addRecord(track, drum, records, i, volume, state);
        file.tracks.push_back(track.finish());
    }

    void addDrumTracks(MidiFile& file, const std::vector<Placed>& drums) {
        std::array<TrackBuilder, 8> tracks;
        std::array<std::vector<Placed>, 8> perChannel;
        for (const Placed& placed : drums)
            perChannel[static_cast<std::size_t>(placed.channel)].push_back(placed);
        std::array<bool, 8> sounding{};
        for (int channel = 0; channel < 8; ++channel) {
            const auto& records = perChannel[static_cast<std::size_t>(channel)];
            sounding[static_cast<std::size_t>(channel)] =
                std::any_of(records.begin(), records.end(), [](const Placed& p) { return hasPitch(*p.note); });
            if (sounding[static_cast<std::size_t>(channel)])
                tracks[static_cast<std::size_t>(channel)].addMeta(0, midi::metaTrackName, channelName(1, channel));
        }
        ChannelState state;
        std::array<int, 8> volumes;
        volumes.fill(startingVolume);
        std::array<std::size_t, 8> index{};
        for (const Placed& placed : drums) {
            const auto channel = static_cast<std::size_t>(placed.channel);
            if (sounding[channel])
                addRecord(tracks[channel], true, perChannel[channel], index[channel], volumes[channel], state);
            ++index[channel];
        }
        for (std::size_t channel = 0; channel < 8; ++channel)
            if (sounding[channel])
                file.tracks.push_back(tracks[channel].finish());
    }

    // Record i of a channel's records (in time order): a note with the controllers it needs, or a
    // change of volume or pan.
    void addRecord(TrackBuilder& track, bool drum, const std::vector<Placed>& records, std::size_t i, int& volume,
                   ChannelState& state) {
        const Placed& placed = records[i];
        const NoteRec& note = *placed.note;
        const int midiChannel = drum ? midi::percussionChannel : placed.channel;
        const int64_t tick = placed.step * m_ticksPerStep;
        if (!hasPitch(note)) {
            if (note.volume != noVolume) {
                volume = std::clamp<int>(note.volume, 0, 254);
                sendController(track, tick, midiChannel, midi::controllerVolume, velocityOfVolume(volume),
                               state.volume);
            }
            if (note.pan != noPan)
                sendController(track, tick, midiChannel, midi::controllerPan,
                               controllerOfPan(filePanOfStoredPan(int{note.pan})), state.pan);
            return;
        }
        const int64_t end = noteEnd(records, i);
        if (end <= tick)
            return;  // restarted within its own step: it never sounds
        if (note.volume != noVolume)
            volume = std::clamp<int>(note.volume, 0, 254);
        if (note.pan != noPan)
            sendController(track, tick, midiChannel, midi::controllerPan,
                           controllerOfPan(filePanOfStoredPan(int{note.pan})), state.pan);
        const int key = drum ? percussionKeyOfDrumNote(m_song.drums[static_cast<std::size_t>(placed.channel)].wave,
                                                       fileKeyOfRow(note.key))
                             : midiKeyOfFileKey(fileKeyOfRow(note.key));
        track.add(tick, startingRank,
                  MidiEvent::channelMessage(0, midi::noteOn, midiChannel, key, velocityOfVolume(volume)));
        track.add(end, endingRank, MidiEvent::channelMessage(0, midi::noteOff, midiChannel, key, noteOffVelocity));
    }

    // A note ends after its length, or at the next note of its channel, whichever comes first;
    // a note of length 0 sounds until that next note or the song's end.
    int64_t noteEnd(const std::vector<Placed>& records, std::size_t i) const {
        const Placed& placed = records[i];
        int64_t end = placed.note->length > 0 ? (placed.step + placed.note->length) * m_ticksPerStep : m_endTick;
        for (std::size_t next = i + 1; next < records.size(); ++next)
            if (hasPitch(*records[next].note)) {
                end = std::min(end, records[next].step * m_ticksPerStep);
                break;
            }
        return end;
    }

    static void sendController(TrackBuilder& track, int64_t tick, int channel, int controller, int value,
                               std::optional<int>& inForce) {
        if (inForce == value)
            return;
        inForce = value;
        track.add(tick, controllerRank, MidiEvent::channelMessage(0, midi::controlChange, channel, controller, value));
    }

    int64_t quarterTempo(int64_t beat) const { return quarterTempoOf(beat, m_quartersPerBeat); }

    const Song& m_song;
    int64_t m_quartersPerBeat = 1;  // k: the MIDI quarter note is 1/k of the song's beat
    int64_t m_ticksPerStep = ticksPerStep;
    int64_t m_endTick = 0;
};

}  // namespace

int stepsPerBeatOf(const Song& song) {
    return song.beatsPerStep >= 1 ? std::min<int>(song.beatsPerStep, 255) : 4;
}

MidiExportResult songToMidi(const Song& song) {
    return SongExporter(song).run();
}

}  // namespace tromel::exchange
