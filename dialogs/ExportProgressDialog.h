// The progress of an audio export, every pass of it, rendered on a thread of its own, with a Cancel button.
#pragma once

#include "audio/render/OfflineRender.h"
#include "song/Song.h"

#include <QDialog>

#include <atomic>
#include <cstdint>
#include <thread>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tromel::dialogs {

// `labelExport` names the file, `exportProgress` shows the part written and `cmdCancel` (or
// Escape, or the close box) asks the render to stop; the dialog stays until the render has ended
// and cleaned up after itself, which takes no longer than a block of sound.
class ExportProgressDialog : public QDialog {
    Q_OBJECT

public:
    ExportProgressDialog(QWidget* parent, Song song, audio::RenderRequest request, const QString& fileName);
    ~ExportProgressDialog() override;  // cancels a render still going and waits for it

    // Renders, showing this dialog modally meanwhile, and returns how it ended.
    audio::RenderOutcome run();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls(const QString& fileName);
    void render();
    void followRender();

    const Song m_song;
    const audio::RenderRequest m_request;
    QLabel* m_labelExport = nullptr;
    QProgressBar* m_exportProgress = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QTimer* m_followTimer = nullptr;
    // Written by the render thread; m_outcome only before m_finished is set.
    std::atomic<int64_t> m_done{0};
    std::atomic<int64_t> m_total{0};
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_finished{false};
    audio::RenderOutcome m_outcome;
    std::thread m_thread;
};

}  // namespace tromel::dialogs
