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
// Wizard (start, progress, error pages and the main dialog).
inline constexpr std::string_view kMsgExitNotCompleted =
    "NOTICE : Remote Diagnosis is not completed. Are you Exit ?";
inline constexpr std::string_view kMsgSkipNotCompleted =
    "NOTICE : Remote Diagnosis is not completed. Are you Skip ?";
inline constexpr std::string_view kMsgExitSoftware = "NOTICE : Are you exit Diagnosis Software ?";
inline constexpr std::string_view kMsgSureInformation =
    "NOTICE : Are you sure current infomation ?";
inline constexpr std::string_view kMsgGoPreview = "NOTICE : Go preview procedure ?";
inline constexpr std::string_view kMsgFontNotCreated = "Font could not be created!";
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
// Message-box answers, as the pages test them.
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

// A control's place in a dialog template, in dialog units.
struct DlgRect {
    int x, y, w, h;
};
struct DlgPoint {
    int x, y;
};
// One control of a form template: id (-1 for a static), text, place.
struct DlgControl {
    int id;
    std::string_view text;
    DlgRect rect;
};

// StartDiagnosis's result when no device could be opened (the D2XX status).
inline constexpr int kStartDeviceNotFound = 2;

// Dialog templates and the pages' template ids.
inline constexpr int kIdAboutDialog = 100;
inline constexpr int kIdMainDialog = 102;
inline constexpr int kIdStartPage = 129;
inline constexpr int kIdProgressPage = 130;
inline constexpr int kIdUserPage = 131;
inline constexpr int kIdServicePage = 132;
inline constexpr int kIdCompletionPage = 133;
inline constexpr int kIdErrorPage = 134;

// Icon resources.
inline constexpr int kIconApplication = 128;
inline constexpr int kIconBack = 136;
inline constexpr int kIconExit = 137;
inline constexpr int kIconHomepage = 138;
inline constexpr int kIconLoad = 139;
inline constexpr int kIconNext = 140;
inline constexpr int kIconReport = 141;
inline constexpr int kIconSend = 142;
inline constexpr int kIconSkip = 143;
inline constexpr int kIconStart = 144;
inline constexpr int kButtonIconSize = 32;
inline constexpr int kApplicationIconSize = 48;

// Control ids of the templates.
inline constexpr int kIdcStatic = -1;
inline constexpr int kIdcOk = 1;
inline constexpr int kIdcPlaceholder = 1000;
inline constexpr int kIdcPanel = 1001;
inline constexpr int kIdcHomepage = 1002;
inline constexpr int kIdcLoad = 1003;
inline constexpr int kIdcStart = 1004;
inline constexpr int kIdcExit = 1005;
inline constexpr int kIdcSystemBar = 1007;
inline constexpr int kIdcLogBar = 1008;
inline constexpr int kIdcSkip = 1010;
inline constexpr int kIdcNext = 1011;
inline constexpr int kIdcSend = 1013;
inline constexpr int kIdcHospital = 1014;
inline constexpr int kIdcAddress = 1015;
inline constexpr int kIdcName = 1016;
inline constexpr int kIdcEmail = 1017;
inline constexpr int kIdcPhone = 1018;
inline constexpr int kIdcFax = 1019;
inline constexpr int kIdcComment = 1020;
inline constexpr int kIdcManufacture = 1023;
inline constexpr int kIdcModel = 1024;
inline constexpr int kIdcInstallDate = 1025;
inline constexpr int kIdcSystemSerial = 1026;
inline constexpr int kIdcDescription = 1027;
inline constexpr int kIdcEngPhone = 1030;
inline constexpr int kIdcHisDate = 1032;
inline constexpr int kIdcHisCause = 1033;
inline constexpr int kIdcHisAction = 1034;
inline constexpr int kIdcAddHistory = 1035;
inline constexpr int kIdcBack = 1036;
inline constexpr int kIdcReport = 1039;

// Fonts. Faces a Linux desktop lacks fall back to a sans face of like width.
inline constexpr std::string_view kDialogFontFace = "Tahoma";
inline constexpr int kDialogFontPoints = 9;
inline constexpr std::string_view kAboutFontFace = "MS Shell Dlg";
inline constexpr int kAboutFontPoints = 8;
inline constexpr std::string_view kPanelFontFace = "Verdana";
inline constexpr int kPanelFontHeight = 16;
inline constexpr int kPanelFontStyle = 64;  // left-aligned
// Tahoma and MS Shell Dlg are narrow faces, Verdana and MS Sans Serif wide ones.
inline constexpr std::string_view kNarrowFallbackFace = "DejaVu Sans Condensed";
inline constexpr std::string_view kWideFallbackFace = "DejaVu Sans";
inline constexpr std::string_view kLabelDefaultFace = "MS Sans Serif";
inline constexpr int kLabelDefaultHeight = 8;

// Main dialog (template 102) and about box (template 100), in dialog units.
inline constexpr std::string_view kMainDialogTemplateCaption = "RemoteVOK";
inline constexpr std::string_view kMainCaptionFormat = "VOK Remote Diagnosis V %s";
inline constexpr std::string_view kAboutMenuText = "&About RemoteVOK...";
inline constexpr std::string_view kFooterText = "(C) VOK Medical Systems";
inline constexpr int kMainDialogWidth = 303;
inline constexpr int kMainDialogHeight = 264;
inline constexpr DlgRect kPlaceholderRect{0, 0, 300, 250};
inline constexpr DlgRect kFooterRect{198, 254, 104, 8};
inline constexpr std::string_view kAboutCaption = "About RemoteVOK";
inline constexpr std::string_view kAboutVersionText = "RemoteVOK Version 1.0";
inline constexpr std::string_view kAboutNoticeText = "Copyright (C) VOK Medical Systems Co., Ltd.";
inline constexpr std::string_view kOkText = "OK";
inline constexpr int kAboutWidth = 235;
inline constexpr int kAboutHeight = 55;
inline constexpr DlgPoint kAboutIconPos{11, 17};
inline constexpr DlgRect kAboutVersionRect{40, 10, 119, 8};
inline constexpr DlgRect kAboutNoticeRect{40, 25, 119, 16};
inline constexpr DlgRect kAboutOkRect{178, 7, 50, 16};

// Pages (templates 129 to 134), in dialog units.
inline constexpr int kPageWidth = 300;
inline constexpr int kPageHeight = 250;
inline constexpr DlgRect kPanelRect{7, 7, 286, 191};
inline constexpr DlgRect kStatusPanelRect{7, 7, 286, 150};
inline constexpr DlgRect kSystemBarRect{7, 167, 286, 14};
inline constexpr DlgRect kLogBarRect{7, 187, 286, 14};
inline constexpr DlgRect kButton1Rect{7, 221, 70, 22};    // Homepage
inline constexpr DlgRect kButton2Rect{106, 221, 50, 22};  // Load, Skip, Back
inline constexpr DlgRect kButton3Rect{176, 221, 50, 22};  // Start, Next, Report
inline constexpr DlgRect kButton4Rect{243, 221, 50, 22};  // Exit
inline constexpr DlgRect kSendButtonRect{7, 221, 100, 22};
inline constexpr DlgRect kFormGroupRect{7, 7, 286, 206};
inline constexpr std::string_view kHomepageText = "Homepage";
inline constexpr std::string_view kLoadText = "Load";
inline constexpr std::string_view kStartText = "Start";
inline constexpr std::string_view kExitText = "Exit";
inline constexpr std::string_view kSkipText = "Skip";
inline constexpr std::string_view kNextText = "Next";
inline constexpr std::string_view kBackText = "Back";
inline constexpr std::string_view kSendText = "Send to Service Center";
inline constexpr std::string_view kReportText = "Report";

// The maker's homepage, opened by the pages' Homepage buttons.
inline constexpr std::string_view kHomepageUrl = "http://www.vok.example.com/";

// Panel texts.
inline constexpr std::string_view kPageHeaderFormat =
    "\n\n\n                             VOK Remote Diagnosis V %s \n\n\n";
inline constexpr std::string_view kIntroPieces[] = {
    "  VOK Remote Diagnosis Software produces 'Remote Diagnosis Report'\n",
    "  by extract 'System Infomation' from VOK X-Ray generator, \n",
    "  'User Infomation' and comments by operator and 'Service Infomation'\n",
    "  by service engineer.\n\n",
    "  To complete the remote diagnosis procedure,\n",
    "  Check the below steps and click the 'START' Button.\n",
};
inline constexpr std::string_view kProgressIntro =
    "  Extracting System Infomation form VOK X-Ray generator.\n\n";
inline constexpr std::string_view kStatusLineFormat = "%s\n  %s";
inline constexpr std::string_view kCompletionPieces[] = {
    "  VOK Remote Diagnosis completed.\n\n",
    "  If you want to send report via VOK Service Center,\n",
    "  Click the 'Send VOK Service Center' button.\n\n",
    "  Thanks you.",
};
inline constexpr std::string_view kErrorStatePiece = "  Detected ERROR State ...\n";
inline constexpr std::string_view kErrorCodeFormat = "  CODE : %s \n\n\n";
inline constexpr std::string_view kErrorRetryPiece =
    "  Please, Reboot Console and Retry Diagnosis Procedure ... ";

// Progress bars of the progress page.
inline constexpr std::string_view kSystemBarText = "Diagnosis Processing ... ";
inline constexpr std::string_view kLogBarText = "Backup Log Infomation ... ";
inline constexpr int kBarBackground[3] = {150, 150, 150};
inline constexpr int kBarLower = 1;
inline constexpr int kSystemBarUpper = 213;
inline constexpr int kLogBarUpper = 226;
inline constexpr int kProgressDefaultUpper = 100;
inline constexpr int kProgressDefaultStep = 10;
inline constexpr std::string_view kPercentFormat = "%d%%";
inline constexpr int kProgressLeftInset = 2;
inline constexpr int kProgressRightInset = 3;

// Dialog units: a quarter of the average character width across, an eighth
// of the character height down; the average is taken over both alphabets.
inline constexpr int kDialogUnitsPerCharX = 4;
inline constexpr int kDialogUnitsPerCharY = 8;
inline constexpr int kAlphabetLetters = 52;

// Form labels shrink their font by steps, at most to this share, rather than
// be cut off by a face wider than the one the template was measured with.
inline constexpr double kMinLabelFontScale = 0.75;
inline constexpr double kLabelFontStep = 0.25;

// The window icon's sizes, for any window manager and panel.
inline constexpr int kWindowIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// The error sound: the desktop theme's sound when the file cannot be played.
inline constexpr std::string_view kThemeErrorSound = "dialog-error";

// Exit status of vok-diagnosis on a bad command line or without a display.
inline constexpr int kGuiExitUsage = 2;

// Icon button drawing.
inline constexpr int kIconButtonIconGap = 3;
inline constexpr int kIconButtonPressOffset = 1;

// User information page (template 131): boxes in tab order, then the labels.
inline constexpr std::string_view kUserGroupTitle = "  User Infomation  ";
inline constexpr DlgControl kUserBoxes[] = {
    {1014, "", {71, 36, 180, 14}},  {1015, "", {71, 54, 180, 14}},  {1016, "", {71, 71, 180, 14}},
    {1017, "", {71, 89, 180, 14}},  {1018, "", {71, 106, 180, 14}}, {1019, "", {71, 123, 180, 14}},
    {1020, "", {71, 141, 180, 61}},
};
inline constexpr DlgControl kUserHint = {
    -1, "Check the user infomation and input comments if required.", {71, 20, 186, 8}};
inline constexpr DlgControl kUserLabels[] = {
    {-1, "Hospital Name", {18, 39, 47, 8}}, {-1, "Address", {37, 57, 28, 8}},
    {-1, "Name", {44, 74, 21, 8}},          {-1, "e-Mail", {45, 92, 20, 8}},
    {-1, "Tel Num.", {33, 109, 32, 8}},     {-1, "Fax Num.", {33, 126, 32, 8}},
    {-1, "Comments", {29, 142, 36, 8}},
};

// Service information page (template 132): boxes in tab order, then the labels.
inline constexpr std::string_view kServiceGroupTitle = "  Service Infomation  ";
inline constexpr DlgControl kServiceBoxes[] = {
    {1023, "", {70, 20, 90, 14}},  {1024, "", {202, 20, 80, 14}},  {1025, "", {70, 37, 70, 14}},
    {1026, "", {202, 37, 80, 14}}, {1027, "", {70, 55, 212, 30}},  {1016, "", {70, 88, 65, 14}},
    {1017, "", {202, 88, 80, 14}}, {1030, "", {70, 105, 65, 14}},  {1019, "", {202, 105, 80, 14}},
    {1032, "", {70, 122, 65, 14}}, {1033, "", {70, 141, 212, 30}}, {1034, "", {70, 174, 212, 30}},
};
inline constexpr std::size_t kServiceFieldCountOnPage = 12;
// Boxes taller than this hold their one line at the top.
inline constexpr int kSingleLineBoxHeight = 14;
inline constexpr DlgControl kAddHistoryCheck = {1035, "Add Service History", {140, 128, 77, 10}};
inline constexpr DlgControl kServiceLabels[] = {
    {-1, "Manufacturer", {23, 25, 42, 8}},    {-1, "Installation Date", {14, 40, 51, 8}},
    {-1, "Description", {30, 54, 35, 8}},     {-1, "Engineer Name", {17, 90, 48, 8}},
    {-1, "Engineer Phone", {14, 108, 51, 8}}, {-1, "History Date", {26, 125, 39, 8}},
    {-1, "History Cause", {22, 140, 43, 8}},  {-1, "History Action", {21, 175, 44, 8}},
    {-1, "Model", {178, 23, 19, 8}},          {-1, "System S/N", {159, 40, 38, 8}},
    {-1, "Engineer eMail", {151, 90, 46, 8}}, {-1, "Fax Number", {159, 108, 38, 8}},
};


}  // namespace vok
