#include "ReportCommand.h"

#include <iostream>

namespace vok::tools {

namespace {

int Run(const std::vector<std::string>& /*args*/) {
    std::cerr << "vok report: not available in this build yet\n";
    return kExitUsage;
}

}  // namespace

const ToolCommand kReportCommand{"report", "(not available yet)", "vok report", Run};

}  // namespace vok::tools
