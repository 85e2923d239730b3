// Settings > "MIDI Input...": the MIDI input ports to play notes in from.
#include "dialogs/MidiInputDialog.h"

#include "audio/ui/MidiInput.h"
#include "widgets/ProgramSettings.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tromel::dialogs {
namespace {

constexpr const char* absentMark = " (not there now)";

}  // namespace

MidiInputDialog::MidiInputDialog(audio::MidiInput* midi, QWidget* parent) : QDialog(parent), m_midi(midi) {
    setObjectName("winMidiInput");
    setWindowTitle("MIDI Input");
    auto* layout = new QVBoxLayout(this);
    const bool available = midi && midi->available();
    auto* label = new QLabel(available ? portsText : noMidiText, this);
    label->setObjectName("labelMidi");
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* buttons = new QDialogButtonBox(this);
    if (available) {
        m_ports = new QListWidget(this);
        m_ports->setObjectName("listPorts");
        const QStringList offered = midi->ports();
        QStringList shown = offered;
        for (const QString& chosen : settings::midiPorts())
            if (!shown.contains(chosen))
                shown << chosen;
        for (const QString& name : shown) {
            auto* item = new QListWidgetItem(offered.contains(name) ? name : name + absentMark, m_ports);
            item->setData(Qt::UserRole, name);
            item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
            item->setCheckState(settings::midiPorts().contains(name) ? Qt::Checked : Qt::Unchecked);
        }
        layout->addWidget(m_ports);
        buttons->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    } else {
        buttons->setStandardButtons(QDialogButtonBox::Close);
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &MidiInputDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(480, available ? 360 : 160);
}

QStringList MidiInputDialog::ticked() const {
    QStringList names;
    for (int i = 0; m_ports && i < m_ports->count(); ++i)
        if (m_ports->item(i)->checkState() == Qt::Checked)
            names << m_ports->item(i)->data(Qt::UserRole).toString();
    return names;
}

void MidiInputDialog::accept() {
    if (m_midi && m_midi->available())
        m_midi->choosePorts(ticked());
    QDialog::accept();
}

}  // namespace tromel::dialogs
