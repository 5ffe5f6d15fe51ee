#pragma once

#include "ToolCommand.h"

namespace vok::tools {

extern const ToolCommand kUploadCommand;

}  // namespace vok::tools
