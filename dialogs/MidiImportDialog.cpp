// The import dialog: a MIDI file's parts, where each goes, the grid and the chord rule.
#include "dialogs/MidiImportDialog.h"

#include "dialogs/MidiPartPreview.h"
#include "exchange/GeneralMidiMap.h"
#include "exchange/MidiGrid.h"
#include "exchange/MidiImport.h"
#include "song/ChannelNames.h"
#include "song/DrumSet.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tromel::dialogs {
namespace {

using exchange::PartTarget;
using exchange::TargetKind;

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Percussion parts show their drum and keys, the others their General MIDI program.
QString soundOf(const exchange::MidiPart& part) {
    if (!part.isPercussion())
        return QStringLiteral("%1 %2").arg(part.program + 1).arg(fromView(exchange::programName(part.program)));
    QStringList keys;
    for (int key : part.keys)
        keys << QString::number(key);
    return QStringLiteral("%1 (%2; keys %3)")
        .arg(fromView(drumNames[static_cast<std::size_t>(part.drum)]),
             fromView(exchange::groupName(exchange::groupOfDrum(part.drum))), keys.join(", "));
}

}  // namespace

MidiImportDialog::MidiImportDialog(const QString& fileName, const exchange::MidiFile& file,
                                   const std::vector<exchange::MidiPart>& parts, const exchange::MidiImportPlan& plan,
                                   MidiPartPreview* preview, QWidget* parent)
    : QDialog(parent), m_file(file), m_parts(parts), m_preview(preview) {
    if (m_preview) {
        m_preview->setParent(this);
        m_preview->setObjectName("partPreview");
        connect(this, &QDialog::finished, m_preview, &MidiPartPreview::stop);
    }
    const exchange::MidiTiming timing = exchange::readMidiTiming(file);
    m_beatHalves = timing.beatHalves;
    setObjectName("midiImportDialog");
    setWindowTitle(QStringLiteral("Import MIDI: %1").arg(fileName));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Where each part of the file goes:"), this));
    m_table = new QTableWidget(static_cast<int>(parts.size()), 8, this);
    m_table->setObjectName("partTable");
    m_table->setHorizontalHeaderLabels({"Track", "Channel", "Name", "Program", "Notes", "Goes to", "", ""});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    for (int row = 0; row < static_cast<int>(parts.size()); ++row)
        fillRow(
            row, parts[static_cast<std::size_t>(row)],
            row < static_cast<int>(plan.targets.size()) ? plan.targets[static_cast<std::size_t>(row)] : PartTarget{});
    layout->addWidget(m_table);

    auto* form = new QFormLayout;
    m_stepsPerBeat = new QSpinBox(this);
    m_stepsPerBeat->setObjectName("stepsPerBeat");
    m_stepsPerBeat->setRange(1, timing.largestStepsPerBeat());
    m_stepsPerBeat->setValue(plan.stepsPerBeat);
    m_stepsPerBeat->setToolTip(
        QStringLiteral("Steps in each beat of the file's time signature (%1): a quarter note in x/4, a dotted "
                       "quarter in 6/8, 9/8 and 12/8, an eighth in other x/8, a half note in x/2.")
            .arg(QString::fromStdString(std::to_string(timing.meter.numerator) + "/" +
                                        std::to_string(timing.meter.denominator))));
    m_gridMoves = new QLabel(this);
    m_gridMoves->setObjectName("gridMoves");
    auto* grid = new QHBoxLayout;
    grid->addWidget(m_stepsPerBeat);
    grid->addWidget(m_gridMoves, 1);
    form->addRow(QStringLiteral("Steps per beat:"), grid);
    connect(m_stepsPerBeat, &QSpinBox::valueChanged, this, &MidiImportDialog::showGridMoves);
    showGridMoves();
    m_chords = new QComboBox(this);
    m_chords->setObjectName("chordPolicy");
    m_chords->addItems({"Spread over free channels", "Top note only"});
    m_chords->setCurrentIndex(plan.chords == exchange::ChordPolicy::Top ? 1 : 0);
    form->addRow(QStringLiteral("Chords:"), m_chords);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Import"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName("importButton");
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    fitRows();
}

void MidiImportDialog::fitRows() {
    // Every column whole, and up to sixteen rows before the table scrolls.
    m_table->resizeColumnsToContents();
    m_table->resizeRowsToContents();
    const int frame = 2 * m_table->frameWidth();
    int width = frame;
    for (int column = 0; column < m_table->columnCount(); ++column)
        width += m_table->columnWidth(column);
    int height = frame + m_table->horizontalHeader()->sizeHint().height();
    for (int row = 0; row < std::min(m_table->rowCount(), 16); ++row)
        height += m_table->rowHeight(row);
    m_table->setMinimumSize(width, height);
    resize(sizeHint());
}

void MidiImportDialog::fillRow(int row, const exchange::MidiPart& part, const PartTarget& target) {
    const QStringList cells{QString::number(part.track + 1), QString::number(part.channel + 1),
                            QString::fromStdString(part.name), soundOf(part), QString::number(part.noteCount)};
    for (int column = 0; column < cells.size(); ++column)
        m_table->setItem(row, column, new QTableWidgetItem(cells[column]));
    auto* combo = new QComboBox(m_table);
    combo->setObjectName(QStringLiteral("partTarget_%1").arg(row));
    combo->addItem(QStringLiteral("Skip"));
    for (int kind = 0; kind < 2; ++kind)
        for (int channel = 0; channel < 8; ++channel)
            combo->addItem(QString::fromStdString(channelName(kind, channel)));
    combo->setCurrentIndex(entryOf(target));
    m_table->setCellWidget(row, 5, combo);
    m_targets.push_back(combo);
    if (m_preview) {
        auto* button = new QPushButton(QStringLiteral("Listen"), m_table);
        button->setObjectName(QStringLiteral("partListen_%1").arg(row));
        connect(button, &QPushButton::clicked, this, [this, row] { listen(row); });
        m_table->setCellWidget(row, 6, button);
    }
    // The plan leaves a part out only when there are more parts than channels.
    if (target.kind == TargetKind::Skip)
        m_table->setItem(row, 7, new QTableWidgetItem(QStringLiteral("Left out: more parts than channels")));
}

void MidiImportDialog::listen(int row) {
    exchange::MidiImportPlan alone = plan();
    PartTarget target = alone.targets[static_cast<std::size_t>(row)];
    if (target.kind == TargetKind::Skip)
        target = {m_parts[static_cast<std::size_t>(row)].isPercussion() ? TargetKind::Drum : TargetKind::Instrument, 0};
    std::fill(alone.targets.begin(), alone.targets.end(), PartTarget{});
    alone.targets[static_cast<std::size_t>(row)] = target;
    m_preview->play(exchange::midiToSong(m_file, m_parts, alone).song, target.kind == TargetKind::Drum ? 1 : 0,
                    target.channel);
}

void MidiImportDialog::showGridMoves() {
    const exchange::MidiGrid grid(m_file.division, m_beatHalves, m_stepsPerBeat->value());
    const exchange::GridFit fit = exchange::fitOnGrid(m_file, grid);
    m_gridMoves->setText(fit.moved == 0 ? QStringLiteral("No note start moves.")
                                        : QStringLiteral("%1 of %2 note starts move, by at most %3.")
                                              .arg(fit.moved)
                                              .arg(fit.starts)
                                              .arg(QString::fromStdString(grid.noteValueOf(fit.largestShift))));
}

int MidiImportDialog::entryOf(const PartTarget& target) {
    if (target.kind == TargetKind::Skip || target.channel < 0 || target.channel > 7)
        return 0;
    return (target.kind == TargetKind::Instrument ? 1 : 9) + target.channel;
}

PartTarget MidiImportDialog::targetOf(int entry) {
    if (entry < 1 || entry > 16)
        return {};
    return entry <= 8 ? PartTarget{TargetKind::Instrument, entry - 1} : PartTarget{TargetKind::Drum, entry - 9};
}

exchange::MidiImportPlan MidiImportDialog::plan() const {
    exchange::MidiImportPlan plan;
    plan.stepsPerBeat = m_stepsPerBeat->value();
    plan.chords = m_chords->currentIndex() == 1 ? exchange::ChordPolicy::Top : exchange::ChordPolicy::Spread;
    for (const QComboBox* combo : m_targets)
        plan.targets.push_back(targetOf(combo->currentIndex()));
    return plan;
}

}  // namespace tromel::dialogs
