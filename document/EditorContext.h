// What every window of the editor shares: the audio layer, the roll pictures, the prompts, the samples and MIDI.
#pragma once

#include "audio/AudioLayer.h"
#include "audio/ui/MidiInput.h"
#include "document/SongSafekeeping.h"
#include "files/FileSystem.h"
#include "roll/ui/RollPictures.h"
#include "widgets/Prompts.h"

#include <filesystem>
#include <functional>
#include <vector>

namespace tromel {

struct EditorContext {
    audio::AudioLayer& layer;
    roll::RollPictures& pictures;
    Prompts& prompts;
    std::filesystem::path sampleFolder;                         // "Processed ORG Samples" in the program's folder
    files::FileSystem& fileSystem = files::systemFileSystem();  // what songs are read and saved through
    audio::MidiInput* midi = nullptr;                           // the MIDI keyboards; none without MIDI
    SongSafekeeping* safekeeping = nullptr;                     // where songs are kept while a file is written in place
    // The files of the songs open in every document window, which no export may write over; none without a main window.
    std::function<std::vector<std::filesystem::path>()> openSongFiles = nullptr;
};

}  // namespace tromel
