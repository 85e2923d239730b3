// The parts of a MIDI file and the import's default plan.
#include "exchange/MidiParts.h"

#include "exchange/GeneralMidiMap.h"
#include "exchange/MidiGrid.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <numeric>
#include <set>
#include <tuple>

namespace tromel::exchange {
namespace {

std::string trackName(const MidiTrack& track) {
    for (const MidiEvent& event : track.events)
        if (event.isMeta() && event.metaType == midi::metaTrackName)
            return std::string(track.payloadOf(event));
    return {};
}

// The first program change of each MIDI channel, in time across all tracks.
std::array<int, 16> firstPrograms(const MidiFile& file) {
    std::array<int, 16> programs{};
    std::array<uint32_t, 16> when;
    when.fill(UINT32_MAX);
    for (const MidiTrack& track : file.tracks)
        for (const MidiEvent& event : track.events)
            if (!event.isMeta() && event.kind() == midi::programChange && event.tick < when[event.channel()]) {
                when[event.channel()] = event.tick;
                programs[event.channel()] = event.data1;
            }
    return programs;
}

std::vector<int> byNoteCount(const std::vector<MidiPart>& parts, bool percussion) {
    std::vector<int> order;
    for (int i = 0; i < static_cast<int>(parts.size()); ++i)
        if (parts[i].isPercussion() == percussion)
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return parts[a].noteCount > parts[b].noteCount; });
    return order;
}

void planInstruments(const std::vector<MidiPart>& parts, MidiImportPlan& plan) {
    std::vector<int> order = byNoteCount(parts, false);
    if (order.size() > 8)
        order.resize(8);
    // The chosen parts in the file's order, as a score lists them.
    std::sort(order.begin(), order.end());
    std::array<bool, 8> taken{};
    std::vector<int> waiting;
    for (int part : order) {
        const int own = parts[part].channel;
        if (own < 8 && !taken[own]) {
            taken[own] = true;
            plan.targets[part] = {TargetKind::Instrument, own};
        } else {
            waiting.push_back(part);
        }
    }
    for (int part : waiting) {
        const int channel = static_cast<int>(std::find(taken.begin(), taken.end(), false) - taken.begin());
        taken[channel] = true;
        plan.targets[part] = {TargetKind::Instrument, channel};
    }
}

void planDrums(const std::vector<MidiPart>& parts, MidiImportPlan& plan) {
    // Notes of each drum, over all percussion parts.
    std::map<int, int> counts;
    for (const MidiPart& part : parts)
        if (part.isPercussion())
            counts[part.drum] += part.noteCount;
    std::vector<int> drums;
    for (const auto& [drum, count] : counts)
        drums.push_back(drum);
    const auto byGroupThenCount = [&](int a, int b) {
        return std::make_tuple(static_cast<int>(groupOfDrum(a)), -counts[a], a) <
               std::make_tuple(static_cast<int>(groupOfDrum(b)), -counts[b], b);
    };
    std::sort(drums.begin(), drums.end(), byGroupThenCount);
    // Which drums get a channel of their own: all of them, or the most used of each group and
    // then the most used of the rest.
    std::set<int> own;
    if (drums.size() <= 8) {
        own.insert(drums.begin(), drums.end());
    } else {
        std::set<DrumGroup> groups;
        for (int drum : drums)
            if (groups.insert(groupOfDrum(drum)).second)
                own.insert(drum);
        std::vector<int> rest;
        for (int drum : drums)
            if (!own.count(drum))
                rest.push_back(drum);
        // Open, closed and pedal hats play one pattern: they keep apart before cymbals and the rest.
        const auto hatsThenCount = [&](int a, int b) {
            return std::make_tuple(groupOfDrum(a) != DrumGroup::Hats, -counts[a]) <
                   std::make_tuple(groupOfDrum(b) != DrumGroup::Hats, -counts[b]);
        };
        std::stable_sort(rest.begin(), rest.end(), hatsThenCount);
        for (std::size_t i = 0; own.size() < 8 && i < rest.size(); ++i)
            own.insert(rest[i]);
    }
    std::map<int, int> channelOf;
    int next = 0;
    std::map<DrumGroup, int> groupChannel;
    for (int drum : drums)
        if (own.count(drum)) {
            channelOf[drum] = next;
            groupChannel.emplace(groupOfDrum(drum), next);
            ++next;
        }
    for (int drum : drums)
        if (!own.count(drum))
            channelOf[drum] = groupChannel.at(groupOfDrum(drum));
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (parts[i].isPercussion())
            plan.targets[i] = {TargetKind::Drum, channelOf.at(parts[i].drum)};
}

}  // namespace

std::vector<MidiPart> findMidiParts(const MidiFile& file) {
    const std::array<int, 16> programs = firstPrograms(file);
    std::map<std::tuple<int, int, int>, MidiPart> found;
    for (int t = 0; t < static_cast<int>(file.tracks.size()); ++t) {
        const MidiTrack& track = file.tracks[static_cast<std::size_t>(t)];
        std::string name;
        bool named = false;
        for (const MidiEvent& event : track.events) {
            if (event.isMeta() || event.kind() != midi::noteOn || event.data2 == 0)
                continue;
            if (!named) {
                name = trackName(track);
                named = true;
            }
            const int channel = event.channel();
            const int drum = channel == midi::percussionChannel ? drumOfPercussionKey(event.data1) : -1;
            MidiPart& part = found[{t, channel, drum}];
            if (part.noteCount == 0) {
                part.track = t;
                part.channel = channel;
                part.drum = drum;
                part.name = name;
                part.program = programs[static_cast<std::size_t>(channel)];
            }
            ++part.noteCount;
            if (drum >= 0 && !std::binary_search(part.keys.begin(), part.keys.end(), event.data1))
                part.keys.insert(std::upper_bound(part.keys.begin(), part.keys.end(), event.data1), event.data1);
        }
    }
    std::vector<MidiPart> parts;
    for (auto& [key, part] : found)
        parts.push_back(std::move(part));
    return parts;
}

int defaultStepsPerBeat(const MidiFile& file) {
    return chooseStepsPerBeat(file, readMidiTiming(file));
}

MidiImportPlan defaultImportPlan(const MidiFile& file, const std::vector<MidiPart>& parts) {
    MidiImportPlan plan;
    plan.stepsPerBeat = defaultStepsPerBeat(file);
    plan.targets.resize(parts.size());
    planInstruments(parts, plan);
    planDrums(parts, plan);
    return plan;
}

}  // namespace tromel::exchange
