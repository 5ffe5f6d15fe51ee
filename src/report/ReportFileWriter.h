#pragma once

#include <ctime>
#include <filesystem>
#include <string>

#include "core/DiagnosisData.h"
#include "core/Result.h"
#include "report/SiteInfo.h"

namespace vok {

struct WrittenReport {
    std::string m_strReportPath;  // folder and name
    std::string m_strReportName;  // name alone
};

// Writes the one report file of a diagnosis: 36 head lines, 212 HT_INFO and
// 225 CMD_INFO blocks, CR LF line ends on every platform.
class ReportFileWriter {
public:
    // The file name for a serial and a moment of local time. Characters that
    // cannot stand in a file name here or on Windows, and bytes of 0x80 and
    // above, become "_"; the serial itself is written unchanged elsewhere.
    static std::string ReportName(const std::string& serial, const std::tm& local);

    // The whole file text, with each line break inside a value written as one
    // space so that no value can open a section or key of its own.
    static std::string Compose(const SiteInfo& site, const DiagnosisData& data,
                               const std::tm& local);

    // Creates the folder when missing (not the folders above it) and replaces
    // a file of the same name as a whole: the old one stays until the new one
    // is complete. Fails with the reason when the file cannot be written.
    static Result<WrittenReport> WriteReportFile(const std::filesystem::path& folder,
                                                 const SiteInfo& site, const DiagnosisData& data,
                                                 std::time_t when);
};

}  // namespace vok
