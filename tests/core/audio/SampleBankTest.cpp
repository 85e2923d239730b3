// The generated sample bank: formats, seamless tuned loops, distinct waves, clean drum edges.
#include "audio/SongCompiler.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <vector>

namespace tromel::audio {
namespace {

namespace fs = std::filesystem;

struct BankFile {
    SF_INFO info{};
    std::vector<float> frames;
};

BankFile readBankFile(bool drum, int number) {
    BankFile file;
    const fs::path path = fs::path(TROMEL_SAMPLE_DIR) / sampleFileName(drum, number);
    SNDFILE* sound = sf_open(path.c_str(), SFM_READ, &file.info);
    if (!sound)
        return file;
    file.frames.resize(static_cast<std::size_t>(file.info.frames));
    sf_readf_float(sound, file.frames.data(), file.info.frames);
    sf_close(sound);
    return file;
}

// Harmonic magnitudes of a loop holding `cycles` cycles, scaled to unit length.
std::vector<double> harmonics(const std::vector<float>& loop, int cycles, int count) {
    std::vector<double> magnitudes;
    double norm = 0.0;
    for (int k = 1; k <= count; ++k) {
        double re = 0.0;
        double im = 0.0;
        for (std::size_t i = 0; i < loop.size(); ++i) {
            const double angle = 2.0 * std::numbers::pi * k * cycles * static_cast<double>(i) / loop.size();
            re += loop[i] * std::cos(angle);
            im += loop[i] * std::sin(angle);
        }
        magnitudes.push_back(std::hypot(re, im));
        norm += magnitudes.back() * magnitudes.back();
    }
    for (double& m : magnitudes)
        m /= std::sqrt(norm);
    return magnitudes;
}

TEST(SampleBank, WavesAreTunedSeamlessDistinctLoops) {
    std::vector<std::vector<double>> spectra;
    for (int wave = 0; wave < 100; ++wave) {
        const BankFile file = readBankFile(false, wave);
        ASSERT_EQ(file.info.samplerate, 22050) << wave;
        ASSERT_EQ(file.info.channels, 1) << wave;
        ASSERT_EQ(file.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16) << wave;
        // 25 cycles in 2107 frames: 261.626 Hz at 22050 Hz, within 0.02 cent of middle C.
        ASSERT_EQ(file.frames.size(), 2107u) << wave;
        const float wrapStep = std::abs(file.frames.front() - file.frames.back());
        float largest = 0.0f;
        for (std::size_t i = 1; i < file.frames.size(); ++i)
            largest = std::max(largest, std::abs(file.frames[i] - file.frames[i - 1]));
        EXPECT_LE(wrapStep, largest) << "wave " << wave << " does not join seamlessly";
        EXPECT_GE(file.frames.front(), 0.0f) << wave;
        EXPECT_LT(file.frames.back(), 0.0f) << wave;  // it starts at a rising zero crossing
        spectra.push_back(harmonics(file.frames, 25, 37));
    }
    for (std::size_t a = 0; a < spectra.size(); ++a)
        for (std::size_t b = a + 1; b < spectra.size(); ++b) {
            double same = 0.0;
            for (std::size_t k = 0; k < spectra[a].size(); ++k)
                same += spectra[a][k] * spectra[b][k];
            EXPECT_LT(same, 0.999) << "waves " << a << " and " << b << " sound alike";
        }
}

TEST(SampleBank, DrumsStartAndEndInSilence) {
    for (int drum = 0; drum < 12; ++drum) {
        const BankFile file = readBankFile(true, drum);
        ASSERT_EQ(file.info.samplerate, 22050) << drum;
        ASSERT_EQ(file.info.channels, 1) << drum;
        ASSERT_GT(file.frames.size(), 1000u) << drum;
        EXPECT_EQ(file.frames.front(), 0.0f) << drum;
        EXPECT_EQ(file.frames.back(), 0.0f) << drum;
    }
}

}  // namespace
}  // namespace tromel::audio
