// View > Go to Bar...: the view scrolls to a bar and beat, and a still song's play position moves there.
#include "document/GoToBar.h"

#include "audio/ui/TransportControls.h"
#include "dialogs/GoToBarDialog.h"
#include "roll/GridMeter.h"
#include "roll/RollGeometry.h"
#include "roll/ViewScroll.h"

#include <QMenu>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>
#include <limits>

namespace tromel {

GoToBar::GoToBar(QObject* parent, QMenu* viewMenu, const Song& song, const EditState& state, QScrollBar& xScroll,
                 QWidget& roll, PlaybackPort& playback)
    : QObject(parent), m_song(song), m_state(state), m_xScroll(xScroll), m_roll(roll), m_playback(playback) {
    viewMenu->addAction("Go to Bar...", QKeySequence("Ctrl+G"), this, &GoToBar::ask);
}

void GoToBar::ask() {
    const roll::GridMeter meter = roll::GridMeter::of(m_song, true);
    const roll::RollScale scale = roll::RollScale::ofZoom(m_state.zoomX, m_state.zoomY);
    const int64_t leftColumn = m_state.viewScrollX / scale.columnWidth + 1;
    const int shownBar = static_cast<int>(std::min<int64_t>(meter.barOf(leftColumn), dialogs::GoToBarDialog::lastBar));
    const auto chosen = dialogs::GoToBarDialog::ask(m_roll.window(), meter.beatsInBar(), {shownBar, 1});
    if (chosen)
        goTo(chosen->bar, chosen->beat);
}

void GoToBar::goTo(int64_t bar, int64_t beat) {
    const roll::GridMeter meter = roll::GridMeter::of(m_song, true);
    const int64_t column = std::clamp<int64_t>(meter.columnOf(bar, std::clamp<int64_t>(beat, 1, meter.beatsInBar())), 1,
                                               std::numeric_limits<int32_t>::max());
    const roll::RollScale scale = roll::RollScale::ofZoom(m_state.zoomX, m_state.zoomY);
    m_xScroll.setValue(
        roll::barValueAtOrBelowScrollX(scale.columnWidth * (column - 1), m_xScroll.maximum(), m_roll.width(), scale));
    audio::TransportControls& controls = m_playback.controls();
    if (controls.isPlaying())
        return;
    if (m_playback.isPaused())
        controls.moveWhilePaused(static_cast<int32_t>(column));
    else
        controls.moveWhileStopped(static_cast<int32_t>(column));
}

}  // namespace tromel
