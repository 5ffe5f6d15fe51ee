#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace vok::test {

// A web server on 127.0.0.1 for the upload's tests and benchmark. It takes one
// connection after another, records each request's raw bytes exactly as they
// arrived (head and body), and answers with a scripted reply. Nothing in it
// parses multipart data, so the body is checked byte for byte.
class LoopbackHttpServer {
public:
    // What the server does after a request has arrived.
    enum class Then {
        Close,   // send the reply and close
        Hold,    // send the reply (possibly nothing) and keep the connection open
        HangUp,  // close each connection as soon as it is taken, reading nothing
    };

    explicit LoopbackHttpServer(std::string rawReply, Then then = Then::Close)
        : m_reply(std::move(rawReply)), m_then(then) {
        m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (m_listen < 0 ||
            ::bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_listen, 8) != 0 ||
            ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &size) != 0 ||
            ::pipe2(m_wake, O_CLOEXEC) != 0) {
            std::abort();
        }
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }

    ~LoopbackHttpServer() {
        const char stop = 1;
        if (::write(m_wake[1], &stop, 1) != 1) {
            std::abort();
        }
        m_thread.join();
        ::close(m_listen);
        ::close(m_wake[0]);
        ::close(m_wake[1]);
    }

    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // A complete HTTP/1.1 reply with the body and its length.
    static std::string Reply(int status, std::string_view body) {
        return "HTTP/1.1 " + std::to_string(status) + " Scripted\r\nContent-Type: text/html\r\n" +
               "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
               std::string(body);
    }

    std::uint16_t Port() const { return m_port; }
    std::string Address() const { return "127.0.0.1:" + std::to_string(m_port); }

    // The raw bytes of every request so far, oldest first.
    std::vector<std::string> Requests() const {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }

    // The head (request line and header lines, without the blank line) and
    // the body of the only request.
    std::string Head() const { return Split().first; }
    std::string Body() const { return Split().second; }

private:
    std::pair<std::string, std::string> Split() const {
        const std::vector<std::string> requests = Requests();
        if (requests.size() != 1) {
            return {};
        }
        const std::size_t end = requests[0].find("\r\n\r\n");
        if (end == std::string::npos) {
            return {requests[0], {}};
        }
        return {requests[0].substr(0, end), requests[0].substr(end + 4)};
    }

    // Waits for the descriptor or the stop signal; false when told to stop.
    bool WaitFor(int fd) const {
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        while (::poll(fds, 2, -1) < 0) {
            if (errno != EINTR) {
                return false;
            }
        }
        return (fds[1].revents & POLLIN) == 0;
    }

    static std::optional<std::size_t> ContentLength(const std::string& head) {
        std::string lower = head;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        const std::size_t at = lower.find("\r\ncontent-length:");
        if (at == std::string::npos) {
            return std::nullopt;
        }
        return std::stoul(lower.substr(at + 17));
    }

    static bool IsComplete(const std::string& request) {
        const std::size_t end = request.find("\r\n\r\n");
        if (end == std::string::npos) {
            return false;
        }
        const std::size_t length = ContentLength(request.substr(0, end)).value_or(0);
        return request.size() >= end + 4 + length;
    }

    void Serve() {
        while (WaitFor(m_listen)) {
            const int connection = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0) {
                continue;
            }
            const bool go_on = Answer(connection);
            ::close(connection);
            if (!go_on) {
                return;
            }
        }
    }

    // Records one request and answers it; false when told to stop.
    bool Answer(int connection) {
        if (m_then == Then::HangUp) {
            Record({});
            return true;
        }
        std::string request;
        char buffer[65536];
        while (!IsComplete(request)) {
            if (!WaitFor(connection)) {
                Record(request);
                return false;
            }
            const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
            if (n <= 0) {
                break;
            }
            request.append(buffer, static_cast<std::size_t>(n));
        }
        Record(request);
        for (std::size_t sent = 0; sent < m_reply.size();) {
            const ssize_t n =
                ::send(connection, m_reply.data() + sent, m_reply.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) {
                break;
            }
            sent += static_cast<std::size_t>(n);
        }
        if (m_then == Then::Hold) {
            // Until the client gives up and closes, or the test ends.
            while (WaitFor(connection)) {
                if (::recv(connection, buffer, sizeof buffer, 0) <= 0) {
                    return true;
                }
            }
            return false;
        }
        return true;
    }

    void Record(std::string request) {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(std::move(request));
    }

    const std::string m_reply;
    const Then m_then;
    int m_listen = -1;
    int m_wake[2] = {-1, -1};
    std::uint16_t m_port = 0;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};

// A loopback port that nobody listens on: connecting there is refused.
inline std::uint16_t ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        std::abort();
    }
    ::close(fd);
    return ntohs(address.sin_port);
}

}  // namespace vok::test
