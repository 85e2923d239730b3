// One recording pass: notes played while the song plays, placed at the steps they were heard at.
#include "roll/Recording.h"

#include <algorithm>

namespace tromel::roll {

namespace {

constexpr const char* countInText = "Notes played during the count-in were not recorded";

}  // namespace

void Recording::noteOn(int32_t fileKey, int16_t volume, int64_t frame) {
    if (m_chords.empty() || frame - m_chords.back().first > chordWindow)
        m_chords.push_back({frame, {}});
    std::vector<Held>& notes = m_chords.back().notes;
    const bool held = std::any_of(notes.begin(), notes.end(),
                                  [&](const Held& note) { return note.fileKey == fileKey && note.off < 0; });
    if (!held)
        notes.push_back({fileKey, volume, frame, -1});
}

// The key's latest note still held ends; a note-off of a key not held is ignored.
void Recording::noteOff(int32_t fileKey, int64_t frame) {
    for (auto chord = m_chords.rbegin(); chord != m_chords.rend(); ++chord)
        for (Held& note : chord->notes)
            if (note.fileKey == fileKey && note.off < 0) {
                note.off = std::max(frame, note.on);
                return;
            }
}

bool Recording::isOver(const Chord& chord, int64_t frame) const {
    const bool released =
        std::all_of(chord.notes.begin(), chord.notes.end(), [](const Held& note) { return note.off >= 0; });
    return released && (frame - chord.first > chordWindow || &chord != &m_chords.back());
}

EntryOutcome Recording::placeFront(const audio::StepGrid& grid, bool spread) {
    const Chord chord = std::move(m_chords.front());
    m_chords.pop_front();
    const int64_t step = grid.nearestStep(chord.first);
    if (grid.countsIn(step))
        return {std::nullopt, countInText, false};
    std::vector<EnteredNote> notes;
    for (const Held& note : chord.notes)
        notes.push_back({note.fileKey, std::min(grid.stepsBetween(note.on, note.off), longestNote), note.volume});
    const int32_t position = grid.positionOf(step);
    return placeChord(m_song, m_state, "Record", position, std::move(notes), spread);
}

std::vector<EntryOutcome> Recording::place(const audio::StepGrid& grid, bool spread, int64_t frame) {
    std::vector<EntryOutcome> outcomes;
    while (!m_chords.empty() && isOver(m_chords.front(), frame))
        outcomes.push_back(placeFront(grid, spread));
    return outcomes;
}

std::vector<EntryOutcome> Recording::finish(const audio::StepGrid& grid, bool spread, int64_t frame) {
    for (Chord& chord : m_chords)
        for (Held& note : chord.notes)
            if (note.off < 0)
                note.off = std::max(frame, note.on);
    std::vector<EntryOutcome> outcomes;
    while (!m_chords.empty())
        outcomes.push_back(placeFront(grid, spread));
    return outcomes;
}

}  // namespace tromel::roll
