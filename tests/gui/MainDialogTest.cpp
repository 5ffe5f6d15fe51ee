#include <memory>

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include "QtTestApp.h"
#include "app/CDiagnosisDlg.h"
#include "core/Constants.h"
#include "pages/CDialogError.h"
#include "pages/CDialogStep1Dlg.h"
#include "pages/CDialogStep2Dlg.h"
#include "pages/CDialogStep3Dlg.h"
#include "pages/CDialogStep4Dlg.h"
#include "pages/CDialogStep5Dlg.h"
#include "pages/PageTexts.h"
#include "platform/RecordingDesktopShell.h"
#include "platform/ScriptedMessageBoxService.h"
#include "support/TempDir.h"
#include "wizard/DialogControls.h"
#include "wizard/DialogFonts.h"

namespace vok {
namespace {

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        DiagnosisOptions options;
        options.dataDir = VOK_EXAMPLES_DIR;
        dialog = std::make_unique<CDiagnosisDlg>(options, messages, shell);
    }

    std::string PanelText(CFontLabel& panel) { return PageTexts::Bytes(panel.text()); }

    ScriptedMessageBoxService messages;
    RecordingDesktopShell shell;
    std::unique_ptr<CDiagnosisDlg> dialog;
};

TEST_F(MainDialogTest, OpensOnTheStartPageWithEveryPageMadeAndRegistered) {
    EXPECT_EQ(dialog->windowTitle(), "VOK Remote Diagnosis V 1.03.02");
    EXPECT_EQ(dialog->ActivePageId(), static_cast<unsigned>(kIdStartPage));
    std::vector<unsigned> ids;
    for (const PageEntry& entry : dialog->Pages()) {
        ids.push_back(entry.id);
        EXPECT_EQ(entry.page->isHidden(), entry.id != static_cast<unsigned>(kIdStartPage));
    }
    EXPECT_EQ(ids, (std::vector<unsigned>{129, 130, 131, 132, 133, 134}));
    EXPECT_EQ(static_cast<CWizardPage*>(dialog->m_pStep1Dlg), dialog->Page(129));
    EXPECT_EQ(static_cast<CWizardPage*>(dialog->m_pStep2Dlg), dialog->Page(130));
    EXPECT_EQ(static_cast<CWizardPage*>(dialog->m_pStep3Dlg), dialog->Page(131));
    EXPECT_EQ(static_cast<CWizardPage*>(dialog->m_pStep4Dlg), dialog->Page(132));
    EXPECT_EQ(static_cast<CWizardPage*>(dialog->m_pStep5Dlg), dialog->Page(133));
    EXPECT_EQ(static_cast<CWizardPage*>(dialog->m_pErrorDlg), dialog->Page(134));
    EXPECT_FALSE(dialog->windowIcon().isNull());
}

TEST_F(MainDialogTest, TemplatesAreLaidOutInDialogUnitsOfTheDialogFont) {
    const DialogUnits units(DialogFonts::DialogFont());
    EXPECT_EQ(dialog->size(), units.Size(303, 264));
    for (const PageEntry& entry : dialog->Pages()) {
        EXPECT_EQ(entry.page->geometry(), QRect(QPoint(0, 0), units.Size(300, 250))) << entry.id;
    }
    const QWidget* exit = DialogControls::Find(dialog->m_pStep1Dlg, kIdcExit);
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->geometry(), units.Rect({243, 221, 50, 22}));
    const QWidget* comment = DialogControls::Find(dialog->m_pStep3Dlg, kIdcComment);
    ASSERT_NE(comment, nullptr);
    EXPECT_EQ(comment->geometry(), units.Rect({71, 141, 180, 61}));
    const QWidget* history = DialogControls::Find(dialog->m_pStep4Dlg, kIdcAddHistory);
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->geometry(), units.Rect({140, 128, 77, 10}));
    const QWidget* send = DialogControls::Find(dialog->m_pStep5Dlg, kIdcSend);
    ASSERT_NE(send, nullptr);
    EXPECT_EQ(send->geometry(), units.Rect({7, 221, 100, 22}));
}

TEST_F(MainDialogTest, PagesCarryTheirTextsAndIcons) {
    CDialogStep1Dlg& start = *dialog->m_pStep1Dlg;
    EXPECT_EQ(PanelText(start.m_ctrlIntro),
              "\n\n\n                             VOK Remote Diagnosis V 1.03.02 \n\n\n"
              "  VOK Remote Diagnosis Software produces 'Remote Diagnosis Report'\n"
              "  by extract 'System Infomation' from VOK X-Ray generator, \n"
              "  'User Infomation' and comments by operator and 'Service Infomation'\n"
              "  by service engineer.\n\n"
              "  To complete the remote diagnosis procedure,\n"
              "  Check the below steps and click the 'START' Button.\n");
    EXPECT_EQ(start.m_ctrlIntro.FaceName(), "Verdana");
    EXPECT_EQ(start.m_ctrlIntro.BackgroundInUse(), QColor(0, 0, 0));
    EXPECT_EQ(start.m_btnHomepage.IconId(), 138);
    EXPECT_EQ(start.m_btnLoad.IconId(), 139);
    EXPECT_EQ(start.m_btnStart.IconId(), 144);
    EXPECT_EQ(start.m_btnExit.IconId(), 137);

    CDialogStep2Dlg& progress = *dialog->m_pStep2Dlg;
    EXPECT_EQ(progress.m_ctrlSystemProgress.DisplayText(), "Diagnosis Processing ... 0%");
    EXPECT_EQ(progress.m_ctrlLogProgress.DisplayText(), "Backup Log Infomation ... 0%");
    EXPECT_EQ(progress.m_ctrlSystemProgress.GetRange(), (ProgressRange{1, 213}));
    EXPECT_EQ(progress.m_ctrlLogProgress.GetRange(), (ProgressRange{1, 226}));
    EXPECT_EQ(progress.m_ctrlLogProgress.GetBkColor(), QColor(150, 150, 150));
    EXPECT_EQ(progress.m_ctrlLogProgress.GetTextBkColor(), QColor(255, 255, 255));
    EXPECT_EQ(progress.m_btnSkip.IconId(), 143);
    EXPECT_EQ(progress.m_btnNext.IconId(), 140);

    EXPECT_EQ(dialog->m_pStep3Dlg->m_grpUser.title(), "  User Infomation  ");
    EXPECT_EQ(dialog->m_pStep4Dlg->m_grpService.title(), "  Service Infomation  ");
    EXPECT_EQ(dialog->m_pStep4Dlg->m_btnBack.IconId(), 136);
    EXPECT_EQ(PanelText(dialog->m_pStep5Dlg->m_ctrlComplete),
              "\n\n\n                             VOK Remote Diagnosis V 1.03.02 \n\n\n"
              "  VOK Remote Diagnosis completed.\n\n"
              "  If you want to send report via VOK Service Center,\n"
              "  Click the 'Send VOK Service Center' button.\n\n"
              "  Thanks you.");
    EXPECT_EQ(dialog->m_pStep5Dlg->m_btnSend.IconId(), 142);
    EXPECT_EQ(dialog->m_pStep5Dlg->m_btnReport.IconId(), 141);
}

TEST_F(MainDialogTest, StatusLinesFollowTheInitialText) {
    CDialogStep2Dlg& progress = *dialog->m_pStep2Dlg;
    progress.AddStatusLine("1.Checking ... VOK USB Connection.");
    progress.AddStatusLine("2.Loading ... System Request Infomation.");
    progress.AddStatusLine("3.Loading ... System Log Infomation.");
    EXPECT_EQ(PanelText(progress.m_ctrlStatus),
              "\n\n\n                             VOK Remote Diagnosis V 1.03.02 \n\n\n"
              "  Extracting System Infomation form VOK X-Ray generator.\n\n"
              "\n  1.Checking ... VOK USB Connection."
              "\n  2.Loading ... System Request Infomation."
              "\n  3.Loading ... System Log Infomation.");
    progress.SetSystemProgress(0);
    EXPECT_EQ(progress.m_ctrlSystemProgress.GetPos(), 1);
    progress.SetLogProgress(500);
    EXPECT_EQ(progress.m_ctrlLogProgress.GetPos(), 226);
    EXPECT_EQ(progress.m_ctrlLogProgress.Percent(), 100);
}

TEST_F(MainDialogTest, ShowErrorPlaysTheSoundAndShowsTheCodeOnPage134) {
    dialog->ShowError(std::string(kMsgCheckCable));
    EXPECT_EQ(dialog->ActivePageId(), static_cast<unsigned>(kIdErrorPage));
    ASSERT_EQ(shell.Sounds().size(), 1u);
    EXPECT_EQ(shell.Sounds()[0], std::filesystem::path(VOK_EXAMPLES_DIR) / "ERROR.dll");
    EXPECT_EQ(PanelText(dialog->m_pErrorDlg->m_ctrlError),
              "\n\n\n                             VOK Remote Diagnosis V 1.03.02 \n\n\n"
              "  Detected ERROR State ...\n"
              "  CODE : ERROR : Please, Check VOK USB Connection Cable. \n\n\n"
              "  Please, Reboot Console and Retry Diagnosis Procedure ... ");
    EXPECT_EQ(dialog->m_pErrorDlg->m_btnExit.IconId(), 137);
}

TEST_F(MainDialogTest, ErrorCodeGoesInWhole) {
    EXPECT_NE(CDialogError::ErrorText("").find("  CODE :  \n\n\n"), std::string::npos);
    EXPECT_NE(CDialogError::ErrorText("50%s done").find("  CODE : 50%s done \n\n\n"),
              std::string::npos);
}

TEST_F(MainDialogTest, ErrorPageExitEndsWithoutAQuestion) {
    dialog->ShowError("ERROR : x");
    dialog->m_pErrorDlg->m_btnExit.click();
    EXPECT_EQ(shell.Exits(), 1);
    EXPECT_TRUE(messages.Questions().empty());
}

TEST_F(MainDialogTest, ExitAsksAndEndsOnlyOnYes) {
    dialog->m_pStep1Dlg->m_btnExit.click();
    EXPECT_EQ(shell.Exits(), 0);
    messages.QueueAnswer(kAnswerYes);
    dialog->m_pStep1Dlg->m_btnExit.click();
    EXPECT_EQ(shell.Exits(), 1);
    EXPECT_EQ(messages.Questions(),
              (std::vector<std::string>(2, std::string(kMsgExitNotCompleted))));

    messages.QueueAnswer(kAnswerYes);
    dialog->m_pStep5Dlg->m_btnExit.click();
    EXPECT_EQ(shell.Exits(), 2);
    EXPECT_EQ(messages.Questions().back(), kMsgExitSoftware);
}

TEST_F(MainDialogTest, HomepageOpensTheMakersSite) {
    dialog->m_pStep1Dlg->m_btnHomepage.click();
    dialog->m_pStep2Dlg->m_btnHomepage.click();
    EXPECT_EQ(shell.Urls(), (std::vector<std::string>(2, std::string(kHomepageUrl))));
}

TEST_F(MainDialogTest, UserFormLoadsTheUserSectionWithAnEmptyComment) {
    dialog->m_pStep3Dlg->m_edtComment->setPlainText("typed before");
    dialog->m_pStep3Dlg->LoadUserInfo();
    EXPECT_EQ(dialog->m_pStep3Dlg->m_edtUser[0]->text(), "St. Mary Regional Hospital");
    EXPECT_EQ(dialog->m_pStep3Dlg->m_edtUser[5]->text(), "+49 40 5550 7001");
    EXPECT_TRUE(dialog->m_pStep3Dlg->m_edtComment->toPlainText().isEmpty());
}

TEST_F(MainDialogTest, EscapeAndEnterDoNotEndTheDialog) {
    dialog->show();
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(dialog.get(), key);
        EXPECT_TRUE(dialog->isVisible()) << key;
        QTest::keyClick(&dialog->m_pStep1Dlg->m_ctrlIntro, key);
        EXPECT_TRUE(dialog->isVisible()) << key;
    }
    EXPECT_EQ(shell.Exits(), 0);
    EXPECT_TRUE(messages.Questions().empty());
}

TEST_F(MainDialogTest, AboutIsInTheContextMenuAndOnF1) {
    EXPECT_EQ(dialog->contextMenuPolicy(), Qt::ActionsContextMenu);
    const QAction* about = nullptr;
    for (const QAction* action : dialog->actions()) {
        if (action->text() == "&About RemoteVOK...") {
            about = action;
        }
    }
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_TRUE(dialog->actions().front()->isSeparator());

    QString shownTitle;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        shownTitle = box->windowTitle();
        box->close();
    });
    const_cast<QAction*>(about)->trigger();
    EXPECT_EQ(shownTitle, "About RemoteVOK");
}

}  // namespace
}  // namespace vok
