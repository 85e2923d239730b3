// libtromel's speed: a seek anywhere in a ten-minute song, the first sound of a fresh process, rendering at
// 44.1 and 48 kHz.
#include "capi/tromel/tromel.h"
#include "song/OrgFile.h"

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

extern char** environ;

namespace {

using namespace tromel;

void place(Song& song, int channel, const NoteRec& note) {
    NoteTable& table = channel < 8 ? song.instrumentNotes : song.drumNotes;
    int32_t slot = 1;
    while (slot <= table.slotBound() && !table.at(channel % 8, slot).isEmpty())
        ++slot;
    table.grow(slot);
    table.at(channel % 8, slot) = note;
}

// Ten minutes without a repeat: 6000 steps of 100 ms, every channel busy, long notes among short ones.
Song tenMinuteSong() {
    Song song;
    song.tempo = 100;
    song.loopBegin = 0;
    song.loopEnd = 6000;
    std::mt19937 random(26);
    for (int k = 0; k < 8; ++k) {
        song.instruments[k].wave = static_cast<int16_t>(k * 12 + 3);
        song.drums[k].wave = static_cast<int16_t>(k);
    }
    for (int32_t p = 1; p <= 6000; ++p)
        for (int k = 0; k < 16; ++k)
            if (random() % (k < 8 ? 6 : 4) == 0) {
                const int32_t length = k < 8 ? 1 + static_cast<int32_t>(random() % 24) : 1;
                place(song, k, {p, 20 + static_cast<int32_t>(random() % 60), length, 6, 180});
            }
    return song;
}

// A song as songs go: 64 steps of 120 ms, each instrument within an octave and a half of its own root, each drum
// on a key of its own.
Song typicalSong() {
    Song song;
    song.tempo = 120;
    song.loopEnd = 64;
    std::mt19937 random(64);
    for (int k = 0; k < 8; ++k) {
        song.instruments[k].wave = static_cast<int16_t>(k * 12 + 3);
        song.drums[k].wave = static_cast<int16_t>(k);
    }
    for (int32_t p = 1; p <= 64; ++p)
        for (int k = 0; k < 16; ++k)
            if (random() % 3 == 0) {
                const int32_t key = k < 8 ? 30 + 4 * k + static_cast<int32_t>(random() % 18) : 48;
                place(song, k, {p, key, k < 8 ? 2 : 1, 6, 180});
            }
    return song;
}

struct Loaded {
    tromel_song* song;
    tromel_player* player;
    explicit Loaded(const Song& source, int rate = 44100) {
        const std::vector<uint8_t> bytes = writeOrgBytes(source);
        song = tromel_song_load(bytes.data(), bytes.size(), nullptr, 0);
        player = tromel_player_new(song, rate, nullptr, 0);
    }
    ~Loaded() {
        tromel_player_free(player);
        tromel_song_free(song);
    }
};

void CapiSeekTenMinuteSong(benchmark::State& state) {
    const Loaded loaded(tenMinuteSong());
    std::mt19937 random(7);
    for (auto _ : state)
        tromel_player_seek(loaded.player, std::uniform_real_distribution<double>(0.0, 600.0)(random));
}
BENCHMARK(CapiSeekTenMinuteSong)->Unit(benchmark::kMillisecond);

void CapiSeekTenMinuteSongEnd(benchmark::State& state) {
    const Loaded loaded(tenMinuteSong());
    for (auto _ : state)
        tromel_player_seek(loaded.player, 599.9);
}
BENCHMARK(CapiSeekTenMinuteSongEnd)->Unit(benchmark::kMillisecond);

// A fresh process a run: loading the library, the song, preparing what it plays and rendering 4096 frames.
void CapiFirstFramesFreshProcess(benchmark::State& state) {
    const std::filesystem::path song = std::filesystem::temp_directory_path() / "tromel-bench-first-frames.org";
    saveOrgFile(typicalSong(), song);
    std::string program = TROMEL_FIRST_FRAMES;
    std::string path = song.string();
    char* argv[] = {program.data(), path.data(), nullptr};
    // The whole process is the benchmark's time; the library's own share, as the child measures it, counters.
    double libraryNanoseconds = 0.0;
    double libraryCpuNanoseconds = 0.0;
    for (auto _ : state) {
        int output[2];
        if (pipe(output) != 0) {
            state.SkipWithError("no pipe");
            break;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, output[1], 1);
        posix_spawn_file_actions_addclose(&actions, output[0]);
        pid_t child = 0;
        const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(output[1]);
        char text[32] = {};
        std::size_t got = 0;
        while (spawned == 0 && got < sizeof text - 1) {
            const ssize_t n = read(output[0], text + got, sizeof text - 1 - got);
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        close(output[0]);
        if (spawned != 0) {
            state.SkipWithError("cannot start tromel_first_frames");
            break;
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("tromel_first_frames failed");
            break;
        }
        char* cpu = nullptr;
        libraryNanoseconds += std::strtod(text, &cpu);
        libraryCpuNanoseconds += std::strtod(cpu, nullptr);
    }
    const double runs = static_cast<double>(std::max<int64_t>(1, state.iterations()));
    state.counters["library_ms"] = benchmark::Counter(libraryNanoseconds / 1e6 / runs);
    state.counters["library_cpu_ms"] = benchmark::Counter(libraryCpuNanoseconds / 1e6 / runs);
}
BENCHMARK(CapiFirstFramesFreshProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

// Seconds of sound a second of work, at each rate, rendered in 1024-frame blocks.
void CapiRender(benchmark::State& state) {
    const int rate = static_cast<int>(state.range(0));
    Song source = tenMinuteSong();
    const Loaded loaded(source, rate);
    std::vector<float> buffer(2 * 1024);
    int64_t frames = 0;
    for (auto _ : state) {
        tromel_player_render(loaded.player, buffer.data(), 1024);
        benchmark::DoNotOptimize(buffer.data());
        frames += 1024;
    }
    state.counters["x_realtime"] = benchmark::Counter(static_cast<double>(frames) / rate, benchmark::Counter::kIsRate);
}
BENCHMARK(CapiRender)->Arg(44100)->Arg(48000);

}  // namespace
