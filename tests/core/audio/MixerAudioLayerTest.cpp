// The audio layer's calls: sample formats, errors, handles, playback limits.
#include "AudioTestKit.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <fstream>

namespace tromel::audio::test {
namespace {

float steadyLevel(MixerAudioLayer& layer, Handle channel, bool right = false) {
    layer.setChannelAttributes(channel, 0, largestVolume, 0);
    layer.playChannel(channel);
    const std::vector<float> out = render(layer, 600);
    return out[2 * 500 + (right ? 1 : 0)];
}

TEST(MixerAudioLayer, ReportsTheInterfaceVersionAndOpensNoDevice) {
    MixerAudioLayer layer;
    EXPECT_EQ(layer.version() >> 16, expectedVersionHigh);
    EXPECT_TRUE(layer.initDevice(outputRate));
    layer.setMaxVolume(largestVolume);
    EXPECT_EQ(layer.lastError(), errorNone);
}

TEST(MixerAudioLayer, ReadsEveryPcmWavFormatMonoAndStereo) {
    const fs::path folder = scratchFolder("formats");
    for (const int format : {SF_FORMAT_PCM_U8, SF_FORMAT_PCM_16, SF_FORMAT_PCM_24, SF_FORMAT_PCM_32, SF_FORMAT_FLOAT}) {
        const fs::path path = folder / ("f" + std::to_string(format) + ".wav");
        writeWav(path, std::vector<float>(256, 0.5f), 1, 11025, format);
        MixerAudioLayer layer;
        const Handle channel = layer.channelFromSample(layer.loadSample(path, true, 1));
        ASSERT_NE(channel, 0u) << format;
        EXPECT_NEAR(steadyLevel(layer, channel), 0.25f, 0.002f) << format;
    }
    std::vector<float> stereo;
    for (int i = 0; i < 256; ++i)
        stereo.insert(stereo.end(), {0.5f, -0.25f});
    writeWav(folder / "stereo.wav", stereo, 2, 44100, SF_FORMAT_PCM_16);
    MixerAudioLayer layer;
    const Handle channel = layer.channelFromSample(layer.loadSample(folder / "stereo.wav", true, 1));
    EXPECT_NEAR(steadyLevel(layer, channel), 0.25f, 0.001f);
    EXPECT_NEAR(steadyLevel(layer, channel, true), -0.125f, 0.001f);
}

TEST(MixerAudioLayer, MissingAndUnreadableFilesFailWithTheirCodes) {
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
}

TEST(MixerAudioLayer, ChannelsPerSampleAreLimitedAndFreedWithTheirSample) {
    MixerAudioLayer layer;
    const fs::path path = steadySampleFolder() / "M01.wav";
    const Handle sample = layer.loadSample(path, true, 2);
    const Handle first = layer.channelFromSample(sample);
    const Handle second = layer.channelFromSample(sample);
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, first);
    EXPECT_EQ(layer.channelFromSample(sample), 0u);
    EXPECT_EQ(layer.lastError(), errorNoChannel);
    layer.setChannelAttributes(first, 0, largestVolume, 0);
    layer.playChannel(first);
    render(layer, 100);
    layer.freeSample(sample);
    const std::vector<float> out = render(layer, 400);
    EXPECT_EQ(out[2 * 300], 0.0f);  // freed channels fade out
    layer.playChannel(first);
    EXPECT_EQ(layer.lastError(), errorHandle);
    EXPECT_EQ(render(layer, 400)[2 * 300], 0.0f);
}

TEST(MixerAudioLayer, LoopingFollowsTheChannelFlag) {
    MixerAudioLayer layer;
    const fs::path path = steadySampleFolder() / "M01.wav";  // 64 frames at 22050 Hz
    const Handle channel = layer.channelFromSample(layer.loadSample(path, true, 1));
    layer.setChannelLooping(channel, false);
    layer.setChannelAttributes(channel, 0, largestVolume, 0);
    layer.playChannel(channel);
    const std::vector<float> once = render(layer, 2000);
    EXPECT_NE(once[2 * 50], 0.0f);
    EXPECT_EQ(once[2 * 1000], 0.0f);
    layer.setChannelLooping(channel, true);
    layer.playChannel(channel);
    EXPECT_NE(render(layer, 2000)[2 * 1999], 0.0f);
}

}  // namespace
}  // namespace tromel::audio::test
