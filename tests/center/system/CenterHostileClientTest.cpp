// Clients that are slow, endless, wrong or simply too many: each is refused
// or cut in bounded time, stores nothing, and the sites' uploads go on.

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <sstream>
#include <thread>

#include "CenterUnderTest.h"

namespace vok::test {
namespace {

using namespace std::chrono_literals;

class CenterHostileClientTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_center.UserAdded());
        ASSERT_TRUE(m_center.Start()) << m_center.Process().Log();
        m_report = m_center.WriteReports(1, "HOST").front();
    }

    // A site's upload goes through within `limit`, and the center is whole.
    void ExpectServing(std::chrono::milliseconds limit) {
        const auto start = std::chrono::steady_clock::now();
        const auto sent = m_center.Upload(m_report);
        const auto took = std::chrono::steady_clock::now() - start;
        ASSERT_TRUE(sent.ok()) << sent.error();
        EXPECT_TRUE(*sent);
        EXPECT_LT(took, limit);
        EXPECT_TRUE(m_center.Healthy());
    }

    CenterUnderTest m_center;
    std::string m_report;
};

// Connections that hold a request open forever, a header byte now and then,
// are the classic way to take every worker of a threaded server.
TEST_F(CenterHostileClientTest, SlowHeaderSendersDoNotStopAnUpload) {
    constexpr int kSlow = 300;
    std::vector<std::unique_ptr<HttpExchange>> slow;
    for (int i = 0; i < kSlow; ++i) {
        slow.push_back(std::make_unique<HttpExchange>(m_center.Port()));
        slow.back()->Send("POST /VOK/index.php HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ", 1s);
    }
    std::atomic<bool> done = false;
    std::thread trickle([&] {
        while (!done) {
            for (auto& connection : slow) {
                connection->Send("a", 10ms);
            }
            std::this_thread::sleep_for(500ms);
        }
    });
    ExpectServing(10s);
    done = true;
    trickle.join();
}

// As many connections as this process may open, up to 3,000 (the open-file
// limit is raised to its hard limit; the center started after inherits it).
TEST_F(CenterHostileClientTest, ThousandsOfIdleConnectionsDoNotStopAnUpload) {
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
    ASSERT_TRUE(m_center.Start()) << m_center.Process().Log();
    const int idleCount = static_cast<int>(std::min<rlim_t>(3000, limit.rlim_cur - 100));
    std::vector<std::unique_ptr<HttpExchange>> idle;
    for (int i = 0; i < idleCount; ++i) {
        idle.push_back(std::make_unique<HttpExchange>(m_center.Port()));
        ASSERT_TRUE(idle.back()->Connected()) << "connection " << i;
        if (i % 2 == 1) {
            idle.back()->Send("GET /healthz HTTP/1.1\r\n", 1s);
        }
    }
    ExpectServing(10s);
    EXPECT_LT(m_center.Process().ResidentKib(), 150 * 1024);
}

// Out of file descriptors the server must wait for them, not spin on accept
// or end; once the connections go, uploads go through again.
TEST_F(CenterHostileClientTest, RunningOutOfFileDescriptorsIsWaitedOut) {
    ASSERT_TRUE(m_center.Start(128)) << m_center.Process().Log();
    auto cpuSeconds = [&] {
        const std::string stat =
            ReadAll("/proc/" + std::to_string(m_center.Process().Pid()) + "/stat");
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        std::string field;
        long ticks = 0;
        for (int n = 3; n <= 15 && fields >> field; ++n) {
            if (n == 14 || n == 15) {
                ticks += std::stol(field);
            }
        }
        return static_cast<double>(ticks) / static_cast<double>(::sysconf(_SC_CLK_TCK));
    };
    {
        std::vector<std::unique_ptr<HttpExchange>> many;
        for (int i = 0; i < 600; ++i) {
            many.push_back(std::make_unique<HttpExchange>(m_center.Port()));
        }
        const double before = cpuSeconds();
        std::this_thread::sleep_for(2s);
        EXPECT_LT(cpuSeconds() - before, 1.0) << "busy while out of descriptors";
    }
    ExpectServing(15s);
}

struct EndlessRequest {
    const char* name;
    std::string head;   // sent after the request line and Host, as it is
    std::string piece;  // then sent again and again
};

void PrintTo(const EndlessRequest& request, std::ostream* out) {
    *out << request.name;
}

class CenterEndlessRequestTest : public CenterHostileClientTest,
                                 public testing::WithParamInterface<EndlessRequest> {};

// A request that never ends, in its body or already in its head. The center
// refuses it once it passes its limit (4 MiB of body, far less of head) or
// announces more, and drops the connection in bounded time however fast the
// client goes on sending; nothing is kept, memory stays bounded.
TEST_P(CenterEndlessRequestTest, IsCutAtTheLimit) {
    HttpExchange http(m_center.Port());
    http.Send("POST /VOK/index.php HTTP/1.1\r\nHost: 127.0.0.1\r\n" + GetParam().head);
    // The answer is read while the request still streams: a reset at the
    // end may take unread bytes with it.
    std::string reply;
    std::thread reader([&] { reply = http.Receive(30s); });
    const std::string& piece = GetParam().piece;
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < 30s && http.Send(piece, 3s) == piece.size()) {
    }
    const auto sending = std::chrono::steady_clock::now() - start;
    reader.join();
    EXPECT_LT(sending, 20s) << "the center took the endless request for 20 s";
    EXPECT_GE(HttpExchange::Status(reply), 400) << reply.substr(0, 200);
    EXPECT_NE(HttpExchange::FirstBodyLine(reply), "200");
    EXPECT_TRUE(m_center.Reports().empty());
    EXPECT_LT(m_center.Process().ResidentKib(), 150 * 1024);
    ExpectServing(10s);
}

const std::string kBlock(std::size_t{1} << 16, 'x');
const std::string kFormHead = std::string(UploadBody::kContentTypeHeader) + "\r\n";

INSTANTIATE_TEST_SUITE_P(
    Requests, CenterEndlessRequestTest,
    testing::Values(EndlessRequest{"AnnouncedBody",
                                   kFormHead + "Content-Length: 1073741824\r\n\r\n", kBlock},
                    EndlessRequest{"UnannouncedBody", kFormHead + "\r\n", kBlock},
                    EndlessRequest{"HeaderLine", kFormHead + "X-Filler: ", kBlock}),
    [](const auto& test) { return std::string(test.param.name); });

struct WrongLength {
    const char* name;
    std::string length;        // the Content-Length header, if not the body's size
    std::ptrdiff_t announced;  // ... else the body's size plus this
    bool hangUp;               // the client half-closes after sending
};

void PrintTo(const WrongLength& wrong, std::ostream* out) {
    *out << wrong.name;
}

class CenterWrongLengthTest : public CenterHostileClientTest,
                              public testing::WithParamInterface<WrongLength> {};

// The client's whole body under a Content-Length that does not fit it:
// answered with anything but "200" (or closed) in bounded time, and nothing
// is kept. A client that announces more and then just waits is held up to
// the center's whole-request deadline (minutes, for slow site links); it
// must not hold up anyone else meanwhile.
TEST_P(CenterWrongLengthTest, IsRefusedAndNothingIsKept) {
    const WrongLength& wrong = GetParam();
    const std::string body = CenterUnderTest::ClientBody(m_report);
    const std::string length =
        !wrong.length.empty()
            ? wrong.length
            : std::to_string(static_cast<std::ptrdiff_t>(body.size()) + wrong.announced);
    HttpExchange http(m_center.Port());
    http.Send(CenterUnderTest::ClientRequest(body, length));
    if (!wrong.hangUp) {
        ExpectServing(10s);
        EXPECT_EQ(m_center.Reports().size(), 1u);
        return;
    }
    http.EndSending();
    const std::string reply = http.Receive(15s);
    EXPECT_TRUE(http.PeerClosed() || !reply.empty()) << "no answer in 15 s";
    EXPECT_NE(HttpExchange::FirstBodyLine(reply), "200") << reply;
    EXPECT_TRUE(m_center.Reports().empty());
    ExpectServing(10s);
}

INSTANTIATE_TEST_SUITE_P(Lengths, CenterWrongLengthTest,
                         testing::Values(
                             // The announced rest never comes: the sender hangs up, or waits.
                             WrongLength{"LongerThanBodyHangUp", "", 1000, true},
                             WrongLength{"LongerThanBodyWaits", "", 1000, false},
                             // The body read as announced ends inside the closing delimiter;
                             // what follows is no request. (Other unreadable lengths: the
                             // parser's table.)
                             WrongLength{"ShorterEndsInTheDelimiter", "", -10, true},
                             WrongLength{"Overflowing", "99999999999999999999999999", 0, true}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace vok::test
