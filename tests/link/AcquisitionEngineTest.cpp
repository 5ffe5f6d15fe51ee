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
using Answer = RecordingObserver::Answer;

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

TEST(Acquisition, FullPartialAndNoisyConsolesStoreExactlyWhatWasSent) {
    for (ConsoleScenario scenario :
         {ConsoleScenario::Full, ConsoleScenario::Partial, ConsoleScenario::Noisy}) {
        RecordingObserver observer;
        AcquisitionEngine engine(observer);
        Start(engine, std::make_unique<SimulatedLink>(scenario, 0));
        ASSERT_EQ(engine.WaitForEnd(10s), AcquisitionOutcome::Completed);
        ExpectTablesMatchConsole(engine, scenario);
        EXPECT_EQ(observer.Events("status "), kAllStatusLines);
        const auto events = observer.Events();
        ASSERT_GE(events.size(), 3u);
        EXPECT_EQ(std::vector(events.end() - 3, events.end()),
                  (std::vector<std::string>{
                      "skip off, next on", "ask " + std::string(kMsgGoNextQuestion), "user page"}));
    }
}

TEST(Acquisition, EchoIsAnsweredSystemIndexAbove212DroppedAndALogIndexAbove225Ends) {
    RecordingObserver observer;
    AcquisitionEngine engine(observer);
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
    EXPECT_EQ(observer.Events("system "), std::vector<std::string>{"1"});
    EXPECT_EQ(observer.Events("log "), std::vector<std::string>{"1"});
    EXPECT_EQ(observer.Events("status "),
              (std::vector<std::string>{std::string(kStatusChecking), std::string(kStatusSystemLog),
                                        std::string(kStatusEnd)}));
    EXPECT_EQ(data.m_CmdInfo[225].valid, 1);
    EXPECT_EQ(data.m_CmdInfo[225].params[0], 9);
    EXPECT_EQ(data.m_CmdInfo[10].valid, 0) << "nothing is read after the end marker";
    EXPECT_FALSE(link.IsOpen());
}

TEST(Acquisition, ASecondRecordThreeReplacesTheSerialAndAnEndMarkerFirstStillAddsLineThree) {
    auto serialFrame = [](const char* text) {
        GeneratorImage::Params p;
        std::copy(text, text + 10, p.begin());
        return SimulatedConsole::RecordFrame(0x26, 3, p);
    };
    RecordingObserver observer;
    AcquisitionEngine engine(observer);
    Scripted(engine, Join({serialFrame("AAAAAAAAAA"), serialFrame("B123456789"), EndMarker()}));
    ASSERT_EQ(engine.WaitForEnd(5s), AcquisitionOutcome::Completed);
    EXPECT_EQ(engine.Data().m_strSerial, "B123456789");
    EXPECT_EQ(observer.Events("system "), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(observer.Events("status "), kAllStatusLines);
    EXPECT_EQ(engine.CmdCount(), 0);
    // A second diagnosis on the same engine starts from empty tables.
    Scripted(engine, EndMarker());
    ASSERT_EQ(engine.WaitForEnd(5s), AcquisitionOutcome::Completed);
    EXPECT_EQ(engine.Data().m_HtInfo[3].valid, 0);
    EXPECT_EQ(engine.HtCount(), 0);
}

TEST(Acquisition, FailedEnableShowsTheMessageAndFreesTheDevice) {
    RecordingObserver observer;
    AcquisitionEngine engine(observer);
    auto refusing = std::make_unique<ScriptedLink>();
    refusing->FailWrites();
    ScriptedLink& link = Start(engine, std::move(refusing));
    EXPECT_EQ(engine.WaitForEnd(5s), AcquisitionOutcome::EnableFailed);
    EXPECT_EQ(observer.Events(),
              std::vector<std::string>{"message " + std::string(kMsgCannotEnable)});
    EXPECT_FALSE(link.IsOpen());
}

TEST(Acquisition, StalledAndSilentConsolesAreStoppedWithinASecond) {
    for (ConsoleScenario scenario : {ConsoleScenario::Stall, ConsoleScenario::Silent}) {
        RecordingObserver observer;
        AcquisitionEngine engine(observer);
        Start(engine, std::make_unique<SimulatedLink>(scenario, 0));
        if (scenario == ConsoleScenario::Stall) {
            ASSERT_TRUE(Eventually([&] { return engine.HtCount() == 100; }));
        }
        std::this_thread::sleep_for(700ms);  // past the start delay, waiting on the device
        EXPECT_EQ(engine.Outcome(), AcquisitionOutcome::Running);
        const auto start = std::chrono::steady_clock::now();
        engine.Close();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
        EXPECT_EQ(engine.Outcome(), AcquisitionOutcome::Stopped);
    }
}

Bytes EndlessRecords() {
    static std::uint8_t next = 0;
    next = static_cast<std::uint8_t>((next + 1) % 200);
    return Join({Record(0x26, next, next), Record(0x1F, next, next)});
}

TEST(Acquisition, SkipDuringAContinuousStreamLeavesEmptyTables) {
    for (int round = 0; round < 4; ++round) {
        RecordingObserver observer;
        AcquisitionEngine engine(observer);
        ScriptedLink& link =
            Scripted(engine, SimulatedConsole::VersionFrame(GeneratorImage::Build()));
        link.RefillWith(EndlessRecords);
        ASSERT_TRUE(Eventually([&] { return engine.CmdCount() > 10 + 30 * round; }));
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
    }
}

TEST(Acquisition, CloseAndSkipDoNotWaitForAStuckPageCall) {
    // The GUI thread never runs the worker's calls, or only not the end question.
    for (const int round : {0, 1, 2}) {
        RecordingObserver observer(round == 2 ? Answer::StuckAtTheQuestion
                                              : Answer::StuckEverywhere);
        AcquisitionEngine engine(observer);
        Scripted(engine, EndMarker());
        ASSERT_TRUE(Eventually([&] { return !observer.Events(round == 2 ? "ask " : "").empty(); }));
        const auto start = std::chrono::steady_clock::now();
        round == 1 ? engine.Skip() : engine.Close();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    }
}

}  // namespace
}  // namespace vok
