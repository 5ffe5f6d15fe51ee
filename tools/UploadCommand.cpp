#include "UploadCommand.h"

#include <iostream>

namespace vok::tools {

namespace {

int Run(const std::vector<std::string>& /*args*/) {
    std::cerr << "vok upload: not available in this build yet\n";
    return kExitUsage;
}

}  // namespace

const ToolCommand kUploadCommand{"upload", "(not available yet)", "vok upload", Run};

}  // namespace vok::tools
