// The file seam: saves whole or not at all whatever call fails or is the last before a kill, the
// new name flushed to the disk, reads that never wait on a FIFO, and locks a kill lets go of.
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

// Every call of a save over an older file, failed with each of four errors in turn, or the last
// before the process stops: the file holds the old or the new song whole; a failure is told and
// leaves the old song and nothing beside it; a flushed rename is what makes the new name last.
TEST(FileSeam, SavesAreWholeOrNothingAtEveryCall) {
    const fs::path folder = fs::path(testing::TempDir()) / "seam-save";
    const fs::path path = folder / "song.org";
    const std::vector<uint8_t> older = writeOrgBytes(songOfTempo(100));
    const std::vector<uint8_t> newer = writeOrgBytes(songOfTempo(200));
    FaultyFileSystem counting;
    fs::create_directories(folder);
    ASSERT_TRUE(saveOrgFile(songOfTempo(200), path, counting).ok);
    const std::vector<Call> calls = counting.calls;
    ASSERT_GE(calls.size(), 7u);
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].operation == Operation::Rename) {
            EXPECT_TRUE(i + 1 < calls.size() && calls[i + 1].operation == Operation::FlushFolder &&
                        fs::path(calls[i + 1].path) == folder);
        }
    }

    const int errors[] = {ENOSPC, EIO, EACCES, EROFS};
    for (int point = 0; point < static_cast<int>(calls.size()); ++point) {
        for (const bool stop : {false, true}) {
            fs::remove_all(folder);
            fs::create_directories(folder);
            std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(older.data()), older.size());
            FaultyFileSystem files;
            (stop ? files.stopAfter : files.failAt) = point;
            files.failError = errors[point % 4];
            const SaveResult result = saveOrgFile(songOfTempo(200), path, files);
            const std::vector<uint8_t> now = fileBytes(path);
            const std::string where = std::to_string(point) + (stop ? " stop" : " fail");
            EXPECT_TRUE(now == older || now == newer) << where;
            if (stop)
                continue;
            EXPECT_EQ(result.reason, errorText(files.failError)) << where;
            const bool renamed = calls[point].operation == Operation::FlushFolder;
            EXPECT_EQ(now, renamed ? newer : older) << where;
            EXPECT_EQ(namesIn(folder), std::vector<std::string>{"song.org"}) << where;
        }
    }
}

// A FIFO named like a song would hold an open() for reading until some writer came: the reader
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
        _exit(fromFifo.reason == "Not a regular file" && fromDevice.reason == "Not a regular file" &&
                      fromFolder.reason == "Is a directory" && fromFifo.status == LoadStatus::Unreadable
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
    EXPECT_EQ(status.kind, FileStatus::Kind::Link);
    ASSERT_EQ(files.status(folder / "linked", true, status), 0);
    EXPECT_EQ(status.kind, FileStatus::Kind::Folder);
    EXPECT_TRUE(status.ownedByUser);
    ASSERT_EQ(files.status(folder / "lock", false, status), 0);
    EXPECT_EQ(status.kind, FileStatus::Kind::File);
    EXPECT_EQ(files.status(folder / "none", false, status), ENOENT);
    EXPECT_EQ(makeFolders(files, folder / "a" / "b" / "c"), 0);
    EXPECT_EQ(makeFolders(files, folder / "a" / "b"), 0);
    EXPECT_TRUE(fs::is_directory(folder / "a" / "b" / "c"));
}

}  // namespace
}  // namespace tromel::files::test
