#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include "link/FtdiIdentity.h"

namespace vok {

// What a user could mean by "the generator": the FTDI USB devices libftdi
// sees and the FTDI serial devices the kernel offers, whether this user may
// open each, and which one the default link (LinkFactory's first FTDI device,
// then the first of the kernel's) would take.
//
// Looking changes nothing: a USB device is only opened far enough to read
// its strings (no claim, so the kernel's serial driver stays attached), and
// a tty is never opened (opening one raises its modem lines); busy devices
// therefore show as usable.
class DeviceSurvey {
public:
    struct UsbDevice {
        int bus = 0;
        int address = 0;
        std::uint16_t vendor = 0;
        std::uint16_t product = 0;
        std::string serial;  // empty when unknown
        std::string description;
        bool usable = false;
        std::string reason;  // why not, when not usable
    };
    struct SerialDevice {
        std::string link;  // the stable name, /dev/serial/by-id/usb-FTDI_...
        std::string tty;   // what it points to, /dev/ttyUSB0
        bool usable = false;
        std::string reason;
    };
    enum class Kind { Usb, Serial };
    struct Choice {
        Kind kind;
        std::size_t index;
    };

    std::vector<UsbDevice> usb;
    std::string usbError;  // the bus could not be listed
    std::vector<SerialDevice> serial;
    std::optional<Choice> defaultChoice;

    bool AnyUsable() const;

    // The kernel's serial devices are looked for in `byIdFolder`; the strings
    // of a USB device this user may not open come from `sysfsFolder`.
    static DeviceSurvey Take(const std::string& byIdFolder = std::string(kFtdiSerialByIdFolder),
                             const std::string& sysfsFolder = "/sys/bus/usb/devices");
};

}  // namespace vok
