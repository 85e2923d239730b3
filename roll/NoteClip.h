// A copied passage of notes as the clipboard carries it: a small binary form and a text listing.
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
    WrongSize,     // cut short, or more bytes than the count announces
    TooManyNotes,  // more notes than a channel can hold
};

struct ClipReadResult;

// The passage in step order. In the binary form every value has the width an Organya file gives
// it, so what is pasted is exactly what a save would keep.
class NoteClip {
public:
    NoteClip() = default;
    explicit NoteClip(std::vector<ClipNote> notes) : m_notes(std::move(notes)) {}

    const std::vector<ClipNote>& notes() const { return m_notes; }
    bool empty() const { return m_notes.empty(); }
    std::size_t size() const { return m_notes.size(); }

    // The form carried under noteClipMimeType.
    std::vector<uint8_t> toBytes() const;
    static ClipReadResult fromBytes(std::span<const uint8_t> bytes);

    // One tab-separated line per record under a heading line, for pasting into any text.
    std::string toText() const;

    friend bool operator==(const NoteClip&, const NoteClip&) = default;

private:
    std::vector<ClipNote> m_notes;
};

struct ClipReadResult {
    ClipReadStatus status = ClipReadStatus::Read;
    NoteClip clip;

    bool ok() const { return status == ClipReadStatus::Read; }
};

// A short sentence saying why clipboard data was refused, for the status bar.
std::string clipReadText(ClipReadStatus status);

}  // namespace tromel::roll
