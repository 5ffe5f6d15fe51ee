// What the FTDI link and `vok devices` call of libftdi1 and libusb; see FakeUsbBus.h.
#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>

#include "FakeUsbBus.h"
#include "link/SimulatedConsole.h"

// Opaque in libusb.h: here both only name a device of the fake bus.
struct libusb_device {
    int id;
};
struct libusb_device_handle {
    int id;
};

namespace vok::test {

namespace {

using Clock = std::chrono::steady_clock;
using Open = FakeUsbBus::OpenResult;
constexpr std::size_t kPacketSize = 64, kPayload = kPacketSize - 2;
constexpr unsigned char kModemStatus[2] = {0x01, 0x60};  // an idle FT232R's
constexpr unsigned kReadChunk = 4096;                    // libftdi's default

struct DeviceState {
    explicit DeviceState(const FakeUsbBus::Device& device)
        : spec(device), console(device.scenario) {}
    FakeUsbBus::Device spec;
    SimulatedConsole console;
    Clock::duration byteTime = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(spec.baud > 0 ? 10.0 / spec.baud : 0));
    Clock::time_point lineFree{};
    Clock::time_point lastPacket{};
    std::deque<std::uint8_t> chip;  // the chip's receive buffer
    FakeUsbBus::Counters counters;
    int transfersRunning = 0;
};

struct Bus {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<DeviceState> devices;  // id 1 first
} theBus;

DeviceState* Find(int id) {
    return &theBus.devices.at(static_cast<std::size_t>(id - 1));
}

int Fail(ftdi_context* ftdi, int code, const char* text) {
    ftdi->error_str = text;
    return code;
}

// The console's bytes whose time has come move into the chip.
void Advance(DeviceState& d, Clock::time_point now) {
    while (d.console.HasOutput() && d.lineFree + d.byteTime <= now) {
        const std::uint8_t byte = d.console.TakeByte();
        d.lineFree += d.byteTime;
        if (d.spec.baud > 0 && d.spec.receiveBuffer > 0 && d.chip.size() >= d.spec.receiveBuffer) {
            ++d.counters.overruns;
        } else {
            d.chip.push_back(byte);
        }
    }
    d.lineFree = std::max(d.lineFree, now);
}

// One packet of up to n data bytes; false when the cable is pulled with it.
bool Emit(DeviceState& d, std::size_t n, unsigned char* out, int& actual, Clock::time_point now) {
    n = std::min(n, d.spec.unplugAfterBytes - d.counters.bytesToHost);
    std::memcpy(out + actual, kModemStatus, 2);
    std::copy_n(d.chip.begin(), n, out + actual + 2);
    d.chip.erase(d.chip.begin(), d.chip.begin() + static_cast<std::ptrdiff_t>(n));
    actual += static_cast<int>(2 + n);
    d.counters.bytesToHost += n;
    d.lastPacket = now;
    if (d.counters.bytesToHost >= d.spec.unplugAfterBytes) {
        d.counters.plugged = false;
        theBus.changed.notify_all();
    }
    return d.counters.plugged;
}

// libusb_bulk_transfer on the IN endpoint.
int BulkRead(int id, unsigned char* out, int length, int* transferred, int timeoutMs) {
    std::unique_lock lock(theBus.mutex);
    DeviceState* d = Find(id);
    ++d->counters.bulkReads;
    ++d->transfersRunning;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const int packet = static_cast<int>(kPacketSize);
    int actual = 0;
    int result = 0;
    for (;;) {
        if (!d->counters.plugged) {
            result = LIBUSB_ERROR_NO_DEVICE;
            break;
        }
        const Clock::time_point now = Clock::now();
        Advance(*d, now);
        Clock::time_point wake = deadline;
        if (!d->spec.unresponsive) {
            bool plugged = true;
            while (plugged && d->chip.size() >= kPayload && actual + packet <= length) {
                plugged = Emit(*d, kPayload, out, actual, now);
            }
            if (!plugged || actual + packet > length) {
                break;  // the transfer is full, or ends with the cable
            }
            if (now >= d->lastPacket + FakeUsbBus::kLatencyTimer) {
                Emit(*d, std::min(d->chip.size(), kPayload), out, actual, now);
                break;
            }
            wake = std::min(wake, d->lastPacket + FakeUsbBus::kLatencyTimer);
            if (d->console.HasOutput()) {
                const auto missing = static_cast<long>(kPayload - d->chip.size());
                wake = std::min(wake, d->lineFree + d->byteTime * missing);
            }
        }
        if (now >= deadline) {
            result = LIBUSB_ERROR_TIMEOUT;
            break;
        }
        theBus.changed.wait_until(lock, wake);
    }
    *transferred = actual;
    --d->transfersRunning;
    return result;
}

}  // namespace

FakeUsbBus& FakeUsbBus::Instance() {
    static FakeUsbBus instance;
    return instance;
}

void FakeUsbBus::Reset() {
    std::lock_guard lock(theBus.mutex);
    theBus.devices.clear();
}

int FakeUsbBus::Plug(const Device& device) {
    std::lock_guard lock(theBus.mutex);
    theBus.devices.emplace_back(device);
    return static_cast<int>(theBus.devices.size());
}

FakeUsbBus::Counters FakeUsbBus::Count(int id) const {
    std::lock_guard lock(theBus.mutex);
    return Find(id)->counters;
}

}  // namespace vok::test

using namespace vok::test;

ftdi_context* ftdi_new(void) {
    auto* ftdi = static_cast<ftdi_context*>(std::calloc(1, sizeof(ftdi_context)));
    ftdi->usb_read_timeout = 5000;
    ftdi->readbuffer = static_cast<unsigned char*>(std::malloc(kReadChunk));
    ftdi->readbuffer_chunksize = kReadChunk;
    return ftdi;
}

void ftdi_free(ftdi_context* ftdi) {
    ftdi_usb_close(ftdi);
    std::free(ftdi->readbuffer);
    std::free(ftdi);
}

const char* ftdi_get_error_string(ftdi_context* ftdi) {
    return ftdi->error_str != nullptr ? ftdi->error_str : "";
}

// Every plugged device: the callers pick the FTDI products themselves.
int ftdi_usb_find_all(ftdi_context*, ftdi_device_list** devlist, int, int) {
    std::lock_guard lock(theBus.mutex);
    *devlist = nullptr;
    for (int id = static_cast<int>(theBus.devices.size()); id > 0; --id) {
        auto* node = static_cast<ftdi_device_list*>(std::calloc(1, sizeof(ftdi_device_list)));
        *node = {*devlist, new libusb_device{id}};
        *devlist = node;
    }
    return static_cast<int>(theBus.devices.size());
}

void ftdi_list_free(ftdi_device_list** devlist) {
    while (ftdi_device_list* node = *devlist) {
        *devlist = node->next;
        delete node->dev;
        std::free(node);
    }
}

int ftdi_usb_get_strings(ftdi_context* ftdi, libusb_device* dev, char*, int, char* description,
                         int desc_len, char* serial, int serial_len) {
    std::lock_guard lock(theBus.mutex);
    const DeviceState* d = Find(dev->id);
    if (d->spec.open == Open::PermissionDenied) {
        errno = EACCES;
        return Fail(ftdi, -4, "libusb_open() failed");
    }
    std::snprintf(description, static_cast<std::size_t>(desc_len), "%s",
                  d->spec.description.c_str());
    std::snprintf(serial, static_cast<std::size_t>(serial_len), "%s", d->spec.serial.c_str());
    // libusb refuses the string of a chip without a serial number.
    return d->spec.serial.empty() ? Fail(ftdi, -9, "libusb_get_string_descriptor_ascii() failed")
                                  : 0;
}

int ftdi_usb_open_dev(ftdi_context* ftdi, libusb_device* dev) {
    std::lock_guard lock(theBus.mutex);
    DeviceState* d = Find(dev->id);
    if (d->spec.open == Open::PermissionDenied) {
        errno = EACCES;
        return Fail(ftdi, -4, "libusb_open() failed");
    }
    if (d->spec.open == Open::Busy || d->counters.claimed) {
        return Fail(ftdi, -5, "unable to claim usb device");
    }
    d->counters.claimed = true;
    ftdi->usb_dev = new libusb_device_handle{dev->id};
    ftdi->max_packet_size = kPacketSize;
    return 0;
}

int ftdi_usb_close(ftdi_context* ftdi) {
    std::lock_guard lock(theBus.mutex);
    if (ftdi->usb_dev != nullptr) {
        DeviceState* d = Find(ftdi->usb_dev->id);
        if (d->transfersRunning > 0) {
            // The real library would free what the running transfer uses.
            std::fprintf(stderr, "libftdi double: ftdi_usb_close during a transfer\n");
            std::abort();
        }
        d->counters.claimed = false;
        delete ftdi->usb_dev;
        ftdi->usb_dev = nullptr;
    }
    return 0;
}

// As libftdi: its read buffer first, then transfers (status bytes stripped)
// until the caller has what it asked for or one brings no data; a failed
// transfer loses what this call had gathered.
int ftdi_read_data(ftdi_context* ftdi, unsigned char* buf, int size) {
    int copied = std::min(size, static_cast<int>(ftdi->readbuffer_remaining));
    std::memcpy(buf, ftdi->readbuffer + ftdi->readbuffer_offset, static_cast<std::size_t>(copied));
    ftdi->readbuffer_offset += static_cast<unsigned>(copied);
    ftdi->readbuffer_remaining -= static_cast<unsigned>(copied);
    while (copied < size) {
        int actual = 0;
        const int result =
            BulkRead(ftdi->usb_dev->id, ftdi->readbuffer,
                     static_cast<int>(ftdi->readbuffer_chunksize), &actual, ftdi->usb_read_timeout);
        if (result < 0) {
            return Fail(ftdi, result, "usb bulk read failed");
        }
        int payload = 0;
        const int packet = static_cast<int>(ftdi->max_packet_size);
        for (int at = 0; at + 2 < actual; at += packet) {
            const int data = std::min(packet, actual - at) - 2;
            std::memmove(ftdi->readbuffer + payload, ftdi->readbuffer + at + 2,
                         static_cast<std::size_t>(data));
            payload += data;
        }
        if (payload == 0) {
            return copied;
        }
        const int take = std::min(payload, size - copied);
        std::memcpy(buf + copied, ftdi->readbuffer, static_cast<std::size_t>(take));
        copied += take;
        ftdi->readbuffer_offset = static_cast<unsigned>(take);
        ftdi->readbuffer_remaining = static_cast<unsigned>(payload - take);
    }
    return copied;
}

int ftdi_read_data_set_chunksize(ftdi_context* ftdi, unsigned int chunksize) {
    ftdi->readbuffer_offset = 0;
    ftdi->readbuffer_remaining = 0;
    ftdi->readbuffer = static_cast<unsigned char*>(std::realloc(ftdi->readbuffer, chunksize));
    ftdi->readbuffer_chunksize = chunksize;
    return 0;
}

int ftdi_write_data(ftdi_context* ftdi, const unsigned char* buf, int size) {
    std::lock_guard lock(theBus.mutex);
    DeviceState* d = Find(ftdi->usb_dev->id);
    if (!d->counters.plugged) {
        return Fail(ftdi, LIBUSB_ERROR_NO_DEVICE, "usb bulk write failed");
    }
    Advance(*d, Clock::now());
    for (int n = 0; n < size; ++n) {
        d->console.Receive(buf[n]);
    }
    theBus.changed.notify_all();
    return size;
}

int LIBUSB_CALL libusb_get_device_descriptor(libusb_device* dev, libusb_device_descriptor* desc) {
    std::lock_guard lock(theBus.mutex);
    *desc = {};
    desc->idVendor = Find(dev->id)->spec.vendor;
    desc->idProduct = Find(dev->id)->spec.product;
    return 0;
}

uint8_t LIBUSB_CALL libusb_get_bus_number(libusb_device*) {
    return 1;
}

uint8_t LIBUSB_CALL libusb_get_device_address(libusb_device* dev) {
    std::lock_guard lock(theBus.mutex);
    return Find(dev->id)->spec.address;
}
