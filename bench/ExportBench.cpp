// Export speed: a dense three-minute song into every format, in CPU time of the whole process.
#include "audio/AudioLayer.h"
#include "audio/render/OfflineRender.h"

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>

namespace {

using namespace tromel;
using namespace tromel::audio;

// All sixteen channels start a note on every step at 50 ms a step: a 400-step loop of 20 s,
// played once and then eight times more, three minutes.
Song denseThreeMinutes() {
    Song song;
    song.tempo = 50;
    song.loopEnd = 400;
    song.instrumentNotes.grow(400);
    song.drumNotes.grow(400);
    for (int32_t step = 0; step < 400; ++step)
        for (int ch = 0; ch < 8; ++ch) {
            song.instrumentNotes.at(ch, step + 1) = {step + 1, 30 + (step + ch) % 40, 2, 6, 180};
            song.drumNotes.at(ch, step + 1) = {step + 1, 50 + ch, 1, 6, 150};
        }
    for (int ch = 0; ch < 8; ++ch) {
        song.instruments[ch].wave = static_cast<int16_t>(ch * 12);
        song.drums[ch].wave = static_cast<int16_t>(ch);
    }
    return song;
}

// Arguments: the format, then a loudness target (0: as mixed).
void ExportDenseSong(benchmark::State& state) {
    static const Song song = denseThreeMinutes();
    const auto& info = exchange::audioFormats[static_cast<std::size_t>(state.range(0))];
    RenderRequest request;
    request.sampleFolder = TROMEL_SAMPLE_DIR;
    request.output =
        std::filesystem::temp_directory_path() / ("tromel-bench-" + std::to_string(getpid()) + "." + info.extension);
    request.encoding.format = info.format;
    request.loops = 8;
    if (state.range(1) != 0)
        request.loudness = static_cast<double>(state.range(1));
    const int64_t frames = std::get<int64_t>(renderLength(song, request));
    for (auto _ : state)
        if (!renderSong(song, request).written())
            state.SkipWithError("the export failed");
    std::filesystem::remove(request.output);
    state.SetLabel(std::string(info.name) + (state.range(1) != 0 ? " normalised" : ""));
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(frames) * state.iterations() / outputRate, benchmark::Counter::kIsRate);
}
BENCHMARK(ExportDenseSong)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5, 6}, {0}})
    ->Args({0, -14})
    ->MeasureProcessCPUTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

}  // namespace
