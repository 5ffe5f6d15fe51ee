#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "LoopbackHttpServer.h"
#include "support/RunVok.h"
#include "upload/CenterSettings.h"
#include "upload/FirstReplyLine.h"
#include "upload/ServiceCenterUpload.h"
#include "upload/UploadBody.h"
#include "upload/UploadOutbox.h"
#include "upload/UploadServer.h"

namespace vok {
namespace {

using namespace std::chrono_literals;
using test::LoopbackHttpServer;
using O = UploadResult::Outcome;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using ::testing::UnorderedElementsAre;

// The whole request for the file, written out rather than taken from the
// program's constants, so that a changed byte there shows up.
std::string Expected(const std::string& host, const std::string& path, const std::string& bytes) {
    const std::string body =
        "\r\n-----------------------------7d13a23b368\r\n"
        "Content-Disposition: form-data; name=\"userfile\"; filename=\"" +
        path + "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + bytes +
        "\r\n\r\n-----------------------------7d13a23b368--\r\n";
    return "POST /VOK/index.php HTTP/1.1\r\nHost: " + host +
           "\r\nAccept: text/*\r\nContent-Type: multipart/form-data; "
           "boundary=---------------------------7d13a23b368\r\nUser-Agent: RIVur\r\n"
           "Content-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

// A throwaway authority (ca.pem) and the server certificates it signed: "good"
// for 127.0.0.1, "otherhost" and "expired"; other-ca.pem signs nothing.
bool MakeCertificates(const std::string& folder) {
    const std::string key =
        " && openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout ";
    std::string script = "mkdir -p " + folder + " && cd " + folder + key +
                         "ca.key -x509 -days 2 -subj /CN=ca -out ca.pem" + key +
                         "other-ca.key -x509 -days 2 -subj /CN=other -out other-ca.pem";
    for (const auto& [name, altNames, days] : std::initializer_list<std::array<std::string, 3>>{
             {"good", "IP:127.0.0.1,DNS:localhost", "1"},
             {"otherhost", "DNS:center.elsewhere.example", "1"},
             {"expired", "IP:127.0.0.1", "-1"}}) {  // ended a day before it was made
        script += key + name + ".key -subj /CN=x -out csr && echo subjectAltName=" + altNames +
                  " >ext && openssl x509 -req -in csr -CA ca.pem -CAkey ca.key -CAcreateserial " +
                  "-extfile ext -days " + days + " -out " + name + ".pem";
    }
    return std::system(("(" + script + ") >/dev/null 2>&1").c_str()) == 0;
}

// The channels of a loopback server that shows the certificate in PATH.pem.
test::LoopbackChannelFactory TlsChannels(const std::string& path) {
    std::shared_ptr<SSL_CTX> context(SSL_CTX_new(TLS_server_method()), SSL_CTX_free);
    // A certificate that did not load fails the handshake, and so the test.
    SSL_CTX_use_certificate_chain_file(context.get(), (path + ".pem").c_str());
    SSL_CTX_use_PrivateKey_file(context.get(), (path + ".key").c_str(), SSL_FILETYPE_PEM);
    ::signal(SIGPIPE, SIG_IGN);  // a client that gave up on the handshake closes as we write
    return [context](int socket) -> std::optional<test::LoopbackChannel> {
        std::shared_ptr<SSL> ssl(SSL_new(context.get()), SSL_free);
        if (!ssl || SSL_set_fd(ssl.get(), socket) != 1 || SSL_accept(ssl.get()) != 1) {
            ERR_clear_error();  // the server thread's queue, not the client's
            return std::nullopt;
        }
        return test::LoopbackChannel{
            [ssl](char* to, std::size_t n) { return SSL_read(ssl.get(), to, static_cast<int>(n)); },
            [ssl](const char* from, std::size_t n) {
                return SSL_write(ssl.get(), from, static_cast<int>(n));
            }};
    };
}

// The default data folder, and its outbox, lie inside the test's own folder.
class UploadTest : public ::testing::Test {
protected:
    UploadTest() { std::filesystem::create_directories(m_dir.path() / "VOK/DIAGNOSIS"); }

    static ServiceCenterUpload To(std::uint16_t port, const std::string& caFile = "") {
        ServiceCenterUpload upload;
        upload.SetServer(UploadServer("127.0.0.1", port, !caFile.empty()));
        upload.SetCaFile(caFile);
        upload.SetRequestTimeout(20s);
        return upload;
    }

    std::string Report(const std::string& name) const {
        return m_dir.Write("VOK/DIAGNOSIS/REPORT/" + name, "[DIAGNOSIS]\r\nSERIAL=" + name);
    }

    test::Outcome Upload(const std::string& args) const {
        return test::RunVok(m_dir, "upload " + args, "HOME=" + test::Quote(m_dir.path().string()));
    }

    // The report paths in the outbox, oldest first; "?" and why for a non-entry.
    std::vector<std::string> Waiting() const {
        std::vector<std::string> paths;
        const Result<std::vector<UploadOutbox::Entry>> entries = m_outbox.List();
        for (const UploadOutbox::Entry& entry : entries.value()) {
            paths.push_back(entry.reportPath.empty() ? "?" + entry.problem : entry.reportPath);
        }
        return paths;
    }

    test::TempDir m_dir;
    const UploadOutbox m_outbox{m_dir.path() / "VOK/DIAGNOSIS/REPORT"};
};

// The path goes in exactly as passed; the big body must not make the client
// wait for a go-ahead (Expect) that some servers never send.
TEST_F(UploadTest, RequestIsOurHeaderLinesAndTheFileByteForByte) {
    std::string big(3 << 20, '\0');  // every byte value, even in 4 kB
    std::generate(big.begin(), big.end(),
                  [i = 0u]() mutable { return static_cast<char>((i++ * 131) >> 3); });
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"./St. Mary/../REPORT_VK1_20260102_030405.VOK", big},
             {"C:\\VOK\\REPORT\\REPORT_NONE_20090714_141707.VOK", ""}}) {
        const std::string path = m_dir.Write(name, bytes);
        LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
        ASSERT_EQ(To(server.Port()).Send(path).outcome, O::Accepted);
        const std::string request = Expected(server.Address(), path, bytes);
        EXPECT_TRUE(server.Requests() == std::vector{request}) << name;
        // The center's tests and benchmarks post what these build in memory.
        const std::string length = std::to_string(request.size() - request.find("\r\n\r\n") - 4);
        EXPECT_TRUE(ServiceCenterUpload::RequestHead(server.Address(), length) +
                        UploadBody::Compose(path, bytes) ==
                    request);
    }
}

// The first body line decides, whatever the status; a 5xx without "200" does not.
TEST_F(UploadTest, FirstLineDecidesAndTransportFailuresAreErrors) {
    const std::string path = m_dir.Write("d.VOK", "[DIAGNOSIS]\r\n");
    const std::vector<std::tuple<int, std::string, O>> replies = {
        {503, "200", O::Accepted},         {200, "ERROR", O::Refused}, {499, "", O::Refused},
        {500, "Internal", O::Unavailable}, {599, "", O::Unavailable},  {600, "", O::Refused}};
    for (const auto& [status, body, outcome] : replies) {
        LoopbackHttpServer server(LoopbackHttpServer::Reply(status, body));
        const UploadResult sent = To(server.Port()).Send(path);
        EXPECT_EQ(sent.outcome, outcome) << status;
        EXPECT_EQ(sent.httpStatus, status);
    }
    // A long body promised and the first line sent: the rest is not awaited.
    const LoopbackHttpServer longBody("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n200\r\n<");
    EXPECT_EQ(To(longBody.Port()).Send(path).outcome, O::Accepted);
    // Big enough that the client is still sending when the connection goes.
    const LoopbackHttpServer dropping("", [](int) { return std::nullopt; });
    EXPECT_NE(To(dropping.Port()).Send(m_dir.Write("j.VOK", std::string(8 << 20, 'x'))).error, "");
    const LoopbackHttpServer stalling("HTTP/1.1 200 OK\r\nConte");
    ServiceCenterUpload upload = To(stalling.Port());
    upload.SetRequestTimeout(300ms);
    EXPECT_THAT(upload.UploadReport(path).error(), HasSubstr("timed out"));
}

// A FIFO must not hang the read. A line break would end the part's header line
// early, a double quote would close the file name and pose the rest as a
// parameter of its own; a zero byte would open the file "nul" instead.
TEST_F(UploadTest, FileThatCannotBeSentIsAnErrorAndNothingIsSent) {
    const std::string fifo = m_dir.File("pipe.VOK");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = m_dir.Write("huge.VOK", "");
    std::filesystem::resize_file(huge, (std::uintmax_t{64} << 20) + 1);
    const std::string cannot = "Cannot read the report file ";
    const std::string unsendable =
        "Cannot send a report file whose path holds a line break, a double quote or a zero byte";
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
    for (const auto& [path, error] : std::vector<std::pair<std::string, std::string>>{
             {fifo, cannot + fifo + ": not a regular file"},
             {huge, cannot + huge + ": it holds more than 64 MiB, too much for a report file"},
             {m_dir.Write("cr\r.VOK", "x"), unsendable},
             {m_dir.Write("lf\n.VOK", "x"), unsendable},
             {m_dir.Write("q\"; name=\"evil.VOK", "x"), unsendable},
             {m_dir.Write({"nul\0.VOK", 8}, "x"), unsendable}}) {
        const UploadResult sent = To(server.Port()).Send(path);
        EXPECT_EQ(sent.outcome, O::NotSent);
        EXPECT_EQ(sent.error, error);
    }
    EXPECT_TRUE(server.Requests().empty());
}

// Also from CONFIG.ini. A certificate that does not verify is refused, in the
// client's own words, before a byte of the report leaves.
TEST_F(UploadTest, HttpsCarriesTheSameBytesOnlyToACertificateThatVerifies) {
    const std::string tls = m_dir.File("tls") + "/";
    ASSERT_TRUE(MakeCertificates(tls)) << "the openssl command failed";
    const std::string bytes("[DIAGNOSIS]\r\nDATE=2026\0\xff\r\n", 20);
    const std::string path = m_dir.Write("REPORT_VK1_20260102_030405.VOK", bytes);
    LoopbackHttpServer secure(LoopbackHttpServer::Reply(200, "200"), TlsChannels(tls + "good"));
    const UploadResult sent = To(secure.Port(), tls + "ca.pem").Send(path);
    ASSERT_EQ(sent.outcome, O::Accepted) << sent.error;
    EXPECT_TRUE(secure.Requests().at(0) == Expected(secure.Address(), path, bytes));
    m_dir.Write("VOK/DIAGNOSIS/CONFIG.ini",
                "[CENTER]\r\nURL=https://" + secure.Address() + "\r\nCAFILE=" + tls + "ca.pem");
    EXPECT_EQ(Upload(path).status, 0);
    EXPECT_EQ(secure.Requests().size(), 2u);

    const std::string untrusted = "SSL certificate problem: unable to get local issuer certificate";
    for (const auto& [server, caFile, error] : std::vector<std::array<std::string, 3>>{
             {"good", tls + "other-ca.pem", untrusted},
             {"otherhost", tls + "ca.pem",
              "SSL: no alternative certificate subject name matches target host name "
              "'127.0.0.1'"},
             {"expired", tls + "ca.pem", "SSL certificate problem: certificate has expired"}}) {
        LoopbackHttpServer https(LoopbackHttpServer::Reply(200, "200"), TlsChannels(tls + server));
        const UploadResult refused = To(https.Port(), caFile).Send(path);
        EXPECT_EQ(refused.outcome, O::Unavailable);
        EXPECT_EQ(refused.error, error);
        // The name is checked once the handshake is through: nothing went over it.
        EXPECT_THAT(https.Requests(), ::testing::Each("")) << error;
    }
}

// Fed as the upload feeds it: nothing more once the line is complete.
TEST(FirstReplyLineTest, OnlyTheFirstLineAsAWholeDecides) {
    const std::string blanks(100000, ' ');
    const std::vector<std::vector<std::string>> accepted = {{"200\r"},
                                                            {"2", "0", "0", "\r", "\n"},
                                                            {" 2", "0 ", " 0\r"},
                                                            {blanks, "200", blanks},
                                                            {"200\r\ngarbage\r\nmore"}};
    const std::vector<std::vector<std::string>> refused = {
        {""},          {"200 OK"},        {"\t200"},
        {"200\r\r\n"}, {"20", "\n", "0"}, {"200", std::string(100000, 'x')}};
    for (const bool success : {true, false}) {
        for (const std::vector<std::string>& pieces : success ? accepted : refused) {
            FirstReplyLine line;
            for (auto piece = pieces.begin(); piece != pieces.end() && !line.Complete(); ++piece) {
                line.Add(*piece);
            }
            EXPECT_EQ(line.IsSuccess(), success) << pieces[0].substr(0, 20);
        }
    }
}

TEST(UploadServerTest, ReadsAPlainHostAndItsSchemeOnly) {
    const std::vector<std::tuple<std::string, std::string, int, bool>> forms = {
        {"h", "h", 80, false},          {"127.0.0.1:65535", "127.0.0.1", 65535, false},
        {"[::1]:1", "::1", 1, false},   {"http://h:8080/", "h", 8080, false},
        {"HTTPS://h/", "h", 443, true}, {"https://[::1]:8443", "::1", 8443, true}};
    for (const auto& [text, host, port, secure] : forms) {
        const Result<UploadServer> server = UploadServer::Parse(text);
        ASSERT_TRUE(server.ok()) << text << ": " << server.error();
        EXPECT_EQ(std::tuple(server->Host(), server->Port(), server->Secure()),
                  std::tuple(host, port, secure));
        EXPECT_EQ(UploadServer::Parse(server->ToString()).value(), *server);
    }
    for (const char* text : {"", ":80", "host:0", "host:65536", "host:+80", "a b", "user@host",
                             "host/VOK", "::1", "[::1]x", "[]:80", "ftp://host", "https://",
                             "https://host/VOK", "://host", "https://https://host"}) {
        EXPECT_FALSE(UploadServer::Parse(text).ok()) << text;
    }
}

// Each setting: the command line, else [CENTER], else built in; a bad one named by source.
TEST_F(UploadTest, CenterSettingsComeFromCommandLineThenConfigThenBuiltIn) {
    const std::string config = m_dir.File("CONFIG.ini");
    const std::string ca = m_dir.Write("certs/center.pem", "PEM");
    const std::string otherCa = m_dir.Write("other.pem", "PEM");
    const std::string fifo = m_dir.File("fifo.pem");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string center =
        "[USER]\r\nHOSPITAL=St. Mary\r\n[center]\r\nurl = "
        "\"https://center.example:8443/\"\r\nCAFILE=certs/center.pem\r\n";
    // Config, --server, --ca-file; then what is used, or the error's start.
    using Given = std::optional<std::string>;
    for (const auto& [text, server, caFile, usedServer, usedCa] :
         std::vector<std::tuple<std::string, Given, Given, std::string, std::string>>{
             {"[CENTER]\r\nURL=\r\nCAFILE=\r\n", {}, {}, "service.vok-medical.example:80", ""},
             {center, {}, {}, "https://center.example:8443", ca},
             {center, "https://127.0.0.1:1", {}, "https://127.0.0.1:1", ca},
             {center, {}, otherCa, "https://center.example:8443", otherCa},
             // A CA file only counts where a certificate is checked.
             {"[CENTER]\r\nURL=h\r\nCAFILE=/nowhere.pem\r\n", {}, {}, "h:80", ""}}) {
        m_dir.Write("CONFIG.ini", text);
        const Result<CenterSettings> settings = CenterSettings::Resolve(server, caFile, config);
        ASSERT_TRUE(settings.ok()) << settings.error();
        EXPECT_EQ(settings->Client().Server().ToString(), usedServer) << text;
        EXPECT_EQ(std::filesystem::path(settings->Client().CaFile()).lexically_normal(),
                  std::filesystem::path(usedCa).lexically_normal());
    }
    for (const auto& [text, server, caFile, error] :
         std::vector<std::tuple<std::string, Given, Given, std::string>>{
             {"[CENTER]\r\nURL=ftp://center\r\n",
              {},
              {},
              config + " [CENTER] URL=ftp://center: only http:// and https://"},
             {"[CENTER]\r\nURL=https://center\r\nCAFILE=missing.pem\r\n",
              {},
              {},
              config + " [CENTER] CAFILE=" + m_dir.File("missing.pem") +
                  ": No such file or directory"},
             {"", "https://center", fifo, "--ca-file " + fifo + ": not a regular file"}}) {
        m_dir.Write("CONFIG.ini", text);
        const Result<CenterSettings> settings = CenterSettings::Resolve(server, caFile, config);
        ASSERT_FALSE(settings.ok()) << text;
        EXPECT_THAT(settings.error(), StartsWith(error));
        EXPECT_EQ(settings.error().find('\n'), std::string::npos);
    }
}

// One entry per report, in the order they first failed; nothing but the
// entries in the folder, each under a safe name whatever the report is called.
TEST_F(UploadTest, OutboxKeepsOneEntryPerReportInTheOrderTheyFirstFailed) {
    const std::string a = Report("REPORT_A_20260102_030405.VOK");
    const std::string c = Report("REPORT_C_20260102_030405.VOK");
    for (const std::string& path : {c, a, c}) {
        ASSERT_TRUE(m_outbox.Settle(path, {O::Unavailable, 0, {}}).ok());
    }
    // Same file name, another folder: another report.
    const std::string elsewhere = m_dir.Write("old/REPORT_A_20260102_030405.VOK", "x");
    ASSERT_TRUE(m_outbox.Add(elsewhere).ok());
    EXPECT_THAT(Waiting(), ElementsAre(c, a, elsewhere));
    std::vector<std::string> files;
    for (const auto& item : std::filesystem::directory_iterator(m_outbox.Folder())) {
        files.push_back(item.path().filename().string());
    }
    EXPECT_THAT(files, UnorderedElementsAre(UploadOutbox::EntryName(a), UploadOutbox::EntryName(c),
                                            UploadOutbox::EntryName(elsewhere)));
    for (const std::string& path : {std::string("/r/.hidden.VOK"), std::string("/r/a b/ü\\x.VOK"),
                                    std::string("/r/"), "/r/" + std::string(300, 'n')}) {
        EXPECT_THAT(UploadOutbox::EntryName(path),
                    ::testing::MatchesRegex("[A-Za-z0-9_~-][A-Za-z0-9._~-]{0,136}"));
    }
}

// Nothing is written through a link, nothing hangs on a FIFO, what the outbox
// did not write is shown, not sent; a mistyped data folder is never made.
TEST_F(UploadTest, OutboxNeverFollowsLinksOrSendsForeignFilesOrMakesUpFolders) {
    const UploadOutbox nowhere(m_dir.path() / "typo" / "REPORT");
    EXPECT_TRUE(nowhere.List().value().empty());
    EXPECT_THAT(nowhere.Add("/r/x.VOK").error(), HasSubstr("No such file or directory"));
    EXPECT_TRUE(nowhere.SendAll(ServiceCenterUpload(), [](const UploadOutbox::Sent&) {}).value());
    EXPECT_FALSE(std::filesystem::exists(m_dir.path() / "typo"));

    const std::string report = Report("REPORT_A_20260102_030405.VOK");
    const std::filesystem::path folder = m_outbox.Folder();
    std::filesystem::create_directories(m_dir.path() / "elsewhere");
    std::filesystem::create_directory_symlink(m_dir.path() / "elsewhere", folder);
    EXPECT_THAT(m_outbox.Add(report).error(), HasSubstr("OUTBOX: not a folder"));
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.path() / "elsewhere"));
    EXPECT_FALSE(m_outbox.List().ok());

    std::filesystem::remove(folder);
    ASSERT_TRUE(m_outbox.Add(report).ok());
    std::filesystem::create_symlink(report, folder / "linked");
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    m_dir.Write("VOK/DIAGNOSIS/REPORT/OUTBOX/two-lines", "/a\r\n");
    m_dir.Write("VOK/DIAGNOSIS/REPORT/OUTBOX/huge", std::string(100000, 'x'));
    EXPECT_THAT(Waiting(), UnorderedElementsAre(
                               report, "?a link, not an entry", "?not a regular file",
                               "?does not hold one report path", "?does not hold one report path"));
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
    EXPECT_EQ(Upload("--pending --server " + server.Address()).status, 1);
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(Waiting().size(), 4u);
}

// Exit status 0 for "200", 1 for anything else, 2 when not reached or for a
// wrong command line, each with one line. --pending sends oldest first, byte
// for byte; a 5xx keeps a report, a decision or a vanished report takes it out.
TEST_F(UploadTest, CommandExitStatusAndReportsWaitingForPending) {
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
    const std::string to = " --server " + server.Address();
    m_dir.Write("a.VOK", "x");
    for (const std::string& args : std::vector<std::string>{
             to, "a.VOK a.VOK" + to, "a.VOK --server 127.0.0.1:http", "a.VOK --port 80",
             "a.VOK --ca-file a.VOK" + to,
             "a.VOK --ca-file missing.pem --server https://" + server.Address(),
             "a.VOK --pending" + to}) {
        const test::Outcome wrong = Upload(args);
        EXPECT_EQ(wrong.status, 2) << args;
        EXPECT_THAT(wrong.err, StartsWith("vok upload: ")) << args;
    }
    EXPECT_TRUE(server.Requests().empty());
    const std::string relative = "VOK/DIAGNOSIS/REPORT/REPORT_VK1_20260102_030405.VOK";
    const std::string full = Report("REPORT_VK1_20260102_030405.VOK");
    const std::string closed = std::to_string(LoopbackHttpServer("").Port());  // none there now
    const test::Outcome down = Upload(relative + " --server 127.0.0.1:" + closed);
    EXPECT_EQ(down.status, 2);
    EXPECT_THAT(down.err, ::testing::MatchesRegex("ERROR : [^\n]*" + closed + "[^\n]*\n"));
    const std::string gone = Report("REPORT_GONE_20260102_030405.VOK");
    ASSERT_TRUE(m_outbox.Add(gone).ok());
    std::filesystem::remove(gone);

    LoopbackHttpServer busy(LoopbackHttpServer::Reply(500, "Internal Server Error"));
    const test::Outcome stillDown = Upload("--pending --server " + busy.Address());
    EXPECT_EQ(stillDown.status, 1);
    EXPECT_EQ(stillDown.out, "kept: " + full + ": the server answered HTTP 500\ndropped: " + gone +
                                 ": the report file is no longer there\n");
    const test::Outcome refusedNow = Upload(relative + " --server=" + busy.Address());
    EXPECT_EQ(refusedNow.status, 1);
    EXPECT_EQ(refusedNow.err, "ERROR : Can not connect to server !!\n");
    EXPECT_THAT(Waiting(), ElementsAre(full));

    LoopbackHttpServer up(LoopbackHttpServer::Reply(200, "200\r\n"));
    const test::Outcome sent = Upload("--pending --server " + up.Address());
    EXPECT_EQ(sent.status, 0) << sent.err;
    EXPECT_EQ(sent.out, "sent: " + full + "\n");
    const test::Outcome direct = Upload(relative + " --server " + up.Address());
    EXPECT_EQ(direct.status, 0);
    EXPECT_EQ(direct.err, "NOTICE : Diagnosis Report Sending Success. Thank you !!\n");
    EXPECT_EQ(direct.out, "");
    const std::string request = Expected(up.Address(), full, test::ReadAll(full));
    EXPECT_THAT(up.Requests(), ElementsAre(request, request));

    ASSERT_TRUE(m_outbox.Add(full).ok());
    LoopbackHttpServer no(LoopbackHttpServer::Reply(200, "ERROR"));
    const test::Outcome refused = Upload("--pending --server " + no.Address());
    EXPECT_EQ(refused.status, 0);
    EXPECT_EQ(refused.out, "refused: " + full + ": ERROR : Can not connect to server !!\n");
    EXPECT_TRUE(Waiting().empty());
    ASSERT_TRUE(m_outbox.Add(full).ok());  // nothing leaves the machine: nothing changes
    EXPECT_EQ(Upload("missing.VOK --server " + no.Address()).status, 2);
    EXPECT_THAT(Waiting(), ElementsAre(full));
}

// Each request differs: none twice. The run that found the lock taken says so.
TEST_F(UploadTest, TwoPendingRunsAtOnceNeverSendAReportTwice) {
    for (char c = 'a'; c < 'm'; ++c) {
        const std::string report = m_dir.Write(std::string(1, c) + ".VOK", std::string(200000, c));
        ASSERT_TRUE(m_outbox.Add(report).ok());
    }
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
    const std::string args = "--pending --server " + server.Address();
    auto first = std::async(std::launch::async, [&] { return Upload(args); });
    const test::Outcome runs[] = {Upload(args), first.get()};
    const std::vector<std::string> requests = server.Requests();
    EXPECT_EQ(requests.size(), 12u);
    EXPECT_EQ(std::set<std::string>(requests.begin(), requests.end()).size(), 12u);
    EXPECT_TRUE(Waiting().empty());
    for (const test::Outcome& run : runs) {
        EXPECT_TRUE(run.status == 0 ||
                    (run.status == 1 && run.out.empty() &&
                     run.err.find("another 'vok upload --pending'") != std::string::npos))
            << run.err;
    }
}

}  // namespace
}  // namespace vok
