#include "link/FtdiLink.h"

#include <ftdi.h>
#include <libusb.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <iterator>

#include "link/FtdiIdentity.h"
#include "link/LinkTiming.h"

namespace vok {

namespace {

bool IsKnownProduct(libusb_device* device) {
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != 0) {
        return false;
    }
    return FtdiLink::IsDefaultProduct(descriptor.idVendor, descriptor.idProduct);
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

// libftdi's open failures in the words the user needs. libusb_open fails
// (-4) when this user may not write the USB node, which errno then says;
// a refused detach of the kernel's serial driver is -8; a claimed interface
// or configuration (another program, or the serial driver kept) is -5 or -3.
std::string OpenFailure(int code, int openErrno, libusb_device* device, const std::string& name,
                        const char* detail) {
    bool denied = code == -8 || (code == -4 && (openErrno == EACCES || openErrno == EPERM));
    if (code == -4 && !denied) {
        // errno may not have survived libusb: the node itself tells.
        std::array<char, 32> node{};
        std::snprintf(node.data(), node.size(), "/dev/bus/usb/%03u/%03u",
                      libusb_get_bus_number(device), libusb_get_device_address(device));
        denied = ::access(node.data(), R_OK | W_OK) != 0 && errno == EACCES;
    }
    if (denied) {
        return "permission denied on the " + name + ": " + FtdiLink::PermissionHint();
    }
    if (code == -5 || code == -3) {
        return "device busy: the " + name +
               " is held by another program or by the kernel's serial driver";
    }
    return "cannot open the " + name + " (" + detail + ")";
}

}  // namespace

bool FtdiLink::IsDefaultProduct(int vendor, int product) {
    return vendor == kFtdiVendorId &&
           std::find(std::begin(kFtdiProductIds), std::end(kFtdiProductIds), product) !=
               std::end(kFtdiProductIds);
}

std::string FtdiLink::PermissionHint() {
    return "the udev rules " + std::string(kUdevAccessRules) +
           " give it to the plugdev group and the user at the seat; add your user to plugdev "
           "(sudo usermod -aG plugdev $USER), log in again, then unplug the cable and plug it "
           "in again";
}

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
    errno = 0;
    const int opened = ftdi_usb_open_dev(ftdi, device);
    const int openErrno = errno;
    if (opened < 0) {
        const std::string reason =
            OpenFailure(opened, openErrno, device, name, ftdi_get_error_string(ftdi));
        ftdi_list_free(&list);
        ftdi_free(ftdi);
        return Error{reason};
    }
    ftdi_list_free(&list);
    // Short transfers, so that no call holds the worker (or a closing GUI
    // thread) longer than one wait slice.
    ftdi->usb_read_timeout = static_cast<int>(kLinkWaitSlice.count());
    ftdi->usb_write_timeout = static_cast<int>(kLinkWriteTimeout.count());
    // One USB packet per transfer. A transfer of libftdi's default 4 KiB ends
    // only with a short packet, which a busy line (above about 38 kBd) never
    // sends, so it ran into the timeout and libftdi dropped what it had.
    if (ftdi_read_data_set_chunksize(ftdi, ftdi->max_packet_size) < 0) {
        const std::string reason =
            "cannot set up the " + name + " (" + ftdi_get_error_string(ftdi) + ")";
        ftdi_usb_close(ftdi);
        ftdi_free(ftdi);
        return Error{reason};
    }
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
