#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "WizardTestSupport.h"
#include "pages/CDialogError.h"
#include "pages/CDialogStep1Dlg.h"
#include "pages/CDialogStep2Dlg.h"
#include "platform/QtDesktopShell.h"

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

// Exit where the process has the most to end: the start page, during an
// acquisition, and the error page, which ends without a question.
TEST_F(ExitStatusTest, ExitEndsTheProcessWithStatusZero) {
    using Steps = std::function<void(CDiagnosisDlg&)>;
    LinkOptions missing;
    missing.kind = LinkOptions::Kind::Device;
    missing.devicePath = "/nonexistent/ttyVOK";
    const std::vector<std::pair<LinkOptions, Steps>> runs = {
        {test::SimulatedLink(), [](CDiagnosisDlg& d) { d.m_pStep1Dlg->m_btnExit.click(); }},
        {test::SimulatedLink(ConsoleScenario::Full, 9600),
         [](CDiagnosisDlg& d) {
             d.m_pStep1Dlg->m_btnStart.click();
             QTimer::singleShot(300, &d, [&d] { d.m_pStep2Dlg->m_btnExit.click(); });
         }},
        {missing,
         [](CDiagnosisDlg& d) {
             d.m_pStep1Dlg->m_btnStart.click();
             d.m_pErrorDlg->m_btnExit.click();
         }},
    };
    for (std::size_t n = 0; n < runs.size(); ++n) {
        EXPECT_EXIT(RunWizard(runs[n].first, runs[n].second), ::testing::ExitedWithCode(0), "")
            << n;
    }
}

}  // namespace
}  // namespace vok
