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
// libftdi: the FTDI vendor and the products the default link looks for.
inline constexpr int kFtdiVendorId = 0x0403;
inline constexpr int kFtdiProductIds[] = {0x6001, 0x6010, 0x6011, 0x6014, 0x6015};
// Where the kernel offers FTDI serial devices when libftdi cannot open one.
inline constexpr std::string_view kFtdiSerialByIdFolder = "/dev/serial/by-id";
inline constexpr std::string_view kFtdiSerialByIdPrefix = "usb-FTDI_";
// The console's serial settings (the FTDI power-on defaults): 9600 baud 8N1.
inline constexpr int kConsoleBaud = 9600;
inline constexpr int kBitsPerSerialByte = 10;  // start, 8 data, stop
// Longest single wait of the link: every wait rechecks stop and device state
// at least this often.
inline constexpr std::chrono::milliseconds kLinkWaitSlice{50};
// How long a 6-byte packet may take to leave before the write counts as failed.
inline constexpr std::chrono::milliseconds kLinkWriteTimeout{2000};
inline constexpr std::size_t kLinkReadChunk = 512;

inline constexpr std::size_t kCommandPacketSize = 6;
inline constexpr std::uint8_t kFrameHeader1 = 0x16;
inline constexpr std::uint8_t kFrameHeader2 = 0x02;
inline constexpr std::uint8_t kToolThirdByte = 0x21;
inline constexpr std::uint8_t kCommandLengthByte = 0x02;
inline constexpr std::uint8_t kCmdEnable = 0x64;
inline constexpr std::uint8_t kCmdConsoleVersion = 0x72;
inline constexpr std::uint8_t kCmdSystemRequest = 0x26;
inline constexpr std::uint8_t kCmdSystemLog = 0x1F;
inline constexpr std::uint8_t kCmdEcho = 0x65;

// The receive window and where a complete frame leaves its parts in it.
inline constexpr std::size_t kRxWindowSize = 32;
inline constexpr std::size_t kWindowHeader1Pos = 27;
inline constexpr std::size_t kWindowHeader2Pos = 28;
inline constexpr std::size_t kWindowLengthPos = 30;
inline constexpr std::size_t kWindowCommandPos = 31;
inline constexpr std::size_t kWindowRecordIndexPos = 20;
inline constexpr std::size_t kWindowRecordParamPos = 21;
inline constexpr std::size_t kWindowVersionPos = 24;
inline constexpr std::uint8_t kRecordFrameLength = 13;  // L of a 17-byte record frame
inline constexpr std::uint8_t kVersionFrameLength = 9;  // L of a 13-byte version frame

// Simulated console: scenario names, the pace of the in-process link, and
// the third byte of its frames.
inline constexpr std::string_view kScenarioFull = "full";
inline constexpr std::string_view kScenarioPartial = "partial";
inline constexpr std::string_view kScenarioNoisy = "noisy";
inline constexpr std::string_view kScenarioStall = "stall";
inline constexpr std::string_view kScenarioSilent = "silent";
inline constexpr int kSimulatedLinkBaud = 57600;
inline constexpr std::uint8_t kConsoleThirdByte = 0x12;
inline constexpr std::size_t kConsoleEchoEvery = 60;  // frames between echo frames
// vok console writes what is due at most this often, as a USB bridge would.
inline constexpr std::chrono::milliseconds kConsoleWriteSlice{1};

// ---------------------------------------------------------------------------
// Acquisition
// ---------------------------------------------------------------------------
inline constexpr std::chrono::milliseconds kVersionToStartDelay{500};
inline constexpr std::size_t kLastHtIndex = kHtRecordCount - 1;    // 212
inline constexpr std::size_t kLastCmdIndex = kCmdRecordCount - 1;  // 225; above: end marker
inline constexpr std::string_view kStatusChecking = "1.Checking ... VOK USB Connection.";
inline constexpr std::string_view kStatusSystemRequest = "2.Loading ... System Request Infomation.";
inline constexpr std::string_view kStatusSystemLog = "3.Loading ... System Log Infomation.";
inline constexpr std::string_view kStatusEnd = "4.Loading ... End.";
inline constexpr std::chrono::seconds kAcquireDefaultTimeout{120};
inline constexpr int kProgressBarWidth = 30;  // characters of each bar of vok acquire

// ---------------------------------------------------------------------------
// HTML report and decoders
// ---------------------------------------------------------------------------


// ---------------------------------------------------------------------------
// Service-center upload
// ---------------------------------------------------------------------------
// The service center's web server; --server HOST[:PORT] replaces it.
inline constexpr std::string_view kUploadServerHost = "service.vok-medical.example";
inline constexpr std::uint16_t kUploadServerPort = 80;
inline constexpr std::string_view kUploadObjectName = "./VOK/index.php";
inline constexpr std::string_view kUploadUrlScheme = "http";
// The request's own header lines, in this order.
inline constexpr std::string_view kUploadAcceptHeader = "Accept: text/*";
inline constexpr std::string_view kUploadContentTypeHeader =
    "Content-Type: multipart/form-data; boundary=---------------------------7d13a23b368";
inline constexpr std::string_view kUploadUserAgentHeader = "User-Agent: RIVur";
// Keeps the HTTP client from announcing the body and waiting for a go-ahead.
inline constexpr std::string_view kUploadNoExpectHeader = "Expect:";
// The body: prefix head, the path as passed, prefix tail, the file, suffix.
inline constexpr std::string_view kUploadBodyPrefixHead =
    "\r\n-----------------------------7d13a23b368\r\n"
    "Content-Disposition: form-data; name=\"userfile\"; filename=\"";
inline constexpr std::string_view kUploadBodyPrefixTail =
    "\"\r\nContent-Type: application/octet-stream\r\n\r\n";
inline constexpr std::string_view kUploadBodySuffix =
    "\r\n\r\n-----------------------------7d13a23b368--\r\n";
static_assert(kUploadBodyPrefixHead.size() + kUploadBodyPrefixTail.size() == 148);
static_assert(kUploadBodySuffix.size() == 48);
inline constexpr std::string_view kUploadSuccessReply = "200";
// Only this much of the reply's first line (spaces removed) is kept; a longer
// line cannot be the success reply anyway.
inline constexpr std::size_t kUploadReplyLineKeep = 64;
inline constexpr std::chrono::milliseconds kUploadConnectTimeout = std::chrono::seconds(15);
inline constexpr std::chrono::milliseconds kUploadRequestTimeout = std::chrono::seconds(120);
// Report files are tens of kilobytes; anything this big was picked by mistake
// and would only be held in memory whole.
inline constexpr std::size_t kUploadMaxFileBytes = std::size_t{64} << 20;
inline constexpr std::size_t kUploadReadChunkBytes = std::size_t{64} << 10;
// Error texts of the upload; the caller shows them after "ERROR : ".
inline constexpr std::string_view kUploadFileReadError = "Cannot read the report file ";
inline constexpr std::string_view kUploadFileTooLargeError =
    "it holds more than 64 MiB, too much for a report file";
inline constexpr std::string_view kUploadNotRegularFileError = "not a regular file";
inline constexpr std::string_view kUploadPathUnsendableError =
    "Cannot send a report file whose path holds a line break or a zero byte";
inline constexpr std::string_view kUploadClientStartError = "Cannot start the HTTP client: ";
// --server HOST[:PORT]
inline constexpr std::string_view kUploadServerMissingHost = "no host name given";
inline constexpr std::string_view kUploadServerBadHost = "not a host name or address: ";
inline constexpr std::string_view kUploadServerBadPort = "not a port number (1 to 65535): ";
inline constexpr std::string_view kUploadServerBareIpv6 =
    "write an IPv6 address in brackets, e.g. [::1]:8080";

// ---------------------------------------------------------------------------
// Messages shown to the user
// ---------------------------------------------------------------------------
inline constexpr std::string_view kErrorMessagePrefix = "ERROR : ";
inline constexpr std::string_view kUploadSuccessMessage =
    "NOTICE : Diagnosis Report Sending Success. Thank you !!";
inline constexpr std::string_view kUploadFailedMessage = "ERROR : Can not connect to server !!";
inline constexpr std::string_view kMsgCheckCable = "ERROR : Please, Check VOK USB Connection Cable.";
inline constexpr std::string_view kMsgCannotEnable = "ERROR : CANNOT ENABLE USB CONNECTION !!!";
inline constexpr std::string_view kMsgStartQuestion = "NOTICE : Start Remote Diagnosis Procedure ?";
inline constexpr std::string_view kMsgGoNextQuestion =
    "NOTICE : VOK Diagnosis Infomation received ... OK. Go next procedure ?";


// ---------------------------------------------------------------------------
// GUI
// ---------------------------------------------------------------------------


}  // namespace vok
