// Any byte stream from a console: the receiver must cut it into frames
// without crashing, reading outside its window or waiting for ever, and
// must report the device gone once the stream ends.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stop_token>

#include "../tests/link/LinkTestSupport.h"
#include "link/FrameReceiver.h"
#include "link/ReceiveWindow.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vok::test::ScriptedLink link(vok::test::Bytes(data, data + size));
    link.loseWhenDrained = true;
    if (!link.Open()) {
        std::abort();
    }
    vok::ReceiveWindow window;
    vok::FrameReceiver receiver(link, window, std::stop_token{});

    // Every step takes at least one byte or ends reception, so this bounds
    // the loop; more steps than that would mean the receiver is stuck.
    for (std::size_t steps = 0; steps <= size + 1; ++steps) {
        const vok::FrameReceiver::Step step = receiver.Next();
        if (step.event == vok::FrameReceiver::Event::Lost) {
            return 0;
        }
        if (step.event == vok::FrameReceiver::Event::Stopped) {
            std::abort();
        }
        if (step.event == vok::FrameReceiver::Event::Frame) {
            volatile std::uint32_t sink = step.command + window.RecordIndex();
            for (std::size_t n = 0; n < vok::kParamCount; ++n) {
                sink = sink + window.RecordParam(n);
            }
            for (std::size_t n = 0; n < vok::kConsoleVersionFrameBytes; ++n) {
                sink = sink + window.VersionByte(n);
            }
        }
    }
    std::abort();
}
