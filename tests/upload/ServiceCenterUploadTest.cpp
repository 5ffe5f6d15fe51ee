#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "LoopbackHttpServer.h"
#include "support/TempDir.h"
#include "upload/ServiceCenterUpload.h"

namespace vok {
namespace {

using namespace std::chrono_literals;
using test::LoopbackHttpServer;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

// Written out here on purpose rather than taken from the program's constants,
// so that a changed byte there shows up as a failure.
std::string ExpectedBody(const std::string& path, const std::string& bytes) {
    return "\r\n-----------------------------7d13a23b368\r\n"
           "Content-Disposition: form-data; name=\"userfile\"; filename=\"" +
           path +
           "\"\r\n"
           "Content-Type: application/octet-stream\r\n\r\n" +
           bytes + "\r\n\r\n-----------------------------7d13a23b368--\r\n";
}

std::vector<std::string> HeadLines(const std::string& head) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    for (std::size_t end; (end = head.find("\r\n", begin)) != std::string::npos; begin = end + 2) {
        lines.push_back(head.substr(begin, end - begin));
    }
    lines.push_back(head.substr(begin));
    return lines;
}

std::string AllByteValues() {
    std::string bytes;
    for (int repeat = 0; repeat < 3; ++repeat) {
        for (int value = 0; value < 256; ++value) {
            bytes += static_cast<char>(value);
        }
        bytes += "[HT_INFO_001]\r\nPARAM01=12\r\n";
    }
    return bytes;
}

class UploadTest : public ::testing::Test {
protected:
    // A proxy named in the environment would carry loopback requests away.
    static void SetUpTestSuite() { ::setenv("no_proxy", "*", 1); }

    static ServiceCenterUpload To(const LoopbackHttpServer& server) {
        ServiceCenterUpload upload;
        upload.SetServer(UploadServer("127.0.0.1", server.Port()));
        upload.SetConnectTimeout(5s);
        upload.SetRequestTimeout(20s);
        return upload;
    }

    test::TempDir m_dir;
};

TEST_F(UploadTest, HeadHoldsOurHeaderLinesAndOnlyWhatHttpNeeds) {
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
    ASSERT_TRUE(To(server).UploadReport(m_dir.Write("a.VOK", "[DIAGNOSIS]\r\n")).ok());
    const std::vector<std::string> lines = HeadLines(server.Head());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "POST /VOK/index.php HTTP/1.1");
    EXPECT_THAT(std::vector<std::string>(lines.begin() + 1, lines.end()),
                UnorderedElementsAre("Host: " + server.Address(), "Accept: text/*",
                                     "Content-Type: multipart/form-data; "
                                     "boundary=---------------------------7d13a23b368",
                                     "User-Agent: RIVur",
                                     "Content-Length: " + std::to_string(server.Body().size())));
}

TEST_F(UploadTest, FilenameCarriesThePathExactlyAsPassed) {
    m_dir.Write("a.VOK", "x");
    for (const std::string& path :
         {m_dir.Write("St. Mary/REPORT/REPORT_HF650-21_20260902_101500.VOK", "x"),
          m_dir.Write("C:\\VOK\\DIAGNOSIS\\REPORT\\REPORT_NONE_20090714_141707.VOK", "x"),
          m_dir.path().string() + "/./St. Mary/../a.VOK"}) {
        SCOPED_TRACE(path);
        LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
        ASSERT_TRUE(To(server).UploadReport(path).ok());
        EXPECT_THAT(server.Body(), HasSubstr("; filename=\"" + path + "\"\r\n"));
    }
}

TEST_F(UploadTest, BodyIsPrefixFileBytesAndSuffixExactlyWhateverTheSize) {
    std::string big(3 << 20, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<char>((i * 131) >> 3);
    }
    for (const std::string& bytes : {AllByteValues(), std::string(), big}) {
        SCOPED_TRACE(bytes.size());
        LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
        const std::string path = m_dir.Write("REPORT/REPORT_VK1_20260102_030405.VOK", bytes);
        const Result<bool> sent = To(server).UploadReport(path);
        ASSERT_TRUE(sent.ok()) << sent.error();
        EXPECT_TRUE(*sent);
        EXPECT_TRUE(server.Body() == ExpectedBody(path, bytes));
        EXPECT_EQ(server.Body().size(), 148 + path.size() + bytes.size() + 48);
        // A client that announces a big body and waits for a go-ahead would
        // stall on servers that never send one.
        EXPECT_THAT(server.Head(), ::testing::Not(HasSubstr("Expect")));
    }
}

TEST_F(UploadTest, SameObjectSendsTheSameFileAgain) {
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
    const std::string path = m_dir.Write("c.VOK", "[DIAGNOSIS]\r\n");
    const ServiceCenterUpload upload = To(server);
    EXPECT_TRUE(upload.UploadReport(path).value());
    EXPECT_TRUE(upload.UploadReport(path).value());
    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], requests[1]);
}

TEST_F(UploadTest, OnlyTheFirstBodyLineWithoutSpacesDecides) {
    using R = LoopbackHttpServer;
    struct Case {
        std::string reply;
        bool success;
        R::Then then = R::Then::Close;
    };
    const std::vector<Case> cases = {
        {R::Reply(200, "200"), true},
        {R::Reply(200, " 2 0 0 "), true},
        {R::Reply(200, "200 OK"), false},
        {R::Reply(200, ""), false},
        {R::Reply(500, "200"), true},
        {R::Reply(404, "Not Found"), false},
        {R::Reply(200, "200\r\n<html>accepted</html>"), true},
        {R::Reply(200, "200\nsecond line"), true},
        {R::Reply(200, "\n200"), false},
        {R::Reply(200, "OK\r\n200"), false},
        {R::Reply(200, "2000"), false},
        {R::Reply(200, "\t200"), false},
        {R::Reply(302, ""), false},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
         "1\r\n2\r\n2\r\n00\r\n2\r\n\r\n\r\n5\r\nmore!\r\n0\r\n\r\n",
         true},
        // A long body promised, the first line sent, then a stall: the rest is not awaited.
        {"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n200\r\n<html>", true, R::Then::Hold},
    };
    const std::string path = m_dir.Write("d.VOK", "[DIAGNOSIS]\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        LoopbackHttpServer server(c.reply, c.then);
        const Result<bool> sent = To(server).UploadReport(path);
        ASSERT_TRUE(sent.ok()) << sent.error();
        EXPECT_EQ(*sent, c.success);
    }
}

// Errors are not a "no" from the server.
TEST_F(UploadTest, RefusedConnectionAndUnknownHostAreErrors) {
    const std::uint16_t port = test::ClosedPort();
    ServiceCenterUpload upload;
    upload.SetServer(UploadServer("127.0.0.1", port));
    const Result<bool> refused = upload.UploadReport(m_dir.Write("g.VOK", "x"));
    ASSERT_FALSE(refused.ok());
    EXPECT_THAT(refused.error(), HasSubstr(std::to_string(port)));

    upload.SetServer(UploadServer("vok-upload-test.invalid", 80));
    upload.SetConnectTimeout(3s);
    upload.SetRequestTimeout(5s);
    const Result<bool> unknown = upload.UploadReport(m_dir.Write("i.VOK", "x"));
    ASSERT_FALSE(unknown.ok());
    EXPECT_FALSE(unknown.error().empty());
}

TEST_F(UploadTest, ServerThatNeverAnswersRunsIntoTheTimeLimit) {
    for (const std::string& partial : {std::string(), std::string("HTTP/1.1 200 OK\r\nConte")}) {
        SCOPED_TRACE(partial);
        LoopbackHttpServer server(partial, LoopbackHttpServer::Then::Hold);
        ServiceCenterUpload upload = To(server);
        upload.SetRequestTimeout(300ms);
        const Result<bool> sent = upload.UploadReport(m_dir.Write("h.VOK", "x"));
        ASSERT_FALSE(sent.ok());
        EXPECT_THAT(sent.error(), HasSubstr("timed out"));
        EXPECT_EQ(server.Requests().size(), 1u);
    }
}

TEST_F(UploadTest, ServerHangingUpMidRequestIsAnError) {
    // Big enough that the client is still sending when the connection goes.
    const std::string path = m_dir.Write("j.VOK", std::string(8 << 20, 'x'));
    LoopbackHttpServer server("", LoopbackHttpServer::Then::HangUp);
    const Result<bool> sent = To(server).UploadReport(path);
    ASSERT_FALSE(sent.ok());
    EXPECT_FALSE(sent.error().empty());
}

TEST_F(UploadTest, FileThatCannotBeSentIsAnErrorAndNothingIsSent) {
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
    const ServiceCenterUpload upload = To(server);
    const std::string missing = m_dir.File("REPORT/none.VOK");
    const std::string folder = m_dir.path().string();
    EXPECT_EQ(upload.UploadReport(missing).error(),
              "Cannot read the report file " + missing + ": No such file or directory");
    EXPECT_EQ(upload.UploadReport(folder).error(),
              "Cannot read the report file " + folder + ": Is a directory");
    EXPECT_THAT(upload.UploadReport(m_dir.Write("two\nlines.VOK", "x")).error(),
                HasSubstr("line break"));
    EXPECT_FALSE(upload.UploadReport("").ok());
    EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
}  // namespace vok
