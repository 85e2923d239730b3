// The song settings dialog: what it shows, what Apply, Cancel and the close box store, one dialog per window.
#include "dialogs/SongSettingsDialog.h"
#include "tests/ui/UiTestRegistry.h"
#include "tests/ui/dialogs/ModalDialogDriver.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <map>

namespace tromel::dialogs {
namespace {

using BoxTexts = std::map<QString, QString>;

Song songWithWideValues() {
    Song song;
    song.tempo = 65535;
    song.stepsPerBar = 255;
    song.beatsPerStep = 3;
    song.loopBegin = 32768;
    song.loopEnd = 2147483647;
    return song;
}

QLineEdit* box(QDialog& dialog, const QString& name) {
    return dialog.findChild<QLineEdit*>(name);
}

BoxTexts textsOf(QDialog& dialog) {
    BoxTexts texts;
    for (const char* name : {"textTempo", "textSteps", "textBeats", "textLoopBegin", "textLoopEnd"})
        texts[name] = box(dialog, name)->text();
    return texts;
}

void typeInto(QDialog& dialog, const BoxTexts& texts) {
    for (const auto& [name, text] : texts)
        box(dialog, name)->setText(text);
}

// Runs the menu entry once: `action` sees the dialog while it is up and must hide it.
BoxTexts runEntry(QWidget& window, Song& song, SongSettingsExchange& exchange,
                  std::unique_ptr<SongSettingsDialog>& dialog, std::function<void(SongSettingsDialog&)> action) {
    BoxTexts shown;
    test::whenModalShown<SongSettingsDialog>([&shown, action](SongSettingsDialog& d) {
        shown = textsOf(d);
        action(d);
    });
    editSongSettings(&window, song, exchange, dialog);
    return shown;
}

const BoxTexts everyBoxChanged{
    {"textTempo", "1"}, {"textSteps", "2"}, {"textBeats", "3"}, {"textLoopBegin", "4"}, {"textLoopEnd", "5"}};

class SongSettingsDialogTest : public QObject {
    Q_OBJECT

private slots:
    void layoutNamesAndTabOrder() {
        SongSettingsDialog dialog;
        QCOMPARE(dialog.objectName(), QString("winSongSettings"));
        QCOMPARE(dialog.windowTitle(), QString("Settings"));
        QCOMPARE(dialog.findChild<QPushButton*>("cmdApply")->text(), QString("Apply"));
        QCOMPARE(dialog.findChild<QPushButton*>("cmdCancel")->text(), QString("Cancel"));
        QCOMPARE(box(dialog, "textTempo")->geometry().topLeft(), QPoint(104, 8));
        QCOMPARE(box(dialog, "textLoopEnd")->geometry().topLeft(), QPoint(120, 104));
        const QLineEdit* widest = box(dialog, "textLoopBegin");
        QVERIFY(widest->fontMetrics().horizontalAdvance("-2147483648") < widest->contentsRect().width() - 4);
        const QStringList expected{"textTempo", "textSteps",     "textBeats",  "cmdApply",
                                   "cmdCancel", "textLoopBegin", "textLoopEnd"};
        QWidget* const first = box(dialog, "textTempo");
        QStringList order;
        QWidget* widget = first;
        do {
            if (widget->focusPolicy() & Qt::TabFocus)
                order << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget != first);
        QCOMPARE(order, expected);
    }

    void showsTheSongAndCancelOrCloseBoxChangeNothing() {
        for (const bool useCloseBox : {false, true}) {
            QWidget window;
            Song song = songWithWideValues();
            const Song before = song;
            SongSettingsExchange exchange;
            std::unique_ptr<SongSettingsDialog> dialog;
            const BoxTexts shown = runEntry(window, song, exchange, dialog, [useCloseBox](SongSettingsDialog& d) {
                typeInto(d, everyBoxChanged);
                if (useCloseBox)
                    d.close();
                else
                    d.findChild<QPushButton*>("cmdCancel")->click();
            });
            QCOMPARE(shown, (BoxTexts{{"textTempo", "65535"},
                                      {"textSteps", "255"},
                                      {"textBeats", "3"},
                                      {"textLoopBegin", "32768"},
                                      {"textLoopEnd", "2147483647"}}));
            QVERIFY(song == before);
        }
    }

    void applyStoresParsedValuesWithoutRangeChecks() {
        QWidget window;
        Song song;
        SongSettingsExchange exchange;
        std::unique_ptr<SongSettingsDialog> dialog;
        runEntry(window, song, exchange, dialog, [](SongSettingsDialog& d) {
            typeInto(d, {{"textTempo", "fast"},
                         {"textSteps", "12abc"},
                         {"textBeats", "&H20"},
                         {"textLoopBegin", "3 5.5"},
                         {"textLoopEnd", "-3"}});
            d.findChild<QPushButton*>("cmdApply")->click();
        });
        QCOMPARE(song.tempo, 0);
        QCOMPARE(song.stepsPerBar, int16_t{12});
        QCOMPARE(song.beatsPerStep, int16_t{32});
        QCOMPARE(song.loopBegin, 36);
        QCOMPARE(song.loopEnd, -3);

        runEntry(window, song, exchange, dialog, [](SongSettingsDialog& d) {
            typeInto(d, {{"textTempo", "1E6"}, {"textSteps", "70000"}, {"textBeats", "-70000"}});
            d.apply();
        });
        QCOMPARE(song.tempo, 1000000);
        QCOMPARE(song.stepsPerBar, int16_t{32767});
        QCOMPARE(song.beatsPerStep, int16_t{-32768});
    }

    void eachWindowKeepsItsDialogAndSeesItsOwnSong() {
        QWidget windowA;
        QWidget windowB;
        Song songA;
        Song songB;
        songB.tempo = 77;
        songB.loopEnd = 40000;
        SongSettingsExchange exchange;
        std::unique_ptr<SongSettingsDialog> dialogA;
        std::unique_ptr<SongSettingsDialog> dialogB;
        runEntry(windowA, songA, exchange, dialogA, [](SongSettingsDialog& d) {
            typeInto(d, {{"textTempo", "300"}});
            d.apply();
        });
        SongSettingsDialog* const firstDialogA = dialogA.get();
        const BoxTexts shownB = runEntry(windowB, songB, exchange, dialogB, [](SongSettingsDialog& d) { d.reject(); });
        QCOMPARE(shownB.at("textTempo"), QString("77"));
        QCOMPARE(shownB.at("textLoopEnd"), QString("40000"));
        QVERIFY(dialogB.get() != dialogA.get());
        QCOMPARE(dialogB->parentWidget(), &windowB);

        const BoxTexts shownA = runEntry(windowA, songA, exchange, dialogA, [](SongSettingsDialog& d) { d.reject(); });
        QCOMPARE(dialogA.get(), firstDialogA);
        QCOMPARE(shownA.at("textTempo"), QString("300"));
        QCOMPARE(songA.tempo, 300);
        QCOMPARE(songB.tempo, 77);
    }
};

static const bool registered = test::registerUiTest<SongSettingsDialogTest>();

}  // namespace
}  // namespace tromel::dialogs

#include "SongSettingsDialogTest.moc"
