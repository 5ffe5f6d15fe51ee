// How quickly vok-diagnosis shows its first page, and with how much memory.
//
// The first figure is the cold one, measured once: from the start of this
// process (as the kernel recorded it) to the start page painted, with the
// resident memory at that moment. The benchmark then repeats the warm part:
// main dialog built with its six pages, shown, painted, destroyed.
//
//     QT_QPA_PLATFORM=offscreen ./build/bench/GuiStartupBench
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/CDiagnosisDlg.h"
#include "testing/RecordingDesktopShell.h"
#include "testing/ScriptedMessageBoxService.h"
#include "wizard/DialogFonts.h"

namespace {

// Seconds since this process started, from /proc (10 ms resolution).
double SecondsSinceProcessStart() {
    std::ifstream statFile("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), {});
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    unsigned long long startTicks = 0;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
        if (i == 22) {
            startTicks = std::stoull(field);
        }
    }
    double uptime = 0;
    std::ifstream("/proc/uptime") >> uptime;
    return uptime - static_cast<double>(startTicks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::string StatusLine(const std::string& key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(key, 0) == 0) {
            return line;
        }
    }
    return key + " ?";
}

// Builds the main dialog, shows it and paints the start page.
std::unique_ptr<vok::CDiagnosisDlg> ShowFirstPage(vok::MessageBoxService& messages,
                                                  vok::DesktopShell& shell) {
    vok::DiagnosisOptions options;
    options.dataDir = VOK_EXAMPLES_DIR;
    auto dialog = std::make_unique<vok::CDiagnosisDlg>(options, messages, shell);
    dialog->show();
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(dialog->grab());
    return dialog;
}

void BM_MainDialogToFirstPage(benchmark::State& state) {
    vok::ScriptedMessageBoxService messages;
    vok::RecordingDesktopShell shell;
    for (auto _ : state) {
        ShowFirstPage(messages, shell);
    }
}
BENCHMARK(BM_MainDialogToFirstPage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vok::DialogFonts::InstallSubstitutes();
    {
        vok::ScriptedMessageBoxService messages;
        vok::RecordingDesktopShell shell;
        const auto dialog = ShowFirstPage(messages, shell);
        std::cout << "Cold start to the first page: " << SecondsSinceProcessStart() * 1000.0
                  << " ms (platform " << QGuiApplication::platformName().toStdString() << ")\n"
                  << StatusLine("VmRSS") << "\n"
                  << StatusLine("VmHWM") << "\n";
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
