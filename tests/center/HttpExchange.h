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

namespace vok::center::test {

// One TCP connection to 127.0.0.1, spoken to byte by byte: what a hostile or
// broken client does that no HTTP library would. Closed when it goes.
class HttpExchange {
public:
    explicit HttpExchange(std::uint16_t port) : m_fd(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~HttpExchange() { ::close(m_fd); }
    HttpExchange(const HttpExchange&) = delete;
    HttpExchange& operator=(const HttpExchange&) = delete;

    bool Connected() const { return m_fd >= 0; }
    // The peer closed (or reset) the connection during the last Receive.
    bool PeerClosed() const { return m_peerClosed; }
    // No more bytes from this side; the peer reads the end of the stream.
    void EndSending() { ::shutdown(m_fd, SHUT_WR); }

    // Sends until the peer closes or stops reading for `limit`; bytes sent.
    std::size_t Send(std::string_view bytes,
                     std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        std::size_t sent = 0;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (ssize_t n = 0; sent < bytes.size() && Wait(POLLOUT, deadline); sent += n) {
            n = ::send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) {
                break;
            }
        }
        return sent;
    }

    // What arrives until the peer closes, `limit` passes or a reply is whole.
    std::string Receive(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        std::string reply;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        char buffer[16384];
        while (!Complete(reply) && Wait(POLLIN, deadline)) {
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                m_peerClosed = true;
                break;
            }
            reply.append(buffer, static_cast<std::size_t>(n));
        }
        return reply;
    }

private:
    bool Wait(short events, std::chrono::steady_clock::time_point deadline) const {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd watched{m_fd, events, 0};
        return m_fd >= 0 && left.count() > 0 &&
               ::poll(&watched, 1, static_cast<int>(left.count())) > 0;
    }

    static bool Complete(const std::string& reply) {
        const auto end = reply.find("\r\n\r\n");
        const auto at = reply.substr(0, end).find("\r\nContent-Length:");
        return end != std::string::npos && at != std::string::npos &&
               reply.size() >= end + 4 + std::strtoul(reply.c_str() + at + 17, nullptr, 10);
    }

    int m_fd;
    bool m_peerClosed = false;
};

// "HTTP/1.1 413 ..." -> 413; 0 when there is no status line.
inline int StatusOf(const std::string& reply) {
    return reply.rfind("HTTP/1.", 0) == 0 && reply.size() >= 12 ? std::atoi(reply.c_str() + 9) : 0;
}
inline std::string BodyOf(const std::string& reply) {
    const auto end = reply.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : reply.substr(end + 4);
}
// The value of a header of the reply ("" when missing), name as sent.
inline std::string HeaderOf(const std::string& reply, const std::string& name) {
    const std::string head = reply.substr(0, reply.find("\r\n\r\n"));
    const std::size_t at = head.find("\r\n" + name + ": ");
    const std::size_t start = at + name.size() + 4;
    return at == std::string::npos ? "" : head.substr(start, head.find("\r\n", start) - start);
}

// Sends raw request bytes and reads the whole reply.
inline std::string Exchange(std::uint16_t port, const std::string& request) {
    HttpExchange http(port);
    http.Send(request);
    return http.Receive(std::chrono::seconds(30));
}
inline std::string Get(std::uint16_t port, const std::string& target,
                       const std::string& headers = "") {
    return Exchange(port, "GET " + target + " HTTP/1.1\r\nHost: x\r\n" + headers + "\r\n");
}

}  // namespace vok::center::test
