// Unsaved songs kept on disk while the editor runs, so that a kill or a crash loses no work.
#pragma once

#include "app/RecoveryFolder.h"
#include "files/FileSystem.h"
#include "song/Song.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <vector>

namespace tromel {

// Each running editor keeps its songs in a folder of its own under the root, locked for as long
// as it runs; the folder only becomes visible with its lock held. A folder whose lock is free
// holds what an editor that is gone left behind. Every file is written whole or not at all, and
// a song's index entry is written before the song and removed after it, so that whatever single
// step a kill interrupts, the next start finds each song whole, with its name, or not at all.
// Every file operation goes through `files`. Each call answers 0 or the errno value of its failure.
class RecoveryStore {
public:
    // A root that is a link is used only when it leads to a folder of the user's; through any
    // other the store keeps nothing, and its claim says so.
    explicit RecoveryStore(QString root, files::FileSystem& files = files::systemFileSystem());
    // A store that ends normally takes its folder with it, unless keepOnExit() was called.
    ~RecoveryStore();

    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    // $XDG_STATE_HOME/tromel/recovery when XDG_STATE_HOME is set, otherwise the recovery folder
    // in the program's local data folder.
    static QString defaultRoot();

    // Writes one document's song; after a failure nothing half-written is left, the song's last
    // whole version stays, and the next write tries again (the folder too, when it was not made).
    int write(int document, const Song& song, const QString& fileName, const QString& caption);
    // The document was saved, closed or undone back to its saved state: its song goes, and so
    // does the copy of a gone editor it was restored from. A removal that fails is tried again
    // by every later call.
    int remove(int document);
    // Whether a whole version of the document's song is kept.
    bool holds(int document) const;
    // The program is being ended from outside: what is written now stays for the next start.
    void keepOnExit() { m_keepOnExit = true; }
    // Tries again what failed to be removed before, and lets the claimed folders go that hold
    // nothing more to settle.
    int tidy();

    struct Claim {
        QList<RecoveredSong> songs;
        QStringList problems;  // "FOLDER: REASON" for each folder that could not be looked into
        QString refusal;       // why the root itself cannot be used or read, as the user is told
    };
    // The songs of editors that are gone, claimed (their folders locked) so that no other editor
    // starting now takes them too. Songs that another claimed song was restored from are left out.
    // Only real folders of the user's, named as stores name them and with their lock there
    // already, are taken: nothing else under the root is touched.
    Claim claimLeftBehind();
    // A claimed song now lives on as `document`: its old copy goes once this store holds the
    // document's song whole, or once the document is saved or closed.
    void adopt(int document, const RecoveredSong& song);
    // Deletes every claimed song neither adopted nor in `kept` (songs that could not be read stay
    // for a later start), and lets go of the folders with nothing adopted left in them.
    int settleClaimed(const QList<RecoveredSong>& kept);

    const QString& folder() const { return m_folder; }

private:
    struct Entry {
        QString fileName;
        QString caption;
        QString origin;        // the claimed song it was restored from, as a path under the root
        bool written = false;  // the song file holds a whole version
        bool doomed = false;   // to be removed; a removal failed and is tried again
    };
    enum class Fate { Offered, Adopted, Kept, Doomed };
    struct ClaimedSong {
        RecoveredSong song;
        QString origin;
        Fate fate = Fate::Offered;
        int document = 0;
    };
    struct Claimed {
        QString folder;
        int lockFd = -1;
        std::vector<ClaimedSong> songs;
    };

    bool rootIsForeignLink();
    int makeFolder();
    void claimFolder(const QString& name, Claim& claim);
    int writeIndex(const QMap<int, Entry>& entries);
    QString songPath(int document) const;
    int removeOwn(int document);
    void dropSuperseded();
    int releaseOrigin(int document);
    int settleAll();

    files::FileSystem& m_files;
    QString m_root;
    QString m_folder;  // empty until made
    int m_lockFd = -1;
    QMap<int, Entry> m_entries;
    std::vector<Claimed> m_claimed;
    bool m_keepOnExit = false;
    bool m_refused = false;  // the root is a link to something not the user's
};

}  // namespace tromel
