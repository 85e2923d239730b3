// Fuzzes the clipboard's note reader; whatever it accepts must write back to the same bytes and
// paste into a song, onto one channel or onto its own channels, without passing a channel's limit.
#include "roll/NoteClip.h"
#include "roll/NoteTableOps.h"
#include "roll/PassageEditor.h"

#include <algorithm>
#include <cstdlib>

namespace {

void pasteChecked(const tromel::roll::NoteClip& clip, bool ownChannels) {
    tromel::Song song;
    tromel::EditState state;
    const tromel::roll::PassageEdit pasted = tromel::roll::PassageEditor(song, state).paste(clip, 1, ownChannels);
    const bool refused = pasted.refusal != tromel::roll::PassageRefusal::none;
    if ((!refused && pasted.changed == clip.empty()) || (refused && pasted.changed))
        std::abort();
    for (int channel = 0; channel < tromel::NoteTable::channelCount; ++channel)
        if (state.noteCounts[0][channel] > tromel::roll::maxChannelNotes ||
            song.instrumentNotes.liveCount(channel) != state.noteCounts[0][channel])
            std::abort();
}

}  // namespace

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
    pasteChecked(read.clip, false);
    pasteChecked(read.clip, true);
    return 0;
}
