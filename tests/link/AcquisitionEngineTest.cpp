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

// No console in these tests needs the half second before the records are
// asked for.
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
ScriptedLink& Scripted(AcquisitionEngine& engine, const Bytes& bytes) {
    return Start(engine, std::make_unique<ScriptedLink>(bytes));
}

const std::vector<std::string> kAllStatusLines = {
    std::string(kStatusChecking), std::string(kStatusSystemRequest), std::string(kStatusSystemLog),
    std::string(kStatusEnd)};

Bytes EndMarker(std::uint8_t index = 0xFF) {
    return Record(0x1F, index, 0);
}

// The tables and the version hold exactly what the console sent, and
// nothing it did not; the counters count it.
void ExpectTablesMatchConsole(const AcquisitionEngine& engine, ConsoleScenario scenario) {
    const auto expect = [scenario](const auto& table, const auto& image, auto sends, int count) {
        int sent = 0;
        for (std::size_t k = 0; k < table.size(); ++k) {
            sent += sends(scenario, k) ? 1 : 0;
            ASSERT_EQ(table[k].valid, sends(scenario, k) ? 1 : 0) << k;
            ASSERT_TRUE(!table[k].valid || (table[k].index == k && table[k].params == image[k]))
                << k;
        }
        EXPECT_EQ(count, sent);
    };
    const GeneratorImage image = GeneratorImage::Build();
    const DiagnosisData data = engine.Data();
    expect(data.m_HtInfo, image.ht, SimulatedConsole::SendsHtRecord, engine.HtCount());
    expect(data.m_CmdInfo, image.cmd, SimulatedConsole::SendsCmdRecord, engine.CmdCount());
    EXPECT_EQ(data.m_bConsoleVersion, 1);
    EXPECT_TRUE(
        std::equal(image.version.begin(), image.version.end(), data.m_ConsoleVersion.begin()));
}

class AcquisitionEngineScenarioTest : public ::testing::TestWithParam<ConsoleScenario> {};

TEST_P(AcquisitionEngineScenarioTest, StoresExactlyWhatTheConsoleSentAndEndsWithLineFour) {
    RecordingObserver observer;
    AcquisitionEngine engine(observer, kNoDelay);
    Start(engine, std::make_unique<SimulatedLink>(GetParam(), 0));
    ASSERT_EQ(engine.WaitForEnd(10s), AcquisitionOutcome::Completed);
    ExpectTablesMatchConsole(engine, GetParam());
    EXPECT_EQ(observer.Events("status "), kAllStatusLines);
    // Every event is in once the end is known, and Finished comes last.
    const auto events = observer.Events();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(
        std::vector(events.end() - 2, events.end()),
        (std::vector<std::string>{"status " + std::string(kStatusEnd), "finished completed"}));
}

INSTANTIATE_TEST_SUITE_P(Consoles, AcquisitionEngineScenarioTest,
                         ::testing::Values(ConsoleScenario::Full, ConsoleScenario::Partial,
                                           ConsoleScenario::Noisy),
                         [](const auto& param) { return std::string(ScenarioName(param.param)); });

TEST(AcquisitionEngineTest, EchoIsAnsweredSystemIndexAbove212DroppedAndALogIndexAbove225Ends) {
    RecordingObserver observer;
    AcquisitionEngine engine(observer, kNoDelay);
    ScriptedLink& link = Scripted(
        engine,
        Join({SimulatedConsole::EchoFrame(), Record(0x26, 213, 1), Record(0x26, 255, 1),
              Record(0x26, 212, 2), Record(0x1F, 225, 9), EndMarker(226), Record(0x1F, 10, 9)}));
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
    EXPECT_EQ(observer.Events(), (std::vector<std::string>{
                                     "status " + std::string(kStatusChecking), "system 1",
                                     "status " + std::string(kStatusSystemLog), "log 1",
                                     "status " + std::string(kStatusEnd), "finished completed"}));
    EXPECT_EQ(data.m_CmdInfo[225].valid, 1);
    EXPECT_EQ(data.m_CmdInfo[225].params[0], 9);
    EXPECT_EQ(data.m_CmdInfo[10].valid, 0) << "nothing is read after the end marker";
    EXPECT_FALSE(link.IsOpen());
}

TEST(AcquisitionEngineTest, SerialIsNoneUntilRecordThreeAndASecondRecordThreeReplacesIt) {
    auto serialFrame = [](const char* text) {
        GeneratorImage::Params p;
        std::copy(text, text + 10, p.begin());
        return SimulatedConsole::RecordFrame(0x26, 3, p);
    };
    RecordingObserver observer;
    AcquisitionEngine engine(observer, kNoDelay);
    Scripted(engine, Join({Record(0x26, 2, 0x41), EndMarker()}));
    ASSERT_EQ(engine.WaitForEnd(5s), AcquisitionOutcome::Completed);
    EXPECT_EQ(engine.Data().m_strSerial, kNoSerial);

    // An end marker as the first log frame still adds line 3 before line 4.
    Scripted(engine, Join({serialFrame("AAAAAAAAAA"), serialFrame("B123456789"), EndMarker()}));
    ASSERT_EQ(engine.WaitForEnd(5s), AcquisitionOutcome::Completed);
    EXPECT_EQ(engine.Data().m_strSerial, "B123456789");
    EXPECT_EQ(engine.HtCount(), 2);
    EXPECT_EQ(engine.CmdCount(), 0);
    // A new diagnosis on the same engine starts from empty tables.
    Scripted(engine, EndMarker());
    ASSERT_EQ(engine.WaitForEnd(5s), AcquisitionOutcome::Completed);
    EXPECT_EQ(engine.Data().m_HtInfo[3].valid, 0);
    EXPECT_EQ(engine.HtCount(), 0);
    EXPECT_EQ(engine.Data().m_strSerial, kNoSerial);
    EXPECT_EQ(observer.Events("system "), (std::vector<std::string>{"1", "1", "2"}));
    const std::string check(kStatusChecking), system(kStatusSystemRequest), log(kStatusSystemLog),
        end(kStatusEnd);
    EXPECT_EQ(observer.Events("status "),
              (std::vector<std::string>{check, log, end, check, system, log, end, log, end}));
    EXPECT_EQ(observer.Events("finished "), std::vector<std::string>(3, "completed"));
}

TEST(AcquisitionEngineTest, FailedEnableEndsTheRunAndFreesTheDevice) {
    RecordingObserver observer;
    AcquisitionEngine engine(observer, kNoDelay);
    auto refusing = std::make_unique<ScriptedLink>();
    refusing->SetWrites(ScriptedLink::Writes::Refuse);
    ScriptedLink& link = Start(engine, std::move(refusing));
    EXPECT_EQ(engine.WaitForEnd(5s), AcquisitionOutcome::EnableFailed);
    EXPECT_EQ(observer.Events(), std::vector<std::string>{"finished enable failed"});
    EXPECT_FALSE(link.IsOpen());
}

// A close while the enable packet is still being written makes that write
// fail: the run was stopped, the device is not unusable.
TEST(AcquisitionEngineTest, AnEnableWriteCutShortByCloseIsAStopNotAFailedEnable) {
    RecordingObserver observer;
    AcquisitionEngine engine(observer, kNoDelay);
    auto hanging = std::make_unique<ScriptedLink>();
    hanging->SetWrites(ScriptedLink::Writes::Hang);
    ScriptedLink& link = Start(engine, std::move(hanging));
    ASSERT_TRUE(Eventually([&] { return link.WritesTried() == 1; }));
    engine.Close();
    EXPECT_EQ(engine.Outcome(), AcquisitionOutcome::Stopped);
    EXPECT_EQ(observer.Events(), std::vector<std::string>{"finished stopped"});
}

TEST(AcquisitionEngineTest, APulledCableEndsTheRunWithTheLinksReason) {
    RecordingObserver observer;
    AcquisitionEngine engine(observer, kNoDelay);
    auto pulled = std::make_unique<ScriptedLink>(Record(0x26, 0, 1));
    pulled->LoseDeviceWhenDrained();
    Start(engine, std::move(pulled));
    ASSERT_EQ(engine.WaitForEnd(5s), AcquisitionOutcome::DeviceLost);
    EXPECT_EQ(engine.LostReason(), "cable pulled");
    EXPECT_EQ(observer.Events().back(), "finished device lost cable pulled");
    EXPECT_EQ(engine.HtCount(), 1);
}

// Close returns within a second wherever the worker is: before its first
// packet, in the pause before the records are asked for, waiting for a byte,
// or waiting inside a frame.
struct StopCase {
    const char* name;
    std::chrono::milliseconds startDelay;
    std::size_t packetsFirst;  // at least this many packets written before the close
    int recordsFirst;          // records received before the close
};

class AcquisitionEngineStopTest : public ::testing::TestWithParam<StopCase> {};

TEST_P(AcquisitionEngineStopTest, CloseReturnsWithinASecondAndEndsTheRunAsStopped) {
    const StopCase& c = GetParam();
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
    ScriptedLink& link = Scripted(engine, bytes);
    ASSERT_TRUE(Eventually([&] {
        return link.Written().size() >= c.packetsFirst && engine.HtCount() == c.recordsFirst;
    }));
    EXPECT_EQ(engine.Outcome(), AcquisitionOutcome::Running);
    const auto start = std::chrono::steady_clock::now();
    engine.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_EQ(engine.Outcome(), AcquisitionOutcome::Stopped);
    EXPECT_EQ(observer.Events("finished "), std::vector<std::string>{"stopped"});
}

INSTANTIATE_TEST_SUITE_P(Waits, AcquisitionEngineStopTest,
                         ::testing::Values(StopCase{"AtOnce", kNoDelay, 0, 0},
                                           StopCase{"InTheStartDelay", 24h, 2, 0},
                                           StopCase{"WaitingForAByte", kNoDelay, 3, 0},
                                           StopCase{"InsideAStalledFrame", kNoDelay, 3, 100}),
                         [](const auto& param) { return std::string(param.param.name); });

// Skip in the middle of a log stream that never ends: nothing of it stays.
TEST(AcquisitionEngineTest, SkipDuringAContinuousStreamLeavesEmptyTables) {
    RecordingObserver observer;
    AcquisitionEngine engine(observer, kNoDelay);
    ScriptedLink& link = Scripted(engine, SimulatedConsole::VersionFrame(GeneratorImage::Build()));
    link.RefillWith([next = std::uint8_t{0}]() mutable {
        next = static_cast<std::uint8_t>((next + 1) % 200);
        return Join({Record(0x26, next, next), Record(0x1F, next, next)});
    });
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
    EXPECT_EQ(engine.Outcome(), AcquisitionOutcome::Stopped);
    EXPECT_EQ(observer.Events().back(), "finished stopped");
}

}  // namespace
}  // namespace vok
