// A copied passage of notes, of one channel or several, as the clipboard carries it.
#include "roll/NoteClip.h"

#include "roll/GridMeter.h"
#include "roll/NoteTableOps.h"
#include "song/ByteOrder.h"
#include "song/KeysAndPans.h"
#include "song/Song.h"

#include <algorithm>
#include <array>

namespace tromel::roll {
namespace {

// The binary form, little-endian: magic, version, then a count. Version 1 counts records, and
// per record holds its step (4 bytes) and the key, length, volume and pan bytes as an Organya
// file holds them. Version 2 counts parts, and per part holds its channel (2 bytes), its record
// count (4 bytes) and its records as version 1 does.
constexpr std::array<unsigned char, 12> magic{'T', 'r', 'o', 'm', 'e', 'l', ' ', 'n', 'o', 't', 'e', 's'};
constexpr std::size_t versionOffset = 12;  // 2 bytes
constexpr std::size_t countOffset = 14;    // 4 bytes
constexpr std::size_t headerSize = 18;
constexpr std::size_t partChannelSize = 2;
constexpr std::size_t partCountSize = 4;
constexpr std::size_t recordSize = 8;
constexpr std::size_t recordKey = 4;
constexpr std::size_t recordLength = 5;
constexpr std::size_t recordVolume = 6;
constexpr std::size_t recordPan = 7;
constexpr uint32_t oneChannelVersion = 1;
constexpr uint32_t channelsVersion = 2;
constexpr uint32_t currentVersion = channelsVersion;

// Keys and pans are written as the file holds them.
constexpr int32_t byteMax = 255;

uint32_t toByte(int64_t value) {
    return static_cast<uint32_t>(std::clamp<int64_t>(value, 0, byteMax));
}

ClipNote readRecord(const uint8_t* record) {
    ClipNote note;
    note.step = readLE(record, 4);
    note.key = rowOfFileKey(static_cast<int32_t>(record[recordKey]));
    note.length = record[recordLength];
    note.volume = record[recordVolume];
    note.pan = static_cast<int16_t>(storedPanOfFilePan(static_cast<int32_t>(record[recordPan])));
    return note;
}

std::string keyText(int32_t key) {
    if (key == noKey)
        return "-";
    if (!isKeyRow(key))  // a key byte above 95, kept from a file
        return "row " + std::to_string(key);
    return keyName(key);
}

std::string valueOrDash(int32_t value, int32_t none) {
    return value == none ? "-" : std::to_string(value);
}

void appendRecords(std::vector<uint8_t>& bytes, const std::vector<ClipNote>& notes) {
    for (const ClipNote& note : notes) {
        appendLE(bytes, note.step, 4);
        appendLE(bytes, toByte(fileKeyOfRow(int64_t{note.key})), 1);
        appendLE(bytes, toByte(note.length), 1);
        appendLE(bytes, toByte(note.volume), 1);
        appendLE(bytes, toByte(filePanOfStoredPan(int64_t{note.pan})), 1);
    }
}

// `count` records from `offset` on, which the caller has found within the bytes.
std::vector<ClipNote> readRecords(std::span<const uint8_t> bytes, std::size_t offset, std::size_t count) {
    std::vector<ClipNote> notes;
    notes.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        notes.push_back(readRecord(bytes.data() + offset + i * recordSize));
    return notes;
}

ClipReadResult readOneChannel(std::span<const uint8_t> bytes) {
    const uint32_t count = readLE(bytes.data() + countOffset, 4);
    if (count > static_cast<uint32_t>(maxChannelNotes))
        return {ClipReadStatus::TooManyNotes, {}};
    if (bytes.size() != headerSize + count * recordSize)
        return {ClipReadStatus::WrongSize, {}};
    return {ClipReadStatus::Read, NoteClip(readRecords(bytes, headerSize, count))};
}

// Each part's count is checked against the bytes left before its records are read.
ClipReadResult readChannels(std::span<const uint8_t> bytes) {
    const uint32_t partCount = readLE(bytes.data() + countOffset, 4);
    if (partCount > static_cast<uint32_t>(NoteTable::channelCount))
        return {ClipReadStatus::WrongSize, {}};
    std::vector<ClipPart> parts;
    std::size_t offset = headerSize;
    for (uint32_t part = 0; part < partCount; ++part) {
        if (bytes.size() - offset < partChannelSize + partCountSize)
            return {ClipReadStatus::WrongSize, {}};
        const uint32_t channel = readLE(bytes.data() + offset, partChannelSize);
        const uint32_t count = readLE(bytes.data() + offset + partChannelSize, partCountSize);
        offset += partChannelSize + partCountSize;
        if (channel >= static_cast<uint32_t>(NoteTable::channelCount) ||
            (!parts.empty() && channel <= static_cast<uint32_t>(parts.back().channel)))
            return {ClipReadStatus::WrongSize, {}};
        if (count > static_cast<uint32_t>(maxChannelNotes))
            return {ClipReadStatus::TooManyNotes, {}};
        if ((bytes.size() - offset) / recordSize < count)
            return {ClipReadStatus::WrongSize, {}};
        parts.push_back({static_cast<int16_t>(channel), readRecords(bytes, offset, count)});
        offset += count * recordSize;
    }
    if (offset != bytes.size())
        return {ClipReadStatus::WrongSize, {}};
    return {ClipReadStatus::Read, NoteClip::ofChannels(std::move(parts))};
}

}  // namespace

NoteClip::NoteClip(std::vector<ClipNote> notes) : m_parts{ClipPart{-1, std::move(notes)}} {}

NoteClip NoteClip::ofChannels(std::vector<ClipPart> parts) {
    NoteClip clip;
    clip.m_parts = std::move(parts);
    clip.m_hasChannels = true;
    return clip;
}

const std::vector<ClipNote>& NoteClip::notes() const {
    static const std::vector<ClipNote> none;
    return m_parts.empty() ? none : m_parts.front().notes;
}

std::size_t NoteClip::size() const {
    std::size_t total = 0;
    for (const ClipPart& part : m_parts)
        total += part.notes.size();
    return total;
}

std::vector<uint8_t> NoteClip::toBytes() const {
    std::vector<uint8_t> bytes(magic.begin(), magic.end());
    bytes.reserve(headerSize + m_parts.size() * (partChannelSize + partCountSize) + size() * recordSize);
    if (!m_hasChannels) {
        appendLE(bytes, oneChannelVersion, 2);
        appendLE(bytes, static_cast<uint32_t>(notes().size()), 4);
        appendRecords(bytes, notes());
        return bytes;
    }
    appendLE(bytes, channelsVersion, 2);
    appendLE(bytes, static_cast<uint32_t>(m_parts.size()), 4);
    for (const ClipPart& part : m_parts) {
        appendLE(bytes, static_cast<uint32_t>(part.channel), partChannelSize);
        appendLE(bytes, static_cast<uint32_t>(part.notes.size()), partCountSize);
        appendRecords(bytes, part.notes);
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
    return version == oneChannelVersion ? readOneChannel(bytes) : readChannels(bytes);
}

// A clip of several channels starts each line with the channel, counted from 1.
std::string NoteClip::toText() const {
    std::string text = m_hasChannels ? "Channel\t" : "";
    text += "Step\tKey\tLength\tVolume\tPan\n";
    for (const ClipPart& part : m_parts) {
        for (const ClipNote& note : part.notes) {
            if (m_hasChannels)
                text += std::to_string(part.channel + 1) + '\t';
            text += std::to_string(note.step) + '\t' + keyText(note.key) + '\t' + std::to_string(note.length) + '\t' +
                    valueOrDash(note.volume, noVolume) + '\t' + valueOrDash(note.pan, noPan) + '\n';
        }
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
