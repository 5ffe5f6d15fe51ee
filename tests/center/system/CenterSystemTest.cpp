// The vok-center program from outside: hostile clients are cut in bounded
// time and store nothing while sites' uploads go on; a crash loses no upload
// it answered.

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <thread>

#include "../CenterTestSupport.h"
#include "upload/UploadBody.h"

namespace vok::center::test {
namespace {

using namespace std::chrono_literals;

class CenterHostileClientTest : public testing::Test {
protected:
    void SetUp() override {
        // As many connections as this process may open; the center inherits it.
        ::getrlimit(RLIMIT_NOFILE, &m_files);
        m_files.rlim_cur = m_files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &m_files);
        ASSERT_TRUE(m_center.UserAdded());
        ASSERT_TRUE(m_center.Start()) << m_center.Log();
        m_report = m_center.Dir().Write("r.VOK", ReportBytes("HOST", "H"));
    }

    // A site's upload goes through within `limit`, and the center is whole.
    void ExpectServing(std::chrono::milliseconds limit) {
        const auto start = std::chrono::steady_clock::now();
        const auto sent = m_center.Upload(m_report);
        EXPECT_LT(std::chrono::steady_clock::now() - start, limit);
        ASSERT_TRUE(sent.ok()) << sent.error();
        EXPECT_TRUE(*sent);
        EXPECT_EQ(BodyOf(Get(m_center.Port(), "/healthz")), "ok\n");
    }

    CenterProcess m_center;
    rlimit m_files{};
    std::string m_report;
};

// Connections that hold a request open forever, a header byte now and then,
// are the classic way to take every worker of a threaded server.
TEST_F(CenterHostileClientTest, SlowHeaderSendersDoNotStopAnUpload) {
    std::vector<std::unique_ptr<HttpExchange>> slow;
    for (int i = 0; i < 300; ++i) {
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

TEST_F(CenterHostileClientTest, ThousandsOfIdleConnectionsDoNotStopAnUpload) {
    const int idleCount = static_cast<int>(std::min<rlim_t>(3000, m_files.rlim_cur - 100));
    std::vector<std::unique_ptr<HttpExchange>> idle;
    for (int i = 0; i < idleCount; ++i) {
        idle.push_back(std::make_unique<HttpExchange>(m_center.Port()));
        ASSERT_TRUE(idle.back()->Connected()) << "connection " << i;
        if (i % 2 == 1) {
            idle.back()->Send("GET /healthz HTTP/1.1\r\n", 1s);
        }
    }
    ExpectServing(10s);
    EXPECT_LT(m_center.ResidentKib(), 150 * 1024);
}

// Out of file descriptors the center must wait for them, not spin on accept
// or end; once the connections go, uploads go through again.
TEST_F(CenterHostileClientTest, RunningOutOfFileDescriptorsIsWaitedOut) {
    const rlimit few{128, m_files.rlim_max};
    ASSERT_EQ(::prlimit(m_center.Pid(), RLIMIT_NOFILE, &few, nullptr), 0);
    const auto cpuSeconds = [&] {
        const std::string stat =
            vok::test::ReadAll("/proc/" + std::to_string(m_center.Pid()) + "/stat");
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        std::string field;
        long ticks = 0;
        for (int n = 3; n <= 15 && fields >> field; ++n) {
            ticks += (n == 14 || n == 15) ? std::stol(field) : 0;  // utime, stime
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

const std::string kFormHead = std::string(UploadBody::kContentTypeHeader) + "\r\n";

// A request that never ends, in body or head, is refused past its limit and
// dropped in bounded time however fast it comes; memory stays bounded.
TEST_F(CenterHostileClientTest, EndlessRequestsAreCutAtTheLimit) {
    const std::string block(std::size_t{1} << 16, 'x');
    for (const std::string& head : {kFormHead + "Content-Length: 1073741824\r\n\r\n",
                                    kFormHead + "\r\n", kFormHead + "X-Filler: "}) {
        HttpExchange http(m_center.Port());
        http.Send("POST /VOK/index.php HTTP/1.1\r\nHost: 127.0.0.1\r\n" + head);
        // Read while the request streams: a reset may take unread bytes along.
        std::string reply;
        std::thread reader([&] { reply = http.Receive(30s); });
        const auto start = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - start < 30s &&
               http.Send(block, 3s) == block.size()) {
        }
        const auto sending = std::chrono::steady_clock::now() - start;
        reader.join();
        EXPECT_LT(sending, 20s) << head << ": the center took the endless request for 20 s";
        EXPECT_GE(StatusOf(reply), 400) << head << reply.substr(0, 200);
        EXPECT_FALSE(BodyOf(reply).starts_with("200")) << head;
        EXPECT_LT(m_center.ResidentKib(), 150 * 1024) << head;
    }
    EXPECT_TRUE(m_center.ReportIds().empty());
    ExpectServing(10s);
}

// The client's whole body under a Content-Length that does not fit it: not
// "200" (or closed) in bounded time, nothing kept. A client that announces
// more and just waits is held to the whole-request deadline (minutes, for
// slow site links) but holds up no one else.
TEST_F(CenterHostileClientTest, WrongContentLengthIsRefusedAndNothingIsKept) {
    const std::string body = *UploadBody::Load(m_report);
    // More than comes (then hang up, or wait); less: cut in the delimiter.
    const auto request = [&](std::ptrdiff_t more) {
        const auto length = static_cast<std::ptrdiff_t>(body.size()) + more;
        return ServiceCenterUpload::RequestHead("127.0.0.1", std::to_string(length)) + body;
    };
    for (const std::ptrdiff_t more : {1000, -10}) {
        HttpExchange http(m_center.Port());
        http.Send(request(more));
        http.EndSending();
        const std::string reply = http.Receive(15s);
        EXPECT_TRUE(http.PeerClosed() || !reply.empty()) << more << ": no answer in 15 s";
        EXPECT_FALSE(BodyOf(reply).starts_with("200")) << more << ": " << reply;
    }
    EXPECT_TRUE(m_center.ReportIds().empty());
    HttpExchange waiting(m_center.Port());
    waiting.Send(request(1000));
    ExpectServing(10s);
    EXPECT_EQ(m_center.ReportIds().size(), 1u);
}

class CenterCrashTest : public testing::TestWithParam<bool> {};  // PostgreSQL, else SQLite

// The center killed amid many sites' uploads and started again: what it
// answered "200" for is there, whole; what it did not may be there only whole.
TEST_P(CenterCrashTest, KilledMidUploadsKeepsEveryAnsweredReportAndNoHalfOne) {
    constexpr int kReports = 240;
    constexpr int kSenders = 16;
    constexpr int kKillAfter = 60;
    std::string whyNot;
    const std::string database = GetParam() ? FreshPostgres(whyNot) : "";
    if (!whyNot.empty()) {
        GTEST_SKIP() << whyNot;
    }
    ASSERT_EQ(database.empty(), !GetParam());
    CenterProcess center(database);
    ASSERT_TRUE(center.UserAdded());
    ASSERT_TRUE(center.Start()) << center.Log();
    // Report files that differ in serial and hospital.
    std::vector<std::string> paths;
    for (int i = 0; i < kReports; ++i) {
        const std::string serial = "SYS" + std::to_string(10000 + i);
        paths.push_back(center.Dir().Write(serial + ".VOK", ReportBytes(serial, serial)));
    }

    std::vector<std::atomic<bool>> answered(kReports);
    std::atomic<int> next = 0;
    std::atomic<int> stored = 0;
    std::vector<std::thread> senders;
    for (int s = 0; s < kSenders; ++s) {
        senders.emplace_back([&] {
            for (int i; (i = next++) < kReports;) {
                const auto sent = center.Upload(paths[i]);
                if (sent && *sent) {
                    answered[i] = true;
                    ++stored;
                }
            }
        });
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (stored < kKillAfter && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const int killed = center.Kill();
    ASSERT_TRUE(WIFSIGNALED(killed) && WTERMSIG(killed) == SIGKILL) << killed;
    const int storedAtKill = stored;
    for (auto& sender : senders) {
        sender.join();
    }
    ASSERT_GE(storedAtKill, kKillAfter);
    ASSERT_LT(storedAtKill, kReports) << "all stored before the kill: nothing was in flight";

    ASSERT_TRUE(center.Start()) << center.Log();
    std::map<std::string, int> byContent;
    for (int i = 0; i < kReports; ++i) {
        byContent[vok::test::ReadAll(paths[i])] = i;
    }
    std::set<int> kept;
    for (const std::string& id : center.ReportIds()) {
        const auto found = byContent.find(center.File(id));
        ASSERT_NE(found, byContent.end()) << "report " << id << " is not a sent file";
        EXPECT_TRUE(kept.insert(found->second).second) << paths[found->second] << " kept twice";
    }
    for (int i = 0; i < kReports; ++i) {
        EXPECT_TRUE(!answered[i] || kept.count(i)) << paths[i] << " was answered 200 and is lost";
    }
}

INSTANTIATE_TEST_SUITE_P(Stores, CenterCrashTest, testing::Bool(),
                         [](const auto& test) { return test.param ? "PostgreSQL" : "SQLite"; });

}  // namespace
}  // namespace vok::center::test
