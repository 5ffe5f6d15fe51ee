#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/Result.h"
#include "upload/ServiceCenterUpload.h"
#include "upload/UploadServer.h"

namespace vok {

// Where reports go and which certificates vouch for the server. Each setting
// comes from the command line (--server, --ca-file), else from the optional
// [CENTER] section of the site's CONFIG.ini (URL=, CAFILE=), else it is the
// built-in service center and the system's CA store. A CONFIG.ini without
// the section, or with empty values, changes nothing.
class CenterSettings {
public:
    CenterSettings() = default;  // the built-in service center

    // Reads CONFIG.ini now, as it is, so a site's change counts at the next
    // send. A CAFILE= that is not absolute is taken from CONFIG.ini's folder,
    // a --ca-file from the working folder. Errors name the setting and where
    // it came from: a server that does not parse, a CA file that cannot be
    // read, and a --ca-file for a server reached without HTTPS (which would
    // silently go unchecked).
    static Result<CenterSettings> Resolve(const std::optional<std::string>& server,
                                          const std::optional<std::string>& caFile,
                                          const std::filesystem::path& configFile);

    const UploadServer& Server() const { return m_server; }
    // Empty: the system's CA store. Only used over HTTPS.
    const std::string& CaFile() const { return m_caFile; }

    // A client set up for this server and these certificates.
    ServiceCenterUpload Client() const;

private:
    UploadServer m_server;
    std::string m_caFile;
};

}  // namespace vok
