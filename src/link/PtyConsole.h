#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "core/Result.h"
#include "link/ConsoleScenario.h"
#include "link/SimulatedConsole.h"

namespace vok {

// The simulated console on a pseudo-terminal, as `vok console` offers it: a
// program opens SlavePath() like a serial device. The console's bytes leave
// at the pace of the baud rate (0: at once), written in slices of about a
// millisecond, the way a USB serial bridge delivers them.
class PtyConsole {
public:
    static Result<std::unique_ptr<PtyConsole>> Create(ConsoleScenario scenario, int baud);
    ~PtyConsole();
    PtyConsole(const PtyConsole&) = delete;
    PtyConsole& operator=(const PtyConsole&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }

    // Serves until Stop() or until `stopFd` (e.g. a signalfd) becomes readable.
    Status Run(int stopFd = -1);

    // From any thread: Run returns soon after.
    void Stop();
    // From any thread: the terminal's master side goes away, as when the
    // cable is pulled; Run returns.
    void Hangup();

    std::size_t BytesSent() const { return m_bytesSent.load(); }
    std::size_t EchoAnswers() const { return m_echoAnswers.load(); }

private:
    PtyConsole(ConsoleScenario scenario, int baud);

    SimulatedConsole m_console;
    std::chrono::steady_clock::duration m_byteTime;
    int m_master = -1;
    int m_slave = -1;  // held open so the master never reads as hung up
    int m_wakeFd = -1;
    std::string m_slavePath;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_hangup{false};
    std::atomic<std::size_t> m_bytesSent{0};
    std::atomic<std::size_t> m_echoAnswers{0};
};

}  // namespace vok
