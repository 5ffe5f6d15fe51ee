#pragma once

#include <memory>

#include "core/Result.h"
#include "link/DeviceLink.h"
#include "link/LinkOptions.h"
#include "platform/CommandLine.h"

namespace vok {

// Turns the link options of a command line into an open link.
class LinkFactory {
public:
    // --device PATH and --simulate[=SCENARIO] (both options must be in the
    // parser's specs). Fails on both at once or an unknown scenario.
    static Result<LinkOptions> FromCommandLine(const CommandLine& line);

    // Builds and opens the link. The first FTDI device is tried through
    // libftdi, then through the kernel's serial driver
    // (/dev/serial/by-id/usb-FTDI_*); the error keeps the first reason.
    static Result<std::unique_ptr<DeviceLink>> Open(const LinkOptions& options);

    static LinkOpener Opener(LinkOptions options);
};

}  // namespace vok
