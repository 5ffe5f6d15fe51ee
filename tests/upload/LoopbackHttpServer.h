#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vok::test {

// How one connection carries bytes, as recv and send do: plainly or through TLS.
struct LoopbackChannel {
    std::function<ssize_t(char* buffer, std::size_t size)> receive;
    std::function<ssize_t(const char* data, std::size_t size)> send;
};

// An accepted socket's channel; none closes it at once (a TLS handshake broken off, a hang-up).
using LoopbackChannelFactory = std::function<std::optional<LoopbackChannel>(int socket)>;

// A web server on 127.0.0.1 that records each request's raw bytes, answers
// with a scripted reply (possibly nothing) and waits for the client to close.
class LoopbackHttpServer {
public:
    explicit LoopbackHttpServer(std::string rawReply,
                                LoopbackChannelFactory channels = PlainChannel)
        : m_reply(std::move(rawReply)), m_channels(std::move(channels)) {
        ::setenv("no_proxy", "*", 1);  // a proxy named in the environment would take the requests
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t size = sizeof address;
        if (m_listen < 0 || ::bind(m_listen, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            ::listen(m_listen, 8) != 0 ||
            ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
            std::abort();
        }
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }

    // A connection still open is cut, as a server that goes away without a word would.
    ~LoopbackHttpServer() {
        Track(-1, true);
        ::shutdown(m_listen, SHUT_RDWR);  // the waiting accept fails and the thread ends
        m_thread.join();
        ::close(m_listen);
    }

    static std::string Reply(int status, const std::string& body) {
        return "HTTP/1.1 " + std::to_string(status) +
               " Scripted\r\nContent-Length: " + std::to_string(body.size()) +
               "\r\nConnection: close\r\n\r\n" + body;
    }

    std::uint16_t Port() const { return m_port; }
    std::string Address() const { return "127.0.0.1:" + std::to_string(m_port); }

    std::vector<std::string> Requests() const {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }

private:
    static std::optional<LoopbackChannel> PlainChannel(int socket) {
        return LoopbackChannel{
            [socket](char* to, std::size_t n) { return ::recv(socket, to, n, 0); },
            [socket](const char* at, std::size_t n) { return ::send(socket, at, n, MSG_NOSIGNAL); },
        };
    }

    void Serve() {
        for (int connection;
             (connection = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
            Track(connection, false);
            Answer(m_channels(connection));
            Track(-1, false);
            ::close(connection);
        }
    }

    // Complete once the head and as many body bytes as it announces are in.
    static bool IsComplete(const std::string& request) {
        const std::size_t end = request.find("\r\n\r\n");
        const std::size_t length = request.find("\r\nContent-Length: ");
        return end != std::string::npos &&
               request.size() >=
                   end + 4 + (length < end ? std::stoul(request.substr(length + 18, 20)) : 0);
    }

    void Answer(const std::optional<LoopbackChannel>& channel) {
        if (!channel) {
            return;
        }
        char buffer[65536];
        std::string request;
        for (ssize_t n = 1; n > 0 && !IsComplete(request);) {
            n = channel->receive(buffer, sizeof buffer);
            request.append(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
        }
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(request);
        }
        if (channel->send(m_reply.data(), m_reply.size()) >= 0) {
            while (channel->receive(buffer, sizeof buffer) > 0) {
            }
        }
    }

    // The destructor cuts the open connection, and any accepted after it began.
    void Track(int connection, bool stopping) {
        std::lock_guard lock(m_mutex);
        m_stopping = m_stopping || stopping;
        m_connection = stopping ? m_connection : connection;
        if (m_stopping && m_connection >= 0) {
            ::shutdown(m_connection, SHUT_RDWR);
        }
    }

    const std::string m_reply;
    const LoopbackChannelFactory m_channels;
    const int m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    std::uint16_t m_port = 0;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
    int m_connection = -1;
    bool m_stopping = false;
    std::thread m_thread;
};

}  // namespace vok::test
