#include "ConsoleCommand.h"

#include <iostream>

namespace vok::tools {

namespace {

int Run(const std::vector<std::string>& /*args*/) {
    std::cerr << "vok console: not available in this build yet\n";
    return kExitUsage;
}

}  // namespace

const ToolCommand kConsoleCommand{"console", "(not available yet)", "vok console", Run};

}  // namespace vok::tools
