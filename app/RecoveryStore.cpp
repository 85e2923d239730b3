// Unsaved songs kept on disk while the editor runs, so that a kill or a crash loses no work.
#include "app/RecoveryStore.h"

#include "files/AtomicWrite.h"
#include "song/OrgFile.h"
#include "widgets/FilePaths.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>
#include <cerrno>

namespace tromel {
namespace {

constexpr mode_t privateFile = 0600;
// A folder being made can meet another editor clearing away a half-made one of the same moment.
constexpr int folderAttempts = 3;

// Folders made by stores of one process at the same millisecond still differ.
std::atomic<int> folderSerial{0};

int firstError(int first, int second) {
    return first != 0 ? first : second;
}

// The claimed song's path under the root, as an index names it in `origin`.
QString underRoot(const QString& path) {
    const QFileInfo info(path);
    return info.dir().dirName() + "/" + info.fileName();
}

}  // namespace

RecoveryStore::RecoveryStore(QString root, files::FileSystem& files) : m_files(files), m_root(std::move(root)) {
    m_refused = rootIsForeignLink();
    makeFolder();  // a failure here is met again, and told, at the first write
}

bool RecoveryStore::rootIsForeignLink() {
    files::FileStatus status;
    if (m_files.status(toFilesystemPath(m_root), false, status) != 0 || status.type != files::FileType::Link)
        return false;
    return m_files.status(toFilesystemPath(m_root), true, status) != 0 || status.type != files::FileType::Folder ||
           !status.ownedByUser;
}

// An editor that ends normally has had every song saved or discarded. Songs restored from a gone
// editor whose documents were never settled stay where they were, for the next start.
RecoveryStore::~RecoveryStore() {
    if (!m_keepOnExit) {
        tidy();
        if (!m_folder.isEmpty())
            recovery::removeFolder(m_files, m_folder);
    }
    for (const Claimed& claimed : m_claimed)
        m_files.close(claimed.lockFd);
    if (m_lockFd >= 0)
        m_files.close(m_lockFd);
}

QString RecoveryStore::defaultRoot() {
    const QString stateHome = qEnvironmentVariable("XDG_STATE_HOME");
    if (!stateHome.isEmpty())
        return stateHome + "/tromel/recovery";
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + "/recovery";
}

// Made under a hidden name, locked, and only then given its own name: another editor starting at
// the same moment never sees a folder of a running editor without its lock.
int RecoveryStore::makeFolder() {
    if (m_refused)
        return EACCES;
    if (!m_folder.isEmpty())
        return 0;
    int error = files::makeFolders(m_files, toFilesystemPath(m_root));
    for (int attempt = 0; error == 0 && attempt < folderAttempts; ++attempt) {
        const QString name = QString("%1-%2-%3")
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(QDateTime::currentMSecsSinceEpoch())
                                 .arg(++folderSerial);
        const QString hidden = m_root + "/." + name;
        error = m_files.makeFolder(toFilesystemPath(hidden));
        if (error == EEXIST) {
            error = 0;
            continue;
        }
        if (error != 0)
            break;
        int fd = -1;
        error = m_files.lock(toFilesystemPath(hidden + "/" + recovery::lockName), true, fd);
        if (error == 0)
            error = m_files.rename(toFilesystemPath(hidden), toFilesystemPath(m_root + "/" + name));
        if (error == 0) {
            m_folder = m_root + "/" + name;
            m_lockFd = fd;
            return m_files.flushFolder(toFilesystemPath(m_root));
        }
        if (fd >= 0) {
            m_files.remove(toFilesystemPath(hidden + "/" + recovery::lockName));
            m_files.close(fd);
        }
        m_files.remove(toFilesystemPath(hidden));
        // Another editor took the half-made folder away: try again under a new name.
        if (error == EWOULDBLOCK || error == ENOENT)
            error = 0;
        else
            break;
    }
    return error != 0 ? error : EAGAIN;
}

QString RecoveryStore::songPath(int document) const {
    return m_folder + "/" + recovery::songFile(document);
}

int RecoveryStore::writeIndex(const QMap<int, Entry>& entries) {
    QList<IndexEntry> index;
    for (auto it = entries.begin(); it != entries.end(); ++it)
        index << IndexEntry{recovery::songFile(it.key()), it->fileName, it->caption, it->origin};
    const QByteArray bytes = recovery::indexBytes(index);
    return files::writeAtomically(
        m_files, toFilesystemPath(m_folder + "/" + recovery::indexName),
        {reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<std::size_t>(bytes.size())}, privateFile);
}

// The index names the song before the song is written: a kill between the two leaves the song's
// earlier version with its name, or, for a first version, nothing the index can find.
int RecoveryStore::write(int document, const Song& song, const QString& fileName, const QString& caption) {
    if (m_refused)
        return 0;  // the claim has said why nothing is kept
    if (const int error = makeFolder())
        return error;
    QString origin;
    for (const Claimed& claimed : m_claimed)
        for (const ClaimedSong& claimedSong : claimed.songs)
            if (claimedSong.fate == Fate::Adopted && claimedSong.document == document)
                origin = underRoot(claimedSong.song.recoveryPath);
    QMap<int, Entry> entries = m_entries;
    Entry& entry = entries[document];
    const bool indexed = m_entries.contains(document) && entry.fileName == fileName && entry.caption == caption &&
                         entry.origin == origin;
    entry.fileName = fileName;
    entry.caption = caption;
    entry.origin = origin;
    if (!indexed) {
        if (const int error = writeIndex(entries))
            return error;
    }
    m_entries = entries;
    const std::vector<uint8_t> bytes = writeOrgBytes(song);
    if (const int error = files::writeAtomically(m_files, toFilesystemPath(songPath(document)), bytes, privateFile))
        return error;
    m_entries[document].written = true;
    m_entries[document].doomed = false;
    // This store holds the song whole now: the gone editor's copy can go.
    return firstError(releaseOrigin(document), tidy());
}

bool RecoveryStore::holds(int document) const {
    const auto found = m_entries.find(document);
    return found != m_entries.end() && found->written && !found->doomed;
}

int RecoveryStore::remove(int document) {
    if (m_keepOnExit)
        return 0;
    const int released = releaseOrigin(document);
    const int removed = removeOwn(document);
    return firstError(firstError(released, removed), tidy());
}

// The song goes before its index entry: a kill between the two leaves an entry naming no file,
// which the next start passes over, never a song without its name.
int RecoveryStore::removeOwn(int document) {
    if (!m_entries.contains(document))
        return 0;
    const int error = m_files.remove(toFilesystemPath(songPath(document)));
    if (error != 0 && error != ENOENT) {
        m_entries[document].doomed = true;
        return error;
    }
    m_entries.remove(document);
    return writeIndex(m_entries);
}

int RecoveryStore::releaseOrigin(int document) {
    for (Claimed& claimed : m_claimed) {
        for (ClaimedSong& song : claimed.songs) {
            if (song.fate != Fate::Adopted || song.document != document)
                continue;
            song.fate = Fate::Doomed;
            if (m_entries.contains(document))
                m_entries[document].origin.clear();
            return tidy();
        }
    }
    return 0;
}

int RecoveryStore::tidy() {
    int error = 0;
    for (const int document : m_entries.keys())
        if (m_entries[document].doomed)
            error = firstError(error, removeOwn(document));
    for (Claimed& claimed : m_claimed) {
        for (auto song = claimed.songs.begin(); song != claimed.songs.end();) {
            const int removed =
                song->fate == Fate::Doomed ? m_files.remove(toFilesystemPath(song->song.recoveryPath)) : EINPROGRESS;
            if (removed == 0 || removed == ENOENT) {
                song = claimed.songs.erase(song);
                continue;
            }
            if (removed != EINPROGRESS)
                error = firstError(error, removed);
            ++song;
        }
    }
    return firstError(error, settleAll());
}

// A claimed folder is let go once nothing in it waits to be settled or deleted: removed when
// nothing in it is kept either, left with its unreadable songs otherwise.
int RecoveryStore::settleAll() {
    int error = 0;
    for (auto claimed = m_claimed.begin(); claimed != m_claimed.end();) {
        const auto waits = [](const ClaimedSong& song) { return song.fate != Fate::Kept; };
        const auto stays = [](const ClaimedSong& song) { return song.fate == Fate::Kept; };
        if (std::any_of(claimed->songs.begin(), claimed->songs.end(), waits)) {
            ++claimed;
            continue;
        }
        if (std::none_of(claimed->songs.begin(), claimed->songs.end(), stays)) {
            if (const int removed = recovery::removeFolder(m_files, claimed->folder)) {
                error = firstError(error, removed);
                ++claimed;
                continue;
            }
        }
        m_files.close(claimed->lockFd);
        claimed = m_claimed.erase(claimed);
    }
    return error;
}

RecoveryStore::Claim RecoveryStore::claimLeftBehind() {
    Claim claim;
    if (m_refused) {
        claim.refusal = "The folder for unsaved songs, " + m_root +
                        ", is a link to a folder that is not yours; unsaved songs are not kept for recovery.";
        return claim;
    }
    std::vector<std::string> names;
    const int listed = m_files.listFolder(toFilesystemPath(m_root), names);
    if (listed != 0 && listed != ENOENT) {
        claim.refusal = "The folder for unsaved songs, " + m_root +
                        ", cannot be read: " + QString::fromStdString(files::errorText(listed));
    }
    std::sort(names.begin(), names.end());
    for (const std::string& encoded : names) {
        const QString name = fromFilesystemPath(encoded);
        if (m_root + "/" + name != m_folder && recovery::isFolderName(name))
            claimFolder(name, claim);
    }
    dropSuperseded();
    for (const Claimed& claimed : m_claimed)
        for (const ClaimedSong& song : claimed.songs)
            if (song.fate == Fate::Offered)
                claim.songs << song.song;
    return claim;
}

// Its lock is opened, never made: a folder without one is no store's, or is being removed.
void RecoveryStore::claimFolder(const QString& name, Claim& claim) {
    const QString folder = m_root + "/" + name;
    files::FileStatus status;
    const int looked = m_files.status(toFilesystemPath(folder), false, status);
    if (looked != 0 && looked != ENOENT)
        claim.problems << folder + ": " + QString::fromStdString(files::errorText(looked));
    if (looked != 0 || status.type != files::FileType::Folder || !status.ownedByUser)
        return;
    // A hidden folder is being made, or its maker was killed before it was named: only the
    // second has a lock file that can be taken.
    const bool hidden = name.startsWith('.');
    int fd = -1;
    const int error = m_files.lock(toFilesystemPath(folder + "/" + recovery::lockName), false, fd);
    if (error == 0 && hidden) {
        recovery::removeFolder(m_files, folder);
        m_files.close(fd);
        return;
    }
    // A named folder loses its lock only as the last of its files, when it is being removed.
    if (error == ENOENT && !hidden)
        m_files.remove(toFilesystemPath(folder));
    // A running editor's folder, one just removed, or a lock that is no file of the store's.
    if (error == EWOULDBLOCK || error == ENOENT || error == ENOTDIR || error == ELOOP || hidden)
        return;
    QList<IndexEntry> entries;
    const int read = error != 0 ? error : recovery::readSongs(m_files, folder, entries);
    if (read != 0) {
        claim.problems << folder + ": " + QString::fromStdString(files::errorText(read));
        if (fd >= 0)
            m_files.close(fd);
        return;
    }
    Claimed claimed{folder, fd, {}};
    for (const IndexEntry& entry : entries)
        claimed.songs.push_back(
            {RecoveredSong{folder + "/" + entry.file, entry.fileName, entry.caption}, entry.origin, Fate::Offered, 0});
    m_claimed.push_back(std::move(claimed));
}

// A song restored by an editor that was killed before it deleted the copy it restored from is
// offered once: the later copy stays, the earlier one goes.
void RecoveryStore::dropSuperseded() {
    QStringList origins;
    for (const Claimed& claimed : m_claimed)
        for (const ClaimedSong& song : claimed.songs)
            if (!song.origin.isEmpty())
                origins << song.origin;
    for (Claimed& claimed : m_claimed)
        for (ClaimedSong& song : claimed.songs)
            if (origins.contains(underRoot(song.song.recoveryPath)))
                song.fate = Fate::Doomed;
}

void RecoveryStore::adopt(int document, const RecoveredSong& song) {
    for (Claimed& claimed : m_claimed) {
        for (ClaimedSong& claimedSong : claimed.songs) {
            if (claimedSong.song == song && claimedSong.fate == Fate::Offered) {
                claimedSong.fate = Fate::Adopted;
                claimedSong.document = document;
            }
        }
    }
}

int RecoveryStore::settleClaimed(const QList<RecoveredSong>& kept) {
    for (Claimed& claimed : m_claimed)
        for (ClaimedSong& song : claimed.songs)
            if (song.fate == Fate::Offered)
                song.fate = kept.contains(song.song) ? Fate::Kept : Fate::Doomed;
    return tidy();
}

}  // namespace tromel
