#pragma once

#include "ToolCommand.h"

namespace vok::tools {

extern const ToolCommand kConsoleCommand;

}  // namespace vok::tools
