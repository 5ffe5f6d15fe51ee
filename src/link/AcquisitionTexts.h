#pragma once

// Status lines and messages of an acquisition, byte for byte as the wizard and
// the vok tool show them.

#include <string_view>

namespace vok {

inline constexpr std::string_view kStatusChecking = "1.Checking ... VOK USB Connection.";
inline constexpr std::string_view kStatusSystemRequest = "2.Loading ... System Request Infomation.";
inline constexpr std::string_view kStatusSystemLog = "3.Loading ... System Log Infomation.";
inline constexpr std::string_view kStatusEnd = "4.Loading ... End.";
inline constexpr std::string_view kMsgCannotEnable = "ERROR : CANNOT ENABLE USB CONNECTION !!!";
inline constexpr std::string_view kMsgGoNextQuestion =
    "NOTICE : VOK Diagnosis Infomation received ... OK. Go next procedure ?";

}  // namespace vok
