// The audio layer's calls: sample formats, errors, handles, playback limits.
#include "AudioTestKit.h"
#include "audio/mixer/KeyFrequency.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <numbers>

namespace tromel::audio::test {
namespace {

// A sine of 64 frames a period, at half scale, and on the right side of the stereo files the
// same at a quarter, upside down. Played at the file's rate it keeps its RMS through the mixer.
TEST(MixerAudioLayer, ReadsEveryPcmWavFormatMonoAndStereo) {
    const fs::path folder = scratchFolder("formats");
    std::vector<float> mono;
    std::vector<float> stereo;
    for (int i = 0; i < 256; ++i) {
        const float v = 0.5f * static_cast<float>(std::sin(2.0 * std::numbers::pi * i / 64));
        mono.push_back(v);
        stereo.insert(stereo.end(), {v, -0.5f * v});
    }
    const float halfScale = 0.5f / std::sqrt(2.0f) * Mixer::mixGain;
    for (const int format : {SF_FORMAT_PCM_U8, SF_FORMAT_PCM_16, SF_FORMAT_PCM_24, SF_FORMAT_PCM_32, SF_FORMAT_FLOAT}) {
        for (const int channels : {1, 2}) {
            const fs::path path = folder / ("f" + std::to_string(format) + "-" + std::to_string(channels) + ".wav");
            writeWav(path, channels == 2 ? stereo : mono, channels, 11025, format);
            SoloVoice voice(path, true);
            ASSERT_NE(voice.channel, 0u) << format;
            const std::vector<float> out = voice.play(0, 600 + 512);  // two periods after the rise
            const std::vector<float> right(out.begin() + 1, out.end());
            EXPECT_NEAR(rmsOf(leftOf(out, 600)), halfScale, 0.002f) << format;
            EXPECT_NEAR(rmsOf(leftOf(right, 600)), channels == 2 ? halfScale / 2 : halfScale, 0.002f) << format;
            EXPECT_LT(out[2 * 700] * right[2 * 700], channels == 2 ? 0.0f : 1.0f) << format;  // upside down
        }
    }
}

// A float file may hold infinities and NaNs: they play as silence, and the output stays a number.
TEST(MixerAudioLayer, SamplesThatAreNotNumbersPlayAsSilence) {
    std::vector<float> frames(256, 0.5f);
    frames[10] = std::numeric_limits<float>::infinity();
    frames[20] = std::numeric_limits<float>::quiet_NaN();
    const fs::path path = scratchFolder("nan") / "nan.wav";
    writeWav(path, frames, 1, 22050, SF_FORMAT_FLOAT);
    SoloVoice voice(path, true);
    const std::vector<float> out = voice.play(0, 4096);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float v) { return std::isfinite(v); }));
    EXPECT_NE(out[2 * 4000], 0.0f);
    voice.layer.setChannelLooping(voice.channel, false);
    EXPECT_EQ(voice.play(2000000000, 600)[2 * 500], 0.0f);  // clamped to the fastest rate: over, no hang
}

TEST(MixerAudioLayer, ReportsTheCodesOfFailedLoadsAndRefusesLongSamples) {
    MixerAudioLayer layer;
    const fs::path folder = scratchFolder("bad");
    EXPECT_EQ(layer.loadSample(folder / "none.wav", true, 50), 0u);
    EXPECT_EQ(layer.lastError(), errorFileOpen);
    std::ofstream(folder / "text.wav") << "not a sound";
    EXPECT_EQ(layer.loadSample(folder / "text.wav", true, 50), 0u);
    EXPECT_EQ(layer.lastError(), errorFormat);
    // Calls on handle 0 do nothing, so the error of the failed load stays readable.
    EXPECT_EQ(layer.channelFromSample(0), 0u);
    layer.setChannelAttributes(0, 0, 100, 0);
    layer.playChannel(0);
    layer.freeSample(0);
    EXPECT_EQ(layer.lastError(), errorFormat);

    // Longer than 30 seconds, or than 30 seconds at 48000 Hz whatever the rate: refused unread.
    const std::tuple<int, double, bool> lengths[] = {{1000, 30.0, true}, {1000, 30.01, false}, {96000, 15.01, false}};
    for (const auto& [rate, seconds, accepted] : lengths) {
        const fs::path path = folder / ("long" + std::to_string(rate) + std::to_string(seconds) + ".wav");
        writeWav(path, std::vector<float>(static_cast<std::size_t>(rate * seconds)), 1, rate, SF_FORMAT_PCM_16);
        EXPECT_EQ(layer.loadSample(path, false, 50) != 0, accepted) << rate << " Hz, " << seconds << " s";
        EXPECT_EQ(layer.lastError(), accepted ? errorNone : errorTooLong);
    }
}

TEST(MixerAudioLayer, ChannelsPerSampleAreLimitedAndFreedWithTheirSample) {
    MixerAudioLayer layer;
    const Handle sample = layer.loadSample(steadySampleFolder() / "M01.wav", true, 2);
    const Handle first = layer.channelFromSample(sample);
    EXPECT_NE(first, 0u);
    EXPECT_NE(layer.channelFromSample(sample), first);
    EXPECT_EQ(layer.channelFromSample(sample), 0u);
    EXPECT_EQ(layer.lastError(), errorNoChannel);
    layer.setChannelAttributes(first, 0, largestVolume, 0);
    layer.playChannel(first);
    EXPECT_NE(render(layer, 600)[2 * 500], 0.0f);
    layer.freeSample(sample);
    EXPECT_EQ(render(layer, 400)[2 * 300], 0.0f);  // freed channels fade out
    layer.playChannel(first);
    EXPECT_EQ(layer.lastError(), errorHandle);
    EXPECT_EQ(render(layer, 400)[2 * 300], 0.0f);
}

// Layers at several rates share a cache: a sample a lower rate needs more levels of is made
// again with them and takes the cached one's place, and a 44100 Hz layer sounds the same,
// sample for sample, whichever it is given.
TEST(MixerAudioLayer, ASharedCacheServesEveryRateAndLeavesEachRatesSoundAlone) {
    std::vector<float> noise(4000);
    uint32_t seed = 1;
    for (float& v : noise) {
        seed = seed * 1664525u + 1013904223u;
        v = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
    }
    const fs::path path = scratchFolder("shared") / "noise.wav";
    writeWav(path, noise, 1, 22050, SF_FORMAT_FLOAT);
    auto cache = std::make_shared<SampleCache>();
    const auto highestDrum = [&](int rate) {
        MixerAudioLayer layer(cache, rate);
        const Handle channel = layer.channelFromSample(layer.loadSample(path, false, 1));
        layer.setChannelAttributes(channel, noteFrequency(1, true), largestVolume, 0);
        layer.playChannel(channel);
        return render(layer, 1000);
    };
    const std::vector<float> alone = highestDrum(outputRate);
    EXPECT_EQ(cache->find(path, false)->levels.size(), std::size_t{SampleData::levelCount});
    for (const auto& [rate, levels] : {std::pair{highestRate, 9}, {48000, 9}, {lowestRate, 11}}) {
        EXPECT_EQ(Mixer(rate).sampleLevels(), levels) << rate;
        highestDrum(rate);
        EXPECT_EQ(cache->find(path, false)->levels.size(), static_cast<std::size_t>(levels)) << rate;
    }
    EXPECT_EQ(highestDrum(outputRate), alone);
    // The sample worker prepares them as the layer's rate needs them: once it has, nothing is left to prepare.
    writeWav(path.parent_path() / "again.wav", noise, 1, 22050, SF_FORMAT_FLOAT);
    MixerAudioLayer low(cache, lowestRate);
    const std::vector<SampleRequest> again{{path.parent_path() / "again.wav", false}};
    low.prepareSamples(again)->wait();
    EXPECT_EQ(low.prepareSamples(again), nullptr);
}

}  // namespace
}  // namespace tromel::audio::test
