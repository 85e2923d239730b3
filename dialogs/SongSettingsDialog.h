// The song settings dialog `winSongSettings`: tempo, bar settings and loop points of one song.
#pragma once

#include "dialogs/SongSettingsExchange.h"
#include "song/Song.h"

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tromel::dialogs {

// Works on a SongSettingsExchange only while editModally runs. Showing it writes the exchange
// into the five boxes; "Apply" (`cmdApply`) parses the boxes into the exchange and hides the
// dialog; "Cancel" (`cmdCancel`), Escape and the close box hide it and leave the exchange alone.
// The boxes are `textTempo`, `textSteps`, `textBeats`, `textLoopBegin` and `textLoopEnd`. Under
// them, last in the tab order, `textBpm` and the line `tempoReading` read the song in musical
// terms as the boxes change; a BPM typed there sets the tempo box to the nearest whole
// millisecond per step.
class SongSettingsDialog : public QDialog {
    Q_OBJECT

public:
    explicit SongSettingsDialog(QWidget* parent = nullptr);

    // Shows the dialog modally on `exchange` and returns once it is hidden.
    void editModally(SongSettingsExchange& exchange);

public slots:
    void apply();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void createReading();
    void arrangeTabOrder();
    void showReading();
    void bpmTyped(const QString& text);

    SongSettingsExchange* m_exchange = nullptr;
    QLineEdit* m_textTempo = nullptr;
    QLineEdit* m_textSteps = nullptr;
    QLineEdit* m_textBeats = nullptr;
    QLineEdit* m_textLoopBegin = nullptr;
    QLineEdit* m_textLoopEnd = nullptr;
    QLineEdit* m_textBpm = nullptr;
    QLabel* m_tempoReading = nullptr;
    bool m_typingBpm = false;  // the tempo box follows the BPM box, which keeps what is typed
    QPushButton* m_cmdApply = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

// The "Song Settings" menu entry of a document window: hands the song's values to the dialog
// through `exchange`, creates the window's own dialog on first use (a child of `documentWindow`,
// so `dialogOfThisWindow` must be a member of that window), shows it modally and copies the
// exchange back into the song however the dialog was closed.
void editSongSettings(QWidget* documentWindow, Song& song, SongSettingsExchange& exchange,
                      std::unique_ptr<SongSettingsDialog>& dialogOfThisWindow);

}  // namespace tromel::dialogs
