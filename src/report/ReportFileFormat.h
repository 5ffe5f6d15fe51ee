#pragma once

// Section and key names of a report file that its writer and its reader share.

#include <string_view>

namespace vok {

inline constexpr std::string_view kHtSectionFormat = "HT_INFO_%03d";
inline constexpr std::string_view kCmdSectionFormat = "CMD_INFO_%03d";
inline constexpr std::string_view kParamKeyFormat = "PARAM%02d";
inline constexpr int kConsoleInterfaceVersion = 1;

}  // namespace vok
