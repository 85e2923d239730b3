// Audio export: the pinned 16-bit WAV, every format read back, loudness by a second meter
// (ffmpeg's), fades, ringing ends, loop points, stems and cancelling.
#include "audio/mixer/KeyFrequency.h"
#include "audio/playback/SongCompiler.h"
#include "audio/render/OfflineRender.h"
#include "audio/render/RenderFiles.h"
#include "audio/render/StemsAside.h"
#include "audio/samples/SampleCache.h"
#include "exchange/AudioFileWriter.h"
#include "files/AtomicWrite.h"
#include "song/OrgFile.h"
#include "tests/core/audio/AudioTestKit.h"
#include "tests/core/files/FaultyFileSystem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <numbers>
#include <regex>

namespace tromel::audio::test {
namespace {

using exchange::AudioFormat;
using files::test::Call;
using files::test::FaultyFileSystem;
using files::test::Operation;

const fs::path bank = TROMEL_SAMPLE_DIR;
// The bank's samples, prepared once for every render here.
const auto samples = std::make_shared<audio::SampleCache>();

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

uint64_t fnv1a(std::string_view bytes, uint64_t hash = 0xcbf29ce484222325ull) {
    for (unsigned char c : bytes)
        hash = (hash ^ c) * 0x100000001b3ull;
    return hash;
}

std::string commandOutput(const std::string& command) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    std::string output;
    char buffer[4096];
    while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    pclose(pipe);
    return output;
}

// Integrated loudness (LUFS) and true peak (dBTP) by ffmpeg's ebur128 filter.
std::pair<double, double> secondMeter(const fs::path& file) {
    const std::string output =
        commandOutput("ffmpeg -nostats -hide_banner -i '" + file.string() + "' -af ebur128=peak=true -f null -");
    const std::size_t summary = output.rfind("Summary:");
    std::smatch integrated;
    std::smatch peak;
    const std::string tail = summary == std::string::npos ? std::string() : output.substr(summary);
    if (!std::regex_search(tail, integrated, std::regex(R"(I:\s+(-?[0-9.]+) LUFS)")) ||
        !std::regex_search(tail, peak, std::regex(R"(Peak:\s+(-?[0-9.]+) dBFS)")))
        return {NAN, NAN};
    return {std::stod(integrated[1]), std::stod(peak[1])};
}

// The first frame at which either side sounds.
int64_t firstSound(const std::vector<float>& stereo) {
    const auto found = std::find_if(stereo.begin(), stereo.end(), [](float sample) { return sample != 0.0f; });
    return (found - stereo.begin()) / 2;
}

// Loud drum hits over a quiet pad: a crest far above a song's loudness, so that a loud target
// needs the true-peak limiter.
Song peakySong() {
    Song song = songWith({{0, {1, 60, 32, 6, 60}}}, 32, 100);
    for (int step = 1; step <= 32; step += 8)
        for (int drum : {8, 9})
            addNote(song, drum, {step, 48, 1, 6, 254});
    song.drums[1].wave = 2;
    return song;
}

struct Export : testing::Test {
    fs::path folder = scratchFolder("export");

    RenderRequest request(const std::string& output, AudioFormat format = AudioFormat::Wav16) const {
        RenderRequest request;
        request.sampleFolder = bank;
        request.output = folder / output;
        request.encoding.format = format;
        request.samples = samples;
        return request;
    }
    Wav rendered(const Song& song, const RenderRequest& request) const {
        const RenderOutcome outcome = renderSong(song, request);
        EXPECT_TRUE(outcome.written()) << (outcome.problems.empty() ? "" : outcome.problems[0]);
        return readWav(request.output);
    }
};

// Rendered without options, by tromel-cli as a user runs it: the same bytes, to the last. (The
// pinned file is the one written before the first step moved to frame 0, less its first 5292
// frames, that step of silence.)
TEST_F(Export, WithoutOptionsA16BitWavKeepsItsBytes) {
    ASSERT_TRUE(saveOrgFile(denseSong(0), folder / "dense.org").ok);
    const fs::path out = folder / "dense.wav";
    commandOutput(std::string("'") + TROMEL_CLI_PATH + "' render '" + (folder / "dense.org").string() + "' '" +
                  out.string() + "' --loops 2 --samples '" + bank.string() + "'");
    EXPECT_EQ(fnv1a(fileText(out)), 0x671909bd7ffe63efull);

    // In process, with the samples prepared into a cache it is given, which keeps them for the next render.
    RenderRequest asked = request("again.wav");
    asked.loops = 2;
    asked.samples = std::make_shared<SampleCache>();
    ASSERT_TRUE(renderSong(denseSong(0), asked).written());
    EXPECT_EQ(fileText(asked.output), fileText(out));
    for (const SampleRequest& sample : songSamples(denseSong(0), bank))
        EXPECT_TRUE(sample.path.empty() || asked.samples->find(sample.path, sample.loop)) << sample.path;
}

// Each format against the float render: frames, channels, rate and level; the lossless ones to
// their last bit, the lossy ones within a fraction of a decibel; the same options always give the
// same bytes.
TEST_F(Export, EveryFormatReadsBackWithItsFramesRateAndLevel) {
    const Song song = denseSong(0);
    RenderRequest three = request("reference.wav", AudioFormat::Float);
    three.seconds = 3.0;
    const Wav reference = rendered(song, three);
    ASSERT_EQ(reference.info.frames, 3 * outputRate);
    const double level = rmsOf(leftOf(reference.frames));
    for (const exchange::AudioFormatInfo& info : exchange::audioFormats) {
        RenderRequest asked = three;
        asked.output = folder / (std::string("song-") + info.name + "." + info.extension);
        asked.encoding.format = info.format;
        asked.songFile = folder / "dense.org";
        const Wav wav = rendered(song, asked);
        const bool lossy = info.format == AudioFormat::Ogg || info.format == AudioFormat::Mp3;
        EXPECT_EQ(std::tie(wav.info.channels, wav.info.samplerate), std::make_tuple(2, 44100)) << info.name;
        // MP3 pads its start and end with the encoder's delay and a part frame.
        EXPECT_NEAR(wav.info.frames, reference.info.frames, info.format == AudioFormat::Mp3 ? 2 * 1152 : 0)
            << info.name;
        EXPECT_NEAR(20 * std::log10(rmsOf(leftOf(wav.frames)) / level), 0.0, lossy ? 0.3 : 0.001) << info.name;
        if (info.pcmBits > 0 || info.format == AudioFormat::Float) {
            const float step = info.pcmBits > 0 ? std::ldexp(1.0f, 1 - info.pcmBits) : 0.0f;
            float largest = 0.0f;
            for (std::size_t i = 0; i < wav.frames.size(); ++i)
                largest = std::max(largest, std::abs(wav.frames[i] - reference.frames[i]));
            EXPECT_LE(largest, step) << info.name;
        }
        if (info.format == AudioFormat::Flac16 || info.format == AudioFormat::Flac24) {
            EXPECT_TRUE(wav.frames ==
                        readWav(folder / (info.pcmBits == 16 ? "song-wav16.wav" : "song-wav24.wav")).frames)
                << info.name;
        }
        const std::string bytes = fileText(asked.output);
        asked.output = folder / (std::string("again-") + info.name);
        rendered(song, asked);
        EXPECT_TRUE(fileText(asked.output) == bytes) << info.name;
    }
    EXPECT_EQ(commandOutput("ffprobe -v error -show_entries format_tags=title,encoder -of csv=p=0 '" +
                            (folder / "song-flac16.flac").string() + "'"),
              std::string("dense.org,Tromel ") + TROMEL_VERSION + "\n");
    EXPECT_EQ(fileText(folder / "song-float.wav").find("PEAK"), std::string::npos);  // no time of writing
    RenderRequest mp3 = three;
    mp3.output = folder / "rate.mp3";
    mp3.encoding = {AudioFormat::Mp3, 6, 128};
    rendered(song, mp3);
    EXPECT_EQ(commandOutput("ffprobe -v error -show_entries stream=bit_rate -of csv=p=0 '" + mp3.output.string() + "'"),
              "128000\n");
}

// The loud target needs the limiter on the peaky song (its true peak ends at the ceiling); the
// quiet one on the dense song only a gain. The reported figures agree with the second meter.
TEST_F(Export, NormalisedLoudnessAndTruePeakHoldByASecondMeter) {
    struct Case {
        Song song;
        double target;
        AudioFormat format;
    };
    const Case cases[] = {{peakySong(), -14.0, AudioFormat::Wav16},  {peakySong(), -14.0, AudioFormat::Flac24},
                          {peakySong(), -16.0, AudioFormat::Ogg},    {peakySong(), -14.0, AudioFormat::Mp3},
                          {denseSong(0), -23.0, AudioFormat::Float}, {denseSong(2), -18.0, AudioFormat::Flac16}};
    for (const Case& c : cases) {
        const auto& info = exchange::infoOf(c.format);
        RenderRequest asked = request(std::string("loud-") + info.name + "." + info.extension, c.format);
        asked.loudness = c.target;
        const RenderOutcome outcome = renderSong(c.song, asked);
        ASSERT_TRUE(outcome.written() && outcome.loudness) << info.name;
        const auto [integrated, truePeak] = secondMeter(asked.output);
        const bool lossy = c.format == AudioFormat::Ogg || c.format == AudioFormat::Mp3;
        EXPECT_NEAR(integrated, c.target, lossy ? 0.5 : 0.3) << info.name;
        EXPECT_NEAR(outcome.loudness->integrated, integrated, 0.3) << info.name;
        if (!lossy) {
            EXPECT_LE(truePeak, -0.9) << info.name;
            EXPECT_NEAR(outcome.loudness->truePeak, truePeak, 0.2) << info.name;
        }
        if (c.target == -14.0 && !lossy) {
            EXPECT_GT(truePeak, -1.5) << info.name;  // the limiter held it
        }
    }
    RenderRequest silent = request("silent.wav");
    silent.loudness = -14.0;
    const RenderOutcome refused = renderSong(songWith({}, 8, 100), silent);
    EXPECT_EQ(refused.status, RenderOutcome::Status::Refused);
    EXPECT_FALSE(fs::exists(silent.output));
}

// Over the last S seconds the gain is a quarter cosine from 1 to 0, the last frame silent; before
// it the render is untouched. A ringing end lets the notes sounding at the last step play on to
// their ends, until 60 dB below their peak, and for at most ten seconds.
TEST_F(Export, FadesAndRingingEnds) {
    // A note that the song's end cuts eight steps (of 20 ms) short.
    const Song song = songWith({{0, {9, 48, 16, 6, 200}}, {8, {16, 48, 1, 6, 200}}}, 16, 20);
    RenderRequest plain = request("plain.wav", AudioFormat::Float);
    plain.loops = 0;
    const Wav whole = rendered(song, plain);
    RenderRequest faded = plain;
    faded.output = folder / "faded.wav";
    faded.fadeSeconds = 0.25;
    const Wav fade = rendered(song, faded);
    ASSERT_EQ(fade.info.frames, whole.info.frames);
    const int64_t fadeFrames = 11025;
    const int64_t start = whole.info.frames - fadeFrames;
    double worst = 0.0;
    for (int64_t f = 0; f < whole.info.frames; ++f) {
        const double gain =
            f < start ? 1.0 : std::cos(std::numbers::pi / 2 * static_cast<double>(f - start) / (fadeFrames - 1));
        worst = std::max(worst, std::abs(fade.frames[2 * f] - gain * whole.frames[2 * f]));
    }
    EXPECT_LT(worst, 1e-6);
    EXPECT_EQ(fade.frames[fade.frames.size() - 2], 0.0f);

    RenderRequest ringing = plain;
    ringing.output = folder / "ring.wav";
    ringing.ring = true;
    const Wav ring = rendered(song, ringing);
    // To the note's end, its fade and the DC blocker's drain.
    ASSERT_GT(ring.info.frames, stepFrame(24, 20) + Voice::rampFrames);
    EXPECT_LT(ring.info.frames, stepFrame(24, 20) + Voice::rampFrames + DcBlocker::drainFrames + 10);
    EXPECT_TRUE(std::equal(whole.frames.begin(), whole.frames.end(), ring.frames.begin()));
    float afterEnd = 0.0f;
    for (std::size_t i = whole.frames.size(); i < ring.frames.size(); ++i)
        afterEnd = std::max(afterEnd, std::abs(ring.frames[i]));
    const float last = std::max(std::abs(ring.frames[ring.frames.size() - 2]), std::abs(ring.frames.back()));
    EXPECT_GT(afterEnd, 0.01f);
    EXPECT_LE(last, afterEnd * 1.2e-3f);  // the last frame not yet 60 dB down

    // In 16 bits a faded or ringing render is dithered: where the song is still silent,
    // triangular noise of one step either side, rounded to the nearest, half a step on average
    // and none in the mean.
    for (RenderRequest sixteen : {faded, ringing}) {
        sixteen.output = folder / "dithered.wav";
        sixteen.encoding.format = AudioFormat::Wav16;
        const Wav dithered = rendered(song, sixteen);
        const std::size_t silent = 2 * static_cast<std::size_t>(stepFrame(8, 20));
        double noise = 0.0;
        double mean = 0.0;
        for (std::size_t i = 0; i < silent; ++i) {
            noise += std::pow(dithered.frames[i] * 32768.0, 2);
            mean += dithered.frames[i] * 32768.0;
        }
        EXPECT_NEAR(std::sqrt(noise / static_cast<double>(silent)), 0.5, 0.05);
        EXPECT_NEAR(mean / static_cast<double>(silent), 0.0, 0.05);
    }
    // A note of length 0 never ends: the ring stops at ten seconds.
    ringing.output = folder / "endless.wav";
    const Wav endless = rendered(songWith({{0, {1, 48, 0, 6, 200}}}, 16, 20), ringing);
    EXPECT_EQ(endless.info.frames, whole.info.frames + 10 * outputRate);
}

// The loop [A, B) of the file is the next pass of a longer render, sample for sample, in WAV's smpl
// chunk (its end inclusive) and in FLAC's and Ogg's comments.
TEST_F(Export, LoopPointsMarkTheLastPassSampleForSample) {
    Song song = denseSong(3);
    song.loopBegin = 16;  // an intro before the loop; 48 steps of 150 ms: a whole number of frames
    RenderRequest marked = request("marked.wav", AudioFormat::Float);
    marked.loopPoints = true;
    const Wav file = rendered(song, marked);
    const int64_t a = stepFrame(64, song.tempo);
    const int64_t b = stepFrame(64 + 48, song.tempo);
    ASSERT_EQ(file.info.frames, b);
    const std::string bytes = fileText(marked.output);
    const std::size_t smpl = bytes.find("smpl");
    ASSERT_NE(smpl, std::string::npos);
    const auto field = [&](std::size_t offset) {
        uint32_t value = 0;
        std::memcpy(&value, bytes.data() + smpl + 8 + offset, 4);
        return value;
    };
    EXPECT_EQ(std::make_tuple(field(28), field(44), field(48)), std::make_tuple(1u, uint32_t(a), uint32_t(b - 1)));

    RenderRequest longer = request("longer.wav", AudioFormat::Float);
    longer.loops = 2;
    const Wav next = rendered(song, longer);
    double largest = 0.0;
    for (int64_t i = 0; i < 2 * (b - a); ++i)
        largest = std::max(largest, static_cast<double>(std::abs(file.frames[2 * a + i] - next.frames[2 * b + i])));
    EXPECT_LT(largest, 1e-5);

    for (AudioFormat format : {AudioFormat::Flac16, AudioFormat::Ogg}) {
        const auto& info = exchange::infoOf(format);
        RenderRequest commented = request(std::string("marked.") + info.extension, format);
        commented.loopPoints = true;
        rendered(song, commented);
        EXPECT_EQ(commandOutput("ffprobe -v error -show_entries format_tags=LOOPSTART,LOOPLENGTH:stream_tags=LOOPSTART,"
                                "LOOPLENGTH -of default=nw=1 '" +
                                commented.output.string() + "'"),
                  "TAG:LOOPSTART=" + std::to_string(a) + "\nTAG:LOOPLENGTH=" + std::to_string(b - a) + "\n")
            << info.name;
    }
}

// The dense songs never wake the limiter: their stems add up to the mix, as mixed and normalised;
// and so do those of a song with silences, where the mix's DC blocker lets its offset drain. Each
// stem sits on the song's grid from frame 0: it sounds first on the frame of its first note's step.
// The stems keep their samples, to the last bit, with a ringing end too.
TEST_F(Export, StemsAddUpToTheMix) {
    const uint64_t pinned[] = {17603759951019897872ull, 6781827826446211036ull, 1873339067447987875ull,
                               12840739783732800293ull};
    int pin = 0;
    Song gaps = songWith({{0, {1, 30, 3, 6, 250}},
                          {1, {1, 40, 6, 2, 250}},
                          {8, {2, 48, 1, 6, 250}},
                          {0, {12, 30, 2, 6, 250}},
                          {9, {13, 48, 1, 6, 250}}},
                         24, 60);
    gaps.drums[1].wave = 2;
    for (const auto& [song, loudness] :
         {std::pair{denseSong(0), std::optional<double>()}, std::pair{denseSong(0), std::optional<double>(-23.0)},
          std::pair{gaps, std::optional<double>()}}) {
        RenderRequest mixRequest = request("mix.wav", AudioFormat::Float);
        mixRequest.loudness = loudness;
        mixRequest.loops = 0;
        const Wav mix = rendered(song, mixRequest);
        RenderRequest stems = mixRequest;
        stems.output = folder / "part.wav";
        stems.stems = true;
        const RenderOutcome outcome = renderSong(song, stems);
        ASSERT_TRUE(outcome.written());
        ASSERT_EQ(outcome.files.size(), song.tempo == 60 ? 4u : 16u);
        EXPECT_EQ(outcome.files.front(), folder / "part-instrument1.wav");
        EXPECT_EQ(outcome.files.back(), folder / (song.tempo == 60 ? "part-drum2.wav" : "part-drum8.wav"));
        EXPECT_EQ(firstSound(mix.frames), 0);
        const std::vector<int64_t> firstSteps{0, 0, 1, 12};  // of the stems of the song with silences
        std::vector<double> sum(mix.frames.size());
        uint64_t samples = 0xcbf29ce484222325ull;
        for (std::size_t i = 0; i < outcome.files.size(); ++i) {
            const Wav stem = readWav(outcome.files[i]);
            samples =
                fnv1a({reinterpret_cast<const char*>(stem.frames.data()), stem.frames.size() * sizeof(float)}, samples);
            ASSERT_EQ(stem.frames.size(), sum.size());
            if (song.tempo == 60) {
                EXPECT_EQ(firstSound(stem.frames), stepFrame(firstSteps[i], 60)) << outcome.files[i];
            }
            std::transform(sum.begin(), sum.end(), stem.frames.begin(), sum.begin(), std::plus<>());
        }
        double largest = 0.0;
        for (std::size_t i = 0; i < sum.size(); ++i)
            largest = std::max(largest, std::abs(sum[i] - mix.frames[i]));
        EXPECT_LT(20 * std::log10(largest), -90.0) << largest;
        EXPECT_EQ(samples, pinned[pin++]);
    }
    RenderRequest ringing = request("ring.wav", AudioFormat::Float);
    ringing.stems = true;
    ringing.ring = true;
    const RenderOutcome rung = renderSong(gaps, ringing);
    ASSERT_TRUE(rung.written());
    uint64_t samples = 0xcbf29ce484222325ull;
    for (const fs::path& file : rung.files) {
        const Wav stem = readWav(file);
        samples =
            fnv1a({reinterpret_cast<const char*>(stem.frames.data()), stem.frames.size() * sizeof(float)}, samples);
    }
    EXPECT_EQ(samples, pinned[pin]);
}

// A full disk is seen in every format, however deep in its codec it strikes: at the first write,
// one in the middle, the last (most at the close) and the flush at the close.
TEST_F(Export, AFullDiskFailsEveryFormat) {
    std::vector<float> noise(2 * 4096);
    uint32_t seed = 1;
    for (float& sample : noise) {
        seed = seed * 1664525u + 1013904223u;
        sample = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
    }
    for (const exchange::AudioFormatInfo& info : exchange::audioFormats) {
        if (info.format == AudioFormat::Mp3 && !exchange::canWriteMp3())
            continue;
        const auto written = [&](FaultyFileSystem& seam) {
            auto writer = exchange::openAudioFile(folder / "full", {info.format}, {"full", "Tromel", {}}, seam);
            bool ok = writer->isOpen();
            for (int block = 0; ok && block < 20; ++block)
                ok = writer->write(noise.data(), 4096);
            ok = writer->close() && ok;
            EXPECT_EQ(writer->error(), ok ? "" : "No space left on device") << info.name;
            return ok;
        };
        FaultyFileSystem clean;
        ASSERT_TRUE(written(clean)) << info.name;
        const auto count = [&](Operation operation) {
            return std::count_if(clean.calls.begin(), clean.calls.end(),
                                 [&](const Call& call) { return call.operation == operation; });
        };
        ASSERT_EQ(count(Operation::Flush), 1) << info.name;
        EXPECT_EQ(clean.calls.end()[-2].operation, Operation::Flush) << info.name;  // then the close
        const int writes = static_cast<int>(count(Operation::Write));
        for (const auto& [operation, failing] :
             {std::pair{Operation::Write, 0}, std::pair{Operation::Write, writes / 2},
              std::pair{Operation::Write, writes - 1}, std::pair{Operation::Flush, 0}}) {
            FaultyFileSystem full;
            int seen = 0;
            full.failWhen = [&, operation = operation, failing = failing](const Call& call) {
                return call.operation == operation && seen++ == failing ? ENOSPC : 0;
            };
            EXPECT_FALSE(written(full)) << info.name << " failing at " << failing << " of " << writes;
        }
    }
}

// A mix written twice (normalised) and stems: each file is written into a temporary file of the
// saves' pattern, flushed before its rename and its folder after; the export clears away a day-old
// temporary file of that pattern and nothing else.
TEST_F(Export, EveryFileIsWrittenAsSavesWriteTheirs) {
    const fs::path stale = folder / ".old.wav.tromel-AAAAAAAAAAAA";
    const fs::path fresh = folder / ".new.wav.tromel-BBBBBBBBBBBB";
    const fs::path unlike = folder / "old.wav.tmp-12";
    for (const fs::path& path : {stale, fresh, unlike})
        std::ofstream(path) << "x";
    for (const fs::path& path : {stale, unlike})
        fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(25));
    for (const bool stems : {false, true}) {
        FaultyFileSystem seam;
        RenderRequest asked = request("part.flac", AudioFormat::Flac16);
        asked.stems = stems;
        asked.loudness = stems ? std::nullopt : std::optional<double>(-6.0);
        asked.loops = 0;
        asked.files = &seam;
        std::vector<fs::path> told;
        asked.temporaryMade = [&told](const fs::path& temporary) { told.push_back(temporary); };
        const RenderOutcome outcome =
            renderSong(songWith({{0, {1, 48, 4, 6, 200}}, {8, {3, 48, 1, 6, 200}}}, 8, 50), asked);
        ASSERT_EQ(outcome.files.size(), stems ? 2u : 1u);
        EXPECT_EQ(seam.unflushed(), std::vector<std::string>{});
        EXPECT_EQ(told.size(), 2u);  // the mix is written by two passes
        for (const fs::path& temporary : told)
            EXPECT_TRUE(files::isTemporaryName(temporary.filename().string())) << temporary;
        for (const fs::path& file : outcome.files)
            EXPECT_TRUE(std::any_of(seam.calls.begin(), seam.calls.end(), [&](const Call& call) {
                return call.operation == Operation::Rename && call.path.ends_with(" -> " + file.string()) &&
                       std::find(told.begin(), told.end(), call.path.substr(0, call.path.find(" -> "))) != told.end();
            })) << file;
        EXPECT_FALSE(fs::exists(stale));
        EXPECT_TRUE(fs::exists(fresh) && fs::exists(unlike));
        const auto temporaries = std::count_if(
            fs::directory_iterator(folder), {},
            [](const fs::directory_entry& entry) { return files::isTemporaryName(entry.path().filename().string()); });
        EXPECT_EQ(temporaries, 1);  // only the fresh one
    }
}

// Old stems of every channel that gets a new one are replaced all or none, and the old stem of a
// channel now empty is left alone: a failure at any call of the renames puts the old ones back;
// a kill at any call leaves them aside, and the next export, before anything else, puts them back
// (or, killed once all were in, removes them).
TEST_F(Export, StemsAreReplacedAllOrNone) {
    const Song song = songWith({{0, {1, 48, 4, 6, 200}}, {1, {2, 50, 2, 6, 200}}, {8, {3, 48, 1, 6, 200}}}, 8, 50);
    RenderRequest asked = request("song.wav");
    asked.stems = true;
    asked.loops = 0;
    const std::vector<std::string> stems = {"song-instrument1.wav", "song-instrument2.wav", "song-drum1.wav"};
    const auto prepare = [&] {
        fs::remove_all(folder);
        fs::create_directories(folder);
        for (const std::string name : {"song-instrument1.wav", "song-instrument2.wav", "song-instrument5.wav"})
            std::ofstream(folder / name) << "old " << name;
    };
    // A failure once all are in may leave the old stems' folder for the next export to remove.
    const auto state = [&](bool withOldFolder = true) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            if (!files::isTemporaryName(entry.path().filename().string()) &&
                (withOldFolder || !entry.path().string().ends_with(".tromel-stems-replaced")))
                names.push_back(entry.path().filename().string() + " " +
                                (entry.is_directory() ? "" : fileText(entry.path()).substr(0, 4)));
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> before = {"song-instrument1.wav old ", "song-instrument2.wav old ",
                                             "song-instrument5.wav old "};
    const std::vector<std::string> after = {"song-drum1.wav RIFF", "song-instrument1.wav RIFF",
                                            "song-instrument2.wav RIFF", "song-instrument5.wav old "};
    prepare();
    FaultyFileSystem counting;
    asked.files = &counting;
    ASSERT_TRUE(renderSong(song, asked).written());
    ASSERT_EQ(state(), after);
    const auto aside = std::find_if(counting.calls.begin(), counting.calls.end(),
                                    [](const Call& call) { return call.operation == Operation::MakeFolder; });
    ASSERT_NE(aside, counting.calls.end());
    EXPECT_EQ(fs::path(aside->path).filename(), ".song.wav.tromel-stems-aside");
    const auto replacing = std::find_if(counting.calls.begin(), counting.calls.end(), [](const Call& call) {
        return call.operation == Operation::Rename && call.path.ends_with(".tromel-stems-replaced");
    });
    const int replaced = static_cast<int>(replacing - counting.calls.begin());
    int renames = 0;
    for (int point = static_cast<int>(aside - counting.calls.begin()); point < int(counting.calls.size()); ++point) {
        renames += counting.calls[point].operation == Operation::Rename;
        for (const bool stop : {false, true}) {
            prepare();
            FaultyFileSystem seam;
            (stop ? seam.stopAfter : seam.failAt) = point;
            asked.files = &seam;
            const RenderOutcome outcome = renderSong(song, asked);
            const std::string where = std::to_string(point) + (stop ? " stop" : " fail");
            if (!stop) {
                EXPECT_EQ(state(!outcome.written()), outcome.written() ? after : before) << where;
                continue;
            }
            // The next export fails at once, but not before it has put the old stems back.
            FaultyFileSystem next;
            next.failWhen = [](const Call& call) { return call.operation == Operation::CreateTemporary ? EIO : 0; };
            asked.files = &next;
            EXPECT_EQ(renderSong(song, asked).status, RenderOutcome::Status::Failed) << where;
            EXPECT_EQ(state(), point < replaced ? before : after) << where;
        }
    }
    EXPECT_EQ(renames, 6);  // two old stems aside, three new ones in, the folder
    EXPECT_EQ(counting.unflushed(), std::vector<std::string>{});

    // Another export into the folder leaves alone the old stems of an export under way, and those
    // of a folder not the user's.
    prepare();
    asked.output = folder / "other.wav";
    asked.files = nullptr;
    {
        StemsAside busy(files::systemFileSystem(), folder / "song.wav");
        ASSERT_EQ(busy.moveAside({folder / "song-instrument1.wav"}), 0);
        ASSERT_TRUE(renderSong(song, asked).written());
        EXPECT_FALSE(fs::exists(folder / "song-instrument1.wav"));
    }
    FaultyFileSystem foreign;
    foreign.othersOwn = [](const fs::path& path) { return path.string().ends_with("-aside"); };
    asked.files = &foreign;
    ASSERT_TRUE(renderSong(song, asked).written());
    EXPECT_FALSE(fs::exists(folder / "song-instrument1.wav"));
    asked.files = nullptr;
    ASSERT_TRUE(renderSong(song, asked).written());
    EXPECT_EQ(fileText(folder / "song-instrument1.wav"), "old song-instrument1.wav");
}

// Cancelled in the last pass of a normalised stems export, or failing to write, an export leaves
// nothing behind: no file, no temporary file.
TEST_F(Export, ACancelledOrFailedExportLeavesNothing) {
    RenderRequest asked = request("cancelled.flac", AudioFormat::Flac16);
    asked.stems = true;
    asked.loudness = -16.0;
    asked.seconds = 4.0;
    int64_t calls = 0;
    const RenderOutcome cancelled = renderSong(denseSong(0), asked, [&](int64_t done, int64_t total) {
        ++calls;
        return done < total * 9 / 10;
    });
    EXPECT_EQ(cancelled.status, RenderOutcome::Status::Cancelled);
    EXPECT_GT(calls, 10);
    asked.stems = false;
    asked.output = folder / "missing" / "refused.wav";
    const RenderOutcome refused = renderSong(denseSong(0), asked);
    EXPECT_EQ(refused.status, RenderOutcome::Status::Refused);
    EXPECT_EQ(refused.problems,
              std::vector<std::string>{"The folder " + (folder / "missing").string() + " does not exist."});
    // Written whole, then not renamed over a folder of its name.
    asked.output = folder / "taken.wav";
    fs::create_directory(asked.output);
    EXPECT_EQ(renderSong(denseSong(0), asked).status, RenderOutcome::Status::Failed);
    fs::remove(asked.output);
    EXPECT_TRUE(fs::is_empty(folder));
}

}  // namespace
}  // namespace tromel::audio::test
