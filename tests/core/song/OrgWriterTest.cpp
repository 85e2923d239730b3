// Writing Organya files: golden bytes, field truncation, round trips and atomic saves.
#include "song/OrgFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>

namespace tromel {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The note sits in slot 2 behind an empty slot, under a stale count read from a file: the
// writer closes the gap and writes the live count.
TEST(OrgWriter, NewSongAndOneNoteGoldenBytes) {
    std::vector<uint8_t> expected = {'O', 'r', 'g', '-', '0', '2', 0x80, 0, 4, 4, 0, 0, 0, 0, 0x40, 0x06, 0, 0};
    for (int i = 0; i < 16; ++i)
        expected.insert(expected.end(), {0xE8, i < 8 ? uint8_t{0x03} : uint8_t{0x00}, 0, 0, 0, 0});
    EXPECT_EQ(writeOrgBytes(Song{}), expected);

    Song song;
    song.instruments[0].noteCount = 9;
    song.instrumentNotes.grow(2);
    song.instrumentNotes.at(0, 2) = {1, 1, 1, 6, 166};
    expected[22] = 1;
    expected.insert(expected.end(), {0, 0, 0, 0, 0x5F, 0x01, 0xA6, 0x06});
    EXPECT_EQ(writeOrgBytes(song), expected);
}

TEST(OrgWriter, ValuesBeyondTheirFieldsSaturateInsteadOfWrapping) {
    Song song;
    song.tempo = 99999;
    song.stepsPerBar = 256;
    song.beatsPerStep = -2;
    song.loopBegin = -5;
    song.instruments[0] = {99999, 300, true, 0};
    song.instruments[1] = {-1, -1, false, 0};
    song.instrumentNotes.grow(1);
    song.instrumentNotes.at(0, 1) = {1, -159, 256 + 3, -243, 255};
    const auto bytes = writeOrgBytes(song);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 6, bytes.begin() + 14),
              (std::vector<uint8_t>{255, 255, 255, 0, 0, 0, 0, 0}));
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 18, bytes.begin() + 28),
              (std::vector<uint8_t>{255, 255, 255, 255, 1, 0, 0, 0, 0, 0}));  // a true pi flag is written as 255
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 118, bytes.end()), (std::vector<uint8_t>{255, 255, 255, 255}));
    Song back;
    EXPECT_TRUE(readOrgBytes(bytes, back).ok());
}

Song randomSong(std::mt19937& rng) {
    auto draw = [&](int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng); };
    Song song;
    song.tempo = static_cast<int32_t>(draw(0, 65535));
    song.stepsPerBar = static_cast<int16_t>(draw(0, 255));
    song.beatsPerStep = static_cast<int16_t>(draw(0, 255));
    song.loopBegin = static_cast<int32_t>(draw(0, INT32_MAX));
    song.loopEnd = static_cast<int32_t>(draw(0, INT32_MAX));
    for (int kind = 0; kind < 2; ++kind) {
        auto& settings = kind == 0 ? song.instruments : song.drums;
        NoteTable& table = song.notes(kind);
        for (int ch = 0; ch < 8; ++ch) {
            const auto count = static_cast<int16_t>(draw(0, 40) < 8 ? 0 : draw(1, 60));
            settings[ch] = {static_cast<int32_t>(draw(0, 65535)), static_cast<int16_t>(draw(0, 255)), draw(0, 1) == 1,
                            count};
            table.grow(count);
            for (int slot = 1; slot <= count; ++slot)
                table.at(ch, slot) = {static_cast<int32_t>(draw(1, INT32_MAX)), static_cast<int32_t>(96 - draw(0, 255)),
                                      static_cast<int32_t>(draw(0, 255)), static_cast<int16_t>(12 - draw(0, 255)),
                                      static_cast<int16_t>(draw(0, 255))};
        }
    }
    return song;
}

TEST(OrgWriter, RandomSongsRoundTrip) {
    std::mt19937 rng(20261206);
    for (int round = 0; round < 200; ++round) {
        const Song song = randomSong(rng);
        const auto bytes = writeOrgBytes(song);
        Song back;
        ASSERT_TRUE(readOrgBytes(bytes, back).ok());
        // Drum numbers beyond the first twelve make the file, and so the song read back, "Org-03".
        Song expected = song;
        expected.fileVersion = needsLaterVersion(song) ? 3 : 2;
        ASSERT_EQ(back, expected) << "round " << round;
        ASSERT_EQ(writeOrgBytes(back), bytes);
    }
}

// A song as the editor may hold it (gaps left by deletions, stale counts, values beyond their
// fields) is, saved without bytes, what its bytes read back give.
TEST(OrgWriter, SongAsSavedIsItsBytesReadBack) {
    std::mt19937 rng(20261208);
    auto draw = [&](int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng); };
    for (int round = 0; round < 200; ++round) {
        Song song = randomSong(rng);
        song.tempo = static_cast<int32_t>(draw(-3, 70000));
        song.stepsPerBar = static_cast<int16_t>(draw(-3, 300));
        song.loopBegin = static_cast<int32_t>(draw(INT32_MIN, INT32_MAX));
        song.drums[draw(0, 7)].wave = static_cast<int16_t>(draw(-5, 300));
        song.instruments[draw(0, 7)].frequency = static_cast<int32_t>(draw(-5, 70000));
        for (int kind = 0; kind < 2; ++kind) {
            NoteTable& table = song.notes(kind);
            table.grow(table.slotBound() + static_cast<int32_t>(draw(0, 3)));
            for (int hole = 0; hole < 10 && table.slotBound() > 0; ++hole) {
                NoteRec& note =
                    table.at(static_cast<int>(draw(0, 7)), static_cast<int32_t>(draw(1, table.slotBound())));
                switch (draw(0, 3)) {
                    case 0:
                        note = {};
                        break;
                    case 1:
                        note = {static_cast<int32_t>(draw(INT32_MIN, INT32_MAX)), static_cast<int32_t>(draw(-500, 500)),
                                static_cast<int32_t>(draw(-5, 300)), static_cast<int16_t>(draw(-500, 500)),
                                static_cast<int16_t>(draw(-5, 300))};
                        if (note.position == 0)
                            note.position = -1;
                        break;
                    default:
                        break;
                }
            }
        }
        Song back;
        ASSERT_TRUE(readOrgBytes(writeOrgBytes(song), back).ok());
        ASSERT_EQ(asSaved(song), back) << "round " << round;
    }
    Song gaps;
    gaps.instruments[3].noteCount = 40;
    gaps.drumNotes.grow(5);
    gaps.drumNotes.at(2, 5) = {7, 1, 1, 6, 166};
    Song back;
    ASSERT_TRUE(readOrgBytes(writeOrgBytes(gaps), back).ok());
    EXPECT_EQ(asSaved(gaps), back);
    EXPECT_EQ(back.drumNotes.slotBound(), 1);
    EXPECT_EQ(asSaved(Song{}), Song{});
}

// A save replaces a longer file with exactly the new bytes. A failed one
// says why (the command line's resave shows the reason for a missing folder), and one that fails
// part-way (here: a file size limit, which holds even for root) keeps the old file byte for byte;
// none leaves a temporary file beside the target.
TEST(OrgWriter, SavesReplaceTheWholeFileOrKeepTheOldOne) {
    const fs::path folder = fs::path(testing::TempDir()) / "writer-save";
    fs::create_directories(folder);
    const fs::path path = folder / "song.org";
    std::ofstream(path, std::ios::binary) << std::string(5000, 'x');
    ASSERT_TRUE(saveOrgFile(Song{}, path).ok);
    EXPECT_EQ(fileBytes(path), writeOrgBytes(Song{}));

    fs::create_directories(folder / "taken" / "inside");  // a non-empty folder cannot be replaced
    const SaveResult overFolder = saveOrgFile(Song{}, folder / "taken");
    EXPECT_FALSE(overFolder.ok || overFolder.reason.empty());

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{300, 300};
        setrlimit(RLIMIT_FSIZE, &limit);
        Song big;
        big.instrumentNotes.grow(100);
        for (int slot = 1; slot <= 100; ++slot)
            big.instrumentNotes.at(0, slot) = {slot, 10, 1, 6, 166};
        const SaveResult result = saveOrgFile(big, path);
        _exit(!result.ok && result.reason == "File too large" ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(fileBytes(path), writeOrgBytes(Song{}));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}), 2);
}

Song songOfTempo(int tempo) {
    Song song;
    song.tempo = tempo;
    return song;
}

void writeBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// A chain of links (relative and absolute) is followed to its file, which is written, the links
// kept; a dangling link gets its file, a loop of links is refused. A file of two names is written
// in place after the copy is kept, so both names see it; a file of one name never asks for a copy.
// A file whose mode has no owner write bit is refused even to root, through a link too; a new file
// gets the permissions the umask leaves, and nothing sets the umask.
TEST(OrgWriter, SavesFollowLinksKeepOtherNamesAndRefuseReadOnlyFiles) {
    const fs::path folder = fs::path(testing::TempDir()) / "writer-links";
    fs::remove_all(folder);
    fs::create_directories(folder / "songs");
    fs::create_directories(folder / "real");
    const fs::path real = folder / "real" / "song.org";
    writeBytes(real, writeOrgBytes(songOfTempo(100)));
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(real, folder / "songs" / "second.org");
    fs::create_symlink("second.org", folder / "songs" / "first.org");
    ASSERT_TRUE(saveOrgFile(songOfTempo(200), folder / "songs" / "first.org").ok);
    EXPECT_EQ(fileBytes(real), writeOrgBytes(songOfTempo(200)));
    EXPECT_TRUE(fs::is_symlink(folder / "songs" / "first.org") && fs::is_symlink(folder / "songs" / "second.org"));
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "real"), fs::directory_iterator{}), 1);

    const mode_t before = ::umask(027);
    fs::create_symlink("../real/new.org", folder / "songs" / "dangling.org");
    EXPECT_TRUE(saveOrgFile(songOfTempo(300), folder / "songs" / "dangling.org").ok);
    EXPECT_EQ(fs::status(folder / "real" / "new.org").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(::umask(before), 027);
    fs::create_symlink("loop.org", folder / "songs" / "loop.org");
    EXPECT_EQ(saveOrgFile(Song{}, folder / "songs" / "loop.org").reason, "Too many levels of symbolic links");

    const fs::path hard = folder / "songs" / "hard.org";
    fs::create_hard_link(real, hard);
    std::vector<uint8_t> whenKept;
    SaveOptions options;
    options.keepFirst = [&] {
        whenKept = fileBytes(real);
        return std::string();
    };
    ASSERT_TRUE(saveOrgFile(songOfTempo(400), hard, files::systemFileSystem(), options).ok);
    EXPECT_EQ(whenKept, writeOrgBytes(songOfTempo(200)));
    EXPECT_EQ(fileBytes(real), writeOrgBytes(songOfTempo(400)));
    EXPECT_TRUE(fs::equivalent(real, hard));
    options.keepFirst = [] { return std::string("no room for the copy"); };
    EXPECT_EQ(saveOrgFile(Song{}, hard, files::systemFileSystem(), options).reason, "no room for the copy");
    EXPECT_EQ(fileBytes(real), writeOrgBytes(songOfTempo(400)));
    EXPECT_TRUE(saveOrgFile(Song{}, folder / "real" / "new.org", files::systemFileSystem(), options).ok);

    fs::permissions(real, fs::perms::owner_read | fs::perms::group_write | fs::perms::others_write);
    for (const fs::path& path : {real, folder / "songs" / "first.org"}) {
        const SaveResult refused = saveOrgFile(Song{}, path);
        EXPECT_TRUE(!refused.ok && refused.refusal == SaveRefusal::ReadOnly && refused.reason == readOnlyReason);
        EXPECT_EQ(fileBytes(real), writeOrgBytes(songOfTempo(400)));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "real"), fs::directory_iterator{}), 2);
}

// What the file held when read is compared before it is written over: another program's bytes
// refuse the save, whatever the size; a file only touched, or replaced by the same bytes, does
// not; a deleted one is written anew; and a save takes the new stamp.
TEST(OrgWriter, SavesRefuseFilesAnotherProgramChanged) {
    const fs::path folder = fs::path(testing::TempDir()) / "writer-changed";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path path = folder / "song.org";
    const auto openedStamp = [&](const std::vector<uint8_t>& bytes) {
        writeBytes(path, bytes);
        Song song;
        return loadOrgFile(song, path).stamp;
    };
    const auto saveOver = [&](const files::FileStamp& stamp) {
        SaveOptions options;
        options.unchangedSince = stamp;
        return saveOrgFile(songOfTempo(500), path, files::systemFileSystem(), options);
    };
    const std::vector<uint8_t> opened = writeOrgBytes(songOfTempo(100));
    std::vector<uint8_t> sameSize = writeOrgBytes(songOfTempo(101));
    Song longer = songOfTempo(100);
    longer.instrumentNotes.grow(1);
    longer.instrumentNotes.at(0, 1) = {1, 20, 2, 6, 166};
    for (const std::vector<uint8_t>& other : {sameSize, writeOrgBytes(longer)}) {
        const files::FileStamp stamp = openedStamp(opened);
        writeBytes(path, other);
        const SaveResult refused = saveOver(stamp);
        EXPECT_TRUE(!refused.ok && refused.refusal == SaveRefusal::ChangedElsewhere);
        EXPECT_EQ(fileBytes(path), other);
    }

    files::FileStamp stamp = openedStamp(opened);
    const timespec touched[2] = {{0, UTIME_NOW}, {0, UTIME_NOW}};
    ::utimensat(AT_FDCWD, path.c_str(), touched, 0);
    writeBytes(folder / "copy.org", opened);
    fs::rename(folder / "copy.org", path);
    const SaveResult saved = saveOver(stamp);
    ASSERT_TRUE(saved.ok) << saved.reason;
    EXPECT_TRUE(saveOver(saved.stamp).ok);
    EXPECT_EQ(saveOver(stamp).refusal, SaveRefusal::ChangedElsewhere);
    fs::remove(path);
    EXPECT_TRUE(saveOver(stamp).ok);
    EXPECT_EQ(fileBytes(path), writeOrgBytes(songOfTempo(500)));
}

}  // namespace
}  // namespace tromel
