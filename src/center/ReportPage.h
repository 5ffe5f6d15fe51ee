#pragma once

#include <optional>
#include <string>

#include "center/ReportChanges.h"
#include "center/ReportStore.h"

namespace vok::center {

// One report in the console: its facts, the HTML report exactly as the site
// saw it (framed, sandboxed), the original file, and what changed since the
// generator's previous report.
class ReportPage {
public:
    struct Since {
        std::optional<ReportSummary> previous;  // none: the generator's first report
        // The comparison, or why there is none (a file that no longer reads).
        std::optional<ReportChanges> changes;
        std::string problem;
    };

    static std::string Render(const ReportSummary& report, const Since& since);
};

}  // namespace vok::center
