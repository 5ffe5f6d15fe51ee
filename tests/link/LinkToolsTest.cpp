// `vok acquire` as a user runs it (exit statuses, stdout and stderr, the
// report file), and the package's udev rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>

#include "core/UserMessages.h"
#include "link/AcquisitionTexts.h"
#include "link/PtyConsole.h"
#include "support/RunVok.h"

namespace vok {
namespace {

using test::Quote;
using test::RunVok;

// A data folder with the example site configuration.
std::string DataFolder(const test::TempDir& dir, const std::string& name) {
    dir.Write(name + "/CONFIG.ini", test::ReadAll(VOK_EXAMPLES_DIR "/CONFIG.ini"));
    return dir.File(name);
}

// The report named on the run's first line, past the acquisition's date.
std::string ReportBody(const test::Outcome& run) {
    const std::string report = test::ReadAll(run.out.substr(0, run.out.find('\n')));
    return report.substr(std::min(report.size(), report.find("[SERVICE]")));
}

TEST(VokAcquire, TheSimulatedConsoleAndOneOnATerminalGiveTheSameCompleteReport) {
    test::TempDir dir;
    const std::string data = DataFolder(dir, "data");
    const test::Outcome run = RunVok(dir, "acquire --simulate --data-dir " + Quote(data));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with(data + "/REPORT/")) << run.out;
    EXPECT_NE(ReportBody(run).find("[CMD_INFO_225]"), std::string::npos);
    // Status lines on stderr, no bar drawing codes off a terminal.
    EXPECT_NE(run.err.find(kStatusEnd), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\r'), std::string::npos);

    // The same console served on a terminal gives the same report byte for byte.
    auto console = PtyConsole::Create(ConsoleScenario::Full, 0);
    ASSERT_TRUE(console) << console.error();
    std::thread serve([&] { (void)(*console)->Run(); });
    const test::Outcome viaTerminal =
        RunVok(dir, "acquire --device " + Quote((*console)->SlavePath()) + " --data-dir " +
                        Quote(DataFolder(dir, "other")));
    (*console)->Stop();
    serve.join();
    EXPECT_EQ(viaTerminal.status, 0) << viaTerminal.err;
    EXPECT_EQ(ReportBody(viaTerminal), ReportBody(run));
}

TEST(VokAcquire, FailuresEndWithTheirStatusSayWhyAndWriteNoReport) {
    test::TempDir dir;
    const std::string data = DataFolder(dir, "data");
    const test::Outcome missing =
        RunVok(dir, "acquire --device /dev/vok-missing --data-dir " + Quote(data));
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(missing.err.starts_with(std::string(kMsgCheckCable) + "\n")) << missing.err;
    EXPECT_NE(missing.err.find("path missing: /dev/vok-missing"), std::string::npos) << missing.err;
    // No end marker within the timeout.
    const test::Outcome stalled =
        RunVok(dir, "acquire --simulate=stall --timeout 1 --data-dir " + Quote(data));
    EXPECT_EQ(stalled.status, 3);
    EXPECT_NE(stalled.err.find("within 1 s ("), std::string::npos) << stalled.err;
    EXPECT_TRUE(missing.out.empty() && stalled.out.empty());
    EXPECT_FALSE(std::filesystem::exists(data + "/REPORT") &&
                 !std::filesystem::is_empty(data + "/REPORT"));
    // Bad options are usage errors.
    for (const char* bad : {"acquire --simulate=bogus", "acquire --simulate --device /dev/null",
                            "acquire --simulate --timeout 0", "console --baud fast"}) {
        EXPECT_EQ(RunVok(dir, bad).status, 2) << bad;
    }
}

// The build's version, with two-digit minor and patch numbers as the wizard shows it.
TEST(VokTool, VersionShowsTheProgramsVersionText) {
    test::TempDir dir;
    const test::Outcome version = RunVok(dir, "--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "vok 1.03.02\n");
}

const std::string kTagRules = VOK_UDEV_RULES_DIR "/60-vok-diagnosis.rules";
const std::string kAccessRules = VOK_UDEV_RULES_DIR "/61-vok-diagnosis-uaccess.rules";

// The rule lines (no comments, no blank lines) that hold `match`.
std::vector<std::string> RulesWith(const std::string& file, const std::string& match) {
    std::istringstream in(test::ReadAll(file));
    std::vector<std::string> found;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#' && line.find(match) != std::string::npos) {
            found.push_back(line);
        }
    }
    return found;
}

TEST(UdevRules, TheUsbNodeGoesToPlugdevAndTheSeatWhileTheTtyKeepsItsGroup) {
    const auto usb = RulesWith(kAccessRules, "SUBSYSTEM==\"usb\"");
    ASSERT_EQ(usb.size(), 1u);
    for (const char* grant : {"ENV{DEVTYPE}==\"usb_device\"", "TAG+=\"uaccess\"",
                              "GROUP=\"plugdev\"", "MODE=\"0660\""}) {
        EXPECT_NE(usb[0].find(grant), std::string::npos) << grant;
    }
    const auto tty = RulesWith(kAccessRules, "SUBSYSTEM==\"tty\"");
    ASSERT_EQ(tty.size(), 1u);
    EXPECT_NE(tty[0].find("TAG+=\"uaccess\""), std::string::npos);
    for (const char* taken : {"GROUP", "MODE", "OWNER"}) {
        EXPECT_EQ(tty[0].find(taken), std::string::npos) << taken;
    }
    // Every access rule is limited to the devices the first file tags.
    EXPECT_EQ(RulesWith(kAccessRules, "=").size(),
              RulesWith(kAccessRules, "ENV{ID_VOK_CONSOLE}==\"1\"").size());
    // udevadm verify came with systemd 254; older udevadm cannot check a file.
    if (std::system("udevadm verify --help >/dev/null 2>&1") == 0) {
        const std::string verify = "udevadm verify '" + kTagRules + "' '" + kAccessRules + "'";
        EXPECT_EQ(std::system(verify.c_str()), 0);
    }
}

}  // namespace
}  // namespace vok
