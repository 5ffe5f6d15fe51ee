#pragma once

// Section and key names of a report file that its writer, its reader and the
// service center's check of an upload share.

#include <string_view>

namespace vok {

inline constexpr std::string_view kDiagnosisSection = "DIAGNOSIS";
inline constexpr std::string_view kConsoleSection = "CONSOLE";
inline constexpr std::string_view kHtSectionFormat = "HT_INFO_%03d";
inline constexpr std::string_view kCmdSectionFormat = "CMD_INFO_%03d";
inline constexpr std::string_view kParamKeyFormat = "PARAM%02d";
inline constexpr int kConsoleInterfaceVersion = 1;

}  // namespace vok
