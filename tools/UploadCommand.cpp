#include "UploadCommand.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include "core/UserMessages.h"
#include "platform/CommandLine.h"
#include "upload/ServiceCenterUpload.h"
#include "upload/UploadServer.h"

namespace vok::tools {

namespace {

constexpr std::string_view kName = "upload";

// The service center sees the path as the file's name, and the wizard always
// sends full paths; a relative path typed here is made full the same way.
std::string FullPath(const std::string& given) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(given, ec);
    return ec ? given : full.string();
}

int Run(const std::vector<std::string>& args) {
    const Result<CommandLine> line =
        CommandLine::Parse(args, {{"server", OptionKind::Value}, {"data-dir", OptionKind::Value}});
    if (!line) {
        return UsageError(kName, line.error());
    }
    if (line->Positional().empty()) {
        return UsageError(kName, "no report file given");
    }
    if (line->Positional().size() > 1) {
        return UsageError(kName, "one report file at a time");
    }
    ServiceCenterUpload upload;
    if (const auto server = line->Value("server")) {
        const Result<UploadServer> parsed = UploadServer::Parse(*server);
        if (!parsed) {
            return UsageError(kName, "--server " + *server + ": " + parsed.error());
        }
        upload.SetServer(*parsed);
    }

    const Result<bool> sent = upload.UploadReport(FullPath(line->Positional().front()));
    if (!sent) {
        std::cerr << kErrorMessagePrefix << sent.error() << "\n";
        return kExitUsage;
    }
    if (!*sent) {
        std::cerr << kUploadFailedMessage << "\n";
        return kExitFailure;
    }
    std::cerr << kUploadSuccessMessage << "\n";
    return kExitOk;
}

}  // namespace

const ToolCommand kUploadCommand{
    kName, "sends a report file to the service center",
    "Usage: vok upload FILE.VOK [--server HOST[:PORT]] [--data-dir DIR]\n"
    "Sends a report file to the service center as the wizard's Send does; the\n"
    "file's full path goes with it as its name.\n\n"
    "  --server HOST[:PORT]  another web server (port 80 unless given; [ADDRESS]\n"
    "                        for IPv6)\n\n"
    "Exit status: 0 the server answered \"200\"; 1 it answered anything else;\n"
    "2 the file could not be read, the server not reached, or a bad option.",
    Run};

}  // namespace vok::tools
