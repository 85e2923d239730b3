// Writes a song as an Organya file ("Org-02", or "Org-03" when it needs it), atomically.
#include "song/ByteOrder.h"
#include "song/DrumSet.h"
#include "song/KeysAndPans.h"
#include "song/OrgFile.h"
#include "song/OrgLayout.h"

namespace tromel {
namespace {

using org::largestByte;
using org::largestStep;
using org::largestWord;

// A tempo of 99999 is written as the slowest tempo rather than as 34463, and a negative loop point
// as 0 rather than as one the reader refuses.
uint32_t field(int64_t value, int64_t largest) {
    return static_cast<uint32_t>(org::fitField(value, largest));
}

std::vector<const NoteRec*> liveNotes(const NoteTable& table, int channel) {
    std::vector<const NoteRec*> notes;
    for (int32_t slot = 1; slot <= table.slotBound(); ++slot)
        if (!table.at(channel, slot).isEmpty())
            notes.push_back(&table.at(channel, slot));
    return notes;
}

void appendChannelBlock(std::vector<uint8_t>& out, const ChannelSettings& channel, std::size_t noteCount) {
    appendLE(out, field(channel.frequency, largestWord), 2);
    appendLE(out, field(channel.wave, largestByte), 1);
    appendLE(out, channel.pi ? org::piTrueByte : 0u, 1);
    appendLE(out, static_cast<uint32_t>(noteCount), 2);
}

void appendChannelNotes(std::vector<uint8_t>& out, const std::vector<const NoteRec*>& notes) {
    for (const NoteRec* note : notes)
        appendLE(out, field(static_cast<int64_t>(note->position) - 1, largestStep - 1), 4);
    for (const NoteRec* note : notes)
        appendLE(out, field(fileKeyOfRow(int64_t{note->key}), largestByte), 1);
    for (const NoteRec* note : notes)
        appendLE(out, field(note->length, largestByte), 1);
    for (const NoteRec* note : notes)
        appendLE(out, field(note->volume, largestByte), 1);
    for (const NoteRec* note : notes)
        appendLE(out, field(filePanOfStoredPan(int64_t{note->pan}), largestByte), 1);
}

}  // namespace

bool needsLaterVersion(const Song& song) {
    if (song.fileVersion == 3)
        return true;
    for (const ChannelSettings& drum : song.drums)
        if (drum.wave >= classicDrumCount)
            return true;
    return false;
}

std::vector<uint8_t> writeOrgBytes(const Song& song) {
    std::array<std::vector<const NoteRec*>, 16> notes;
    for (int ch = 0; ch < 8; ++ch) {
        notes[ch] = liveNotes(song.instrumentNotes, ch);
        notes[8 + ch] = liveNotes(song.drumNotes, ch);
    }

    const auto& magic = needsLaterVersion(song) ? org::laterMagic : org::magic;
    std::vector<uint8_t> out(magic.begin(), magic.end());
    appendLE(out, field(song.tempo, largestWord), 2);
    appendLE(out, field(song.stepsPerBar, largestByte), 1);
    appendLE(out, field(song.beatsPerStep, largestByte), 1);
    appendLE(out, field(song.loopBegin, largestStep), 4);
    appendLE(out, field(song.loopEnd, largestStep), 4);
    for (int ch = 0; ch < 8; ++ch)
        appendChannelBlock(out, song.instruments[ch], notes[ch].size());
    for (int ch = 0; ch < 8; ++ch)
        appendChannelBlock(out, song.drums[ch], notes[8 + ch].size());
    for (const auto& channelNotes : notes)
        appendChannelNotes(out, channelNotes);
    return out;
}

namespace {

// Each value as written and read back: the same fitting as the bytes, then the reader's conversion.
NoteRec noteAsSaved(const NoteRec& note) {
    NoteRec saved;
    saved.position = static_cast<int32_t>(field(static_cast<int64_t>(note.position) - 1, largestStep - 1)) + 1;
    saved.key = 96 - static_cast<int32_t>(field(96 - static_cast<int64_t>(note.key), largestByte));
    saved.length = static_cast<int32_t>(field(note.length, largestByte));
    saved.volume = static_cast<int16_t>(field(note.volume, largestByte));
    saved.pan =
        static_cast<int16_t>(12 - static_cast<int32_t>(field(12 - static_cast<int64_t>(note.pan), largestByte)));
    return saved;
}

ChannelSettings channelAsSaved(const ChannelSettings& channel, std::size_t noteCount) {
    return {static_cast<int32_t>(field(channel.frequency, largestWord)),
            static_cast<int16_t>(field(channel.wave, largestByte)), channel.pi, static_cast<int16_t>(noteCount)};
}

// Closes up the empty slots of each channel; the table is as wide as its fullest channel, as the
// reader grows it.
void notesAsSaved(const NoteTable& table, NoteTable& saved, std::array<ChannelSettings, 8>& settings,
                  const std::array<ChannelSettings, 8>& from) {
    for (int ch = 0; ch < 8; ++ch) {
        const std::vector<const NoteRec*> notes = liveNotes(table, ch);
        settings[ch] = channelAsSaved(from[ch], notes.size());
        saved.grow(static_cast<int32_t>(notes.size()));
        for (std::size_t i = 0; i < notes.size(); ++i)
            saved.at(ch, static_cast<int32_t>(i) + 1) = noteAsSaved(*notes[i]);
    }
}

}  // namespace

Song asSaved(const Song& song) {
    Song saved;
    saved.tempo = static_cast<int32_t>(field(song.tempo, largestWord));
    saved.stepsPerBar = static_cast<int16_t>(field(song.stepsPerBar, largestByte));
    saved.beatsPerStep = static_cast<int16_t>(field(song.beatsPerStep, largestByte));
    saved.loopBegin = static_cast<int32_t>(field(song.loopBegin, largestStep));
    saved.loopEnd = static_cast<int32_t>(field(song.loopEnd, largestStep));
    saved.fileVersion = needsLaterVersion(song) ? 3 : 2;
    notesAsSaved(song.instrumentNotes, saved.instrumentNotes, saved.instruments, song.instruments);
    notesAsSaved(song.drumNotes, saved.drumNotes, saved.drums, song.drums);
    return saved;
}

SaveResult saveOrgFile(const Song& song, const std::filesystem::path& path, files::FileSystem& files,
                       const SaveOptions& options) {
    return writeFileAtomically(path, writeOrgBytes(song), files, options);
}

}  // namespace tromel
