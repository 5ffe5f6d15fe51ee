#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "center/HttpRequest.h"
#include "center/HttpRequestParser.h"
#include "center/HttpResponse.h"
#include "core/Result.h"

namespace vok::center {

// A small HTTP/1.1 server built for hostile networks. One front thread
// accepts connections and reads every request whole (head and body) with
// non-blocking sockets, under a deadline for the head, one for the whole
// request and a cap on the bytes held for all connections together; only a
// complete request reaches a worker. A thousand clients that trickle their
// headers therefore cost a little memory each and no thread, and a normal
// upload beside them goes straight to a free worker.
//
// Workers run the handler and write the answer (bounded by a write
// deadline); each connection carries one request and is then closed.
//
// Thread rules: Bind and Run on one thread; Run blocks until Stop. Stop may
// be called from any thread, once or more; the handler runs on worker
// threads, several at once, and must not touch the server.
class HttpServer {
public:
    struct Options {
        std::string host = "127.0.0.1";
        std::uint16_t port = 8080;  // 0: any free port
        std::size_t workers = 32;
        HttpRequestParser::Limits limits;
        std::chrono::milliseconds headTimeout{std::chrono::seconds(10)};
        std::chrono::milliseconds requestTimeout{std::chrono::seconds(120)};
        std::chrono::milliseconds writeTimeout{std::chrono::seconds(60)};
        // After an early refusal the rest of the body is read and dropped
        // this long, so that the client gets to read the answer.
        std::chrono::milliseconds lingerTimeout{std::chrono::seconds(5)};
        std::size_t maxConnections = 4096;
        std::size_t maxBufferedBytes = std::size_t{128} << 20;
        std::size_t maxQueuedRequests = 1024;
    };
    using Handler = std::function<HttpResponse(HttpRequest&)>;

    HttpServer(Options options, Handler handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Opens the listening socket; the port is known after it.
    Status Bind();
    std::uint16_t Port() const { return m_port; }
    // Serves until Stop; returns after every worker has finished.
    void Run();
    void Stop();

    // Headers every answer carries, whatever the route.
    static void AddCommonHeaders(HttpResponse& response);

private:
    struct Connection;
    struct Job {
        int fd = -1;
        HttpRequest request;
    };

    void FrontLoop();
    void Accept();
    void ReadFrom(Connection& connection);
    void Refuse(Connection& connection, int status, const std::string& reason);
    void Close(int fd);
    void Sweep();
    void WorkerLoop();
    void Answer(int fd, HttpResponse response, bool headOnly) const;

    Options m_options;
    Handler m_handler;
    int m_listenFd = -1;
    int m_epollFd = -1;
    int m_wakeFd = -1;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stopping{false};
    bool m_listenPaused = false;
    std::chrono::steady_clock::time_point m_listenResume;

    std::vector<std::unique_ptr<Connection>> m_connections;  // by fd
    std::size_t m_connectionCount = 0;
    std::atomic<std::size_t> m_bufferedBytes{0};  // held by connections and the queue

    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<Job> m_queue;
    bool m_queueClosed = false;
    std::vector<std::thread> m_workers;
};

}  // namespace vok::center
