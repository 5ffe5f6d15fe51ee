#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "LinkTestSupport.h"
#include "core/Constants.h"
#include "link/AcquisitionEngine.h"
#include "link/SimulatedLink.h"

namespace vok {
namespace {

using namespace std::chrono_literals;
using test::Bytes;
using test::Eventually;
using test::Join;
using test::Record;
using test::RecordingObserver;
using test::ScriptedLink;

// Hands the engine a link the test keeps a pointer to.
template <typename Link>
LinkOpener Hand(std::unique_ptr<Link>& link, Link*& keep) {
    keep = link.get();
    return [&link]() -> Result<std::unique_ptr<DeviceLink>> {
        (void)link->Open();
        return std::unique_ptr<DeviceLink>(std::move(link));
    };
}

// One acquisition from open to end, on a link of the test's choosing.
class Acquisition {
public:
    explicit Acquisition(AcquisitionObserver& observer) : engine(observer) {}

    template <typename Link, typename... Args>
    Link& Start(Args&&... args) {
        auto link = std::make_unique<Link>(std::forward<Args>(args)...);
        Link* keep = nullptr;
        EXPECT_TRUE(engine.OpenDevice(Hand(link, keep)));
        engine.ResetForDiagnosis();
        engine.StartAcquisition();
        return *keep;
    }
    ScriptedLink& Scripted(const Bytes& bytes) { return Start<ScriptedLink>(bytes); }
    SimulatedLink& Simulated(ConsoleScenario scenario) { return Start<SimulatedLink>(scenario, 0); }

    AcquisitionEngine engine;
};

const std::vector<std::string> kAllStatusLines = {
    std::string(kStatusChecking), std::string(kStatusSystemRequest), std::string(kStatusSystemLog),
    std::string(kStatusEnd)};

Bytes EndMarker(std::uint8_t index = 0xFF) {
    return Record(0x1F, index, 0);
}

void ExpectEmpty(const DiagnosisData& data) {
    for (const DiagnosisRecord& r : data.m_HtInfo) {
        ASSERT_EQ(r.valid, 0);
        ASSERT_EQ(r.params, DiagnosisRecord().params);
    }
    for (const DiagnosisRecord& r : data.m_CmdInfo) {
        ASSERT_EQ(r.valid, 0);
        ASSERT_EQ(r.params, DiagnosisRecord().params);
    }
    EXPECT_EQ(data.m_bConsoleVersion, 0);
}

// The tables hold exactly what the console sent, and nothing it did not.
void ExpectTablesMatchConsole(const DiagnosisData& data, ConsoleScenario scenario) {
    const GeneratorImage image = GeneratorImage::Build();
    for (std::size_t k = 0; k < kHtRecordCount; ++k) {
        if (SimulatedConsole::SendsHtRecord(scenario, k)) {
            ASSERT_EQ(data.m_HtInfo[k].valid, 1) << "HT " << k;
            ASSERT_EQ(data.m_HtInfo[k].index, k);
            ASSERT_EQ(data.m_HtInfo[k].params, image.ht[k]) << "HT " << k;
        } else {
            ASSERT_EQ(data.m_HtInfo[k].valid, 0) << "HT " << k;
        }
    }
    for (std::size_t k = 0; k < kCmdRecordCount; ++k) {
        if (SimulatedConsole::SendsCmdRecord(scenario, k)) {
            ASSERT_EQ(data.m_CmdInfo[k].valid, 1) << "CMD " << k;
            ASSERT_EQ(data.m_CmdInfo[k].params, image.cmd[k]) << "CMD " << k;
        } else {
            ASSERT_EQ(data.m_CmdInfo[k].valid, 0) << "CMD " << k;
        }
    }
}

int Sent(ConsoleScenario scenario, std::size_t count, bool (*sends)(ConsoleScenario, std::size_t)) {
    int n = 0;
    for (std::size_t k = 0; k < count; ++k) {
        n += sends(scenario, k) ? 1 : 0;
    }
    return n;
}

TEST(Acquisition, FullPartialAndNoisyConsolesStoreExactlyWhatWasSent) {
    for (ConsoleScenario scenario :
         {ConsoleScenario::Full, ConsoleScenario::Partial, ConsoleScenario::Noisy}) {
        RecordingObserver observer;
        Acquisition run(observer);
        SimulatedLink& link = run.Simulated(scenario);
        ASSERT_EQ(run.engine.WaitForEnd(10s), AcquisitionOutcome::Completed);
        ExpectTablesMatchConsole(run.engine.Data(), scenario);
        EXPECT_EQ(run.engine.HtCount(),
                  Sent(scenario, kHtRecordCount, SimulatedConsole::SendsHtRecord));
        EXPECT_EQ(run.engine.CmdCount(),
                  Sent(scenario, kCmdRecordCount, SimulatedConsole::SendsCmdRecord));
        EXPECT_EQ(observer.StatusLines(), kAllStatusLines);
        EXPECT_GT(link.EchoAnswers(), 0u) << "the console only goes on after each echo answer";
        const auto events = observer.Events();
        ASSERT_GE(events.size(), 3u);
        EXPECT_EQ(events[events.size() - 3], "skip off, next on");
        EXPECT_EQ(events[events.size() - 2], "ask " + std::string(kMsgGoNextQuestion));
        EXPECT_EQ(events.back(), "user page");
        if (scenario == ConsoleScenario::Full) {
            const DiagnosisData data = run.engine.Data();
            EXPECT_EQ(data.m_strSerial, "VK82C10417");
            EXPECT_EQ(data.m_bConsoleVersion, 1);
            const GeneratorImage image = GeneratorImage::Build();
            EXPECT_TRUE(std::equal(image.version.begin(), image.version.end(),
                                   data.m_ConsoleVersion.begin()));
            EXPECT_EQ(run.engine.HtCount(), 213);
            EXPECT_EQ(run.engine.CmdCount(), 226);
            EXPECT_EQ(observer.SystemProgress().back(), 213);
            EXPECT_EQ(observer.LogProgress().back(), 226);
        }
    }
}

TEST(Acquisition, EndMarkerAsFirstLogFrameAddsLineThreeThenFour) {
    RecordingObserver observer(false);
    Acquisition run(observer);
    run.Scripted(Join({Record(0x26, 1, 5), EndMarker()}));
    ASSERT_EQ(run.engine.WaitForEnd(5s), AcquisitionOutcome::Completed);
    EXPECT_EQ(observer.StatusLines(),
              (std::vector<std::string>{std::string(kStatusChecking), std::string(kStatusSystemLog),
                                        std::string(kStatusEnd)}));
    EXPECT_NE(observer.Events().back(), "user page") << "No leaves the user on page 2";
    EXPECT_EQ(run.engine.CmdCount(), 0);
}

TEST(Acquisition, LogIndex225IsStoredAndEveryIndexAbove225Ends) {
    for (int end = 226; end <= 255; end += 29) {
        RecordingObserver observer;
        Acquisition run(observer);
        ScriptedLink& link =
            run.Scripted(Join({Record(0x1F, 225, 9), EndMarker(static_cast<std::uint8_t>(end)),
                               Record(0x1F, 10, 9)}));
        ASSERT_EQ(run.engine.WaitForEnd(5s), AcquisitionOutcome::Completed);
        const DiagnosisData data = run.engine.Data();
        EXPECT_EQ(data.m_CmdInfo[225].valid, 1);
        EXPECT_EQ(data.m_CmdInfo[225].params[0], 9);
        EXPECT_EQ(data.m_CmdInfo[10].valid, 0) << "nothing is read after the end marker";
        EXPECT_EQ(run.engine.CmdCount(), 1);
        EXPECT_FALSE(link.IsOpen());
    }
}

TEST(Acquisition, SystemRecordAbove212IsDroppedAndNotCounted) {
    RecordingObserver observer;
    Acquisition run(observer);
    run.Scripted(
        Join({Record(0x26, 213, 1), Record(0x26, 255, 1), Record(0x26, 212, 2), EndMarker()}));
    ASSERT_EQ(run.engine.WaitForEnd(5s), AcquisitionOutcome::Completed);
    EXPECT_EQ(run.engine.HtCount(), 1);
    EXPECT_EQ(run.engine.Data().m_HtInfo[212].params[0], 2);
    EXPECT_EQ(observer.SystemProgress(), std::vector<int>{1});
}

TEST(Acquisition, SecondRecordThreeReplacesTheSerialAndBothAreCounted) {
    auto serialFrame = [](const char* text) {
        GeneratorImage::Params p;
        std::copy(text, text + 10, p.begin());
        return SimulatedConsole::RecordFrame(0x26, 3, p);
    };
    RecordingObserver observer;
    Acquisition run(observer);
    run.Scripted(Join({serialFrame("AAAAAAAAAA"), serialFrame("B123456789"), EndMarker()}));
    ASSERT_EQ(run.engine.WaitForEnd(5s), AcquisitionOutcome::Completed);
    EXPECT_EQ(run.engine.Data().m_strSerial, "B123456789");
    EXPECT_EQ(run.engine.HtCount(), 2);
    EXPECT_EQ(observer.SystemProgress(), (std::vector<int>{1, 2}));
}

TEST(Acquisition, StartPacketsThenEchoAnswerAndTheEchoChangesNoData) {
    RecordingObserver observer;
    Acquisition run(observer);
    ScriptedLink& link = run.Scripted(Join({SimulatedConsole::EchoFrame(), EndMarker()}));
    ASSERT_EQ(run.engine.WaitForEnd(5s), AcquisitionOutcome::Completed);
    const auto written = link.Written();
    EXPECT_EQ(written,
              (std::vector<CommandPacket>{MakeCommandPacket(0x64), MakeCommandPacket(0x72),
                                          MakeCommandPacket(0x26),
                                          CommandPacket{0x16, 0x02, 0x21, 0x02, 0x65, 0x46}}));
    EXPECT_EQ(run.engine.HtCount(), 0);
    EXPECT_EQ(run.engine.Data().m_bConsoleVersion, 0);
}

TEST(Acquisition, FailedEnableShowsTheMessageAndFreesTheDevice) {
    RecordingObserver observer;
    AcquisitionEngine engine(observer);
    auto owned = std::make_unique<ScriptedLink>();
    owned->FailWrites();
    ScriptedLink* link = nullptr;
    ASSERT_TRUE(engine.OpenDevice(Hand(owned, link)));
    engine.StartAcquisition();
    EXPECT_EQ(engine.WaitForEnd(5s), AcquisitionOutcome::EnableFailed);
    EXPECT_EQ(observer.Events(),
              std::vector<std::string>{"message " + std::string(kMsgCannotEnable)});
    EXPECT_FALSE(link->IsOpen());
}

TEST(Acquisition, StalledAndSilentConsolesAreStoppedWithinASecond) {
    for (ConsoleScenario scenario : {ConsoleScenario::Stall, ConsoleScenario::Silent}) {
        RecordingObserver observer;
        Acquisition run(observer);
        run.Simulated(scenario);
        if (scenario == ConsoleScenario::Stall) {
            ASSERT_TRUE(Eventually([&] { return run.engine.HtCount() == 100; }));
        }
        std::this_thread::sleep_for(700ms);  // past the start delay, waiting on the device
        EXPECT_EQ(run.engine.Outcome(), AcquisitionOutcome::Running);
        const auto start = std::chrono::steady_clock::now();
        run.engine.Close();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
        EXPECT_EQ(run.engine.Outcome(), AcquisitionOutcome::Stopped);
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
        Acquisition run(observer);
        ScriptedLink& link = run.Scripted(SimulatedConsole::VersionFrame(GeneratorImage::Build()));
        link.RefillWith(EndlessRecords);
        ASSERT_TRUE(Eventually([&] { return run.engine.CmdCount() > 10 + 30 * round; }));
        run.engine.Skip();
        ExpectEmpty(run.engine.Data());
        EXPECT_FALSE(link.IsOpen());
        EXPECT_EQ(run.engine.Outcome(), AcquisitionOutcome::Stopped);
    }
}

TEST(Acquisition, CloseAndSkipDoNotWaitForAStuckPageCall) {
    // The GUI thread never runs the worker's calls, or only not the end question.
    for (const int round : {0, 1, 2}) {
        const bool skip = round == 1;
        test::StuckObserver observer(round == 2);
        Acquisition run(observer);
        if (round == 2) {
            run.Scripted(EndMarker());
        } else {
            run.Simulated(ConsoleScenario::Full);
        }
        ASSERT_TRUE(Eventually([&] { return observer.Entered(); }));
        const auto start = std::chrono::steady_clock::now();
        if (skip) {
            run.engine.Skip();
            ExpectEmpty(run.engine.Data());
        } else {
            run.engine.Close();
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    }
}

TEST(Acquisition, DeviceLostMidAcquisitionEndsQuietlyWithItsReason) {
    RecordingObserver observer;
    Acquisition run(observer);
    ScriptedLink& link = run.Scripted(Join({Record(0x26, 0, 0), Record(0x26, 1, 0)}));
    link.LoseDeviceWhenDrained();
    ASSERT_EQ(run.engine.WaitForEnd(5s), AcquisitionOutcome::DeviceLost);
    EXPECT_EQ(run.engine.LostReason(), "cable pulled");
    EXPECT_EQ(observer.Events().back(), "lost cable pulled");
    EXPECT_EQ(run.engine.HtCount(), 2) << "what arrived before stays";
    EXPECT_FALSE(link.IsOpen());
}

TEST(Acquisition, ASecondDiagnosisClearsTheFirstButKeepsTheWindow) {
    RecordingObserver observer;
    Acquisition run(observer);
    run.Scripted(Join({Record(0x26, 5, 5), EndMarker()}));
    ASSERT_EQ(run.engine.WaitForEnd(5s), AcquisitionOutcome::Completed);
    run.Scripted(EndMarker());
    ASSERT_EQ(run.engine.WaitForEnd(5s), AcquisitionOutcome::Completed);
    EXPECT_EQ(run.engine.Data().m_HtInfo[5].valid, 0);
    EXPECT_EQ(run.engine.HtCount(), 0);
}

}  // namespace
}  // namespace vok
