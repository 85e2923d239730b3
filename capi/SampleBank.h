// The sample bank carried inside the library: every file of the generated bank as 16-bit values, and the
// levels the engine prepares from each.
#pragma once

#include <cstdint>

namespace tromel::capi {

// One level of a file, as SampleLevel holds it: its values lie from `offset` on in tromelBankLevelValues.
struct BankLevel {
    int64_t offset;  // floats
    int64_t length;
    double framesPerSourceFrame;
};

struct BankSample {
    const char* name;  // the bank file it is, "M01.wav" to "D28.wav"
    const int16_t* pcm;
    int32_t frames;           // mono
    bool loop;                // how its levels were made: an instrument wave looped, a drum once
    const BankLevel* levels;  // its first bankLevelCount levels
};

// Written at build time by tromel-samplegen beside the WAV files, value for value.
extern const int bankRate;
extern const int bankFileCount;
extern const int bankLevelCount;
extern const BankSample bankFiles[];
extern "C" const float tromelBankLevelValues[];

}  // namespace tromel::capi
