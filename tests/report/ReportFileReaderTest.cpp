// The reader takes every record from one walk over the file; it must give
// exactly what one profile lookup per key gives, whatever the file holds.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "core/Constants.h"
#include "report/ReportFileReader.h"

namespace vok {
namespace {

// One lookup per key, the way a profile reader is asked.
std::uint8_t LookedUp(const ProfileFile& profile, const char* format, std::size_t k,
                      std::size_t n) {
    char section[32];
    char key[32];
    std::snprintf(section, sizeof section, format, static_cast<int>(k));
    std::snprintf(key, sizeof key, "PARAM%02d", static_cast<int>(n + 1));
    const std::string value = profile.Get(section, key, "255", kShortValueSize);
    return static_cast<std::uint8_t>(static_cast<unsigned>(std::atoi(value.c_str())));
}

void ExpectSameAsLookups(const std::string& text) {
    const ProfileFile profile = ProfileFile::Parse(text);
    const ReportData report = ReportFileReader::ReadReportFile(profile);
    for (std::size_t k = 1; k < kHtRecordCount; ++k) {
        for (std::size_t n = 0; n < kParamCount; ++n) {
            ASSERT_EQ(report.m_HtInfo[k].params[n], LookedUp(profile, "HT_INFO_%03d", k, n))
                << "HT " << k << " P" << n + 1;
        }
    }
    for (std::size_t k = 1; k < kCmdRecordCount; ++k) {
        for (std::size_t n = 0; n < kParamCount; ++n) {
            ASSERT_EQ(report.m_CmdInfo[k].params[n], LookedUp(profile, "CMD_INFO_%03d", k, n))
                << "CMD " << k << " P" << n + 1;
        }
    }
}

TEST(ReportFileWalkTest, NamesMatchOnlyAsTheyArePrinted) {
    const ProfileFile profile = ProfileFile::Parse(
        "[ht_info_001]\nparam01=1\nParam10=10\n"
        "[HT_INFO_2]\nPARAM01=2\n"
        "[HT_INFO_0003]\nPARAM01=3\n"
        "[HT_INFO_004]\nPARAM1=4\nPARAM001=4\nPARAM11=4\nPARAM00=4\nPARAM02=42\n"
        "[ CMD_INFO_225 ]\nPARAM05=5\n"
        "[HT_INFO_000]\nPARAM01=0\n[HT_INFO_213]\nPARAM01=0\n[CMD_INFO_226]\nPARAM01=0\n");
    const ReportData report = ReportFileReader::ReadReportFile(profile);
    EXPECT_EQ(report.m_HtInfo[1].params[0], 1);
    EXPECT_EQ(report.m_HtInfo[1].params[9], 10);
    EXPECT_EQ(report.m_HtInfo[2].params[0], 255);
    EXPECT_EQ(report.m_HtInfo[3].params[0], 255);
    EXPECT_EQ(report.m_HtInfo[4].params[0], 255);
    EXPECT_EQ(report.m_HtInfo[4].params[1], 42);
    EXPECT_EQ(report.m_CmdInfo[225].params[4], 5);
    EXPECT_EQ(report.m_HtInfo[0].params[0], 255);
}

TEST(ReportFileWalkTest, FirstSectionAndFirstKeyWin) {
    const ProfileFile profile = ProfileFile::Parse(
        "[HT_INFO_005]\nPARAM01=1\nparam01=2\n[HT_INFO_005]\nPARAM01=3\nPARAM02=4\n");
    const ReportData report = ReportFileReader::ReadReportFile(profile);
    EXPECT_EQ(report.m_HtInfo[5].params[0], 1);
    EXPECT_EQ(report.m_HtInfo[5].params[1], 255);
}

TEST(ReportFileWalkTest, ScrambledFilesReadLikeLookups) {
    std::mt19937 random(20260101);
    const char* sections[] = {"HT_INFO_%03d",  "ht_info_%03d", "CMD_INFO_%03d",
                              "cmd_Info_%03d", "HT_INFO_%d",   "OTHER_%03d"};
    const char* keys[] = {"PARAM%02d", "param%02d", "PARAM%d", "PARAM%03d"};
    const char* values[] = {"0", "200", "300", "-1", "abc", " 17 ", "\"9\"", "", "99999999999"};
    for (int round = 0; round < 20; ++round) {
        std::string text;
        for (int s = 0; s < 600; ++s) {
            char line[64];
            std::snprintf(line, sizeof line, sections[random() % 6],
                          static_cast<int>(random() % 230));
            text += std::string("[") + line + "]\r\n";
            for (int e = static_cast<int>(random() % 14); e > 0; --e) {
                std::snprintf(line, sizeof line, keys[random() % 4],
                              static_cast<int>(random() % 12));
                text += std::string(line) + "=" + values[random() % 9] + "\n";
            }
        }
        ExpectSameAsLookups(text);
    }
}

}  // namespace
}  // namespace vok
