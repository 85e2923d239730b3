// The instrument and drum settings dialog `winInst`: waves, pi flags and frequencies of a song's channels.
#pragma once

#include "dialogs/InstrumentSettingsExchange.h"
#include "song/DrumSet.h"
#include "song/Song.h"
#include "song/WaveCatalogue.h"

#include <QDialog>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tromel::dialogs {

class SampleSketches;

// Works on an InstrumentSettingsExchange only while editModally runs; the controls are refilled
// from it every time the dialog is shown. The repeated controls of column i (0 to 7) carry the
// object names `listInst_i`, `comboDrum_i`, `checkPi_i` and `textFreqInst_i`; the button is
// `Command1` ("Done"). A wave above 99 or a drum beyond the drum set selects nothing, and a list left
// without a selection keeps the exchange's value for that channel. The close box and Escape
// leave the exchange as it was handed in.
//
// Below the written controls, which keep their places, a strip holds for each of the sixteen
// channels a small picture of the chosen sample (one period of a wave, a drum's envelope),
// `pictureInst_i` and `pictureDrum_i`, and a "Listen" button, `listenInst_i` and `listenDrum_i`,
// which sounds it at file key 57 through the document's preview.
class InstrumentSettingsDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int waveCount = tromel::waveCount;
    static constexpr int drumCount = tromel::drumCount;

    // What a Listen button asks for: kind (0 instruments, 1 drums), channel 0..7, wave or drum.
    using Listener = std::function<void(int kind, int channel, int number)>;

    explicit InstrumentSettingsDialog(QWidget* parent = nullptr);
    ~InstrumentSettingsDialog() override;

    // Where the pictures are read from; without it they show nothing.
    void setSampleFolder(const std::filesystem::path& folder);
    // Shows the dialog modally on `exchange` and returns once it is hidden; the Listen buttons
    // call `listen` meanwhile.
    void editModally(InstrumentSettingsExchange& exchange, Listener listen = {});

public slots:
    void storeAndHide();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createInstrumentColumn(int i);
    void createDrumColumn(int i);
    void createListenStrip();
    void showPicture(int kind, int channel);
    // The wave or drum chosen in a column now, or -1.
    int chosen(int kind, int channel) const;
    void fillControls(const InstrumentSettingsExchange& exchange);
    void readControls(InstrumentSettingsExchange& exchange) const;

    InstrumentSettingsExchange* m_exchange = nullptr;
    std::array<QListWidget*, 8> m_listInst{};
    std::array<QComboBox*, 8> m_comboDrum{};
    std::array<QCheckBox*, 8> m_checkPi{};
    std::array<QLineEdit*, 8> m_textFreqInst{};
    std::array<std::array<QLabel*, 8>, 2> m_pictures{};
    std::array<std::array<QPushButton*, 8>, 2> m_listenButtons{};
    std::unique_ptr<SampleSketches> m_sketches;
    Listener m_listen;
};

// The "Instrument/Drum Settings" menu entry of a document window: hands the song's channel
// settings to the program's one dialog through `exchange`, creates that dialog on first use
// (a window of its own, placed over `documentWindow`), shows it modally and copies the
// exchange back into the song however the dialog was closed.
void editInstrumentSettings(QWidget* documentWindow, Song& song, InstrumentSettingsExchange& exchange,
                            std::unique_ptr<InstrumentSettingsDialog>& programDialog,
                            InstrumentSettingsDialog::Listener listen = {});

}  // namespace tromel::dialogs
