#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/Result.h"
#include "link/LinkOptions.h"

namespace vok {

// The command line of vok-diagnosis:
//   [--device PATH | --simulate[=SCENARIO]] [--data-dir DIR] [--server SERVER]
//   [--ca-file FILE]
struct DiagnosisOptions {
    std::filesystem::path dataDir;      // the data folder (default already filled in)
    LinkOptions link;                   // --device PATH | --simulate[=SCENARIO]
    std::optional<std::string> server;  // --server SERVER
    std::optional<std::string> caFile;  // --ca-file FILE
    bool help = false;
    bool version = false;
    // Not on the command line: the pause between the version request and the
    // request for the records; the acquisition's own when unset. Tests on the
    // built-in console shorten it.
    std::optional<std::chrono::milliseconds> startDelay;

    static Result<DiagnosisOptions> Parse(const std::vector<std::string>& args);

    // The program's own arguments out of main's argv, without Qt's options
    // (-platform offscreen, -style fusion ...), so they can be read before
    // the GUI starts: --help works without a display.
    static std::vector<std::string> OwnArguments(int argc, char** argv);
    static const char* Usage();
};

}  // namespace vok
