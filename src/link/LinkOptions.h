#pragma once

#include <string>

#include "link/ConsoleScenario.h"
#include "link/FtdiIdentity.h"

namespace vok {

// The pace of the in-process simulated link.
inline constexpr int kSimulatedLinkBaud = 57600;

// Which link a program uses: --device PATH, --simulate[=SCENARIO], or by
// default the first FTDI device.
struct LinkOptions {
    enum class Kind { FirstFtdi, Device, Simulated };

    Kind kind = Kind::FirstFtdi;
    std::string devicePath;
    ConsoleScenario scenario = ConsoleScenario::Full;
    int simulatedBaud = kSimulatedLinkBaud;  // 0: no pacing
    // Where the kernel's FTDI serial devices are looked for when libftdi
    // cannot open the first FTDI device.
    std::string serialByIdFolder{kFtdiSerialByIdFolder};
};

}  // namespace vok
