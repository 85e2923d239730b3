// A song made from a MIDI file's parts by a plan.
#include "exchange/MidiImport.h"

#include "exchange/GeneralMidiMap.h"
#include "exchange/MidiGrid.h"
#include "song/KeysAndPans.h"
#include "song/OrgLayout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <queue>
#include <string>
#include <tuple>

namespace tromel::exchange {
namespace {

constexpr int largestRecords = 32767;  // a channel's notes and changes, as a file counts them
constexpr int largestLength = 255;
constexpr int naturalDrumKey = 36;  // plays a drum at its own rate
// The last step a note may start on: its position (step + 1) must stay a step a file can hold.
constexpr int64_t lastStartStep = org::largestStep - 1;

// A note of the file. A file holds millions: each takes 12 bytes.
struct SourceNote {
    uint32_t start;  // ticks
    uint32_t end;    // while the note still sounds, the next sounding note of its key instead
    uint16_t part;   // noPart when no part holds it
    uint8_t key;
    uint8_t velocity;
};
// At most 256 tracks of 15 channels and 128 percussion keys make parts: fewer than this.
constexpr uint16_t noPart = UINT16_MAX;
constexpr uint32_t noNote = UINT32_MAX;

struct Controller {
    int64_t tick;
    int controller;
    int value;
};

// A note as it will stand on a song channel.
struct Placed {
    int64_t step;
    int length;
    int key;  // the file's key byte
    int volume;
    int pan;        // the file's pan byte
    int sourceKey;  // the MIDI key: drums of one channel share a key byte but not this
};

struct Change {
    int volume = noVolume;
    int pan = -1;  // none
};

class Importer {
public:
    Importer(const MidiFile& file, const std::vector<MidiPart>& parts, const MidiImportPlan& plan)
        : m_file(file),
          m_parts(parts),
          m_plan(plan),
          m_timing(readMidiTiming(file)),
          m_stepsPerBeat(std::clamp(plan.stepsPerBeat, 1, m_timing.largestStepsPerBeat())),
          m_grid(file.division, m_timing.beatHalves, m_stepsPerBeat) {}

    MidiImportResult run() {
        readTiming();
        collectEvents();
        placeTargets();
        for (int kind = 0; kind < 2; ++kind)
            for (int channel = 0; channel < 8; ++channel)
                finishChannel(kind, channel);
        addChanges();
        writeSong();
        return std::move(m_result);
    }

private:
    int64_t stepOf(int64_t tick) const { return m_grid.stepOf(tick); }

    // The bar from the marker or the meter, and what the song cannot keep of the file's timing.
    void readTiming() {
        MidiImportSummary& summary = m_result.summary;
        summary.tempoChanges = m_timing.tempoChanges;
        summary.shortTempos = m_timing.shortTempos;
        summary.meterChanges = m_timing.meterChanges;
        const MidiMeter& meter = m_timing.meter;
        m_stepsPerBar = m_timing.marker ? m_timing.marker->beatsPerBar : meter.beats;
        summary.firstMeter = std::to_string(meter.numerator) + "/" + std::to_string(meter.denominator);
        if (!meter.exact && !m_timing.marker)
            summary.timeSignature =
                "Time signature " + summary.firstMeter + " read as " + std::to_string(meter.beats) + " beats per bar.";
    }

    void collectEvents() {
        std::map<std::tuple<int, int, int>, int> partOf;
        for (int i = 0; i < static_cast<int>(m_parts.size()); ++i)
            partOf[{m_parts[i].track, m_parts[i].channel, m_parts[i].drum}] = i;
        std::size_t noteOns = 0;
        for (const MidiTrack& track : m_file.tracks)
            for (const MidiEvent& event : track.events)
                noteOns += !event.isMeta() && event.kind() == midi::noteOn && event.data2 > 0 ? 1 : 0;
        m_notes.reserve(noteOns);
        m_trackNotes.push_back(0);
        for (int t = 0; t < static_cast<int>(m_file.tracks.size()); ++t) {
            const MidiTrack& track = m_file.tracks[static_cast<std::size_t>(t)];
            // The notes sounding on each channel × 128 + key, oldest first: a list through their `end`.
            std::vector<std::pair<uint32_t, uint32_t>> sounding(16 * 128, {noNote, noNote});  // first, last
            for (const MidiEvent& event : track.events) {
                if (event.isMeta())
                    continue;
                const int channel = event.channel();
                auto& [first, last] = sounding[static_cast<std::size_t>(channel * 128 + event.data1)];
                if (event.kind() == midi::noteOn && event.data2 > 0) {
                    const int drum = channel == midi::percussionChannel ? drumOfPercussionKey(event.data1) : -1;
                    const auto found = partOf.find({t, channel, drum});
                    const auto index = static_cast<uint32_t>(m_notes.size());
                    m_notes.push_back({event.tick, noNote,
                                       found == partOf.end() || found->second >= noPart
                                           ? noPart
                                           : static_cast<uint16_t>(found->second),
                                       event.data1, event.data2});
                    (last == noNote ? first : m_notes[last].end) = index;
                    last = index;
                } else if (event.kind() == midi::noteOff || event.kind() == midi::noteOn) {
                    // A note-on of velocity 0 is a note-off; it ends the oldest note of its key.
                    if (first != noNote) {
                        const uint32_t ended = first;
                        first = m_notes[ended].end;
                        last = first == noNote ? noNote : last;
                        m_notes[ended].end = event.tick;
                    }
                } else if (event.kind() == midi::controlChange) {
                    m_controllers[static_cast<std::size_t>(channel)].push_back({event.tick, event.data1, event.data2});
                    m_result.summary.sustainPedal += event.data1 == midi::controllerSustain ? 1 : 0;
                } else if (event.kind() == midi::pitchBend) {
                    ++m_result.summary.pitchBends;
                }
            }
            // Notes never ended last to the end of their track.
            for (auto [note, last] : sounding)
                while (note != noNote) {
                    const uint32_t next = m_notes[note].end;
                    m_notes[note].end = track.endTick;
                    note = next;
                }
            m_trackNotes.push_back(m_notes.size());
        }
        // A channel's controllers act on it whichever track carries them.
        for (std::size_t channel = 0; channel < 16; ++channel) {
            auto& controllers = m_controllers[channel];
            std::stable_sort(controllers.begin(), controllers.end(),
                             [](const Controller& a, const Controller& b) { return a.tick < b.tick; });
            for (const Controller& c : controllers)
                if (c.controller == midi::controllerPan)
                    m_pans[channel].emplace_back(c.tick, panOfController(c.value));
        }
    }

    const PartTarget& targetOf(int part) const {
        static const PartTarget skip;
        return part >= 0 && part < static_cast<int>(m_plan.targets.size())
                   ? m_plan.targets[static_cast<std::size_t>(part)]
                   : skip;
    }

    static int kindOf(const PartTarget& target) { return target.kind == TargetKind::Drum ? 1 : 0; }

    void placeTargets() {
        std::array<std::array<bool, 8>, 2> used{};
        for (std::size_t part = 0; part < m_parts.size(); ++part) {
            const PartTarget& target = targetOf(static_cast<int>(part));
            const bool placed = target.kind != TargetKind::Skip && target.channel >= 0 && target.channel <= 7;
            m_targetOfPart.push_back(placed ? kindOf(target) * 8 + target.channel : -1);
            if (placed)
                used[kindOf(target)][target.channel] = true;
        }
        for (const SourceNote& note : m_notes)
            m_result.summary.skippedParts += targetCodeOf(note) < 0 ? 1 : 0;
        for (int kind = 0; kind < 2; ++kind)
            for (int channel = 0; channel < 8; ++channel)
                if (!used[kind][channel])
                    m_free[kind].push_back(channel);
        for (int kind = 0; kind < 2; ++kind)
            for (int channel = 0; channel < 8; ++channel)
                if (used[kind][channel])
                    placeTarget(kind, channel);
    }

    // The target channel of a note as kind × 8 + channel, or -1 when it is skipped.
    int targetCodeOf(const SourceNote& note) const {
        return note.part < m_targetOfPart.size() ? m_targetOfPart[note.part] : -1;
    }

    // The wave or drum of a target channel: that of its part with the most notes.
    int soundOf(int kind, int channel) const {
        const MidiPart* largest = nullptr;
        for (std::size_t part = 0; part < m_parts.size(); ++part) {
            const PartTarget& target = targetOf(static_cast<int>(part));
            if (target.kind != TargetKind::Skip && kindOf(target) == kind && target.channel == channel &&
                (!largest || m_parts[part].noteCount > largest->noteCount))
                largest = &m_parts[part];
        }
        if (!largest)
            return 0;
        if (kind == 1)
            return largest->isPercussion() ? largest->drum : 0;
        return largest->isPercussion() ? 0 : waveOfProgram(largest->program);
    }

    // A drum keeps its distance from the key of the drum sound it is given, so fills stay fills.
    int keyOf(const SourceNote& note, int kind, int sound) {
        const MidiPart& part = m_parts[static_cast<std::size_t>(note.part)];
        const bool drum = kind == 1 && part.isPercussion();
        const int natural = drum ? naturalDrumKey + note.key - percussionKeyOfDrum(sound) : fileKeyOfMidiKey(note.key);
        const int key = withinFileKeys(natural);
        m_result.summary.movedByOctaves += key != natural ? 1 : 0;
        return key;
    }

    // The pan in force on a MIDI channel at a tick: its last pan controller up to then, or the centre.
    int panAt(int midiChannel, int64_t tick) const {
        const auto& pans = m_pans[static_cast<std::size_t>(midiChannel)];
        const auto after =
            std::upper_bound(pans.begin(), pans.end(), tick,
                             [](int64_t t, const std::pair<int64_t, int>& pan) { return t < pan.first; });
        return after == pans.begin() ? 6 : (after - 1)->second;
    }

    // The first note of the target `code` at or after `from` in track t's notes, or the end of them.
    std::size_t nextNote(std::size_t t, std::size_t from, int code) const {
        while (from < m_trackNotes[t + 1] && targetCodeOf(m_notes[from]) != code)
            ++from;
        return from;
    }

    // Each track's notes are in time order, so the target's notes are taken a step at a time from
    // all tracks at once, never all held again: a file may hold millions of them.
    void placeTarget(int kind, int channel) {
        const int sound = soundOf(kind, channel);
        m_sound[kind][channel] = sound;
        std::vector<int>& voices = m_voices[kind][channel];
        voices = {channel};
        const int code = kind * 8 + channel;
        const std::size_t tracks = m_trackNotes.size() - 1;
        std::vector<std::size_t> next(tracks);
        using Waiting = std::pair<int64_t, std::size_t>;  // the step of a track's next note, the track
        std::priority_queue<Waiting, std::vector<Waiting>, std::greater<>> waiting;
        for (std::size_t t = 0; t < tracks; ++t) {
            next[t] = nextNote(t, m_trackNotes[t], code);
            if (next[t] < m_trackNotes[t + 1])
                waiting.emplace(stepOf(m_notes[next[t]].start), t);
        }
        std::vector<std::size_t> atStep;  // the tracks with notes at the step, in the file's order
        std::vector<Placed> chord;
        while (!waiting.empty()) {
            const int64_t step = waiting.top().first;
            atStep.clear();
            for (; !waiting.empty() && waiting.top().first == step; waiting.pop())
                atStep.push_back(waiting.top().second);
            std::sort(atStep.begin(), atStep.end());
            chord.clear();
            for (std::size_t t : atStep) {
                for (; next[t] < m_trackNotes[t + 1] && stepOf(m_notes[next[t]].start) == step;
                     next[t] = nextNote(t, next[t] + 1, code))
                    takeNote(m_notes[next[t]], step, kind, channel, sound, chord);
                if (next[t] < m_trackNotes[t + 1])
                    waiting.emplace(stepOf(m_notes[next[t]].start), t);
            }
            // Of the same key twice at a step the louder comes first, and stays.
            std::stable_sort(chord.begin(), chord.end(), [](const Placed& a, const Placed& b) {
                return std::tie(b.key, b.sourceKey, b.volume) < std::tie(a.key, a.sourceKey, a.volume);
            });
            placeChord(kind, sound, voices, chord);
        }
    }

    // A note of the target starting at `step` into its chord, or counted where it does not fit.
    void takeNote(const SourceNote& note, int64_t step, int kind, int channel, int sound, std::vector<Placed>& chord) {
        if (m_grid.moves(note.start)) {
            ++m_result.summary.movedToGrid;
            m_largestShift = std::max(m_largestShift, m_grid.shiftOf(note.start));
        }
        if (step > lastStartStep) {
            ++m_result.summary.beyondLastStep;
            return;
        }
        int64_t length = std::max<int64_t>(1, stepOf(note.end) - step);
        if (length > largestLength) {
            length = largestLength;
            ++m_result.summary.cutTo255;
        }
        const int midiChannel = m_parts[note.part].channel;
        chord.push_back({step, static_cast<int>(length), keyOf(note, kind, sound), volumeOfVelocity(note.velocity),
                         panAt(midiChannel, note.start), note.key});
        m_targetMidiChannels[kind][channel] |= static_cast<uint16_t>(1u << midiChannel);
    }

    // Notes that start together, highest first.
    void placeChord(int kind, int sound, std::vector<int>& voices, const std::vector<Placed>& chord) {
        std::size_t voice = 0;
        for (std::size_t i = 0; i < chord.size(); ++i) {
            if (i > 0 && chord[i].sourceKey == chord[i - 1].sourceKey && chord[i].key == chord[i - 1].key) {
                ++m_result.summary.doubled;
                continue;
            }
            if (voice > 0 && m_plan.chords == ChordPolicy::Top) {
                ++m_result.summary.belowTopNote;
                continue;
            }
            if (voice == voices.size()) {
                if (m_free[kind].empty()) {
                    ++m_result.summary.noFreeChannel;
                    continue;
                }
                voices.push_back(m_free[kind].front());
                m_free[kind].erase(m_free[kind].begin());
                m_sound[kind][voices.back()] = sound;
            }
            // A channel takes notes in time order: once full, every later note is beyond it.
            std::vector<Placed>& channel = m_placed[kind][voices[voice]];
            if (channel.size() < largestRecords)
                channel.push_back(chord[i]);
            else
                ++m_result.summary.beyondTable;
            ++voice;
        }
    }

    // Each note, in time order, cut at the next.
    void finishChannel(int kind, int channel) {
        std::vector<Placed>& notes = m_placed[kind][channel];
        for (std::size_t i = 0; i + 1 < notes.size(); ++i)
            if (notes[i + 1].step < notes[i].step + notes[i].length) {
                notes[i].length = static_cast<int>(notes[i + 1].step - notes[i].step);
                ++m_result.summary.cutAtNextNote;
            }
        m_result.summary.imported += static_cast<int64_t>(notes.size());
    }

    // Whether a note of the channel sounds at `step`, started before it.
    static bool soundsAt(const std::vector<Placed>& notes, int64_t step) {
        auto after = std::upper_bound(notes.begin(), notes.end(), step,
                                      [](int64_t s, const Placed& note) { return s < note.step; });
        if (after == notes.begin())
            return false;
        const Placed& note = *(after - 1);
        return note.step < step && step < note.step + note.length;
    }

    // Controllers 7 and 11 as volume changes, 10 as pan changes, on every channel of the target
    // while a note sounds there (a note starting at the step brings its own).
    void addChanges() {
        for (int kind = 0; kind < 2; ++kind)
            for (int target = 0; target < 8; ++target)
                for (std::size_t midiChannel = 0; midiChannel < 16; ++midiChannel)
                    if (m_targetMidiChannels[kind][target] >> midiChannel & 1)
                        addChanges(kind, target, m_controllers[midiChannel]);
    }

    void addChanges(int kind, int target, const std::vector<Controller>& controllers) {
        for (const Controller& c : controllers) {
            const bool volume = c.controller == midi::controllerVolume || c.controller == midi::controllerExpression;
            if (!volume && c.controller != midi::controllerPan)
                continue;
            const int64_t step = stepOf(c.tick);
            for (int channel : m_voices[kind][target]) {
                if (!soundsAt(m_placed[kind][channel], step))
                    continue;
                Change& change = m_changes[kind][channel][step];
                if (volume)
                    change.volume = volumeOfVelocity(c.value);
                else
                    change.pan = panOfController(c.value);
            }
        }
    }

    void writeSong() {
        Song& song = m_result.song;
        if (m_result.summary.movedToGrid > 0)
            m_result.summary.largestShift = m_grid.noteValueOf(m_largestShift);
        // Microseconds per quarter × quarters per beat / steps per beat, in milliseconds.
        const double msPerStep = m_timing.tempo * (m_timing.beatHalves / 2.0) / (1000.0 * m_stepsPerBeat);
        const bool ownGrid = m_timing.marker && m_timing.marker->stepsPerBeat == m_stepsPerBeat;
        song.tempo = ownGrid ? m_timing.marker->msPerStep : tempoOf(msPerStep);
        song.stepsPerBar = static_cast<int16_t>(m_stepsPerBar);
        song.beatsPerStep = static_cast<int16_t>(m_stepsPerBeat);
        int64_t end = 0;
        for (int kind = 0; kind < 2; ++kind)
            for (int channel = 0; channel < 8; ++channel) {
                writeChannel(kind, channel);
                for (const Placed& note : m_placed[kind][channel])
                    end = std::max(end, note.step + note.length);
            }
        const int64_t bar = std::max(1, m_stepsPerBar * m_stepsPerBeat);
        const int64_t begin = m_timing.loopStartTick         ? stepOf(*m_timing.loopStartTick)
                              : m_timing.controllerLoopStart ? stepOf(*m_timing.controllerLoopStart)
                                                             : 0;
        int64_t loopEnd = m_timing.loopEndTick ? stepOf(*m_timing.loopEndTick) : (end + bar - 1) / bar * bar;
        if (loopEnd <= begin)
            loopEnd = (begin / bar + 1) * bar;
        song.loopBegin = static_cast<int32_t>(std::min<int64_t>(begin, org::largestStep - 1));
        song.loopEnd = static_cast<int32_t>(std::min<int64_t>(loopEnd, org::largestStep));
    }

    // The nearest tempo a song holds, and a word in the account when it is not the file's.
    int32_t tempoOf(double msPerStep) {
        const int64_t held = std::clamp<int64_t>(std::llround(msPerStep), 1, org::largestWord);
        const std::string file = std::to_string(m_timing.tempo) + " microseconds per quarter note";
        if (m_timing.tempo == 0)
            m_result.summary.tempo = "The file's tempo is 0 microseconds per quarter note; read as 1 ms per step.";
        else if (held != std::llround(msPerStep))
            m_result.summary.tempo = "The file's tempo, " + file + ", is " + (held == 1 ? "faster" : "slower") +
                                     " than a song holds; read as " + std::to_string(held) + " ms per step.";
        return static_cast<int32_t>(held);
    }

    void writeChannel(int kind, int channel) {
        Song& song = m_result.song;
        auto& settings = kind == 0 ? song.instruments : song.drums;
        settings[static_cast<std::size_t>(channel)].wave = static_cast<int16_t>(m_sound[kind][channel]);
        std::vector<NoteRec> records;
        for (const Placed& note : m_placed[kind][channel])
            records.push_back({static_cast<int32_t>(note.step + 1), rowOfFileKey(note.key), note.length,
                               static_cast<int16_t>(storedPanOfFilePan(note.pan)), static_cast<int16_t>(note.volume)});
        const auto& changes = m_changes[kind][channel];
        const std::size_t room = largestRecords - records.size();
        if (changes.size() > room)
            m_result.summary.changesDropped += static_cast<int64_t>(changes.size() - room);
        std::size_t taken = 0;
        for (const auto& [step, change] : changes) {
            if (taken++ == room)
                break;
            records.push_back({static_cast<int32_t>(step + 1), noKey, 1,
                               change.pan < 0 ? noPan : static_cast<int16_t>(storedPanOfFilePan(change.pan)),
                               static_cast<int16_t>(change.volume)});
        }
        std::stable_sort(records.begin(), records.end(),
                         [](const NoteRec& a, const NoteRec& b) { return a.position < b.position; });
        NoteTable& table = song.notes(kind);
        table.grow(static_cast<int32_t>(records.size()));
        for (std::size_t i = 0; i < records.size(); ++i)
            table.at(channel, static_cast<int32_t>(i + 1)) = records[i];
        settings[static_cast<std::size_t>(channel)].noteCount = static_cast<int16_t>(records.size());
    }

    const MidiFile& m_file;
    const std::vector<MidiPart>& m_parts;
    const MidiImportPlan& m_plan;
    const MidiTiming m_timing;
    const int m_stepsPerBeat;
    const MidiGrid m_grid;
    MidiImportResult m_result;
    int m_stepsPerBar = 4;
    int64_t m_largestShift = 0;
    std::vector<SourceNote> m_notes;
    std::vector<std::size_t> m_trackNotes;  // where each track's notes begin in m_notes, and the end
    std::vector<int> m_targetOfPart;        // as targetCodeOf tells it
    std::array<std::vector<Controller>, 16> m_controllers;
    std::array<std::vector<std::pair<int64_t, int>>, 16> m_pans;
    std::array<std::vector<int>, 2> m_free;
    std::array<std::array<int, 8>, 2> m_sound{};
    std::array<std::array<std::vector<int>, 8>, 2> m_voices;
    std::array<std::array<uint16_t, 8>, 2> m_targetMidiChannels{};  // a bit for each MIDI channel
    std::array<std::array<std::vector<Placed>, 8>, 2> m_placed;
    std::array<std::array<std::map<int64_t, Change>, 8>, 2> m_changes;
};

std::string counted(int64_t count, const std::string& what) {
    return std::to_string(count) + " " + what;
}

}  // namespace

int64_t MidiImportSummary::dropped() const {
    return skippedParts + noFreeChannel + belowTopNote + doubled + beyondTable + beyondLastStep;
}

std::vector<std::string> MidiImportSummary::lines() const {
    std::vector<std::string> lines{counted(imported, imported == 1 ? "note imported." : "notes imported.")};
    const std::pair<int64_t, const char*> reasons[] = {
        {skippedParts, "notes dropped: in parts set to Skip"},
        {noFreeChannel, "notes dropped: chord notes with no free channel left"},
        {belowTopNote, "notes dropped: chord notes below the top note"},
        {doubled, "notes dropped: the same key twice at one step"},
        {beyondTable, "notes dropped: beyond the 32,767-note table of a channel"},
        {beyondLastStep, "notes dropped: later than the last step a song holds"},
        {cutTo255, "notes cut to 255 steps"},
        {cutAtNextNote, "notes cut at the next note of their channel"},
        {movedByOctaves, "notes moved by octaves into the keyboard"},
        {pitchBends, "pitch bends ignored"},
        {sustainPedal, "sustain pedal events ignored"},
        {tempoChanges, "tempo changes flattened (notes keep their beats)"},
        {shortTempos, "tempo events ignored: shorter than the 3 bytes of a tempo"},
        {changesDropped, "volume and pan changes dropped: beyond the table of a channel"},
    };
    for (const auto& [count, what] : reasons)
        if (count != 0)
            lines.push_back(counted(count, what));
    if (meterChanges != 0)
        lines.push_back(
            counted(meterChanges, "time signature changes ignored (the first, " + firstMeter + ", is kept)"));
    if (movedToGrid != 0)
        lines.push_back(counted(movedToGrid, movedToGrid == 1 ? "note start" : "note starts") +
                        " moved to the grid, by at most " + largestShift);
    if (!timeSignature.empty())
        lines.push_back(timeSignature);
    if (!tempo.empty())
        lines.push_back(tempo);
    return lines;
}

MidiImportResult midiToSong(const MidiFile& file, const std::vector<MidiPart>& parts, const MidiImportPlan& plan) {
    return Importer(file, parts, plan).run();
}

}  // namespace tromel::exchange
