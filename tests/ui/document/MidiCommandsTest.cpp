// File > Import MIDI... and Export MIDI...: the import dialog's plan, the unsaved song it makes,
// refusals that leave nothing behind, and the export written from a window's song.
#include "dialogs/MidiImportDialog.h"
#include "exchange/MidiReader.h"
#include "exchange/MidiWriter.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"
#include "tests/ui/dialogs/ModalDialogDriver.h"

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

namespace tromel::test {
namespace {

using exchange::MidiEvent;
using exchange::midi::noteOff;
using exchange::midi::noteOn;

// A melody of three notes on MIDI channel 1 and a kick and a snare on channel 10, 4 steps a beat.
QString writeMidi(TestEditor& editor, const QString& name) {
    exchange::MidiFile file;
    file.division = 384;
    exchange::MidiTrack track;
    for (const auto& [tick, channel, key] :
         {std::tuple{0, 0, 60}, {0, 9, 36}, {384, 0, 62}, {384, 9, 38}, {768, 0, 64}}) {
        track.events.push_back(MidiEvent::channelMessage(tick, noteOn, channel, key, 100));
        track.events.push_back(MidiEvent::channelMessage(tick + 96, noteOff, channel, key, 0));
    }
    std::stable_sort(track.events.begin(), track.events.end(),
                     [](const MidiEvent& a, const MidiEvent& b) { return a.tick < b.tick; });
    file.tracks.push_back(track);
    const QString path = editor.folder.filePath(name);
    return exchange::saveMidiFile(file, QFile::encodeName(path).toStdString()).ok ? path : QString();
}

class MidiCommandsTest : public QObject {
    Q_OBJECT

private slots:
    // The dialog lists the parts with their defaults; the song comes in as "tune.org*", bound to no
    // file, with what the dialog chose, and the account of it in a box.
    void importMakesAnUnsavedSongByThePlanChosen() {
        TestEditor editor;
        editor.prompts.answers.push_back(writeMidi(editor, "tune.mid"));
        QStringList shown;
        whenModalShown<dialogs::MidiImportDialog>([&shown](dialogs::MidiImportDialog& d) {
            auto* table = d.findChild<QTableWidget*>("partTable");
            for (int row = 0; row < table->rowCount(); ++row)
                shown << table->item(row, 3)->text() + " " + table->item(row, 4)->text() + " " +
                             d.findChild<QComboBox*>(QString("partTarget_%1").arg(row))->currentText();
            shown << QString::number(d.findChild<QSpinBox*>("stepsPerBeat")->value());
            d.findChild<QComboBox*>("partTarget_2")->setCurrentText("Skip");  // the snare
            d.findChild<QComboBox*>("partTarget_0")->setCurrentText("Instrument 4");
            d.findChild<QPushButton*>("importButton")->click();
        });
        DocumentWindow* document = editor.mainWindow->importMidi();
        QVERIFY(document);
        QCOMPARE(shown, (QStringList{"1 Acoustic Grand Piano 3 Instrument 1", "Bass01 (kick; keys 36) 1 Drum 1",
                                     "Snare01 (snare; keys 38) 1 Drum 2", "4"}));
        QCOMPARE(document->caption(), QString("tune.org*"));
        QCOMPARE(document->fileName(), QString("null"));
        QCOMPARE(document->song().instrumentNotes.liveCount(3), 3);
        QCOMPARE(document->song().drumNotes.liveCount(), 1);
        QCOMPARE(document->editState().noteCounts[0][3], 3);
        QCOMPARE(editor.prompts.messages,
                 (QList{RecordedMessage{MessageIcon::Information, "Import MIDI",
                                        "4 notes imported.\n1 notes dropped: in parts set to Skip"}}));
        QVERIFY(!document->save());  // asks where, proposing the file's name; cancelled
        QCOMPARE(editor.prompts.choosers.last(), (RecordedChooser{true, "Save As...", "tune.org"}));
    }

    // Cancelled at the file or in the dialog, or a file that is no MIDI file: no window stays.
    void importLeavesNothingBehindWhenItDoesNotHappen() {
        TestEditor editor;
        QCOMPARE(editor.mainWindow->importMidi(), nullptr);
        editor.prompts.answers.push_back(writeMidi(editor, "tune.mid"));
        whenModalShown<dialogs::MidiImportDialog>([](dialogs::MidiImportDialog& d) { d.reject(); });
        QCOMPARE(editor.mainWindow->importMidi(), nullptr);
        QFile text(editor.folder.filePath("notes.mid"));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("MThd\0\0\0\6\0\1", 10) == 10);
        text.close();
        editor.prompts.answers.push_back(text.fileName());
        QCOMPARE(editor.mainWindow->importMidi(), nullptr);
        QVERIFY(editor.mainWindow->documents().isEmpty());
        QCOMPARE(editor.prompts.messages,
                 (QList{RecordedMessage{MessageIcon::Warning, "Import MIDI",
                                        "notes.mid cannot be imported: the file ends inside its header."}}));
    }

    // Export MIDI... beside the song's file, read back; a song that cannot go is refused in a box.
    void exportWritesTheWindowsSongOrSaysWhyNot() {
        TestEditor editor;
        const QString song = editor.writeSong("tune.org", songWith({{0, {1, 50, 2, 6, 166}}, {8, {3, 60, 1, 6, 100}}}));
        DocumentWindow& document = *editor.mainWindow->openFile(song);
        const QString midi = editor.folder.filePath("out.mid");
        editor.prompts.answers.push_back(midi);
        menuEntry(document, "Export MIDI...")->trigger();
        QCOMPARE(editor.prompts.choosers.last(),
                 (RecordedChooser{true, "Export MIDI...", editor.folder.filePath("tune.mid")}));
        const exchange::MidiReadResult read = exchange::loadMidiFile(QFile::encodeName(midi).toStdString());
        QVERIFY(read.ok());
        QCOMPARE(read.file.tracks.size(), std::size_t{3});
        document.song().tempo = 0;
        QVERIFY(QFile::remove(midi));
        editor.prompts.answers.push_back(midi);
        menuEntry(document, "Export MIDI...")->trigger();
        QVERIFY(!QFile::exists(midi));
        QCOMPARE(editor.prompts.messages.last().title, QString("Export MIDI"));
        QVERIFY(editor.prompts.messages.last().text.contains("tempo is 0"));
    }

    // A song naming a drum beyond the set opens, saying so once; it saves as "Org-03".
    void aSongWithUnknownDrumsOpensAndSaysSoOnce() {
        TestEditor editor;
        Song song = songWith({{9, {1, 36, 1, 6, 100}}});
        song.drums[1].wave = 40;
        song.drums[2].wave = 20;
        DocumentWindow& document = *editor.mainWindow->openFile(editor.writeSong("later.org", song));
        QCOMPARE(editor.prompts.messages.size(), 1);
        QCOMPARE(editor.prompts.messages[0].title, QString("Unknown Drums"));
        QVERIFY(editor.prompts.messages[0].text.contains("drum channel 2 names drum 40"));
        QVERIFY(document.save());
        QFile file(document.fileName());
        QVERIFY(file.open(QIODevice::ReadOnly) && file.read(6) == "Org-03");
    }
};

const bool registered = registerUiTest<MidiCommandsTest>();

}  // namespace
}  // namespace tromel::test

#include "MidiCommandsTest.moc"
