#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vok::test {

// How one connection of the server carries bytes: as they come (plain HTTP),
// or through a TLS session (LoopbackTls.h).
class LoopbackChannel {
public:
    virtual ~LoopbackChannel() = default;
    // As recv and send: the count, 0 at the end, below 0 on an error.
    virtual ssize_t Receive(char* buffer, std::size_t size) = 0;
    virtual ssize_t Send(const char* data, std::size_t size) = 0;
};

// Makes the channel of an accepted socket (which the server closes itself);
// nullptr when the connection cannot carry a request, e.g. the client broke
// off the TLS handshake.
using LoopbackChannelFactory = std::function<std::unique_ptr<LoopbackChannel>(int socket)>;

// A web server on 127.0.0.1 for the upload's tests and benchmark. It records
// each request's raw bytes as they arrived, so the body is checked byte for
// byte, and answers with a scripted reply. It needs no time limits of its own:
// the client under test always finishes and closes.
class LoopbackHttpServer {
public:
    // Answers each request with the raw reply (possibly nothing) and waits for the client to
    // close; or, told to hang up, closes each connection at once, reading nothing. A connection
    // whose channel cannot be made is closed and records no request.
    explicit LoopbackHttpServer(std::string rawReply, bool hangUp = false,
                                LoopbackChannelFactory channels = PlainChannel)
        : m_reply(std::move(rawReply)), m_hangUp(hangUp), m_channels(std::move(channels)) {
        ::setenv("no_proxy", "*", 1);  // a proxy named in the environment would take the requests
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
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
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
            if (m_connection >= 0) {
                ::shutdown(m_connection, SHUT_RDWR);
            }
        }
        ::shutdown(m_listen, SHUT_RDWR);  // the waiting accept fails and the thread ends
        m_thread.join();
        ::close(m_listen);
    }

    // A complete HTTP/1.1 reply with the body and its length.
    static std::string Reply(int status, const std::string& body) {
        return "HTTP/1.1 " + std::to_string(status) +
               " Scripted\r\nContent-Length: " + std::to_string(body.size()) +
               "\r\nConnection: close\r\n\r\n" + body;
    }

    // A loopback port that nobody listens on any more: connecting there is refused.
    static std::uint16_t ClosedPort() { return LoopbackHttpServer("").Port(); }

    std::uint16_t Port() const { return m_port; }
    std::string Address() const { return "127.0.0.1:" + std::to_string(m_port); }

    // The raw bytes of every request so far, oldest first.
    std::vector<std::string> Requests() const {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }

private:
    class Plain : public LoopbackChannel {
    public:
        explicit Plain(int socket) : m_socket(socket) {}
        ssize_t Receive(char* buffer, std::size_t size) override {
            return ::recv(m_socket, buffer, size, 0);
        }
        ssize_t Send(const char* data, std::size_t size) override {
            return ::send(m_socket, data, size, MSG_NOSIGNAL);
        }

    private:
        int m_socket;
    };
    static std::unique_ptr<LoopbackChannel> PlainChannel(int socket) {
        return std::make_unique<Plain>(socket);
    }

    // Complete once the head and as many body bytes as it announces are in.
    static bool IsComplete(const std::string& request) {
        const std::size_t end = request.find("\r\n\r\n");
        const std::size_t length = request.find("\r\nContent-Length: ");
        return end != std::string::npos &&
               request.size() >=
                   end + 4 + (length < end ? std::stoul(request.substr(length + 18, 20)) : 0);
    }

    void Serve() {
        char buffer[65536];
        for (;;) {
            const int connection = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0) {
                return;
            }
            Track(connection);
            std::unique_ptr<LoopbackChannel> channel = m_hangUp ? nullptr : m_channels(connection);
            if (!m_hangUp && !channel) {
                Untrack(connection);
                continue;
            }
            std::string request;
            for (ssize_t n = 1; channel && n > 0 && !IsComplete(request);) {
                n = channel->Receive(buffer, sizeof buffer);
                request.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
            }
            {
                std::lock_guard lock(m_mutex);
                m_requests.push_back(request);
            }
            if (channel && channel->Send(m_reply.data(), m_reply.size()) >= 0) {
                while (channel->Receive(buffer, sizeof buffer) > 0) {
                }
            }
            channel.reset();
            Untrack(connection);
        }
    }

    // The open connection is known to the destructor, which may have to cut it.
    void Track(int connection) {
        std::lock_guard lock(m_mutex);
        m_connection = connection;
        if (m_stopping) {
            ::shutdown(connection, SHUT_RDWR);
        }
    }
    void Untrack(int connection) {
        std::lock_guard lock(m_mutex);
        m_connection = -1;
        ::close(connection);
    }

    const std::string m_reply;
    const bool m_hangUp;
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
