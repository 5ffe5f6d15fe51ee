#pragma once

#include <string>

#include "platform/ProfileFile.h"
#include "report/ReportData.h"

namespace vok {

// Reads a report file back. Nothing in it is an error: a missing file,
// section or key reads as its default ("" for texts, "0" for INTERFACE, 255
// for every parameter), so any file at all gives a report.
class ReportFileReader {
public:
    static ReportData ReadReportFile(const std::string& path);
    // The same from a file already loaded.
    static ReportData ReadReportFile(const ProfileFile& profile);
};

}  // namespace vok
