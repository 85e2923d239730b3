// Ctrl+click on a mute box solos its channel; Ctrl+click on it again puts the boxes back.
#pragma once

#include <QObject>

#include <array>
#include <optional>

class QCheckBox;

namespace tromel::audio {

// Soloing mutes every other channel of both kinds through the boxes themselves, so the transport
// hears it as any muting; like muting it is playback state, never a step of the history. A Ctrl+click
// on another box moves the solo there; the boxes put back are those from before the first solo.
// A plain click on any box while a channel is soloed keeps the boxes as they now are. The soloed
// box stands on a ground of its own colour while the solo lasts.
class MuteSolo : public QObject {
    Q_OBJECT

public:
    // The boxes (0..7 instruments, 8..15 drums) outlive this object.
    explicit MuteSolo(const std::array<QCheckBox*, 16>& boxes, QObject* parent = nullptr);

    // The Ctrl+click on box `channel`.
    void toggleSolo(int channel);
    std::optional<int> soloed() const { return m_soloed; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setBoxes(const std::array<bool, 16>& muted);
    void showSolo();

    std::array<QCheckBox*, 16> m_boxes;
    std::optional<int> m_soloed;
    std::array<bool, 16> m_before{};
    bool m_setting = false;
};

}  // namespace tromel::audio
