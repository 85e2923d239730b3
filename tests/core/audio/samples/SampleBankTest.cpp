// The generated sample bank: formats, seamless tuned loops, distinct waves of one loudness, drums
// that die away.
#include "../AudioTestKit.h"
#include "audio/playback/SongCompiler.h"
#include "audio/samples/SampleShape.h"

#include "song/DrumSet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

namespace tromel::audio::test {
namespace {

Wav bankFile(bool drum, int number) {
    const Wav wav = readWav(fs::path(TROMEL_SAMPLE_DIR) / sampleFileName(drum, number));
    EXPECT_EQ(std::tie(wav.info.format, wav.info.samplerate, wav.info.channels),
              std::make_tuple(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1))
        << number;
    return wav;
}

// Harmonic magnitudes of a loop holding `cycles` cycles, scaled to unit length.
std::vector<double> harmonics(const std::vector<float>& loop, int cycles, int count) {
    std::vector<double> magnitudes;
    double norm = 0.0;
    for (int k = 1; k <= count; ++k) {
        std::complex<double> sum = 0.0;
        for (std::size_t i = 0; i < loop.size(); ++i)
            sum +=
                static_cast<double>(loop[i]) * std::polar(1.0, 2.0 * std::numbers::pi * k * cycles * i / loop.size());
        magnitudes.push_back(std::abs(sum));
        norm += std::norm(sum);
    }
    for (double& m : magnitudes)
        m /= std::sqrt(norm);
    return magnitudes;
}

float peakOf(const std::vector<float>& frames, std::size_t first = 0) {
    float peak = 0.0f;
    for (std::size_t i = first; i < frames.size(); ++i)
        peak = std::max(peak, std::abs(frames[i]));
    return peak;
}

TEST(SampleBank, WavesAreTunedSeamlessDistinctLoopsOfOneLoudness) {
    std::vector<std::vector<double>> spectra;
    double quietest = 1.0;
    double loudest = 0.0;
    for (int wave = 0; wave < 100; ++wave) {
        const std::vector<float> loop = bankFile(false, wave).frames;
        // 25 cycles in 2107 frames: 261.626 Hz at 22050 Hz, within 0.02 cent of middle C.
        ASSERT_EQ(loop.size(), 2107u) << wave;
        EXPECT_GE(loop.front(), 0.0f) << wave;
        EXPECT_LT(loop.back(), 0.0f) << wave;  // it starts at a rising zero crossing
        EXPECT_LE(std::abs(loop.front() - loop.back()), largestStep(loop)) << "wave " << wave << " has a seam";
        spectra.push_back(harmonics(loop, 25, 37));
        quietest = std::min(quietest, rmsOf(loop));
        loudest = std::max(loudest, rmsOf(loop));
        EXPECT_LT(peakOf(loop), 0.96f) << wave;
    }
    EXPECT_LE(20.0 * std::log10(loudest / quietest), 3.0);  // all within 1.5 dB of the middle
    for (std::size_t a = 0; a < spectra.size(); ++a)
        for (std::size_t b = a + 1; b < spectra.size(); ++b) {
            double same = 0.0;
            for (std::size_t k = 0; k < spectra[a].size(); ++k)
                same += spectra[a][k] * spectra[b][k];
            EXPECT_LT(same, 0.999) << "waves " << a << " and " << b << " sound alike";
        }
}

TEST(SampleBank, DrumsStartInSilenceAndDieAwayBeforeTheirEnd) {
    for (int drum = 0; drum < drumCount; ++drum) {
        const std::vector<float> frames = bankFile(true, drum).frames;
        ASSERT_GT(frames.size(), 2000u) << drum;
        EXPECT_EQ(frames.front(), 0.0f) << drum;
        EXPECT_EQ(frames.back(), 0.0f) << drum;
        const float lastFiftyMs = peakOf(frames, frames.size() - 1102);
        EXPECT_LT(20.0 * std::log10(lastFiftyMs / peakOf(frames)), -60.0) << drum;
    }
}

// The pictures of the instrument dialog: a wave's first period read between its frames, a
// drum's loudest swing in each stretch, whichever way it swings.
TEST(SampleBank, ShapesForPicturesOfASample) {
    std::vector<float> sine;
    for (int i = 0; i < 200; ++i)
        sine.push_back(static_cast<float>(std::sin(2 * std::numbers::pi * i / 84.5)));
    const std::vector<float> period = firstPeriod(sine, 84.5, 13);
    ASSERT_EQ(period.size(), 13u);
    for (std::size_t i = 0; i < period.size(); ++i)
        EXPECT_NEAR(period[i], std::sin(2 * std::numbers::pi * static_cast<double>(i) / 13), 0.002) << i;
    const std::vector<float> swings{0.1f, -0.9f, 0.2f, 0.0f, -0.3f, 0.25f};
    EXPECT_EQ(peakEnvelope(swings, 3), (std::vector<float>{0.9f, 0.2f, 0.3f}));
    const std::optional<std::vector<float>> wave = readSampleFrames(fs::path(TROMEL_SAMPLE_DIR) / "M01.wav", 90);
    ASSERT_TRUE(wave);
    EXPECT_EQ(wave->size(), 90u);
    EXPECT_FALSE(readSampleFrames(fs::path(TROMEL_SAMPLE_DIR) / "M101.wav", 90));
}

}  // namespace
}  // namespace tromel::audio::test
