// Runs tromel-cli as a user would, for the tests of its subcommands.
#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

namespace tromel {

struct CliRun {
    int exitCode;
    std::string output;  // stdout and stderr together
};

// The arguments go through the shell as they stand: quote paths with quoted().
inline CliRun runCli(const std::string& args) {
    const std::string command = std::string("'") + TROMEL_CLI_PATH + "' " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    std::array<char, 4096> buffer{};
    while (std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe))
        output.append(buffer.data(), n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

inline std::string quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

}  // namespace tromel
