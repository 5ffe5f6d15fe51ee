// `vok report` as a user runs it: the built program in a child process. What
// a page holds and which files it may replace is pinned by the renderer's own
// tests; here only what the command adds: paths printed, options, exit codes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "support/RunVok.h"

namespace {

using vok::test::Outcome;
using vok::test::Quote;

class ReportCommandTest : public ::testing::Test {
protected:
    vok::test::TempDir dir;
    std::string dataDir = dir.File("data");
    void SetUp() override { std::filesystem::create_directory(dataDir); }

    Outcome Run(const std::string& arguments, const std::string& environment = "") {
        return vok::test::RunVok(dir, "report " + arguments, environment);
    }

    // A stand-in for the desktop's opener that runs `script`.
    std::string FakeOpener(const std::string& script) {
        chmod(dir.Write("bin/xdg-open", "#!/bin/sh\n" + script).c_str(), 0755);
        return "PATH=" + Quote(dir.File("bin")) + ":\"$PATH\"";
    }

    std::string Report(const std::string& name) {
        return dir.Write(name, "[HT_INFO_001]\r\nPARAM01=1\r\n");
    }
};

// A file that cannot be read does not stop the others.
TEST_F(ReportCommandTest, RendersEachFileItCanReadAndPrintsItsPage) {
    const std::string first = Report("REPORT_A_20260101_000000.VOK");
    const std::string second = dir.Write("second.vok", "");  // an empty file is still a report
    const Outcome run = Run(Quote(first) + " " + Quote(dir.File("missing.VOK")) + " " +
                            Quote(second) + " --data-dir " + Quote(dataDir));
    EXPECT_EQ(run.status, 2);
    const std::string pages = dataDir + "/REPORT/";
    EXPECT_EQ(run.out, pages + "REPORT_A_20260101_000000.html\n" + pages + "second.html\n");
    EXPECT_TRUE(std::filesystem::exists(pages + "second.html"));
    EXPECT_EQ(run.err.rfind("ERROR : ", 0), 0u);
    EXPECT_NE(run.err.find("missing.VOK"), std::string::npos);

    const std::string page = dir.File("page.html");
    const Outcome output =
        Run(Quote(first) + " --output " + Quote(page) + " --data-dir " + Quote(dataDir));
    EXPECT_EQ(output.status, 0);
    EXPECT_EQ(output.err, "");
    EXPECT_EQ(output.out, page + "\n");
    EXPECT_EQ(vok::test::ReadAll(page).rfind("<html>", 0), 0u);
}

TEST_F(ReportCommandTest, UsageMistakes) {
    const std::string report = Report("r.VOK");
    EXPECT_EQ(Run("--data-dir " + Quote(dataDir)).status, 2);
    const Outcome two = Run(Quote(report) + " " + Quote(report) + " --output x.html");
    EXPECT_EQ(two.status, 2);
    EXPECT_NE(two.err.find("--output"), std::string::npos);
    // A mistyped data folder is named, not created, also where only its
    // definitions would be read.
    const std::string typo = dir.File("dta");
    for (const std::string& output : {std::string(), " --output " + Quote(dir.File("p.html"))}) {
        const Outcome mistyped = Run(Quote(report) + " --data-dir " + Quote(typo) + output);
        EXPECT_EQ(mistyped.status, 2);
        EXPECT_EQ(mistyped.err, "ERROR : The data folder " + typo + " does not exist\n");
        EXPECT_EQ(mistyped.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(typo));
    EXPECT_FALSE(std::filesystem::exists(dir.File("p.html")));
}

TEST_F(ReportCommandTest, OpenHandsThePageToTheDesktopAFailingBrowserIsOnlyReported) {
    const std::string log = dir.File("opened.txt");
    const std::string report = Quote(Report("r.VOK")) + " --open --data-dir " + Quote(dataDir);
    const Outcome run =
        Run(report, FakeOpener("echo \"$1\" >> " + Quote(log) + "\necho chatter\n"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, dataDir + "/REPORT/r.html\n");
    EXPECT_EQ(vok::test::ReadAll(log), dataDir + "/REPORT/r.html\n");
    EXPECT_NE(run.err.find("chatter"), std::string::npos);

    std::filesystem::remove(dataDir + "/REPORT/r.html");
    const Outcome failed = Run(report, FakeOpener("exit 4\n"));
    EXPECT_EQ(failed.status, 0);
    EXPECT_NE(failed.err.find("ERROR : "), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dataDir + "/REPORT/r.html"));
}

}  // namespace
