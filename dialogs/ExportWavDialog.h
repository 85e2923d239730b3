// The length of an exported WAV file: the song's loop a number of times, or a number of seconds.
#pragma once

#include "widgets/Prompts.h"
#include "audio/render/OfflineRender.h"
#include "song/Song.h"

#include <QDialog>

#include <filesystem>

class QDoubleSpinBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tromel::dialogs {

// The two lengths of tromel-cli render: `optionLoops` with `textLoops` (from the start to the loop
// end, then the loop that many times more; 1 at first, as --loops), or `optionSeconds` with
// `textSeconds` (exactly that long, as --seconds).
// "Export" (`cmdExport`) accepts; "Cancel" (`cmdCancel`), Escape and the close box cancel.
class ExportWavDialog : public QDialog {
    Q_OBJECT

public:
    explicit ExportWavDialog(QWidget* parent = nullptr);

    // Shows the dialog modally; on Export puts the chosen length into `request` and returns true.
    bool chooseLength(audio::RenderRequest& request);

private:
    void createControls();
    void followChoice();

    QRadioButton* m_optionLoops = nullptr;
    QRadioButton* m_optionSeconds = nullptr;
    QSpinBox* m_textLoops = nullptr;
    QDoubleSpinBox* m_textSeconds = nullptr;
    QPushButton* m_cmdExport = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

// File > Export WAV... of a document window: asks for the file and the length, then renders the
// song as its file would hold it, exactly as tromel-cli render renders that file, with a progress
// that can be cancelled; what went wrong is told in a message box. `songFile` is the document's
// own file (empty while it has none): the export never writes over it.
void exportWav(QWidget* documentWindow, Prompts& prompts, const Song& song, const std::filesystem::path& sampleFolder,
               const QString& songFile);

}  // namespace tromel::dialogs
