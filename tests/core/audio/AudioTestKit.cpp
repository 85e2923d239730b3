// Helpers for the sound tests: songs, sample files, a recording host, rendering and signal analysis.
#include "AudioTestKit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <numeric>

namespace tromel::audio::test {

namespace {

constexpr double twoPi = 2.0 * std::numbers::pi;

double windowedMagnitude(const std::vector<float>& mono, double frequency) {
    std::complex<double> sum = 0.0;
    const std::size_t n = mono.size();
    for (std::size_t i = 0; i < n; ++i) {
        const double window = 0.5 - 0.5 * std::cos(twoPi * i / (n - 1));
        sum += window * mono[i] * std::polar(1.0, -twoPi * frequency * i / outputRate);
    }
    return std::abs(sum);
}

// In place, radix 2; the size is a power of two.
void fourierTransform(std::vector<std::complex<double>>& values) {
    const std::size_t n = values.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(values[i], values[j]);
    }
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const std::complex<double> turn = std::polar(1.0, -twoPi / static_cast<double>(length));
        for (std::size_t start = 0; start < n; start += length) {
            std::complex<double> w = 1.0;
            for (std::size_t k = 0; k < length / 2; ++k, w *= turn) {
                const std::complex<double> even = values[start + k];
                const std::complex<double> odd = values[start + k + length / 2] * w;
                values[start + k] = even + odd;
                values[start + k + length / 2] = even - odd;
            }
        }
    }
}

}  // namespace

Song songWith(std::initializer_list<std::pair<int, NoteRec>> notes, int32_t loopEnd, int32_t tempo) {
    Song song;
    song.loopEnd = loopEnd;
    song.tempo = tempo;
    int32_t used[16] = {};
    for (const auto& [channel, note] : notes) {
        NoteTable& table = channel < 8 ? song.instrumentNotes : song.drumNotes;
        table.grow(++used[channel]);
        table.at(channel % 8, used[channel]) = note;
    }
    return song;
}

fs::path scratchFolder(const std::string& name) {
    const fs::path path = fs::path(testing::TempDir()) / ("tromel-sound-" + name);
    fs::remove_all(path);
    fs::create_directories(path);
    return path;
}

void writeWav(const fs::path& path, const std::vector<float>& frames, int channels, int rate, int format) {
    SF_INFO info{0, rate, channels, SF_FORMAT_WAV | format, 0, 0};
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    sf_writef_float(file, frames.data(), static_cast<sf_count_t>(frames.size() / channels));
    sf_close(file);
}

Wav readWav(const fs::path& path) {
    Wav wav;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &wav.info);
    if (!file)
        return wav;
    wav.frames.resize(static_cast<std::size_t>(wav.info.frames * wav.info.channels));
    sf_readf_float(file, wav.frames.data(), wav.info.frames);
    sf_close(file);
    return wav;
}

fs::path steadySampleFolder(float level) {
    const fs::path folder = scratchFolder("steady");
    writeWav(folder / "M01.wav", std::vector<float>(64, level), 1, 22050, SF_FORMAT_FLOAT);
    writeWav(folder / "D01.wav", std::vector<float>(2205, level), 1, 22050, SF_FORMAT_FLOAT);
    return folder;
}

std::vector<float> render(MixerAudioLayer& layer, int frames, int piece) {
    std::vector<float> out(2 * static_cast<std::size_t>(std::max(frames, Mixer::latencyFrames)));
    layer.renderFrames(out.data(), Mixer::latencyFrames);
    out.resize(2 * static_cast<std::size_t>(frames));
    for (int done = 0; done < frames; done += piece)
        layer.renderFrames(out.data() + 2 * static_cast<std::size_t>(done), std::min(piece, frames - done));
    return out;
}

SoloVoice::SoloVoice(const fs::path& path, bool loop)
    : channel(layer.channelFromSample(layer.loadSample(path, loop, samplesMaxPlaybacks))) {}

std::vector<float> SoloVoice::play(int frequency, int frames, int volume, int pan) {
    layer.setChannelAttributes(channel, frequency, volume, pan);
    layer.playChannel(channel);
    return render(layer, frames, 512);
}

std::vector<float> leftOf(const std::vector<float>& stereo, std::size_t first) {
    std::vector<float> mono;
    for (std::size_t i = 2 * first; i < stereo.size(); i += 2)
        mono.push_back(stereo[i]);
    return mono;
}

std::vector<int64_t> onsets(const std::vector<float>& stereo) {
    std::vector<int64_t> found;
    for (std::size_t i = 2; i < stereo.size(); i += 2)
        if (stereo[i - 2] == 0.0f && stereo[i] != 0.0f)
            found.push_back(static_cast<int64_t>(i / 2));
    return found;
}

double measureFrequency(const std::vector<float>& mono, double guess) {
    // Climbs the windowed spectrum from the guess with halving steps; within the peak's main
    // lobe the magnitude has a single maximum.
    double best = guess;
    double bestMagnitude = windowedMagnitude(mono, best);
    for (double step = guess * 0.01; step > guess * 1e-8; step /= 2)
        for (const double candidate : {best - step, best + step})
            if (const double magnitude = windowedMagnitude(mono, candidate); magnitude > bestMagnitude) {
                best = candidate;
                bestMagnitude = magnitude;
            }
    return best;
}

double harmonicToRestDb(const std::vector<float>& mono, double f0) {
    // Least-squares fit of a constant and each harmonic's cosine and sine, by repeated projection:
    // over thousands of periods these are so nearly orthogonal that a few sweeps converge far
    // below the level being measured. What the fit leaves is everything that is not a harmonic.
    const std::size_t n = mono.size();
    std::vector<std::vector<double>> basis{std::vector<double>(n, 1.0)};
    for (int k = 1; k * f0 < outputRate / 2.0; ++k)
        for (const double phase : {0.0, std::numbers::pi / 2}) {
            std::vector<double>& wave = basis.emplace_back(n);
            for (std::size_t i = 0; i < n; ++i)
                wave[i] = std::cos(twoPi * k * f0 * i / outputRate - phase);
        }
    std::vector<double> rest(mono.begin(), mono.end());
    const double total = std::inner_product(rest.begin(), rest.end(), rest.begin(), 0.0);
    for (int sweep = 0; sweep < 6; ++sweep)
        for (const std::vector<double>& wave : basis) {
            const double along = std::inner_product(rest.begin(), rest.end(), wave.begin(), 0.0) /
                                 std::inner_product(wave.begin(), wave.end(), wave.begin(), 0.0);
            for (std::size_t i = 0; i < n; ++i)
                rest[i] -= along * wave[i];
        }
    // The fit and what it leaves are orthogonal, so their powers add up to the signal's.
    const double left = std::inner_product(rest.begin(), rest.end(), rest.begin(), 0.0);
    return 10.0 * std::log10((total - left) / left);
}

double energyAboveDb(const std::vector<float>& mono, std::size_t first, std::size_t size, double hz) {
    std::vector<std::complex<double>> values(size);
    for (std::size_t i = 0; i < size; ++i)
        values[i] = mono[first + i] * (0.5 - 0.5 * std::cos(twoPi * static_cast<double>(i) / size));
    fourierTransform(values);
    double energy = 0.0;
    for (std::size_t k = 1; k < size / 2; ++k)
        if (static_cast<double>(k) * outputRate / static_cast<double>(size) > hz)
            energy += std::norm(values[k]);
    // A full-scale sine's windowed energy: size / 2 times the mean of its square times the window's.
    const double fullScale = 3.0 * static_cast<double>(size) * static_cast<double>(size) / 32.0;
    return 10.0 * std::log10(energy / fullScale + 1e-30);
}

double rmsOf(const std::vector<float>& mono, std::size_t first) {
    double power = 0.0;
    for (std::size_t i = first; i < mono.size(); ++i)
        power += static_cast<double>(mono[i]) * mono[i];
    return std::sqrt(power / static_cast<double>(mono.size() - first));
}

float largestStep(const std::vector<float>& mono, std::size_t first) {
    float largest = 0.0f;
    for (std::size_t i = std::max<std::size_t>(first, 1); i < mono.size(); ++i)
        largest = std::max(largest, std::abs(mono[i] - mono[i - 1]));
    return largest;
}

}  // namespace tromel::audio::test
