// The tables between a song's sounds and General MIDI: waves and programs, drums and percussion
// keys, note volumes and velocities, pans and the pan controller. Export and import both use
// them, so what one direction writes the other reads back.
#pragma once

#include <string_view>

namespace tromel::exchange {

// The General MIDI program (0..127) nearest in sound to each of the hundred waves; a wave
// number beyond them takes wave 0's program.
int programOfWave(int wave);
// The first wave whose program this is; a program no wave takes gets a wave of its family (the
// eight programs that share program / 8), as the family table says.
int waveOfProgram(int program);
std::string_view programName(int program);

// The General MIDI percussion key (on MIDI channel 10) each drum sounds most like; a drum number
// beyond the set takes drum 0's key.
int percussionKeyOfDrum(int drum);
// A drum note's key as a percussion key: the drum's key moved by the note's distance from key 36
// (where a drum plays at its own rate), then the nearest key that still plays this drum, so an
// import brings the note back to its own key.
int percussionKeyOfDrumNote(int drum, int fileKey);
// The first drum whose key this is; keys no drum takes go to the drum nearest in sound, and keys
// outside the General MIDI percussion range to Per01.
int drumOfPercussionKey(int key);

// The kinds of drum an import puts on channels of their own first.
enum class DrumGroup { Kick, Snare, Hats, Toms, Cymbals, Others };
inline constexpr int drumGroupCount = 6;
DrumGroup groupOfDrum(int drum);
std::string_view groupName(DrumGroup group);

// A note's volume byte as a velocity: the velocity whose volume below is nearest, 1..127.
int velocityOfVolume(int volume);
// Velocity (or a volume controller's value) v, 0..127, as a volume byte: round(254 × (v / 127)²),
// the square law by which synthesisers commonly turn velocity into loudness.
int volumeOfVelocity(int velocity);

// A file pan byte (0 left, 6 centre, 12 right) as the pan controller's value (0 left, 64 centre,
// 127 right): 0, 11, 21, 32, 43, 53, 64, 75, 85, 96, 106, 117, 127.
int controllerOfPan(int filePan);
// The pan byte whose controller value is nearest (the one nearer the centre on a tie).
int panOfController(int value);

}  // namespace tromel::exchange
