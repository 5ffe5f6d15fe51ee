#include <fstream>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "WizardTestSupport.h"
#include "pages/PageTexts.h"
#include "report/ReportFileReader.h"

namespace vok {
namespace {

using test::kYes;
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
};

TEST_F(DiagnosisWizardTest, WholeDiagnosisRunsFromStartToTheReportFileOnTheGuiThread) {
    Open();
    Answer({kYes, kYes});
    Start().m_btnStart.click();
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdProgressPage));
    EXPECT_TRUE(Progress().m_btnSkip.isEnabled());
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
    EXPECT_TRUE(Progress().m_btnNext.isEnabled());
    EXPECT_EQ(messages.Questions(), Texts({kMsgStartQuestion, kMsgGoNextQuestion}));

    // The file has a COMMENT; the box still starts empty.
    EXPECT_EQ(User().m_edtUser[0]->text(), "St. Mary Regional Hospital");
    EXPECT_TRUE(User().m_edtComment->toPlainText().isEmpty());
    // Test's key clicks are ASCII only; the umlaut comes as an input method
    // would bring it.
    Type(User().m_edtUser[0], QStringLiteral("Klinikum S"));
    User().m_edtUser[0]->insert(QStringLiteral("ü"));
    QTest::keyClicks(User().m_edtUser[0], QStringLiteral("d"));
    User().m_edtComment->setFocus();
    QTest::keyClicks(User().m_edtComment, QStringLiteral("E-21 twice"));
    QTest::keyClick(User().m_edtComment, Qt::Key_Return);
    QTest::keyClicks(User().m_edtComment, QStringLiteral("during long exposures"));

    Answer({kYes});
    User().m_btnNext.click();
    ASSERT_EQ(Page(), static_cast<unsigned>(kIdServicePage));
    EXPECT_EQ(dialog->m_SiteInfo.m_strComment, "E-21 twice\nduring long exposures");
    // The file's values, with cause and action empty although it has them.
    EXPECT_EQ(Service().m_edtService[1]->text(), "VOK-HF 650");
    EXPECT_TRUE(Service().m_edtService[kHisCauseField]->text().isEmpty());
    EXPECT_TRUE(Service().m_edtService[kHisActionField]->text().isEmpty());

    Type(Service().m_edtService[kHisCauseField], QStringLiteral("E-21 during long exposures"));
    Type(Service().m_edtService[kHisActionField], QStringLiteral("Rotor cable replaced"));
    Answer({kYes});
    Service().m_btnNext.click();
    ASSERT_EQ(Page(), static_cast<unsigned>(kIdCompletionPage));

    const auto reports = data.Files(".VOK");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(Completion().m_strReportPath, reports[0].string());
    EXPECT_EQ(Completion().m_strReportName, reports[0].filename().string());
    const ReportData report = ReportFileReader::ReadReportFile(reports[0].string());
    EXPECT_EQ(report.m_SiteInfo.m_strHospital, "Klinikum Süd");
    EXPECT_EQ(report.m_SiteInfo.m_strHisCause, "E-21 during long exposures");
    EXPECT_EQ(report.m_SiteInfo.m_strHisAction, "Rotor cable replaced");
    EXPECT_EQ(report.m_HtInfo[212].params[0], dialog->Data().m_HtInfo[212].params[0]);
    EXPECT_TRUE(messages.Notices().empty());
}

// No to any question changes nothing. Back keeps the user form and saves
// nothing of the service form, which the next showing reloads; Yes writes the
// forms only, whatever Add Service History says.
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
    Service().m_btnBack.click();  // No
    Service().m_btnNext.click();  // No
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdServicePage));
    EXPECT_EQ(Service().m_edtService[1]->text(), "VOK-HF 800");
    EXPECT_EQ(dialog->m_SiteInfo, saved);
    EXPECT_TRUE(data.Files(".VOK").empty());

    Answer({kYes});
    Service().m_btnBack.click();
    ASSERT_EQ(Page(), static_cast<unsigned>(kIdUserPage));
    EXPECT_EQ(User().m_edtUser[2]->text(), "Dr. Jonas Weber");
    EXPECT_EQ(dialog->m_SiteInfo, saved);
    Type(User().m_edtUser[2], QStringLiteral("Dr. Lena Vogt"));
    Answer({kYes});
    User().m_btnNext.click();
    ASSERT_EQ(Page(), static_cast<unsigned>(kIdServicePage));
    EXPECT_EQ(ServiceBoxes(), fromFile);

    Service().m_chkAddHistory.click();
    Answer({kYes});
    Service().m_btnNext.click();
    EXPECT_EQ(messages.Questions(),
              Texts({kMsgStartQuestion, kMsgSkipNotCompleted, kMsgSureInformation,
                     kMsgSureInformation, kMsgGoPreview, kMsgSureInformation, kMsgGoPreview,
                     kMsgSureInformation, kMsgSureInformation}));
    const auto reports = data.Files(".VOK");
    ASSERT_EQ(reports.size(), 1u);
    const ReportData report = ReportFileReader::ReadReportFile(reports[0].string());
    EXPECT_EQ(report.m_SiteInfo.m_strUserName, "Dr. Lena Vogt");
    for (std::size_t i = 0; i < fromFile.size(); ++i) {
        EXPECT_EQ(PageTexts::Show(report.m_SiteInfo.Field(i)), fromFile[i]) << i;
    }
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
    EXPECT_EQ(dialog->m_SiteInfo, SiteInfo{});
    EXPECT_EQ(User().m_edtUser[0]->text(), "");
}

TEST_F(DiagnosisWizardTest, UnwritableReportFileIsToldAndSendAndReportSayThereIsNone) {
    SkipToUserPage();
    // A file where the REPORT folder should be: no report can go there.
    std::filesystem::remove_all(data.ReportFolder());
    std::ofstream(data.ReportFolder()) << "not a folder";
    // A report loaded earlier must not stand in for this one.
    Completion().m_strReportName = "REPORT_LOADED.VOK";
    Completion().m_strReportPath = (data.path() / "REPORT_LOADED.VOK").string();

    Answer({kYes, kYes});
    User().m_btnNext.click();
    Service().m_btnNext.click();
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdCompletionPage));
    ASSERT_EQ(messages.Notices().size(), 1u);
    EXPECT_EQ(messages.Notices()[0].rfind("ERROR : ", 0), 0u);
    EXPECT_NE(messages.Notices()[0].find(data.ReportFolder().string()), std::string::npos);
    EXPECT_TRUE(Completion().m_strReportPath.empty());
    EXPECT_TRUE(Completion().m_strReportName.empty());

    const std::size_t asked = messages.Questions().size();
    Completion().m_btnSend.click();
    Completion().m_btnReport.click();
    EXPECT_EQ(messages.Questions().size(), asked);
    EXPECT_EQ(messages.Notices(),
              Texts({messages.Notices()[0], kMsgNoReportFile, kMsgNoReportFile}));
    EXPECT_TRUE(shell.Urls().empty());
}

}  // namespace
}  // namespace vok
