// A copied passage of notes as the clipboard carries it: a small binary form and a text listing.
#include "roll/NoteClip.h"

#include "roll/NoteTableOps.h"
#include "song/ByteOrder.h"
#include "song/Song.h"

#include <algorithm>
#include <array>

namespace tromel::roll {
namespace {

// The binary form, little-endian: magic, version, record count, then per record its step (4
// bytes) and the key, length, volume and pan bytes as an Organya file holds them.
constexpr std::array<unsigned char, 12> magic{'T', 'r', 'o', 'm', 'e', 'l', ' ', 'n', 'o', 't', 'e', 's'};
constexpr std::size_t versionOffset = 12;  // 2 bytes
constexpr std::size_t countOffset = 14;    // 4 bytes
constexpr std::size_t headerSize = 18;
constexpr std::size_t recordSize = 8;
constexpr std::size_t recordKey = 4;
constexpr std::size_t recordLength = 5;
constexpr std::size_t recordVolume = 6;
constexpr std::size_t recordPan = 7;
constexpr uint32_t currentVersion = 1;

// The stored values are offsets from what the file holds: key = 96 - byte, pan = 12 - byte.
constexpr int32_t keyBase = 96;
constexpr int32_t panBase = 12;
constexpr int32_t byteMax = 255;

uint32_t toByte(int64_t value) {
    return static_cast<uint32_t>(std::clamp<int64_t>(value, 0, byteMax));
}

ClipNote readRecord(const uint8_t* record) {
    ClipNote note;
    note.step = readLE(record, 4);
    note.key = keyBase - static_cast<int32_t>(record[recordKey]);
    note.length = record[recordLength];
    note.volume = record[recordVolume];
    note.pan = static_cast<int16_t>(panBase - record[recordPan]);
    return note;
}

std::string keyName(int32_t key) {
    static constexpr std::array<const char*, 12> names{"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    if (key == noKey)
        return "-";
    if (key < 1 || key > keyBase)  // a key byte above 95, kept from a file
        return "row " + std::to_string(key);
    const int32_t fileKey = keyBase - key;
    return names[static_cast<std::size_t>(fileKey % 12)] + std::to_string(fileKey / 12);
}

std::string valueOrDash(int32_t value, int32_t none) {
    return value == none ? "-" : std::to_string(value);
}

}  // namespace

std::vector<uint8_t> NoteClip::toBytes() const {
    std::vector<uint8_t> bytes(magic.begin(), magic.end());
    bytes.reserve(headerSize + m_notes.size() * recordSize);
    appendLE(bytes, currentVersion, 2);
    appendLE(bytes, static_cast<uint32_t>(m_notes.size()), 4);
    for (const ClipNote& note : m_notes) {
        appendLE(bytes, note.step, 4);
        appendLE(bytes, toByte(keyBase - static_cast<int64_t>(note.key)), 1);
        appendLE(bytes, toByte(note.length), 1);
        appendLE(bytes, toByte(note.volume), 1);
        appendLE(bytes, toByte(panBase - static_cast<int64_t>(note.pan)), 1);
    }
    return bytes;
}

ClipReadResult NoteClip::fromBytes(std::span<const uint8_t> bytes) {
    if (bytes.size() < headerSize || !std::equal(magic.begin(), magic.end(), bytes.begin()))
        return {ClipReadStatus::NotNotes, {}};
    const uint32_t version = readLE(bytes.data() + versionOffset, 2);
    if (version == 0)
        return {ClipReadStatus::NotNotes, {}};
    if (version > currentVersion)
        return {ClipReadStatus::NewerVersion, {}};
    const uint32_t count = readLE(bytes.data() + countOffset, 4);
    if (count > static_cast<uint32_t>(maxChannelNotes))
        return {ClipReadStatus::TooManyNotes, {}};
    if (bytes.size() != headerSize + count * recordSize)
        return {ClipReadStatus::WrongSize, {}};
    std::vector<ClipNote> notes;
    notes.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        notes.push_back(readRecord(bytes.data() + headerSize + i * recordSize));
    return {ClipReadStatus::Read, NoteClip(std::move(notes))};
}

std::string NoteClip::toText() const {
    std::string text = "Step\tKey\tLength\tVolume\tPan\n";
    for (const ClipNote& note : m_notes) {
        text += std::to_string(note.step) + '\t' + keyName(note.key) + '\t' + std::to_string(note.length) + '\t' +
                valueOrDash(note.volume, noVolume) + '\t' + valueOrDash(note.pan, noPan) + '\n';
    }
    return text;
}

std::string clipReadText(ClipReadStatus status) {
    switch (status) {
        case ClipReadStatus::Read:
            break;
        case ClipReadStatus::NotNotes:
            return "The clipboard holds no Tromel notes";
        case ClipReadStatus::NewerVersion:
            return "The clipboard's notes come from a newer Tromel";
        case ClipReadStatus::WrongSize:
            return "The clipboard's notes are cut short or damaged";
        case ClipReadStatus::TooManyNotes:
            return "The clipboard holds more notes than a channel can";
    }
    return {};
}

}  // namespace tromel::roll
