// The progress of an audio export job, every pass of it, with a Cancel button.
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
    connect(m_followTimer, &QTimer::timeout, this, &ExportProgressDialog::followJob);
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

audio::RenderOutcome ExportProgressDialog::run() {
    m_job.emplace(std::move(m_song), std::move(m_request));
    m_followTimer->start();
    exec();
    m_followTimer->stop();
    return m_job->wait();
}

void ExportProgressDialog::followJob() {
    const int64_t total = m_job->total();
    if (total > 0)
        m_exportProgress->setValue(static_cast<int>(m_job->done() * progressSteps / total));
    if (m_job->finished())
        done(QDialog::Accepted);
}

// Cancel asks; the dialog goes once the render has stopped and removed its file.
void ExportProgressDialog::reject() {
    if (m_job)
        m_job->cancel();
    m_cmdCancel->setEnabled(false);
    m_labelExport->setText(QStringLiteral("Cancelling..."));
}

void ExportProgressDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    reject();
}

}  // namespace tromel::dialogs
