#include "center/ReportChanges.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "center/ReportIndexer.h"
#include "report/CalibrationValues.h"
#include "report/HtmlLayout.h"
#include "report/ReportFileReader.h"

namespace vok::center {

namespace {

// Reads any size: both files are already in the store.
constexpr std::size_t kNoLimit = std::size_t{1} << 40;

// The counters in the order of the page's Statistics labels.
std::array<std::int64_t, std::size(kStatisticsLabels)> Counters(const IndexedReport& r) {
    return {r.exposuresTotal, r.exposuresToday, r.errorCount,    r.heatUnitsTotal,
            r.heatUnitsToday, r.heatWarnings,   r.errorLogCount, r.protocolLogCount};
}

// An entry is the same entry when everything the console logged for it is:
// its position moves as the log fills, its content does not.
auto EntryKey(const ErrorLogEntry& e) {
    return std::tie(e.logIndex, e.code, e.code1, e.code2, e.date, e.time);
}

}  // namespace

Result<ReportChanges> ReportChanges::Between(std::string_view before, std::string_view after,
                                             const DefinitionFile& definitions) {
    const ReportIndexer indexer(kNoLimit);
    Result<IndexedReport> old = indexer.Index(std::string(before), "", definitions);
    if (!old) {
        return Error{"the earlier report: " + old.error()};
    }
    Result<IndexedReport> now = indexer.Index(std::string(after), "", definitions);
    if (!now) {
        return Error{"this report: " + now.error()};
    }
    ReportChanges changes;

    const auto oldCounters = Counters(old.value());
    const auto newCounters = Counters(now.value());
    for (std::size_t i = 0; i < oldCounters.size(); ++i) {
        if (oldCounters[i] != newCounters[i]) {
            changes.counters.push_back(
                {std::string(kStatisticsLabels[i]), oldCounters[i], newCounters[i]});
        }
    }

    // Each entry of the earlier log accounts for one equal entry of this one.
    std::vector<bool> matched(old.value().errors.size(), false);
    for (const ErrorLogEntry& entry : now.value().errors) {
        bool seen = false;
        for (std::size_t k = 0; k < old.value().errors.size() && !seen; ++k) {
            if (!matched[k] && EntryKey(old.value().errors[k]) == EntryKey(entry)) {
                matched[k] = true;
                seen = true;
            }
        }
        if (!seen) {
            changes.newErrors.push_back(entry);
        }
    }

    const auto oldData = ReportFileReader::Parse(before);
    const auto newData = ReportFileReader::Parse(after);
    if (!oldData || !newData) {
        return Error{oldData ? newData.error() : oldData.error()};
    }
    const auto oldValues = CalibrationValues::Read(oldData.value(), definitions);
    const auto newValues = CalibrationValues::Read(newData.value(), definitions);
    // Both lists name the same places in the same order.
    for (std::size_t i = 0; i < std::min(oldValues.size(), newValues.size()); ++i) {
        if (oldValues[i].text != newValues[i].text) {
            changes.calibration.push_back(
                {newValues[i].table, newValues[i].item, oldValues[i].text, newValues[i].text});
        }
    }
    return changes;
}

}  // namespace vok::center
