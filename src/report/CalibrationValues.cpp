#include "report/CalibrationValues.h"

#include <span>
#include <string_view>

#include "report/HtmlLayout.h"
#include "report/HtmlText.h"

namespace vok {

namespace {

constexpr int kByteBits = 8;
constexpr int kFocusValid = 1;

int Ht(const ReportData& report, int k, int n) {
    return report.m_HtInfo[static_cast<std::size_t>(k)].params[static_cast<std::size_t>(n - 1)];
}

// The row label a group fragment shows ("Filament Calibration").
std::string_view GroupName(std::string_view fragment) {
    const std::size_t close = fragment.rfind("</td>");
    if (close == std::string_view::npos) {
        return {};
    }
    const std::size_t open = fragment.rfind('>', close);
    return open == std::string_view::npos ? std::string_view()
                                          : fragment.substr(open + 1, close - open - 1);
}

void ReadItems(std::vector<CalibrationValues::Value>& out, const ReportData& report,
               std::string_view title, std::span<const CalibrationGroup> groups,
               std::span<const CalibrationItem> items) {
    for (const CalibrationGroup& group : groups) {
        for (int i = group.first; i < group.first + group.count; ++i) {
            const CalibrationItem& item = items[static_cast<std::size_t>(i)];
            std::string text;
            HtmlText::AppendDecimal(text, Ht(report, item.record, item.param) - item.offset);
            out.push_back({std::string(title),
                           std::string(GroupName(group.fragment)) + ", " + std::string(item.label),
                           std::move(text)});
        }
    }
}

// "<p>Small Focus Calibration Table</p></td></tr>" without its markup.
std::string_view FocusTitle(std::string_view fragment) {
    constexpr std::string_view kOpen = "<p>";
    const std::size_t start = fragment.find(kOpen);
    const std::size_t end = fragment.find("</p>");
    if (start == std::string_view::npos || end == std::string_view::npos || end < start) {
        return fragment;
    }
    return fragment.substr(start + kOpen.size(), end - start - kOpen.size());
}

}  // namespace

std::optional<int> CalibrationValues::FocusValue(const ReportData& report, int record, int flag) {
    if (Ht(report, record, flag) != kFocusValid) {
        return std::nullopt;
    }
    const int value = Ht(report, record, flag + 1) + (Ht(report, record, flag + 2) << kByteBits);
    return value - kFocusValueOffset;
}

std::optional<std::array<std::string, CalibrationValues::kMaHistoryRows>>
CalibrationValues::MaHistoryRows(const ReportData& report, const DefinitionFile& definitions,
                                 int record) {
    const auto ht = [&](int n) { return Ht(report, record, n); };
    const int index = ht(1);
    if (index < 1 || index > kMaHistoryMaxIndex) {
        return std::nullopt;
    }
    std::array<std::string, kMaHistoryRows> rows;
    HtmlText::AppendDecimal(rows[0], index - 1);
    // Packed BCD shown through its hex digits: 0x09 is "09".
    rows[1] += kMaHistoryCentury;
    HtmlText::AppendHexByte(rows[1], ht(2));
    rows[1] += kDateSeparator;
    HtmlText::AppendHexByte(rows[1], ht(3));
    rows[1] += kDateSeparator;
    HtmlText::AppendHexByte(rows[1], ht(4));
    rows[2] = definitions.GetTubeText(ht(5));
    HtmlText::AppendDecimal(rows[3], ht(6));
    HtmlText::AppendDecimal(rows[4], ht(7));
    HtmlText::AppendTwoDigits(rows[5], ht(8));
    rows[5] += kTimeSeparator;
    HtmlText::AppendTwoDigits(rows[5], ht(9));
    HtmlText::AppendDecimal(rows[6], ht(10));
    return rows;
}

std::vector<CalibrationValues::Value> CalibrationValues::Read(const ReportData& report,
                                                              const DefinitionFile& definitions) {
    static_assert(std::size(kMaHistoryLabels) == kMaHistoryRows);
    std::vector<Value> values;
    ReadItems(values, report, kFilamentKvTitle, kFilamentKvGroups, kFilamentKvItems);
    ReadItems(values, report, kAecTitle, kAecGroups, kAecItems);

    constexpr std::string_view kMaHistoryName = "Automatic mA Calibration History";
    for (int k = kMaHistoryFirstRecord; k <= kMaHistoryLastRecord; ++k) {
        const auto rows = MaHistoryRows(report, definitions, k);
        const std::string slot = "slot " + std::to_string(k - kMaHistoryFirstRecord + 1) + ", ";
        for (std::size_t r = 0; r < kMaHistoryRows; ++r) {
            values.push_back({std::string(kMaHistoryName), slot + std::string(kMaHistoryLabels[r]),
                              rows ? (*rows)[r] : std::string()});
        }
    }

    for (const auto& [first, title] : {std::pair{kSmallFocusFirstRecord, kSmallFocusTitle},
                                       std::pair{kLargeFocusFirstRecord, kLargeFocusTitle}}) {
        for (int r = 0; r < kFocusRows; ++r) {
            std::size_t column = 0;
            for (int record = first + 2 * r; record <= first + 2 * r + 1; ++record) {
                for (int flag : kFocusFlagParams) {
                    const std::optional<int> value = FocusValue(report, record, flag);
                    values.push_back({std::string(FocusTitle(title)),
                                      std::string(kFocusMa[r]) + " mA, " +
                                          std::string(kFocusKv[column++]) + " kV",
                                      value ? std::to_string(*value) : std::string()});
                }
            }
        }
    }
    return values;
}

}  // namespace vok
