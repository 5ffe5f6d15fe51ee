#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "report/SiteInfo.h"

namespace vok::center {

// One entry of a report's error log, decoded as the HTML report shows it.
struct ErrorLogEntry {
    int entry = 0;     // position in the log, 0 = first
    int logIndex = 0;  // the console's own index byte
    int code = 0;      // Error 0
    std::string text;  // the definitions' text for Error 0
    int code1 = 0;
    int code2 = 0;
    std::string date;  // "20yy/mm/dd"
    std::string time;  // "hh:mm:ss"
};

// One block of the protocol log: its rows as the HTML report lists them,
// one line each ("index command text p7 p8 p9 p10 time", tab-separated).
struct ProtocolBlock {
    int block = 0;
    int rows = 0;
    std::string text;
};

// What the center stores and searches for one report: the original bytes
// and every value read out of them. Texts are plain (no HTML entities).
struct IndexedReport {
    std::string content;     // the file's bytes, exactly
    std::string sha256;      // lower-case hex of content
    std::string fileName;    // the name alone, from the sender's path
    std::string sentName;    // the name as sent (a path), metadata only
    std::string sender;      // the sender's address, or "import"
    std::string receivedAt;  // UTC, "YYYY-MM-DDTHH:MM:SSZ"

    std::string serial;      // the generator's own (HT_INFO record 3), or "NONE"
    std::string dateText;    // [DIAGNOSIS] DATE as written
    std::string timeText;    // [DIAGNOSIS] TIME as written
    std::string reportDate;  // "YYYY-MM-DDTHH:MM:SS", "" when DATE/TIME do not read as one
    std::array<std::string, kSiteFieldCount> site;
    std::string consoleVersion;

    std::string model;
    std::string power;
    std::string maxKv;
    std::string maxMa;
    std::string maxMas;

    std::int64_t exposuresTotal = 0;
    std::int64_t exposuresToday = 0;
    std::int64_t errorCount = 0;
    std::int64_t heatUnitsTotal = 0;
    std::int64_t heatUnitsToday = 0;
    std::int64_t heatWarnings = 0;
    std::int64_t errorLogCount = 0;
    std::int64_t protocolLogCount = 0;

    std::vector<ErrorLogEntry> errors;
    std::vector<ProtocolBlock> protocol;

    const std::string& Hospital() const { return site[kHospitalField]; }
    const std::string& Address() const { return site[kAddressField]; }

    // The site strings' column names, in the fixed order of the 19 fields.
    static constexpr std::array<const char*, kSiteFieldCount> kSiteColumns = {
        "manufacture",   "site_model",     "install_date",   "system_serial", "description",
        "engineer_name", "engineer_email", "engineer_phone", "engineer_fax",  "history_date",
        "history_cause", "history_action", "hospital",       "address",       "contact_name",
        "contact_email", "contact_phone",  "contact_fax",    "comment"};
};

}  // namespace vok::center
