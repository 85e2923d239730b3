// The two rows of channel buttons under the roll; exactly one of the sixteen is disabled, the current one.
#pragma once

#include <QObject>
#include <QString>

#include <array>

class QLabel;
class QPushButton;
class QWidget;

namespace tromel::roll {

class ChannelSelector : public QObject {
    Q_OBJECT

public:
    // Creates the labels and buttons as children of parent; channel 1 of the instruments is current.
    explicit ChannelSelector(QWidget* parent);

    // "Current Channel: Instrument #n" or "Current Channel: Drum #n".
    static QString statusText(int kind, int channel);

    QPushButton* instButton(int i) const { return m_instButtons[i]; }
    QPushButton* drumButton(int i) const { return m_drumButtons[i]; }
    QLabel* instLabel() const { return m_instLabel; }
    QLabel* drumLabel() const { return m_drumLabel; }

signals:
    // kind 0 instruments, 1 drums; channel 0..7 within the kind.
    void channelSelected(int kind, int channel);

private:
    void createKeys(QWidget* parent);
    void select(int kind, int channel);
    QPushButton* makeButton(QWidget* parent, const char* name, int index);

    QLabel* m_instLabel = nullptr;
    QLabel* m_drumLabel = nullptr;
    std::array<QPushButton*, 8> m_instButtons{};
    std::array<QPushButton*, 8> m_drumButtons{};
};

}  // namespace tromel::roll
