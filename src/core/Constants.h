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

// The page is compared and parsed by the service center's tooling: every tag,
// attribute order, doubled attribute and missing space below is deliberate.
inline constexpr std::string_view kHtmlExtension = ".html";
// Error log: records 113 to 212, two per entry; protocol log: CMD_INFO
// records 1 to 225, 25 per block.
inline constexpr int kErrorLogFirstRecord = 113;
inline constexpr int kErrorLogRecordsPerEntry = 2;
inline constexpr int kErrorLogCapacity = 50;
inline constexpr int kProtocolBlockRecords = 25;
inline constexpr int kProtocolCapacity = 9;
// HT records and parameters (1-based) that steer the page.
inline constexpr int kSystemRecord = 1;
inline constexpr int kCountersRecord = 6;
inline constexpr int kErrorLogCountParam = 9;
inline constexpr int kProtocolCountParam = 10;
// Room for the largest page (50 error entries, 9 full protocol blocks).
inline constexpr std::size_t kHtmlReserve = std::size_t{256} * 1024;

inline constexpr std::string_view kHtmlHeadTitle =
    "<html><head><title>VOK Diagnosis Report</title>";
inline constexpr std::string_view kHtmlHeadMeta =
    R"(<meta name="Generator" content="VOK Diagnosis Software"></head>)";
inline constexpr std::string_view kHtmlHeadBody =
    R"(<body bgcolor="white" text="black" link="blue" vlink="purple" alink="red">)";
inline constexpr std::string_view kHtmlTail = "</body></html>";

inline constexpr std::string_view kHtmlTable = "</table>";
inline constexpr std::string_view kHtmlRowOpen = "<tr>";
inline constexpr std::string_view kHtmlRowClose = "</tr>";
inline constexpr std::string_view kHtmlCellClose = "</td>";
inline constexpr std::string_view kHtmlParagraphOpen = "<p>";
inline constexpr std::string_view kHtmlParagraphClose = "</p>";
inline constexpr std::string_view kHtmlFragmentSpace = " ";

inline constexpr std::string_view kTableTag12px =
    R"(<table style="font-family:Arial; font-weight:bold; font-size:12px;" border="1" cellpadding="0" cellspacing="0" width="600">)";
inline constexpr std::string_view kTableTag12 =
    R"(<table style="font-family:Arial; font-weight:bold; font-size:12;" border="1" cellpadding="0" cellspacing="0" width="600">)";
inline constexpr std::string_view kCalibrationTableTag =
    R"(<table border="1" style="font-family:Arial; font-weight:bold; font-size:12;" border="1" cellpadding="0" cellspacing="0" width="600">)";

inline constexpr std::string_view kTd50 = R"(<td width="50">)";
inline constexpr std::string_view kTd100 = R"(<td width="100">)";
inline constexpr std::string_view kTd150 = R"(<td width="150">)";
inline constexpr std::string_view kTd200 = R"(<td width="200">)";
inline constexpr std::string_view kTd250 = R"(<td width="250">)";
inline constexpr std::string_view kTd200Span2 = R"(<td width="200" colspan="2">)";
inline constexpr std::string_view kTd300Span2 = R"(<td width="300" colspan="2">)";
inline constexpr std::string_view kTd400Span2 = R"(<td width="400" colspan="2">)";
inline constexpr std::string_view kTd400Span3 = R"(<td width="400" colspan="3">)";
inline constexpr std::string_view kTd400Span4 = R"(<td width="400" colspan="4">)";
inline constexpr std::string_view kTd450Span3 = R"(<td width="450" colspan="3">)";
inline constexpr std::string_view kTd150Rows3 = R"(<td width="150" rowspan="3">)";
inline constexpr std::string_view kTd150Rows4 = R"(<td width="150" rowspan="4">)";
inline constexpr std::string_view kTd200Rows4 = R"(<td width="200" rowspan="4">)";

// System Infomation with Statistics.
inline constexpr std::string_view kSystemTitleCell =
    R"(<td width="600" height="40" align="center" valign="middle" colspan="4" style="font-family:Arial; font-weight:bold; font-size:18px;">)";
inline constexpr std::string_view kSystemTitle = "System Infomation";
inline constexpr std::string_view kStatisticsTitle = "Statistics";
inline constexpr std::string_view kDateTimeLabel = "Date/Time";
// Rows 3 to 22, one row of the page per line: left label, right label.
// clang-format off
inline constexpr std::string_view kSystemLabels[] = {
    "Model",                    "Serial Number",
    "Delivery Date",            "Max kW",
    "Max kV",                   "Max mA",
    "Max mAs",                  "Main Voltage",
    "Option",                   "Main Frequency",
    "Max. mA Limit",            "Output Limit",
    "Tube Type",                "Prep. Time",
    "Housing Type",             "Max. Small-F mA",
    "Software Lock",            "Bucky1 Type",
    "Bucky2 Type",              "Non-Bucky Setting",
    "Bucky1 Setting",           "Bucky2 Setting",
    "Door Lock",                "InterLock1",
    "AEC1 Setting",             "AEC1 Field",
    "AEC2 Setting",             "AEC2 Field",
    "Bucky Delay Time",         "AEC Backup Time",
    "Warning Check",            "Comm. Error Check",
    "Power Error Check",        "X-Ray Error Check",
    "Tube Error Check",         "Filament Error Check",
    "Rotor Error Check",        "Etc. Error Check",
    "Console Firmware Version", "HT Firmware Version",
};
// clang-format on
inline constexpr std::string_view kStatisticsLabels[] = {
    "X-Ray Exposure Count ( Total )", "X-Ray Exposure Count ( Today )", "Total Error Count",
    "Sum of Heat Unit ( Total )",     "Sum of Heat Unit ( Today )",     "Heat Unit Warning Count",
    "Total Error Message Log",        "Total Error Protocol Log"};
inline constexpr std::string_view kKwSuffix = " kW";
inline constexpr std::string_view kTimesSuffix = " Times";
inline constexpr std::string_view kHeatUnitSuffix = " HU";

// User and Service Infomation: one cell per entry; a cell either shows a
// fixed text or a site field (kSiteField* values are SiteInfo positions).
struct SiteTableCell {
    bool newRow;
    std::string_view tag;
    std::string_view text;
    int field;
};
inline constexpr int kFixedText = -1;
inline constexpr std::string_view kUserTitleCell =
    R"(<td width="600" height="40" align="center" valign="middle" colspan="3" style="font-family:Arial; font-weight:bold; font-size:18px;">)";
inline constexpr std::string_view kUserTitle = "User Infomation";
// One row of the page per line. Fields: 12 HOSPITAL, 13 ADDRESS, 14 to 17
// NAME, EMAIL, PHONE, FAX of [USER], 18 COMMENT.
// clang-format off
inline constexpr SiteTableCell kUserCells[] = {
    {true, kTd200, "Hospital Name", kFixedText}, {false, kTd400Span2, "", 12},
    {true, kTd200, "Address", kFixedText}, {false, kTd400Span2, "", 13},
    {true, kTd200Rows4, "Operator", kFixedText}, {false, kTd200, "Name", kFixedText}, {false, kTd200, "", 14},
    {true, kTd200, "E-Mail Address", kFixedText}, {false, kTd200, "", 15},
    {true, kTd200, "Telephone Number", kFixedText}, {false, kTd200, "", 16},
    {true, kTd200, "FAX Number", kFixedText}, {false, kTd200, "", 17},
    {true, kTd200, "Comments", kFixedText}, {false, kTd400Span2, "", 18},
};
// clang-format on
inline constexpr std::string_view kServiceTitleCell =
    R"(<td width="600" colspan="4" height="40" align="center" valign="middle" style="font-family:Arial; font-weight:bold; font-size:18px;">)";
inline constexpr std::string_view kServiceTitle = "Service Infomation";
// One row of the page per line. Fields: 0 MANUFACTURE, 1 MODEL, 2 DATE,
// 3 SERIAL, 4 DESCRIPTION, 5 to 8 NAME, EMAIL, PHONE, FAX of [SERVICE]. The
// history values of the report file are never shown.
// clang-format off
inline constexpr SiteTableCell kServiceCells[] = {
    {true, kTd150, "System Manufacturer", kFixedText}, {false, kTd150, "", 0}, {false, kTd150, "Model Name", kFixedText}, {false, kTd150, "", 1},
    {true, kTd150, "Installation Date", kFixedText}, {false, kTd150, "", 2}, {false, kTd150, "System S/N", kFixedText}, {false, kTd150, "", 3},
    {true, kTd150, "System Description", kFixedText}, {false, kTd450Span3, "", 4},
    {true, kTd150Rows4, "Service Engineer", kFixedText}, {false, kTd150, "Name", kFixedText}, {false, kTd300Span2, "", 5},
    {true, kTd150, "E-Mail Address", kFixedText}, {false, kTd300Span2, "", 6},
    {true, kTd150, "Telephone Number", kFixedText}, {false, kTd300Span2, "", 7},
    {true, kTd150, "FAX Number", kFixedText}, {false, kTd300Span2, "", 8},
    {true, kTd150Rows3, "Service History", kFixedText}, {false, kTd150Rows3, "1", kFixedText}, {false, kTd50, "Date", kFixedText}, {false, kTd250, kNbsp, kFixedText},
    {true, kTd50, "Cause", kFixedText}, {false, kTd250, kNbsp, kFixedText},
    {true, kTd50, "Action", kFixedText}, {false, kTd250, kNbsp, kFixedText},
};
// clang-format on

// Filament/kV and AEC calibration: groups of items, each item one HT
// parameter shown less an offset.
struct CalibrationItem {
    std::string_view label;
    int record;
    int param;
    int offset;
};
struct CalibrationGroup {
    std::string_view fragment;
    int first;  // first item of the group in the item list
    int count;
};
inline constexpr std::string_view kCalibrationTitleOpen =
    R"(<tr><td width="600" colspan="3" height="40" align="center" valign="middle" colspan="4" style="font-family:Arial; font-weight:bold; font-size:18px;">)";
inline constexpr std::string_view kCalibrationTitleClose = "</td></tr>";
inline constexpr std::string_view kCalibrationLabelOpen = R"(<td width="300">)";
inline constexpr std::string_view kCalibrationValueOpen = R"(<td width="100">)";
inline constexpr std::string_view kCalibrationItemClose = "</td></tr>";
inline constexpr std::string_view kFilamentKvTitle = "Filament, kV Calibration Data";
inline constexpr CalibrationItem kFilamentKvItems[] = {
    {"Small Focus Preheat Level", 7, 1, 0},
    {"Small Focus Preheat Range", 7, 3, 0},
    {"Large Focus Preheat Level", 7, 2, 0},
    {"Large Focus Preheat Range", 7, 4, 0},
    {"Prepare Low", 7, 5, 0},
    {"Prepare High", 7, 6, 0},
    {"SCC Level", 7, 7, 0},
    {"Boost Ratio", 7, 8, 0},
    {"Low kV Offset", 7, 9, 128},
    {"High kV Offset", 7, 10, 128},
};
inline constexpr CalibrationGroup kFilamentKvGroups[] = {
    {R"(<tr><td width="200" rowspan="8" align=center valign=middle>Filament Calibration</td>)", 0,
     8},
    {R"(<tr><td width="200" rowspan="2" align=center valign=middle>kV Calibration</td>)", 8, 2},
};
inline constexpr std::string_view kAecTitle = "AEC Calibration Data";
inline constexpr CalibrationItem kAecItems[] = {
    {"kV Tracking Curve", 8, 1, 10},
    {"kV Tracking Offset", 8, 2, 128},
    {"RLF 0.5s", 8, 3, 0},
    {"RLF 1.0s", 8, 4, 0},
    {"RLF 1.5s", 8, 5, 0},
    {"kV Tracking Curve", 8, 6, 10},
    {"kV Tracking Offset", 8, 7, 128},
    {"RLF 0.5s", 8, 8, 0},
    {"RLF 1.0s", 8, 9, 0},
    {"RLF 1.5s", 8, 10, 0},
};
inline constexpr CalibrationGroup kAecGroups[] = {
    {R"(<tr><td width="200" rowspan="5" align=center valign=middle>AEC Channel 1</td>)", 0, 5},
    {R"(<tr><td width="200" rowspan="5" align=center valign=middle>AEC Channel 2</td>)", 5, 5},
};

// Automatic mA Calibration History: records 9 to 28, shown when P01 is 1 to 20.
inline constexpr int kMaHistoryFirstRecord = 9;
inline constexpr int kMaHistoryLastRecord = 28;
inline constexpr int kMaHistoryMaxIndex = 20;
inline constexpr std::string_view kMaHistoryOpen =
    R"(<table border="1" style="font-family:Arial; font-weight:bold; font-size:12;" border="1" cellpadding="0" cellspacing="0" width="600"><tr>)";
inline constexpr std::string_view kMaHistoryTitle =
    R"(<td width="600" colspan="2" height="40" align="center" valign="middle" colspan="4" style="font-family:Arial; font-weight:bold; font-size:18px;">Automatic mA Calibration History</td></tr>)";
inline constexpr std::string_view kMaHistoryLabelOpen = R"(<tr><td width="300">)";
inline constexpr std::string_view kMaHistoryValueOpen = R"(<td width="300">)";
inline constexpr std::string_view kMaHistoryRowClose = "</td></tr>";
inline constexpr std::string_view kMaHistoryLabels[] = {
    "History Index",        "Date",         "Tube Type",           "Total Calibration Step",
    "Total Exposure Count", "Elapsed Time", "Fail Condition Count"};
inline constexpr std::string_view kMaHistoryCentury = "20";

// Small and large focus calibration tables.
inline constexpr int kSmallFocusFirstRecord = 29;
inline constexpr int kLargeFocusFirstRecord = 71;
inline constexpr int kFocusRows = 21;
inline constexpr int kFocusValueOffset = 2000;
inline constexpr std::string_view kFocusTitleOpen =
    R"(<tr><td width="600" colspan="7" height="40" align="center" valign="middle" style="font-family:Arial; font-weight:bold; font-size:18px;">)";
inline constexpr std::string_view kSmallFocusTitle =
    "<p>Small Focus Calibration Table</p></td></tr>";
inline constexpr std::string_view kLargeFocusTitle =
    "<p>Large Focus Calibration Table</p></td></tr>";
inline constexpr std::string_view kSmallFocusCorner =
    R"(<td width="120" align="center" valign="middle"><p>SMALL</p></td>)";
inline constexpr std::string_view kLargeFocusCorner =
    R"(<td width="120" align="center" valign="middle"><p>LARGE</p></td>)";
inline constexpr std::string_view kFocusHeadingOpen =
    R"(<td width="80"  align="center" valign="middle"><p>)";
inline constexpr std::string_view kFocusLabelOpen =
    R"(<td width="120"align="center" valign="middle"><p>)";
inline constexpr std::string_view kFocusValueOpen =
    R"(<td width="80" align="center" valign="middle"><p>)";
inline constexpr std::string_view kFocusCellClose = "</p></td>";
inline constexpr std::string_view kFocusKv[] = {"40", "50", "60", "80", "100", "120"};
inline constexpr std::string_view kFocusMa[] = {"10",  "12.5", "16",  "20",  "25",  "32",  "40",
                                                "50",  "64",   "80",  "100", "125", "160", "200",
                                                "250", "320",  "400", "500", "640", "800", "1000"};

// Error Infomation and Protocol.
inline constexpr std::string_view kErrorTitleCell =
    R"(<td width="600" height="40" align="center" valign="middle" colspan="6" style="font-family:Arial; font-weight:bold; font-size:18px;">)";
inline constexpr std::string_view kErrorTitle = "Error Infomation";
inline constexpr std::string_view kErrorCodeLabels[] = {"Error 0", "Error 1", "Error 2"};
inline constexpr std::string_view kLogIndexLabel = "Log Index";
inline constexpr std::string_view kLogDateLabel = "Date";
inline constexpr std::string_view kLogTimeLabel = "Time";
inline constexpr std::string_view kLogKvLabel = "kV";
inline constexpr std::string_view kLogMaLabel = "mA";
inline constexpr std::string_view kLogBuckyLabel = "Bucky";
inline constexpr std::string_view kLogExtDeviceLabel = "Ext. Device";
inline constexpr std::string_view kLogAecScreenLabel = "AEC Screen";
inline constexpr std::string_view kLogAecFieldLabel = "AEC Field";
inline constexpr std::string_view kLogAecDensityLabel = "AEC Density";
inline constexpr std::string_view kLogAprLabel = "APR Condition";
inline constexpr std::string_view kLogHuLabel = "HU";
inline constexpr std::string_view kKvSuffix = " kV";
inline constexpr std::string_view kPercentSuffix = " %";
inline constexpr std::string_view kProtocolTitleCell =
    R"(<td width="600" height="24" align="center" valign="middle" colspan="8">)";
inline constexpr std::string_view kProtocolTitle = "Protocol";
inline constexpr std::string_view kProtocolCommandHeadingCell =
    R"(<td width="300" align="center" colspan="2">)";
inline constexpr std::string_view kProtocolIndexLabel = "Index";
inline constexpr std::string_view kProtocolCommandLabel = "Command";
inline constexpr std::string_view kProtocolHeadingLabels[] = {"Addr", "Data1", "Data2", "Data3",
                                                              "Time"};

// Definition file sections and key formats.
inline constexpr std::string_view kDefineErrorSection = "ERROR";
inline constexpr std::string_view kDefineCommandSection = "COMMAND";
inline constexpr std::string_view kDefineTubeSection = "TUBE";
inline constexpr std::string_view kDefineErrorKeyFormat = "CODE_0X%02X";
inline constexpr std::string_view kDefineCommandKeyFormat = "COMMAND_%02d";
inline constexpr std::string_view kDefineTubeKeyFormat = "TUBE_%02d";

// System information decoders.
inline constexpr std::string_view kModelTexts[] = {"VOK-32", "VOK-40", "VOK-52",
                                                   "VOK-68", "VOK-82", "VOK-102"};
inline constexpr std::string_view kKwTexts[] = {"32kW", "40kW", "52kW", "68kW", "82kW", "102kW"};
inline constexpr std::string_view kKvTexts[] = {"100kV", "125kV", "150kV"};
inline constexpr std::string_view kMasTexts[] = {"500mAs", "600mAs", "640mAs", "800mAs", "1000mAs"};
inline constexpr std::string_view kMaTexts[] = {
    "10mA",  "12.5mA", "16mA",  "20mA",  "25mA",  "32mA",  "40mA",
    "50mA",  "64mA",   "80mA",  "100mA", "125mA", "160mA", "200mA",
    "250mA", "320mA",  "400mA", "500mA", "640mA", "800mA", "1000mA"};
inline constexpr std::string_view kPrepTimeTexts[] = {"0.8sec", "1.0sec", "1.2sec", "1.5sec",
                                                      "1.8sec", "2.0sec", "2.2sec", "2.5sec",
                                                      "2.8sec", "3.0sec"};
inline constexpr std::string_view kVoltageTexts[] = {"230VAC", "230VAC", "400VAC", "480VAC",
                                                     "BATTERY"};
inline constexpr std::string_view kPhaseTexts[] = {"1P", "3P", "3P", "3P", ""};
inline constexpr std::string_view kFrequencyTexts[] = {"50Hz", "60Hz"};
inline constexpr std::string_view kOptionLetters = "HADTP";  // bit 0 first
inline constexpr std::string_view kBuckyTypeTexts[] = {"NONE", "BUCKYS", "BUCKYSFB", "BUCKYM",
                                                       "BUCKYMFB"};
// Bucky settings by field: Non-Bucky (bits 5-7), Bucky1 (bits 2-4), Bucky2 (bits 0-1).
inline constexpr int kBuckySettingShift[] = {5, 2, 0};
inline constexpr int kBuckySettingMask[] = {0x07, 0x07, 0x03};
inline constexpr std::string_view kBuckySettingTexts[3][3] = {
    {"NORMAL", "DR0", "PHOTO FLUORO"}, {"NORMAL", "DR1", "TOMO"}, {"NORMAL", "DR2", kNbsp}};
inline constexpr std::string_view kEnableText = "ENABLE";
inline constexpr std::string_view kDisableText = "DISABLE";
// AEC channels 1 and 2: setting and field bit positions.
inline constexpr int kAecSettingShift[] = {6, 2};
inline constexpr int kAecFieldShift[] = {4, 0};
inline constexpr std::string_view kAecSettingTexts[] = {"OFF", "NON-BUCKY", "BUCKY 1", "BUCKY 2"};
inline constexpr std::string_view kAecFieldTexts[] = {"1 FIELD", "2 FIELD", "3 FIELD"};
inline constexpr int kDelayStepMs = 10;
inline constexpr std::string_view kDelayNone = "N/A";
inline constexpr std::string_view kMsSuffix = "ms";
inline constexpr int kSerialLength = 10;
inline constexpr std::string_view kCentury = "20";
inline constexpr char kDateSeparator = '/';
inline constexpr char kTimeSeparator = ':';
inline constexpr char kVersionPoint = '.';
inline constexpr int kDigitsPerGroup = 3;
inline constexpr char kThousandsSeparator = ',';

// Log decoders.
inline constexpr std::string_view kExposureTimeTexts[] = {
    "1ms",    "2ms",    "3ms",    "4ms",    "5ms",    "6ms",    "8ms",    "10ms",
    "12ms",   "16ms",   "20ms",   "25ms",   "32ms",   "40ms",   "50ms",   "64ms",
    "80ms",   "100ms",  "125ms",  "160ms",  "200ms",  "250ms",  "320ms",  "400ms",
    "500ms",  "640ms",  "800ms",  "1000ms", "1250ms", "1600ms", "2000ms", "2500ms",
    "3200ms", "4000ms", "5000ms", "6400ms", "8000ms", "10000ms"};
inline constexpr std::string_view kLogBuckyTexts[] = {"NON-BUCKY", "BUCKY 1", "BUCKY 2"};
// External device bits in order of priority, the first set bit names the mode.
struct ExtDeviceBit {
    int bit;
    std::string_view text;
};
inline constexpr ExtDeviceBit kExtDeviceBits[] = {
    {0, "DR2"}, {2, "DR1"}, {3, "TOMO"}, {5, "DR0"}, {6, "PHOTO FLUORO"}};
inline constexpr std::string_view kAecNoUse = "NO USE";
inline constexpr std::string_view kAecScreenTexts[] = {"SMALL", "MEDIUM", "FAST"};  // bits 0-2
inline constexpr std::string_view kAecChamberOn[] = {"L(O)", "C(O)", "R(O)"};
inline constexpr std::string_view kAecChamberOff[] = {"L(X)", "C(X)", "R(X)"};
inline constexpr char kAecChamberSeparator = ',';
inline constexpr int kAecDensityFirstCode = 10;
inline constexpr std::string_view kAecDensityTexts[] = {"-8", "-7", "-6", "-5", "-4", "-3",
                                                        "-2", "-1", "0",  "+1", "+2", "+3",
                                                        "+4", "+5", "+6", "+7", "+8"};
// Anatomical programs: codes 1 to 64 fixed (filled with blanks to 24
// characters), 65 to 89 user programs.
inline constexpr std::size_t kAprNameWidth = 24;
inline constexpr std::string_view kAprFirstText = "Skull - AP\t\t\t   ";
inline constexpr std::string_view kAprNames[] = {
    "Skull - AP",
    "Skull - Lateral",
    "Skull - Town's",
    "Mandible - PA",
    "Mandible - Axial Lateral",
    "Mandible - Town's",
    "Nasal Bone - Lateral",
    "Zygomatic Arch - Axial",
    "PNS - Waters",
    "PNS - Caldwell",
    "PNS - Lateral",
    "Mastoid - Law",
    "Mastoid - Stenvers",
    "Mastoid - Townes",
    "T-M Joint - Lateral",
    "T-M Joint - Town's",
    "Chest - AP",
    "Chest - PA",
    "Chest - Lateral",
    "Chest - APICO",
    "Upper Rib - AP",
    "Upper Rib - Both Oblique",
    "Lower Rib - AP",
    "Lower Rib - Both Oblique",
    "Abdomen - Supine",
    "Abdomen - Erect",
    "Abdomen - KUB",
    "Pelvis - AP",
    "Pelvis - Lateral",
    "Hip - AP",
    "Hip - Lateral",
    "Decubitus",
    "C-Spine - AP",
    "C-Spine - Lateral",
    "C-Spine - Oblique",
    "C-Spine - Open Mouth",
    "T-Spine - AP",
    "T-Spine - Lateral",
    "T-Spine - Oblique",
    "T-Spine - Swimmer",
    "L-Spine - AP",
    "L-Spine - Lateral",
    "L-Spine - Oblique",
    "L-Spine - Cone Down",
    "Sacrum - AP",
    "Sacrum - Lateral",
    "Coccyx - AP",
    "Coccyx - Lateral",
    "Hand - AP",
    "Wrist - AP",
    "Forearm - AP",
    "Elbow - AP",
    "Humerus - AP",
    "Shoulder - AP",
    "Clavicle - AP",
    "Scapula - AP",
    "Toe - AP",
    "Foot - AP",
    "Ankle - AP",
    "Tibia - AP",
    "Knee - AP",
    "Merchant",
    "Femur - AP",
    "Calcanus - Axial",
};
inline constexpr int kAprUserCount = 25;
inline constexpr std::string_view kAprUserPrefix = "User APR ";

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
inline constexpr std::string_view kMsgCheckCable =
    "ERROR : Please, Check VOK USB Connection Cable.";
inline constexpr std::string_view kMsgCannotEnable = "ERROR : CANNOT ENABLE USB CONNECTION !!!";
inline constexpr std::string_view kMsgStartQuestion = "NOTICE : Start Remote Diagnosis Procedure ?";
inline constexpr std::string_view kMsgGoNextQuestion =
    "NOTICE : VOK Diagnosis Infomation received ... OK. Go next procedure ?";
// Completion page and the start page's Load.
inline constexpr std::string_view kMsgSendQuestion =
    "NOTICE : Diagnosis Report will be send to VOK Service Center. Are you Continue ?";
inline constexpr std::string_view kMsgOperationCancel = "NOTICE : Operation Cancel.";
inline constexpr std::string_view kMsgLoadSendQuestion =
    "NOTICE : Are you send  this Report to VOK Service Center ?";
// Send and Report after the report file could not be written.
inline constexpr std::string_view kMsgNoReportFile =
    "ERROR : No report file was written, so there is nothing to send or show.";

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
inline constexpr std::string_view kPercentFormat = "%d%%";

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

// Load on the start page: the open-file dialog's filter and default extension.
inline constexpr std::string_view kReportFileFilter = "VOK Diagnosis File(*.VOK)|*.VOK|";
inline constexpr std::string_view kReportFileExtension = "VOK";

}  // namespace vok
