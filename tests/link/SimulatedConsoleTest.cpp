#include <gtest/gtest.h>

#include "LinkTestSupport.h"
#include "link/CommandPacket.h"
#include "link/SimulatedConsole.h"

namespace vok {
namespace {

void Send(SimulatedConsole& console, std::initializer_list<std::uint8_t> commands) {
    for (std::uint8_t command : commands) {
        for (std::uint8_t b : MakeCommandPacket(command)) {
            console.Receive(b);
        }
    }
}

test::Bytes Drain(SimulatedConsole& console) {
    test::Bytes out;
    while (console.HasOutput()) {
        out.push_back(console.TakeByte());
    }
    return out;
}

TEST(SimulatedConsole, AnswersOnlyWellFormedPacketsAfterTheEnableCommand) {
    SimulatedConsole console(ConsoleScenario::Full);
    Send(console, {0x72, 0x26});
    EXPECT_FALSE(console.HasOutput());
    Send(console, {0x64});
    for (std::uint8_t b : test::Bytes{0x16, 0x02, 0x21, 0x02, 0x72, 0x50}) {
        console.Receive(b);  // wrong check byte
    }
    EXPECT_FALSE(console.HasOutput());
    Send(console, {0x72});
    EXPECT_EQ(Drain(console), SimulatedConsole::VersionFrame(console.Image()));
    // A new enable in the middle of the log starts a fresh session.
    Send(console, {0x26});
    (void)console.TakeByte();
    Send(console, {0x64});
    EXPECT_FALSE(console.HasOutput());
    Send(console, {0x72});
    EXPECT_EQ(Drain(console), SimulatedConsole::VersionFrame(console.Image()));
}

TEST(SimulatedConsole, WaitsForTheEchoAnswerBeforeGoingOn) {
    SimulatedConsole console(ConsoleScenario::Full);
    Send(console, {0x64, 0x26});
    const test::Bytes first = Drain(console);
    const test::Bytes echo = SimulatedConsole::EchoFrame();
    ASSERT_GE(first.size(), echo.size());
    EXPECT_TRUE(std::equal(echo.begin(), echo.end(), first.end() - echo.size()));
    EXPECT_EQ(console.EchoFramesSent(), 1u);
    Send(console, {0x72});  // not the answer
    EXPECT_FALSE(console.HasOutput());
    Send(console, {0x65});
    EXPECT_TRUE(console.HasOutput());
    EXPECT_EQ(console.EchoAnswers(), 1u);
}

TEST(SimulatedConsole, SilentNeverAnswersAndStallStopsInsideAFrame) {
    SimulatedConsole silent(ConsoleScenario::Silent);
    Send(silent, {0x64, 0x72, 0x26});
    EXPECT_FALSE(silent.HasOutput());

    SimulatedConsole stall(ConsoleScenario::Stall);
    Send(stall, {0x64, 0x26});
    std::size_t total = Drain(stall).size();
    while (!stall.Stalled()) {
        Send(stall, {0x65});
        total += Drain(stall).size();
    }
    EXPECT_NE(total % 17, 0u) << "the last frame is cut short";
    Send(stall, {0x65});
    EXPECT_FALSE(stall.HasOutput());
}

}  // namespace
}  // namespace vok
