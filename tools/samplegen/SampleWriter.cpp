// Writing a generated sample as a 16-bit mono WAV file.
#include "tools/samplegen/SampleWriter.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>

namespace tromel::samplegen {

std::vector<int16_t> pcmOf(const std::vector<double>& frames) {
    std::vector<int16_t> pcm(frames.size());
    std::transform(frames.begin(), frames.end(), pcm.begin(),
                   [](double v) { return static_cast<int16_t>(std::lrint(std::clamp(v, -1.0, 1.0) * 32767.0)); });
    return pcm;
}

bool writeSample(const std::filesystem::path& path, const std::vector<double>& frames) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::cerr << "tromel-samplegen: " << path.string() << ": " << sf_strerror(nullptr) << '\n';
        return false;
    }
    const std::vector<int16_t> pcm = pcmOf(frames);
    const sf_count_t written = sf_write_short(file, pcm.data(), static_cast<sf_count_t>(pcm.size()));
    sf_close(file);
    if (written != static_cast<sf_count_t>(pcm.size())) {
        std::cerr << "tromel-samplegen: " << path.string() << ": short write\n";
        return false;
    }
    return true;
}

// The declarations it defines are those of capi/SampleBank.h.
bool writeBankSource(const std::filesystem::path& path, const std::vector<BankFile>& files, int levelCount,
                     const std::filesystem::path& levelValues) {
    // The path goes into an assembler string as it is.
    const std::string valuesPath = std::filesystem::absolute(levelValues).string();
    if (valuesPath.find_first_of("\"\\\n") != std::string::npos) {
        std::cerr << "tromel-samplegen: " << valuesPath << ": a quote, backslash or line break in the path\n";
        return false;
    }
    std::ofstream out(path, std::ios::trunc);
    out << "// The sample bank as tromel-samplegen writes it; generated, not edited.\n"
           "#include \"capi/SampleBank.h\"\n\n"
           "namespace tromel::capi {\n\nnamespace {\n\n";
    for (std::size_t i = 0; i < files.size(); ++i) {
        out << "const int16_t pcm" << i << "[] = {";
        for (std::size_t n = 0; n < files[i].pcm.size(); ++n)
            out << (n % 24 == 0 ? "\n" : "") << files[i].pcm[n] << ',';
        out << "};\n";
    }
    out << std::hexfloat;
    for (std::size_t i = 0; i < files.size(); ++i) {
        out << "const BankLevel levels" << i << "[] = {";
        for (const LevelPlace& level : files[i].levels)
            out << "{" << level.offset << ", " << level.length << ", " << level.framesPerSourceFrame << "}, ";
        out << "};\n";
    }
    out << "\n}  // namespace\n\nconst int bankRate = " << sampleRate << ";\nconst int bankFileCount = " << files.size()
        << ";\nconst int bankLevelCount = " << levelCount << ";\nconst BankSample bankFiles[] = {\n";
    for (std::size_t i = 0; i < files.size(); ++i)
        out << "    {\"" << files[i].name << "\", pcm" << i << ", " << files[i].pcm.size() << ", "
            << (files[i].loop ? "true" : "false") << ", levels" << i << "},\n";
    // Page-aligned, so a player touches only the pages of the levels it plays.
    out << "};\n\nasm(\".pushsection .rodata\\n\"\n"
           "    \".balign 4096\\n\"\n"
           "    \".globl tromelBankLevelValues\\n\"\n"
           "    \".hidden tromelBankLevelValues\\n\"\n"
           "    \".type tromelBankLevelValues, @object\\n\"\n"
           "    \"tromelBankLevelValues:\\n\"\n"
           "    \".incbin \\\""
        << valuesPath
        << "\\\"\\n\"\n"
           "    \".size tromelBankLevelValues, . - tromelBankLevelValues\\n\"\n"
           "    \".popsection\\n\");\n\n}  // namespace tromel::capi\n";
    return closeWritten(out, path);
}

}  // namespace tromel::samplegen
