#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/Result.h"
#include "link/CommandPacket.h"

namespace vok {

// The link to the generator's console: open, receive count, read one byte,
// write one command packet, close, and a bounded wait for data so that the
// acquisition never spins.
//
// Thread rules every backend keeps: Open runs before the worker starts; the
// worker makes every other call; Close may come from any thread at any time,
// also while the worker waits. After Close every call fails (never touching a
// released handle) and a second Close does nothing. A wait never lasts longer
// than the timeout given, so the caller can recheck its stop flag.
class DeviceLink {
public:
    virtual ~DeviceLink() = default;

    // Fails with a reason fit to show after the cable message: no device,
    // permission denied (with the hint that fixes it), device busy, path missing.
    virtual Status Open() = 0;

    // Bytes a read can take without waiting. Fails when the device is gone
    // or the link is closed.
    virtual Result<std::size_t> ReceiveCount() = 0;

    // One byte; fails when none is queued, the device is gone or the link is closed.
    virtual Result<std::uint8_t> ReadByte() = 0;

    // Hands the packet to the device; fails when it cannot be written whole.
    virtual Status WritePacket(const CommandPacket& packet) = 0;

    virtual void Close() = 0;

    // True as soon as a byte can be read, false when the timeout passed first;
    // fails when the device is gone or the link is closed.
    virtual Result<bool> WaitReadable(std::chrono::milliseconds timeout) = 0;

    // Which device this is, for messages ("/dev/ttyUSB0", "FTDI device 0403:6001").
    virtual std::string Name() const = 0;
};

// Builds and opens a link; the error is the link's own reason. The engine
// takes one of these, so tests can hand it any link.
using LinkOpener = std::function<Result<std::unique_ptr<DeviceLink>>()>;

}  // namespace vok
