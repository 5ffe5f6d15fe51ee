#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace vok::test {

// One TCP connection to 127.0.0.1, spoken to byte by byte: what a hostile or
// broken client does that no HTTP library would. Closed when it goes.
class HttpExchange {
public:
    explicit HttpExchange(std::uint16_t port) {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (m_fd >= 0 &&
            ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~HttpExchange() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    HttpExchange(const HttpExchange&) = delete;
    HttpExchange& operator=(const HttpExchange&) = delete;

    bool Connected() const { return m_fd >= 0; }

    // Sends every byte unless the peer closes or stops reading for `limit`;
    // the bytes that went.
    std::size_t Send(std::string_view bytes,
                     std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        std::size_t sent = 0;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (m_fd >= 0 && sent < bytes.size()) {
            if (!Wait(POLLOUT, deadline)) {
                break;
            }
            const ssize_t n = ::send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) {
                break;
            }
            sent += static_cast<std::size_t>(n);
        }
        return sent;
    }

    // No more bytes from this side; the peer reads the end of the stream.
    void EndSending() {
        if (m_fd >= 0) {
            ::shutdown(m_fd, SHUT_WR);
        }
    }

    // Whatever arrives until the peer closes, `limit` passes, or a whole
    // reply (head and Content-Length body) is in.
    std::string Receive(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        std::string reply;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        char buffer[16384];
        while (m_fd >= 0 && !Complete(reply) && Wait(POLLIN, deadline)) {
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                m_peerClosed = true;
                break;
            }
            reply.append(buffer, static_cast<std::size_t>(n));
        }
        return reply;
    }

    // The peer closed (or reset) the connection during the last Receive.
    bool PeerClosed() const { return m_peerClosed; }

    // The reply's body with its head cut off.
    static std::string Body(const std::string& reply) {
        const auto end = reply.find("\r\n\r\n");
        return end == std::string::npos ? std::string() : reply.substr(end + 4);
    }
    // The first line of the body, as the client reads it: without CR.
    static std::string FirstBodyLine(const std::string& reply) {
        std::string line = Body(reply);
        line = line.substr(0, line.find('\n'));
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        return line;
    }
    // "HTTP/1.1 413 ..." -> 413; 0 when there is no status line.
    static int Status(const std::string& reply) {
        if (reply.rfind("HTTP/1.", 0) != 0 || reply.size() < 12) {
            return 0;
        }
        return std::atoi(reply.c_str() + 9);
    }

private:
    bool Wait(short events, std::chrono::steady_clock::time_point deadline) const {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd watched{m_fd, events, 0};
        return ::poll(&watched, 1, static_cast<int>(left.count())) > 0;
    }

    static bool Complete(const std::string& reply) {
        const auto end = reply.find("\r\n\r\n");
        if (end == std::string::npos) {
            return false;
        }
        const std::string head = reply.substr(0, end);
        for (std::string_view name : {"\r\nContent-Length:", "\r\ncontent-length:"}) {
            const auto at = head.find(name);
            if (at != std::string::npos) {
                const auto length = std::strtoul(head.c_str() + at + name.size(), nullptr, 10);
                return reply.size() >= end + 4 + length;
            }
        }
        return false;
    }

    int m_fd = -1;
    bool m_peerClosed = false;
};

}  // namespace vok::test
