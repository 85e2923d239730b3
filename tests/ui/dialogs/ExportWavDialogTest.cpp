// File > Export WAV...: the same file as tromel-cli render, a progress that cancels, refusals told.
#include "dialogs/ExportProgressDialog.h"
#include "dialogs/ExportWavDialog.h"
#include "document/DocumentWindow.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"
#include "tests/ui/dialogs/ModalDialogDriver.h"

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

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

// Answers the length dialog: loops > 0 takes that many loops, otherwise `seconds`.
void chooseLength(int loops, double seconds) {
    whenModalShown<dialogs::ExportWavDialog>([=](dialogs::ExportWavDialog& dialog) {
        if (loops > 0) {
            dialog.findChild<QSpinBox*>("textLoops")->setValue(loops);
        } else {
            dialog.findChild<QRadioButton*>("optionSeconds")->setChecked(true);
            dialog.findChild<QDoubleSpinBox*>("textSeconds")->setValue(seconds);
        }
        dialog.findChild<QPushButton*>("cmdExport")->click();
    });
}

// What the render's folder holds besides the song files: no temporary file may stay behind.
QStringList leftovers(const QTemporaryDir& folder) {
    return QDir(folder.path()).entryList({"*.tmp-*"}, QDir::Files);
}

class ExportWavDialogTest : public QObject {
    Q_OBJECT

private slots:
    void theExportEqualsTheCommandLineRenderOfTheSavedSong() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        document.song() = songToExport();
        const QString song = editor.folder.filePath("tune.org");
        editor.prompts.answers.push_back(song);
        QVERIFY(document.saveAs());
        for (const auto& [loops, seconds, options] :
             {std::tuple{2, 0.0, QString("--loops 2")}, std::tuple{0, 1.25, QString("--seconds 1.25")}}) {
            const QString exported = editor.folder.filePath("editor.wav");
            const QString rendered = editor.folder.filePath("cli.wav");
            editor.prompts.answers.push_back(exported);
            chooseLength(loops, seconds);
            menuEntry(document, "Export WAV...")->trigger();
            QCOMPARE(editor.prompts.choosers.last(), (RecordedChooser{true, "Export WAV...", "tune.wav"}));
            QCOMPARE(renderWithCli(song, rendered, options), 0);
            const QByteArray bytes = bytesOf(exported);
            QVERIFY(bytes.size() > 44 + 4 * 44100);
            QVERIFY(bytes == bytesOf(rendered));
        }
        QVERIFY(editor.prompts.messages.isEmpty());
        QVERIFY(leftovers(editor.folder).isEmpty());
    }

    // Cancelling the progress stops the render and removes its file; a refused render says why
    // and writes nothing; cancelling a question does nothing at all.
    void cancelledRefusedAndAbandonedExportsLeaveNoFile() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        document.song() = songToExport();
        const QString out = editor.folder.filePath("out.wav");

        editor.prompts.answers.push_back(out);
        chooseLength(0, 10000.0);
        QString cancelling;
        whenModalShown<dialogs::ExportProgressDialog>([&](dialogs::ExportProgressDialog& dialog) {
            dialog.findChild<QPushButton*>("cmdCancel")->click();
            cancelling = dialog.findChild<QLabel*>("labelExport")->text();
        });
        menuEntry(document, "Export WAV...")->trigger();
        QCOMPARE(cancelling, QString("Cancelling..."));
        QVERIFY(!QFile::exists(out));

        // The document's own file as the output; then a sample folder without the song's samples.
        const QString song = editor.folder.filePath("tune.org");
        editor.prompts.answers.push_back(song);
        QVERIFY(document.saveAs());
        const QByteArray saved = bytesOf(song);
        editor.prompts.answers.push_back(song);
        chooseLength(1, 0.0);
        menuEntry(document, "Export WAV...")->trigger();
        QCOMPARE(editor.prompts.messages.size(), 1);
        QCOMPARE(editor.prompts.messages.last().title, QString("Export WAV"));
        QVERIFY(editor.prompts.messages.last().text.endsWith("this is the song itself; choose another output file"));
        QCOMPARE(bytesOf(song), saved);

        QTemporaryDir noSamples;
        editor.context.sampleFolder = QFile::encodeName(noSamples.path()).toStdString();
        editor.prompts.answers.push_back(out);
        chooseLength(1, 0.0);
        menuEntry(document, "Export WAV...")->trigger();
        QCOMPARE(editor.prompts.messages.size(), 2);
        const QStringList missing = editor.prompts.messages.last().text.split('\n');
        QCOMPARE(missing.size(), 3);  // M01.wav (instrument 0), M31.wav (instrument 1), D06.wav (drum 2)
        QVERIFY(missing[1].startsWith(noSamples.filePath("M31.wav") + ": "));
        QVERIFY(!QFile::exists(out));

        editor.prompts.answers.push_back(out);
        whenModalShown<dialogs::ExportWavDialog>(
            [](dialogs::ExportWavDialog& dialog) { dialog.findChild<QPushButton*>("cmdCancel")->click(); });
        menuEntry(document, "Export WAV...")->trigger();
        menuEntry(document, "Export WAV...")->trigger();  // the file chooser cancelled: no answer left
        QCOMPARE(editor.prompts.messages.size(), 2);
        QVERIFY(!QFile::exists(out));
        QVERIFY(leftovers(editor.folder).isEmpty());
    }
};

const bool registered = registerUiTest<ExportWavDialogTest>();

}  // namespace
}  // namespace tromel::test

#include "ExportWavDialogTest.moc"
