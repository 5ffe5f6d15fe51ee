#pragma once

#include <cstdint>
#include <stop_token>
#include <string>

#include "link/DeviceLink.h"
#include "link/ReceiveWindow.h"

namespace vok {

// The reception steps: read one byte, test the window for a header, read the
// rest of the frame, hand back its command byte. Every wait is bounded by the
// link's wait slice and rechecks the stop request, so a console that stops in the
// middle of a frame never holds up Skip or close; a device that fails ends
// reception instead of being read as a stream of nothing.
class FrameReceiver {
public:
    enum class Event {
        None,     // no frame completed in this step
        Frame,    // a frame is complete in the window; `command` says which
        Stopped,  // a stop was requested
        Lost,     // the device failed; `reason` says how
    };
    struct Step {
        Event event = Event::None;
        std::uint8_t command = 0;
        std::string reason;
    };

    FrameReceiver(DeviceLink& link, ReceiveWindow& window, std::stop_token stop);

    // One pass of the acquisition loop: waits at most one slice for a byte.
    Step Next();

private:
    // Bytes ready to read now, after waiting at most one slice when there
    // were none; a Stopped or Lost step when reception must end.
    Step Available(std::size_t& count);
    Step ReadRest(int remaining);
    Step Failed(const std::string& reason) const;

    DeviceLink& m_link;
    ReceiveWindow& m_window;
    std::stop_token m_stop;
};

}  // namespace vok
