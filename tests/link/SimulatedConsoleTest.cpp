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

TEST(SimulatedConsole, AnswersOnlyWellFormedPacketsAfterTheEnableAndWaitsForTheEchoAnswer) {
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
    // The log stops at the echo frame until the echo is answered.
    Send(console, {0x26});
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

}  // namespace
}  // namespace vok
