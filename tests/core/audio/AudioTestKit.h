// Helpers for the sound tests: songs, sample files, a recording host, rendering and signal analysis.
#pragma once

#include "audio/MixerAudioLayer.h"
#include "audio/playback/Transport.h"

#include <sndfile.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace tromel::audio::test {

namespace fs = std::filesystem;

// A song with notes placed by song channel (0..7 instruments, 8..15 drums), each in the first free
// slot of its channel.
Song songWith(std::initializer_list<std::pair<int, NoteRec>> notes, int32_t loopEnd = 1600, int32_t tempo = 128);
void addNote(Song& song, int channel, const NoteRec& note);

// Dense songs of our own, sixteen busy channels at loud volumes with drums on every step, 64
// steps: 0 an ordinary dense song, 1 every channel on every step at full volume, 2 fast with
// pulses, 3 slow.
constexpr int denseSongCount = 4;
Song denseSong(int variant);

fs::path scratchFolder(const std::string& name);

struct Wav {
    SF_INFO info{};
    std::vector<float> frames;  // interleaved when stereo
};
void writeWav(const fs::path& path, const std::vector<float>& frames, int channels, int rate, int format);
Wav readWav(const fs::path& path);

// A sample folder whose M01.wav is a steady looped level of 0.5 and whose D01.wav is a short
// burst of the same level, so onsets and cuts show as plain steps.
fs::path steadySampleFolder();

// Records what a compile shows the user.
class RecordingHost : public TransportHost {
public:
    void samplesPreparing(int32_t total) override { log.push_back("preparing " + std::to_string(total)); }
    void samplesPrepared(int32_t done) override { log.push_back("prepared " + std::to_string(done)); }
    void songCompiled(int32_t steps) override { log.push_back("compiled " + std::to_string(steps)); }
    void preparationEnded() override { log.push_back("ended"); }
    void showAudioError(const std::string& text) override { log.push_back("error " + text); }
    void showPlayRefusal(const std::string& reason) override { log.push_back("refused " + reason); }
    std::vector<std::string> log;
};

// One channel on a layer of its own, at `rate` frames a second.
struct SoloVoice {
    MixerAudioLayer layer;
    Handle channel;

    SoloVoice(const fs::path& path, bool loop, int rate = outputRate);
    // Plays from the start and returns the next `frames` frames.
    std::vector<float> play(int frequency, int frames, int volume = largestVolume, int pan = 0);
};

// Renders frames in uneven pieces (so steps fall inside buffers) and returns interleaved stereo,
// from the moment of the call: the mixer's latency is rendered first and dropped, so what the
// calls before posted is heard from frame 0 on.
std::vector<float> render(MixerAudioLayer& layer, int frames, int piece = 333);
// Frames at which the left side of interleaved stereo rises from silence.
std::vector<int64_t> onsets(const std::vector<float>& stereo);
// The left side of interleaved stereo, from frame `first` on.
std::vector<float> leftOf(const std::vector<float>& stereo, std::size_t first = 0);
// The mean frequency in Hz of a sine at `rate` frames a second, from its first to its last rising
// zero crossing (each placed between its two frames).
double pitchOf(const std::vector<float>& mono, int rate);

// Power of the harmonics of f0 below the output's Nyquist frequency over the power of all else
// (the aliases and images), in dB.
double harmonicToRestDb(const std::vector<float>& mono, double f0);
// The energy above `hz` in `size` samples (a power of two) from `first` on, Hann-windowed, in dB
// (0 dB: a full-scale sine's).
double energyAboveDb(const std::vector<float>& mono, std::size_t first, std::size_t size, double hz);
double rmsOf(const std::vector<float>& mono);
// The largest difference between neighbouring samples from `first` on.
float largestStep(const std::vector<float>& mono, std::size_t first = 0);

}  // namespace tromel::audio::test
