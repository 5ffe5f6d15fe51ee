#include <memory>

#include <gtest/gtest.h>

#include <QAction>
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
}

TEST_F(MainDialogTest, ErrorCodeGoesInWhole) {
    EXPECT_NE(CDialogError::ErrorText("").find("  CODE :  \n\n\n"), std::string::npos);
    EXPECT_NE(CDialogError::ErrorText("50%s done").find("  CODE : 50%s done \n\n\n"),
              std::string::npos);
}

TEST_F(MainDialogTest, ExitAsksAndEndsOnlyOnYesExceptOnTheErrorPage) {
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

    // The error page ends without a question.
    dialog->ShowError("ERROR : x");
    dialog->m_pErrorDlg->m_btnExit.click();
    EXPECT_EQ(shell.Exits(), 3);
    EXPECT_EQ(messages.Questions().size(), 3u);
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
