// Prepared samples by file, kept while their files stay as they were.
#include "audio/samples/SampleCache.h"

#include <algorithm>
#include <system_error>

namespace tromel::audio {

SampleCache::FileStamp SampleCache::stampOf(const std::filesystem::path& path) {
    std::error_code error;
    FileStamp stamp;
    stamp.modified = std::filesystem::last_write_time(path, error);
    if (!error)
        stamp.size = std::filesystem::file_size(path, error);
    stamp.known = !error;
    return stamp;
}

std::shared_ptr<const SampleData> SampleCache::findLocked(const Key& key, const FileStamp& stamp, int levels) {
    const auto found = m_entries.find(key);
    if (!stamp.known || found == m_entries.end() || !(found->second.stamp == stamp) ||
        !found->second.data->hasLevels(levels))
        return nullptr;
    found->second.lastUse = ++m_useCounter;
    return found->second.data;
}

std::shared_ptr<const SampleData> SampleCache::find(const std::filesystem::path& path, bool loop, int levels) {
    const FileStamp stamp = stampOf(path);
    std::lock_guard lock(m_mutex);
    return findLocked({path.string(), loop}, stamp, levels);
}

SampleLoad SampleCache::load(const std::filesystem::path& path, bool loop, int levels) {
    const FileStamp stamp = stampOf(path);
    const Key key{path.string(), loop};
    {
        std::lock_guard lock(m_mutex);
        if (auto data = findLocked(key, stamp, levels))
            return {std::move(data), 0};
    }
    SampleLoad load = loadSampleFile(path, loop, levels);
    if (load.sample && stamp.known) {
        std::lock_guard lock(m_mutex);
        m_entries[key] = {load.sample, stamp, ++m_useCounter};
        trimLocked();
    }
    return load;
}

// Least recently used first; samples still held elsewhere (by a channel or a preparation under
// way) stay, since dropping them would free nothing and make the next Play prepare them again.
void SampleCache::trimLocked() {
    while (m_entries.size() > capacity) {
        auto oldest = m_entries.end();
        for (auto i = m_entries.begin(); i != m_entries.end(); ++i)
            if (i->second.data.use_count() == 1 &&
                (oldest == m_entries.end() || i->second.lastUse < oldest->second.lastUse))
                oldest = i;
        if (oldest == m_entries.end())
            return;
        m_entries.erase(oldest);
    }
}

void SampleCache::clear() {
    std::lock_guard lock(m_mutex);
    m_entries.clear();
}

}  // namespace tromel::audio
