// Frame reception and the acquisition worker over scripted and simulated links.
#include <gtest/gtest.h>

#include <memory>
#include <stop_token>
#include <utility>

#include "LinkTestSupport.h"
#include "link/AcquisitionEngine.h"
#include "link/AcquisitionTexts.h"
#include "link/FrameReceiver.h"
#include "link/SimulatedLink.h"

namespace vok {
namespace {

using namespace std::chrono_literals;
using namespace vok::test;

// No console here needs the half second before the records are asked for.
constexpr std::chrono::milliseconds kNoDelay{0};

using Frames = std::vector<std::pair<int, int>>;  // command, record index or newest byte

// Runs the reception steps over the bytes until they are used up, which
// must end as a lost device.
Frames ReceiveAll(const Bytes& bytes) {
    ScriptedLink link(bytes);
    (void)link.Open();
    link.loseWhenDrained = true;
    ReceiveWindow window;
    FrameReceiver receiver(link, window, std::stop_token{});
    Frames frames;
    for (;;) {
        const FrameReceiver::Step step = receiver.Next();
        if (step.event == FrameReceiver::Event::Frame) {
            const bool record = step.command == 0x26 || step.command == 0x1F;
            frames.emplace_back(step.command, record ? window.RecordIndex() : window.At(31));
        } else if (step.event != FrameReceiver::Event::None) {
            EXPECT_EQ(step.event, FrameReceiver::Event::Lost);
            return frames;
        }
    }
}

// Each frame takes exactly its length and nothing else starts one. A header
// is looked for only in bytes that arrived after the last frame: a record
// ending in 0x16 0x02 (AEC density +4, then APR program 2 in an error entry)
// once made a false header with the next frame's first byte, whose length was
// the old check byte, and swallowed the real frames behind it.
TEST(FrameReception, FramesTakeTheirLengthAndHeadersComeOnlyFromNewBytes) {
    const auto withHeaderTail = [](std::uint8_t command, std::uint8_t index, std::uint8_t p10) {
        GeneratorImage::Params params = {0x01, 0x20, 0x05, 0x11, 0x00, 0x03, 0x00, 0x16, 0x02, p10};
        return SimulatedConsole::RecordFrame(command, index, params);
    };
    const GeneratorImage::Params headers = {0x16, 0x02, 0x12, 0x0D, 0x26, 0x16, 0x02, 0, 0, 0};
    // Only the last byte is old: 0x16 as the check byte, then 0x02 and a
    // third, length and command byte that never were a frame's header.
    Bytes lastByteOld = Record(0x26, 9, 0);
    lastByteOld.back() = 0x16;
    // Once a false frame of command 0x16 and length 3 - 1 was taken here.
    Bytes shortFalse = withHeaderTail(0x26, 1, 0x07);
    shortFalse.back() = 0x03;
    struct Case {
        const char* name;
        Bytes stream;  // a frame cut short by the lost device at the end is dropped
        Frames frames;
    };
    const Case cases[] = {
        {"lengths 17, 5, 0 and one past the window; garbage; header bytes as data",
         Join({{0x00, 0xFF, 0x16, 0x17, 0x02, 0x55, 0x16, 0x16, 0x03},
               Record(0x26, 7, 0xAA),
               {0x16, 0x02, 0x00, 0x05, 0x40, 0x31, 0x32, 0x33, 0x34},
               {0x16, 0x02, 0x00, 0x00, 0x41},
               {0x16, 0x02, 0x00, 40, 0x42},
               Bytes(38, 0x80),
               {0x81},
               SimulatedConsole::RecordFrame(0x1F, 3, headers),
               Record(0x26, 4, 0),
               {0x16, 0x02, 0x12, 0x0D, 0x26, 0x01, 0x02}}),
         {{0x26, 7}, {0x40, 0x34}, {0x41, 0x41}, {0x42, 0x81}, {0x1F, 3}, {0x26, 4}}},
        {"error entry: AEC density +4, then APR program 2",
         Join({withHeaderTail(0x26, 114, 0x30), Record(0x26, 115, 1), Record(0x26, 116, 2),
               Record(0x26, 117, 3), Record(0x26, 118, 4)}),
         {{0x26, 114}, {0x26, 115}, {0x26, 116}, {0x26, 117}, {0x26, 118}}},
        {"protocol record with 0x16 0x02",
         Join({withHeaderTail(0x1F, 40, 0x61), Record(0x1F, 41, 1), Record(0x1F, 42, 2),
               Record(0x1F, 43, 3)}),
         {{0x1F, 40}, {0x1F, 41}, {0x1F, 42}, {0x1F, 43}}},
        {"short false frame", Join({shortFalse, Record(0x26, 2, 0)}), {{0x26, 1}, {0x26, 2}}},
        {"header of the old check byte and new bytes",
         Join({lastByteOld, Bytes{0x02, 0x12, 0x05, 0x40, 0x00}, Record(0x26, 10, 0)}),
         {{0x26, 9}, {0x26, 10}}},
        {"a header wholly after a frame, however close",
         Join({Record(0x26, 5, 0x16), Bytes{0x16, 0x02, 0x12, 0x02, 0x40, 0x52},
               Record(0x26, 6, 0x02)}),
         {{0x26, 5}, {0x40, 0x52}, {0x26, 6}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReceiveAll(c.stream), c.frames);
    }
}

// Starts an acquisition on `link`, which the engine owns; the test keeps a reference.
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
// nothing it did not.
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
        const auto expect = [scenario](const auto& table, const auto& sent, auto sends) {
            for (std::size_t k = 0; k < table.size(); ++k) {
                ASSERT_EQ(table[k].valid, sends(scenario, k) ? 1 : 0) << k;
                ASSERT_TRUE(!table[k].valid || (table[k].index == k && table[k].params == sent[k]))
                    << k;
            }
        };
        expect(data.m_HtInfo, image.ht, SimulatedConsole::SendsHtRecord);
        expect(data.m_CmdInfo, image.cmd, SimulatedConsole::SendsCmdRecord);
        EXPECT_EQ(data.m_bConsoleVersion, 1);
        EXPECT_TRUE(
            std::equal(image.version.begin(), image.version.end(), data.m_ConsoleVersion.begin()));
        const std::string_view lines[] = {kStatusChecking, kStatusSystemRequest, kStatusSystemLog,
                                          kStatusEnd};
        EXPECT_TRUE(std::ranges::equal(observer.Events("status "), lines));
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
    EXPECT_EQ(link.Written().back(), MakeCommandPacket(kCmdEcho)) << "the echo is answered";
    const DiagnosisData data = engine.Data();
    EXPECT_EQ(data.m_bConsoleVersion, 0) << "the echo changes no data";
    EXPECT_EQ(engine.HtCount(), 1);
    EXPECT_EQ(data.m_HtInfo[212].params[0], 2);
    EXPECT_EQ(data.m_CmdInfo[225].params[0], 9);
    EXPECT_EQ(data.m_CmdInfo[10].valid, 0) << "nothing is read after the end marker";
    EXPECT_FALSE(link.IsOpen());
}

TEST(AcquisitionEngine, ARefusedEnableEndsTheRunAndFreesTheDevice) {
    RecordingObserver observer;
    AcquisitionEngine engine(observer, kNoDelay);
    ScriptedLink& link =
        Start(engine, std::make_unique<ScriptedLink>(Bytes{}, ScriptedLink::Writes::Refuse));
    EXPECT_EQ(engine.WaitForEnd(5s), AcquisitionOutcome::EnableFailed);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(observer.Events(), std::vector<std::string>{"finished enable failed"});
}

// Close returns within a second wherever the worker is: before its first
// packet, inside the enable packet's write (which then fails: the run was
// stopped, the device is not unusable), in the pause before the records are
// asked for, waiting for a byte, or waiting inside a frame.
TEST(AcquisitionEngine, CloseReturnsWithinASecondAndEndsTheRunAsStopped) {
    struct Case {
        std::chrono::milliseconds startDelay;
        ScriptedLink::Writes writes;
        int packetsFirst;  // at least this many packets tried before the close
        int recordsFirst;  // records received before the close
    };
    const auto take = ScriptedLink::Writes::Take;
    for (const Case& c :
         {Case{kNoDelay, take, 0, 0}, Case{kNoDelay, ScriptedLink::Writes::Hang, 1, 0},
          Case{24h, take, 2, 0}, Case{kNoDelay, take, 3, 0}, Case{kNoDelay, take, 3, 100}}) {
        SCOPED_TRACE(testing::Message() << c.packetsFirst << " packets, " << c.recordsFirst);
        RecordingObserver observer;
        AcquisitionEngine engine(observer, c.startDelay);
        // The records, then a frame that never ends.
        Bytes bytes;
        for (int n = 0; n < c.recordsFirst; ++n) {
            bytes = Join({bytes, Record(0x26, static_cast<std::uint8_t>(n), 1)});
        }
        const Bytes cut = Record(0x26, 200, 1);
        bytes.insert(bytes.end(), cut.begin(), cut.begin() + (c.recordsFirst > 0 ? 12 : 0));
        ScriptedLink& link = Start(engine, std::make_unique<ScriptedLink>(bytes, c.writes));
        ASSERT_TRUE(Eventually([&] {
            return link.WritesTried() >= c.packetsFirst && engine.HtCount() == c.recordsFirst;
        }));
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
    Start(engine, std::move(stream));
    ASSERT_TRUE(Eventually([&] { return engine.CmdCount() > 40; }));
    engine.Skip();
    const DiagnosisData data = engine.Data();
    const auto empty = [](const DiagnosisRecord& r) {
        return r.valid == 0 && r.params == DiagnosisRecord().params;
    };
    EXPECT_TRUE(std::ranges::all_of(data.m_HtInfo, empty) &&
                std::ranges::all_of(data.m_CmdInfo, empty));
    EXPECT_EQ(data.m_bConsoleVersion, 0);
    EXPECT_EQ(observer.Events().back(), "finished stopped");
}

}  // namespace
}  // namespace vok
