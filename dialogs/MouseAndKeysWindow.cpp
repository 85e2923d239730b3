// Other > "Mouse and Keys": the roll's mouse gestures and the keys, in one window.
#include "dialogs/MouseAndKeysWindow.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tromel::dialogs {
namespace {

QTreeWidget* entryList(QWidget* parent, const QString& heading, const QList<MouseAndKeysWindow::Entry>& entries,
                       const char* name) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setColumnCount(2);
    list->setHeaderLabels({heading, QStringLiteral("What it does")});
    list->setRootIsDecorated(false);
    list->setWordWrap(true);
    list->setTextElideMode(Qt::ElideNone);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    for (const MouseAndKeysWindow::Entry& entry : entries)
        new QTreeWidgetItem(list, {entry.what, entry.does});
    list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    list->header()->setStretchLastSection(true);
    return list;
}

}  // namespace

QString MouseAndKeysWindow::onePerStepRule() {
    return QStringLiteral(
        "A channel holds one note per step: a click above or below a note gives that note the new key "
        "instead of adding a chord tone. Put the notes of a chord on different channels.");
}

const QList<MouseAndKeysWindow::Entry>& MouseAndKeysWindow::mouseEntries() {
    static const QList<Entry> entries{
        {"Click an empty step", "Adds a note of the clicked key, as long as the last note you stretched."},
        {"Click in a step where a note starts", "Gives that note the clicked key (one note per step)."},
        {"Drag a note", "Moves it in time and key."},
        {"Drag the right end of a note", "Stretches it; the pointer turns into a sideways arrow there."},
        {"Right click a note", "Deletes it."},
        {"Right drag", "Deletes every note, pan and volume change in the steps it passes over, whatever the key."},
        {"Click or drag in Pan",
         "Sets the pan of the notes in each step; a click where there is none adds a pan "
         "change."},
        {"Click or drag in Volume", "Sets the volume likewise; volume changes make fades."},
        {"Right click in Pan or Volume", "Deletes everything in that step: notes, pan and volume changes."},
        {"Shift+drag",
         "Selects the notes that start in the rectangle and every pan and volume change in its "
         "steps."},
        {"Shift+Ctrl+drag", "Adds to the selection."},
        {"Shift+drag a selected note", "Moves the whole selection in time and key."},
        {"Click a key of the keyboard", "Sounds that key on the current channel (with View > Preview Notes)."},
        {"Wheel, Shift+wheel", "Scrolls three rows, or in time."},
        {"Ctrl+wheel", "Zooms in or out at the pointer."},
        {"Click the ruler", "While paused, moves the play position there: Play resumes there."},
        {"Ctrl+click a mute box", "Solos that channel; again, puts the mute boxes back."},
        {"Alt+click the roll or the ruler", "With Edit > Step Entry on, puts the edit cursor at that step."},
    };
    return entries;
}

const QList<MouseAndKeysWindow::Entry>& MouseAndKeysWindow::keyEntries() {
    static const QList<Entry> entries{
        {"Space, Shift+Space", "Play or pause; stop."},
        {"Ctrl+Space", "Play from the selection or the first step in view."},
        {"Home", "Go to the current channel's first note."},
        {"Ctrl+G", "Go to a bar and beat; while stopped or paused the play position goes there too."},
        {"Ctrl+1 to Ctrl+8, Alt+1 to Alt+8", "Choose an instrument channel, a drum channel."},
        {"Ctrl+Z, Ctrl+Shift+Z or Ctrl+Y", "Undo, redo."},
        {"Ctrl+X, Ctrl+C, Ctrl+V, Delete", "Cut, copy, paste, delete the selection."},
        {"Ctrl+A, Escape", "Select the current channel; drop the selection."},
        {"Ctrl+D", "Duplicate the selection right after its last column."},
        {"Up, Down, Ctrl+Up, Ctrl+Down", "Transpose the selection a semitone, an octave."},
        {"Left, Right, Ctrl+Left, Ctrl+Right", "Move the selection a step, a bar."},
        {"Ctrl++ or Ctrl+=, Ctrl+-, Ctrl+0", "Zoom in, zoom out, actual size."},
        {"Ctrl+N, Ctrl+O, Ctrl+S, Ctrl+Shift+S", "New, open, save, save as."},
        {"Ctrl+W, Ctrl+Q", "Close the window; exit."},
        {"Tab", "Reach every control of a window; a focused button or box takes Space itself."},
        {"Z S X D C V G B H N J M", "Keyboard Piano: C to B from the base octave (C4 at start), by place, on any layout."},
        {"Q 2 W 3 E R 5 T 6 Y 7 U I 9 O 0 P", "The same from the C an octave higher."},
        {"Page Up, Page Down", "With the keyboard piano on, move its base octave (0 to 6)."},
        {"Ctrl+E", "Step entry: played notes go in at the edit cursor, which moves on by the step length."},
        {"Left, Right, Backspace (step entry)", "Move the edit cursor a step; take it back one length and remove the notes there."},
        {"Ctrl+R", "Record: while the song plays, played notes go in where they were heard."},
        {"Ctrl+L", "Loop Selection: play the selected columns over and over until Stop or the selection is dropped."},
    };
    return entries;
}

MouseAndKeysWindow::MouseAndKeysWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("winMouseAndKeys"));
    setWindowTitle(QStringLiteral("Mouse and Keys"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(900, 760);  // room for every line whole at the desktop's usual text size
    auto* layout = new QVBoxLayout(this);
    auto* rule = new QLabel(onePerStepRule(), this);
    rule->setObjectName(QStringLiteral("labelRule"));
    rule->setWordWrap(true);
    layout->addWidget(rule);
    layout->addWidget(entryList(this, QStringLiteral("Mouse on the roll"), mouseEntries(), "listMouse"), 1);
    layout->addWidget(entryList(this, QStringLiteral("Keys"), keyEntries(), "listKeys"), 1);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("Command1"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    layout->addWidget(close, 0, Qt::AlignRight);
}

}  // namespace tromel::dialogs
