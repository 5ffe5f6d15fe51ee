#include "center/HttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vok::center {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kReadChunk = 64 * 1024;
constexpr int kMaxEvents = 256;
constexpr auto kSweepInterval = std::chrono::milliseconds(200);
constexpr auto kAcceptPause = std::chrono::milliseconds(100);
constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";

std::string PeerText(const sockaddr_storage& address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(&address);
        ::inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
    } else if (address.ss_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&address);
        ::inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
    }
    return text;
}

// Writes what it can without blocking; for short refusals from the front.
void WriteSome(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) {
                continue;
            }
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

}  // namespace

struct HttpServer::Connection {
    explicit Connection(const HttpRequestParser::Limits& limits) : parser(limits) {}
    int fd = -1;
    std::string peer;
    HttpRequestParser parser;
    Clock::time_point started;
    Clock::time_point deadline;
    bool draining = false;
    bool sentContinue = false;
    std::size_t counted = 0;
};

HttpServer::HttpServer(Options options, Handler handler)
    : m_options(std::move(options)), m_handler(std::move(handler)) {}

HttpServer::~HttpServer() {
    Stop();
    for (int fd : {m_listenFd, m_epollFd, m_wakeFd}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

void HttpServer::AddCommonHeaders(HttpResponse& response) {
    // A route that set its own policy (the report page) keeps it.
    if (response.HeaderValue("Content-Security-Policy").empty()) {
        response.headers.emplace_back(
            "Content-Security-Policy",
            "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self';"
            " connect-src 'self'; form-action 'self'; frame-src 'self';"
            " frame-ancestors 'none'; base-uri 'none'");
    }
    response.headers.emplace_back("X-Content-Type-Options", "nosniff");
    response.headers.emplace_back("Referrer-Policy", "no-referrer");
    // Pages hold reports and are never kept; a static file may say otherwise.
    if (response.HeaderValue("Cache-Control").empty()) {
        response.headers.emplace_back("Cache-Control", "no-store");
    }
}

Status HttpServer::Bind() {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(m_options.port);
    const int rc = ::getaddrinfo(m_options.host.empty() ? nullptr : m_options.host.c_str(),
                                 port.c_str(), &hints, &found);
    if (rc != 0) {
        return Error{"cannot listen on " + m_options.host + ": " + ::gai_strerror(rc)};
    }
    std::string reason = "no address";
    for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
        const int fd =
            ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            reason = std::strerror(errno);
            continue;
        }
        const int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, SOMAXCONN) != 0) {
            reason = std::strerror(errno);
            ::close(fd);
            continue;
        }
        m_listenFd = fd;
        break;
    }
    ::freeaddrinfo(found);
    if (m_listenFd < 0) {
        return Error{"cannot listen on " + m_options.host + ":" + port + ": " + reason};
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&bound), &length);
    m_port = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                               : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);

    m_epollFd = ::epoll_create1(EPOLL_CLOEXEC);
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_epollFd < 0 || m_wakeFd < 0) {
        return Error{std::string("cannot start the server: ") + std::strerror(errno)};
    }
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = m_listenFd;
    ::epoll_ctl(m_epollFd, EPOLL_CTL_ADD, m_listenFd, &event);
    event.data.fd = m_wakeFd;
    ::epoll_ctl(m_epollFd, EPOLL_CTL_ADD, m_wakeFd, &event);
    return Done{};
}

void HttpServer::Stop() {
    m_stopping = true;
    if (m_wakeFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
    }
}

void HttpServer::Run() {
    if (m_listenFd < 0) {
        return;
    }
    for (std::size_t i = 0; i < std::max<std::size_t>(1, m_options.workers); ++i) {
        m_workers.emplace_back([this] { WorkerLoop(); });
    }
    FrontLoop();
    {
        const std::lock_guard lock(m_mutex);
        m_queueClosed = true;
    }
    m_ready.notify_all();
    for (std::thread& worker : m_workers) {
        worker.join();
    }
    m_workers.clear();
}

void HttpServer::FrontLoop() {
    epoll_event events[kMaxEvents];
    Clock::time_point nextSweep = Clock::now() + kSweepInterval;
    while (!m_stopping) {
        const auto wait =
            std::chrono::duration_cast<std::chrono::milliseconds>(nextSweep - Clock::now());
        const int count = ::epoll_wait(m_epollFd, events, kMaxEvents,
                                       static_cast<int>(std::max<long long>(0, wait.count())));
        for (int i = 0; i < count && !m_stopping; ++i) {
            const int fd = events[i].data.fd;
            if (fd == m_wakeFd) {
                continue;
            }
            if (fd == m_listenFd) {
                Accept();
                continue;
            }
            if (static_cast<std::size_t>(fd) < m_connections.size() && m_connections[fd]) {
                ReadFrom(*m_connections[fd]);
            }
        }
        if (Clock::now() >= nextSweep) {
            Sweep();
            nextSweep = Clock::now() + kSweepInterval;
        }
    }
    for (std::size_t fd = 0; fd < m_connections.size(); ++fd) {
        if (m_connections[fd]) {
            Close(static_cast<int>(fd));
        }
    }
}

void HttpServer::Accept() {
    for (;;) {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        const int fd = ::accept4(m_listenFd, reinterpret_cast<sockaddr*>(&address), &length,
                                 SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                // Out of descriptors: stop accepting a moment instead of spinning.
                epoll_event event{};
                event.data.fd = m_listenFd;
                ::epoll_ctl(m_epollFd, EPOLL_CTL_MOD, m_listenFd, &event);
                m_listenPaused = true;
                m_listenResume = Clock::now() + kAcceptPause;
            }
            return;
        }
        if (m_connectionCount >= m_options.maxConnections) {
            WriteSome(fd, HttpResponse::Text(503, "503 too many connections\n").Serialize());
            ::close(fd);
            continue;
        }
        auto connection = std::make_unique<Connection>(m_options.limits);
        connection->fd = fd;
        connection->peer = PeerText(address);
        connection->started = Clock::now();
        connection->deadline = connection->started + m_options.headTimeout;
        epoll_event event{};
        event.events = EPOLLIN | EPOLLRDHUP;
        event.data.fd = fd;
        if (::epoll_ctl(m_epollFd, EPOLL_CTL_ADD, fd, &event) != 0) {
            ::close(fd);
            continue;
        }
        if (static_cast<std::size_t>(fd) >= m_connections.size()) {
            m_connections.resize(static_cast<std::size_t>(fd) + 1);
        }
        m_connections[fd] = std::move(connection);
        ++m_connectionCount;
    }
}

void HttpServer::ReadFrom(Connection& c) {
    char buffer[kReadChunk];
    for (;;) {
        const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        }
        if (n <= 0) {
            Close(c.fd);  // the client left (or the socket broke) before finishing
            return;
        }
        if (c.draining) {
            continue;
        }
        const auto state = c.parser.Feed(std::string_view(buffer, static_cast<std::size_t>(n)));
        m_bufferedBytes -= c.counted;
        c.counted = c.parser.BufferedBytes();
        m_bufferedBytes += c.counted;
        if (state == HttpRequestParser::State::Failed) {
            Refuse(c, c.parser.errorStatus(), c.parser.errorReason());
            continue;
        }
        if (c.parser.HeadDone() && c.deadline == c.started + m_options.headTimeout) {
            c.deadline = c.started + m_options.requestTimeout;
        }
        if (state == HttpRequestParser::State::Complete) {
            HttpRequest request = c.parser.TakeRequest();
            request.peer = c.peer;
            const int fd = c.fd;
            bool full = false;
            {
                const std::lock_guard lock(m_mutex);
                full = m_queue.size() >= m_options.maxQueuedRequests;
                if (!full) {
                    // The body stays counted until a worker takes it.
                    m_bufferedBytes += request.body.size();
                    ::epoll_ctl(m_epollFd, EPOLL_CTL_DEL, fd, nullptr);
                    m_queue.push_back(Job{fd, std::move(request)});
                }
            }
            if (full) {
                Refuse(c, 503, "server busy, try again later");
                continue;
            }
            m_ready.notify_one();
            // The worker owns the socket now.
            m_bufferedBytes -= c.counted;
            m_connections[fd].reset();
            --m_connectionCount;
            return;
        }
        if (m_bufferedBytes > m_options.maxBufferedBytes) {
            Refuse(c, 503, "server busy, try again later");
            continue;
        }
        if (c.parser.WantsContinue() && !c.sentContinue) {
            c.sentContinue = true;
            WriteSome(c.fd, kContinue);
        }
    }
}

void HttpServer::Refuse(Connection& c, int status, const std::string& reason) {
    HttpResponse response =
        HttpResponse::Text(status, std::to_string(status) + " " + reason + "\n");
    AddCommonHeaders(response);
    WriteSome(c.fd, response.Serialize());
    // Read and drop what the client still sends for a while, so that it is
    // not cut off by a reset before it has read the answer.
    ::shutdown(c.fd, SHUT_WR);
    c.draining = true;
    m_bufferedBytes -= c.counted;
    c.counted = 0;
    c.parser = HttpRequestParser(m_options.limits);
    c.deadline = Clock::now() + m_options.lingerTimeout;
}

void HttpServer::Close(int fd) {
    auto& slot = m_connections[static_cast<std::size_t>(fd)];
    if (slot) {
        m_bufferedBytes -= slot->counted;
        slot.reset();
        --m_connectionCount;
    }
    ::epoll_ctl(m_epollFd, EPOLL_CTL_DEL, fd, nullptr);
    ::close(fd);
}

void HttpServer::Sweep() {
    const Clock::time_point now = Clock::now();
    if (m_listenPaused && now >= m_listenResume) {
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.fd = m_listenFd;
        ::epoll_ctl(m_epollFd, EPOLL_CTL_MOD, m_listenFd, &event);
        m_listenPaused = false;
    }
    for (std::size_t fd = 0; fd < m_connections.size(); ++fd) {
        Connection* c = m_connections[fd].get();
        if (c == nullptr || now < c->deadline) {
            continue;
        }
        if (c->draining) {
            Close(c->fd);
        } else {
            Refuse(*c, 408,
                   c->parser.HeadDone() ? "request body not received in time"
                                        : "request head not received in time");
        }
    }
}

void HttpServer::WorkerLoop() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            while (!m_queueClosed && m_queue.empty()) {
                m_ready.wait_for(lock, std::chrono::seconds(1));
            }
            if (m_queue.empty()) {
                return;
            }
            job = std::move(m_queue.front());
            m_queue.pop_front();
        }
        const std::size_t bodySize = job.request.body.size();
        // HEAD is GET without the body (monitors use it).
        const bool head = job.request.method == "HEAD";
        if (head) {
            job.request.method = "GET";
        }
        HttpResponse response;
        try {
            response = m_handler(job.request);
        } catch (const std::exception& error) {
            response =
                HttpResponse::Text(500, std::string("500 internal error: ") + error.what() + "\n");
        }
        job.request.body = std::string();
        m_bufferedBytes -= bodySize;
        Answer(job.fd, std::move(response), head);
    }
}

void HttpServer::Answer(int fd, HttpResponse response, bool headOnly) const {
    AddCommonHeaders(response);
    std::string bytes = response.Serialize();
    if (headOnly) {
        bytes.resize(bytes.size() - response.body.size());
    }
    std::string_view rest = bytes;
    const Clock::time_point deadline = Clock::now() + m_options.writeTimeout;
    while (!rest.empty()) {
        const ssize_t n = ::send(fd, rest.data(), rest.size(), MSG_NOSIGNAL);
        if (n > 0) {
            rest.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                break;
            }
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, static_cast<int>(left.count()));
            continue;
        }
        break;
    }
    ::shutdown(fd, SHUT_WR);
    ::close(fd);
}

}  // namespace vok::center
