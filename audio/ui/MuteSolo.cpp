// Solo on the mute boxes: Ctrl+click to solo a channel, again to put the boxes back.
#include "audio/ui/MuteSolo.h"

#include <QCheckBox>
#include <QMouseEvent>
#include <QPalette>

#include <algorithm>

namespace tromel::audio {
namespace {

// The soloed box stands on a ground of this colour, so a solo looks unlike the same boxes ticked
// by hand.
constexpr QRgb soloGround = 0xFFE0A000;

}  // namespace

MuteSolo::MuteSolo(const std::array<QCheckBox*, 16>& boxes, QObject* parent) : QObject(parent), m_boxes(boxes) {
    for (QCheckBox* box : m_boxes) {
        box->installEventFilter(this);
        connect(box, &QCheckBox::toggled, this, [this] {
            if (!m_setting && m_soloed) {
                m_soloed.reset();
                showSolo();
            }
        });
    }
    showSolo();
}

void MuteSolo::toggleSolo(int channel) {
    std::array<bool, 16> muted{};
    if (m_soloed == channel) {
        m_soloed.reset();
        muted = m_before;
    } else {
        if (!m_soloed) {
            for (std::size_t i = 0; i < m_boxes.size(); ++i)
                m_before[i] = m_boxes[i]->isChecked();
        }
        m_soloed = channel;
        muted.fill(true);
        muted[static_cast<std::size_t>(channel)] = false;
    }
    setBoxes(muted);
    showSolo();
}

void MuteSolo::setBoxes(const std::array<bool, 16>& muted) {
    m_setting = true;
    for (std::size_t i = 0; i < m_boxes.size(); ++i)
        m_boxes[i]->setChecked(muted[i]);
    m_setting = false;
}

// The tooltips, and the ground of the soloed box.
void MuteSolo::showSolo() {
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        QCheckBox* box = m_boxes[i];
        const bool soloed = m_soloed == static_cast<int>(i);
        box->setToolTip(soloed ? QStringLiteral("Solo (Ctrl+click puts the mute boxes back)")
                               : QStringLiteral("Mute (Ctrl+click: solo)"));
        if (box->autoFillBackground() == soloed)
            continue;
        QPalette ground;
        if (soloed)
            ground.setColor(QPalette::Window, QColor::fromRgb(soloGround));
        box->setPalette(soloed ? ground : QPalette());
        box->setAutoFillBackground(soloed);
    }
}

// The Ctrl+click is taken whole, so the box does not also toggle itself.
bool MuteSolo::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton || !mouse->modifiers().testFlag(Qt::ControlModifier))
        return false;
    const auto box = std::find(m_boxes.begin(), m_boxes.end(), watched);
    if (box == m_boxes.end())
        return false;
    if (type == QEvent::MouseButtonRelease && (*box)->rect().contains(mouse->position().toPoint()))
        toggleSolo(static_cast<int>(box - m_boxes.begin()));
    return true;
}

}  // namespace tromel::audio
