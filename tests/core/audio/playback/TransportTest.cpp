// Play, Pause and Stop heard through the mixer: exact onsets, state, several documents at once.
#include "../AudioTestKit.h"
#include "audio/mixer/KeyFrequency.h"
#include "audio/playback/SongCompiler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <thread>

namespace tromel::audio::test {
namespace {

// Instruments 0, 1, ... play a note of one step at every `every`-th step, at these pans.
Song pulseSong(int32_t tempo, int32_t steps, int32_t every, std::initializer_list<int16_t> pans = {6}) {
    Song song;
    song.tempo = tempo;
    song.loopEnd = steps;
    song.instrumentNotes.grow(steps / every + 1);
    for (int32_t s = 0; s < steps; s += every)
        for (int channel = 0; const int16_t pan : pans)
            song.instrumentNotes.at(channel++, s / every + 1) = {s + 1, 48, 1, pan, 160};
    return song;
}

// A note's fade, then the output's DC blocker letting go of what it held.
constexpr int fadedOut = Voice::rampFrames + DcBlocker::drainFrames + 1;

bool silentAfter(const std::vector<float>& stereo, std::size_t frame) {
    return std::all_of(stereo.begin() + 2 * static_cast<std::ptrdiff_t>(frame), stereo.end(),
                       [](float v) { return v == 0.0f; });
}

struct TransportTest : testing::Test {
    fs::path folder = steadySampleFolder();
    MixerAudioLayer layer;
    RecordingHost host;
    Transport transport{layer, folder};

    // Play, waiting for the samples as an event loop would.
    bool play(Transport& which, const Song& song) {
        const bool started = which.play(song, host);
        which.finishPreparing(host);
        return started;
    }
    bool play(const Song& song) { return play(transport, song); }
};

// 308.7 frames a step for 400 steps, and 44.1 frames a step for over a hundred thousand: a step
// after Play the first, as the editor plays; a render's clock sounds it on the first frame.
TEST_F(TransportTest, EveryNoteStartsOnItsExactFrameHoweverLongItPlays) {
    for (const FirstStep first : {FirstStep::OneStepIn, FirstStep::AtOnce}) {
        MixerAudioLayer own;
        Transport clock(own, folder, first);
        for (const auto& [tempo, steps, every, piece] : {std::tuple{7, 400, 2, 333}, std::tuple{1, 100008, 8, 4096}}) {
            ASSERT_TRUE(play(clock, pulseSong(tempo, steps, every)));
            const std::vector<float> out = render(own, static_cast<int>(stepFrame(steps, tempo)), piece);
            std::vector<int64_t> heard = onsets(out);
            if (out[0] != 0.0f)
                heard.insert(heard.begin(), 0);
            std::vector<int64_t> expected;
            for (int32_t s = 0; s < steps; s += every)
                expected.push_back(stepFrame(s + static_cast<int32_t>(first), tempo));
            EXPECT_EQ(heard, expected) << "tempo " << tempo;
            clock.stop();
            render(own, 1000);
        }
    }
    // At every rate a render's step n sounds at floor(n × tempo × rate / 1000), heard once the
    // mixer's own latency has passed.
    for (const int rate : {lowestRate, 48000, 96000, highestRate}) {
        MixerAudioLayer own(rate);
        Transport clock(own, folder, FirstStep::AtOnce);
        ASSERT_TRUE(play(clock, pulseSong(7, 400, 2)));
        const int latency = own.outputLatencyFrames();
        std::vector<float> out(2 * static_cast<std::size_t>(stepFrame(400, 7, rate) + latency));
        for (std::size_t done = 0; done < out.size(); done += 2 * 333)
            own.renderFrames(out.data() + done, static_cast<int>(std::min<std::size_t>(333, (out.size() - done) / 2)));
        std::vector<int64_t> expected;
        for (int32_t s = 0; s < 400; s += 2)
            expected.push_back(stepFrame(s, 7, rate) + latency);
        EXPECT_EQ(onsets(out), expected) << rate << " Hz";
        EXPECT_EQ(latency, framesAt(rate, PeakLimiter::lookAheadFrames));
    }
}

TEST_F(TransportTest, CompileReportsToTheHost) {
    Song song = pulseSong(100, 16, 4);
    song.instruments[3].wave = 7;  // M08.wav is not in the folder
    ASSERT_TRUE(play(song));
    // First the samples are prepared (sixteen files), then the events: the missing file is told
    // when its channel is made.
    EXPECT_EQ(host.log, (std::vector<std::string>{"preparing 16", "error Can't play file", "compiled 16", "ended"}));
    EXPECT_EQ(layer.lastError(), errorNone);
}

TEST_F(TransportTest, PauseKeepsThePlaceAndPlayResumesOnANewGrid) {
    const Song song = pulseSong(10, 64, 1);  // a note every 441 frames
    transport.pause();                       // before any compile: Play then compiles
    ASSERT_TRUE(play(song));
    render(layer, static_cast<int>(stepFrame(5, 10)) + 100);
    const uint64_t heard = transport.stepsHeard();
    transport.pause();
    EXPECT_TRUE(silentAfter(render(layer, 5000), fadedOut));  // the note fades out; no steps
    EXPECT_EQ(transport.stepsHeard(), heard);
    transport.play(song, host);                                        // resume: step 6 one step after the resume
    EXPECT_EQ(onsets(render(layer, 700)), std::vector<int64_t>{441});  // with the latency, under two steps
    EXPECT_EQ(transport.playPosition(), 6);

    transport.stop();
    transport.pause();  // Stop, Pause, Play: the last compile again from its first step
    transport.play(song, host);
    render(layer, 500);
    EXPECT_EQ(transport.playPosition(), 1);

    // Play from Here, even while paused: a fresh compile heard from its position on, then the
    // loop as ever; past the loop end it starts at the loop end.
    transport.pause();
    ASSERT_TRUE(transport.playFrom(song, host, 40));
    transport.finishPreparing(host);
    EXPECT_EQ(onsets(render(layer, 500)), std::vector<int64_t>{441});
    EXPECT_EQ(transport.playPosition(), 40);
    render(layer, static_cast<int>(stepFrame(26, 10)) + 100 - 500);
    EXPECT_EQ(transport.playPosition(), 1);  // 40 to 64, then the loop from its beginning
    ASSERT_TRUE(transport.playFrom(song, host, 1000));
    transport.finishPreparing(host);
    render(layer, static_cast<int>(stepFrame(2, 10)) + 100);
    EXPECT_EQ(transport.playPosition(), 1);  // 64, then at once the loop
}

// The loudest sample of the left side over one click's length from `frame` on.
float clickPeak(const std::vector<float>& stereo, int64_t frame) {
    float peak = 0.0f;
    for (int64_t i = frame; i < frame + ClickVoice::lengthFrames; ++i)
        peak = std::max(peak, std::abs(stereo[2 * static_cast<std::size_t>(i)]));
    return peak;
}

// A bar of count-in with the song silent, then a click on every beat of the song's meter and an
// accented one on every bar, each on its step's exact frame, through every mute box. A song
// whose bar fields are 0 clicks in 4 x 4.
TEST_F(TransportTest, TheMetronomeCountsInAndClicksOnTheBeatsThroughMutes) {
    constexpr int32_t tempo = 100;  // 4410 frames a step: each click dies away before the next
    for (const auto& [beatsPerBar, stepsPerBeat, beat, bar] : {std::tuple{3, 2, 2, 6}, std::tuple{0, 4, 4, 16}}) {
        Song song = songWith({{0, {2, 48, 1, 6, 160}}}, 2 * bar, tempo);  // a muted note off the beat
        song.stepsPerBar = static_cast<int16_t>(beatsPerBar);
        song.beatsPerStep = static_cast<int16_t>(stepsPerBeat);
        for (int k = 0; k < songChannelCount; ++k)
            transport.setMuted(k, true);
        transport.setMetronome(true);
        transport.setCountIn(true);
        ASSERT_TRUE(play(song));
        const std::vector<float> out = render(layer, static_cast<int>(stepFrame(3 * bar, tempo)));
        std::vector<int64_t> expected;
        for (int n = 1; n < 3 * bar; n += beat)  // the count-in's bar, then the song's first two
            expected.push_back(stepFrame(n, tempo));
        EXPECT_EQ(onsets(out), expected) << beatsPerBar;
        for (const int64_t frame : expected) {
            const bool accented = (frame == stepFrame(1, tempo) || frame == stepFrame(bar + 1, tempo) ||
                                   frame == stepFrame(2 * bar + 1, tempo));
            EXPECT_NEAR(clickPeak(out, frame), accented ? ClickVoice::accentLevel : ClickVoice::beatLevel, 0.02f)
                << frame;
        }
        // Off: the song plays on without a click; Stop, and the next Play counts in no more.
        transport.setMetronome(false);
        transport.setCountIn(false);
        for (int k = 0; k < songChannelCount; ++k)
            transport.setMuted(k, false);
        const int64_t played = stepFrame(3 * bar, tempo) + PeakLimiter::lookAheadFrames;  // where this render begins
        EXPECT_EQ(onsets(render(layer, static_cast<int>(stepFrame(bar, tempo)))),
                  std::vector<int64_t>{stepFrame(3 * bar + 2, tempo) - played});
        transport.stop();
        render(layer, 3000);
        ASSERT_TRUE(play(song));
        EXPECT_EQ(onsets(render(layer, static_cast<int>(stepFrame(4, tempo)))),
                  std::vector<int64_t>{stepFrame(2, tempo)});
        // A resume counts in too.
        transport.setCountIn(true);
        transport.pause();
        render(layer, 3000);
        transport.play(song, host);
        std::vector<int64_t> countedIn;
        for (int n = 1; n <= bar; n += beat)
            countedIn.push_back(stepFrame(n, tempo));
        EXPECT_EQ(onsets(render(layer, static_cast<int>(stepFrame(bar + 1, tempo)))), countedIn);
        transport.setCountIn(false);
        transport.stop();
        render(layer, 3000);
    }
}

// Loop Selection plays a passage over and over, the song's loop untouched, until Stop or until
// it is ended: then the song's own loop, and from past its loop end, at once its loop begin. (The
// step that ends a pass publishes the position before the loop's first, as the song's loop does.)
TEST_F(TransportTest, APassageLoopsUntilItIsEndedOrStopped) {
    const Song song = pulseSong(10, 32, 1);  // a step every 441 frames
    std::vector<float> buffer(2 * 441);
    // A run's first step comes 441 frames after it begins: 300 frames on, each buffer holds one.
    const auto begin = [&] { layer.renderFrames(buffer.data(), 300); };
    const auto positionsOver = [&](int steps) {
        std::vector<int32_t> positions;
        for (int i = 0; i < steps; ++i) {
            layer.renderFrames(buffer.data(), 441);
            positions.push_back(transport.playPosition());
        }
        return positions;
    };
    ASSERT_TRUE(transport.playPassage(song, host, 10, 12));
    transport.finishPreparing(host);
    begin();
    EXPECT_TRUE(transport.loopsPassage());
    EXPECT_EQ(positionsOver(7), (std::vector<int32_t>{10, 11, 9, 10, 11, 9, 10}));
    transport.pause();
    transport.play(song, host);  // a resume loops on
    begin();
    EXPECT_EQ(positionsOver(3), (std::vector<int32_t>{11, 9, 10}));
    transport.endPassageLoop();
    EXPECT_FALSE(transport.loopsPassage());
    EXPECT_EQ(positionsOver(3), (std::vector<int32_t>{11, 12, 13}));
    // Past the song's loop end (32) too; ended there, the song's loop takes over at once.
    ASSERT_TRUE(transport.playPassage(song, host, 40, 41));
    transport.finishPreparing(host);
    begin();
    EXPECT_EQ(positionsOver(3), (std::vector<int32_t>{40, 39, 40}));
    transport.endPassageLoop();
    EXPECT_EQ(positionsOver(2), (std::vector<int32_t>{1, 2}));
    // Stop ends a loop too: Stop, Pause, Play plays the song from its start through its own loop.
    ASSERT_TRUE(transport.playPassage(song, host, 5, 6));
    transport.finishPreparing(host);
    transport.stop();
    EXPECT_FALSE(transport.loopsPassage());
    transport.pause();
    transport.play(song, host);
    transport.finishPreparing(host);
    begin();
    EXPECT_EQ(positionsOver(8), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8}));

    // At another rate, the grid the song's own loop goes on with places its steps where they play.
    MixerAudioLayer fast(96000);
    Transport clock(fast, folder);
    const auto renderTo = [&](int64_t frame) {
        std::vector<float> out(2 * 4096);
        while (fast.renderedFrames() < frame)
            fast.renderFrames(out.data(), static_cast<int>(std::min<int64_t>(4096, frame - fast.renderedFrames())));
    };
    ASSERT_TRUE(clock.playPassage(song, host, 10, 12));
    clock.finishPreparing(host);
    renderTo(20000);
    clock.endPassageLoop();
    renderTo(20001);
    const std::optional<StepGrid> grid = clock.stepGrid();
    ASSERT_TRUE(grid);
    for (int64_t n = 1; n <= 3; ++n) {
        renderTo(grid->frameOf(n));
        EXPECT_NE(clock.playPosition(), grid->positionOf(n)) << n;
        renderTo(grid->frameOf(n) + 1);
        EXPECT_EQ(clock.playPosition(), grid->positionOf(n)) << n;
    }
}

// Two documents play at once and Stop silences only its own. Closing one silences its
// instruments at once but lets its drums (a 0.1 s burst) play out, and then lets them go.
TEST_F(TransportTest, DocumentsStopAndCloseAlone) {
    auto other = std::make_unique<Transport>(layer, folder);
    play(songWith({{0, {1, 48, 0, 12, 160}}}, 64, 10));  // held at the left end of the pan strip
    // Held at the right end; and a drum on the left at step 20, frame 8820.
    play(*other, songWith({{0, {1, 48, 0, 0, 160}}, {8, {20, 60, 0, 12, 160}}}, 64, 10));
    std::vector<float> out = render(layer, 4000);
    EXPECT_GT(out[2 * 3000], 0.0f);
    EXPECT_GT(out[2 * 3000 + 1], 0.0f);
    transport.stop();
    out = render(layer, 4000);
    EXPECT_EQ(out[2 * 3000], 0.0f);
    EXPECT_GT(out[2 * 3000 + 1], 0.0f);
    render(layer, 1000);
    other.reset();
    out = render(layer, 8000);
    EXPECT_EQ(out[2 * fadedOut + 1], 0.0f);  // the instrument faded out
    EXPECT_GT(out[2 * 200], 0.0f);           // the drum goes on
    EXPECT_TRUE(silentAfter(out, 6000));     // and ends: its channel and sample are let go
}

// A clock takes a place in the mixer only while its song plays: any number of documents open,
// any number of Plays of one, and the one Play too many is told so.
TEST_F(TransportTest, SixtyFourSongsPlayAtOnceAndTheNextIsRefusedWithTheErrorBox) {
    const Song quiet = songWith({}, 64, 10);
    std::vector<std::unique_ptr<Transport>> documents;
    for (int i = 0; i < 100; ++i)
        documents.push_back(std::make_unique<Transport>(layer, folder));
    for (int i = 0; i < 100; ++i) {  // 16 channels each time: playing again must not pile them up
        ASSERT_TRUE(play(*documents[0], quiet));
        render(layer, 600);
    }
    for (int i = 1; i < Mixer::sequencerCapacity; ++i)
        ASSERT_TRUE(play(*documents[i], quiet)) << i;
    // Played again while every clock plays, a song gets new channels while its old ones fade.
    const Song heard = songWith({{0, {1, 48, 0, 6, 160}}}, 64, 10);
    ASSERT_TRUE(play(*documents[5], heard));
    EXPECT_GT(render(layer, 2000)[2 * 1500], 0.0f);
    ASSERT_TRUE(play(*documents[5], quiet));
    EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "error Can't play file"), 0);
    render(layer, 1000);
    EXPECT_TRUE(silentAfter(render(layer, 2000), 0));
    Transport& last = *documents[Mixer::sequencerCapacity];
    host.log.clear();
    EXPECT_FALSE(play(last, heard));
    EXPECT_EQ(layer.lastError(), errorNoSequencer);
    EXPECT_EQ(host.log, std::vector<std::string>{"error Can't play file"});
    EXPECT_EQ(last.state(), TransportState::Stopped);
    EXPECT_TRUE(silentAfter(render(layer, 2000), 0));

    // Stop and closing give the place back (once the drums have played out); a paused song keeps it.
    documents[0]->stop();
    render(layer, 500);
    ASSERT_TRUE(play(last, heard));
    EXPECT_GT(render(layer, 2000)[2 * 1500], 0.0f);
    documents[1]->pause();
    EXPECT_FALSE(play(*documents[99], quiet));
    documents[0]->pause();  // Stop, Pause, Play finds no room and stays paused
    EXPECT_FALSE(play(*documents[0], quiet));
    EXPECT_EQ(documents[0]->state(), TransportState::Paused);
    documents[2].reset();
    render(layer, 500);
    EXPECT_TRUE(play(*documents[0], quiet));
    EXPECT_TRUE(play(*documents[1], quiet));
}

// The output of a real audio thread, which renders small buffers at up to three times real time
// into a ring the user-interface thread reads just behind it.
class LiveOutput {
public:
    explicit LiveOutput(MixerAudioLayer& layer) : m_layer(layer), m_ring(2 * ringFrames) {
        m_thread = std::thread([this] { run(); });
    }
    ~LiveOutput() {
        m_running = false;
        m_thread.join();
    }
    // [user-interface thread] The frame the audio thread has rendered up to.
    int64_t now() const { return m_rendered.load(std::memory_order_acquire); }
    // [user-interface thread] The loudest sample of one side over frames [from, to), once
    // rendered; the ring holds the last eight seconds or so.
    float peak(int side, int64_t from, int64_t to) const {
        while (now() < to)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        float loudest = 0.0f;
        for (int64_t frame = from; frame < to; ++frame)
            loudest = std::max(loudest, std::abs(m_ring[2 * (frame % ringFrames) + side]));
        return loudest;
    }

private:
    static constexpr int64_t ringFrames = 1 << 20;
    static constexpr int bufferFrames = 128;  // divides ringFrames, so a buffer never wraps

    void run() {
        while (m_running.load()) {
            const int64_t at = m_rendered.load(std::memory_order_relaxed);
            m_layer.renderFrames(m_ring.data() + 2 * (at % ringFrames), bufferFrames);
            m_rendered.store(at + bufferFrames, std::memory_order_release);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    MixerAudioLayer& m_layer;
    std::vector<float> m_ring;
    std::atomic<int64_t> m_rendered{0};
    std::atomic<bool> m_running{true};
    std::thread m_thread;
};

// The device's thread renders all along while documents play, mute, pause, stop and close; what
// it renders is what each action should make heard. Run under ThreadSanitizer too.
TEST_F(TransportTest, AnAudioThreadPlaysWhatTheUserInterfaceAsks) {
    constexpr int step = 441;  // tempo 10
    constexpr int settle = 4 * step + PeakLimiter::lookAheadFrames;
    constexpr int left = 0;
    constexpr int right = 1;
    constexpr float silent = 1e-3f;
    constexpr float audible = 0.01f;
    const Song song = pulseSong(10, 32, 1, {12, 0});  // instrument 0 on the left, 1 on the right
    const Song rightOnly = songWith({{1, {1, 48, 0, 0, 160}}}, 64, 10);
    const fs::path bank = TROMEL_SAMPLE_DIR;  // whose sine no DC blocker or limiter changes
    Transport document(layer, bank);
    LiveOutput output(layer);
    // After an action, a stretch of what follows once it has taken effect.
    const auto heard = [&](int side) {
        const int64_t from = output.now() + settle;
        return output.peak(side, from, from + 4 * step);
    };

    play(document, song);
    EXPECT_GT(heard(left), audible);
    EXPECT_GT(heard(right), audible);
    document.setMuted(0, true);
    EXPECT_LT(heard(left), silent);
    EXPECT_GT(heard(right), audible);
    document.setMuted(0, false);
    EXPECT_GT(heard(left), audible);
    document.pause();
    EXPECT_LT(std::max(heard(left), heard(right)), silent);
    play(document, song);  // resume
    EXPECT_GT(heard(right), audible);
    document.stop();
    EXPECT_LT(std::max(heard(left), heard(right)), silent);

    // Closed while its samples are prepared: the worker goes on alone and nothing is heard of it.
    {
        Transport closing(layer, bank);
        closing.play(song, host);
    }
    // Recompiles, pauses and closes in quick succession, then a document that stays.
    for (int round = 0; round < 20; ++round) {
        Transport other(layer, bank);
        play(other, song);
        other.setMuted(round % 16, true);
        play(document, song);
        other.pause();
        play(other, song);
        document.stop();
    }
    play(document, song);
    {
        Transport other(layer, bank);
        play(other, rightOnly);
        document.setMuted(1, true);
        EXPECT_GT(heard(right), audible);
    }
    EXPECT_LT(heard(right), silent);  // closed: its instrument stops
    EXPECT_GT(heard(left), audible);  // the other plays on
    document.stop();
    EXPECT_LT(std::max(heard(left), heard(right)), silent);
}

}  // namespace
}  // namespace tromel::audio::test
