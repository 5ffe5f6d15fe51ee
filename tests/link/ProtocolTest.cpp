#include <gtest/gtest.h>

#include <stop_token>

#include "LinkTestSupport.h"
#include "link/FrameReceiver.h"
#include "link/ReceiveWindow.h"

namespace vok {
namespace {

using namespace vok::test;

struct Received {
    std::uint8_t command;
    ReceiveWindow window;  // its newest byte is the last one the frame took
};

// Runs the reception steps over the bytes until they are used up, which
// must end as a lost device.
std::vector<Received> ReceiveAll(const Bytes& bytes) {
    ScriptedLink link(bytes);
    (void)link.Open();
    link.LoseDeviceWhenDrained();
    ReceiveWindow window;
    FrameReceiver receiver(link, window, std::stop_token{});
    std::vector<Received> frames;
    for (;;) {
        const FrameReceiver::Step step = receiver.Next();
        if (step.event == FrameReceiver::Event::Frame) {
            frames.push_back({step.command, window});
        } else if (step.event != FrameReceiver::Event::None) {
            EXPECT_EQ(step.event, FrameReceiver::Event::Lost);
            EXPECT_EQ(step.reason, "cable pulled");
            return frames;
        }
    }
}

// A frame cut short by a lost device at the end is dropped.
TEST(FrameReception, EachFrameTakesExactlyItsLengthAndNothingElseStartsOne) {
    const Bytes garbage = {0x00, 0xFF, 0x16, 0x17, 0x02, 0x55, 0x16, 0x16, 0x03};
    // Length 5: four more bytes after the header. Length 0: none.
    const Bytes other = {0x16, 0x02, 0x00, 0x05, 0x40, 0x31, 0x32, 0x33, 0x34};
    const Bytes lengthZero = {0x16, 0x02, 0x00, 0x00, 0x41};
    // Longer than the window: the command is taken before the body pushes it out.
    Bytes longFrame = {0x16, 0x02, 0x00, 40, 0x26};
    for (int n = 0; n < 39; ++n) {
        longFrame.push_back(static_cast<std::uint8_t>(0x80 + n));
    }
    GeneratorImage::Params headers = {0x16, 0x02, 0x12, 0x0D, 0x26, 0x16, 0x02, 0, 0, 0};
    const Bytes cut = {0x16, 0x02, 0x12, 0x0D, 0x26, 0x01, 0x02};
    const auto frames = ReceiveAll(
        Join({garbage, Record(0x26, 7, 0xAA), other, lengthZero, longFrame,
              SimulatedConsole::RecordFrame(0x1F, 3, headers), Record(0x26, 4, 0), cut}));
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_EQ(frames[0].command, 0x26);
    EXPECT_EQ(frames[0].window.RecordIndex(), 7);
    EXPECT_EQ(frames[0].window.RecordParam(9), 0xAA);
    EXPECT_EQ(frames[1].command, 0x40);
    EXPECT_EQ(frames[1].window.At(31), 0x34);
    EXPECT_EQ(frames[2].command, 0x41);
    EXPECT_EQ(frames[2].window.At(31), 0x41);
    EXPECT_EQ(frames[3].command, 0x26);
    EXPECT_EQ(frames[3].window.At(31), 0x80 + 38);
    EXPECT_EQ(frames[4].command, 0x1F);
    EXPECT_EQ(frames[4].window.RecordIndex(), 3);
    EXPECT_EQ(frames[4].window.RecordParam(0), 0x16);
    EXPECT_EQ(frames[5].window.RecordIndex(), 4);
}

// A header is looked for only in bytes that arrived after the last frame: a
// record whose P08 and P09 are 0x16 0x02 (AEC density +4 followed by APR
// program 2 in an error entry; the same bytes in a protocol record) once made
// a false header with the next frame's first byte, whose length was the old
// check byte, and the real frames behind it were swallowed.
TEST(FrameReception, AHeaderIsNeverMadeOfBytesOfAFrameAlreadyHandled) {
    const auto withHeaderTail = [](std::uint8_t command, std::uint8_t index, std::uint8_t p10) {
        GeneratorImage::Params params = {0x01, 0x20, 0x05, 0x11, 0x00, 0x03, 0x00, 0x16, 0x02, p10};
        return SimulatedConsole::RecordFrame(command, index, params);
    };
    // Only the last byte is old: 0x16 as the check byte, then 0x02 and a
    // third, length and command byte that never were a frame's header.
    Bytes lastByteOld = Record(0x26, 9, 0);
    lastByteOld.back() = 0x16;
    struct Case {
        const char* name;
        Bytes stream;
        std::vector<std::pair<int, int>> frames;  // command, record index
    };
    const Case cases[] = {
        {"error entry: AEC density +4, then APR program 2",
         Join({withHeaderTail(0x26, 114, 0x30), Record(0x26, 115, 1), Record(0x26, 116, 2),
               Record(0x26, 117, 3), Record(0x26, 118, 4)}),
         {{0x26, 114}, {0x26, 115}, {0x26, 116}, {0x26, 117}, {0x26, 118}}},
        {"protocol record with 0x16 0x02",
         Join({withHeaderTail(0x1F, 40, 0x61), Record(0x1F, 41, 1), Record(0x1F, 42, 2),
               Record(0x1F, 43, 3)}),
         {{0x1F, 40}, {0x1F, 41}, {0x1F, 42}, {0x1F, 43}}},
        // Once a false frame of command 0x16 and length 3 - 1 was taken here;
        // the real frame behind it survived only because its own header
        // bytes were read again.
        {"short false frame",
         Join({[&] {
                   Bytes first = withHeaderTail(0x26, 1, 0x07);
                   first.back() = 0x03;
                   return first;
               }(),
               Record(0x26, 2, 0)}),
         {{0x26, 1}, {0x26, 2}}},
        {"header of the old check byte and new bytes",
         Join({lastByteOld, Bytes{0x02, 0x12, 0x05, 0x40, 0x00}, Record(0x26, 10, 0)}),
         {{0x26, 9}, {0x26, 10}}},
        // Unchanged: a header wholly after the frame is one, however close.
        {"header right after a frame",
         Join({Record(0x26, 5, 0x16), Bytes{0x16, 0x02, 0x12, 0x02, 0x40, 0x52},
               Record(0x26, 6, 0x02)}),
         {{0x26, 5}, {0x40, 0}, {0x26, 6}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto frames = ReceiveAll(c.stream);
        std::vector<std::pair<int, int>> got;
        for (const Received& frame : frames) {
            const bool record = frame.command == 0x26 || frame.command == 0x1F;
            got.emplace_back(frame.command, record ? frame.window.RecordIndex() : 0);
        }
        EXPECT_EQ(got, c.frames);
    }
}

}  // namespace
}  // namespace vok
