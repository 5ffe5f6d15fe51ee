#pragma once

#include <string>

#include "report/SiteInfo.h"

namespace vok {

// Reads of the site configuration file (CONFIG.ini). Each call reads the file
// as it is at that moment; a missing file or key gives empty strings.
class SiteConfig {
public:
    // All 19 fields.
    static SiteInfo LoadSiteInfo(const std::string& path);

    // The six [USER] values the user form shows; the comment stays empty.
    static SiteInfo ReadUserForm(const std::string& path);

    // The ten [SERVICE] values the service form shows; cause and action stay
    // empty.
    static SiteInfo ReadServiceForm(const std::string& path);
};

}  // namespace vok
