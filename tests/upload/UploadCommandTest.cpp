#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <set>
#include <string>
#include <vector>

#include "LoopbackHttpServer.h"
#include "LoopbackTls.h"
#include "support/RunVok.h"
#include "upload/UploadOutbox.h"

namespace vok {
namespace {

using test::LoopbackHttpServer;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

class UploadCommandTest : public ::testing::Test {
protected:
    UploadCommandTest() {
        m_dir.Write(m_relative, "[DIAGNOSIS]\r\n");
        std::filesystem::create_directories(m_dir.path() / "VOK/DIAGNOSIS");
    }

    // The default data folder lies inside the test's own folder.
    test::Outcome Upload(const std::string& args) {
        return test::RunVok(m_dir, "upload " + args, "HOME=" + test::Quote(m_dir.path().string()));
    }

    // The reports waiting in the default data folder's outbox.
    std::vector<std::string> Waiting() const {
        std::vector<std::string> paths;
        const Result<std::vector<UploadOutbox::Entry>> entries = m_outbox.List();
        for (const UploadOutbox::Entry& entry : entries.value()) {
            paths.push_back(entry.reportPath);
        }
        return paths;
    }

    const std::string m_relative = "REPORT/REPORT_VK1_20260102_030405.VOK";
    test::TempDir m_dir;
    const UploadOutbox m_outbox{m_dir.path() / "VOK/DIAGNOSIS/REPORT"};
};

// 0 when the server said "200", 1 when it said anything else, each with one
// line of its own. The server gets the full path.
TEST_F(UploadCommandTest, ExitStatusAndOneLineTellSentOrRefused) {
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
    // Not reached: see the outbox's test below.
}

// The server and its CA from the command line or from the data folder's
// CONFIG.ini. Which one wins, and a certificate that does not verify, are the
// settings' and the upload's own tests.
TEST_F(UploadCommandTest, HttpsServerAndCaFromCommandLineOrConfig) {
    const test::TestCertificates certificates;
    ASSERT_TRUE(certificates.ok()) << "the openssl command failed";
    LoopbackHttpServer https(LoopbackHttpServer::Reply(200, "200\r\n"), false,
                             certificates.Channels(test::TestCertificates::Server::Good));
    const std::string url = "https://" + https.Address();

    const test::Outcome given = Upload(m_relative + " --server " + url + " --ca-file " +
                                       test::Quote(certificates.CaFile()));
    EXPECT_EQ(given.status, 0) << given.err;
    EXPECT_EQ(given.err, "NOTICE : Diagnosis Report Sending Success. Thank you !!\n");

    m_dir.Write("VOK/DIAGNOSIS/CONFIG.ini",
                "[USER]\r\nHOSPITAL=St. Mary\r\n[CENTER]\r\nURL=" + url +
                    "\r\nCAFILE=" + certificates.CaFile() + "\r\n");
    const test::Outcome configured = Upload(m_relative);
    EXPECT_EQ(configured.status, 0) << configured.err;
    EXPECT_EQ(https.Requests().size(), 2u);
}

// The messages and exit statuses stay as they were (not reached: 2, with an
// error naming the port, not a "no"); behind them, a center that could not
// take the report now gets it again from --pending, byte for byte as the
// first time.
TEST_F(UploadCommandTest, ReportTheCenterCouldNotTakeWaitsForPending) {
    const std::string full = m_dir.File(m_relative);
    const std::string closed = std::to_string(LoopbackHttpServer::ClosedPort());
    const test::Outcome down = Upload(m_relative + " --server 127.0.0.1:" + closed);
    EXPECT_EQ(down.status, 2);
    EXPECT_THAT(down.err, AllOf(StartsWith("ERROR : "), HasSubstr(closed)));
    EXPECT_EQ(down.err.find('\n'), down.err.size() - 1) << down.err;
    EXPECT_THAT(Waiting(), ElementsAre(full));

    LoopbackHttpServer busy(LoopbackHttpServer::Reply(500, "Internal Server Error"));
    const test::Outcome stillDown = Upload("--pending --server " + busy.Address());
    EXPECT_EQ(stillDown.status, 1);
    EXPECT_EQ(stillDown.out, "kept: " + full + ": the server answered HTTP 500\n");
    const test::Outcome refusedNow = Upload(m_relative + " --server " + busy.Address());
    EXPECT_EQ(refusedNow.status, 1);
    EXPECT_EQ(refusedNow.err, "ERROR : Can not connect to server !!\n");
    EXPECT_THAT(Waiting(), ElementsAre(full));

    LoopbackHttpServer direct(LoopbackHttpServer::Reply(200, "200"));
    LoopbackHttpServer up(LoopbackHttpServer::Reply(200, "200"));
    ASSERT_EQ(Upload(m_relative + " --server " + direct.Address()).status, 0);
    EXPECT_THAT(Waiting(), IsEmpty());
    ASSERT_TRUE(m_outbox.Add(full).ok());
    const test::Outcome sent = Upload("--pending --server " + up.Address());
    EXPECT_EQ(sent.status, 0) << sent.err;
    EXPECT_EQ(sent.out, "sent: " + full + "\n");
    EXPECT_THAT(Waiting(), IsEmpty());
    ASSERT_EQ(up.Requests().size(), 1u);
    std::string request = up.Requests()[0];
    const std::string host = "Host: " + up.Address() + "\r\n";
    request.replace(request.find(host), host.size(), "Host: " + direct.Address() + "\r\n");
    EXPECT_TRUE(request == direct.Requests().at(0));

    const test::Outcome nothing = Upload("--pending --server " + up.Address());
    EXPECT_EQ(nothing.status, 0);
    EXPECT_EQ(nothing.out, "");
}

// A center that answered decided, whatever its status: the report leaves
// the outbox, and --pending says so.
TEST_F(UploadCommandTest, DecidedReportLeavesTheOutbox) {
    const std::string full = m_dir.File(m_relative);
    LoopbackHttpServer no(LoopbackHttpServer::Reply(200, "ERROR"));
    ASSERT_TRUE(m_outbox.Add(full).ok());
    const test::Outcome pending = Upload("--pending --server " + no.Address());
    EXPECT_EQ(pending.status, 0);
    EXPECT_EQ(pending.out, "refused: " + full + ": ERROR : Can not connect to server !!\n");
    EXPECT_THAT(Waiting(), IsEmpty());

    // Nothing left the machine: nothing changes.
    ASSERT_TRUE(m_outbox.Add(full).ok());
    EXPECT_EQ(Upload("missing.VOK --server " + no.Address()).status, 2);
    EXPECT_THAT(Waiting(), ElementsAre(full));
}

// However the two runs overlap, every report reaches the server once.
TEST_F(UploadCommandTest, TwoPendingRunsAtOnceNeverSendAReportTwice) {
    std::vector<std::string> reports;
    for (int i = 0; i < 12; ++i) {
        reports.push_back(
            m_dir.Write("REPORT/REPORT_VK" + std::to_string(i) + "_20260102_030405.VOK",
                        std::string(200000, static_cast<char>('a' + i))));
        ASSERT_TRUE(m_outbox.Add(reports.back()).ok());
    }
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
    const std::string args = "--pending --server " + server.Address();
    auto first = std::async(std::launch::async, [&] { return Upload(args); });
    auto second = std::async(std::launch::async, [&] { return Upload(args); });
    const test::Outcome one = first.get();
    const test::Outcome two = second.get();
    std::multiset<std::string> sent;
    for (const std::string& request : server.Requests()) {
        for (const std::string& report : reports) {
            if (request.find("filename=\"" + report + "\"") != std::string::npos) {
                sent.insert(report);
            }
        }
    }
    EXPECT_EQ(sent, std::multiset<std::string>(reports.begin(), reports.end()));
    EXPECT_EQ(server.Requests().size(), reports.size());
    EXPECT_THAT(Waiting(), IsEmpty());
    // The one that found the lock taken says so and did not end with an empty outbox.
    for (const test::Outcome& run : {one, two}) {
        if (run.status != 0) {
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.out, "");
            EXPECT_THAT(run.err, HasSubstr("another 'vok upload --pending'"));
        }
    }
}

TEST_F(UploadCommandTest, BadCommandLinesSendNothing) {
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200"));
    for (const std::string& args :
         {"--server " + server.Address(),
          m_relative + " " + m_relative + " --server " + server.Address(),
          m_relative + " --server 127.0.0.1:http", m_relative + " --port 80",
          m_relative + " --server " + server.Address() + " --ca-file " + m_relative,
          m_relative + " --server https://" + server.Address() + " --ca-file missing.pem",
          m_relative + " --pending --server " + server.Address()}) {
        SCOPED_TRACE(args);
        const test::Outcome run = Upload(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_THAT(run.err, StartsWith("vok upload: "));
    }
    EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
}  // namespace vok
