// What a document shows and where: the roll drawn from where its bars stand, the wheel, the View
// menu (Go to Notes, Follow Playback, Show Notes When Opening, Preview Notes, Play from Here).
#pragma once

#include "document/EditorContext.h"
#include "roll/ViewScroll.h"
#include "song/EditState.h"
#include "song/Song.h"

#include <QObject>
#include <QPoint>

#include <memory>

class QAction;
class QMenu;
class QScrollBar;
class QTimer;

namespace tromel::audio {
class NotePreview;
}

namespace tromel::roll {
class PianoRoll;
struct RollView;
}  // namespace tromel::roll

namespace tromel {

class EditCommands;
class PlaybackWiring;

class ViewCommands : public QObject {
    Q_OBJECT

public:
    // The widgets and the other rooms outlive this object.
    ViewCommands(EditorContext& context, const Song& song, EditState& state, roll::PianoRoll& roll, QScrollBar& xScroll,
                 QScrollBar& yScroll, EditCommands& edits, PlaybackWiring& playback);
    ~ViewCommands() override;

    // The View menu's items; its check marks are read again each time it opens.
    void addTo(QMenu* viewMenu);

    // The view offsets from the bars, and the whole roll drawn again.
    void drawRoll();
    // The notes drawn again over the roll's last picture.
    void drawNotes();
    // Three rows or columns a notch, through the bars; Shift turns the wheel sideways.
    void scrollByWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers);
    // View > Go to Notes: the first notes of the song, centred on the current channel's.
    void goToNotes();
    // View > Play from Here: playback from the selection's first step or the first column in view.
    void playFromHere();
    // Unless Follow Playback is on, playback never scrolls the view: a step outside it passes
    // without a redraw.
    void followPlayCursor(int32_t playPosition);
    // A placed note sounds when Preview Notes is on.
    void previewNote(const NoteRec& note);
    // A paste lands on the play cursor while the song is paused, else on the first column wholly in view.
    int32_t pasteColumn() const;
    int32_t firstVisibleColumn() const;

private:
    void refreshMenu();
    void soundPreview(int milliseconds);
    bool keepCursorInView(int32_t playPosition);
    roll::RollView rollView() const;

    EditorContext& m_context;
    const Song& m_song;
    EditState& m_state;
    roll::PianoRoll& m_roll;
    QScrollBar& m_xScroll;
    QScrollBar& m_yScroll;
    EditCommands& m_edits;
    PlaybackWiring& m_playback;
    QAction* m_followPlaybackAction = nullptr;
    QAction* m_showNotesAction = nullptr;
    QAction* m_previewNotesAction = nullptr;
    std::unique_ptr<audio::NotePreview> m_notePreview;  // made when a note is first previewed
    QTimer* m_previewTimer = nullptr;                   // ends a sounding preview
    QTimer* m_previewWaitTimer = nullptr;               // runs while a preview waits for its sample
    roll::WheelScroll m_wheelX;
    roll::WheelScroll m_wheelY;
};

}  // namespace tromel
