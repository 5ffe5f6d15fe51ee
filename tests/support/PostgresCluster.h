#pragma once

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace vok::test {

// A throwaway PostgreSQL 15 cluster for tests on a Unix socket in a temporary
// folder (no TCP port), stopped and removed with the object. As root (as CI
// runs), the server runs as `postgres` through runuser, as PostgreSQL insists.
class PostgresCluster {
public:
    static constexpr const char* kBin = "/usr/lib/postgresql/15/bin";

    PostgresCluster() = default;
    ~PostgresCluster() {
        if (m_running) {
            Run(std::string(kBin) + "/pg_ctl -D " + m_dir +
                "/data -m immediate -w stop >/dev/null 2>&1");
        }
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    PostgresCluster(const PostgresCluster&) = delete;
    PostgresCluster& operator=(const PostgresCluster&) = delete;

    // "" once started, else why not (no postgresql package, ...), for tests to skip.
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
            if (user == nullptr || ::chown(m_dir.c_str(), user->pw_uid, user->pw_gid) != 0) {
                return "running as root and no postgres user could take the temporary folder";
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

    // A new, empty database; its URL for `--database`, "" when not made.
    std::string CreateDatabase(const std::string& name) {
        const bool made = Run(std::string(kBin) + "/createdb -h " + m_dir + " -U postgres " + name +
                              " >/dev/null 2>&1");
        return made ? "postgresql://postgres@/" + name + "?host=" + m_dir : "";
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
