#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "ConsoleLogin.h"
#include "ReportSamples.h"
#include "center/CenterService.h"
#include "center/ConsoleAuth.h"
#include "center/HttpServer.h"
#include "center/ReportStore.h"
#include "support/PostgresCluster.h"
#include "support/TempDir.h"
#include "system/HttpExchange.h"
#include "upload/UploadBody.h"

namespace vok::center::test {

enum class Backend { Sqlite, Postgresql };

inline std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
    return info.param == Backend::Sqlite ? "Sqlite" : "Postgresql";
}

// A test on each store: a SQLite file of its own, or a fresh database on the
// shared throwaway PostgreSQL cluster (skipped when there is none).
class StoreTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        if (GetParam() == Backend::Sqlite) {
            m_url = DatabaseUrl::SqliteFile(m_dir.File("center.db"));
            return;
        }
        std::string whyNot;
        vok::test::PostgresCluster& cluster = vok::test::PostgresCluster::Shared(whyNot);
        if (!whyNot.empty()) {
            GTEST_SKIP() << whyNot;
        }
        static std::atomic<int> databases{0};
        const std::string url = cluster.CreateDatabase("store" + std::to_string(++databases));
        ASSERT_FALSE(url.empty());
        m_url = DatabaseUrl::Parse(url).value();
    }

    std::unique_ptr<ReportStore> Open() {
        Result<std::unique_ptr<ReportStore>> store = ReportStore::Open(m_url);
        EXPECT_TRUE(store) << (store ? "" : store.error());
        return store ? std::move(store).value() : nullptr;
    }

    vok::test::TempDir m_dir;
    DatabaseUrl m_url;
};

inline CenterConfig SqliteConfig(const vok::test::TempDir& dir,
                                 std::size_t maxReport = std::size_t{4} << 20) {
    CenterConfig config;
    config.database = DatabaseUrl::SqliteFile(dir.File("center.db"));
    config.definitionsPath = kExampleDefinitions;
    config.maxReportBytes = maxReport;
    return config;
}

// A center in this process on a free loopback port, stopped when it goes.
class RunningCenter {
public:
    explicit RunningCenter(CenterConfig config, HttpServer::Options options = {})
        : m_service(std::move(config)),
          m_server(WithFreePort(std::move(options)),
                   [this](HttpRequest& request) { return m_service.Handle(request); }) {
        m_bound = m_server.Bind();
        if (m_bound) {
            m_thread = std::thread([this] { m_server.Run(); });
        }
    }
    ~RunningCenter() {
        m_server.Stop();
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }
    RunningCenter(const RunningCenter&) = delete;
    RunningCenter& operator=(const RunningCenter&) = delete;

    bool ok() const { return m_bound.ok(); }
    // Adds the console user; false when the store refuses.
    bool AddUser() {
        auto store = m_service.ThreadStore();
        return store &&
               store.value()->PutUser(vok::test::kUser,
                                      ConsoleAuth::HashPassword(vok::test::kPassword).value());
    }
    std::uint16_t port() const { return m_server.Port(); }
    std::string server() const { return "127.0.0.1:" + std::to_string(port()); }
    CenterService& service() { return m_service; }

private:
    static HttpServer::Options WithFreePort(HttpServer::Options options) {
        options.host = "127.0.0.1";
        options.port = 0;
        // Few threads unless a test asks for the server's own number.
        if (options.workers == HttpServer::Options{}.workers) {
            options.workers = 4;
        }
        return options;
    }
    CenterService m_service;
    HttpServer m_server;
    Status m_bound = Done{};
    std::thread m_thread;
};

// Sends raw request bytes and reads the whole answer (the server closes).
inline std::string Exchange(std::uint16_t port, const std::string& request) {
    vok::test::HttpExchange http(port);
    http.Send(request);
    return http.Receive(std::chrono::seconds(20));
}

inline std::string Get(std::uint16_t port, const std::string& target,
                       const std::string& headers = "") {
    return Exchange(port, "GET " + target + " HTTP/1.1\r\nHost: x\r\n" + headers + "\r\n");
}

inline int StatusOf(const std::string& answer) {
    return vok::test::HttpExchange::Status(answer);
}
inline std::string BodyOf(const std::string& answer) {
    return vok::test::HttpExchange::Body(answer);
}

// The value of a header of the answer ("" when missing), name as sent.
inline std::string HeaderOf(const std::string& answer, const std::string& name) {
    const std::string head = answer.substr(0, answer.find("\r\n\r\n"));
    const std::size_t at = head.find("\r\n" + name + ": ");
    if (at == std::string::npos) {
        return {};
    }
    const std::size_t start = at + name.size() + 4;
    return head.substr(start, head.find("\r\n", start) - start);
}

// The POST the site tool makes, built from its own constants.
inline std::string SiteUpload(const std::string& path, const std::string& file) {
    const std::string body = UploadBody::Compose(path, file);
    return "POST /VOK/index.php HTTP/1.1\r\nHost: x\r\n" +
           std::string(UploadBody::kContentTypeHeader) +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

}  // namespace vok::center::test
