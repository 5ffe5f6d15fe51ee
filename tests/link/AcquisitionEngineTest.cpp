#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "LinkTestSupport.h"
#include "link/AcquisitionEngine.h"
#include "link/AcquisitionTexts.h"
#include "link/SimulatedLink.h"

namespace vok {
namespace {

using namespace std::chrono_literals;
using namespace vok::test;

// No console here needs the half second before the records are asked for.
constexpr std::chrono::milliseconds kNoDelay{0};

// Opens `link` in the engine and starts an acquisition on it; the engine
// owns the link, the test keeps a reference.
template <typename Link>
Link& Start(AcquisitionEngine& engine, std::unique_ptr<Link> link) {
    Link& keep = *link;
    EXPECT_TRUE(engine.OpenDevice([&link]() -> Result<std::unique_ptr<DeviceLink>> {
        (void)link->Open();
        return std::unique_ptr<DeviceLink>(std::move(link));
    }));
    engine.ResetForDiagnosis();
    engine.StartAcquisition();
    return keep;
}

// The tables and the version hold exactly what the console sent, and
// nothing it did not; the counters count it.
TEST(AcquisitionEngine, StoresExactlyWhatEachConsoleSentAndEndsWithLineFour) {
    const GeneratorImage image = GeneratorImage::Build();
    for (const ConsoleScenario scenario :
         {ConsoleScenario::Full, ConsoleScenario::Partial, ConsoleScenario::Noisy}) {
        SCOPED_TRACE(ScenarioName(scenario));
        RecordingObserver observer;
        AcquisitionEngine engine(observer, kNoDelay);
        Start(engine, std::make_unique<SimulatedLink>(scenario, 0));
        ASSERT_EQ(engine.WaitForEnd(10s), AcquisitionOutcome::Completed);
        const DiagnosisData data = engine.Data();
        const auto expect = [scenario](const auto& table, const auto& sent, auto sends, int count) {
            int n = 0;
            for (std::size_t k = 0; k < table.size(); ++k) {
                n += sends(scenario, k) ? 1 : 0;
                ASSERT_EQ(table[k].valid, sends(scenario, k) ? 1 : 0) << k;
                ASSERT_TRUE(!table[k].valid || (table[k].index == k && table[k].params == sent[k]))
                    << k;
            }
            EXPECT_EQ(count, n);
        };
        expect(data.m_HtInfo, image.ht, SimulatedConsole::SendsHtRecord, engine.HtCount());
        expect(data.m_CmdInfo, image.cmd, SimulatedConsole::SendsCmdRecord, engine.CmdCount());
        EXPECT_EQ(data.m_bConsoleVersion, 1);
        EXPECT_TRUE(
            std::equal(image.version.begin(), image.version.end(), data.m_ConsoleVersion.begin()));
        EXPECT_EQ(observer.Events("status "),
                  (std::vector<std::string>{
                      std::string(kStatusChecking), std::string(kStatusSystemRequest),
                      std::string(kStatusSystemLog), std::string(kStatusEnd)}));
        EXPECT_EQ(observer.Events().back(), "finished completed") << "Finished comes last";
    }
}

TEST(AcquisitionEngine, EchoIsAnsweredSystemIndexAbove212DroppedAndALogIndexAbove225Ends) {
    RecordingObserver observer;
    AcquisitionEngine engine(observer, kNoDelay);
    ScriptedLink& link =
        Start(engine, std::make_unique<ScriptedLink>(
                          Join({SimulatedConsole::EchoFrame(), Record(0x26, 213, 1),
                                Record(0x26, 255, 1), Record(0x26, 212, 2), Record(0x1F, 225, 9),
                                Record(0x1F, 226, 0), Record(0x1F, 10, 9)})));
    ASSERT_EQ(engine.WaitForEnd(5s), AcquisitionOutcome::Completed);
    // Enable, version, log, and the answer to the echo, byte for byte.
    EXPECT_EQ(link.Written(), (std::vector<CommandPacket>{{0x16, 0x02, 0x21, 0x02, 0x64, 0x47},
                                                          {0x16, 0x02, 0x21, 0x02, 0x72, 0x51},
                                                          {0x16, 0x02, 0x21, 0x02, 0x26, 0x05},
                                                          {0x16, 0x02, 0x21, 0x02, 0x65, 0x46}}));
    const DiagnosisData data = engine.Data();
    EXPECT_EQ(data.m_bConsoleVersion, 0) << "the echo changes no data";
    EXPECT_EQ(engine.HtCount(), 1);
    EXPECT_EQ(data.m_HtInfo[212].params[0], 2);
    EXPECT_EQ(data.m_CmdInfo[225].params[0], 9);
    EXPECT_EQ(data.m_CmdInfo[10].valid, 0) << "nothing is read after the end marker";
    EXPECT_FALSE(link.IsOpen());
}

// A refused enable leaves the device unusable; a close while the enable
// packet is still being written only stops the run.
TEST(AcquisitionEngine, AFailedEnableEndsTheRunAndOneCutShortByCloseIsAStop) {
    for (const auto writes : {ScriptedLink::Writes::Refuse, ScriptedLink::Writes::Hang}) {
        RecordingObserver observer;
        AcquisitionEngine engine(observer, kNoDelay);
        ScriptedLink& link = Start(engine, std::make_unique<ScriptedLink>(Bytes{}, writes));
        if (writes == ScriptedLink::Writes::Refuse) {
            EXPECT_EQ(engine.WaitForEnd(5s), AcquisitionOutcome::EnableFailed);
            EXPECT_FALSE(link.IsOpen());
            EXPECT_EQ(observer.Events(), std::vector<std::string>{"finished enable failed"});
            continue;
        }
        ASSERT_TRUE(Eventually([&] { return link.WritesTried() == 1; }));
        engine.Close();
        EXPECT_EQ(engine.Outcome(), AcquisitionOutcome::Stopped);
        EXPECT_EQ(observer.Events(), std::vector<std::string>{"finished stopped"});
    }
}

// Close returns within a second wherever the worker is: before its first
// packet, in the pause before the records are asked for, waiting for a byte,
// or waiting inside a frame.
TEST(AcquisitionEngine, CloseReturnsWithinASecondAndEndsTheRunAsStopped) {
    struct Case {
        std::chrono::milliseconds startDelay;
        std::size_t packetsFirst;  // at least this many packets written before the close
        int recordsFirst;          // records received before the close
    };
    for (const Case& c :
         {Case{kNoDelay, 0, 0}, Case{24h, 2, 0}, Case{kNoDelay, 3, 0}, Case{kNoDelay, 3, 100}}) {
        SCOPED_TRACE(testing::Message() << c.packetsFirst << " packets, " << c.recordsFirst);
        RecordingObserver observer;
        AcquisitionEngine engine(observer, c.startDelay);
        // The records, then a frame that never ends.
        Bytes bytes;
        for (int n = 0; n < c.recordsFirst; ++n) {
            bytes = Join({bytes, Record(0x26, static_cast<std::uint8_t>(n), 1)});
        }
        if (c.recordsFirst > 0) {
            const Bytes cut = Record(0x26, 200, 1);
            bytes = Join({bytes, Bytes(cut.begin(), cut.begin() + 12)});
        }
        ScriptedLink& link = Start(engine, std::make_unique<ScriptedLink>(bytes));
        ASSERT_TRUE(Eventually([&] {
            return link.Written().size() >= c.packetsFirst && engine.HtCount() == c.recordsFirst;
        }));
        EXPECT_EQ(engine.Outcome(), AcquisitionOutcome::Running);
        const auto start = std::chrono::steady_clock::now();
        engine.Close();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
        EXPECT_EQ(observer.Events("finished "), std::vector<std::string>{"stopped"});
    }
}

// Skip in the middle of a log stream that never ends: nothing of it stays.
TEST(AcquisitionEngine, SkipDuringAContinuousStreamLeavesEmptyTables) {
    RecordingObserver observer;
    AcquisitionEngine engine(observer, kNoDelay);
    auto stream =
        std::make_unique<ScriptedLink>(SimulatedConsole::VersionFrame(GeneratorImage::Build()));
    stream->refill = [next = std::uint8_t{0}]() mutable {
        next = static_cast<std::uint8_t>((next + 1) % 200);
        return Join({Record(0x26, next, next), Record(0x1F, next, next)});
    };
    ScriptedLink& link = Start(engine, std::move(stream));
    ASSERT_TRUE(Eventually([&] { return engine.CmdCount() > 40; }));
    engine.Skip();
    const DiagnosisData data = engine.Data();
    const auto empty = [](const DiagnosisRecord& r) {
        return r.valid == 0 && r.params == DiagnosisRecord().params;
    };
    EXPECT_TRUE(std::ranges::all_of(data.m_HtInfo, empty) &&
                std::ranges::all_of(data.m_CmdInfo, empty));
    EXPECT_EQ(data.m_bConsoleVersion, 0);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(observer.Events().back(), "finished stopped");
}

}  // namespace
}  // namespace vok
