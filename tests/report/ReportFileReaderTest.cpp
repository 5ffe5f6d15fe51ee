// The reader takes every record from one walk over the file; it must give
// exactly what one profile lookup per key and atoi give, whatever the file
// holds: names in any case, padded or unpadded numbers, repeated sections and
// keys, values atoi reads oddly or only after cutting them to 79 characters.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "core/Constants.h"
#include "report/ReportFileReader.h"

namespace vok {
namespace {

// One lookup per key, the way a profile reader is asked.
template <class Table>
void ExpectSameAsLookups(const ProfileFile& profile, const Table& table, const char* format) {
    for (std::size_t k = 1; k < table.size(); ++k) {
        char section[32];
        std::snprintf(section, sizeof section, format, static_cast<int>(k));
        for (std::size_t n = 0; n < kParamCount; ++n) {
            char key[32];
            std::snprintf(key, sizeof key, "PARAM%02d", static_cast<int>(n + 1));
            const std::string value = profile.Get(section, key, "255", kShortValueSize);
            ASSERT_EQ(table[k].params[n], static_cast<std::uint8_t>(std::atoi(value.c_str())))
                << section << " " << key;
        }
    }
}

TEST(ReportFileWalkTest, ScrambledFilesReadLikeLookups) {
    std::mt19937 random(20260101);
    const char* sections[] = {"HT_INFO_%03d", "ht_info_%03d", "CMD_INFO_%03d", " CMD_INFO_%03d ",
                              "HT_INFO_%d",   "HT_INFO_%04d", "cmd_Info_%03d", "OTHER_%03d"};
    const char* keys[] = {"PARAM%02d", "param%02d", "PARAM%d", "PARAM%03d"};
    const std::string cut = std::string(79, '0') + "7";
    const char* values[] = {"0",     "200", "300", "-1",          "abc",      " 17 ",
                            "\"9\"", "+7",  "",    "99999999999", cut.c_str()};
    for (int round = 0; round < 20; ++round) {
        std::string text;
        for (int s = 0; s < 600; ++s) {
            char line[64];
            std::snprintf(line, sizeof line, sections[random() % 8],
                          static_cast<int>(random() % 230));
            text += std::string("[") + line + "]\r\n";
            for (int e = static_cast<int>(random() % 14); e > 0; --e) {
                std::snprintf(line, sizeof line, keys[random() % 4],
                              static_cast<int>(random() % 12));
                text += std::string(line) + "=" + values[random() % 11] + "\n";
            }
        }
        const ProfileFile profile = ProfileFile::Parse(text);
        const ReportData report = ReportFileReader::ReadReportFile(profile);
        ExpectSameAsLookups(profile, report.m_HtInfo, "HT_INFO_%03d");
        ExpectSameAsLookups(profile, report.m_CmdInfo, "CMD_INFO_%03d");
    }
}

}  // namespace
}  // namespace vok
