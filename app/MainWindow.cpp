// The main window: menus, the document windows, and the order in which the program shuts down.
#include "app/MainWindow.h"

#include "app/MenuBarSpace.h"
#include "app/OpenSongFiles.h"
#include "app/RecoveryKeeper.h"
#include "app/WindowCascade.h"
#include "audio/render/RunningRenders.h"
#include "document/DocumentLayout.h"
#include "document/DocumentWindow.h"
#include "document/RecentSongsMenu.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionTitleBar>

#include <cstdlib>

namespace tromel {
namespace {

constexpr int mainMinimumWidth = 593;
constexpr int mainMinimumHeight = 490;
// A render stops within a block of sound; the program must be gone within a second.
constexpr std::chrono::milliseconds renderCancelWait{500};

DocumentWindow* documentOf(QMdiSubWindow* subWindow) {
    return subWindow ? qobject_cast<DocumentWindow*>(subWindow->widget()) : nullptr;
}

// A window springs back to its minimum outer size only in its normal state: a maximized one
// fills the area, however small the main window is.
void applyMinimumOfState(QMdiSubWindow* subWindow, Qt::WindowStates state) {
    if (!(state & (Qt::WindowMaximized | Qt::WindowMinimized))) {
        subWindow->setMinimumSize(documentMinimumWidth, documentMinimumHeight);
        return;
    }
    subWindow->setMinimumSize(0, 0);
    // The area sized a maximized window while the normal minimum still held it back.
    if ((state & Qt::WindowMaximized) && subWindow->mdiArea())
        subWindow->resize(subWindow->mdiArea()->viewport()->size());
}

void keepMinimumWhenNormal(QMdiSubWindow* subWindow) {
    applyMinimumOfState(subWindow, subWindow->windowState());
    QObject::connect(subWindow, &QMdiSubWindow::windowStateChanged, subWindow,
                     [subWindow](Qt::WindowStates, Qt::WindowStates state) { applyMinimumOfState(subWindow, state); });
}

// Ctrl+W is the document's File > Close; the frame's own Close would make the key ambiguous.
void keepCtrlWForFileClose(QMdiSubWindow* subWindow) {
    for (QAction* action : subWindow->systemMenu()->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        if (keys.removeAll(QKeySequence("Ctrl+W")) > 0)
            action->setShortcuts(keys);
    }
}

// The local files among dropped ones whose name ends in ".org".
QStringList droppedSongs(const QMimeData* data) {
    QStringList songs;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && url.toLocalFile().endsWith(".org", Qt::CaseInsensitive))
            songs << url.toLocalFile();
    }
    return songs;
}

}  // namespace

MainWindow::MainWindow(EditorContext& context, QWidget* parent) : QMainWindow(parent), m_context(context) {
    setObjectName("winMain");
    setWindowTitle("Tromel");
    setMinimumSize(mainMinimumWidth, mainMinimumHeight);
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName("mdiArea");
    setCentralWidget(m_mdiArea);
    // Windows placed or dragged beyond the area stay reachable.
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_programWindows.setOwner(this);
    statusBar()->setObjectName("statusMain");
    m_programWindows.setSampleFolder(m_context.sampleFolder);
    m_recovery = new RecoveryKeeper(
        this, m_context.prompts,
        {[this] { return documents(); }, [this] { return newFile(); },
         [this](DocumentWindow* document) { closeDocument(qobject_cast<QMdiSubWindow*>(document->parentWidget())); },
         [this](const QString& text) { statusBar()->showMessage(text); }});
    m_context.safekeeping = m_recovery;
    m_context.openSongFiles = [this] { return openSongFiles(documents()); };
    setAcceptDrops(true);
    createMainMenus();
    createWindowMenu();
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &MainWindow::showMenusOf);
    showMenusOf(nullptr);
    new MenuBarSpace(menuBar(), [this] { return activeDocument(); });
}

MainWindow::~MainWindow() {
    // A document closed but not yet deleted goes with this window's children, when this window is
    // no longer a MainWindow: nothing it signals may reach here then.
    for (DocumentWindow* document : findChildren<DocumentWindow*>()) {
        document->disconnect(this);
        document->disconnect(m_recovery);
    }
    // The document windows go before the menus they show are torn down with this window.
    for (QMdiSubWindow* subWindow : m_mdiArea->subWindowList())
        delete subWindow;
    m_context.safekeeping = nullptr;
    m_context.openSongFiles = nullptr;
}

void MainWindow::createMainMenus() {
    m_fileMenu = new QMenu("&File", this);
    m_fileMenu->setObjectName("menuFile");
    m_fileMenu->addAction("New", QKeySequence::New, this, &MainWindow::newFile);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction("Open", QKeySequence::Open, this, &MainWindow::clickOpen);
    m_fileMenu->addAction("Import MIDI...", this, &MainWindow::importMidi);
    connect(new RecentSongsMenu(m_fileMenu), &RecentSongsMenu::songChosen, this, &MainWindow::openFile);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction("Save", QKeySequence::Save)->setEnabled(false);
    m_fileMenu->addAction("Save As...", QKeySequence("Ctrl+Shift+S"))->setEnabled(false);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction("Quit", QKeySequence("Ctrl+Q"), this, &MainWindow::close);
    m_otherMenu = new QMenu("&Other", this);
    m_otherMenu->setObjectName("menuOther");
    m_otherMenu->addAction("About", this, &MainWindow::onAbout);
    m_otherMenu->addAction("Old Stuff");
    m_otherMenu->addAction("Mouse and Keys", this, [this] { m_programWindows.showMouseAndKeys(); });
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

// The list of windows, then Cascade and Tile. The entries belong to the menu and go with each
// refresh; the group and the two commands stay.
void MainWindow::createWindowMenu() {
    m_windowMenu = new QMenu("&Window", this);
    m_windowMenu->setObjectName("menuWindow");
    m_windowList = new QActionGroup(this);
    m_cascadeAction = new QAction("Cascade", this);
    connect(m_cascadeAction, &QAction::triggered, m_mdiArea, &QMdiArea::cascadeSubWindows);
    m_tileAction = new QAction("Tile", this);
    connect(m_tileAction, &QAction::triggered, m_mdiArea, &QMdiArea::tileSubWindows);
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MainWindow::refreshWindowMenu);
}

void MainWindow::refreshWindowMenu() {
    m_windowMenu->clear();
    QMdiSubWindow* current = m_mdiArea->currentSubWindow();
    for (QMdiSubWindow* subWindow : m_mdiArea->subWindowList()) {
        QAction* entry = m_windowMenu->addAction(subWindow->windowTitle());
        entry->setCheckable(true);
        entry->setChecked(subWindow == current);
        m_windowList->addAction(entry);
        QPointer<QMdiSubWindow> target(subWindow);
        connect(entry, &QAction::triggered, this, [this, target] {
            if (target)
                m_mdiArea->setActiveSubWindow(target);
        });
    }
    m_windowMenu->addSeparator();
    m_windowMenu->addAction(m_cascadeAction);
    m_windowMenu->addAction(m_tileAction);
}

DocumentWindow* MainWindow::newFile() {
    auto* document = new DocumentWindow(m_context);
    QMdiSubWindow* subWindow = m_mdiArea->addSubWindow(document);
    subWindow->setAttribute(Qt::WA_DeleteOnClose);
    keepCtrlWForFileClose(subWindow);
    subWindow->setWindowTitle(document->caption());
    keepMinimumWhenNormal(subWindow);
    connectDocument(document);
    subWindow->show();
    // The area maximizes a window added while another is maximized, without a change of state
    // being told, and sizes it before its minimum gives way: that one fills the area.
    if (subWindow->isMaximized()) {
        applyMinimumOfState(subWindow, subWindow->windowState());
    } else {
        const QSize frame = subWindow->size() - document->size();
        subWindow->resize(QSize(documentOpeningWidth, documentOpeningHeight) + frame);
        placeNewWindow(subWindow);
    }
    m_mdiArea->setActiveSubWindow(subWindow);
    showMenusOf(subWindow);
    return document;
}

void MainWindow::connectDocument(DocumentWindow* document) {
    connect(document, &DocumentWindow::newRequested, this, &MainWindow::newFile);
    connect(document, &DocumentWindow::openRequested, this, &MainWindow::clickOpen);
    connect(document, &DocumentWindow::importMidiRequested, this, &MainWindow::importMidi);
    connect(document, &DocumentWindow::openPathRequested, this, &MainWindow::openFile);
    connect(document, &DocumentWindow::mouseAndKeysRequested, this, [this] { m_programWindows.showMouseAndKeys(); });
    // Queued: the Exit entry belongs to a document that closing the program deletes.
    connect(document, &DocumentWindow::exitRequested, this, &MainWindow::close, Qt::QueuedConnection);
    connect(document, &DocumentWindow::aboutRequested, this, &MainWindow::onAbout);
    connect(document, &DocumentWindow::songSettingsRequested, this,
            [this, document] { document->editSongSettings(songSettingsExchange); });
    connect(document, &DocumentWindow::instrumentSettingsRequested, this, [this, document] {
        document->editChannelSettings([this, document] {
            m_programWindows.editInstrumentSettings(
                document, document->song(), [document](int kind, int ch, int n) { document->listen(kind, ch, n); });
        });
    });
    connect(document, &DocumentWindow::debugRequested, this,
            [this, document] { m_programWindows.showDebugNotes(document->song().instrumentNotes); });
    connect(document, &DocumentWindow::captionChanged, this, &MainWindow::refreshWindowMenu);
    m_recovery->watch(document);
    connect(
        document, &QObject::destroyed, this, [this] { showMenusOf(nullptr); }, Qt::QueuedConnection);
}

DocumentWindow* MainWindow::clickOpen() {
    return openInNewWindow([](DocumentWindow* document) { return document->clickOpen() != OpenOutcome::Cancelled; });
}

DocumentWindow* MainWindow::importMidi() {
    return openInNewWindow([](DocumentWindow* document) { return document->importMidi() == OpenOutcome::Opened; });
}

DocumentWindow* MainWindow::openInNewWindow(const std::function<bool(DocumentWindow*)>& fill) {
    const QPointer<QMdiSubWindow> previous = m_mdiArea->currentSubWindow();
    DocumentWindow* document = newFile();
    if (!fill(document)) {
        closeDocument(qobject_cast<QMdiSubWindow*>(document->parentWidget()));
        // The area would activate its oldest window; the one the user was in comes back instead.
        if (previous) {
            m_mdiArea->setActiveSubWindow(previous);
            showMenusOf(previous);
        }
        return nullptr;
    }
    return document;
}

DocumentWindow* MainWindow::openFile(const QString& path) {
    DocumentWindow* document = newFile();
    document->openPath(path);
    return document;
}

// New windows cascade from the newest one still in its normal state.
void MainWindow::placeNewWindow(QMdiSubWindow* subWindow) {
    QList<QPoint> taken;
    std::optional<QPoint> newest;
    for (QMdiSubWindow* other : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (other == subWindow || other->isMaximized() || other->isMinimized())
            continue;
        taken << other->pos();
        newest = other->pos();
    }
    QStyleOptionTitleBar titleBar;
    titleBar.initFrom(subWindow);
    const int step = subWindow->style()->pixelMetric(QStyle::PM_TitleBarHeight, &titleBar, subWindow);
    subWindow->move(cascadePosition(taken, newest, subWindow->size(), m_mdiArea->viewport()->size(), step));
}

// Song files dropped onto the main window open, each in its own window, as Open would.
void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedSongs(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QStringList songs = droppedSongs(event->mimeData());
    if (songs.isEmpty())
        return;
    event->acceptProposedAction();
    for (const QString& path : songs)
        openFile(path);
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
    m_recovery->keep(store, intervalMs);
}

void MainWindow::restoreLeftBehind() {
    m_recovery->restoreLeftBehind();
}

void MainWindow::keepWorkForSignal() {
    // An export under way stops first and takes its unfinished file with it.
    audio::RunningRenders::ofProcess().cancelAll(renderCancelWait);
    m_recovery->keepForNextStart();
}

// Everything worth keeping is on disk once the work is kept. Unwinding the windows, the
// libraries and their threads keeps nothing more and takes a good part of a second on a busy
// machine; from inside a modal dialog's loop, unwinding into windows being deleted is no clean way
// out at all. So the layout is kept as a close keeps it, and the process ends: the system closes
// the sound device with it, without waiting for its buffers to drain as a closing device does.
void MainWindow::endForSignal(int signal) {
    keepWorkForSignal();
    m_endWithoutAsking = true;
    m_shutDown = true;  // no document is closed one by one
    close();
    std::_Exit(128 + signal);
}

void MainWindow::onAbout() {
    m_programWindows.showAbout();
}

}  // namespace tromel
