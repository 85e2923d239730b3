// The options of an audio export: format, length, fade, ringing end, loudness, loop points, stems.
#pragma once

#include "audio/render/OfflineRender.h"
#include "dialogs/ExportAudioDialogChoices.h"
#include "song/Song.h"
#include "widgets/Prompts.h"

#include <QDialog>

#include <filesystem>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tromel::dialogs {

// The options of tromel-cli render: `comboFormat` with `textQuality` (Ogg Vorbis) or
// `comboBitrate` (MP3); the length as `optionLoops` with `textLoops` or `optionSeconds` with
// `textSeconds`; `textFade`, `checkRing` (a length in loops only), `comboLoudness`,
// `checkLoopPoints` (a length in loops, no fade or ringing end, not MP3) and `checkStems`. Options
// that do not apply are disabled and not passed on. "Export" (`cmdExport`) accepts; "Cancel"
// (`cmdCancel`), Escape and the close box cancel.
class ExportAudioDialog : public QDialog {
    Q_OBJECT

public:
    explicit ExportAudioDialog(QWidget* parent = nullptr, const ExportAudioDialogChoices& choices = {});

    // Shows the dialog modally; on Export puts the chosen options into `request` and returns true.
    bool chooseOptions(audio::RenderRequest& request);
    ExportAudioDialogChoices choices() const;

private:
    void showChoices(const ExportAudioDialogChoices& choices);
    void createFormatControls();
    void createLengthControls();
    void createSoundControls();
    void followChoices();
    void takeOptions(audio::RenderRequest& request) const;

    QComboBox* m_comboFormat = nullptr;
    QSpinBox* m_textQuality = nullptr;
    QComboBox* m_comboBitrate = nullptr;
    QRadioButton* m_optionLoops = nullptr;
    QRadioButton* m_optionSeconds = nullptr;
    QSpinBox* m_textLoops = nullptr;
    QDoubleSpinBox* m_textSeconds = nullptr;
    QDoubleSpinBox* m_textFade = nullptr;
    QCheckBox* m_checkRing = nullptr;
    QComboBox* m_comboLoudness = nullptr;
    QCheckBox* m_checkLoopPoints = nullptr;
    QCheckBox* m_checkStems = nullptr;
    QPushButton* m_cmdExport = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

// File > Export Audio... of a document window: asks for the options, then the file, then renders
// the song as its file would hold it, exactly as tromel-cli render renders that file, with a
// progress that can be cancelled. What went wrong, or the loudness of what was written, is told in
// a message box. `songFile` is the document's own file (empty while it has none): the export never
// writes over it, nor over any of `openSongFiles`. The file proposed is named `songName`. The
// dialog opens with the choices last exported with for the song, or its first.
void exportAudio(QWidget* documentWindow, Prompts& prompts, const Song& song, const std::filesystem::path& sampleFolder,
                 const QString& songFile, const QString& songName,
                 const std::vector<std::filesystem::path>& openSongFiles = {});

}  // namespace tromel::dialogs
