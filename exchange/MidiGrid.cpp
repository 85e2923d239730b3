// How a MIDI file's time reads as a song's: its tempo, meter and grid, and what a grid moves.
#include "exchange/MidiGrid.h"

#include "song/OrgLayout.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <vector>

namespace tromel::exchange {
namespace {

// The non-commercial manufacturer id, then the program's name: no other program writes this.
const std::string markerTag = std::string("\x7D", 1) + "Tromel";
constexpr std::size_t markerSize = 7 + 2 + 2 + 4;

bool isNamed(std::string_view text, const char* name) {
    return std::equal(text.begin(), text.end(), name, name + std::strlen(name),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

uint32_t bigEndian(std::string_view bytes, std::size_t at, std::size_t count) {
    uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i)
        value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

void appendBigEndian(std::string& out, uint32_t value, std::size_t count) {
    for (std::size_t i = count; i-- > 0;)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::string markerPayload(const SongGridMarker& marker) {
    std::string out = markerTag;
    appendBigEndian(out, static_cast<uint16_t>(marker.stepsPerBeat), 2);
    appendBigEndian(out, static_cast<uint16_t>(marker.beatsPerBar), 2);
    appendBigEndian(out, static_cast<uint32_t>(marker.msPerStep), 4);
    return out;
}

std::optional<SongGridMarker> readMarkerPayload(std::string_view payload) {
    if (payload.size() != markerSize || payload.compare(0, markerTag.size(), markerTag) != 0)
        return std::nullopt;
    SongGridMarker marker;
    marker.stepsPerBeat = static_cast<int>(bigEndian(payload, 7, 2));
    marker.beatsPerBar = static_cast<int16_t>(bigEndian(payload, 9, 2));
    marker.msPerStep = static_cast<int32_t>(bigEndian(payload, 11, 4));
    // A song holds a tempo of 1 to 65,535 ms: a marker naming another was not written by an export.
    if (marker.stepsPerBeat < 1 || marker.stepsPerBeat > 255 || marker.msPerStep < 1 ||
        marker.msPerStep > org::largestWord)
        return std::nullopt;
    return marker;
}

MidiMeter MidiMeter::of(int numerator, int denominatorPower) {
    MidiMeter meter;
    meter.numerator = numerator;
    meter.denominator = 1 << std::min(denominatorPower, 30);
    const int beats = std::clamp(numerator, 1, 255);
    if (denominatorPower == 2) {
        meter.beats = beats;
        meter.beatHalves = 2;
    } else if (denominatorPower == 3) {
        const bool compound = numerator > 3 && numerator % 3 == 0;
        meter.beats = compound ? numerator / 3 : beats;
        meter.beatHalves = compound ? 3 : 1;
    } else if (denominatorPower == 1) {
        meter.beats = beats;
        meter.beatHalves = 4;
    } else {
        const double quarters = numerator * 4.0 / std::ldexp(1.0, std::min(denominatorPower, 30));
        meter.beats = static_cast<int>(std::clamp<int64_t>(std::llround(quarters), 1, 255));
        meter.beatHalves = 2;
        meter.exact = static_cast<double>(meter.beats) == quarters;
    }
    meter.exact = meter.exact && numerator == meter.beats * (meter.beatHalves == 3 ? 3 : 1);
    return meter;
}

int MidiTiming::largestStepsPerBeat() const {
    return marker ? 255 : 24;
}

MidiTiming readMidiTiming(const MidiFile& file) {
    std::vector<std::pair<const MidiEvent*, std::string_view>> events;  // with their bytes
    for (const MidiTrack& track : file.tracks)
        for (const MidiEvent& event : track.events)
            if (event.isMeta() || (event.kind() == midi::controlChange && event.data1 == midi::controllerLoopStart))
                events.emplace_back(&event, event.isMeta() ? track.payloadOf(event) : std::string_view());
    std::stable_sort(events.begin(), events.end(),
                     [](const auto& a, const auto& b) { return a.first->tick < b.first->tick; });
    MidiTiming timing;
    std::optional<uint32_t> lastTempo;
    std::optional<std::string> lastMeter;
    for (const auto& [event, bytes] : events) {
        if (!event->isMeta()) {
            if (!timing.controllerLoopStart)
                timing.controllerLoopStart = event->tick;
            continue;
        }
        if (event->metaType == midi::metaTempo && bytes.size() < 3) {
            ++timing.shortTempos;
        } else if (event->metaType == midi::metaTempo) {
            const uint32_t value = bigEndian(bytes, 0, 3);
            if (!lastTempo)
                timing.tempo = value;
            else if (value != *lastTempo)
                ++timing.tempoChanges;
            lastTempo = value;
        } else if (event->metaType == midi::metaTimeSignature && bytes.size() >= 2) {
            const std::string meter(bytes.substr(0, 2));
            if (!lastMeter)
                timing.meter = MidiMeter::of(static_cast<uint8_t>(bytes[0]), static_cast<uint8_t>(bytes[1]));
            else if (meter != *lastMeter)
                ++timing.meterChanges;
            lastMeter = meter;
        } else if (event->metaType == midi::metaMarker) {
            if (isNamed(bytes, "loopstart") && !timing.loopStartTick)
                timing.loopStartTick = event->tick;
            if (isNamed(bytes, "loopend") && !timing.loopEndTick)
                timing.loopEndTick = event->tick;
        } else if (event->metaType == midi::metaSequencerSpecific && !timing.marker) {
            timing.marker = readMarkerPayload(bytes);
        }
    }
    timing.beatHalves = timing.meter.beatHalves;
    // A slow song's beat went out as k quarter notes: the k whose quarter holds the file's tempo.
    // Another tempo (an older export's, which stopped at the largest, or one changed since) leaves it at one.
    if (timing.marker) {
        const int64_t beat = int64_t{timing.marker->msPerStep} * timing.marker->stepsPerBeat * 1000;
        for (int64_t quarters = 1; quarters <= largestQuartersPerBeat; quarters *= 2)
            if (quarterTempoOf(beat, quarters) == timing.tempo) {
                timing.beatHalves = static_cast<int>(2 * quarters);
                break;
            }
    }
    return timing;
}

MidiGrid::MidiGrid(int division, int beatHalves, int stepsPerBeat)
    : m_division(std::max(division, 1)), m_beatHalves(beatHalves), m_stepsPerBeat(std::max(stepsPerBeat, 1)) {}

int64_t MidiGrid::stepOf(int64_t tick) const {
    // A step is division × beatHalves / (2 × stepsPerBeat) ticks.
    const int64_t beat = m_division * m_beatHalves;
    return (tick * 4 * m_stepsPerBeat + beat) / (2 * beat);
}

int64_t MidiGrid::shiftOf(int64_t tick) const {
    const int64_t exact = tick * 2 * m_stepsPerBeat;
    const int64_t onGrid = stepOf(tick) * m_division * m_beatHalves;
    return exact > onGrid ? exact - onGrid : onGrid - exact;
}

std::string MidiGrid::noteValueOf(int64_t shift) const {
    // A 1/n note is 4 × division / n ticks: it holds the shift when shift / (2 × stepsPerBeat) is no more.
    static const std::pair<int, const char*> values[] = {
        {128, "a 128th note"}, {64, "a 64th note"},   {32, "a 32nd note"}, {16, "a 16th note"},
        {8, "an 8th note"},    {4, "a quarter note"}, {2, "a half note"}};
    for (const auto& [n, name] : values)
        if (shift * n <= 8 * m_division * m_stepsPerBeat)
            return name;
    return "a whole note";
}

GridFit fitOnGrid(const MidiFile& file, const MidiGrid& grid) {
    GridFit fit;
    for (const MidiTrack& track : file.tracks)
        for (const MidiEvent& event : track.events)
            if (!event.isMeta() && event.kind() == midi::noteOn && event.data2 > 0) {
                ++fit.starts;
                const int64_t shift = grid.shiftOf(event.tick);
                fit.largestShift = std::max(fit.largestShift, shift);
                fit.moved += grid.moves(event.tick) ? 1 : 0;
            }
    return fit;
}

int chooseStepsPerBeat(const MidiFile& file, const MidiTiming& timing) {
    if (timing.marker)
        return timing.marker->stepsPerBeat;
    for (int steps : {1, 2, 3, 4, 6, 8, 12, 16, 24}) {
        const GridFit fit = fitOnGrid(file, MidiGrid(file.division, timing.beatHalves, steps));
        if (fit.moved * 100 <= fit.starts)
            return steps;
    }
    return 4;
}

}  // namespace tromel::exchange
