#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/ConsoleScenario.h"

namespace vok::test {

// The USB bus behind the libftdi double (FakeLibftdi.cpp): FT232Rs with the
// simulated console behind them. Bytes reach the chip's buffer at the baud
// rate (0: at once); a read returns full packets while 62 bytes wait, else a
// short one at the latency timer; an unresponsive chip runs into the USB
// timeout; an unplugged one fails every transfer, also a waiting one.
class FakeUsbBus {
public:
    static constexpr std::chrono::milliseconds kLatencyTimer{16};

    enum class OpenResult { Ok, PermissionDenied, Busy };

    struct Device {
        std::uint16_t vendor = 0x0403;
        std::uint16_t product = 0x6001;
        std::uint8_t address = 7;  // on bus 1
        std::string description = "FT232R USB UART";
        std::string serial = "A50285BI";  // empty: the chip has no serial number string
        OpenResult open = OpenResult::Ok;
        ConsoleScenario scenario = ConsoleScenario::Full;
        int baud = 0;
        std::size_t receiveBuffer = 256;          // 0: no limit
        std::size_t unplugAfterBytes = SIZE_MAX;  // bytes that reach the host first
        bool unresponsive = false;
    };

    struct Counters {
        std::size_t bytesToHost = 0;
        std::size_t bulkReads = 0;
        std::size_t overruns = 0;
        bool claimed = false;
        bool plugged = true;
    };

    static FakeUsbBus& Instance();
    void Reset();                    // no devices
    int Plug(const Device& device);  // returns the device's id
    Counters Count(int id) const;
};

}  // namespace vok::test
