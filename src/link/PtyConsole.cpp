#include "link/PtyConsole.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "link/LinkTiming.h"

namespace vok {

namespace {

using Clock = std::chrono::steady_clock;

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

}  // namespace

PtyConsole::PtyConsole(ConsoleScenario scenario, int baud)
    : m_console(scenario),
      m_byteTime(baud > 0 ? std::chrono::duration_cast<Clock::duration>(
                                std::chrono::duration<double>(double(kBitsPerSerialByte) / baud))
                          : Clock::duration::zero()) {}

PtyConsole::~PtyConsole() {
    CloseFd(m_slave);
    CloseFd(m_master);
    CloseFd(m_wakeFd);
}

Result<std::unique_ptr<PtyConsole>> PtyConsole::Create(ConsoleScenario scenario, int baud) {
    std::unique_ptr<PtyConsole> console(new PtyConsole(scenario, baud));
    auto failed = [](const char* what) {
        return Error{std::string(what) + ": " + std::strerror(errno)};
    };
    console->m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (console->m_master < 0) {
        return failed("cannot open a pseudo-terminal");
    }
    if (::grantpt(console->m_master) != 0 || ::unlockpt(console->m_master) != 0) {
        return failed("cannot unlock the pseudo-terminal");
    }
    std::array<char, 128> name{};
    if (::ptsname_r(console->m_master, name.data(), name.size()) != 0) {
        return failed("cannot name the pseudo-terminal");
    }
    console->m_slavePath = name.data();
    console->m_slave = ::open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (console->m_slave < 0) {
        return failed("cannot open the pseudo-terminal");
    }
    // Raw both ways: no echo of the tool's packets, no line editing, no
    // XON/XOFF, no CR/LF translation of the console's bytes.
    termios tio{};
    ::tcgetattr(console->m_slave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(console->m_slave, TCSANOW, &tio);
    const int flags = ::fcntl(console->m_master, F_GETFL);
    ::fcntl(console->m_master, F_SETFL, flags | O_NONBLOCK);
    console->m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (console->m_wakeFd < 0) {
        return failed("cannot create an event descriptor");
    }
    return console;
}

void PtyConsole::Stop() {
    m_stop = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
}

void PtyConsole::Hangup() {
    m_hangup = true;
    Stop();
}

Status PtyConsole::Run(int stopFd) {
    std::vector<std::uint8_t> unsent;  // due bytes the terminal did not take yet
    Clock::time_point lineFree = Clock::now();
    std::array<std::uint8_t, kLinkReadChunk> input{};
    while (!m_stop.load()) {
        const Clock::time_point now = Clock::now();
        while (m_console.HasOutput() && lineFree + m_byteTime <= now) {
            unsent.push_back(m_console.TakeByte());
            lineFree += m_byteTime;
        }
        if (!unsent.empty()) {
            const ssize_t n = ::write(m_master, unsent.data(), unsent.size());
            if (n > 0) {
                unsent.erase(unsent.begin(), unsent.begin() + n);
                m_bytesSent += static_cast<std::size_t>(n);
            } else if (n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) {
                return Error{std::string("cannot write to the terminal: ") + std::strerror(errno)};
            }
        }
        // A full terminal (nobody reading) is waited on, not polled.
        const bool blocked = !unsent.empty();
        int timeout = -1;
        if (!blocked && m_console.HasOutput()) {
            const auto next =
                std::chrono::ceil<std::chrono::milliseconds>(lineFree + m_byteTime - now);
            timeout = static_cast<int>(std::max(next, kConsoleWriteSlice).count());
        }
        const bool idle = !m_console.HasOutput();
        const short events = blocked ? POLLIN | POLLOUT : POLLIN;
        pollfd fds[3] = {{m_master, events, 0}, {m_wakeFd, POLLIN, 0}, {stopFd, POLLIN, 0}};
        const int ready = ::poll(fds, stopFd >= 0 ? 3 : 2, timeout);
        if (ready < 0 && errno != EINTR) {
            return Error{std::string("cannot wait on the terminal: ") + std::strerror(errno)};
        }
        if (stopFd >= 0 && (fds[2].revents & POLLIN) != 0) {
            break;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            const ssize_t n = ::read(m_master, input.data(), input.size());
            for (ssize_t i = 0; i < n; ++i) {
                m_console.Receive(input[static_cast<std::size_t>(i)]);
            }
            m_echoAnswers = m_console.EchoAnswers();
        }
        if (idle) {
            // The line was quiet while waiting: what the tool's packet
            // started leaves from now on, not as a burst making up for the wait.
            lineFree = Clock::now();
        }
    }
    if (m_hangup.load()) {
        CloseFd(m_master);
        CloseFd(m_slave);
    }
    return Done{};
}

}  // namespace vok
