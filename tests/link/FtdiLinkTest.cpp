// The FTDI link as a site uses it, with the libftdi test double
// (FakeLibftdi.cpp) linked in place of libftdi1: an FT232R with the simulated
// console behind it.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "AcquireCommand.h"
#include "FakeUsbBus.h"
#include "LinkTestSupport.h"
#include "link/AcquisitionEngine.h"
#include "link/FtdiIdentity.h"
#include "link/FtdiLink.h"
#include "link/LinkFactory.h"
#include "link/LinkTiming.h"
#include "link/PtyConsole.h"
#include "link/SimulatedLink.h"
#include "support/TempDir.h"

namespace vok {
namespace {

using namespace std::chrono_literals;
using test::FakeUsbBus;
using Clock = std::chrono::steady_clock;

class FtdiLinkTest : public ::testing::Test {
protected:
    void SetUp() override { Bus().Reset(); }
    void TearDown() override { EXPECT_EQ(Bus().LiveContexts(), 0) << "an ftdi context leaked"; }

    static FakeUsbBus& Bus() { return FakeUsbBus::Instance(); }

    // The default link of the wizard and `vok acquire`, with the kernel's
    // serial devices looked for in `byIdFolder`.
    static LinkOpener DefaultOpener(const test::TempDir& byIdFolder) {
        LinkOptions options;
        options.serialByIdFolder = byIdFolder.path().string();
        return LinkFactory::Opener(options);
    }
};

// What a diagnosis ended with: outcome and tables.
struct Finished {
    AcquisitionOutcome outcome;
    DiagnosisData data;
    int ht;
    int cmd;
};

Finished Acquire(const LinkOpener& open, std::chrono::milliseconds patience) {
    test::RecordingObserver observer;
    AcquisitionEngine engine(observer);
    EXPECT_TRUE(engine.OpenDevice(open));
    engine.ResetForDiagnosis();
    engine.StartAcquisition();
    AcquisitionOutcome outcome = engine.WaitForEnd(patience);
    engine.Close();
    return {outcome, engine.Data(), engine.HtCount(), engine.CmdCount()};
}

void ExpectSameTables(const DiagnosisData& got, const DiagnosisData& want) {
    EXPECT_TRUE(got.m_HtInfo == want.m_HtInfo);
    EXPECT_TRUE(got.m_CmdInfo == want.m_CmdInfo);
    EXPECT_EQ(got.m_bConsoleVersion, want.m_bConsoleVersion);
    EXPECT_EQ(got.m_ConsoleVersion, want.m_ConsoleVersion);
    EXPECT_EQ(got.m_strSerial, want.m_strSerial);
}

TEST_F(FtdiLinkTest, EveryConsoleScenarioGivesTheTablesOfTheSimulatedLink) {
    const test::TempDir noTtys;
    struct Case {
        ConsoleScenario scenario;
        int baud;
        AcquisitionOutcome outcome;
    };
    // Paced, the chip's 16 ms latency timer sends short packets; unpaced,
    // full 62-byte packets and libftdi's read buffer carry most bytes.
    const Case cases[] = {
        {ConsoleScenario::Full, 0, AcquisitionOutcome::Completed},
        {ConsoleScenario::Full, 115200, AcquisitionOutcome::Completed},
        {ConsoleScenario::Partial, 0, AcquisitionOutcome::Completed},
        {ConsoleScenario::Noisy, 0, AcquisitionOutcome::Completed},
        {ConsoleScenario::Stall, 0, AcquisitionOutcome::Running},
        {ConsoleScenario::Silent, 0, AcquisitionOutcome::Running},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(ScenarioName(c.scenario)) + " at " + std::to_string(c.baud));
        Bus().Reset();
        FakeUsbBus::Device device;
        device.scenario = c.scenario;
        device.baud = c.baud;
        // The transfers are under test here, not how promptly a loaded
        // machine runs the worker: the chip's buffer does not run over.
        device.receiveBuffer = 0;
        const int id = Bus().Plug(device);
        const auto patience = c.outcome == AcquisitionOutcome::Completed ? 20s : 800ms;
        const Finished usb = Acquire(DefaultOpener(noTtys), patience);
        const Finished simulated = Acquire(
            [&c]() -> Result<std::unique_ptr<DeviceLink>> {
                auto link = std::make_unique<SimulatedLink>(c.scenario, 0);
                (void)link->Open();
                return std::unique_ptr<DeviceLink>(std::move(link));
            },
            patience);
        EXPECT_EQ(usb.outcome, c.outcome);
        EXPECT_EQ(simulated.outcome, c.outcome);
        ExpectSameTables(usb.data, simulated.data);
        EXPECT_EQ(usb.ht, simulated.ht);
        EXPECT_EQ(usb.cmd, simulated.cmd);
        const FakeUsbBus::Counters seen = Bus().Count(id);
        EXPECT_FALSE(seen.claimed) << "the device is released at the end";
    }
}

TEST_F(FtdiLinkTest, AGeneratorUnpluggedMidFrameIsADeviceLostWithinASecond) {
    const test::TempDir noTtys;
    FakeUsbBus::Device device;
    device.baud = kConsoleBaud;
    device.receiveBuffer = 0;
    // The version frame, ten system records and half of the eleventh.
    device.unplugAfterBytes = 13 + 10 * 17 + 8;
    const int id = Bus().Plug(device);
    test::RecordingObserver observer;
    AcquisitionEngine engine(observer);
    ASSERT_TRUE(engine.OpenDevice(DefaultOpener(noTtys)));
    engine.ResetForDiagnosis();
    engine.StartAcquisition();
    ASSERT_TRUE(test::Eventually([&] { return !Bus().Count(id).plugged; }));
    const Clock::time_point pulled = Clock::now();
    EXPECT_EQ(engine.WaitForEnd(1s), AcquisitionOutcome::DeviceLost);
    EXPECT_LT(Clock::now() - pulled, 1s);
    EXPECT_EQ(engine.HtCount(), 10) << "the cut frame is dropped";
    EXPECT_NE(engine.LostReason().find("was lost"), std::string::npos) << engine.LostReason();
    EXPECT_EQ(observer.Events("finished device lost ").size(), 1u);
}

TEST_F(FtdiLinkTest, VokAcquireEndsWithStatus3AndNoReportWhenTheCableIsPulled) {
    test::TempDir data;
    FakeUsbBus::Device device;
    device.unplugAfterBytes = 13 + 100 * 17 + 5;
    Bus().Plug(device);
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int status = tools::kAcquireCommand.run({"--data-dir", data.path().string()});
    const std::string out = ::testing::internal::GetCapturedStdout();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 3) << err;
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("was lost"), std::string::npos) << err;
    EXPECT_NE(err.find("no report file written"), std::string::npos) << err;
    const std::filesystem::path reports = data.path() / "REPORT";
    EXPECT_TRUE(!std::filesystem::exists(reports) || std::filesystem::is_empty(reports));
}

TEST_F(FtdiLinkTest, OpenFailuresGiveTheirReasonOnOneLine) {
    const test::TempDir noTtys;
    struct Case {
        const char* name;
        std::optional<FakeUsbBus::OpenResult> device;  // none: nothing plugged
        bool listingFails;
        std::vector<std::string> said;
    };
    const std::vector<std::string> permission = {"permission denied", "60-vok-diagnosis.rules",
                                                 "61-vok-diagnosis-uaccess.rules", "plugdev"};
    const Case cases[] = {
        {"no device", std::nullopt, false, {"no FTDI device found"}},
        {"USB bus not readable", std::nullopt, true, {"no USB access"}},
        {"USB node not writable", FakeUsbBus::OpenResult::PermissionDenied, false, permission},
        {"serial driver not detachable", FakeUsbBus::OpenResult::DetachDenied, false, permission},
        {"claimed elsewhere", FakeUsbBus::OpenResult::Busy, false, {"device busy", "0403:6001"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bus().Reset();
        Bus().FailListing(c.listingFails);
        if (c.device) {
            FakeUsbBus::Device device;
            device.open = *c.device;
            Bus().Plug(device);
        }
        const auto link = DefaultOpener(noTtys)();
        ASSERT_FALSE(link);
        for (const std::string& part : c.said) {
            EXPECT_NE(link.error().find(part), std::string::npos) << link.error();
        }
        EXPECT_EQ(link.error().find('\n'), std::string::npos) << link.error();
        EXPECT_EQ(Bus().LiveContexts(), 0);
    }
}

TEST_F(FtdiLinkTest, ADeviceLibftdiCannotOpenIsReachedThroughTheKernelsTty) {
    test::TempDir byId;
    auto console = PtyConsole::Create(ConsoleScenario::Silent, 0);
    ASSERT_TRUE(console) << console.error();
    const std::string tty = std::filesystem::canonical((*console)->SlavePath()).string();
    std::filesystem::create_symlink(tty,
                                    byId.path() / "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    // Any failure of libftdi's open leads to the tty; here a user without
    // access to the USB node.
    FakeUsbBus::Device device;
    device.open = FakeUsbBus::OpenResult::PermissionDenied;
    Bus().Plug(device);
    const auto link = DefaultOpener(byId)();
    ASSERT_TRUE(link) << link.error();
    EXPECT_EQ((*link)->Name(), tty);
    // Both ways refused: the first reason leads.
    Bus().Reset();
    device.open = FakeUsbBus::OpenResult::Busy;
    Bus().Plug(device);
    test::TempDir deadLink;
    std::filesystem::create_symlink("/dev/vok-missing-tty", deadLink.path() / "usb-FTDI_x");
    const auto refused = DefaultOpener(deadLink)();
    ASSERT_FALSE(refused);
    EXPECT_TRUE(refused.error().starts_with("device busy")) << refused.error();
    EXPECT_NE(refused.error().find("through the serial driver"), std::string::npos);
}

TEST_F(FtdiLinkTest, CloseFromAnotherThreadWhileAReadWaitsReturnsWithinOneTransfer) {
    // Idle, the chip answers each transfer when its latency timer expires;
    // a chip that does not answer holds each transfer for the USB timeout.
    for (const bool unresponsive : {false, true}) {
        SCOPED_TRACE(unresponsive ? "unresponsive chip" : "idle line");
        Bus().Reset();
        FakeUsbBus::Device device;
        device.scenario = ConsoleScenario::Silent;
        device.unresponsive = unresponsive;
        Bus().Plug(device);
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
        EXPECT_FALSE(link.ReceiveCount());
        EXPECT_FALSE(link.WritePacket(MakeCommandPacket(kCmdEcho)));
    }
}

}  // namespace
}  // namespace vok
