// The C functions at their edges: versions, loading and its refusals, song facts, bad arguments, the bank
// carried inside, and a render that allocates nothing.
#include "../core/audio/AudioTestKit.h"
#include "CapiTestKit.h"
#include "audio/mixer/Voice.h"
#include "audio/playback/SongCompiler.h"
#include "audio/samples/SampleLevels.h"
#include "capi/SampleBank.h"
#include "capi/SharedSamples.h"
#include "song/OrgFile.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <string>

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

}  // namespace

// Every allocation of the process while `counting` is on is counted: operator new, the library's and the
// test's alike, takes its memory from malloc.
// (A sanitizer's own malloc is left alone.)
#ifdef TROMEL_COUNT_MALLOC
extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* malloc(std::size_t size) {
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
#endif

namespace tromel::capi::test {
namespace {

namespace fs = std::filesystem;

TEST(Api, VersionIsTheProjects) {
    EXPECT_STREQ(tromel_version_string(), TROMEL_PROJECT_VERSION);
    const std::string header = std::to_string(TROMEL_VERSION_MAJOR) + "." + std::to_string(TROMEL_VERSION_MINOR) + "." +
                               std::to_string(TROMEL_VERSION_PATCH);
    EXPECT_EQ(header, TROMEL_PROJECT_VERSION);
    EXPECT_EQ(tromel_version(), TROMEL_VERSION_MAJOR * 10000 + TROMEL_VERSION_MINOR * 100 + TROMEL_VERSION_PATCH);
}

// The library refuses what the editor refuses, with its words, from memory and from files; the error text is
// cut to the buffer and always ended.
TEST(Api, LoadingRefusesWithTheEditorsTexts) {
    char error[256];
    const char garbage[] = "Org-04 and more bytes than a header";
    EXPECT_EQ(tromel_song_load(garbage, sizeof garbage, error, sizeof error), nullptr);
    EXPECT_STREQ(error, invalidOrgMessage);
    std::vector<uint8_t> cut = writeOrgBytes(audio::test::denseSong(0));
    cut.resize(cut.size() - 1);
    EXPECT_EQ(tromel_song_load(cut.data(), cut.size(), error, sizeof error), nullptr);
    EXPECT_STREQ(error, invalidOrgMessage);
    EXPECT_EQ(tromel_song_load(nullptr, 0, error, sizeof error), nullptr);
    EXPECT_STREQ(error, invalidOrgMessage);
    EXPECT_EQ(tromel_song_load(nullptr, 10, error, sizeof error), nullptr);
    EXPECT_STRNE(error, "");

    const fs::path folder = audio::test::scratchFolder("capi-files");
    EXPECT_EQ(tromel_song_load_file(folder.c_str(), error, sizeof error), nullptr);
    EXPECT_STREQ(error, "Is a directory");
    EXPECT_EQ(tromel_song_load_file((folder / "none.org").c_str(), error, sizeof error), nullptr);
    EXPECT_STREQ(error, "No such file or directory");
    const fs::path fifo = folder / "fifo.org";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(tromel_song_load_file(fifo.c_str(), error, sizeof error), nullptr);  // never waits for a writer
    EXPECT_STRNE(error, "");
    EXPECT_EQ(tromel_song_load_file(nullptr, error, sizeof error), nullptr);
    EXPECT_STRNE(error, "");

    std::memset(error, 'x', sizeof error);
    EXPECT_EQ(tromel_song_load(garbage, sizeof garbage, error, 5), nullptr);
    EXPECT_STREQ(error, "This");
    EXPECT_EQ(error[5], 'x');
    EXPECT_EQ(tromel_song_load(garbage, sizeof garbage, error, 1), nullptr);
    EXPECT_STREQ(error, "");
    EXPECT_EQ(tromel_song_load(garbage, sizeof garbage, nullptr, 100), nullptr);
    EXPECT_EQ(tromel_song_load(garbage, sizeof garbage, error, 0), nullptr);

    ASSERT_TRUE(saveOrgFile(audio::test::denseSong(3), folder / "dense.org").ok);
    const SongHandle song(tromel_song_load_file((folder / "dense.org").c_str(), error, sizeof error));
    EXPECT_NE(song, nullptr) << error;
    EXPECT_STREQ(error, "");
}

TEST(Api, SongInfoTellsTheFilesFacts) {
    Song source = longNoteSong();
    source.stepsPerBar = 3;
    source.beatsPerStep = 6;
    source.drums[7].wave = 27;
    const SongHandle song = loadSong(source);
    tromel_song_info info{};
    info.struct_size = sizeof info;
    ASSERT_EQ(tromel_song_get_info(song.get(), &info), TROMEL_OK);
    EXPECT_EQ(info.struct_size, sizeof info);
    EXPECT_EQ(info.version, 3);  // a drum beyond the first twelve
    EXPECT_EQ(info.tempo_ms, 100);
    EXPECT_EQ(info.beats_per_bar, 3);
    EXPECT_EQ(info.steps_per_beat, 6);
    EXPECT_EQ(info.loop_begin, 8);
    EXPECT_EQ(info.loop_end, 72);
    EXPECT_EQ(info.channel_sound[0], 30);
    EXPECT_EQ(info.channel_sound[1], 66);
    EXPECT_EQ(info.channel_sound[9], 2);
    EXPECT_EQ(info.channel_sound[15], 27);
    EXPECT_EQ(info.channel_notes[0], 3);
    EXPECT_EQ(info.channel_notes[1], 24);
    EXPECT_EQ(info.channel_notes[8] + info.channel_notes[9], 18);
    EXPECT_EQ(info.channel_notes[2], 0);

    // An older caller's smaller struct is filled only as far as it reaches.
    struct {
        tromel_song_info info;
        int guard;
    } small{};
    small.info.struct_size = offsetof(tromel_song_info, beats_per_bar);
    small.info.beats_per_bar = -7;
    ASSERT_EQ(tromel_song_get_info(song.get(), &small.info), TROMEL_OK);
    EXPECT_EQ(small.info.tempo_ms, 100);
    EXPECT_EQ(small.info.beats_per_bar, -7);
    small.info.struct_size = sizeof(size_t);
    EXPECT_EQ(tromel_song_get_info(song.get(), &small.info), TROMEL_ERROR_ARGUMENT);
    EXPECT_EQ(tromel_song_get_info(nullptr, &info), TROMEL_ERROR_ARGUMENT);
    EXPECT_EQ(tromel_song_get_info(song.get(), nullptr), TROMEL_ERROR_ARGUMENT);

    EXPECT_DOUBLE_EQ(tromel_song_duration(song.get(), 0), 7.2);
    EXPECT_DOUBLE_EQ(tromel_song_duration(song.get(), 3), 7.2 + 3 * 6.4);
    EXPECT_TRUE(std::isinf(tromel_song_duration(song.get(), -1)));
    EXPECT_EQ(tromel_song_duration(nullptr, 1), 0.0);
}

// A song that cannot play loads, and a player of it is refused with the command line's words; so are rates
// outside the range, and every NULL and out-of-range argument gets its error, never a crash.
TEST(Api, BadArgumentsAreRefused) {
    char error[256];
    Song unplayable = longNoteSong();
    unplayable.loopBegin = 72;
    const SongHandle stuck = loadSong(unplayable);
    ASSERT_NE(stuck, nullptr);
    EXPECT_EQ(tromel_player_new(stuck.get(), 44100, error, sizeof error), nullptr);
    EXPECT_EQ(error, *audio::playRefusal(unplayable));
    EXPECT_EQ(tromel_song_duration(stuck.get(), 1), 0.0);
    Song still = longNoteSong();
    still.tempo = 0;
    const SongHandle stopped = loadSong(still);
    EXPECT_EQ(tromel_player_new(stopped.get(), 44100, error, sizeof error), nullptr);
    EXPECT_EQ(error, *audio::playRefusal(still));

    const SongHandle song = loadSong(longNoteSong());
    for (int rate : {0, -44100, 22049, 192001}) {
        EXPECT_EQ(tromel_player_new(song.get(), rate, error, sizeof error), nullptr) << rate;
        EXPECT_EQ(std::string(error), "the sample rate must be 22050 to 192000 Hz, not " + std::to_string(rate));
    }
    EXPECT_EQ(tromel_player_new(nullptr, 44100, error, sizeof error), nullptr);
    EXPECT_STRNE(error, "");
    for (int rate : {22050, 192000}) {
        const PlayerHandle edge = playerOf(song.get(), rate);
        EXPECT_EQ(tromel_player_sample_rate(edge.get()), rate);
    }

    const PlayerHandle player = playerOf(song.get());
    EXPECT_EQ(tromel_player_loops(player.get()), -1);
    float buffer[64];
    int16_t shorts[64];
    EXPECT_EQ(tromel_player_render(nullptr, buffer, 32), 0u);
    EXPECT_EQ(tromel_player_render(player.get(), nullptr, 32), 0u);
    EXPECT_EQ(tromel_player_render_s16(nullptr, shorts, 32), 0u);
    EXPECT_EQ(tromel_player_render_s16(player.get(), nullptr, 32), 0u);
    EXPECT_EQ(tromel_player_render(player.get(), buffer, 0), 0u);
    EXPECT_EQ(tromel_player_frame(player.get()), 0);
    for (double bad : {-0.001, -HUGE_VAL, HUGE_VAL, std::nan("")})
        EXPECT_EQ(tromel_player_seek(player.get(), bad), TROMEL_ERROR_ARGUMENT) << bad;
    EXPECT_EQ(tromel_player_seek(nullptr, 1.0), TROMEL_ERROR_ARGUMENT);
    EXPECT_EQ(tromel_player_seek(player.get(), 1e300), TROMEL_OK);
    for (int channel : {-1, 16, 1000}) {
        EXPECT_EQ(tromel_player_mute_channel(player.get(), channel, 1), TROMEL_ERROR_ARGUMENT);
        EXPECT_EQ(tromel_player_channel_muted(player.get(), channel), TROMEL_ERROR_ARGUMENT);
    }
    EXPECT_EQ(tromel_player_mute_channel(nullptr, 0, 1), TROMEL_ERROR_ARGUMENT);
    EXPECT_EQ(tromel_player_channel_muted(nullptr, 0), TROMEL_ERROR_ARGUMENT);
    EXPECT_EQ(tromel_player_set_loops(player.get(), -2), TROMEL_ERROR_ARGUMENT);
    EXPECT_EQ(tromel_player_set_loops(nullptr, 1), TROMEL_ERROR_ARGUMENT);
    EXPECT_EQ(tromel_player_loops(nullptr), TROMEL_ERROR_ARGUMENT);
    EXPECT_EQ(tromel_player_sample_rate(nullptr), TROMEL_ERROR_ARGUMENT);
    EXPECT_EQ(tromel_player_finished(nullptr), 0);
    EXPECT_EQ(tromel_player_position(nullptr), 0.0);
    EXPECT_EQ(tromel_player_frame(nullptr), -1);
    EXPECT_EQ(tromel_player_step(nullptr), -1);
    tromel_player_free(nullptr);
    tromel_song_free(nullptr);
}

// What the library carries is the bank the generator wrote, value for value, and the levels it carries are
// those the engine makes from the files, bit for bit: every level that rates from 44,100 Hz up play.
TEST(Api, TheBankInsideIsTheGeneratedFiles) {
    EXPECT_EQ(bankFileCount, 128);
    EXPECT_EQ(audio::Voice::timingAt(44100).levels, bankLevelCount);
    EXPECT_EQ(audio::Voice::timingAt(48000).levels, bankLevelCount);
    for (int i = 0; i < bankFileCount; ++i) {
        const BankSample& file = bankFiles[i];
        SCOPED_TRACE(file.name);
        const audio::test::Wav wav = audio::test::readWav(fs::path(TROMEL_SAMPLE_DIR) / file.name);
        EXPECT_EQ(wav.info.samplerate, bankRate);
        ASSERT_EQ(wav.info.channels, 1);
        ASSERT_EQ(wav.frames.size(), static_cast<std::size_t>(file.frames));
        for (int32_t n = 0; n < file.frames; ++n)
            ASSERT_EQ(wav.frames[n], static_cast<float>(file.pcm[n]) / 32768.0f) << n;
        EXPECT_EQ(file.loop, file.name[0] == 'M');
        for (int level = 0; level < bankLevelCount; ++level) {
            SCOPED_TRACE(level);
            const audio::SampleLevel made = audio::buildSampleLevel(wav.frames, 1, file.loop, level);
            const BankLevel& carried = file.levels[level];
            ASSERT_EQ(carried.length, made.length);
            EXPECT_EQ(carried.framesPerSourceFrame, made.framesPerSourceFrame);
            ASSERT_EQ(made.data.size(), static_cast<std::size_t>(made.length + 2 * audio::SampleData::guardFrames));
            EXPECT_EQ(
                std::memcmp(tromelBankLevelValues + carried.offset, made.data.data(), made.data.size() * sizeof(float)),
                0);
        }
        // Players take the carried levels as they are; the others (lower rates' last levels, the other way of
        // playing) are made when asked for, here for one wave and one drum.
        const capi::LevelSet every = (capi::LevelSet{1} << audio::SampleData::mostLevels) - 1;
        const audio::SampleData* shared = capi::sharedSample(file.name, file.loop, every);
        ASSERT_NE(shared, nullptr);
        ASSERT_EQ(shared->levels.size(), static_cast<std::size_t>(audio::SampleData::mostLevels));
        for (int level = 0; level < bankLevelCount; ++level)
            EXPECT_EQ(shared->levels[level].values(), tromelBankLevelValues + file.levels[level].offset) << level;
        if (i != 0 && i != bankFileCount - 1)
            continue;
        for (int level = bankLevelCount; level < audio::SampleData::mostLevels; ++level)
            EXPECT_EQ(shared->levels[level].data, audio::buildSampleLevel(wav.frames, 1, file.loop, level).data);
        const audio::SampleData* otherWay = capi::sharedSample(file.name, !file.loop, 1);
        ASSERT_NE(otherWay, nullptr);
        const audio::SampleLevel madeOtherWay = audio::buildSampleLevel(wav.frames, 1, !file.loop, 0);
        EXPECT_EQ(otherWay->levels[0].builtIn, nullptr);
        EXPECT_EQ(otherWay->levels[0].data, madeOtherWay.data);
        EXPECT_EQ(otherWay->levels[0].length, madeOtherWay.length);
    }
}

// render may run in an audio callback: steps, notes, loop wraps, mutes and loops changed between calls, and
// the end of a finite play allocate nothing.
TEST(Api, RenderAllocatesNothing) {
#ifndef TROMEL_COUNT_MALLOC
    GTEST_SKIP() << "a sanitizer build keeps its own malloc";
#endif
    const SongHandle song = loadSong(audio::test::denseSong(0));
    const PlayerHandle player = playerOf(song.get(), 44100, 1);
    std::vector<float> buffer(2 * 4096);
    std::vector<int16_t> shorts(2 * 4096);
    allocations = 0;
    counting = true;
    for (int block = 0; block < 200; ++block) {
        tromel_player_mute_channel(player.get(), block % 16, block % 3 == 0);
        tromel_player_render(player.get(), buffer.data(), 1000 + block % 7 * 300);
        tromel_player_render_s16(player.get(), shorts.data(), 1500);
    }
    counting = false;
    EXPECT_EQ(tromel_player_finished(player.get()), 1);
    EXPECT_EQ(allocations.load(), 0);
    counting = true;
    std::vector<int> probe(10);  // the counting itself works
    counting = false;
    EXPECT_GT(allocations.load(), 0);
}

// Nor does it fault in a page of the bank the library carries: a new player maps what its song reads. A child
// process starts without its parent's mappings of the library's file, so its faults are counted there.
TEST(Api, RenderFaultsInNoPageOfTheBank) {
#ifndef TROMEL_COUNT_MALLOC
    GTEST_SKIP() << "a sanitizer's shadow memory has pages of its own to fault in";
#endif
    const SongHandle song = loadSong(audio::test::denseSong(0));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::vector<float> buffer(2 * 4096, 1.0f);  // written here, so its pages are the child's own
        tromel_player* player = tromel_player_new(song.get(), 44100, nullptr, 0);
        if (!player || tromel_player_set_loops(player, 0) != TROMEL_OK)
            _exit(255);
        tromel_player_render(player, buffer.data(), 1);
        rusage before{};
        rusage after{};
        getrusage(RUSAGE_SELF, &before);
        while (tromel_player_render(player, buffer.data(), 4096) == 4096) {
        }
        getrusage(RUSAGE_SELF, &after);
        _exit(static_cast<int>(std::min<long>(after.ru_minflt - before.ru_minflt + after.ru_majflt - before.ru_majflt,
                                              254)));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_LE(WEXITSTATUS(status), 2) << "pages faulted in while rendering";
}

}  // namespace
}  // namespace tromel::capi::test
