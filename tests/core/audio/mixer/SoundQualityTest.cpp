// The mixer's output measured: pitch, aliasing, gains and pans, clicks at cuts.
#include "../AudioTestKit.h"
#include "audio/mixer/KeyFrequency.h"
#include "audio/mixer/PeakLimiter.h"
#include "audio/playback/NotePreview.h"
#include "audio/samples/SampleCache.h"
#include "audio/samples/SampleLevels.h"
#include "audio/samples/SamplePreparation.h"
#include "song/OrgFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tromel::audio::test {
namespace {

const fs::path bank = TROMEL_SAMPLE_DIR;
// The rates a mixer runs at besides outputRate, the lowest and the highest among them.
constexpr int otherRates[] = {lowestRate, 48000, 96000, highestRate};

// A loop of `period` frames at 22050 Hz holding harmonics 1 to `count` at these amplitudes and
// phases, on a layer of its own.
template <typename Amplitude, typename Phase>
SoloVoice harmonicVoice(const std::string& name, int period, int count, Amplitude amplitude, Phase phase) {
    std::vector<float> wave(period, 0.0f);
    for (int k = 1; k <= count; ++k)
        for (int i = 0; i < period; ++i)
            wave[i] += static_cast<float>(amplitude(k) * std::sin(2.0 * std::numbers::pi * k * i / period + phase(k)));
    const fs::path path = scratchFolder(name) / (name + ".wav");
    writeWav(path, wave, 1, 22050, SF_FORMAT_FLOAT);
    return SoloVoice(path, true);
}

// Key 95 plays at 332999 Hz, fifteen times the saw's own rate. The keys include a blend of two
// levels of each kind (same and half storage rate) and the clamped rate above key 95.
TEST(SoundQuality, SawHasNoAudibleAliasesUpToTheTopKeys) {
    constexpr int period = 84;  // every harmonic up to 45 % of the sample rate
    SoloVoice voice = harmonicVoice(
        "saw", period, 37, [](int k) { return 0.5 / k; }, [](int) { return 0.0; });
    for (const int key : {59, 64, 70, 77, 83, 89, 95, 102}) {
        const int rate = keyToFrequency(key);
        // Measured once the output's DC blocker has settled from the note's start.
        const std::vector<float> out = leftOf(voice.play(rate, 16384 + 16384), 16384);
        const double ratio = harmonicToRestDb(out, static_cast<double>(rate) / period);
        EXPECT_GE(ratio, 80.0) << "key " << key;
        RecordProperty("alias_db_key_" + std::to_string(key), std::to_string(ratio));
    }
}

// A wave of 37 equal harmonics, key by key: its energy above 5 kHz and above 10 kHz changes by at
// most 3 dB from one key to the next, wherever three or more of its harmonics lie in the band
// below 20 kHz (a band holding fewer gains and loses whole harmonics in bigger steps).
TEST(SoundQuality, BrightnessChangesLittleFromKeyToKey) {
    constexpr int period = 84;  // phases spread, so the wave is no spike
    SoloVoice voice = harmonicVoice(
        "bright", period, 37, [](int) { return 0.03; }, [](int k) { return k * k; });
    const auto harmonicsIn = [](int key, double band) {
        int count = 0;
        for (int n = 1; n <= 37; ++n)
            count += n * keyToFrequency(key) > band * period && n * keyToFrequency(key) < 20000.0 * period;
        return count;
    };
    for (const double band : {5000.0, 10000.0}) {
        double before = 0.0;
        for (int key = 36; key <= 95; ++key) {
            const std::vector<float> out = leftOf(voice.play(keyToFrequency(key), 4096 + 8192), 4096);
            const double energy = energyAboveDb(out, 0, 8192, band);
            if (key > 36 && harmonicsIn(key - 1, band) >= 3 && harmonicsIn(key, band) >= 3) {
                EXPECT_LE(std::abs(energy - before), 3.0) << "above " << band << " Hz, keys " << key - 1 << "-" << key;
            }
            before = energy;
        }
    }
}

TEST(SoundQuality, VolumeScalesAndPanBalances) {
    // Middle C's 25 periods fill 4214 frames exactly, so over them the sine's RMS is the file's.
    SoloVoice voice(bank / "M01.wav", true);
    const float full = static_cast<float>(rmsOf(readWav(bank / "M01.wav").frames)) * Mixer::mixGain;
    struct Case {
        int volume, pan;
        float left, right;
    };
    // Off centre, the far side fades and the near side stays full.
    for (const Case& c : {Case{320, 0, full, full}, Case{160, 0, full / 2, full / 2}, Case{320, 50, full / 2, full},
                          Case{320, -100, full, 0.0f}}) {
        const std::vector<float> out = voice.play(keyToFrequency(48), 1000 + 4214, c.volume, c.pan);
        EXPECT_NEAR(rmsOf(leftOf(out, 1000)), c.left, 1e-3 * full) << c.volume << " " << c.pan;
        std::vector<float> right(out.begin() + 1, out.end());
        EXPECT_NEAR(rmsOf(leftOf(right, 1000)), c.right, 1e-3 * full) << c.volume << " " << c.pan;
    }
}

// Sixteen sines in step, at full volume, would pass full scale by 6 dB: the limiter brings their
// crests to just under its ceiling, never onto it.
TEST(SoundQuality, LoudMixesAreLimitedJustBelowTheCeiling) {
    MixerAudioLayer layer;
    for (int i = 0; i < 16; ++i) {
        const Handle channel = layer.channelFromSample(layer.loadSample(bank / "M01.wav", true, samplesMaxPlaybacks));
        layer.setChannelAttributes(channel, keyToFrequency(36), largestVolume, 0);
        layer.playChannel(channel);
    }
    const std::vector<float> out = render(layer, 44100);
    const float peak =
        std::abs(*std::max_element(out.begin(), out.end(), [](float a, float b) { return std::abs(a) < std::abs(b); }));
    EXPECT_LT(peak, PeakLimiter::ceiling);
    EXPECT_GT(peak, PeakLimiter::ceiling * 0.95f);

    // A peak in the last frames of a block, whatever its size, and quiet blocks after it: the
    // peak still in the look-ahead leaves limited, not passed through with the quiet.
    for (int block = 1; block <= 4096; ++block) {
        PeakLimiter limiter;
        std::vector<float> frames(2 * static_cast<std::size_t>(block), 0.1f);
        const int loud = std::min(block, 3);
        std::fill(frames.end() - 2 * loud, frames.end(), 1.5f);
        limiter.process(frames.data(), block);
        float largest = *std::max_element(frames.begin(), frames.end());
        for (int quiet = 0; quiet <= PeakLimiter::lookAheadFrames; quiet += block) {
            std::fill(frames.begin(), frames.end(), 0.0f);
            limiter.process(frames.data(), block);
            largest = std::max(largest, *std::max_element(frames.begin(), frames.end()));
        }
        ASSERT_LT(largest, PeakLimiter::ceiling) << block << "-frame blocks";
    }
}

// The stages of the output last the same times at every rate: the limiter's look-ahead (the
// mixer's latency, 2.9 ms) and its release (0.1 s), the DC blocker's corner (5 Hz) and its
// drain (2.9 ms), the click (50 ms, at its pitch), a voice's rise (0.7 ms) and its fade (2 ms).
TEST(SoundQuality, TheOutputStagesKeepTheirTimesAtEveryRate) {
    const SampleData level = buildSampleData(std::vector<float>(64, 0.5f), 1, 22050, true);
    for (const auto& [rate, lookAhead] :
         {std::pair{lowestRate, 64}, {outputRate, 128}, {48000, 139}, {96000, 279}, {highestRate, 557}}) {
        // A lone peak leaves lookAhead frames after it came, limited; a tenth of a second later
        // the gain has come back 1 - 1/e of the way.
        PeakLimiter limiter(PeakLimiter::ceiling, rate);
        EXPECT_EQ(MixerAudioLayer(rate).outputLatencyFrames(), lookAhead) << rate;
        std::vector<float> frames(2 * static_cast<std::size_t>(lookAhead + 1 + rate / 10), 0.0f);
        frames[0] = frames[1] = 1.5f;
        limiter.process(frames.data(), lookAhead + 1);
        const float lowest = limiter.gain();
        limiter.process(frames.data() + 2 * (lookAhead + 1), rate / 10);
        EXPECT_EQ(onsets(frames), std::vector<int64_t>{lookAhead}) << rate;
        EXPECT_LT(frames[2 * lookAhead], PeakLimiter::ceiling) << rate;
        EXPECT_NEAR((1.0f - limiter.gain()) / (1.0f - lowest), std::exp(-1.0), 0.01) << rate;

        // A steady offset falls to 1/e over one time constant of the corner, then, the input
        // silent, drains away over the look-ahead's time.
        DcBlocker blocker(rate);
        std::vector<float> offset(2 * static_cast<std::size_t>(std::lround(rate / (2.0 * std::numbers::pi * 5.0))),
                                  0.5f);
        blocker.process(offset.data(), static_cast<int>(offset.size() / 2));
        EXPECT_NEAR(offset.back() / 0.5f, std::exp(-1.0), 0.01) << rate;
        std::vector<float> drained(2 * static_cast<std::size_t>(2 * lookAhead), 0.0f);
        blocker.process(drained.data(), 2 * lookAhead);
        const auto held = std::count_if(drained.begin(), drained.end(), [](float v) { return v != 0.0f; });
        EXPECT_NEAR(static_cast<double>(held / 2), lookAhead, 1.0) << rate;

        ClickVoice click(rate);
        click.start(false);
        std::vector<float> clicked(2 * static_cast<std::size_t>(rate / 10), 0.0f);
        click.mix(clicked.data(), rate / 10);
        const auto sounding = std::count_if(clicked.begin(), clicked.end(), [](float v) { return v != 0.0f; });
        EXPECT_NEAR(sounding / 2 * 1000.0 / rate, 50.0, 0.05) << rate;
        EXPECT_NEAR(1200.0 * std::log2(pitchOf(leftOf(clicked), rate) / ClickVoice::beatHz), 0.0, 1.0) << rate;

        Voice voice;
        voice.start(level, true, 1.0, 1.0f, 1.0f, Voice::timingAt(rate));
        std::vector<float> out(2 * 1000);
        voice.mix(out.data(), 1000);
        int rising = 1;
        while (std::abs(out[2 * rising - 2] - out.back()) > 1e-6f * out.back())
            ++rising;
        EXPECT_NEAR(rising * 1000.0 / rate, 0.726, 0.01) << rate;
        voice.fadeOut();
        int fading = 0;
        for (; voice.active(); ++fading)
            voice.mix(out.data(), 1);
        EXPECT_NEAR(fading * 1000.0 / rate, 2.0, 0.05) << rate;
    }
}

// A sine at the lowest and the highest instrument key and at a drum's highest key (a ratio of
// 30 at the lowest rate) keeps, at every rate, its pitch at 44100 Hz within a cent.
TEST(SoundQuality, KeysKeepTheirPitchAtEveryRate) {
    const fs::path folder = scratchFolder("pitch");
    std::vector<float> wave(64);
    std::vector<float> burst(40000);
    for (std::size_t i = 0; i < burst.size(); ++i)
        burst[i] = 0.5f * static_cast<float>(std::sin(2.0 * std::numbers::pi * static_cast<double>(i) / 128.0));
    for (std::size_t i = 0; i < wave.size(); ++i)
        wave[i] = burst[2 * i];
    writeWav(folder / "wave.wav", wave, 1, 22050, SF_FORMAT_FLOAT);
    writeWav(folder / "burst.wav", burst, 1, 22050, SF_FORMAT_FLOAT);
    struct Case {
        const char* file;
        bool loop;
        int keyRow;
        double from, to;  // seconds: where the pitch is measured
    };
    // The burst lasts 60 ms at the drum's top key.
    for (const Case& c : {Case{"wave.wav", true, 96, 0.3, 1.3}, Case{"wave.wav", true, 1, 0.1, 0.2},
                          Case{"burst.wav", false, 1, 0.01, 0.055}}) {
        const bool drum = !c.loop;
        const auto pitchAt = [&](int rate) {
            SoloVoice voice(folder / c.file, c.loop, rate);
            const std::vector<float> out =
                leftOf(voice.play(noteFrequency(c.keyRow, drum), static_cast<int>(c.to * rate)));
            return pitchOf(std::vector<float>(out.begin() + static_cast<std::ptrdiff_t>(c.from * rate), out.end()),
                           rate);
        };
        const double reference = pitchAt(outputRate);
        const double period = c.loop ? 64.0 : 128.0;
        EXPECT_NEAR(1200.0 * std::log2(reference * period / noteFrequency(c.keyRow, drum)), 0.0, 1.0) << c.file;
        for (const int rate : otherRates)
            EXPECT_NEAR(1200.0 * std::log2(pitchAt(rate) / reference), 0.0, 1.0)
                << c.file << " key row " << c.keyRow << " at " << rate << " Hz";
    }
    // A sample made with fewer levels than the rate needs is held to its top level's reach,
    // never played beyond it, aliased.
    const SampleData fewer = buildSampleData({burst.begin(), burst.begin() + 4000}, 1, 22050, false);
    std::vector<float> played[2];
    for (const double ratio : {30.0, SampleData::largestRatio()}) {
        Voice voice;
        voice.start(fewer, false, ratio, 1.0f, 1.0f, Voice::timingAt(lowestRate));
        std::vector<float>& out = played[ratio == 30.0];
        out.assign(2 * 1000, 0.0f);
        voice.mix(out.data(), 1000);
    }
    EXPECT_EQ(played[0], played[1]);
}

TEST(SoundQuality, CutsPausesStopsAndRetriggersDoNotClick) {
    SoloVoice voice(steadySampleFolder() / "M01.wav", true);
    for (const auto cut : {&MixerAudioLayer::pauseChannel, &MixerAudioLayer::stopChannel}) {
        voice.play(0, 1000);
        (voice.layer.*cut)(voice.channel);
        const std::vector<float> out = leftOf(render(voice.layer, 1000));
        EXPECT_LT(largestStep(out), 0.01f);  // a hard cut of this level would jump by 0.25
        EXPECT_EQ(out.back(), 0.0f);
    }
    // A retrigger of a sine near its crest (a hard restart would jump by its amplitude): the old
    // note fades out under the new one, so the steepest step is at most the two slopes added,
    // also when the channel is retriggered twice within 2 ms.
    SoloVoice sine(bank / "M01.wav", true);
    const std::vector<float> out = leftOf(sine.play(keyToFrequency(48), 1055));
    ASSERT_GT(std::abs(out.back()), 0.95f * *std::max_element(out.begin(), out.end()));
    sine.layer.playChannel(sine.channel);
    EXPECT_LT(largestStep(leftOf(render(sine.layer, 1000))), largestStep(out, 500) * 2.2f);
    // Twice within 2 ms: the note still fading keeps its tail, and the next fades in the other.
    for (const int gap : {1, 44, 88}) {
        SoloVoice twice(bank / "M01.wav", true);
        twice.play(keyToFrequency(48), 1055);
        std::vector<float> retriggered(2 * (gap + 1000));
        twice.layer.playChannel(twice.channel);
        twice.layer.renderFrames(retriggered.data(), gap);
        twice.layer.playChannel(twice.channel);
        twice.layer.renderFrames(retriggered.data() + 2 * gap, 1000);
        EXPECT_LT(largestStep(leftOf(retriggered)), largestStep(out, 500) * 2.2f) << gap;
    }
}

// A note placed with Preview Notes on sounds at its key for its length, at most a second, on a
// channel of its own: the song and its playback are left alone.
TEST(SoundQuality, APreviewSoundsTheNoteAtItsKeyAndLeavesTheSongAlone) {
    MixerAudioLayer layer;
    Song song = songWith({{0, {5, 48, 3, 6, 200}}}, 16, 100);
    song.drums[2].wave = 1;
    const std::vector<uint8_t> before = writeOrgBytes(song);
    NotePreview preview(layer, bank);
    // A clock that stands still: the preview waits for as long as the worker prepares the sample.
    const auto now = NotePreview::Clock::now();
    EXPECT_EQ(preview.start(song, 0, 0, {7, 36, 3, 6, 200}, now), 0);
    int milliseconds = 0;
    while (preview.isWaiting())
        milliseconds = preview.proceed(now);
    EXPECT_EQ(milliseconds, 300);  // three steps of 100 ms
    // Key 60, an octave above middle C: a sixth of a cent off, what is left would be 20 dB louder.
    EXPECT_GE(harmonicToRestDb(leftOf(render(layer, 4096 + 8192), 4096), 261.6255653 * 2.0), 50.0);
    preview.stop();
    EXPECT_EQ(leftOf(render(layer, 1000)).back(), 0.0f);
    preview.start(song, 1, 2, {7, 40, 20, 6, 200}, now);
    while (preview.isWaiting())
        milliseconds = preview.proceed(now);
    EXPECT_EQ(milliseconds, 1000);  // twenty steps, but a second at most
    EXPECT_GT(largestStep(leftOf(render(layer, 2000))), 0.0f);
    EXPECT_EQ(preview.start(song, 0, 0, {7, noKey, 1, 6, 200}), 0);  // an event has nothing to sound
    EXPECT_EQ(writeOrgBytes(song), before);
}

// A layer whose sample worker finishes only when the test says, and which counts the samples the
// user-interface thread loads.
class HeldPreparationLayer : public MixerAudioLayer {
public:
    std::shared_ptr<SamplePreparation> prepareSamples(const std::vector<SampleRequest>& requests) override {
        held = std::make_shared<SamplePreparation>(requests);
        return held;
    }
    Handle loadSample(const fs::path& path, bool loop, int maxPlaybacks) override {
        ++loads;
        return MixerAudioLayer::loadSample(path, loop, maxPlaybacks);
    }
    std::shared_ptr<SamplePreparation> held;
    int loads = 0;
};

// The preview never loads a sample that is not prepared: it waits for the worker, sounds the
// note if the sample is ready within 200 ms of the gesture, and skips it otherwise. The worker
// wakes its owner once, when the sample is ready, and never after a note given up.
TEST(SoundQuality, APreviewWaitsForTheSampleWorkerAtMost200Milliseconds) {
    const Song song = songWith({}, 16, 100);
    const NoteRec note{7, 36, 3, 6, 200};
    const auto gesture = NotePreview::Clock::now();
    using std::chrono::milliseconds;
    for (const bool readyInTime : {true, false}) {
        HeldPreparationLayer layer;
        int wakeUps = 0;
        NotePreview preview(layer, bank, [&] { ++wakeUps; });
        EXPECT_EQ(preview.start(song, 0, 0, note, gesture), 0);
        EXPECT_EQ(preview.proceed(gesture + milliseconds(150)), 0);
        EXPECT_TRUE(preview.isWaiting());
        EXPECT_EQ(layer.loads, 0);
        EXPECT_EQ(wakeUps, 0);
        if (readyInTime)
            layer.held->finish();
        EXPECT_EQ(preview.proceed(gesture + milliseconds(200)), readyInTime ? 300 : 0);
        EXPECT_FALSE(preview.isWaiting());
        layer.held->finish();
        EXPECT_EQ(wakeUps, readyInTime ? 1 : 0);
        EXPECT_EQ(preview.proceed(gesture + milliseconds(210)), 0);
        EXPECT_EQ(layer.loads, readyInTime ? 1 : 0) << readyInTime;
        EXPECT_EQ(largestStep(leftOf(render(layer, 2000))) > 0.0f, readyInTime);
    }
    // A sample ready before the wake-up is asked for wakes at once.
    {
        HeldPreparationLayer layer;
        int wakeUps = 0;
        const auto prepared = std::make_shared<SamplePreparation>(std::vector<SampleRequest>{});
        prepared->finish();
        prepared->whenFinished([&] { ++wakeUps; });
        EXPECT_EQ(wakeUps, 1);
        prepared->finish();
        EXPECT_EQ(wakeUps, 1);
    }
    // A sample the worker could not prepare is not tried again here: the note is skipped.
    HeldPreparationLayer layer;
    NotePreview preview(layer, bank);
    preview.start(song, 0, 0, note, gesture);
    layer.held->complete(0, nullptr, errorFileOpen);
    layer.held->finish();
    EXPECT_EQ(preview.proceed(gesture + milliseconds(10)), 0);
    EXPECT_EQ(layer.loads, 0);
}

// The bank at a quarter of its level, as float files, so nothing but the level changes.
fs::path quarterBank() {
    const fs::path folder = scratchFolder("quarter");
    for (const auto& entry : fs::directory_iterator(bank)) {
        Wav wav = readWav(entry.path());
        for (float& v : wav.frames)
            v *= 0.25f;
        writeWav(folder / entry.path().filename(), wav.frames, wav.info.channels, wav.info.samplerate, SF_FORMAT_FLOAT);
    }
    return folder;
}

// Plays songs one after another on one layer; the samples are prepared once for all players.
struct SongPlayer {
    MixerAudioLayer layer;
    RecordingHost host;
    Transport transport;

    explicit SongPlayer(const fs::path& samples, int rate = outputRate)
        : layer(preparedSamples(), rate), transport(layer, samples) {}
    static std::shared_ptr<SampleCache> preparedSamples() {
        static const auto cache = std::make_shared<SampleCache>();
        return cache;
    }
    std::vector<float> play(const Song& song, int frames) {
        EXPECT_TRUE(transport.play(song, host));
        transport.finishPreparing(host);
        std::vector<float> out = render(layer, frames, 4096);
        transport.stop();
        render(layer, 2 * layer.sampleRate(), 4096);  // the drums play out before the next song
        return out;
    }
};

// Dense songs against a linear reference: the same song from the quarter-level bank, brought
// back up, which no limiter touches. No sample reaches the ceiling, the limiter leaves the
// music at least 40 dB above what it changes, and no song carries an offset.
TEST(SoundQuality, DenseSongsStayLinearBelowTheCeilingWithoutOffset) {
    SongPlayer full(bank);
    SongPlayer quarter(quarterBank());
    for (int variant = 0; variant < denseSongCount; ++variant) {
        const Song song = denseSong(variant);
        const int frames = static_cast<int>(stepFrame(song.loopEnd + 1, song.tempo));
        const std::vector<float> out = full.play(song, frames);
        std::vector<float> linear = quarter.play(song, frames);
        double music = 0.0;
        double difference = 0.0;
        double sums[2] = {};
        float peak = 0.0f;
        for (std::size_t i = 0; i < out.size(); ++i) {
            linear[i] *= 4.0f;
            music += static_cast<double>(linear[i]) * linear[i];
            difference += static_cast<double>(out[i] - linear[i]) * (out[i] - linear[i]);
            sums[i % 2] += out[i];
            peak = std::max(peak, std::abs(out[i]));
        }
        EXPECT_LT(peak, PeakLimiter::ceiling) << variant;
        EXPECT_GE(10.0 * std::log10(music / difference), 40.0) << variant;
        EXPECT_LT(std::abs(sums[0] / frames), 0.001) << variant;
        EXPECT_LT(std::abs(sums[1] / frames), 0.001) << variant;
        // The linear reference is what enters the limiter: on the ordinary dense song it takes
        // more than 1 dB away on under 1 % of the frames.
        PeakLimiter limiter;
        int reduced = 0;
        for (int n = 0; n < frames; ++n) {
            limiter.process(linear.data() + 2 * n, 1);
            reduced += limiter.gain() < 0.8912509f;  // -1 dB
        }
        if (variant == 0) {
            EXPECT_LT(reduced, frames / 100);
        }
        const std::string label = "song_" + std::to_string(variant);
        RecordProperty(label + "_peak_dbfs", std::to_string(20.0 * std::log10(peak)));
        RecordProperty(label + "_signal_to_difference_db", std::to_string(10.0 * std::log10(music / difference)));
        RecordProperty(label + "_reduced_1db_percent", std::to_string(100.0 * reduced / frames));
    }
}

// At every rate: a filter or a look-ahead that did not follow it would let peaks through.
TEST(SoundQuality, DenseSongsStayBelowTheCeilingAtEveryRate) {
    for (const int rate : otherRates) {
        SongPlayer player(bank, rate);
        for (int variant = 0; variant < denseSongCount; ++variant) {
            const Song song = denseSong(variant);
            const std::vector<float> out =
                player.play(song, static_cast<int>(stepFrame(song.loopEnd + 1, song.tempo, rate)));
            const float peak = std::abs(
                *std::max_element(out.begin(), out.end(), [](float a, float b) { return std::abs(a) < std::abs(b); }));
            EXPECT_LT(peak, PeakLimiter::ceiling) << "song " << variant << " at " << rate << " Hz";
            EXPECT_GT(peak, 0.3f) << "song " << variant << " at " << rate << " Hz";
        }
    }
}

// A retrigger from key 80 to key 30 on the bank's sine, through the step player: the old note
// fades at its own pitch, so nothing above 12 kHz splashes louder than when key 30 starts alone.
TEST(SoundQuality, ARetriggerSplashesNoMoreThanACleanStart) {
    const NoteRec low{2, 96 - 30, 4, 6, 200};
    const NoteRec high{1, 96 - 80, 4, 6, 200};
    double splash[2] = {};
    for (const bool retrigger : {false, true}) {
        const Song song = retrigger ? songWith({{0, high}, {0, low}}, 8, 100) : songWith({{0, low}}, 8, 100);
        const std::vector<float> out = leftOf(SongPlayer(bank).play(song, static_cast<int>(stepFrame(3, 100))));
        splash[retrigger] = energyAboveDb(out, static_cast<std::size_t>(stepFrame(2, 100)) - 256, 2048, 12000.0);
    }
    // Both may lie at the floor of float rounding, far below anything heard.
    EXPECT_LT(splash[1], std::max(splash[0] + 1.0, -120.0)) << "clean start " << splash[0] << " dB";
    RecordProperty("retrigger_above_12k_db", std::to_string(splash[1]));
    RecordProperty("clean_start_above_12k_db", std::to_string(splash[0]));
}

}  // namespace
}  // namespace tromel::audio::test
