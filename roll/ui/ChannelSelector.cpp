// Channel buttons and the channel text of the status bar.
#include "roll/ui/ChannelSelector.h"

#include "roll/ChannelStatus.h"
#include "roll/ui/SpaceKeeper.h"
#include "song/ChannelNames.h"

#include <QAction>
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
    createKeys(parent);
}

// Ctrl+1..8 choose instrument channels and Alt+1..8 drum channels, anywhere in the window.
void ChannelSelector::createKeys(QWidget* parent) {
    for (int i = 0; i < 8; ++i) {
        for (QPushButton* button : {m_instButtons[i], m_drumButtons[i]}) {
            const Qt::Modifier modifier = button == m_instButtons[i] ? Qt::CTRL : Qt::ALT;
            auto* action = new QAction(parent);
            action->setShortcut(QKeySequence(modifier | (Qt::Key_1 + i)));
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            // The current channel's button is disabled: choosing it again changes nothing.
            connect(action, &QAction::triggered, button, &QPushButton::click);
            parent->addAction(action);
        }
    }
}

QString ChannelSelector::statusText(int kind, int channel) {
    return QString::fromStdString(channelStatusText(static_cast<int16_t>(kind), static_cast<int16_t>(channel)));
}

QPushButton* ChannelSelector::makeButton(QWidget* parent, const char* name, int index) {
    auto* button = new QPushButton(QString::number(index + 1), parent);
    // Every button of a row carries the row's name; the index tells them apart.
    button->setObjectName(name);
    button->setProperty("index", index);
    button->setAccessibleName(QString::fromStdString(channelName(name == QStringLiteral("instButton") ? 0 : 1, index)));
    // Reached with Tab, not taken by a click, so that Space after a click still plays or pauses.
    button->setFocusPolicy(Qt::TabFocus);
    roll::SpaceKeeper::keepSpaceFor(button);
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
