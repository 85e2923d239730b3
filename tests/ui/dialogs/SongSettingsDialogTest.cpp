// The song settings dialog: what it shows, what Apply, Cancel and the close box store, one dialog per window.
#include "dialogs/SongSettingsDialog.h"
#include "tests/ui/UiTestRegistry.h"
#include "tests/ui/dialogs/ModalDialogDriver.h"

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
                                     "textLoopEnd"}));
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
