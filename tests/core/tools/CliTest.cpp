// tromel-cli info and resave, run as a user would run them.
#include "song/OrgFile.h"
#include "tests/core/tools/CliRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tromel {
namespace {

namespace fs = std::filesystem;

fs::path folder() {
    const fs::path path = fs::path(testing::TempDir()) / "cli";
    fs::create_directories(path);
    return path;
}

void writeBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TEST(Cli, InfoPrintsHeaderChannelsAndCounts) {
    Song song;
    song.tempo = 90;
    song.drums[4].wave = 7;
    song.drumNotes.grow(2);
    song.drumNotes.at(4, 1) = {1, 50, 1, 6, 100};
    song.drumNotes.at(4, 2) = {5, 50, 1, 6, 100};
    const fs::path path = folder() / "info.org";
    ASSERT_TRUE(saveOrgFile(song, path).ok);
    const CliRun run = runCli("info '" + path.string() + "'");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("Tempo           90 ms per step"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Notes           0 instrument, 2 drum"), std::string::npos);
    EXPECT_NE(run.output.find("              5        232     7  no            2           2"), std::string::npos)
        << run.output;
}

TEST(Cli, ResaveReproducesAFileByteForByte) {
    Song song;
    song.loopBegin = 16;
    song.instruments[6].pi = true;
    song.instrumentNotes.grow(1);
    song.instrumentNotes.at(6, 1) = {3, 40, 4, 6, 166};
    const auto bytes = writeOrgBytes(song);
    writeBytes(folder() / "in.org", bytes);
    const CliRun run = runCli("resave '" + (folder() / "in.org").string() + "' '" + (folder() / "out.org").string() + "'");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    std::ifstream out(folder() / "out.org", std::ios::binary);
    EXPECT_EQ(std::vector<uint8_t>(std::istreambuf_iterator<char>(out), {}), bytes);
}

TEST(Cli, ErrorsAndUsage) {
    writeBytes(folder() / "notes.org", {'*', ' ', 'T', 'O', 'D', 'O'});
    CliRun run = runCli("info '" + (folder() / "notes.org").string() + "'");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "This is not a valid ORG File!\n");

    run = runCli("info /nonexistent/a.org");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "tromel-cli: /nonexistent/a.org: No such file or directory\n");

    writeBytes(folder() / "ok.org", writeOrgBytes(Song{}));
    run = runCli("resave '" + (folder() / "ok.org").string() + "' /nonexistent/out.org");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "tromel-cli: /nonexistent/out.org: No such file or directory\n");

    EXPECT_EQ(runCli("").exitCode, 2);
    EXPECT_EQ(runCli("info").exitCode, 2);
    EXPECT_EQ(runCli("frobnicate x").exitCode, 2);
    run = runCli("--help");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("usage: tromel-cli info SONG.org"), std::string::npos);
}

}  // namespace
}  // namespace tromel
