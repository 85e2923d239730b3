// File > Import MIDI... and Export MIDI...: the import dialog's plan, the unsaved song it makes,
// refusals that leave nothing behind, and the export written from a window's song.
#include "dialogs/ExportAudioDialog.h"
#include "dialogs/MidiImportDialog.h"
#include "dialogs/MidiPartPreview.h"
#include "exchange/MidiReader.h"
#include "exchange/MidiWriter.h"
#include "tests/core/files/FaultyFileSystem.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"
#include "tests/ui/dialogs/ModalDialogDriver.h"

#include <unistd.h>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>

#include <sys/stat.h>

namespace tromel::test {
namespace {

using exchange::MidiEvent;
using exchange::midi::noteOff;
using exchange::midi::noteOn;

// A melody of four notes on MIDI channel 1 (one a 16th after the beat) and a kick and a snare on
// channel 10.
QString writeMidi(TestEditor& editor, const QString& name) {
    exchange::MidiFile file;
    file.division = 384;
    exchange::MidiTrack track;
    for (const auto& [tick, channel, key] :
         {std::tuple{0, 0, 60}, {0, 9, 36}, {384, 0, 62}, {384, 9, 38}, {480, 0, 65}, {768, 0, 64}}) {
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
            auto* grid = d.findChild<QSpinBox*>("stepsPerBeat");
            shown << QString::number(grid->value()) << d.findChild<QLabel*>("gridMoves")->text();
            grid->setValue(2);  // the 16th moves
            shown << d.findChild<QLabel*>("gridMoves")->text();
            grid->setValue(4);
            d.findChild<QComboBox*>("partTarget_2")->setCurrentText("Skip");  // the snare
            d.findChild<QComboBox*>("partTarget_0")->setCurrentText("Instrument 4");
            d.findChild<QPushButton*>("importButton")->click();
        });
        DocumentWindow* document = editor.mainWindow->importMidi();
        QVERIFY(document);
        QCOMPARE(shown, (QStringList{"1 Acoustic Grand Piano 4 Instrument 1", "Bass01 (kick; keys 36) 1 Drum 1",
                                     "Snare01 (snare; keys 38) 1 Drum 2", "4", "No note start moves.",
                                     "1 of 6 note starts move, by at most a 16th note."}));
        QCOMPARE(document->caption(), QString("tune.org*"));
        QCOMPARE(document->fileName(), QString("null"));
        QCOMPARE(document->song().instrumentNotes.liveCount(3), 4);
        QCOMPARE(document->song().drumNotes.liveCount(), 1);
        QCOMPARE(document->editState().noteCounts[0][3], 4);
        QCOMPARE(editor.prompts.messages,
                 (QList{RecordedMessage{MessageIcon::Information, "Import MIDI",
                                        "5 notes imported.\n1 notes dropped: in parts set to Skip"}}));
        // Save asks where, from the MIDI file's folder; the exports propose the song's name. All cancelled.
        QVERIFY(!document->save());
        QCOMPARE(editor.prompts.choosers.last(),
                 (RecordedChooser{true, "Save As...", editor.folder.filePath("tune.org")}));
        menuEntry(*document, "Export MIDI...")->trigger();
        QCOMPARE(editor.prompts.choosers.last(),
                 (RecordedChooser{true, "Export MIDI...", editor.folder.filePath("tune.mid")}));
        whenModalShown<dialogs::ExportAudioDialog>(
            [](dialogs::ExportAudioDialog& d) { d.findChild<QPushButton*>("cmdExport")->click(); });
        menuEntry(*document, "Export Audio...")->trigger();
        QCOMPARE(editor.prompts.choosers.last(), (RecordedChooser{true, "Export Audio...", "tune.wav"}));
    }

    // Sixteen parts fit a 1600 × 1000 screen without scrolling, those left out saying why; Listen
    // plays a part's first four bars from its first note, as the part would be imported.
    void theDialogShowsSixteenPartsAndListensToOne() {
        TestEditor editor;
        exchange::MidiFile file;
        file.division = 96;
        for (int part = 0; part < 16; ++part) {
            exchange::MidiTrack track;
            const int channel = part < 9 ? part : part < 15 ? part + 1 : 1;  // no percussion
            const int first = part == 0 ? 8 : 0;                             // the first part begins in its third bar
            for (int beat = first; beat < first + 24; ++beat) {
                const auto tick = static_cast<uint32_t>(96 * beat);
                track.events.push_back(MidiEvent::channelMessage(tick, noteOn, channel, 48 + beat % 12, 100));
                track.events.push_back(MidiEvent::channelMessage(tick + 48, noteOff, channel, 48 + beat % 12, 0));
            }
            track.endTick = track.events.back().tick;
            file.tracks.push_back(track);
        }
        const QString path = editor.folder.filePath("sixteen.mid");
        QVERIFY(exchange::saveMidiFile(file, QFile::encodeName(path).toStdString()).ok);
        editor.prompts.answers.push_back(path);
        QStringList leftOut;
        bool heard = false;
        whenModalShown<dialogs::MidiImportDialog>([&](dialogs::MidiImportDialog& d) {
            auto* table = d.findChild<QTableWidget*>("partTable");
            QCOMPARE(table->rowCount(), 16);
            QVERIFY(d.frameGeometry().width() <= 1600 && d.frameGeometry().height() <= 1000);
            QCOMPARE(table->verticalScrollBar()->maximum(), 0);
            QCOMPARE(table->horizontalScrollBar()->maximum(), 0);
            for (int row = 0; row < 16; ++row)
                if (table->item(row, 7))
                    leftOut << QString::number(row) + " " + table->item(row, 7)->text();
            auto* preview = d.findChild<dialogs::MidiPartPreview*>("partPreview");
            heard = editor.startUntilHeard([&] { d.findChild<QPushButton*>("partListen_0")->click(); });
            QCOMPARE(preview->notes().size(), std::size_t{16});  // four bars of four beats
            QCOMPARE(preview->notes().front().first, 0);
            QCOMPARE(96 - preview->notes().front().second.key, 48 + 8 - 12);
            d.reject();
            QVERIFY(!preview->isPlaying());
        });
        QCOMPARE(editor.mainWindow->importMidi(), nullptr);
        QVERIFY(heard);
        QStringList expected;  // eight parts of as many notes: the first eight get channels
        for (int row = 8; row < 16; ++row)
            expected << QString::number(row) + " Left out: more parts than channels";
        QCOMPARE(leftOut, expected);
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
        // A FIFO is refused unopened: opening it would wait for a writer that never comes.
        const QByteArray fifo = QFile::encodeName(editor.folder.filePath("pipe.mid"));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        editor.prompts.answers.push_back(editor.folder.filePath("pipe.mid"));
        QCOMPARE(editor.mainWindow->importMidi(), nullptr);
        QVERIFY(editor.mainWindow->documents().isEmpty());
        QCOMPARE(editor.prompts.messages,
                 (QList{RecordedMessage{MessageIcon::Warning, "Import MIDI",
                                        "notes.mid cannot be imported: the file ends inside its header."},
                        RecordedMessage{MessageIcon::Warning, "Import MIDI",
                                        "pipe.mid cannot be imported: Not a regular file."}}));
    }

    // Export MIDI... beside the song's file, written as songs are and read back; a song that cannot go is
    // refused in a box.
    void exportWritesTheWindowsSongOrSaysWhyNot() {
        files::test::FaultyFileSystem seam;
        TestEditor editor(seam);
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
        // Flushed, and its folder after the rename, as songs are.
        QVERIFY(std::any_of(seam.calls.begin(), seam.calls.end(), [&](const files::test::Call& call) {
            return call.operation == files::test::Operation::Rename && call.path.ends_with(" -> " + midi.toStdString());
        }));
        QCOMPARE(seam.unflushed(), std::vector<std::string>{});
        document.song().tempo = 0;
        QVERIFY(QFile::remove(midi));
        editor.prompts.answers.push_back(midi);
        menuEntry(document, "Export MIDI...")->trigger();
        QVERIFY(!QFile::exists(midi));
        QCOMPARE(editor.prompts.messages.last().title, QString("Export MIDI"));
        QVERIFY(editor.prompts.messages.last().text.contains("tempo is 0"));

        // Never over the song's own file, nor over that of a song open in another window, by
        // whatever name: the window would go on showing a song its file no longer holds.
        const QString other = editor.writeSong("other.org", songWith({{0, {1, 50, 2, 6, 166}}}));
        QVERIFY(editor.mainWindow->openFile(other) != nullptr);
        const QString link = editor.folder.filePath("link.mid");
        const QString second = editor.folder.filePath("second.mid");
        QVERIFY(QFile::link(song, link));
        QVERIFY(::link(QFile::encodeName(other).constData(), QFile::encodeName(second).constData()) == 0);
        const QString itself = ": this is the input file itself; choose another output file";
        const QString open = ": this is the file of a song open in another window; choose another output file";
        const QByteArray songBytes = bytesOf(song);
        const QByteArray otherBytes = bytesOf(other);
        for (const auto& [target, text] :
             {std::pair{song, itself}, std::pair{link, itself}, std::pair{other, open}, std::pair{second, open}}) {
            editor.prompts.answers.push_back(target);
            menuEntry(document, "Export MIDI...")->trigger();
            QCOMPARE(editor.prompts.messages.last(),
                     (RecordedMessage{MessageIcon::Warning, "Export MIDI", target + text}));
        }
        QCOMPARE(bytesOf(song), songBytes);
        QCOMPARE(bytesOf(other), otherBytes);
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
