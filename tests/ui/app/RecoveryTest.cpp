// Recovery under faults: every file operation of saving and keeping songs failed, or the last
// before a kill, and what the next start finds; full disks, races between starting editors, and
// index entries that name no song of the store.
#include "app/RecoveryKeeper.h"
#include "app/RecoveryStore.h"
#include "document/DocumentWindow.h"
#include "tests/core/files/FaultyFileSystem.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"

#include <QDirIterator>
#include <QStatusBar>

#include <sys/stat.h>

#include <functional>

namespace tromel::test {
namespace {

using files::test::Call;
using files::test::FaultyFileSystem;
using files::test::Operation;

QByteArray bytesOf(const Song& song) {
    const std::vector<uint8_t> bytes = writeOrgBytes(song);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A song as the next start must find it: offered once, whole, with the name it was kept under,
// or saved into its file. A song the user discarded may be offered only after a kill.
struct Expected {
    QString fileName;
    QString caption;
    QList<QByteArray> versions;  // the whole versions it may be offered as
    QString savedPath;           // where a save may have put its last version instead
    bool discarded = false;
    bool leftBehind = false;  // discarded only when the restore question was put
};

// The state folder and the songs folder of one run.
struct World {
    QTemporaryDir folder;
    QString root = folder.filePath("recovery");
    QString songs = folder.filePath("songs");
    World() { QDir().mkpath(songs); }
    QString song(const QString& name) const { return songs + "/" + name; }
};

// One editor on the world, its file operations through a seam of its own.
struct Session {
    FaultyFileSystem files;
    std::unique_ptr<RecoveryStore> store;
    std::unique_ptr<TestEditor> editor;
    int teardownFrom = -1;  // the call from which the editor ended normally, if it did
    bool toldBeforeTheEnd = false;
    DocumentWindow* document = nullptr;  // the one the action works on

    explicit Session(const World& world)
        : store(std::make_unique<RecoveryStore>(world.root, files)), editor(std::make_unique<TestEditor>(files)) {
        editor->mainWindow->keepRecovery(store.get(), 3600 * 1000);  // written only when the test says
    }
    MainWindow& main() { return *editor->mainWindow; }
    RecoveryKeeper& keeper() { return *main().findChild<RecoveryKeeper*>(); }
    bool told() const { return editor ? !editor->prompts.messages.isEmpty() : toldBeforeTheEnd; }
    // A kill: nothing more reaches the disk, and the locks go.
    void kill() {
        files.stop();
        editor.reset();
        store.reset();
    }
    // The program closed by the user: every window, then the store.
    void end() {
        main().close();
        toldBeforeTheEnd = told();
        teardownFrom = static_cast<int>(files.calls.size());
        editor.reset();
        store.reset();
    }
};

// Two songs an editor kept and then lost to a kill: one of a file, one new.
QList<Expected> leaveBehind(const World& world) {
    FaultyFileSystem files;
    RecoveryStore gone(world.root, files);
    Song named;
    named.tempo = 333;
    Song unnamed;
    unnamed.tempo = 444;
    gone.write(1, named, world.song("left.org"), "left.org");
    gone.write(2, unnamed, "null", "NewData.org");
    files.stop();
    return {{world.song("left.org"), "left.org", {bytesOf(named)}, {}, false, true},
            {"null", "NewData.org", {bytesOf(unnamed)}, {}, false, true}};
}

// An opened song, edited and kept by the interval since; opened under `name`, which the test
// may have made a link to a.org or a second name of it.
DocumentWindow* editedAndKept(const World& world, Session& session, QList<Expected>& expected,
                              const QString& name = "a.org") {
    Song older;
    older.tempo = 100;
    saveOrgFile(older, QFile::encodeName(world.song("a.org")).toStdString());
    const QString path = world.song(name);
    if (name == "link.org")
        QFile::link("a.org", path);
    if (name == "b.org")
        ::link(QFile::encodeName(world.song("a.org")).constData(), QFile::encodeName(path).constData());
    DocumentWindow* document = session.main().openFile(path);
    setTempo(document, 200);
    session.keeper().write();
    expected << Expected{path, name, {bytesOf(document->song())}, path};
    return document;
}

void closeWindow(DocumentWindow* document) {
    document->parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Scenario {
    const char* name;
    // What the world holds before the action; the songs the next start must find.
    std::function<QList<Expected>(const World&, Session&)> setUp;
    std::function<void(const World&, Session&)> act;
};

const QList<Scenario>& scenarios() {
    static const QList<Scenario> all{
        {"save",
         [](const World& world, Session& session) {
             QList<Expected> expected;
             session.document = editedAndKept(world, session, expected);
             return expected;
         },
         [](const World&, Session& session) { session.document->save(); }},
        // Written in place: the song is kept in the store first, and leaves it once the file holds it.
        {"save of a file with a second name",
         [](const World& world, Session& session) {
             QList<Expected> expected;
             session.document = editedAndKept(world, session, expected, "b.org");
             setTempo(session.document, 201);
             expected[0].versions << bytesOf(session.document->song());
             return expected;
         },
         [](const World&, Session& session) {
             // Again once saved: the copy is made and goes even for a song the file holds already.
             if (session.document->save())
                 session.document->save();
         }},
        {"save through a link",
         [](const World& world, Session& session) {
             QList<Expected> expected;
             session.document = editedAndKept(world, session, expected, "link.org");
             return expected;
         },
         [](const World&, Session& session) { session.document->save(); }},
        {"save over another program's changes",
         [](const World& world, Session& session) {
             QList<Expected> expected;
             session.document = editedAndKept(world, session, expected);
             Song other;
             other.tempo = 77;
             saveOrgFile(other, QFile::encodeName(world.song("a.org")).toStdString());
             return expected;
         },
         [](const World&, Session& session) {
             session.editor->prompts.changedAnswers = {ChangedFileChoice::Overwrite};
             session.document->save();
         }},
        {"save as",
         [](const World& world, Session& session) {
             QList<Expected> expected;
             session.document = editedAndKept(world, session, expected);
             expected[0].savedPath = world.song("b.org");
             return expected;
         },
         [](const World& world, Session& session) {
             session.editor->prompts.answers.push_back(world.song("b.org"));
             session.document->saveAs();
         }},
        {"periodic write",
         [](const World& world, Session& session) {
             QList<Expected> expected;
             DocumentWindow* bound = editedAndKept(world, session, expected);
             DocumentWindow* fresh = session.main().newFile();
             setTempo(fresh, 150);
             session.keeper().write();
             expected << Expected{"null", "NewData.org", {bytesOf(fresh->song())}, {}};
             setTempo(bound, 201);
             setTempo(fresh, 151);
             expected[0].versions << bytesOf(bound->song());
             expected[1].versions << bytesOf(fresh->song());
             return expected;
         },
         [](const World&, Session& session) { session.keeper().write(); }},
        {"restore", [](const World& world, Session&) { return leaveBehind(world); },
         [](const World&, Session& session) {
             session.editor->prompts.restoreAnswers = {true};
             session.main().restoreLeftBehind();
         }},
        {"discard",
         [](const World& world, Session& session) {
             QList<Expected> expected = leaveBehind(world);
             DocumentWindow* fresh = session.main().newFile();
             setTempo(fresh, 150);
             session.keeper().write();
             expected << Expected{"null", "NewData.org", {bytesOf(fresh->song())}, {}};
             for (Expected& song : expected)
                 song.discarded = true;
             return expected;
         },
         [](const World&, Session& session) {
             session.editor->prompts.restoreAnswers = {false};
             session.main().restoreLeftBehind();
             session.editor->prompts.saveAnswers = {SaveChoice::Discard};
             closeWindow(session.main().documents().first());
         }},
        {"closing a saved document",
         [](const World& world, Session& session) {
             QList<Expected> expected;
             editedAndKept(world, session, expected);
             return expected;
         },
         [](const World&, Session& session) {
             session.editor->prompts.saveAnswers = {SaveChoice::Save};
             closeWindow(session.main().documents().first());
             // A save that failed keeps the window, and the user would not go on to discard it.
             if (session.main().documents().isEmpty())
                 session.end();
         }},
    };
    return all;
}

// The next start: each song offered whole and once, with its name, or saved; nothing else
// offered, and no song file anywhere that is not whole.
void checkNextStart(const World& world, const QList<Expected>& expected, bool killed, bool asked,
                    const QString& where) {
    RecoveryStore next(world.root);
    const RecoveryStore::Claim claim = next.claimLeftBehind();
    QVERIFY2(claim.problems.isEmpty() && claim.refusal.isEmpty(),
             qPrintable(where + ": " + claim.problems.join(", ") + claim.refusal));
    QList<int> offered(expected.size(), 0);
    for (const RecoveredSong& song : claim.songs) {
        const QByteArray bytes = fileBytes(song.recoveryPath);
        const auto match = std::find_if(expected.begin(), expected.end(), [&](const Expected& e) {
            return e.fileName == song.fileName && e.caption == song.caption && e.versions.contains(bytes);
        });
        QVERIFY2(match != expected.end(), qPrintable(where + ": offered " + song.recoveryPath + " as " + song.fileName +
                                                     ", not a whole version of a song"));
        ++offered[static_cast<int>(match - expected.begin())];
    }
    for (int i = 0; i < expected.size(); ++i) {
        const Expected& song = expected[i];
        const bool saved = !song.savedPath.isEmpty() && fileBytes(song.savedPath) == song.versions.last();
        QVERIFY2(offered[i] <= 1, qPrintable(where + ": offered twice: " + song.caption));
        if (song.discarded && (asked || !song.leftBehind))
            QVERIFY2(killed || offered[i] == 0, qPrintable(where + ": a discarded song came back"));
        else
            QVERIFY2(offered[i] == 1 || saved, qPrintable(where + ": lost " + song.caption));
    }
    for (QDirIterator it(world.songs, QDir::Files | QDir::Hidden); it.hasNext();) {
        const QString path = it.next();
        Song song;
        // A kill in the middle of a write leaves its hidden temporary file, and nothing else.
        if (QFileInfo(path).fileName().startsWith('.'))
            QVERIFY2(killed, qPrintable(where + ": left " + path));
        else
            QVERIFY2(loadOrgFile(song, QFile::encodeName(path).toStdString()).ok(),
                     qPrintable(where + ": " + path + " is not whole"));
    }
}

// A file is written in place only once the song is in the store (renamed into it since `start`),
// and a document that holds what its file holds has no copy left there.
void checkKeptWhileWritingInPlace(const World& world, Session& session, int start, const char* name) {
    const std::string store = " -> " + QFile::encodeName(world.root).toStdString();
    bool kept = false;
    for (std::size_t i = static_cast<std::size_t>(start); i < session.files.calls.size(); ++i) {
        const Call& call = session.files.calls[i];
        kept = kept || (call.operation == Operation::Rename && call.path.find(store) != std::string::npos);
        if (call.operation == Operation::OpenForWriting)
            QVERIFY2(kept, qPrintable(QString(name) + ": written in place before the song was kept"));
    }
    if (!session.editor)
        return;
    for (DocumentWindow* document : session.main().documents())
        QVERIFY2(document->isModified() || !session.store->holds(document->property("recoveryId").toInt()),
                 qPrintable(QString(name) + ": a saved song is still kept"));
}

class RecoveryTest : public QObject {
    Q_OBJECT

private slots:
    // Every call of saving, keeping, restoring, discarding and closing, failed with each of
    // four errors in turn (then the editor tries again and is killed), or the last before a
    // kill: the next start finds every song the user had, whole, with its name, and nothing
    // half-written; every failure was told; every rename and write was flushed.
    void everyFileOperationFailedOrCutShortLosesNoSong() {
        const int errors[] = {ENOSPC, EIO, EACCES, EROFS};
        for (const Scenario& scenario : scenarios()) {
            int start = 0;
            int count = 0;
            {
                World world;
                Session session(world);
                const QList<Expected> expected = scenario.setUp(world, session);
                start = static_cast<int>(session.files.calls.size());
                scenario.act(world, session);
                count = static_cast<int>(session.files.calls.size()) - start;
                QVERIFY2(!session.editor || session.editor->prompts.messages.isEmpty(), scenario.name);
                for (const std::string& call : session.files.unflushed())
                    QFAIL(qPrintable(QString(scenario.name) + ": not flushed after " + QString::fromStdString(call)));
                checkKeptWhileWritingInPlace(world, session, start, scenario.name);
                if (session.editor)
                    session.kill();
                checkNextStart(world, expected, false, true, scenario.name);
            }
            QVERIFY(count > 0);
            for (int point = start; point < start + count; ++point) {
                for (const bool kill : {false, true}) {
                    World world;
                    Session session(world);
                    const QList<Expected> expected = scenario.setUp(world, session);
                    (kill ? session.files.stopAfter : session.files.failAt) = point;
                    session.files.failError = errors[point % 4];
                    scenario.act(world, session);
                    const QString where =
                        QString("%1, call %2 (%3) %4")
                            .arg(scenario.name)
                            .arg(point)
                            .arg(QString::fromStdString(session.files.calls[point].path))
                            .arg(kill ? "then killed" : QString::fromStdString(files::errorText(errors[point % 4])));
                    // Closing a lock file (it holds no data), looking for a save's stale temporary
                    // files and ending normally have no one to tell, and lose nothing.
                    const Call& call = session.files.calls[point];
                    const bool untold = (call.operation == Operation::Close && call.path.ends_with("/lock")) ||
                                        (call.operation == Operation::ListFolder &&
                                         call.path == QFile::encodeName(world.songs).toStdString()) ||
                                        (session.teardownFrom >= 0 && point >= session.teardownFrom);
                    if (!kill && !untold)
                        QVERIFY2(session.told(), qPrintable(where + ": nobody was told"));
                    const bool asked = !session.editor || !session.editor->prompts.restorePrompts.isEmpty();
                    if (!kill && session.editor) {
                        session.files.failAt = -1;
                        session.keeper().write();
                    }
                    if (session.editor)
                        session.kill();
                    checkNextStart(world, expected, kill, asked, where);
                    if (QTest::currentTestFailed())
                        return;
                }
            }
        }
    }

    // An editor restores what a killed one left on a disk with no room for its own copies: it
    // says so once, in a box and then in the status bar, keeps the old copies, and deletes them
    // only once it holds the songs itself, when the disk has room again. Killed before or after,
    // it loses nothing. A store whose folder cannot even be made or locked says so at its first write.
    void aFullDiskKeepsTheOldCopiesAndIsToldUntilItHasRoomAgain() {
        const QString full = RecoveryKeeper::failureText(ENOSPC);
        QCOMPARE(full, QString("Unsaved songs cannot be kept for recovery: No space left on device"));
        for (const bool room : {false, true}) {
            World world;
            const QList<Expected> expected = leaveBehind(world);
            Session session(world);
            const std::string own = QFile::encodeName(session.store->folder()).toStdString();
            session.files.failWhen = [&own](const Call& call) {
                return call.operation == Operation::CreateTemporary && call.path.starts_with(own) ? ENOSPC : 0;
            };
            session.editor->prompts.restoreAnswers = {true};
            session.main().restoreLeftBehind();
            QCOMPARE(session.main().documents().size(), 2);
            session.keeper().write();  // the next interval fails again, and shows no second box
            QCOMPARE(session.editor->prompts.messages, (QList{RecordedMessage{MessageIcon::Warning, "Tromel", full}}));
            QCOMPARE(session.main().statusBar()->currentMessage(), full);
            if (room) {
                session.files.failWhen = nullptr;
                session.keeper().write();
                QCOMPARE(session.main().statusBar()->currentMessage(),
                         QString("Unsaved songs are kept for recovery again."));
                QCOMPARE(QDir(world.root).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);  // its own
            }
            session.kill();
            checkNextStart(world, expected, true, false, room ? "with room again" : "on a full disk");
        }

        // A folder that cannot be made (its root under a file), or not locked: no store silently
        // off, but a failure told at the first write.
        for (const int error : {ENOTDIR, EIO}) {
            World world;
            QFile blocking(world.folder.filePath("state"));
            QVERIFY(blocking.open(QIODevice::WriteOnly));
            if (error == ENOTDIR)
                world.root = blocking.fileName() + "/recovery";
            FaultyFileSystem unlockable;
            unlockable.failWhen = [](const Call& call) { return call.operation == Operation::Lock ? EIO : 0; };
            RecoveryStore store(world.root, error == EIO ? unlockable : files::systemFileSystem());
            TestEditor editor;
            editor.mainWindow->keepRecovery(&store, 3600 * 1000);
            setTempo(editor.mainWindow->newFile(), 150);
            editor.mainWindow->findChild<RecoveryKeeper*>()->write();
            QCOMPARE(editor.prompts.messages.size(), 1);
            QCOMPARE(editor.prompts.messages[0].text, RecoveryKeeper::failureText(error));
            QVERIFY(!store.holds(1));
        }
    }

    // Only plain names of the store's own pattern are taken from an index: "." and ".." and paths
    // out of the folder are neither offered nor reported nor written back. A FIFO named like a
    // song is reported as unreadable without a wait, and kept.
    void indexEntriesNamingNoSongOfTheStoreArePassedOver() {
        World world;
        const QString folder = world.root + "/1-2-3";
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile(folder + "/lock").open(QIODevice::WriteOnly));
        Song song;
        song.tempo = 321;
        QVERIFY(saveOrgFile(song, QFile::encodeName(folder + "/song-1.org").toStdString()).ok);
        QCOMPARE(::mkfifo(QFile::encodeName(folder + "/song-2.org").constData(), 0600), 0);
        QFile index(folder + "/index.json");
        QVERIFY(index.open(QIODevice::WriteOnly));
        index.write(R"({"songs": [{"file": "."}, {"file": ".."}, {"file": "../1-2-3/song-1.org"}, {"file": "lock"},
                      {"file": "song-1.org", "fileName": "/x/kept.org", "caption": "kept.org"},
                      {"file": "song-2.org", "fileName": "null", "caption": "NewData.org"}]})");
        index.close();
        for (const int start : {1, 2}) {
            Session session(world);
            session.editor->prompts.restoreAnswers = {true};
            session.main().restoreLeftBehind();
            const QList<DocumentWindow*> restored = session.main().documents();
            QCOMPARE(session.editor->prompts.restorePrompts, QList<int>{start == 1 ? 2 : 1});
            QCOMPARE(restored.size(), start == 1 ? 1 : 0);
            QCOMPARE(session.editor->prompts.messages.size(), 1);
            QCOMPARE(
                session.editor->prompts.messages[0].text,
                "These unsaved songs could not be read. They are kept where they are:\n\n" + folder + "/song-2.org");
            if (start == 1)
                QCOMPARE(restored[0]->caption(), QString("kept.org*"));
            session.end();
        }
    }

    // Under the root only real folders of the user's, named as stores name them and holding
    // their lock already, are taken; settling one removes only the store's own files. A folder
    // of the user's own, links under any name, a named folder without its lock or of another
    // user keep every file, and get no lock made in them.
    void nothingUnderTheRootThatNoStoreMadeIsTouched() {
        World world;
        const QString outside = world.folder.filePath("outside");
        const QMap<QString, QStringList> foreign{
            {"userstuff", {"lock", "notes.txt", "song-1.org", "index.json"}},
            {"4-5-6", {"song-1.org", "index.json"}},
            {"2-2-2", {"lock", "song-1.org"}},
            {"1-2-3", {"lock", "song-1.org", "notes.txt", ".index.json.Ab12Cd", ".song-1.org.x9"}},
            {"../outside", {"lock", "song-1.org", "notes.txt"}}};
        for (auto it = foreign.begin(); it != foreign.end(); ++it) {
            QVERIFY(QDir().mkpath(world.root + "/" + it.key()));
            for (const QString& name : it.value())
                QVERIFY(
                    saveOrgFile(Song(), QFile::encodeName(world.root + "/" + it.key() + "/" + name).toStdString()).ok);
        }
        QVERIFY(QFile::link(outside, world.root + "/mylink"));
        QVERIFY(QFile::link(outside, world.root + "/7-8-9"));
        FaultyFileSystem files;
        files.othersOwn = [](const files::Path& path) { return path.filename() == "2-2-2"; };
        {
            RecoveryStore store(world.root, files);
            TestEditor editor;
            editor.mainWindow->keepRecovery(&store, 3600 * 1000);
            editor.prompts.restoreAnswers = {false};
            editor.mainWindow->restoreLeftBehind();
            QCOMPARE(editor.prompts.restorePrompts, QList<int>{1});  // 1-2-3's song alone
            QCOMPARE(editor.prompts.messages.size(), 0);
        }
        // What is not the store's is looked at, never opened, listed or removed.
        for (const Call& call : files.calls) {
            for (const char* name : {"/userstuff", "/mylink", "/7-8-9", "/2-2-2"}) {
                QVERIFY2(call.operation == Operation::Status || call.path.find(name) == std::string::npos,
                         call.path.c_str());
            }
        }
        const auto namesIn = [](const QString& folder) {
            return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
        };
        QCOMPARE(namesIn(world.root), (QStringList{"1-2-3", "2-2-2", "4-5-6", "7-8-9", "mylink", "userstuff"}));
        QCOMPARE(namesIn(world.root + "/1-2-3"), QStringList{"notes.txt"});
        for (auto it = foreign.begin(); it != foreign.end(); ++it) {
            QStringList names = it.value();
            names.sort();
            if (it.key() != "1-2-3")
                QCOMPARE(namesIn(world.root + "/" + it.key()), names);
        }
    }

    // A settled folder whose index could not be removed keeps its lock, so that a later start
    // settles it again rather than never finding it.
    void aFolderThatCouldNotBeEmptiedKeepsItsLock() {
        World world;
        const QString folder = world.root + "/5-5-5";
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile(folder + "/lock").open(QIODevice::WriteOnly));
        QVERIFY(QFile(folder + "/index.json").open(QIODevice::WriteOnly));
        QVERIFY(saveOrgFile(Song(), QFile::encodeName(folder + "/song-1.org").toStdString()).ok);
        FaultyFileSystem files;
        files.failWhen = [](const Call& call) {
            return call.operation == Operation::Remove && call.path.ends_with("/index.json") ? EIO : 0;
        };
        RecoveryStore store(world.root, files);
        store.claimLeftBehind();
        QCOMPARE(store.settleClaimed({}), EIO);
        QVERIFY(QFile::exists(folder + "/lock"));
    }

    // A root that is a link is used when it leads to a folder of the user's. One that leads to
    // another's folder, or nowhere, keeps nothing and says so; a root that cannot be read says so.
    void aRootThatIsALinkOrUnreadableIsToldOf() {
        for (const QString kind : {"own", "others", "dangling", "unreadable"}) {
            World world;
            const QString target = world.folder.filePath(kind == "dangling" ? "nowhere" : "target");
            if (kind != "dangling")
                QVERIFY(QDir().mkpath(target));
            if (kind != "unreadable")
                QVERIFY(QFile::link(target, world.root));
            FaultyFileSystem files;
            files.othersOwn = [&](const files::Path& path) {
                return kind == "others" && path.filename() == "recovery";
            };
            files.failWhen = [&](const Call& call) {
                return kind == "unreadable" && call.operation == Operation::ListFolder ? EACCES : 0;
            };
            RecoveryStore store(world.root, files);
            TestEditor editor;
            editor.mainWindow->keepRecovery(&store, 3600 * 1000);
            editor.mainWindow->restoreLeftBehind();
            setTempo(editor.mainWindow->newFile(), 150);
            editor.mainWindow->findChild<RecoveryKeeper*>()->write();
            const QString text =
                kind == "own" ? QString()
                : kind == "unreadable"
                    ? "The folder for unsaved songs, " + world.root + ", cannot be read: Permission denied"
                    : "The folder for unsaved songs, " + world.root +
                          ", is a link to a folder that is not yours; unsaved songs are not kept for recovery.";
            QCOMPARE(editor.prompts.messages.size(), text.isEmpty() ? 0 : 1);
            if (!text.isEmpty())
                QCOMPARE(editor.prompts.messages[0].text, text);
            const bool kept = kind == "own" || kind == "unreadable";
            QCOMPARE(store.holds(1), kept);
            // The store's folder, made through the link or in the unreadable root; none elsewhere.
            QCOMPARE(QDir(kind == "unreadable" ? world.root : target)
                         .entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)
                         .size(),
                     kept ? 1 : 0);
        }
    }

    // Another editor starting while this one makes its folder, at every step of the making,
    // finds no folder of a running editor it could take: this one's folder stays, locked, and
    // takes its songs.
    void aStartingEditorsFolderIsNeverTakenByAnotherStartingThen() {
        World world;
        FaultyFileSystem files;
        int looks = 0;
        files.afterCall = [&world, &looks](const Call&) {
            RecoveryStore other(world.root);
            const RecoveryStore::Claim claim = other.claimLeftBehind();
            looks += claim.songs.isEmpty() && claim.problems.isEmpty();
            other.settleClaimed({});
        };
        RecoveryStore store(world.root, files);
        files.afterCall = nullptr;
        QCOMPARE(looks, static_cast<int>(files.calls.size()));
        QVERIFY(looks >= 4);
        QCOMPARE(QDir(world.root).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QFileInfo(store.folder()).fileName()});
        QCOMPARE(store.write(1, Song(), "null", "NewData.org"), 0);
        int fd = -1;
        QCOMPARE(files::systemFileSystem().lock(QFile::encodeName(store.folder() + "/lock").toStdString(), false, fd),
                 EWOULDBLOCK);
    }
};

const bool registered = registerUiTest<RecoveryTest>();

}  // namespace
}  // namespace tromel::test

#include "RecoveryTest.moc"
