// The files a render writes and the temporary files it writes them into first: their names, the
// renames that finish a render and the removal that undoes one, all in one place.
#include "audio/render/RenderFiles.h"

#include "audio/playback/SongCompiler.h"
#include "files/AtomicWrite.h"

#include <unistd.h>

#include <array>
#include <system_error>

namespace tromel::audio {

namespace fs = std::filesystem;

std::vector<int> channelsWithNotes(const Song& song) {
    CompiledSong compiled;
    compileEvents(song, compiled);
    std::array<bool, songChannelCount> sounding{};
    for (const PlayEvent& event : compiled.events)
        if (event.kind == EventKind::NoteStart)
            sounding[event.songChannel()] = true;
    std::vector<int> channels;
    for (int k = 0; k < songChannelCount; ++k)
        if (sounding[k])
            channels.push_back(k);
    return channels;
}

fs::path stemPath(const fs::path& output, int channel) {
    const std::string part =
        channel < 8 ? "-instrument" + std::to_string(channel + 1) : "-drum" + std::to_string(channel - 7);
    return output.parent_path() / (output.stem().string() + part + output.extension().string());
}

fs::path temporaryRenderPath(const fs::path& output) {
    return output.string() + ".tmp-" + std::to_string(getpid());
}

std::vector<fs::path> renderOutputs(const Song& song, const RenderRequest& request) {
    if (!request.stems)
        return {request.output};
    std::vector<fs::path> outputs;
    for (int channel : channelsWithNotes(song))
        outputs.push_back(stemPath(request.output, channel));
    return outputs;
}

std::vector<fs::path> temporaryRenderPaths(const Song& song, const RenderRequest& request) {
    std::vector<fs::path> paths;
    for (const fs::path& output : renderOutputs(song, request))
        paths.push_back(temporaryRenderPath(output));
    return paths;
}

RenderFiles::RenderFiles(const Song& song, const RenderRequest& request)
    : m_outputs(renderOutputs(song, request)), m_files(request.fileSystem()) {
    if (request.stems)
        m_channels = channelsWithNotes(song);
}

RenderFiles::~RenderFiles() {
    if (!m_committed)
        removeTemporaries();
}

std::optional<std::string> RenderFiles::commit() {
    for (std::size_t i = 0; i < m_outputs.size(); ++i) {
        if (const int error = files::renameDurably(m_files, temporaryOf(i), m_outputs[i])) {
            removeTemporaries();
            return m_outputs[i].string() + ": " + files::errorText(error);
        }
    }
    m_committed = true;
    return std::nullopt;
}

void RenderFiles::removeTemporaries() {
    for (std::size_t i = 0; i < m_outputs.size(); ++i) {
        std::error_code error;
        fs::remove(temporaryOf(i), error);
    }
}

}  // namespace tromel::audio
