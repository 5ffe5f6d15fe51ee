#include "ReportCommand.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "platform/CommandLine.h"
#include "platform/DataFolder.h"
#include "report/HtmlReportFile.h"

extern char** environ;

namespace vok::tools {

namespace {

constexpr std::string_view kName = "report";
constexpr const char* kBrowserOpener = "xdg-open";

// Opens the page with the desktop's browser, as the wizard does. The
// opener's own chatter goes to stderr so stdout stays a list of paths.
Status OpenInBrowser(const std::string& htmlPath) {
    std::error_code ec;
    const std::string absolute = std::filesystem::absolute(htmlPath, ec).string();
    const std::string& target = ec ? htmlPath : absolute;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
    std::string program(kBrowserOpener);
    std::string argument(target);
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, kBrowserOpener, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return Error{std::string("Cannot start ") + kBrowserOpener + ": " + std::strerror(spawned)};
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return Error{std::string("Lost track of ") + kBrowserOpener + ": " +
                         std::strerror(errno)};
        }
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return Error{std::string(kBrowserOpener) + " could not open " + target};
    }
    return Done{};
}

int Run(const std::vector<std::string>& args) {
    const Result<CommandLine> line = CommandLine::Parse(args, {{"data-dir", OptionKind::Value},
                                                               {"output", OptionKind::Value},
                                                               {"open", OptionKind::Flag}});
    if (!line) {
        return UsageError(kName, line.error());
    }
    const std::vector<std::string>& reports = line->Positional();
    if (reports.empty()) {
        return UsageError(kName, "no report file given");
    }
    const std::optional<std::string> output = line->Value("output");
    if (output && reports.size() != 1) {
        return UsageError(kName, "--output takes one report file only");
    }
    if (output && output->empty()) {
        return UsageError(kName, "--output needs a file name");
    }
    const std::optional<std::string> dataDir = line->Value("data-dir");
    const DataFolder folder = dataDir ? DataFolder(*dataDir) : DataFolder::Default();
    // A mistyped --data-dir would otherwise give pages without a single
    // definition text (with --output) or be refused only file by file.
    if (Status root = folder.CheckRoot(); dataDir && !root) {
        std::cerr << "ERROR : " << root.error() << "\n";
        return kExitUsage;
    }

    int exitCode = kExitOk;
    for (const std::string& report : reports) {
        const Result<std::string> html =
            output ? HtmlReportFile::RenderReportFile(report, *output, folder.DefineFile().string())
                   : HtmlReportFile::RenderReportFile(report, folder);
        if (!html) {
            std::cerr << "ERROR : " << html.error() << "\n";
            exitCode = kExitUsage;
            continue;
        }
        std::cout << *html << "\n";
        if (line->Has("open")) {
            // The page is written; a browser that does not start is only told.
            if (const Status opened = OpenInBrowser(*html); !opened) {
                std::cerr << "ERROR : " << opened.error() << "\n";
            }
        }
    }
    return exitCode;
}

}  // namespace

const ToolCommand kReportCommand{
    "report", "renders report files to HTML reports",
    "Usage: vok report FILE.VOK... [--data-dir DIR] [--output FILE.html] [--open]\n"
    "Renders each report file to its HTML report and prints the HTML path.\n\n"
    "  --data-dir DIR      the data folder (default $HOME/VOK/DIAGNOSIS): texts come\n"
    "                      from its CFG/VOK.DEFINE, pages go into its REPORT/ folder,\n"
    "                      named like the report file with \".html\" for \".VOK\"\n"
    "  --output FILE.html  write the page here instead (one report file only)\n"
    "  --open              open each page in the web browser (xdg-open)\n\n"
    "Exit status: 0 when every page was written, 2 when a report file could not\n"
    "be read or a page not written (the others are still rendered).",
    Run};

}  // namespace vok::tools
