#include "app/CDiagnosisApp.h"

#include <iostream>

#include "app/CDiagnosisDlg.h"
#include "app/DiagnosisOptions.h"
#include "core/Constants.h"
#include "platform/QtDesktopShell.h"
#include "platform/QtMessageBoxService.h"
#include "wizard/DialogFonts.h"

namespace vok {

namespace {

constexpr int kExitUsage = 2;

}  // namespace

CDiagnosisApp::CDiagnosisApp(int& argc, char** argv)
    : QApplication(argc, argv), m_argc(argc), m_argv(argv) {
    setApplicationName(QStringLiteral("vok-diagnosis"));
    setApplicationVersion(QString::fromUtf8(kProgramVersion.data(), kProgramVersion.size()));
    setDesktopFileName(QStringLiteral("vok-diagnosis"));
}

int CDiagnosisApp::Run() {
    // QApplication has taken its own options (-platform ...) out of argv.
    const std::vector<std::string> args(m_argv + 1, m_argv + m_argc);
    const Result<DiagnosisOptions> options = DiagnosisOptions::Parse(args);
    if (!options) {
        std::cerr << "vok-diagnosis: " << options.error() << "\n" << DiagnosisOptions::Usage();
        return kExitUsage;
    }
    if (options->help) {
        std::cout << DiagnosisOptions::Usage();
        return 0;
    }
    if (options->version) {
        std::cout << "vok-diagnosis " << kProgramVersion << "\n";
        return 0;
    }

    DialogFonts::InstallSubstitutes();
    QtMessageBoxService messages;
    QtDesktopShell shell;
    CDiagnosisDlg dialog(*options, messages, shell);
    messages.SetOwner(&dialog);
    shell.SetOwner(&dialog);
    dialog.show();
    exec();
    return 0;
}

}  // namespace vok
