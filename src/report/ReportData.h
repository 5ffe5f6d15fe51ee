#pragma once

#include <string>

#include "core/DiagnosisRecord.h"
#include "report/SiteInfo.h"

namespace vok {

// Everything a report file carries, as the report view holds it after
// reading: both tables (parameters of records 1 to 212 and 1 to 225), the
// date and time texts, the 19 site strings and the console version text.
struct ReportData {
    HtTable m_HtInfo{};
    CmdTable m_CmdInfo{};
    std::string m_strDate;
    std::string m_strTime;
    SiteInfo m_SiteInfo;
    std::string m_strConsoleVersion;
};

}  // namespace vok
