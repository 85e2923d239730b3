// The files a render writes and the temporary files it writes them into first: their names, the
// renames that finish a render and the removal that undoes one, all in one place.
#include "audio/render/RenderFiles.h"

#include "audio/playback/SongCompiler.h"
#include "audio/render/StemsAside.h"
#include "files/AtomicWrite.h"
#include "song/ChannelNames.h"

#include <array>

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
    const std::string part = "-" + channelKindWord(channel / 8, true) + std::to_string(channel % 8 + 1);
    return output.parent_path() / (output.stem().string() + part + output.extension().string());
}

std::vector<fs::path> renderOutputs(const Song& song, const RenderRequest& request) {
    if (!request.stems)
        return {request.output};
    std::vector<fs::path> outputs;
    for (int channel : channelsWithNotes(song))
        outputs.push_back(stemPath(request.output, channel));
    return outputs;
}

RenderFiles::RenderFiles(const Song& song, const RenderRequest& request)
    : m_outputs(renderOutputs(song, request)),
      m_temporaries(m_outputs.size()),
      m_output(request.output),
      m_files(request.fileSystem()),
      m_temporaryMade(request.temporaryMade) {
    if (request.stems)
        m_channels = channelsWithNotes(song);
}

RenderFiles::~RenderFiles() {
    if (!m_committed)
        removeTemporaries();
}

int RenderFiles::createTemporary(std::size_t index, int& fd) {
    if (!m_temporaries[index].empty())
        m_files.remove(m_temporaries[index]);
    m_temporaries[index].clear();
    std::string pattern = files::temporaryPattern(m_outputs[index]);
    if (const int error = m_files.createTemporary(pattern, 0666, fd))
        return error;
    m_temporaries[index] = pattern;
    if (m_temporaryMade)
        m_temporaryMade(m_temporaries[index]);
    return 0;
}

// A temporary file lies beside its output: one flush of their folder keeps the rename.
std::optional<std::string> RenderFiles::renameAll() {
    for (std::size_t i = 0; i < m_outputs.size(); ++i) {
        const fs::path& output = m_outputs[i];
        int error = m_files.rename(m_temporaries[i], output);
        if (error == 0) {
            m_temporaries[i].clear();
            error = m_files.flushFolder(output.has_parent_path() ? output.parent_path() : fs::path("."));
        }
        if (error != 0)
            return output.string() + ": " + files::errorText(error);
    }
    return std::nullopt;
}

std::optional<std::string> RenderFiles::commit() {
    std::optional<StemsAside> aside;
    if (!m_channels.empty()) {
        aside.emplace(m_files, m_output);
        if (const int error = aside->moveAside(m_outputs)) {
            removeTemporaries();
            return m_output.string() + ": the old stems could not be moved aside: " + files::errorText(error);
        }
    }
    if (auto problem = renameAll()) {
        if (aside)
            aside->putBack();
        removeTemporaries();
        return problem;
    }
    if (aside)
        aside->discard();
    m_committed = true;
    return std::nullopt;
}

void RenderFiles::removeTemporaries() {
    for (fs::path& temporary : m_temporaries) {
        if (!temporary.empty())
            m_files.remove(temporary);
        temporary.clear();
    }
}

}  // namespace tromel::audio
