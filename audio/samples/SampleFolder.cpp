// Finding the sample bank of a built or an installed program.
#include "audio/samples/SampleFolder.h"

#include "audio/playback/SongCompiler.h"

namespace tromel::audio {

std::filesystem::path findSampleFolder(const std::filesystem::path& programFolder) {
    const std::filesystem::path beside = programFolder / sampleFolderName;
    const std::filesystem::path installed = programFolder.parent_path() / "share" / "tromel" / sampleFolderName;
    std::error_code error;
    if (std::filesystem::is_directory(beside, error) || !std::filesystem::is_directory(installed, error))
        return beside;
    return installed;
}

}  // namespace tromel::audio
