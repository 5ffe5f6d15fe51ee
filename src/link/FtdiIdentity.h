#pragma once

// How the FTDI USB-serial bridge of a generator's console is found: by
// libftdi through its USB ids, or through the kernel's serial driver under
// its by-id name. The link, the device survey and `vok devices` agree on
// these so that what `vok devices` marks is what the link opens.

#include <string_view>

namespace vok {

inline constexpr int kFtdiVendorId = 0x0403;
inline constexpr int kFtdiProductIds[] = {0x6001, 0x6010, 0x6011, 0x6014, 0x6015};
// Where the kernel offers FTDI serial devices when libftdi cannot open one.
inline constexpr std::string_view kFtdiSerialByIdFolder = "/dev/serial/by-id";
inline constexpr std::string_view kFtdiSerialByIdPrefix = "usb-FTDI_";
// The package's udev rules that grant the FTDI devices, named where access is refused.
inline constexpr std::string_view kUdevAccessRules =
    "/usr/lib/udev/rules.d/60-vok-diagnosis.rules and 61-vok-diagnosis-uaccess.rules";
// The console's serial settings (the FTDI power-on defaults): 9600 baud 8N1.
inline constexpr int kConsoleBaud = 9600;

}  // namespace vok
