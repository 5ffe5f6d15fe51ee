#include <cstdlib>
#include <functional>
#include <utility>

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "WizardTestSupport.h"
#include "pages/CDialogStep1Dlg.h"
#include "pages/CDialogStep2Dlg.h"
#include "platform/QtDesktopShell.h"

namespace vok {
namespace {

using test::kYes;

// Status of a child whose wizard never ended.
constexpr int kStuck = 3;

// Runs the wizard as vok-diagnosis does, with the real desktop, every
// question answered Yes; `steps` runs once the event loop is up. Ends the
// process with the status the event loop ended with.
[[noreturn]] void RunWizard(LinkOptions link, const std::function<void(CDiagnosisDlg&)>& steps) {
    test::QtApp();
    DiagnosisOptions options;
    options.dataDir = VOK_EXAMPLES_DIR;  // read only: nothing here writes a report
    options.link = std::move(link);
    ScriptedMessageBoxService messages(kYes);
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

// Exit runs in a child process of its own (a fresh run of this test program),
// so that the process really ends; during an acquisition, where the worker
// must end too.
TEST(ExitStatusTest, ExitDuringAnAcquisitionEndsTheProcessWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(RunWizard(test::SimulatedLink(ConsoleScenario::Full, 9600),
                          [](CDiagnosisDlg& d) {
                              d.m_pStep1Dlg->m_btnStart.click();
                              QTimer::singleShot(300, &d,
                                                 [&d] { d.m_pStep2Dlg->m_btnExit.click(); });
                          }),
                ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace vok
