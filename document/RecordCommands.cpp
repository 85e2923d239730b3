// View > "Record": notes played while the song plays go in where they were heard.
#include "document/RecordCommands.h"

#include "audio/playback/Transport.h"
#include "widgets/ProgramSettings.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

namespace tromel {
namespace {

constexpr const char* unheardText = "Notes played before the song was heard were not recorded";

}  // namespace

RecordCommands::RecordCommands(QObject* parent, audio::AudioLayer& layer, Song& song, EditState& state, EditPort& edits,
                               PlaybackPort& playback, std::function<void(const std::string&)> showStatus)
    : QObject(parent),
      m_layer(layer),
      m_song(song),
      m_state(state),
      m_edits(edits),
      m_playback(playback),
      m_showStatus(std::move(showStatus)) {
    m_timer = new QTimer(this);
    m_timer->setInterval(followMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &RecordCommands::follow);
}

RecordCommands::~RecordCommands() = default;

void RecordCommands::addTo(QMenu* viewMenu) {
    m_recordAction = viewMenu->addAction("Record", QKeySequence("Ctrl+R"), this, [this] { follow(); });
    m_recordAction->setCheckable(true);
}

bool RecordCommands::isRecording() const {
    return m_recordAction && m_recordAction->isChecked() &&
           m_playback.transport().state() == audio::TransportState::Playing;
}

int64_t RecordCommands::heardNow() const {
    return audio::heardFrameAt(m_layer, audio::steadyNanoseconds());
}

bool RecordCommands::take(const audio::PlayedNote& note) {
    if (!isRecording()) {
        // A note let go after the pass ended still ends a note of it.
        if (m_pass && !note.on)
            m_pass->noteOff(note.fileKey, audio::heardFrameAt(m_layer, note.nanoseconds));
        return false;
    }
    if (!m_pass) {
        m_pass = std::make_unique<roll::Recording>(m_song, m_state);
        m_grid.reset();
        ++m_passes;
    }
    const int64_t frame = audio::heardFrameAt(m_layer, note.nanoseconds);
    if (note.on)
        m_pass->noteOn(note.fileKey, note.volume, frame);
    else
        m_pass->noteOff(note.fileKey, frame);
    m_timer->start();
    follow();
    return true;
}

// The grid is the one of the run under way when the pass began; a pass outlives its run only
// until this looks again.
void RecordCommands::follow() {
    if (!m_pass) {
        m_timer->stop();
        return;
    }
    const std::optional<audio::StepGrid> grid = m_playback.transport().stepGrid();
    if (!m_grid)
        m_grid = grid;
    if (!isRecording() || (grid && m_grid && grid->run != m_grid->run)) {
        endPass();
        return;
    }
    if (m_grid && m_pass->isDue(heardNow())) {
        emit selectionTaken();
        m_edits.dropSelection();
        apply(m_pass->place(*m_grid, settings::spreadChords(), heardNow()));
    }
}

void RecordCommands::endPass() {
    const std::unique_ptr<roll::Recording> pass = std::move(m_pass);
    m_timer->stop();
    if (!m_grid) {
        if (!pass->isEmpty())
            m_showStatus(unheardText);
        return;
    }
    emit selectionTaken();
    m_edits.dropSelection();
    apply(pass->finish(*m_grid, settings::spreadChords(), heardNow()));
}

// The notes go in as steps of the pass, and the song plays them from its next pass on.
void RecordCommands::apply(std::vector<roll::EntryOutcome> outcomes) {
    bool changed = false;
    for (roll::EntryOutcome& outcome : outcomes) {
        if (outcome.status)
            m_showStatus(*outcome.status);
        if (outcome.edit) {
            m_edits.recordNotes(std::move(*outcome.edit), m_passes);
            changed = true;
        }
    }
    if (changed)
        m_playback.transport().refreshEvents(m_song);
}

}  // namespace tromel
