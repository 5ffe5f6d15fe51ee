#include "app/DiagnosisOptions.h"

#include <set>

#include "link/LinkFactory.h"
#include "platform/CommandLine.h"
#include "platform/DataFolder.h"
#include "upload/CenterSettings.h"

namespace vok {

Result<DiagnosisOptions> DiagnosisOptions::Parse(const std::vector<std::string>& args) {
    const Result<CommandLine> line =
        CommandLine::Parse(args, {
                                     {"data-dir", OptionKind::Value},
                                     {"device", OptionKind::Value},
                                     {"simulate", OptionKind::OptionalValue},
                                     {"server", OptionKind::Value},
                                     {"ca-file", OptionKind::Value},
                                     {"help", OptionKind::Flag},
                                     {"version", OptionKind::Flag},
                                 });
    if (!line) {
        return Error{line.error()};
    }
    if (!line->Positional().empty()) {
        return Error{"unexpected argument '" + line->Positional().front() + "'"};
    }
    Result<LinkOptions> link = LinkFactory::FromCommandLine(*line);
    if (!link) {
        return Error{link.error()};
    }
    DiagnosisOptions options;
    options.help = line->Has("help");
    options.version = line->Has("version");
    const std::optional<std::string> dataDir = line->Value("data-dir");
    if (dataDir && dataDir->empty()) {
        return Error{"option --data-dir needs a folder"};
    }
    options.dataDir = dataDir ? std::filesystem::path(*dataDir) : DataFolder::Default().Root();
    options.link = std::move(link).value();
    options.server = line->Value("server");
    options.caFile = line->Value("ca-file");
    if (options.server || options.caFile) {
        // Said before the window opens, not after a diagnosis at Send.
        const Result<CenterSettings> center = CenterSettings::Resolve(
            options.server, options.caFile, DataFolder(options.dataDir).ConfigFile());
        if (!center) {
            return Error{"option " + center.error()};
        }
    }
    return options;
}

std::vector<std::string> DiagnosisOptions::OwnArguments(int argc, char** argv) {
    // Qt's own options that take a value in the next argument.
    static const std::set<std::string, std::less<>> kQtValueOptions = {
        "-platform",        "-platformpluginpath",
        "-platformtheme",   "-plugin",
        "-qwindowgeometry", "-qwindowicon",
        "-qwindowtitle",    "-display",
        "-geometry",        "-style",
        "-stylesheet",      "-session",
        "-title",           "-name",
        "-visual",
    };
    std::vector<std::string> own;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.size() > 1 && arg[0] == '-' && arg[1] != '-') {
            if (kQtValueOptions.contains(arg) && i + 1 < argc) {
                ++i;
            }
            continue;
        }
        own.push_back(arg);
    }
    return own;
}

const char* DiagnosisOptions::Usage() {
    return "Usage: vok-diagnosis [--device PATH | --simulate[=SCENARIO]] [--data-dir DIR]\n"
           "                     [--server SERVER] [--ca-file FILE]\n"
           "The VOK Remote Diagnosis wizard.\n\n"
           "  --device PATH         a serial device or pseudo-terminal instead of the first\n"
           "                        FTDI device\n"
           "  --simulate[=SCENARIO] the built-in simulated console (full, partial, noisy,\n"
           "                        stall, silent; default full)\n"
           "  --data-dir DIR        the data folder (default $HOME/VOK/DIAGNOSIS)\n"
           "  --server SERVER       the service center's web server: HOST[:PORT] or\n"
           "                        http://HOST[:PORT] (plain HTTP), https://HOST[:PORT];\n"
           "                        default: URL= of [CENTER] in CONFIG.ini\n"
           "  --ca-file FILE        over HTTPS, the CA certificates that vouch for the\n"
           "                        server; default: CAFILE= of [CENTER], else the system's\n"
           "  --version             prints the program version\n";
}

}  // namespace vok
