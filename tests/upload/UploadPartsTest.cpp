#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "upload/FirstReplyLine.h"
#include "upload/UploadBody.h"
#include "upload/UploadServer.h"

namespace vok {
namespace {

bool Verdict(const std::vector<std::string>& pieces) {
    FirstReplyLine line;
    for (const std::string& piece : pieces) {
        line.Add(piece);
    }
    return line.IsSuccess();
}

TEST(FirstReplyLineTest, LineInAnyPiecesOnlyOneLineEndDroppedLongLinesNotKept) {
    EXPECT_TRUE(Verdict({"2", "0", "0", "\r", "\n"}));
    EXPECT_TRUE(Verdict({" 2", "0 ", " 0\r"}));
    EXPECT_TRUE(Verdict({"200\r\n", "garbage\r\n", "more"}));
    EXPECT_TRUE(Verdict({"200\r"}));
    EXPECT_TRUE(Verdict({std::string(100000, ' '), "200", std::string(100000, ' ')}));
    for (const std::vector<std::string>& refused :
         std::vector<std::vector<std::string>>{{"20", "\n", "0"},
                                               {},
                                               {"200\r\r\n"},
                                               {"2\r00\n"},
                                               {"\r200\n"},
                                               {"200", std::string(100000, 'x')},
                                               {std::string(64, 'x'), "\r\n"}}) {
        EXPECT_FALSE(Verdict(refused)) << ::testing::PrintToString(refused);
    }
}

TEST(FirstReplyLineTest, CompleteOnlyAfterTheLineEnd) {
    FirstReplyLine line;
    line.Add("200\r");
    EXPECT_FALSE(line.Complete());
    line.Add("\nrest");
    EXPECT_TRUE(line.Complete());
    EXPECT_TRUE(line.IsSuccess());
}

TEST(UploadServerTest, ReadsHostAndPort) {
    struct Case {
        std::string text;
        std::string host;
        std::uint16_t port;
    };
    for (const Case& c : std::vector<Case>{
             {"service.vok-medical.example", "service.vok-medical.example", 80},
             {"localhost:8080", "localhost", 8080},
             {"127.0.0.1:65535", "127.0.0.1", 65535},
             {"[::1]", "::1", 80},
             {"[::1]:1", "::1", 1},
             {"upload_test-2.example:80", "upload_test-2.example", 80},
         }) {
        SCOPED_TRACE(c.text);
        const Result<UploadServer> server = UploadServer::Parse(c.text);
        ASSERT_TRUE(server.ok()) << server.error();
        EXPECT_EQ(server->Host(), c.host);
        EXPECT_EQ(server->Port(), c.port);
        EXPECT_EQ(UploadServer::Parse(server->ToString()).value(), *server);
    }
    EXPECT_EQ(UploadServer::Parse("[::1]:8080")->UrlHost(), "[::1]");
}

TEST(UploadServerTest, RefusesAnythingButAPlainHost) {
    for (const std::string_view text :
         {"", ":80", "host:", "host:0", "host:65536", "host:8o", "host:-1", "host:+80", "a b",
          "user@host", "host/VOK", "host?x", "host#x", "::1", "[::1", "[::1]x", "[]:80",
          "[host]:80", "http://host"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(UploadServer::Parse(text).ok());
    }
}

TEST(UploadBodyTest, FarTooBigFileIsRefusedBeforeReading) {
    const test::TempDir dir;
    const std::string path = dir.File("huge.VOK");
    dir.Write("huge.VOK", "");
    std::filesystem::resize_file(path, (std::uintmax_t{64} << 20) + 1);

    const Result<std::string> body = UploadBody::Load(path);

    ASSERT_FALSE(body.ok());
    EXPECT_NE(body.error().find(path), std::string::npos);
}

TEST(UploadBodyTest, OnlyRegularFilesAreSent) {
    const test::TempDir dir;
    const std::string fifo = dir.File("pipe.VOK");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    // Neither may hang waiting for a writer or for input.
    for (const std::string& path : {fifo, std::string("/dev/null")}) {
        const Result<std::string> body = UploadBody::Load(path);
        ASSERT_FALSE(body.ok());
        EXPECT_EQ(body.error(), "Cannot read the report file " + path + ": not a regular file");
    }
}

}  // namespace
}  // namespace vok
