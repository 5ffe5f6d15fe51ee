#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

#include "WrittenReport.h"
#include "core/DiagnosisData.h"
#include "report/ReportFileWriter.h"
#include "report/SiteConfig.h"

namespace vok::bench {

// The full example report as a fleet would send it: report n comes from
// generator n % generators, one report a day per generator counting back
// from the newest, so that every report file is distinct and each
// generator's reports have their own dates.
class FleetReports {
public:
    explicit FleetReports(int generators)
        : m_generators(generators),
          m_site(SiteConfig::LoadSiteInfo(VOK_EXAMPLES_DIR "/CONFIG.ini")),
          m_data(WrittenReport::FullDiagnosis()) {
        // A console version as real consoles send it, not the NUL bytes the
        // full diagnosis leaves there.
        const std::string version = "V2.31.5";
        std::copy(version.begin(), version.end(), m_data.m_ConsoleVersion.begin());
    }

    int Generators() const { return m_generators; }

    static std::string Serial(int generator) {
        char serial[16];
        std::snprintf(serial, sizeof serial, "VB%08d", generator);
        return serial;
    }

    // The file name the site tool would give it, and its bytes.
    std::string Name(long n) {
        Prepare(n);
        return ReportFileWriter::ReportName(m_data.m_strSerial, m_when);
    }
    std::string Text(long n) {
        Prepare(n);
        return ReportFileWriter::Compose(m_site, m_data, m_when);
    }

private:
    void Prepare(long n) {
        const int generator = static_cast<int>(n % m_generators);
        const long day = n / m_generators;
        m_data.m_strSerial = Serial(generator);
        for (std::size_t k = 0; k < kParamCount; ++k) {
            m_data.m_HtInfo[3].params[k] = static_cast<std::uint8_t>(m_data.m_strSerial[k]);
        }
        // Counters that grow from one report to the next.
        m_data.m_HtInfo[5].params[0] = static_cast<std::uint8_t>(day % 200);
        m_site.m_strHospital = "Hospital " + std::to_string(generator % 7919);
        m_site.m_strAddress =
            "Street " + std::to_string(generator) + ", City " + std::to_string(generator % 211);
        std::time_t when = 1798761600 - day * 86400 + generator % 86400;  // 2027-01-01 back
        gmtime_r(&when, &m_when);
    }

    int m_generators;
    SiteInfo m_site;
    DiagnosisData m_data;
    std::tm m_when{};
};

}  // namespace vok::bench
