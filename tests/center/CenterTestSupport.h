#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "HttpExchange.h"
#include "ReportSamples.h"
#include "center/ReportStore.h"
#include "support/PostgresCluster.h"
#include "support/RunVok.h"
#include "support/TempDir.h"
#include "upload/ServiceCenterUpload.h"
#include "upload/UploadBody.h"

namespace vok::center::test {

// A fresh database on the shared throwaway PostgreSQL cluster, or why not.
inline std::string FreshPostgres(std::string& whyNot) {
    static std::atomic<int> made{0};
    vok::test::PostgresCluster& cluster = vok::test::PostgresCluster::Shared(whyNot);
    return whyNot.empty() ? cluster.CreateDatabase("db" + std::to_string(++made)) : "";
}

// The POST the site tool makes, built from its own constants.
inline std::string SiteUpload(const std::string& path, const std::string& file) {
    const std::string body = UploadBody::Compose(path, file);
    return ServiceCenterUpload::RequestHead("x", std::to_string(body.size())) + body;
}

// A `vok-center` as an operator runs it: its own data folder and console
// user, `serve` on a free loopback port with standard error in a file (never
// a pipe nobody reads), fed by the real client, read through its API.
class CenterProcess {
public:
    // `database`: a --database URL, else the SQLite file of the data folder;
    // `options`: more options of `serve`.
    explicit CenterProcess(const std::string& database = "", std::vector<std::string> options = {})
        : m_data(m_dir.File("center")), m_options(std::move(options)) {
        std::filesystem::create_directories(m_data);
        std::filesystem::copy_file(kExampleDefinitions, m_data + "/VOK.DEFINE");
        if (!database.empty()) {
            m_options.insert(m_options.end(), {"--database", database});
        }
        const std::string command =
            vok::test::Quote(VOK_CENTER_PATH) + " adduser " + kUser + " --data-dir " +
            vok::test::Quote(m_data) +
            (database.empty() ? "" : " --database " + vok::test::Quote(database)) +
            " >/dev/null 2>&1";
        if (std::FILE* in = ::popen(command.c_str(), "w")) {
            std::fputs((std::string(kPassword) + "\n").c_str(), in);
            m_userAdded = ::pclose(in) == 0;
        }
    }
    ~CenterProcess() {
        if (m_pid > 0) {
            Kill();
        }
    }
    CenterProcess(const CenterProcess&) = delete;
    CenterProcess& operator=(const CenterProcess&) = delete;

    bool UserAdded() const { return m_userAdded; }
    const vok::test::TempDir& Dir() const { return m_dir; }
    std::uint16_t Port() const { return m_port; }
    pid_t Pid() const { return m_pid; }
    std::string Server() const { return "127.0.0.1:" + std::to_string(m_port); }
    std::string Log() const { return vok::test::ReadAll(m_logFile); }

    // (Re)starts `serve` on the data folder and waits (at most 20 s) for it
    // to listen; false when it ends or stays silent instead.
    bool Start() {
        m_logFile = m_dir.File("center-" + std::to_string(++m_starts) + ".log");
        std::vector<std::string> args = {VOK_CENTER_PATH, "serve",      "--listen",
                                         "127.0.0.1:0",   "--data-dir", m_data};
        args.insert(args.end(), m_options.begin(), m_options.end());
        // Everything the child needs is made before fork: other threads may
        // hold the allocator's lock at that moment.
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        m_pid = ::fork();
        if (m_pid == 0) {
            // Each start has a log of its own: a new file, never through a link.
            ::dup2(::open(m_logFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          0600),
                   STDERR_FILENO);
            const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
            ::dup2(null, STDIN_FILENO);
            ::dup2(null, STDOUT_FILENO);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        // Its ready line names the port.
        static constexpr std::string_view kReady = "listening on http://127.0.0.1:";
        for (int wait = 0; wait < 1000; ++wait) {
            const std::string text = Log();
            const auto at = text.find(kReady);
            if (at != std::string::npos && text.find('\n', at) != std::string::npos) {
                m_port = static_cast<std::uint16_t>(std::atoi(text.c_str() + at + kReady.size()));
                return m_port > 0;
            }
            if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    // Ends it without warning, as a crash would; its wait status.
    int Kill() {
        int status = 0;
        ::kill(m_pid, SIGKILL);
        ::waitpid(std::exchange(m_pid, -1), &status, 0);
        return status;
    }

    // Resident set size now, from /proc, in KiB.
    long ResidentKib() const {
        const std::string status = vok::test::ReadAll("/proc/" + std::to_string(m_pid) + "/status");
        const auto at = status.find("VmRSS:");
        return at == std::string::npos ? -1 : std::stol(status.substr(at + 6));
    }

    // The real client's upload of a file: true when the reply was "200".
    Result<bool> Upload(const std::string& path) const {
        ServiceCenterUpload upload;
        upload.SetServer(UploadServer("127.0.0.1", m_port));
        upload.SetConnectTimeout(std::chrono::seconds(5));
        upload.SetRequestTimeout(std::chrono::seconds(30));
        return upload.UploadReport(path);
    }

    // The ids of the stored reports, as the API lists them.
    std::vector<std::string> ReportIds() const {
        const std::string list = BodyOf(Get(m_port, "/api/reports?limit=100000", kBasic));
        std::vector<std::string> ids;
        for (auto at = list.find("{\"id\":"); at != std::string::npos;
             at = list.find("{\"id\":", at + 1)) {
            ids.push_back(std::to_string(std::atoll(list.c_str() + at + 6)));
        }
        return ids;
    }
    std::string File(const std::string& id) const {
        return BodyOf(Get(m_port, "/reports/" + id + "/file", kBasic));
    }

private:
    vok::test::TempDir m_dir;
    std::string m_data;
    std::vector<std::string> m_options;
    std::string m_logFile;
    int m_starts = 0;
    bool m_userAdded = false;
    pid_t m_pid = -1;
    std::uint16_t m_port = 0;
};

enum class Backend { Sqlite, Postgresql };

inline std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
    return info.param == Backend::Sqlite ? "Sqlite" : "Postgresql";
}

// A test on each store: a SQLite file of its own, or a fresh database on the
// shared throwaway PostgreSQL cluster (skipped when there is none).
class StoreTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        std::string whyNot;
        const std::string url = GetParam() == Backend::Sqlite ? "" : FreshPostgres(whyNot);
        if (!whyNot.empty()) {
            GTEST_SKIP() << whyNot;
        }
        m_url = url.empty() ? DatabaseUrl::SqliteFile(m_dir.File("center.db"))
                            : DatabaseUrl::Parse(url).value();
    }

    std::unique_ptr<ReportStore> Open() {
        Result<std::unique_ptr<ReportStore>> store = ReportStore::Open(m_url);
        EXPECT_TRUE(store) << (store ? "" : store.error());
        return store ? std::move(store).value() : nullptr;
    }

    vok::test::TempDir m_dir;
    DatabaseUrl m_url;
};

}  // namespace vok::center::test
