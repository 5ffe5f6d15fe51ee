#include "UploadCommand.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include "core/UserMessages.h"
#include "platform/CommandLine.h"
#include "platform/DataFolder.h"
#include "upload/CenterSettings.h"
#include "upload/ServiceCenterUpload.h"
#include "upload/UploadOutbox.h"

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

// One line per report on stdout: what became of it, its path, and why.
void Tell(const UploadOutbox::Sent& sent) {
    using Fate = UploadOutbox::Sent::Fate;
    const Fate fate = sent.fate;
    const char* word = fate == Fate::Accepted  ? "sent"
                       : fate == Fate::Refused ? "refused"
                       : fate == Fate::Dropped ? "dropped"
                                               : "kept";
    const std::string& what =
        sent.entry.reportPath.empty() ? sent.entry.name : sent.entry.reportPath;
    std::string line = std::string(word) + ": " + what;
    if (fate == Fate::Refused) {
        line += ": " + std::string(kUploadFailedMessage);
    }
    if (!sent.reason.empty()) {
        line += ": " + sent.reason;
    }
    std::cout << line << std::endl;
}

int SendPending(const UploadOutbox& outbox, const ServiceCenterUpload& client) {
    const Result<bool> empty = outbox.SendAll(client, Tell);
    if (!empty) {
        std::cerr << kErrorMessagePrefix << empty.error() << "\n";
        return kExitFailure;
    }
    return *empty ? kExitOk : kExitFailure;
}

int Run(const std::vector<std::string>& args) {
    const Result<CommandLine> line = CommandLine::Parse(args, {{"server", OptionKind::Value},
                                                               {"ca-file", OptionKind::Value},
                                                               {"data-dir", OptionKind::Value},
                                                               {"pending", OptionKind::Flag}});
    if (!line) {
        return UsageError(kName, line.error());
    }
    const bool pending = line->Has("pending");
    if (pending && !line->Positional().empty()) {
        return UsageError(kName, "--pending sends the outbox; no report file with it");
    }
    if (!pending && line->Positional().empty()) {
        return UsageError(kName, "no report file given");
    }
    if (line->Positional().size() > 1) {
        return UsageError(kName, "one report file at a time");
    }
    const DataFolder folder =
        line->Has("data-dir") ? DataFolder(*line->Value("data-dir")) : DataFolder::Default();
    const Result<CenterSettings> center =
        CenterSettings::Resolve(line->Value("server"), line->Value("ca-file"), folder.ConfigFile());
    if (!center) {
        return UsageError(kName, center.error());
    }
    const UploadOutbox outbox(folder.ReportFolder());
    if (pending) {
        return SendPending(outbox, center->Client());
    }

    const std::string path = FullPath(line->Positional().front());
    const UploadResult result = center->Client().Send(path);
    const Result<bool> sent = result.ToResult();
    if (!sent) {
        std::cerr << kErrorMessagePrefix << sent.error() << "\n";
    } else {
        std::cerr << (*sent ? kUploadSuccessMessage : kUploadFailedMessage) << "\n";
    }
    // After the message, as in the wizard; only a report that cannot be
    // kept for later adds a line.
    if (const Status settled = outbox.Settle(path, result); !settled) {
        std::cerr << kErrorMessagePrefix << settled.error() << "\n";
    }
    if (!sent) {
        return kExitUsage;
    }
    return *sent ? kExitOk : kExitFailure;
}

}  // namespace

const ToolCommand kUploadCommand{
    kName, "sends a report file to the service center",
    "Usage: vok upload FILE.VOK [--server SERVER] [--ca-file FILE] [--data-dir DIR]\n"
    "       vok upload --pending [--server SERVER] [--ca-file FILE] [--data-dir DIR]\n"
    "Sends a report file to the service center as the wizard's Send does; the\n"
    "file's full path goes with it as its name. A report the center could not\n"
    "take now (not reached, TLS refused, HTTP 5xx) waits in REPORT/OUTBOX of the\n"
    "data folder; --pending sends every report waiting there, oldest first, with\n"
    "one line each on stdout (sent, refused, kept or dropped).\n\n"
    "  --server SERVER  another web server: HOST[:PORT] or http://HOST[:PORT]\n"
    "                   (plain HTTP, port 80 unless given), https://HOST[:PORT]\n"
    "                   (port 443 unless given); [ADDRESS] for IPv6. Default:\n"
    "                   URL= of [CENTER] in CONFIG.ini, else the service center\n"
    "  --ca-file FILE   over HTTPS, the CA certificates (PEM) that vouch for the\n"
    "                   server instead of the system's; default: CAFILE= of\n"
    "                   [CENTER] in CONFIG.ini\n"
    "  --data-dir DIR   the data folder (default $HOME/VOK/DIAGNOSIS)\n\n"
    "Exit status: 0 the server answered \"200\"; 1 it answered anything else;\n"
    "2 the file could not be read, the server not reached, or a bad option.\n"
    "With --pending: 0 when the outbox ends empty, 1 otherwise (also when\n"
    "another --pending is sending it), 2 on a bad option.",
    Run};

}  // namespace vok::tools
