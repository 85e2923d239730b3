// The tables between a song's sounds and General MIDI.
#include "exchange/GeneralMidiMap.h"

#include "song/DrumSet.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace tromel::exchange {
namespace {

// By the wave generator's families: pure and soft tones (0..9), pulses (10..29), saws (30..39),
// organs (40..54), bells (55..64), vowels (65..74), orchestral colours (75..84), shaped (85..99).
constexpr std::array<uint8_t, 100> waveProgram{
    79, 73, 74,  82,  75, 89, 76,  78, 72,  88,  // ocarina, flute, recorder, calliope, pan flute ...
    80, 80, 80,  80,  80, 80, 80,  80, 80,  84,  // square leads; the thinnest pulses charang
    84, 84, 84,  84,  84, 66, 64,  65, 67,  33,  // dulled pulses: saxes, finger bass
    81, 90, 50,  51,  39, 38, 62,  63, 87,  95,  // saw lead, polysynth, synth strings, basses, brass
    16, 17, 19,  16,  18, 17, 18,  16, 19,  20,  // drawbar, percussive, church, rock, reed organs
    16, 20, 19,  18,  17,                        //
    14, 9,  11,  112, 13, 8,  10,  98, 108, 12,  // tubular bells, glockenspiel, vibraphone ...
    52, 54, 85,  53,  91, 52, 54,  85, 53,  91,  // choir aahs, synth voice, voice lead, oohs, choir pad
    71, 68, 61,  40,  70, 60, 56,  59, 22,  21,  // clarinet, oboe, brass, violin, bassoon, horn ...
    4,  5,  6,   7,   99, 96, 101, 29, 30,  94,  // electric pianos, harpsichord, clavinet, effects ...
    86, 83, 102, 103, 93};                       // fifths, chiff, echoes, sci-fi, metallic pad

// A wave for the programs of each family of eight that no wave above takes.
constexpr std::array<uint8_t, 16> familyWave{85, 60, 40, 92, 35, 78, 78, 77, 75, 1, 10, 9, 62, 63, 59, 0};

constexpr std::array<std::string_view, 128> programNames{"Acoustic Grand Piano",
                                                         "Bright Acoustic Piano",
                                                         "Electric Grand Piano",
                                                         "Honky-tonk Piano",
                                                         "Electric Piano 1",
                                                         "Electric Piano 2",
                                                         "Harpsichord",
                                                         "Clavinet",
                                                         "Celesta",
                                                         "Glockenspiel",
                                                         "Music Box",
                                                         "Vibraphone",
                                                         "Marimba",
                                                         "Xylophone",
                                                         "Tubular Bells",
                                                         "Dulcimer",
                                                         "Drawbar Organ",
                                                         "Percussive Organ",
                                                         "Rock Organ",
                                                         "Church Organ",
                                                         "Reed Organ",
                                                         "Accordion",
                                                         "Harmonica",
                                                         "Tango Accordion",
                                                         "Acoustic Guitar (nylon)",
                                                         "Acoustic Guitar (steel)",
                                                         "Electric Guitar (jazz)",
                                                         "Electric Guitar (clean)",
                                                         "Electric Guitar (muted)",
                                                         "Overdriven Guitar",
                                                         "Distortion Guitar",
                                                         "Guitar Harmonics",
                                                         "Acoustic Bass",
                                                         "Electric Bass (finger)",
                                                         "Electric Bass (pick)",
                                                         "Fretless Bass",
                                                         "Slap Bass 1",
                                                         "Slap Bass 2",
                                                         "Synth Bass 1",
                                                         "Synth Bass 2",
                                                         "Violin",
                                                         "Viola",
                                                         "Cello",
                                                         "Contrabass",
                                                         "Tremolo Strings",
                                                         "Pizzicato Strings",
                                                         "Orchestral Harp",
                                                         "Timpani",
                                                         "String Ensemble 1",
                                                         "String Ensemble 2",
                                                         "Synth Strings 1",
                                                         "Synth Strings 2",
                                                         "Choir Aahs",
                                                         "Voice Oohs",
                                                         "Synth Voice",
                                                         "Orchestra Hit",
                                                         "Trumpet",
                                                         "Trombone",
                                                         "Tuba",
                                                         "Muted Trumpet",
                                                         "French Horn",
                                                         "Brass Section",
                                                         "Synth Brass 1",
                                                         "Synth Brass 2",
                                                         "Soprano Sax",
                                                         "Alto Sax",
                                                         "Tenor Sax",
                                                         "Baritone Sax",
                                                         "Oboe",
                                                         "English Horn",
                                                         "Bassoon",
                                                         "Clarinet",
                                                         "Piccolo",
                                                         "Flute",
                                                         "Recorder",
                                                         "Pan Flute",
                                                         "Blown Bottle",
                                                         "Shakuhachi",
                                                         "Whistle",
                                                         "Ocarina",
                                                         "Lead 1 (square)",
                                                         "Lead 2 (sawtooth)",
                                                         "Lead 3 (calliope)",
                                                         "Lead 4 (chiff)",
                                                         "Lead 5 (charang)",
                                                         "Lead 6 (voice)",
                                                         "Lead 7 (fifths)",
                                                         "Lead 8 (bass + lead)",
                                                         "Pad 1 (new age)",
                                                         "Pad 2 (warm)",
                                                         "Pad 3 (polysynth)",
                                                         "Pad 4 (choir)",
                                                         "Pad 5 (bowed)",
                                                         "Pad 6 (metallic)",
                                                         "Pad 7 (halo)",
                                                         "Pad 8 (sweep)",
                                                         "FX 1 (rain)",
                                                         "FX 2 (soundtrack)",
                                                         "FX 3 (crystal)",
                                                         "FX 4 (atmosphere)",
                                                         "FX 5 (brightness)",
                                                         "FX 6 (goblins)",
                                                         "FX 7 (echoes)",
                                                         "FX 8 (sci-fi)",
                                                         "Sitar",
                                                         "Banjo",
                                                         "Shamisen",
                                                         "Koto",
                                                         "Kalimba",
                                                         "Bagpipe",
                                                         "Fiddle",
                                                         "Shanai",
                                                         "Tinkle Bell",
                                                         "Agogo",
                                                         "Steel Drums",
                                                         "Woodblock",
                                                         "Taiko Drum",
                                                         "Melodic Tom",
                                                         "Synth Drum",
                                                         "Reverse Cymbal",
                                                         "Guitar Fret Noise",
                                                         "Breath Noise",
                                                         "Seashore",
                                                         "Bird Tweet",
                                                         "Telephone Ring",
                                                         "Helicopter",
                                                         "Applause",
                                                         "Gunshot"};

// Bass01 .. Tom02, then Tom03 .. HiPedal, by how our generated drums sound.
constexpr std::array<uint8_t, drumCount> drumKey{
    36, 36, 38, 40, 45, 42, 46, 49, 76, 56, 35, 48,  // kicks, snares, low tom, hats, crash, block, cowbell
    50, 41, 39, 37, 51, 53, 55, 52, 54, 70, 63, 64, 60, 81, 75, 44};

// Percussion keys 27..87 that no drum takes, with the drum nearest in sound.
constexpr std::array<std::pair<uint8_t, uint8_t>, 33> nearestDrum{{
    {27, 8},  {28, 14}, {29, 21}, {30, 21}, {31, 15}, {32, 8},  {33, 26}, {34, 17}, {43, 13}, {47, 4},  {57, 7},
    {58, 20}, {59, 16}, {61, 24}, {62, 22}, {65, 12}, {66, 11}, {67, 9},  {68, 9},  {69, 21}, {71, 8},  {72, 8},
    {73, 21}, {74, 21}, {77, 8},  {78, 24}, {79, 24}, {80, 25}, {82, 21}, {83, 20}, {84, 25}, {85, 26}, {86, 10},
}};
constexpr int otherDrum = 8;  // Per01, for keys beyond the percussion range
constexpr int openSurdo = 87;

constexpr std::array<DrumGroup, drumCount> drumGroups{
    DrumGroup::Kick,   DrumGroup::Kick,    DrumGroup::Snare,   DrumGroup::Snare,   DrumGroup::Toms,
    DrumGroup::Hats,   DrumGroup::Hats,    DrumGroup::Cymbals, DrumGroup::Others,  DrumGroup::Others,
    DrumGroup::Kick,   DrumGroup::Toms,    DrumGroup::Toms,    DrumGroup::Toms,    DrumGroup::Snare,
    DrumGroup::Snare,  DrumGroup::Cymbals, DrumGroup::Cymbals, DrumGroup::Cymbals, DrumGroup::Cymbals,
    DrumGroup::Others, DrumGroup::Others,  DrumGroup::Others,  DrumGroup::Others,  DrumGroup::Others,
    DrumGroup::Others, DrumGroup::Others,  DrumGroup::Hats};

constexpr int largestVolumeByte = 254;  // 255 means "no volume of its own"

}  // namespace

int programOfWave(int wave) {
    return waveProgram[wave >= 0 && wave < static_cast<int>(waveProgram.size()) ? wave : 0];
}

int waveOfProgram(int program) {
    program = std::clamp(program, 0, 127);
    const auto found = std::find(waveProgram.begin(), waveProgram.end(), program);
    if (found != waveProgram.end())
        return static_cast<int>(found - waveProgram.begin());
    return familyWave[static_cast<std::size_t>(program / 8)];
}

std::string_view programName(int program) {
    return programNames[static_cast<std::size_t>(std::clamp(program, 0, 127))];
}

int percussionKeyOfDrum(int drum) {
    return drumKey[drum >= 0 && drum < drumCount ? drum : 0];
}

int percussionKeyOfDrumNote(int drum, int fileKey) {
    static const std::array<uint8_t, 128> drumOfKey = [] {
        std::array<uint8_t, 128> drums{};
        for (int key = 0; key < 128; ++key)
            drums[static_cast<std::size_t>(key)] = static_cast<uint8_t>(drumOfPercussionKey(key));
        return drums;
    }();
    const int own = percussionKeyOfDrum(drum);
    const int wanted = own + fileKey - 36;
    const uint8_t plays = drumOfKey[static_cast<std::size_t>(own)];
    // Outward from the key wanted, the lower of two at one distance first.
    for (int distance = 0; distance < 256; ++distance)
        for (const int key : {wanted - distance, wanted + distance})
            if (key >= 0 && key < 128 && drumOfKey[static_cast<std::size_t>(key)] == plays)
                return key;
    return own;
}

int drumOfPercussionKey(int key) {
    const auto found = std::find(drumKey.begin(), drumKey.end(), key);
    if (found != drumKey.end())
        return static_cast<int>(found - drumKey.begin());
    for (const auto& [nearKey, drum] : nearestDrum)
        if (nearKey == key)
            return drum;
    return key == openSurdo ? 10 : otherDrum;
}

DrumGroup groupOfDrum(int drum) {
    return drum >= 0 && drum < drumCount ? drumGroups[static_cast<std::size_t>(drum)] : DrumGroup::Others;
}

std::string_view groupName(DrumGroup group) {
    static constexpr std::array<std::string_view, drumGroupCount> names{"kick", "snare",   "hats",
                                                                        "toms", "cymbals", "others"};
    return names[static_cast<std::size_t>(group)];
}

int volumeOfVelocity(int velocity) {
    const double v = std::clamp(velocity, 0, 127) / 127.0;
    return static_cast<int>(std::lround(largestVolumeByte * v * v));
}

int velocityOfVolume(int volume) {
    volume = std::clamp(volume, 0, largestVolumeByte);
    // The square root's neighbours decide, so a volume the curve gives comes back exactly.
    const int guess = static_cast<int>(std::lround(127.0 * std::sqrt(volume / double(largestVolumeByte))));
    int best = 1;
    for (int v = std::max(1, guess - 2); v <= std::min(127, guess + 2); ++v)
        if (std::abs(volumeOfVelocity(v) - volume) < std::abs(volumeOfVelocity(best) - volume))
            best = v;
    return best;
}

int controllerOfPan(int filePan) {
    filePan = std::clamp(filePan, 0, 12);
    // 64 below the centre and 63 above it, in six steps each.
    return filePan <= 6 ? static_cast<int>(std::lround(filePan * 64 / 6.0))
                        : 64 + static_cast<int>(std::lround((filePan - 6) * 63 / 6.0));
}

int panOfController(int value) {
    int best = 6;
    for (int pan = 0; pan <= 12; ++pan) {
        const int distance = std::abs(controllerOfPan(pan) - value);
        const int bestDistance = std::abs(controllerOfPan(best) - value);
        if (distance < bestDistance || (distance == bestDistance && std::abs(pan - 6) < std::abs(best - 6)))
            best = pan;
    }
    return best;
}

}  // namespace tromel::exchange
