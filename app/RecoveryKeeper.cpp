// The main window's part in recovery: the periodic write, the restore at start, the write at a signal.
#include "app/RecoveryKeeper.h"

#include "app/RecoveryStore.h"
#include "document/DocumentWindow.h"

#include <QTimer>

namespace tromel {
namespace {

// Each document's number in the recovery store, and whether it changed since it was last kept.
constexpr const char* recoveryIdProperty = "recoveryId";
constexpr const char* recoveryStaleProperty = "recoveryStale";

}  // namespace

RecoveryKeeper::RecoveryKeeper(QWidget* window, Prompts& prompts, Host host)
    : QObject(window), m_window(window), m_prompts(prompts), m_host(std::move(host)) {}

void RecoveryKeeper::keep(RecoveryStore* store, int intervalMs) {
    m_store = store;
    if (!m_timer) {
        m_timer = new QTimer(this);
        connect(m_timer, &QTimer::timeout, this, &RecoveryKeeper::write);
    }
    m_timer->start(intervalMs);
}

void RecoveryKeeper::watch(DocumentWindow* document) {
    const int id = ++m_documentsMade;
    document->setProperty(recoveryIdProperty, id);
    connect(document, &DocumentWindow::songEdited, this,
            [document] { document->setProperty(recoveryStaleProperty, true); });
    // Saved, undone back to its saved state, or closed: the song needs no recovery any more.
    connect(document, &DocumentWindow::modifiedChanged, this, [this, id](bool modified) {
        if (!modified && m_store)
            m_store->remove(id);
    });
    connect(document, &QObject::destroyed, this, [this, id] {
        if (m_store)
            m_store->remove(id);
    });
}

void RecoveryKeeper::write() {
    if (!m_store)
        return;
    for (DocumentWindow* document : m_host.documents()) {
        const int id = document->property(recoveryIdProperty).toInt();
        if (!document->isModified() || (m_store->holds(id) && !document->property(recoveryStaleProperty).toBool()))
            continue;
        if (m_store->write(id, document->song(), document->fileName(), document->plainCaption()))
            document->setProperty(recoveryStaleProperty, false);
    }
}

void RecoveryKeeper::restoreLeftBehind() {
    if (!m_store)
        return;
    const QList<RecoveredSong> songs = m_store->claimLeftBehind();
    if (songs.isEmpty() || !m_prompts.askRestore(m_window, static_cast<int>(songs.size()))) {
        m_store->settleClaimed({});
        return;
    }
    QList<RecoveredSong> unreadable;
    for (const RecoveredSong& song : songs) {
        DocumentWindow* document = m_host.newDocument();
        if (!document->openRecovered(song.recoveryPath, song.fileName, song.caption)) {
            m_host.closeDocument(document);
            unreadable << song;
        }
    }
    // The restored songs are kept by this editor before the old copies go.
    write();
    m_store->settleClaimed(unreadable);
    if (!unreadable.isEmpty()) {
        QStringList paths;
        for (const RecoveredSong& song : unreadable)
            paths << song.recoveryPath;
        m_prompts.message(
            m_window, MessageIcon::Warning, "Tromel",
            "These unsaved songs could not be read. They are kept where they are:\n\n" + paths.join('\n'));
    }
}

void RecoveryKeeper::keepForNextStart() {
    if (!m_store)
        return;
    write();
    m_store->keepOnExit();
}

}  // namespace tromel
