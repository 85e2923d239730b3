// The instrument and drum dialog: what it shows, what Done and the close box store, one dialog for all windows.
#include "dialogs/InstrumentSettingsDialog.h"
#include "tests/ui/UiTestRegistry.h"
#include "tests/ui/dialogs/ModalDialogDriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace tromel::dialogs {
namespace {

template <typename Widget>
Widget* control(QDialog& dialog, const char* name, int column) {
    return dialog.findChild<Widget*>(QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(column));
}

QListWidget* waveList(QDialog& d, int i) {
    return control<QListWidget>(d, "listInst", i);
}
QComboBox* drumCombo(QDialog& d, int i) {
    return control<QComboBox>(d, "comboDrum", i);
}
QCheckBox* piBox(QDialog& d, int i) {
    return control<QCheckBox>(d, "checkPi", i);
}
QLineEdit* freqBox(QDialog& d, int i) {
    return control<QLineEdit>(d, "textFreqInst", i);
}

int selectedWave(QDialog& d, int i) {
    const QList<QListWidgetItem*> selected = waveList(d, i)->selectedItems();
    return selected.isEmpty() ? -1 : waveList(d, i)->row(selected.first());
}

void pressDone(QDialog& d) {
    d.findChild<QPushButton*>("Command1")->click();
}

Song songWithSettings() {
    Song song;
    for (int i = 0; i < 8; ++i) {
        song.instruments[i].wave = static_cast<int16_t>(10 * i + 5);
        song.instruments[i].frequency = 900 + i;
        song.drums[i].wave = static_cast<int16_t>(i + 2);
    }
    song.instruments[2].pi = true;
    song.instruments[6].frequency = 40000;
    return song;
}

struct Shown {
    std::array<int, 8> wave{};
    std::array<int, 8> drum{};
    std::array<bool, 8> pi{};
    std::array<QString, 8> frequency{};
};

Shown shownIn(QDialog& d) {
    Shown shown;
    for (int i = 0; i < 8; ++i) {
        const auto c = static_cast<std::size_t>(i);
        shown.wave[c] = selectedWave(d, i);
        shown.drum[c] = drumCombo(d, i)->currentIndex();
        shown.pi[c] = piBox(d, i)->isChecked();
        shown.frequency[c] = freqBox(d, i)->text();
    }
    return shown;
}

class InstrumentSettingsDialogTest : public QObject {
    Q_OBJECT

    InstrumentSettingsExchange m_exchange;
    std::unique_ptr<InstrumentSettingsDialog> m_dialog;

    // Runs the menu entry once on the program's dialog; `action` must hide the dialog.
    Shown runEntry(QWidget& window, Song& song, std::function<void(InstrumentSettingsDialog&)> action) {
        Shown shown;
        test::whenModalShown<InstrumentSettingsDialog>([&shown, action](InstrumentSettingsDialog& d) {
            shown = shownIn(d);
            action(d);
        });
        editInstrumentSettings(&window, song, m_exchange, m_dialog);
        return shown;
    }

private slots:
    void listContentsInOrder() {
        InstrumentSettingsDialog dialog;
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(waveList(dialog, i)->count(), 100);
            QCOMPARE(drumCombo(dialog, i)->count(), 12);
        }
        QCOMPARE(waveList(dialog, 7)->item(99)->text(), QString("Wave 99"));
        QCOMPARE(drumCombo(dialog, 7)->itemText(5), QString("HiClose"));
        QCOMPARE(drumCombo(dialog, 7)->itemText(11), QString("Tom02"));
    }

    void showsTheSongAndDoneStoresTheControls() {
        QWidget window;
        Song song = songWithSettings();
        const Shown shown = runEntry(window, song, [](InstrumentSettingsDialog& d) {
            waveList(d, 0)->setCurrentRow(99);
            drumCombo(d, 7)->setCurrentIndex(11);
            piBox(d, 2)->setChecked(false);
            piBox(d, 3)->setChecked(true);
            freqBox(d, 1)->setText("&H20");
            freqBox(d, 4)->setText("2.5");
            freqBox(d, 5)->setText("loud");
            pressDone(d);
        });
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(shown.wave[i], 10 * i + 5);
            QCOMPARE(shown.drum[i], i + 2);
            QCOMPARE(shown.pi[i], i == 2);
        }
        QCOMPARE(shown.frequency[6], QString("40000"));
        QCOMPARE(song.instruments[0].wave, int16_t{99});
        QCOMPARE(song.instruments[1].wave, int16_t{15});
        QCOMPARE(song.drums[7].wave, int16_t{11});
        QCOMPARE(song.instruments[2].pi, false);
        QCOMPARE(song.instruments[3].pi, true);
        QCOMPARE(song.instruments[1].frequency, 32);
        QCOMPARE(song.instruments[4].frequency, 2);
        QCOMPARE(song.instruments[5].frequency, 0);
        QCOMPARE(song.instruments[6].frequency, 40000);
        QCOMPARE(song.drums[0].frequency, 232);
    }

    void closeBoxAfterChangesLeavesTheSong() {
        QWidget window;
        Song song = songWithSettings();
        const Song before = song;
        runEntry(window, song, [](InstrumentSettingsDialog& d) {
            for (int i = 0; i < 8; ++i) {
                waveList(d, i)->setCurrentRow(0);
                drumCombo(d, i)->setCurrentIndex(0);
                piBox(d, i)->setChecked(true);
                freqBox(d, i)->setText("1");
            }
            d.close();
        });
        QVERIFY(song == before);
    }

    void piTickedOnFirstShowAndAfterDone() {
        m_dialog.reset();
        QWidget window;
        Song song;
        song.instruments[5].pi = true;
        const Shown first = runEntry(window, song, pressDone);
        QVERIFY(first.pi[5]);
        QCOMPARE(m_exchange.instrumentPi[5], -1);
        QVERIFY(song.instruments[5].pi);
        const Shown again = runEntry(window, song, pressDone);
        QVERIFY(again.pi[5]);
        QVERIFY(!again.pi[4]);
    }

    void outOfRangeNumbersSelectNothingAndDoneKeepsThem() {
        QWidget window;
        Song song;
        song.instruments[1].wave = 120;
        song.drums[4].wave = 15;
        song.instruments[2].wave = 7;
        const Shown shown = runEntry(window, song, [](InstrumentSettingsDialog& d) {
            waveList(d, 2)->clearSelection();  // a user can deselect with Ctrl+click
            pressDone(d);
        });
        QCOMPARE(shown.wave[1], -1);
        QCOMPARE(shown.drum[4], -1);
        QCOMPARE(song.instruments[1].wave, int16_t{120});
        QCOMPARE(song.drums[4].wave, int16_t{15});
        QCOMPARE(song.instruments[2].wave, int16_t{7});
    }

    void oneDialogServesEveryWindowWithItsOwnSong() {
        QWidget windowA;
        QWidget windowB;
        Song songA;
        Song songB = songWithSettings();
        runEntry(windowA, songA, [](InstrumentSettingsDialog& d) {
            waveList(d, 0)->setCurrentRow(42);
            pressDone(d);
        });
        InstrumentSettingsDialog* const dialog = m_dialog.get();
        const Song afterA = songA;
        const Shown shownB = runEntry(windowB, songB, [](InstrumentSettingsDialog& d) {
            waveList(d, 0)->setCurrentRow(1);
            pressDone(d);
        });
        QCOMPARE(m_dialog.get(), dialog);
        QCOMPARE(shownB.wave[0], 5);
        QCOMPARE(shownB.drum[3], 5);
        QCOMPARE(songB.instruments[0].wave, int16_t{1});
        QVERIFY(songA == afterA);
        QCOMPARE(songA.instruments[0].wave, int16_t{42});
    }
};

static const bool registered = test::registerUiTest<InstrumentSettingsDialogTest>();

}  // namespace
}  // namespace tromel::dialogs

#include "InstrumentSettingsDialogTest.moc"
