// A song's tempo and bar read in musical terms.
#include "song/TempoReading.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tromel {
namespace {

constexpr double millisecondsPerMinute = 60000.0;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::optional<double> beatsPerMinute(int32_t millisecondsPerStep, int32_t stepsPerBeat) {
    if (millisecondsPerStep <= 0 || stepsPerBeat <= 0)
        return std::nullopt;
    return millisecondsPerMinute / (static_cast<double>(millisecondsPerStep) * stepsPerBeat);
}

std::string formatBeatsPerMinute(double bpm) {
    // to_chars rounds as printf does but never reads the locale, whose separator may be ",".
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, bpm, std::chars_format::fixed, 1).ptr;
    return std::string(text, end);
}

std::string describeTempo(const TempoFields& fields) {
    const std::optional<double> bpm = beatsPerMinute(fields.millisecondsPerStep, fields.stepsPerBeat);
    if (!bpm || fields.beatsPerBar <= 0)
        return "no tempo";
    return formatBeatsPerMinute(*bpm) + " beats per minute \u00B7 a bar of " + std::to_string(fields.beatsPerBar) +
           " beats, " + std::to_string(fields.stepsPerBeat) + " steps each";
}

std::optional<double> parseBeatsPerMinute(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    // Digits and points only: from_chars would also take signs, exponents and "inf". A second
    // point ends its reading short of the end, which refuses the text.
    const auto isDigitOrPoint = [](char c) { return (c >= '0' && c <= '9') || c == '.'; };
    if (text.empty() || !std::all_of(text.begin(), text.end(), isDigitOrPoint))
        return std::nullopt;
    double bpm = 0;
    // from_chars wants a digit before the point.
    const std::string whole = text.front() == '.' ? "0" + std::string(text) : std::string(text);
    const auto [end, error] = std::from_chars(whole.data(), whole.data() + whole.size(), bpm);
    if (error != std::errc() || end != whole.data() + whole.size() || !(bpm > 0))
        return std::nullopt;
    return bpm;
}

std::optional<int32_t> millisecondsPerStepFor(double bpm, int32_t stepsPerBeat, int32_t largest) {
    if (stepsPerBeat <= 0 || !(bpm > 0))
        return std::nullopt;
    const double milliseconds = std::round(millisecondsPerMinute / (bpm * stepsPerBeat));
    return static_cast<int32_t>(std::clamp(milliseconds, 1.0, static_cast<double>(largest)));
}

}  // namespace tromel
