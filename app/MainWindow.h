// The main window (`winMain`): holds the document windows and swaps in the active one's menus.
#pragma once

#include "dialogs/ProgramWindows.h"
#include "dialogs/SongSettingsExchange.h"
#include "document/EditorContext.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <cstdint>
#include <functional>

class QActionGroup;
class QDragEnterEvent;
class QDropEvent;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace tromel {

class DocumentWindow;
class RecoveryKeeper;
class RecoveryStore;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(EditorContext& context, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The song settings dialog receives and returns the song header through these.
    dialogs::SongSettingsExchange songSettingsExchange;

    // A new empty document window, shown.
    DocumentWindow* newFile();
    // A new document window asked to open a file; nothing is left behind when the user cancels.
    DocumentWindow* clickOpen();
    // A new document window asked to import a MIDI file; nothing is left behind unless it does.
    DocumentWindow* importMidi();
    // A new document window reading the file at path, as Open does once a file is chosen.
    DocumentWindow* openFile(const QString& path);

    QMdiArea* mdiArea() const { return m_mdiArea; }
    QList<DocumentWindow*> documents() const;
    DocumentWindow* activeDocument() const;
    QMenu* windowMenu() const { return m_windowMenu; }
    // Auxiliary windows are closed in the order added when the program ends, after the
    // documents and the program's own dialogs and before the audio layer is released.
    void addAuxiliaryWindow(QWidget* window);
    dialogs::ProgramWindows& programWindows() { return m_programWindows; }

    // Keeps every modified song in `store`, every `intervalMs` milliseconds and when the program
    // is ended from outside. The store outlives this window.
    void keepRecovery(RecoveryStore* store, int intervalMs);
    // Offers the songs that editors which did not close properly left behind, and opens them
    // as unsaved documents.
    void restoreLeftBehind();

public slots:
    void onAbout();
    void refreshWindowMenu();
    // SIGTERM, SIGINT or SIGHUP: keeps the work (below), then ends the program at once, asking
    // nothing (nobody is there to answer), with the exit code 128 + signal.
    void endForSignal(int signal);
    // Before the program ends from outside: a running export stops and removes its unfinished
    // file, and every modified song is written for the next start.
    void keepWorkForSignal();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createWindowMenu();
    void placeNewWindow(QMdiSubWindow* subWindow);
    void createMainMenus();
    void showMenusOf(QMdiSubWindow* subWindow);
    void closeDocument(QMdiSubWindow* subWindow);
    void connectDocument(DocumentWindow* document);
    bool confirmCloseAll();
    // A new document window that `fill` reads a song into; closed again, the window the user was
    // in coming back, when it says no.
    DocumentWindow* openInNewWindow(const std::function<bool(DocumentWindow*)>& fill);

    EditorContext& m_context;
    QMdiArea* m_mdiArea = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_otherMenu = nullptr;
    QMenu* m_windowMenu = nullptr;
    QActionGroup* m_windowList = nullptr;  // the entries of open windows, one checked
    QAction* m_cascadeAction = nullptr;
    QAction* m_tileAction = nullptr;
    QList<QPointer<QWidget>> m_auxiliaryWindows;
    dialogs::ProgramWindows m_programWindows;
    bool m_shutDown = false;
    bool m_endWithoutAsking = false;
    RecoveryKeeper* m_recovery = nullptr;
};

}  // namespace tromel
