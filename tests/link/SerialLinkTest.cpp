#include <gtest/gtest.h>

#include <thread>

#include "LinkTestSupport.h"
#include "link/AcquisitionEngine.h"
#include "link/LinkFactory.h"
#include "link/PtyConsole.h"
#include "link/SerialLink.h"
#include "support/TempDir.h"

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

TEST(SerialLink, OpenFailuresSayWhatIsWrong) {
    SerialLink missing("/dev/vok-no-such-device");
    const Status m = missing.Open();
    ASSERT_FALSE(m);
    EXPECT_TRUE(m.error().starts_with("path missing: /dev/vok-no-such-device")) << m.error();

    test::TempDir dir;
    SerialLink file(dir.Write("plain.txt", "x"));
    const Status f = file.Open();
    ASSERT_FALSE(f);
    EXPECT_NE(f.error().find("is not a serial device"), std::string::npos) << f.error();
}

TEST(SerialLink, ASecondUserFindsTheDeviceBusyUntilTheFirstCloses) {
    RunningConsole console(ConsoleScenario::Full);
    SerialLink first(console->SlavePath());
    ASSERT_TRUE(first.Open());
    SerialLink second(console->SlavePath());
    const Status busy = second.Open();
    ASSERT_FALSE(busy);
    EXPECT_TRUE(busy.error().starts_with("device busy")) << busy.error();
    first.Close();
    EXPECT_TRUE(second.Open());
}

TEST(SerialLink, CloseFromAnotherThreadEndsAWaitAtOnceAndLaterCallsFail) {
    RunningConsole console(ConsoleScenario::Silent);
    SerialLink link(console->SlavePath());
    ASSERT_TRUE(link.Open());
    std::thread closer([&] {
        std::this_thread::sleep_for(20ms);
        link.Close();
    });
    const auto start = std::chrono::steady_clock::now();
    const Result<bool> waited = link.WaitReadable(5s);
    closer.join();
    EXPECT_FALSE(waited);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    link.Close();
    EXPECT_FALSE(link.ReceiveCount());
    EXPECT_FALSE(link.ReadByte());
    EXPECT_FALSE(link.WritePacket(MakeCommandPacket(0x64)));
}

// The bytes go through a real terminal, whose settings could change or eat
// some of them; its hangup is a pulled cable.
TEST(SerialLink, WholeAcquisitionOverAPseudoTerminalThenItsHangupIsADeviceLost) {
    RunningConsole console(ConsoleScenario::Noisy, 115200);
    test::RecordingObserver observer;
    AcquisitionEngine engine(observer);
    LinkOptions options;
    options.kind = LinkOptions::Kind::Device;
    options.devicePath = console->SlavePath();
    const auto start = [&] {
        EXPECT_TRUE(engine.OpenDevice(LinkFactory::Opener(options)));
        engine.ResetForDiagnosis();
        engine.StartAcquisition();
    };
    start();
    ASSERT_EQ(engine.WaitForEnd(20s), AcquisitionOutcome::Completed);
    const DiagnosisData data = engine.Data();
    const GeneratorImage image = GeneratorImage::Build();
    for (std::size_t k = 0; k < kHtRecordCount; ++k) {
        ASSERT_EQ(data.m_HtInfo[k].params, image.ht[k]) << k;
    }
    for (std::size_t k = 0; k < kCmdRecordCount; ++k) {
        ASSERT_EQ(data.m_CmdInfo[k].params, image.cmd[k]) << k;
    }
    EXPECT_EQ(data.m_strSerial, "VK82C10417");
    EXPECT_GT(console->EchoAnswers(), 0u);

    start();
    ASSERT_TRUE(test::Eventually([&] { return engine.HtCount() > 20; }));
    console->Hangup();
    const auto hangup = std::chrono::steady_clock::now();
    EXPECT_EQ(engine.WaitForEnd(5s), AcquisitionOutcome::DeviceLost);
    EXPECT_LT(std::chrono::steady_clock::now() - hangup, 1s);
    EXPECT_NE(engine.LostReason().find(console->SlavePath()), std::string::npos)
        << engine.LostReason();
    EXPECT_LT(engine.HtCount(), 213);
    EXPECT_TRUE(observer.Events().back().starts_with("lost ")) << observer.Events().back();
}

}  // namespace
}  // namespace vok
