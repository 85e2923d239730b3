// The audio layer's calls: sample formats, errors, handles, playback limits.
#include "AudioTestKit.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tromel::audio::test {
namespace {

// Frame 500 of what a channel plays is well after the note's rise.
TEST(MixerAudioLayer, ReadsEveryPcmWavFormatMonoAndStereo) {
    const fs::path folder = scratchFolder("formats");
    std::vector<float> stereo;
    for (int i = 0; i < 256; ++i)
        stereo.insert(stereo.end(), {0.5f, -0.25f});
    for (const int format : {SF_FORMAT_PCM_U8, SF_FORMAT_PCM_16, SF_FORMAT_PCM_24, SF_FORMAT_PCM_32, SF_FORMAT_FLOAT}) {
        for (const int channels : {1, 2}) {
            const fs::path path = folder / ("f" + std::to_string(format) + "-" + std::to_string(channels) + ".wav");
            writeWav(path, channels == 2 ? stereo : std::vector<float>(256, 0.5f), channels, 11025, format);
            SoloVoice voice(path, true);
            ASSERT_NE(voice.channel, 0u) << format;
            const std::vector<float> out = voice.play(0, 600);  // half of each side: the mixer's headroom
            EXPECT_NEAR(out[2 * 500], 0.25f, 0.002f) << format;
            EXPECT_NEAR(out[2 * 500 + 1], channels == 2 ? -0.125f : 0.25f, 0.002f) << format;
        }
    }
}

TEST(MixerAudioLayer, ReportsItsVersionAndTheCodesOfFailedLoads) {
    MixerAudioLayer layer;
    EXPECT_EQ(layer.version() >> 16, expectedVersionHigh);
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

// Commands that found the queue full go out once there is room, without waiting for another call.
TEST(MixerAudioLayer, CommandsBeyondAFullQueueWaitForFlushPending) {
    SoloVoice voice(steadySampleFolder() / "M01.wav", true);
    MixerAudioLayer& layer = voice.layer;
    for (int i = 0; i < 20000; ++i)
        layer.setChannelAttributes(voice.channel, 0, largestVolume, 0);
    layer.playChannel(voice.channel);
    EXPECT_EQ(render(layer, 600)[2 * 500], 0.0f);  // the queue's worth applied; Play still waits
    EXPECT_FALSE(layer.flushPending());
    EXPECT_NE(render(layer, 600)[2 * 500], 0.0f);
    EXPECT_FALSE(layer.flushPending());
}

TEST(MixerAudioLayer, LoopingFollowsTheChannelFlag) {
    SoloVoice voice(steadySampleFolder() / "M01.wav", true);  // 64 frames at 22050 Hz: 128 output frames
    voice.layer.setChannelLooping(voice.channel, false);
    const std::vector<float> once = voice.play(0, 600);
    EXPECT_NE(once[2 * 50], 0.0f);
    EXPECT_EQ(once[2 * 500], 0.0f);
    EXPECT_EQ(voice.play(2000000000, 600)[2 * 500], 0.0f);  // clamped to the fastest rate: over, no hang
    voice.layer.setChannelLooping(voice.channel, true);
    EXPECT_NE(voice.play(0, 600)[2 * 500], 0.0f);
}

}  // namespace
}  // namespace tromel::audio::test
