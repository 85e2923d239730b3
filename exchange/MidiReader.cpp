// Reading a Standard MIDI File (type 0 or 1) from untrusted bytes.
#include "exchange/MidiReader.h"

#include <cstring>
#include <optional>

namespace tromel::exchange {
namespace {

constexpr std::size_t chunkHeaderSize = 8;  // four letters, then a 32-bit big-endian length
constexpr uint32_t smpteDivisionBit = 0x8000;

uint32_t bigEndian(std::span<const uint8_t> bytes, std::size_t offset, std::size_t size) {
    uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value = (value << 8) | bytes[offset + i];
    return value;
}

bool isChunk(std::span<const uint8_t> bytes, std::size_t offset, const char* id) {
    return std::memcmp(bytes.data() + offset, id, 4) == 0;
}

// Reads one track chunk's events. Every read checks the bytes left first. A first pass only counts
// them, so the track's memory is taken once, at its size: growing it as events come would for a
// while hold it two and three times over.
class TrackParser {
public:
    TrackParser(std::span<const uint8_t> data, int number, bool counting)
        : m_data(data), m_number(number), m_counting(counting) {}

    std::size_t eventCount() const { return m_eventCount; }
    std::size_t metaByteCount() const { return m_metaByteCount; }

    std::optional<std::string> parse(MidiTrack& track) {
        while (m_offset < m_data.size()) {
            uint32_t delta = 0;
            if (!readVariable(delta))
                return m_error;
            if (m_tick + delta > largestMidiTick)
                return where() + "runs longer than a song can hold (" + std::to_string(largestMidiTick) + " ticks)";
            m_tick += delta;
            track.endTick = m_tick;
            bool ended = false;
            if (!readEvent(track, ended))
                return m_error;
            if (ended)
                return std::nullopt;
        }
        return std::nullopt;
    }

private:
    std::string where() const { return "track " + std::to_string(m_number + 1) + ": "; }

    bool fail(const std::string& text) {
        m_error = where() + text;
        return false;
    }

    bool need(std::size_t count) { return m_data.size() - m_offset >= count || fail("the track ends inside an event"); }

    bool readVariable(uint32_t& value) {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            if (!need(1))
                return false;
            const uint8_t byte = m_data[m_offset++];
            value = (value << 7) | (byte & 0x7F);
            if ((byte & 0x80) == 0)
                return true;
        }
        return fail("a number longer than four bytes");
    }

    bool readEvent(MidiTrack& track, bool& ended) {
        if (!need(1))
            return false;
        uint8_t status = m_data[m_offset];
        if (status & 0x80) {
            ++m_offset;
        } else if (m_runningStatus == 0) {
            return fail(m_cancelledBySystem ? "running status after a meta or system exclusive event, which ends it"
                                            : "running status with no status before it");
        } else {
            status = m_runningStatus;
        }
        if (status < 0xF0) {
            m_runningStatus = status;
            return readChannelMessage(track, status);
        }
        // System messages cancel running status.
        m_runningStatus = 0;
        m_cancelledBySystem = true;
        if (status == 0xF0 || status == 0xF7)
            return skipSized();
        if (status == midi::meta)
            return readMeta(track, ended);
        return fail("an event byte the format does not allow in a file (" + std::to_string(status) + ")");
    }

    bool readChannelMessage(MidiTrack& track, uint8_t status) {
        const int count = MidiEvent::dataBytesOf(status);
        if (!need(static_cast<std::size_t>(count)))
            return false;
        MidiEvent event;
        event.tick = m_tick;
        event.status = status;
        event.data1 = m_data[m_offset];
        event.data2 = count == 2 ? m_data[m_offset + 1] : 0;
        if ((event.data1 | event.data2) & 0x80)
            return fail("a data byte with its top bit set");
        m_offset += static_cast<std::size_t>(count);
        ++m_eventCount;
        if (!m_counting)
            track.events.push_back(event);
        return true;
    }

    bool skipSized() {
        uint32_t length = 0;
        if (!readVariable(length) || !need(length))
            return false;
        m_offset += length;
        return true;
    }

    bool readMeta(MidiTrack& track, bool& ended) {
        if (!need(1))
            return false;
        const uint8_t type = m_data[m_offset++];
        uint32_t length = 0;
        if (!readVariable(length) || !need(length))
            return false;
        const auto* begin = reinterpret_cast<const char*>(m_data.data() + m_offset);
        m_offset += length;
        if (type == midi::metaEndOfTrack) {
            ended = true;
            return true;
        }
        ++m_eventCount;
        m_metaByteCount += length;
        if (!m_counting)
            track.addMeta(m_tick, type, std::string_view(begin, length));
        return true;
    }

    std::span<const uint8_t> m_data;
    int m_number;
    bool m_counting;
    std::size_t m_eventCount = 0;
    std::size_t m_metaByteCount = 0;
    std::size_t m_offset = 0;
    uint32_t m_tick = 0;
    uint8_t m_runningStatus = 0;
    bool m_cancelledBySystem = false;
    std::string m_error;
};

std::optional<std::string> readHeader(std::span<const uint8_t> bytes, MidiFile& file, int& trackCount,
                                      std::size_t& offset) {
    if (bytes.size() < chunkHeaderSize || !isChunk(bytes, 0, "MThd"))
        return "not a Standard MIDI File (it does not begin with \"MThd\")";
    const uint32_t length = bigEndian(bytes, 4, 4);
    if (length < 6 || bytes.size() - chunkHeaderSize < length)
        return "the file ends inside its header";
    const uint32_t format = bigEndian(bytes, 8, 2);
    trackCount = static_cast<int>(bigEndian(bytes, 10, 2));
    const uint32_t division = bigEndian(bytes, 12, 2);
    if (format == 2)
        return "type 2 MIDI files (independent patterns) are not supported";
    if (format > 2)
        return "unknown MIDI file type " + std::to_string(format);
    if (trackCount > largestMidiTrackCount)
        return "the file has " + std::to_string(trackCount) + " tracks; at most " +
               std::to_string(largestMidiTrackCount) + " are read";
    if (trackCount == 0)
        return "the file has no tracks";
    if (format == 0 && trackCount != 1)
        return "a type 0 file must have one track, not " + std::to_string(trackCount);
    if (division & smpteDivisionBit)
        return "time in SMPTE frames is not supported; the file must count ticks per quarter note";
    if (division == 0)
        return "the file's division (ticks per quarter note) is 0";
    file.format = static_cast<int>(format);
    file.division = static_cast<int>(division);
    offset = chunkHeaderSize + length;
    return std::nullopt;
}

}  // namespace

MidiReadResult readMidiBytes(std::span<const uint8_t> bytes) {
    MidiReadResult result;
    int trackCount = 0;
    std::size_t offset = 0;
    if (auto error = readHeader(bytes, result.file, trackCount, offset)) {
        result.error = *error;
        return result;
    }
    result.file.tracks.reserve(static_cast<std::size_t>(trackCount));
    while (static_cast<int>(result.file.tracks.size()) < trackCount) {
        const int number = static_cast<int>(result.file.tracks.size());
        if (bytes.size() - offset < chunkHeaderSize) {
            result.error = "the file ends before track " + std::to_string(number + 1);
            return result;
        }
        const uint32_t length = bigEndian(bytes, offset + 4, 4);
        if (bytes.size() - offset - chunkHeaderSize < length) {
            result.error =
                "track " + std::to_string(number + 1) + ": its chunk length reaches past the end of the file";
            return result;
        }
        const auto data = bytes.subspan(offset + chunkHeaderSize, length);
        const bool isTrack = isChunk(bytes, offset, "MTrk");
        offset += chunkHeaderSize + length;
        if (!isTrack)
            continue;  // a chunk of a kind this reader does not know
        MidiTrack& track = result.file.tracks.emplace_back();
        TrackParser counter(data, number, true);
        if (auto error = counter.parse(track)) {
            result.error = *error;
            return result;
        }
        track.events.reserve(counter.eventCount());
        track.metaBytes.reserve(counter.metaByteCount());
        TrackParser(data, number, false).parse(track);
    }
    return result;
}

MidiReadResult loadMidiFile(const std::filesystem::path& path, files::FileSystem& files) {
    // One byte more than allowed tells a file that is too large without reading all of it.
    std::vector<uint8_t> bytes;
    if (const int error = files.readFile(path, largestMidiFileBytes + 1, bytes))
        return {{}, files::errorText(error)};
    if (bytes.size() > largestMidiFileBytes)
        return {{}, "the file is larger than " + std::to_string(largestMidiFileBytes >> 20) + " MB"};
    return readMidiBytes(bytes);
}

}  // namespace tromel::exchange
