// tromel-samplegen: writes the sample bank, M01.wav..M100.wav and D01.wav..D28.wav, and, asked to, the same
// bank as a C++ source with its prepared levels beside it.
#include "audio/samples/SampleData.h"
#include "song/DrumSet.h"
#include "song/WaveCatalogue.h"
#include "tools/samplegen/DrumKit.h"
#include "tools/samplegen/InstrumentWaves.h"
#include "tools/samplegen/SampleWriter.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

namespace {

std::string numbered(char letter, int number) {
    return std::string(1, letter) + (number < 10 ? "0" : "") + std::to_string(number) + ".wav";
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tromel::samplegen;
    if (argc != 2 && argc != 3) {
        std::cerr << "usage: tromel-samplegen FOLDER [BANK_SOURCE]\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::cerr << "tromel-samplegen: " << folder.string() << ": " << error.message() << '\n';
        return 1;
    }
    const std::vector<Harmonics> waves = instrumentSpectra();
    if (waves.size() != static_cast<std::size_t>(tromel::waveCount)) {
        std::cerr << "tromel-samplegen: " << waves.size() << " instrument waves instead of " << tromel::waveCount
                  << " in the families of song/WaveCatalogue.h\n";
        return 1;
    }
    // The editor describes each wave from the catalogue, so the catalogue must say what is written.
    for (std::size_t i = 0; i < waves.size(); ++i) {
        if (tromel::brightnessOf(meanHarmonic(waves[i])) != tromel::waveBrightness[i]) {
            std::cerr << "tromel-samplegen: wave " << i << " measures otherwise than song/WaveCatalogue.h says\n";
            return 1;
        }
    }
    std::vector<BankFile> bank;
    for (std::size_t i = 0; i < waves.size(); ++i) {
        const std::vector<double> frames = synthesizeLoop(waves[i], loopCycles, loopFrames, waveRms, wavePeakCap);
        const std::string name = numbered('M', static_cast<int>(i) + 1);
        if (!writeSample(folder / name, frames))
            return 1;
        bank.push_back({name, pcmOf(frames), true, {}});
    }
    const std::vector<std::vector<double>> drums = drumKit();
    if (drums.size() != tromel::drumCount) {
        std::cerr << "tromel-samplegen: " << drums.size() << " drums instead of " << tromel::drumCount << '\n';
        return 1;
    }
    for (std::size_t i = 0; i < drums.size(); ++i) {
        const std::string name = numbered('D', static_cast<int>(i) + 1);
        if (!writeSample(folder / name, drums[i]))
            return 1;
        bank.push_back({name, pcmOf(drums[i]), false, {}});
    }
    if (argc == 2)
        return 0;
    // The levels every rate from 44,100 Hz up plays; the few more that lower rates need are left to the library.
    const int levelCount = tromel::audio::SampleData::levelCount;
    std::vector<float> levelValues;
    for (BankFile& file : bank)
        file.levels = appendLevels(file.pcm, file.loop, levelCount, levelValues);
    const std::filesystem::path source = argv[2];
    const std::filesystem::path valuesPath = std::filesystem::path(source).replace_extension(".levels");
    return writeLevelValues(valuesPath, levelValues) && writeBankSource(source, bank, levelCount, valuesPath) ? 0 : 1;
}
