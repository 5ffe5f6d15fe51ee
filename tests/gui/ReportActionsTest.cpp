#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QTimer>
#include <QUrl>

#include "../upload/LoopbackHttpServer.h"
#include "WizardTestSupport.h"
#include "pages/CDialogReport.h"
#include "upload/UploadOutbox.h"

namespace vok {
namespace {

using test::kYes;
using test::LoopbackHttpServer;
using test::Texts;

// Load on the start page and Send and Report on the completion page, against
// a web server on the loopback interface.
class ReportActionsTest : public test::WizardTest {
protected:
    // What the browser is given for a report file shown from the REPORT folder.
    std::string PageUrlFor(const std::filesystem::path& report) {
        std::filesystem::path page = data.ReportFolder() / report.filename();
        page.replace_extension(".html");
        return CDialogReport::PageUrl(page.string());
    }

    void Load(const std::filesystem::path& file) {
        shell.QueueFile(file);
        Start().m_btnLoad.click();
    }

    // An earlier report that waits in the outbox and must stay there.
    const std::string m_strOtherReport = "/var/tmp/REPORT_OTHER_20260102_030405.VOK";

    // A completion page that names a report, as after page 132's Next; a
    // newly written one unless given.
    void OnCompletionPage(std::filesystem::path report = {}) {
        if (report.empty()) {
            report = test::WriteReport(data.ReportFolder());
        }
        Completion().m_strReportPath = report.string();
        Completion().m_strReportName = report.filename().string();
        dialog->SetActivePage(kIdCompletionPage);
    }
};

TEST_F(ReportActionsTest, LoadShowsTheReportAndSendsItOnlyOnYes) {
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200\r\n"));
    Open(test::SimulatedLink(), server.Address());
    // From another folder: the page still goes to the REPORT folder.
    test::TempDir elsewhere;
    const std::filesystem::path report = test::WriteReport(elsewhere.path());
    const std::string url = PageUrlFor(report);
    Load(report);  // No: shown, not sent, and not named on the completion page
    EXPECT_EQ(data.Files(".html").size(), 1u);
    EXPECT_TRUE(Completion().m_strReportPath.empty());

    Answer({kYes, kYes});
    Load(report);
    EXPECT_EQ(messages.Questions(),
              Texts({kMsgLoadSendQuestion, kMsgLoadSendQuestion, kMsgSendQuestion}));
    EXPECT_EQ(messages.Notices(), Texts({kUploadSuccessMessage}));
    EXPECT_EQ(shell.Urls(), (std::vector<std::string>{url, url}));
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_NE(server.Requests()[0].find("filename=\"" + report.string() + "\"\r\n"),
              std::string::npos);
    // The completion page names the loaded file until a diagnosis writes one.
    EXPECT_EQ(Completion().m_strReportPath, report.string());
    EXPECT_EQ(Completion().m_strReportName, report.filename().string());
}

TEST_F(ReportActionsTest, LoadCancelledOrOfAFileThatCannotBeReadOpensNoPage) {
    Open();
    std::filesystem::remove_all(data.ReportFolder());
    Start().m_btnLoad.click();  // nothing queued: the dialog is cancelled
    ASSERT_EQ(shell.Choices().size(), 1u);
    EXPECT_EQ(shell.Choices()[0].folder, data.ReportFolder());
    EXPECT_TRUE(std::filesystem::is_directory(data.ReportFolder()));
    EXPECT_TRUE(messages.Questions().empty());

    Load(data.ReportFolder() / "REPORT_GONE_20250101_120000.VOK");  // No to sending
    ASSERT_EQ(messages.Notices().size(), 1u);
    EXPECT_EQ(messages.Notices()[0].rfind("ERROR : ", 0), 0u);
    EXPECT_TRUE(shell.Urls().empty());
    EXPECT_TRUE(data.Files(".html").empty());
}

TEST_F(ReportActionsTest, SendTwiceUploadsTwiceAndReportRendersEachTime) {
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, " 2 0 0 "));
    Open(test::SimulatedLink(), server.Address());
    OnCompletionPage();
    Answer({kYes, kYes});
    Completion().m_btnSend.click();
    Completion().m_btnSend.click();
    EXPECT_EQ(messages.Questions(), Texts({kMsgSendQuestion, kMsgSendQuestion}));
    EXPECT_EQ(messages.Notices(), Texts({kUploadSuccessMessage, kUploadSuccessMessage}));
    ASSERT_EQ(server.Requests().size(), 2u);
    EXPECT_EQ(server.Requests()[0], server.Requests()[1]);

    Completion().m_btnReport.click();
    const std::vector<std::filesystem::path> pages = data.Files(".html");
    ASSERT_EQ(pages.size(), 1u);
    std::filesystem::remove(pages[0]);
    Completion().m_btnReport.click();
    EXPECT_TRUE(std::filesystem::exists(pages[0]));
    const std::string url = PageUrlFor(Completion().m_strReportPath);
    EXPECT_EQ(shell.Urls(), (std::vector<std::string>{url, url}));
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdCompletionPage));
}

TEST_F(ReportActionsTest, SendAnsweredNoAnotherReplyOrAVanishedFileSaysSo) {
    LoopbackHttpServer server(LoopbackHttpServer::Reply(200, "200 OK"));
    Open(test::SimulatedLink(), server.Address());
    OnCompletionPage();
    Completion().m_btnSend.click();  // No
    EXPECT_EQ(messages.Notices(), Texts({kMsgOperationCancel}));
    EXPECT_TRUE(server.Requests().empty());

    Answer({kYes, kYes});
    Completion().m_btnSend.click();
    EXPECT_EQ(messages.Notices().back(), kUploadFailedMessage);

    std::filesystem::remove(Completion().m_strReportPath);
    Completion().m_btnSend.click();
    ASSERT_EQ(messages.Notices().size(), 3u);
    EXPECT_EQ(messages.Notices()[2].rfind("ERROR : ", 0), 0u);
    EXPECT_NE(messages.Notices()[2].find(Completion().m_strReportPath), std::string::npos);
    EXPECT_EQ(server.Requests().size(), 1u);
}

// Behind the same messages: a center that could not take the report keeps it
// in the outbox, one that took it later takes it out, and an earlier report
// waiting there stays.
TEST_F(ReportActionsTest, SendLeavesAReportTheCenterCouldNotTakeInTheOutboxUntilItDoes) {
    const UploadOutbox outbox(data.ReportFolder());
    const auto waiting = [&] {
        std::vector<std::string> paths;
        const Result<std::vector<UploadOutbox::Entry>> entries = outbox.List();
        for (const UploadOutbox::Entry& entry : entries.value()) {
            paths.push_back(entry.reportPath);
        }
        return paths;
    };
    LoopbackHttpServer busy(LoopbackHttpServer::Reply(503, "busy"));
    Open(test::SimulatedLink(), busy.Address());
    OnCompletionPage();
    ASSERT_TRUE(outbox.Add(m_strOtherReport).ok());
    const std::string report = Completion().m_strReportPath;
    Answer({kYes});
    Completion().m_btnSend.click();
    EXPECT_EQ(messages.Notices().back(), kUploadFailedMessage);
    EXPECT_EQ(waiting(), Texts({m_strOtherReport, report}));

    LoopbackHttpServer taking(LoopbackHttpServer::Reply(200, "200"));
    Open(test::SimulatedLink(), taking.Address());
    OnCompletionPage(report);
    Answer({kYes});
    Completion().m_btnSend.click();
    EXPECT_EQ(messages.Notices().back(), kUploadSuccessMessage);
    EXPECT_EQ(waiting(), Texts({m_strOtherReport}));
}

TEST_F(ReportActionsTest, AServerThatNeverAnswersLeavesTheWindowRunningButNotClosable) {
    std::optional<LoopbackHttpServer> server(std::in_place, "");
    Open(test::SimulatedLink(), server->Address());
    OnCompletionPage();
    messages.QueueAnswer(kYes);
    // While the upload waits, the GUI thread runs events: a timer fires, and
    // a close request is refused, since Send's handler is still running.
    bool uploading = false;
    bool closed = true;
    QTimer::singleShot(100, [&] {
        uploading = dialog->IsUploading();
        closed = dialog->close();
        server.reset();  // the server goes away without a word
    });
    Completion().m_btnSend.click();
    EXPECT_TRUE(uploading);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->IsUploading());
    ASSERT_EQ(messages.Notices().size(), 1u);
    EXPECT_EQ(messages.Notices()[0].rfind("ERROR : ", 0), 0u);
}

TEST(ReportPageUrlTest, AFolderWithBlanksHashesAndQuestionMarksStaysOnePath) {
    const std::string page = "/tmp/VOK #2/Räume?/REPORT_VK 1_20250101_120000.html";
    const std::string url = CDialogReport::PageUrl(page);
    EXPECT_EQ(url.rfind("file:///tmp/", 0), 0u);
    // As the desktop shell reads the address back.
    EXPECT_EQ(QUrl::fromUserInput(QString::fromStdString(url)).toLocalFile().toStdString(), page);
}

}  // namespace
}  // namespace vok
