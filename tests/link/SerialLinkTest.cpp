#include <gtest/gtest.h>

#include <thread>

#include "LinkTestSupport.h"
#include "link/AcquisitionEngine.h"
#include "link/LinkFactory.h"
#include "link/PtyConsole.h"
#include "link/SerialLink.h"

namespace vok {
namespace {

using namespace std::chrono_literals;

// A console served on its own thread for the length of a test.
class RunningConsole {
public:
    explicit RunningConsole(ConsoleScenario scenario, int baud = 0) {
        auto created = PtyConsole::Create(scenario, baud);
        EXPECT_TRUE(created) << created.error();
        m_console = std::move(created).value();
        m_thread = std::thread([this] { (void)m_console->Run(); });
    }
    ~RunningConsole() {
        m_console->Stop();
        m_thread.join();
    }
    PtyConsole* operator->() { return m_console.get(); }

private:
    std::unique_ptr<PtyConsole> m_console;
    std::thread m_thread;
};

TEST(SerialLink, ASecondUserFindsTheDeviceBusyAndACloseFromAnotherThreadEndsAWaitAtOnce) {
    RunningConsole console(ConsoleScenario::Silent);
    SerialLink first(console->SlavePath());
    ASSERT_TRUE(first.Open());
    SerialLink second(console->SlavePath());
    const Status busy = second.Open();
    ASSERT_FALSE(busy);
    EXPECT_TRUE(busy.error().starts_with("device busy")) << busy.error();

    std::thread closer([&] {
        std::this_thread::sleep_for(20ms);
        first.Close();
    });
    const auto start = std::chrono::steady_clock::now();
    const Result<bool> waited = first.WaitReadable(5s);
    closer.join();
    EXPECT_FALSE(waited);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    first.Close();
    EXPECT_FALSE(first.ReceiveCount());
    EXPECT_FALSE(first.ReadByte());
    EXPECT_FALSE(first.WritePacket(MakeCommandPacket(0x64)));
    EXPECT_TRUE(second.Open()) << "free once the first has closed";
}

TEST(SerialLink, TerminalGoingAwayMidAcquisitionIsADeviceLost) {
    RunningConsole console(ConsoleScenario::Full, 115200);
    test::RecordingObserver observer;
    AcquisitionEngine engine(observer, std::chrono::milliseconds(0));
    ASSERT_TRUE(engine.OpenDevice(LinkFactory::Opener(
        {.kind = LinkOptions::Kind::Device, .devicePath = console->SlavePath()})));
    engine.ResetForDiagnosis();
    engine.StartAcquisition();
    ASSERT_TRUE(test::Eventually([&] { return engine.HtCount() > 20; }));
    console->Hangup();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(engine.WaitForEnd(5s), AcquisitionOutcome::DeviceLost);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_NE(engine.LostReason().find(console->SlavePath()), std::string::npos)
        << engine.LostReason();
    EXPECT_GT(engine.HtCount(), 20) << "what arrived before stays";
    EXPECT_EQ(observer.Events().back(), "finished device lost " + engine.LostReason());
}

}  // namespace
}  // namespace vok
