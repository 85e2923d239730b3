// Writes the reader fuzzers' seed corpora with the project's own writers: songs, the same songs
// as MIDI files in a folder of their own, and clipboard notes of one channel and of several.
#include "exchange/MidiExport.h"
#include "exchange/MidiWriter.h"
#include "roll/NoteClip.h"
#include "song/OrgFile.h"

#include <cstdio>
#include <string>

using namespace tromel;

namespace {

void save(const Song& song, const std::string& folder, const char* name) {
    SaveResult result = saveOrgFile(song, folder + "/" + name);
    if (result.ok)
        result = exchange::saveMidiFile(exchange::songToMidi(song).file, folder + "/midi/" + name + ".mid");
    if (!result.ok)
        std::fprintf(stderr, "org_fuzz_seeds: %s: %s\n", name, result.reason.c_str());
}

void saveClip(const roll::NoteClip& clip, const std::string& folder, const char* name) {
    const std::vector<uint8_t> bytes = clip.toBytes();
    std::FILE* file = std::fopen((folder + "/clip/" + name).c_str(), "wb");
    const bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (!file || std::fclose(file) != 0 || !written)
        std::fprintf(stderr, "org_fuzz_seeds: %s: not written\n", name);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: org_fuzz_seeds FOLDER (with folders midi/ and clip/ in it)\n");
        return 2;
    }
    const std::string folder = argv[1];
    save(Song{}, folder, "new.org");

    Song oneNote;
    oneNote.instrumentNotes.grow(1);
    oneNote.instrumentNotes.at(0, 1) = {1, 1, 1, 6, 166};
    save(oneNote, folder, "one-note.org");

    Song mixed;
    mixed.tempo = 90;
    mixed.loopBegin = 8;
    mixed.loopEnd = 64;
    mixed.instruments[2] = {1000, 42, true, 0};
    mixed.drums[5].wave = 11;
    mixed.instrumentNotes.grow(4);
    mixed.drumNotes.grow(3);
    for (int i = 1; i <= 4; ++i)
        mixed.instrumentNotes.at(2, i) = {i * 4, 40 + i, i, static_cast<int16_t>(i), 166};
    mixed.instrumentNotes.at(7, 1) = {9, -159, 1, -243, 80};
    for (int i = 1; i <= 3; ++i)
        mixed.drumNotes.at(5, i) = {i * 2, 60, 1, 6, 200};
    save(mixed, folder, "mixed.org");

    saveClip(roll::NoteClip({{0, 40, 4, 6, 166}, {2, -159, 1, -243, 80}}), folder, "one-channel");
    saveClip(roll::NoteClip::ofChannels({{0, {{0, 40, 4, 6, 166}}}, {3, {}}, {7, {{16, 1, 255, 0, 248}}}}), folder,
             "channels");
    return 0;
}
