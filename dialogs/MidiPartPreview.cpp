// Plays the opening of one part of a MIDI file as it would sound once imported.
#include "dialogs/MidiPartPreview.h"

#include "audio/playback/NotePreview.h"

#include <algorithm>

namespace tromel::dialogs {
namespace {

constexpr int bars = 4;
constexpr int tickMilliseconds = 5;

}  // namespace

MidiPartPreview::MidiPartPreview(audio::AudioLayer& layer, std::filesystem::path sampleFolder, QObject* parent)
    : QObject(parent), m_layer(layer), m_sampleFolder(std::move(sampleFolder)) {
    m_timer.setInterval(tickMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &MidiPartPreview::advance);
}

MidiPartPreview::~MidiPartPreview() {
    stop();
}

void MidiPartPreview::play(Song song, int kind, int channel) {
    stop();
    m_song = std::move(song);
    m_kind = kind;
    m_channel = channel;
    m_notes.clear();
    const NoteTable& table = m_song.notes(kind);
    for (int32_t slot = 1; slot <= table.slotBound(); ++slot) {
        const NoteRec& note = table.at(channel, slot);
        if (!note.isEmpty() && note.key != noKey)
            m_notes.emplace_back(static_cast<int64_t>(note.position) - 1, note);
    }
    std::stable_sort(m_notes.begin(), m_notes.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    if (m_notes.empty() || m_song.tempo < 1)
        return;
    const int64_t first = m_notes.front().first;
    const int64_t barSteps = std::max(1, m_song.stepsPerBar * std::max<int>(m_song.beatsPerStep, 1));
    std::erase_if(m_notes, [&](const auto& n) { return n.first >= first + bars * barSteps; });
    for (auto& [step, note] : m_notes)
        step -= first;
    if (!m_preview)
        m_preview = std::make_unique<audio::NotePreview>(m_layer, m_sampleFolder);
    m_next = 0;
    m_soundsUntil = -1;
    m_clock.start();
    advance();
    m_timer.start();
}

void MidiPartPreview::stop() {
    m_timer.stop();
    if (m_preview)
        m_preview->stop();
}

void MidiPartPreview::advance() {
    const qint64 now = m_clock.elapsed();
    if (m_preview->isWaiting()) {
        if (const int sounds = m_preview->proceed(); sounds > 0)
            m_soundsUntil = now + sounds;
    }
    if (m_soundsUntil >= 0 && now >= m_soundsUntil) {
        m_preview->stop();
        m_soundsUntil = -1;
    }
    if (m_next < m_notes.size() && now >= m_notes[m_next].first * m_song.tempo) {
        const int sounds = m_preview->start(m_song, m_kind, m_channel, m_notes[m_next].second);
        m_soundsUntil = sounds > 0 ? now + sounds : -1;
        ++m_next;
    }
    if (m_next == m_notes.size() && m_soundsUntil < 0 && !m_preview->isWaiting())
        m_timer.stop();
}

}  // namespace tromel::dialogs
