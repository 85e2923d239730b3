// Building the octave levels of a sample: windowed-sinc resampling and the B-spline prefilter.
#include "audio/SampleLevels.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tromel::audio {

namespace {

// The low-pass of level L stops at 1/2^(L+1) of the source rate and passes 80 % of that band;
// a Kaiser window of beta 10 keeps everything beyond about 100 dB down. The kernel spans
// 32 * 2^L source frames each side, so its shape in window units is the same at every level.
constexpr double kaiserBeta = 10.0;
constexpr double baseHalfWidth = 32.0;
constexpr double baseCutoff = 0.45;  // cycles per source frame at level 0, the sinc's -6 dB point
constexpr int kernelTableSize = 16384;

// The cubic B-spline's inverse filter, 6 / (z + 4 + 1/z), is sqrt(3) * z1^|n| with
// z1 = sqrt(3) - 2; twelve taps each side leave errors below 1e-7.
constexpr int prefilterReach = 12;
constexpr int edgeFrames = SampleData::guardFrames + prefilterReach;

double besselI0(double x) {
    double sum = 1.0;
    double term = 1.0;
    for (int k = 1; k < 64 && term > 1e-14 * sum; ++k) {
        const double half = x / (2.0 * k);
        term *= half * half;
        sum += term;
    }
    return sum;
}

// The windowed sinc at u = distance / half width, for u in [0, 1], sampled for interpolation.
const std::vector<double>& kernelTable() {
    static const std::vector<double> table = [] {
        std::vector<double> values(kernelTableSize + 2, 0.0);
        const double span = 2.0 * baseCutoff * baseHalfWidth;
        const double norm = besselI0(kaiserBeta);
        for (int m = 0; m <= kernelTableSize; ++m) {
            const double u = static_cast<double>(m) / kernelTableSize;
            const double arg = std::numbers::pi * span * u;
            const double sinc = m == 0 ? 1.0 : std::sin(arg) / arg;
            values[m] = sinc * besselI0(kaiserBeta * std::sqrt(std::max(0.0, 1.0 - u * u))) / norm;
        }
        return values;
    }();
    return table;
}

struct LevelShape {
    double ratio;      // level frames per source frame
    double cutoff;     // cycles per source frame
    double halfWidth;  // source frames
};

LevelShape shapeOf(int level, int64_t sourceFrames, int64_t length, bool loop) {
    const double scale = static_cast<double>(1 << level);
    const double ratio =
        loop ? static_cast<double>(length) / static_cast<double>(sourceFrames) : SampleData::oversampling / scale;
    return {ratio, baseCutoff / scale, baseHalfWidth * scale};
}

int64_t wrapIndex(int64_t i, int64_t n) {
    const int64_t r = i % n;
    return r < 0 ? r + n : r;
}

// The band-limited source at position x (in source frames).
double resampleAt(const std::vector<float>& source, double x, const LevelShape& shape, bool loop) {
    const std::vector<double>& table = kernelTable();
    const int64_t n = static_cast<int64_t>(source.size());
    int64_t first = static_cast<int64_t>(std::ceil(x - shape.halfWidth));
    int64_t last = static_cast<int64_t>(std::floor(x + shape.halfWidth));
    if (!loop) {
        first = std::max<int64_t>(first, 0);
        last = std::min<int64_t>(last, n - 1);
    }
    const double toTable = kernelTableSize / shape.halfWidth;
    double sum = 0.0;
    for (int64_t i = first; i <= last; ++i) {
        const double at = std::abs(static_cast<double>(i) - x) * toTable;
        const int m = std::min(static_cast<int>(at), kernelTableSize);
        const double weight = table[m] + (at - m) * (table[m + 1] - table[m]);
        sum += weight * source[loop ? wrapIndex(i, n) : i];
    }
    return sum * 2.0 * shape.cutoff;
}

std::vector<double> bsplineCoefficients(const std::vector<double>& values, bool loop) {
    const int64_t n = static_cast<int64_t>(values.size());
    const double z1 = std::sqrt(3.0) - 2.0;
    double taps[prefilterReach + 1];
    for (int k = 0; k <= prefilterReach; ++k)
        taps[k] = std::sqrt(3.0) * std::pow(z1, k);
    std::vector<double> out(values.size(), 0.0);
    for (int64_t i = 0; i < n; ++i) {
        double sum = 0.0;
        for (int k = -prefilterReach; k <= prefilterReach; ++k) {
            const int64_t j = i + k;
            if (loop)
                sum += taps[std::abs(k)] * values[wrapIndex(j, n)];
            else if (j >= 0 && j < n)
                sum += taps[std::abs(k)] * values[j];
        }
        out[i] = sum;
    }
    return out;
}

// One channel of one level: coefficients for frames -guardFrames .. length + guardFrames - 1.
// The windowed sinc itself, at a distance in source frames.
double kernelAt(double distance, const LevelShape& shape) {
    const double u = distance / shape.halfWidth;
    if (std::abs(u) > 1.0)
        return 0.0;
    const double arg = std::numbers::pi * 2.0 * shape.cutoff * distance;
    const double sinc = arg == 0.0 ? 1.0 : std::sin(arg) / arg;
    return 2.0 * shape.cutoff * sinc * besselI0(kaiserBeta * std::sqrt(1.0 - u * u)) / besselI0(kaiserBeta);
}

// Four running sums, so the additions need not wait for one another.
double dot(const double* a, const double* b, std::size_t n) {
    double sums[4] = {0.0, 0.0, 0.0, 0.0};
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4)
        for (int k = 0; k < 4; ++k)
            sums[k] += a[i + k] * b[i + k];
    for (; i < n; ++i)
        sums[0] += a[i] * b[i];
    return (sums[0] + sums[1]) + (sums[2] + sums[3]);
}

// When a level holds `perSource` frames per source frame (a power of two either way), its frames
// fall on a few fixed phases between source frames: one filter per phase serves them all.
std::vector<double> resamplePhased(const std::vector<float>& source, const LevelShape& shape, bool loop, int64_t first,
                                   int64_t count) {
    const int64_t outputs = shape.ratio >= 1.0 ? static_cast<int64_t>(shape.ratio) : 1;  // per `inputs`
    const int64_t inputs = shape.ratio >= 1.0 ? 1 : static_cast<int64_t>(1.0 / shape.ratio);
    const int64_t reach = static_cast<int64_t>(std::ceil(shape.halfWidth)) + 1;
    const int64_t n = static_cast<int64_t>(source.size());
    // The source with its surroundings laid out, so the sums below need no bounds checks.
    const int64_t lowest = (first * inputs) / outputs - reach - 1;
    const int64_t highest = ((first + count) * inputs) / outputs + reach + 1;
    std::vector<double> padded(static_cast<std::size_t>(highest - lowest + 1), 0.0);
    for (int64_t i = lowest; i <= highest; ++i)
        if (loop)
            padded[i - lowest] = source[wrapIndex(i, n)];
        else if (i >= 0 && i < n)
            padded[i - lowest] = source[i];
    std::vector<std::vector<double>> phases(static_cast<std::size_t>(outputs));
    for (int64_t phase = 0; phase < outputs; ++phase)
        for (int64_t offset = -reach; offset <= reach; ++offset)
            phases[phase].push_back(
                kernelAt(static_cast<double>(offset) - static_cast<double>(phase) / outputs, shape));
    std::vector<double> values(static_cast<std::size_t>(count));
    for (int64_t j = first; j < first + count; ++j) {
        const int64_t scaled = j * inputs;
        const int64_t base = scaled >= 0 ? scaled / outputs : -((-scaled + outputs - 1) / outputs);
        const std::vector<double>& taps = phases[scaled - base * outputs];
        const double* at = padded.data() + (base - reach - lowest);
        values[j - first] = dot(taps.data(), at, taps.size());
    }
    return values;
}

bool isPhased(const LevelShape& shape) {
    const double whole = shape.ratio >= 1.0 ? shape.ratio : 1.0 / shape.ratio;
    return whole == std::floor(whole) && whole <= 64.0;
}

std::vector<double> levelChannel(const std::vector<float>& source, const LevelShape& shape, int64_t length, bool loop) {
    const int64_t margin = loop ? 0 : edgeFrames;  // a one-shot's edges include the filter's ringing
    std::vector<double> values;
    if (isPhased(shape)) {
        values = resamplePhased(source, shape, loop, -margin, length + 2 * margin);
    } else {
        values.resize(static_cast<std::size_t>(length + 2 * margin));
        for (int64_t j = -margin; j < length + margin; ++j)
            values[j + margin] = resampleAt(source, static_cast<double>(j) / shape.ratio, shape, loop);
    }
    const std::vector<double> coefficients = bsplineCoefficients(values, loop);
    std::vector<double> framed(static_cast<std::size_t>(length + 2 * SampleData::guardFrames));
    for (int64_t j = -SampleData::guardFrames; j < length + SampleData::guardFrames; ++j)
        framed[j + SampleData::guardFrames] = loop ? coefficients[wrapIndex(j, length)] : coefficients[j + margin];
    return framed;
}

int64_t levelLength(int level, int64_t frames, bool loop) {
    const double scaled = static_cast<double>(frames) * SampleData::oversampling / (1 << level);
    if (loop)
        return std::max<int64_t>(1, std::llround(scaled));
    // A one-shot keeps the ringing of its low-pass after the last frame, so it ends in silence.
    const double tail = baseHalfWidth * (1 << level) * SampleData::oversampling / (1 << level);
    return static_cast<int64_t>(std::ceil(scaled + tail));
}

}  // namespace

SampleData buildSampleData(const std::vector<float>& interleaved, int channels, int rate, bool loop) {
    SampleData sample;
    sample.channels = channels;
    sample.rate = rate;
    sample.frames = static_cast<int64_t>(interleaved.size()) / channels;
    sample.loop = loop;
    if (sample.frames == 0)
        return sample;
    std::vector<std::vector<float>> split(channels, std::vector<float>(sample.frames));
    for (int64_t i = 0; i < sample.frames; ++i)
        for (int c = 0; c < channels; ++c)
            split[c][i] = interleaved[i * channels + c];
    for (int level = 0; level < SampleData::levelCount; ++level) {
        SampleLevel& out = sample.levels.emplace_back();
        out.length = levelLength(level, sample.frames, loop);
        const LevelShape shape = shapeOf(level, sample.frames, out.length, loop);
        out.framesPerSourceFrame = shape.ratio;
        const int64_t stored = out.length + 2 * SampleData::guardFrames;
        out.data.assign(static_cast<std::size_t>(stored * channels), 0.0f);
        for (int c = 0; c < channels; ++c) {
            const std::vector<double> framed = levelChannel(split[c], shape, out.length, loop);
            for (int64_t j = 0; j < stored; ++j)
                out.data[j * channels + c] = static_cast<float>(framed[j]);
        }
    }
    return sample;
}

}  // namespace tromel::audio
