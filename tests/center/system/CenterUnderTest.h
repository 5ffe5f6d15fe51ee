#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "../ConsoleLogin.h"
#include "../ReportSamples.h"
#include "CenterJson.h"
#include "CenterProcess.h"
#include "HttpExchange.h"
#include "core/UserMessages.h"
#include "support/RunVok.h"
#include "support/TempDir.h"
#include "upload/ServiceCenterUpload.h"
#include "upload/UploadBody.h"

namespace vok::test {

// A service center with a data folder of its own and one console user, seen
// from outside: started and stopped as a process, fed by the real client and
// read back through its API.
class CenterUnderTest {
public:
    // `database`: a --database URL, else the SQLite file of the data folder.
    explicit CenterUnderTest(const std::string& database = "") : m_data(m_dir.File("center")) {
        std::filesystem::create_directories(m_data);
        // The site strings and definitions of the example data folder.
        std::filesystem::copy_file(VOK_EXAMPLES_DIR "/CFG/VOK.DEFINE", m_data + "/VOK.DEFINE");
        if (!database.empty()) {
            m_options = {"--database", database};
        }
        const std::string command =
            Quote(VOK_CENTER_PATH) + " adduser " + kUser + " --data-dir " + Quote(m_data) +
            (database.empty() ? "" : " --database " + Quote(database)) + " >/dev/null 2>&1";
        if (std::FILE* in = ::popen(command.c_str(), "w")) {
            std::fputs((std::string(kPassword) + "\n").c_str(), in);
            m_userAdded = ::pclose(in) == 0;
        }
    }

    bool UserAdded() const { return m_userAdded; }
    const TempDir& Dir() const { return m_dir; }
    CenterProcess& Process() { return *m_process; }
    std::uint16_t Port() const { return m_process->Port(); }

    // (Re)starts the server on this data folder.
    bool Start(rlim_t maxFiles = 0) {
        m_process = std::make_unique<CenterProcess>();
        return m_process->Start(m_data, m_dir.File("center-" + std::to_string(++m_starts) + ".log"),
                                m_options, maxFiles);
    }

    // Report files that differ in serial and hospital: "SYS00000", ...
    std::vector<std::string> WriteReports(int count, const std::string& prefix = "SYS") const {
        std::vector<std::string> paths;
        for (int i = 0; i < count; ++i) {
            char serial[32];
            std::snprintf(serial, sizeof serial, "%s%05d", prefix.c_str(), i);
            paths.push_back(
                m_dir.Write("reports/REPORT_" + std::string(serial) + ".VOK",
                            center::test::ReportBytes(serial, std::string("Hospital ") + serial)));
        }
        return paths;
    }

    // The client's upload of one file, with short limits: true when the
    // first reply line was "200".
    Result<bool> Upload(const std::string& path) const {
        ServiceCenterUpload upload;
        upload.SetServer(UploadServer("127.0.0.1", Port()));
        upload.SetConnectTimeout(std::chrono::seconds(5));
        upload.SetRequestTimeout(std::chrono::seconds(30));
        return upload.UploadReport(path);
    }

    // The request exactly as the client sends it, with `length` as its
    // Content-Length (the body's own size when empty).
    static std::string ClientRequest(const std::string& body, const std::string& length = "") {
        return ServiceCenterUpload::RequestHead(
                   "127.0.0.1", length.empty() ? std::to_string(body.size()) : length) +
               body;
    }
    static std::string ClientBody(const std::string& path) { return *UploadBody::Load(path); }

    // GET with the user's Basic credentials; the whole reply.
    std::string Get(const std::string& target) const {
        HttpExchange http(Port());
        http.Send("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + kBasic + "\r\n");
        return http.Receive(std::chrono::seconds(30));
    }

    std::vector<CenterJson::Object> Reports() const {
        return CenterJson::Objects(HttpExchange::Body(Get("/api/reports?limit=100000")));
    }
    std::string File(const std::string& id) const {
        return HttpExchange::Body(Get("/reports/" + id + "/file"));
    }
    bool Healthy() const { return HttpExchange::Body(Get("/healthz")).rfind("ok", 0) == 0; }

private:
    TempDir m_dir;
    std::string m_data;
    std::unique_ptr<CenterProcess> m_process = std::make_unique<CenterProcess>();
    std::vector<std::string> m_options;
    int m_starts = 0;
    bool m_userAdded = false;
};

}  // namespace vok::test
