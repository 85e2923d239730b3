// The bank's samples prepared for playback, once per process, shared by every player.
#include "capi/SharedSamples.h"

#include "audio/samples/SampleLevels.h"
#include "capi/SampleBank.h"

#include <array>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace tromel::capi {

namespace {

// A file played one way: its frames and level count made once, each level made once when first asked for.
// The thread that makes a level is the only one to touch it, before any player that asked for it exists; the
// vector of levels never changes size, so players reading other levels meanwhile are not disturbed.
struct Entry {
    std::once_flag made;
    std::vector<float> frames;
    audio::SampleData data;
    std::array<std::once_flag, audio::SampleData::levelCount> levelMade;
};

Entry& entryOf(int file, bool loop) {
    static std::vector<Entry> entries(2 * static_cast<std::size_t>(bankFileCount));
    return entries[2 * static_cast<std::size_t>(file) + (loop ? 1 : 0)];
}

// 16-bit values read as a WAV reader reads them: divided by 32768.
void makeEntry(Entry& entry, const BankSample& file, bool loop) {
    entry.frames.resize(static_cast<std::size_t>(file.frames));
    for (int32_t n = 0; n < file.frames; ++n)
        entry.frames[n] = static_cast<float>(file.pcm[n]) / 32768.0f;
    entry.data.channels = 1;
    entry.data.rate = bankRate;
    entry.data.frames = file.frames;
    entry.data.loop = loop;
    entry.data.levels.resize(file.frames > 0 ? audio::SampleData::levelCount : 0);
}

}  // namespace

const audio::SampleData* sharedSample(const char* name, bool loop, LevelSet levels) {
    for (int file = 0; file < bankFileCount; ++file) {
        if (std::strcmp(bankFiles[file].name, name) != 0)
            continue;
        Entry& entry = entryOf(file, loop);
        std::call_once(entry.made, [&] { makeEntry(entry, bankFiles[file], loop); });
        for (int level = 0; level < static_cast<int>(entry.data.levels.size()); ++level)
            if (levels & (LevelSet{1} << level))
                std::call_once(entry.levelMade[level], [&] {
                    entry.data.levels[level] = audio::buildSampleLevel(entry.frames, 1, loop, level);
                });
        return &entry.data;
    }
    return nullptr;
}

}  // namespace tromel::capi
