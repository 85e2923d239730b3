// A copied passage of notes, of one channel or several, as the clipboard carries it: a small binary form and a text
// listing.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tromel::roll {

inline constexpr const char* noteClipMimeType = "application/x-tromel-notes";

// One copied record: its step counted from the passage's first step, and the values a NoteRec
// holds (a row for the key, -159 for none; pan 12 - file pan, -243 for none; volume 255 for none).
struct ClipNote {
    uint32_t step = 0;
    int32_t key = 0;
    int32_t length = 0;
    int16_t pan = 0;
    int16_t volume = 0;

    friend bool operator==(const ClipNote&, const ClipNote&) = default;
};

enum class ClipReadStatus {
    Read,
    NotNotes,      // too short or another kind of data
    NewerVersion,  // written by a later Tromel in a form this one does not know
    WrongSize,     // cut short, more bytes than the count announces, or channels out of order
    TooManyNotes,  // more notes than a channel can hold
};

// The records of one channel. A clip of several channels names each part's channel (0 to 7 of
// its kind); a clip of one channel names none (-1).
struct ClipPart {
    int16_t channel = -1;
    std::vector<ClipNote> notes;

    friend bool operator==(const ClipPart&, const ClipPart&) = default;
};

struct ClipReadResult;

// The passage in step order, its steps counted from one first step for every channel. In the
// binary form every value has the width an Organya file gives it, so what is pasted is exactly
// what a save would keep. A clip of one channel keeps the form of the first version, which
// every Tromel reads; a clip of several channels needs the second.
class NoteClip {
public:
    NoteClip() = default;
    explicit NoteClip(std::vector<ClipNote> notes);
    // Parts of several channels, in ascending channel order, each channel once.
    static NoteClip ofChannels(std::vector<ClipPart> parts);

    const std::vector<ClipPart>& parts() const { return m_parts; }
    bool hasChannels() const { return m_hasChannels; }
    // The first part's records: what a paste onto one channel takes.
    const std::vector<ClipNote>& notes() const;
    bool empty() const { return size() == 0; }
    std::size_t size() const;

    // The form carried under noteClipMimeType.
    std::vector<uint8_t> toBytes() const;
    static ClipReadResult fromBytes(std::span<const uint8_t> bytes);

    // One tab-separated line per record under a heading line, for pasting into any text.
    std::string toText() const;

    friend bool operator==(const NoteClip&, const NoteClip&) = default;

private:
    std::vector<ClipPart> m_parts;
    bool m_hasChannels = false;
};

struct ClipReadResult {
    ClipReadStatus status = ClipReadStatus::Read;
    NoteClip clip;

    bool ok() const { return status == ClipReadStatus::Read; }
};

// A short sentence saying why clipboard data was refused, for the status bar.
std::string clipReadText(ClipReadStatus status);

}  // namespace tromel::roll
