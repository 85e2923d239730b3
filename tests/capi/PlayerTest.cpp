// The library plays as the command line renders: equal output, loops, seeks, mutes, 16-bit values.
#include "../core/audio/AudioTestKit.h"
#include "CapiTestKit.h"
#include "song/OrgFile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>

namespace tromel::capi::test {
namespace {

namespace fs = std::filesystem;

constexpr float sixtyDecibelsDown = 0.001f;

// What `tromel-cli render --format float --loops N` writes for the song.
std::vector<float> cliRender(const Song& song, int loops, const std::string& name) {
    const fs::path folder = audio::test::scratchFolder("capi-" + name);
    const fs::path songFile = folder / "song.org";
    const fs::path wav = folder / "out.wav";
    EXPECT_TRUE(saveOrgFile(song, songFile).ok);
    const std::string command = std::string("'") + TROMEL_CLI_PATH + "' render '" + songFile.string() + "' '" +
                                wav.string() + "' --format float --loops " + std::to_string(loops);
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return audio::test::readWav(wav).frames;
}

// The editor, the command line and the library run one engine: with N loops the output is the command
// line's render, sample for sample and frame for frame, and then the player is finished.
TEST(Player, EqualsTheCommandLineRenderAndEndsWithIt) {
    struct Case {
        Song song;
        int loops;
        const char* name;
    };
    const Case cases[] = {{audio::test::denseSong(0), 1, "dense0"},
                          {audio::test::denseSong(2), 0, "dense2"},
                          {longNoteSong(), 2, "long"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<float> expected = cliRender(c.song, c.loops, c.name);
        const SongHandle song = loadSong(c.song);
        const PlayerHandle player = playerOf(song.get(), 44100, c.loops);
        const int32_t steps = c.song.loopEnd + c.loops * (c.song.loopEnd - c.song.loopBegin);
        const std::size_t length = static_cast<std::size_t>(std::floor(steps * c.song.tempo * 44.1));
        EXPECT_DOUBLE_EQ(tromel_song_duration(song.get(), c.loops), steps * c.song.tempo / 1000.0);
        const std::vector<float> rendered = renderFrames(player.get(), length + 5000);
        ASSERT_EQ(rendered.size(), 2 * length);
        ASSERT_EQ(expected.size(), rendered.size());
        EXPECT_EQ(largestDifference(expected.data(), rendered.data(), expected.size()), 0.0f);
        EXPECT_EQ(tromel_player_finished(player.get()), 1);
        float spare[8];
        EXPECT_EQ(tromel_player_render(player.get(), spare, 4), 0u);
        EXPECT_EQ(tromel_player_frame(player.get()), static_cast<int64_t>(length));
    }
}

// A seek rebuilds what a play from the start has at the target: inside long notes, just before and after the
// loop wraps, and far into the loop's passes, the output follows a continuous render within -60 dBFS.
TEST(Player, SeekSoundsAsAPlayFromTheStart) {
    const Song source = longNoteSong();
    const SongHandle song = loadSong(source);
    const PlayerHandle continuous = playerOf(song.get());
    const std::size_t total = 44100 * 30;
    const std::vector<float> whole = renderFrames(continuous.get(), total);
    const double pass = source.loopEnd * source.tempo / 1000.0;
    // 14 s: the third pass, far enough to be taken back by whole passes, but not into the first (whose
    // opening note still sounds in the loop); 25 s: taken back two passes.
    const double targets[] = {0.0, 0.05, 1.234, 3.0, pass - 0.01, pass + 0.002, pass + 4.5, 14.0, 17.77, 25.0};
    const PlayerHandle player = playerOf(song.get());
    for (double seconds : targets) {
        SCOPED_TRACE(seconds);
        ASSERT_EQ(tromel_player_seek(player.get(), seconds), TROMEL_OK);
        const int64_t frame = tromel_player_frame(player.get());
        EXPECT_EQ(frame, std::llround(seconds * 44100));
        EXPECT_DOUBLE_EQ(tromel_player_position(player.get()), static_cast<double>(frame) / 44100);
        const std::size_t frames = 44100 * 2;
        const std::vector<float> after = renderFrames(player.get(), frames);
        const float difference = largestDifference(whole.data() + 2 * frame, after.data(), after.size());
        EXPECT_LT(difference, sixtyDecibelsDown);
        if (seconds <= 0.2) {  // near the start a seek renders from it
            EXPECT_EQ(difference, 0.0f);
        }
    }
}

// The step last heard follows the frames rendered, loop passes counted.
TEST(Player, CountsTheStepsHeardAlongTheTimeline) {
    const Song source = longNoteSong();  // 100 ms a step: 4410 frames
    const SongHandle song = loadSong(source);
    const PlayerHandle player = playerOf(song.get());
    EXPECT_EQ(tromel_player_step(player.get()), -1);
    renderFrames(player.get(), 1);
    EXPECT_EQ(tromel_player_step(player.get()), 0);
    renderFrames(player.get(), 4409);
    EXPECT_EQ(tromel_player_step(player.get()), 0);
    renderFrames(player.get(), 1);
    EXPECT_EQ(tromel_player_step(player.get()), 1);
    ASSERT_EQ(tromel_player_seek(player.get(), 100 * 0.1), TROMEL_OK);  // step 100: the second pass
    EXPECT_EQ(tromel_player_step(player.get()), 99);
}

// A finite play ends where its loops end, also when they change while it plays or a seek passes the end;
// a seek back or set_loops(-1) plays on.
TEST(Player, EndsAfterTheLoopsAskedFor) {
    const Song source = longNoteSong();
    const SongHandle song = loadSong(source);
    const PlayerHandle player = playerOf(song.get(), 44100, 0);
    const std::size_t pass = 72 * 4410;
    EXPECT_EQ(renderFrames(player.get(), pass + 100).size(), 2 * pass);
    EXPECT_EQ(tromel_player_finished(player.get()), 1);
    ASSERT_EQ(tromel_player_set_loops(player.get(), 1), TROMEL_OK);
    EXPECT_EQ(tromel_player_finished(player.get()), 0);
    EXPECT_EQ(renderFrames(player.get(), pass).size(), 2 * 64 * 4410);
    EXPECT_EQ(tromel_player_finished(player.get()), 1);
    ASSERT_EQ(tromel_player_seek(player.get(), 1000.0), TROMEL_OK);
    EXPECT_EQ(tromel_player_finished(player.get()), 1);
    ASSERT_EQ(tromel_player_seek(player.get(), 0.0), TROMEL_OK);
    EXPECT_EQ(tromel_player_finished(player.get()), 0);
    ASSERT_EQ(tromel_player_set_loops(player.get(), -1), TROMEL_OK);
    EXPECT_EQ(tromel_player_loops(player.get()), -1);
    ASSERT_EQ(tromel_player_seek(player.get(), 1000.0), TROMEL_OK);
    EXPECT_EQ(renderFrames(player.get(), 1000).size(), 2000u);
    EXPECT_EQ(tromel_player_finished(player.get()), 0);
}

// 16-bit output is the float output times 32767, rounded and clamped, no dither.
TEST(Player, SixteenBitValuesAreTheFloatsRounded) {
    const SongHandle song = loadSong(audio::test::denseSong(1));
    const PlayerHandle floats = playerOf(song.get());
    const PlayerHandle shorts = playerOf(song.get());
    const std::size_t frames = 44100 * 2;
    const std::vector<float> expected = renderFrames(floats.get(), frames);
    std::vector<int16_t> got(2 * frames);
    ASSERT_EQ(tromel_player_render_s16(shorts.get(), got.data(), 3000), 3000u);
    ASSERT_EQ(tromel_player_render_s16(shorts.get(), got.data() + 6000, frames - 3000), frames - 3000);
    int exact = 0;
    for (std::size_t i = 0; i < got.size(); ++i) {
        const long rounded = std::lround(std::clamp(expected[i] * 32767.0f, -32768.0f, 32767.0f));
        ASSERT_EQ(got[i], rounded) << i;
        exact += got[i] != 0;
    }
    EXPECT_GT(exact, 1000);
}

// Mute fades the sounding note within a few milliseconds (after the limiter's look-ahead) and skips the
// channel's later notes; unmuted, its next note sounds as in a play never muted.
TEST(Player, MuteFadesAndUnmuteLetsTheNextNoteSound) {
    Song source;
    source.tempo = 100;
    source.loopEnd = 64;
    source.instruments[0].wave = 30;
    for (int32_t p = 1; p <= 64; p += 8)
        audio::test::addNote(source, 0, {p, 40, 6, 6, 200});
    const SongHandle song = loadSong(source);
    const PlayerHandle plain = playerOf(song.get());
    const PlayerHandle muted = playerOf(song.get());
    const std::vector<float> whole = renderFrames(plain.get(), 44100 * 4);
    const std::size_t before = 2000;  // inside the first note
    renderFrames(muted.get(), before);
    ASSERT_EQ(tromel_player_mute_channel(muted.get(), 0, 1), TROMEL_OK);
    EXPECT_EQ(tromel_player_channel_muted(muted.get(), 0), 1);
    EXPECT_EQ(tromel_player_channel_muted(muted.get(), 1), 0);
    // Up to just before step 16: the mixer, a look-ahead ahead of the output, has not reached it yet.
    const std::size_t unmuteAt = 16 * 4410 - 400;
    const std::vector<float> faded = renderFrames(muted.get(), unmuteAt - before);
    const std::size_t quiet = 128 + 88 + 128;  // look-ahead, the fade, the DC blocker's drain
    float loudestAfter = 0.0f;
    for (std::size_t i = 2 * quiet; i < faded.size(); ++i)
        loudestAfter = std::max(loudestAfter, std::abs(faded[i]));
    EXPECT_EQ(loudestAfter, 0.0f);  // the note at step 8 never started either
    EXPECT_GT(std::abs(faded[2 * 100]), 0.01f);
    ASSERT_EQ(tromel_player_mute_channel(muted.get(), 0, 0), TROMEL_OK);
    const std::vector<float> back = renderFrames(muted.get(), 8 * 4410);
    const std::size_t settled = 800;  // past the note's start and the DC blocker's difference
    EXPECT_LT(largestDifference(whole.data() + 2 * unmuteAt + settled, back.data() + settled, back.size() - settled),
              sixtyDecibelsDown);
    EXPECT_GT(largestDifference(back.data(), std::vector<float>(back.size()).data(), back.size()), 0.05f);
}

// Players made and rendered on several threads at once share the prepared samples; mutes and loops are set
// from another thread while one renders. (The thread sanitizer's build runs this too.)
TEST(Player, ThreadsShareSamplesAndSetMutesWhileOneRenders) {
    const SongHandle song = loadSong(audio::test::denseSong(3));
    std::vector<std::vector<float>> outputs(3);
    std::vector<std::thread> players;
    for (auto& output : outputs)
        players.emplace_back([&song, &output] {
            const PlayerHandle player = playerOf(song.get());
            output = renderFrames(player.get(), 20000);
        });
    for (auto& thread : players)
        thread.join();
    EXPECT_EQ(outputs[0], outputs[1]);
    EXPECT_EQ(outputs[0], outputs[2]);

    const PlayerHandle player = playerOf(song.get());
    std::atomic<bool> done{false};
    std::thread other([&] {
        for (int i = 0; !done.load(); ++i) {
            tromel_player_mute_channel(player.get(), i % 16, i % 2);
            tromel_player_set_loops(player.get(), i % 3 == 0 ? -1 : 5);
        }
    });
    const std::vector<float> rendered = renderFrames(player.get(), 44100);
    done = true;
    other.join();
    EXPECT_EQ(rendered.size(), 2 * 44100u);
}

}  // namespace
}  // namespace tromel::capi::test
