#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "ReportSamples.h"
#include "report/ReportFileWriter.h"

namespace vok::center::test {

// One visit's report of a generator, with the values the console compares.
struct Visit {
    std::string serial;
    std::string hospital;
    std::string address = "Harbour Road 12, Bergen";
    int month = 1;
    int day = 15;
    std::uint32_t exposures = 48213;
    int errorCounter = 12;       // Total Error Count
    std::uint32_t heat = 90000;  // Sum of Heat Unit ( Total )
    int logEntries = 3;          // error log entries, the same first ones each time
    int highKvOffset = 3;        // Filament/kV: High kV Offset as shown
    int smallFocus10mA40kV = 150;
    std::string historyDate;
    std::string historyCause;
    std::string historyAction;
};

inline void PutLittleEndian(DiagnosisRecord& record, int firstParam, int count,
                            std::uint32_t value) {
    for (int i = 0; i < count; ++i) {
        record.params[static_cast<std::size_t>(firstParam - 1 + i)] =
            static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
    }
}

inline std::string VisitBytes(const Visit& v) {
    DiagnosisData data = TestDiagnosis(v.serial, v.logEntries, v.exposures);
    PutLittleEndian(data.m_HtInfo[5], 6, 2, static_cast<std::uint32_t>(v.errorCounter));
    PutLittleEndian(data.m_HtInfo[6], 1, 4, v.heat);
    data.m_HtInfo[7].params = {40, 45, 10, 12,  20,
                               30, 50, 60, 128, static_cast<std::uint8_t>(128 + v.highKvOffset)};
    data.m_HtInfo[8].params = {14, 130, 100, 101, 102, 14, 126, 103, 104, 105};
    // Small focus, 10 mA row, 40 kV cell: flag, then the value + 2000 as two bytes.
    const int focus = v.smallFocus10mA40kV + 2000;
    data.m_HtInfo[29].params = {0,
                                1,
                                static_cast<std::uint8_t>(focus & 0xFF),
                                static_cast<std::uint8_t>(focus >> 8),
                                0,
                                0,
                                0,
                                0,
                                0,
                                0};
    SiteInfo site = TestSite(v.hospital);
    site.m_strAddress = v.address;
    site.m_strHisDate = v.historyDate;
    site.m_strHisCause = v.historyCause;
    site.m_strHisAction = v.historyAction;
    std::tm when{};
    when.tm_year = 2024 - 1900;
    when.tm_mon = v.month - 1;
    when.tm_mday = v.day;
    when.tm_hour = 9;
    when.tm_min = 30;
    return ReportFileWriter::Compose(site, data, when);
}

// A small fleet: a generator with a history of five visits, a handful of
// others, and one whose site strings and serial are markup.
inline std::vector<Visit> DemoFleet() {
    std::vector<Visit> visits;
    const std::string h = "St. Olav Hospital";
    visits.push_back({"VK2041", h, "Prinsesse Kristinas gate 3, Trondheim", 1, 10, 40100, 8, 81000,
                      2, 3, 150, "", "", ""});
    visits.push_back({"VK2041", h, "Prinsesse Kristinas gate 3, Trondheim", 2, 12, 41980, 8, 83500,
                      2, 3, 150, "", "", ""});
    visits.push_back({"VK2041", h, "Prinsesse Kristinas gate 3, Trondheim", 3, 14, 43870, 11, 86900,
                      3, 3, 150, "2024/03/01", "Tube arcing", "Tube replaced"});
    visits.push_back({"VK2041", h, "Prinsesse Kristinas gate 3, Trondheim", 4, 16, 45200, 11, 88800,
                      3, 3, 150, "2024/03/01", "Tube arcing", "Tube replaced"});
    visits.push_back({"VK2041", h, "Prinsesse Kristinas gate 3, Trondheim", 5, 18, 47650, 14, 91700,
                      5, 5, 162, "2024/05/02", "kV drift", "kV recalibrated"});
    const char* const hospitals[] = {
        "Haukeland University Hospital", "Akershus University Hospital",
        "Stavanger University Hospital", "Sorlandet Hospital Arendal", "Nordland Hospital Bodo"};
    const char* const cities[] = {"Jonas Lies vei 65, Bergen", "Sykehusveien 25, Lorenskog",
                                  "Gerd-Ragna Bloch Thorsens gate 8, Stavanger",
                                  "Sykehusveien 1, Arendal", "Parkveien 95, Bodo"};
    for (int i = 0; i < 5; ++i) {
        Visit v;
        v.serial = "VK31" + std::to_string(10 + i);
        v.hospital = hospitals[i];
        v.address = cities[i];
        v.month = 2 + i;
        v.day = 3 + 4 * i;
        v.exposures = static_cast<std::uint32_t>(12000 + 7919 * i);
        v.errorCounter = 2 + i;
        v.logEntries = 1 + (i % 3);
        visits.push_back(v);
        v.month += 1;
        v.exposures += 1500;
        v.errorCounter += i % 2;
        visits.push_back(v);
    }
    Visit hostile;
    hostile.serial = "<i>X</i>\"'";
    hostile.hospital = "<script>alert(1)</script><img src=x id=injected>";
    hostile.address = "=HYPERLINK(\"http://x\")";
    hostile.historyCause = "<b id=injected-cause>bold</b>";
    visits.push_back(hostile);
    hostile.month = 2;
    hostile.errorCounter = 15;
    visits.push_back(hostile);
    return visits;
}

}  // namespace vok::center::test
