#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "center/ReportStore.h"

namespace vok::center {

// One generator: its facts, charts of its counters over time, the error
// codes of its logs with their texts, its service visits and its reports as
// a timeline. The charts read their numbers from a JSON block in the page;
// every number is in the page's tables too, for readers without script.
class GeneratorPage {
public:
    static constexpr std::int64_t kTimelineLength = 1000;

    // reports newest first, as the store lists them.
    static std::string Render(const GeneratorSummary& generator,
                              const std::vector<ReportSummary>& reports,
                              const std::vector<ErrorCodeCount>& codes,
                              const std::vector<ServiceEntry>& history, std::string_view today);
    // The charts' data: series oldest first. Safe inside a script block.
    static std::string ChartData(const std::vector<ReportSummary>& reports,
                                 const std::vector<ErrorCodeCount>& codes);
};

}  // namespace vok::center
