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

TEST(FrameReception, TailOfTheFrameBeforeCanFormAFalseHeader) {
    // P08 0x16 and P09 0x02 reach positions 27 and 28 with the next byte:
    // the header test fires on the next frame's first byte, which is taken
    // as command, with the old frame's last byte (here 3) as length, so two
    // more bytes go into that false frame. The real header bytes are still
    // in the window and are found again when the real command byte arrives.
    GeneratorImage::Params params = {0, 0, 0, 0, 0, 0, 0, 0x16, 0x02, 0x07};
    Bytes first = SimulatedConsole::RecordFrame(0x26, 1, params);
    first.back() = 0x03;
    const auto frames = ReceiveAll(Join({first, Record(0x26, 2, 0)}));
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].window.RecordIndex(), 1);
    EXPECT_EQ(frames[1].command, 0x16);
    EXPECT_EQ(frames[1].window.At(31), 0x12) << "the next frame's third byte";
    EXPECT_EQ(frames[2].command, 0x26);
    EXPECT_EQ(frames[2].window.RecordIndex(), 2);
}

}  // namespace
}  // namespace vok
