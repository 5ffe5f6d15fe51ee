#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <thread>

#include "center/CenterService.h"
#include "center/HttpServer.h"
#include "core/DiagnosisData.h"
#include "core/DiagnosisRecord.h"
#include "report/ReportFileWriter.h"
#include "report/SiteInfo.h"
#include "upload/UploadBody.h"

namespace vok::center::test {

inline const std::string kExampleDefinitions = VOK_EXAMPLES_DIR "/CFG/VOK.DEFINE";

// A diagnosis with a serial, a model (VOK-82), counters, `errors` error log
// entries and two protocol blocks: enough for every indexed value.
inline DiagnosisData TestDiagnosis(const std::string& serial, int errors = 3,
                                   std::uint32_t exposures = 48213) {
    DiagnosisData data;
    data.Clear();
    data.m_strSerial = serial;
    data.m_bConsoleVersion = 1;
    for (std::size_t n = 0; n < kParamCount; ++n) {
        data.m_HtInfo[3].params[n] =
            n < serial.size() ? static_cast<std::uint8_t>(serial[n]) : std::uint8_t{0};
    }
    data.m_HtInfo[1].params = {1, 3, 4, 2, 0x21, 0, 10, 20, 3, 82};
    data.m_HtInfo[5].params = {static_cast<std::uint8_t>(exposures & 0xFF),
                               static_cast<std::uint8_t>((exposures >> 8) & 0xFF),
                               static_cast<std::uint8_t>((exposures >> 16) & 0xFF),
                               37,
                               0,
                               128,
                               0,
                               255,
                               255,
                               255};
    data.m_HtInfo[6].params = {
        0x07, 0x15, 0x70, 0x05, 100, 0, 0, 2, static_cast<std::uint8_t>(errors), 2};
    for (int i = 0; i < errors; ++i) {
        auto& a = data.m_HtInfo[static_cast<std::size_t>(113 + 2 * i)].params;
        a = {static_cast<std::uint8_t>(i),
             static_cast<std::uint8_t>(0x10 + i),
             0,
             0,
             0x24,
             0x01,
             0x15,
             0x10,
             0x20,
             static_cast<std::uint8_t>(0x30 + i)};
        data.m_HtInfo[static_cast<std::size_t>(114 + 2 * i)].params = {80, 5, 1, 0, 0,
                                                                       0,  0, 0, 0, 0};
    }
    for (std::size_t r = 1; r <= 50; ++r) {
        data.m_CmdInfo[r].params = {0, 0, 0x10, 0x11, 0x12, static_cast<std::uint8_t>(r % 7),
                                    1, 2, 3,    255};
    }
    return data;
}

inline SiteInfo TestSite(const std::string& hospital) {
    SiteInfo site;
    for (std::size_t n = 0; n < kSiteFieldCount; ++n) {
        site.Field(n) = "field " + std::to_string(n);
    }
    site.m_strHospital = hospital;
    site.m_strAddress = "12 Harbour Road";
    return site;
}

// A report file's bytes, written at the given moment (local time fields).
inline std::string ReportBytes(const std::string& serial, const std::string& hospital, int day = 15,
                               int errors = 3, std::uint32_t exposures = 48213) {
    std::tm when{};
    when.tm_year = 2024 - 1900;
    when.tm_mon = 0;
    when.tm_mday = day;
    when.tm_hour = 10;
    when.tm_min = 20;
    when.tm_sec = 30;
    return ReportFileWriter::Compose(TestSite(hospital), TestDiagnosis(serial, errors, exposures),
                                     when);
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

inline int Connect(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Sends raw request bytes and reads the whole answer (the server closes).
inline std::string Exchange(std::uint16_t port, const std::string& request,
                            std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    const int fd = Connect(port);
    if (fd < 0) {
        return {};
    }
    std::size_t sent = 0;
    while (sent < request.size()) {
        const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            break;  // the server may refuse early; its answer is still readable
        }
        sent += static_cast<std::size_t>(n);
    }
    std::string answer;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    char buffer[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return answer;
}

inline std::string Get(std::uint16_t port, const std::string& target,
                       const std::string& headers = "") {
    return Exchange(port, "GET " + target + " HTTP/1.1\r\nHost: x\r\n" + headers + "\r\n");
}

inline int StatusOf(const std::string& answer) {
    return answer.size() > 12 ? std::stoi(answer.substr(9, 3)) : 0;
}

inline std::string BodyOf(const std::string& answer) {
    const std::size_t end = answer.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : answer.substr(end + 4);
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
