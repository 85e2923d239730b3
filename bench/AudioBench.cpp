// Sound engine speed: the mixer with sixteen voices, compiling large songs, rendering dense ones.
#include "audio/MixerAudioLayer.h"
#include "audio/mixer/KeyFrequency.h"
#include "audio/playback/SongCompiler.h"
#include "audio/playback/Transport.h"
#include "audio/samples/SampleLoader.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <limits>
#include <vector>

namespace {

using namespace tromel;
using namespace tromel::audio;

const std::filesystem::path sampleFolder = TROMEL_SAMPLE_DIR;

class QuietHost : public TransportHost {
public:
    void setProgressMaximum(int32_t) override {}
    void setProgress(int32_t) override {}
    void setStatusText(const std::string&) override {}
    void showChannelStatus() override {}
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

// All sixteen channels start a note on every step at 50 ms a step.
void RenderDenseSong(benchmark::State& state) {
    Song song = songOfNotes(16 * 400, 400, 400);
    song.tempo = 50;
    for (int ch = 0; ch < 8; ++ch) {
        song.instruments[ch].wave = static_cast<int16_t>(ch * 12);
        song.drums[ch].wave = static_cast<int16_t>(ch);
    }
    MixerAudioLayer layer;
    QuietHost host;
    Transport transport(layer, sampleFolder);
    transport.play(song, host);
    transport.finishPreparing(host);
    renderWhileTimed(state, layer, 4096);
}
BENCHMARK(RenderDenseSong);

}  // namespace
