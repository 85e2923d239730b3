// The bank's samples prepared for playback, once per process, shared by every player.
#include "capi/SharedSamples.h"

#include "audio/samples/SampleLevels.h"
#include "capi/SampleBank.h"

#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace tromel::capi {

namespace {

// A file played one way: its level count made once, each level made once when first asked for, and its
// frames once when a level must be made from them. The thread that makes a level is the only one to touch it,
// before any player that asked for it exists; the vector of levels never changes size, so players reading
// other levels meanwhile are not disturbed.
struct Entry {
    std::once_flag made;
    std::once_flag framesMade;
    std::vector<float> frames;
    audio::SampleData data;
    std::array<std::once_flag, audio::SampleData::mostLevels> levelMade;
};

Entry& entryOf(int file, bool loop) {
    static std::vector<Entry> entries(2 * static_cast<std::size_t>(bankFileCount));
    return entries[2 * static_cast<std::size_t>(file) + (loop ? 1 : 0)];
}

// A level carried in the library needs no making, but its pages are mapped here rather than under the first
// render that reads them: in one call where the system offers it, else a read a page.
void touchPages(const audio::SampleLevel& level) {
    static const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const int64_t count = level.length + 2 * audio::SampleData::guardFrames;
#ifdef MADV_POPULATE_READ
    const auto begin = reinterpret_cast<std::uintptr_t>(level.builtIn) & ~(pageSize - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(level.builtIn + count);
    if (madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_READ) == 0)
        return;
#endif
    const auto floatsAPage = static_cast<int64_t>(pageSize / sizeof(float));
    float sum = 0.0f;
    for (int64_t i = 0; i < count; i += floatsAPage)
        sum += level.builtIn[i];
    volatile float kept = sum + level.builtIn[count - 1];
    (void)kept;
}

// 16-bit values read as a WAV reader reads them: divided by 32768.
const std::vector<float>& framesOf(Entry& entry, const BankSample& file) {
    std::call_once(entry.framesMade, [&] {
        entry.frames.resize(static_cast<std::size_t>(file.frames));
        for (int32_t n = 0; n < file.frames; ++n)
            entry.frames[n] = static_cast<float>(file.pcm[n]) / 32768.0f;
    });
    return entry.frames;
}

// The levels the library carries for the way the file is played are taken as they are.
void makeEntry(Entry& entry, const BankSample& file, bool loop) {
    entry.data.channels = 1;
    entry.data.rate = bankRate;
    entry.data.frames = file.frames;
    entry.data.loop = loop;
    entry.data.levels.resize(file.frames > 0 ? audio::SampleData::mostLevels : 0);
    if (loop != file.loop || file.frames == 0)
        return;
    for (int level = 0; level < bankLevelCount; ++level) {
        const BankLevel& place = file.levels[level];
        entry.data.levels[level].length = place.length;
        entry.data.levels[level].framesPerSourceFrame = place.framesPerSourceFrame;
        entry.data.levels[level].builtIn = tromelBankLevelValues + place.offset;
    }
}

}  // namespace

const audio::SampleData* sharedSample(const char* name, bool loop, LevelSet levels) {
    for (int file = 0; file < bankFileCount; ++file) {
        if (std::strcmp(bankFiles[file].name, name) != 0)
            continue;
        Entry& entry = entryOf(file, loop);
        std::call_once(entry.made, [&] { makeEntry(entry, bankFiles[file], loop); });
        for (int level = 0; level < static_cast<int>(entry.data.levels.size()); ++level)
            if (!(levels & (LevelSet{1} << level)))
                continue;
            else if (entry.data.levels[level].builtIn)
                touchPages(entry.data.levels[level]);
            else
                std::call_once(entry.levelMade[level], [&] {
                    entry.data.levels[level] =
                        audio::buildSampleLevel(framesOf(entry, bankFiles[file]), 1, loop, level);
                });
        return &entry.data;
    }
    return nullptr;
}

}  // namespace tromel::capi
