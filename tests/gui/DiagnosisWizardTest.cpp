#include <algorithm>
#include <fstream>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include "../upload/LoopbackHttpServer.h"
#include "WizardTestSupport.h"
#include "app/GuiAcquisitionObserver.h"
#include "pages/CDialogError.h"
#include "pages/PageTexts.h"
#include "report/ReportFileReader.h"
#include "upload/UploadOutbox.h"
#include "wizard/DialogControls.h"

namespace vok {
namespace {

using namespace std::chrono_literals;
using test::kYes;
using test::LoopbackHttpServer;
using test::PumpUntil;
using test::Texts;

class DiagnosisWizardTest : public test::WizardTest {
protected:
    void SkipToUserPage() {
        Open(test::SimulatedLink(ConsoleScenario::Silent));
        Answer({kYes, kYes});
        Start().m_btnStart.click();
        Progress().m_btnSkip.click();
        ASSERT_EQ(Page(), static_cast<unsigned>(kIdUserPage));
    }

    static void Type(QLineEdit* box, const QString& text) {
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    std::vector<QString> ServiceBoxes() {
        std::vector<QString> texts;
        for (QLineEdit* box : Service().m_edtService) {
            texts.push_back(box->text());
        }
        return texts;
    }

    // A completion page that names a report, as after the service page's Next.
    void OnCompletionPage(const std::filesystem::path& report) {
        Completion().m_strReportPath = report.string();
        Completion().m_strReportName = report.filename().string();
        dialog->SetActivePage(kIdCompletionPage);
    }
};

TEST_F(DiagnosisWizardTest, WholeDiagnosisRunsFromStartToTheReportFileOnTheGuiThread) {
    Open();
    Answer({kYes, kYes});
    Start().m_btnStart.click();
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdProgressPage));
    EXPECT_FALSE(Progress().m_btnNext.isEnabled());

    ASSERT_TRUE(PumpUntil([&] { return Page() == kIdUserPage; }));
    EXPECT_EQ(Progress().m_ctrlSystemProgress.GetPos(), 213);
    EXPECT_EQ(Progress().m_ctrlLogProgress.GetPos(), 226);
    EXPECT_EQ(PageTexts::Bytes(Progress().m_ctrlStatus.text()),
              CDialogStep2Dlg::InitialStatusText() +
                  "\n  1.Checking ... VOK USB Connection."
                  "\n  2.Loading ... System Request Infomation."
                  "\n  3.Loading ... System Log Infomation."
                  "\n  4.Loading ... End.");
    EXPECT_FALSE(Progress().m_btnSkip.isEnabled());
    EXPECT_EQ(messages.Questions(), Texts({kMsgStartQuestion, kMsgGoNextQuestion}));

    // The file has a COMMENT; the box still starts empty.
    EXPECT_EQ(User().m_edtUser[0]->text(), "St. Mary Regional Hospital");
    EXPECT_TRUE(User().m_edtComment->toPlainText().isEmpty());
    User().m_edtComment->setFocus();
    QTest::keyClicks(User().m_edtComment, QStringLiteral("E-21 twice"));
    QTest::keyClick(User().m_edtComment, Qt::Key_Return);
    QTest::keyClicks(User().m_edtComment, QStringLiteral("in a row"));
    Answer({kYes});
    User().m_btnNext.click();
    ASSERT_EQ(Page(), static_cast<unsigned>(kIdServicePage));
    EXPECT_EQ(dialog->m_SiteInfo.m_strComment, "E-21 twice\nin a row");
    // The file's values, with cause and action empty although it has them.
    EXPECT_EQ(Service().m_edtService[1]->text(), "VOK-HF 650");
    EXPECT_TRUE(Service().m_edtService[kHisCauseField]->text().isEmpty());
    EXPECT_TRUE(Service().m_edtService[kHisActionField]->text().isEmpty());
    Type(Service().m_edtService[kHisCauseField], QStringLiteral("E-21 during long exposures"));
    Answer({kYes});
    Service().m_btnNext.click();
    ASSERT_EQ(Page(), static_cast<unsigned>(kIdCompletionPage));

    const auto reports = data.Files(".VOK");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(Completion().m_strReportPath, reports[0].string());
    const ReportData report = ReportFileReader::ReadReportFile(reports[0].string());
    EXPECT_EQ(report.m_SiteInfo.m_strHisCause, "E-21 during long exposures");
    EXPECT_EQ(report.m_HtInfo[212].params[0], dialog->Data().m_HtInfo[212].params[0]);
    EXPECT_TRUE(messages.Notices().empty());
}

// No to any question changes nothing. Back keeps the user form and saves
// nothing of the service form, which the next showing reloads.
TEST_F(DiagnosisWizardTest, FormsAreSavedOnlyOnYesAndBackKeepsTheUserForm) {
    SkipToUserPage();
    const SiteInfo loaded = dialog->m_SiteInfo;
    Type(User().m_edtUser[2], QStringLiteral("Dr. Jonas Weber"));
    User().m_btnNext.click();  // No
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdUserPage));
    EXPECT_EQ(dialog->m_SiteInfo, loaded);

    Answer({kYes});
    User().m_btnNext.click();
    ASSERT_EQ(Page(), static_cast<unsigned>(kIdServicePage));
    const SiteInfo saved = dialog->m_SiteInfo;
    EXPECT_EQ(saved.m_strUserName, "Dr. Jonas Weber");
    const std::vector<QString> fromFile = ServiceBoxes();
    Type(Service().m_edtService[1], QStringLiteral("VOK-HF 800"));
    Service().m_btnNext.click();  // No
    EXPECT_EQ(dialog->m_SiteInfo, saved);
    EXPECT_TRUE(data.Files(".VOK").empty());

    Answer({kYes, kYes});
    Service().m_btnBack.click();
    ASSERT_EQ(Page(), static_cast<unsigned>(kIdUserPage));
    EXPECT_EQ(User().m_edtUser[2]->text(), "Dr. Jonas Weber");
    EXPECT_EQ(dialog->m_SiteInfo, saved);
    User().m_btnNext.click();
    ASSERT_EQ(Page(), static_cast<unsigned>(kIdServicePage));
    EXPECT_EQ(ServiceBoxes(), fromFile);
}

// A FIFO would block the read for ever; the wizard says which file it could
// not read, each time it reads it, and goes on with empty fields.
TEST_F(DiagnosisWizardTest, ConfigFileThatIsNoRegularFileIsToldAndTheFormsStartEmpty) {
    std::filesystem::remove(data.path() / "CONFIG.ini");
    ASSERT_EQ(::mkfifo((data.path() / "CONFIG.ini").c_str(), 0600), 0);
    SkipToUserPage();
    ASSERT_EQ(messages.Notices().size(), 2u);  // at Start and for the user form
    for (const std::string& notice : messages.Notices()) {
        EXPECT_EQ(notice.rfind("ERROR : ", 0), 0u) << notice;
        EXPECT_NE(notice.find("CONFIG.ini"), std::string::npos) << notice;
    }
    EXPECT_EQ(User().m_edtUser[0]->text(), "");
}

TEST_F(DiagnosisWizardTest, UnwritableReportFileIsToldAndSendAndReportSayThereIsNone) {
    SkipToUserPage();
    // A file where the REPORT folder should be: no report can go there.
    std::filesystem::remove_all(data.ReportFolder());
    std::ofstream(data.ReportFolder()) << "not a folder";
    // A report loaded earlier must not stand in for this one.
    Completion().m_strReportPath = (data.path() / "REPORT_LOADED.VOK").string();

    Answer({kYes, kYes});
    User().m_btnNext.click();
    Service().m_btnNext.click();
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdCompletionPage));
    ASSERT_EQ(messages.Notices().size(), 1u);
    EXPECT_EQ(messages.Notices()[0].rfind("ERROR : ", 0), 0u);
    EXPECT_NE(messages.Notices()[0].find(data.ReportFolder().string()), std::string::npos);

    const std::size_t asked = messages.Questions().size();
    Completion().m_btnSend.click();
    Completion().m_btnReport.click();
    EXPECT_EQ(messages.Questions().size(), asked);
    EXPECT_EQ(messages.Notices(),
              Texts({messages.Notices()[0], kMsgNoReportFile, kMsgNoReportFile}));
    EXPECT_TRUE(shell.Urls().empty());
}

TEST_F(DiagnosisWizardTest, StartWithoutADeviceShowsTheCableErrorWithItsSound) {
    Open({.kind = LinkOptions::Kind::Device, .devicePath = "/nonexistent/ttyVOK"});
    Start().m_btnStart.click();
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdErrorPage));
    EXPECT_EQ(PageTexts::Bytes(dialog->m_pErrorDlg->m_ctrlError.text()),
              "\n\n\n                             VOK Remote Diagnosis V 1.03.02 \n\n\n"
              "  Detected ERROR State ...\n"
              "  CODE : ERROR : Please, Check VOK USB Connection Cable. \n\n\n"
              "  Please, Reboot Console and Retry Diagnosis Procedure ... ");
    EXPECT_EQ(shell.Sounds(), std::vector<std::filesystem::path>{data.path() / "ERROR.dll"});
    EXPECT_TRUE(messages.Questions().empty());
}

// Close right after Start, mid-stream, in a stall inside a frame, and after
// the whole acquisition while the GUI thread ran no events (all it reported,
// the end question too, is still queued); and Skip mid-stream. Each returns
// within a second, and nothing the worker queued reaches the pages.
class AcquisitionEndTest : public DiagnosisWizardTest,
                           public ::testing::WithParamInterface<std::string> {};

TEST_P(AcquisitionEndTest, EndingReturnsWithinASecondAndShowsNothingMore) {
    const std::string when = GetParam();
    const bool streaming = when == "MidStream" || when == "Skip";
    Open(streaming            ? test::SimulatedLink(ConsoleScenario::Full, 9600)
         : when == "InAStall" ? test::SimulatedLink(ConsoleScenario::Stall)
                              : test::SimulatedLink());
    Answer({kYes, kYes});
    Start().m_btnStart.click();
    const auto pos = [&] { return Progress().m_ctrlSystemProgress.GetPos(); };
    if (streaming) {
        ASSERT_TRUE(PumpUntil([&] { return pos() > 5; }));
    } else if (when == "InAStall") {
        // The stall comes after the hundredth system record.
        ASSERT_TRUE(PumpUntil([&] { return pos() == 100; }));
    } else if (when == "Queued") {
        ASSERT_TRUE(PumpUntil([&] { return dialog->Data().m_HtInfo[212].valid; }, 20s, false));
    }
    const auto start = std::chrono::steady_clock::now();
    when == "Skip" ? Progress().m_btnSkip.click() : static_cast<void>(dialog->close());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    const QString status = Progress().m_ctrlStatus.text();
    QCoreApplication::processEvents();
    EXPECT_EQ(Progress().m_ctrlStatus.text(), status);
    if (when == "Skip") {
        EXPECT_EQ(Page(), static_cast<unsigned>(kIdUserPage));
        EXPECT_TRUE(std::ranges::none_of(dialog->Data().m_HtInfo,
                                         [](const DiagnosisRecord& r) { return r.valid != 0; }));
        EXPECT_EQ(messages.Questions(), Texts({kMsgStartQuestion, kMsgSkipNotCompleted}));
    } else {
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(messages.Questions(), Texts({kMsgStartQuestion}));
    }
}

INSTANTIATE_TEST_SUITE_P(Moments, AcquisitionEndTest,
                         ::testing::Values("AtOnce", "MidStream", "InAStall", "Queued", "Skip"),
                         [](const auto& row) { return row.param; });

// Exit on each page, with the page's own question (none on the error page):
// No leaves the program running, Yes ends it once.
class ExitTest : public DiagnosisWizardTest, public ::testing::WithParamInterface<int> {};

TEST_P(ExitTest, ExitEndsTheProgramOnlyAfterItsQuestionsYes) {
    const auto page = static_cast<unsigned>(GetParam());
    Open();
    page == kIdErrorPage ? dialog->ShowError("ERROR : x") : dialog->SetActivePage(page);
    auto* exit = DialogControls::Find<QAbstractButton>(dialog->Page(page), kIdcExit);
    ASSERT_NE(exit, nullptr);
    const std::string_view question = page == kIdErrorPage        ? ""
                                      : page == kIdCompletionPage ? kMsgExitSoftware
                                                                  : kMsgExitNotCompleted;
    if (!question.empty()) {
        exit->click();  // No
        EXPECT_EQ(shell.Exits(), 0);
        Answer({kYes});
    }
    exit->click();
    EXPECT_EQ(shell.Exits(), 1);
    EXPECT_EQ(messages.Questions(), question.empty() ? Texts({}) : Texts({question, question}));
}

INSTANTIATE_TEST_SUITE_P(Pages, ExitTest,
                         ::testing::Values(kIdStartPage, kIdProgressPage, kIdUserPage,
                                           kIdServicePage, kIdCompletionPage, kIdErrorPage));

TEST_F(DiagnosisWizardTest, EscapeReturnAndEnterCloseNeitherTheDialogNorItsPage) {
    Open();
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(dialog.get(), key);
        QTest::keyClick(&Start().m_ctrlIntro, key);
    }
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(Start().isHidden());
    EXPECT_EQ(shell.Exits(), 0);
    EXPECT_TRUE(messages.Questions().empty());
}

// Behind the messages: a center that could not take the report keeps it in
// the outbox, one that took it later takes it out, and an earlier report
// waiting there stays.
TEST_F(DiagnosisWizardTest, SendTellsTheOutcomeAndKeepsWhatTheCenterDidNotTakeInTheOutbox) {
    const UploadOutbox outbox(data.ReportFolder());
    const auto waiting = [&] {
        std::vector<std::string> paths;
        const Result<std::vector<UploadOutbox::Entry>> entries = outbox.List();
        for (const UploadOutbox::Entry& entry : entries.value()) {
            paths.push_back(entry.reportPath);
        }
        return paths;
    };
    const std::string other = "/var/tmp/REPORT_OTHER_20260102_030405.VOK";
    ASSERT_TRUE(outbox.Add(other).ok());
    const std::filesystem::path report = test::WriteReport(data.ReportFolder());
    LoopbackHttpServer busy(LoopbackHttpServer::Reply(503, "busy"));
    Open(test::SimulatedLink(), busy.Address());
    OnCompletionPage(report);
    Completion().m_btnSend.click();  // No
    EXPECT_TRUE(busy.Requests().empty());
    Answer({kYes});
    Completion().m_btnSend.click();
    EXPECT_EQ(waiting(), Texts({other, report.string()}));

    LoopbackHttpServer taking(LoopbackHttpServer::Reply(200, "200"));
    Open(test::SimulatedLink(), taking.Address());
    OnCompletionPage(report);
    Answer({kYes});
    Completion().m_btnSend.click();
    EXPECT_EQ(waiting(), Texts({other}));

    std::filesystem::remove(report);
    Answer({kYes});
    Completion().m_btnSend.click();
    ASSERT_EQ(messages.Notices().size(), 4u);
    EXPECT_EQ(messages.Notices(), Texts({kMsgOperationCancel, kUploadFailedMessage,
                                         kUploadSuccessMessage, messages.Notices()[3]}));
    EXPECT_EQ(messages.Notices()[3].rfind("ERROR : ", 0), 0u);
    EXPECT_NE(messages.Notices()[3].find(report.string()), std::string::npos);
    EXPECT_EQ(taking.Requests().size(), 1u);
}

TEST_F(DiagnosisWizardTest, AServerThatNeverAnswersLeavesTheWindowRunningButNotClosable) {
    std::optional<LoopbackHttpServer> server(std::in_place, "");
    Open(test::SimulatedLink(), server->Address());
    OnCompletionPage(test::WriteReport(data.ReportFolder()));
    Answer({kYes});
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

// Skip or close ends the run while its events are still queued: none of them
// may reach the pages, while a new run's events still come through.
TEST(GuiAcquisitionObserverTest, EventsOfAnEndedOrEarlierRunAreDropped) {
    test::QtApp();
    GuiAcquisitionObserver observer;
    std::vector<std::string> received;
    QObject::connect(&observer, &GuiAcquisitionObserver::StatusLineAdded,
                     [&](const std::string& line) { received.push_back(line); });
    QObject::connect(&observer, &GuiAcquisitionObserver::SystemProgressChanged,
                     [&](int) { received.push_back("system"); });
    QObject::connect(&observer, &GuiAcquisitionObserver::LogProgressChanged,
                     [&](int) { received.push_back("log"); });
    QObject::connect(&observer, &GuiAcquisitionObserver::AcquisitionFinished,
                     [&](AcquisitionOutcome, const std::string&) { received.push_back("end"); });
    // A worker's whole run, made while the GUI thread runs no events.
    const auto runWorker = [&](const std::string& line) {
        std::thread([&] {
            observer.AddStatusLine(line);
            observer.SetSystemProgress(1);
            observer.SetLogProgress(1);
            observer.Finished(AcquisitionOutcome::DeviceLost, "cable pulled");
        }).join();
    };
    observer.BeginRun();
    runWorker("ended run");
    observer.EndRun();
    QCoreApplication::processEvents();
    EXPECT_TRUE(received.empty());

    observer.BeginRun();
    runWorker("earlier run");
    observer.BeginRun();  // the next run starts before the GUI saw the last one
    std::thread([&] { observer.AddStatusLine("new run"); }).join();
    ASSERT_TRUE(PumpUntil([&] { return !received.empty(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(received, std::vector<std::string>{"new run"});
}

}  // namespace
}  // namespace vok
