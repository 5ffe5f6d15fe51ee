#include "app/CDiagnosisApp.h"

#include <cstdlib>
#include <iostream>
#include <string_view>

#include "app/CDiagnosisDlg.h"
#include "app/DiagnosisOptions.h"
#include "core/Version.h"
#include "platform/QtDesktopShell.h"
#include "platform/QtMessageBoxService.h"
#include "wizard/DialogFonts.h"

namespace vok {

namespace {

// Exit status of vok-diagnosis on a bad command line or without a display.
constexpr int kGuiExitUsage = 2;

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// A display, or a platform chosen explicitly (offscreen, eglfs, vnc ...).
bool DisplayAvailable(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "-platform") {
            return true;
        }
    }
    return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM");
}

}  // namespace

CDiagnosisApp::CDiagnosisApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("vok-diagnosis"));
    setApplicationVersion(QString::fromUtf8(kProgramVersion.data(), kProgramVersion.size()));
    setDesktopFileName(QStringLiteral("vok-diagnosis"));
    // Log lines say who wrote them and about what (vok.link, vok.upload);
    // QT_MESSAGE_PATTERN still wins.
    qSetMessagePattern(
        QStringLiteral("vok-diagnosis: %{if-category}%{category}: %{endif}%{message}"));
}

int CDiagnosisApp::Main(int argc, char** argv) {
    const Result<DiagnosisOptions> options =
        DiagnosisOptions::Parse(DiagnosisOptions::OwnArguments(argc, argv));
    if (!options) {
        std::cerr << "vok-diagnosis: " << options.error() << " (see 'vok-diagnosis --help')\n";
        return kGuiExitUsage;
    }
    if (options->help) {
        std::cout << DiagnosisOptions::Usage();
        return 0;
    }
    if (options->version) {
        std::cout << "vok-diagnosis " << kProgramVersion << "\n";
        return 0;
    }
    if (!DisplayAvailable(argc, argv)) {
        // Qt would abort with a long plugin message; say what helps instead.
        std::cerr << "vok-diagnosis: no display to show the wizard on (DISPLAY and "
                     "WAYLAND_DISPLAY are not set); 'vok acquire' runs a diagnosis without one\n";
        return kGuiExitUsage;
    }
    CDiagnosisApp app(argc, argv);
    return app.Run(*options);
}

int CDiagnosisApp::Run(const DiagnosisOptions& options) {
    DialogFonts::InstallSubstitutes();
    QtMessageBoxService messages;
    QtDesktopShell shell;
    CDiagnosisDlg dialog(options, messages, shell);
    messages.SetOwner(&dialog);
    shell.SetOwner(&dialog);
    dialog.show();
    exec();
    return 0;
}

}  // namespace vok
