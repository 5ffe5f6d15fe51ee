#pragma once

// The questions and notices of the wizard's pages and main dialog, byte for
// byte.

#include <string_view>

namespace vok {

inline constexpr std::string_view kMsgExitNotCompleted =
    "NOTICE : Remote Diagnosis is not completed. Are you Exit ?";
inline constexpr std::string_view kMsgSkipNotCompleted =
    "NOTICE : Remote Diagnosis is not completed. Are you Skip ?";
inline constexpr std::string_view kMsgExitSoftware = "NOTICE : Are you exit Diagnosis Software ?";
inline constexpr std::string_view kMsgSureInformation =
    "NOTICE : Are you sure current infomation ?";
inline constexpr std::string_view kMsgGoPreview = "NOTICE : Go preview procedure ?";
inline constexpr std::string_view kMsgStartQuestion = "NOTICE : Start Remote Diagnosis Procedure ?";
// Completion page and the start page's Load.
inline constexpr std::string_view kMsgSendQuestion =
    "NOTICE : Diagnosis Report will be send to VOK Service Center. Are you Continue ?";
inline constexpr std::string_view kMsgOperationCancel = "NOTICE : Operation Cancel.";
inline constexpr std::string_view kMsgLoadSendQuestion =
    "NOTICE : Are you send  this Report to VOK Service Center ?";
// Send and Report after the report file could not be written.
inline constexpr std::string_view kMsgNoReportFile =
    "ERROR : No report file was written, so there is nothing to send or show.";

// Asked when the whole log has arrived.
inline constexpr std::string_view kMsgGoNextQuestion =
    "NOTICE : VOK Diagnosis Infomation received ... OK. Go next procedure ?";

}  // namespace vok
