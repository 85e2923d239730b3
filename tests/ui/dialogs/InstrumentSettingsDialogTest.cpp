// The instrument and drum dialog: what it shows, what Done and the close box store, one dialog for all windows.
#include "dialogs/InstrumentSettingsDialog.h"
#include "tests/ui/UiTestRegistry.h"
#include "tests/ui/dialogs/ModalDialogDriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace tromel::dialogs {
namespace {

Song songWithSettings() {
    Song song;
    for (int i = 0; i < 8; ++i) {
        song.instruments[i].wave = static_cast<int16_t>(10 * i + 5);
        song.instruments[i].frequency = 900 + i;
        song.drums[i].wave = static_cast<int16_t>(i + 2);
    }
    song.instruments[2].pi = true;
    song.instruments[6].frequency = 40000;
    song.instruments[4].wave = 120;  // beyond the lists, as a file may hold
    song.drums[4].wave = 40;         // beyond the drum set
    return song;
}

// The dialog's columns as "wave drum pi frequency": selected wave row (-1 for none), drum index
// (-1 for none), 1 when pi is ticked, the frequency box's text.
const QStringList settingsShown{"5 2 0 900",   "15 3 0 901", "25 4 1 902",   "35 5 0 903",
                                "-1 -1 0 904", "55 7 0 905", "65 8 0 40000", "75 9 0 907"};

class InstrumentSettingsDialogTest : public QObject {
    Q_OBJECT

    InstrumentSettingsExchange m_exchange;
    std::unique_ptr<InstrumentSettingsDialog> m_dialog;  // the program's one dialog

    // Column i's control of a repeated kind, e.g. control<QCheckBox>(d, "checkPi", 2).
    template <typename Widget>
    static Widget* control(QDialog& d, const char* name, int i) {
        return d.findChild<Widget*>(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i));
    }
    static QListWidget* waveList(QDialog& d, int i) { return control<QListWidget>(d, "listInst", i); }
    static void pressDone(QDialog& d) { d.findChild<QPushButton*>("Command1")->click(); }

    // Runs the menu entry once: notes what the columns show, then `action` changes them and hides the dialog.
    QStringList runEntry(QWidget& window, Song& song, std::function<void(InstrumentSettingsDialog&)> action) {
        QStringList shown;
        test::whenModalShown<InstrumentSettingsDialog>([&shown, action](InstrumentSettingsDialog& d) {
            for (int i = 0; i < 8; ++i) {
                const QList<QListWidgetItem*> selected = waveList(d, i)->selectedItems();
                shown << QStringLiteral("%1 %2 %3 %4")
                             .arg(selected.isEmpty() ? -1 : waveList(d, i)->row(selected.first()))
                             .arg(control<QComboBox>(d, "comboDrum", i)->currentIndex())
                             .arg(control<QCheckBox>(d, "checkPi", i)->isChecked() ? 1 : 0)
                             .arg(control<QLineEdit>(d, "textFreqInst", i)->text());
            }
            action(d);
        });
        editInstrumentSettings(&window, song, m_exchange, m_dialog);
        return shown;
    }

private slots:
    void doneStoresTheSelectionsAndTheCloseBoxNothing() {
        for (const bool done : {true, false}) {
            QWidget window;
            Song song = songWithSettings();
            const Song before = song;
            bool listsInOrder = false;
            QStringList waveTips;
            const QStringList shown = runEntry(window, song, [&](InstrumentSettingsDialog& d) {
                for (const int wave : {0, 9, 10, 19, 29, 30, 41, 54, 55, 65, 84, 85, 99})
                    waveTips << waveList(d, 3)->item(wave)->toolTip();
                const QComboBox* drums = control<QComboBox>(d, "comboDrum", 7);
                listsInOrder = waveList(d, 7)->count() == 100 && waveList(d, 7)->item(99)->text() == "Wave 99" &&
                               drums->count() == 28 && drums->itemText(5) == "HiClose" &&
                               drums->itemText(11) == "Tom02" && drums->itemText(27) == "HiPedal";
                waveList(d, 0)->setCurrentRow(99);
                control<QComboBox>(d, "comboDrum", 7)->setCurrentIndex(20);
                waveList(d, 2)->clearSelection();  // a user can deselect with Ctrl+click
                control<QCheckBox>(d, "checkPi", 2)->setChecked(false);
                control<QCheckBox>(d, "checkPi", 3)->setChecked(true);
                control<QLineEdit>(d, "textFreqInst", 6)->setText("99999");
                control<QLineEdit>(d, "textFreqInst", 7)->setText("-4");
                done ? pressDone(d) : (void)d.close();
            });
            QVERIFY(listsInOrder);
            // Each wave's item tells its family and brightness as the sample generator made it.
            QCOMPARE(waveTips,
                     QStringList({"Pure or soft tone, soft", "Pure or soft tone, soft", "Pulse wave, bright",
                                  "Pulse wave, sharp", "Pulse wave, bright", "Sawtooth, bright", "Organ, mellow",
                                  "Organ, bright", "Bell, bright", "Vowel, bright", "Orchestral colour, bright",
                                  "FM or shaped wave, soft", "FM or shaped wave, soft"}));
            QCOMPARE(shown, settingsShown);
            Song expected = before;  // lists without a selection keep the song's numbers
            if (done) {
                expected.instruments[0].wave = 99;
                expected.drums[7].wave = 20;
                expected.instruments[2].pi = false;
                expected.instruments[3].pi = true;
                expected.instruments[6].frequency = 65535;  // the nearest value a file holds
                expected.instruments[7].frequency = 0;
            }
            QVERIFY(song == expected);
        }
    }

    void oneDialogServesEveryWindowAndTicksPiEveryTime() {
        m_dialog.reset();
        QWidget windowA;
        QWidget windowB;
        Song songA;
        songA.instruments[5].pi = true;
        Song songB = songWithSettings();
        QCOMPARE(runEntry(windowA, songA, pressDone).at(5), QString("0 0 1 1000"));  // on first show
        const Song afterA = songA;
        InstrumentSettingsDialog* const dialog = m_dialog.get();
        const QStringList shownB = runEntry(windowB, songB, [](InstrumentSettingsDialog& d) {
            waveList(d, 0)->setCurrentRow(1);
            pressDone(d);
        });
        QCOMPARE(m_dialog.get(), dialog);
        QCOMPARE(shownB, settingsShown);
        QCOMPARE(songB.instruments[0].wave, int16_t{1});
        QCOMPARE(runEntry(windowA, songA, pressDone).at(5), QString("0 0 1 1000"));  // after Done
        QVERIFY(songA == afterA && songA.instruments[5].pi);
    }

    // Below the written controls, which keep their places, each channel has a picture of its
    // chosen sample that follows the choice, and a Listen button that asks for it.
    void theListenStripShowsAndSoundsTheChosenSamples() {
        m_dialog = std::make_unique<InstrumentSettingsDialog>();
        m_dialog->setSampleFolder(TROMEL_BIN_DIR "/Processed ORG Samples");
        QWidget window;
        Song song = songWithSettings();
        QList<QList<int>> heard;
        QStringList places;
        bool picturesFollow = false;
        test::whenModalShown<InstrumentSettingsDialog>([&](InstrumentSettingsDialog& d) {
            for (QWidget* widget :
                 {static_cast<QWidget*>(waveList(d, 3)), static_cast<QWidget*>(d.findChild<QPushButton*>("Command1")),
                  static_cast<QWidget*>(control<QComboBox>(d, "comboDrum", 0))})
                places << QStringLiteral("%1,%2").arg(widget->x()).arg(widget->y());
            places << QStringLiteral("%1x%2").arg(d.width()).arg(d.height());
            const auto picture = [&](const char* name, int i) {
                return control<QLabel>(d, name, i)->pixmap().toImage();
            };
            const QImage wave5 = picture("pictureInst", 0);
            waveList(d, 0)->setCurrentRow(60);
            const QImage drum2 = picture("pictureDrum", 0);
            picturesFollow = !wave5.isNull() && picture("pictureInst", 0) != wave5 &&
                             picture("pictureInst", 1) != wave5 && drum2 != wave5 &&
                             picture("pictureDrum", 1) != drum2 &&
                             control<QLabel>(d, "pictureInst", 4)->pixmap().isNull();  // nothing chosen
            for (const auto& [name, i] : {std::pair{"listenInst", 0}, {"listenDrum", 6}, {"listenInst", 4}})
                control<QPushButton>(d, name, i)->click();
            pressDone(d);
        });
        editInstrumentSettings(&window, song, m_exchange, m_dialog, [&heard](int kind, int channel, int number) {
            heard << QList<int>{kind, channel, number};
        });
        QCOMPARE(places, (QStringList{"248,48", "240,392", "8,360", "649x496"}));
        QVERIFY(picturesFollow);
        QCOMPARE(heard, (QList<QList<int>>{{0, 0, 60}, {1, 6, 8}}));  // channel 5 has no wave chosen
    }
};

static const bool registered = test::registerUiTest<InstrumentSettingsDialogTest>();

}  // namespace
}  // namespace tromel::dialogs

#include "InstrumentSettingsDialogTest.moc"
