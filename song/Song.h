// The in-memory song: header, sixteen channel settings and the two note tables.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace tromel {

// One note or pan/volume event as the editor stores it. A zero-filled record is an empty slot.
struct NoteRec {
    int32_t position = 0;  // file step + 1; 0 marks an empty slot
    int32_t key = 0;       // roll row from the top: 96 - file key; -159 for an event without a key
    int32_t length = 0;    // in steps
    int16_t pan = 0;       // 12 - file pan; -243 for no pan change
    int16_t volume = 0;    // as in the file; 255 for no volume change

    bool isEmpty() const { return position == 0; }
    friend bool operator==(const NoteRec&, const NoteRec&) = default;
};

inline constexpr int32_t noKey = -159;
inline constexpr int16_t noPan = -243;
inline constexpr int16_t noVolume = 255;

struct ChannelSettings {
    int32_t frequency = 0;
    int16_t wave = 0;  // wave 0..99 for instruments, drum 0..drumCount - 1 for drums (song/DrumSet.h)
    bool pi = false;
    int16_t noteCount = 0;  // count from the file last read; editing never changes it

    friend bool operator==(const ChannelSettings&, const ChannelSettings&) = default;
};

// Eight channels by slots 0..slotBound(). Slot 0 never holds a note; the bound is shared by
// all eight channels and only grows, keeping every record where it is.
class NoteTable {
public:
    static constexpr int channelCount = 8;

    NoteTable();

    int32_t slotBound() const { return m_slotBound; }
    void grow(int32_t newBound);  // no-op unless newBound > slotBound()
    void reset();                 // back to the new shape (0 to 7, 0 to 0)

    NoteRec& at(int channel, int32_t slot) { return m_records[index(channel, slot)]; }
    const NoteRec& at(int channel, int32_t slot) const { return m_records[index(channel, slot)]; }

    // Number of non-empty records of a channel.
    int32_t liveCount(int channel) const;
    int32_t liveCount() const;

    friend bool operator==(const NoteTable&, const NoteTable&) = default;

private:
    std::size_t index(int channel, int32_t slot) const {
        return static_cast<std::size_t>(channel) * (static_cast<std::size_t>(m_slotBound) + 1) +
               static_cast<std::size_t>(slot);
    }

    int32_t m_slotBound = 0;
    std::vector<NoteRec> m_records;  // channel-major, slotBound + 1 records per channel
};

struct Song {
    int32_t tempo = 128;  // milliseconds per step
    int16_t stepsPerBar = 4;
    int16_t beatsPerStep = 4;
    int32_t loopBegin = 0;  // counted from 0, as in the file
    int32_t loopEnd = 1600;
    std::array<ChannelSettings, 8> instruments;
    std::array<ChannelSettings, 8> drums;
    NoteTable instrumentNotes;
    NoteTable drumNotes;
    // The file version the song was read from: 2 ("Org-02", also a new song) or 3 ("Org-03"),
    // which it keeps when saved.
    int16_t fileVersion = 2;

    Song();

    const NoteTable& notes(int kind) const { return kind == 0 ? instrumentNotes : drumNotes; }
    NoteTable& notes(int kind) { return kind == 0 ? instrumentNotes : drumNotes; }
    const std::array<ChannelSettings, 8>& settings(int kind) const { return kind == 0 ? instruments : drums; }

    friend bool operator==(const Song&, const Song&) = default;
};

// Puts the new-song header and channel defaults into a song; the note tables and noteCount
// fields are left alone.
void initSettings(Song& song);

}  // namespace tromel
