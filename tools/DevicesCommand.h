#pragma once

#include <ostream>

#include "ToolCommand.h"
#include "link/DeviceSurvey.h"

namespace vok::tools {

extern const ToolCommand kDevicesCommand;

// Prints the survey as `vok devices` does; returns its exit status (0 when
// a device is usable, 1 when none is).
int PrintDevices(const DeviceSurvey& survey, std::ostream& out);

}  // namespace vok::tools
