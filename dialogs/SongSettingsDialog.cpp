// The song settings dialog `winSongSettings`: tempo, bar settings and loop points of one song.
#include "dialogs/SongSettingsDialog.h"

#include "dialogs/PlacedWidgets.h"
#include "song/OrgLayout.h"
#include "song/TempoReading.h"
#include "song/TypedNumber.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>

namespace tromel::dialogs {
namespace {

// The boxes end at one right edge, far enough out that any 32-bit value shows whole; boxes only
// two or three digits wide would show 1600 as "600".
constexpr int textBoxRight = 208;
// The musical reading sits under the written controls: a BPM box, then two lines of text.
constexpr int bpmTop = 176;
constexpr int readingTop = 200;
constexpr int readingHeight = 30;
constexpr int clientHeight = readingTop + readingHeight + 6;

QLineEdit* placedTextBox(QWidget* parent, const char* name, int left, int top) {
    auto* box = placed(new QLineEdit(parent), left, top, textBoxRight - left, 19);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QPushButton* placedButton(QWidget* parent, const char* name, const QString& caption, int left) {
    auto* button = placed(new QPushButton(caption, parent), left, 144, 65, 25);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

// A typed value beyond what the song's file holds becomes the nearest value it holds.
int32_t parsed(const QLineEdit* box, int64_t largest) {
    return static_cast<int32_t>(org::fitField(parseTypedNumber(box->text().toStdString()), largest));
}

}  // namespace

SongSettingsDialog::SongSettingsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("winSongSettings"));
    setWindowTitle(QStringLiteral("Settings"));
    setClientSize(this, textBoxRight + 8, clientHeight);
    createControls();
    createReading();
    arrangeTabOrder();
    connect(m_cmdApply, &QPushButton::clicked, this, &SongSettingsDialog::apply);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void SongSettingsDialog::createControls() {
    placedLabel(this, QStringLiteral("Tempo"), 8, 8, 57, 25);
    placedLabel(this, QStringLiteral("Steps per Bar"), 8, 32, 97, 25);
    placedLabel(this, QStringLiteral("Beats per Step"), 8, 56, 105, 25);
    placedLabel(this, QStringLiteral("Loop Begin"), 8, 80, 105, 25);
    placedLabel(this, QStringLiteral("Loop End"), 8, 104, 105, 25);
    m_textTempo = placedTextBox(this, "textTempo", 104, 8);
    m_textSteps = placedTextBox(this, "textSteps", 120, 32);
    m_textBeats = placedTextBox(this, "textBeats", 120, 56);
    m_textLoopBegin = placedTextBox(this, "textLoopBegin", 120, 80);
    m_textLoopEnd = placedTextBox(this, "textLoopEnd", 120, 104);
    m_cmdApply = placedButton(this, "cmdApply", QStringLiteral("Apply"), 8);
    m_cmdCancel = placedButton(this, "cmdCancel", QStringLiteral("Cancel"), 80);
    // Enter applies, as in any settings dialog; Escape cancels.
    m_cmdApply->setDefault(true);
}

void SongSettingsDialog::createReading() {
    placedLabel(this, QStringLiteral("BPM"), 8, bpmTop, 97, 25);
    m_textBpm = placedTextBox(this, "textBpm", 120, bpmTop);
    m_tempoReading = placed(new QLabel(this), 8, readingTop, textBoxRight - 8, readingHeight);
    m_tempoReading->setObjectName(QStringLiteral("tempoReading"));
    m_tempoReading->setWordWrap(true);
    m_tempoReading->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (QLineEdit* box : {m_textTempo, m_textSteps, m_textBeats})
        connect(box, &QLineEdit::textChanged, this, &SongSettingsDialog::showReading);
    connect(m_textBpm, &QLineEdit::textEdited, this, &SongSettingsDialog::bpmTyped);
}

// The boxes read as Apply would store them.
void SongSettingsDialog::showReading() {
    const TempoFields fields{parsed(m_textTempo, org::largestWord), parsed(m_textSteps, org::largestByte),
                             parsed(m_textBeats, org::largestByte)};
    m_tempoReading->setText(QString::fromStdString(describeTempo(fields)));
    if (m_typingBpm)
        return;
    const std::optional<double> bpm = beatsPerMinute(fields.millisecondsPerStep, fields.stepsPerBeat);
    m_textBpm->setText(bpm ? QString::fromStdString(formatBeatsPerMinute(*bpm)) : QString());
}

// A BPM the tempo cannot take (none, or no steps per beat) leaves the tempo box alone.
void SongSettingsDialog::bpmTyped(const QString& text) {
    const std::optional<double> bpm = parseBeatsPerMinute(text.toStdString());
    if (!bpm)
        return;
    const std::optional<int32_t> tempo =
        millisecondsPerStepFor(*bpm, parsed(m_textBeats, org::largestByte), static_cast<int32_t>(org::largestWord));
    if (!tempo)
        return;
    m_typingBpm = true;
    m_textTempo->setText(QString::number(*tempo));
    m_typingBpm = false;
}

void SongSettingsDialog::arrangeTabOrder() {
    const std::array<QWidget*, 8> order{m_textTempo, m_textSteps,     m_textBeats,   m_cmdApply,
                                        m_cmdCancel, m_textLoopBegin, m_textLoopEnd, m_textBpm};
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void SongSettingsDialog::editModally(SongSettingsExchange& exchange) {
    m_exchange = &exchange;
    exec();
    m_exchange = nullptr;
}

void SongSettingsDialog::showEvent(QShowEvent* event) {
    if (m_exchange) {
        m_textBeats->setText(QString::number(m_exchange->returnBeat));
        m_textSteps->setText(QString::number(m_exchange->returnStep));
        m_textTempo->setText(QString::number(m_exchange->returnTempo));
        m_textLoopBegin->setText(QString::number(m_exchange->returnLoopBegin));
        m_textLoopEnd->setText(QString::number(m_exchange->returnLoopEnd));
    }
    m_textTempo->setFocus();
    QDialog::showEvent(event);
}

void SongSettingsDialog::apply() {
    if (m_exchange) {
        m_exchange->returnBeat = parsed(m_textBeats, org::largestByte);
        m_exchange->returnStep = parsed(m_textSteps, org::largestByte);
        m_exchange->returnTempo = parsed(m_textTempo, org::largestWord);
        m_exchange->returnLoopBegin = parsed(m_textLoopBegin, org::largestStep);
        m_exchange->returnLoopEnd = parsed(m_textLoopEnd, org::largestStep);
    }
    accept();
}

void editSongSettings(QWidget* documentWindow, Song& song, SongSettingsExchange& exchange,
                      std::unique_ptr<SongSettingsDialog>& dialogOfThisWindow) {
    fillSongSettingsExchange(song, exchange);
    if (!dialogOfThisWindow)
        dialogOfThisWindow = std::make_unique<SongSettingsDialog>(documentWindow);
    dialogOfThisWindow->editModally(exchange);
    storeSongSettingsExchange(exchange, song);
}

}  // namespace tromel::dialogs
