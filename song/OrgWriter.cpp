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

SaveResult saveOrgFile(const Song& song, const std::filesystem::path& path, files::FileSystem& files,
                       const SaveOptions& options) {
    return writeFileAtomically(path, writeOrgBytes(song), files, options);
}

}  // namespace tromel
