#pragma once

// Every fixed number and text of the program lives here, grouped by the part of
// the program that owns it. Texts are the system's own words, byte for byte.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vok {

// ---------------------------------------------------------------------------
// Program
// ---------------------------------------------------------------------------
inline constexpr std::string_view kProgramVersion = "1.03.02";

// ---------------------------------------------------------------------------
// Data folder and its files
// ---------------------------------------------------------------------------
inline constexpr std::string_view kDataFolderUnderHome = "VOK/DIAGNOSIS";
inline constexpr std::string_view kConfigFileName = "CONFIG.ini";
inline constexpr std::string_view kDefineFileName = "CFG/VOK.DEFINE";
inline constexpr std::string_view kReportFolderName = "REPORT";
inline constexpr std::string_view kErrorSoundFileName = "ERROR.dll";

// ---------------------------------------------------------------------------
// Profile reader
// ---------------------------------------------------------------------------
// Buffer sizes the readers pass; a value keeps at most size - 1 characters.
inline constexpr std::size_t kLongValueSize = 255;
inline constexpr std::size_t kShortValueSize = 80;

// ---------------------------------------------------------------------------
// Record tables
// ---------------------------------------------------------------------------
inline constexpr std::size_t kParamCount = 10;
inline constexpr std::size_t kHtRecordCount = 213;   // indexes 0 to 212
inline constexpr std::size_t kCmdRecordCount = 226;  // indexes 0 to 225
inline constexpr std::uint8_t kNoValue = 255;
inline constexpr std::size_t kConsoleVersionSize = 10;
inline constexpr std::size_t kConsoleVersionFrameBytes = 8;
inline constexpr std::size_t kConsoleVersionWrittenBytes = 7;
inline constexpr std::size_t kSerialRecordIndex = 3;
inline constexpr std::string_view kNoSerial = "NONE";

// ---------------------------------------------------------------------------
// Site configuration
// ---------------------------------------------------------------------------
inline constexpr std::size_t kSiteFieldCount = 19;
inline constexpr std::string_view kServiceSection = "SERVICE";
inline constexpr std::string_view kUserSection = "USER";

// ---------------------------------------------------------------------------
// Report file
// ---------------------------------------------------------------------------
inline constexpr std::string_view kReportNameFormat = "REPORT_%s_%04d%02d%02d_%02d%02d%02d.VOK";
inline constexpr std::string_view kReportExtension = ".VOK";
inline constexpr std::string_view kDiagnosisSection = "DIAGNOSIS";
inline constexpr std::string_view kConsoleSection = "CONSOLE";
inline constexpr std::string_view kHtSectionFormat = "HT_INFO_%03d";
inline constexpr std::string_view kCmdSectionFormat = "CMD_INFO_%03d";
inline constexpr std::string_view kParamKeyFormat = "PARAM%02d";
inline constexpr std::string_view kInterfaceDefault = "0";
inline constexpr std::string_view kParamDefault = "255";
inline constexpr int kConsoleInterfaceVersion = 1;
inline constexpr std::string_view kNbsp = "&nbsp;";
inline constexpr int kTmYearBase = 1900;
// Lines of a report file whose values hold no line break.
inline constexpr std::size_t kReportHeadLines = 36;
inline constexpr std::size_t kReportBlockLines = 12;

// ---------------------------------------------------------------------------
// Device link and frame protocol
// ---------------------------------------------------------------------------


// ---------------------------------------------------------------------------
// Acquisition
// ---------------------------------------------------------------------------


// ---------------------------------------------------------------------------
// HTML report and decoders
// ---------------------------------------------------------------------------


// ---------------------------------------------------------------------------
// Service-center upload
// ---------------------------------------------------------------------------


// ---------------------------------------------------------------------------
// Messages shown to the user
// ---------------------------------------------------------------------------


// ---------------------------------------------------------------------------
// GUI
// ---------------------------------------------------------------------------


}  // namespace vok
