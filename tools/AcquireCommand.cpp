#include "AcquireCommand.h"

#include <iostream>

namespace vok::tools {

namespace {

int Run(const std::vector<std::string>& /*args*/) {
    std::cerr << "vok acquire: not available in this build yet\n";
    return kExitUsage;
}

}  // namespace

const ToolCommand kAcquireCommand{"acquire", "(not available yet)", "vok acquire", Run};

}  // namespace vok::tools
