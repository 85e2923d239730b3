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

// Adds the note in the channel's next free slot.
void addNote(Song& song, int channel, const NoteRec& note) {
    NoteTable& table = channel < 8 ? song.instrumentNotes : song.drumNotes;
    int32_t slot = 1;
    while (slot <= table.slotBound() && !table.at(channel % 8, slot).isEmpty())
        ++slot;
    table.grow(slot);
    table.at(channel % 8, slot) = note;
}

Song songWith(std::initializer_list<std::pair<int, NoteRec>> notes, int32_t loopEnd, int32_t tempo) {
    Song song;
    song.loopEnd = loopEnd;
    song.tempo = tempo;
    for (const auto& [channel, note] : notes)
        addNote(song, channel, note);
    return song;
}

Song denseSong(int variant) {
    // Each song takes eight waves of sixteen, each wave serving two songs, and the same kit.
    constexpr int waves[16] = {30, 2, 41, 44, 56, 66, 77, 87, 13, 31, 40, 79, 85, 93, 18, 24};
    constexpr int kit[8] = {0, 2, 5, 6, 4, 1, 8, 3};  // Bass01, Snare01, HiClose, HiOpen, Tom01, ...
    constexpr int tempos[denseSongCount] = {120, 80, 60, 150};
    constexpr int roots[denseSongCount] = {36, 24, 40, 33};
    const bool all = variant == 1;
    const int volume = all ? 255 : variant == 0 ? 200 : 230;
    Song song;
    song.loopEnd = 64;
    song.tempo = tempos[variant];
    for (int i = 0; i < 8; ++i) {
        song.instruments[i].wave = static_cast<int16_t>(waves[(4 * variant + i) % 16]);
        song.drums[i].wave = static_cast<int16_t>(kit[i]);
    }
    uint32_t seed = 777u + static_cast<uint32_t>(variant);
    const auto pick = [&seed](int n) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<uint32_t>(n));
    };
    for (int step = 0; step < song.loopEnd; ++step) {
        // A part plays on the steps `on` names, and in song 1 on every step, for one step.
        const auto part = [&](bool on, int channel, int key, int length, int quieter, int pan = 6) {
            if (all || on)
                addNote(song, channel,
                        {step + 1, 96 - key, all ? 1 : length, static_cast<int16_t>(pan),
                         static_cast<int16_t>(volume - quieter)});
        };
        const int chord = roots[variant] + (step / 16) % 4 * 5 % 12;
        const int lead = pick(3), leadKey = pick(12), leadLength = pick(2), high = pick(5), higher = pick(12);
        part(step % 2 == 0, 0, chord - 12 + (step % 4 == 2 ? 7 : 0), 2, 0);  // bass
        for (int k = 0; k < 3; ++k)                                          // three pad voices
            part(step % 8 == 0, 1 + k, chord + 12 + k * 4 - (k == 2), 8, 30, 3 + 3 * k);
        part(lead != 0, 4, chord + 24 + leadKey, 1 + leadLength, 0);  // lead
        part(true, 5, chord + 24 + step % 4 * 4, 1, 50, step % 13);   // arpeggio
        part(step % 2 == 1, 6, chord + 19 + high, 2, 30, 9);
        part(step % 4 == 3, 7, chord + 36 + higher, 1, 60, 2);
        // Kick, snare, hats on every step, then toms, crash and more.
        part(step % 4 == 0, 8, 48, 1, 0);
        part(step % 8 == 4, 9, 48, 1, 0);
        part(true, 10, 52 + step % 2 * 2, 1, 40);
        part(step % 8 == 6, 11, 50, 1, 30);
        part(step % 16 >= 13, 12, 40 + step % 3 * 5, 1, 20);
        part(step % 32 == 0, 13, 48, 1, 0);
        part(step % 3 == 1, 14, 55, 1, 40);
        part(step % 16 == 10, 15, 44, 1, 0);
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

fs::path steadySampleFolder() {
    constexpr float level = 0.5f;
    const fs::path folder = scratchFolder("steady");
    writeWav(folder / "M01.wav", std::vector<float>(64, level), 1, 22050, SF_FORMAT_FLOAT);
    writeWav(folder / "D01.wav", std::vector<float>(2205, level), 1, 22050, SF_FORMAT_FLOAT);
    return folder;
}

std::vector<float> render(MixerAudioLayer& layer, int frames, int piece) {
    std::vector<float> out(2 * static_cast<std::size_t>(std::max(frames, layer.outputLatencyFrames())));
    layer.renderFrames(out.data(), layer.outputLatencyFrames());
    out.resize(2 * static_cast<std::size_t>(frames));
    for (int done = 0; done < frames; done += piece)
        layer.renderFrames(out.data() + 2 * static_cast<std::size_t>(done), std::min(piece, frames - done));
    return out;
}

SoloVoice::SoloVoice(const fs::path& path, bool loop, int rate)
    : layer(rate), channel(layer.channelFromSample(layer.loadSample(path, loop, samplesMaxPlaybacks))) {}

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

double pitchOf(const std::vector<float>& mono, int rate) {
    double first = -1.0;
    double last = -1.0;
    int periods = -1;
    for (std::size_t i = 1; i < mono.size(); ++i)
        if (mono[i - 1] < 0.0f && mono[i] >= 0.0f) {
            last = static_cast<double>(i - 1) + mono[i - 1] / (static_cast<double>(mono[i - 1]) - mono[i]);
            first = periods < 0 ? last : first;
            ++periods;
        }
    return periods > 0 ? periods * rate / (last - first) : 0.0;
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

double rmsOf(const std::vector<float>& mono) {
    return std::sqrt(std::inner_product(mono.begin(), mono.end(), mono.begin(), 0.0) /
                     static_cast<double>(mono.size()));
}

float largestStep(const std::vector<float>& mono, std::size_t first) {
    float largest = 0.0f;
    for (std::size_t i = std::max<std::size_t>(first, 1); i < mono.size(); ++i)
        largest = std::max(largest, std::abs(mono[i] - mono[i - 1]));
    return largest;
}

}  // namespace tromel::audio::test
