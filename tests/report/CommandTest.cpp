// `vok report` and `vok acquire` as a user runs them: the built program in a
// child process. What a page holds and which files it may replace is the
// renderer's test; here only what the commands add: paths printed, options,
// exit codes, the data folder and CONFIG.ini.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "support/RunVok.h"

namespace {

using vok::test::Outcome;
using vok::test::Quote;

class CommandTest : public ::testing::Test {
protected:
    vok::test::TempDir dir;
    std::string data = dir.File("data");
    std::string report = dir.Write("r.VOK", "[HT_INFO_001]\r\nPARAM01=1\r\n");
    void SetUp() override { std::filesystem::create_directory(data); }

    // Runs with a bound, so that a run that would hang fails instead.
    Outcome Run(const std::string& arguments, const std::string& prefix = "") {
        return vok::test::RunVok(dir, arguments, prefix + " timeout 30");
    }

    // A stand-in for the desktop's opener that runs `script`.
    std::string FakeOpener(const std::string& script) {
        chmod(dir.Write("bin/xdg-open", "#!/bin/sh\n" + script).c_str(), 0755);
        return "PATH=" + Quote(dir.File("bin")) + ":\"$PATH\"";
    }
};

// A file that cannot be read does not stop the others.
TEST_F(CommandTest, ReportRendersEachFileItCanReadAndPrintsItsPage) {
    const std::string second = dir.Write("second.vok", "");  // an empty file is still a report
    const Outcome run = Run("report " + Quote(report) + " " + Quote(dir.File("missing.VOK")) + " " +
                            Quote(second) + " --data-dir " + Quote(data));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, data + "/REPORT/r.html\n" + data + "/REPORT/second.html\n");
    EXPECT_TRUE(std::filesystem::exists(data + "/REPORT/second.html"));
    EXPECT_EQ(run.err.rfind("ERROR : ", 0), 0u);
    EXPECT_NE(run.err.find("missing.VOK"), std::string::npos);

    const std::string page = dir.File("page.html");
    const Outcome output =
        Run("report " + Quote(report) + " --output " + Quote(page) + " --data-dir " + Quote(data));
    EXPECT_EQ(output.status, 0);
    EXPECT_EQ(output.err, "");
    EXPECT_EQ(output.out, page + "\n");
    EXPECT_EQ(vok::test::ReadAll(page).rfind("<html>", 0), 0u);
}

// A mistyped data folder is named and never created, also where only its
// definitions would be read. A timeout longer than a day is a typing mistake,
// and far longer would overflow.
TEST_F(CommandTest, UsageMistakesAndAMissingDataFolderAreRefused) {
    const std::string typo = dir.File("x/deep/typo");
    for (const std::string& command :
         {"report " + Quote(report), "report " + Quote(report) + " --output p.html",
          std::string("acquire --simulate")}) {
        const Outcome mistyped = Run(command + " --data-dir " + Quote(typo));
        EXPECT_EQ(mistyped.status, 2) << command;
        EXPECT_EQ(mistyped.err, "ERROR : The data folder " + typo + " does not exist\n");
        EXPECT_EQ(mistyped.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("x")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("p.html")));

    const Outcome two = Run("report " + Quote(report) + " " + Quote(report) + " --output x.html");
    EXPECT_EQ(two.status, 2);
    EXPECT_NE(two.err.find("--output"), std::string::npos);
    for (const char* timeout : {"86401", "9223372037", "99999999999999999999"}) {
        const Outcome run =
            Run("acquire --simulate --data-dir " + Quote(data) + " --timeout " + timeout);
        EXPECT_EQ(run.status, 2) << timeout;
        EXPECT_NE(run.err.find("--timeout needs a whole number of seconds from 1 to 86400"),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(run.out, "");
    }
}

// A FIFO as CONFIG.ini ends the run at once with the file named and nothing
// written; without CONFIG.ini the run only says the site fields are empty.
// A day is the longest timeout.
TEST_F(CommandTest, AcquireRefusesAFifoAsConfigAndReportsAMissingOne) {
    const std::string config = data + "/CONFIG.ini";
    ::mkfifo(config.c_str(), 0600);
    const std::string acquire = "acquire --simulate --data-dir " + Quote(data);
    const Outcome fifo = Run(acquire);
    EXPECT_EQ(fifo.status, 2);
    EXPECT_EQ(fifo.err, "ERROR : Cannot read the site configuration file " + config +
                            ": not a regular file\n");
    EXPECT_TRUE(std::filesystem::is_empty(data + "/REPORT"));

    std::filesystem::remove(config);
    const Outcome bare = Run(acquire + " --timeout 86400");
    EXPECT_EQ(bare.status, 0) << bare.err;
    EXPECT_NE(bare.err.find("NOTICE : No site configuration file " + config +
                            "; the report's site fields will be empty."),
              std::string::npos)
        << bare.err;
    EXPECT_NE(vok::test::ReadAll(bare.out.substr(0, bare.out.find('\n'))).find("\r\nHOSPITAL=\r\n"),
              std::string::npos);
}

TEST_F(CommandTest, ReportOpenHandsThePageToTheDesktopAFailingBrowserIsOnlyReported) {
    const std::string log = dir.File("opened.txt");
    const std::string open = "report " + Quote(report) + " --open --data-dir " + Quote(data);
    const Outcome run = Run(open, FakeOpener("echo \"$1\" >> " + Quote(log) + "\necho chatter\n"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, data + "/REPORT/r.html\n");
    EXPECT_EQ(vok::test::ReadAll(log), data + "/REPORT/r.html\n");
    EXPECT_NE(run.err.find("chatter"), std::string::npos);
    const Outcome failed = Run(open, FakeOpener("exit 4\n"));
    EXPECT_EQ(failed.status, 0);
    EXPECT_NE(failed.err.find("ERROR : "), std::string::npos);
}

}  // namespace
