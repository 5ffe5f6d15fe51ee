#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>

#include "link/ConsoleScenario.h"
#include "link/DeviceLink.h"
#include "link/SimulatedConsole.h"

namespace vok {

// The simulated console inside the process (--simulate): the console's
// bytes reach the receive queue at the pace of a serial line of the given
// baud rate (0: at once), measured on the monotonic clock.
class SimulatedLink : public DeviceLink {
public:
    SimulatedLink(ConsoleScenario scenario, int baud);

    Status Open() override;
    Result<std::size_t> ReceiveCount() override;
    Result<std::uint8_t> ReadByte() override;
    Status WritePacket(const CommandPacket& packet) override;
    void Close() override;
    Result<bool> WaitReadable(std::chrono::milliseconds timeout) override;
    std::string Name() const override;

    // What the console saw, for tests.
    std::size_t EchoAnswers() const;
    const GeneratorImage& Image() const { return m_console.Image(); }

private:
    using Clock = std::chrono::steady_clock;

    Status CheckOpen() const;
    // Moves the bytes whose time has come from the console to the queue.
    void Advance(Clock::time_point now);

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    SimulatedConsole m_console;
    Clock::duration m_byteTime;
    Clock::time_point m_lineFree{};  // when the line has sent the last byte
    std::deque<std::uint8_t> m_queue;
    bool m_open = false;
    bool m_closed = false;
};

}  // namespace vok
