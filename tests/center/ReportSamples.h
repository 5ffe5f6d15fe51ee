#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "core/DiagnosisData.h"
#include "core/DiagnosisRecord.h"
#include "report/ReportFileWriter.h"
#include "report/SiteInfo.h"

namespace vok::center::test {

inline const std::string kExampleDefinitions = VOK_EXAMPLES_DIR "/CFG/VOK.DEFINE";

// A diagnosis with a serial, a model (VOK-82), counters, `errors` error log
// entries and two protocol blocks: enough for every indexed value.
inline DiagnosisData TestDiagnosis(const std::string& serial, int errors = 3,
                                   std::uint32_t exposures = 48213) {
    DiagnosisData data;
    data.Clear();
    data.m_strSerial = serial;
    data.m_bConsoleVersion = 1;
    for (std::size_t n = 0; n < kParamCount; ++n) {
        data.m_HtInfo[3].params[n] =
            n < serial.size() ? static_cast<std::uint8_t>(serial[n]) : std::uint8_t{0};
    }
    data.m_HtInfo[1].params = {1, 3, 4, 2, 0x21, 0, 10, 20, 3, 82};
    data.m_HtInfo[5].params = {static_cast<std::uint8_t>(exposures & 0xFF),
                               static_cast<std::uint8_t>((exposures >> 8) & 0xFF),
                               static_cast<std::uint8_t>((exposures >> 16) & 0xFF),
                               37,
                               0,
                               128,
                               0,
                               255,
                               255,
                               255};
    data.m_HtInfo[6].params = {
        0x07, 0x15, 0x70, 0x05, 100, 0, 0, 2, static_cast<std::uint8_t>(errors), 2};
    for (int i = 0; i < errors; ++i) {
        auto& a = data.m_HtInfo[static_cast<std::size_t>(113 + 2 * i)].params;
        a = {static_cast<std::uint8_t>(i),
             static_cast<std::uint8_t>(0x10 + i),
             0,
             0,
             0x24,
             0x01,
             0x15,
             0x10,
             0x20,
             static_cast<std::uint8_t>(0x30 + i)};
        data.m_HtInfo[static_cast<std::size_t>(114 + 2 * i)].params = {80, 5, 1, 0, 0,
                                                                       0,  0, 0, 0, 0};
    }
    for (std::size_t r = 1; r <= 50; ++r) {
        data.m_CmdInfo[r].params = {0, 0, 0x10, 0x11, 0x12, static_cast<std::uint8_t>(r % 7),
                                    1, 2, 3,    255};
    }
    return data;
}

inline SiteInfo TestSite(const std::string& hospital) {
    SiteInfo site;
    for (std::size_t n = 0; n < kSiteFieldCount; ++n) {
        site.Field(n) = "field " + std::to_string(n);
    }
    site.m_strHospital = hospital;
    site.m_strAddress = "12 Harbour Road";
    return site;
}

// A report file's bytes, written at the given moment (local time fields).
inline std::string ReportBytes(const std::string& serial, const std::string& hospital, int day = 15,
                               int errors = 3, std::uint32_t exposures = 48213) {
    std::tm when{};
    when.tm_year = 2024 - 1900;
    when.tm_mon = 0;
    when.tm_mday = day;
    when.tm_hour = 10;
    when.tm_min = 20;
    when.tm_sec = 30;
    return ReportFileWriter::Compose(TestSite(hospital), TestDiagnosis(serial, errors, exposures),
                                     when);
}

}  // namespace vok::center::test
