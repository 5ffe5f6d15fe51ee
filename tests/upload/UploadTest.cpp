#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "LoopbackHttpServer.h"
#include "LoopbackTls.h"
#include "support/TempDir.h"
#include "upload/FirstReplyLine.h"
#include "upload/ServiceCenterUpload.h"
#include "upload/UploadBody.h"
#include "upload/UploadServer.h"

namespace vok {
namespace {

using namespace std::chrono_literals;
using test::LoopbackHttpServer;
using ::testing::Each;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

std::vector<std::string> Lines(std::string head) {
    std::vector<std::string> lines;
    for (std::size_t end; (end = head.find("\r\n")) != std::string::npos; head.erase(0, end + 2)) {
        lines.push_back(head.substr(0, end));
    }
    lines.push_back(head);
    return lines;
}

class UploadTest : public ::testing::Test {
protected:
    static ServiceCenterUpload To(std::uint16_t port, bool secure = false,
                                  const std::string& caFile = "") {
        ServiceCenterUpload upload;
        upload.SetServer(UploadServer("127.0.0.1", port, secure));
        upload.SetCaFile(caFile);
        upload.SetRequestTimeout(20s);
        return upload;
    }

    test::TempDir m_dir;
};

// The path goes into the part exactly as passed: blanks, backslashes and dots
// included. The big body must not make the client announce it and wait for a
// go-ahead (Expect) that some servers never send.
TEST_F(UploadTest, RequestIsOurHeaderLinesAndTheFileBetweenPrefixAndSuffixByteForByte) {
    std::string big(3 << 20, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<char>((i * 131) >> 3);  // every byte value, even in 4 kB
    }
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"St. Mary/REPORT/REPORT_HF650-21_20260902_101500.VOK", big.substr(0, 4096)},
             {"C:\\VOK\\DIAGNOSIS\\REPORT\\REPORT_NONE_20090714_141707.VOK", ""},
             {"./St. Mary/../REPORT_VK1_20260102_030405.VOK", big}}) {
        SCOPED_TRACE(name);
        const std::string path = m_dir.Write(name, bytes);
        LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
        const Result<bool> sent = To(server.Port()).UploadReport(path);
        ASSERT_TRUE(sent.ok()) << sent.error();
        // Written out rather than taken from the program's constants, so that a
        // changed byte there shows up as a failure.
        const std::string expected =
            "\r\n-----------------------------7d13a23b368\r\n"
            "Content-Disposition: form-data; name=\"userfile\"; filename=\"" +
            path + "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + bytes +
            "\r\n\r\n-----------------------------7d13a23b368--\r\n";
        const std::vector<std::string> requests = server.Requests();
        ASSERT_EQ(requests.size(), 1u);
        const std::size_t headEnd = requests[0].find("\r\n\r\n");
        EXPECT_TRUE(requests[0].substr(headEnd + 4) == expected);
        // The center's tests and benchmarks post what Compose builds in memory.
        EXPECT_TRUE(UploadBody::Compose(path, bytes) == expected);
        EXPECT_EQ(
            requests[0].substr(0, headEnd + 4),
            ServiceCenterUpload::RequestHead(server.Address(), std::to_string(expected.size())));
        const std::vector<std::string> lines = Lines(requests[0].substr(0, headEnd));
        EXPECT_EQ(lines[0], "POST /VOK/index.php HTTP/1.1");
        EXPECT_THAT(std::vector<std::string>(lines.begin() + 1, lines.end()),
                    UnorderedElementsAre("Host: " + server.Address(), "Accept: text/*",
                                         "Content-Type: multipart/form-data; "
                                         "boundary=---------------------------7d13a23b368",
                                         "User-Agent: RIVur",
                                         "Content-Length: " + std::to_string(expected.size())));
    }
}

// Only the first body line decides "yes" or "no", whatever the status. What the
// outbox goes by: a center that answered anything but a 5xx decided; a 5xx
// without "200", or no answer at all, means it could not take the report now.
// How the first line itself is read is the reply line's own test.
TEST_F(UploadTest, OutcomeTellsADecisionFromACenterThatCouldNotTakeItNow) {
    using R = LoopbackHttpServer;
    using O = UploadResult::Outcome;
    const std::string path = m_dir.Write("d.VOK", "[DIAGNOSIS]\r\n");
    struct Case {
        std::string reply;
        O outcome;
        long status;
        bool shownAsYes;
    };
    for (const Case& c : std::vector<Case>{{R::Reply(200, "200"), O::Accepted, 200, true},
                                           {R::Reply(503, "200"), O::Accepted, 503, true},
                                           {R::Reply(200, "ERROR"), O::Refused, 200, false},
                                           {R::Reply(404, "Not Found"), O::Refused, 404, false},
                                           {R::Reply(499, ""), O::Refused, 499, false},
                                           {R::Reply(500, "Internal"), O::Unavailable, 500, false},
                                           {R::Reply(599, ""), O::Unavailable, 599, false},
                                           {R::Reply(600, ""), O::Refused, 600, false},
                                           {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n"
                                            "Connection: close\r\n\r\n1\r\n2\r\n2\r\n00\r\n2\r\n"
                                            "\r\n\r\n5\r\nmore!\r\n0\r\n\r\n",
                                            O::Accepted, 200, true},
                                           // A long body promised, the first line sent, then a
                                           // stall: the rest is not awaited.
                                           {"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n"
                                            "200\r\n<html>",
                                            O::Accepted, 200, true}}) {
        SCOPED_TRACE(c.reply);
        LoopbackHttpServer server(c.reply);
        const UploadResult sent = To(server.Port()).Send(path);
        EXPECT_EQ(sent.outcome, c.outcome);
        EXPECT_EQ(sent.httpStatus, c.status);
        EXPECT_EQ(sent.ToResult().value(), c.shownAsYes);
    }

    const UploadResult unreached = To(LoopbackHttpServer::ClosedPort()).Send(path);
    EXPECT_EQ(unreached.outcome, O::Unavailable);
    EXPECT_EQ(unreached.ToResult().error(), unreached.error);
    EXPECT_THAT(unreached.error, HasSubstr("Couldn't connect"));

    const UploadResult unread = To(LoopbackHttpServer::ClosedPort()).Send(m_dir.File("none.VOK"));
    EXPECT_EQ(unread.outcome, O::NotSent);
    EXPECT_THAT(unread.ToResult().error(), HasSubstr("No such file"));
}

// Errors, not a "no" from the server (a refused connection: see the command's test).
TEST_F(UploadTest, DroppedOrUnansweredConnectionIsAnError) {
    // Big enough that the client is still sending when the connection goes.
    const LoopbackHttpServer dropping("", /*hangUp=*/true);
    const Result<bool> dropped =
        To(dropping.Port()).UploadReport(m_dir.Write("j.VOK", std::string(8 << 20, 'x')));
    EXPECT_NE(dropped.error(), "");

    const LoopbackHttpServer stalling("HTTP/1.1 200 OK\r\nConte");
    ServiceCenterUpload upload = To(stalling.Port());
    upload.SetRequestTimeout(300ms);
    const Result<bool> unanswered = upload.UploadReport(m_dir.Write("h.VOK", "x"));
    EXPECT_THAT(unanswered.error(), HasSubstr("timed out"));
    EXPECT_EQ(stalling.Requests().size(), 1u);
}

// A FIFO must not hang the read waiting for a writer. A line break in the path
// would end the part's header line early, a double quote would close the file
// name and pose the rest as a parameter of its own; a zero byte would open the
// file "nul" that Write made instead of the one named.
TEST_F(UploadTest, FileThatCannotBeSentIsAnErrorAndNothingIsSent) {
    const std::string missing = m_dir.File("REPORT/none.VOK");
    const std::string fifo = m_dir.File("pipe.VOK");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = m_dir.Write("huge.VOK", "");
    std::filesystem::resize_file(huge, (std::uintmax_t{64} << 20) + 1);
    const std::string cannot = "Cannot read the report file ";
    const std::string unsendable =
        "Cannot send a report file whose path holds a line break, a double quote or a zero byte";
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
    for (const auto& [path, error] : std::vector<std::pair<std::string, std::string>>{
             {missing, cannot + missing + ": No such file or directory"},
             {m_dir.path().string(), cannot + m_dir.path().string() + ": Is a directory"},
             {fifo, cannot + fifo + ": not a regular file"},
             {huge, cannot + huge + ": it holds more than 64 MiB, too much for a report file"},
             {m_dir.Write("cr\r.VOK", "x"), unsendable},
             {m_dir.Write("lf\n.VOK", "x"), unsendable},
             {m_dir.Write("q\"; name=\"evil.VOK", "x"), unsendable},
             {m_dir.Write({"nul\0.VOK", 8}, "x"), unsendable}}) {
        EXPECT_EQ(To(server.Port()).UploadReport(path).error(), error);
    }
    EXPECT_TRUE(server.Requests().empty());
}

// The same request over TLS: the head differs only in the Host line's port,
// the body not at all.
TEST_F(UploadTest, HttpsCarriesTheHttpRequestByteForByteOnceTheCertificateVerifies) {
    const test::TestCertificates certificates;
    ASSERT_TRUE(certificates.ok()) << "the openssl command failed";
    const std::string path = m_dir.Write("REPORT/REPORT_VK1_20260102_030405.VOK",
                                         std::string("[DIAGNOSIS]\r\nDATE=2026\0\xff\r\n", 20));
    LoopbackHttpServer plain(LoopbackHttpServer::Reply(200, "200"));
    LoopbackHttpServer secure(LoopbackHttpServer::Reply(200, "200"), false,
                              certificates.Channels(test::TestCertificates::Server::Good));
    const UploadResult overHttp = To(plain.Port()).Send(path);
    const UploadResult overHttps = To(secure.Port(), true, certificates.CaFile()).Send(path);
    ASSERT_EQ(overHttps.outcome, UploadResult::Outcome::Accepted) << overHttps.error;
    ASSERT_EQ(overHttp.outcome, UploadResult::Outcome::Accepted) << overHttp.error;

    ASSERT_EQ(plain.Requests().size(), 1u);
    ASSERT_EQ(secure.Requests().size(), 1u);
    const std::string http = plain.Requests()[0];
    std::string https = secure.Requests()[0];
    const std::string secureHost = "Host: " + secure.Address() + "\r\n";
    ASSERT_NE(https.find(secureHost), std::string::npos);
    https.replace(https.find(secureHost), secureHost.size(), "Host: " + plain.Address() + "\r\n");
    EXPECT_TRUE(https == http) << https << "\n---\n" << http;
}

// Refused before a byte of the report leaves, with the client's own words; the
// system's store does not know the throwaway authority either.
TEST_F(UploadTest, HttpsRefusesACertificateThatDoesNotVerifyWithTheClientsText) {
    using S = test::TestCertificates::Server;
    const test::TestCertificates certificates;
    ASSERT_TRUE(certificates.ok()) << "the openssl command failed";
    const std::string path = m_dir.Write("d.VOK", "[DIAGNOSIS]\r\n");
    const std::string untrusted = "SSL certificate problem: unable to get local issuer certificate";
    for (const auto& [server, caFile, error] : std::vector<std::tuple<S, std::string, std::string>>{
             {S::Good, certificates.OtherCaFile(), untrusted},
             {S::Good, "", untrusted},
             {S::OtherHost, certificates.CaFile(),
              "SSL: no alternative certificate subject name matches target host name "
              "'127.0.0.1'"},
             {S::Expired, certificates.CaFile(),
              "SSL certificate problem: certificate has expired"}}) {
        SCOPED_TRACE(error + " / " + caFile);
        LoopbackHttpServer https(LoopbackHttpServer::Reply(200, "200"), false,
                                 certificates.Channels(server));
        const UploadResult sent = To(https.Port(), true, caFile).Send(path);
        EXPECT_EQ(sent.outcome, UploadResult::Outcome::Unavailable);
        EXPECT_EQ(sent.error, error);
        // The client checks the name once the handshake is through: the
        // connection may have been made, but nothing went over it.
        EXPECT_THAT(https.Requests(), Each(IsEmpty()));
    }
}

bool Verdict(const std::vector<std::string>& pieces) {
    FirstReplyLine line;
    // As the upload does: nothing more is taken once the line is complete.
    for (auto piece = pieces.begin(); piece != pieces.end() && !line.Complete(); ++piece) {
        line.Add(*piece);
    }
    return line.IsSuccess();
}

TEST(FirstReplyLineTest, LineInAnyPiecesOnlyOneLineEndDroppedLongLinesNotKept) {
    for (const char* accepted : {"200", "200\r", "200\nsecond line", "200\r\ngarbage\r\nmore"}) {
        EXPECT_TRUE(Verdict({accepted})) << accepted;
    }
    EXPECT_TRUE(Verdict({"2", "0", "0", "\r", "\n"}));
    EXPECT_TRUE(Verdict({" 2", "0 ", " 0\r"}));
    EXPECT_TRUE(Verdict({std::string(100000, ' '), "200", std::string(100000, ' ')}));
    for (const char* refused : {"", "200 OK", "2000", "\t200", "200\r\r\n", "2\r00\n", "\r200\n"}) {
        EXPECT_FALSE(Verdict({refused})) << refused;
    }
    EXPECT_FALSE(Verdict({"20", "\n", "0"}));
    EXPECT_FALSE(Verdict({"200", std::string(100000, 'x')}));
    EXPECT_FALSE(Verdict({std::string(64, 'x'), "\r\n"}));
}

TEST(UploadServerTest, ReadsSchemeHostAndPort) {
    for (const auto& [text, host, port, secure] :
         std::vector<std::tuple<std::string, std::string, int, bool>>{
             {"service.vok-medical.example", "service.vok-medical.example", 80, false},
             {"127.0.0.1:65535", "127.0.0.1", 65535, false},
             {"[::1]:1", "::1", 1, false},
             {"upload_test-2.example:80", "upload_test-2.example", 80, false},
             {"http://center.example:8080/", "center.example", 8080, false},
             {"https://center.example", "center.example", 443, true},
             {"HTTPS://center.example/", "center.example", 443, true},
             {"https://center.example:80", "center.example", 80, true},
             {"https://[::1]:8443", "::1", 8443, true}}) {
        SCOPED_TRACE(text);
        const Result<UploadServer> server = UploadServer::Parse(text);
        ASSERT_TRUE(server.ok()) << server.error();
        EXPECT_EQ(server->Host(), host);
        EXPECT_EQ(server->Port(), port);
        EXPECT_EQ(server->Secure(), secure);
        EXPECT_EQ(UploadServer::Parse(server->ToString()).value(), *server);
    }
    EXPECT_EQ(UploadServer::Parse("[::1]:8080")->Url("./VOK/index.php"),
              "http://[::1]:8080/./VOK/index.php");
    EXPECT_EQ(UploadServer::Parse("https://h")->Url("x"), "https://h:443/x");
    EXPECT_EQ(UploadServer::Parse("https://h:8443")->ToString(), "https://h:8443");
    EXPECT_EQ(UploadServer::Parse("http://h")->ToString(), "h:80");
}

TEST(UploadServerTest, RefusesAnythingButAPlainHostAndItsScheme) {
    for (const std::string_view text : {"",
                                        ":80",
                                        "host:",
                                        "host:0",
                                        "host:65536",
                                        "host:8o",
                                        "host:+80",
                                        "a b",
                                        "user@host",
                                        "host/VOK",
                                        "host?x",
                                        "::1",
                                        "[::1",
                                        "[::1]x",
                                        "[]:80",
                                        "[host]:80",
                                        "ftp://host",
                                        "https://",
                                        "https://host//",
                                        "https://host/VOK",
                                        "https://user@host",
                                        "http:/host",
                                        "://host",
                                        "https://https://host"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(UploadServer::Parse(text).ok());
    }
}

}  // namespace
}  // namespace vok
