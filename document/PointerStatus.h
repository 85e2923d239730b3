// What the status bar says as the pointer moves over a document window's own controls.
#pragma once

#include <QList>
#include <QObject>

#include <functional>

class QWidget;

namespace tromel {

// Pointer moves over the window's background, the channel buttons, the label "Instruments" and
// the status bar put the channel text back; over a mute box they say "Mute". The controls named
// quiet take the pointer's moves and leave the text as it is.
class PointerStatus : public QObject {
public:
    struct Watched {
        QList<QWidget*> restoring;  // besides the window itself
        QList<QWidget*> muteBoxes;
        QList<QWidget*> quiet;
    };

    PointerStatus(QWidget* window, const Watched& watched, std::function<void()> showChannelStatus,
                  std::function<void()> sayMute);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QWidget*> m_muteBoxes;
    std::function<void()> m_showChannelStatus;
    std::function<void()> m_sayMute;
};

}  // namespace tromel
