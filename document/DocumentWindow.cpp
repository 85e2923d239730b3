// The document window: owns one song for its whole life, shows it in the roll and plays it.
#include "document/DocumentWindow.h"

#include "widgets/AudioErrorBox.h"
#include "widgets/ProgramSettings.h"
#include "audio/playback/NotePreview.h"
#include "audio/ui/TransportControls.h"
#include "dialogs/ExportWavDialog.h"
#include "dialogs/SongSettingsDialog.h"
#include "document/DocumentLayout.h"
#include "document/PassageCommands.h"
#include "document/SongEditCommand.h"
#include "roll/NoteEditor.h"
#include "roll/RollGeometry.h"
#include "roll/ui/ChannelSelector.h"
#include "roll/ui/PianoRoll.h"
#include "roll/ui/RollView.h"
#include "song/OrgFile.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QUndoStack>

#include <algorithm>
#include <limits>

namespace tromel {
namespace {

constexpr int verticalScrollMaximum = 65;

std::filesystem::path toFilesystemPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

void keepPointerMoves(QWidget* widget) {
    widget->setMouseTracking(true);
    widget->setAttribute(Qt::WA_NoMousePropagation);
}

}  // namespace

DocumentWindow::DocumentWindow(EditorContext& context, QWidget* parent)
    : QWidget(parent),
      m_context(context),
      m_transport(std::make_unique<audio::Transport>(context.layer, context.sampleFolder)) {
    setObjectName("winFile");
    m_noteEditor = std::make_unique<roll::NoteEditor>(m_song, m_edit);
    m_previewTimer = new QTimer(this);
    m_previewTimer->setSingleShot(true);
    connect(m_previewTimer, &QTimer::timeout, this, [this] { m_notePreview->stop(); });
    createControls();
    m_undoStack = new QUndoStack(this);
    connect(m_undoStack, &QUndoStack::cleanChanged, this, [this](bool clean) {
        updateCaption();
        emit modifiedChanged(!clean);
    });
    connect(m_undoStack, &QUndoStack::indexChanged, this, &DocumentWindow::songEdited);
    orderTabStops();
    createMenus();
    watchPointer();
    connectNoteEditing();
    resize(documentOpeningWidth, documentOpeningHeight);
    layoutControls();
    load();
}

// The transport goes first: its destructor stops this document's instrument channels. The
// history goes quietly: cleared as Qt deletes it, after this window's members, it would
// otherwise announce a clean state to a window that is no longer there.
DocumentWindow::~DocumentWindow() {
    m_undoStack->disconnect();
    m_transportControls.reset();
    m_transport.reset();
}

void DocumentWindow::createControls() {
    m_pianoRoll = new roll::PianoRoll(m_context.pictures, this);
    connect(m_pianoRoll, &roll::PianoRoll::wheelTurned, this, &DocumentWindow::scrollByWheel);
    connect(m_pianoRoll, &roll::PianoRoll::picturesReset, this, &DocumentWindow::drawRoll, Qt::QueuedConnection);
    createScrollBars();
    m_channels = new roll::ChannelSelector(this);
    connect(m_channels, &roll::ChannelSelector::channelSelected, this, &DocumentWindow::selectChannel);
    m_transportControls = std::make_unique<audio::TransportControls>(this, *m_transport, m_song, *this);
    connect(m_transportControls.get(), &audio::TransportControls::stepHeard, this, &DocumentWindow::followPlayCursor);
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

// Tab goes through the window as read: the roll and its bars, the channel buttons, the transport,
// then the mute boxes.
void DocumentWindow::orderTabStops() {
    m_rollXScroll->setFocusPolicy(Qt::TabFocus);
    m_rollYScroll->setFocusPolicy(Qt::TabFocus);
    QList<QWidget*> order{m_pianoRoll, m_rollXScroll, m_rollYScroll};
    for (int i = 0; i < 8; ++i)
        order << m_channels->instButton(i);
    for (int i = 0; i < 8; ++i)
        order << m_channels->drumButton(i);
    order << m_transportControls->playButton() << m_transportControls->pauseButton()
          << m_transportControls->stopButton();
    for (int i = 0; i < 16; ++i)
        order << m_transportControls->muteCheck(i);
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
    m_fileMenu->addSeparator();
    m_fileMenu->addAction("Save", QKeySequence::Save, this, &DocumentWindow::save);
    m_fileMenu->addAction("Save As...", QKeySequence("Ctrl+Shift+S"), this, &DocumentWindow::saveAs);
    m_fileMenu->addAction("Export WAV...", this, &DocumentWindow::exportWav);
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
    m_editMenu = new QMenu("&Edit", this);
    m_editMenu->setObjectName("menuEdit");
    createEditMenu();
    m_viewMenu = new QMenu("&View", this);
    m_viewMenu->setObjectName("menuView");
    createViewMenu();
}

void DocumentWindow::createEditMenu() {
    // An undo or redo may put other records in the selected slots: the selection goes.
    QAction* undo = m_editMenu->addAction("Undo", QKeySequence("Ctrl+Z"), this, [this] {
        finishGesture();
        m_noteEditor->setSelection({});
        m_undoStack->undo();
    });
    undo->setObjectName("undoAction");
    QAction* redo = m_editMenu->addAction("Redo", this, [this] {
        finishGesture();
        m_noteEditor->setSelection({});
        m_undoStack->redo();
    });
    redo->setObjectName("redoAction");
    redo->setShortcuts({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")});
    // The items name the step they would take back or do again: "Undo Move Note".
    const auto refresh = [this, undo, redo] {
        undo->setText(m_undoStack->canUndo() ? "Undo " + m_undoStack->undoText() : "Undo");
        undo->setEnabled(m_undoStack->canUndo());
        redo->setText(m_undoStack->canRedo() ? "Redo " + m_undoStack->redoText() : "Redo");
        redo->setEnabled(m_undoStack->canRedo());
    };
    connect(m_undoStack, &QUndoStack::indexChanged, this, refresh);
    refresh();
    m_passageCommands = new PassageCommands(
        m_editMenu, this, *m_noteEditor, m_song, m_edit,
        {[this] { finishGesture(); }, [this](roll::EditOutcome outcome) { applyEdit(std::move(outcome)); },
         [this] { return pasteColumn(); }});
}

// A paste lands on the play cursor while the song is paused, else on the first column wholly in view.
int32_t DocumentWindow::pasteColumn() const {
    if (m_transport->isPaused() && m_transportControls->playPosition() > 0)
        return m_transportControls->playPosition();
    return firstVisibleColumn();
}

int32_t DocumentWindow::firstVisibleColumn() const {
    return (m_edit.viewScrollX + roll::columnWidth - 1) / roll::columnWidth + 1;
}

// The View menu: finding the notes, and two settings shared by every window of the program.
void DocumentWindow::createViewMenu() {
    m_viewMenu->addAction("Go to Notes", QKeySequence(Qt::Key_Home), this, &DocumentWindow::goToNotes);
    m_followPlaybackAction = m_viewMenu->addAction("Follow Playback");
    m_followPlaybackAction->setCheckable(true);
    connect(m_followPlaybackAction, &QAction::triggered, this, &settings::setFollowPlayback);
    m_showNotesAction = m_viewMenu->addAction("Show Notes When Opening");
    m_showNotesAction->setCheckable(true);
    connect(m_showNotesAction, &QAction::triggered, this, &settings::setShowNotesWhenOpening);
    m_previewNotesAction = m_viewMenu->addAction("Preview Notes");
    m_previewNotesAction->setCheckable(true);
    connect(m_previewNotesAction, &QAction::triggered, this, &settings::setPreviewNotes);
    m_viewMenu->addAction("Play from Here", QKeySequence("Ctrl+Space"), this, &DocumentWindow::playFromHere);
    connect(m_viewMenu, &QMenu::aboutToShow, this, &DocumentWindow::refreshViewMenu);
    refreshViewMenu();
}

// From the selection's first step, else from the first column wholly in view.
void DocumentWindow::playFromHere() {
    finishGesture();
    const roll::NoteSelection& selection = m_noteEditor->selection();
    int32_t position = firstVisibleColumn();
    if (!selection.empty() && selection.isOf(m_edit)) {
        const NoteTable& notes = m_song.notes(m_edit.channelKind);
        position = std::numeric_limits<int32_t>::max();
        for (const int32_t slot : selection.slotIndices())
            position = std::min(position, notes.at(m_edit.currentChannel, slot).position);
    }
    m_transportControls->playFrom(position);
}

// A placed note sounds, for as long as its length lasts at the song's tempo, a second at most.
void DocumentWindow::previewNote(const NoteRec& note) {
    if (!settings::previewNotes())
        return;
    if (!m_notePreview)
        m_notePreview = std::make_unique<audio::NotePreview>(m_context.layer, m_context.sampleFolder);
    const int milliseconds = m_notePreview->start(m_song, m_edit.channelKind, m_edit.currentChannel, note);
    if (milliseconds > 0)
        m_previewTimer->start(milliseconds);
}

// Another window may have changed the settings since this menu was last shown.
void DocumentWindow::refreshViewMenu() {
    m_followPlaybackAction->setChecked(settings::followPlayback());
    m_showNotesAction->setChecked(settings::showNotesWhenOpening());
    m_previewNotesAction->setChecked(settings::previewNotes());
}

void DocumentWindow::goToNotes() {
    const std::optional<roll::BarValues> values =
        roll::notesBarValues(m_song, m_edit.channelKind, m_edit.currentChannel, m_rollXScroll->maximum(),
                             m_rollYScroll->maximum(), m_pianoRoll->width(), m_pianoRoll->height());
    if (!values)
        return;
    m_rollXScroll->setValue(values->x);
    m_rollYScroll->setValue(values->y);
}

// Three rows or columns a notch, through the bars; Shift turns the wheel sideways.
void DocumentWindow::scrollByWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers) {
    int sideways = angleDelta.x();
    int upright = angleDelta.y();
    if (modifiers.testFlag(Qt::ShiftModifier) && sideways == 0)
        std::swap(sideways, upright);
    const auto step = [](QScrollBar* bar, roll::WheelScroll& wheel, int steps) {
        const int before = bar->value();
        bar->setValue(before + steps);
        if (steps != 0 && bar->value() == before)
            wheel.reset();
    };
    step(m_rollYScroll, m_wheelY,
         m_wheelY.turn(upright, 3 * roll::rowHeight,
                       roll::pixelsPerStepY(m_rollYScroll->maximum(), m_pianoRoll->height())));
    step(m_rollXScroll, m_wheelX,
         m_wheelX.turn(sideways, 3 * roll::columnWidth,
                       roll::pixelsPerStepX(m_rollXScroll->maximum(), m_pianoRoll->width())));
}

// Following playback: a cursor past the right edge or left of the notes brings the view along.
// Returns whether the view moved (and so was redrawn with the cursor).
bool DocumentWindow::keepCursorInView(int32_t playPosition) {
    if (!settings::followPlayback())
        return false;
    const std::optional<int> value =
        roll::followingBarValue(playPosition, m_edit.viewScrollX, m_rollXScroll->maximum(), m_pianoRoll->width());
    if (!value || *value == m_rollXScroll->value())
        return false;
    m_rollXScroll->setValue(*value);
    return true;
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
    setMouseTracking(true);
    QList<QWidget*> watched{m_channels->instLabel(), m_statusBar};
    for (int i = 0; i < 8; ++i)
        watched << m_channels->instButton(i) << m_channels->drumButton(i);
    for (int i = 0; i < 16; ++i)
        watched << m_transportControls->muteCheck(i);
    for (QWidget* widget : watched) {
        keepPointerMoves(widget);
        widget->installEventFilter(this);
    }
    for (QWidget* widget : QList<QWidget*>{m_rollXScroll, m_rollYScroll, m_progressBar, m_channels->drumLabel(),
                                           m_transportControls->playButton(), m_transportControls->pauseButton(),
                                           m_transportControls->stopButton()})
        keepPointerMoves(widget);
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

roll::RollView DocumentWindow::rollView() const {
    roll::RollView view;
    view.notes = &m_song.notes(m_edit.channelKind);
    view.currentChannel = m_edit.currentChannel;
    view.viewScrollX = m_edit.viewScrollX;
    view.viewScrollY = m_edit.viewScrollY;
    view.playPosition = m_transportControls->playPosition();
    if (m_noteEditor->selection().isOf(m_edit))
        view.selection = &m_noteEditor->selection();
    view.band = m_noteEditor->band();
    return view;
}

void DocumentWindow::drawRoll() {
    const QSize size = m_pianoRoll->size();
    m_edit.viewScrollX = roll::viewScrollXFromBar(m_rollXScroll->value(), m_rollXScroll->maximum(), size.width());
    m_edit.viewScrollY = roll::viewScrollYFromBar(m_rollYScroll->value(), m_rollYScroll->maximum(), size.height());
    m_pianoRoll->drawRoll(rollView());
}

void DocumentWindow::drawNotes() {
    m_pianoRoll->drawNotes(rollView());
}

bool DocumentWindow::isMinimizedAnywhere() const {
    const QWidget* frame = parentWidget();
    return (frame && frame->isMinimized()) || window()->isMinimized();
}

void DocumentWindow::resizeEvent(QResizeEvent* event) {
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
    const DocumentLayout layout = layoutDocument(width(), height());
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
        m_transportControls->muteCheck(i)->setGeometry(layout.muteChecks[i]);
    m_transportControls->playButton()->setGeometry(layout.playButton);
    m_transportControls->pauseButton()->setGeometry(layout.pauseButton);
    m_transportControls->stopButton()->setGeometry(layout.stopButton);
    m_statusBar->setGeometry(layout.statusBar);
    m_progressBar->setGeometry(layout.progressBar);
}

void DocumentWindow::selectChannel(int kind, int channel) {
    finishGesture();
    m_noteEditor->setSelection({});
    m_passageCommands->refresh();
    m_edit.currentChannel = static_cast<int16_t>(channel);
    m_edit.channelKind = static_cast<int16_t>(kind);
    showChannelStatus();
    drawNotes();
}

// Unless Follow Playback is on, playback never scrolls the view: a step outside it passes
// without a redraw.
void DocumentWindow::followPlayCursor(int32_t playPosition) {
    if (keepCursorInView(playPosition))
        return;
    const int64_t x = 16 * static_cast<int64_t>(playPosition);
    if (m_edit.viewScrollX < x && x < static_cast<int64_t>(m_edit.viewScrollX) + m_pianoRoll->width())
        drawRoll();
}

QString DocumentWindow::statusText() const {
    return m_statusBar->currentMessage();
}

void DocumentWindow::mouseMoveEvent(QMouseEvent* event) {
    showChannelStatus();
    QWidget::mouseMoveEvent(event);
}

bool DocumentWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        if (watched->objectName() == "muteCheck")
            setStatusText("Mute");
        else
            showChannelStatus();
    }
    return QWidget::eventFilter(watched, event);
}

OpenOutcome DocumentWindow::clickOpen() {
    const std::optional<QString> path = m_context.prompts.chooseOpenFile(this, "Open...", newDocumentCaption);
    if (!path)
        return OpenOutcome::Cancelled;
    return openPath(*path);
}

OpenOutcome DocumentWindow::openPath(const QString& path) {
    const LoadResult result = loadOrgFile(m_song, toFilesystemPath(path));
    if (!result.ok()) {
        // The song stays new and unbound, so a later Save never overwrites the file it could not read.
        const QString text =
            result.status == LoadStatus::NotOrganya ? invalidOrgMessage : QString::fromStdString(result.reason);
        m_context.prompts.message(this, MessageIcon::Warning, fileOpenErrorTitle, text);
        m_fileName = noFileName;
        drawNotes();
        return OpenOutcome::NotOpened;
    }
    m_fileName = path;
    setCaptionFromPath(path);
    showOpenedSong();
    return OpenOutcome::Opened;
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
        goToNotes();
}

bool DocumentWindow::openRecovered(const QString& recoveryPath, const QString& fileName, const QString& caption) {
    if (!loadOrgFile(m_song, toFilesystemPath(recoveryPath)).ok())
        return false;
    m_fileName = fileName;
    m_baseCaption = caption;
    // Unsaved work: modified from the start, and no undo step leads back to a saved state.
    m_undoStack->resetClean();
    updateCaption();
    showOpenedSong();
    return true;
}

bool DocumentWindow::save() {
    finishGesture();
    if (m_fileName != noFileName)
        return writeSong(m_fileName);
    return saveAs();
}

bool DocumentWindow::saveAs() {
    finishGesture();
    // A song with a file proposes that file; a new one "NewData.org".
    const QString proposed = m_fileName != noFileName ? m_fileName : QString(newDocumentCaption);
    const std::optional<QString> path = m_context.prompts.chooseSaveFile(this, "Save As...", proposed);
    if (!path)
        return false;
    if (!writeSong(*path)) {
        m_fileName = noFileName;
        return false;
    }
    m_fileName = *path;
    setCaptionFromPath(*path);
    return true;
}

bool DocumentWindow::writeSong(const QString& path) {
    const SaveResult result = saveOrgFile(m_song, toFilesystemPath(path));
    if (!result.ok)
        m_context.prompts.message(this, MessageIcon::Warning, "File Save Error", QString::fromStdString(result.reason));
    else
        m_undoStack->setClean();
    return result.ok;
}

void DocumentWindow::setCaptionFromPath(const QString& path) {
    m_baseCaption = QFileInfo(path).fileName();
    updateCaption();
}

void DocumentWindow::updateCaption() {
    setWindowTitle(isModified() ? m_baseCaption + "*" : m_baseCaption);
    if (QWidget* frame = parentWidget())
        frame->setWindowTitle(windowTitle());
    emit captionChanged();
}

bool DocumentWindow::isModified() const {
    return !m_undoStack->isClean();
}

void DocumentWindow::finishGesture() {
    if (m_noteEditor && m_noteEditor->inGesture())
        applyEdit(m_noteEditor->release());
}

void DocumentWindow::recordEdit(SongEdit edit) {
    m_undoStack->push(
        new SongEditCommand(std::move(edit), m_song, m_edit, [this](const SongEdit&) { showEditedSong(); }));
}

// Undo and redo change the song behind the roll's back: the notes are drawn again.
void DocumentWindow::showEditedSong() {
    drawNotes();
}

void DocumentWindow::editChannelSettings(const std::function<void()>& edit) {
    finishGesture();
    const SongChannels before = SongChannels::of(m_song);
    edit();
    const SongChannels after = SongChannels::of(m_song);
    if (after != before)
        recordEdit(SongEdit::ofChannels("Instrument/Drum Settings", before, after));
}

bool DocumentWindow::confirmClose() {
    finishGesture();
    if (!isModified())
        return true;
    switch (m_context.prompts.askSaveChanges(this, m_baseCaption)) {
        case SaveChoice::Save:
            return save();
        case SaveChoice::Discard:
            return true;
        case SaveChoice::Cancel:
            break;
    }
    return false;
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

void DocumentWindow::setProgressMaximum(int32_t maximum) {
    m_progressBar->setMaximum(maximum);
}
void DocumentWindow::setProgress(int32_t value) {
    m_progressBar->setValue(value);
}
void DocumentWindow::setStatusText(const std::string& text) {
    m_statusBar->showMessage(QString::fromStdString(text));
}

void DocumentWindow::showChannelStatus() {
    m_statusBar->showMessage(roll::ChannelSelector::statusText(m_edit.channelKind, m_edit.currentChannel));
}

void DocumentWindow::showAudioError(const std::string& text) {
    tromel::showAudioError(m_context.prompts, this, QString::fromStdString(text), m_context.layer);
}

void DocumentWindow::showPlayRefusal(const std::string& reason) {
    m_context.prompts.message(this, MessageIcon::Warning, "Tromel", QString::fromStdString(reason));
}

// The dialogs are wired in by their own windows; until then the entries do nothing.
// The roll's mouse events go to the note editor; the widget shows what it answers.
void DocumentWindow::connectNoteEditing() {
    m_pianoRoll->setMouseHooks({
        [this](const roll::RollPointer& p) {
            applyEdit(m_noteEditor->press(p.heldButtons(), p.x, p.y, m_pianoRoll->height(), p.modifiers));
        },
        [this](const roll::RollPointer& p) {
            applyEdit(m_noteEditor->move(p.heldButtons(), p.x, p.y, m_pianoRoll->height()));
        },
        [this](const roll::RollPointer&) { applyEdit(m_noteEditor->release()); },
    });
}

void DocumentWindow::applyEdit(roll::EditOutcome outcome) {
    m_pianoRoll->showPointer(outcome.pointer);
    if (outcome.status)
        setStatusText(*outcome.status);
    if (outcome.redraw) {
        drawNotes();
        m_passageCommands->refresh();
    }
    if (outcome.finished)
        recordEdit(std::move(*outcome.finished));
    if (outcome.placed)
        previewNote(*outcome.placed);
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

void DocumentWindow::editSongSettings(dialogs::SongSettingsExchange& exchange) {
    const SongHeader before = SongHeader::of(m_song);
    dialogs::editSongSettings(this, m_song, exchange, m_songSettingsDialog);
    const SongHeader after = SongHeader::of(m_song);
    if (after != before)
        recordEdit(SongEdit::ofHeader("Song Settings", before, after));
}

void DocumentWindow::exportWav() {
    const QString songFile = m_fileName == noFileName ? QString() : m_fileName;
    dialogs::exportWav(this, m_context.prompts, m_song, m_context.sampleFolder, songFile);
}

void DocumentWindow::onAbout() {
    emit aboutRequested();
}

}  // namespace tromel
