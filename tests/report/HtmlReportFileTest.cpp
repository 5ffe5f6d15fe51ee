#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "report/ReportFileWriter.h"
#include "report/ReportRenderer.h"
#include "support/TempDir.h"

namespace vok {
namespace {

using ::testing::HasSubstr;

// Every ".VOK" in any case becomes ".html", so a page can never take a report file's name.
TEST(HtmlFileNameTest, EveryReportExtensionBecomesHtmlOtherNamesGetItAppended) {
    EXPECT_EQ(ReportRenderer::HtmlFileName("REPORT_NONE_20090714_141707.VOK"),
              "REPORT_NONE_20090714_141707.html");
    EXPECT_EQ(ReportRenderer::HtmlFileName("a.VOK.vok"), "a.html.html");
    EXPECT_EQ(ReportRenderer::HtmlFileName("a.VOKb"), "a.htmlb");
    EXPECT_EQ(ReportRenderer::HtmlFileName("page.html"), "page.html.html");
    EXPECT_EQ(ReportRenderer::HtmlFileName(""), ".html");
}

class HtmlReportFileTest : public ::testing::Test {
protected:
    test::TempDir dir;
    DataFolder folder{dir.path() / "DIAGNOSIS"};

    // A report file as a finished diagnosis writes it: a site, the system
    // information and one error entry with its protocol block.
    std::string WriteDiagnosis() {
        SiteInfo site;
        site.m_strHospital = "St. Mary Regional Hospital";
        DiagnosisData data;
        data.Clear();
        data.m_strSerial = "VK12345678";
        data.m_HtInfo[1].params = {1, 13, 3, 2, 0x21, 0x0B, 5, 2, 4, 68};
        for (std::size_t n = 0; n < kParamCount; ++n) {
            data.m_HtInfo[3].params[n] = static_cast<std::uint8_t>(data.m_strSerial[n]);
        }
        data.m_HtInfo[6].params = {0x10, 0x27, 0, 0, 0x64, 0, 0, 2, 1, 1};
        data.m_HtInfo[113].params = {0, 0x1A, 0, 0, 0x26, 0x01, 0x02, 0x10, 0x20, 0x30};
        data.m_CmdInfo[1].params = {0, 0, 0x10, 0x20, 0x30, 0x07, 0x01, 0x02, 0x03, 0xFF};
        const Result<WrittenReport> written =
            ReportFileWriter::WriteReportFile(folder.ReportFolder(), site, data, 1'700'000'000);
        EXPECT_TRUE(written.ok());
        return written->m_strReportPath;
    }

    void InstallDefinitions(const std::string& text) {
        dir.Write("DIAGNOSIS/CFG/VOK.DEFINE", text);
    }
};

TEST_F(HtmlReportFileTest, DiagnosisReportRenderedBesideItWithTheDefinitionsAsTheyAreNow) {
    InstallDefinitions(
        "[ERROR]\nCODE_0X1A=Tube overheated\n[COMMAND]\nCOMMAND_07=Select workstation\n");
    const std::string report = WriteDiagnosis();
    const std::string reportBytes = test::ReadAll(report);

    const Result<std::string> html = ReportRenderer::RenderReportFile(report, folder);
    ASSERT_TRUE(html.ok()) << html.error();
    EXPECT_EQ(*html, std::filesystem::path(report).replace_extension(".html").string());
    EXPECT_EQ(test::ReadAll(report), reportBytes);
    const std::string page = test::ReadAll(*html);
    EXPECT_EQ(page.substr(page.size() - 14), "</body></html>");
    for (const char* text :
         {"<p>St. Mary Regional Hospital</p>", "<p>VK12345678</p>", "<p>10,000 HU</p>",
          "<p>1A\tTube overheated</p>", "<p>Select workstation</p>"}) {
        EXPECT_THAT(page, HasSubstr(text)) << text;
    }
    InstallDefinitions("[ERROR]\nCODE_0X1A=second\n");
    ASSERT_TRUE(ReportRenderer::RenderReportFile(report, folder).ok());
    EXPECT_THAT(test::ReadAll(*html), HasSubstr("<p>1A\tsecond</p>"));
}

TEST_F(HtmlReportFileTest, PageNeverTakesTheReportsPlace) {
    const std::string report = WriteDiagnosis();
    const std::string before = test::ReadAll(report);
    EXPECT_FALSE(
        ReportRenderer::RenderReportFile(report, report, folder.DefineFile().string()).ok());
    const std::string viaDots = (std::filesystem::path(report).parent_path() / "." /
                                 std::filesystem::path(report).filename())
                                    .string();
    EXPECT_FALSE(ReportRenderer::RenderReportFile(report, viaDots, "").ok());
    EXPECT_EQ(test::ReadAll(report), before);
}

TEST_F(HtmlReportFileTest, OnlyMissingEmptyOrOlderPagesOfOursAreReplaced) {
    const std::string report = WriteDiagnosis();
    const std::string config = dir.Write("CONFIG.ini", "[USER]\nHOSPITAL=St. Mary\n");
    EXPECT_FALSE(ReportRenderer::RenderReportFile(report, config, "").ok());
    EXPECT_EQ(test::ReadAll(config), "[USER]\nHOSPITAL=St. Mary\n");
    // A report file that carries the page's name stays as it is.
    std::filesystem::copy_file(report, folder.ReportFolder() / "R.html");
    const std::string other = (folder.ReportFolder() / "R.VOK").string();
    std::filesystem::copy_file(report, other);
    EXPECT_FALSE(ReportRenderer::RenderReportFile(other, folder).ok());
    EXPECT_EQ(test::ReadAll((folder.ReportFolder() / "R.html").string()), test::ReadAll(report));

    const std::string empty = dir.Write("empty.html", "");
    EXPECT_TRUE(ReportRenderer::RenderReportFile(report, empty, "").ok());
    const std::string page = dir.Write(
        "page.html", "<html><head><title>VOK Diagnosis Report</title>" + std::string(500'000, 'x'));
    ASSERT_TRUE(ReportRenderer::RenderReportFile(report, page, "").ok());
    const std::string text = test::ReadAll(page);
    EXPECT_EQ(text.rfind("<html>", 0), 0u);
    EXPECT_EQ(text.find(std::string(10, 'x')), std::string::npos);
}

TEST_F(HtmlReportFileTest, UnreadableReportOrUnwritablePageIsAnError) {
    const Result<std::string> missing =
        ReportRenderer::RenderReportFile(dir.File("NONE.VOK"), folder);
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().find("NONE.VOK"), std::string::npos);
    std::filesystem::create_directories(dir.path() / "FOLDER.VOK");
    EXPECT_FALSE(ReportRenderer::RenderReportFile(dir.File("FOLDER.VOK"), folder).ok());
    const Result<std::string> unwritable = ReportRenderer::RenderReportFile(
        WriteDiagnosis(), dir.File("no/such/folder/page.html"), folder.DefineFile().string());
    ASSERT_FALSE(unwritable.ok());
    EXPECT_NE(unwritable.error().find("page.html"), std::string::npos);
}

}  // namespace
}  // namespace vok
