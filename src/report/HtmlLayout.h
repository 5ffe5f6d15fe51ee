#pragma once

// The HTML page's fixed fragments, table layout and labels; the renderer
// includes this, and the readers that must name a value as the page does.
//
// The page is compared and parsed by the service center's tooling: every tag,
// attribute order, doubled attribute and missing space below is deliberate.

#include <cstddef>
#include <string_view>

#include "report/LogLayout.h"
#include "report/ValueFormat.h"

namespace vok {

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
// Each record holds three cells: a flag parameter, then the value's low and
// high byte.
inline constexpr int kFocusFlagParams[] = {2, 5, 8};
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

}  // namespace vok
