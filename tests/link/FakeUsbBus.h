#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "link/ConsoleScenario.h"

namespace vok::test {

// The USB bus behind the libftdi test double (FakeLibftdi.cpp), which a test
// binary links in place of libftdi1 and libusb. Each device plugged here is
// an FT232R with the simulated console behind its serial side, and libftdi's
// calls behave as they do with the real chip:
// - the console's bytes reach the chip's receive buffer (256 bytes) at the
//   pace of the baud rate (0: all at once, no buffer limit); what does not
//   fit is lost and counted as an overrun;
// - a bulk read returns USB packets of 2 status bytes and at most 62 data
//   bytes: full packets while 62 bytes wait, otherwise one short packet when
//   the 16 ms latency timer expires (only the status bytes when idle), so
//   ftdi_read_data returns 0 after about 16 ms when nothing came; what the
//   caller did not ask for stays in libftdi's read buffer
//   (readbuffer_remaining);
// - a read runs into the USB timeout (LIBUSB_ERROR_TIMEOUT) when the chip
//   does not answer; a device that is unplugged fails every transfer with
//   LIBUSB_ERROR_NO_DEVICE, also one that is waiting;
// - opening fails as libftdi does: libusb_open refused (-4, errno EACCES) for
//   a user without access to the USB node; detaching the kernel's serial
//   driver refused (-8); the interface claimed by another program or driver
//   (-5).
//
// All of it runs on the monotonic clock with bounded waits on a condition
// variable: nothing spins. Calls from several threads are safe.
class FakeUsbBus {
public:
    static constexpr std::chrono::milliseconds kLatencyTimer{16};
    static constexpr std::size_t kPacketSize = 64;  // 2 status bytes, 62 data bytes
    static constexpr std::size_t kChipReceiveBuffer = 256;

    enum class OpenResult { Ok, PermissionDenied, DetachDenied, Busy };

    struct Device {
        std::uint16_t vendor = 0x0403;
        std::uint16_t product = 0x6001;
        std::uint8_t bus = 1;
        std::uint8_t address = 7;
        std::string manufacturer = "FTDI";
        std::string description = "FT232R USB UART";
        std::string serial = "A50285BI";  // empty: the chip has no serial number string
        OpenResult open = OpenResult::Ok;
        ConsoleScenario scenario = ConsoleScenario::Full;
        int baud = 0;  // the console's pace; 0: every byte is there at once
        // What the chip's receive buffer holds while no transfer asks (0: no
        // limit). The FT232R's 256 bytes last 266 ms at 9600 baud but only
        // 22 ms at 115200, less than a loaded machine may leave a thread idle.
        std::size_t receiveBuffer = kChipReceiveBuffer;
        // The cable is pulled once this many bytes reached the host.
        std::optional<std::size_t> unplugAfterBytes;
        bool unresponsive = false;  // reads run into the USB timeout
    };

    // What one device saw.
    struct Counters {
        std::size_t bytesToHost = 0;
        std::size_t bulkReads = 0;
        std::size_t overruns = 0;  // bytes lost in the chip's full receive buffer
        bool claimed = false;
        bool plugged = false;
    };

    // The one bus the double's functions see.
    static FakeUsbBus& Instance();

    // No devices, no failures, every counter at zero.
    void Reset();
    // Adds a device; returns its id.
    int Plug(const Device& device);
    // ftdi_usb_find_all fails as when libusb cannot list the bus.
    void FailListing(bool fail);

    Counters Count(int id) const;
    // ftdi contexts made by ftdi_new and not yet freed.
    int LiveContexts() const;
};

}  // namespace vok::test
