// Where a program finds the sample bank: beside itself in the build tree, under share/tromel/
// of the prefix it was installed into.
#pragma once

#include <filesystem>

namespace tromel::audio {

// "Processed ORG Samples" beside the program when that folder exists, else the installed bank
// in PROGRAM_FOLDER/../share/tromel/, else the one beside the program (which then names the
// missing folder in any message).
std::filesystem::path findSampleFolder(const std::filesystem::path& programFolder);

}  // namespace tromel::audio
