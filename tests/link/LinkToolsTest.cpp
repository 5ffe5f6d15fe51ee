// `vok acquire` and `vok console` as a user runs them: exit statuses, what
// goes to stdout and stderr, and the report file.
#include <gtest/gtest.h>

#include <signal.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/Constants.h"
#include "support/RunVok.h"

namespace vok {
namespace {

using test::Quote;
using test::RunVok;

// A data folder with the example site configuration.
std::string DataFolder(const test::TempDir& dir) {
    dir.Write("data/CONFIG.ini", test::ReadAll(VOK_EXAMPLES_DIR "/CONFIG.ini"));
    return dir.File("data");
}

TEST(VokAcquire, SimulatedConsoleGivesACompleteReportFile) {
    test::TempDir dir;
    const std::string data = DataFolder(dir);
    const test::Outcome run = RunVok(dir, "acquire --simulate --data-dir " + Quote(data));
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_FALSE(run.out.empty());
    const std::string path = run.out.substr(0, run.out.find('\n'));
    EXPECT_EQ(std::filesystem::path(path).parent_path(), std::filesystem::path(data) / "REPORT");
    EXPECT_TRUE(std::filesystem::path(path).filename().string().starts_with("REPORT_VK82C10417_"));
    const std::string report = test::ReadAll(path);
    EXPECT_NE(report.find("VERSION=V2.31.5\r\n"), std::string::npos);
    EXPECT_NE(report.find("HOSPITAL=St. Mary Regional Hospital\r\n"), std::string::npos);
    EXPECT_NE(report.find("[CMD_INFO_225]"), std::string::npos);
    // Status lines in order on stderr, no bar drawing codes off a terminal.
    const auto at = [&](std::string_view line) { return run.err.find(line); };
    ASSERT_NE(at(kStatusChecking), std::string::npos);
    EXPECT_LT(at(kStatusChecking), at(kStatusSystemRequest));
    EXPECT_LT(at(kStatusSystemRequest), at(kStatusSystemLog));
    EXPECT_LT(at(kStatusSystemLog), at(kStatusEnd));
    EXPECT_EQ(run.err.find('\r'), std::string::npos);
}

TEST(VokAcquire, MissingDeviceGivesTheCableMessageAndTheReason) {
    test::TempDir dir;
    const test::Outcome run = RunVok(dir, "acquire --device /dev/vok-missing --data-dir .");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.starts_with(std::string(kMsgCheckCable) + "\n")) << run.err;
    EXPECT_NE(run.err.find("path missing: /dev/vok-missing"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
}

TEST(VokAcquire, NoEndMarkerWithinTheTimeoutWritesNoReport) {
    test::TempDir dir;
    const std::string data = DataFolder(dir);
    const test::Outcome run =
        RunVok(dir, "acquire --simulate=stall --timeout 1 --data-dir " + Quote(data));
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("within 1 s ("), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(data + "/REPORT") &&
                 !std::filesystem::is_empty(data + "/REPORT"));
    EXPECT_TRUE(run.out.empty());
}

TEST(VokAcquire, BadOptionsAreUsageErrors) {
    test::TempDir dir;
    EXPECT_EQ(RunVok(dir, "acquire --simulate=bogus").status, 2);
    EXPECT_EQ(RunVok(dir, "acquire --simulate --device /dev/null").status, 2);
    EXPECT_EQ(RunVok(dir, "acquire --simulate --timeout 0").status, 2);
    EXPECT_EQ(RunVok(dir, "console --baud fast").status, 2);
}

TEST(VokConsole, ServesTwoAcquisitionsOnItsTerminalAndEndsCleanlyOnSigterm) {
    test::TempDir dir;
    const std::string data = DataFolder(dir);
    const std::string link = dir.File("console-link");
    // The console in the background: `exec` keeps the process id the shell
    // prints first; then comes the console's terminal.
    std::FILE* console = ::popen(("echo $$; exec " + Quote(VOK_TOOL_PATH) +
                                  " console --baud 0 --link " + Quote(link) + " </dev/null")
                                     .c_str(),
                                 "r");
    ASSERT_NE(console, nullptr);
    char pid[32] = {};
    char terminal[256] = {};
    ASSERT_NE(std::fgets(pid, sizeof pid, console), nullptr);
    const bool started = std::fgets(terminal, sizeof terminal, console) != nullptr;
    const std::string path = std::string(terminal).substr(0, std::string(terminal).find('\n'));
    EXPECT_TRUE(started && path.starts_with("/dev/pts/")) << path;
    EXPECT_EQ(std::filesystem::read_symlink(link), path);

    const test::Outcome run =
        RunVok(dir, "acquire --device " + Quote(link) + " --data-dir " + Quote(data));
    EXPECT_EQ(run.status, 0) << run.err;
    const test::Outcome again =
        RunVok(dir, "acquire --device " + Quote(path) + " --data-dir " + Quote(data));
    EXPECT_EQ(again.status, 0) << again.err << " (a second run on the same console)";

    ::kill(std::stoi(pid), SIGTERM);
    const int raw = ::pclose(console);
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

}  // namespace
}  // namespace vok
