#pragma once

#include <string>

#include "core/Result.h"
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

    // The same three, for callers that tell the user: a missing file still
    // gives empty fields, but a file that is there and cannot be read (a
    // FIFO, a device, over 64 MiB, no permission) is an error naming it. The
    // plain forms above give empty fields then.
    static Result<SiteInfo> TryLoadSiteInfo(const std::string& path);
    static Result<SiteInfo> TryReadUserForm(const std::string& path);
    static Result<SiteInfo> TryReadServiceForm(const std::string& path);
};

}  // namespace vok
