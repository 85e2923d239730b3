// The bank's samples prepared for playback, once per process, shared by every player.
#include "capi/SharedSamples.h"

#include "audio/samples/SampleLevels.h"
#include "capi/SampleBank.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace tromel::capi {

namespace {

// One entry a file and a way of playing it, prepared by whichever thread asks first while the others wait
// for it; once made, an entry is only read.
struct Entry {
    std::once_flag made;
    std::unique_ptr<const audio::SampleData> data;
};

Entry& entryOf(int file, bool loop) {
    static std::vector<Entry> entries(2 * static_cast<std::size_t>(bankFileCount));
    return entries[2 * static_cast<std::size_t>(file) + (loop ? 1 : 0)];
}

// 16-bit values read as a WAV reader reads them: divided by 32768.
std::unique_ptr<const audio::SampleData> prepare(const BankSample& file, bool loop) {
    std::vector<float> frames(static_cast<std::size_t>(file.frames));
    for (int32_t n = 0; n < file.frames; ++n)
        frames[n] = static_cast<float>(file.pcm[n]) / 32768.0f;
    return std::make_unique<const audio::SampleData>(audio::buildSampleData(frames, 1, bankRate, loop));
}

}  // namespace

const audio::SampleData* sharedSample(const char* name, bool loop) {
    for (int file = 0; file < bankFileCount; ++file) {
        if (std::strcmp(bankFiles[file].name, name) != 0)
            continue;
        Entry& entry = entryOf(file, loop);
        std::call_once(entry.made, [&] { entry.data = prepare(bankFiles[file], loop); });
        return entry.data.get();
    }
    return nullptr;
}

}  // namespace tromel::capi
