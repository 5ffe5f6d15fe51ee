#pragma once

// Messages that both the wizard and the vok tool show, byte for byte.

#include <string_view>

namespace vok {

inline constexpr std::string_view kErrorMessagePrefix = "ERROR : ";
inline constexpr std::string_view kUploadSuccessMessage =
    "NOTICE : Diagnosis Report Sending Success. Thank you !!";
inline constexpr std::string_view kUploadFailedMessage = "ERROR : Can not connect to server !!";
inline constexpr std::string_view kMsgCheckCable =
    "ERROR : Please, Check VOK USB Connection Cable.";
inline constexpr std::string_view kMsgCannotEnable = "ERROR : CANNOT ENABLE USB CONNECTION !!!";

}  // namespace vok
