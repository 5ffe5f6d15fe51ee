#pragma once

#include <string>
#include <string_view>

#include "core/Result.h"
#include "platform/ProfileFile.h"
#include "report/ReportData.h"

namespace vok {

// Reads a report file back. Nothing in it is an error: a missing file,
// section or key reads as its default ("" for texts, "0" for INTERFACE, 255
// for every parameter), so any bytes at all give a report. Only bytes that
// cannot be had, or more than 64 MiB of them, are refused.
class ReportFileReader {
public:
    // The report file at path; an error naming the file when it cannot be
    // read (missing, not a regular file, over 64 MiB).
    static Result<ReportData> Read(const std::string& path);
    // A report file's bytes already in memory (an upload, say).
    static Result<ReportData> Parse(std::string_view bytes);

    // The file at path, or an empty report (every parameter 255) when it
    // cannot be read.
    static ReportData ReadReportFile(const std::string& path);
    // The same from a file already loaded.
    static ReportData ReadReportFile(const ProfileFile& profile);
};

}  // namespace vok
