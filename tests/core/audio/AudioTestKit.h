// Helpers for the sound tests: sample files, a recording host, rendering and signal analysis.
#pragma once

#include "audio/MixerAudioLayer.h"
#include "audio/Transport.h"

#include <complex>
#include <filesystem>
#include <string>
#include <vector>

namespace tromel::audio::test {

namespace fs = std::filesystem;

// A fresh folder under the test temp dir.
fs::path scratchFolder(const std::string& name);

// Writes a WAV file; frames are interleaved when channels is 2. format: SF_FORMAT_PCM_16 etc.
void writeWav(const fs::path& path, const std::vector<float>& frames, int channels, int rate, int format);

// A sample folder whose M01.wav is a steady looped level and whose D01.wav is a short burst
// of the same level, so onsets and cuts show as plain steps.
fs::path steadySampleFolder(float level = 0.5f);

// Records what a compile shows the user.
class RecordingHost : public TransportHost {
public:
    void setProgressMaximum(int32_t maximum) override { log.push_back("max " + std::to_string(maximum)); }
    void setProgress(int32_t value) override { log.push_back("progress " + std::to_string(value)); }
    void setStatusText(const std::string& text) override { log.push_back("status " + text); }
    void showChannelStatus() override { log.push_back("channels"); }
    void showAudioError(const std::string& text) override { log.push_back("error " + text); }
    void showPlayRefusal(const std::string& reason) override { log.push_back("refused " + reason); }
    std::vector<std::string> log;
};

// Renders frames in uneven pieces (so steps fall inside buffers) and returns interleaved stereo.
std::vector<float> render(MixerAudioLayer& layer, int frames, int piece = 333);
std::vector<float> leftOf(const std::vector<float>& stereo);
std::vector<float> rightOf(const std::vector<float>& stereo);

// The frequency of the strongest component near `guess` (Hz), to a small fraction of a cent.
double measureFrequency(const std::vector<float>& mono, double guess);
// Power of the harmonics of f0 below the output's Nyquist frequency over the power of all else
// (the aliases and images), in dB.
double harmonicToRestDb(const std::vector<float>& mono, double f0);
// The largest difference between neighbouring samples in [first, last).
float largestStep(const std::vector<float>& mono, std::size_t first, std::size_t last);

double cents(double measured, double expected);

}  // namespace tromel::audio::test
