// Fuzzes the clipboard's note reader; whatever it accepts must write back to the same bytes and
// paste into a song without passing a channel's limit.
#include "roll/NoteClip.h"
#include "roll/NoteTableOps.h"
#include "roll/PassageEditor.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const tromel::roll::ClipReadResult read = tromel::roll::NoteClip::fromBytes({data, size});
    if (!read.ok()) {
        if (!read.clip.empty())
            std::abort();
        return 0;
    }
    const auto bytes = read.clip.toBytes();
    if (bytes.size() != size || !std::equal(bytes.begin(), bytes.end(), data))
        std::abort();
    tromel::Song song;
    tromel::EditState state;
    const tromel::roll::PassageEdit pasted = tromel::roll::PassageEditor(song, state).paste(read.clip, 1);
    const bool refused = pasted.refusal != tromel::roll::PassageRefusal::none;
    if ((!refused && pasted.changed == read.clip.empty()) || (refused && pasted.changed) ||
        state.noteCounts[0][0] > tromel::roll::maxChannelNotes ||
        song.instrumentNotes.liveCount(0) != state.noteCounts[0][0])
        std::abort();
    return 0;
}
