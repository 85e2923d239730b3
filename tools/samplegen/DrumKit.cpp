// The one-shot drums, synthesised at 22050 Hz: the twelve every song knows, then our further drums.
#include "tools/samplegen/DrumKit.h"

#include "tools/samplegen/SampleWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace tromel::samplegen {

namespace {

constexpr double pi = std::numbers::pi;
constexpr double rate = sampleRate;
// A kick at this peak is about as loud as a wave's note (RMS 0.18).
constexpr double drumPeak = 0.35;

// Deterministic white noise in [-1, 1], so every build makes the same files.
class Noise {
public:
    explicit Noise(uint32_t seed) : m_state(seed) {}
    double next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return static_cast<double>(m_state) / 2147483648.0 - 1.0;
    }

private:
    uint32_t m_state;
};

// A second-order filter (low-, high- or band-pass) after the usual bilinear designs.
class Biquad {
public:
    enum class Kind { LowPass, HighPass, BandPass };
    Biquad(Kind kind, double frequency, double q) {
        const double w = 2.0 * pi * frequency / rate;
        const double alpha = std::sin(w) / (2.0 * q);
        const double c = std::cos(w);
        double b0 = 0, b1 = 0, b2 = 0;
        switch (kind) {
            case Kind::LowPass:
                b0 = b2 = (1.0 - c) / 2.0;
                b1 = 1.0 - c;
                break;
            case Kind::HighPass:
                b0 = b2 = (1.0 + c) / 2.0;
                b1 = -(1.0 + c);
                break;
            case Kind::BandPass:
                b0 = alpha;
                b2 = -alpha;
                break;
        }
        const double a0 = 1.0 + alpha;
        m_b0 = b0 / a0;
        m_b1 = b1 / a0;
        m_b2 = b2 / a0;
        m_a1 = -2.0 * c / a0;
        m_a2 = (1.0 - alpha) / a0;
    }
    double process(double x) {
        const double y = m_b0 * x + m_b1 * m_x1 + m_b2 * m_x2 - m_a1 * m_y1 - m_a2 * m_y2;
        m_x2 = m_x1;
        m_x1 = x;
        m_y2 = m_y1;
        m_y1 = y;
        return y;
    }

private:
    double m_b0, m_b1, m_b2, m_a1, m_a2;
    double m_x1 = 0, m_x2 = 0, m_y1 = 0, m_y2 = 0;
};

// A pitched body whose frequency falls from start to end with time constant `glide`.
struct Body {
    double endHz;
    double startHz;
    double glide;
    double decay;
    double level;
};

double bodyAt(const Body& body, double t, double& phase) {
    const double hz = body.endHz + (body.startHz - body.endHz) * std::exp(-t / body.glide);
    phase += 2.0 * pi * hz / rate;
    return body.level * std::sin(phase) * std::exp(-t / body.decay);
}

struct NoisePart {
    Biquad::Kind kind;
    double frequency;
    double q;
    double decay;
    double level;
    double delay = 0.0;  // seconds of silence before the burst, so a clap can strike more than once
};

// The six detuned square waves of a metal plate, high-passed to a hiss with a ring.
struct Metal {
    double decay;
    double level;
};

std::vector<double> render(double seconds, std::initializer_list<Body> bodies, std::initializer_list<NoisePart> noises,
                           std::initializer_list<Metal> metals, uint32_t seed, double drive = 1.0) {
    const int frames = static_cast<int>(seconds * rate);
    std::vector<double> out(frames, 0.0);
    for (const Body& body : bodies) {
        double phase = 0.0;
        for (int i = 0; i < frames; ++i)
            out[i] += bodyAt(body, i / rate, phase);
    }
    Noise noise(seed);
    for (const NoisePart& part : noises) {
        Biquad filter(part.kind, part.frequency, part.q);
        for (int i = 0; i < frames; ++i) {
            const double t = i / rate - part.delay;
            out[i] += part.level * filter.process(noise.next()) * (t < 0.0 ? 0.0 : std::exp(-t / part.decay));
        }
    }
    static constexpr double plate[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    for (const Metal& metal : metals) {
        Biquad high(Biquad::Kind::HighPass, 6000.0, 0.7);
        Biquad ring(Biquad::Kind::BandPass, 8500.0, 1.5);
        for (int i = 0; i < frames; ++i) {
            const double t = i / rate;
            double sum = 0.0;
            for (double hz : plate)
                sum += std::sin(2.0 * pi * hz * 1.7 * t) >= 0.0 ? 1.0 : -1.0;
            const double hiss = 0.5 * sum / 6.0 + 0.5 * noise.next();
            out[i] += metal.level * (high.process(hiss) + 0.5 * ring.process(hiss)) * std::exp(-t / metal.decay);
        }
    }
    for (double& v : out)
        v = std::tanh(drive * v) / std::tanh(drive);
    return out;
}

// Past its first third a drum dies away faster, just fast enough that its last 50 ms lie 66 dB
// below its peak: no drum stops while it still rings, and none ends on a cut.
void dieAway(std::vector<double>& drum) {
    const int n = static_cast<int>(drum.size());
    const int knee = n / 3;
    const int quiet = n - static_cast<int>(0.05 * rate);
    double peak = 0.0;
    for (double v : drum)
        peak = std::max(peak, std::abs(v));
    double level = 0.0;
    for (int i = quiet; i < n; ++i)
        level = std::max(level, std::abs(drum[i]));
    const double target = peak * std::pow(10.0, -66.0 / 20.0);
    if (level <= target)
        return;
    // Falling from the knee on, the extra decay is at its weakest at `quiet`, where it takes the
    // loudest frame of the last 50 ms down to the target.
    const double perFrame = std::log(level / target) / (quiet - knee);
    for (int i = knee; i < n; ++i)
        drum[i] *= std::exp(-perFrame * (i - knee));
}

// Peak at drumPeak, a 1 ms rise from zero and a 10 ms fall to zero, so the drum starts and ends
// without a jump.
std::vector<double> finish(std::vector<double> drum) {
    dieAway(drum);
    double peak = 0.0;
    for (double v : drum)
        peak = std::max(peak, std::abs(v));
    const int rise = static_cast<int>(0.001 * rate);
    const int fall = static_cast<int>(0.010 * rate);
    const int n = static_cast<int>(drum.size());
    for (int i = 0; i < n; ++i) {
        double gain = peak > 0.0 ? drumPeak / peak : 0.0;
        if (i < rise)
            gain *= static_cast<double>(i) / rise;
        if (i >= n - fall)
            gain *= static_cast<double>(n - 1 - i) / fall;
        drum[i] *= gain;
    }
    return drum;
}

using Kind = Biquad::Kind;

// Drum numbers 12 and up, our own sounds for the numbers "Org-03" songs may name, in the order of
// the drum names (Tom03 .. HiPedal).
void addFurtherDrums(std::vector<std::vector<double>>& kit) {
    kit.push_back(render(0.45, {{210, 320, 0.05, 0.2, 1.0}}, {{Kind::LowPass, 3500, 0.7, 0.01, 0.3}}, {}, 13));
    kit.push_back(render(0.8, {{75, 120, 0.08, 0.4, 1.0}}, {{Kind::LowPass, 1800, 0.7, 0.012, 0.3}}, {}, 14));
    kit.push_back(render(0.4, {},
                         {{Kind::BandPass, 1100, 1.2, 0.006, 1.0},
                          {Kind::BandPass, 1100, 1.2, 0.006, 1.0, 0.011},
                          {Kind::BandPass, 1200, 1.0, 0.07, 1.0, 0.022}},
                         {}, 15));
    kit.push_back(render(0.2, {{480, 520, 0.01, 0.03, 0.7}, {1700, 1800, 0.01, 0.015, 0.4}},
                         {{Kind::BandPass, 2500, 1.5, 0.01, 0.6}}, {}, 16));
    kit.push_back(render(1.8, {{620, 620, 1.0, 0.9, 0.08}}, {}, {{1.2, 0.6}}, 17));
    kit.push_back(render(1.2, {{730, 730, 1.0, 0.8, 0.6}, {1100, 1100, 1.0, 0.6, 0.4}, {1650, 1650, 1.0, 0.4, 0.25}},
                         {}, {{0.15, 0.3}}, 18));
    kit.push_back(render(0.8, {}, {{Kind::HighPass, 4000, 0.7, 0.25, 0.5}}, {{0.3, 0.8}}, 19));
    kit.push_back(render(1.4, {}, {{Kind::BandPass, 3000, 0.8, 0.5, 0.7}}, {{0.6, 0.7}}, 20, 3.0));
    kit.push_back(render(0.35, {}, {{Kind::HighPass, 7000, 0.7, 0.08, 0.6}}, {{0.12, 0.7}}, 21));
    kit.push_back(render(0.15, {}, {{Kind::BandPass, 6000, 1.0, 0.035, 1.0}}, {}, 22));
    kit.push_back(render(0.35, {{330, 360, 0.01, 0.15, 1.0}}, {{Kind::BandPass, 1500, 1.0, 0.008, 0.3}}, {}, 23));
    kit.push_back(render(0.45, {{220, 245, 0.01, 0.2, 1.0}}, {{Kind::BandPass, 1200, 1.0, 0.008, 0.3}}, {}, 24));
    kit.push_back(render(0.25, {{440, 480, 0.008, 0.08, 1.0}}, {{Kind::BandPass, 2000, 1.0, 0.005, 0.3}}, {}, 25));
    kit.push_back(render(1.6, {{1900, 1900, 1.0, 1.0, 1.0}, {5200, 5200, 1.0, 0.7, 0.5}, {8100, 8100, 1.0, 0.5, 0.3}},
                         {}, {}, 26));
    kit.push_back(render(0.12, {{2500, 2500, 1.0, 0.025, 1.0}}, {}, {}, 27));
    kit.push_back(render(0.15, {{300, 300, 1.0, 0.01, 0.3}}, {}, {{0.04, 1.0}}, 28));
}

}  // namespace

std::vector<std::vector<double>> drumKit() {
    std::vector<std::vector<double>> kit;
    kit.push_back(render(0.5, {{45, 150, 0.04, 0.3, 1.0}}, {{Kind::LowPass, 3000, 0.7, 0.004, 0.6}}, {}, 1));
    kit.push_back(render(0.35, {{50, 180, 0.025, 0.18, 1.0}}, {{Kind::LowPass, 5000, 0.7, 0.003, 0.8}}, {}, 2, 2.0));
    kit.push_back(render(0.35, {{180, 240, 0.02, 0.06, 0.7}, {330, 400, 0.02, 0.04, 0.3}},
                         {{Kind::HighPass, 1200, 0.7, 0.12, 0.9}}, {}, 3));
    kit.push_back(render(0.3, {{220, 300, 0.015, 0.04, 0.5}},
                         {{Kind::HighPass, 2200, 0.7, 0.09, 1.0}, {Kind::BandPass, 5000, 1.0, 0.05, 0.6}}, {}, 4, 1.5));
    kit.push_back(render(0.6, {{105, 170, 0.08, 0.3, 1.0}}, {{Kind::LowPass, 2000, 0.7, 0.01, 0.3}}, {}, 5));
    kit.push_back(render(0.12, {}, {}, {{0.025, 1.0}}, 6));
    kit.push_back(render(0.6, {}, {}, {{0.25, 1.0}}, 7));
    kit.push_back(render(1.6, {}, {{Kind::HighPass, 3000, 0.7, 0.6, 0.6}}, {{0.7, 0.8}}, 8));
    kit.push_back(render(0.15, {{1200, 1300, 0.01, 0.03, 1.0}, {2100, 2200, 0.01, 0.02, 0.5}},
                         {{Kind::BandPass, 1800, 2.0, 0.005, 0.3}}, {}, 9));
    kit.push_back(render(0.4, {{540, 540, 1.0, 0.12, 0.7}, {800, 800, 1.0, 0.1, 0.6}},
                         {{Kind::BandPass, 800, 3.0, 0.02, 0.2}}, {}, 10, 2.5));
    kit.push_back(render(1.2, {{42, 100, 0.05, 0.7, 1.0}}, {{Kind::LowPass, 2500, 0.7, 0.003, 0.4}}, {}, 11));
    kit.push_back(render(0.5, {{165, 250, 0.06, 0.25, 1.0}}, {{Kind::LowPass, 3000, 0.7, 0.01, 0.3}}, {}, 12));
    addFurtherDrums(kit);
    for (auto& drum : kit)
        drum = finish(std::move(drum));
    return kit;
}

}  // namespace tromel::samplegen
