// A document window: what it opens with, its channel buttons and status texts, layout and file commands.
#include "audio/ui/TransportControls.h"
#include "document/DocumentLayout.h"
#include "document/DocumentWindow.h"
#include "roll/ui/ChannelSelector.h"
#include "roll/ui/PianoRoll.h"
#include "roll/ui/SpriteLayout.h"
#include "song/OrgFile.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

namespace tromel::test {
namespace {

namespace sprite = roll::sprite;

std::filesystem::path fsPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

void hover(QWidget* widget) {
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), widget->mapToGlobal(QPointF(3, 3)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

Song songWithNotes() {
    Song song;
    song.tempo = 90;
    song.instrumentNotes.grow(2);
    song.instrumentNotes.at(0, 1) = NoteRec{3, 20, 2, 6, 200};
    song.instrumentNotes.at(2, 1) = NoteRec{5, 22, 1, 6, 200};
    song.instrumentNotes.at(2, 2) = NoteRec{9, 22, 1, 6, 200};
    song.drumNotes.grow(1);
    song.drumNotes.at(1, 1) = NoteRec{4, 24, 1, 6, 200};
    return song;
}

QRgb opaque(uint32_t rgb) {
    return 0xFF000000u | rgb;
}

class DocumentWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

    QString writeSong(const QString& name, const Song& song) {
        const QString path = m_folder.filePath(name);
        const SaveResult result = saveOrgFile(song, fsPath(path));
        return result.ok ? path : QString();
    }

    // The pixel at the middle of a note box of the roll, at the window's scroll.
    static QRgb boxPixel(DocumentWindow& document, int32_t position, int32_t key) {
        const EditState& edit = document.editState();
        const int x = 16 * (position - 1) + 67 - edit.viewScrollX + 5;
        const int y = 12 * (key - 1) + 1 - edit.viewScrollY + 5;
        return document.pianoRoll()->picture().pixel(x, y);
    }

private slots:
    void aNewWindowOpensWithTheDefaults() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        QCOMPARE(document.caption(), QString("NewData.org"));
        QCOMPARE(document.parentWidget()->windowTitle(), QString("NewData.org"));
        QCOMPARE(document.fileName(), QString("null"));
        QCOMPARE(document.size(), QSize(593, 552));
        QCOMPARE(document.pianoRoll()->size(), QSize(577, 452));
        QCOMPARE(document.rollXScroll()->maximum(), 1280);
        QCOMPARE(document.rollXScroll()->value(), 1);
        QCOMPARE(document.rollYScroll()->maximum(), 65);
        QCOMPARE(document.rollYScroll()->value(), 2);
        QCOMPARE(document.editState().viewScrollX, 28);
        QCOMPARE(document.editState().viewScrollY, 25);
        QCOMPARE(document.statusText(), QString("Current Channel: Instrument #1"));
        QCOMPARE(document.song(), [] {
            Song song;
            initSettings(song);
            return song;
        }());
        QCOMPARE(document.findChild<QProgressBar*>("ProgressBar1")->value(), 0);
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(document.channels().instButton(i)->isEnabled(), i != 0);
            QVERIFY(document.channels().drumButton(i)->isEnabled());
            QCOMPARE(document.channels().instButton(i)->text(), QString::number(i + 1));
        }
        QCOMPARE(document.findChildren<QCheckBox*>("muteCheck").size(), 16);
        QCOMPARE(document.findChild<QPushButton*>("playButton")->text(), QString("Play"));
        QCOMPARE(document.findChild<QPushButton*>("pauseButton")->text(), QString("Pause"));
        QCOMPARE(document.findChild<QPushButton*>("stopButton")->text(), QString("Stop"));
        QCOMPARE(document.findChild<QLabel*>("instLabel")->text(), QString("Instruments"));
        QCOMPARE(document.findChild<QLabel*>("drumLabel")->text(), QString("Drums"));
    }

    void channelButtonsChooseKindAndChannel() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        document.song() = songWithNotes();
        document.drawNotes();
        QCOMPARE(boxPixel(document, 3, 20), opaque(sprite::brightNoteColours[0]));
        QCOMPARE(boxPixel(document, 5, 22), opaque(sprite::darkNoteColours[2]));

        QTest::mouseClick(document.channels().instButton(2), Qt::LeftButton);
        QCOMPARE(document.statusText(), QString("Current Channel: Instrument #3"));
        QCOMPARE(boxPixel(document, 3, 20), opaque(sprite::darkNoteColours[0]));
        QCOMPARE(boxPixel(document, 5, 22), opaque(sprite::brightNoteColours[2]));

        QTest::mouseClick(document.channels().drumButton(2), Qt::LeftButton);
        QCOMPARE(document.editState().currentChannel, 2);
        QCOMPARE(document.editState().channelKind, 1);
        QCOMPARE(document.statusText(), QString("Current Channel: Drum #3"));
        for (int i = 0; i < 8; ++i) {
            QVERIFY(document.channels().instButton(i)->isEnabled());
            QCOMPARE(document.channels().drumButton(i)->isEnabled(), i != 2);
        }
        // Only drum notes now: the drum of channel 2 is dark, the instrument notes are gone.
        QCOMPARE(boxPixel(document, 4, 24), opaque(sprite::darkNoteColours[1]));
        QCOMPARE(boxPixel(document, 3, 20),
                 document.pianoRoll()->rollBuffer().pixel(16 * 2 + 67 - 28 + 5, 12 * 19 + 1 - 25 + 5));
        QTest::mouseClick(document.channels().drumButton(1), Qt::LeftButton);
        QCOMPARE(boxPixel(document, 4, 24), opaque(sprite::brightNoteColours[1]));
    }

    void pointerMovesRestoreTheChannelTextOrSayMute() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        QCheckBox* mute = document.findChildren<QCheckBox*>("muteCheck").at(5);
        hover(mute);
        QCOMPARE(document.statusText(), QString("Mute"));
        hover(&document);
        QCOMPARE(document.statusText(), QString("Current Channel: Instrument #1"));
        for (QWidget* restorer : QList<QWidget*>{document.channels().instLabel(), document.channels().drumButton(4),
                                                 document.channels().instButton(0),  // the disabled one too
                                                 document.findChild<QStatusBar*>("StatusBar1")}) {
            hover(mute);
            QCOMPARE(document.statusText(), QString("Mute"));
            QTest::mouseMove(restorer, QPoint(3, 3));
            hover(restorer);
            QCOMPARE(document.statusText(), QString("Current Channel: Instrument #1"));
        }
        // The transport buttons leave the text alone.
        hover(mute);
        hover(document.findChild<QPushButton*>("playButton"));
        QCOMPARE(document.statusText(), QString("Mute"));
    }

    void resizingLaysOutTheControlsAndSpringsBack() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        QWidget* frame = document.parentWidget();
        frame->resize(720, 640);
        const DocumentLayout layout = layoutDocument(document.width(), document.height());
        QCOMPARE(document.pianoRoll()->geometry(), layout.pianoRoll);
        QCOMPARE(document.pianoRoll()->picture().size(), layout.pianoRoll.size());
        QCOMPARE(document.rollYScroll()->geometry(), layout.rollYScroll);
        QCOMPARE(document.findChild<QPushButton*>("stopButton")->geometry(), layout.stopButton);
        QCOMPARE(document.findChild<QProgressBar*>("ProgressBar1")->geometry(), layout.progressBar);
        QCOMPARE(document.channels().drumButton(7)->geometry(), layout.drumButtons[7]);
        frame->resize(300, 200);
        QCOMPARE(frame->size(), QSize(593, 525));
    }

    void openCancelledLeavesNoWindowBehind() {
        TestEditor editor;
        editor.mainWindow->newFile();
        QCOMPARE(editor.mainWindow->clickOpen(), nullptr);
        QCOMPARE(editor.mainWindow->documents().size(), 1);
        QCOMPARE(editor.prompts.choosers.size(), 1);
        QCOMPARE(editor.prompts.choosers[0].forSaving, false);
        QCOMPARE(editor.prompts.choosers[0].title, QString("Open..."));
        QCOMPARE(editor.prompts.choosers[0].suggestedName, QString("NewData.org"));
    }

    void openingAFileShowsItAndSaveWritesItBack() {
        TestEditor editor;
        Song song = songWithNotes();
        song.instruments[0].noteCount = 1;
        song.instruments[2].noteCount = 2;
        song.drums[1].noteCount = 1;
        const QString path = writeSong("tune.org", song);
        editor.prompts.answers.push_back(path);
        DocumentWindow& document = *editor.mainWindow->clickOpen();
        QCOMPARE(document.caption(), QString("tune.org"));
        QCOMPARE(document.fileName(), path);
        QCOMPARE(document.song().tempo, 90);
        QCOMPARE(document.editState().noteCounts[0][2], 2);
        QCOMPARE(document.editState().noteCounts[1][1], 1);
        QCOMPARE(boxPixel(document, 3, 20), opaque(sprite::brightNoteColours[0]));
        QVERIFY(editor.prompts.messages.isEmpty());

        document.song().tempo = 300;
        QVERIFY(document.save());
        QCOMPARE(editor.prompts.choosers.size(), 1);  // no dialog for a bound document
        QCOMPARE(document.caption(), QString("tune.org"));
        Song reread;
        QVERIFY(loadOrgFile(reread, fsPath(path)).ok());
        QCOMPARE(reread.tempo, 300);
    }

    void theSameFileTwiceGivesTwoIndependentWindows() {
        TestEditor editor;
        const QString path = writeSong("twice.org", songWithNotes());
        editor.prompts.answers = {path, path};
        DocumentWindow* first = editor.mainWindow->clickOpen();
        DocumentWindow* second = editor.mainWindow->clickOpen();
        QVERIFY(first && second && first != second);
        first->song().instrumentNotes.at(0, 1).position = 40;
        QCOMPARE(second->song().instrumentNotes.at(0, 1).position, 3);
        QCOMPARE(editor.mainWindow->documents().size(), 2);
    }

    void anInvalidFileLeavesANewUnboundSong() {
        TestEditor editor;
        const QString path = m_folder.filePath("notes.org");
        {
            QFile notes(path);
            QVERIFY(notes.open(QIODevice::WriteOnly));
            notes.write("# shopping\n- milk\n");
        }
        editor.prompts.answers.push_back(path);
        DocumentWindow* document = editor.mainWindow->clickOpen();
        QVERIFY(document != nullptr);
        QCOMPARE(editor.prompts.messages.size(), 1);
        QCOMPARE(editor.prompts.messages[0].title, QString("File Open Error"));
        QCOMPARE(editor.prompts.messages[0].text, QString("This is not a valid ORG File!"));
        QCOMPARE(editor.prompts.messages[0].icon, MessageIcon::Warning);
        QCOMPARE(document->caption(), QString("NewData.org"));
        QCOMPARE(document->fileName(), QString("null"));
        QCOMPARE(document->song().tempo, 128);
        // Save asks where to save; cancelling it leaves the notes file as it was.
        QVERIFY(!document->save());
        QCOMPARE(editor.prompts.choosers.last().forSaving, true);
        QCOMPARE(editor.prompts.choosers.last().title, QString("Save As..."));
        QCOMPARE(editor.prompts.choosers.last().suggestedName, QString("NewData.org"));
        QFile notes(path);
        QVERIFY(notes.open(QIODevice::ReadOnly));
        QCOMPARE(notes.readAll(), QByteArray("# shopping\n- milk\n"));
    }

    void anUnreadableFileReportsTheSystemsReason() {
        TestEditor editor;
        editor.prompts.answers.push_back(m_folder.filePath("missing.org"));
        DocumentWindow* document = editor.mainWindow->clickOpen();
        QVERIFY(document != nullptr);
        QCOMPARE(editor.prompts.messages.size(), 1);
        QCOMPARE(editor.prompts.messages[0].title, QString("File Open Error"));
        QCOMPARE(editor.prompts.messages[0].text, QString("No such file or directory"));
        QCOMPARE(document->fileName(), QString("null"));
        QCOMPARE(document->caption(), QString("NewData.org"));
    }

    void saveAsBindsTheFileAndCancellingKeepsTheOldName() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        QVERIFY(!document.save());  // cancelled Save As
        QCOMPARE(document.fileName(), QString("null"));
        const QString path = m_folder.filePath("saved.org");
        editor.prompts.answers.push_back(path);
        QVERIFY(document.saveAs());
        QCOMPARE(document.fileName(), path);
        QCOMPARE(document.caption(), QString("saved.org"));
        QVERIFY(QFile::exists(path));
        QVERIFY(!document.saveAs());  // cancelled again
        QCOMPARE(document.fileName(), path);
        QCOMPARE(document.caption(), QString("saved.org"));
        QVERIFY(editor.prompts.messages.isEmpty());
    }

    void failedSavesAreReportedAndTheProgramGoesOn() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        editor.prompts.answers.push_back(m_folder.filePath("no/such/folder/x.org"));
        QVERIFY(!document.saveAs());
        QCOMPARE(editor.prompts.messages.size(), 1);
        QVERIFY(!editor.prompts.messages[0].text.isEmpty());
        QCOMPARE(document.fileName(), QString("null"));

        // A bound document whose folder has gone keeps its file name after the failure.
        QTemporaryDir gone;
        const QString path = gone.filePath("bound.org");
        editor.prompts.answers.push_back(path);
        QVERIFY(document.saveAs());
        QVERIFY(gone.remove());
        QVERIFY(!document.save());
        QCOMPARE(editor.prompts.messages.size(), 2);
        QCOMPARE(document.fileName(), path);
        QCOMPARE(document.caption(), QString("bound.org"));
    }
};

const bool registered = registerUiTest<DocumentWindowTest>();

}  // namespace
}  // namespace tromel::test

#include "DocumentWindowTest.moc"
