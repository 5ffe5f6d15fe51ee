#pragma once

#include <string>
#include <string_view>

#include "core/Result.h"
#include "platform/DataFolder.h"

namespace vok {

// The HTML report as a file: its name beside the report, which files it may
// replace, and writing it. What the page says is RenderHtml's alone.
//
// A page replaces only a missing or empty file or an older page of ours,
// never the report file itself nor anything else a name happens to reach (a
// report file with a lower-case extension, a mistyped --output, a link, a
// FIFO). The target is looked at without following a link or blocking, and
// the new page is renamed over it once complete, so the old page stays until
// then and nothing is ever written through a link.
class HtmlReportFile {
public:
    // The HTML name of a report file name: every ".VOK" (in any case)
    // becomes ".html", and a name without one gets ".html" appended, so the
    // page can never take the report file's own name.
    static std::string HtmlFileName(std::string_view reportName);

    // Reads the report file, renders it with the definitions as they are now
    // and writes the page to htmlPath. Returns htmlPath, or why the report or
    // the definitions could not be read or the page not written.
    static Result<std::string> RenderReportFile(const std::string& reportPath,
                                                const std::string& htmlPath,
                                                const std::string& defineFile);
    // The same into the data folder's REPORT folder (created when missing),
    // with the data folder's definition file: what the wizard and `vok
    // report` do by default.
    static Result<std::string> RenderReportFile(const std::string& reportPath,
                                                const DataFolder& folder);
};

}  // namespace vok
