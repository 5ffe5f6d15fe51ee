#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "LoopbackHttpServer.h"
#include "support/TempDir.h"

namespace vok {
namespace {

using test::LoopbackHttpServer;
using ::testing::HasSubstr;
using ::testing::StartsWith;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs `vok upload ARGS` in `folder` as a user would from a shell.
Outcome RunUpload(const test::TempDir& folder, const std::string& args) {
    const std::string errFile = folder.File("stderr.txt");
    const std::string command = "cd '" + folder.path().string() +
                                "' && '" VOK_TOOL_PATH "' upload " + args + " 2>'" + errFile + "'";
    Outcome outcome;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return outcome;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        outcome.out.append(buffer, n);
    }
    const int wait = ::pclose(pipe);
    outcome.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    outcome.err = test::ReadAll(errFile);
    return outcome;
}

class UploadCommandTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ::setenv("no_proxy", "*", 1); }

    UploadCommandTest() { m_dir.Write("REPORT/REPORT_VK1_20260102_030405.VOK", "[DIAGNOSIS]\r\n"); }

    test::TempDir m_dir;
    const std::string m_relative = "REPORT/REPORT_VK1_20260102_030405.VOK";
};

TEST_F(UploadCommandTest, ServerSaying200IsSuccessAndGetsTheFullPath) {
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200\r\n"));

    const Outcome run = RunUpload(m_dir, m_relative + " --server " + server.Address());

    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "NOTICE : Diagnosis Report Sending Success. Thank you !!\n");
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(server.Body(), HasSubstr("filename=\"" + m_dir.File(m_relative) + "\""));
}

TEST_F(UploadCommandTest, AnyOtherReplyIsTheServerFailure) {
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "ERROR"));

    const Outcome run = RunUpload(m_dir, "--server=" + server.Address() + " " + m_relative);

    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "ERROR : Can not connect to server !!\n");
}

TEST_F(UploadCommandTest, TransportAndFileErrorsPrintTheirOwnText) {
    const Outcome refused =
        RunUpload(m_dir, m_relative + " --server 127.0.0.1:" + std::to_string(test::ClosedPort()));
    EXPECT_EQ(refused.status, 2);
    EXPECT_THAT(refused.err, StartsWith("ERROR : "));
    EXPECT_EQ(refused.err.find('\n'), refused.err.size() - 1) << refused.err;

    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
    const Outcome missing = RunUpload(m_dir, "none.VOK --server " + server.Address());
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "ERROR : Cannot read the report file " + m_dir.File("none.VOK") +
                               ": No such file or directory\n");
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(UploadCommandTest, BadCommandLinesSendNothing) {
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
    for (const std::string& args :
         {std::string("--server ") + server.Address(),
          m_relative + " " + m_relative + " --server " + server.Address(),
          m_relative + " --server 127.0.0.1:http", m_relative + " --port 80"}) {
        SCOPED_TRACE(args);
        const Outcome run = RunUpload(m_dir, args);
        EXPECT_EQ(run.status, 2);
        EXPECT_THAT(run.err, StartsWith("vok upload: "));
    }
    EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
}  // namespace vok
