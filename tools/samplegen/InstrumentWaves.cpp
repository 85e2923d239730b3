// The hundred instrument waves: each a harmonic spectrum played as a tuned, seamless loop.
#include "tools/samplegen/InstrumentWaves.h"

#include "song/WaveCatalogue.h"

#include <array>
#include <cmath>
#include <numbers>

namespace tromel::samplegen {

namespace {

constexpr double pi = std::numbers::pi;
constexpr double fundamental = 22050.0 * loopCycles / loopFrames;

Harmonics partials(std::initializer_list<std::pair<int, double>> list) {
    Harmonics s(waveHarmonics);
    for (const auto& [k, a] : list)
        if (k >= 1 && k <= waveHarmonics)
            s.amplitude[k - 1] = a;
    return s;
}

Harmonics fromShape(const std::function<double(double)>& shape) {
    return harmonicsOfShape(shape, waveHarmonics);
}

Harmonics powerLaw(double tilt, int limit = waveHarmonics, bool oddOnly = false) {
    Harmonics s(waveHarmonics);
    for (int k = 1; k <= limit && k <= waveHarmonics; ++k)
        if (!oddOnly || k % 2 == 1)
            s.amplitude[k - 1] = std::pow(static_cast<double>(k), -tilt);
    return s;
}

Harmonics pulse(double duty) {
    return fromShape([duty](double x) { return x < duty ? 1.0 : -1.0; });
}

// A gentle low-pass: harmonics above `corner` fall by `slope` per doubling of frequency.
std::function<double(int)> dull(double corner, double slope = 2.0) {
    return [corner, slope](int k) { return 1.0 / std::sqrt(1.0 + std::pow(k / corner, slope)); };
}

std::function<double(int)> resonance(double centre, double width, double height) {
    return [=](int k) { return 1.0 + height / (1.0 + std::pow((k - centre) / width, 2.0)); };
}

// Vowel colour: three formants (Hz) over a gently falling source.
Harmonics vowel(double f1, double f2, double f3) {
    Harmonics s = powerLaw(1.0);
    shapeHarmonics(s, [=](int k) {
        const double f = k * fundamental;
        const auto peak = [f](double centre, double width, double gain) {
            return gain / (1.0 + std::pow((f - centre) / width, 2.0));
        };
        return 0.05 + peak(f1, 90.0, 1.0) + peak(f2, 120.0, 0.6) + peak(f3, 160.0, 0.35);
    });
    return s;
}

Harmonics frequencyModulated(double ratio, double index) {
    return fromShape([=](double x) { return std::sin(2.0 * pi * x + index * std::sin(2.0 * pi * ratio * x)); });
}

Harmonics hardSync(double ratio) {
    return fromShape([ratio](double x) {
        const double inner = x * ratio;
        return 2.0 * (inner - std::floor(inner)) - 1.0;
    });
}

Harmonics drawbars(std::initializer_list<double> levels) {
    static constexpr int footages[] = {1, 2, 3, 4, 5, 6, 8, 10, 12};
    Harmonics s(waveHarmonics);
    int i = 0;
    for (double level : levels)
        s.amplitude[footages[i++] - 1] += level / 8.0;
    return s;
}

void addPureAndSoft(std::vector<Harmonics>& w) {
    w.push_back(partials({{1, 1.0}}));
    w.push_back(partials({{1, 1.0}, {2, 0.25}}));
    w.push_back(partials({{1, 1.0}, {3, 0.2}}));
    w.push_back(powerLaw(2.0, waveHarmonics, true));  // triangle-like
    w.push_back(powerLaw(2.6, waveHarmonics, true));
    w.push_back(partials({{1, 1.0}, {2, 0.3}, {3, 0.1}, {4, 0.04}}));
    w.push_back(partials({{1, 1.0}, {2, 0.05}, {3, 0.15}}));
    w.push_back(partials({{1, 1.0}, {5, 0.06}}));
    w.push_back(partials({{1, 1.0}, {3, 0.2}, {5, 0.1}}));
    Harmonics round(waveHarmonics);
    for (int k = 1; k <= waveHarmonics; ++k)
        round.amplitude[k - 1] = std::pow(0.5, k - 1);
    w.push_back(round);
}

void addPulses(std::vector<Harmonics>& w) {
    for (double duty : {0.5, 0.45, 0.4, 0.35, 0.3, 0.25, 0.2, 0.15, 0.125, 0.1, 0.08, 0.06, 0.05, 0.04, 0.03})
        w.push_back(pulse(duty));
    for (double duty : {0.5, 0.33, 0.25, 0.125, 0.1}) {
        Harmonics s = pulse(duty);
        shapeHarmonics(s, dull(4.0));
        w.push_back(s);
    }
}

void addSaws(std::vector<Harmonics>& w) {
    for (double tilt : {1.0, 1.3, 1.6, 2.0})
        w.push_back(powerLaw(tilt));
    w.push_back(powerLaw(1.0, 12));
    w.push_back(powerLaw(1.0, 6));
    Harmonics doubled = powerLaw(1.0);
    for (int k = 2; k <= waveHarmonics; k += 2)
        doubled.amplitude[k - 1] *= 1.5;
    w.push_back(doubled);
    for (double centre : {6.0, 12.0, 20.0}) {
        Harmonics s = powerLaw(1.0);
        shapeHarmonics(s, resonance(centre, 1.5, 4.0));
        w.push_back(s);
    }
}

void addOrgans(std::vector<Harmonics>& w) {
    w.push_back(drawbars({8, 8, 8}));
    w.push_back(drawbars({8, 0, 8, 0, 0, 0, 8}));
    w.push_back(drawbars({8, 8, 8, 8, 8, 8, 8, 8, 8}));
    w.push_back(drawbars({8, 6, 0, 4}));
    w.push_back(drawbars({6, 8, 4, 0, 0, 0, 2}));
    w.push_back(drawbars({8, 0, 0, 0, 6}));
    w.push_back(drawbars({8, 3, 6, 0, 4, 0, 3}));
    w.push_back(drawbars({4, 8, 0, 8, 0, 0, 8}));
    w.push_back(drawbars({8, 8, 0, 0, 0, 0, 0, 0, 6}));
    w.push_back(drawbars({8, 0, 4, 0, 0, 2}));
    w.push_back(drawbars({8, 4, 2, 1}));
    w.push_back(drawbars({3, 8, 8, 3}));
    w.push_back(drawbars({8, 2, 8, 2, 8, 2, 8, 2, 8}));
    w.push_back(drawbars({8, 8, 0, 0, 8, 0, 0, 0, 0}));
    w.push_back(drawbars({5, 0, 8, 0, 0, 8, 0, 6}));
}

void addBells(std::vector<Harmonics>& w) {
    w.push_back(partials({{1, 1.0}, {4, 0.6}, {9, 0.4}, {16, 0.25}, {25, 0.15}}));
    w.push_back(partials({{1, 1.0}, {5, 0.7}, {11, 0.5}, {17, 0.3}}));
    w.push_back(partials({{1, 1.0}, {7, 0.8}, {14, 0.2}}));
    w.push_back(partials({{1, 0.6}, {2, 1.0}, {3, 0.5}, {5, 0.6}, {8, 0.4}, {13, 0.3}, {21, 0.2}}));
    w.push_back(partials({{1, 1.0}, {3, 0.7}, {5, 0.6}, {7, 0.5}, {9, 0.4}, {11, 0.3}}));
    w.push_back(partials({{1, 1.0}, {6, 0.5}, {10, 0.5}, {15, 0.3}, {20, 0.3}}));
    w.push_back(partials({{2, 1.0}, {3, 0.8}, {1, 0.3}, {9, 0.5}, {27, 0.2}}));
    w.push_back(partials({{1, 1.0}, {11, 0.6}, {12, 0.6}, {23, 0.3}}));
    w.push_back(partials({{1, 1.0}, {2, 0.4}, {4, 0.5}, {8, 0.6}, {16, 0.5}, {32, 0.3}}));
    w.push_back(partials({{1, 0.8}, {3, 1.0}, {4, 0.9}, {10, 0.4}, {19, 0.35}, {29, 0.2}}));
}

void addVowels(std::vector<Harmonics>& w) {
    w.push_back(vowel(730, 1090, 2440));  // a
    w.push_back(vowel(530, 1840, 2480));  // e
    w.push_back(vowel(270, 2290, 3010));  // i
    w.push_back(vowel(570, 840, 2410));   // o
    w.push_back(vowel(300, 870, 2240));   // u
    w.push_back(vowel(850, 1220, 2810));
    w.push_back(vowel(610, 2330, 2990));
    w.push_back(vowel(310, 2790, 3310));
    w.push_back(vowel(590, 920, 2710));
    w.push_back(vowel(370, 950, 2670));
}

void addOrchestral(std::vector<Harmonics>& w) {
    Harmonics clarinet = powerLaw(1.0, waveHarmonics, true);  // odd harmonics, a bright register
    shapeHarmonics(clarinet, resonance(7.0, 2.0, 3.0));
    w.push_back(clarinet);
    Harmonics oboe = powerLaw(0.5);
    shapeHarmonics(oboe, resonance(4.0, 1.2, 3.0));
    w.push_back(oboe);
    Harmonics brass = powerLaw(0.7);
    shapeHarmonics(brass, resonance(3.0, 2.0, 2.0));
    shapeHarmonics(brass, dull(10.0, 3.0));
    w.push_back(brass);
    Harmonics bowed = powerLaw(1.0);
    shapeHarmonics(bowed, resonance(8.0, 3.0, 1.5));
    w.push_back(bowed);
    Harmonics bassoon = powerLaw(0.8);
    shapeHarmonics(bassoon, resonance(2.0, 1.0, 3.0));
    shapeHarmonics(bassoon, dull(6.0, 3.0));
    w.push_back(bassoon);
    Harmonics horn = powerLaw(1.2);
    shapeHarmonics(horn, dull(5.0, 4.0));
    w.push_back(horn);
    Harmonics trumpet = powerLaw(0.6);
    shapeHarmonics(trumpet, resonance(6.0, 3.0, 2.0));
    w.push_back(trumpet);
    Harmonics muted = powerLaw(0.8);
    shapeHarmonics(muted, resonance(12.0, 2.0, 6.0));
    shapeHarmonics(muted, [](int k) { return k < 4 ? 0.4 : 1.0; });
    w.push_back(muted);
    Harmonics harmonica = pulse(0.3);
    shapeHarmonics(harmonica, resonance(5.0, 2.0, 2.0));
    w.push_back(harmonica);
    Harmonics accordion = pulse(0.42);
    Harmonics reed = pulse(0.2);
    for (int k = 0; k < waveHarmonics; ++k)
        accordion.amplitude[k] = 0.6 * accordion.amplitude[k] + 0.4 * reed.amplitude[k];
    w.push_back(accordion);
}

void addShaped(std::vector<Harmonics>& w) {
    w.push_back(frequencyModulated(1.0, 1.0));
    w.push_back(frequencyModulated(1.0, 2.5));
    w.push_back(frequencyModulated(2.0, 1.0));
    w.push_back(frequencyModulated(2.0, 2.5));
    w.push_back(frequencyModulated(3.0, 1.5));
    w.push_back(frequencyModulated(4.0, 1.0));
    w.push_back(frequencyModulated(7.0, 0.8));
    w.push_back(fromShape([](double x) { return std::tanh(3.0 * std::sin(2.0 * pi * x)); }));
    w.push_back(fromShape([](double x) { return std::tanh(8.0 * std::sin(2.0 * pi * x)); }));
    w.push_back(fromShape([](double x) { return std::max(0.0, std::sin(2.0 * pi * x)) - 1.0 / pi; }));
    w.push_back(hardSync(1.5));
    w.push_back(hardSync(2.3));
    w.push_back(hardSync(3.7));
    w.push_back(fromShape([](double x) { return std::sin(3.0 * std::sin(2.0 * pi * x)); }));
    w.push_back(fromShape([](double x) { return std::sin(2.0 * pi * x) * (0.6 + 0.4 * std::sin(8.0 * pi * x)); }));
}

}  // namespace

std::vector<Harmonics> instrumentSpectra() {
    // In the order of WaveFamily.
    constexpr std::array<void (*)(std::vector<Harmonics>&), waveFamilies.size()> adders{
        addPureAndSoft, addPulses, addSaws, addOrgans, addBells, addVowels, addOrchestral, addShaped};
    std::vector<Harmonics> waves;
    for (const WaveFamilyRange& range : waveFamilies) {
        if (static_cast<int>(waves.size()) != range.first)
            return {};
        adders[static_cast<std::size_t>(range.family)](waves);
    }
    return waves;
}

}  // namespace tromel::samplegen
