// Channel buttons and the channel text of the status bar.
#include "roll/ui/ChannelSelector.h"

#include "roll/ChannelStatus.h"

#include <QLabel>
#include <QPushButton>

namespace tromel::roll {

ChannelSelector::ChannelSelector(QWidget* parent) : QObject(parent) {
    m_instLabel = new QLabel("Instruments", parent);
    m_instLabel->setObjectName("instLabel");
    m_drumLabel = new QLabel("Drums", parent);
    m_drumLabel->setObjectName("drumLabel");
    for (int i = 0; i < 8; ++i) {
        m_instButtons[i] = makeButton(parent, "instButton", i);
        m_drumButtons[i] = makeButton(parent, "drumButton", i);
        connect(m_instButtons[i], &QPushButton::clicked, this, [this, i] { select(0, i); });
        connect(m_drumButtons[i], &QPushButton::clicked, this, [this, i] { select(1, i); });
    }
    m_instButtons[0]->setEnabled(false);
}

QString ChannelSelector::statusText(int kind, int channel) {
    return QString::fromStdString(channelStatusText(static_cast<int16_t>(kind), static_cast<int16_t>(channel)));
}

QPushButton* ChannelSelector::makeButton(QWidget* parent, const char* name, int index) {
    auto* button = new QPushButton(QString::number(index + 1), parent);
    // Every button of a row carries the row's name; the index tells them apart.
    button->setObjectName(name);
    button->setProperty("index", index);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void ChannelSelector::select(int kind, int channel) {
    for (int j = 0; j < 8; ++j) {
        m_instButtons[j]->setEnabled(!(kind == 0 && j == channel));
        m_drumButtons[j]->setEnabled(!(kind == 1 && j == channel));
    }
    emit channelSelected(kind, channel);
}

}  // namespace tromel::roll
