#include "ConsoleCommand.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "link/ConsoleScenario.h"
#include "link/FtdiIdentity.h"
#include "link/PtyConsole.h"
#include "platform/CommandLine.h"

namespace vok::tools {

namespace {

constexpr std::string_view kName = "console";
constexpr std::string_view kUsage =
    "Usage: vok console [--scenario NAME] [--baud N] [--link PATH]\n"
    "A simulated VOK generator console on a pseudo-terminal. Prints the terminal's\n"
    "path; point 'vok acquire --device PATH' or the wizard at it. Runs until stopped\n"
    "(Ctrl-C).\n\n"
    "  --scenario NAME  full (default), partial, noisy, stall or silent\n"
    "  --baud N         pace of the console's bytes (default 9600; 0: no pacing)\n"
    "  --link PATH      also make PATH a symbolic link to the terminal";

Result<int> ParseBaud(const CommandLine& line) {
    const std::optional<std::string> text = line.Value("baud");
    if (!text) {
        return kConsoleBaud;
    }
    int baud = 0;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), baud);
    if (ec != std::errc() || end != text->data() + text->size() || baud < 0) {
        return Error{"--baud needs a whole number, 0 or above"};
    }
    return baud;
}

// The symbolic link is ours to replace only when it is one.
Status MakeLink(const std::filesystem::path& link, const std::string& target) {
    std::error_code ec;
    if (std::filesystem::is_symlink(link, ec)) {
        std::filesystem::remove(link, ec);
    } else if (std::filesystem::exists(link, ec)) {
        return Error{link.string() + " exists and is not a symbolic link"};
    }
    std::filesystem::create_symlink(target, link, ec);
    if (ec) {
        return Error{"cannot create " + link.string() + ": " + ec.message()};
    }
    return Done{};
}

int Run(const std::vector<std::string>& args) {
    const Result<CommandLine> parsed = CommandLine::Parse(args, {{"scenario", OptionKind::Value},
                                                                 {"baud", OptionKind::Value},
                                                                 {"link", OptionKind::Value},
                                                                 {"data-dir", OptionKind::Value}});
    if (!parsed) {
        return UsageError(kName, parsed.error());
    }
    const CommandLine& line = *parsed;
    if (!line.Positional().empty()) {
        return UsageError(kName, "unexpected argument '" + line.Positional().front() + "'");
    }
    const std::string scenarioName = line.Value("scenario").value_or(std::string(kScenarioFull));
    const std::optional<ConsoleScenario> scenario = ParseScenario(scenarioName);
    if (!scenario) {
        return UsageError(kName, "unknown scenario '" + scenarioName + "' (one of " +
                                     std::string(ScenarioList()) + ")");
    }
    const Result<int> baud = ParseBaud(line);
    if (!baud) {
        return UsageError(kName, baud.error());
    }

    // Ctrl-C and SIGTERM end the console through its loop, so the link is
    // removed and the terminal closed properly.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    const int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC);

    Result<std::unique_ptr<PtyConsole>> console = PtyConsole::Create(*scenario, *baud);
    if (!console) {
        std::cerr << "vok console: " << console.error() << "\n";
        return kExitUsage;
    }
    const std::string& path = (*console)->SlavePath();
    const std::optional<std::string> link = line.Value("link");
    if (link) {
        if (Status made = MakeLink(*link, path); !made) {
            std::cerr << "vok console: " << made.error() << "\n";
            return kExitUsage;
        }
    }
    std::cout << path << std::endl;
    std::cerr << "vok console: simulated VOK console, scenario " << scenarioName << ", "
              << (*baud == 0 ? std::string("no pacing") : std::to_string(*baud) + " baud")
              << ", on " << path << (link ? " (" + *link + ")" : std::string())
              << "; Ctrl-C stops it\n";
    const Status ran = (*console)->Run(signalFd);
    if (link) {
        std::error_code ec;
        std::filesystem::remove(*link, ec);
    }
    if (signalFd >= 0) {
        ::close(signalFd);
    }
    if (!ran) {
        std::cerr << "vok console: " << ran.error() << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace

const ToolCommand kConsoleCommand{kName, "a simulated generator console on a pseudo-terminal",
                                  kUsage, Run};

}  // namespace vok::tools
