// The progress of an audio export, every pass of it, rendered on a thread of its own, with a Cancel button.
#include "dialogs/ExportProgressDialog.h"

#include "dialogs/PlacedWidgets.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace tromel::dialogs {
namespace {

constexpr int progressSteps = 1000;
constexpr int followMilliseconds = 50;

}  // namespace

ExportProgressDialog::ExportProgressDialog(QWidget* parent, Song song, audio::RenderRequest request,
                                           const QString& fileName)
    : QDialog(parent), m_song(std::move(song)), m_request(std::move(request)) {
    setObjectName(QStringLiteral("winExportProgress"));
    setWindowTitle(QStringLiteral("Export Audio"));
    setClientSize(this, 300, 90);
    createControls(fileName);
    connect(m_cmdCancel, &QPushButton::clicked, this, &ExportProgressDialog::reject);
    m_followTimer = new QTimer(this);
    m_followTimer->setInterval(followMilliseconds);
    connect(m_followTimer, &QTimer::timeout, this, &ExportProgressDialog::followRender);
}

ExportProgressDialog::~ExportProgressDialog() {
    m_cancelled = true;
    if (m_thread.joinable())
        m_thread.join();
}

void ExportProgressDialog::createControls(const QString& fileName) {
    m_labelExport = placedLabel(this, QStringLiteral("Rendering %1...").arg(fileName), 8, 8, 284, 17);
    m_labelExport->setObjectName(QStringLiteral("labelExport"));
    m_exportProgress = placed(new QProgressBar(this), 8, 30, 284, 17);
    m_exportProgress->setObjectName(QStringLiteral("exportProgress"));
    m_exportProgress->setRange(0, progressSteps);
    m_exportProgress->setValue(0);
    m_cmdCancel = placed(new QPushButton(QStringLiteral("Cancel"), this), 227, 58, 65, 25);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
}

// [render thread]
void ExportProgressDialog::render() {
    m_outcome = audio::renderSong(m_song, m_request, [this](int64_t done, int64_t total) {
        m_done.store(done, std::memory_order_relaxed);
        m_total.store(total, std::memory_order_relaxed);
        return !m_cancelled.load(std::memory_order_relaxed);
    });
    m_finished.store(true, std::memory_order_release);
}

audio::RenderOutcome ExportProgressDialog::run() {
    m_thread = std::thread([this] { render(); });
    m_followTimer->start();
    exec();
    m_followTimer->stop();
    m_thread.join();
    return m_outcome;
}

void ExportProgressDialog::followRender() {
    const int64_t total = m_total.load(std::memory_order_relaxed);
    if (total > 0)
        m_exportProgress->setValue(static_cast<int>(m_done.load(std::memory_order_relaxed) * progressSteps / total));
    if (m_finished.load(std::memory_order_acquire))
        done(QDialog::Accepted);
}

// Cancel asks; the dialog goes once the render has stopped and removed its file.
void ExportProgressDialog::reject() {
    m_cancelled = true;
    m_cmdCancel->setEnabled(false);
    m_labelExport->setText(QStringLiteral("Cancelling..."));
}

void ExportProgressDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    reject();
}

}  // namespace tromel::dialogs
