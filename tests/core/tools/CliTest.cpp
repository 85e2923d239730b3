// tromel-cli run as a user would run it: info, resave and render, their exit codes and messages.
#include "audio/mixer/KeyFrequency.h"
#include "files/AtomicWrite.h"
#include "song/OrgFile.h"
#include "tests/core/audio/AudioTestKit.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <thread>

namespace tromel::audio::test {
namespace {

struct CliRun {
    int exitCode;
    std::string output;  // stdout and stderr together
};

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

// The arguments go through the shell as they stand: quote paths with quoted(). A run that does
// not end within `seconds` is killed, and fails its test rather than holding up the suite.
CliRun runCli(const std::string& args, int seconds = 300) {
    const std::string command =
        "timeout -s KILL " + std::to_string(seconds) + " '" + TROMEL_CLI_PATH + "' " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    std::array<char, 4096> buffer{};
    while (std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe))
        output.append(buffer.data(), n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

// Starts tromel-cli with these arguments, its output thrown away, and returns its process id.
pid_t startCli(const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>(TROMEL_CLI_PATH)};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, TROMEL_CLI_PATH, &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Cli : testing::Test {
    fs::path folder = scratchFolder("cli");
    fs::path samples = steadySampleFolder();

    // A song whose one note sits at file step 2.
    fs::path songFile(const std::string& name, int32_t tempo = 50, int32_t loopBegin = 0, int32_t loopEnd = 4) {
        Song song = songWith({{0, {3, 48, 1, 6, 200}}}, loopEnd, tempo);
        song.loopBegin = loopBegin;
        EXPECT_TRUE(saveOrgFile(song, folder / name).ok);
        return folder / name;
    }
    CliRun render(const fs::path& song, const fs::path& out, const std::string& options = "") {
        return runCli("render " + quoted(song) + " " + quoted(out) + options + " --samples " + quoted(samples));
    }
    // Outputs are written beside their targets and renamed, so nothing half-written stays.
    void TearDown() override {
        for (const auto& entry : fs::directory_iterator(folder))
            EXPECT_FALSE(files::isTemporaryName(entry.path().filename().string())) << entry.path();
    }
};

TEST_F(Cli, InfoPrintsHeaderChannelsAndCountsAndResaveKeepsEveryByte) {
    Song song = songWith({{12, {1, 50, 1, 6, 100}}, {12, {5, 50, 1, 6, 100}}}, 1600, 90);
    song.loopBegin = 16;
    song.instruments[6].pi = true;
    song.drums[4].wave = 7;
    ASSERT_TRUE(saveOrgFile(song, folder / "in.org").ok);
    const CliRun info = runCli("info " + quoted(folder / "in.org"));
    EXPECT_EQ(info.exitCode, 0);
    for (const char* line : {"Tempo           90 ms per step", "Notes           0 instrument, 2 drum",
                             "              5        232     7  no            2           2"})
        EXPECT_NE(info.output.find(line), std::string::npos) << info.output;
    const CliRun resave = runCli("resave " + quoted(folder / "in.org") + " " + quoted(folder / "out.org"));
    EXPECT_EQ(resave.exitCode, 0) << resave.output;
    EXPECT_EQ(fileText(folder / "out.org"), fileText(folder / "in.org"));
}

// Among them an output that would replace the song, whichever way it is named: the song stays as
// it was.
TEST_F(Cli, FailuresExitWithTheirReasons) {
    std::ofstream(folder / "bad.org") << "Org-01 and nothing";
    const fs::path song = songFile("song.org");
    const std::string before = fileText(song);
    fs::create_symlink(song, folder / "link.org");
    fs::create_hard_link(song, folder / "hard.org");
    const fs::path readOnly = songFile("read-only.org");
    fs::permissions(readOnly, fs::perms::owner_read);
    const std::string itself = ": this is the song itself; choose another output file\n";
    const fs::path huge = songFile("huge.org", 65535, 0, 2147483647);
    const fs::path out = folder / "o.wav";
    const std::string usage = "usage: tromel-cli info SONG.org";
    const fs::path fifo = folder / "pipe.mid";  // opening it would wait for a writer
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::tuple<CliRun, int, std::string> cases[] = {
        {runCli("info " + quoted(folder / "bad.org")), 1, "This is not a valid ORG File!\n"},
        {runCli("info /nonexistent/a.org"), 1, "tromel-cli: /nonexistent/a.org: No such file or directory\n"},
        {runCli("info " + quoted(folder)), 1, "tromel-cli: " + folder.string() + ": Is a directory\n"},
        {runCli("resave " + quoted(song) + " /nonexistent/out.org"), 1,
         "tromel-cli: /nonexistent/out.org: No such file or directory\n"},
        {runCli("resave " + quoted(song) + " " + quoted(readOnly)), 1,
         "tromel-cli: " + readOnly.string() + ": The file is read-only\n"},
        {render(folder / "bad.org", out), 1, "This is not a valid ORG File!"},
        {render(songFile("refused.org", 50, 6, 6), out), 1, "loop begin (6)"},
        {render(huge, out), 1, "limit"},
        {render(huge, out, " --seconds 0.1"), 0, ""},  // a huge loop renders for as long as asked
        {render(song, folder / "no" / "o.wav"), 1,
         "tromel-cli: The folder " + (folder / "no").string() + " does not exist.\n"},
        {runCli("render " + quoted(song) + " " + quoted(out) + " --samples " + quoted(folder / "none")), 1,
         "no such sample folder"},
        {runCli("render " + quoted(song)), 2, usage},
        {runCli("render a.org b.wav --loops -1"), 2, usage},
        {runCli("render a.org b.wav --loops 2 --seconds 3"), 2, usage},
        {runCli("frobnicate x"), 2, "unknown command"},
        {runCli("--help"), 0, usage},
        {runCli("info --help"), 0, usage},
        {runCli("render --help"), 0, "--loudness LUFS"},
        {runCli("render a.org b.wav --fade x"), 2, usage},
        {render(song, song), 1, song.string() + itself},
        {render(song, folder / "hard.org"), 1, (folder / "hard.org").string() + itself},
        {render(song, folder / "link.org"), 1, (folder / "link.org").string() + itself},
        {render(folder / "link.org", out), 0, ""},
        {runCli("import-midi " + quoted(folder / "bad.org") + " " + quoted(folder / "m.org")), 1,
         "not a Standard MIDI File"},
        {runCli("import-midi " + quoted(fifo) + " " + quoted(folder / "m.org"), 10), 1,
         "tromel-cli: " + fifo.string() + ": Not a regular file\n"},
        {runCli("import-midi /dev/zero " + quoted(folder / "m.org"), 10), 1, "/dev/zero: Not a regular file\n"},
        {runCli("import-midi " + quoted(folder) + " " + quoted(folder / "m.org")), 1, ": Is a directory\n"},
        {runCli("import-midi a.mid b.org --steps-per-beat 25"), 2, "from 1 to 24, not '25'"},
        {runCli("import-midi a.mid b.org --chords middle"), 2, "spread or top"},
        {runCli("export-midi " + quoted(song) + " " + quoted(folder / "link.org")), 1, "this is the input file itself"},
        {runCli("export-midi " + quoted(songFile("still.org", 0)) + " " + quoted(folder / "m.mid")), 1,
         "tempo is 0 ms per step"}};
    for (const auto& [run, exitCode, reason] : cases) {
        EXPECT_EQ(run.exitCode, exitCode) << run.output;
        EXPECT_NE(run.output.find(reason), std::string::npos) << run.output;
    }
    EXPECT_EQ(fileText(song), before);
    EXPECT_FALSE(fs::exists(folder / "m.org") || fs::exists(folder / "m.mid"));
}

// A song out as MIDI and back in with its notes; the import's options and its account on stderr;
// a drum beyond the set named when a song is read.
TEST_F(Cli, MidiGoesBothWaysAndImportCountsWhatDidNotFit) {
    Song song = songWith({{0, {1, 50, 4, 6, 157}}, {0, {3, 52, 2, 6, 157}}, {1, {1, 40, 4, 6, 157}}}, 64, 120);
    song.drums[2].wave = 40;
    ASSERT_TRUE(saveOrgFile(song, folder / "in.org").ok);
    const CliRun out = runCli("export-midi " + quoted(folder / "in.org") + " " + quoted(folder / "in.mid"));
    EXPECT_EQ(out.exitCode, 0);
    EXPECT_NE(out.output.find("drum channel 3 names drum 40"), std::string::npos) << out.output;
    for (const auto& [options, summary] :
         {std::pair{"", "3 notes imported.\n"}, std::pair{" --chords top --steps-per-beat 2", "3 notes imported.\n"}}) {
        const CliRun in =
            runCli("import-midi " + quoted(folder / "in.mid") + " " + quoted(folder / "back.org") + options);
        EXPECT_EQ(in.exitCode, 0);
        EXPECT_EQ(in.output, summary);
        Song back;
        ASSERT_TRUE(loadOrgFile(back, folder / "back.org").ok());
        EXPECT_EQ(back.beatsPerStep, std::string(options).empty() ? 4 : 2);
        EXPECT_EQ(back.instrumentNotes.at(0, 2).position, std::string(options).empty() ? 3 : 2);
    }
}

// Export options that cannot make the file asked for are refused, each with its reason, and
// nothing is written.
TEST_F(Cli, ExportOptionsThatCannotWorkAreRefused) {
    const fs::path song = songFile("song.org");
    Song empty = songWith({}, 4, 50);
    ASSERT_TRUE(saveOrgFile(empty, folder / "empty.org").ok);
    const std::pair<std::string, std::string> cases[] = {
        {"o.wav --format wav32", "unknown format 'wav32'"},
        {"o.aiff", "cannot tell the format from 'o.aiff'"},
        {"o.ogg --quality 11", "quality must be 0 to 10, not 11"},
        {"o.wav --quality 5", "--quality is for the ogg format only"},
        {"o.mp3 --bitrate 100", "not 100"},
        {"o.ogg --bitrate 128", "--bitrate is for the mp3 format only"},
        {"o.wav --loudness -80", "loudness must be -70 to 0 LUFS"},
        {"o.wav --loudness 1", "loudness must be -70 to 0 LUFS"},
        {"o.wav --fade 100", "no longer than the render"},
        {"o.wav --fade 0.1 --loop-points", "loop would no longer loop"},
        {"o.wav --ring --loop-points", "loop would no longer loop"},
        {"o.wav --ring --seconds 1", "a ringing end needs a length in loops"},
        {"o.wav --loop-points --seconds 1", "loop points need a length in loops"},
        {"o.wav --loop-points --loops 0", "at least one loop"},
        {"o.mp3 --loop-points", "MP3 carries no loop points"}};
    for (const auto& [options, reason] : cases) {
        const std::size_t space = options.find(' ');
        const CliRun run =
            render(song, folder / options.substr(0, space), space == std::string::npos ? "" : options.substr(space));
        EXPECT_EQ(run.exitCode, 1) << options << ": " << run.output;
        EXPECT_NE(run.output.find(reason), std::string::npos) << options << ": " << run.output;
    }
    const CliRun stems = render(folder / "empty.org", folder / "o.wav", " --stems");
    EXPECT_EQ(stems.exitCode, 1);
    EXPECT_NE(stems.output.find("no notes, so there are no stems"), std::string::npos) << stems.output;
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().extension(), ".org") << entry.path();
}

// Each sample a playing channel needs and cannot have is named; nothing is written.
TEST_F(Cli, RenderNamesMissingSamplesAndWritesNothing) {
    Song song = songWith({{0, {1, 48, 1, 6, 200}}, {3, {1, 48, 1, 6, 200}}, {8, {2, 48, 1, 6, 200}}}, 8, 50);
    song.instruments[3].wave = 7;
    song.instruments[5].wave = 9;  // no notes: its sample is not needed
    ASSERT_TRUE(saveOrgFile(song, folder / "song.org").ok);
    const fs::path out = folder / "out.wav";
    for (const auto& [sampleFolder, missing] :
         {std::pair{scratchFolder("no-samples"), std::vector<std::string>{"M01.wav", "M08.wav", "D01.wav"}},
          std::pair{samples, std::vector<std::string>{"M08.wav"}}}) {
        samples = sampleFolder;
        const CliRun run = render(folder / "song.org", out);
        EXPECT_EQ(run.exitCode, 1) << run.output;
        std::string expected;
        for (const std::string& name : missing)
            expected += "tromel-cli: " + (sampleFolder / name).string() + ": " + errorText(errorFileOpen) + "\n";
        EXPECT_EQ(run.output, expected);
        EXPECT_FALSE(fs::exists(out));
    }
}

// A further drum plays from the generated bank; one beyond the set plays silence, named once on
// reading, and the render goes on.
TEST_F(Cli, FurtherDrumsPlayAndUnknownOnesAreSilent) {
    samples = TROMEL_SAMPLE_DIR;
    for (const auto& [drum, sounds] : {std::pair{20, true}, std::pair{40, false}}) {
        Song song = songWith({{8, {1, 60, 1, 6, 200}}}, 4, 50);
        song.drums[0].wave = static_cast<int16_t>(drum);
        ASSERT_TRUE(saveOrgFile(song, folder / "drum.org").ok);
        const CliRun run = render(folder / "drum.org", folder / "drum.wav");
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(run.output.find("names drum 40") != std::string::npos, !sounds) << run.output;
        float peak = 0;
        for (float v : readWav(folder / "drum.wav").frames)
            peak = std::max(peak, std::abs(v));
        EXPECT_EQ(peak > 0.01f, sounds) << drum << " " << peak;
    }
}

// SIGTERM or SIGINT in the middle of a long render ends it as the signal does, and takes the
// unfinished file with it.
TEST_F(Cli, ASignalTakesTheUnfinishedFileWithIt) {
    const fs::path song = folder / "song.org";
    ASSERT_TRUE(saveOrgFile(songWith({{0, {3, 48, 1, 6, 200}}, {8, {3, 48, 1, 6, 200}}}, 4, 50), song).ok);
    const fs::path out = folder / "long.wav";
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        // The last one writes stems: every one of their temporary files goes.
        std::vector<std::string> args{"render", song.string(), out.string(),    "--seconds",
                                      "10000",  "--samples",   samples.string()};
        if (signalNumber == SIGHUP)
            args.push_back("--stems");
        const pid_t pid = startCli(args);
        ASSERT_GT(pid, 0);
        const std::string prefix = signalNumber == SIGHUP ? ".long-drum1.wav.tromel-" : ".long.wav.tromel-";
        const auto written = [&] {
            for (const auto& entry : fs::directory_iterator(folder))
                if (entry.path().filename().string().starts_with(prefix) && entry.file_size() > 0)
                    return entry.path();
            return fs::path();
        };
        fs::path temporary;
        for (int i = 0; i < 2000 && (temporary = written()).empty(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_TRUE(fs::exists(temporary));
        kill(pid, signalNumber);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << status;
        EXPECT_FALSE(fs::exists(temporary) || fs::exists(out));
        for (const auto& entry : fs::directory_iterator(folder))
            EXPECT_EQ(entry.path().extension(), ".org") << entry.path();
    }
}

}  // namespace
}  // namespace tromel::audio::test
