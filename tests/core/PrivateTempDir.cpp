// Gives this run of the core tests a temporary folder of its own, so that runs from several build
// folders at once (the plain, sanitizer and thread-sanitizer builds) never share their files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

class PrivateTempDir : public testing::Environment {
public:
    void SetUp() override {
        std::string pattern = testing::TempDir() + "tromel-core-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        setenv("TEST_TMPDIR", m_folder.c_str(), 1);  // what testing::TempDir() answers from now on
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

private:
    std::string m_folder;
};

[[maybe_unused]] testing::Environment* const privateTempDir = testing::AddGlobalTestEnvironment(new PrivateTempDir);

}  // namespace
