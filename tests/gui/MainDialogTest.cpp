#include <algorithm>

#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <QTimer>

#include "WizardTestSupport.h"
#include "pages/CDialogError.h"
#include "pages/CDialogStep1Dlg.h"
#include "pages/CDialogStep2Dlg.h"
#include "pages/CDialogStep3Dlg.h"
#include "pages/CDialogStep4Dlg.h"
#include "pages/CDialogStep5Dlg.h"

namespace vok {
namespace {

using test::kYes;

class MainDialogTest : public test::WizardTest {
protected:
    void SetUp() override {
        WizardTest::SetUp();
        Open();
    }
};

TEST_F(MainDialogTest, OpensOnTheStartPageAndShowsOnePageAtATime) {
    EXPECT_EQ(dialog->windowTitle(), "VOK Remote Diagnosis V 1.03.02");
    EXPECT_EQ(Page(), static_cast<unsigned>(kIdStartPage));
    dialog->SetActivePage(kIdServicePage);
    for (const PageEntry& entry : dialog->Pages()) {
        EXPECT_EQ(entry.page->isHidden(), entry.id != kIdServicePage) << entry.id;
    }
}

// Exit on each page, with the page's own question (none on the error page):
// No leaves the program running, Yes ends it once.
struct ExitCase {
    const char* name;
    CIconButton& (*button)(CDiagnosisDlg&);
    const char* question;
};

class MainDialogExitTest : public MainDialogTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(MainDialogExitTest, ExitEndsTheProgramOnlyAfterItsQuestionsYes) {
    const ExitCase& c = GetParam();
    CIconButton& exit = c.button(*dialog);
    if (c.question != nullptr) {
        exit.click();  // No
        EXPECT_EQ(shell.Exits(), 0);
        Answer({kYes});
    }
    exit.click();
    EXPECT_EQ(shell.Exits(), 1);
    const std::vector<std::string> asked =
        c.question == nullptr ? std::vector<std::string>{}
                              : std::vector<std::string>(2, std::string(c.question));
    EXPECT_EQ(messages.Questions(), asked);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, MainDialogExitTest,
    ::testing::Values(
        ExitCase{"Start", [](CDiagnosisDlg& d) -> CIconButton& { return d.m_pStep1Dlg->m_btnExit; },
                 kMsgExitNotCompleted.data()},
        ExitCase{"Progress",
                 [](CDiagnosisDlg& d) -> CIconButton& { return d.m_pStep2Dlg->m_btnExit; },
                 kMsgExitNotCompleted.data()},
        ExitCase{"User", [](CDiagnosisDlg& d) -> CIconButton& { return d.m_pStep3Dlg->m_btnExit; },
                 kMsgExitNotCompleted.data()},
        ExitCase{"Service",
                 [](CDiagnosisDlg& d) -> CIconButton& { return d.m_pStep4Dlg->m_btnExit; },
                 kMsgExitNotCompleted.data()},
        ExitCase{"Completion",
                 [](CDiagnosisDlg& d) -> CIconButton& { return d.m_pStep5Dlg->m_btnExit; },
                 kMsgExitSoftware.data()},
        ExitCase{"Error",
                 [](CDiagnosisDlg& d) -> CIconButton& {
                     d.ShowError("ERROR : x");
                     return d.m_pErrorDlg->m_btnExit;
                 },
                 nullptr}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(MainDialogTest, HomepageOpensTheMakersSite) {
    dialog->m_pStep1Dlg->m_btnHomepage.click();
    dialog->m_pStep2Dlg->m_btnHomepage.click();
    EXPECT_EQ(shell.Urls(), (std::vector<std::string>(2, std::string(kHomepageUrl))));
}

class MainDialogKeyTest : public MainDialogTest, public ::testing::WithParamInterface<Qt::Key> {};

TEST_P(MainDialogKeyTest, KeyClosesNeitherTheDialogNorItsPage) {
    QTest::keyClick(dialog.get(), GetParam());
    QTest::keyClick(&dialog->m_pStep1Dlg->m_ctrlIntro, GetParam());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->m_pStep1Dlg->isHidden());
    EXPECT_EQ(shell.Exits(), 0);
    EXPECT_TRUE(messages.Questions().empty());
}

INSTANTIATE_TEST_SUITE_P(EscapeAndEnter, MainDialogKeyTest,
                         ::testing::Values(Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter),
                         [](const auto& param) {
                             return param.param == Qt::Key_Escape   ? "Escape"
                                    : param.param == Qt::Key_Return ? "Return"
                                                                    : "Enter";
                         });

TEST_F(MainDialogTest, AboutIsInTheContextMenuAndOnF1) {
    EXPECT_EQ(dialog->contextMenuPolicy(), Qt::ActionsContextMenu);
    const QList<QAction*> actions = dialog->actions();
    const auto about = std::ranges::find(actions, "&About RemoteVOK...", &QAction::text);
    ASSERT_NE(about, actions.end());
    EXPECT_EQ((*about)->shortcut(), QKeySequence(Qt::Key_F1));

    QString shownTitle;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        shownTitle = box->windowTitle();
        box->close();
    });
    (*about)->trigger();
    EXPECT_EQ(shownTitle, "About RemoteVOK");
}

}  // namespace
}  // namespace vok
