#include <gtest/gtest.h>

#include <stop_token>

#include "LinkTestSupport.h"
#include "link/FrameReceiver.h"
#include "link/ReceiveWindow.h"

namespace vok {
namespace {

using namespace vok::test;

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
            EXPECT_EQ(step.reason, "cable pulled");
            return frames;
        }
    }
}

// Each frame takes exactly its length and nothing else starts one. A header
// is looked for only in bytes that arrived after the last frame: a record
// whose P08 and P09 are 0x16 0x02 (AEC density +4 followed by APR program 2 in
// an error entry; the same bytes in a protocol record) once made a false
// header with the next frame's first byte, whose length was the old check
// byte, and the real frames behind it were swallowed.
TEST(FrameReception, FramesTakeTheirLengthAndHeadersComeOnlyFromNewBytes) {
    // Length 5: four more bytes after the header. Length 0: none. Longer than
    // the window: the command is taken before the body pushes it out.
    Bytes longFrame = {0x16, 0x02, 0x00, 40, 0x42};
    for (int n = 0; n < 39; ++n) {
        longFrame.push_back(static_cast<std::uint8_t>(0x80 + n));
    }
    const auto withHeaderTail = [](std::uint8_t command, std::uint8_t index, std::uint8_t p10) {
        GeneratorImage::Params params = {0x01, 0x20, 0x05, 0x11, 0x00, 0x03, 0x00, 0x16, 0x02, p10};
        return SimulatedConsole::RecordFrame(command, index, params);
    };
    // Header bytes inside a record are data.
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
        {"lengths and garbage",
         Join({{0x00, 0xFF, 0x16, 0x17, 0x02, 0x55, 0x16, 0x16, 0x03},
               Record(0x26, 7, 0xAA),
               {0x16, 0x02, 0x00, 0x05, 0x40, 0x31, 0x32, 0x33, 0x34},
               {0x16, 0x02, 0x00, 0x00, 0x41},
               longFrame,
               SimulatedConsole::RecordFrame(0x1F, 3, headers),
               Record(0x26, 4, 0),
               {0x16, 0x02, 0x12, 0x0D, 0x26, 0x01, 0x02}}),
         {{0x26, 7}, {0x40, 0x34}, {0x41, 0x41}, {0x42, 0x80 + 38}, {0x1F, 3}, {0x26, 4}}},
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
        // A header wholly after the frame is one, however close.
        {"header right after a frame",
         Join({Record(0x26, 5, 0x16), Bytes{0x16, 0x02, 0x12, 0x02, 0x40, 0x52},
               Record(0x26, 6, 0x02)}),
         {{0x26, 5}, {0x40, 0x52}, {0x26, 6}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReceiveAll(c.stream), c.frames);
    }
}

}  // namespace
}  // namespace vok
