#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "LoopbackHttpServer.h"
#include "support/RunVok.h"

namespace vok {
namespace {

using test::LoopbackHttpServer;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class UploadCommandTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ::setenv("no_proxy", "*", 1); }

    UploadCommandTest() { m_dir.Write(m_relative, "[DIAGNOSIS]\r\n"); }

    test::Outcome Upload(const std::string& args) { return test::RunVok(m_dir, "upload " + args); }

    const std::string m_relative = "REPORT/REPORT_VK1_20260102_030405.VOK";
    test::TempDir m_dir;
};

TEST_F(UploadCommandTest, ServerSaying200IsSuccessAndGetsTheFullPath) {
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200\r\n"));
    const test::Outcome run = Upload(m_relative + " --server " + server.Address());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "NOTICE : Diagnosis Report Sending Success. Thank you !!\n");
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(server.Body(), HasSubstr("filename=\"" + m_dir.File(m_relative) + "\""));
}

TEST_F(UploadCommandTest, AnyOtherReplyIsTheServerFailure) {
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "ERROR"));
    const test::Outcome run = Upload("--server=" + server.Address() + " " + m_relative);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "ERROR : Can not connect to server !!\n");
}

TEST_F(UploadCommandTest, TransportAndFileErrorsPrintTheirOwnText) {
    const test::Outcome refused =
        Upload(m_relative + " --server 127.0.0.1:" + std::to_string(test::ClosedPort()));
    EXPECT_EQ(refused.status, 2);
    EXPECT_THAT(refused.err, StartsWith("ERROR : "));
    EXPECT_EQ(refused.err.find('\n'), refused.err.size() - 1) << refused.err;

    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
    const test::Outcome missing = Upload("none.VOK --server " + server.Address());
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "ERROR : Cannot read the report file " + m_dir.File("none.VOK") +
                               ": No such file or directory\n");
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(UploadCommandTest, BadCommandLinesSendNothing) {
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
    for (const std::string& args :
         {"--server " + server.Address(),
          m_relative + " " + m_relative + " --server " + server.Address(),
          m_relative + " --server 127.0.0.1:http", m_relative + " --port 80"}) {
        SCOPED_TRACE(args);
        const test::Outcome run = Upload(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_THAT(run.err, StartsWith("vok upload: "));
    }
    EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
}  // namespace vok
