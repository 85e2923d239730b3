// The song settings dialog: what it shows, what Apply, Cancel and the close box store, one dialog per window.
#include "dialogs/SongSettingsDialog.h"
#include "tests/ui/UiTestRegistry.h"
#include "tests/ui/dialogs/ModalDialogDriver.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace tromel::dialogs {
namespace {

const QStringList boxNames{"textTempo", "textSteps", "textBeats", "textLoopBegin", "textLoopEnd"};

QLineEdit* box(QDialog& dialog, const QString& name) {
    return dialog.findChild<QLineEdit*>(name);
}

void click(QDialog& dialog, const char* button) {
    dialog.findChild<QPushButton*>(button)->click();
}

class SongSettingsDialogTest : public QObject {
    Q_OBJECT

    SongSettingsExchange m_exchange;  // one for the program, as the main window holds it

    // Runs the menu entry once: notes the box texts shown, types `typed` into the first boxes in
    // boxNames order, then lets `finish` hide the dialog.
    QStringList runEntry(QWidget& window, Song& song, std::unique_ptr<SongSettingsDialog>& dialog,
                         const QStringList& typed, std::function<void(SongSettingsDialog&)> finish) {
        QStringList shown;
        test::whenModalShown<SongSettingsDialog>([&shown, typed, finish](SongSettingsDialog& d) {
            for (const QString& name : boxNames)
                shown << box(d, name)->text();
            for (qsizetype i = 0; i < typed.size(); ++i)
                box(d, boxNames[i])->setText(typed[i]);
            finish(d);
        });
        editSongSettings(&window, song, m_exchange, dialog);
        return shown;
    }

private slots:
    void namesTabOrderAndRoomForAny32BitValue() {
        SongSettingsDialog dialog;
        QCOMPARE(dialog.objectName(), QString("winSongSettings"));
        QCOMPARE(dialog.windowTitle(), QString("Settings"));
        const QLineEdit* widest = box(dialog, "textLoopBegin");
        QVERIFY(widest->fontMetrics().horizontalAdvance("-2147483648") < widest->contentsRect().width() - 4);
        QStringList order;
        QWidget* widget = box(dialog, "textTempo");
        do {
            if (widget->focusPolicy() & Qt::TabFocus)
                order << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget != box(dialog, "textTempo"));
        QCOMPARE(order, QStringList({"textTempo", "textSteps", "textBeats", "cmdApply", "cmdCancel", "textLoopBegin",
                                     "textLoopEnd", "textBpm"}));
    }

    // The BPM box and the line under the written boxes read every change of them; a BPM typed
    // (its own reading: decimals with ".") sets the tempo box to the nearest whole millisecond.
    void bpmAndTheSongReadInMusicalTerms() {
        SongSettingsDialog dialog;
        QLineEdit* bpm = box(dialog, "textBpm");
        const auto reading = [&] { return dialog.findChild<QLabel*>("tempoReading")->text(); };
        const QString dot = QStringLiteral(" \u00B7 ");
        // Typed into tempo, steps per bar, beats per step: the BPM box and the line.
        for (const auto& [tempo, steps, beats, shownBpm, line] :
             {std::tuple{"128", "4", "4", "117.2", "117.2 beats per minute" + dot + "a bar of 4 beats, 4 steps each"},
              {"100", "3", "8", "75.0", "75.0 beats per minute" + dot + "a bar of 3 beats, 8 steps each"},
              {"1000", "7", "1", "60.0", "60.0 beats per minute" + dot + "a bar of 7 beats, 1 steps each"},
              {"0", "4", "4", "", "no tempo"},
              {"128", "0", "4", "117.2", "no tempo"},
              {"128", "4", "-2", "", "no tempo"}}) {
            box(dialog, "textTempo")->setText(tempo);
            box(dialog, "textSteps")->setText(steps);
            box(dialog, "textBeats")->setText(beats);
            QCOMPARE(bpm->text(), QString(shownBpm));
            QCOMPARE(reading(), QString(line));
        }
        // Typed key by key into the BPM box, at 4 steps a beat: the tempo box follows, the BPM box
        // keeps what is typed; what is no BPM ("1,", "1.2.") leaves the tempo as it was.
        box(dialog, "textBeats")->setText("4");
        for (const auto& [typed, tempo] : {std::pair{"120", "125"},
                                           {"117.2", "128"},
                                           {" 90.5 ", "166"},
                                           {"1,5", "15000"},
                                           {"0", "15000"},
                                           {"-60", "15000"},
                                           {"2e2", "7500"},
                                           {"1.2.3", "12500"},
                                           {"100000", "1"},
                                           {"0.1", "65535"},
                                           {".5", "30000"}}) {
            bpm->clear();
            QTest::keyClicks(bpm, typed);
            QCOMPARE(box(dialog, "textTempo")->text(), QString(tempo));
            QCOMPARE(bpm->text(), QString(typed));
        }
        QCOMPARE(reading(), "0.5 beats per minute" + dot + "a bar of 4 beats, 4 steps each");

        // Opened on a song, it reads the song; a BPM typed there is applied as its tempo.
        QWidget window;
        Song song;
        std::unique_ptr<SongSettingsDialog> shown;
        QString opening;
        runEntry(window, song, shown, {}, [&opening](SongSettingsDialog& d) {
            opening = box(d, "textBpm")->text();
            box(d, "textBpm")->clear();
            QTest::keyClicks(box(d, "textBpm"), "150");
            click(d, "cmdApply");
        });
        QCOMPARE(opening, QString("117.2"));
        QCOMPARE(song.tempo, 100);
    }

    void cancelAndCloseBoxLeaveEvenWideValuesAlone() {
        for (const bool useCloseBox : {false, true}) {
            QWidget window;
            Song song;
            song.tempo = 65535;
            song.loopBegin = 32768;
            song.loopEnd = 2147483647;
            const Song before = song;
            std::unique_ptr<SongSettingsDialog> dialog;
            const QStringList shown = runEntry(
                window, song, dialog, {"1", "2", "3", "4", "5"},
                [useCloseBox](SongSettingsDialog& d) { useCloseBox ? (void)d.close() : click(d, "cmdCancel"); });
            QCOMPARE(shown, QStringList({"65535", "4", "4", "32768", "2147483647"}));
            QVERIFY(song == before);
        }
    }

    void eachWindowsDialogStoresParsedValuesSaturatedInItsOwnSong() {
        QWidget windowA;
        QWidget windowB;
        Song songA;
        Song songB;
        songB.loopEnd = 40000;
        const Song beforeB = songB;
        std::unique_ptr<SongSettingsDialog> dialogA;
        std::unique_ptr<SongSettingsDialog> dialogB;
        const auto reject = [](SongSettingsDialog& d) { d.reject(); };
        runEntry(windowA, songA, dialogA, {"1E6", "70000", "-70000", "3 5.5", "fast"},
                 [](SongSettingsDialog& d) { click(d, "cmdApply"); });
        SongSettingsDialog* const firstDialogA = dialogA.get();
        QCOMPARE(runEntry(windowB, songB, dialogB, {}, reject), QStringList({"128", "4", "4", "0", "40000"}));
        QVERIFY(dialogB.get() != dialogA.get());
        QCOMPARE(dialogB->parentWidget(), &windowB);
        // Values beyond what the file holds were stored as the nearest it holds.
        QCOMPARE(runEntry(windowA, songA, dialogA, {}, reject), QStringList({"65535", "255", "0", "36", "0"}));
        QCOMPARE(dialogA.get(), firstDialogA);
        QVERIFY(songB == beforeB);
    }
};

static const bool registered = test::registerUiTest<SongSettingsDialogTest>();

}  // namespace
}  // namespace tromel::dialogs

#include "SongSettingsDialogTest.moc"
