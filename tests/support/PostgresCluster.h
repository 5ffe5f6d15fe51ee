#pragma once

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace vok::test {

// A throwaway PostgreSQL 15 cluster for tests: initdb into a temporary
// folder, a server on a Unix socket in that folder (no TCP port), stopped
// and removed when the object goes. Run as root (as CI does), the server
// runs as the `postgres` user through runuser, as PostgreSQL insists.
//
// Start() says why it could not start (no postgresql package, ...), so that
// tests can skip with the reason instead of failing.
class PostgresCluster {
public:
    static constexpr const char* kBin = "/usr/lib/postgresql/15/bin";

    PostgresCluster() = default;
    ~PostgresCluster() { Stop(); }
    PostgresCluster(const PostgresCluster&) = delete;
    PostgresCluster& operator=(const PostgresCluster&) = delete;

    // Starts the cluster; "" on success, else the reason.
    std::string Start() {
        if (!std::filesystem::exists(std::string(kBin) + "/initdb")) {
            return "PostgreSQL 15 is not installed (Debian package postgresql)";
        }
        std::string pattern = (std::filesystem::temp_directory_path() / "vok-pg-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            return "cannot make a temporary folder";
        }
        m_dir = pattern;
        if (::geteuid() == 0) {
            const passwd* user = ::getpwnam("postgres");
            if (user == nullptr) {
                return "running as root and there is no postgres user";
            }
            if (::chown(m_dir.c_str(), user->pw_uid, user->pw_gid) != 0) {
                return "cannot hand the temporary folder to postgres";
            }
            m_prefix = "runuser -u postgres -- ";
        }
        ::chmod(m_dir.c_str(), 0700);
        const std::string data = m_dir + "/data";
        if (!Run(std::string(kBin) + "/initdb -D " + data +
                 " -A trust -U postgres -E UTF8 --locale=C --no-sync >" + m_dir +
                 "/initdb.log 2>&1")) {
            return "initdb failed";
        }
        if (!Run(std::string(kBin) + "/pg_ctl -D " + data + " -l " + m_dir +
                 "/server.log -w -t 60 -o \"-k " + m_dir +
                 " -c listen_addresses='' -c max_connections=200\" start >/dev/null 2>&1")) {
            return "the PostgreSQL server did not start (see " + m_dir + "/server.log)";
        }
        m_running = true;
        return "";
    }

    // A new, empty database; its URL for `--database`.
    std::string CreateDatabase(const std::string& name) {
        if (!Run(std::string(kBin) + "/createdb -h " + m_dir + " -U postgres " + name +
                 " >/dev/null 2>&1")) {
            return "";
        }
        return Url(name);
    }
    std::string Url(const std::string& name) const {
        return "postgresql://postgres@/" + name + "?host=" + m_dir;
    }
    const std::string& SocketDir() const { return m_dir; }

    void Stop() {
        if (m_running) {
            Run(std::string(kBin) + "/pg_ctl -D " + m_dir +
                "/data -m immediate -w stop >/dev/null 2>&1");
            m_running = false;
        }
        if (!m_dir.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(m_dir, ec);
            m_dir.clear();
        }
    }

    // One cluster for the whole test program, started on first use.
    static PostgresCluster& Shared(std::string& whyNot) {
        static PostgresCluster cluster;
        static const std::string reason = cluster.Start();
        whyNot = reason;
        return cluster;
    }

private:
    bool Run(const std::string& command) const {
        return std::system((m_prefix + command).c_str()) == 0;
    }

    std::string m_dir;
    std::string m_prefix;
    bool m_running = false;
};

}  // namespace vok::test
