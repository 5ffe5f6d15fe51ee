#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/TempDir.h"

namespace vok::test {

// One `vok-center` process run as an operator would: `serve` on a free port
// of 127.0.0.1, its standard error kept in a file (never a pipe nobody
// reads), killed with SIGKILL if the test forgets it.
class CenterProcess {
public:
    CenterProcess() = default;
    ~CenterProcess() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    CenterProcess(const CenterProcess&) = delete;
    CenterProcess& operator=(const CenterProcess&) = delete;

    // Starts `vok-center serve --listen 127.0.0.1:0 --data-dir DATA ARGS` and
    // waits (at most 20 s) for its "listening" line. `maxFiles` > 0 lowers
    // the process's open-file limit first. false with the log in
    // StartError() when it ends or stays silent instead.
    bool Start(const std::string& dataDir, const std::string& logFile,
               const std::vector<std::string>& extra = {}, rlim_t maxFiles = 0) {
        m_logFile = logFile;
        std::vector<std::string> args = {VOK_CENTER_PATH, "serve",      "--listen",
                                         "127.0.0.1:0",   "--data-dir", dataDir};
        args.insert(args.end(), extra.begin(), extra.end());
        // Everything the child needs is made before fork: other threads may
        // hold the allocator's lock at that moment.
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        m_pid = ::fork();
        if (m_pid == 0) {
            // Each start has a log of its own: a new file, never through a link.
            const int log =
                ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            ::dup2(log, STDERR_FILENO);
            const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
            ::dup2(null, STDIN_FILENO);
            ::dup2(null, STDOUT_FILENO);
            if (maxFiles > 0) {
                const rlimit limit{maxFiles, maxFiles};
                ::setrlimit(RLIMIT_NOFILE, &limit);
            }
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            if (const auto port = ListeningPort()) {
                m_port = *port;
                return true;
            }
            if (::waitpid(m_pid, &m_status, WNOHANG) == m_pid) {
                m_pid = -1;
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    std::uint16_t Port() const { return m_port; }
    std::string Log() const { return ReadAll(m_logFile); }
    pid_t Pid() const { return m_pid; }

    // Sends `signal` and waits at most `limit` for the end. The exit status,
    // 128 + N for a signal N, or nothing when it is still running.
    std::optional<int> Stop(int signal, std::chrono::milliseconds limit) {
        if (m_pid <= 0) {
            return std::nullopt;
        }
        ::kill(m_pid, signal);
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            if (::waitpid(m_pid, &m_status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : 128 + WTERMSIG(m_status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::nullopt;
    }

    // Resident set size now, from /proc, in KiB.
    long ResidentKib() const {
        const std::string status = ReadAll("/proc/" + std::to_string(m_pid) + "/status");
        const auto at = status.find("VmRSS:");
        return at == std::string::npos ? -1 : std::stol(status.substr(at + 6));
    }

private:
    std::optional<std::uint16_t> ListeningPort() const {
        static constexpr std::string_view kReady = "vok-center listening on http://";
        const std::string log = ReadAll(m_logFile);
        const auto at = log.find(kReady);
        if (at == std::string::npos) {
            return std::nullopt;
        }
        const auto end = log.find('\n', at);
        if (end == std::string::npos) {
            return std::nullopt;
        }
        const std::string address = log.substr(at + kReady.size(), end - at - kReady.size());
        const auto colon = address.rfind(':');
        const long port =
            colon == std::string::npos ? 0 : std::strtol(address.c_str() + colon + 1, nullptr, 10);
        return port > 0 && port < 65536
                   ? std::optional<std::uint16_t>(static_cast<std::uint16_t>(port))
                   : std::nullopt;
    }

    std::string m_logFile;
    pid_t m_pid = -1;
    int m_status = 0;
    std::uint16_t m_port = 0;
};

}  // namespace vok::test
