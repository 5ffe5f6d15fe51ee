#include <algorithm>
#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "WizardTestSupport.h"
#include "pages/CDialogError.h"
#include "pages/PageTexts.h"

namespace vok {
namespace {

using namespace std::chrono_literals;
using test::kNo;
using test::kYes;
using test::PumpUntil;

class AcquisitionFlowTest : public test::WizardTest {
protected:
    int SystemPos() { return Progress().m_ctrlSystemProgress.GetPos(); }

    // How long `action` took; closing runs as the close box does.
    template <typename Action>
    static auto Timed(Action action) {
        const auto start = std::chrono::steady_clock::now();
        action();
        return std::chrono::steady_clock::now() - start;
    }
};

TEST_F(AcquisitionFlowTest, DecliningTheStartOrTheEndQuestionLeavesTheUserOnThePage) {
    Open();
    Start().m_btnStart.click();  // No
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdStartPage));
    // The site information is read before the question.
    EXPECT_EQ(dialog->m_SiteInfo.m_strModel, "VOK-HF 650");
    Answer({kYes, kNo});
    Start().m_btnStart.click();
    // Next is enabled one effect before the question comes: wait for both.
    ASSERT_TRUE(PumpUntil(
        [&] { return Progress().m_btnNext.isEnabled() && messages.Questions().size() == 3u; }));
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdProgressPage));
    Progress().m_btnNext.click();
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdUserPage));
}

// What the wizard logged, category and text, while one of these lives.
class LogCapture {
public:
    LogCapture() {
        Lines().clear();
        m_previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext& context, const QString& text) {
                Lines().push_back(std::string(context.category) + ": " + text.toStdString());
            });
    }
    ~LogCapture() { qInstallMessageHandler(m_previous); }
    static std::vector<std::string>& Lines() {
        static std::vector<std::string> lines;
        return lines;
    }

private:
    QtMessageHandler m_previous = nullptr;
};

TEST_F(AcquisitionFlowTest, StartWithoutADeviceShowsTheCableErrorWithItsSound) {
    Open({.kind = LinkOptions::Kind::Device, .devicePath = "/nonexistent/ttyVOK"});
    const LogCapture log;
    Start().m_btnStart.click();
    // The link's own reason goes to the log, for whoever has to fix it.
    ASSERT_EQ(LogCapture::Lines().size(), 1u);
    EXPECT_EQ(LogCapture::Lines()[0].rfind("vok.link: ", 0), 0u);
    EXPECT_NE(LogCapture::Lines()[0].find("/nonexistent/ttyVOK"), std::string::npos);
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdErrorPage));
    EXPECT_EQ(PageTexts::Bytes(dialog->m_pErrorDlg->m_ctrlError.text()),
              "\n\n\n                             VOK Remote Diagnosis V 1.03.02 \n\n\n"
              "  Detected ERROR State ...\n"
              "  CODE : ERROR : Please, Check VOK USB Connection Cable. \n\n\n"
              "  Please, Reboot Console and Retry Diagnosis Procedure ... ");
    EXPECT_EQ(shell.Sounds(), std::vector<std::filesystem::path>{data.path() / "ERROR.dll"});
    EXPECT_TRUE(messages.Questions().empty());
    // A reason with printf's marks goes in whole.
    EXPECT_NE(CDialogError::ErrorText("50%s done").find("  CODE : 50%s done \n\n\n"),
              std::string::npos);
}

TEST_F(AcquisitionFlowTest, SkipDuringAStreamDropsEverythingReceived) {
    // Paced like a real console, so the stream is still coming when Skip is pressed.
    Open(test::SimulatedLink(ConsoleScenario::Full, 9600));
    Answer({kYes});
    Start().m_btnStart.click();
    ASSERT_TRUE(PumpUntil([&] { return SystemPos() > 20; }));

    Progress().m_btnSkip.click();  // No: nothing changes
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdProgressPage));
    const int before = SystemPos();
    ASSERT_TRUE(PumpUntil([&] { return SystemPos() > before; }));

    Answer({kYes});
    EXPECT_LT(Timed([&] { Progress().m_btnSkip.click(); }), 1s);
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdUserPage));
    const auto noneValid = [](const auto& records) {
        return std::ranges::none_of(records, [](const DiagnosisRecord& r) { return r.valid != 0; });
    };
    EXPECT_TRUE(noneValid(dialog->Data().m_HtInfo));
    EXPECT_TRUE(noneValid(dialog->Data().m_CmdInfo));
    // Nothing the worker had queued reaches the pages afterwards.
    const QString status = Progress().m_ctrlStatus.text();
    QCoreApplication::processEvents();
    EXPECT_EQ(Progress().m_ctrlStatus.text(), status);
}

// Right after Start, mid-stream, in a stall inside a frame, and after the
// whole acquisition while the GUI thread ran no events, so that all it
// reported (the end question too) is still queued and must be dropped.
enum class CloseWhen { AtOnce, MidStream, InAStall, WithEverythingQueued };

class AcquisitionFlowCloseTest : public AcquisitionFlowTest,
                                 public ::testing::WithParamInterface<CloseWhen> {};

TEST_P(AcquisitionFlowCloseTest, ClosingReturnsWithinASecondAndShowsNothingMore) {
    const CloseWhen when = GetParam();
    Open(when == CloseWhen::MidStream  ? test::SimulatedLink(ConsoleScenario::Full, 9600)
         : when == CloseWhen::InAStall ? test::SimulatedLink(ConsoleScenario::Stall)
                                       : test::SimulatedLink());
    Answer({kYes});
    Start().m_btnStart.click();
    if (when == CloseWhen::MidStream) {
        ASSERT_TRUE(PumpUntil([&] { return SystemPos() > 5; }));
    } else if (when == CloseWhen::InAStall) {
        // The stall comes after the hundredth system record.
        ASSERT_TRUE(PumpUntil([&] { return SystemPos() == 100; }));
    } else if (when == CloseWhen::WithEverythingQueued) {
        ASSERT_TRUE(test::WaitWithoutEvents([&] { return dialog->Data().m_HtInfo[212].valid; }));
    }
    EXPECT_LT(Timed([&] { dialog->close(); }), 1s);
    EXPECT_FALSE(dialog->isVisible());
    const QString status = Progress().m_ctrlStatus.text();
    QCoreApplication::processEvents();
    EXPECT_EQ(Progress().m_ctrlStatus.text(), status);
    EXPECT_EQ(messages.Questions(), test::Texts({kMsgStartQuestion}));
}

std::string MomentName(const ::testing::TestParamInfo<CloseWhen>& info) {
    constexpr const char* kNames[] = {"AtOnce", "MidStream", "InAStall", "WithEverythingQueued"};
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Moments, AcquisitionFlowCloseTest,
                         ::testing::Values(CloseWhen::AtOnce, CloseWhen::MidStream,
                                           CloseWhen::InAStall, CloseWhen::WithEverythingQueued),
                         MomentName);

TEST_F(AcquisitionFlowTest, ExitDuringAnAcquisitionEndsItWhenTheDialogGoes) {
    Open(test::SimulatedLink(ConsoleScenario::Silent));
    Answer({kYes, kYes});
    Start().m_btnStart.click();
    Progress().m_btnExit.click();
    EXPECT_EQ(shell.Exits(), 1);
    EXPECT_LT(Timed([&] { dialog.reset(); }), 1s);
}

}  // namespace
}  // namespace vok
