// Reading and writing Organya files ("Org-02" and "Org-03").
#pragma once

#include "files/FileSystem.h"
#include "song/AtomicFile.h"
#include "song/Song.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace tromel {

enum class LoadStatus {
    Read,        // the song holds the file
    NotOrganya,  // not a valid Organya file (wrong magic, truncated, or a value that does not fit)
    Unreadable,  // the file could not be opened or read; reason holds the system's text
};

struct LoadResult {
    LoadStatus status = LoadStatus::Read;
    std::string reason;
    files::FileStamp stamp = {};  // what the file held when read

    bool ok() const { return status == LoadStatus::Read; }
};

inline constexpr const char* invalidOrgMessage = "This is not a valid ORG File!";
inline constexpr const char* fileOpenErrorTitle = "File Open Error";

// Both readers empty the song's note tables first. On success the song holds the file's
// header, channel settings and notes; otherwise it keeps the header and settings it had and
// its note tables stay empty, never a mix.
LoadResult readOrgBytes(std::span<const uint8_t> bytes, Song& song);
// Reads only a regular file, never waiting on a FIFO or a device of that name.
LoadResult loadOrgFile(Song& song, const std::filesystem::path& path,
                       files::FileSystem& files = files::systemFileSystem());

// Whether a song is written as "Org-03": one read from such a file, or one whose drum channels
// name a drum beyond the first twelve. Every other song is written as "Org-02".
bool needsLaterVersion(const Song& song);

// The file image of a song: values cut to their field widths, empty slots closed up.
std::vector<uint8_t> writeOrgBytes(const Song& song);

// The song as reading its file image back would give it, without the bytes: values cut to their
// field widths, empty slots closed up, note counts and file version as written. A channel holds at
// most 32767 notes (the editor's limit, and the reader's).
Song asSaved(const Song& song);

// Saves as writeFileAtomically does: whole or not at all, through links, hard links kept.
SaveResult saveOrgFile(const Song& song, const std::filesystem::path& path,
                       files::FileSystem& files = files::systemFileSystem(), const SaveOptions& options = {});

}  // namespace tromel
