// The layout of one editor's recovery folder: its lock, its index and its song files.
#pragma once

#include "files/FileSystem.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace tromel {

// A song some editor kept for recovery: its file there, and the document it came from.
struct RecoveredSong {
    QString recoveryPath;
    QString fileName;  // the document's file, or "null" when it had none
    QString caption;   // the document's caption without the modified mark

    bool operator==(const RecoveredSong&) const = default;
};

// One song of a folder's index. `origin` names the song of a gone editor it was restored from,
// as "FOLDER/song-N.org" under the root, until that copy is deleted.
struct IndexEntry {
    QString file;
    QString fileName;
    QString caption;
    QString origin;

    bool operator==(const IndexEntry&) const = default;
};

namespace recovery {

inline constexpr const char* lockName = "lock";
inline constexpr const char* indexName = "index.json";

// "song-N.org": the only names of songs a folder holds, so that an index can name nothing else.
QString songFile(int document);
bool isSongFile(const QString& name);
// An editor's folder under the root, named "PID-MILLISECONDS-SERIAL". A hidden one (".NAME") is
// being made and not yet locked. Nothing else under the root is ever the store's.
bool isFolderName(const QString& name);
// The names a folder's store writes: its lock, its index, its songs and their temporary files.
bool isStoreFile(const QString& name);

QByteArray indexBytes(const QList<IndexEntry>& entries);
// The entries that name a song file of the pattern; a damaged index names none.
QList<IndexEntry> parseIndex(const QByteArray& bytes);

// The songs a folder holds: those its index names, with their names, and any other song file of
// the pattern as an unnamed song. A missing index is no failure; one that cannot be read is.
int readSongs(files::FileSystem& files, const QString& folder, QList<IndexEntry>& songs);

// Empties and removes a folder whose lock the caller holds: the songs first, the index and the
// temporary files next, the lock file last, and only when all else went. Anything else in it, and
// the folder with it, stays. Returns the first failure.
int removeFolder(files::FileSystem& files, const QString& folder);

}  // namespace recovery
}  // namespace tromel
