#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace vok {

// Record tables: parameters per record, records per table, and the value of
// a parameter no frame delivered.
inline constexpr std::size_t kParamCount = 10;
inline constexpr std::size_t kHtRecordCount = 213;   // indexes 0 to 212
inline constexpr std::size_t kCmdRecordCount = 226;  // indexes 0 to 225
inline constexpr std::uint8_t kNoValue = 255;

// One entry of a record table: what one frame delivered, or "empty" (flag 0,
// every parameter 255). Kept at the 12 bytes the console's records have.
struct DiagnosisRecord {
    std::uint8_t valid = 0;
    std::uint8_t index = 0;
    std::array<std::uint8_t, kParamCount> params{};

    DiagnosisRecord() { params.fill(kNoValue); }

    // Marks the entry empty; the index stays as the last frame left it.
    void Clear() {
        valid = 0;
        params.fill(kNoValue);
    }

    bool operator==(const DiagnosisRecord&) const = default;
};

static_assert(sizeof(DiagnosisRecord) == 2 + kParamCount);

using HtTable = std::array<DiagnosisRecord, kHtRecordCount>;
using CmdTable = std::array<DiagnosisRecord, kCmdRecordCount>;

template <typename Table>
void ClearTable(Table& table) {
    std::for_each(table.begin(), table.end(), [](DiagnosisRecord& r) { r.Clear(); });
}

}  // namespace vok
