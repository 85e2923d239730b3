// One step of a song's edit history: what a gesture or a dialog changed, and how to take it back.
#include "song/SongEdit.h"

#include <algorithm>

namespace tromel {

SongHeader SongHeader::of(const Song& song) {
    return {song.tempo, song.stepsPerBar, song.beatsPerStep, song.loopBegin, song.loopEnd};
}

void SongHeader::applyTo(Song& song) const {
    song.tempo = tempo;
    song.stepsPerBar = stepsPerBar;
    song.beatsPerStep = beatsPerStep;
    song.loopBegin = loopBegin;
    song.loopEnd = loopEnd;
}

SongChannels SongChannels::of(const Song& song) {
    return {song.instruments, song.drums};
}

void SongChannels::applyTo(Song& song) const {
    song.instruments = instruments;
    song.drums = drums;
}

std::vector<NoteRec> channelRecords(const NoteTable& table, int channel) {
    std::vector<NoteRec> records;
    records.reserve(static_cast<std::size_t>(table.slotBound()));
    for (int32_t slot = 1; slot <= table.slotBound(); ++slot)
        records.push_back(table.at(channel, slot));
    return records;
}

void setChannelRecords(NoteTable& table, int channel, const std::vector<NoteRec>& records) {
    table.grow(static_cast<int32_t>(records.size()));
    for (int32_t slot = 1; slot <= table.slotBound(); ++slot) {
        const auto index = static_cast<std::size_t>(slot - 1);
        table.at(channel, slot) = index < records.size() ? records[index] : NoteRec{};
    }
}

bool SongEdit::isEmpty() const {
    if (const auto* notes = std::get_if<std::vector<NoteChange>>(&m_change))
        return std::all_of(notes->begin(), notes->end(), [](const NoteChange& change) {
            return change.splices.empty() && change.countBefore == change.countAfter;
        });
    if (const auto* header = std::get_if<HeaderChange>(&m_change))
        return header->before == header->after;
    if (const auto* channels = std::get_if<ChannelsChange>(&m_change))
        return channels->before == channels->after;
    return true;
}

std::size_t SongEdit::memoryBytes() const {
    std::size_t bytes = sizeof(SongEdit) + m_name.capacity();
    if (const auto* notes = std::get_if<std::vector<NoteChange>>(&m_change)) {
        bytes += notes->capacity() * sizeof(NoteChange);
        for (const NoteChange& change : *notes) {
            bytes += change.splices.capacity() * sizeof(RecordSplice);
            for (const RecordSplice& splice : change.splices)
                bytes += (splice.removed.capacity() + splice.inserted.capacity()) * sizeof(NoteRec);
        }
    }
    return bytes;
}

int SongEdit::noteKind() const {
    const auto* notes = std::get_if<std::vector<NoteChange>>(&m_change);
    return notes && !notes->empty() ? notes->front().kind : -1;
}

int SongEdit::noteChannel() const {
    const auto* notes = std::get_if<std::vector<NoteChange>>(&m_change);
    return notes && !notes->empty() ? notes->front().channel : -1;
}

bool SongEdit::append(SongEdit later) {
    auto* added = std::get_if<std::vector<NoteChange>>(&later.m_change);
    if (!added)
        return false;
    if (std::holds_alternative<std::monostate>(m_change)) {
        m_change = std::vector<NoteChange>{};
        if (m_name.empty())
            m_name = later.m_name;
    }
    auto* notes = std::get_if<std::vector<NoteChange>>(&m_change);
    if (!notes)
        return false;
    for (NoteChange& change : *added)
        notes->push_back(std::move(change));
    return true;
}

void SongEdit::applyNotes(const NoteChange& change, Song& song, EditState& state, bool forward) {
    NoteTable& table = song.notes(change.kind);
    const std::vector<NoteRec> now = channelRecords(table, change.channel);
    const std::vector<NoteRec> then = forward ? applyForward(now, change.splices) : applyBackward(now, change.splices);
    setChannelRecords(table, change.channel, then);
    state.noteCounts[change.kind][change.channel] = forward ? change.countAfter : change.countBefore;
}

void SongEdit::undo(Song& song, EditState& state) const {
    apply(song, state, false);
}

void SongEdit::redo(Song& song, EditState& state) const {
    apply(song, state, true);
}

void SongEdit::apply(Song& song, EditState& state, bool forward) const {
    if (const auto* notes = std::get_if<std::vector<NoteChange>>(&m_change)) {
        // Each change was made on the song as the one before left it: undone in reverse order.
        if (forward)
            for (const NoteChange& change : *notes)
                applyNotes(change, song, state, true);
        else
            for (auto change = notes->rbegin(); change != notes->rend(); ++change)
                applyNotes(*change, song, state, false);
    } else if (const auto* header = std::get_if<HeaderChange>(&m_change)) {
        (forward ? header->after : header->before).applyTo(song);
    } else if (const auto* channels = std::get_if<ChannelsChange>(&m_change)) {
        (forward ? channels->after : channels->before).applyTo(song);
    }
}

SongEdit SongEdit::ofHeader(std::string name, const SongHeader& before, const SongHeader& after) {
    SongEdit edit;
    edit.m_name = std::move(name);
    edit.m_change = HeaderChange{before, after};
    return edit;
}

SongEdit SongEdit::ofChannels(std::string name, const SongChannels& before, const SongChannels& after) {
    SongEdit edit;
    edit.m_name = std::move(name);
    edit.m_change = ChannelsChange{before, after};
    return edit;
}

ChannelSnapshot::ChannelSnapshot(const Song& song, const EditState& state, int kind, int channel)
    : m_kind(kind),
      m_channel(channel),
      m_count(state.noteCounts[kind][channel]),
      m_records(channelRecords(song.notes(kind), channel)) {}

SongEdit ChannelSnapshot::finish(std::string name, const Song& song, const EditState& state) const {
    const std::vector<NoteRec> after = channelRecords(song.notes(m_kind), m_channel);
    // The table only grows, so the records before are the shorter sequence: padded with the
    // empty slots the growth added, both have one length and every splice keeps it.
    std::vector<NoteRec> before = m_records;
    before.resize(std::max(before.size(), after.size()));
    SongEdit edit;
    edit.m_name = std::move(name);
    edit.m_change = std::vector<SongEdit::NoteChange>{SongEdit::NoteChange{
        m_kind, m_channel, m_count, state.noteCounts[m_kind][m_channel], diffRecords(before, after)}};
    return edit;
}

}  // namespace tromel
