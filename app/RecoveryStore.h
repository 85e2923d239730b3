// Unsaved songs kept on disk while the editor runs, so that a kill or a crash loses no work.
#pragma once

#include "song/Song.h"

#include <QList>
#include <QLockFile>
#include <QMap>
#include <QString>

#include <memory>
#include <vector>

namespace tromel {

// A song some editor kept for recovery: its file there, and the document it came from.
struct RecoveredSong {
    QString recoveryPath;
    QString fileName;  // the document's file, or "null" when it had none
    QString caption;   // the document's caption without the modified mark

    bool operator==(const RecoveredSong&) const = default;
};

// Each running editor keeps its songs in a folder of its own under the root, held by a lock file
// for as long as it runs. A folder whose editor is gone (its lock free) holds what that editor
// left behind. Every file is written atomically, the index last, so a kill at any moment leaves
// either the earlier or the later version of a song, never a part of one.
class RecoveryStore {
public:
    explicit RecoveryStore(QString root);
    // A store that ends normally takes its folder with it, unless keepOnExit() was called.
    ~RecoveryStore();

    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    // $XDG_STATE_HOME/tromel/recovery when XDG_STATE_HOME is set, otherwise the recovery folder
    // in the program's local data folder.
    static QString defaultRoot();

    // Writes one document's song; false (with nothing half-written) when it could not.
    bool write(int document, const Song& song, const QString& fileName, const QString& caption);
    // The document was saved, closed or undone back to its saved state: its song goes.
    void remove(int document);
    bool holds(int document) const { return m_entries.contains(document); }
    // The program is being ended from outside: what is written now stays for the next start.
    void keepOnExit() { m_keepOnExit = true; }

    // The songs of editors that are gone, claimed so that no other editor starting now takes
    // them too. Settle them once they have been restored or discarded.
    QList<RecoveredSong> claimLeftBehind();
    // Deletes every claimed song but those in `kept` (songs that could not be read stay for a
    // later try), and lets the claimed folders go.
    void settleClaimed(const QList<RecoveredSong>& kept);

    const QString& folder() const { return m_folder; }

private:
    struct Entry {
        QString file;  // within the folder
        QString fileName;
        QString caption;
    };
    struct Claimed {
        QString folder;
        std::unique_ptr<QLockFile> lock;
        QList<RecoveredSong> songs;
    };

    bool writeIndex();

    QString m_root;
    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QMap<int, Entry> m_entries;
    std::vector<Claimed> m_claimed;
    bool m_keepOnExit = false;
};

}  // namespace tromel
