// `vok acquire` as a user runs it, where it meets the file system: the data
// folder, CONFIG.ini and the timeout's range.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "support/RunVok.h"

namespace {

using vok::test::Outcome;
using vok::test::Quote;
using vok::test::RunVok;

class AcquireFilesTest : public ::testing::Test {
protected:
    vok::test::TempDir dir;
    std::string data = dir.File("data");
    void SetUp() override {
        dir.Write("data/CONFIG.ini", vok::test::ReadAll(VOK_EXAMPLES_DIR "/CONFIG.ini"));
    }

    // Runs with a bound, so that a run that would hang fails instead.
    Outcome Acquire(const std::string& arguments) {
        return RunVok(dir, "acquire --simulate " + arguments, "timeout 30");
    }
};

// Longer than a day is a typing mistake, and far longer would overflow.
TEST_F(AcquireFilesTest, TimeoutAboveOneDayIsAUsageError) {
    for (const char* timeout : {"86401", "9223372037", "99999999999999999999"}) {
        const Outcome run = Acquire("--data-dir " + Quote(data) + " --timeout " + timeout);
        EXPECT_EQ(run.status, 2) << timeout;
        EXPECT_NE(run.err.find("--timeout needs a whole number of seconds from 1 to 86400"),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(Acquire("--data-dir " + Quote(data) + " --timeout 86400").status, 0);
}

// A mistyped --data-dir is refused and never created; REPORT/ inside an
// existing one is; without CONFIG.ini the run says the site fields are empty.
TEST_F(AcquireFilesTest, DataFolderMustExistAMissingConfigIsOnlyReported) {
    const std::string typo = dir.File("x/deep/typo");
    const Outcome refused = Acquire("--data-dir " + Quote(typo));
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "ERROR : The data folder " + typo + " does not exist\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("x")));

    std::filesystem::create_directory(dir.File("bare"));
    const Outcome bare = Acquire("--data-dir " + Quote(dir.File("bare")));
    EXPECT_EQ(bare.status, 0) << bare.err;
    EXPECT_NE(bare.err.find("NOTICE : No site configuration file " + dir.File("bare/CONFIG.ini") +
                            "; the report's site fields will be empty."),
              std::string::npos)
        << bare.err;
    EXPECT_NE(vok::test::ReadAll(bare.out.substr(0, bare.out.find('\n'))).find("\r\nHOSPITAL=\r\n"),
              std::string::npos);

    const Outcome configured = Acquire("--data-dir " + Quote(data));
    EXPECT_EQ(configured.status, 0);
    EXPECT_EQ(configured.err.find("NOTICE : No site"), std::string::npos);
}

// A FIFO as CONFIG.ini ends the run at once with the file named; nothing is
// written. A FIFO as a report file is the page renderer's test.
TEST_F(AcquireFilesTest, FifoAsConfigEndsTheRunAtOnceNamed) {
    std::filesystem::remove(data + "/CONFIG.ini");
    ::mkfifo((data + "/CONFIG.ini").c_str(), 0600);
    const auto start = std::chrono::steady_clock::now();
    const Outcome fifo = Acquire("--timeout 5 --data-dir " + Quote(data));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(fifo.status, 2);
    EXPECT_EQ(fifo.err, "ERROR : Cannot read the site configuration file " + data +
                            "/CONFIG.ini: not a regular file\n");
    EXPECT_TRUE(std::filesystem::is_empty(data + "/REPORT"));
}

}  // namespace
