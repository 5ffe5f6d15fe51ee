#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/DiagnosisData.h"
#include "report/ReportFileWriter.h"
#include "report/SiteConfig.h"

namespace vok::bench {

// The report file of a complete diagnosis, written once into a temporary
// folder of its own and removed with it, so that the benchmarks measure
// the same, largest file the wizard can write.
struct WrittenReport {
    std::filesystem::path folder;
    SiteInfo site;
    DiagnosisData data;
    std::string path;

    explicit WrittenReport(const std::string& folderName)
        : folder(std::filesystem::temp_directory_path() / folderName),
          site(SiteConfig::LoadSiteInfo(VOK_EXAMPLES_DIR "/CONFIG.ini")),
          data(FullDiagnosis()) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        path = ReportFileWriter::WriteReportFile(folder / "REPORT", site, data, 0)->m_strReportPath;
    }
    ~WrittenReport() { std::filesystem::remove_all(folder); }
    WrittenReport(const WrittenReport&) = delete;
    WrittenReport& operator=(const WrittenReport&) = delete;

    // Every record present, 50 error entries, 9 full protocol blocks, 20 mA
    // calibrations and every focus cell set: the largest page it renders to.
    static DiagnosisData FullDiagnosis() {
        DiagnosisData full;
        full.Clear();
        full.m_strSerial = "VK00000001";
        full.m_bConsoleVersion = 1;
        for (std::size_t k = 1; k < kHtRecordCount; ++k) {
            for (std::size_t n = 0; n < kParamCount; ++n) {
                full.m_HtInfo[k].params[n] = static_cast<std::uint8_t>((k * 7 + n * 13) % 250);
            }
        }
        full.m_HtInfo[1].params[0] = 1;
        full.m_HtInfo[6].params[8] = 50;
        full.m_HtInfo[6].params[9] = 9;
        for (int k = 9; k <= 28; ++k) {
            full.m_HtInfo[k].params[0] = static_cast<std::uint8_t>(k - 8);
        }
        for (int k = 29; k <= 112; ++k) {
            for (int flag : {1, 4, 7}) {
                full.m_HtInfo[k].params[flag] = 1;
            }
        }
        for (int i = 0; i < 50; ++i) {
            full.m_HtInfo[113 + 2 * i].params[0] = static_cast<std::uint8_t>(i);
            full.m_HtInfo[113 + 2 * i].params[1] = static_cast<std::uint8_t>(1 + i % 0x60);
        }
        for (std::size_t k = 1; k < kCmdRecordCount; ++k) {
            for (std::size_t n = 0; n < kParamCount; ++n) {
                full.m_CmdInfo[k].params[n] = static_cast<std::uint8_t>((k + n) % 40);
            }
        }
        return full;
    }
};

}  // namespace vok::bench
