// The main window: menus, the document windows, and the order in which the program shuts down.
#include "app/MainWindow.h"

#include "app/RecoveryStore.h"
#include "document/DocumentLayout.h"
#include "document/DocumentWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTimer>

#include <cstdlib>

namespace tromel {
namespace {

constexpr int mainMinimumWidth = 593;
constexpr int mainMinimumHeight = 490;
// Each document's number in the recovery store, and whether it changed since it was last kept.
constexpr const char* recoveryIdProperty = "recoveryId";
constexpr const char* recoveryStaleProperty = "recoveryStale";

DocumentWindow* documentOf(QMdiSubWindow* subWindow) {
    return subWindow ? qobject_cast<DocumentWindow*>(subWindow->widget()) : nullptr;
}

}  // namespace

MainWindow::MainWindow(EditorContext& context, QWidget* parent) : QMainWindow(parent), m_context(context) {
    setObjectName("winMain");
    setWindowTitle("Tromel");
    setMinimumSize(mainMinimumWidth, mainMinimumHeight);
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName("mdiArea");
    setCentralWidget(m_mdiArea);
    createMainMenus();
    m_windowMenu = new QMenu("&Window", this);
    m_windowMenu->setObjectName("menuWindow");
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MainWindow::refreshWindowMenu);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &MainWindow::showMenusOf);
    showMenusOf(nullptr);
}

MainWindow::~MainWindow() {
    // The document windows go before the menus they show are torn down with this window.
    for (QMdiSubWindow* subWindow : m_mdiArea->subWindowList())
        delete subWindow;
}

void MainWindow::createMainMenus() {
    m_fileMenu = new QMenu("&File", this);
    m_fileMenu->setObjectName("menuFile");
    m_fileMenu->addAction("New", QKeySequence::New, this, &MainWindow::newFile);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction("Open", QKeySequence::Open, this, &MainWindow::clickOpen);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction("Save", QKeySequence::Save)->setEnabled(false);
    m_fileMenu->addAction("Save As...", QKeySequence("Ctrl+Shift+S"))->setEnabled(false);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction("Quit", QKeySequence("Ctrl+Q"), this, &MainWindow::close);
    m_otherMenu = new QMenu("&Other", this);
    m_otherMenu->setObjectName("menuOther");
    m_otherMenu->addAction("About", this, &MainWindow::onAbout);
    m_otherMenu->addAction("Old Stuff");
}

// While a document window is current its menus stand in the menu bar, the Window list before
// its last written menu and the added menus after all of them; otherwise the main window's own.
// The current window rather than the active one decides, so the menus do not flip when the
// application merely loses the focus.
void MainWindow::showMenusOf(QMdiSubWindow*) {
    QMenuBar* bar = menuBar();
    bar->clear();
    DocumentWindow* document = activeDocument();
    if (document == nullptr) {
        bar->addMenu(m_fileMenu);
        bar->addMenu(m_otherMenu);
        return;
    }
    const QList<QMenu*> menus = document->menus();
    for (int i = 0; i < menus.size(); ++i) {
        if (i == menus.size() - 1)
            bar->addMenu(m_windowMenu);
        bar->addMenu(menus[i]);
    }
    for (QMenu* menu : document->addedMenus())
        bar->addMenu(menu);
    refreshWindowMenu();
}

DocumentWindow* MainWindow::activeDocument() const {
    QMdiSubWindow* current = m_mdiArea->currentSubWindow();
    if (current == nullptr || !m_mdiArea->subWindowList().contains(current))
        return nullptr;
    return documentOf(current);
}

QList<DocumentWindow*> MainWindow::documents() const {
    QList<DocumentWindow*> result;
    for (QMdiSubWindow* subWindow : m_mdiArea->subWindowList()) {
        if (DocumentWindow* document = documentOf(subWindow))
            result << document;
    }
    return result;
}

void MainWindow::refreshWindowMenu() {
    m_windowMenu->clear();
    auto* group = new QActionGroup(m_windowMenu);
    QMdiSubWindow* current = m_mdiArea->currentSubWindow();
    for (QMdiSubWindow* subWindow : m_mdiArea->subWindowList()) {
        QAction* entry = m_windowMenu->addAction(subWindow->windowTitle());
        entry->setCheckable(true);
        entry->setChecked(subWindow == current);
        group->addAction(entry);
        QPointer<QMdiSubWindow> target(subWindow);
        connect(entry, &QAction::triggered, this, [this, target] {
            if (target)
                m_mdiArea->setActiveSubWindow(target);
        });
    }
}

DocumentWindow* MainWindow::newFile() {
    auto* document = new DocumentWindow(m_context);
    QMdiSubWindow* subWindow = m_mdiArea->addSubWindow(document);
    subWindow->setAttribute(Qt::WA_DeleteOnClose);
    subWindow->setWindowTitle(document->caption());
    // The spring-back size is the outer one; the window opens with a 593 x 552 client area.
    subWindow->setMinimumSize(documentMinimumWidth, documentMinimumHeight);
    connectDocument(document);
    subWindow->show();
    // The area maximizes a window added while another is maximized; that one fills the area.
    if (!subWindow->isMaximized()) {
        const QSize frame = subWindow->size() - document->size();
        subWindow->resize(QSize(documentOpeningWidth, documentOpeningHeight) + frame);
    }
    m_mdiArea->setActiveSubWindow(subWindow);
    showMenusOf(subWindow);
    return document;
}

void MainWindow::connectDocument(DocumentWindow* document) {
    connect(document, &DocumentWindow::newRequested, this, &MainWindow::newFile);
    connect(document, &DocumentWindow::openRequested, this, &MainWindow::clickOpen);
    // Queued: the Exit entry belongs to a document that closing the program deletes.
    connect(document, &DocumentWindow::exitRequested, this, &MainWindow::close, Qt::QueuedConnection);
    connect(document, &DocumentWindow::aboutRequested, this, &MainWindow::onAbout);
    connect(document, &DocumentWindow::songSettingsRequested, this,
            [this, document] { document->editSongSettings(songSettingsExchange); });
    connect(document, &DocumentWindow::instrumentSettingsRequested, this, [this, document] {
        document->editChannelSettings(
            [this, document] { m_programWindows.editInstrumentSettings(document, document->song()); });
    });
    connect(document, &DocumentWindow::debugRequested, this,
            [this, document] { m_programWindows.showDebugNotes(document->song().instrumentNotes); });
    connect(document, &DocumentWindow::captionChanged, this, &MainWindow::refreshWindowMenu);
    const int id = ++m_documentsMade;
    document->setProperty(recoveryIdProperty, id);
    connect(document, &DocumentWindow::songEdited, this,
            [document] { document->setProperty(recoveryStaleProperty, true); });
    // Saved, undone back to its saved state, or closed: the song needs no recovery any more.
    connect(document, &DocumentWindow::modifiedChanged, this, [this, id](bool modified) {
        if (!modified && m_recovery)
            m_recovery->remove(id);
    });
    connect(document, &QObject::destroyed, this, [this, id] {
        if (m_recovery)
            m_recovery->remove(id);
    });
    connect(
        document, &QObject::destroyed, this, [this] { showMenusOf(nullptr); }, Qt::QueuedConnection);
}

DocumentWindow* MainWindow::clickOpen() {
    DocumentWindow* document = newFile();
    if (document->clickOpen() == OpenOutcome::Cancelled) {
        closeDocument(qobject_cast<QMdiSubWindow*>(document->parentWidget()));
        return nullptr;
    }
    return document;
}

void MainWindow::closeDocument(QMdiSubWindow* subWindow) {
    if (subWindow == nullptr)
        return;
    m_mdiArea->removeSubWindow(subWindow);
    delete subWindow;
    showMenusOf(nullptr);
}

void MainWindow::addAuxiliaryWindow(QWidget* window) {
    m_auxiliaryWindows << QPointer<QWidget>(window);
}

// Every modified document is asked about first, each shown as it is asked; one Cancel, or a
// save that does not happen, keeps every window open. Then every document closes (each stops its
// instrument channels), then the auxiliary windows, then the audio layer.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (!m_shutDown) {
        if (!m_endWithoutAsking && !confirmCloseAll()) {
            event->ignore();
            return;
        }
        m_shutDown = true;
        for (QMdiSubWindow* subWindow : m_mdiArea->subWindowList())
            closeDocument(subWindow);
        m_programWindows.closeAll();
        for (const QPointer<QWidget>& window : m_auxiliaryWindows) {
            if (window)
                window->close();
        }
        m_context.layer.release();
    }
    event->accept();
}

bool MainWindow::confirmCloseAll() {
    for (QMdiSubWindow* subWindow : m_mdiArea->subWindowList()) {
        DocumentWindow* document = documentOf(subWindow);
        if (document == nullptr || !document->isModified())
            continue;
        m_mdiArea->setActiveSubWindow(subWindow);
        if (!document->confirmClose())
            return false;
    }
    return true;
}

void MainWindow::keepRecovery(RecoveryStore* store, int intervalMs) {
    m_recovery = store;
    if (!m_recoveryTimer) {
        m_recoveryTimer = new QTimer(this);
        connect(m_recoveryTimer, &QTimer::timeout, this, &MainWindow::writeRecovery);
    }
    m_recoveryTimer->start(intervalMs);
}

void MainWindow::writeRecovery() {
    if (!m_recovery)
        return;
    for (DocumentWindow* document : documents()) {
        const int id = document->property(recoveryIdProperty).toInt();
        if (!document->isModified() || (m_recovery->holds(id) && !document->property(recoveryStaleProperty).toBool()))
            continue;
        if (m_recovery->write(id, document->song(), document->fileName(), document->plainCaption()))
            document->setProperty(recoveryStaleProperty, false);
    }
}

void MainWindow::restoreLeftBehind() {
    if (!m_recovery)
        return;
    const QList<RecoveredSong> songs = m_recovery->claimLeftBehind();
    if (songs.isEmpty()) {
        m_recovery->settleClaimed({});
        return;
    }
    if (!m_context.prompts.askRestore(this, static_cast<int>(songs.size()))) {
        m_recovery->settleClaimed({});
        return;
    }
    QList<RecoveredSong> unreadable;
    for (const RecoveredSong& song : songs) {
        DocumentWindow* document = newFile();
        if (!document->openRecovered(song.recoveryPath, song.fileName, song.caption)) {
            closeDocument(qobject_cast<QMdiSubWindow*>(document->parentWidget()));
            unreadable << song;
        }
    }
    // The restored songs are kept by this editor before the old copies go.
    writeRecovery();
    m_recovery->settleClaimed(unreadable);
    if (!unreadable.isEmpty()) {
        QStringList paths;
        for (const RecoveredSong& song : unreadable)
            paths << song.recoveryPath;
        m_context.prompts.message(
            this, MessageIcon::Warning, "Tromel",
            "These unsaved songs could not be read. They are kept where they are:\n\n" + paths.join('\n'));
    }
}

void MainWindow::endForSignal(int signal) {
    if (m_recovery) {
        writeRecovery();
        m_recovery->keepOnExit();
    }
    m_endWithoutAsking = true;
    const int code = 128 + signal;
    if (QApplication::activeModalWidget() != nullptr) {
        // A modal dialog's loop runs inside some window's handler; unwinding into windows being
        // deleted is no clean way out. Everything worth keeping is on disk now.
        m_context.layer.release();
        std::_Exit(code);
    }
    close();
    QCoreApplication::exit(code);
}

void MainWindow::onAbout() {
    m_programWindows.showAbout();
}

}  // namespace tromel
