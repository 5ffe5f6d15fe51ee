#include "link/LinkFactory.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "link/FtdiIdentity.h"
#include "link/FtdiLink.h"
#include "link/SerialLink.h"
#include "link/SimulatedLink.h"

namespace vok {

namespace {

// The FTDI serial devices the kernel offers, by their stable names.
std::vector<std::filesystem::path> FtdiSerialDevices(const std::string& folder) {
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (entry.path().filename().string().starts_with(kFtdiSerialByIdPrefix)) {
            found.push_back(entry.path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

Result<std::unique_ptr<DeviceLink>> OpenLink(std::unique_ptr<DeviceLink> link) {
    if (Status opened = link->Open(); !opened) {
        return Error{opened.error()};
    }
    return link;
}

Result<std::unique_ptr<DeviceLink>> OpenFirstFtdi(const std::string& byIdFolder) {
    Result<std::unique_ptr<DeviceLink>> usb = OpenLink(std::make_unique<FtdiLink>());
    if (usb) {
        return usb;
    }
    const std::vector<std::filesystem::path> ttys = FtdiSerialDevices(byIdFolder);
    if (ttys.empty()) {
        return usb;
    }
    std::error_code ec;
    std::filesystem::path tty = std::filesystem::canonical(ttys.front(), ec);
    if (ec) {
        tty = ttys.front();
    }
    Result<std::unique_ptr<DeviceLink>> serial =
        OpenLink(std::make_unique<SerialLink>(tty.string()));
    if (serial) {
        return serial;
    }
    return Error{usb.error() + "; through the serial driver: " + serial.error()};
}

}  // namespace

Result<LinkOptions> LinkFactory::FromCommandLine(const CommandLine& line) {
    LinkOptions options;
    const bool device = line.Has("device");
    const bool simulate = line.Has("simulate");
    if (device && simulate) {
        return Error{"--device and --simulate cannot be used together"};
    }
    if (device) {
        options.kind = LinkOptions::Kind::Device;
        options.devicePath = line.Value("device").value_or("");
        if (options.devicePath.empty()) {
            return Error{"--device needs a path"};
        }
    } else if (simulate) {
        options.kind = LinkOptions::Kind::Simulated;
        const std::string name = line.Value("simulate").value_or("");
        if (!name.empty()) {
            const std::optional<ConsoleScenario> scenario = ParseScenario(name);
            if (!scenario) {
                return Error{"unknown scenario '" + name + "' (one of " +
                             std::string(ScenarioList()) + ")"};
            }
            options.scenario = *scenario;
        }
    }
    return options;
}

Result<std::unique_ptr<DeviceLink>> LinkFactory::Open(const LinkOptions& options) {
    switch (options.kind) {
        case LinkOptions::Kind::Device:
            return OpenLink(std::make_unique<SerialLink>(options.devicePath));
        case LinkOptions::Kind::Simulated:
            return OpenLink(
                std::make_unique<SimulatedLink>(options.scenario, options.simulatedBaud));
        case LinkOptions::Kind::FirstFtdi:
            break;
    }
    return OpenFirstFtdi(options.serialByIdFolder);
}

LinkOpener LinkFactory::Opener(LinkOptions options) {
    return [options = std::move(options)] { return Open(options); };
}

}  // namespace vok
