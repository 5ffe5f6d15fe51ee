// The FTDI link and `vok devices` over the libftdi double (FakeUsbBus.h).
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include "DevicesCommand.h"
#include "FakeUsbBus.h"
#include "LinkTestSupport.h"
#include "link/AcquisitionEngine.h"
#include "link/DeviceSurvey.h"
#include "link/FtdiIdentity.h"
#include "link/FtdiLink.h"
#include "link/LinkFactory.h"
#include "link/LinkTiming.h"
#include "link/PtyConsole.h"
#include "support/TempDir.h"

namespace vok {
namespace {

using namespace std::chrono_literals;
using test::FakeUsbBus;
using Open = FakeUsbBus::OpenResult;
using Clock = std::chrono::steady_clock;

class FtdiLinkTest : public ::testing::Test {
protected:
    void SetUp() override { Bus().Reset(); }
    static FakeUsbBus& Bus() { return FakeUsbBus::Instance(); }
};

// The default link of the wizard and `vok acquire`, with the kernel's serial
// devices looked for in `byId`.
LinkOpener DefaultOpener(const std::string& byId = "/nonexistent") {
    return LinkFactory::Opener({.devicePath = "", .serialByIdFolder = byId});
}

// The tables a diagnosis through `open` ended with, once it ended as `outcome`.
DiagnosisData Acquire(const LinkOpener& open, AcquisitionOutcome outcome) {
    test::RecordingObserver observer;
    AcquisitionEngine engine(observer);
    EXPECT_TRUE(engine.OpenDevice(open));
    engine.ResetForDiagnosis();
    engine.StartAcquisition();
    EXPECT_EQ(engine.WaitForEnd(outcome == AcquisitionOutcome::Completed ? 20s : 800ms), outcome);
    engine.Close();
    return engine.Data();
}

TEST_F(FtdiLinkTest, EveryConsoleScenarioGivesTheTablesOfTheSimulatedLink) {
    // Paced: short packets at the latency timer; unpaced: full packets.
    const std::tuple<ConsoleScenario, int, AcquisitionOutcome> cases[] = {
        {ConsoleScenario::Full, 0, AcquisitionOutcome::Completed},
        {ConsoleScenario::Full, 115200, AcquisitionOutcome::Completed},
        {ConsoleScenario::Partial, 0, AcquisitionOutcome::Completed},
        {ConsoleScenario::Noisy, 0, AcquisitionOutcome::Completed},
        {ConsoleScenario::Stall, 0, AcquisitionOutcome::Running},
        {ConsoleScenario::Silent, 0, AcquisitionOutcome::Running},
    };
    for (const auto& [scenario, baud, outcome] : cases) {
        SCOPED_TRACE(std::string(ScenarioName(scenario)) + " at " + std::to_string(baud));
        Bus().Reset();
        // The transfers are under test, not the worker's promptness: no overrun.
        const int id = Bus().Plug({.scenario = scenario, .baud = baud, .receiveBuffer = 0});
        const DiagnosisData usb = Acquire(DefaultOpener(), outcome);
        const DiagnosisData simulated =
            Acquire(LinkFactory::Opener({.kind = LinkOptions::Kind::Simulated,
                                         .devicePath = "",
                                         .scenario = scenario,
                                         .simulatedBaud = 0}),
                    outcome);
        EXPECT_TRUE(usb.m_HtInfo == simulated.m_HtInfo);
        EXPECT_TRUE(usb.m_CmdInfo == simulated.m_CmdInfo);
        EXPECT_EQ(usb.m_ConsoleVersion, simulated.m_ConsoleVersion);
        EXPECT_EQ(usb.m_strSerial, simulated.m_strSerial);
        EXPECT_FALSE(Bus().Count(id).claimed) << "the device is released at the end";
    }
}

TEST_F(FtdiLinkTest, AGeneratorUnpluggedMidFrameIsADeviceLostWithinASecond) {
    // The version frame, ten system records and half of the eleventh.
    const int id = Bus().Plug(
        {.baud = kConsoleBaud, .receiveBuffer = 0, .unplugAfterBytes = 13 + 10 * 17 + 8});
    test::RecordingObserver observer;
    AcquisitionEngine engine(observer);
    ASSERT_TRUE(engine.OpenDevice(DefaultOpener()));
    engine.ResetForDiagnosis();
    engine.StartAcquisition();
    ASSERT_TRUE(test::Eventually([&] { return !Bus().Count(id).plugged; }));
    const Clock::time_point pulled = Clock::now();
    EXPECT_EQ(engine.WaitForEnd(1s), AcquisitionOutcome::DeviceLost);
    EXPECT_LT(Clock::now() - pulled, 1s);
    EXPECT_EQ(engine.HtCount(), 10) << "the cut frame is dropped";
    EXPECT_NE(engine.LostReason().find("was lost"), std::string::npos) << engine.LostReason();
}

// Any failure of libftdi's open leads to the kernel's tty if there is one;
// when both fail, libftdi's reason leads.
TEST_F(FtdiLinkTest, OpenFailuresGiveTheirReasonOnOneLine) {
    auto console = PtyConsole::Create(ConsoleScenario::Silent, 0);
    ASSERT_TRUE(console) << console.error();
    const std::string pty = std::filesystem::canonical((*console)->SlavePath()).string();
    struct Case {
        std::optional<Open> usb;        // none: nothing plugged
        std::string tty;                // the by-id link's target; empty: no link
        std::vector<std::string> said;  // the first starts the reason; none: opened the tty
    };
    const Case cases[] = {
        {std::nullopt, "", {"no FTDI device found"}},
        {Open::PermissionDenied,
         "",
         {"permission denied", "60-vok-diagnosis.rules", "61-vok-diagnosis-uaccess.rules",
          "plugdev"}},
        {Open::Busy, pty, {}},
        {Open::Busy,
         "/dev/vok-missing-tty",
         {"device busy", "0403:6001", "through the serial driver"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.said.empty() ? "tty" : c.said[0]);
        Bus().Reset();
        if (c.usb) {
            Bus().Plug({.open = *c.usb});
        }
        const test::TempDir byId;
        if (!c.tty.empty()) {
            std::filesystem::create_symlink(c.tty, byId.path() / "usb-FTDI_x-if00-port0");
        }
        const auto link = DefaultOpener(byId.path().string())();
        if (c.said.empty()) {
            ASSERT_TRUE(link) << link.error();
            EXPECT_EQ((*link)->Name(), pty);
            continue;
        }
        ASSERT_FALSE(link);
        EXPECT_TRUE(link.error().starts_with(c.said[0])) << link.error();
        for (const std::string& part : c.said) {
            EXPECT_NE(link.error().find(part), std::string::npos) << link.error();
        }
        EXPECT_EQ(link.error().find('\n'), std::string::npos) << link.error();
    }
}

// A chip that does not answer holds each transfer for the USB timeout.
TEST_F(FtdiLinkTest, CloseFromAnotherThreadWhileAReadWaitsReturnsWithinOneTransfer) {
    Bus().Plug({.scenario = ConsoleScenario::Silent, .unresponsive = true});
    FtdiLink link;
    ASSERT_TRUE(link.Open());
    Result<bool> waited = false;
    std::thread reader([&] { waited = link.WaitReadable(10s); });
    std::this_thread::sleep_for(120ms);
    const Clock::time_point start = Clock::now();
    link.Close();
    const auto took = Clock::now() - start;
    reader.join();
    EXPECT_LE(took, kLinkWaitSlice + FakeUsbBus::kLatencyTimer + 20ms);
    EXPECT_FALSE(waited);
}

// A chip without a serial number string is usable all the same; one this
// user may not open still shows its strings, from sysfs.
TEST_F(FtdiLinkTest, VokDevicesListsBothKindsMarksTheDefaultAndSaysWhyNot) {
    Bus().Plug({.serial = ""});
    Bus().Plug({.product = 0x6014, .address = 9, .open = Open::PermissionDenied});
    Bus().Plug({.vendor = 0x1a86, .product = 0x7523});  // not an FTDI device
    const test::TempDir sysfs;
    sysfs.Write("1-2/busnum", "1\n");
    sysfs.Write("1-2/devnum", "9\n");
    sysfs.Write("1-2/serial", "FT9XQ2LM\n");
    sysfs.Write("1-2/product", "UM232H\n");
    const test::TempDir byId;
    const std::string tty = byId.File("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    std::filesystem::create_symlink("/dev/null", tty);
    std::filesystem::create_symlink("/dev/null", byId.path() / "usb-Prolific_x-if00-port0");
    std::ostringstream out;
    EXPECT_EQ(
        tools::PrintDevices(DeviceSurvey::Take(byId.path().string(), sysfs.path().string()), out),
        0);
    EXPECT_EQ(out.str(),
              "FTDI USB devices (libftdi):\n"
              "  * bus 001 address 007  0403:6001  serial (unknown)  \"FT232R USB UART\"  usable\n"
              "    bus 001 address 009  0403:6014  serial FT9XQ2LM  \"UM232H\"  not usable: "
              "permission denied: " +
                  FtdiLink::PermissionHint() +
                  "\n"
                  "FTDI serial devices (/dev/serial/by-id):\n"
                  "    " +
                  tty +
                  " -> /dev/null  usable\n"
                  "* is the device 'vok acquire' and the wizard open by default.\n");
}

}  // namespace
}  // namespace vok
