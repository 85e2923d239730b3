// The small dialog of View > Go to Bar...: a bar and a beat in it.
#include "dialogs/GoToBarDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

#include <algorithm>

namespace tromel::dialogs {

GoToBarDialog::GoToBarDialog(QWidget* parent, int beatsInBar, BarAndBeat shown) : QDialog(parent) {
    setObjectName("goToBarDialog");
    setWindowTitle("Go to Bar");
    m_bar = new QSpinBox(this);
    m_bar->setObjectName("barSpin");
    m_bar->setRange(1, lastBar);
    m_bar->setValue(std::clamp(shown.bar, 1, lastBar));
    m_beat = new QSpinBox(this);
    m_beat->setObjectName("beatSpin");
    m_beat->setRange(1, std::max(beatsInBar, 1));
    m_beat->setValue(shown.beat);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow("Bar", m_bar);
    form->addRow("Beat", m_beat);
    form->addRow(buttons);
    m_bar->selectAll();
}

BarAndBeat GoToBarDialog::chosen() const {
    return {m_bar->value(), m_beat->value()};
}

std::optional<BarAndBeat> GoToBarDialog::ask(QWidget* parent, int beatsInBar, BarAndBeat shown) {
    GoToBarDialog dialog(parent, beatsInBar, shown);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosen();
}

}  // namespace tromel::dialogs
