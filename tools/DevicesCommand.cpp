#include "DevicesCommand.h"

#include <array>
#include <cstdio>
#include <iostream>
#include <string>

#include "link/FtdiIdentity.h"
#include "platform/CommandLine.h"

namespace vok::tools {

namespace {

constexpr std::string_view kName = "devices";
constexpr std::string_view kUsage =
    "Usage: vok devices [--data-dir DIR]\n"
    "Lists the FTDI USB devices libftdi sees (bus, address, vendor and product id,\n"
    "serial number, description) and the FTDI serial devices of the kernel\n"
    "(/dev/serial/by-id/usb-FTDI_*), says whether this user may open each and why\n"
    "not, and marks with '*' the one 'vok acquire' and the wizard open by default.\n\n"
    "Exit status: 0 when at least one device is usable, 1 when none is.";

std::string UsbLine(const DeviceSurvey::UsbDevice& device) {
    std::array<char, 64> head{};
    std::snprintf(head.data(), head.size(), "bus %03d address %03d  %04x:%04x", device.bus,
                  device.address, device.vendor, device.product);
    return head.data() + ("  serial " + (device.serial.empty() ? "(unknown)" : device.serial)) +
           "  \"" + device.description + "\"" +
           (device.usable ? "  usable" : "  not usable: " + device.reason);
}

std::string SerialLine(const DeviceSurvey::SerialDevice& device) {
    std::string line = device.link;
    if (!device.tty.empty()) {
        line += " -> " + device.tty;
    }
    return line + (device.usable ? "  usable" : "  not usable: " + device.reason);
}

bool IsDefault(const DeviceSurvey& survey, DeviceSurvey::Kind kind, std::size_t index) {
    return survey.defaultChoice && survey.defaultChoice->kind == kind &&
           survey.defaultChoice->index == index;
}

int Run(const std::vector<std::string>& args) {
    const Result<CommandLine> parsed = CommandLine::Parse(args, {{"data-dir", OptionKind::Value}});
    if (!parsed) {
        return UsageError(kName, parsed.error());
    }
    if (!parsed->Positional().empty()) {
        return UsageError(kName, "unexpected argument '" + parsed->Positional().front() + "'");
    }
    return PrintDevices(DeviceSurvey::Take(), std::cout);
}

}  // namespace

int PrintDevices(const DeviceSurvey& survey, std::ostream& out) {
    out << "FTDI USB devices (libftdi):\n";
    if (!survey.usbError.empty()) {
        out << "    " << survey.usbError << "\n";
    } else if (survey.usb.empty()) {
        out << "    none\n";
    }
    for (std::size_t n = 0; n < survey.usb.size(); ++n) {
        out << (IsDefault(survey, DeviceSurvey::Kind::Usb, n) ? "  * " : "    ")
            << UsbLine(survey.usb[n]) << "\n";
    }
    out << "FTDI serial devices (" << kFtdiSerialByIdFolder << "):\n";
    if (survey.serial.empty()) {
        out << "    none\n";
    }
    for (std::size_t n = 0; n < survey.serial.size(); ++n) {
        out << (IsDefault(survey, DeviceSurvey::Kind::Serial, n) ? "  * " : "    ")
            << SerialLine(survey.serial[n]) << "\n";
    }
    if (survey.defaultChoice) {
        out << "* is the device 'vok acquire' and the wizard open by default.\n";
    } else {
        out << "No device can be opened by default: 'vok acquire' and the wizard will show "
               "the cable message.\n";
    }
    return survey.AnyUsable() ? kExitOk : kExitFailure;
}

const ToolCommand kDevicesCommand{kName, "lists the FTDI devices and whether they can be opened",
                                  kUsage, Run};

}  // namespace vok::tools
