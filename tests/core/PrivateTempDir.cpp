// Gives each core test a temporary folder of its own, made empty before it starts and removed
// after it ends, inside one folder of this run's: tests repeated or shuffled in one process never
// meet each other's files, and runs from several build folders at once (the plain, sanitizer and
// thread-sanitizer builds) never share theirs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

// A new folder named by `prefix` and a unique part, or an empty path when none could be made.
fs::path madeFolder(const std::string& prefix) {
    std::string pattern = prefix + "XXXXXX";
    return mkdtemp(pattern.data()) != nullptr ? fs::path(pattern) : fs::path();
}

// testing::TempDir() answers TEST_TMPDIR as it is when asked.
void answerTempDir(const fs::path& folder) {
    setenv("TEST_TMPDIR", (folder.string() + "/").c_str(), 1);
}

class PrivateTempDir : public testing::EmptyTestEventListener {
public:
    PrivateTempDir() : m_run(madeFolder(testing::TempDir() + "tromel-core-")) {}

    void OnTestStart(const testing::TestInfo&) override {
        m_test = m_run.empty() ? fs::path() : madeFolder((m_run / "test-").string());
        if (m_test.empty())
            ADD_FAILURE() << "no temporary folder of its own";
        else
            answerTempDir(m_test);
    }
    void OnTestEnd(const testing::TestInfo&) override {
        std::error_code ignored;
        if (!m_test.empty())
            fs::remove_all(m_test, ignored);
        m_test.clear();
        if (!m_run.empty())
            answerTempDir(m_run);
    }
    void OnTestProgramEnd(const testing::UnitTest&) override {
        std::error_code ignored;
        if (!m_run.empty())
            fs::remove_all(m_run, ignored);
    }

private:
    fs::path m_run;
    fs::path m_test;
};

// The listener list owns it.
[[maybe_unused]] const bool listening = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new PrivateTempDir);
    return true;
}();

}  // namespace
