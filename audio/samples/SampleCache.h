// Prepared samples by file, kept while their files stay as they were.
#pragma once

#include "audio/samples/SampleData.h"
#include "audio/samples/SampleLoader.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

namespace tromel::audio {

// Shared by the user-interface thread and the sample worker, never touched by the audio thread
// (which only reads the SampleData it is given), so a plain lock is fine. The lock is never held
// while a file is read or prepared.
class SampleCache {
public:
    static constexpr std::size_t capacity = 256;

    // [any thread but the audio thread] The prepared sample of a file, if the cache holds one
    // made from the file as it is now, with at least `levels` levels.
    std::shared_ptr<const SampleData> find(const std::filesystem::path& path, bool loop,
                                           int levels = SampleData::levelCount);
    // [any thread but the audio thread] The cached sample, or the file read, prepared and kept.
    // A sample with too few levels is prepared again with more and takes the old one's place
    // (which lives on while anything holds it: samples never change once made).
    SampleLoad load(const std::filesystem::path& path, bool loop, int levels = SampleData::levelCount);
    // [any thread but the audio thread]
    void clear();

private:
    struct FileStamp {
        std::filesystem::file_time_type modified;
        uintmax_t size = 0;
        bool known = false;  // false when the file could not be looked at: never cached
        bool operator==(const FileStamp&) const = default;
    };
    struct Entry {
        std::shared_ptr<const SampleData> data;
        FileStamp stamp;
        uint64_t lastUse = 0;
    };
    using Key = std::pair<std::string, bool>;

    static FileStamp stampOf(const std::filesystem::path& path);
    std::shared_ptr<const SampleData> findLocked(const Key& key, const FileStamp& stamp, int levels);
    void trimLocked();

    std::mutex m_mutex;
    std::map<Key, Entry> m_entries;
    uint64_t m_useCounter = 0;
};

}  // namespace tromel::audio
