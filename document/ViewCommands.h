// What a document shows and where: the roll drawn from where its bars stand, the wheel, the View
// menu (Go to Notes, Follow Playback, Show Notes When Opening, Preview Notes, Play from Here, the
// song's grid, the loop, the ruler, zoom, Remember Window Layout) and the sounds of the preview.
#pragma once

#include "document/EditPort.h"
#include "document/EditorContext.h"
#include "document/PlaybackPort.h"
#include "document/ViewPort.h"
#include "roll/GridMeter.h"
#include "roll/ViewScroll.h"
#include "song/EditState.h"
#include "song/Song.h"

#include <QObject>
#include <QPoint>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QScrollBar;
class QStatusBar;

namespace tromel::audio {
class LivePreview;
}

namespace tromel::roll {
class PianoRoll;
class RollRuler;
struct RollView;
}  // namespace tromel::roll

namespace tromel {

class PositionReadout;
class ZoomCommands;

class ViewCommands : public QObject, public ViewPort {
    Q_OBJECT

public:
    // The widgets and the other rooms outlive this object; `relayout` places the window's
    // controls again (the ruler came or went).
    ViewCommands(EditorContext& context, const Song& song, EditState& state, roll::PianoRoll& roll, QScrollBar& xScroll,
                 QScrollBar& yScroll, QStatusBar& statusBar, EditPort& edits, PlaybackPort& playback,
                 std::function<void()> relayout);
    ~ViewCommands() override;

    // The View menu's items; its check marks are read again each time it opens.
    void addTo(QMenu* viewMenu);

    // The view offsets from the bars, and the whole roll drawn again.
    void drawRoll();
    // The notes drawn again over the roll's last picture (the whole roll when the song's bars or
    // loop changed while the roll shows them).
    void drawNotes();
    // After any change of the song: the roll again when it shows the bars or loop that changed.
    void songChanged();
    // Three rows or columns a notch, through the bars; Shift turns the wheel sideways, Ctrl zooms
    // at the pointer.
    void scrollByWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers, QPointF position);
    // View > Go to Notes: the current channel's earliest note near the left edge, its key centred.
    void goToNotes();
    // Show Notes When Opening: the song's first step at the left edge when the note Go to Notes
    // finds shows from there (or there is none), else that note as Go to Notes shows it.
    void showOpenedNotes();
    // View > Play from Here: playback from the selection's first step or the first column in view.
    void playFromHere();
    // Unless Follow Playback is on, playback never scrolls the view: a step outside it passes
    // without a redraw.
    void followPlayCursor(int32_t playPosition);
    // A placed note, or a clicked key, sounds when Preview Notes is on.
    void previewNote(const NoteRec& note);
    // The Listen button of the instrument and drum dialog: wave or drum `number` of channel
    // `channel` of kind `kind` at file key 57 for half a second.
    void listen(int kind, int channel, int number);
    // A paste lands on the play cursor while the song is paused, else on the first column wholly in view.
    int32_t pasteColumn() const;
    int32_t firstVisibleColumn() const;
    // The first column of the bar of the drawn grid that holds the view's left edge.
    int32_t leftEdgeBarColumn() const override;
    // Step entry's cursor, drawn over the notes at this column (0: none), kept in view.
    void setEditCursor(int32_t column) override;
    roll::RollScale scale() const override;
    // While the keyboard piano is on, the readout ends with its base octave.
    void setPianoOctave(std::optional<int> octave) override;

    ZoomCommands& zoom() const { return *m_zoom; }
    roll::RollRuler* ruler() const override;
    int rulerHeight() const;

private:
    // The loop and bar settings as last drawn.
    struct DrawnHeader {
        int16_t stepsPerBar = 0;
        int16_t beatsPerStep = 0;
        int32_t loopBegin = 0;
        int32_t loopEnd = 0;
        friend bool operator==(const DrawnHeader&, const DrawnHeader&) = default;
    };

    void refreshMenu();
    void readOptions();
    bool headerOutOfDate() const;
    QAction* addSwitch(QMenu* menu, const char* text, void (*set)(bool));
    bool keepCursorInView(int32_t playPosition);
    roll::RollView rollView() const;
    std::optional<int32_t> keptByZoom() const;

    EditorContext& m_context;
    const Song& m_song;
    EditState& m_state;
    roll::PianoRoll& m_roll;
    QScrollBar& m_xScroll;
    QScrollBar& m_yScroll;
    EditPort& m_edits;
    PlaybackPort& m_playback;
    std::function<void()> m_relayout;
    std::unique_ptr<ZoomCommands> m_zoom;
    std::unique_ptr<PositionReadout> m_readout;
    QAction* m_followPlaybackAction = nullptr;
    QAction* m_showNotesAction = nullptr;
    QAction* m_previewNotesAction = nullptr;
    QAction* m_gridFollowsSongAction = nullptr;
    QAction* m_showLoopAction = nullptr;
    QAction* m_showRulerAction = nullptr;
    QAction* m_rememberLayoutAction = nullptr;
    bool m_gridFollowsSong = false;
    bool m_showLoop = false;
    int32_t m_editCursor = 0;
    DrawnHeader m_drawnHeader;
    audio::LivePreview* m_preview = nullptr;
    roll::WheelScroll m_wheelX;
    roll::WheelScroll m_wheelY;
};

}  // namespace tromel
