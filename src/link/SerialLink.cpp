#include "link/SerialLink.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vok {

namespace {

std::string OpenFailure(const std::string& path, int error) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return "path missing: " + path + " does not exist (is the cable plugged in?)";
        case EACCES:
        case EPERM:
            return "permission denied on " + path +
                   ": the udev rules of VOK Remote Diagnosis give it to the user at the seat; "
                   "elsewhere add your user to the group that owns the device (dialout for "
                   "/dev/ttyUSB*): sudo usermod -aG dialout $USER, then log in again";
        case EBUSY:
        case EWOULDBLOCK:
            return "device busy: another program is using " + path;
        default:
            return path + ": " + std::strerror(error);
    }
}

}  // namespace

// The wake descriptor lives as long as the object, so Close() from one
// thread can never write to a descriptor another thread has just released.
SerialLink::SerialLink(std::string path)
    : m_path(std::move(path)), m_wakeFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

SerialLink::~SerialLink() {
    Close();
    if (m_wakeFd >= 0) {
        ::close(m_wakeFd);
    }
}

Status SerialLink::Open() {
    std::lock_guard lock(m_mutex);
    if (m_fd >= 0) {
        return Done{};
    }
    const int fd = ::open(m_path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return Error{OpenFailure(m_path, errno)};
    }
    auto fail = [&](const std::string& reason) -> Status {
        ::close(fd);
        return Error{reason};
    };
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        return fail(m_path + " is not a serial device");
    }
    // One program at a time: a second one gets "device busy". An advisory
    // lock rather than TIOCEXCL, because the lock goes with the descriptor
    // even when a program crashes, while the exclusive flag would stay on a
    // terminal that vok console keeps open.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return fail(OpenFailure(m_path, EBUSY));
    }
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS | CSIZE);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        return fail(m_path + ": cannot set 9600 8N1 raw: " + std::strerror(errno));
    }
    // Whatever waited in the queue belongs to an earlier session.
    ::tcflush(fd, TCIFLUSH);
    if (m_wakeFd < 0) {
        return fail(m_path + ": no event descriptor for the link");
    }
    std::uint64_t pending = 0;
    [[maybe_unused]] const ssize_t drained = ::read(m_wakeFd, &pending, sizeof pending);
    m_fd = fd;
    m_head = m_tail = 0;
    m_closing = false;
    return Done{};
}

void SerialLink::Close() {
    m_closing = true;
    if (m_wakeFd >= 0) {
        // Wakes a worker waiting in poll, so the lock comes free at once.
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
    }
    std::lock_guard lock(m_mutex);
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_head = m_tail = 0;
}

Status SerialLink::CheckOpen() const {
    if (m_fd < 0 || m_closing.load()) {
        return Error{m_path + " is closed"};
    }
    return Done{};
}

std::string SerialLink::Gone(const std::string& how) const {
    return "the connection to " + m_path + " was lost (" + how + ")";
}

Result<std::size_t> SerialLink::ReceiveCount() {
    std::lock_guard lock(m_mutex);
    if (Status open = CheckOpen(); !open) {
        return Error{open.error()};
    }
    int queued = 0;
    if (::ioctl(m_fd, FIONREAD, &queued) != 0) {
        if (Buffered() > 0) {
            return Buffered();
        }
        return Error{Gone(std::strerror(errno))};
    }
    return Buffered() + static_cast<std::size_t>(queued);
}

// Pulls what the kernel holds into the buffer, waiting at most `timeout`
// for the first byte. False when nothing came.
Result<bool> SerialLink::Fill(std::chrono::milliseconds timeout) {
    if (Buffered() > 0) {
        return true;
    }
    m_head = m_tail = 0;
    pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    const int ready = ::poll(fds, 2, static_cast<int>(timeout.count()));
    if (ready < 0) {
        return errno == EINTR ? Result<bool>(false)
                              : Result<bool>(Error{Gone(std::strerror(errno))});
    }
    if (m_closing.load()) {
        return Error{m_path + " is closed"};
    }
    if (ready == 0) {
        return false;
    }
    if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) == 0) {
        return false;
    }
    const ssize_t n = ::read(m_fd, m_buffer.data(), m_buffer.size());
    if (n > 0) {
        m_tail = static_cast<std::size_t>(n);
        return true;
    }
    if (n == 0) {
        return Error{Gone("end of file")};
    }
    if (errno == EAGAIN || errno == EINTR) {
        return false;
    }
    return Error{Gone(std::strerror(errno))};
}

Result<std::uint8_t> SerialLink::ReadByte() {
    std::lock_guard lock(m_mutex);
    if (Status open = CheckOpen(); !open) {
        return Error{open.error()};
    }
    const Result<bool> filled = Fill(std::chrono::milliseconds(0));
    if (!filled) {
        return Error{filled.error()};
    }
    if (!*filled) {
        return Error{"no byte waiting on " + m_path};
    }
    return m_buffer[m_head++];
}

Result<bool> SerialLink::WaitReadable(std::chrono::milliseconds timeout) {
    std::lock_guard lock(m_mutex);
    if (Status open = CheckOpen(); !open) {
        return Error{open.error()};
    }
    return Fill(timeout);
}

Status SerialLink::WritePacket(const CommandPacket& packet) {
    std::lock_guard lock(m_mutex);
    if (Status open = CheckOpen(); !open) {
        return open;
    }
    std::size_t written = 0;
    const auto deadline = std::chrono::steady_clock::now() + kLinkWriteTimeout;
    while (written < packet.size()) {
        const ssize_t n = ::write(m_fd, packet.data() + written, packet.size() - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return Error{Gone(std::strerror(errno))};
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return Error{m_path + ": the packet could not be sent in time"};
        }
        pollfd fds[2] = {{m_fd, POLLOUT, 0}, {m_wakeFd, POLLIN, 0}};
        ::poll(fds, 2, static_cast<int>(std::min(left, kLinkWaitSlice).count()));
        if (m_closing.load()) {
            return Error{m_path + " is closed"};
        }
    }
    return Done{};
}

}  // namespace vok
