#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "report/DefinitionFile.h"
#include "report/ReportData.h"

namespace vok {

// The calibration values a report carries (Filament/kV, AEC, the automatic
// mA calibration history and both focus tables), each with the place the
// HTML report shows it in. The page and the service center's comparison of
// two reports read them here, so both always mean the same value.
class CalibrationValues {
public:
    struct Value {
        std::string table;  // the page's table title
        std::string item;   // row (and column) within the table
        std::string text;   // as the page shows it; "" where the page shows no value
    };

    // Every value of every calibration table, in the page's order. Focus
    // cells without a valid value and unused mA history slots are listed too
    // (empty text), so two reports always give the same list of places.
    static std::vector<Value> Read(const ReportData& report, const DefinitionFile& definitions);

    // One focus table cell: parameter `flag` of the record says whether the
    // two parameters after it hold a value.
    static std::optional<int> FocusValue(const ReportData& report, int record, int flag);

    // The rows of one mA calibration history record (9 to 28), when its
    // index (P01) names an entry; texts as the page writes them.
    static constexpr std::size_t kMaHistoryRows = 7;
    static std::optional<std::array<std::string, kMaHistoryRows>> MaHistoryRows(
        const ReportData& report, const DefinitionFile& definitions, int record);
};

}  // namespace vok
