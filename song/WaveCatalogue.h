// What each of the hundred instrument waves sounds like: the family it was made in and how bright it is.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tromel {

inline constexpr int waveCount = 100;

enum class WaveFamily : uint8_t { pureOrSoft, pulse, saw, organ, bell, vowel, orchestral, shaped };

struct WaveFamilyRange {
    WaveFamily family;
    std::string_view name;
    int first;  // wave number of the family's first wave
};

// The sample generator makes the families in this order and these sizes, and refuses to write a
// bank that differs.
inline constexpr std::array<WaveFamilyRange, 8> waveFamilies{{
    {WaveFamily::pureOrSoft, "Pure or soft tone", 0},
    {WaveFamily::pulse, "Pulse wave", 10},
    {WaveFamily::saw, "Sawtooth", 30},
    {WaveFamily::organ, "Organ", 40},
    {WaveFamily::bell, "Bell", 55},
    {WaveFamily::vowel, "Vowel", 65},
    {WaveFamily::orchestral, "Orchestral colour", 75},
    {WaveFamily::shaped, "FM or shaped wave", 85},
}};

enum class Brightness : uint8_t { soft, mellow, bright, sharp };

// A spectrum's brightness from its mean harmonic weighted by amplitude: 1 for a sine, about 8 for
// a square or a sawtooth, 12 for the thinnest pulse. The bounds lie in gaps between the waves.
constexpr Brightness brightnessOf(double meanHarmonic) {
    return meanHarmonic < 2.4    ? Brightness::soft
           : meanHarmonic < 4.55 ? Brightness::mellow
           : meanHarmonic < 9.5  ? Brightness::bright
                                 : Brightness::sharp;
}

// Each wave's brightness as the generator measures it from the spectrum it writes; it refuses to
// write a bank whose waves measure otherwise.
inline constexpr std::array<Brightness, waveCount> waveBrightness = [] {
    using enum Brightness;
    // clang-format off
    return std::array<Brightness, waveCount>{
        soft, soft, soft, soft, soft, soft, soft, soft, soft, soft,
        bright, bright, bright, bright, bright, bright, bright, bright, bright, sharp,
        sharp, sharp, sharp, sharp, sharp, mellow, mellow, mellow, bright, bright,
        bright, bright, mellow, mellow, mellow, mellow, bright, bright, bright, sharp,
        soft, mellow, bright, soft, mellow, mellow, mellow, mellow, mellow, soft,
        soft, mellow, bright, mellow, bright, bright, bright, bright, bright, bright,
        bright, bright, bright, bright, bright, bright, mellow, mellow, mellow, mellow,
        bright, bright, mellow, mellow, mellow, bright, sharp, bright, bright, mellow,
        mellow, sharp, sharp, bright, bright, soft, soft, soft, mellow, mellow,
        mellow, bright, soft, mellow, soft, bright, sharp, sharp, soft, soft,
    };
    // clang-format on
}();

// "Organ, mellow"; empty for a number that is no wave.
std::string describeWave(int wave);

}  // namespace tromel
