// The mixer: every channel's voices and every step clock, rendered into one stereo output.
#include "audio/mixer/Mixer.h"

#include <algorithm>
#include <cmath>

namespace tromel::audio {

namespace {

constexpr std::size_t commandCapacity = 16384;
constexpr std::size_t returnCapacity = Mixer::slotCapacity + 4096;
constexpr std::size_t liveCapacity = 1024;
constexpr int lowestFrequency = 1;

}  // namespace

Mixer::Mixer(int rate)
    : m_rate(std::clamp(rate, lowestRate, highestRate)),
      m_timing(Voice::timingAt(m_rate)),
      m_slots(slotCapacity),
      m_commands(commandCapacity),
      m_live(liveCapacity),
      m_returns(returnCapacity) {}

Mixer::Mixer(int rate, uint32_t slots, std::size_t commands)
    : m_rate(std::clamp(rate, lowestRate, highestRate)),
      m_timing(Voice::timingAt(m_rate)),
      m_slots(std::min(slots, slotCapacity)),
      m_commands(commands),
      m_live(1),
      m_returns(slots + 64) {}

Mixer::Slot* Mixer::slotOf(Handle handle) {
    if (handle == 0)
        return nullptr;
    if ((handle & slotMask) >= m_slots.size())
        return nullptr;
    Slot& slot = m_slots[handle & slotMask];
    return slot.handle == handle ? &slot : nullptr;
}

double Mixer::ratioOf(const Slot& slot) const {
    const int rate = slot.frequency == 0 ? slot.sample->rate : slot.frequency;
    return static_cast<double>(rate) / m_rate;
}

// A balance: the centre leaves both sides at full gain, and a side pan fades the other side.
// The mix gain rides along in every voice's gains.
void Mixer::gainsOf(const Slot& slot, float& left, float& right) const {
    const float gain = mixGain * static_cast<float>(slot.volume) / static_cast<float>(m_maxVolume);
    left = gain * (slot.pan > 0 ? 1.0f - slot.pan / 100.0f : 1.0f);
    right = gain * (slot.pan < 0 ? 1.0f + slot.pan / 100.0f : 1.0f);
}

void Mixer::storeAttributes(Slot& slot, int frequency, int volume, int pan) const {
    if (frequency != unchangedFrequency)
        slot.frequency = frequency == 0 ? 0 : std::max(frequency, lowestFrequency);
    if (volume != unchangedVolume)
        slot.volume = std::clamp(volume, 0, m_maxVolume);
    if (pan != unchangedPan)
        slot.pan = std::clamp(pan, -100, 100);
}

// [audio thread] The sounding note takes the new attributes: a change, heard at once.
void Mixer::setChannelAttributes(Handle channel, int frequency, int volume, int pan) {
    Slot* slot = slotOf(channel);
    if (!slot)
        return;
    storeAttributes(*slot, frequency, volume, pan);
    float left = 0.0f;
    float right = 0.0f;
    gainsOf(*slot, left, right);
    slot->main.setRatio(ratioOf(*slot));
    slot->main.setGains(left, right);
}

// [audio thread] A sounding note is not cut off: it fades out as it was, in a tail of its own,
// while the new one starts. With both tails busy, the quietest of the three voices gives way:
// a note replaced in the frame it started, still silent, or the fade that has gone furthest.
void Mixer::fadeMainAway(Slot& slot) {
    if (!slot.main.active())
        return;
    Voice& tail = slot.tails[0].level() <= slot.tails[1].level() ? slot.tails[0] : slot.tails[1];
    if (tail.active() && tail.level() > slot.main.level())
        return;
    tail = slot.main;
    tail.fadeOut();
}

void Mixer::startMain(Slot& slot) {
    float left = 0.0f;
    float right = 0.0f;
    gainsOf(slot, left, right);
    slot.main.start(*slot.sample, slot.loop, ratioOf(slot), left, right, m_timing);
}

// [audio thread]
void Mixer::playChannel(Handle channel) {
    Slot* slot = slotOf(channel);
    if (!slot || slot->retirement != Retirement::None)
        return;
    fadeMainAway(*slot);
    startMain(*slot);
}

// [audio thread] The attributes reach only the new note, never the one fading out.
void Mixer::startNote(Handle channel, int frequency, int volume, int pan) {
    Slot* slot = slotOf(channel);
    if (!slot || slot->retirement != Retirement::None)
        return;
    fadeMainAway(*slot);
    storeAttributes(*slot, frequency, volume, pan);
    startMain(*slot);
}

// [audio thread] Every playback restarts its sample, so a paused channel needs no place kept.
void Mixer::pauseChannel(Handle channel) {
    if (Slot* slot = slotOf(channel))
        slot->main.fadeOut();
}

// [audio thread]
void Mixer::stopChannel(Handle channel) {
    if (Slot* slot = slotOf(channel)) {
        slot->main.fadeOut();
        for (Voice& tail : slot->tails)
            tail.fadeOut();
    }
}

// [audio thread]
void Mixer::dispose(Disposable* object) {
    if (object)
        giveBack({MixerReturn::Kind::Dispose, 0, object});
}

// [audio thread]
void Mixer::giveBack(const MixerReturn& item) {
    if (m_returns.push(item))
        return;
    if (m_unsentCount < static_cast<int>(m_unsent.size()))
        m_unsent[m_unsentCount++] = item;
    // Beyond that the object is never freed: a leak, but never a crash or a wait.
}

// [audio thread]
void Mixer::resendUnsent() {
    int kept = 0;
    for (int i = 0; i < m_unsentCount; ++i)
        if (!m_returns.push(m_unsent[i]))
            m_unsent[kept++] = m_unsent[i];
    m_unsentCount = kept;
}

// [audio thread]
void Mixer::applySlotCommand(const MixerCommand& command) {
    if (command.kind == MixerCommand::Kind::Bind) {
        Slot& slot = m_slots[command.slot];
        slot = Slot{};
        slot.handle = command.handle;
        slot.sample = command.sample;
        slot.loop = command.flag;
        slot.volume = m_maxVolume;
        m_slotsUsed = std::max(m_slotsUsed, command.slot + 1);
        return;
    }
    Slot* slot = slotOf(command.handle);
    if (!slot)
        return;
    switch (command.kind) {
        case MixerCommand::Kind::SetLooping:
            slot->loop = command.flag;
            break;
        case MixerCommand::Kind::SetAttributes:
            setChannelAttributes(command.handle, command.frequency, command.volume, command.pan);
            break;
        case MixerCommand::Kind::Play:
            playChannel(command.handle);
            break;
        case MixerCommand::Kind::Pause:
            pauseChannel(command.handle);
            break;
        case MixerCommand::Kind::Stop:
            stopChannel(command.handle);
            break;
        case MixerCommand::Kind::Retire:
            stopChannel(command.handle);
            slot->retirement = Retirement::Now;
            break;
        case MixerCommand::Kind::RetireWhenSilent:
            slot->retirement = Retirement::WhenSilent;
            break;
        case MixerCommand::Kind::SetBus:
            slot->bus = command.bus;
            break;
        default:
            break;
    }
}

// [audio thread]
void Mixer::removeSequencer(Sequencer* sequencer) {
    const auto end = m_sequencers.begin() + m_sequencerCount;
    const auto found = std::find(m_sequencers.begin(), end, sequencer);
    if (found == end)
        return;
    std::copy(found + 1, end, found);
    --m_sequencerCount;
}

// [audio thread]
void Mixer::applySequencerCommand(const MixerCommand& command) {
    switch (command.kind) {
        case MixerCommand::Kind::Attach:
            if (m_sequencerCount < sequencerCapacity)
                m_sequencers[m_sequencerCount++] = command.sequencer;
            break;
        case MixerCommand::Kind::Detach:
            removeSequencer(command.sequencer);
            break;
        case MixerCommand::Kind::Retreat:
            removeSequencer(command.sequencer);
            dispose(command.sequencer);
            break;
        case MixerCommand::Kind::ToSequencer:
            command.sequencer->receive(command.sequencerCommand, m_frame, *this);
            break;
        default:
            break;
    }
}

// [audio thread]
void Mixer::apply(const MixerCommand& command) {
    switch (command.kind) {
        case MixerCommand::Kind::SetMaxVolume:
            m_maxVolume = std::max(1, command.volume);
            break;
        case MixerCommand::Kind::Attach:
        case MixerCommand::Kind::Detach:
        case MixerCommand::Kind::Retreat:
        case MixerCommand::Kind::ToSequencer:
            applySequencerCommand(command);
            break;
        default:
            applySlotCommand(command);
            break;
    }
}

// [audio thread]
void Mixer::applyDueCommands() {
    MixerCommand command;
    while (const MixerCommand* next = m_commands.front()) {
        if (next->frame > m_frame)
            break;
        m_commands.pop(command);
        apply(command);
    }
}

// [audio thread] After the commands, so that a channel bound for live notes before they were
// played is there for them.
void Mixer::applyDueLiveNotes() {
    LiveNote note;
    while (const LiveNote* next = m_live.front()) {
        if (next->frame > m_frame)
            break;
        m_live.pop(note);
        Slot* slot = slotOf(note.channel);
        if (!slot)
            continue;
        if (note.kind == LiveNote::Kind::On) {
            startNote(note.channel, note.frequency, note.volume, note.pan);
            slot->liveKey = note.fileKey;
        } else if (slot->liveKey == note.fileKey) {
            pauseChannel(note.channel);
            slot->liveKey = -1;
        }
    }
}

// [audio thread] Each step moves its clock on by at least one frame, so this ends.
void Mixer::runDueSteps() {
    for (int i = 0; i < m_sequencerCount; ++i) {
        Sequencer* sequencer = m_sequencers[i];
        while (sequencer->nextStepFrame() <= m_frame)
            sequencer->step(*this);
    }
}

// [audio thread] The first frame after now at which a command, a live note or a step is due, or limit.
int64_t Mixer::nextEventFrame(int64_t limit) const {
    int64_t next = limit;
    if (const MixerCommand* command = m_commands.front())
        next = std::min(next, std::max(command->frame, m_frame + 1));
    if (const LiveNote* note = m_live.front())
        next = std::min(next, std::max(note->frame, m_frame + 1));
    for (int i = 0; i < m_sequencerCount; ++i)
        next = std::min(next, m_sequencers[i]->nextStepFrame());
    return next;
}

// [audio thread]
void Mixer::mixVoices(float* out, int frames) {
    for (uint32_t i = 0; i < m_slotsUsed; ++i) {
        Slot& slot = m_slots[i];
        if (slot.handle == 0)
            continue;
        slot.main.mix(out, frames);
        for (Voice& tail : slot.tails)
            tail.mix(out, frames);
    }
    m_click.mix(out, frames);
}

// [offline] A slot's voices go into its bus alone, in slot order as mixVoices adds them, so that a
// bus holds, to the bit, what a mix of its channels alone would hold.
void Mixer::mixBuses(std::span<float* const> buses, int offset, int frames) {
    for (uint32_t i = 0; i < m_slotsUsed; ++i) {
        Slot& slot = m_slots[i];
        if (slot.handle == 0)
            continue;
        if (slot.bus < 0 || static_cast<std::size_t>(slot.bus) >= buses.size()) {
            slot.main.skip(frames);
            for (Voice& tail : slot.tails)
                tail.skip(frames);
            continue;
        }
        float* out = buses[static_cast<std::size_t>(slot.bus)] + 2 * static_cast<std::ptrdiff_t>(offset);
        slot.main.mix(out, frames);
        for (Voice& tail : slot.tails)
            tail.mix(out, frames);
    }
}

// [audio thread]
void Mixer::releaseSilentSlots() {
    for (uint32_t i = 0; i < m_slotsUsed; ++i) {
        Slot& slot = m_slots[i];
        if (slot.handle == 0 || slot.retirement == Retirement::None || slot.main.active() || slot.tails[0].active() ||
            slot.tails[1].active())
            continue;
        slot.handle = 0;
        slot.sample = nullptr;
        slot.retirement = Retirement::None;
        giveBack({MixerReturn::Kind::SlotReleased, i, nullptr});
    }
}

// [audio thread]
void Mixer::render(float* out, int frames) {
    renderVoices(out, frames);
    m_dcBlocker.process(out, frames);
    m_limiter.process(out, frames);
    m_renderedFrames.store(m_frame, std::memory_order_release);
}

// [offline]
void Mixer::renderBuses(std::span<float* const> buses, int frames) {
    for (float* bus : buses)
        std::fill(bus, bus + 2 * static_cast<std::size_t>(frames), 0.0f);
    advance(nullptr, buses, frames);
    m_renderedFrames.store(m_frame, std::memory_order_release);
}

// [audio thread]
void Mixer::renderVoices(float* out, int frames) {
    std::fill(out, out + 2 * static_cast<std::size_t>(frames), 0.0f);
    advance(out, {}, frames);
}

// [whoever renders] The same run of the clock as renderVoices, the voices moved on unheard.
void Mixer::skipVoices(int frames) {
    advance(nullptr, {}, frames);
}

// [whoever renders] The clock run `frames` on, split at commands and steps so each lands on its frame; the
// voices mix into `out`, or into `buses`, or with neither only move on.
void Mixer::advance(float* out, std::span<float* const> buses, int frames) {
    resendUnsent();
    applyDueCommands();
    applyDueLiveNotes();
    int done = 0;
    while (done < frames) {
        applyDueCommands();
        applyDueLiveNotes();
        runDueSteps();
        const int64_t until = nextEventFrame(m_frame + (frames - done));
        const int run = static_cast<int>(until - m_frame);
        if (out)
            mixVoices(out + 2 * done, run);
        else if (!buses.empty())
            mixBuses(buses, done, run);
        else
            skipRun(run);
        done += run;
        m_frame = until;
    }
    releaseSilentSlots();
    for (int i = 0; i < m_sequencerCount; ++i)
        m_sequencers[i]->publish();
}

void Mixer::skipRun(int frames) {
    for (uint32_t i = 0; i < m_slotsUsed; ++i) {
        Slot& slot = m_slots[i];
        if (slot.handle == 0)
            continue;
        slot.main.skip(frames);
        for (Voice& tail : slot.tails)
            tail.skip(frames);
    }
}

void Mixer::settle() {
    MixerCommand command;
    while (m_commands.pop(command))
        apply(command);
    releaseSilentSlots();
}

void Mixer::clear() {
    for (Slot& slot : m_slots)
        slot = Slot{};
    m_slotsUsed = 0;
    m_sequencerCount = 0;
    m_click = ClickVoice{m_rate};
    m_dcBlocker = DcBlocker{m_rate};
    m_limiter = PeakLimiter{PeakLimiter::ceiling, m_rate};
}

}  // namespace tromel::audio
