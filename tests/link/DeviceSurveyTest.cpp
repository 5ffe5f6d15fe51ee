// `vok devices` over the libftdi test double and a folder of by-id links.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>

#include "DevicesCommand.h"
#include "FakeUsbBus.h"
#include "link/DeviceSurvey.h"
#include "support/TempDir.h"

namespace vok {
namespace {

using test::FakeUsbBus;

struct Listed {
    int status;
    std::string text;
};

// The survey over the double's bus, the by-id links in `byId`, and a sysfs
// that knows the strings of the device at bus 1 address 7.
Listed List(const test::TempDir& byId) {
    const test::TempDir sysfs;
    sysfs.Write("1-1/busnum", "1\n");
    sysfs.Write("1-1/devnum", "7\n");
    sysfs.Write("1-1/serial", "A50285BI\n");
    sysfs.Write("1-1/product", "FT232R USB UART\n");
    sysfs.Write("usb1/busnum", "1\n");
    sysfs.Write("usb1/devnum", "1\n");
    std::ostringstream out;
    const int status =
        tools::PrintDevices(DeviceSurvey::Take(byId.path().string(), sysfs.path().string()), out);
    return {status, out.str()};
}

TEST(VokDevices, ListsBothKindsMarksTheDefaultAndSaysWhyNot) {
    FakeUsbBus& bus = FakeUsbBus::Instance();
    bus.Reset();
    FakeUsbBus::Device first;
    first.serial = "";  // a chip without a serial number string is usable all the same
    FakeUsbBus::Device second;
    second.product = 0x6014;
    second.address = 9;
    second.serial = "FT9XQ2LM";
    second.description = "UM232H";
    FakeUsbBus::Device other;
    other.vendor = 0x1a86;  // not an FTDI device: never listed
    other.product = 0x7523;
    bus.Plug(first);
    bus.Plug(second);
    bus.Plug(other);
    test::TempDir byId;
    std::filesystem::create_symlink("/dev/null",
                                    byId.path() / "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    std::filesystem::create_symlink("/dev/null", byId.path() / "usb-Prolific_x-if00-port0");
    const Listed listed = List(byId);
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.text,
              "FTDI USB devices (libftdi):\n"
              "  * bus 001 address 007  0403:6001  serial (unknown)  \"FT232R USB UART\"  usable\n"
              "    bus 001 address 009  0403:6014  serial FT9XQ2LM  \"UM232H\"  usable\n"
              "FTDI serial devices (/dev/serial/by-id):\n"
              "    " +
                  (byId.path() / "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0").string() +
                  " -> /dev/null  usable\n"
                  "* is the device 'vok acquire' and the wizard open by default.\n");
}

TEST(VokDevices, TheDefaultFollowsTheLinkAndNoUsableDeviceIsStatus1) {
    FakeUsbBus& bus = FakeUsbBus::Instance();
    using Open = FakeUsbBus::OpenResult;
    struct Case {
        const char* name;
        std::optional<Open> usb;  // none: no USB device
        bool listingFails;
        const char* tty;  // what the by-id link points to; null: no link
        int status;
        std::vector<std::string> said;
    };
    const std::string refused =
        "    bus 001 address 007  0403:6001  serial A50285BI  \"FT232R USB UART\"  not usable: "
        "permission denied: the udev rules";
    const Case cases[] = {
        // The strings come from sysfs when the device cannot be opened.
        {"USB node refused, tty usable",
         Open::PermissionDenied,
         false,
         "/dev/null",
         0,
         {refused, "plugdev", "  * ", "/dev/null  usable"}},
        // A claimed device still reads its strings: busy is only found by opening it.
        {"USB device busy", Open::Busy, false, nullptr, 0, {"  * bus 001 address 007", "usable"}},
        {"USB node refused, tty unplugged",
         Open::PermissionDenied,
         false,
         "/dev/vok-missing-tty",
         1,
         {refused, "not usable: points to nothing", "No device can be opened"}},
        {"nothing at all",
         std::nullopt,
         false,
         nullptr,
         1,
         {"(libftdi):\n    none\n", "by-id):\n    none\n", "No device can be opened"}},
        {"USB bus not readable",
         std::nullopt,
         true,
         "/dev/null",
         0,
         {"    no USB access: libusb_get_device_list() failed\n", "  * "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bus.Reset();
        bus.FailListing(c.listingFails);
        if (c.usb) {
            FakeUsbBus::Device device;
            device.open = *c.usb;
            bus.Plug(device);
        }
        test::TempDir byId;
        if (c.tty != nullptr) {
            std::filesystem::create_symlink(c.tty, byId.path() / "usb-FTDI_x-if00-port0");
        }
        const Listed listed = List(byId);
        EXPECT_EQ(listed.status, c.status) << listed.text;
        for (const std::string& part : c.said) {
            EXPECT_NE(listed.text.find(part), std::string::npos) << part << "\n" << listed.text;
        }
        EXPECT_EQ(bus.LiveContexts(), 0);
    }
}

}  // namespace
}  // namespace vok
