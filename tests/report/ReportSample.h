#pragma once

#include <algorithm>
#include <cstring>
#include <ctime>
#include <initializer_list>
#include <string>

#include "core/DiagnosisData.h"
#include "report/ReportFileWriter.h"

namespace vok::test {

// A moment of local time written "YYYY-MM-DD hh:mm:ss".
inline std::tm Moment(const char* text) {
    std::tm t{};
    strptime(text, "%Y-%m-%d %H:%M:%S", &t);
    t.tm_isdst = -1;
    return t;
}

// Record k of an HT_INFO or CMD_INFO table holds the given parameters from P01 on.
template <class Table>
void Set(Table& table, int k, std::initializer_list<int> params) {
    std::copy(params.begin(), params.end(), table[static_cast<std::size_t>(k)].params.begin());
}

// A finished diagnosis that fills every table of the page: three error
// entries with their protocol blocks (the third block empty), two mA
// calibration histories, both focus tables and the extreme kV offsets. The
// byte after each counter is never zero, so a counter read too wide shows.
struct ReportSample {
    SiteInfo site;
    DiagnosisData data;
    std::tm moment = Moment("2026-01-31 09:05:00");

    ReportSample() {
        for (std::size_t n = 0; n < kSiteFieldCount; ++n) {
            site.Field(n) = "F" + std::to_string(n);
        }
        site.m_strUserPhone = "";
        data.m_strSerial = "VK12345678";
        data.m_bConsoleVersion = 1;
        std::memcpy(data.m_ConsoleVersion.data(), "V2.10-Kxyz", kConsoleVersionSize);
        auto& ht = data.m_HtInfo;
        Set(ht, 1, {1, 13, 5, 4, 0x41, 0x09, 7, 3, 2, 80});
        Set(ht, 3, {'V', 'K', '1', '2', '3', '4', '5', '6', '7', '8'});
        Set(ht, 4, {0x07, 0x03, 0x15, 0, 0, 0, 'H', 'T', '0', '2'});
        Set(ht, 5, {0x40, 0x42, 0x0F, 0x39, 0x30, 0x07, 0x00, '1', '5'});
        Set(ht, 6, {0x10, 0x27, 0, 0, 0x64, 0, 0, 2, 3, 3});
        Set(ht, 7, {10, 20, 30, 40, 50, 60, 70, 80, 0, 255});
        Set(ht, 8, {3, 0, 1, 2, 3, 255, 255, 4, 5, 6});
        Set(ht, 9, {1, 0x09, 0x12, 0x31, 12, 15, 230, 3, 7, 0});
        Set(ht, 10, {21});
        Set(ht, 11, {0});
        Set(ht, 28, {20, 0x10, 0x01, 0x02, 99, 1, 2, 12, 34, 5});
        Set(ht, 29, {0, 1, 0xD0, 0x07, 1, 0, 0, 2, 5, 5});
        Set(ht, 30, {0, 1, 0x10, 0x27, 0, 9, 9, 255, 9, 9});
        Set(ht, 113, {7, 0x1A, 0x05, 0x00, 0x26, 0x03, 0x15, 0x09, 0x41, 0x30});
        Set(ht, 114, {80, 13, 17, 1, 0x04, 2, 5, 18, 1, 37});
        Set(ht, 115, {8, 0x05});
        Set(ht, 117, {9});
        auto& cmd = data.m_CmdInfo;
        Set(cmd, 1, {0, 0, 0x10, 0x20, 0x30, 0x07, 0x01, 0x02, 0x03, 0xFF});
        Set(cmd, 25, {1, 1, 0x11, 0x11, 0x11, 0x01});
        Set(cmd, 29, {9, 9, 0x23, 0x59, 0x07, 0x1A, 0x00, 0x0A, 0xFE, 0xFF});
        Set(cmd, 50, {0, 0, 0x08, 0x00, 0x01, 0x05, 0xFF, 0, 0, 0});
    }

    Result<WrittenReport> Write(const std::filesystem::path& folder) const {
        std::tm local = moment;
        return ReportFileWriter::WriteReportFile(folder, site, data, std::mktime(&local));
    }
};

}  // namespace vok::test
