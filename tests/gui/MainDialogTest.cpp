#include <algorithm>
#include <string_view>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QTest>
#include <QTimer>

#include "WizardTestSupport.h"
#include "wizard/DialogControls.h"

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
class MainDialogExitTest : public MainDialogTest, public ::testing::WithParamInterface<int> {};

TEST_P(MainDialogExitTest, ExitEndsTheProgramOnlyAfterItsQuestionsYes) {
    const auto page = static_cast<unsigned>(GetParam());
    if (page == kIdErrorPage) {
        dialog->ShowError("ERROR : x");
    } else {
        dialog->SetActivePage(page);
    }
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
    EXPECT_EQ(messages.Questions(),
              question.empty() ? test::Texts({}) : test::Texts({question, question}));
}

INSTANTIATE_TEST_SUITE_P(Pages, MainDialogExitTest,
                         ::testing::Values(kIdStartPage, kIdProgressPage, kIdUserPage,
                                           kIdServicePage, kIdCompletionPage, kIdErrorPage));

TEST_F(MainDialogTest, HomepageOpensTheMakersSite) {
    Start().m_btnHomepage.click();
    Progress().m_btnHomepage.click();
    EXPECT_EQ(shell.Urls(), (std::vector<std::string>(2, std::string(kHomepageUrl))));
}

TEST_F(MainDialogTest, EscapeReturnAndEnterCloseNeitherTheDialogNorItsPage) {
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        SCOPED_TRACE(key);
        QTest::keyClick(dialog.get(), key);
        QTest::keyClick(&Start().m_ctrlIntro, key);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_FALSE(Start().isHidden());
    }
    EXPECT_EQ(shell.Exits(), 0);
    EXPECT_TRUE(messages.Questions().empty());
}

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
