// The files a render writes and the temporary files it writes them into first: their names, the
// renames that finish a render and the removal that undoes one, all in one place.
#pragma once

#include "audio/render/OfflineRender.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tromel::audio {

// Song channels (0..7 instruments, 8 + d drum d) with a note start that will be heard: those
// whose samples a render needs, and those that get a stem.
std::vector<int> channelsWithNotes(const Song& song);

// OUT-instrument1.EXT .. OUT-instrument8.EXT, OUT-drum1.EXT .. OUT-drum8.EXT beside OUT.EXT.
std::filesystem::path stemPath(const std::filesystem::path& output, int channel);

// The files a render writes: the request's output, or with stems the stem of each channel that
// holds notes.
std::vector<std::filesystem::path> renderOutputs(const Song& song, const RenderRequest& request);

class RenderFiles {
public:
    // The request's output, or with stems the stem of each channel that holds notes.
    RenderFiles(const Song& song, const RenderRequest& request);
    ~RenderFiles();  // removes temporary files a render did not finish

    RenderFiles(const RenderFiles&) = delete;
    RenderFiles& operator=(const RenderFiles&) = delete;

    const std::vector<std::filesystem::path>& outputs() const { return m_outputs; }
    const std::vector<int>& channels() const { return m_channels; }  // of the stems; empty for the mix

    // Creates the file output `index` is written into before its rename (removing one an earlier
    // pass made), beside it, under an unpredictable name of the saves' pattern, neither through a
    // link nor over anything there, and tells the request's temporaryMade. 0 or the errno value.
    int createTemporary(std::size_t index, int& fd);
    // Renames every temporary file (flushed when it was closed) over its output, flushing the
    // folder after each. Stems replace the old ones all or none: those there are moved aside first
    // (see StemsAside) and put back on a failure. On a failure it removes the temporary files left
    // and says why (a line naming the file).
    std::optional<std::string> commit();
    void removeTemporaries();

private:
    std::optional<std::string> renameAll();

    std::vector<std::filesystem::path> m_outputs;
    std::vector<std::filesystem::path> m_temporaries;  // empty until made
    std::vector<int> m_channels;
    std::filesystem::path m_output;
    files::FileSystem& m_files;
    std::function<void(const std::filesystem::path&)> m_temporaryMade;
    bool m_committed = false;
};

}  // namespace tromel::audio
