#pragma once

#include "ToolCommand.h"

namespace vok::tools {

extern const ToolCommand kReportCommand;

}  // namespace vok::tools
