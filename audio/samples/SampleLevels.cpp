// Building the levels of a sample: windowed-sinc resampling and the B-spline prefilter.
#include "audio/samples/SampleLevels.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tromel::audio {

namespace {

// The low-pass of a level that reaches ratio r stops at 1/(2r) of the source rate and passes 80 %
// of that band; a Kaiser window of beta 10 keeps everything beyond about 100 dB down. The kernel
// spans 32r source frames each side, so its shape in units of its band is the same at every level.
constexpr double kaiserBeta = 10.0;
constexpr double baseHalfWidth = 32.0;
constexpr double baseCutoff = 0.45;  // cycles per source frame at reach 1, the sinc's -6 dB point

// Beyond its edges a one-shot level holds the ringing of its low-pass and the reach of the
// B-spline prefilter's recursion (its pole, 0.27, falls below 1e-7 within twelve frames).
constexpr int prefilterReach = 12;
constexpr int edgeFrames = SampleData::guardFrames + prefilterReach;
constexpr float largestSampleValue = 1e6f;

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

struct LevelShape {
    int64_t outputs;  // level frames per `inputs` source frames: the storage rate, a power of two
    int64_t inputs;
    double cutoff;     // cycles per source frame
    double halfWidth;  // source frames
    double ratio() const { return static_cast<double>(outputs) / static_cast<double>(inputs); }
};

LevelShape shapeOf(int level, bool loop) {
    const double reach = SampleData::reachOf(level);
    int octaveDown = (level + 1) / 2;  // levels 2m - 1 and 2m share a storage rate
    if (loop)
        octaveDown = std::min(octaveDown, 3);  // a loop is never stored below its own rate
    const int64_t outputs = SampleData::oversampling >> std::min(octaveDown, 3);
    const int64_t inputs = octaveDown > 3 ? int64_t{1} << (octaveDown - 3) : 1;
    return {outputs, inputs, baseCutoff / reach, baseHalfWidth * reach};
}

int64_t wrapIndex(int64_t i, int64_t n) {
    const int64_t r = i % n;
    return r < 0 ? r + n : r;
}

// The windowed sinc itself, at a distance in source frames.
double kernelAt(double distance, const LevelShape& shape) {
    const double u = distance / shape.halfWidth;
    if (std::abs(u) > 1.0)
        return 0.0;
    const double arg = std::numbers::pi * 2.0 * shape.cutoff * distance;
    const double sinc = arg == 0.0 ? 1.0 : std::sin(arg) / arg;
    return 2.0 * shape.cutoff * sinc * besselI0(kaiserBeta * std::sqrt(1.0 - u * u)) / besselI0(kaiserBeta);
}

// Eight running sums, so the additions need not wait for one another and the compiler may pack them.
float dot(const float* a, const float* b, std::size_t n) {
    float sums[8] = {};
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8)
        for (int k = 0; k < 8; ++k)
            sums[k] += a[i + k] * b[i + k];
    for (; i < n; ++i)
        sums[0] += a[i] * b[i];
    return ((sums[0] + sums[1]) + (sums[2] + sums[3])) + ((sums[4] + sums[5]) + (sums[6] + sums[7]));
}

// A level holds `outputs` frames per `inputs` source frames, so its frames fall on a few fixed
// phases between source frames: one filter per phase serves them all.
std::vector<double> resample(const std::vector<float>& source, const LevelShape& shape, bool loop, int64_t first,
                             int64_t count) {
    const int64_t outputs = shape.outputs;
    const int64_t inputs = shape.inputs;
    const int64_t reach = static_cast<int64_t>(std::ceil(shape.halfWidth)) + 1;
    const int64_t n = static_cast<int64_t>(source.size());
    // The source with its surroundings laid out, so the sums below need no bounds checks.
    const int64_t lowest = (first * inputs) / outputs - reach - 1;
    const int64_t highest = ((first + count) * inputs) / outputs + reach + 1;
    std::vector<float> padded(static_cast<std::size_t>(highest - lowest + 1), 0.0f);
    for (int64_t i = lowest; i <= highest; ++i)
        if (loop)
            padded[i - lowest] = source[wrapIndex(i, n)];
        else if (i >= 0 && i < n)
            padded[i - lowest] = source[i];
    std::vector<std::vector<float>> phases(static_cast<std::size_t>(outputs));
    for (int64_t phase = 0; phase < outputs; ++phase)
        for (int64_t offset = -reach; offset <= reach; ++offset)
            phases[phase].push_back(static_cast<float>(
                kernelAt(static_cast<double>(offset) - static_cast<double>(phase) / outputs, shape)));
    std::vector<double> values(static_cast<std::size_t>(count));
    for (int64_t j = first; j < first + count; ++j) {
        const int64_t scaled = j * inputs;
        const int64_t base = scaled >= 0 ? scaled / outputs : -((-scaled + outputs - 1) / outputs);
        const std::vector<float>& taps = phases[scaled - base * outputs];
        const float* at = padded.data() + (base - reach - lowest);
        values[j - first] = dot(taps.data(), at, taps.size());
    }
    return values;
}

// The cubic B-spline's inverse filter, 6 / (z + 4 + 1/z): a causal and an anticausal pass of
// the pole z1 = sqrt(3) - 2. A loop's passes start from its own other end; a one-shot is silent
// beyond its edges.
std::vector<double> bsplineCoefficients(std::vector<double> values, bool loop) {
    const int64_t n = static_cast<int64_t>(values.size());
    const double z1 = std::sqrt(3.0) - 2.0;
    double causal = 0.0;
    double anticausal = 0.0;
    if (loop) {
        double power = 1.0;
        for (int k = 0; k < 2 * prefilterReach; ++k, power *= z1)
            causal += power * values[wrapIndex(-k, n)];
    } else {
        causal = values[0];
    }
    values[0] = causal;
    for (int64_t i = 1; i < n; ++i)
        values[i] += z1 * values[i - 1];
    if (loop) {
        // Where the anticausal pass would stand had it come round the loop from its start.
        double power = 1.0;
        for (int k = 0; k < 2 * prefilterReach; ++k, power *= z1)
            anticausal += power * values[wrapIndex(n - 1 + k, n)];
        anticausal *= -z1;
    } else {
        anticausal = -z1 / (1.0 - z1 * z1) * values[n - 1];
    }
    values[n - 1] = 6.0 * anticausal;
    for (int64_t i = n - 2; i >= 0; --i) {
        anticausal = z1 * (anticausal - values[i]);
        values[i] = 6.0 * anticausal;
    }
    return values;
}

// One channel of one level: coefficients for frames -guardFrames .. length + guardFrames - 1.
std::vector<double> levelChannel(const std::vector<float>& source, const LevelShape& shape, int64_t length, bool loop) {
    const int64_t margin = loop ? 0 : edgeFrames;  // a one-shot's edges include the filter's ringing
    const std::vector<double> coefficients =
        bsplineCoefficients(resample(source, shape, loop, -margin, length + 2 * margin), loop);
    std::vector<double> framed(static_cast<std::size_t>(length + 2 * SampleData::guardFrames));
    for (int64_t j = -SampleData::guardFrames; j < length + SampleData::guardFrames; ++j)
        framed[j + SampleData::guardFrames] = loop ? coefficients[wrapIndex(j, length)] : coefficients[j + margin];
    return framed;
}

int64_t levelLength(const LevelShape& shape, int64_t frames, bool loop) {
    const double scaled = static_cast<double>(frames) * shape.ratio();
    if (loop)
        return std::max<int64_t>(1, std::llround(scaled));
    // A one-shot keeps the ringing of its low-pass after the last frame, so it ends in silence.
    return static_cast<int64_t>(std::ceil(scaled + shape.halfWidth * shape.ratio()));
}

// The channels apart. A float file may hold anything: what is not a number plays as silence, and nothing is
// taken beyond a level that sixteen voices could sum without overflowing.
std::vector<std::vector<float>> playableChannels(const std::vector<float>& interleaved, int channels, int64_t frames) {
    std::vector<std::vector<float>> split(channels, std::vector<float>(frames));
    for (int64_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            const float v = interleaved[i * channels + c];
            split[c][i] = std::isfinite(v) ? std::clamp(v, -largestSampleValue, largestSampleValue) : 0.0f;
        }
    return split;
}

SampleLevel levelOf(const std::vector<std::vector<float>>& split, int64_t frames, bool loop, int level) {
    SampleLevel out;
    const int channels = static_cast<int>(split.size());
    const LevelShape shape = shapeOf(level, loop);
    out.length = levelLength(shape, frames, loop);
    out.framesPerSourceFrame = shape.ratio();
    const int64_t stored = out.length + 2 * SampleData::guardFrames;
    out.data.assign(static_cast<std::size_t>(stored * channels), 0.0f);
    for (int c = 0; c < channels; ++c) {
        const std::vector<double> framed = levelChannel(split[c], shape, out.length, loop);
        for (int64_t j = 0; j < stored; ++j)
            out.data[j * channels + c] = static_cast<float>(framed[j]);
    }
    return out;
}

}  // namespace

SampleData buildSampleData(const std::vector<float>& interleaved, int channels, int rate, bool loop, int levels) {
    SampleData sample;
    sample.channels = channels;
    sample.rate = rate;
    sample.frames = static_cast<int64_t>(interleaved.size()) / channels;
    sample.loop = loop;
    if (sample.frames == 0)
        return sample;
    const std::vector<std::vector<float>> split = playableChannels(interleaved, channels, sample.frames);
    levels = std::clamp(levels, SampleData::levelCount, SampleData::mostLevels);
    for (int level = 0; level < levels; ++level)
        sample.levels.push_back(levelOf(split, sample.frames, loop, level));
    return sample;
}

SampleLevel buildSampleLevel(const std::vector<float>& interleaved, int channels, bool loop, int level) {
    const int64_t frames = static_cast<int64_t>(interleaved.size()) / channels;
    if (frames == 0)
        return {};
    return levelOf(playableChannels(interleaved, channels, frames), frames, loop, level);
}

}  // namespace tromel::audio
