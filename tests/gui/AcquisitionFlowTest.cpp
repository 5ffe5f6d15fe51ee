#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "WizardTestSupport.h"
#include "pages/CDialogError.h"
#include "pages/CDialogStep1Dlg.h"
#include "pages/CDialogStep2Dlg.h"
#include "pages/CDialogStep3Dlg.h"
#include "pages/PageTexts.h"

namespace vok {
namespace {

using namespace std::chrono_literals;
using test::PumpUntil;

class AcquisitionFlowTest : public test::WizardTest {
protected:
    CDialogStep2Dlg& Progress() { return *dialog->m_pStep2Dlg; }
    std::string Status() { return PageTexts::Bytes(Progress().m_ctrlStatus.text()); }
    int SystemPos() { return Progress().m_ctrlSystemProgress.GetPos(); }

    // Closes the window as its close box does; how long it took.
    std::chrono::milliseconds CloseWindow() {
        QElapsedTimer timer;
        timer.start();
        dialog->close();
        return std::chrono::milliseconds(timer.elapsed());
    }
};

TEST_F(AcquisitionFlowTest, WholeDiagnosisRunsThroughThePagesOnTheGuiThread) {
    Open();
    Answer({kAnswerYes, kAnswerYes});
    dialog->m_pStep1Dlg->m_btnStart.click();
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdProgressPage));
    EXPECT_TRUE(Progress().m_btnSkip.isEnabled());
    EXPECT_FALSE(Progress().m_btnNext.isEnabled());
    // The worker waits on its first page effect until the GUI runs events.
    EXPECT_EQ(dialog->Data().m_strSerial, kNoSerial);

    ASSERT_TRUE(PumpUntil([&] { return Page() == kIdUserPage; }));
    EXPECT_EQ(SystemPos(), 213);
    EXPECT_EQ(Progress().m_ctrlLogProgress.GetPos(), 226);
    EXPECT_EQ(Status(), CDialogStep2Dlg::InitialStatusText() +
                            "\n  1.Checking ... VOK USB Connection."
                            "\n  2.Loading ... System Request Infomation."
                            "\n  3.Loading ... System Log Infomation."
                            "\n  4.Loading ... End.");
    EXPECT_FALSE(Progress().m_btnSkip.isEnabled());
    EXPECT_TRUE(Progress().m_btnNext.isEnabled());
    EXPECT_EQ(messages.Questions(), (std::vector<std::string>{std::string(kMsgStartQuestion),
                                                              std::string(kMsgGoNextQuestion)}));
    EXPECT_EQ(dialog->m_pStep3Dlg->m_edtUser[0]->text(), "St. Mary Regional Hospital");
    EXPECT_NE(dialog->Data().m_strSerial, kNoSerial);
    EXPECT_EQ(dialog->Data().m_HtInfo[212].valid, 1);
    EXPECT_EQ(dialog->Data().m_CmdInfo[225].valid, 1);
}

TEST_F(AcquisitionFlowTest, DecliningTheEndQuestionLeavesNextAsTheWayOn) {
    Open();
    Answer({kAnswerYes, kAnswerNo});
    dialog->m_pStep1Dlg->m_btnStart.click();
    // Next is enabled one effect before the question comes: wait for both.
    ASSERT_TRUE(PumpUntil(
        [&] { return Progress().m_btnNext.isEnabled() && messages.Questions().size() == 2u; }));
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdProgressPage));
    Progress().m_btnNext.click();
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdUserPage));
}

TEST_F(AcquisitionFlowTest, StartWithoutADeviceShowsTheCableErrorWithItsSound) {
    LinkOptions link;
    link.kind = LinkOptions::Kind::Device;
    link.devicePath = "/nonexistent/ttyVOK";
    Open(link);
    dialog->m_pStep1Dlg->m_btnStart.click();
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdErrorPage));
    EXPECT_NE(PageTexts::Bytes(dialog->m_pErrorDlg->m_ctrlError.text())
                  .find("  CODE : ERROR : Please, Check VOK USB Connection Cable. \n\n\n"),
              std::string::npos);
    EXPECT_EQ(shell.Sounds().size(), 1u);
    EXPECT_TRUE(messages.Questions().empty());
}

TEST_F(AcquisitionFlowTest, DecliningTheStartLeavesTheStartPageAndTheDeviceFree) {
    Open();
    dialog->m_pStep1Dlg->m_btnStart.click();  // No
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdStartPage));
    // The site information is read before the question.
    EXPECT_EQ(dialog->m_SiteInfo.m_strModel, "VOK-HF 650");
    Answer({kAnswerYes});
    dialog->m_pStep1Dlg->m_btnStart.click();
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdProgressPage));
    EXPECT_LT(CloseWindow(), 1s);
}

TEST_F(AcquisitionFlowTest, SkipDuringAStreamDropsEverythingReceived) {
    // Paced like a real console, so the stream is still coming when Skip is pressed.
    Open(test::SimulatedLink(ConsoleScenario::Full, 9600));
    Answer({kAnswerYes});
    dialog->m_pStep1Dlg->m_btnStart.click();
    ASSERT_TRUE(PumpUntil([&] { return SystemPos() > 20; }));

    Progress().m_btnSkip.click();  // No: nothing changes
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdProgressPage));
    const int before = SystemPos();
    ASSERT_TRUE(PumpUntil([&] { return SystemPos() > before; }));

    Answer({kAnswerYes});
    QElapsedTimer timer;
    timer.start();
    Progress().m_btnSkip.click();
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdUserPage));
    const DiagnosisData skipped = dialog->Data();
    for (const DiagnosisRecord& record : skipped.m_HtInfo) {
        EXPECT_EQ(record.valid, 0);
    }
    for (const DiagnosisRecord& record : skipped.m_CmdInfo) {
        EXPECT_EQ(record.valid, 0);
    }
    // Nothing the worker had queued reaches the pages afterwards.
    const std::string status = Status();
    QCoreApplication::processEvents();
    EXPECT_EQ(Status(), status);
}

// Mid-stream, in a stall inside a frame, and with the worker blocked on its
// first page effect because the GUI thread runs no events.
TEST_F(AcquisitionFlowTest, ClosingDuringAnAcquisitionReturnsWithinASecond) {
    enum class Wait { Progress, Stall, NoEvents };
    for (const Wait wait : {Wait::Progress, Wait::Stall, Wait::NoEvents}) {
        Open(wait == Wait::Progress ? test::SimulatedLink(ConsoleScenario::Full, 9600)
             : wait == Wait::Stall  ? test::SimulatedLink(ConsoleScenario::Stall)
                                    : test::SimulatedLink());
        Answer({kAnswerYes});
        dialog->m_pStep1Dlg->m_btnStart.click();
        if (wait == Wait::Progress) {
            ASSERT_TRUE(PumpUntil([&] { return SystemPos() > 5; }));
        } else if (wait == Wait::Stall) {
            PumpUntil([] { return false; }, 1500ms);
        } else {
            std::this_thread::sleep_for(700ms);
        }
        EXPECT_LT(CloseWindow(), 1s) << static_cast<int>(wait);
        EXPECT_FALSE(dialog->isVisible());
        dialog.reset();
    }
}

TEST_F(AcquisitionFlowTest, ExitDuringAnAcquisitionEndsItWhenTheDialogGoes) {
    Open(test::SimulatedLink(ConsoleScenario::Silent));
    Answer({kAnswerYes, kAnswerYes});
    dialog->m_pStep1Dlg->m_btnStart.click();
    Progress().m_btnExit.click();
    EXPECT_EQ(shell.Exits(), 1);
    QElapsedTimer timer;
    timer.start();
    dialog.reset();
    EXPECT_LT(timer.elapsed(), 1000);
}

}  // namespace
}  // namespace vok
