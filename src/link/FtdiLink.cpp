#include "link/FtdiLink.h"

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>

#include "link/LinkTiming.h"

namespace vok {

namespace {

// libftdi: the FTDI vendor and the products the default link looks for.
constexpr int kFtdiVendorId = 0x0403;
constexpr int kFtdiProductIds[] = {0x6001, 0x6010, 0x6011, 0x6014, 0x6015};

bool IsKnownProduct(libusb_device* device) {
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != 0) {
        return false;
    }
    return descriptor.idVendor == kFtdiVendorId &&
           std::find(std::begin(kFtdiProductIds), std::end(kFtdiProductIds),
                     descriptor.idProduct) != std::end(kFtdiProductIds);
}

std::string DeviceName(libusb_device* device) {
    libusb_device_descriptor descriptor{};
    libusb_get_device_descriptor(device, &descriptor);
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "FTDI device %04x:%04x on USB bus %u address %u",
                  descriptor.idVendor, descriptor.idProduct, libusb_get_bus_number(device),
                  libusb_get_device_address(device));
    return text.data();
}

// libftdi's open failures in the words the user needs.
std::string OpenFailure(int code, const std::string& name, const char* detail) {
    switch (code) {
        case -8:
            return "permission denied on the " + name +
                   ": install the udev rule of VOK Remote Diagnosis and add your user to the "
                   "plugdev group (sudo usermod -aG plugdev $USER), then unplug the cable, "
                   "plug it in again and log in again";
        case -5:
            return "device busy: the " + name +
                   " is held by another program or by the kernel's serial driver";
        default:
            return "cannot open the " + name + " (" + detail + ")";
    }
}

}  // namespace

FtdiLink::FtdiLink() = default;

FtdiLink::~FtdiLink() {
    Close();
}

std::string FtdiLink::Name() const {
    std::lock_guard lock(m_mutex);
    return m_name;
}

Status FtdiLink::Open() {
    std::lock_guard lock(m_mutex);
    if (m_ftdi != nullptr) {
        return Done{};
    }
    ftdi_context* ftdi = ftdi_new();
    if (ftdi == nullptr) {
        return Error{"libftdi could not start"};
    }
    ftdi_device_list* list = nullptr;
    const int found = ftdi_usb_find_all(ftdi, &list, 0, 0);
    if (found < 0) {
        const std::string reason = std::string("no USB access: ") + ftdi_get_error_string(ftdi);
        ftdi_free(ftdi);
        return Error{reason};
    }
    libusb_device* device = nullptr;
    for (ftdi_device_list* entry = list; entry != nullptr; entry = entry->next) {
        if (IsKnownProduct(entry->dev)) {
            device = entry->dev;
            break;
        }
    }
    if (device == nullptr) {
        ftdi_list_free(&list);
        ftdi_free(ftdi);
        return Error{"no FTDI device found"};
    }
    const std::string name = DeviceName(device);
    const int opened = ftdi_usb_open_dev(ftdi, device);
    ftdi_list_free(&list);
    if (opened < 0) {
        const std::string reason = OpenFailure(opened, name, ftdi_get_error_string(ftdi));
        ftdi_free(ftdi);
        return Error{reason};
    }
    // Short transfers, so that no call holds the worker (or a closing GUI
    // thread) longer than one wait slice.
    ftdi->usb_read_timeout = static_cast<int>(kLinkWaitSlice.count());
    ftdi->usb_write_timeout = static_cast<int>(kLinkWriteTimeout.count());
    m_ftdi = ftdi;
    m_name = name;
    m_buffer.clear();
    m_closing = false;
    return Done{};
}

void FtdiLink::Release() {
    if (m_ftdi != nullptr) {
        ftdi_usb_close(m_ftdi);
        ftdi_free(m_ftdi);
        m_ftdi = nullptr;
    }
    m_buffer.clear();
}

void FtdiLink::Close() {
    m_closing = true;
    std::lock_guard lock(m_mutex);
    Release();
}

Status FtdiLink::CheckOpen() const {
    if (m_ftdi == nullptr || m_closing.load()) {
        return Error{m_name + " is closed"};
    }
    return Done{};
}

// Asks for one byte, which costs at most one USB transfer (libftdi returns
// as soon as it has the byte asked for), then takes whatever else that
// transfer brought from libftdi's own buffer without touching the bus.
// Asking for more at once would keep libftdi reading until it had them all.
Result<bool> FtdiLink::Pull() {
    std::array<unsigned char, kLinkReadChunk> chunk{};
    int n = ftdi_read_data(m_ftdi, chunk.data(), 1);
    if (n == 0 || n == LIBUSB_ERROR_TIMEOUT) {
        return false;
    }
    if (n < 0) {
        return Error{"the connection to the " + m_name + " was lost (" +
                     ftdi_get_error_string(m_ftdi) + ")"};
    }
    m_buffer.push_back(chunk[0]);
    while (m_ftdi->readbuffer_remaining > 0) {
        const int want =
            static_cast<int>(std::min<std::size_t>(m_ftdi->readbuffer_remaining, chunk.size()));
        n = ftdi_read_data(m_ftdi, chunk.data(), want);
        if (n <= 0) {
            break;
        }
        m_buffer.insert(m_buffer.end(), chunk.begin(), chunk.begin() + n);
    }
    return true;
}

Result<std::size_t> FtdiLink::ReceiveCount() {
    std::lock_guard lock(m_mutex);
    if (Status open = CheckOpen(); !open) {
        return Error{open.error()};
    }
    if (m_buffer.empty()) {
        if (Result<bool> pulled = Pull(); !pulled) {
            return Error{pulled.error()};
        }
    }
    return m_buffer.size();
}

Result<std::uint8_t> FtdiLink::ReadByte() {
    std::lock_guard lock(m_mutex);
    if (Status open = CheckOpen(); !open) {
        return Error{open.error()};
    }
    if (m_buffer.empty()) {
        return Error{"no byte waiting on the " + m_name};
    }
    const std::uint8_t byte = m_buffer.front();
    m_buffer.pop_front();
    return byte;
}

Result<bool> FtdiLink::WaitReadable(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            if (Status open = CheckOpen(); !open) {
                return Error{open.error()};
            }
            if (!m_buffer.empty()) {
                return true;
            }
            // The transfer itself blocks in the kernel until the chip
            // answers (its latency timer) or the USB timeout passes.
            Result<bool> pulled = Pull();
            if (!pulled || *pulled) {
                return pulled;
            }
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
    }
}

Status FtdiLink::WritePacket(const CommandPacket& packet) {
    std::lock_guard lock(m_mutex);
    if (Status open = CheckOpen(); !open) {
        return open;
    }
    const int n = ftdi_write_data(m_ftdi, packet.data(), static_cast<int>(packet.size()));
    if (n != static_cast<int>(packet.size())) {
        return Error{"cannot write to the " + m_name + " (" + ftdi_get_error_string(m_ftdi) + ")"};
    }
    return Done{};
}

}  // namespace vok
