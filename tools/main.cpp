// vok: the command-line side of VOK Remote Diagnosis. Every job the wizard
// does can be run headless through one of its subcommands.
#include <array>
#include <iostream>
#include <string>
#include <vector>

#include "AcquireCommand.h"
#include "ConsoleCommand.h"
#include "DevicesCommand.h"
#include "ReportCommand.h"
#include "ToolCommand.h"
#include "UploadCommand.h"
#include "core/Version.h"

namespace {

using vok::tools::ToolCommand;

const std::array<const ToolCommand*, 5> kCommands = {
    &vok::tools::kAcquireCommand, &vok::tools::kDevicesCommand, &vok::tools::kReportCommand,
    &vok::tools::kUploadCommand,  &vok::tools::kConsoleCommand,
};

void PrintHelp(std::ostream& out) {
    out << "Usage: vok COMMAND [OPTIONS]\n"
           "VOK Remote Diagnosis "
        << vok::kProgramVersion
        << " on the command line.\n\n"
           "Commands:\n";
    for (const ToolCommand* command : kCommands) {
        out << "  " << command->name << std::string(10 - command->name.size(), ' ')
            << command->summary << "\n";
    }
    out << "\nEvery command takes --data-dir DIR (default $HOME/VOK/DIAGNOSIS) and --help.\n"
           "  vok --version   prints the program version\n";
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        PrintHelp(std::cerr);
        return vok::tools::kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp(std::cout);
        return vok::tools::kExitOk;
    }
    if (args[0] == "--version") {
        std::cout << "vok " << vok::kProgramVersion << "\n";
        return vok::tools::kExitOk;
    }
    for (const ToolCommand* command : kCommands) {
        if (args[0] == command->name) {
            std::vector<std::string> rest(args.begin() + 1, args.end());
            for (const std::string& arg : rest) {
                if (arg == "--help" || arg == "-h") {
                    std::cout << command->usage << "\n";
                    return vok::tools::kExitOk;
                }
            }
            return command->run(rest);
        }
    }
    std::cerr << "vok: unknown command '" << args[0] << "' (see 'vok --help')\n";
    return vok::tools::kExitUsage;
}
