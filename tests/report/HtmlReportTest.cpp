#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <regex>
#include <string>

#include "report/CalibrationValues.h"
#include "report/HtmlPageWriter.h"
#include "report/HtmlReportFile.h"
#include "report/RenderHtml.h"
#include "report/ReportFileWriter.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

namespace vok {
namespace {

using ::testing::HasSubstr;

const std::string kDefine =
    "[ERROR]\nCODE_0X1A=Tube overheated\nCODE_0X05=<b>Door</b> open\n"
    "[COMMAND]\nCOMMAND_26=Set clock\n"
    "[TUBE]\nTUBE_12=RT-50 <i>HS</i>\n";

// Record k of an HT_INFO or CMD_INFO table holds the given parameters from P01 on.
template <class Table>
void Set(Table& table, int k, std::initializer_list<int> params) {
    std::transform(params.begin(), params.end(), table[static_cast<std::size_t>(k)].params.begin(),
                   [](int value) { return static_cast<std::uint8_t>(value); });
}

// What a report file from a skipped diagnosis reads back as.
ReportData SkippedReport() {
    ReportData report;
    report.m_strConsoleVersion = "&nbsp;";
    return report;
}

const DefinitionFile& Definitions() {
    static const DefinitionFile definitions = DefinitionFile::Parse(kDefine);
    return definitions;
}

// The table writers of the page; report must outlive the writer.
HtmlPageWriter Renderer(const ReportData& report) {
    return HtmlPageWriter(report, Definitions());
}

// The first group of every match of pattern in text, each after a "|".
std::string Matches(const std::string& text, const std::string& pattern) {
    std::string found;
    const std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator();
         ++it) {
        found += "|" + (*it)[1].str();
    }
    return found;
}

// The title of every table on the page, in order: the text of each table's
// first cell.
std::string TableTitles(const std::string& html) {
    return Matches(html, R"(<table[^>]*>\s*<tr>\s*<td[^>]*>\s*(?:<p>)?([^<]*))");
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t pos = text.find(what); pos != std::string::npos;
         pos = text.find(what, pos + 1)) {
        ++count;
    }
    return count;
}

const std::string kAlwaysTables =
    "|User Infomation|Service Infomation|Filament, kV Calibration Data|AEC Calibration Data"
    "|Small Focus Calibration Table|Large Focus Calibration Table";

TEST(HtmlPageTest, SkippedDiagnosisShowsTheSiteAndCalibrationTablesSystemTableOnlyWithMaxKv) {
    ReportData report = SkippedReport();
    const std::string html = RenderHtml(report, Definitions());
    EXPECT_EQ(TableTitles(html), kAlwaysTables);
    const std::string head =
        "<html><head><title>VOK Diagnosis Report</title>"
        R"(<meta name="Generator" content="VOK Diagnosis Software"></head>)"
        R"(<body bgcolor="white" text="black" link="blue" vlink="purple" alink="red">)";
    EXPECT_EQ(html.substr(0, head.size()), head);
    EXPECT_EQ(html.substr(html.size() - 14), "</body></html>");
    EXPECT_EQ(html.find_first_of("\r\n"), std::string::npos);

    Set(report.m_HtInfo, 1, {254});
    EXPECT_EQ(TableTitles(RenderHtml(report, Definitions())), "|System Infomation" + kAlwaysTables);
}

// Error entries i and protocol blocks i alternate; a block needs i below both
// counts, an entry only its own records.
// Counts beyond the logs' capacity show what exists: 50 entries, 9 blocks.
TEST(LogOrderTest, EntriesAndBlocksAlternateWhileBothCountsLastUpToTheLogsCapacity) {
    const std::string E = "|Error Infomation";
    const std::string P = "|Protocol";
    std::string capped;
    for (int i = 0; i < 50; ++i) {
        capped += i < 9 ? E + P : E;
    }
    ReportData report = SkippedReport();
    for (int i = 0; i < 50; ++i) {
        Set(report.m_HtInfo, 113 + 2 * i, {i});
    }
    struct Case {
        int messages, protocols, missing;
        std::string titles;
    };
    for (const Case& c : {Case{3, 1, 0, E + P + E + E}, Case{2, 2, 115, E + P + P},
                          Case{0, 5, 0, ""}, Case{3, 3, 113, ""}, Case{255, 254, 0, capped}}) {
        ReportData shown = report;
        Set(shown.m_HtInfo, 6, {0, 0, 0, 0, 0, 0, 0, 0, c.messages, c.protocols});
        if (c.missing != 0) {
            Set(shown.m_HtInfo, c.missing, {255});
        }
        EXPECT_EQ(TableTitles(RenderHtml(shown, Definitions())), kAlwaysTables + c.titles)
            << c.messages << " " << c.protocols << " " << c.missing;
    }
    // Nothing is read outside the tables, whatever the counts say.
    Set(report.m_HtInfo, 6, {0, 0, 0, 0, 0, 0, 0, 0, 255, 254});
    std::string out;
    Renderer(report).WriteErrorTable(out, 212);
    Renderer(report).WriteErrorTable(out, -7);
    Renderer(report).WriteProtocolTable(out, 9);
    EXPECT_EQ(out, "");
}

TEST(SystemTableTest, OpeningRowsValuesUnderTheirLabelsAndFragmentSpacing) {
    ReportData report = SkippedReport();
    Set(report.m_HtInfo, 1, {1, 13, 5, 4, 0x41, 0x09, 7, 3, 2, 80});
    report.m_strDate = "2026/01/31";
    report.m_strTime = "09:05:00";
    std::string out;
    Renderer(report).WriteSystemTable(out);
    const std::string opening =
        R"(<table style="font-family:Arial; font-weight:bold; font-size:12px;" border="1" cellpadding="0" cellspacing="0" width="600"> )"
        R"(<tr><td width="600" height="40" align="center" valign="middle" colspan="4" style="font-family:Arial; font-weight:bold; font-size:18px;"><p>System Infomation</p></td></tr>)"
        R"(<tr><td width="200"><p>Date/Time</p></td><td width="400" colspan="3"><p>2026/01/31 09:05:00</p></td></tr>)"
        R"(<tr><td width="200"><p>Model</p></td><td width="100"><p>VOK-102</p></td><td width="200"><p>Serial Number</p></td><td width="100"><p>&nbsp;</p></td></tr>)";
    EXPECT_EQ(out.substr(0, opening.size()), opening);
    for (
        const char* row : {
            R"(<tr><td width="200"><p>Max mAs</p></td><td width="100"><p>1000mAs</p></td><td width="200"><p>Main Voltage</p></td><td width="100"><p>BATTERY </p></td></tr>)",
            R"(<td width="200"><p>Output Limit</p></td><td width="100"><p>80 kW</p></td></tr>)",
            R"(<tr><td width="600" height="40" align="center" valign="middle" colspan="4" style="font-family:Arial; font-weight:bold; font-size:18px;"><p>Statistics</p></td></tr>)"
            R"(<tr><td width="300" colspan="2"><p>X-Ray Exposure Count ( Total )</p></td><td width="300" colspan="2"><p>16,777,215 Times</p></td></tr>)",
        }) {
        EXPECT_THAT(out, HasSubstr(row));
    }
    const std::string closing =
        R"(<tr><td width="300" colspan="2"><p>Total Error Protocol Log</p></td><td width="300" colspan="2"><p>255</p></td></tr></table>)";
    EXPECT_EQ(out.substr(out.size() - closing.size()), closing);
    EXPECT_EQ(Count(out, "<tr>"), 31u);
    // The one blank after a tag is the one after the opening tag.
    EXPECT_EQ(Count(out, "> "), 1u);
}

TEST(SiteTableTest, EveryFragmentFollowedByOneSpaceHistoryValuesHidden) {
    ReportData report = SkippedReport();
    for (std::size_t n = 0; n < kSiteFieldCount; ++n) {
        report.m_SiteInfo.Field(n) = "F" + std::to_string(n);
    }
    report.m_SiteInfo.m_strUserPhone = "";
    std::string out;
    Renderer(report).WriteUserTable(out);
    // The user table is the service table's template with other rows.
    EXPECT_EQ(Matches(out, "<p>([^<]*)</p>"),
              "|User Infomation|Hospital Name|F12|Address|F13|Operator|Name|F14|E-Mail Address|F15"
              "|Telephone Number||FAX Number|F17|Comments|F18");
    out.clear();
    Renderer(report).WriteServiceTable(out);
    EXPECT_EQ(
        out,
        R"(<table style="font-family:Arial; font-weight:bold; font-size:12px;" border="1" cellpadding="0" cellspacing="0" width="600"> )"
        R"(<tr> <td width="600" colspan="4" height="40" align="center" valign="middle" style="font-family:Arial; font-weight:bold; font-size:18px;"> <p>Service Infomation</p> </td> </tr> )"
        R"(<tr> <td width="150"> <p>System Manufacturer</p> </td> <td width="150"> <p>F0</p> </td> <td width="150"> <p>Model Name</p> </td> <td width="150"> <p>F1</p> </td> </tr> )"
        R"(<tr> <td width="150"> <p>Installation Date</p> </td> <td width="150"> <p>F2</p> </td> <td width="150"> <p>System S/N</p> </td> <td width="150"> <p>F3</p> </td> </tr> )"
        R"(<tr> <td width="150"> <p>System Description</p> </td> <td width="450" colspan="3"> <p>F4</p> </td> </tr> )"
        R"(<tr> <td width="150" rowspan="4"> <p>Service Engineer</p> </td> <td width="150"> <p>Name</p> </td> <td width="300" colspan="2"> <p>F5</p> </td> </tr> )"
        R"(<tr> <td width="150"> <p>E-Mail Address</p> </td> <td width="300" colspan="2"> <p>F6</p> </td> </tr> )"
        R"(<tr> <td width="150"> <p>Telephone Number</p> </td> <td width="300" colspan="2"> <p>F7</p> </td> </tr> )"
        R"(<tr> <td width="150"> <p>FAX Number</p> </td> <td width="300" colspan="2"> <p>F8</p> </td> </tr> )"
        R"(<tr> <td width="150" rowspan="3"> <p>Service History</p> </td> <td width="150" rowspan="3"> <p>1</p> </td> <td width="50"> <p>Date</p> </td> <td width="250"> <p>&nbsp;</p> </td> </tr> )"
        R"(<tr> <td width="50"> <p>Cause</p> </td> <td width="250"> <p>&nbsp;</p> </td> </tr> )"
        R"(<tr> <td width="50"> <p>Action</p> </td> <td width="250"> <p>&nbsp;</p> </td> </tr> )"
        "</table> ");
}

TEST(CalibrationTableTest, FilamentKvWholeTableAecValuesWithTheirOffsets) {
    ReportData report = SkippedReport();
    Set(report.m_HtInfo, 7, {10, 20, 30, 40, 50, 60, 70, 80, 0, 255});
    Set(report.m_HtInfo, 8, {3, 0, 1, 2, 3, 255, 255, 4, 5, 6});
    std::string out;
    Renderer(report).WriteFilamentKvTable(out);
    EXPECT_EQ(
        out,
        R"(<table border="1" style="font-family:Arial; font-weight:bold; font-size:12;" border="1" cellpadding="0" cellspacing="0" width="600">)"
        R"(<tr><td width="600" colspan="3" height="40" align="center" valign="middle" colspan="4" style="font-family:Arial; font-weight:bold; font-size:18px;">Filament, kV Calibration Data</td></tr>)"
        R"(<tr><td width="200" rowspan="8" align=center valign=middle>Filament Calibration</td><td width="300">Small Focus Preheat Level</td><td width="100">10</td></tr>)"
        R"(<tr><td width="300">Small Focus Preheat Range</td><td width="100">30</td></tr>)"
        R"(<tr><td width="300">Large Focus Preheat Level</td><td width="100">20</td></tr>)"
        R"(<tr><td width="300">Large Focus Preheat Range</td><td width="100">40</td></tr>)"
        R"(<tr><td width="300">Prepare Low</td><td width="100">50</td></tr>)"
        R"(<tr><td width="300">Prepare High</td><td width="100">60</td></tr>)"
        R"(<tr><td width="300">SCC Level</td><td width="100">70</td></tr>)"
        R"(<tr><td width="300">Boost Ratio</td><td width="100">80</td></tr>)"
        R"(<tr><td width="200" rowspan="2" align=center valign=middle>kV Calibration</td><td width="300">Low kV Offset</td><td width="100">-128</td></tr>)"
        R"(<tr><td width="300">High kV Offset</td><td width="100">127</td></tr>)"
        "</table>");
    out.clear();
    // AEC is the same template with other rows.
    Renderer(report).WriteAecTable(out);
    EXPECT_EQ(Matches(out, ">([^<]+)</td>"),
              "|AEC Calibration Data|AEC Channel 1|kV Tracking Curve|-7|kV Tracking Offset|-128"
              "|RLF 0.5s|1|RLF 1.0s|2|RLF 1.5s|3|AEC Channel 2|kV Tracking Curve|245"
              "|kV Tracking Offset|127|RLF 0.5s|4|RLF 1.0s|5|RLF 1.5s|6");
}

TEST(CalibrationTableTest, MaHistoryOneTablePerValidRecord) {
    ReportData report = SkippedReport();
    Set(report.m_HtInfo, 9, {1, 0x09, 0x12, 0x31, 12, 15, 230, 3, 7, 0});
    Set(report.m_HtInfo, 10, {21});
    Set(report.m_HtInfo, 11, {0});
    Set(report.m_HtInfo, 28, {20, 0x10, 0x01, 0x02, 99, 1, 2, 12, 34, 5});
    std::string out;
    Renderer(report).WriteMaCalibrationHistory(out);
    const std::string first =
        R"(<table border="1" style="font-family:Arial; font-weight:bold; font-size:12;" border="1" cellpadding="0" cellspacing="0" width="600"><tr>)"
        R"(<td width="600" colspan="2" height="40" align="center" valign="middle" colspan="4" style="font-family:Arial; font-weight:bold; font-size:18px;">Automatic mA Calibration History</td></tr>)"
        R"(<tr><td width="300">History Index</td><td width="300">0</td></tr>)"
        R"(<tr><td width="300">Date</td><td width="300">2009/12/31</td></tr>)"
        R"(<tr><td width="300">Tube Type</td><td width="300">RT-50 <i>HS</i></td></tr>)"
        R"(<tr><td width="300">Total Calibration Step</td><td width="300">15</td></tr>)"
        R"(<tr><td width="300">Total Exposure Count</td><td width="300">230</td></tr>)"
        R"(<tr><td width="300">Elapsed Time</td><td width="300">03:07</td></tr>)"
        R"(<tr><td width="300">Fail Condition Count</td><td width="300">0</td></tr>)"
        "</table>";
    ASSERT_EQ(out.substr(0, first.size()), first);
    EXPECT_EQ(Count(out, "<table"), 2u);
    EXPECT_THAT(out.substr(first.size()),
                HasSubstr(R"(<td width="300">History Index</td><td width="300">19</td>)"));
}

TEST(CalibrationTableTest, FocusTablesFlagsAndOffsetValues) {
    ReportData report = SkippedReport();
    Set(report.m_HtInfo, 29, {0, 1, 0xD0, 0x07, 1, 0, 0, 2, 5, 5});
    Set(report.m_HtInfo, 30, {0, 1, 0x10, 0x27, 0, 9, 9, 255, 9, 9});
    std::string out;
    Renderer(report).WriteFocusCalibrationTables(out);
    const std::string head =
        R"(<table style="font-family:Arial; font-weight:bold; font-size:12;" border="1" cellpadding="0" cellspacing="0" width="600"> )"
        R"(<tr><td width="600" colspan="7" height="40" align="center" valign="middle" style="font-family:Arial; font-weight:bold; font-size:18px;"><p>Small Focus Calibration Table</p></td></tr>)"
        R"(<tr><td width="120" align="center" valign="middle"><p>SMALL</p></td>)"
        R"(<td width="80"  align="center" valign="middle"><p>40</p></td><td width="80"  align="center" valign="middle"><p>50</p></td>)"
        R"(<td width="80"  align="center" valign="middle"><p>60</p></td><td width="80"  align="center" valign="middle"><p>80</p></td>)"
        R"(<td width="80"  align="center" valign="middle"><p>100</p></td><td width="80"  align="center" valign="middle"><p>120</p></td></tr>)"
        R"(<tr><td width="120"align="center" valign="middle"><p>10</p></td>)"
        R"(<td width="80" align="center" valign="middle"><p>0</p></td><td width="80" align="center" valign="middle"><p>-2000</p></td>)"
        R"(<td width="80" align="center" valign="middle"><p>&nbsp;</p></td><td width="80" align="center" valign="middle"><p>8000</p></td>)"
        R"(<td width="80" align="center" valign="middle"><p>&nbsp;</p></td><td width="80" align="center" valign="middle"><p>&nbsp;</p></td></tr>)"
        R"(<tr><td width="120"align="center" valign="middle"><p>12.5</p></td>)";
    EXPECT_EQ(out.substr(0, head.size()), head);
    EXPECT_EQ(Count(out, "<p>LARGE</p>"), 1u);
    EXPECT_EQ(Count(out, "<tr>"), 2u * 23u);
    EXPECT_EQ(out.substr(out.size() - 13), "</tr></table>");
}

// The service center compares reports by these values: each must be the
// value the page shows, in the page's order, under the page's names.
TEST(CalibrationTableTest, ValuesAreListedAsThePageShowsThem) {
    ReportData report = SkippedReport();
    Set(report.m_HtInfo, 7, {40, 45, 10, 12, 20, 30, 50, 60, 100, 131});
    Set(report.m_HtInfo, 8, {14, 130, 100, 101, 102, 14, 126, 103, 104, 105});
    Set(report.m_HtInfo, 9, {1, 0x09, 0x12, 0x31, 12, 15, 230, 3, 7, 0});
    Set(report.m_HtInfo, 29, {0, 1, 0xD0, 0x07, 1, 0, 0, 2, 5, 5});
    const std::string page = RenderHtml(report, Definitions());
    const auto values = CalibrationValues::Read(report, Definitions());
    ASSERT_EQ(values.size(), 10u + 10u + 20u * 7u + 2u * 21u * 6u);

    std::size_t at = 0;
    for (const auto& value : values) {
        if (value.text.empty()) {
            continue;
        }
        const std::size_t found = page.find(">" + value.text + "<", at);
        ASSERT_NE(found, std::string::npos) << value.table << ", " << value.item;
        at = found;
    }
    const auto find = [&](const std::string& table, const std::string& item) {
        for (const auto& value : values) {
            if (value.table == table && value.item == item) {
                return value.text;
            }
        }
        return std::string("(not listed)");
    };
    EXPECT_EQ(find("Filament, kV Calibration Data", "kV Calibration, Low kV Offset"), "-28");
    EXPECT_EQ(find("AEC Calibration Data", "AEC Channel 2, kV Tracking Curve"), "4");
    EXPECT_EQ(find("Automatic mA Calibration History", "slot 1, Tube Type"), "RT-50 <i>HS</i>");
    EXPECT_EQ(find("Automatic mA Calibration History", "slot 2, Date"), "");
    EXPECT_EQ(find("Small Focus Calibration Table", "10 mA, 50 kV"), "-2000");
    EXPECT_EQ(find("Small Focus Calibration Table", "10 mA, 60 kV"), "");
    EXPECT_EQ(find("Large Focus Calibration Table", "1000 mA, 120 kV"), "");
}

TEST(LogTableTest, ErrorEntryWholeTable) {
    ReportData report = SkippedReport();
    Set(report.m_HtInfo, 113, {7, 0x1A, 0x05, 0x00, 0x26, 0x03, 0x15, 0x09, 0x41, 0x30});
    Set(report.m_HtInfo, 114, {80, 13, 17, 1, 0x04, 2, 5, 18, 1, 37});
    std::string out;
    Renderer(report).WriteErrorTable(out, 113);
    EXPECT_EQ(
        out,
        R"(<table style="font-family:Arial; font-weight:bold; font-size:12px;" border="1" cellpadding="0" cellspacing="0" width="600"> )"
        R"(<tr> <td width="600" height="40" align="center" valign="middle" colspan="6" style="font-family:Arial; font-weight:bold; font-size:18px;"> <p>Error Infomation</p> </td> </tr> )"
        R"(<tr> <td width="200" colspan="2"> <p>Log Index</p> </td> <td width="400" colspan="4"> <p>7</p> </td> </tr> )"
        "<tr> <td width=\"200\" colspan=\"2\"> <p>Error 0</p> </td> <td width=\"400\" "
        "colspan=\"4\"> <p>1A\tTube overheated</p> </td> </tr> "
        "<tr> <td width=\"200\" colspan=\"2\"> <p>Error 1</p> </td> <td width=\"400\" "
        "colspan=\"4\"> <p>05\t<b>Door</b> open</p> </td> </tr> "
        "<tr> <td width=\"200\" colspan=\"2\"> <p>Error 2</p> </td> <td width=\"400\" "
        "colspan=\"4\"> <p>00\t</p> </td> </tr> "
        R"(<tr> <td width="100"> <p>Date</p> </td> <td width="200" colspan="2"> <p>2026/03/15</p> </td> <td width="100"> <p>Time</p> </td> <td width="200" colspan="2"> <p>09:41:30</p> </td> </tr> )"
        R"(<tr> <td width="100"> <p>kV</p> </td> <td width="100"> <p>80 kV</p> </td> <td width="100"> <p>mA</p> </td> <td width="100"> <p>200mA</p> </td> <td width="100"> <p>Time</p> </td> <td width="100"> <p>100ms</p> </td> </tr> )"
        R"(<tr> <td width="100"> <p>Bucky</p> </td> <td width="200" colspan="2"> <p>BUCKY 1</p> </td> <td width="100"> <p>Ext. Device</p> </td> <td width="200" colspan="2"> <p>DR1</p> </td> </tr> )"
        R"(<tr> <td width="100"> <p>AEC Screen</p> </td> <td width="100"> <p>MEDIUM</p> </td> <td width="100"> <p>AEC Field</p> </td> <td width="100"> <p>L(O),C(X),R(O)</p> </td> <td width="100"> <p>AEC Density</p> </td> <td width="100"> <p>0</p> </td> </tr> )"
        "<tr> <td width=\"100\"> <p>APR Condition</p> </td> <td width=\"200\" colspan=\"2\"> "
        "<p>Skull - AP\t\t\t   </p> </td> <td width=\"100\"> <p>HU</p> </td> <td width=\"200\" "
        "colspan=\"2\"> <p>37 %</p> </td> </tr> "
        "</table> ");
}

TEST(LogTableTest, ProtocolBlockNumbersPositionsWithinTheBlockEmptyBlockKeepsItsHeading) {
    ReportData report = SkippedReport();
    Set(report.m_HtInfo, 6, {0, 0, 0, 0, 0, 0, 0, 0, 3, 3});
    Set(report.m_CmdInfo, 25, {1, 1, 0x11, 0x11, 0x11, 0x01});  // block 0, not shown for block 1
    Set(report.m_CmdInfo, 29, {9, 9, 0x23, 0x59, 0x07, 0x1A, 0x00, 0x0A, 0xFE, 0xFF});
    Set(report.m_CmdInfo, 50, {0, 0, 0x08, 0x00, 0x01, 0x05, 0xFF, 0, 0, 0});
    Set(report.m_CmdInfo, 51, {0, 0, 0x08, 0x00, 0x01, 0x05, 0x01, 0, 0, 0});  // block 2
    std::string out;
    Renderer(report).WriteProtocolTable(out, 1);
    EXPECT_EQ(
        out,
        R"(<table style="font-family:Arial; font-weight:bold; font-size:12;" border="1" cellpadding="0" cellspacing="0" width="600"> )"
        R"(<tr> <td width="600" height="24" align="center" valign="middle" colspan="8"> <p>Protocol</p> </td> </tr> )"
        R"(<tr> <td width="50"> <p>Index</p> </td> <td width="300" align="center" colspan="2"> <p>Command</p> </td> <td width="50"> <p>Addr</p> </td> <td width="50"> <p>Data1</p> </td> <td width="50"> <p>Data2</p> </td> <td width="50"> <p>Data3</p> </td> <td width="50"> <p>Time</p> </td> </tr> )"
        R"(<tr> <td width="50"> <p>3</p> </td> <td width="50"> <p>1A</p> </td> <td width="250"> <p>Set clock</p> </td> <td width="50"> <p>00</p> </td> <td width="50"> <p>0A</p> </td> <td width="50"> <p>FE</p> </td> <td width="50"> <p>&nbsp;</p> </td> <td width="50"> <p>23:59:07</p> </td> </tr> )"
        R"(<tr> <td width="50"> <p>24</p> </td> <td width="50"> <p>05</p> </td> <td width="250"> <p></p> </td> <td width="50"> <p>FF</p> </td> <td width="50"> <p>00</p> </td> <td width="50"> <p>00</p> </td> <td width="50"> <p>00</p> </td> <td width="50"> <p>08:00:01</p> </td> </tr> )"
        "</table> ");
    Set(report.m_CmdInfo, 51, {0, 0, 0, 0, 0, 255});
    std::string empty;
    Renderer(report).WriteProtocolTable(empty, 2);
    EXPECT_EQ(Count(empty, "<tr>"), 2u);
    EXPECT_EQ(empty.substr(empty.size() - 15), "</tr> </table> ");
}

// Texts from a report file or the generator must never become markup.
TEST(HtmlEscapingTest, ForeignTextsAreEscapedControlCharactersBecomeReferences) {
    ReportData report = SkippedReport();
    Set(report.m_HtInfo, 1, {0});
    report.m_SiteInfo.m_strHospital = "<script>alert('x')</script>";
    report.m_SiteInfo.m_strEngName = "Smith & \"Sons\"";
    report.m_SiteInfo.m_strAddress = "12 Harbour Road, Hamburg 20457 / Room #2 (50%)";
    report.m_strDate = "<b>2026</b>";
    // Control characters would break the page's one line; they show as
    // numeric references. The definitions' texts (the tab after an error
    // code) stay as they are.
    Set(report.m_HtInfo, 3, {'V', 'K', 0x0A, '1', 0x0D, '2', 0x7F, '3', 0x1B, '4'});
    Set(report.m_HtInfo, 4, {0x26, 0x01, 0x02, 0, 0, 0, 'v', '1', 0x09, '2'});
    report.m_SiteInfo.m_strComment = "line\x01one\x1Ftwo";
    report.m_strTime = "12:00\r";
    report.m_strConsoleVersion = "V1<2\n";
    Set(report.m_HtInfo, 6, {0, 0, 0, 0, 0, 0, 0, 0, 1, 0});
    Set(report.m_HtInfo, 113, {0, 0x1A});
    const std::string html = RenderHtml(report, Definitions());
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    EXPECT_EQ(std::count_if(html.begin(), html.end(),
                            [](char c) { return (c >= 0 && c < 0x20 && c != '\t') || c == 0x7F; }),
              0);
    for (const char* text :
         {"<p>&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;</p>",
          "<p>Smith &amp; &quot;Sons&quot;</p>", "<p>&lt;b&gt;2026&lt;/b&gt; 12:00&#13;</p>",
          "<p>V1&lt;2&#10;</p>", "<p>12 Harbour Road, Hamburg 20457 / Room #2 (50%)</p>",
          "<p>VK&#10;1&#13;2&#127;3&#27;4</p>", "<p>line&#1;one&#31;two</p>", "v1&#9;2",
          "<p>1A\tTube overheated</p>"}) {
        EXPECT_THAT(html, HasSubstr(text)) << text;
    }
}

// Every ".VOK" in any case becomes ".html", so a page can never take a report file's name;
// the plain case is the rendering test's page name.
TEST(HtmlFileNameTest, EveryReportExtensionBecomesHtmlOtherNamesGetItAppended) {
    EXPECT_EQ(HtmlReportFile::HtmlFileName("a.VOK.vok"), "a.html.html");
    EXPECT_EQ(HtmlReportFile::HtmlFileName("a.VOKb"), "a.htmlb");
    EXPECT_EQ(HtmlReportFile::HtmlFileName("page.html"), "page.html.html");
}

class HtmlReportFileTest : public ::testing::Test {
protected:
    test::TempDir dir;
    DataFolder folder{dir.path() / "DIAGNOSIS"};
    void SetUp() override { std::filesystem::create_directory(folder.Root()); }

    // A report file as a finished diagnosis writes it: a site, the system
    // information and one error entry with its protocol block.
    std::string WriteDiagnosis() {
        SiteInfo site;
        site.m_strHospital = "St. Mary Regional Hospital";
        DiagnosisData data;
        data.Clear();
        data.m_HtInfo[1].params = {1, 13, 3, 2, 0x21, 0x0B, 5, 2, 4, 68};
        data.m_HtInfo[3].params = {'V', 'K', '1', '2', '3', '4', '5', '6', '7', '8'};
        data.m_HtInfo[6].params = {0x10, 0x27, 0, 0, 0x64, 0, 0, 2, 1, 1};
        data.m_HtInfo[113].params = {0, 0x1A, 0, 0, 0x26, 0x01, 0x02, 0x10, 0x20, 0x30};
        data.m_CmdInfo[1].params = {0, 0, 0x10, 0x20, 0x30, 0x07, 0x01, 0x02, 0x03, 0xFF};
        const Result<WrittenReport> written =
            ReportFileWriter::WriteReportFile(folder.ReportFolder(), site, data, 1'700'000'000);
        EXPECT_TRUE(written.ok());
        return written->m_strReportPath;
    }
};

TEST_F(HtmlReportFileTest, DiagnosisReportRenderedBesideItWithTheDefinitionsAsTheyAreNow) {
    dir.Write("DIAGNOSIS/CFG/VOK.DEFINE",
              "[ERROR]\nCODE_0X1A=Tube overheated\n[COMMAND]\nCOMMAND_07=Select workstation\n");
    const std::string report = WriteDiagnosis();

    const Result<std::string> html = HtmlReportFile::RenderReportFile(report, folder);
    ASSERT_TRUE(html.ok()) << html.error();
    EXPECT_EQ(*html, std::filesystem::path(report).replace_extension(".html").string());
    const std::string page = test::ReadAll(*html);
    for (const char* text :
         {"<p>St. Mary Regional Hospital</p>", "<p>VK12345678</p>", "<p>10,000 HU</p>",
          "<p>1A\tTube overheated</p>", "<p>Select workstation</p>"}) {
        EXPECT_THAT(page, HasSubstr(text)) << text;
    }
    dir.Write("DIAGNOSIS/CFG/VOK.DEFINE", "[ERROR]\nCODE_0X1A=second\n");
    ASSERT_TRUE(HtmlReportFile::RenderReportFile(report, folder).ok());
    EXPECT_THAT(test::ReadAll(*html), HasSubstr("<p>1A\tsecond</p>"));
}

// Only a missing or empty file or an older page of ours is replaced; never the
// report itself, nor any other file a mistyped path names.
TEST_F(HtmlReportFileTest, OnlyMissingEmptyOrOlderPagesOfOursAreReplaced) {
    const std::string report = WriteDiagnosis();
    const std::string before = test::ReadAll(report);
    EXPECT_FALSE(
        HtmlReportFile::RenderReportFile(report, report, folder.DefineFile().string()).ok());
    const std::string viaDots = (std::filesystem::path(report).parent_path() / "." /
                                 std::filesystem::path(report).filename())
                                    .string();
    EXPECT_FALSE(HtmlReportFile::RenderReportFile(report, viaDots, "").ok());
    EXPECT_EQ(test::ReadAll(report), before);
    const std::string config = dir.Write("CONFIG.ini", "[USER]\nHOSPITAL=St. Mary\n");
    EXPECT_FALSE(HtmlReportFile::RenderReportFile(report, config, "").ok());
    EXPECT_EQ(test::ReadAll(config), "[USER]\nHOSPITAL=St. Mary\n");

    const std::string empty = dir.Write("empty.html", "");
    EXPECT_TRUE(HtmlReportFile::RenderReportFile(report, empty, "").ok());
    const std::string page = dir.Write(
        "page.html", "<html><head><title>VOK Diagnosis Report</title>" + std::string(500'000, 'x'));
    ASSERT_TRUE(HtmlReportFile::RenderReportFile(report, page, "").ok());
    const std::string text = test::ReadAll(page);
    EXPECT_EQ(text.rfind("<html>", 0), 0u);
    EXPECT_EQ(text.find(std::string(10, 'x')), std::string::npos);
}

// Nothing at the page's name is written through or opened in a way that can
// block: a link (to a file elsewhere or to nothing) and a FIFO are refused and
// left as they are, and so is what they point to.
TEST_F(HtmlReportFileTest, LinksAndFifosAtThePageNameAreLeftAloneAndReported) {
    const std::string report = WriteDiagnosis();
    const std::string page = std::filesystem::path(report).replace_extension(".html");
    const std::string secret =
        dir.Write("secret", "<html><head><title>VOK Diagnosis Report</title>");
    enum Planted { kLinkToAPage, kDanglingLink, kFifo };
    for (const Planted planted : {kLinkToAPage, kDanglingLink, kFifo}) {
        std::filesystem::remove(page);
        switch (planted) {
            case kLinkToAPage:
                std::filesystem::create_symlink(secret, page);
                break;
            case kDanglingLink:
                std::filesystem::create_symlink(dir.File("made"), page);
                break;
            case kFifo:
                ::mkfifo(page.c_str(), 0600);
                break;
        }
        const Result<std::string> html = HtmlReportFile::RenderReportFile(report, folder);
        ASSERT_FALSE(html.ok()) << planted;
        EXPECT_THAT(html.error(), HasSubstr(page)) << planted;
        EXPECT_THAT(html.error(), HasSubstr("nothing was written")) << planted;
        EXPECT_FALSE(std::filesystem::is_regular_file(std::filesystem::symlink_status(page)));
    }
    EXPECT_EQ(test::ReadAll(secret), "<html><head><title>VOK Diagnosis Report</title>");
    EXPECT_FALSE(std::filesystem::exists(dir.File("made")));
}

// On a full disk the page shown before stays whole, and nothing half-written
// is left beside it.
TEST_F(HtmlReportFileTest, OldPageStaysUntilTheNewOneIsComplete) {
    const std::string report = WriteDiagnosis();
    const Result<std::string> html = HtmlReportFile::RenderReportFile(report, folder);
    ASSERT_TRUE(html.ok());
    const std::string before = test::ReadAll(*html);
    Result<std::string> again = *html;
    {
        const test::FileSizeLimit full(8192);
        again = HtmlReportFile::RenderReportFile(report, folder);
    }
    ASSERT_FALSE(again.ok());
    EXPECT_EQ(again.error(), "Cannot write the HTML report " + *html + ": File too large");
    EXPECT_EQ(test::ReadAll(*html), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.ReportFolder()),
                            std::filesystem::directory_iterator()),
              2);
}

// Input files that are not regular files or are too large are refused at once
// with the file named; a missing definition file only leaves texts empty.
TEST_F(HtmlReportFileTest, ReportAndDefinitionFilesThatCannotBeReadAreNamed) {
    const std::string report = WriteDiagnosis();
    const std::string huge = dir.Write("huge.VOK", "");
    ASSERT_EQ(::truncate(huge.c_str(), 64 * 1024 * 1024 + 1), 0);
    const std::string fifo = dir.File("fifo.VOK");
    ::mkfifo(fifo.c_str(), 0600);
    struct Case {
        std::string reportFile, defineFile, error;
    };
    for (const Case& c : {
             Case{fifo, "", "Cannot read the report file " + fifo + ": not a regular file"},
             Case{huge, "", "Cannot read the report file " + huge + ": larger than 64 MiB"},
             Case{report, fifo, "Cannot read the definition file " + fifo + ": not a regular file"},
         }) {
        const Result<std::string> html =
            HtmlReportFile::RenderReportFile(c.reportFile, dir.File("page.html"), c.defineFile);
        ASSERT_FALSE(html.ok()) << c.error;
        EXPECT_EQ(html.error(), c.error);
        EXPECT_FALSE(std::filesystem::exists(dir.File("page.html")));
    }
    EXPECT_TRUE(
        HtmlReportFile::RenderReportFile(report, dir.File("page.html"), dir.File("none")).ok());
}

}  // namespace
}  // namespace vok
