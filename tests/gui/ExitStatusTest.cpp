#include <cstdlib>
#include <functional>

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "QtTestApp.h"
#include "WizardTestSupport.h"
#include "app/CDiagnosisDlg.h"
#include "core/Constants.h"
#include "pages/CDialogError.h"
#include "pages/CDialogStep1Dlg.h"
#include "pages/CDialogStep2Dlg.h"
#include "pages/CDialogStep3Dlg.h"
#include "pages/CDialogStep4Dlg.h"
#include "pages/CDialogStep5Dlg.h"
#include "platform/QtDesktopShell.h"
#include "platform/ScriptedMessageBoxService.h"

namespace vok {
namespace {

// Status of a child whose wizard never ended.
constexpr int kStuck = 3;

// Each Exit runs in a child process of its own (a fresh run of this test
// program), with the real desktop, so that the process really ends.
class ExitStatusTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

    // Runs the wizard as vok-diagnosis does, every question answered Yes;
    // `steps` runs once the event loop is up. Ends the process with the
    // status the event loop ended with.
    [[noreturn]] static void RunWizard(LinkOptions link,
                                       const std::function<void(CDiagnosisDlg&)>& steps) {
        test::QtApp();
        DiagnosisOptions options;
        options.dataDir = VOK_EXAMPLES_DIR;  // read only: nothing here writes a report
        options.link = std::move(link);
        ScriptedMessageBoxService messages(kAnswerYes);
        QtDesktopShell shell;
        int status = kStuck;
        {
            CDiagnosisDlg dialog(options, messages, shell);
            shell.SetOwner(&dialog);
            dialog.show();
            QTimer::singleShot(0, &dialog, [&] { steps(dialog); });
            QTimer::singleShot(20000, [] { std::_Exit(kStuck); });
            status = QApplication::exec();
        }
        std::exit(status);
    }
};

TEST_F(ExitStatusTest, ExitOnTheStartPage) {
    EXPECT_EXIT(RunWizard(test::SimulatedLink(),
                          [](CDiagnosisDlg& dialog) { dialog.m_pStep1Dlg->m_btnExit.click(); }),
                ::testing::ExitedWithCode(0), "");
}

TEST_F(ExitStatusTest, ExitDuringAnAcquisition) {
    EXPECT_EXIT(RunWizard(test::SimulatedLink(ConsoleScenario::Full, 9600),
                          [](CDiagnosisDlg& dialog) {
                              dialog.m_pStep1Dlg->m_btnStart.click();
                              QTimer::singleShot(300, &dialog, [&dialog] {
                                  dialog.m_pStep2Dlg->m_btnExit.click();
                              });
                          }),
                ::testing::ExitedWithCode(0), "");
}

TEST_F(ExitStatusTest, ExitOnTheUserAndServicePages) {
    const auto skipToUserPage = [](CDiagnosisDlg& dialog) {
        dialog.m_pStep1Dlg->m_btnStart.click();
        dialog.m_pStep2Dlg->m_btnSkip.click();
    };
    EXPECT_EXIT(RunWizard(test::SimulatedLink(ConsoleScenario::Silent),
                          [&](CDiagnosisDlg& dialog) {
                              skipToUserPage(dialog);
                              dialog.m_pStep3Dlg->m_btnExit.click();
                          }),
                ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(RunWizard(test::SimulatedLink(ConsoleScenario::Silent),
                          [&](CDiagnosisDlg& dialog) {
                              skipToUserPage(dialog);
                              dialog.m_pStep3Dlg->m_btnNext.click();
                              dialog.m_pStep4Dlg->m_btnExit.click();
                          }),
                ::testing::ExitedWithCode(0), "");
}

TEST_F(ExitStatusTest, ExitOnTheCompletionAndErrorPages) {
    EXPECT_EXIT(RunWizard(test::SimulatedLink(),
                          [](CDiagnosisDlg& dialog) {
                              dialog.SetActivePage(kIdCompletionPage);
                              dialog.m_pStep5Dlg->m_btnExit.click();
                          }),
                ::testing::ExitedWithCode(0), "");
    LinkOptions missing;
    missing.kind = LinkOptions::Kind::Device;
    missing.devicePath = "/nonexistent/ttyVOK";
    EXPECT_EXIT(RunWizard(missing,
                          [](CDiagnosisDlg& dialog) {
                              dialog.m_pStep1Dlg->m_btnStart.click();
                              dialog.m_pErrorDlg->m_btnExit.click();
                          }),
                ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace vok
