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

int firstError(int first, int second) {
    return first != 0 ? first : second;
}

}  // namespace

RecoveryKeeper::RecoveryKeeper(QWidget* window, Prompts& prompts, Host host)
    : QObject(window), m_window(window), m_prompts(prompts), m_host(std::move(host)) {}

QString RecoveryKeeper::failureText(int error) {
    return "Unsaved songs cannot be kept for recovery: " + QString::fromStdString(files::errorText(error));
}

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
            report(m_store->remove(id));
    });
    connect(document, &QObject::destroyed, this, [this, id] {
        if (m_store)
            report(m_store->remove(id));
    });
}

int RecoveryKeeper::writeModified() {
    if (!m_store)
        return 0;
    int error = 0;
    for (DocumentWindow* document : m_host.documents()) {
        const int id = document->property(recoveryIdProperty).toInt();
        if (!document->isModified() || (m_store->holds(id) && !document->property(recoveryStaleProperty).toBool()))
            continue;
        const int written = m_store->write(id, document->song(), document->fileName(), document->plainCaption());
        if (written == 0)
            document->setProperty(recoveryStaleProperty, false);
        error = firstError(error, written);
    }
    return firstError(error, m_store->tidy());
}

void RecoveryKeeper::write() {
    report(writeModified());
}

// Written whether or not the store holds the song already: the copy may be under another name.
int RecoveryKeeper::keepWhileWriting(QObject* document, const Song& song, const QString& fileName,
                                     const QString& caption) {
    if (!m_store)
        return 0;
    const int error = m_store->write(document->property(recoveryIdProperty).toInt(), song, fileName, caption);
    if (error == 0)
        document->setProperty(recoveryStaleProperty, false);
    return error;
}

void RecoveryKeeper::writtenWhole(QObject* document) {
    const auto* window = qobject_cast<DocumentWindow*>(document);
    if (m_store && window && !window->isModified())
        report(m_store->remove(window->property(recoveryIdProperty).toInt()));
}

// Work goes on whatever happens here; the box is shown once a run of failures, so that an
// interval that fails again does not stack boxes, and the status bar keeps the latest word.
void RecoveryKeeper::report(int error) {
    if (error == 0) {
        if (m_failing)
            m_host.showStatus(recoveredText);
        m_failing = false;
        return;
    }
    const QString text = failureText(error);
    m_host.showStatus(text);
    if (m_failing)
        return;
    m_failing = true;
    m_prompts.message(m_window, MessageIcon::Warning, "Tromel", text);
}

void RecoveryKeeper::restoreLeftBehind() {
    if (!m_store)
        return;
    const RecoveryStore::Claim claim = m_store->claimLeftBehind();
    if (!claim.refusal.isEmpty())
        m_prompts.message(m_window, MessageIcon::Warning, "Tromel", claim.refusal);
    QStringList unreadable = claim.problems;
    QList<RecoveredSong> kept;
    if (!claim.songs.isEmpty() && m_prompts.askRestore(m_window, static_cast<int>(claim.songs.size()))) {
        for (const RecoveredSong& song : claim.songs) {
            DocumentWindow* document = m_host.newDocument();
            if (!document->openRecovered(song.recoveryPath, song.fileName, song.caption)) {
                m_host.closeDocument(document);
                kept << song;
                unreadable << song.recoveryPath;
                continue;
            }
            m_store->adopt(document->property(recoveryIdProperty).toInt(), song);
        }
        // Each old copy goes only once this editor holds the restored song whole.
        write();
    }
    if (const int error = m_store->settleClaimed(kept))
        report(error);
    if (!unreadable.isEmpty()) {
        m_prompts.message(
            m_window, MessageIcon::Warning, "Tromel",
            "These unsaved songs could not be read. They are kept where they are:\n\n" + unreadable.join('\n'));
    }
}

void RecoveryKeeper::keepForNextStart() {
    if (!m_store)
        return;
    // Nobody is there to answer a message now; what could not be written stays as it was.
    writeModified();
    m_store->keepOnExit();
}

}  // namespace tromel
