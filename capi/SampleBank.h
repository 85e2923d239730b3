// The sample bank carried inside the library: every file of the generated bank as 16-bit values.
#pragma once

#include <cstdint>

namespace tromel::capi {

struct BankSample {
    const char* name;  // the bank file it is, "M01.wav" to "D28.wav"
    const int16_t* pcm;
    int32_t frames;  // mono
};

// Written at build time by tromel-samplegen beside the WAV files, value for value.
extern const int bankRate;
extern const int bankFileCount;
extern const BankSample bankFiles[];

}  // namespace tromel::capi
