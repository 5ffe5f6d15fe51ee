#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>

#include "QtTestApp.h"
#include "WizardTestSupport.h"
#include "pages/CDialogError.h"
#include "pages/CDialogStep1Dlg.h"
#include "pages/CDialogStep2Dlg.h"
#include "pages/CDialogStep3Dlg.h"
#include "pages/CDialogStep4Dlg.h"
#include "pages/CDialogStep5Dlg.h"
#include "pages/PageTexts.h"

namespace vok {
namespace {

// Each page alone, with no main dialog around it: a button press reports an
// intent, after the page's own question where it has one, and does nothing
// else; No reports nothing.
struct IntentCase {
    const char* name;
    // Makes the page under `parent`; the button to press and the signal it
    // should raise.
    std::function<CWizardPage*(MessageBoxService&, DesktopShell&, QWidget*)> make;
    std::function<CIconButton&(CWizardPage&)> button;
    std::function<std::unique_ptr<QSignalSpy>(CWizardPage&)> spy;
    const char* question;  // nullptr: asks nothing
};

template <typename Page, typename Signal>
IntentCase Case(const char* name, CIconButton Page::*button, Signal signal, const char* question) {
    return {
        name,
        [](MessageBoxService& messages, DesktopShell& shell, QWidget* parent) -> CWizardPage* {
            if constexpr (std::is_constructible_v<Page, MessageBoxService&, DesktopShell&,
                                                  QWidget*>) {
                return new Page(messages, shell, parent);
            } else {
                return new Page(messages, parent);
            }
        },
        [button](CWizardPage& page) -> CIconButton& { return static_cast<Page&>(page).*button; },
        [signal](CWizardPage& page) {
            return std::make_unique<QSignalSpy>(&static_cast<Page&>(page), signal);
        },
        question};
}

const std::vector<IntentCase>& Cases() {
    static const std::vector<IntentCase> cases = {
        Case("StartPageStart", &CDialogStep1Dlg::m_btnStart, &CDialogStep1Dlg::StartRequested,
             nullptr),
        Case("StartPageLoad", &CDialogStep1Dlg::m_btnLoad, &CDialogStep1Dlg::LoadRequested,
             nullptr),
        Case("StartPageExit", &CDialogStep1Dlg::m_btnExit, &CDialogStep1Dlg::ExitRequested,
             kMsgExitNotCompleted.data()),
        Case("ProgressPageSkip", &CDialogStep2Dlg::m_btnSkip, &CDialogStep2Dlg::SkipRequested,
             kMsgSkipNotCompleted.data()),
        Case("ProgressPageNext", &CDialogStep2Dlg::m_btnNext, &CDialogStep2Dlg::NextRequested,
             nullptr),
        Case("ProgressPageExit", &CDialogStep2Dlg::m_btnExit, &CDialogStep2Dlg::ExitRequested,
             kMsgExitNotCompleted.data()),
        Case("UserPageNext", &CDialogStep3Dlg::m_btnNext, &CDialogStep3Dlg::NextRequested,
             kMsgSureInformation.data()),
        Case("UserPageExit", &CDialogStep3Dlg::m_btnExit, &CDialogStep3Dlg::ExitRequested,
             kMsgExitNotCompleted.data()),
        Case("ServicePageBack", &CDialogStep4Dlg::m_btnBack, &CDialogStep4Dlg::BackRequested,
             kMsgGoPreview.data()),
        Case("ServicePageNext", &CDialogStep4Dlg::m_btnNext, &CDialogStep4Dlg::NextRequested,
             kMsgSureInformation.data()),
        Case("ServicePageExit", &CDialogStep4Dlg::m_btnExit, &CDialogStep4Dlg::ExitRequested,
             kMsgExitNotCompleted.data()),
        Case("CompletionPageSend", &CDialogStep5Dlg::m_btnSend, &CDialogStep5Dlg::SendRequested,
             nullptr),
        Case("CompletionPageReport", &CDialogStep5Dlg::m_btnReport,
             &CDialogStep5Dlg::ReportRequested, nullptr),
        Case("CompletionPageExit", &CDialogStep5Dlg::m_btnExit, &CDialogStep5Dlg::ExitRequested,
             kMsgExitSoftware.data()),
        Case("ErrorPageExit", &CDialogError::m_btnExit, &CDialogError::ExitRequested, nullptr),
    };
    return cases;
}

class PageIntentsTest : public ::testing::TestWithParam<std::size_t> {
protected:
    // Made before the host widget: each case may run alone in its process.
    QApplication& app = test::QtApp();
    QWidget host;
    ScriptedMessageBoxService messages;
    RecordingDesktopShell shell;
};

TEST_P(PageIntentsTest, ButtonReportsItsIntentOnlyAfterYesAndDoesNothingElse) {
    const IntentCase& c = Cases()[GetParam()];
    CWizardPage* page = c.make(messages, shell, &host);
    page->OnInitDialog();
    const std::unique_ptr<QSignalSpy> spy = c.spy(*page);
    if (c.question != nullptr) {
        c.button(*page).click();  // No
        EXPECT_EQ(spy->count(), 0);
        EXPECT_EQ(messages.Questions(), test::Texts({c.question}));
        messages.QueueAnswer(true);
    }
    c.button(*page).click();
    EXPECT_EQ(spy->count(), 1);
    EXPECT_EQ(messages.Questions().size(), c.question != nullptr ? 2u : 0u);
    EXPECT_TRUE(messages.Notices().empty());
    EXPECT_EQ(shell.Exits(), 0) << "the main dialog ends the process, not the page";
    EXPECT_TRUE(shell.Urls().empty());
}

INSTANTIATE_TEST_SUITE_P(Buttons, PageIntentsTest, ::testing::Range<std::size_t>(0, Cases().size()),
                         [](const auto& param) { return std::string(Cases()[param.param].name); });

// The forms go out with their Next exactly as typed, in their own fields.
TEST(PageFormsTest, NextCarriesTheFormInItsOwnFieldsOnly) {
    test::QtApp();
    QWidget host;
    ScriptedMessageBoxService messages(true);
    RecordingDesktopShell shell;
    CDialogStep3Dlg user(messages, shell, &host);
    CDialogStep4Dlg service(messages, shell, &host);
    SiteInfo loaded;
    for (std::size_t i = 0; i < kSiteFieldCount; ++i) {
        loaded.Field(i) = "field " + std::to_string(i);
    }
    user.LoadUserInfo(loaded);
    service.LoadServiceInfo(loaded);
    user.m_edtComment->setPlainText(QStringLiteral("two\nlines"));

    QSignalSpy userNext(&user, &CDialogStep3Dlg::NextRequested);
    QSignalSpy serviceNext(&service, &CDialogStep4Dlg::NextRequested);
    user.m_btnNext.click();
    service.m_btnNext.click();
    ASSERT_EQ(userNext.count(), 1);
    ASSERT_EQ(serviceNext.count(), 1);
    const auto userForm = userNext[0][0].value<SiteInfo>();
    const auto serviceForm = serviceNext[0][0].value<SiteInfo>();
    for (std::size_t i = 0; i < kSiteFieldCount; ++i) {
        const bool isUser = i >= kFirstUserField;
        const std::string expectUser = i == kCommentField ? "two\nlines" : loaded.Field(i);
        EXPECT_EQ(userForm.Field(i), isUser ? expectUser : "") << i;
        EXPECT_EQ(serviceForm.Field(i), isUser ? "" : loaded.Field(i)) << i;
    }
}

}  // namespace
}  // namespace vok
