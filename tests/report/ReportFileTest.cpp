#include <gtest/gtest.h>
#include <sys/stat.h>

#include <utility>
#include <vector>

#include "ReportSample.h"
#include "platform/RegularFile.h"
#include "report/ReportFileReader.h"
#include "report/SiteConfig.h"
#include "support/TempDir.h"

namespace vok {
namespace {

using test::Set;

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    for (std::size_t pos; (pos = text.find("\r\n", begin)) != std::string::npos; begin = pos + 2) {
        lines.push_back(text.substr(begin, pos - begin));
    }
    EXPECT_EQ(begin, text.size()) << "text after the last CR LF";
    return lines;
}

// The name's form is the round trip's. A NUL inside the serial neither cuts the name nor survives
// into it. Bytes of 0x80 and up are no characters alone: an unprogrammed serial of 0xFF bytes still
// gives a name in plain ASCII.
TEST(ReportNameTest, FollowsTheSerialAndTheMomentWithUnsafeCharactersReplaced) {
    const std::tm t = test::Moment("2026-01-02 03:04:05");
    for (const auto& [serial, shown] : std::vector<std::pair<std::string, std::string>>{
             {"a/b\\c:d*e?\"<>|\x01\x7f", "a_b_c_d_e_______"},
             {std::string("AB\0CD", 5), "AB_CD"},
             {std::string(10, '\xFF'), std::string(10, '_')},
             {"A\x80\xC3\xA9Z~", "A___Z~"}}) {
        EXPECT_EQ(ReportFileWriter::ReportName(serial, t),
                  "REPORT_" + shown + "_20260102_030405.VOK");
    }
}

// Whatever someone who may write into REPORT/ planted there, the report goes
// only to its own name, as a file of its own; each failure says why.
TEST(ReportFileWriterTest, PlantedLinksAreNeverWrittenThroughAFolderAtTheNameSaysSo) {
    test::TempDir dir;
    const test::ReportSample sample;
    const std::string secret = dir.Write("secret", "root only");
    const std::filesystem::path folder = dir.path() / "REPORT";
    std::filesystem::create_directory(folder);
    const std::string name = "REPORT_VK12345678_20260131_090500.VOK";
    // The temporary names a writer might pick by rule, and the name itself.
    for (const std::string& planted : {"." + name + ".part", "." + name + ".tmp", name}) {
        std::filesystem::create_symlink(secret, folder / planted);
    }
    const auto written = sample.Write(folder);
    ASSERT_TRUE(written.ok()) << written.error();
    EXPECT_EQ(test::ReadAll(secret), "root only");
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(folder / name)));

    std::filesystem::remove(folder / name);
    std::filesystem::create_directory(folder / name);
    const auto onFolder = sample.Write(folder);
    ASSERT_FALSE(onFolder.ok());
    EXPECT_EQ(onFolder.error(), "Cannot write " + (folder / name).string() + ": Is a directory");
    // Nothing of either attempt is left beside the planted links.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator()),
              3);
}

// Written into a new folder under the report's name, line by line with CR LF,
// and read back whole; a second report of the same moment replaces the first.
TEST(ReportFileRoundTripTest, WritesTheHeadAndEveryRecordAndReadsThemBack) {
    test::TempDir dir;
    test::ReportSample sample;
    const auto written = sample.Write(dir.path() / "REPORT");
    ASSERT_TRUE(written.ok()) << written.error();
    EXPECT_EQ(written->m_strReportPath,
              (dir.path() / "REPORT" / "REPORT_VK12345678_20260131_090500.VOK").string());
    const std::string text = test::ReadAll(written->m_strReportPath);
    const std::vector<std::string> lines = SplitCrLf(text);
    ASSERT_EQ(lines.size(), 5280u);
    EXPECT_EQ(text.substr(0, text.find("[HT_INFO_001]")),
              "[DIAGNOSIS]\r\n\r\nDATE=2026/01/31\r\nTIME=09:05:00\r\n\r\n[SERVICE]\r\n\r\n"
              "UPDATE=OK\r\nMANUFACTURE=F0\r\nMODEL=F1\r\nDATE=F2\r\nSERIAL=F3\r\n"
              "DESCRIPTION=F4\r\nNAME=F5\r\nEMAIL=F6\r\nPHONE=F7\r\nFAX=F8\r\nHIS_DATE=F9\r\n"
              "CAUSE=F10\r\nACTION=F11\r\n\r\n[USER]\r\n\r\nHOSPITAL=F12\r\nADDRESS=F13\r\n"
              "NAME=F14\r\nEMAIL=F15\r\nPHONE=\r\nFAX=F17\r\nCOMMENT=F18\r\n\r\n"
              "[CONSOLE]\r\n\r\nINTERFACE=1\r\nVERSION=V2.10-K\r\n\r\n");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 36, lines.begin() + 40),
              (std::vector<std::string>{"[HT_INFO_001]", "PARAM01=1", "PARAM02=13", "PARAM03=5"}));
    EXPECT_EQ(lines[36 + 212 * 12], "[CMD_INFO_001]");
    EXPECT_EQ(lines[5280 - 12], "[CMD_INFO_225]");
    EXPECT_EQ(lines.back(), "");

    const ReportData back = ReportFileReader::ReadReportFile(written->m_strReportPath);
    // The service center reads uploads from memory: the same bytes, the same report.
    EXPECT_EQ(ReportFileReader::Parse(text)->m_HtInfo, back.m_HtInfo);
    EXPECT_EQ(ReportFileReader::Parse(text)->m_CmdInfo, back.m_CmdInfo);
    EXPECT_EQ(back.m_SiteInfo, sample.site);
    EXPECT_EQ(back.m_HtInfo, sample.data.m_HtInfo);
    EXPECT_EQ(back.m_CmdInfo, sample.data.m_CmdInfo);

    sample.data.m_HtInfo[5].params[0] = 42;
    ASSERT_TRUE(sample.Write(dir.path() / "REPORT").ok());
    EXPECT_EQ(ReportFileReader::ReadReportFile(written->m_strReportPath).m_HtInfo[5].params[0], 42);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "REPORT"),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(ReportFileWriterTest, LineBreaksInsideValuesCannotForgeSectionsOrKeys) {
    SiteInfo site;
    site.m_strComment = "first\r\n[HT_INFO_001]\nPARAM01=7\rlast";
    const std::string text =
        ReportFileWriter::Compose(site, {}, test::Moment("2020-01-01 00:00:00"));
    EXPECT_EQ(SplitCrLf(text).size(), 5280u);
    EXPECT_NE(text.find("\r\nCOMMENT=first [HT_INFO_001] PARAM01=7 last\r\n"), std::string::npos);
    // The version stays empty until its frame arrived.
    EXPECT_NE(text.find("\r\nINTERFACE=1\r\nVERSION=\r\n\r\n[HT_INFO_001]"), std::string::npos);
}

// Whatever a file holds reads as some report. The records come from one walk
// over the file, which must find what one lookup per printed key would and
// read values the way atoi does; texts are cut to the reader's sizes, the
// version counts only from interface 1, and anything missing is its default.
TEST(ReportFileReaderTest, ReadsAnyFileAsAReport) {
    const auto read = [](const std::string& text) {
        return ReportFileReader::ReadReportFile(ProfileFile::Parse(text));
    };
    const ReportData report = read(
        "[ht_info_001]\nparam01=1\nParam10=10\n[HT_INFO_2]\nPARAM01=2\n[HT_INFO_0003]\nPARAM01=3\n"
        "[HT_INFO_004]\nPARAM1=4\nPARAM001=4\nPARAM11=4\nPARAM00=4\nPARAM02=42\n"
        "[ CMD_INFO_225 ]\nPARAM05=5\n"
        "[HT_INFO_000]\nPARAM01=0\n[HT_INFO_213]\nPARAM01=0\n[CMD_INFO_226]\nPARAM01=0\n"
        "[HT_INFO_005]\nPARAM01=1\nparam01=2\n[HT_INFO_005]\nPARAM01=3\nPARAM02=4\n"
        "[HT_INFO_006]\nPARAM01=300\nPARAM02=-1\nPARAM03=abc\nPARAM04= 12xyz\nPARAM05=\n"
        "PARAM06=256\nPARAM07=99999999999\nPARAM08=+7\nPARAM09=" +
        std::string(79, '0') + "7\n[DIAGNOSIS]\nDATE=" + std::string(100, 'd') +
        "\n[USER]\nCOMMENT=" + std::string(400, 'c') + "\n[CONSOLE]\nINTERFACE= 1x\nVERSION=Q\n");
    ReportData expected;
    Set(expected.m_HtInfo, 1, {1, 255, 255, 255, 255, 255, 255, 255, 255, 10});
    Set(expected.m_HtInfo, 4, {255, 42});
    Set(expected.m_HtInfo, 5, {1});
    // 99999999999 saturates at INT_MAX, whose low byte is 255; only 79
    // characters of a value count.
    Set(expected.m_HtInfo, 6, {44, 255, 0, 12, 0, 0, 255, 7, 0});
    Set(expected.m_CmdInfo, 225, {255, 255, 255, 255, 5});
    EXPECT_EQ(report.m_HtInfo, expected.m_HtInfo);
    EXPECT_EQ(report.m_CmdInfo, expected.m_CmdInfo);
    EXPECT_EQ(report.m_strDate, std::string(79, 'd'));
    EXPECT_EQ(report.m_SiteInfo.m_strComment, std::string(254, 'c'));
    EXPECT_EQ(report.m_strConsoleVersion, "Q");
    EXPECT_EQ(read("[CONSOLE]\nINTERFACE=1\nVERSION=\n").m_strConsoleVersion, "");
    EXPECT_EQ(read("[CONSOLE]\nINTERFACE=2\nVERSION=ABC\n").m_strConsoleVersion, "&nbsp;");
    EXPECT_EQ(read("[CONSOLE]\nVERSION=ABC\n").m_strConsoleVersion, "&nbsp;");

    const ReportData missing = ReportFileReader::ReadReportFile("/nonexistent/REPORT.VOK");
    EXPECT_EQ(missing.m_strConsoleVersion, "&nbsp;");
    EXPECT_EQ(missing.m_CmdInfo, ReportData().m_CmdInfo);
    // The cap on report files holds for bytes read from memory too.
    const Result<ReportData> tooMuch =
        ReportFileReader::Parse(std::string(RegularFile::kMaxBytes + 1, '\n'));
    ASSERT_FALSE(tooMuch.ok());
    EXPECT_EQ(tooMuch.error(), "Cannot read the report: larger than 64 MiB");
}

// What CONFIG.ini reads as; how a profile file is read is the profile
// reader's own test. A file that is there and cannot be read is an error
// naming the file, for callers that tell the user (a missing one is no error:
// the acquire command's test). No read blocks.
TEST(SiteConfigTest, ReportReadsAllFieldsFormsOnlyTheirOwnUnreadableFileIsNamed) {
    const std::string example = VOK_EXAMPLES_DIR "/CONFIG.ini";
    const SiteInfo site = SiteConfig::LoadSiteInfo(example);
    for (std::size_t n = 0; n < kSiteFieldCount; ++n) {
        EXPECT_FALSE(site.Field(n).empty()) << "field " << n;
    }
    EXPECT_EQ(site.m_strComment, "Room 2 generator, tube warm-up done daily");
    // NAME, EMAIL, PHONE and FAX are keys of both sections; the typed-only
    // fields stay empty in the forms.
    const SiteInfo user = SiteConfig::ReadUserForm(example);
    EXPECT_EQ(user.m_strUserName, "Anna Becker");
    EXPECT_EQ(user.m_strComment, "");
    const SiteInfo service = SiteConfig::ReadServiceForm(example);
    EXPECT_EQ(service.m_strEngName, "Daniel Hartmann");
    EXPECT_EQ(service.m_strHisCause, "");
    EXPECT_EQ(service.m_strHisAction, "");

    test::TempDir dir;
    const std::string fifo = dir.File("fifo.ini");
    ::mkfifo(fifo.c_str(), 0600);
    for (const auto read : {SiteConfig::TryLoadSiteInfo, SiteConfig::TryReadUserForm,
                            SiteConfig::TryReadServiceForm}) {
        const Result<SiteInfo> unread = read(fifo);
        ASSERT_FALSE(unread.ok());
        EXPECT_EQ(unread.error(),
                  "Cannot read the site configuration file " + fifo + ": not a regular file");
    }
    EXPECT_EQ(SiteConfig::LoadSiteInfo(fifo), SiteInfo());
}

}  // namespace
}  // namespace vok
