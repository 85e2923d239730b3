// The file seam: saves whole or not at all whatever call fails or is the last before a kill, the
// new name flushed to the disk, reads that never wait on a FIFO, and locks a kill lets go of.
#include "exchange/MidiReader.h"
#include "files/AtomicWrite.h"
#include "song/OrgFile.h"
#include "tests/core/files/FaultyFileSystem.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

namespace tromel::files::test {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

Song songOfTempo(int tempo) {
    Song song;
    song.tempo = tempo;
    song.instrumentNotes.grow(1);
    song.instrumentNotes.at(0, 1) = {1, 20, 2, 6, 166};
    return song;
}

Song songOfTempo(int tempo, int notes) {
    Song song = songOfTempo(tempo);
    song.instrumentNotes.grow(notes);
    for (int slot = 2; slot <= notes; ++slot)
        song.instrumentNotes.at(0, slot) = {slot * 4, 20, 2, 6, 166};
    return song;
}

// Every call of a save over an older, longer file, failed with each of four errors in turn, or the
// last before the process stops; the file named plainly, through a link into another folder, or
// with a second name. The file holds the old or the new song whole, or, written in place, the copy
// kept first holds the new one; a failure is told and leaves no temporary file; every rename is
// followed by a flush of both folders, every write by a flush of its file; the link stays a link
// and the second name sees what the first does.
TEST(FileSeam, SavesAreWholeOrNothingAtEveryCall) {
    enum class Named { Plainly, ThroughLink, WithSecondName };
    const fs::path folder = fs::path(testing::TempDir()) / "seam-save";
    const fs::path elsewhere = fs::path(testing::TempDir()) / "seam-save-target";
    const std::vector<uint8_t> older = writeOrgBytes(songOfTempo(100, 4));
    const std::vector<uint8_t> newer = writeOrgBytes(songOfTempo(200));
    const fs::path kept = fs::path(testing::TempDir()) / "seam-save-kept";
    SaveOptions options;
    options.keepFirst = [&kept, &newer] {
        std::ofstream(kept, std::ios::binary) << std::string(newer.begin(), newer.end());
        return std::string();
    };
    for (const Named named : {Named::Plainly, Named::ThroughLink, Named::WithSecondName}) {
        const fs::path path = folder / "song.org";
        const fs::path file = named == Named::ThroughLink ? elsewhere / "real.org" : path;
        const auto prepare = [&] {
            for (const fs::path& each : {folder, elsewhere, kept})
                fs::remove_all(each);
            fs::create_directories(folder);
            fs::create_directories(elsewhere);
            std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(older.data()), older.size());
            if (named == Named::ThroughLink)
                fs::create_symlink(fs::relative(file, folder), path);
            if (named == Named::WithSecondName)
                fs::create_hard_link(path, folder / "other.org");
        };
        const std::string kind = std::to_string(static_cast<int>(named));
        prepare();
        FaultyFileSystem counting;
        ASSERT_TRUE(saveOrgFile(songOfTempo(200), path, counting, options).ok) << kind;
        EXPECT_EQ(counting.unflushed(), std::vector<std::string>{}) << kind;
        EXPECT_EQ(fileBytes(file), newer) << kind;
        EXPECT_EQ(fs::is_symlink(path), named == Named::ThroughLink) << kind;
        if (named == Named::WithSecondName) {
            EXPECT_TRUE(fs::equivalent(path, folder / "other.org"));
        }
        const std::vector<Call> calls = counting.calls;

        const int errors[] = {ENOSPC, EIO, EACCES, EROFS};
        for (int point = 0; point < static_cast<int>(calls.size()); ++point) {
            for (const bool stop : {false, true}) {
                prepare();
                FaultyFileSystem files;
                (stop ? files.stopAfter : files.failAt) = point;
                files.failError = errors[point % 4];
                const SaveResult result = saveOrgFile(songOfTempo(200), path, files, options);
                const std::vector<uint8_t> now = fileBytes(file);
                const std::string where = kind + " " + std::to_string(point) + (stop ? " stop" : " fail");
                EXPECT_TRUE(now == older || now == newer || fileBytes(kept) == newer) << where;
                EXPECT_EQ(fs::is_symlink(path), named == Named::ThroughLink) << where;
                if (stop)
                    continue;
                // Clearing away stale temporary files is housekeeping: the save goes on without it.
                if (calls[point].operation == Operation::ListFolder) {
                    EXPECT_TRUE(result.ok) << where;
                    continue;
                }
                EXPECT_EQ(result.reason, errorText(files.failError)) << where;
                if (named != Named::WithSecondName) {
                    const bool renamed = calls[point].operation == Operation::FlushFolder;
                    EXPECT_EQ(now, renamed ? newer : older) << where;
                }
                EXPECT_EQ(namesIn(file.parent_path()).size(), named == Named::WithSecondName ? 2u : 1u) << where;
            }
        }
    }
}

// Temporary files get unpredictable names of one pattern, and a save clears away only its own
// kind that a kill left: regular files of that name, this user's, a day old or older.
TEST(FileSeam, SavesClearAwayOnlyStaleTemporaryFilesOfTheirOwn) {
    const fs::path folder = fs::path(testing::TempDir()) / "seam-stale";
    fs::remove_all(folder);
    fs::create_directories(folder / "elsewhere");
    std::string first = (folder / ".a.org.tromel-XXXXXXXXXXXX").string();
    std::string second = first;
    int fd = -1;
    ASSERT_EQ(systemFileSystem().createTemporary(first, 0600, fd), 0);
    ::close(fd);
    ASSERT_EQ(systemFileSystem().createTemporary(second, 0600, fd), 0);
    ::close(fd);
    EXPECT_NE(first, second);
    EXPECT_TRUE(isTemporaryName(fs::path(first).filename().string()));
    for (const char* name :
         {".a.org.123456", "a.org.tromel-abcdefghijkl", ".a.tromel-abcdefghijk", ".a.tromel-abc+efghijkl"})
        EXPECT_FALSE(isTemporaryName(name)) << name;

    const auto make = [&folder](const std::string& name, int hoursOld) {
        const fs::path path = folder / name;
        if (!fs::exists(fs::symlink_status(path)))
            std::ofstream(path) << "left";
        const timespec times[2] = {{time(nullptr) - hoursOld * 3600, 0}, {time(nullptr) - hoursOld * 3600, 0}};
        ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
        return path;
    };
    fs::remove(first);
    fs::remove(second);
    const fs::path stale = make(".a.org.tromel-AAAAAAAAAAAA", 25);
    const std::vector<std::string> kept = {".b.org.tromel-BBBBBBBBBBBB",
                                           ".c.org.tromel-CCCCCCCCCCCC",
                                           ".d.org.tromel-DDDDDDDDDDDD",
                                           ".e.org.tromel-EEEEEEEEEEEE",
                                           ".f.org.123456",
                                           "notes.txt"};
    make(kept[0], 23);
    fs::create_symlink(make("elsewhere/target", 48), folder / kept[1]);
    make(kept[1], 48);
    fs::create_directory(folder / kept[2]);
    make(kept[2], 48);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::lchown(make(kept[3], 48).c_str(), 4242, 4242), 0);
    }
    make(kept[4], 48);
    make(kept[5], 48);
    ASSERT_TRUE(saveOrgFile(Song{}, folder / "song.org").ok);
    EXPECT_FALSE(fs::exists(stale));
    for (const std::string& name : kept)
        EXPECT_TRUE(fs::exists(fs::symlink_status(folder / name)) || (!root && name == kept[3])) << name;
    EXPECT_TRUE(fs::exists(folder / "elsewhere" / "target"));
}

// A FIFO named like a song or a MIDI file would hold an open() for reading until a writer came: the reader
// takes regular files only and never opens anything else, so a writer waiting at the FIFO waits on.
TEST(FileSeam, ReadsTakeOnlyRegularFilesWithoutWaiting) {
    const fs::path folder = fs::path(testing::TempDir()) / "seam-read";
    fs::create_directories(folder);
    const fs::path fifo = folder / "fifo.org";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0)
        _exit(::open(fifo.c_str(), O_WRONLY) >= 0 ? 0 : 1);  // returns once a reader opens it
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Song song;
        const LoadResult fromFifo = loadOrgFile(song, fifo);
        const LoadResult fromDevice = loadOrgFile(song, "/dev/zero");
        const LoadResult fromFolder = loadOrgFile(song, folder);
        const bool midiRefused = exchange::loadMidiFile(fifo).error == "Not a regular file" &&
                                 exchange::loadMidiFile("/dev/zero").error == "Not a regular file" &&
                                 exchange::loadMidiFile(folder).error == "Is a directory";
        _exit(fromFifo.reason == "Not a regular file" && fromDevice.reason == "Not a regular file" &&
                      fromFolder.reason == "Is a directory" && fromFifo.status == LoadStatus::Unreadable && midiRefused
                  ? 0
                  : 1);
    }
    int status = -1;
    for (int waited = 0; waited < 200 && waitpid(child, &status, WNOHANG) == 0; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (status == -1) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        FAIL() << "reading a FIFO blocked";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(waitpid(writer, &status, WNOHANG), 0) << "the FIFO was opened";
    kill(writer, SIGKILL);
    waitpid(writer, &status, 0);
}

// A lock is refused to a second holder, even within one process, until its descriptor closes; a
// lock file that is not there is made only when asked to, and none is taken through a link.
TEST(FileSeam, LocksHoldUntilTheirHolderLetsGo) {
    const fs::path folder = fs::path(testing::TempDir()) / "seam-lock";
    fs::create_directories(folder);
    FileSystem& files = systemFileSystem();
    int first = -1;
    int second = -1;
    EXPECT_EQ(files.lock(folder / "lock", false, first), ENOENT);
    ASSERT_EQ(files.lock(folder / "lock", true, first), 0);
    EXPECT_EQ(files.lock(folder / "lock", false, second), EWOULDBLOCK);
    EXPECT_EQ(second, -1);
    EXPECT_EQ(files.close(first), 0);
    ASSERT_EQ(files.lock(folder / "lock", false, second), 0);
    files.close(second);

    // Neither a link for the lock nor a link for its folder is followed, and what status() tells
    // of a link depends on whether it follows it.
    fs::create_directory_symlink(folder, folder / "linked");
    fs::create_symlink(folder / "lock", folder / "linked-lock");
    EXPECT_EQ(files.lock(folder / "linked" / "lock", false, second), ENOTDIR);
    EXPECT_EQ(files.lock(folder / "linked-lock", false, second), ELOOP);
    EXPECT_EQ(second, -1);
    FileStatus status;
    ASSERT_EQ(files.status(folder / "linked", false, status), 0);
    EXPECT_EQ(status.type, FileType::Link);
    ASSERT_EQ(files.status(folder / "linked", true, status), 0);
    EXPECT_EQ(status.type, FileType::Folder);
    EXPECT_TRUE(status.ownedByUser);
    ASSERT_EQ(files.status(folder / "lock", false, status), 0);
    EXPECT_EQ(status.type, FileType::Regular);
    EXPECT_EQ(files.status(folder / "none", false, status), ENOENT);
    EXPECT_EQ(makeFolders(files, folder / "a" / "b" / "c"), 0);
    EXPECT_EQ(makeFolders(files, folder / "a" / "b"), 0);
    EXPECT_TRUE(fs::is_directory(folder / "a" / "b" / "c"));
}

}  // namespace
}  // namespace tromel::files::test
