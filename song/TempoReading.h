// A song's tempo and bar read in musical terms: beats per minute and a bar of beats of steps.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tromel {

// The header's fields as the song settings hold them: milliseconds per step, beats a bar (the
// "Steps per Bar" field) and steps a beat (the "Beats per Step" field).
struct TempoFields {
    int32_t millisecondsPerStep = 0;
    int32_t beatsPerBar = 0;
    int32_t stepsPerBeat = 0;
};

// 60000 / (milliseconds per step x steps per beat); nothing when either is 0 or less.
std::optional<double> beatsPerMinute(int32_t millisecondsPerStep, int32_t stepsPerBeat);

// "117.2 beats per minute · a bar of 4 beats, 4 steps each", or "no tempo" when a field is 0 or less.
std::string describeTempo(const TempoFields& fields);

// A BPM with one decimal and "." whatever the locale: "117.2".
std::string formatBeatsPerMinute(double bpm);

// A typed BPM: digits with at most one "." among them, blanks around; nothing for anything else
// or for 0.
std::optional<double> parseBeatsPerMinute(std::string_view text);

// The whole milliseconds per step nearest to `bpm` at `stepsPerBeat`, at least 1 and at most
// `largest`; nothing when stepsPerBeat is 0 or less.
std::optional<int32_t> millisecondsPerStepFor(double bpm, int32_t stepsPerBeat, int32_t largest);

}  // namespace tromel
