// A document window: what it opens with, its channel buttons and status texts, layout and file commands.
#include "document/DocumentWindow.h"
#include "document/NoteInput.h"
#include "document/StepEntryCommands.h"
#include "roll/RollGeometry.h"
#include "roll/ViewScroll.h"
#include "roll/ui/ChannelSelector.h"
#include "roll/ui/PianoRoll.h"
#include "roll/ui/SpriteLayout.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"
#include "widgets/ProgramSettings.h"

#include <QCheckBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QWheelEvent>

#include <fcntl.h>
#include <sys/stat.h>

namespace tromel::test {
namespace {

namespace sprite = roll::sprite;

const QString firstChannelText = "Current Channel: Instrument #1";

void hover(QWidget* widget) {
    sendMouse(widget, QEvent::MouseMove, QPoint(3, 3), Qt::NoButton);
}

// Notes on instrument channels 0 and 2 and drum channel 1, with the note counts a file carries.
Song songWithNotes() {
    Song song = songWith({{0, NoteRec{3, 20, 2, 6, 200}},
                          {2, NoteRec{5, 22, 1, 6, 200}},
                          {2, NoteRec{9, 22, 1, 6, 200}},
                          {9, NoteRec{4, 24, 1, 6, 200}}});
    song.tempo = 90;
    return song;
}

// The file a document is bound to and its caption.
QString binding(DocumentWindow& document) {
    return document.fileName() + " as " + document.caption();
}

class DocumentWindowTest : public QObject {
    Q_OBJECT

private slots:
    void aNewWindowOpensWithTheDefaults() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        QCOMPARE(binding(document), QString("null as NewData.org"));
        QCOMPARE(document.pianoRoll()->size(), QSize(577, 452));
        // The bars' maxima and opening values, and the view offsets they give for that roll.
        QCOMPARE(QList<int>({document.rollXScroll()->maximum(), document.rollXScroll()->value(),
                             document.rollYScroll()->maximum(), document.rollYScroll()->value(),
                             document.editState().viewScrollX, document.editState().viewScrollY}),
                 QList<int>({1280, 1, 65, 2, 28, 25}));
        QCOMPARE(document.statusText(), firstChannelText);
        QVERIFY(!document.channels().instButton(0)->isEnabled() && document.channels().instButton(1)->isEnabled());
        QVERIFY(document.channels().drumButton(0)->isEnabled());
        QCOMPARE(document.channels().drumButton(7)->text(), QString("8"));
        QStringList texts;
        for (const char* name : {"playButton", "pauseButton", "stopButton", "instLabel", "drumLabel"})
            texts << document.findChild<QWidget*>(name)->property("text").toString();
        QCOMPARE(texts, (QStringList{"Play", "Pause", "Stop", "Instruments", "Drums"}));
    }

    void pointerMovesRestoreTheChannelTextOrSayMute() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        QCheckBox* mute = document.findChildren<QCheckBox*>("muteCheck").at(5);
        for (QWidget* restorer : QList<QWidget*>{&document, document.channels().instButton(0) /* disabled */}) {
            hover(mute);
            QCOMPARE(document.statusText(), QString("Mute"));
            hover(restorer);
            QCOMPARE(document.statusText(), firstChannelText);
        }
        // The transport buttons leave the text alone.
        hover(mute);
        hover(document.findChild<QPushButton*>("playButton"));
        QCOMPARE(document.statusText(), QString("Mute"));
    }

    void resizingLaysOutTheControlsByTheTableAndSpringsBack() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        document.parentWidget()->resize(720, 640);
        const int sw = document.width();
        const int sh = document.height();
        QList<std::pair<QWidget*, QRect>> places{
            {document.rollXScroll(), {0, 0, sw - 16, 17}},
            {document.rollYScroll(), {sw - 16, 16, 17, sh - 100}},
            {document.pianoRoll(), {0, 16, sw - 16, sh - 100}},
            {document.channels().instLabel(), {8, sh - 84, 89, 17}},
            {document.channels().drumLabel(), {216, sh - 84, 89, 17}},
            {document.findChild<QWidget*>("playButton"), {416, sh - 71, 49, 25}},
            {document.findChild<QWidget*>("stopButton"), {512, sh - 71, 49, 25}},
            {document.findChild<QWidget*>("ProgressBar1"), {sw - 181, sh - 21, 161, 21}},
            {document.findChild<QWidget*>("StatusBar1"), {0, sh - 25, sw, 25}},
            {document.channels().instButton(1), {32, sh - 71, 25, 25}},
            {document.channels().drumButton(7), {384, sh - 71, 25, 25}},
            {document.findChildren<QCheckBox*>("muteCheck").at(1), {38, sh - 43, 17, 17}},
            {document.findChildren<QCheckBox*>("muteCheck").at(15), {389, sh - 43, 17, 17}}};
        for (const auto& [widget, place] : places)
            QVERIFY2(widget->geometry() == place, qPrintable(widget->objectName()));
        QCOMPARE(document.pianoRoll()->picture().size(), QSize(sw - 16, sh - 100));
        document.parentWidget()->resize(300, 200);
        QCOMPARE(document.parentWidget()->size(), QSize(593, 525));
    }

    // The wheel moves the bars, never the offsets directly, so the written limits hold: a notch is
    // three rows, a touchpad's small deltas add up to one, Shift or a sideways turn scrolls sideways.
    void theWheelScrollsThroughTheBars() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        QWidget* roll = document.pianoRoll();
        const auto turn = [&](QPoint delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QWheelEvent wheel(QPointF(200, 100), roll->mapToGlobal(QPointF(200, 100)), QPoint(), delta, Qt::NoButton,
                              modifiers, Qt::NoScrollPhase, false);
            QApplication::sendEvent(roll, &wheel);
            return QList<int>{document.rollXScroll()->value(), document.rollYScroll()->value(),
                              document.editState().viewScrollX, document.editState().viewScrollY};
        };
        const QList<int> opening = turn(QPoint());
        const QList<int> notch = turn(QPoint(0, -120));
        QVERIFY(std::abs(notch[3] - opening[3] - 36) <= 13);
        turn(QPoint(0, 120));
        for (int i = 0; i < 7; ++i)
            turn(QPoint(0, -15));
        QCOMPARE(turn(QPoint(0, -15)), notch);
        turn(QPoint(0, -120), Qt::ShiftModifier);
        const QList<int> sideways = turn(QPoint(-120, 0));
        QVERIFY(sideways[0] >= 3 && sideways[1] == notch[1]);
        for (int i = 0; i < 40; ++i)
            turn(QPoint(120, 120));
        QCOMPARE(turn(QPoint()).mid(0, 3), (QList<int>{0, 0, 0}));
    }

    // Go to Notes shows the first notes, centred on the current channel's; with Show Notes When
    // Opening a read song opens there, from its first step when they show from there. Off, a
    // song opens at the written scroll values. Either way step entry starts at the first step.
    void goToNotesFindsTheSongsFirstNotes() {
        TestEditor editor;
        const QString path = editor.writeSong("late.org", songWith({{1, NoteRec{300, 60, 4, 6, 200}},
                                                                    {1, NoteRec{320, 64, 4, 6, 200}},
                                                                    {4, NoteRec{900, 10, 4, 6, 200}}}));
        const QString early = editor.writeSong("early.org", songWith({{0, NoteRec{8, 20, 4, 6, 200}}}));
        const QString empty = editor.writeSong("empty.org", Song());
        for (const bool showNotes : {false, true}) {
            settings::setShowNotesWhenOpening(showNotes);
            for (const QString& opened : {early, empty}) {
                editor.prompts.answers.push_back(opened);
                DocumentWindow& document = *editor.mainWindow->clickOpen();
                QCOMPARE(document.rollXScroll()->value(), showNotes ? 0 : 1);
                QVERIFY(opened == empty || document.editState().viewScrollY > 0);
                settings::setStepEntry(true);
                QCOMPARE(document.noteInput().stepEntry().cursor(), 1);
                settings::setStepEntry(false);
            }
        }
        const auto shows = [](DocumentWindow& document, int32_t column, int32_t row) {
            const QRect view(roll::keyStripWidth, 0, document.pianoRoll()->width() - roll::keyStripWidth,
                             document.pianoRoll()->height() - roll::panelHeight);
            const EditState& edit = document.editState();
            return view.contains(int(roll::noteBoxX(column, edit.viewScrollX)),
                                 int(roll::noteBoxY(row, edit.viewScrollY)));
        };
        for (const bool showNotes : {false, true}) {
            settings::setShowNotesWhenOpening(showNotes);
            editor.prompts.answers.push_back(path);
            DocumentWindow& document = *editor.mainWindow->clickOpen();
            const QList<int> bars{document.rollXScroll()->value(), document.rollYScroll()->value()};
            QCOMPARE(bars == QList<int>({1, 2}), !showNotes);
            QCOMPARE(shows(document, 300, 60) && shows(document, 320, 64), showNotes);
        }
        settings::setShowNotesWhenOpening(false);
        // The current channel's earliest note near the left edge, its key centred; the slots
        // need not be in step order, and a channel without notes goes to the kind's first.
        DocumentWindow& document = *editor.mainWindow->activeDocument();
        // (A pan change in column 1 is no note to go to.)
        document.song().instrumentNotes.grow(3);
        document.song().instrumentNotes.at(4, 2) = NoteRec{700, 30, 1, 6, 200};
        document.song().instrumentNotes.at(4, 3) = NoteRec{1, noKey, 1, 3, noVolume};
        document.editState().noteCounts[0][4] = 3;
        for (const auto& [button, column, row] : {std::tuple{4, 700, 30}, {7, 300, 60}, {1, 300, 60}}) {
            QTest::mouseClick(document.channels().instButton(button), Qt::LeftButton);
            document.goToNotes();
            QVERIFY2(shows(document, column, row), qPrintable(QString::number(button)));
            const int64_t left = roll::columnLeftX(column, document.editState().viewScrollX);
            QVERIFY(left >= 65 && left <= 65 + 16 * roll::leadInColumns + 30);
            // Centred within half a step of the bar (13 pixels).
            const int64_t middle = roll::rowTopY(row, document.editState().viewScrollY) + 6;
            QVERIFY(button == 7 || std::abs(middle - (document.pianoRoll()->height() - roll::panelHeight) / 2) <= 7);
        }
    }

    // The keyboard reaches every control; Space plays or pauses unless a focused button takes it.
    void keysDrivePlaybackChannelsAndFocus() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        document.song().loopEnd = 16;
        QApplication::setActiveWindow(editor.mainWindow.get());
        QTRY_VERIFY(document.pianoRoll()->hasFocus());
        const audio::Transport& transport = document.transport();
        for (const auto& [keys, state] :
             {std::pair{QKeySequence(Qt::Key_Space), audio::TransportState::Playing},
              {QKeySequence(Qt::Key_Space), audio::TransportState::Paused},
              {QKeySequence(Qt::Key_Space), audio::TransportState::Playing},
              {QKeySequence(Qt::ShiftModifier | Qt::Key_Space), audio::TransportState::Stopped}}) {
            QTest::keySequence(QApplication::focusWidget(), keys);
            QCOMPARE(transport.state(), state);
        }
        QCOMPARE(document.findChild<QPushButton*>("stopButton")->toolTip(), QString("Stop (Shift+Space)"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_3, Qt::ControlModifier);
        QCOMPARE(document.statusText(), QString("Current Channel: Instrument #3"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_8, Qt::AltModifier);
        QCOMPARE(document.statusText(), QString("Current Channel: Drum #8"));

        // Tab from the roll: the bars, the sixteen channel buttons less the current one, the
        // transport, the sixteen mute boxes, and round again.
        QStringList order;
        for (int i = 0; i < 38; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focused = QApplication::focusWidget();
            order << (focused->accessibleName().isEmpty() ? focused->objectName() : focused->accessibleName());
        }
        QCOMPARE(order.mid(0, 4), (QStringList{"rollXScroll", "rollYScroll", "Instrument 1", "Instrument 2"}));
        QCOMPARE(order.mid(16, 6), (QStringList{"Drum 7", "playButton", "pauseButton", "stopButton",
                                                "Mute instrument 1", "Mute instrument 2"}));
        QCOMPARE(order.mid(35, 3), (QStringList{"Mute drum 8", "pianoRoll", "rollXScroll"}));
        // Space on a focused mute box ticks it instead of playing.
        while (QApplication::focusWidget()->accessibleName() != "Mute drum 3")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(qobject_cast<QCheckBox*>(QApplication::focusWidget())->isChecked());
        QCOMPARE(transport.state(), audio::TransportState::Stopped);
    }

    // A cancelled Open leaves no window; Open binds the window to its file and shows its notes on
    // the channels the buttons choose, Save writes back without asking, and a second Open of the
    // same file is a song of its own.
    void openShowsTheFileSaveWritesItBackAndASecondOpenIsIndependent() {
        TestEditor editor;
        QCOMPARE(editor.mainWindow->clickOpen(), nullptr);
        QVERIFY(editor.mainWindow->documents().isEmpty());
        QCOMPARE(editor.prompts.choosers, (QList{RecordedChooser{false, "Open...", "NewData.org"}}));
        const QString path = editor.writeSong("tune.org", songWithNotes());
        editor.prompts.answers.push_back(path);
        DocumentWindow& document = *editor.mainWindow->clickOpen();
        QCOMPARE(binding(document), path + " as tune.org");
        QCOMPARE(document.editState().noteCounts[1][1], 1);
        // The channel buttons choose the kind and the channel drawn bright.
        QCOMPARE(boxPixel(document, 3, 20), opaque(sprite::brightNoteColours[0]));
        QCOMPARE(boxPixel(document, 5, 22), opaque(sprite::darkNoteColours[2]));
        QTest::mouseClick(document.channels().instButton(2), Qt::LeftButton);
        QCOMPARE(document.statusText(), QString("Current Channel: Instrument #3"));
        QCOMPARE(boxPixel(document, 3, 20), opaque(sprite::darkNoteColours[0]));
        QCOMPARE(boxPixel(document, 5, 22), opaque(sprite::brightNoteColours[2]));
        QTest::mouseClick(document.channels().drumButton(2), Qt::LeftButton);
        QCOMPARE(document.statusText(), QString("Current Channel: Drum #3"));
        QVERIFY(document.channels().instButton(2)->isEnabled() && !document.channels().drumButton(2)->isEnabled());
        // Only drum notes now: the drum of channel 1 is dark, the instrument notes are gone.
        QCOMPARE(boxPixel(document, 4, 24), opaque(sprite::darkNoteColours[1]));
        QCOMPARE(boxPixel(document, 3, 20), boxPixel(document, 3, 20, true));
        QTest::mouseClick(document.channels().drumButton(1), Qt::LeftButton);
        QCOMPARE(boxPixel(document, 4, 24), opaque(sprite::brightNoteColours[1]));
        document.song().tempo = 300;
        QVERIFY(document.save());
        QCOMPARE(editor.prompts.choosers.size(), 2);
        QCOMPARE(editor.readSong("tune.org").tempo, 300);
        editor.prompts.answers.push_back(path);
        DocumentWindow* second = editor.mainWindow->clickOpen();
        QVERIFY(second != &document);
        document.song().instrumentNotes.at(0, 1).position = 40;
        QCOMPARE(second->song().instrumentNotes.at(0, 1).position, 3);
        QVERIFY(editor.prompts.messages.isEmpty());
    }

    // A file that cannot be read leaves a new unbound song and is never written over (a FIFO is
    // not waited on); Save As binds the window only once the file is written, and a failed save
    // of either kind keeps the binding.
    void unreadableOrUnwritableFilesKeepTheOldBinding() {
        TestEditor editor;
        const QString notes = editor.folder.filePath("notes.org");
        QFile file(notes);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("# shopping\n- milk\n") > 0);
        file.close();
        const QString fifo = editor.folder.filePath("fifo.org");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        for (const auto& [path, text] : {std::pair{notes, QString("This is not a valid ORG File!")},
                                         {editor.folder.filePath("missing.org"), QString("No such file or directory")},
                                         {fifo, QString("Not a regular file")}}) {
            editor.prompts.answers.push_back(path);
            DocumentWindow* document = editor.mainWindow->clickOpen();
            QCOMPARE(editor.prompts.messages.last(), (RecordedMessage{MessageIcon::Warning, "File Open Error", text}));
            QCOMPARE(document->song().tempo, 128);
            QVERIFY(!document->save());  // asks where to save, cancelled
            QCOMPARE(editor.prompts.choosers.last(), (RecordedChooser{true, "Save As...", "NewData.org"}));
            QCOMPARE(binding(*document), QString("null as NewData.org"));
        }
        QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == "# shopping\n- milk\n");

        DocumentWindow& document = *editor.mainWindow->activeDocument();
        editor.prompts.answers.push_back(editor.folder.filePath("no/such/folder/x.org"));
        QVERIFY(!document.saveAs());
        QCOMPARE(editor.prompts.messages.size(), 4);
        QCOMPARE(binding(document), QString("null as NewData.org"));
        QTemporaryDir gone;
        const QString path = gone.filePath("bound.org");
        editor.prompts.answers.push_back(path);
        QVERIFY(document.saveAs() && QFile::exists(path));
        editor.prompts.answers.push_back(editor.folder.filePath("no/such/folder/y.org"));
        QVERIFY(!document.saveAs());
        QCOMPARE(editor.prompts.messages.last().title, QString("File Save Error"));
        QCOMPARE(binding(document), path + " as bound.org");
        QVERIFY(!document.saveAs());  // cancelled, having offered the file's own name
        QCOMPARE(editor.prompts.choosers.last(), (RecordedChooser{true, "Save As...", path}));
        QVERIFY(gone.remove());
        QVERIFY(!document.save());
        QCOMPARE(editor.prompts.messages.size(), 6);
        QCOMPARE(binding(document), path + " as bound.org");
    }

    // A file another program changed since it was opened or last saved asks first, and each answer does
    // what it says; a touch, or a file deleted since, asks nothing. A read-only file is refused and
    // Save As offered until a writable file is chosen. A failed save names the file, its folder and why.
    void savesAskBeforeWritingOverAnotherProgramsChangesAndRefuseReadOnlyFiles() {
        TestEditor editor;
        const QString path = editor.writeSong("tune.org", songWithNotes());
        DocumentWindow* document = editor.mainWindow->openFile(path);
        const timespec touched[2] = {{0, UTIME_NOW}, {0, UTIME_NOW}};
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), touched, 0);
        setTempo(document, 300);
        QVERIFY(document->save());
        setTempo(document, 301);  // over what this window wrote itself: nothing to ask
        QVERIFY(document->save());
        const QString copy = editor.folder.filePath("copy.org");
        const auto changeElsewhere = [&editor](const QString& name) {
            Song other;
            other.tempo = 77;
            editor.writeSong(name, other);
        };
        changeElsewhere("tune.org");
        editor.prompts.changedAnswers = {ChangedFileChoice::Cancel, ChangedFileChoice::SaveAs,
                                         ChangedFileChoice::Overwrite};
        QVERIFY(!document->save());
        QCOMPARE(editor.readSong("tune.org").tempo, 77);
        editor.prompts.answers.push_back(copy);
        QVERIFY(document->save());
        QCOMPARE(binding(*document), copy + " as copy.org");
        QCOMPARE(editor.readSong("tune.org").tempo, 77);
        changeElsewhere("copy.org");
        setTempo(document, 302);
        QVERIFY(document->save());
        QCOMPARE(editor.readSong("copy.org").tempo, 302);
        QCOMPARE(editor.prompts.changedPrompts, (QStringList{"tune.org", "tune.org", "copy.org"}));
        QVERIFY(QFile::remove(copy));
        setTempo(document, 303);
        QVERIFY(document->save());
        QCOMPARE(editor.readSong("copy.org").tempo, 303);
        QCOMPARE(editor.prompts.changedPrompts.size(), 3);
        QVERIFY(editor.prompts.messages.isEmpty());

        QVERIFY(QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteGroup));
        setTempo(document, 304);
        const int choosers = static_cast<int>(editor.prompts.choosers.size());
        editor.prompts.answers = {copy, editor.folder.filePath("new.org")};
        QVERIFY(document->save());
        const RecordedMessage readOnly{MessageIcon::Warning, "File Save Error", "copy.org is read-only."};
        QCOMPARE(editor.prompts.messages, (QList{readOnly, readOnly}));
        QCOMPARE(editor.prompts.choosers.size(), choosers + 2);
        QCOMPARE(binding(*document), editor.folder.filePath("new.org") + " as new.org");
        QCOMPARE(editor.readSong("copy.org").tempo, 303);
        QCOMPARE(editor.readSong("new.org").tempo, 304);

        editor.prompts.answers = {editor.folder.filePath("none/x.org")};
        QVERIFY(!document->saveAs());
        QCOMPARE(editor.prompts.messages.last().text,
                 "x.org could not be saved in " + editor.folder.filePath("none") + ": No such file or directory");
    }
};

const bool registered = registerUiTest<DocumentWindowTest>();

}  // namespace
}  // namespace tromel::test

#include "DocumentWindowTest.moc"
