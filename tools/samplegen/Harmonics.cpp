// Harmonic spectra of single-cycle waves, and their synthesis as seamless loops.
#include "tools/samplegen/Harmonics.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tromel::samplegen {

namespace {

constexpr int shapePoints = 8192;
constexpr double twoPi = 2.0 * std::numbers::pi;

// The loop's first frame: the rising zero crossing whose frame lies nearest zero, so a note
// starts without a jump.
std::size_t risingZero(const std::vector<double>& wave) {
    std::size_t best = 0;
    double bestLevel = 1e9;
    for (std::size_t i = 0; i < wave.size(); ++i) {
        const double before = wave[(i + wave.size() - 1) % wave.size()];
        if (before < 0.0 && wave[i] >= 0.0 && std::abs(wave[i]) < bestLevel) {
            best = i;
            bestLevel = std::abs(wave[i]);
        }
    }
    return best;
}

}  // namespace

double meanHarmonic(const Harmonics& spectrum) {
    double weighted = 0.0;
    double total = 0.0;
    for (int k = 1; k <= spectrum.size(); ++k) {
        const double amplitude = std::abs(spectrum.amplitude[k - 1]);
        weighted += k * amplitude;
        total += amplitude;
    }
    return total > 0.0 ? weighted / total : 0.0;
}

Harmonics harmonicsOfShape(const std::function<double(double)>& shape, int harmonics) {
    std::vector<double> cycle(shapePoints);
    for (int i = 0; i < shapePoints; ++i)
        cycle[i] = shape(static_cast<double>(i) / shapePoints);
    Harmonics spectrum(harmonics);
    for (int k = 1; k <= harmonics; ++k) {
        double re = 0.0;
        double im = 0.0;
        for (int i = 0; i < shapePoints; ++i) {
            const double angle = twoPi * k * i / shapePoints;
            re += cycle[i] * std::cos(angle);
            im += cycle[i] * std::sin(angle);
        }
        // x = sum a sin(kwt + p): the sine part is im, the cosine part re.
        spectrum.amplitude[k - 1] = 2.0 * std::hypot(re, im) / shapePoints;
        spectrum.phase[k - 1] = std::atan2(re, im);
    }
    return spectrum;
}

void shapeHarmonics(Harmonics& spectrum, const std::function<double(int)>& gain) {
    for (int k = 1; k <= spectrum.size(); ++k)
        spectrum.amplitude[k - 1] *= gain(k);
}

std::vector<double> synthesizeLoop(const Harmonics& spectrum, int cycles, int frames, double rms, double peakCap) {
    std::vector<double> wave(frames, 0.0);
    for (int k = 1; k <= spectrum.size(); ++k) {
        const double a = spectrum.amplitude[k - 1];
        if (a == 0.0)
            continue;
        for (int i = 0; i < frames; ++i)
            wave[i] += a * std::sin(twoPi * k * cycles * i / frames + spectrum.phase[k - 1]);
    }
    double largest = 0.0;
    double power = 0.0;
    for (double v : wave) {
        largest = std::max(largest, std::abs(v));
        power += v * v;
    }
    if (largest > 0.0) {
        const double scale = std::min(rms / std::sqrt(power / frames), peakCap / largest);
        for (double& v : wave)
            v *= scale;
    }
    std::rotate(wave.begin(), wave.begin() + static_cast<std::ptrdiff_t>(risingZero(wave)), wave.end());
    return wave;
}

}  // namespace tromel::samplegen
