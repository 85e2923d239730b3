// Steps of Song Settings and Instrument/Drum Settings: undo and redo put back every field.
#include "song/SongEdit.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tromel {
namespace {

// Each field changed on its own, so a step that forgot one field is caught by that field's case.
TEST(SongEdit, SettingsStepsPutBackEveryFieldOnItsOwn) {
    Song original;
    original.tempo = 120;
    original.stepsPerBar = 4;
    original.beatsPerStep = 3;
    original.loopBegin = 8;
    original.loopEnd = 64;
    for (int ch = 0; ch < 8; ++ch) {
        original.instruments[ch] = {1000 + ch, static_cast<int16_t>(ch), ch % 2 == 0, 0};
        original.drums[ch] = {900 + ch, static_cast<int16_t>(ch + 1), ch % 2 == 1, 0};
    }
    std::vector<std::pair<std::string, std::function<void(Song&)>>> changes{
        {"tempo", [](Song& s) { s.tempo = 90; }},
        {"steps per bar", [](Song& s) { s.stepsPerBar = 7; }},
        {"beats per step", [](Song& s) { s.beatsPerStep = 5; }},
        {"loop begin", [](Song& s) { s.loopBegin = 16; }},
        {"loop end", [](Song& s) { s.loopEnd = 96; }}};
    for (int ch = 0; ch < 8; ++ch) {
        for (const bool drum : {false, true}) {
            const auto channel = [ch, drum](Song& s) -> ChannelSettings& {
                return (drum ? s.drums : s.instruments)[ch];
            };
            const std::string name = (drum ? "drum " : "instrument ") + std::to_string(ch);
            changes.push_back({name + " frequency", [channel](Song& s) { channel(s).frequency = 555; }});
            changes.push_back({name + " wave", [channel](Song& s) { channel(s).wave = 77; }});
            changes.push_back({name + " pi", [channel](Song& s) { channel(s).pi = !channel(s).pi; }});
        }
    }
    EditState state;
    for (const auto& [name, change] : changes) {
        Song song = original;
        change(song);
        ASSERT_NE(song, original) << name;
        const bool header = SongHeader::of(song) != SongHeader::of(original);
        const SongEdit step =
            header
                ? SongEdit::ofHeader("Song Settings", SongHeader::of(original), SongHeader::of(song))
                : SongEdit::ofChannels("Instrument/Drum Settings", SongChannels::of(original), SongChannels::of(song));
        const Song changed = song;
        step.undo(song, state);
        EXPECT_EQ(song, original) << name;
        step.redo(song, state);
        EXPECT_EQ(song, changed) << name;
    }
}

}  // namespace
}  // namespace tromel
