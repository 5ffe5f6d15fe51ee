#include "link/FrameReceiver.h"

#include <algorithm>
#include <utility>

#include "link/LinkTiming.h"

namespace vok {

FrameReceiver::FrameReceiver(DeviceLink& link, ReceiveWindow& window, std::stop_token stop)
    : m_link(link), m_window(window), m_stop(std::move(stop)) {}

FrameReceiver::Step FrameReceiver::Failed(const std::string& reason) const {
    // Closing the link is how Skip and close stop the worker: what fails
    // after a stop request is that stop, not a lost device.
    if (m_stop.stop_requested()) {
        return {Event::Stopped, 0, {}};
    }
    return {Event::Lost, 0, reason};
}

FrameReceiver::Step FrameReceiver::Available(std::size_t& count) {
    count = 0;
    if (m_stop.stop_requested()) {
        return {Event::Stopped, 0, {}};
    }
    const Result<std::size_t> queued = m_link.ReceiveCount();
    if (!queued) {
        return Failed(queued.error());
    }
    count = *queued;
    if (count == 0) {
        const Result<bool> ready = m_link.WaitReadable(kLinkWaitSlice);
        if (!ready) {
            return Failed(ready.error());
        }
    }
    return {};
}

FrameReceiver::Step FrameReceiver::Next() {
    std::size_t count = 0;
    if (Step waited = Available(count); waited.event != Event::None || count == 0) {
        return waited;
    }
    const Result<std::uint8_t> byte = m_link.ReadByte();
    // A failed read still moves the window, like every read; the frame test
    // is skipped for it and the next step finds out whether the device went.
    m_window.Push(byte ? *byte : 0);
    if (!byte || !m_window.IsFrameHeader()) {
        return {};
    }
    const std::uint8_t command = m_window.GetFrameCommand();
    Step rest = ReadRest(m_window.GetFrameLength());
    if (rest.event != Event::None) {
        return rest;
    }
    m_window.EndFrame();
    return {Event::Frame, command, {}};
}

// The rest of a frame goes into the window without header tests, so a 0x16
// 0x02 inside a body never starts a frame of its own.
FrameReceiver::Step FrameReceiver::ReadRest(int remaining) {
    while (remaining > 0) {
        std::size_t count = 0;
        if (Step waited = Available(count); waited.event != Event::None) {
            return waited;
        }
        const std::size_t now = std::min(count, static_cast<std::size_t>(remaining));
        for (std::size_t n = 0; n < now; ++n) {
            const Result<std::uint8_t> byte = m_link.ReadByte();
            if (!byte) {
                // A frame with a hole would store wrong values: the frame
                // is dropped and the device taken for gone.
                return Failed(byte.error());
            }
            m_window.Push(*byte);
        }
        remaining -= static_cast<int>(now);
    }
    return {};
}

}  // namespace vok
