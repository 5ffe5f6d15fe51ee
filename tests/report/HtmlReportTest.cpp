#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "ReportSample.h"
#include "platform/AtomicFile.h"
#include "report/CalibrationValues.h"
#include "report/HtmlReportFile.h"
#include "report/RenderHtml.h"
#include "report/ReportFileReader.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

namespace vok {
namespace {

using test::Set;
using ::testing::HasSubstr;

// Definition texts hold markup, which the page takes as it is.
const std::string kDefine =
    "[ERROR]\nCODE_0X1A=Tube overheated\nCODE_0X05=<b>Door</b> open\n"
    "[COMMAND]\nCOMMAND_26=Set clock\n"
    "[TUBE]\nTUBE_12=RT-50 <i>HS</i>\n";

const DefinitionFile& Definitions() {
    static const DefinitionFile definitions = DefinitionFile::Parse(kDefine);
    return definitions;
}

// The title of every table on the page, each after a "|": the text of each
// table's first cell.
std::string TableTitles(const std::string& html) {
    std::string found;
    const std::regex re(R"(<table[^>]*>\s*<tr>\s*<td[^>]*>\s*(?:<p>)?([^<]*))");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), re); it != std::sregex_iterator();
         ++it) {
        found += "|" + (*it)[1].str();
    }
    return found;
}

class HtmlReportFileTest : public ::testing::Test {
protected:
    test::TempDir dir;
    DataFolder folder{dir.path() / "DIAGNOSIS"};
    std::string report;

    void SetUp() override {
        dir.Write("DIAGNOSIS/CFG/VOK.DEFINE", kDefine);
        const Result<WrittenReport> written = test::ReportSample().Write(folder.ReportFolder());
        ASSERT_TRUE(written.ok()) << written.error();
        report = written->m_strReportPath;
    }
};

// Every table's markup byte for byte. The golden page breaks before each
// table and row (and its blank) only for reading; the page is one line. After
// a deliberate change, run with VOK_UPDATE_GOLDEN=1 and review the diff.
TEST_F(HtmlReportFileTest, PageOfAFullDiagnosisMatchesTheGoldenPage) {
    const Result<std::string> html = HtmlReportFile::RenderReportFile(report, folder);
    ASSERT_TRUE(html.ok()) << html.error();
    EXPECT_EQ(*html, std::filesystem::path(report).replace_extension(".html").string());
    const std::string page = test::ReadAll(*html);
    ASSERT_EQ(page.find_first_of("\r\n"), std::string::npos);
    const std::string golden = VOK_REPORT_TEST_DATA "/page.html";
    if (std::getenv("VOK_UPDATE_GOLDEN") != nullptr) {
        const Status updated = AtomicFile::Write(
            golden, std::regex_replace(page, std::regex(" ?<t(able|r)"), "\n$&") + "\n");
        ASSERT_TRUE(updated) << golden << ": " << updated.error();
    }
    std::istringstream expected(test::ReadAll(golden));
    std::size_t at = 0;
    int n = 1;
    for (std::string line; std::getline(expected, line); at += line.size(), ++n) {
        ASSERT_EQ(page.substr(at, line.size()), line) << "golden line " << n;
    }
    EXPECT_EQ(at, page.size());

    // The definitions are read as they are at each rendering.
    dir.Write("DIAGNOSIS/CFG/VOK.DEFINE", "[ERROR]\nCODE_0X1A=second\n");
    ASSERT_TRUE(HtmlReportFile::RenderReportFile(report, folder).ok());
    EXPECT_THAT(test::ReadAll(*html), HasSubstr("<p>1A\tsecond</p>"));
}

// Error entries i and protocol blocks i alternate; a block needs i below both
// counts, an entry only its own records. Counts beyond the logs' capacity
// show what exists: 50 entries, 9 blocks. The system table needs a max kV.
TEST(LogOrderTest, EntriesAndBlocksAlternateWhileBothCountsLastUpToTheLogsCapacity) {
    const std::string always =
        "|User Infomation|Service Infomation|Filament, kV Calibration Data|AEC Calibration Data"
        "|Small Focus Calibration Table|Large Focus Calibration Table";
    const std::string E = "|Error Infomation";
    const std::string P = "|Protocol";
    std::string capped;
    ReportData report;
    for (int i = 0; i < 50; ++i) {
        capped += i < 9 ? E + P : E;
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
        EXPECT_EQ(TableTitles(RenderHtml(shown, Definitions())), always + c.titles)
            << c.messages << " " << c.protocols << " " << c.missing;
    }
}

// Texts from a report file or the generator must never become markup.
TEST(HtmlEscapingTest, ForeignTextsAreEscapedControlCharactersBecomeReferences) {
    ReportData report;
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

// The service center compares reports by these values: each must be the
// value the page shows, in the page's order, under the page's names.
TEST_F(HtmlReportFileTest, CalibrationValuesAreListedAsThePageShowsThem) {
    const ReportData data = ReportFileReader::ReadReportFile(report);
    const std::string page = RenderHtml(data, Definitions());
    const auto values = CalibrationValues::Read(data, Definitions());
    ASSERT_EQ(values.size(), 10u + 10u + 20u * 7u + 2u * 21u * 6u);
    std::map<std::string, std::string> byName;
    std::size_t at = 0;
    for (const auto& value : values) {
        byName[value.table + ": " + value.item] = value.text;
        if (!value.text.empty()) {
            const std::size_t found = page.find(">" + value.text + "<", at);
            ASSERT_NE(found, std::string::npos) << value.table << ", " << value.item;
            at = found;
        }
    }
    EXPECT_EQ(byName.at("Filament, kV Calibration Data: kV Calibration, Low kV Offset"), "-128");
    EXPECT_EQ(byName.at("AEC Calibration Data: AEC Channel 2, kV Tracking Curve"), "245");
    EXPECT_EQ(byName.at("Automatic mA Calibration History: slot 1, Tube Type"), "RT-50 <i>HS</i>");
    EXPECT_EQ(byName.at("Automatic mA Calibration History: slot 2, Date"), "");
    EXPECT_EQ(byName.at("Small Focus Calibration Table: 10 mA, 50 kV"), "-2000");
}

// Only a missing or empty file or an older page of ours is replaced, and only
// once the new page is complete. A link
// (to a page of ours or to nothing), a FIFO, the report itself by another
// spelling or any other file is refused and left as it is, and so is what a
// link points to; nothing is opened in a way that can block.
TEST_F(HtmlReportFileTest, OnlyMissingEmptyOrOlderPagesOfOursAreReplaced) {
    const std::string ours = "<html><head><title>VOK Diagnosis Report</title>";
    const std::string secret = dir.Write("secret", ours);
    const std::string linkToOurs = dir.File("link.html");
    std::filesystem::create_symlink(secret, linkToOurs);
    const std::string dangling = dir.File("dangling.html");
    std::filesystem::create_symlink(dir.File("made"), dangling);
    const std::string fifo = dir.File("fifo.html");
    ::mkfifo(fifo.c_str(), 0600);
    const std::string viaDots = (std::filesystem::path(report).parent_path() / "." /
                                 std::filesystem::path(report).filename())
                                    .string();
    const std::string foreign = dir.Write("foreign.html", "[USER]\nHOSPITAL=St. Mary\n");
    for (const std::string& target : {linkToOurs, dangling, fifo, viaDots, foreign}) {
        const Result<std::string> html = HtmlReportFile::RenderReportFile(report, target, "");
        ASSERT_FALSE(html.ok()) << target;
        EXPECT_THAT(html.error(), HasSubstr(target + " would replace "));
        EXPECT_THAT(html.error(), HasSubstr("nothing was written"));
    }
    EXPECT_EQ(test::ReadAll(secret), ours);
    EXPECT_FALSE(std::filesystem::exists(dir.File("made")));
    EXPECT_TRUE(std::filesystem::is_symlink(linkToOurs) && std::filesystem::is_symlink(dangling));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));

    for (const std::string& before : {std::string(), ours + std::string(500'000, 'x')}) {
        const std::string page = dir.Write("page.html", before);
        ASSERT_TRUE(HtmlReportFile::RenderReportFile(report, page, "").ok());
        EXPECT_EQ(test::ReadAll(page).rfind("<html>", 0), 0u);
        EXPECT_EQ(test::ReadAll(page).find(std::string(10, 'x')), std::string::npos);
    }
    // On a full disk the page shown before stays whole, and nothing
    // half-written is left beside it.
    const std::string page = dir.File("page.html");
    const std::string shown = test::ReadAll(page);
    Result<std::string> again = page;
    {
        const test::FileSizeLimit full(8192);
        again = HtmlReportFile::RenderReportFile(report, page, "");
    }
    ASSERT_FALSE(again.ok());
    EXPECT_EQ(again.error(), "Cannot write the HTML report " + page + ": File too large");
    EXPECT_EQ(test::ReadAll(page), shown);
    // The six planted or written files and DIAGNOSIS/.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              7);
}

// Input files that are not regular files or are too large are refused at once
// with the file named.
TEST_F(HtmlReportFileTest, ReportAndDefinitionFilesThatCannotBeReadAreNamed) {
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
}

}  // namespace
}  // namespace vok
