#include "link/DeviceSurvey.h"

#include <ftdi.h>
#include <grp.h>
#include <libusb.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "link/FtdiLink.h"

namespace vok {

namespace {

constexpr int kStringSize = 128;

std::string FirstLine(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// The strings of a device this user may not open, from sysfs, where
// everyone may read them.
void ReadSysfsStrings(const std::string& folder, DeviceSurvey::UsbDevice& device) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (FirstLine(entry.path() / "busnum") == std::to_string(device.bus) &&
            FirstLine(entry.path() / "devnum") == std::to_string(device.address)) {
            device.serial = FirstLine(entry.path() / "serial");
            device.description = FirstLine(entry.path() / "product");
            return;
        }
    }
}

void SurveyUsb(DeviceSurvey& survey, const std::string& sysfsFolder) {
    ftdi_context* ftdi = ftdi_new();
    if (ftdi == nullptr) {
        survey.usbError = "libftdi could not start";
        return;
    }
    ftdi_device_list* list = nullptr;
    if (ftdi_usb_find_all(ftdi, &list, 0, 0) < 0) {
        survey.usbError = std::string("no USB access: ") + ftdi_get_error_string(ftdi);
        ftdi_free(ftdi);
        return;
    }
    for (ftdi_device_list* entry = list; entry != nullptr; entry = entry->next) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(entry->dev, &descriptor) != 0 ||
            !FtdiLink::IsDefaultProduct(descriptor.idVendor, descriptor.idProduct)) {
            continue;
        }
        DeviceSurvey::UsbDevice device;
        device.bus = libusb_get_bus_number(entry->dev);
        device.address = libusb_get_device_address(entry->dev);
        device.vendor = descriptor.idVendor;
        device.product = descriptor.idProduct;
        std::array<char, kStringSize> manufacturer{};
        std::array<char, kStringSize> description{};
        std::array<char, kStringSize> serial{};
        errno = 0;
        const int read =
            ftdi_usb_get_strings(ftdi, entry->dev, manufacturer.data(), kStringSize,
                                 description.data(), kStringSize, serial.data(), kStringSize);
        const int readErrno = errno;
        // -7 to -9: the device opened, but a string could not be read (a
        // chip without a serial number string, for one): still usable.
        if (read == 0 || (read >= -9 && read <= -7)) {
            device.usable = true;
            device.serial = serial.data();
            device.description = description.data();
        } else {
            if (read == -4 && (readErrno == EACCES || readErrno == EPERM)) {
                device.reason = "permission denied: " + FtdiLink::PermissionHint();
            } else {
                device.reason =
                    std::string("cannot be opened (") + ftdi_get_error_string(ftdi) + ")";
            }
            ReadSysfsStrings(sysfsFolder, device);
        }
        survey.usb.push_back(std::move(device));
    }
    ftdi_list_free(&list);
    ftdi_free(ftdi);
}

std::string GroupName(gid_t gid) {
    const group* entry = ::getgrgid(gid);
    return entry != nullptr ? entry->gr_name : std::to_string(gid);
}

void SurveySerial(DeviceSurvey& survey, const std::string& byIdFolder) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(byIdFolder, ec)) {
        if (!entry.path().filename().string().starts_with(kFtdiSerialByIdPrefix)) {
            continue;
        }
        DeviceSurvey::SerialDevice device;
        device.link = entry.path().string();
        std::error_code resolved;
        const std::filesystem::path tty = std::filesystem::canonical(entry.path(), resolved);
        struct stat status {};
        if (resolved || ::stat(tty.c_str(), &status) != 0) {
            device.reason = "points to nothing (unplugged?)";
        } else if (device.tty = tty.string(); ::access(tty.c_str(), R_OK | W_OK) != 0) {
            device.reason = "permission denied: " + device.tty + " belongs to the group " +
                            GroupName(status.st_gid) + "; add your user to it (sudo usermod -aG " +
                            GroupName(status.st_gid) + " $USER) and log in again";
        } else {
            device.usable = true;
        }
        survey.serial.push_back(std::move(device));
    }
    std::sort(survey.serial.begin(), survey.serial.end(),
              [](const auto& a, const auto& b) { return a.link < b.link; });
}

}  // namespace

bool DeviceSurvey::AnyUsable() const {
    return std::any_of(usb.begin(), usb.end(), [](const auto& d) { return d.usable; }) ||
           std::any_of(serial.begin(), serial.end(), [](const auto& d) { return d.usable; });
}

DeviceSurvey DeviceSurvey::Take(const std::string& byIdFolder, const std::string& sysfsFolder) {
    DeviceSurvey survey;
    SurveyUsb(survey, sysfsFolder);
    SurveySerial(survey, byIdFolder);
    // As the default link goes: the first USB device, else the first of the
    // kernel's serial devices; no further.
    if (!survey.usb.empty() && survey.usb.front().usable) {
        survey.defaultChoice = Choice{Kind::Usb, 0};
    } else if (!survey.serial.empty() && survey.serial.front().usable) {
        survey.defaultChoice = Choice{Kind::Serial, 0};
    }
    return survey;
}

}  // namespace vok
