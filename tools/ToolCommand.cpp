#include "ToolCommand.h"

#include <iostream>

namespace vok::tools {

int UsageError(std::string_view command, std::string_view reason) {
    std::cerr << "vok " << command << ": " << reason << " (see 'vok " << command << " --help')\n";
    return kExitUsage;
}

}  // namespace vok::tools
