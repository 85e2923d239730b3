// Reads an Organya file, "Org-02" or "Org-03", into a song.
#include "song/ByteOrder.h"
#include "song/KeysAndPans.h"
#include "song/OrgFile.h"
#include "song/OrgLayout.h"

#include <algorithm>
#include <limits>

namespace tromel {
namespace {

constexpr uint32_t largestSigned32 = std::numeric_limits<int32_t>::max();
constexpr uint32_t largestNoteCount = std::numeric_limits<int16_t>::max();

class ByteCursor {
public:
    explicit ByteCursor(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

    uint32_t at(std::size_t offset, std::size_t size) const { return readLE(m_bytes.data() + offset, size); }
    std::size_t size() const { return m_bytes.size(); }

private:
    std::span<const uint8_t> m_bytes;
};

// The file version its magic names (2 or 3), or 0 for no Organya magic.
int versionOf(std::span<const uint8_t> bytes) {
    for (const auto& [magic, version] : {std::pair{org::magic, 2}, std::pair{org::laterMagic, 3}})
        if (bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin()))
            return version;
    return 0;
}

// Fills the header and channel settings; false when a value does not fit its field.
bool readHeader(const ByteCursor& in, Song& song) {
    const uint32_t loopBegin = in.at(org::loopBeginOffset, 4);
    const uint32_t loopEnd = in.at(org::loopEndOffset, 4);
    if (loopBegin > largestSigned32 || loopEnd > largestSigned32)
        return false;
    song.tempo = static_cast<int32_t>(in.at(org::tempoOffset, 2));
    song.stepsPerBar = static_cast<int16_t>(in.at(org::stepsPerBarOffset, 1));
    song.beatsPerStep = static_cast<int16_t>(in.at(org::beatsPerStepOffset, 1));
    song.loopBegin = static_cast<int32_t>(loopBegin);
    song.loopEnd = static_cast<int32_t>(loopEnd);

    for (std::size_t block = 0; block < 16; ++block) {
        const std::size_t base = org::channelBlocksOffset + block * org::channelBlockSize;
        const uint32_t count = in.at(base + org::blockNoteCount, 2);
        if (count > largestNoteCount)
            return false;
        ChannelSettings& channel = block < 8 ? song.instruments[block] : song.drums[block - 8];
        channel.frequency = static_cast<int32_t>(in.at(base + org::blockFrequency, 2));
        channel.wave = static_cast<int16_t>(in.at(base + org::blockWave, 1));
        channel.pi = in.at(base + org::blockPi, 1) != 0;
        channel.noteCount = static_cast<int16_t>(count);
    }
    return true;
}

std::size_t announcedNoteBytes(const Song& song) {
    std::size_t notes = 0;
    for (int ch = 0; ch < 8; ++ch)
        notes += static_cast<std::size_t>(song.instruments[ch].noteCount) +
                 static_cast<std::size_t>(song.drums[ch].noteCount);
    return notes * org::bytesPerNote;
}

// Reads one channel's five arrays starting at offset; false when a position does not fit.
bool readChannelNotes(const ByteCursor& in, std::size_t& offset, NoteTable& table, int channel, int32_t count) {
    table.grow(count);
    for (int32_t i = 1; i <= count; ++i, offset += 4) {
        const uint32_t step = in.at(offset, 4);
        if (step >= largestSigned32)  // position = step + 1 must stay a signed 32-bit value
            return false;
        table.at(channel, i).position = static_cast<int32_t>(step) + 1;
    }
    for (int32_t i = 1; i <= count; ++i)
        table.at(channel, i).key = rowOfFileKey(static_cast<int32_t>(in.at(offset++, 1)));
    for (int32_t i = 1; i <= count; ++i)
        table.at(channel, i).length = static_cast<int32_t>(in.at(offset++, 1));
    for (int32_t i = 1; i <= count; ++i)
        table.at(channel, i).volume = static_cast<int16_t>(in.at(offset++, 1));
    for (int32_t i = 1; i <= count; ++i)
        table.at(channel, i).pan = static_cast<int16_t>(storedPanOfFilePan(static_cast<int32_t>(in.at(offset++, 1))));
    return true;
}

bool readNotes(const ByteCursor& in, Song& song) {
    std::size_t offset = org::headerSize;
    for (int kind = 0; kind < 2; ++kind) {
        for (int ch = 0; ch < 8; ++ch) {
            const int32_t count = song.settings(kind)[ch].noteCount;
            if (count < 1)
                continue;
            if (!readChannelNotes(in, offset, song.notes(kind), ch, count))
                return false;
        }
    }
    return true;
}

}  // namespace

LoadResult readOrgBytes(std::span<const uint8_t> bytes, Song& song) {
    song.instrumentNotes.reset();
    song.drumNotes.reset();
    const LoadResult invalid{LoadStatus::NotOrganya, invalidOrgMessage};
    const int version = versionOf(bytes);
    if (version == 0 || bytes.size() < org::headerSize)
        return invalid;

    // Parse into a copy so that a bad file leaves the song's header and settings untouched.
    const ByteCursor in(bytes);
    Song parsed = song;
    parsed.fileVersion = static_cast<int16_t>(version);
    if (!readHeader(in, parsed))
        return invalid;
    // Check the announced note data is really there before any table grows for it.
    if (bytes.size() - org::headerSize < announcedNoteBytes(parsed))
        return invalid;
    if (!readNotes(in, parsed))
        return invalid;
    song = std::move(parsed);
    return {};
}

LoadResult loadOrgFile(Song& song, const std::filesystem::path& path, files::FileSystem& files) {
    song.instrumentNotes.reset();
    song.drumNotes.reset();
    // Bytes past the largest file the format can describe are trailing bytes, which the reader
    // ignores, so the read stops there.
    constexpr std::size_t largestFile = org::headerSize + 16 * largestNoteCount * org::bytesPerNote;
    std::vector<uint8_t> bytes;
    files::FileStatus status;
    if (const int error = files.readFile(path, largestFile, bytes, status))
        return {LoadStatus::Unreadable, files::errorText(error)};
    LoadResult result = readOrgBytes(bytes, song);
    result.stamp = files::FileStamp::of(status, bytes);
    return result;
}

}  // namespace tromel
