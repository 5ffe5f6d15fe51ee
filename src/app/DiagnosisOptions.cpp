#include "app/DiagnosisOptions.h"

#include "link/LinkFactory.h"
#include "platform/CommandLine.h"
#include "platform/DataFolder.h"

namespace vok {

Result<DiagnosisOptions> DiagnosisOptions::Parse(const std::vector<std::string>& args) {
    const Result<CommandLine> line =
        CommandLine::Parse(args, {
                                     {"data-dir", OptionKind::Value},
                                     {"device", OptionKind::Value},
                                     {"simulate", OptionKind::OptionalValue},
                                     {"server", OptionKind::Value},
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
    return options;
}

const char* DiagnosisOptions::Usage() {
    return "Usage: vok-diagnosis [--device PATH | --simulate[=SCENARIO]] [--data-dir DIR]\n"
           "                     [--server HOST[:PORT]]\n"
           "The VOK Remote Diagnosis wizard.\n\n"
           "  --device PATH         a serial device or pseudo-terminal instead of the first\n"
           "                        FTDI device\n"
           "  --simulate[=SCENARIO] the built-in simulated console (full, partial, noisy,\n"
           "                        stall, silent; default full)\n"
           "  --data-dir DIR        the data folder (default $HOME/VOK/DIAGNOSIS)\n"
           "  --server HOST[:PORT]  the service center's web server\n"
           "  --version             prints the program version\n";
}

}  // namespace vok
