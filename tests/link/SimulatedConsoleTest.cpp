// The simulated console: how it answers the tool's packets, and whether the
// installation it describes decodes to sensible values.
#include <gtest/gtest.h>

#include "LinkTestSupport.h"
#include "link/CommandPacket.h"
#include "link/ConsoleScenario.h"
#include "link/SimulatedConsole.h"

namespace vok {
namespace {

void Send(SimulatedConsole& console, std::uint8_t command) {
    for (std::uint8_t b : MakeCommandPacket(command)) {
        console.Receive(b);
    }
}

test::Bytes Drain(SimulatedConsole& console) {
    test::Bytes out;
    while (console.HasOutput()) {
        out.push_back(console.TakeByte());
    }
    return out;
}

TEST(ConsoleScenario, NamesRoundTripAndUnknownNamesAreRefused) {
    for (auto s : {ConsoleScenario::Full, ConsoleScenario::Partial, ConsoleScenario::Noisy,
                   ConsoleScenario::Stall, ConsoleScenario::Silent}) {
        EXPECT_EQ(ParseScenario(ScenarioName(s)), s);
    }
    EXPECT_FALSE(ParseScenario("FULL"));
    EXPECT_FALSE(ParseScenario(""));
}

TEST(SimulatedConsole, AnswersNothingBeforeTheEnableCommand) {
    SimulatedConsole console(ConsoleScenario::Full);
    Send(console, 0x72);
    Send(console, 0x26);
    EXPECT_FALSE(console.HasOutput());
    Send(console, 0x64);
    Send(console, 0x72);
    EXPECT_EQ(Drain(console), SimulatedConsole::VersionFrame(console.Image()));
}

TEST(SimulatedConsole, IgnoresPacketsWithAWrongCheckByte) {
    SimulatedConsole console(ConsoleScenario::Full);
    Send(console, 0x64);
    for (std::uint8_t b : test::Bytes{0x16, 0x02, 0x21, 0x02, 0x72, 0x50}) {
        console.Receive(b);
    }
    EXPECT_FALSE(console.HasOutput());
}

TEST(SimulatedConsole, WaitsForTheEchoAnswerBeforeGoingOn) {
    SimulatedConsole console(ConsoleScenario::Full);
    Send(console, 0x64);
    Send(console, 0x26);
    const test::Bytes first = Drain(console);
    const test::Bytes echo = SimulatedConsole::EchoFrame();
    ASSERT_GE(first.size(), echo.size());
    EXPECT_TRUE(std::equal(echo.begin(), echo.end(), first.end() - echo.size()));
    EXPECT_EQ(console.EchoFramesSent(), 1u);
    Send(console, 0x72);  // not the answer
    EXPECT_FALSE(console.HasOutput());
    Send(console, 0x65);
    EXPECT_TRUE(console.HasOutput());
    EXPECT_EQ(console.EchoAnswers(), 1u);
}

TEST(SimulatedConsole, SilentNeverAnswersAndStallStopsInsideAFrame) {
    SimulatedConsole silent(ConsoleScenario::Silent);
    for (std::uint8_t c : {0x64, 0x72, 0x26}) {
        Send(silent, c);
    }
    EXPECT_FALSE(silent.HasOutput());

    SimulatedConsole stall(ConsoleScenario::Stall);
    Send(stall, 0x64);
    Send(stall, 0x26);
    std::size_t total = 0;
    for (;;) {
        total += Drain(stall).size();
        if (stall.Stalled()) {
            break;
        }
        Send(stall, 0x65);
    }
    EXPECT_NE(total % 17, 0u) << "the last frame is cut short";
    Send(stall, 0x65);
    EXPECT_FALSE(stall.HasOutput());
}

TEST(SimulatedConsole, ANewEnableStartsAFreshSession) {
    SimulatedConsole console(ConsoleScenario::Full);
    Send(console, 0x64);
    Send(console, 0x26);
    (void)console.TakeByte();
    Send(console, 0x64);
    EXPECT_FALSE(console.HasOutput());
    Send(console, 0x72);
    EXPECT_EQ(Drain(console), SimulatedConsole::VersionFrame(console.Image()));
}

int FromBcd(std::uint8_t b) {
    return (b >> 4) * 10 + (b & 0x0F);
}
bool IsBcd(std::uint8_t b) {
    return (b >> 4) <= 9 && (b & 0x0F) <= 9;
}

TEST(GeneratorImage, DescribesAPlausibleInstallation) {
    const GeneratorImage g = GeneratorImage::Build();
    // Ratings within the decoding tables; serial of ten printable characters.
    EXPECT_LE(g.ht[1][0], 2);
    EXPECT_LE(g.ht[1][1], 20);
    EXPECT_LE(g.ht[1][2], 5);
    EXPECT_LE(g.ht[1][3], 4);
    EXPECT_LE(g.ht[1][8], 9);
    for (std::uint8_t c : g.ht[3]) {
        EXPECT_TRUE(c > 0x20 && c < 0x7F);
    }
    for (std::size_t n = 0; n < 7; ++n) {
        EXPECT_TRUE(g.version[n] > 0x20 && g.version[n] < 0x7F);
    }
    EXPECT_TRUE(IsBcd(g.ht[4][0]) && IsBcd(g.ht[4][1]) && IsBcd(g.ht[4][2]));
    EXPECT_NE(g.ht[4][7], 0) << "HT firmware version shown";

    // The error log count matches the entries, and each entry's date and
    // time are valid BCD; the protocol blocks shown exist.
    const int entries = g.ht[6][8];
    const int blocks = g.ht[6][9];
    ASSERT_GT(entries, 0);
    ASSERT_LE(entries, 50);
    ASSERT_LE(blocks, entries);
    for (int i = 0; i < 50; ++i) {
        const auto& a = g.ht[113 + 2 * i];
        EXPECT_EQ(a[0] != 255, i < entries) << i;
        if (i < entries) {
            for (std::size_t n = 4; n < 10; ++n) {
                EXPECT_TRUE(IsBcd(a[n])) << i;
            }
            EXPECT_LE(FromBcd(a[5]), 12);
            EXPECT_LE(FromBcd(a[7]), 23);
        }
    }
    for (int b = 0; b < 9; ++b) {
        const bool used = g.cmd[1 + 25 * b][5] != 255;
        EXPECT_EQ(used, b < blocks) << b;
    }
    // Calibration history: valid entries first, with BCD dates.
    for (std::size_t k = 9; k <= 28; ++k) {
        if (g.ht[k][0] >= 1 && g.ht[k][0] <= 20) {
            EXPECT_TRUE(IsBcd(g.ht[k][1]) && IsBcd(g.ht[k][2]) && IsBcd(g.ht[k][3]));
        }
    }
    // Focus tables: every flag is 0 or 1, with values near the filament range.
    for (std::size_t k = 29; k <= 112; ++k) {
        for (std::size_t cell = 0; cell < 3; ++cell) {
            const auto& r = g.ht[k];
            ASSERT_LE(r[1 + 3 * cell], 1);
            if (r[1 + 3 * cell] == 1) {
                const int value = r[2 + 3 * cell] + 256 * r[3 + 3 * cell] - 2000;
                EXPECT_GT(value, 0);
                EXPECT_LT(value, 3000);
            }
        }
    }
}

}  // namespace
}  // namespace vok
