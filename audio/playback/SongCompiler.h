// Turning a song into its play events, and the rules that go with it: sample file names, pans,
// the loop and tempo values a song needs to play.
#pragma once

#include "audio/AudioLayer.h"
#include "audio/playback/CompiledSong.h"
#include "song/Song.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tromel::audio {

inline constexpr const char* sampleFolderName = "Processed ORG Samples";

// The file of an instrument wave (M01.wav..M100.wav) or drum (D01.wav..D28.wav). Wave numbers
// out of range fall back to the first file; drum numbers beyond the bank have no file (empty).
std::string sampleFileName(bool drum, int number);

// The sample file of each of the sixteen song channels, in song channel order (0..7 the
// instruments, looped; 8..15 the drums, played once). A drum beyond the bank gets an empty path:
// its channel plays silence.
std::vector<SampleRequest> songSamples(const Song& song, const std::filesystem::path& folder);

// A note's stored pan (0 right .. 6 centre .. 12 left) as the audio layer's pan (100 right ..
// -100 left), rounded to the nearest; values from files beyond 0..12 go to the nearer end.
int panOf(int storedPan);

// What a record plays at its step: a note start when it has a key, else a change of the sounding
// note's volume or pan.
PlayEvent playEventOf(const NoteRec& note, bool drum, int channel);

// Why a song cannot play (a loop or tempo that playback cannot follow), or nothing.
std::optional<std::string> playRefusal(const Song& song);

// The events of every note record at positions 1..loopEnd, or 1..lastPosition when that is
// later (a passage looped past the loop end). Work and memory grow with the number of records,
// never with loopEnd. [user-interface thread, or any thread owning the song]
void compileEvents(const Song& song, CompiledSong& out, int32_t lastPosition = 0);

// The steps of a beat and of a bar as the song's two bar fields give them (Beats per Step holds
// steps per beat, Steps per Bar beats per bar); 4 and 16 when either field is 0 or less.
void meterOf(const Song& song, int32_t& beatSteps, int32_t& barSteps);

// Steps in one bar of the song's meter: the length of a count-in.
int32_t barStepsOf(const Song& song);

}  // namespace tromel::audio
