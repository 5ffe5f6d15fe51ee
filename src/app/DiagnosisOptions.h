#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/Result.h"
#include "platform/CommandLine.h"

namespace vok {

// The command line of vok-diagnosis:
//   [--device PATH | --simulate[=SCENARIO]] [--data-dir DIR] [--server HOST[:PORT]]
struct DiagnosisOptions {
    std::filesystem::path dataDir;        // the data folder (default already filled in)
    std::optional<std::string> device;    // --device PATH
    std::optional<std::string> simulate;  // --simulate[=SCENARIO]; "" for the default scenario
    std::optional<std::string> server;    // --server HOST[:PORT]
    bool help = false;
    bool version = false;
    CommandLine commandLine;  // as parsed, for the link's own options

    static Result<DiagnosisOptions> Parse(const std::vector<std::string>& args);
    static const char* Usage();
};

}  // namespace vok
