// The server's own bounds: deadlines, connection cap, 100-continue and the
// headers every answer carries.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "CenterTestSupport.h"
#include "center/HttpServer.h"

namespace vok::center {
namespace {

using test::BodyOf;
using test::Exchange;
using test::StatusOf;

class EchoServer {
public:
    explicit EchoServer(HttpServer::Options options)
        : m_server(Prepared(std::move(options)), [this](HttpRequest& request) {
              ++m_handled;
              return HttpResponse::Text(200, request.method + " " + request.path + " " +
                                                 std::to_string(request.body.size()));
          }) {
        EXPECT_TRUE(m_server.Bind());
        m_thread = std::thread([this] { m_server.Run(); });
    }
    ~EchoServer() {
        m_server.Stop();
        m_thread.join();
    }
    std::uint16_t port() const { return m_server.Port(); }
    int handled() const { return m_handled; }

private:
    static HttpServer::Options Prepared(HttpServer::Options options) {
        options.host = "127.0.0.1";
        options.port = 0;
        return options;
    }
    std::atomic<int> m_handled{0};
    HttpServer m_server;
    std::thread m_thread;
};

TEST(HttpServer, LateHeadsAndBodiesAreAnsweredAndClosed) {
    HttpServer::Options options;
    options.headTimeout = std::chrono::milliseconds(300);
    options.requestTimeout = std::chrono::milliseconds(800);
    EchoServer server(options);
    const struct {
        const char* name;
        std::string sent;
        const char* reason;
    } cases[] = {
        {"head never ends", "GET / HTTP/1.1\r\nX-Slow: a", "head not received"},
        {"nothing at all", "", "head not received"},
        {"body never ends", "POST / HTTP/1.1\r\nContent-Length: 10\r\n\r\nabc",
         "body not received"},
    };
    for (const auto& c : cases) {
        vok::test::HttpExchange client(server.port());
        client.Send(c.sent);
        const auto started = std::chrono::steady_clock::now();
        const std::string answer = client.Receive(std::chrono::seconds(5));
        EXPECT_EQ(StatusOf(answer), 408) << c.name;
        EXPECT_NE(BodyOf(answer).find(c.reason), std::string::npos) << c.name;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3)) << c.name;
    }
    EXPECT_EQ(server.handled(), 0);
}

TEST(HttpServer, ConnectionCapContinueAndCommonHeaders) {
    HttpServer::Options options;
    options.maxConnections = 2;
    EchoServer server(options);
    {
        const vok::test::HttpExchange first(server.port());
        const vok::test::HttpExchange second(server.port());
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const std::string refused = Exchange(server.port(), "GET / HTTP/1.1\r\n\r\n");
        EXPECT_EQ(StatusOf(refused), 503) << refused;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    // A client that waits for the go-ahead before its body gets it once.
    vok::test::HttpExchange client(server.port());
    client.Send("POST /x HTTP/1.1\r\nExpect: 100-continue\r\nContent-Length: 4\r\n\r\n");
    EXPECT_EQ(client.Receive(std::chrono::milliseconds(500)), "HTTP/1.1 100 Continue\r\n\r\n");
    client.Send("body");
    const std::string answer = client.Receive(std::chrono::seconds(5));
    EXPECT_EQ(BodyOf(answer), "POST /x 4");
    for (const char* header : {"Content-Security-Policy: default-src 'none'",
                               "X-Content-Type-Options: nosniff", "Connection: close"}) {
        EXPECT_NE(answer.find(header), std::string::npos) << header;
    }
    // HEAD: a GET's headers without its body ("GET /h 0").
    const std::string headOnly = Exchange(server.port(), "HEAD /h HTTP/1.1\r\n\r\n");
    EXPECT_NE(headOnly.find("Content-Length: 8\r\n"), std::string::npos) << headOnly;
    EXPECT_EQ(BodyOf(headOnly), "");
    // Bad bytes get an answer with the same headers, and never reach a route.
    const std::string bad = Exchange(server.port(), "\x16\x03\x01 junk\r\n\r\n");
    EXPECT_EQ(StatusOf(bad), 400);
    EXPECT_NE(bad.find("Content-Security-Policy"), std::string::npos);
    EXPECT_EQ(server.handled(), 2);
}

}  // namespace
}  // namespace vok::center
