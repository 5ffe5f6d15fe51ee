#pragma once

#include "ToolCommand.h"

namespace vok::tools {

extern const ToolCommand kAcquireCommand;

}  // namespace vok::tools
