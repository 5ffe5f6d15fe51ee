#pragma once

#include <array>
#include <atomic>
#include <mutex>
#include <string>

#include "link/DeviceLink.h"
#include "link/LinkTiming.h"

namespace vok {

// A serial device or pseudo-terminal (/dev/ttyUSB0, the path vok console
// prints), opened raw at 9600 baud 8N1 without flow control and held
// exclusively. Bytes are fetched from the kernel in chunks into a small
// buffer and handed out one at a time, so testing each byte costs no system
// call; the receive count is that buffer plus FIONREAD.
class SerialLink : public DeviceLink {
public:
    explicit SerialLink(std::string path);
    ~SerialLink() override;
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    Status Open() override;
    Result<std::size_t> ReceiveCount() override;
    Result<std::uint8_t> ReadByte() override;
    Status WritePacket(const CommandPacket& packet) override;
    void Close() override;
    Result<bool> WaitReadable(std::chrono::milliseconds timeout) override;
    std::string Name() const override { return m_path; }

private:
    Status CheckOpen() const;
    Result<bool> Fill(std::chrono::milliseconds timeout);
    std::string Gone(const std::string& how) const;
    std::size_t Buffered() const { return m_tail - m_head; }

    std::string m_path;
    mutable std::mutex m_mutex;  // the descriptor and the buffer
    int m_fd = -1;
    const int m_wakeFd;  // Close() wakes a waiting worker through it
    std::atomic<bool> m_closing{false};
    std::array<std::uint8_t, kLinkReadChunk> m_buffer{};
    std::size_t m_head = 0;
    std::size_t m_tail = 0;
};

}  // namespace vok
