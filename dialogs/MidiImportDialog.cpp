// The import dialog: a MIDI file's parts, where each goes, the grid and the chord rule.
#include "dialogs/MidiImportDialog.h"

#include "exchange/GeneralMidiMap.h"
#include "song/DrumSet.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
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

MidiImportDialog::MidiImportDialog(const QString& fileName, const std::vector<exchange::MidiPart>& parts,
                                   const exchange::MidiImportPlan& plan, QWidget* parent)
    : QDialog(parent) {
    setObjectName("midiImportDialog");
    setWindowTitle(QStringLiteral("Import MIDI: %1").arg(fileName));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Where each part of the file goes:"), this));
    m_table = new QTableWidget(static_cast<int>(parts.size()), 6, this);
    m_table->setObjectName("partTable");
    m_table->setHorizontalHeaderLabels({"Track", "Channel", "Name", "Program", "Notes", "Goes to"});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    for (int row = 0; row < static_cast<int>(parts.size()); ++row)
        fillRow(
            row, parts[static_cast<std::size_t>(row)],
            row < static_cast<int>(plan.targets.size()) ? plan.targets[static_cast<std::size_t>(row)] : PartTarget{});
    m_table->resizeColumnsToContents();
    layout->addWidget(m_table);

    auto* form = new QFormLayout;
    m_stepsPerBeat = new QSpinBox(this);
    m_stepsPerBeat->setObjectName("stepsPerBeat");
    m_stepsPerBeat->setRange(1, exchange::largestImportStepsPerBeat);
    m_stepsPerBeat->setValue(plan.stepsPerBeat);
    form->addRow(QStringLiteral("Steps per beat:"), m_stepsPerBeat);
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
    resize(720, 420);
}

void MidiImportDialog::fillRow(int row, const exchange::MidiPart& part, const PartTarget& target) {
    const QStringList cells{QString::number(part.track + 1), QString::number(part.channel + 1),
                            QString::fromStdString(part.name), soundOf(part), QString::number(part.noteCount)};
    for (int column = 0; column < cells.size(); ++column)
        m_table->setItem(row, column, new QTableWidgetItem(cells[column]));
    auto* combo = new QComboBox(m_table);
    combo->setObjectName(QStringLiteral("partTarget_%1").arg(row));
    combo->addItem(QStringLiteral("Skip"));
    for (const char* kind : {"Instrument", "Drum"})
        for (int channel = 1; channel <= 8; ++channel)
            combo->addItem(QStringLiteral("%1 %2").arg(QLatin1String(kind)).arg(channel));
    combo->setCurrentIndex(entryOf(target));
    m_table->setCellWidget(row, 5, combo);
    m_targets.push_back(combo);
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
