// The mixer's output measured: pitch, aliasing, gains and pans, clicks at cuts.
#include "AudioTestKit.h"
#include "audio/KeyFrequency.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <numbers>

namespace tromel::audio::test {
namespace {

constexpr int fullVolume = largestVolume;
constexpr double middleC = 261.6255653;  // 440 Hz nine keys below

struct Voice1 {
    MixerAudioLayer layer;
    Handle sample = 0;
    Handle channel = 0;

    Voice1(const fs::path& path, bool loop) {
        sample = layer.loadSample(path, loop, samplesMaxPlaybacks);
        channel = layer.channelFromSample(sample);
        layer.setChannelLooping(channel, loop);
    }
    std::vector<float> play(int frequency, int volume, int pan, int frames) {
        layer.setChannelAttributes(channel, frequency, volume, pan);
        layer.playChannel(channel);
        return render(layer, frames, 512);
    }
};

std::vector<float> window(const std::vector<float>& mono, std::size_t first, std::size_t count) {
    return {mono.begin() + static_cast<std::ptrdiff_t>(first),
            mono.begin() + static_cast<std::ptrdiff_t>(first + count)};
}

// A saw of exactly `period` frames with every harmonic up to 45 % of its rate.
fs::path sawFile(int period) {
    const fs::path path = scratchFolder("saw") / "saw.wav";
    std::vector<float> frames(period, 0.0f);
    for (int k = 1; k <= static_cast<int>(0.45 * period); ++k)
        for (int i = 0; i < period; ++i)
            frames[i] += static_cast<float>(0.5 / k * std::sin(2.0 * std::numbers::pi * k * i / period));
    writeWav(path, frames, 1, 22050, SF_FORMAT_FLOAT);
    return path;
}

TEST(SoundQuality, BankWavesSoundTheirKeysWithinACent) {
    Voice1 voice(fs::path(TROMEL_SAMPLE_DIR) / "M01.wav", true);
    ASSERT_NE(voice.channel, 0u);
    for (const int key : {48, 57, 95}) {
        const std::vector<float> out = leftOf(voice.play(keyToFrequency(key), fullVolume, 0, 44100 + 4096));
        const double expected = middleC * std::pow(2.0, (key - 48) / 12.0);
        const double measured = measureFrequency(window(out, 4096, 44100), expected);
        EXPECT_NEAR(cents(measured, expected), 0.0, 1.0) << "key " << key << " measured " << measured;
        RecordProperty("cents_key_" + std::to_string(key), std::to_string(cents(measured, expected)));
    }
}

TEST(SoundQuality, SawAtKey95HasNoAudibleAliases) {
    const int period = 84;
    Voice1 voice(sawFile(period), true);
    const int rate = keyToFrequency(95);
    ASSERT_EQ(rate, 332999);
    const std::vector<float> out = leftOf(voice.play(rate, fullVolume, 0, 4096 + 16384));
    const double ratio = harmonicToRestDb(window(out, 4096, 16384), static_cast<double>(rate) / period);
    EXPECT_GE(ratio, 80.0);
    RecordProperty("alias_db_key_95", std::to_string(ratio));
}

TEST(SoundQuality, EveryKeyOfTheSawStaysClean) {
    const int period = 84;
    Voice1 voice(sawFile(period), true);
    for (int key = 60; key <= 107; key += 7) {
        const int rate = keyToFrequency(key);
        const std::vector<float> out = leftOf(voice.play(rate, fullVolume, 0, 2048 + 8192));
        EXPECT_GE(harmonicToRestDb(window(out, 2048, 8192), static_cast<double>(rate) / period), 75.0) << key;
    }
}

TEST(SoundQuality, VolumeAndBalancePan) {
    Voice1 voice(steadySampleFolder(0.5f) / "M01.wav", true);
    const auto levels = [&](int volume, int pan) {
        const std::vector<float> out = voice.play(0, volume, pan, 1024);
        return std::pair{out[2 * 1000], out[2 * 1000 + 1]};
    };
    const float full = 0.5f * 0.5f;  // sample level times the mixer's headroom
    EXPECT_NEAR(levels(320, 0).first, full, 1e-4);
    EXPECT_NEAR(levels(320, 0).second, full, 1e-4);
    EXPECT_NEAR(levels(160, 0).first, full / 2, 1e-4);
    EXPECT_NEAR(levels(320, 50).first, full / 2, 1e-4);  // right of centre: the left side fades
    EXPECT_NEAR(levels(320, 50).second, full, 1e-4);
    EXPECT_NEAR(levels(320, -100).second, 0.0f, 1e-4);
    EXPECT_NEAR(levels(320, -100).first, full, 1e-4);
}

TEST(SoundQuality, LoudMixesSaturateInsteadOfWrapping) {
    MixerAudioLayer layer;
    const fs::path path = steadySampleFolder(1.0f) / "M01.wav";
    for (int i = 0; i < 6; ++i) {
        const Handle channel = layer.channelFromSample(layer.loadSample(path, true, samplesMaxPlaybacks));
        layer.setChannelAttributes(channel, 0, fullVolume, 0);
        layer.playChannel(channel);
    }
    const std::vector<float> out = render(layer, 512);
    EXPECT_FLOAT_EQ(out[1000], 1.0f);
}

TEST(SoundQuality, CutsPausesStopsAndRetriggersDoNotClick) {
    Voice1 voice(steadySampleFolder(0.5f) / "M01.wav", true);
    const float threshold = 0.01f;  // a hard cut of this level would jump by 0.25
    voice.play(0, fullVolume, 0, 1000);
    voice.layer.pauseChannel(voice.channel);
    std::vector<float> out = leftOf(render(voice.layer, 1000));
    EXPECT_LT(largestStep(out, 0, out.size()), threshold);
    EXPECT_EQ(out.back(), 0.0f);

    voice.play(0, fullVolume, 0, 1000);
    voice.layer.stopChannel(voice.channel);
    out = leftOf(render(voice.layer, 1000));
    EXPECT_LT(largestStep(out, 0, out.size()), threshold);
    EXPECT_EQ(out.back(), 0.0f);

    // A retrigger of a sine near its crest (a hard restart would jump by about 0.45): the old
    // note fades out under the new one, so the steepest step is at most the two slopes added.
    Voice1 sine(fs::path(TROMEL_SAMPLE_DIR) / "M01.wav", true);
    out = leftOf(sine.play(keyToFrequency(48), fullVolume, 0, 1055));
    const float natural = largestStep(out, 500, out.size());
    ASSERT_GT(std::abs(out.back()), 0.4f);
    sine.layer.playChannel(sine.channel);
    out = leftOf(render(sine.layer, 1000));
    EXPECT_LT(largestStep(out, 0, out.size()), natural * 2.2f);
}

TEST(SoundQuality, OneShotEndsInSilenceAndFarRatesAreClamped) {
    Voice1 drum(fs::path(TROMEL_SAMPLE_DIR) / "D03.wav", false);
    std::vector<float> out = leftOf(drum.play(0, fullVolume, 0, 22050));
    EXPECT_EQ(out.back(), 0.0f);
    EXPECT_LT(largestStep(out, 0, out.size()), 0.5f);
    out = leftOf(drum.play(2000000000, fullVolume, 0, 4096));
    EXPECT_EQ(out.back(), 0.0f);  // played at the fastest rate, over at once, no hang
}

}  // namespace
}  // namespace tromel::audio::test
