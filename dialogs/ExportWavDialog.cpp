// The length of an exported WAV file: the song's loop a number of times, or a number of seconds.
#include "dialogs/ExportWavDialog.h"

#include "dialogs/ExportProgressDialog.h"
#include "dialogs/PlacedWidgets.h"
#include "song/OrgFile.h"

#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace tromel::dialogs {
namespace {

constexpr const char* exportTitle = "Export WAV";
constexpr int largestLoops = 9999;  // far beyond what the render's three-hour limit lets through

std::filesystem::path toFilesystemPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// Written and read back, so the render hears exactly what a save of the song would hold (values
// cut to their fields, empty slots closed up) and equals tromel-cli render of that file.
Song songAsSaved(const Song& song) {
    Song saved;
    readOrgBytes(writeOrgBytes(song), saved);
    return saved;
}

}  // namespace

ExportWavDialog::ExportWavDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("winExportWav"));
    setWindowTitle(QString::fromLatin1(exportTitle));
    setClientSize(this, 300, 110);
    createControls();
    followChoice();
    connect(m_optionLoops, &QRadioButton::toggled, this, &ExportWavDialog::followChoice);
    connect(m_cmdExport, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ExportWavDialog::createControls() {
    m_optionLoops = placed(new QRadioButton(QStringLiteral("Loops after the first pass:"), this), 8, 8, 180, 21);
    m_optionLoops->setObjectName(QStringLiteral("optionLoops"));
    m_optionLoops->setChecked(true);
    m_textLoops = placed(new QSpinBox(this), 192, 8, 100, 21);
    m_textLoops->setObjectName(QStringLiteral("textLoops"));
    m_textLoops->setRange(0, largestLoops);
    m_textLoops->setValue(1);
    m_optionSeconds = placed(new QRadioButton(QStringLiteral("Seconds:"), this), 8, 40, 180, 21);
    m_optionSeconds->setObjectName(QStringLiteral("optionSeconds"));
    m_textSeconds = placed(new QDoubleSpinBox(this), 192, 40, 100, 21);
    m_textSeconds->setObjectName(QStringLiteral("textSeconds"));
    m_textSeconds->setDecimals(3);
    m_textSeconds->setRange(0.001, audio::longestRenderSeconds);
    m_textSeconds->setValue(60.0);
    m_cmdExport = placed(new QPushButton(QStringLiteral("Export"), this), 154, 78, 65, 25);
    m_cmdExport->setObjectName(QStringLiteral("cmdExport"));
    m_cmdExport->setDefault(true);
    m_cmdCancel = placed(new QPushButton(QStringLiteral("Cancel"), this), 227, 78, 65, 25);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
}

void ExportWavDialog::followChoice() {
    m_textLoops->setEnabled(m_optionLoops->isChecked());
    m_textSeconds->setEnabled(!m_optionLoops->isChecked());
}

bool ExportWavDialog::chooseLength(audio::RenderRequest& request) {
    if (exec() != QDialog::Accepted)
        return false;
    request.loops.reset();
    request.seconds.reset();
    if (m_optionLoops->isChecked())
        request.loops = m_textLoops->value();
    else
        request.seconds = m_textSeconds->value();
    return true;
}

void exportWav(QWidget* documentWindow, Prompts& prompts, const Song& song, const std::filesystem::path& sampleFolder,
               const QString& songFile) {
    const QString name = songFile.isEmpty() ? QStringLiteral("NewData") : QFileInfo(songFile).completeBaseName();
    const std::optional<QString> path = prompts.chooseWavFile(documentWindow, "Export WAV...", name + ".wav");
    if (!path)
        return;
    audio::RenderRequest request;
    request.sampleFolder = sampleFolder;
    request.output = toFilesystemPath(*path);
    if (!songFile.isEmpty())
        request.songFile = toFilesystemPath(songFile);
    ExportWavDialog lengthDialog(documentWindow);
    if (!lengthDialog.chooseLength(request))
        return;
    ExportProgressDialog progress(documentWindow, songAsSaved(song), request, QFileInfo(*path).fileName());
    const audio::RenderOutcome outcome = progress.run();
    if (outcome.status == audio::RenderOutcome::Status::Refused ||
        outcome.status == audio::RenderOutcome::Status::Failed) {
        QStringList lines;
        for (const std::string& problem : outcome.problems)
            lines << QString::fromStdString(problem);
        prompts.message(documentWindow, MessageIcon::Warning, exportTitle, lines.join('\n'));
    }
}

}  // namespace tromel::dialogs
