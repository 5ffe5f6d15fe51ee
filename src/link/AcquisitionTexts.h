#pragma once

// Status lines of an acquisition, byte for byte as the wizard and
// the vok tool show them.

#include <string_view>

namespace vok {

inline constexpr std::string_view kStatusChecking = "1.Checking ... VOK USB Connection.";
inline constexpr std::string_view kStatusSystemRequest = "2.Loading ... System Request Infomation.";
inline constexpr std::string_view kStatusSystemLog = "3.Loading ... System Log Infomation.";
inline constexpr std::string_view kStatusEnd = "4.Loading ... End.";

}  // namespace vok
