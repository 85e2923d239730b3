// File > Export Audio...: the same files as tromel-cli render, a progress that cancels, refusals told.
#include "dialogs/ExportAudioDialog.h"
#include "dialogs/ExportProgressDialog.h"
#include "document/DocumentWindow.h"
#include "exchange/AudioFormat.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"
#include "tests/ui/dialogs/ModalDialogDriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <cstdio>

namespace tromel::test {
namespace {

using dialogs::ExportAudioDialogChoices;

// Instrument and drum notes, a volume and pan change, and a loop that does not start at 0.
Song songToExport() {
    Song song = songWith({{0, NoteRec{1, 40, 6, 3, 200}},
                          {0, NoteRec{4, noKey, 1, 9, 120}},
                          {1, NoteRec{10, 52, 12, 6, 180}},
                          {10, NoteRec{9, 48, 1, 6, 220}},
                          {10, NoteRec{17, 50, 1, 0, 220}}});
    song.tempo = 40;
    song.loopBegin = 8;
    song.loopEnd = 32;
    song.instruments[1].wave = 30;
    song.drums[2].wave = 5;
    return song;
}

// tromel-cli render of a saved song, with the samples beside the program, as a user runs it.
int renderWithCli(const QString& song, const QString& out, const QString& options) {
    const QString command = QString("'%1/tromel-cli' render '%2' '%3' %4 2>&1").arg(TROMEL_BIN_DIR, song, out, options);
    FILE* pipe = popen(QFile::encodeName(command).constData(), "r");
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) {
    }
    return pclose(pipe);
}

// The dialog's choices: a length (loops > 0, else `seconds`) and the rest as tromel-cli names them.
struct Choice {
    int loops = 1;
    double seconds = 0.0;
    QString format = "wav16";
    int quality = 6;
    int bitrate = 256;
    double fade = 0.0;
    bool ring = false;
    int loudness = 0;  // 0: as mixed
    bool loopPoints = false;
    bool stems = false;
};

// Answers the options dialog.
void choose(const Choice& choice) {
    whenModalShown<dialogs::ExportAudioDialog>([=](dialogs::ExportAudioDialog& dialog) {
        auto* format = dialog.findChild<QComboBox*>("comboFormat");
        format->setCurrentIndex(format->findData(choice.format));
        dialog.findChild<QSpinBox*>("textQuality")->setValue(choice.quality);
        auto* bitrate = dialog.findChild<QComboBox*>("comboBitrate");
        bitrate->setCurrentIndex(bitrate->findData(choice.bitrate));
        if (choice.loops > 0) {
            dialog.findChild<QRadioButton*>("optionLoops")->setChecked(true);
            dialog.findChild<QSpinBox*>("textLoops")->setValue(choice.loops);
        } else {
            dialog.findChild<QRadioButton*>("optionSeconds")->setChecked(true);
            dialog.findChild<QDoubleSpinBox*>("textSeconds")->setValue(choice.seconds);
        }
        dialog.findChild<QDoubleSpinBox*>("textFade")->setValue(choice.fade);
        dialog.findChild<QCheckBox*>("checkRing")->setChecked(choice.ring);
        auto* loudness = dialog.findChild<QComboBox*>("comboLoudness");
        loudness->setCurrentIndex(choice.loudness == 0 ? 0 : loudness->findData(choice.loudness));
        dialog.findChild<QCheckBox*>("checkLoopPoints")->setChecked(choice.loopPoints);
        dialog.findChild<QCheckBox*>("checkStems")->setChecked(choice.stems);
        dialog.findChild<QPushButton*>("cmdExport")->click();
    });
}

void chooseLength(int loops, double seconds) {
    choose({.loops = loops, .seconds = seconds});
}

// What the render's folder holds besides the song files: no temporary file may stay behind.
QStringList leftovers(const QTemporaryDir& folder) {
    return QDir(folder.path()).entryList({".*.tromel-*"}, QDir::Files | QDir::Hidden);
}

class ExportAudioDialogTest : public QObject {
    Q_OBJECT

private slots:
    // Every format and option, stems too; the closing message names the files.
    void theExportEqualsTheCommandLineRenderOfTheSavedSong() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        document.song() = songToExport();
        const QString song = editor.folder.filePath("tune.org");
        editor.prompts.answers.push_back(song);
        QVERIFY(document.saveAs());
        const std::pair<Choice, QString> cases[] = {
            {{.loops = 2}, "--loops 2"},
            // A ringing end needs a length in loops: with seconds its box is off, and not passed on.
            {{.loops = 0, .seconds = 1.25, .ring = true}, "--seconds 1.25"},
            {{.format = "ogg", .quality = 3, .fade = 0.5, .loudness = -16},
             "--format ogg --quality 3 --fade 0.5 --loudness -16"},
            {{.format = "flac24", .loopPoints = true}, "--format flac24 --loop-points"},
            {{.format = "mp3", .bitrate = 128, .ring = true}, "--bitrate 128 --ring"},
            {{.format = "float", .stems = true}, "--stems --format float"}};
        for (const auto& [choice, options] : cases) {
            const QString extension =
                QString::fromLatin1(exchange::infoOf(*exchange::formatNamed(choice.format.toStdString())).extension);
            const QString exported = editor.folder.filePath("editor." + extension);
            const QString rendered = editor.folder.filePath("cli." + extension);
            choose(choice);
            editor.prompts.answers.push_back(exported);
            menuEntry(document, "Export Audio...")->trigger();
            QCOMPARE(editor.prompts.choosers.last(), (RecordedChooser{true, "Export Audio...", "tune." + extension}));
            QCOMPARE(renderWithCli(song, rendered, options), 0);
            QStringList names = {""};
            if (choice.stems)
                names = {"-instrument1", "-instrument2", "-drum3"};
            for (const QString& name : names) {
                const QByteArray bytes = bytesOf(editor.folder.filePath("editor" + name + "." + extension));
                QVERIFY2(bytes.size() > 1000, qPrintable(options + name));
                QVERIFY2(bytes == bytesOf(editor.folder.filePath("cli" + name + "." + extension)), qPrintable(options));
            }
            QCOMPARE(editor.prompts.messages.last().icon, MessageIcon::Information);
            QVERIFY(
                editor.prompts.messages.last().text.startsWith("Written: editor" + names.first() + "." + extension));
            QVERIFY(editor.prompts.messages.last().text.contains("Integrated loudness "));
        }
        QVERIFY(leftovers(editor.folder).isEmpty());
    }

    // Cancelling the progress stops the render and removes its file; a refused render (the song
    // itself, a song open in another window, missing samples) says why and writes nothing;
    // cancelling a question does nothing at all. (The missing folder's refusal is pinned by the
    // core's export and command-line tests.)
    void cancelledRefusedAndAbandonedExportsLeaveNoFile() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        document.song() = songToExport();
        const QString out = editor.folder.filePath("out.wav");

        chooseLength(0, 10000.0);
        editor.prompts.answers.push_back(out);
        QString cancelling;
        whenModalShown<dialogs::ExportProgressDialog>([&](dialogs::ExportProgressDialog& dialog) {
            dialog.findChild<QPushButton*>("cmdCancel")->click();
            cancelling = dialog.findChild<QLabel*>("labelExport")->text();
        });
        menuEntry(document, "Export Audio...")->trigger();
        QCOMPARE(cancelling, QString("Cancelling..."));
        QVERIFY(!QFile::exists(out));

        // The document's own file as the output; then a sample folder without the song's samples.
        const QString song = editor.folder.filePath("tune.org");
        editor.prompts.answers.push_back(song);
        QVERIFY(document.saveAs());
        const QByteArray saved = bytesOf(song);
        chooseLength(1, 0.0);
        editor.prompts.answers.push_back(song);
        menuEntry(document, "Export Audio...")->trigger();
        QCOMPARE(editor.prompts.messages.size(), 1);
        QCOMPARE(editor.prompts.messages.last().title, QString("Export Audio"));
        QVERIFY(editor.prompts.messages.last().text.endsWith("this is the song itself; choose another output file"));
        QCOMPARE(bytesOf(song), saved);

        // The file of a song open in another window, through a link, and as one of the stems.
        const QString other = editor.writeSong("other-drum3.wav", songWith({{0, {1, 50, 2, 6, 166}}}));
        const QString link = editor.folder.filePath("link.wav");
        QVERIFY(QFile::link(other, link));
        QVERIFY(editor.mainWindow->openFile(other) != nullptr);
        const QByteArray kept = bytesOf(other);
        for (const auto& [output, stems] :
             {std::pair{link, false}, std::pair{editor.folder.filePath("other.wav"), true}}) {
            choose({.loops = 1, .stems = stems});
            editor.prompts.answers.push_back(output);
            menuEntry(document, "Export Audio...")->trigger();
            QCOMPARE(editor.prompts.messages.size(), stems ? 3 : 2);
            QCOMPARE(editor.prompts.messages.last().text,
                     (stems ? other : link) +
                         ": this is the file of a song open in another window; choose another "
                         "output file");
        }
        QCOMPARE(bytesOf(other), kept);
        editor.prompts.messages.resize(1);

        QTemporaryDir noSamples;
        editor.context.sampleFolder = QFile::encodeName(noSamples.path()).toStdString();
        chooseLength(1, 0.0);
        editor.prompts.answers.push_back(out);
        menuEntry(document, "Export Audio...")->trigger();
        QCOMPARE(editor.prompts.messages.size(), 2);
        // The list of what is missing is the render's own, pinned by the command line's test.
        QVERIFY(editor.prompts.messages.last().text.contains(noSamples.filePath("M31.wav") + ": "));
        QVERIFY(!QFile::exists(out));

        whenModalShown<dialogs::ExportAudioDialog>(
            [](dialogs::ExportAudioDialog& dialog) { dialog.findChild<QPushButton*>("cmdCancel")->click(); });
        menuEntry(document, "Export Audio...")->trigger();
        chooseLength(1, 0.0);
        menuEntry(document, "Export Audio...")->trigger();  // the file chooser cancelled: no answer left
        QCOMPARE(editor.prompts.messages.size(), 2);
        QVERIFY(!QFile::exists(out));
        QVERIFY(leftovers(editor.folder).isEmpty());
    }

    // One pass of a song whose loop spans it from step 0 (its last note ends at step 21), else the
    // loop once after it; then whatever was last exported with for that song, another song keeping
    // its own first choice.
    void theLengthFitsTheSongAndTheLastChoiceIsKept() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        const auto shown = [&](DocumentWindow& window) {
            ExportAudioDialogChoices seen;
            whenModalShown<dialogs::ExportAudioDialog>([&](dialogs::ExportAudioDialog& dialog) {
                seen = dialog.choices();
                dialog.findChild<QPushButton*>("cmdCancel")->click();
            });
            menuEntry(window, "Export Audio...")->trigger();
            return seen;
        };
        const std::tuple<int, int, int> loops[] = {{0, 21, 0}, {0, 40, 0}, {0, 20, 1}, {1, 32, 1}};
        for (const auto& [begin, end, expected] : loops) {
            document.song() = songToExport();
            document.song().loopBegin = begin;
            document.song().loopEnd = end;
            const ExportAudioDialogChoices first = shown(document);
            QCOMPARE(first.loops, expected);
            QVERIFY(first.inLoops);
        }

        const QString song = editor.folder.filePath("tune.org");
        editor.prompts.answers.push_back(song);
        QVERIFY(document.saveAs());
        choose({.loops = 0, .seconds = 2.5, .format = "flac24", .stems = true});
        editor.prompts.answers.push_back(editor.folder.filePath("out.flac"));
        menuEntry(document, "Export Audio...")->trigger();
        QCOMPARE(shown(document),
                 (ExportAudioDialogChoices{.format = "flac24", .inLoops = false, .seconds = 2.5, .stems = true}));
        DocumentWindow& other = *editor.mainWindow->newFile();
        other.song() = songToExport();
        QCOMPARE(shown(other), ExportAudioDialogChoices{});
    }
};

const bool registered = registerUiTest<ExportAudioDialogTest>();

}  // namespace
}  // namespace tromel::test

#include "ExportAudioDialogTest.moc"
