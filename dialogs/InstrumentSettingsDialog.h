// The instrument and drum settings dialog `winInst`: waves, pi flags and frequencies of a song's channels.
#pragma once

#include "dialogs/InstrumentSettingsExchange.h"
#include "song/DrumSet.h"
#include "song/Song.h"

#include <QDialog>

#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

namespace tromel::dialogs {

// Works on an InstrumentSettingsExchange only while editModally runs; the controls are refilled
// from it every time the dialog is shown. The repeated controls of column i (0 to 7) carry the
// object names `listInst_i`, `comboDrum_i`, `checkPi_i` and `textFreqInst_i`; the button is
// `Command1` ("Done"). A wave above 99 or a drum beyond the drum set selects nothing, and a list left
// without a selection keeps the exchange's value for that channel. The close box and Escape
// leave the exchange as it was handed in.
class InstrumentSettingsDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int waveCount = 100;
    static constexpr int drumCount = tromel::drumCount;

    explicit InstrumentSettingsDialog(QWidget* parent = nullptr);

    // Shows the dialog modally on `exchange` and returns once it is hidden.
    void editModally(InstrumentSettingsExchange& exchange);

public slots:
    void storeAndHide();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createInstrumentColumn(int i);
    void createDrumColumn(int i);
    void fillControls(const InstrumentSettingsExchange& exchange);
    void readControls(InstrumentSettingsExchange& exchange) const;

    InstrumentSettingsExchange* m_exchange = nullptr;
    std::array<QListWidget*, 8> m_listInst{};
    std::array<QComboBox*, 8> m_comboDrum{};
    std::array<QCheckBox*, 8> m_checkPi{};
    std::array<QLineEdit*, 8> m_textFreqInst{};
};

// The "Instrument/Drum Settings" menu entry of a document window: hands the song's channel
// settings to the program's one dialog through `exchange`, creates that dialog on first use
// (a window of its own, placed over `documentWindow`), shows it modally and copies the
// exchange back into the song however the dialog was closed.
void editInstrumentSettings(QWidget* documentWindow, Song& song, InstrumentSettingsExchange& exchange,
                            std::unique_ptr<InstrumentSettingsDialog>& programDialog);

}  // namespace tromel::dialogs
