#include <chrono>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "QtTestApp.h"
#include "WizardTestSupport.h"
#include "app/CDiagnosisDlg.h"
#include "core/Constants.h"
#include "pages/CDialogError.h"
#include "pages/CDialogStep1Dlg.h"
#include "pages/CDialogStep2Dlg.h"
#include "pages/CDialogStep3Dlg.h"
#include "pages/PageTexts.h"
#include "platform/RecordingDesktopShell.h"
#include "platform/ScriptedMessageBoxService.h"

namespace vok {
namespace {

using namespace std::chrono_literals;
using test::PumpUntil;

// The wizard driven through its buttons on the simulated console, with the
// user's answers scripted.
class AcquisitionFlowTest : public ::testing::Test {
protected:
    void SetUp() override { test::QtApp(); }

    void Open(LinkOptions link) {
        DiagnosisOptions options;
        options.dataDir = VOK_EXAMPLES_DIR;
        options.link = link;
        dialog = std::make_unique<CDiagnosisDlg>(options, messages, shell);
        dialog->show();
    }

    std::string Status() { return PageTexts::Bytes(dialog->m_pStep2Dlg->m_ctrlStatus.text()); }

    // Closes the window as its close box does; how long it took.
    std::chrono::milliseconds CloseWindow() {
        QElapsedTimer timer;
        timer.start();
        dialog->close();
        return std::chrono::milliseconds(timer.elapsed());
    }

    ScriptedMessageBoxService messages;
    RecordingDesktopShell shell;
    std::unique_ptr<CDiagnosisDlg> dialog;
};

TEST_F(AcquisitionFlowTest, WholeDiagnosisRunsThroughThePagesOnTheGuiThread) {
    Open(test::SimulatedLink(ConsoleScenario::Full));
    messages.QueueAnswer(kAnswerYes);  // start
    messages.QueueAnswer(kAnswerYes);  // go on to the user page at the end
    dialog->m_pStep1Dlg->m_btnStart.click();
    EXPECT_EQ(dialog->ActivePageId(), static_cast<unsigned>(kIdProgressPage));
    EXPECT_TRUE(dialog->m_pStep2Dlg->m_btnSkip.isEnabled());
    EXPECT_FALSE(dialog->m_pStep2Dlg->m_btnNext.isEnabled());
    EXPECT_EQ(dialog->m_pStep2Dlg->m_ctrlSystemProgress.Percent(), 0);
    // The worker waits on its first page effect until the GUI runs events.
    EXPECT_EQ(dialog->Data().m_strSerial, kNoSerial);

    ASSERT_TRUE(PumpUntil([&] { return dialog->ActivePageId() == kIdUserPage; }));
    CDialogStep2Dlg& progress = *dialog->m_pStep2Dlg;
    EXPECT_EQ(progress.m_ctrlSystemProgress.GetPos(), 213);
    EXPECT_EQ(progress.m_ctrlLogProgress.GetPos(), 226);
    EXPECT_EQ(Status(), CDialogStep2Dlg::InitialStatusText() +
                            "\n  1.Checking ... VOK USB Connection."
                            "\n  2.Loading ... System Request Infomation."
                            "\n  3.Loading ... System Log Infomation."
                            "\n  4.Loading ... End.");
    EXPECT_FALSE(progress.m_btnSkip.isEnabled());
    EXPECT_TRUE(progress.m_btnNext.isEnabled());
    EXPECT_EQ(messages.Questions(), (std::vector<std::string>{std::string(kMsgStartQuestion),
                                                              std::string(kMsgGoNextQuestion)}));
    EXPECT_EQ(dialog->m_pStep3Dlg->m_edtUser[0]->text(), "St. Mary Regional Hospital");

    const DiagnosisData data = dialog->Data();
    EXPECT_NE(data.m_strSerial, kNoSerial);
    EXPECT_EQ(data.m_HtInfo[212].valid, 1);
    EXPECT_EQ(data.m_CmdInfo[225].valid, 1);
    EXPECT_EQ(dialog->m_SiteInfo.m_strHospital, "St. Mary Regional Hospital");
}

TEST_F(AcquisitionFlowTest, DecliningTheEndQuestionLeavesNextAsTheWayOn) {
    Open(test::SimulatedLink(ConsoleScenario::Full));
    messages.QueueAnswer(kAnswerYes);
    messages.QueueAnswer(kAnswerNo);
    dialog->m_pStep1Dlg->m_btnStart.click();
    ASSERT_TRUE(PumpUntil([&] { return messages.Questions().size() == 2; }));
    ASSERT_TRUE(PumpUntil([&] { return dialog->m_pStep2Dlg->m_btnNext.isEnabled(); }));
    EXPECT_EQ(dialog->ActivePageId(), static_cast<unsigned>(kIdProgressPage));
    dialog->m_pStep2Dlg->m_btnNext.click();
    EXPECT_EQ(dialog->ActivePageId(), static_cast<unsigned>(kIdUserPage));
    EXPECT_EQ(dialog->m_pStep3Dlg->m_edtUser[1]->text(), "12 Harbour Road, Hamburg 20457");
}

TEST_F(AcquisitionFlowTest, StartWithoutADeviceShowsTheCableErrorWithItsSound) {
    LinkOptions link;
    link.kind = LinkOptions::Kind::Device;
    link.devicePath = "/nonexistent/ttyVOK";
    Open(link);
    dialog->m_pStep1Dlg->m_btnStart.click();
    EXPECT_EQ(dialog->ActivePageId(), static_cast<unsigned>(kIdErrorPage));
    EXPECT_NE(PageTexts::Bytes(dialog->m_pErrorDlg->m_ctrlError.text())
                  .find("  CODE : ERROR : Please, Check VOK USB Connection Cable. \n\n\n"),
              std::string::npos);
    EXPECT_EQ(shell.Sounds().size(), 1u);
    EXPECT_TRUE(messages.Questions().empty());
}

TEST_F(AcquisitionFlowTest, DecliningTheStartLeavesTheStartPageAndTheDeviceFree) {
    Open(test::SimulatedLink(ConsoleScenario::Full));
    dialog->m_pStep1Dlg->m_btnStart.click();  // answered No
    EXPECT_EQ(dialog->ActivePageId(), static_cast<unsigned>(kIdStartPage));
    EXPECT_EQ(messages.Questions(), std::vector<std::string>{std::string(kMsgStartQuestion)});
    // The site information is read before the question.
    EXPECT_EQ(dialog->m_SiteInfo.m_strModel, "VOK-HF 650");
    messages.QueueAnswer(kAnswerYes);
    dialog->m_pStep1Dlg->m_btnStart.click();  // the device opens again
    EXPECT_EQ(dialog->ActivePageId(), static_cast<unsigned>(kIdProgressPage));
    EXPECT_LT(CloseWindow(), 1s);
}

TEST_F(AcquisitionFlowTest, SkipDuringAStreamDropsEverythingReceived) {
    // Paced like a real console, so the stream is still coming when Skip is pressed.
    Open(test::SimulatedLink(ConsoleScenario::Full, 9600));
    messages.QueueAnswer(kAnswerYes);  // start
    dialog->m_pStep1Dlg->m_btnStart.click();
    ASSERT_TRUE(PumpUntil([&] { return dialog->m_pStep2Dlg->m_ctrlSystemProgress.GetPos() > 20; }));

    messages.QueueAnswer(kAnswerNo);  // Skip declined: nothing changes
    dialog->m_pStep2Dlg->m_btnSkip.click();
    EXPECT_EQ(dialog->ActivePageId(), static_cast<unsigned>(kIdProgressPage));
    const int before = dialog->m_pStep2Dlg->m_ctrlSystemProgress.GetPos();
    ASSERT_TRUE(
        PumpUntil([&] { return dialog->m_pStep2Dlg->m_ctrlSystemProgress.GetPos() > before; }));

    messages.QueueAnswer(kAnswerYes);
    QElapsedTimer timer;
    timer.start();
    dialog->m_pStep2Dlg->m_btnSkip.click();
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_EQ(dialog->ActivePageId(), static_cast<unsigned>(kIdUserPage));
    const DiagnosisData data = dialog->Data();
    for (const DiagnosisRecord& record : data.m_HtInfo) {
        EXPECT_EQ(record.valid, 0);
    }
    for (const DiagnosisRecord& record : data.m_CmdInfo) {
        EXPECT_EQ(record.valid, 0);
    }
    // Nothing the worker had queued reaches the pages afterwards.
    const std::string status = Status();
    QCoreApplication::processEvents();
    EXPECT_EQ(Status(), status);
}

TEST_F(AcquisitionFlowTest, ClosingDuringAnAcquisitionReturnsWithinASecond) {
    Open(test::SimulatedLink(ConsoleScenario::Full, 9600));
    messages.QueueAnswer(kAnswerYes);
    dialog->m_pStep1Dlg->m_btnStart.click();
    ASSERT_TRUE(PumpUntil([&] { return dialog->m_pStep2Dlg->m_ctrlSystemProgress.GetPos() > 5; }));
    EXPECT_LT(CloseWindow(), 1s);
    EXPECT_FALSE(dialog->isVisible());
    dialog.reset();
}

TEST_F(AcquisitionFlowTest, ClosingDuringAStallReturnsWithinASecond) {
    Open(test::SimulatedLink(ConsoleScenario::Stall));
    messages.QueueAnswer(kAnswerYes);
    dialog->m_pStep1Dlg->m_btnStart.click();
    // Let the console stop in the middle of a frame.
    PumpUntil([] { return false; }, 1500ms);
    EXPECT_LT(CloseWindow(), 1s);
    dialog.reset();
}

TEST_F(AcquisitionFlowTest, ClosingWhileTheWorkerWaitsOnTheGuiThreadDoesNotDeadlock) {
    Open(test::SimulatedLink(ConsoleScenario::Full));
    messages.QueueAnswer(kAnswerYes);
    dialog->m_pStep1Dlg->m_btnStart.click();
    // No events are run: the worker is soon blocked on its first page effect.
    std::this_thread::sleep_for(700ms);
    EXPECT_LT(CloseWindow(), 1s);
    dialog.reset();
}

TEST_F(AcquisitionFlowTest, ExitDuringAnAcquisitionEndsItWhenTheDialogGoes) {
    Open(test::SimulatedLink(ConsoleScenario::Silent));
    messages.QueueAnswer(kAnswerYes);  // start
    messages.QueueAnswer(kAnswerYes);  // exit
    dialog->m_pStep1Dlg->m_btnStart.click();
    dialog->m_pStep2Dlg->m_btnExit.click();
    EXPECT_EQ(shell.Exits(), 1);
    QElapsedTimer timer;
    timer.start();
    dialog.reset();
    EXPECT_LT(timer.elapsed(), 1000);
}

}  // namespace
}  // namespace vok
