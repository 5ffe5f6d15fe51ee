#pragma once

// Where a report's logs and their counts sit in the record tables: what the
// HTML report shows and what the service center indexes read the same records.

namespace vok {

// Error log: records 113 to 212, two per entry; protocol log: CMD_INFO
// records 1 to 225, 25 per block.
inline constexpr int kErrorLogFirstRecord = 113;
inline constexpr int kErrorLogRecordsPerEntry = 2;
inline constexpr int kErrorLogCapacity = 50;
inline constexpr int kProtocolBlockRecords = 25;
inline constexpr int kProtocolCapacity = 9;
// HT records and parameters (1-based) that steer the page.
inline constexpr int kSystemRecord = 1;
inline constexpr int kCountersRecord = 6;
inline constexpr int kErrorLogCountParam = 9;
inline constexpr int kProtocolCountParam = 10;

}  // namespace vok
