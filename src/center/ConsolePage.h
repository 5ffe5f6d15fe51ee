#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vok::center {

// What every console page shares: the head with the center's own style
// sheet and script, the top bar, and the small text helpers the pages use.
// Everything that came in a report goes through Escape on its way into a
// page; in links it is percent-encoded first.
class ConsolePage {
public:
    static std::string Head(std::string_view title);
    static std::string Tail();

    static std::string Escape(std::string_view text);
    // For a path segment or a query value: every byte but A-Z a-z 0-9 - . _ ~
    // as %XX.
    static std::string UrlEncode(std::string_view text);
    static std::string GeneratorLink(std::string_view serial);
    static std::string Number(std::int64_t value);  // 1,234,567
    // "+3", "0", "-2"
    static std::string Delta(std::int64_t value);

    // Whole days from an ISO report date ("YYYY-MM-DD...") to today
    // ("YYYY-MM-DD"); none when either does not read as a date.
    static std::optional<std::int64_t> DaysBetween(std::string_view reportDate,
                                                   std::string_view today);
    // Today in UTC, "YYYY-MM-DD".
    static std::string Today();
    // "2024-01-15T10:20:30" (or with a Z) as "2024-01-15 10:20"; other texts
    // as they are.
    static std::string ShortDate(std::string_view iso);

    static constexpr std::string_view kStylePath = "/static/console.css";
    static constexpr std::string_view kScriptPath = "/static/console.js";
    static constexpr std::string_view kChartPath = "/static/chart.js";
};

}  // namespace vok::center
