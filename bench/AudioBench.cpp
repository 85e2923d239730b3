// Sound engine speed: the mixer with sixteen voices, compiling large songs, rendering dense ones.
#include "audio/MixerAudioLayer.h"
#include "audio/mixer/KeyFrequency.h"
#include "audio/playback/SongCompiler.h"
#include "audio/playback/Transport.h"
#include "audio/samples/SampleLoader.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>
#include <limits>
#include <vector>

namespace {

using namespace tromel;
using namespace tromel::audio;

const std::filesystem::path sampleFolder = TROMEL_SAMPLE_DIR;

class QuietHost : public TransportHost {
public:
    void showAudioError(const std::string&) override {}
    void showPlayRefusal(const std::string&) override {}
};

// Reported as seconds of sound per second of work: the "times real time" figure.
void countRealTime(benchmark::State& state, int64_t frames) {
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(frames) / outputRate, benchmark::Counter::kIsRate);
}

// Renders in device-sized chunks for as long as the benchmark runs.
void renderWhileTimed(benchmark::State& state, MixerAudioLayer& layer, int chunk) {
    std::vector<float> buffer(2 * static_cast<std::size_t>(chunk));
    int64_t frames = 0;
    for (auto _ : state) {
        layer.renderFrames(buffer.data(), chunk);
        benchmark::DoNotOptimize(buffer.data());
        frames += chunk;
    }
    countRealTime(state, frames);
}

void MixerSixteenVoices(benchmark::State& state) {
    MixerAudioLayer layer;
    for (int i = 0; i < 16; ++i) {
        const bool drum = i >= 8;
        const Handle sample = layer.loadSample(sampleFolder / sampleFileName(drum, drum ? 7 : i * 9), !drum, 50);
        const Handle channel = layer.channelFromSample(sample);
        layer.setChannelLooping(channel, true);  // drums too, so all sixteen sound throughout
        layer.setChannelAttributes(channel, keyToFrequency(30 + i * 4), 200, (i % 5) * 40 - 80);
        layer.playChannel(channel);
    }
    renderWhileTimed(state, layer, 512);
}
BENCHMARK(MixerSixteenVoices);

Song songOfNotes(int32_t notes, int32_t positions, int32_t loopEnd) {
    Song song;
    song.loopEnd = loopEnd;
    const int32_t perChannel = notes / 16;
    song.instrumentNotes.grow(perChannel);
    song.drumNotes.grow(perChannel);
    for (int32_t i = 0; i < perChannel; ++i)
        for (int ch = 0; ch < 8; ++ch) {
            const int32_t position = 1 + (i * 7 + ch) % positions;
            song.instrumentNotes.at(ch, i + 1) = {position, 30 + (i + ch) % 40, 2, 6, 180};
            song.drumNotes.at(ch, i + 1) = {position, 50 + ch, 1, 6, 150};
        }
    return song;
}

// 10^5 notes, loop end 10^3 or 2^31 - 1: the time must not follow the loop end.
void CompileHundredThousandNotes(benchmark::State& state) {
    const Song song = songOfNotes(100000, 1000, static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        CompiledSong compiled;
        compileEvents(song, compiled);
        benchmark::DoNotOptimize(compiled.events.data());
    }
}
BENCHMARK(CompileHundredThousandNotes)
    ->Arg(1000)
    ->Arg(std::numeric_limits<int32_t>::max())
    ->Unit(benchmark::kMillisecond);

// Reading and preparing the whole bank, 100 waves and 12 drums: the most any first Play waits
// for (a song uses 16 of them, each prepared once and kept).
void PrepareSampleBank(benchmark::State& state) {
    for (auto _ : state)
        for (const bool drum : {false, true})
            for (int number = 0; number < (drum ? 12 : 100); ++number) {
                const SampleLoad load = loadSampleFile(sampleFolder / sampleFileName(drum, number), !drum);
                benchmark::DoNotOptimize(load.sample.get());
            }
}
BENCHMARK(PrepareSampleBank)->Unit(benchmark::kMillisecond);

// All sixteen channels start a note on every step at 50 ms a step, playing at `rate`.
struct DensePlay {
    MixerAudioLayer layer;
    QuietHost host;
    Transport transport;

    explicit DensePlay(int rate) : layer(rate), transport(layer, sampleFolder) {
        Song song = songOfNotes(16 * 400, 400, 400);
        song.tempo = 50;
        for (int ch = 0; ch < 8; ++ch) {
            song.instruments[ch].wave = static_cast<int16_t>(ch * 12);
            song.drums[ch].wave = static_cast<int16_t>(ch);
        }
        transport.play(song, host);
        transport.finishPreparing(host);
    }
};

void RenderDenseSong(benchmark::State& state) {
    DensePlay play(outputRate);
    renderWhileTimed(state, play.layer, 4096);
}
BENCHMARK(RenderDenseSong);

// This thread's processor time in seconds: on a busy machine, what the work itself took.
double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The dense song at 44100 and at 48000 Hz in turns, in one run. A frame costs the same at any
// rate, so 48000 Hz must play at least 44100/48000 times as many seconds of sound a second.
void RenderDenseSongAt48000(benchmark::State& state) {
    DensePlay plays[2] = {DensePlay(outputRate), DensePlay(48000)};
    std::vector<float> buffer(2 * 4096);
    for (DensePlay& play : plays)  // every sample touched once before the clock runs
        for (int i = 0; i < 16; ++i)
            play.layer.renderFrames(buffer.data(), 4096);
    double seconds[2] = {};
    int64_t frames[2] = {};
    for (auto _ : state)
        for (int i = 0; i < 2; ++i) {
            const double begin = threadSeconds();
            plays[i].layer.renderFrames(buffer.data(), 4096);
            benchmark::DoNotOptimize(buffer.data());
            seconds[i] += threadSeconds() - begin;
            frames[i] += 4096;
        }
    const double realTime44100 = static_cast<double>(frames[0]) / outputRate / seconds[0];
    const double realTime48000 = static_cast<double>(frames[1]) / 48000.0 / seconds[1];
    const double floor = static_cast<double>(outputRate) / 48000.0;
    state.counters["x_realtime_44100"] = realTime44100;
    state.counters["x_realtime_48000"] = realTime48000;
    state.counters["speed_ratio"] = realTime48000 / realTime44100;
    state.counters["floor"] = floor;
    // The first, short trials measure too little to judge by.
    if (state.iterations() >= 1000 && realTime48000 < floor * realTime44100)
        state.SkipWithError("48000 Hz renders slower than 44100/48000 of 44100 Hz");
}
BENCHMARK(RenderDenseSongAt48000)->Unit(benchmark::kMillisecond);

}  // namespace
