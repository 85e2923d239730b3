// The main window's part in recovery: each modified song kept in the store, at an interval and
// when the program is ended from outside, and the songs of editors that did not close properly
// offered again at start.
#pragma once

#include "document/SongSafekeeping.h"
#include "widgets/Prompts.h"

#include <QList>
#include <QObject>

#include <functional>

class QTimer;
class QWidget;

namespace tromel {

class DocumentWindow;
class RecoveryStore;

class RecoveryKeeper : public QObject, public SongSafekeeping {
    Q_OBJECT

public:
    struct Host {
        std::function<QList<DocumentWindow*>()> documents;
        std::function<DocumentWindow*()> newDocument;
        std::function<void(DocumentWindow*)> closeDocument;  // one that could not be restored
        std::function<void(const QString&)> showStatus;      // in the main window's status bar
    };

    // Questions and messages are shown over `window`.
    RecoveryKeeper(QWidget* window, Prompts& prompts, Host host);

    // Keeps every modified song in `store`, every `intervalMs` milliseconds. The store outlives this object.
    void keep(RecoveryStore* store, int intervalMs);
    // Numbers a new document and follows its edits, saves and closing.
    void watch(DocumentWindow* document);
    // Offers the songs that editors which did not close properly left behind, and opens them
    // as unsaved documents.
    void restoreLeftBehind();
    // The program ends from outside: every modified song is written, and left for the next start.
    void keepForNextStart();
    // What each interval does: every modified song written that the store does not hold as it is.
    void write();
    // A file of several names is written in place: the song is kept first (see SongSafekeeping).
    int keepWhileWriting(QObject* document, const Song& song, const QString& fileName, const QString& caption) override;
    void writtenWhole(QObject* document) override;

    // What a failed recovery write shows: "Unsaved songs cannot be kept for recovery: REASON".
    static QString failureText(int error);
    static constexpr const char* recoveredText = "Unsaved songs are kept for recovery again.";

private:
    // Writes every modified song the store does not hold as it is; the first failure, or 0.
    int writeModified();
    // Tells the user when keeping songs starts failing (a message box, then the status bar
    // until it works again) and when it works again.
    void report(int error);

    QWidget* m_window;
    Prompts& m_prompts;
    Host m_host;
    RecoveryStore* m_store = nullptr;
    QTimer* m_timer = nullptr;
    int m_documentsMade = 0;
    bool m_failing = false;
};

}  // namespace tromel
