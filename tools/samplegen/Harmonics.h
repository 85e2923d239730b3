// Harmonic spectra of single-cycle waves, and their synthesis as seamless loops.
#pragma once

#include <functional>
#include <vector>

namespace tromel::samplegen {

// Amplitude and phase (radians, of a sine) of harmonics 1..n; index 0 is harmonic 1.
struct Harmonics {
    std::vector<double> amplitude;
    std::vector<double> phase;

    explicit Harmonics(int harmonics = 0) : amplitude(harmonics, 0.0), phase(harmonics, 0.0) {}
    int size() const { return static_cast<int>(amplitude.size()); }
};

// The spectrum of a periodic shape given on one cycle (x in [0, 1)), cut to `harmonics`.
Harmonics harmonicsOfShape(const std::function<double(double)>& shape, int harmonics);

// The mean harmonic number weighted by amplitude: how bright the spectrum sounds.
double meanHarmonic(const Harmonics& spectrum);

// Multiplies harmonic k (1-based) by gain(k).
void shapeHarmonics(Harmonics& spectrum, const std::function<double(int)>& gain);

// `cycles` cycles of the spectrum in exactly `frames` frames: a loop that joins seamlessly,
// scaled to the given RMS level unless that would take its peak above `peakCap`, and rotated to
// start at a rising zero crossing.
std::vector<double> synthesizeLoop(const Harmonics& spectrum, int cycles, int frames, double rms, double peakCap);

}  // namespace tromel::samplegen
