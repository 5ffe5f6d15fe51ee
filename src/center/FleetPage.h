#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "center/ReportStore.h"

namespace vok::center {

// The fleet: one row per generator, found by serial or hospital, sorted by
// any column, a page at a time. The same rows go out as CSV.
class FleetPage {
public:
    static constexpr std::int64_t kPageSize = 50;

    // What the address asks for; anything unknown or out of range falls
    // back to the default, so every address gives a page.
    struct Params {
        std::string search;
        std::string sort = "last";  // a column key of kColumns
        bool descending = true;
        std::int64_t page = 1;

        static Params From(const std::map<std::string, std::string>& fields);
        FleetQuery Query(std::int64_t limit) const;
        // This page's address with a different sort or page.
        std::string Link(std::string_view sortKey, bool desc, std::int64_t pageNumber) const;
    };

    static std::string Render(const std::vector<FleetRow>& rows, std::int64_t total,
                              const Params& params, std::string_view today);
    static std::string Csv(const std::vector<FleetRow>& rows, std::string_view today);
    // One CSV field: quoted when it holds a quote, comma or line break;
    // a field a spreadsheet would take for a formula (= + - @, tab, CR)
    // gets a leading apostrophe first.
    static std::string CsvField(std::string_view text);

    struct Column {
        std::string_view key;
        std::string_view title;
        FleetSort sort;
        bool inverted;  // days since: ascending days is descending dates
    };
    static const std::vector<Column>& Columns();
};

}  // namespace vok::center
