// The subcommands of tromel-cli and their shared error reporting.
#pragma once

#include "song/OrgFile.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tromel::cli {

inline constexpr int exitOk = 0;
inline constexpr int exitFailure = 1;
inline constexpr int exitUsage = 2;

struct UsageError {
    std::string message;
};

// Each command takes its arguments after the subcommand name and returns the exit code;
// it throws UsageError for arguments it cannot take.
int runInfo(const std::vector<std::string>& args);
int runResave(const std::vector<std::string>& args);
int runRender(const std::vector<std::string>& args);
int runExportMidi(const std::vector<std::string>& args);
int runImportMidi(const std::vector<std::string>& args);
int runPlay(const std::vector<std::string>& args);

// Reads a song, printing the reason to stderr when it cannot; false then.
bool loadOrReport(Song& song, const std::filesystem::path& path);
// Prints "tromel-cli: PATH: reason" to stderr.
void reportPathError(const std::filesystem::path& path, const std::string& reason);

}  // namespace tromel::cli
