// Playing notes in: how long from a key or MIDI event to the first frame that sounds.
#include "audio/MixerAudioLayer.h"
#include "audio/midi/MidiNoteRouter.h"
#include "audio/mixer/Mixer.h"
#include "audio/playback/LiveChannel.h"
#include "audio/playback/NotePreview.h"

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>
#include <vector>

namespace {

using namespace tromel;
using namespace tromel::audio;

const std::filesystem::path sampleFolder = TROMEL_SAMPLE_DIR;
constexpr int block = 512;  // the frames the editor asks the sound device to take at a time

// Renders device blocks after an event until a frame is not silent (not exactly 0); returns the
// frames from the start of the first block to that frame. An event lands anywhere in the block
// playing when it comes, so it waits up to one block more for the next: the figure adds that.
int framesToSound(MixerAudioLayer& layer) {
    std::vector<float> out(2 * block);
    for (int rendered = 0; rendered < 16 * block; rendered += block) {
        layer.renderFrames(out.data(), block);
        for (int i = 0; i < block; ++i)
            if (out[2 * static_cast<std::size_t>(i)] != 0.0f)
                return rendered + i;
    }
    return -1;
}

// Renders until the last note has faded and the output is still again.
void quieten(MixerAudioLayer& layer) {
    std::vector<float> out(2 * block);
    for (int i = 0; i < 32; ++i)
        layer.renderFrames(out.data(), block);
}

void report(benchmark::State& state, int worst) {
    state.counters["frames_after_block"] = worst;
    state.counters["worst_frames"] = worst + block;
    state.counters["worst_ms"] = (worst + block) * 1000.0 / outputRate;
    state.counters["bound_frames"] = block + PeakLimiter::lookAheadFrames;
    if (worst < 0 || worst > PeakLimiter::lookAheadFrames)
        state.SkipWithError("a note took longer than one block and the limiter's look-ahead");
}

// A MIDI note-on on a receiving thread, through the live queue.
void MidiNoteToSound(benchmark::State& state) {
    MixerAudioLayer layer;
    LiveChannel live(layer, sampleFolder);
    live.want(false, 0);
    while (live.channel() == 0 && live.isWaiting()) {
        live.proceed();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    MidiNoteRouter router(layer);
    router.setSound({live.channel(), false, 6});
    int worst = 0;
    for (auto _ : state) {
        const std::array<uint8_t, 3> on{0x90, 69, 100};
        router.receive(on.data(), on.size(), 0);
        worst = std::max(worst, framesToSound(layer));
        const std::array<uint8_t, 3> off{0x80, 69, 0};
        router.receive(off.data(), off.size(), 0);
        quieten(layer);
        for (PlayedNote note; router.takePlayed(note);) {
        }
    }
    report(state, worst);
}
BENCHMARK(MidiNoteToSound)->Unit(benchmark::kMicrosecond);

// A key of the keyboard piano, through the preview on the user-interface thread.
void PianoKeyToSound(benchmark::State& state) {
    MixerAudioLayer layer;
    NotePreview preview(layer, sampleFolder);
    Song song;
    const NoteRec note{1, 96 - 57, 1, 6, 200};
    while (preview.start(song, 0, 0, note) == 0 && preview.isWaiting()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (preview.proceed() > 0)
            break;
    }
    preview.stop();
    quieten(layer);
    int worst = 0;
    for (auto _ : state) {
        preview.start(song, 0, 0, note);
        worst = std::max(worst, framesToSound(layer));
        preview.stop();
        quieten(layer);
    }
    report(state, worst);
}
BENCHMARK(PianoKeyToSound)->Unit(benchmark::kMicrosecond);

}  // namespace
