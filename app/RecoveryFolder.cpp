// The layout of one editor's recovery folder: its lock, its index and its song files.
#include "app/RecoveryFolder.h"

#include "widgets/FilePaths.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>

namespace tromel::recovery {
namespace {

constexpr std::size_t largestIndex = 4 << 20;

bool isOrigin(const QString& origin) {
    const qsizetype slash = origin.indexOf('/');
    return slash > 0 && isFolderName(origin.left(slash)) && isSongFile(origin.mid(slash + 1));
}

QStringList namesIn(files::FileSystem& files, const QString& folder, int& error) {
    std::vector<std::string> names;
    error = files.listFolder(toFilesystemPath(folder), names);
    QStringList result;
    for (const std::string& name : names)
        result << fromFilesystemPath(name);
    return result;
}

}  // namespace

QString songFile(int document) {
    return QString("song-%1.org").arg(document);
}

bool isSongFile(const QString& name) {
    static const QRegularExpression pattern("^song-[0-9]{1,9}\\.org$");
    return pattern.match(name).hasMatch();
}

bool isFolderName(const QString& name) {
    static const QRegularExpression pattern("^\\.?[0-9]{1,10}-[0-9]{1,20}-[0-9]{1,10}$");
    return pattern.match(name).hasMatch();
}

bool isStoreFile(const QString& name) {
    // A write's temporary file is the hidden target's name and a unique part, left by a kill.
    static const QRegularExpression temporary("^\\.(index\\.json|song-[0-9]{1,9}\\.org)\\.[^/]+$");
    return name == lockName || name == indexName || isSongFile(name) || temporary.match(name).hasMatch();
}

QByteArray indexBytes(const QList<IndexEntry>& entries) {
    QJsonArray songs;
    for (const IndexEntry& entry : entries) {
        QJsonObject song{{"file", entry.file}, {"fileName", entry.fileName}, {"caption", entry.caption}};
        if (!entry.origin.isEmpty())
            song.insert("origin", entry.origin);
        songs.append(song);
    }
    return QJsonDocument(QJsonObject{{"songs", songs}}).toJson();
}

QList<IndexEntry> parseIndex(const QByteArray& bytes) {
    QList<IndexEntry> entries;
    const QJsonArray songs = QJsonDocument::fromJson(bytes).object().value("songs").toArray();
    for (const QJsonValue& value : songs) {
        const QJsonObject song = value.toObject();
        const QString file = song.value("file").toString();
        if (!isSongFile(file))
            continue;
        const QString origin = song.value("origin").toString();
        entries << IndexEntry{file, song.value("fileName").toString("null"), song.value("caption").toString(file),
                              isOrigin(origin) ? origin : QString()};
    }
    return entries;
}

int readSongs(files::FileSystem& files, const QString& folder, QList<IndexEntry>& songs) {
    int error = 0;
    const QStringList names = namesIn(files, folder, error);
    if (error != 0)
        return error;
    QList<IndexEntry> found;
    if (names.contains(indexName)) {
        std::vector<uint8_t> bytes;
        if (const int readError = files.readFile(toFilesystemPath(folder + "/" + indexName), largestIndex, bytes))
            return readError;
        for (const IndexEntry& entry : parseIndex(
                 QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())))) {
            const bool listed = std::any_of(found.begin(), found.end(),
                                            [&](const IndexEntry& other) { return other.file == entry.file; });
            if (names.contains(entry.file) && !listed)
                found << entry;
        }
    }
    // A song without an entry (its index lost) comes back unnamed rather than not at all.
    for (const QString& name : names) {
        const bool listed =
            std::any_of(found.begin(), found.end(), [&](const IndexEntry& entry) { return entry.file == name; });
        if (isSongFile(name) && !listed)
            found << IndexEntry{name, "null", "NewData.org", {}};
    }
    songs = found;
    return 0;
}

int removeFolder(files::FileSystem& files, const QString& folder) {
    int error = 0;
    QStringList names = namesIn(files, folder, error);
    if (error != 0)
        return error == ENOENT ? 0 : error;
    names.removeIf([](const QString& name) { return !isStoreFile(name); });
    // Songs before the index that names them, so that a kill half-way leaves no unnamed song.
    std::stable_partition(names.begin(), names.end(), [](const QString& name) { return isSongFile(name); });
    names.removeAll(lockName);
    names << lockName;
    for (const QString& name : names) {
        // The lock goes only with everything else: a folder left with its lock is taken again.
        if (name == lockName && error != 0)
            return error;
        const int removed = files.remove(toFilesystemPath(folder + "/" + name));
        if (error == 0 && removed != ENOENT)
            error = removed;
    }
    // What someone else put in there keeps the folder; without its lock it is never taken again.
    const int removed = files.remove(toFilesystemPath(folder));
    const bool settled = removed == 0 || removed == ENOENT || removed == ENOTEMPTY || removed == EEXIST;
    return error != 0 ? error : (settled ? 0 : removed);
}

}  // namespace tromel::recovery
