// Helpers for the sound tests: sample files, a recording host, rendering and signal analysis.
#include "AudioTestKit.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <numbers>

namespace tromel::audio::test {

namespace {

constexpr double twoPi = 2.0 * std::numbers::pi;

// Solves the normal equations of a small least-squares fit in place.
std::vector<double> solve(std::vector<std::vector<double>> a, std::vector<double> b) {
    const std::size_t n = b.size();
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t row = col + 1; row < n; ++row)
            if (std::abs(a[row][col]) > std::abs(a[pivot][col]))
                pivot = row;
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        for (std::size_t row = col + 1; row < n; ++row) {
            const double f = a[row][col] / a[col][col];
            for (std::size_t k = col; k < n; ++k)
                a[row][k] -= f * a[col][k];
            b[row] -= f * b[col];
        }
    }
    std::vector<double> x(n);
    for (std::size_t row = n; row-- > 0;) {
        double sum = b[row];
        for (std::size_t k = row + 1; k < n; ++k)
            sum -= a[row][k] * x[k];
        x[row] = sum / a[row][row];
    }
    return x;
}

double windowedMagnitude(const std::vector<float>& mono, double frequency) {
    std::complex<double> sum = 0.0;
    const std::size_t n = mono.size();
    for (std::size_t i = 0; i < n; ++i) {
        const double window = 0.5 - 0.5 * std::cos(twoPi * i / (n - 1));
        sum += window * mono[i] * std::polar(1.0, -twoPi * frequency * i / outputRate);
    }
    return std::abs(sum);
}

}  // namespace

fs::path scratchFolder(const std::string& name) {
    const fs::path path = fs::path(testing::TempDir()) / ("tromel-sound-" + name);
    fs::remove_all(path);
    fs::create_directories(path);
    return path;
}

void writeWav(const fs::path& path, const std::vector<float>& frames, int channels, int rate, int format) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    sf_writef_float(file, frames.data(), static_cast<sf_count_t>(frames.size() / channels));
    sf_close(file);
}

fs::path steadySampleFolder(float level) {
    const fs::path folder = scratchFolder("steady");
    writeWav(folder / "M01.wav", std::vector<float>(64, level), 1, 22050, SF_FORMAT_FLOAT);
    writeWav(folder / "D01.wav", std::vector<float>(2205, level), 1, 22050, SF_FORMAT_FLOAT);
    return folder;
}

std::vector<float> render(MixerAudioLayer& layer, int frames, int piece) {
    std::vector<float> out(2 * static_cast<std::size_t>(frames));
    for (int done = 0; done < frames;) {
        const int n = std::min(piece, frames - done);
        layer.renderFrames(out.data() + 2 * static_cast<std::size_t>(done), n);
        done += n;
    }
    return out;
}

std::vector<float> leftOf(const std::vector<float>& stereo) {
    std::vector<float> mono(stereo.size() / 2);
    for (std::size_t i = 0; i < mono.size(); ++i)
        mono[i] = stereo[2 * i];
    return mono;
}

std::vector<float> rightOf(const std::vector<float>& stereo) {
    std::vector<float> mono(stereo.size() / 2);
    for (std::size_t i = 0; i < mono.size(); ++i)
        mono[i] = stereo[2 * i + 1];
    return mono;
}

double measureFrequency(const std::vector<float>& mono, double guess) {
    // Golden-section search for the peak of the windowed spectrum around the guess.
    double low = guess * 0.97;
    double high = guess * 1.03;
    const double ratio = (std::sqrt(5.0) - 1.0) / 2.0;
    double a = high - ratio * (high - low);
    double b = low + ratio * (high - low);
    double fa = windowedMagnitude(mono, a);
    double fb = windowedMagnitude(mono, b);
    while (high - low > guess * 1e-7) {
        if (fa > fb) {
            high = b;
            b = a;
            fb = fa;
            a = high - ratio * (high - low);
            fa = windowedMagnitude(mono, a);
        } else {
            low = a;
            a = b;
            fa = fb;
            b = low + ratio * (high - low);
            fb = windowedMagnitude(mono, b);
        }
    }
    return (low + high) / 2.0;
}

double harmonicToRestDb(const std::vector<float>& mono, double f0) {
    // Least-squares fit of a constant and each harmonic's cosine and sine; what the fit leaves
    // is everything that is not a harmonic.
    std::vector<std::vector<double>> basis{std::vector<double>(mono.size(), 1.0)};
    for (int k = 1; k * f0 < outputRate / 2.0; ++k) {
        std::vector<double> c(mono.size());
        std::vector<double> s(mono.size());
        for (std::size_t i = 0; i < mono.size(); ++i) {
            c[i] = std::cos(twoPi * k * f0 * i / outputRate);
            s[i] = std::sin(twoPi * k * f0 * i / outputRate);
        }
        basis.push_back(std::move(c));
        basis.push_back(std::move(s));
    }
    const std::size_t m = basis.size();
    std::vector<std::vector<double>> normal(m, std::vector<double>(m, 0.0));
    std::vector<double> rhs(m, 0.0);
    for (std::size_t p = 0; p < m; ++p) {
        for (std::size_t q = p; q < m; ++q) {
            double sum = 0.0;
            for (std::size_t i = 0; i < mono.size(); ++i)
                sum += basis[p][i] * basis[q][i];
            normal[p][q] = normal[q][p] = sum;
        }
        for (std::size_t i = 0; i < mono.size(); ++i)
            rhs[p] += basis[p][i] * mono[i];
    }
    const std::vector<double> weights = solve(normal, rhs);
    double fitted = 0.0;
    double rest = 0.0;
    for (std::size_t i = 0; i < mono.size(); ++i) {
        double model = 0.0;
        for (std::size_t p = 1; p < m; ++p)
            model += weights[p] * basis[p][i];
        const double residual = mono[i] - weights[0] - model;
        fitted += model * model;
        rest += residual * residual;
    }
    return 10.0 * std::log10(fitted / rest);
}

float largestStep(const std::vector<float>& mono, std::size_t first, std::size_t last) {
    float largest = 0.0f;
    for (std::size_t i = std::max<std::size_t>(first, 1); i < last && i < mono.size(); ++i)
        largest = std::max(largest, std::abs(mono[i] - mono[i - 1]));
    return largest;
}

double cents(double measured, double expected) {
    return 1200.0 * std::log2(measured / expected);
}

}  // namespace tromel::audio::test
