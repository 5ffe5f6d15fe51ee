#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "center/IndexedReport.h"
#include "core/Result.h"
#include "report/DefinitionFile.h"

namespace vok::center {

// What changed from one report of a generator to its next: the statistics
// counters that moved, the error log entries the earlier report did not
// have, and the calibration values that differ. Both reports are read with
// the same reader, indexer and decoders as the HTML report, so a change
// named here is a change the two HTML pages show.
struct ReportChanges {
    struct Counter {
        std::string name;  // the HTML report's label
        std::int64_t before = 0;
        std::int64_t after = 0;
    };
    struct Calibration {
        std::string table;
        std::string item;
        std::string before;  // "" where the page shows no value
        std::string after;
    };

    std::vector<Counter> counters;
    std::vector<ErrorLogEntry> newErrors;
    std::vector<Calibration> calibration;

    bool Empty() const { return counters.empty() && newErrors.empty() && calibration.empty(); }

    // Errors only when a file does not read as a report at all.
    static Result<ReportChanges> Between(std::string_view before, std::string_view after,
                                         const DefinitionFile& definitions);
};

}  // namespace vok::center
