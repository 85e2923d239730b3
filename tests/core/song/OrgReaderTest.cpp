// Reading Organya files: field conversions and files that must be refused whole.
#include "song/OrgFile.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace tromel {
namespace {

// Organya file images, built byte by byte on a new song's header (pinned by the writer's golden
// bytes).
struct FileNote {
    uint32_t step;
    uint8_t key, length, volume, pan;
};

class OrgBytes {
public:
    OrgBytes() : m_bytes(writeOrgBytes(Song{})) {}

    OrgBytes& put(std::size_t offset, uint32_t value, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i)
            m_bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
        return *this;
    }

    // Channel block 0..15 (instruments 0..7, drums 8..15) with its note data appended in order;
    // call in block order.
    OrgBytes& channel(int block, std::initializer_list<FileNote> notes, uint32_t countField = ~0u) {
        put(18 + 6 * block + 4, countField == ~0u ? static_cast<uint32_t>(notes.size()) : countField, 2);
        for (const FileNote& n : notes)
            for (int i = 0; i < 4; ++i)
                m_bytes.push_back(static_cast<uint8_t>(n.step >> (8 * i)));
        for (uint8_t FileNote::*field : {&FileNote::key, &FileNote::length, &FileNote::volume, &FileNote::pan})
            for (const FileNote& n : notes)
                m_bytes.push_back(n.*field);
        return *this;
    }

    std::vector<uint8_t>& bytes() { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

Song read(const std::vector<uint8_t>& bytes) {
    Song song;
    EXPECT_TRUE(readOrgBytes(bytes, song).ok());
    return song;
}

TEST(OrgReader, HeaderChannelAndNoteFieldsConvertAndTrailingBytesAreIgnored) {
    OrgBytes file;
    file.put(6, 0xFFFF, 2).put(8, 255, 1).put(9, 3, 1).put(10, 0x8000, 4).put(14, 0x7FFFFFFF, 4);
    file.put(18, 0x1234, 2).put(20, 99, 1).put(21, 2, 1);                                    // instrument 0, pi byte 2
    file.put(18 + 6 * 15, 500, 2).put(18 + 6 * 15 + 2, 11, 1).put(18 + 6 * 15 + 3, 255, 1);  // drum 7
    file.channel(0, {{0, 95, 1, 166, 0}, {7, 0, 255, 255, 12}, {9, 255, 3, 0, 6}, {10, 200, 4, 80, 255}});
    const Song song = read(file.bytes());
    EXPECT_EQ(std::tie(song.tempo, song.stepsPerBar, song.beatsPerStep, song.loopBegin, song.loopEnd),
              std::make_tuple(65535, 255, 3, 32768, 2147483647));
    EXPECT_EQ(song.instruments[0], (ChannelSettings{0x1234, 99, true, 4}));
    EXPECT_EQ(song.instruments[1], (ChannelSettings{1000, 0, false, 0}));
    EXPECT_EQ(song.drums[7], (ChannelSettings{500, 11, true, 0}));
    const NoteTable& t = song.instrumentNotes;
    EXPECT_EQ(t.at(0, 1), (NoteRec{1, 1, 1, 12, 166}));
    EXPECT_EQ(t.at(0, 2), (NoteRec{8, 96, 255, 0, 255}));
    EXPECT_EQ(t.at(0, 3), (NoteRec{10, -159, 3, 6, 0}));
    EXPECT_EQ(t.at(0, 4), (NoteRec{11, -104, 4, -243, 80}));  // keys above 95 kept as they stand
    file.bytes().insert(file.bytes().end(), {1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(read(file.bytes()), song);
    EXPECT_EQ(read(OrgBytes().bytes()), Song{});  // a song without notes: its 114 bytes and no more
}

// "Org-03" files open with the same layout and are written back byte for byte; they and songs
// naming a drum beyond the first twelve are saved as "Org-03", every other song as "Org-02".
TEST(OrgReader, LaterVersionOpensAndSavesAsItCame) {
    OrgBytes file;
    std::copy_n("Org-03", 6, file.bytes().begin());
    file.put(18 + 6 * 9 + 2, 20, 1).put(18 + 6 * 10 + 2, 200, 1);  // drum channels 1 and 2: drums 20 and 200
    file.channel(0, {{0, 40, 2, 100, 6}}).channel(9, {{3, 36, 1, 200, 6}, {5, 36, 1, 180, 3}});
    const Song song = read(file.bytes());
    EXPECT_EQ(std::tie(song.fileVersion, song.drums[1].wave, song.drums[2].wave), std::make_tuple(3, 20, 200));
    EXPECT_EQ(song.drumNotes.at(1, 2), (NoteRec{6, 60, 1, 9, 180}));
    EXPECT_EQ(writeOrgBytes(song), file.bytes());
    // An "Org-03" song without further drums stays "Org-03"; an "Org-02" one that gains one turns.
    Song plain = song;
    plain.drums[1].wave = plain.drums[2].wave = 11;
    EXPECT_EQ(writeOrgBytes(plain)[5], '3');
    Song turned;
    EXPECT_EQ(writeOrgBytes(turned)[5], '2');
    turned.drums[7].wave = 12;
    EXPECT_EQ(writeOrgBytes(turned)[5], '3');
    turned.drums[7].wave = 11;
    EXPECT_EQ(writeOrgBytes(turned)[5], '2');
}

// A refused file never leaves a mixed song: the header and settings stay as they were and the
// note tables end empty, however far the bytes went.
TEST(OrgReader, RefusedFilesLeaveTheSongsOwnHeaderAndNoNotes) {
    std::vector<std::vector<uint8_t>> refused{{}, {'O', 'r', 'g'}};
    for (const char* magic : {"Org-04", "Org-01", "org-03"}) {
        refused.push_back(OrgBytes().bytes());
        std::copy(magic, magic + 6, refused.back().begin());
    }
    refused.push_back(OrgBytes().bytes());
    refused.back().resize(113);  // a header one byte short
    refused.push_back(OrgBytes().channel(0, {{1, 2, 3, 4, 5}, {2, 2, 3, 4, 5}}).bytes());
    refused.back().pop_back();  // the last note's pan missing
    // Counts of 32768, 32767 and 32767 with every note there: the bytes would do, the count not.
    refused.push_back(OrgBytes().put(18 + 4, 0x8000, 2).put(24 + 4, 0x7FFF, 2).put(30 + 4, 0x7FFF, 2).bytes());
    refused.back().resize(114 + (0x8000 + 2 * 0x7FFF) * 8);
    refused.push_back(OrgBytes().put(10, 0x80000000u, 4).bytes());
    refused.push_back(OrgBytes().put(14, 0xFFFFFFFFu, 4).bytes());
    refused.push_back(OrgBytes().channel(8, {{0, 1, 1, 1, 1}, {0x7FFFFFFF, 1, 1, 1, 1}}).bytes());
    // 120 bytes announcing 16 x 32767 notes: refused before anything is allocated for them.
    refused.push_back(OrgBytes().bytes());
    for (int block = 0; block < 16; ++block)
        refused.back()[18 + 6 * block + 4] = 0xFF, refused.back()[18 + 6 * block + 5] = 0x7F;
    refused.back().resize(120);

    for (std::size_t i = 0; i < refused.size(); ++i) {
        Song song;
        song.tempo = 77;
        song.instruments[0].frequency = 5;
        song.instrumentNotes.grow(1);
        song.instrumentNotes.at(0, 1) = {1, 1, 1, 1, 1};
        song.drumNotes.grow(2);
        const LoadResult result = readOrgBytes(refused[i], song);
        EXPECT_EQ(result.status, LoadStatus::NotOrganya) << i;
        EXPECT_EQ(result.reason, "This is not a valid ORG File!");
        EXPECT_EQ(std::tie(song.tempo, song.instruments[0].frequency, song.instruments[3].noteCount),
                  std::make_tuple(77, 5, 0))
            << i;
        EXPECT_EQ(song.instrumentNotes, NoteTable{}) << i;
        EXPECT_EQ(song.drumNotes, NoteTable{}) << i;
    }
    // The largest position that still fits: file step 2^31 - 2.
    const Song edge = read(OrgBytes().channel(0, {{0x7FFFFFFE, 1, 1, 1, 1}}).bytes());
    EXPECT_EQ(edge.instrumentNotes.at(0, 1).position, 2147483647);
}

}  // namespace
}  // namespace tromel
