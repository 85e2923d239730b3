// Unsaved songs kept on disk while the editor runs, so that a kill or a crash loses no work.
#include "app/RecoveryStore.h"

#include "song/OrgFile.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace tromel {
namespace {

constexpr const char* indexName = "index.json";
constexpr const char* lockName = "lock";

std::filesystem::path toPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// A lock that only a running editor holds: a dead editor's lock is free however fresh it is.
std::unique_ptr<QLockFile> lockOf(const QString& folder) {
    auto lock = std::make_unique<QLockFile>(folder + "/" + lockName);
    lock->setStaleLockTime(0);
    return lock;
}

bool writeIndexFile(const QString& folder, const QList<RecoveredSong>& songs) {
    QJsonArray entries;
    for (const RecoveredSong& song : songs) {
        entries.append(QJsonObject{
            {"file", QFileInfo(song.recoveryPath).fileName()}, {"fileName", song.fileName}, {"caption", song.caption}});
    }
    QSaveFile index(folder + "/" + indexName);
    if (!index.open(QIODevice::WriteOnly))
        return false;
    index.write(QJsonDocument(QJsonObject{{"songs", entries}}).toJson());
    return index.commit();
}

// What a folder's index names; only file names are taken from it, so an index can never point
// outside its folder.
QList<RecoveredSong> readIndexFile(const QString& folder) {
    QFile index(folder + "/" + indexName);
    QList<RecoveredSong> songs;
    if (!index.open(QIODevice::ReadOnly))
        return songs;
    const QJsonArray entries = QJsonDocument::fromJson(index.readAll()).object().value("songs").toArray();
    for (const QJsonValue& value : entries) {
        const QJsonObject entry = value.toObject();
        const QString file = QFileInfo(entry.value("file").toString()).fileName();
        if (file.isEmpty() || !QFileInfo::exists(folder + "/" + file))
            continue;
        songs << RecoveredSong{folder + "/" + file, entry.value("fileName").toString("null"),
                               entry.value("caption").toString(file)};
    }
    return songs;
}

// The indexed songs, and any song file the index does not name yet (an editor killed between
// writing a song and its index): such a song is offered as a new, unnamed one rather than lost.
QList<RecoveredSong> songsIn(const QString& folder) {
    QList<RecoveredSong> songs = readIndexFile(folder);
    const QStringList files = QDir(folder).entryList({"*.org"}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        const QString path = folder + "/" + file;
        if (std::none_of(songs.begin(), songs.end(), [&](const RecoveredSong& s) { return s.recoveryPath == path; }))
            songs << RecoveredSong{path, "null", "NewData.org"};
    }
    return songs;
}

}  // namespace

RecoveryStore::RecoveryStore(QString root) : m_root(std::move(root)) {
    const QString name =
        QString("%1-%2").arg(QCoreApplication::applicationPid()).arg(QDateTime::currentMSecsSinceEpoch());
    if (!QDir().mkpath(m_root + "/" + name))
        return;
    m_folder = m_root + "/" + name;
    m_lock = lockOf(m_folder);
    m_lock->tryLock(0);
}

RecoveryStore::~RecoveryStore() {
    if (m_folder.isEmpty())
        return;
    m_lock->unlock();
    if (!m_keepOnExit)
        QDir(m_folder).removeRecursively();
}

QString RecoveryStore::defaultRoot() {
    const QString stateHome = qEnvironmentVariable("XDG_STATE_HOME");
    if (!stateHome.isEmpty())
        return stateHome + "/tromel/recovery";
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + "/recovery";
}

bool RecoveryStore::write(int document, const Song& song, const QString& fileName, const QString& caption) {
    if (m_folder.isEmpty())
        return false;
    const QString file = QString("song-%1.org").arg(document);
    if (!saveOrgFile(song, toPath(m_folder + "/" + file)).ok)
        return false;
    m_entries[document] = {file, fileName, caption};
    return writeIndex();
}

void RecoveryStore::remove(int document) {
    if (m_keepOnExit || !m_entries.contains(document))
        return;
    const Entry entry = m_entries.take(document);
    writeIndex();
    QFile::remove(m_folder + "/" + entry.file);
}

bool RecoveryStore::writeIndex() {
    QList<RecoveredSong> songs;
    for (const Entry& entry : m_entries)
        songs << RecoveredSong{m_folder + "/" + entry.file, entry.fileName, entry.caption};
    return writeIndexFile(m_folder, songs);
}

QList<RecoveredSong> RecoveryStore::claimLeftBehind() {
    QList<RecoveredSong> all;
    const QDir root(m_root);
    for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString folder = root.filePath(name);
        if (folder == m_folder)
            continue;
        std::unique_ptr<QLockFile> lock = lockOf(folder);
        if (!lock->tryLock(0))
            continue;  // its editor still runs
        Claimed claimed{folder, std::move(lock), songsIn(folder)};
        all += claimed.songs;
        m_claimed.push_back(std::move(claimed));
    }
    return all;
}

void RecoveryStore::settleClaimed(const QList<RecoveredSong>& kept) {
    for (Claimed& claimed : m_claimed) {
        QList<RecoveredSong> staying;
        for (const RecoveredSong& song : claimed.songs) {
            if (kept.contains(song))
                staying << song;
            else
                QFile::remove(song.recoveryPath);
        }
        claimed.lock->unlock();
        if (staying.isEmpty())
            QDir(claimed.folder).removeRecursively();
        else
            writeIndexFile(claimed.folder, staying);
    }
    m_claimed.clear();
}

}  // namespace tromel
