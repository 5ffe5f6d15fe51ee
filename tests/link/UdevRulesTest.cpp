// The udev rules of the package: valid for udev, and the FTDI ttys keep their
// own group (only the USB device node goes to plugdev).
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "support/TempDir.h"

namespace vok {
namespace {

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
}

TEST(UdevRules, UdevAcceptsThem) {
    // udevadm verify came with systemd 254; older udevadm cannot check a file.
    if (std::system("udevadm verify --help >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "udevadm verify is not available";
    }
    const std::string command = "udevadm verify '" + kTagRules + "' '" + kAccessRules + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

}  // namespace
}  // namespace vok
