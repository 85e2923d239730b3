// The progress of an audio export job, every pass of it, with a Cancel button.
#pragma once

#include "audio/render/ExportJob.h"
#include "audio/render/OfflineRender.h"
#include "song/Song.h"

#include <QDialog>

#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tromel::dialogs {

// `labelExport` names the file, `exportProgress` shows the part the job has written and `cmdCancel`
// (or Escape, or the close box) asks the job to stop; the dialog stays until the job has ended and
// cleaned up after itself, which takes no longer than a block of sound.
class ExportProgressDialog : public QDialog {
    Q_OBJECT

public:
    ExportProgressDialog(QWidget* parent, Song song, audio::RenderRequest request, const QString& fileName);
    // Starts the job, shows this dialog modally while it runs, and returns how it ended.
    audio::RenderOutcome run();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls(const QString& fileName);
    void followJob();

    Song m_song;  // handed to the job when it starts
    audio::RenderRequest m_request;
    QLabel* m_labelExport = nullptr;
    QProgressBar* m_exportProgress = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QTimer* m_followTimer = nullptr;
    std::optional<audio::ExportJob> m_job;  // a job still going when the dialog goes is cancelled
};

}  // namespace tromel::dialogs
