#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "LoopbackHttpServer.h"
#include "support/RunVok.h"

namespace vok {
namespace {

using test::LoopbackHttpServer;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class UploadCommandTest : public ::testing::Test {
protected:
    UploadCommandTest() { m_dir.Write(m_relative, "[DIAGNOSIS]\r\n"); }

    test::Outcome Upload(const std::string& args) { return test::RunVok(m_dir, "upload " + args); }

    const std::string m_relative = "REPORT/REPORT_VK1_20260102_030405.VOK";
    test::TempDir m_dir;
};

// 0 when the server said "200", 1 when it said anything else, 2 when it was
// not reached (an error naming the port, not a "no"); each with one line of its
// own. The server gets the full path.
TEST_F(UploadCommandTest, ExitStatusAndOneLineTellSentRefusedOrNotReached) {
    LoopbackHttpServer yes(LoopbackHttpServer::Reply(200, "200\r\n"));
    const test::Outcome sent = Upload(m_relative + " --server " + yes.Address());
    EXPECT_EQ(sent.status, 0);
    EXPECT_EQ(sent.err, "NOTICE : Diagnosis Report Sending Success. Thank you !!\n");
    EXPECT_EQ(sent.out, "");
    EXPECT_THAT(yes.Requests(),
                ElementsAre(HasSubstr("filename=\"" + m_dir.File(m_relative) + "\"")));

    LoopbackHttpServer no(LoopbackHttpServer::Reply(200, "ERROR"));
    const test::Outcome refused = Upload("--server=" + no.Address() + " " + m_relative);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "ERROR : Can not connect to server !!\n");

    const std::string closed = std::to_string(LoopbackHttpServer::ClosedPort());
    const test::Outcome unreached = Upload(m_relative + " --server 127.0.0.1:" + closed);
    EXPECT_EQ(unreached.status, 2);
    EXPECT_THAT(unreached.err, AllOf(StartsWith("ERROR : "), HasSubstr(closed)));
    EXPECT_EQ(unreached.err.find('\n'), unreached.err.size() - 1) << unreached.err;
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
