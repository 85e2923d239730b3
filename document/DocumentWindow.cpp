// The document window: owns one song for its whole life, shows it in the roll and plays it.
#include "document/DocumentWindow.h"

#include "audio/ui/TransportControls.h"
#include "dialogs/SongSettingsDialog.h"
#include "document/DocumentLayout.h"
#include "document/EditCommands.h"
#include "document/NoteInput.h"
#include "document/PlaybackWiring.h"
#include "document/PointerStatus.h"
#include "document/RecentSongsMenu.h"
#include "document/ViewCommands.h"
#include "roll/ui/ChannelSelector.h"
#include "roll/ui/PianoRoll.h"
#include "roll/ui/RollRuler.h"
#include "widgets/ProgramSettings.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QUndoStack>

namespace tromel {
namespace {

constexpr int verticalScrollMaximum = 65;

}  // namespace

DocumentWindow::DocumentWindow(EditorContext& context, QWidget* parent) : QWidget(parent), m_context(context) {
    setObjectName("winFile");
    createControls();
    createRooms();
    orderTabStops();
    createMenus();
    watchPointer();
    m_edits->connectRoll();
    resize(documentOpeningWidth, documentOpeningHeight);
    layoutControls();
    load();
}

// The transport goes first: its destructor stops this document's instrument channels. The
// history goes quietly: cleared as Qt deletes it, after this window's members, it would
// otherwise announce a clean state to a window that is no longer there.
DocumentWindow::~DocumentWindow() {
    m_edits->history()->disconnect();
    m_input.reset();
    m_playback.reset();
    m_midi.reset();
    m_file.reset();
    m_view.reset();
    m_edits.reset();
}

void DocumentWindow::createControls() {
    m_pianoRoll = new roll::PianoRoll(m_context.pictures, this);
    connect(m_pianoRoll, &roll::PianoRoll::wheelTurned, this,
            [this](QPoint delta, Qt::KeyboardModifiers modifiers, QPointF at) {
                m_view->scrollByWheel(delta, modifiers, at);
            });
    connect(m_pianoRoll, &roll::PianoRoll::picturesReset, this, &DocumentWindow::drawRoll, Qt::QueuedConnection);
    createScrollBars();
    m_channels = new roll::ChannelSelector(this);
    connect(m_channels, &roll::ChannelSelector::channelSelected, this, &DocumentWindow::selectChannel);
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName("StatusBar1");
    m_statusBar->setSizeGripEnabled(false);
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName("ProgressBar1");
    m_progressBar->setTextVisible(false);
    m_progressBar->setRange(0, 100);
    m_progressBar->raise();
}

void DocumentWindow::createScrollBars() {
    m_rollXScroll = new QScrollBar(Qt::Horizontal, this);
    m_rollXScroll->setObjectName("rollXScroll");
    m_rollXScroll->setPageStep(16);
    m_rollYScroll = new QScrollBar(Qt::Vertical, this);
    m_rollYScroll->setObjectName("rollYScroll");
    m_rollYScroll->setRange(0, verticalScrollMaximum);
    m_rollYScroll->setPageStep(8);
    m_rollYScroll->setValue(2);
}

// The rooms call one another through the window, so each may be made before the next.
void DocumentWindow::createRooms() {
    m_playback = std::make_unique<PlaybackWiring>(this, m_context, m_song, m_edit, *m_statusBar, *m_progressBar);
    m_edits = std::make_unique<EditCommands>(
        this, m_song, m_edit, *m_pianoRoll,
        EditCommands::Host{[this] { drawNotes(); }, [this](const std::string& text) { setStatusText(text); },
                           [this](const NoteRec& note) { m_view->previewNote(note); },
                           [this] { return m_view->pasteColumn(); }});
    m_view = std::make_unique<ViewCommands>(m_context, m_song, m_edit, *m_pianoRoll, *m_rollXScroll, *m_rollYScroll,
                                            *m_statusBar, *m_edits, *m_playback, [this] { resizeEvent(nullptr); });
    m_file = std::make_unique<FileCommands>(
        this, m_context, m_song, *m_edits->history(),
        FileCommands::Host{[this] { finishGesture(); }, [this] { drawNotes(); }, [this] { showOpenedSong(); },
                           [this](const QString& path) { emit openPathRequested(path); }});
    m_midi = std::make_unique<MidiCommands>(this, m_context, m_song, *m_file, [this] { finishGesture(); });
    m_input = std::make_unique<NoteInput>(this, m_context, m_song, m_edit, *m_edits, *m_view, *m_playback, *m_channels);
    connect(m_playback.get(), &PlaybackWiring::stepHeard, m_view.get(), &ViewCommands::followPlayCursor);
    connect(m_file.get(), &FileCommands::captionChanged, this, &DocumentWindow::updateCaption);
    QUndoStack* history = m_edits->history();
    connect(history, &QUndoStack::cleanChanged, this, [this](bool clean) {
        updateCaption();
        emit modifiedChanged(!clean);
    });
    connect(history, &QUndoStack::indexChanged, this, &DocumentWindow::songEdited);
    connect(history, &QUndoStack::indexChanged, m_view.get(), &ViewCommands::songChanged);
}

// Tab goes through the window as read: the roll and its bars, the channel buttons, the transport,
// then the mute boxes.
void DocumentWindow::orderTabStops() {
    m_rollXScroll->setFocusPolicy(Qt::TabFocus);
    m_rollYScroll->setFocusPolicy(Qt::TabFocus);
    const audio::TransportControls& controls = transportControls();
    QList<QWidget*> order{m_pianoRoll, m_rollXScroll, m_rollYScroll};
    for (int i = 0; i < 8; ++i)
        order << m_channels->instButton(i);
    for (int i = 0; i < 8; ++i)
        order << m_channels->drumButton(i);
    order << controls.playButton() << controls.pauseButton() << controls.stopButton();
    for (int i = 0; i < 16; ++i)
        order << controls.muteCheck(i);
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void DocumentWindow::createMenus() {
    // A command that opens a dialog or window first ends a mouse gesture still under way.
    const auto finishingFirst = [this](void (DocumentWindow::*signal)()) {
        return [this, signal] {
            finishGesture();
            emit(this->*signal)();
        };
    };
    m_fileMenu = new QMenu("&File", this);
    m_fileMenu->setObjectName("menuFile");
    m_fileMenu->addAction("New", QKeySequence::New, this, finishingFirst(&DocumentWindow::newRequested));
    m_fileMenu->addSeparator();
    m_fileMenu->addAction("Open", QKeySequence::Open, this, finishingFirst(&DocumentWindow::openRequested));
    m_fileMenu->addAction("Import MIDI...", this, finishingFirst(&DocumentWindow::importMidiRequested));
    connect(new RecentSongsMenu(m_fileMenu), &RecentSongsMenu::songChosen, this, &DocumentWindow::openPathRequested);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction("Save", QKeySequence::Save, this, &DocumentWindow::save);
    m_fileMenu->addAction("Save As...", QKeySequence("Ctrl+Shift+S"), this, &DocumentWindow::saveAs);
    m_fileMenu->addAction("Export Audio...", this, &DocumentWindow::exportAudio);
    m_fileMenu->addAction("Export MIDI...", this, &DocumentWindow::exportMidi);
    m_fileMenu->addAction("Close", QKeySequence("Ctrl+W"), this, &DocumentWindow::closeWindow);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction("Exit", QKeySequence("Ctrl+Q"), this, finishingFirst(&DocumentWindow::exitRequested));
    m_settingsMenu = new QMenu("&Settings", this);
    m_settingsMenu->setObjectName("menuSettings");
    m_settingsMenu->addAction("Song Settings", this, &DocumentWindow::onSongSettings);
    m_settingsMenu->addAction("Instrument/Drum Settings", this, &DocumentWindow::onInstrumentSettings);
    m_otherMenu = new QMenu("&Other", this);
    m_otherMenu->setObjectName("menuOther");
    m_otherMenu->addAction("About", this, &DocumentWindow::onAbout);
    m_otherMenu->addAction("Debug", this, &DocumentWindow::onDebug);
    m_otherMenu->addAction("Mouse and Keys", this, &DocumentWindow::mouseAndKeysRequested);
    m_editMenu = new QMenu("&Edit", this);
    m_editMenu->setObjectName("menuEdit");
    m_edits->addTo(m_editMenu);
    m_viewMenu = new QMenu("&View", this);
    m_viewMenu->setObjectName("menuView");
    m_view->addTo(m_viewMenu);
    m_input->addTo(m_editMenu, m_viewMenu, m_settingsMenu);
}

QList<QMenu*> DocumentWindow::addedMenus() const {
    QList<QMenu*> shown;
    for (QMenu* menu : {m_editMenu, m_viewMenu}) {
        if (!menu->isEmpty())
            shown << menu;
    }
    return shown;
}

// Pointer moves over these put a text into the status bar; the controls not listed keep what
// the status bar says.
void DocumentWindow::watchPointer() {
    const audio::TransportControls& controls = transportControls();
    PointerStatus::Watched watched{{m_channels->instLabel(), m_statusBar}, {}, {}};
    for (int i = 0; i < 8; ++i)
        watched.restoring << m_channels->instButton(i) << m_channels->drumButton(i);
    for (int i = 0; i < 16; ++i)
        watched.muteBoxes << controls.muteCheck(i);
    watched.quiet = {m_rollXScroll,         m_rollYScroll,          m_progressBar,        m_channels->drumLabel(),
                     controls.playButton(), controls.pauseButton(), controls.stopButton()};
    new PointerStatus(
        this, watched, [this] { showChannelStatus(); }, [this] { setStatusText("Mute"); });
}

// A new window: empty note tables, the edit defaults, the roll drawn, the new-song settings.
void DocumentWindow::load() {
    m_song.instrumentNotes.reset();
    m_song.drumNotes.reset();
    m_edit.channelKind = 0;
    m_edit.songLength = 256;
    m_edit.lastNoteLength = 1;
    m_edit.lastNotePan = 6;
    m_edit.lastNoteVol = 166;
    m_edit.currentChannel = 0;
    m_rollXScroll->setRange(0, m_edit.songLength * 5);
    m_rollXScroll->setValue(1);
    drawRoll();
    updateCaption();
    showChannelStatus();
    m_progressBar->setValue(0);
    initSettings(m_song);
    // Both bars only ever redraw the whole roll.
    connect(m_rollXScroll, &QScrollBar::valueChanged, this, &DocumentWindow::drawRoll);
    connect(m_rollYScroll, &QScrollBar::valueChanged, this, &DocumentWindow::drawRoll);
}

void DocumentWindow::drawRoll() {
    m_view->drawRoll();
}

void DocumentWindow::drawNotes() {
    m_view->drawNotes();
}

bool DocumentWindow::isMinimizedAnywhere() const {
    const QWidget* frame = parentWidget();
    return (frame && frame->isMinimized()) || window()->isMinimized();
}

// Also called without an event when the ruler comes or goes.
void DocumentWindow::resizeEvent(QResizeEvent* event) {
    if (event)
        QWidget::resizeEvent(event);
    if (isMinimizedAnywhere())
        return;
    layoutControls();
    drawRoll();
    drawNotes();
}

// Maximizing or restoring hides this window while it is resized, so the roll only takes its new
// size, with blank pictures, when shown again: draw it once more then.
void DocumentWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    drawRoll();
}

void DocumentWindow::layoutControls() {
    const DocumentLayout layout = layoutDocument(width(), height(), m_view->rulerHeight());
    const audio::TransportControls& controls = transportControls();
    m_view->ruler()->setGeometry(layout.ruler);
    m_rollXScroll->setGeometry(layout.rollXScroll);
    m_rollYScroll->setGeometry(layout.rollYScroll);
    m_pianoRoll->setGeometry(layout.pianoRoll);
    m_channels->instLabel()->setGeometry(layout.instLabel);
    m_channels->drumLabel()->setGeometry(layout.drumLabel);
    for (int i = 0; i < 8; ++i) {
        m_channels->instButton(i)->setGeometry(layout.instButtons[i]);
        m_channels->drumButton(i)->setGeometry(layout.drumButtons[i]);
    }
    for (int i = 0; i < 16; ++i)
        controls.muteCheck(i)->setGeometry(layout.muteChecks[i]);
    controls.playButton()->setGeometry(layout.playButton);
    controls.pauseButton()->setGeometry(layout.pauseButton);
    controls.stopButton()->setGeometry(layout.stopButton);
    m_statusBar->setGeometry(layout.statusBar);
    m_progressBar->setGeometry(layout.progressBar);
}

void DocumentWindow::selectChannel(int kind, int channel) {
    m_edits->dropSelection();
    m_edit.currentChannel = static_cast<int16_t>(channel);
    m_edit.channelKind = static_cast<int16_t>(kind);
    showChannelStatus();
    drawNotes();
}

QString DocumentWindow::statusText() const {
    return m_statusBar->currentMessage();
}

void DocumentWindow::setStatusText(const std::string& text) {
    m_playback->setStatusText(text);
}

void DocumentWindow::showChannelStatus() {
    m_playback->showChannelStatus();
}

// The live counts start as the file's, and the notes are drawn (and brought into view when the
// user wants that).
void DocumentWindow::showOpenedSong() {
    for (int channel = 0; channel < 8; ++channel) {
        m_edit.noteCounts[0][channel] = m_song.instruments[channel].noteCount;
        m_edit.noteCounts[1][channel] = m_song.drums[channel].noteCount;
    }
    drawNotes();
    if (settings::showNotesWhenOpening())
        m_view->showOpenedNotes();
}

void DocumentWindow::updateCaption() {
    setWindowTitle(m_file->caption());
    if (QWidget* frame = parentWidget())
        frame->setWindowTitle(windowTitle());
    emit captionChanged();
}

QUndoStack* DocumentWindow::undoStack() const {
    return m_edits->history();
}

audio::TransportControls& DocumentWindow::transportControls() const {
    return m_playback->controls();
}

audio::Transport& DocumentWindow::transport() const {
    return m_playback->transport();
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    if (m_askOnClose && !confirmClose()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

// A gesture cannot outlive the window's activation: a dialog or another program taking over
// keeps its release from the roll.
void DocumentWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        finishGesture();
    QWidget::changeEvent(event);
}

void DocumentWindow::finishGesture() {
    if (m_edits)
        m_edits->finishGesture();
}

void DocumentWindow::recordEdit(SongEdit edit) {
    m_edits->recordEdit(std::move(edit));
}

void DocumentWindow::editChannelSettings(const std::function<void()>& edit) {
    m_edits->editChannelSettings(edit);
}

void DocumentWindow::editSongSettings(dialogs::SongSettingsExchange& exchange) {
    m_edits->editSongHeader([&] { dialogs::editSongSettings(this, m_song, exchange, m_songSettingsDialog); });
}

void DocumentWindow::goToNotes() {
    m_view->goToNotes();
}

void DocumentWindow::listen(int kind, int channel, int number) {
    m_view->listen(kind, channel, number);
}

// As the close box does, asking about unsaved changes.
void DocumentWindow::closeWindow() {
    QWidget* frame = parentWidget() ? parentWidget() : this;
    frame->close();
}

void DocumentWindow::playFromHere() {
    m_view->playFromHere();
}

// The dialogs' shared values and windows belong to the main window, which answers these.
void DocumentWindow::onSongSettings() {
    finishGesture();
    emit songSettingsRequested();
}

void DocumentWindow::onInstrumentSettings() {
    finishGesture();
    emit instrumentSettingsRequested();
}

void DocumentWindow::onDebug() {
    finishGesture();
    emit debugRequested();
}

void DocumentWindow::onAbout() {
    emit aboutRequested();
}

}  // namespace tromel
