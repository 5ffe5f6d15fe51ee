// The part of libftdi1 (and of libusb) that the FTDI link and `vok devices`
// call, for test binaries that link this in place of the real libraries. The
// behaviour it copies, and its knobs, are described in FakeUsbBus.h.
#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "FakeUsbBus.h"
#include "link/SimulatedConsole.h"

// Opaque in libusb.h: here a device and an open handle only name a device of
// the fake bus.
struct libusb_device {
    int id;
};
struct libusb_device_handle {
    int id;
};

namespace vok::test {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kPayload = FakeUsbBus::kPacketSize - 2;
// The modem status bytes an idle FT232R puts before every packet.
constexpr unsigned char kModemStatus[2] = {0x01, 0x60};
constexpr unsigned kReadChunk = 4096;  // libftdi's default read and write chunk
constexpr int kDefaultUsbTimeoutMs = 5000;
constexpr std::uint16_t kDefaultProducts[] = {0x6001, 0x6010, 0x6011, 0x6014, 0x6015};

struct DeviceState {
    explicit DeviceState(const FakeUsbBus::Device& device)
        : spec(device),
          console(device.scenario),
          byteTime(device.baud > 0 ? std::chrono::duration_cast<Clock::duration>(
                                         std::chrono::duration<double>(10.0 / device.baud))
                                   : Clock::duration::zero()) {
        counters.plugged = true;
    }

    FakeUsbBus::Device spec;
    SimulatedConsole console;
    Clock::duration byteTime;
    Clock::time_point lineFree{};
    Clock::time_point lastPacket{};
    std::deque<std::uint8_t> chip;  // the chip's receive buffer
    FakeUsbBus::Counters counters;
    int transfersRunning = 0;
};

struct Bus {
    std::mutex mutex;
    std::condition_variable changed;
    std::map<int, std::unique_ptr<DeviceState>> devices;
    int nextId = 1;
    bool failListing = false;
    int liveContexts = 0;
};

Bus& TheBus() {
    static Bus bus;
    return bus;
}

DeviceState* Find(Bus& bus, int id) {
    const auto found = bus.devices.find(id);
    return found == bus.devices.end() ? nullptr : found->second.get();
}

int Fail(ftdi_context* ftdi, int code, const char* text) {
    if (ftdi != nullptr) {
        ftdi->error_str = text;
    }
    return code;
}

// The console's bytes whose time has come move into the chip.
void Advance(DeviceState& d, Clock::time_point now) {
    while (d.console.HasOutput()) {
        const Clock::time_point arrives = d.lineFree + d.byteTime;
        if (arrives > now) {
            return;
        }
        const std::uint8_t byte = d.console.TakeByte();
        d.lineFree = arrives;
        if (d.spec.baud > 0 && d.spec.receiveBuffer > 0 && d.chip.size() >= d.spec.receiveBuffer) {
            ++d.counters.overruns;
        } else {
            d.chip.push_back(byte);
        }
    }
    d.lineFree = std::max(d.lineFree, now);
}

// One packet from the chip: status bytes and up to n data bytes. Returns
// false when the cable was pulled with it.
bool Emit(Bus& bus, DeviceState& d, std::size_t n, unsigned char* out, int& actual,
          Clock::time_point now) {
    if (d.spec.unplugAfterBytes) {
        n = std::min(n, *d.spec.unplugAfterBytes - d.counters.bytesToHost);
    }
    std::memcpy(out + actual, kModemStatus, 2);
    std::copy_n(d.chip.begin(), n, out + actual + 2);
    d.chip.erase(d.chip.begin(), d.chip.begin() + static_cast<std::ptrdiff_t>(n));
    actual += static_cast<int>(2 + n);
    d.counters.bytesToHost += n;
    d.lastPacket = now;
    if (d.spec.unplugAfterBytes && d.counters.bytesToHost >= *d.spec.unplugAfterBytes) {
        d.counters.plugged = false;
        bus.changed.notify_all();
        return false;
    }
    return true;
}

// libusb_bulk_transfer on the IN endpoint of an FT232R.
int BulkRead(int id, unsigned char* out, int length, int* transferred, int timeoutMs) {
    Bus& bus = TheBus();
    std::unique_lock lock(bus.mutex);
    DeviceState* d = Find(bus, id);
    *transferred = 0;
    if (d == nullptr) {
        return LIBUSB_ERROR_NO_DEVICE;
    }
    ++d->counters.bulkReads;
    ++d->transfersRunning;
    const Clock::time_point start = Clock::now();
    const Clock::time_point usbDeadline =
        timeoutMs > 0 ? start + std::chrono::milliseconds(timeoutMs) : Clock::time_point::max();
    int actual = 0;
    int result = 0;
    for (;;) {
        if (!d->counters.plugged) {
            result = LIBUSB_ERROR_NO_DEVICE;
            break;
        }
        const Clock::time_point now = Clock::now();
        Advance(*d, now);
        if (!d->spec.unresponsive) {
            bool plugged = true;
            while (plugged && d->chip.size() >= kPayload &&
                   actual + static_cast<int>(FakeUsbBus::kPacketSize) <= length) {
                plugged = Emit(bus, *d, kPayload, out, actual, now);
            }
            if (!plugged || actual + static_cast<int>(FakeUsbBus::kPacketSize) > length) {
                break;  // the transfer is full, or ends with the cable
            }
            if (now >= d->lastPacket + FakeUsbBus::kLatencyTimer) {
                // The latency timer: a short packet with what there is.
                Emit(bus, *d, std::min(d->chip.size(), kPayload), out, actual, now);
                break;
            }
        }
        if (now >= usbDeadline) {
            result = LIBUSB_ERROR_TIMEOUT;
            break;
        }
        Clock::time_point wake = usbDeadline;
        if (!d->spec.unresponsive) {
            wake = std::min(wake, d->lastPacket + FakeUsbBus::kLatencyTimer);
            if (d->console.HasOutput()) {
                const auto missing =
                    static_cast<long>(kPayload - std::min(kPayload, d->chip.size()));
                wake = std::min(wake, d->lineFree + d->byteTime * missing);
            }
        }
        bus.changed.wait_until(lock, wake);
    }
    *transferred = actual;
    --d->transfersRunning;
    return result;
}

int BulkWrite(int id, const unsigned char* data, int size) {
    Bus& bus = TheBus();
    std::lock_guard lock(bus.mutex);
    DeviceState* d = Find(bus, id);
    if (d == nullptr || !d->counters.plugged) {
        return LIBUSB_ERROR_NO_DEVICE;
    }
    Advance(*d, Clock::now());
    for (int n = 0; n < size; ++n) {
        d->console.Receive(data[n]);
    }
    bus.changed.notify_all();
    return 0;
}

bool IsDefaultProduct(const FakeUsbBus::Device& spec) {
    return spec.vendor == 0x0403 &&
           std::find(std::begin(kDefaultProducts), std::end(kDefaultProducts), spec.product) !=
               std::end(kDefaultProducts);
}

void CloseHandle(ftdi_context* ftdi, int& result) {
    Bus& bus = TheBus();
    std::lock_guard lock(bus.mutex);
    if (DeviceState* d = Find(bus, ftdi->usb_dev->id); d != nullptr) {
        if (d->transfersRunning > 0) {
            // The real library would free what the running transfer uses.
            std::fprintf(stderr, "libftdi double: ftdi_usb_close during a transfer\n");
            std::abort();
        }
        d->counters.claimed = false;
        if (!d->counters.plugged) {
            result = Fail(ftdi, -1, "usb_release failed");
        }
    }
    delete ftdi->usb_dev;
    ftdi->usb_dev = nullptr;
    bus.changed.notify_all();
}

}  // namespace

FakeUsbBus& FakeUsbBus::Instance() {
    static FakeUsbBus instance;
    return instance;
}

void FakeUsbBus::Reset() {
    Bus& bus = TheBus();
    std::lock_guard lock(bus.mutex);
    bus.devices.clear();
    bus.failListing = false;
    bus.changed.notify_all();
}

int FakeUsbBus::Plug(const Device& device) {
    Bus& bus = TheBus();
    std::lock_guard lock(bus.mutex);
    const int id = bus.nextId++;
    bus.devices.emplace(id, std::make_unique<DeviceState>(device));
    return id;
}

void FakeUsbBus::FailListing(bool fail) {
    Bus& bus = TheBus();
    std::lock_guard lock(bus.mutex);
    bus.failListing = fail;
}

FakeUsbBus::Counters FakeUsbBus::Count(int id) const {
    Bus& bus = TheBus();
    std::lock_guard lock(bus.mutex);
    const DeviceState* d = Find(bus, id);
    return d == nullptr ? Counters{} : d->counters;
}

int FakeUsbBus::LiveContexts() const {
    Bus& bus = TheBus();
    std::lock_guard lock(bus.mutex);
    return bus.liveContexts;
}

}  // namespace vok::test

using vok::test::Bus;
using vok::test::DeviceState;
using vok::test::TheBus;

ftdi_context* ftdi_new(void) {
    auto* ftdi = static_cast<ftdi_context*>(std::calloc(1, sizeof(ftdi_context)));
    if (ftdi == nullptr) {
        return nullptr;
    }
    ftdi->usb_read_timeout = vok::test::kDefaultUsbTimeoutMs;
    ftdi->usb_write_timeout = vok::test::kDefaultUsbTimeoutMs;
    ftdi->readbuffer = static_cast<unsigned char*>(std::malloc(vok::test::kReadChunk));
    ftdi->readbuffer_chunksize = vok::test::kReadChunk;
    Bus& bus = TheBus();
    std::lock_guard lock(bus.mutex);
    ++bus.liveContexts;
    return ftdi;
}

void ftdi_free(ftdi_context* ftdi) {
    if (ftdi == nullptr) {
        return;
    }
    if (ftdi->usb_dev != nullptr) {
        int ignored = 0;
        vok::test::CloseHandle(ftdi, ignored);
    }
    std::free(ftdi->readbuffer);
    std::free(ftdi);
    Bus& bus = TheBus();
    std::lock_guard lock(bus.mutex);
    --bus.liveContexts;
}

const char* ftdi_get_error_string(ftdi_context* ftdi) {
    return ftdi != nullptr && ftdi->error_str != nullptr ? ftdi->error_str : "";
}

int ftdi_usb_find_all(ftdi_context* ftdi, ftdi_device_list** devlist, int vendor, int product) {
    Bus& bus = TheBus();
    std::lock_guard lock(bus.mutex);
    *devlist = nullptr;
    if (bus.failListing) {
        return vok::test::Fail(ftdi, -5, "libusb_get_device_list() failed");
    }
    ftdi_device_list** tail = devlist;
    int count = 0;
    for (const auto& [id, d] : bus.devices) {
        const bool match = vendor == 0 && product == 0
                               ? vok::test::IsDefaultProduct(d->spec)
                               : d->spec.vendor == vendor && d->spec.product == product;
        if (!d->counters.plugged || !match) {
            continue;
        }
        auto* node = static_cast<ftdi_device_list*>(std::calloc(1, sizeof(ftdi_device_list)));
        node->dev = new libusb_device{id};
        *tail = node;
        tail = &node->next;
        ++count;
    }
    return count;
}

void ftdi_list_free(ftdi_device_list** devlist) {
    ftdi_device_list* node = *devlist;
    while (node != nullptr) {
        ftdi_device_list* next = node->next;
        delete node->dev;
        std::free(node);
        node = next;
    }
    *devlist = nullptr;
}

int ftdi_usb_get_strings(ftdi_context* ftdi, libusb_device* dev, char* manufacturer, int mnf_len,
                         char* description, int desc_len, char* serial, int serial_len) {
    if (ftdi == nullptr || dev == nullptr) {
        return -1;
    }
    Bus& bus = TheBus();
    std::lock_guard lock(bus.mutex);
    const DeviceState* d = vok::test::Find(bus, dev->id);
    if (d == nullptr || !d->counters.plugged) {
        errno = ENODEV;
        return vok::test::Fail(ftdi, -4, "libusb_open() failed");
    }
    if (d->spec.open == vok::test::FakeUsbBus::OpenResult::PermissionDenied) {
        errno = EACCES;
        return vok::test::Fail(ftdi, -4, "libusb_open() failed");
    }
    const auto put = [](char* to, int size, const std::string& text) {
        if (to != nullptr && size > 0) {
            std::snprintf(to, static_cast<std::size_t>(size), "%s", text.c_str());
        }
    };
    put(manufacturer, mnf_len, d->spec.manufacturer);
    put(description, desc_len, d->spec.description);
    if (d->spec.serial.empty()) {
        // A chip without a serial number string: libusb refuses string 0.
        put(serial, serial_len, "");
        return vok::test::Fail(ftdi, -9, "libusb_get_string_descriptor_ascii() failed");
    }
    put(serial, serial_len, d->spec.serial);
    return 0;
}

int ftdi_usb_open_dev(ftdi_context* ftdi, libusb_device* dev) {
    using OpenResult = vok::test::FakeUsbBus::OpenResult;
    if (ftdi == nullptr) {
        return -8;
    }
    Bus& bus = TheBus();
    std::lock_guard lock(bus.mutex);
    DeviceState* d = dev == nullptr ? nullptr : vok::test::Find(bus, dev->id);
    if (d == nullptr || !d->counters.plugged) {
        errno = ENODEV;
        return vok::test::Fail(ftdi, -4, "libusb_open() failed");
    }
    switch (d->spec.open) {
        case OpenResult::PermissionDenied:
            errno = EACCES;
            return vok::test::Fail(ftdi, -4, "libusb_open() failed");
        case OpenResult::DetachDenied:
            return vok::test::Fail(ftdi, -8, "inappropriate permissions on device!");
        case OpenResult::Busy:
            break;
        case OpenResult::Ok:
            if (!d->counters.claimed) {
                d->counters.claimed = true;
                ftdi->usb_dev = new libusb_device_handle{dev->id};
                ftdi->readbuffer_offset = 0;
                ftdi->readbuffer_remaining = 0;
                ftdi->max_packet_size = vok::test::FakeUsbBus::kPacketSize;
                return vok::test::Fail(ftdi, 0, "all fine");
            }
            break;
    }
    return vok::test::Fail(
        ftdi, -5, "unable to claim usb device. Make sure the default FTDI driver is not in use");
}

int ftdi_usb_close(ftdi_context* ftdi) {
    if (ftdi == nullptr) {
        return -3;
    }
    int result = 0;
    if (ftdi->usb_dev != nullptr) {
        vok::test::CloseHandle(ftdi, result);
    }
    return result;
}

// As libftdi: first what its read buffer holds, then bulk transfers of a
// whole chunk, the status bytes of every packet stripped, until the caller
// has what it asked for or a transfer brings no data; the rest of the last
// transfer stays in the read buffer. A failed transfer loses what this call
// had gathered.
int ftdi_read_data(ftdi_context* ftdi, unsigned char* buf, int size) {
    if (ftdi == nullptr || ftdi->usb_dev == nullptr) {
        return vok::test::Fail(ftdi, -666, "USB device unavailable");
    }
    int copied = std::min(size, static_cast<int>(ftdi->readbuffer_remaining));
    std::memcpy(buf, ftdi->readbuffer + ftdi->readbuffer_offset, static_cast<std::size_t>(copied));
    ftdi->readbuffer_offset += static_cast<unsigned>(copied);
    ftdi->readbuffer_remaining -= static_cast<unsigned>(copied);
    while (copied < size) {
        ftdi->readbuffer_offset = 0;
        ftdi->readbuffer_remaining = 0;
        int actual = 0;
        const int result = vok::test::BulkRead(ftdi->usb_dev->id, ftdi->readbuffer,
                                               static_cast<int>(ftdi->readbuffer_chunksize),
                                               &actual, ftdi->usb_read_timeout);
        if (result < 0) {
            return vok::test::Fail(ftdi, result, "usb bulk read failed");
        }
        // Strip the two status bytes of each packet, in place.
        int payload = 0;
        const int packet = static_cast<int>(ftdi->max_packet_size);
        for (int at = 0; at < actual; at += packet) {
            const int data = std::min(packet, actual - at) - 2;
            if (data > 0) {
                std::memmove(ftdi->readbuffer + payload, ftdi->readbuffer + at + 2,
                             static_cast<std::size_t>(data));
                payload += data;
            }
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
    if (ftdi == nullptr) {
        return -1;
    }
    ftdi->readbuffer_offset = 0;
    ftdi->readbuffer_remaining = 0;
    auto* buffer = static_cast<unsigned char*>(std::realloc(ftdi->readbuffer, chunksize));
    if (buffer == nullptr) {
        return vok::test::Fail(ftdi, -1, "out of memory for readbuffer");
    }
    ftdi->readbuffer = buffer;
    ftdi->readbuffer_chunksize = chunksize;
    return 0;
}

int ftdi_write_data(ftdi_context* ftdi, const unsigned char* buf, int size) {
    if (ftdi == nullptr || ftdi->usb_dev == nullptr) {
        return vok::test::Fail(ftdi, -666, "USB device unavailable");
    }
    const int result = vok::test::BulkWrite(ftdi->usb_dev->id, buf, size);
    if (result < 0) {
        return vok::test::Fail(ftdi, result, "usb bulk write failed");
    }
    return size;
}

int LIBUSB_CALL libusb_get_device_descriptor(libusb_device* dev,
                                             struct libusb_device_descriptor* desc) {
    Bus& bus = TheBus();
    std::lock_guard lock(bus.mutex);
    const DeviceState* d = vok::test::Find(bus, dev->id);
    if (d == nullptr) {
        return LIBUSB_ERROR_NOT_FOUND;
    }
    *desc = {};
    desc->idVendor = d->spec.vendor;
    desc->idProduct = d->spec.product;
    return 0;
}

uint8_t LIBUSB_CALL libusb_get_bus_number(libusb_device* dev) {
    Bus& bus = TheBus();
    std::lock_guard lock(bus.mutex);
    const DeviceState* d = vok::test::Find(bus, dev->id);
    return d == nullptr ? 0 : d->spec.bus;
}

uint8_t LIBUSB_CALL libusb_get_device_address(libusb_device* dev) {
    Bus& bus = TheBus();
    std::lock_guard lock(bus.mutex);
    const DeviceState* d = vok::test::Find(bus, dev->id);
    return d == nullptr ? 0 : d->spec.address;
}
