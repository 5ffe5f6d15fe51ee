#include "link/SimulatedLink.h"

#include <algorithm>

#include "link/LinkTiming.h"

namespace vok {

SimulatedLink::SimulatedLink(ConsoleScenario scenario, int baud)
    : m_console(scenario),
      m_byteTime(baud > 0 ? std::chrono::duration_cast<Clock::duration>(
                                std::chrono::duration<double>(double(kBitsPerSerialByte) / baud))
                          : Clock::duration::zero()) {}

std::string SimulatedLink::Name() const {
    return "simulated console (" + std::string(ScenarioName(m_console.Scenario())) + ")";
}

Status SimulatedLink::Open() {
    std::lock_guard lock(m_mutex);
    m_open = true;
    m_closed = false;
    m_queue.clear();
    return Done{};
}

void SimulatedLink::Close() {
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_queue.clear();
    }
    m_changed.notify_all();
}

Status SimulatedLink::CheckOpen() const {
    if (!m_open || m_closed) {
        return Error{Name() + " is closed"};
    }
    return Done{};
}

std::size_t SimulatedLink::EchoAnswers() const {
    std::lock_guard lock(m_mutex);
    return m_console.EchoAnswers();
}

void SimulatedLink::Advance(Clock::time_point now) {
    while (m_console.HasOutput()) {
        const Clock::time_point arrives = m_lineFree + m_byteTime;
        if (arrives > now) {
            return;
        }
        m_queue.push_back(m_console.TakeByte());
        m_lineFree = arrives;
    }
    // An idle line starts its next byte when there is one, not back in time.
    m_lineFree = std::max(m_lineFree, now);
}

Result<std::size_t> SimulatedLink::ReceiveCount() {
    std::lock_guard lock(m_mutex);
    if (Status open = CheckOpen(); !open) {
        return Error{open.error()};
    }
    Advance(Clock::now());
    return m_queue.size();
}

Result<std::uint8_t> SimulatedLink::ReadByte() {
    std::lock_guard lock(m_mutex);
    if (Status open = CheckOpen(); !open) {
        return Error{open.error()};
    }
    if (m_queue.empty()) {
        Advance(Clock::now());
    }
    if (m_queue.empty()) {
        return Error{"no byte waiting on " + Name()};
    }
    const std::uint8_t byte = m_queue.front();
    m_queue.pop_front();
    return byte;
}

Status SimulatedLink::WritePacket(const CommandPacket& packet) {
    std::lock_guard lock(m_mutex);
    if (Status open = CheckOpen(); !open) {
        return open;
    }
    Advance(Clock::now());
    for (const std::uint8_t byte : packet) {
        m_console.Receive(byte);
    }
    return Done{};
}

Result<bool> SimulatedLink::WaitReadable(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        if (Status open = CheckOpen(); !open) {
            return Error{open.error()};
        }
        const Clock::time_point now = Clock::now();
        Advance(now);
        if (!m_queue.empty()) {
            return true;
        }
        if (now >= deadline) {
            return false;
        }
        // Bytes are delivered in slices, as a USB bridge does, so a fast
        // line does not wake the worker for every single byte.
        const Clock::time_point wake =
            m_console.HasOutput()
                ? std::min(deadline, std::max(m_lineFree + m_byteTime, now + kConsoleWriteSlice))
                : deadline;
        m_changed.wait_until(lock, wake);
    }
}

}  // namespace vok
