// The options of an audio export: format, length, fade, ringing end, loudness, loop points, stems.
#include "dialogs/ExportAudioDialog.h"

#include "dialogs/ExportProgressDialog.h"
#include "dialogs/PlacedWidgets.h"
#include "song/OrgFile.h"
#include "widgets/FilePaths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>

namespace tromel::dialogs {
namespace {

constexpr const char* exportTitle = "Export Audio";
constexpr int largestLoops = 9999;  // far beyond what the render's three-hour limit lets through
constexpr int loudnessTargets[] = {-14, -16, -18, -23};

QString closingText(const audio::RenderOutcome& outcome) {
    QStringList lines;
    for (const std::filesystem::path& file : outcome.files)
        lines << QString("Written: %1").arg(fromFilesystemPath(file.filename()));
    if (outcome.loudness)
        lines << QString::fromStdString(audio::describeLoudness(*outcome.loudness));
    return lines.join('\n');
}

}  // namespace

ExportAudioDialog::ExportAudioDialog(QWidget* parent, const ExportAudioDialogChoices& choices) : QDialog(parent) {
    setObjectName(QStringLiteral("winExportAudio"));
    setWindowTitle(QString::fromLatin1(exportTitle));
    setClientSize(this, 330, 302);
    createFormatControls();
    createLengthControls();
    createSoundControls();
    m_cmdExport = placed(new QPushButton(QStringLiteral("Export"), this), 184, 270, 65, 25);
    m_cmdExport->setObjectName(QStringLiteral("cmdExport"));
    m_cmdExport->setDefault(true);
    m_cmdCancel = placed(new QPushButton(QStringLiteral("Cancel"), this), 257, 270, 65, 25);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    showChoices(choices);
    followChoices();
    for (QRadioButton* option : {m_optionLoops, m_optionSeconds})
        connect(option, &QRadioButton::toggled, this, &ExportAudioDialog::followChoices);
    connect(m_comboFormat, &QComboBox::currentIndexChanged, this, &ExportAudioDialog::followChoices);
    connect(m_checkLoopPoints, &QCheckBox::toggled, this, &ExportAudioDialog::followChoices);
    connect(m_cmdExport, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ExportAudioDialog::createFormatControls() {
    placedLabel(this, QStringLiteral("Format:"), 8, 10, 90, 17);
    m_comboFormat = placed(new QComboBox(this), 110, 8, 140, 21);
    m_comboFormat->setObjectName(QStringLiteral("comboFormat"));
    for (const exchange::AudioFormatInfo& info : exchange::audioFormats)
        m_comboFormat->addItem(QString::fromLatin1(info.label), QString::fromLatin1(info.name));
    placedLabel(this, QStringLiteral("Quality (0-10):"), 8, 38, 90, 17);
    m_textQuality = placed(new QSpinBox(this), 110, 36, 50, 21);
    m_textQuality->setObjectName(QStringLiteral("textQuality"));
    m_textQuality->setRange(exchange::lowestOggQuality, exchange::highestOggQuality);
    placedLabel(this, QStringLiteral("kbit/s:"), 176, 38, 50, 17);
    m_comboBitrate = placed(new QComboBox(this), 230, 36, 70, 21);
    m_comboBitrate->setObjectName(QStringLiteral("comboBitrate"));
    for (int kbps : exchange::mp3Bitrates)
        m_comboBitrate->addItem(QString::number(kbps), kbps);
}

void ExportAudioDialog::createLengthControls() {
    m_optionLoops = placed(new QRadioButton(QStringLiteral("Loops after the first pass:"), this), 8, 68, 180, 21);
    m_optionLoops->setObjectName(QStringLiteral("optionLoops"));
    m_textLoops = placed(new QSpinBox(this), 222, 68, 100, 21);
    m_textLoops->setObjectName(QStringLiteral("textLoops"));
    m_textLoops->setRange(0, largestLoops);
    m_optionSeconds = placed(new QRadioButton(QStringLiteral("Seconds:"), this), 8, 96, 180, 21);
    m_optionSeconds->setObjectName(QStringLiteral("optionSeconds"));
    m_textSeconds = placed(new QDoubleSpinBox(this), 222, 96, 100, 21);
    m_textSeconds->setObjectName(QStringLiteral("textSeconds"));
    m_textSeconds->setDecimals(3);
    m_textSeconds->setRange(0.001, audio::longestRenderSeconds);
}

void ExportAudioDialog::createSoundControls() {
    placedLabel(this, QStringLiteral("Fade out over seconds (0 = none):"), 8, 126, 200, 17);
    m_textFade = placed(new QDoubleSpinBox(this), 222, 124, 100, 21);
    m_textFade->setObjectName(QStringLiteral("textFade"));
    m_textFade->setDecimals(3);
    m_textFade->setRange(0.0, audio::longestRenderSeconds);
    m_checkRing = placed(new QCheckBox(QStringLiteral("Let the end ring"), this), 8, 152, 300, 21);
    m_checkRing->setObjectName(QStringLiteral("checkRing"));
    placedLabel(this, QStringLiteral("Loudness:"), 8, 182, 90, 17);
    m_comboLoudness = placed(new QComboBox(this), 110, 180, 140, 21);
    m_comboLoudness->setObjectName(QStringLiteral("comboLoudness"));
    m_comboLoudness->addItem(QStringLiteral("As mixed"));
    for (int target : loudnessTargets)
        m_comboLoudness->addItem(QString("%1 LUFS").arg(target), target);
    m_checkLoopPoints = placed(new QCheckBox(QStringLiteral("Loop points for game engines"), this), 8, 210, 300, 21);
    m_checkLoopPoints->setObjectName(QStringLiteral("checkLoopPoints"));
    m_checkStems = placed(new QCheckBox(QStringLiteral("One file per channel"), this), 8, 238, 300, 21);
    m_checkStems->setObjectName(QStringLiteral("checkStems"));
}

// Loop points need a length in loops and a format that carries them; a faded or ringing loop
// would not loop.
void ExportAudioDialog::followChoices() {
    const QString format = m_comboFormat->currentData().toString();
    const bool loops = m_optionLoops->isChecked();
    m_textQuality->setEnabled(format == "ogg");
    m_comboBitrate->setEnabled(format == "mp3");
    m_textLoops->setEnabled(loops);
    m_textSeconds->setEnabled(!loops);
    m_checkLoopPoints->setEnabled(loops && format != "mp3");
    const bool looping = m_checkLoopPoints->isEnabled() && m_checkLoopPoints->isChecked();
    m_textFade->setEnabled(!looping);
    m_checkRing->setEnabled(loops && !looping);
}

void ExportAudioDialog::showChoices(const ExportAudioDialogChoices& choices) {
    m_comboFormat->setCurrentIndex(std::max(0, m_comboFormat->findData(choices.format)));
    m_textQuality->setValue(choices.quality);
    m_comboBitrate->setCurrentIndex(std::max(0, m_comboBitrate->findData(choices.bitrate)));
    (choices.inLoops ? m_optionLoops : m_optionSeconds)->setChecked(true);
    m_textLoops->setValue(choices.loops);
    m_textSeconds->setValue(choices.seconds);
    m_textFade->setValue(choices.fade);
    m_checkRing->setChecked(choices.ring);
    m_comboLoudness->setCurrentIndex(std::clamp(choices.loudness, 0, m_comboLoudness->count() - 1));
    m_checkLoopPoints->setChecked(choices.loopPoints);
    m_checkStems->setChecked(choices.stems);
}

ExportAudioDialogChoices ExportAudioDialog::choices() const {
    return {m_comboFormat->currentData().toString(),
            m_textQuality->value(),
            m_comboBitrate->currentData().toInt(),
            m_optionLoops->isChecked(),
            m_textLoops->value(),
            m_textSeconds->value(),
            m_textFade->value(),
            m_checkRing->isChecked(),
            m_comboLoudness->currentIndex(),
            m_checkLoopPoints->isChecked(),
            m_checkStems->isChecked()};
}

void ExportAudioDialog::takeOptions(audio::RenderRequest& request) const {
    request.loops.reset();
    request.seconds.reset();
    if (m_optionLoops->isChecked())
        request.loops = m_textLoops->value();
    else
        request.seconds = m_textSeconds->value();
    request.encoding.format = exchange::formatNamed(m_comboFormat->currentData().toString().toStdString())
                                  .value_or(exchange::AudioFormat::Wav16);
    request.encoding.oggQuality = m_textQuality->value();
    request.encoding.mp3Bitrate = m_comboBitrate->currentData().toInt();
    request.fadeSeconds = m_textFade->isEnabled() ? m_textFade->value() : 0.0;
    request.ring = m_checkRing->isEnabled() && m_checkRing->isChecked();
    request.loudness.reset();
    if (m_comboLoudness->currentIndex() > 0)
        request.loudness = m_comboLoudness->currentData().toInt();
    request.loopPoints = m_checkLoopPoints->isEnabled() && m_checkLoopPoints->isChecked();
    request.stems = m_checkStems->isChecked();
}

bool ExportAudioDialog::chooseOptions(audio::RenderRequest& request) {
    if (exec() != QDialog::Accepted)
        return false;
    takeOptions(request);
    return true;
}

void exportAudio(QWidget* documentWindow, Prompts& prompts, const Song& song, const std::filesystem::path& sampleFolder,
                 const QString& songFile, const QString& songName,
                 const std::vector<std::filesystem::path>& openSongFiles) {
    audio::RenderRequest request;
    // What a save of the song would hold, so that the render equals tromel-cli render of that file.
    const Song saved = asSaved(song);
    ExportAudioDialog optionsDialog(
        documentWindow,
        ExportAudioDialogChoices::recall(documentWindow, songFile).value_or(ExportAudioDialogChoices::firstFor(saved)));
    if (!optionsDialog.chooseOptions(request))
        return;
    ExportAudioDialogChoices::remember(documentWindow, songFile, optionsDialog.choices());
    const QString& name = songName;
    const QString extension = QString::fromLatin1(exchange::infoOf(request.encoding.format).extension);
    const std::optional<QString> path =
        prompts.chooseAudioFile(documentWindow, "Export Audio...", name + "." + extension);
    if (!path)
        return;
    request.sampleFolder = sampleFolder;
    request.output = toFilesystemPath(*path);
    if (!songFile.isEmpty())
        request.songFile = toFilesystemPath(songFile);
    request.openSongFiles = openSongFiles;
    request.measure = true;
    ExportProgressDialog progress(documentWindow, saved, request, QFileInfo(*path).fileName());
    const audio::RenderOutcome outcome = progress.run();
    if (outcome.status == audio::RenderOutcome::Status::Written) {
        prompts.message(documentWindow, MessageIcon::Information, exportTitle, closingText(outcome));
    } else if (outcome.status != audio::RenderOutcome::Status::Cancelled) {
        QStringList lines;
        for (const std::string& problem : outcome.problems)
            lines << QString::fromStdString(problem);
        prompts.message(documentWindow, MessageIcon::Warning, exportTitle, lines.join('\n'));
    }
}

}  // namespace tromel::dialogs
