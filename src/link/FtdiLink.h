#pragma once

#include <atomic>
#include <deque>
#include <mutex>
#include <string>

#include "link/DeviceLink.h"

struct ftdi_context;

namespace vok {

// The first FTDI device on the USB bus through libftdi1, on the device's
// default settings. What the chip delivers is pulled into the link's own
// buffer; the receive count is that buffer. Each pull waits at most one
// wait slice (the chip answers within its latency timer when it has nothing).
class FtdiLink : public DeviceLink {
public:
    // The FTDI devices the default link looks for (vendor 0403).
    static bool IsDefaultProduct(int vendor, int product);
    // What grants a user the USB device, for every message about a refused one.
    static std::string PermissionHint();

    FtdiLink();
    ~FtdiLink() override;
    FtdiLink(const FtdiLink&) = delete;
    FtdiLink& operator=(const FtdiLink&) = delete;

    Status Open() override;
    Result<std::size_t> ReceiveCount() override;
    Result<std::uint8_t> ReadByte() override;
    Status WritePacket(const CommandPacket& packet) override;
    void Close() override;
    Result<bool> WaitReadable(std::chrono::milliseconds timeout) override;
    std::string Name() const override;

private:
    Status CheckOpen() const;
    // One transfer from the chip into the buffer; false when nothing came.
    Result<bool> Pull();
    void Release();

    mutable std::mutex m_mutex;
    ftdi_context* m_ftdi = nullptr;
    std::atomic<bool> m_closing{false};
    std::deque<std::uint8_t> m_buffer;
    std::string m_name = "FTDI device";
};

}  // namespace vok
