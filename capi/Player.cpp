// One song played by the engine for a program of its own: the mixer, the song's step clock and where it is.
#include "capi/Player.h"

#include "audio/mixer/KeyFrequency.h"
#include "audio/playback/SongCompiler.h"
#include "capi/SharedSamples.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace tromel::capi {

namespace {

using audio::MixerCommand;

// Floats rendered at a time where the caller's buffer cannot take them (16-bit output, a seek).
constexpr int scratchFrames = 1024;
// The commands a restart posts: the volume, the clock, three for each channel and the start.
constexpr std::size_t commandRoom = 64;

MixerCommand commandOf(MixerCommand::Kind kind) {
    MixerCommand command;
    command.kind = kind;
    return command;
}

// The mixer's rate in Hz. Until the engine takes a rate of its own it runs at audio::outputRate, and this is
// where a player's rate is to reach it.
int engineRate(int) {
    return audio::outputRate;
}

// The levels a voice reads playing the sample at `frequency` Hz: as Voice picks them, from the ratio the mixer
// gives it.
LevelSet levelsOf(const audio::SampleData& sample, int frequency, int rate) {
    const double ratio = static_cast<double>(frequency) / engineRate(rate);
    const audio::LevelBlend blend = sample.blendFor(std::min(ratio, audio::SampleData::largestRatio()));
    return (LevelSet{1} << blend.level) | (LevelSet{1} << blend.duller);
}

int16_t toS16(float value) {
    const float scaled = std::round(value * 32767.0f);
    return static_cast<int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

}  // namespace

std::optional<std::string> Player::refusal(const Song& song, int rate) {
    if (rate < rateMin || rate > rateMax)
        return "the sample rate must be " + std::to_string(rateMin) + " to " + std::to_string(rateMax) + " Hz, not " +
               std::to_string(rate);
    return audio::playRefusal(song);
}

Player::Player(const Song& song, int rate)
    : m_rate(rate), m_tempo(song.tempo), m_loopBegin(song.loopBegin), m_loopEnd(song.loopEnd) {
    audio::compileEvents(song, m_compiled);
    // Only what the song plays is prepared: the samples of channels with notes, and of each only the levels
    // its notes' keys reach.
    std::array<std::string, audio::songChannelCount> names;
    std::array<LevelSet, audio::songChannelCount> levels{};
    for (const audio::PlayEvent& event : m_compiled.events) {
        const int k = event.songChannel();
        if (event.kind != audio::EventKind::NoteStart)
            continue;
        const bool drum = k >= 8;
        if (!m_samples[k]) {
            const int number = drum ? song.drums[k - 8].wave : song.instruments[k].wave;
            names[k] = audio::sampleFileName(drum, number);
            m_samples[k] = names[k].empty() ? nullptr : sharedSample(names[k].c_str(), !drum, 0);
            if (!m_samples[k])
                continue;
        }
        levels[k] |= levelsOf(*m_samples[k], audio::noteFrequency(event.keyRow, drum), m_rate);
    }
    for (int k = 0; k < audio::songChannelCount; ++k)
        if (m_samples[k])
            m_samples[k] = sharedSample(names[k].c_str(), k < 8, levels[k]);
    m_scratch.resize(2 * static_cast<std::size_t>(scratchFrames));
    restart();
    renderDropped(audio::Mixer::latencyFrames);
}

Player::~Player() = default;

// The mixer as a render's engine sets it up, in the same order: its loudest volume, the clock, a channel
// for each sample in song channel order (so voices add up in the same order), then the start. The output
// begins once the limiter's look-ahead has been rendered away (by the caller).
void Player::restart() {
    // THE ONE PLACE the output rate reaches the engine: the mixer (and with it the step grid and the voices'
    // ratios) is to be made for engineRate(m_rate) here.
    if (!m_mixer)
        m_mixer = std::make_unique<audio::Mixer>(audio::songChannelCount, commandRoom);
    m_mixer->clear();
    m_sequencer = std::make_unique<audio::SongSequencer>(audio::FirstStep::AtOnce);
    for (int k = 0; k < audio::songChannelCount; ++k)
        m_sequencer->setMuted(k, (m_mutesTaken >> k) & 1u);

    MixerCommand volume = commandOf(MixerCommand::Kind::SetMaxVolume);
    volume.volume = audio::largestVolume;
    m_mixer->post(volume);
    MixerCommand attach = commandOf(MixerCommand::Kind::Attach);
    attach.sequencer = m_sequencer.get();
    m_mixer->post(attach);
    auto compiled = std::make_unique<audio::CompiledSong>(m_compiled);
    uint32_t slot = 0;
    for (int k = 0; k < audio::songChannelCount; ++k) {
        compiled->channels[k] = 0;
        if (!m_samples[k])
            continue;
        const audio::Handle handle = ((k + 1u) << audio::Mixer::slotBits) | slot;
        compiled->channels[k] = handle;
        m_handles[k] = handle;
        MixerCommand bind = commandOf(MixerCommand::Kind::Bind);
        bind.slot = slot++;
        bind.handle = handle;
        bind.sample = m_samples[k];
        bind.flag = m_samples[k]->loop;
        m_mixer->post(bind);
        MixerCommand looping = commandOf(MixerCommand::Kind::SetLooping);
        looping.handle = handle;
        looping.flag = k < 8;
        m_mixer->post(looping);
        MixerCommand attributes = commandOf(MixerCommand::Kind::SetAttributes);
        attributes.handle = handle;
        attributes.frequency = 0;
        attributes.volume = audio::unchangedVolume;
        attributes.pan = audio::unchangedPan;
        m_mixer->post(attributes);
    }
    MixerCommand start = commandOf(MixerCommand::Kind::ToSequencer);
    start.sequencer = m_sequencer.get();
    start.sequencerCommand = {audio::SongSequencer::start, compiled.release(), 1, 1, 0};
    m_mixer->post(start);
    m_mixer->settle();
    m_frame.store(0, std::memory_order_relaxed);
}

void Player::renderDropped(int64_t frames) {
    while (frames > 0) {
        const int n = static_cast<int>(std::min<int64_t>(frames, scratchFrames));
        m_mixer->render(m_scratch.data(), n);
        frames -= n;
    }
}

void Player::setMuted(int channel, bool muted) {
    const auto bit = static_cast<uint16_t>(1u << channel);
    if (muted)
        m_mutesAsked.fetch_or(bit, std::memory_order_relaxed);
    else
        m_mutesAsked.fetch_and(static_cast<uint16_t>(~bit), std::memory_order_relaxed);
}

bool Player::muted(int channel) const {
    return (m_mutesAsked.load(std::memory_order_relaxed) >> channel) & 1u;
}

// A channel muted now fades what it sounds (the voice's own short fade) and starts nothing more; unmuted,
// it plays its next event.
void Player::takeMutes() {
    const uint16_t asked = m_mutesAsked.load(std::memory_order_relaxed);
    if (asked == m_mutesTaken)
        return;
    for (int k = 0; k < audio::songChannelCount; ++k) {
        const bool now = (asked >> k) & 1u;
        if (now == static_cast<bool>((m_mutesTaken >> k) & 1u))
            continue;
        m_sequencer->setMuted(k, now);
        if (now)
            m_mixer->stopChannel(m_handles[k]);
    }
    m_mutesTaken = asked;
}

int64_t Player::timelineFrame(int64_t n) const {
    __extension__ typedef __int128 Wide;  // n * tempo * rate may pass 2^63
    const Wide product = static_cast<Wide>(n) * m_tempo * m_rate;
    return static_cast<int64_t>(product / 1000);
}

int64_t Player::lengthFor(int loops) const {
    if (loops < 0)
        return -1;
    const int64_t steps = m_loopEnd + static_cast<int64_t>(loops) * (m_loopEnd - m_loopBegin);
    return timelineFrame(steps);
}

std::size_t Player::framesLeft(std::size_t asked) const {
    const int64_t length = lengthFor(loops());
    if (length < 0)
        return asked;
    const int64_t left = std::max<int64_t>(0, length - frame());
    return static_cast<std::size_t>(std::min<int64_t>(
        left, static_cast<int64_t>(std::min<std::size_t>(asked, std::numeric_limits<int64_t>::max()))));
}

bool Player::finished() const {
    const int64_t length = lengthFor(loops());
    return length >= 0 && frame() >= length;
}

std::size_t Player::render(float* stereo, std::size_t frames) {
    takeMutes();
    const std::size_t total = framesLeft(frames);
    for (std::size_t done = 0; done < total;) {
        const int n = static_cast<int>(std::min<std::size_t>(total - done, 1 << 20));
        m_mixer->render(stereo + 2 * done, n);
        done += static_cast<std::size_t>(n);
    }
    m_frame.store(frame() + static_cast<int64_t>(total), std::memory_order_relaxed);
    return total;
}

std::size_t Player::renderS16(int16_t* stereo, std::size_t frames) {
    takeMutes();
    const std::size_t total = framesLeft(frames);
    for (std::size_t done = 0; done < total;) {
        const int n = static_cast<int>(std::min<std::size_t>(total - done, scratchFrames));
        m_mixer->render(m_scratch.data(), n);
        for (int i = 0; i < 2 * n; ++i)
            stereo[2 * done + i] = toS16(m_scratch[i]);
        done += static_cast<std::size_t>(n);
    }
    m_frame.store(frame() + static_cast<int64_t>(total), std::memory_order_relaxed);
    return total;
}

// The last step n with floor(n * tempo * rate / 1000) below the frames heard, h: n * tempo * rate < 1000 * h.
int64_t Player::step() const {
    const int64_t heard = frame();
    if (heard <= 0)
        return -1;
    __extension__ typedef __int128 Wide;
    return static_cast<int64_t>((static_cast<Wide>(heard) * 1000 - 1) / (static_cast<Wide>(m_tempo) * m_rate));
}

// The loop's passes repeat to the frame once a whole number of them lasts a whole number of frames: then the
// step grid repeats too. A target far along is taken back by such periods, to a pass well after the first (so
// that what the song's start left sounding has gone), and sounds there as it would at the target.
int64_t Player::foldedTarget(int64_t target) const {
    const int64_t loopSteps = m_loopEnd - m_loopBegin;
    const int64_t remainder = loopSteps * m_tempo % 1000 * (m_rate % 1000) % 1000;
    const int64_t periodSteps = loopSteps * (1000 / std::gcd(remainder, int64_t{1000}));
    // Beyond 2^60 frames (six million years at 192 kHz) a period is not looked for.
    if (periodSteps <= 0 || periodSteps > (int64_t{1} << 60) / (static_cast<int64_t>(m_tempo) * m_rate / 1000 + 1))
        return target;
    const int64_t period = timelineFrame(periodSteps);
    const int64_t settled = timelineFrame(m_loopEnd) + period;
    if (period <= 0 || target < settled + period)
        return target;
    return target - (target - settled) / period * period;
}

// The voices and clock are moved on without a sound to seekLeadSeconds before the target; from there the
// filters and the limiter, as a new mixer has them, run up to it, the limiter's look-ahead included.
void Player::seek(int64_t target) {
    takeMutes();
    restart();
    m_frame.store(target, std::memory_order_relaxed);
    const int64_t length = lengthFor(loops());
    if (length >= 0 && target >= length)
        return;
    const int64_t lead = static_cast<int64_t>(seekLeadSeconds * m_rate);
    const int64_t played = foldedTarget(target);
    for (int64_t skip = std::max<int64_t>(0, played - lead); skip > 0;) {
        const int n = static_cast<int>(std::min<int64_t>(skip, std::numeric_limits<int>::max()));
        m_mixer->skipVoices(n);
        skip -= n;
    }
    renderDropped(std::min(played, lead) + audio::Mixer::latencyFrames);
}

}  // namespace tromel::capi
