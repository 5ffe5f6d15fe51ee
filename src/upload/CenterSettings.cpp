#include "upload/CenterSettings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/ProfileFile.h"

namespace vok {

namespace {

constexpr std::string_view kSection = "CENTER";
constexpr std::string_view kUrlKey = "URL";
constexpr std::string_view kCaFileKey = "CAFILE";
// Longer than any host name and path a site would write.
constexpr std::size_t kValueSize = 4096;
constexpr std::string_view kCaFileNeedsHttps =
    "--ca-file: the server is reached over plain HTTP, where no certificate is checked; "
    "name it as https://HOST";

// The file must be there to read now: a misspelt name found only at the
// handshake would look like a server that cannot be trusted. Opened
// without blocking, so that a FIFO named by mistake cannot hang.
Status CheckReadable(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return Error{std::generic_category().message(errno)};
    }
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    if (!regular) {
        return Error{"not a regular file"};
    }
    return Done{};
}

}  // namespace

Result<CenterSettings> CenterSettings::Resolve(const std::optional<std::string>& server,
                                               const std::optional<std::string>& caFile,
                                               const std::filesystem::path& configFile) {
    const ProfileFile config = ProfileFile::Load(configFile.string());
    const std::string configName = configFile.string() + " [" + std::string(kSection) + "] ";
    CenterSettings settings;

    const std::string url = config.Get(kSection, kUrlKey, "", kValueSize);
    if (server || !url.empty()) {
        const std::string& text = server ? *server : url;
        Result<UploadServer> parsed = UploadServer::Parse(text);
        if (!parsed) {
            const std::string where =
                server ? "--server " : configName + std::string(kUrlKey) + "=";
            return Error{where + text + ": " + parsed.error()};
        }
        settings.m_server = std::move(parsed).value();
    }

    std::string where;
    if (caFile) {
        if (!settings.m_server.Secure()) {
            return Error{std::string(kCaFileNeedsHttps)};
        }
        std::error_code ec;
        const std::filesystem::path full = std::filesystem::absolute(*caFile, ec);
        settings.m_caFile = ec ? *caFile : full.string();
        where = "--ca-file ";
    } else if (const std::string configured = config.Get(kSection, kCaFileKey, "", kValueSize);
               !configured.empty() && settings.m_server.Secure()) {
        settings.m_caFile = (configFile.parent_path() / configured).string();
        where = configName + std::string(kCaFileKey) + "=";
    }
    if (!settings.m_caFile.empty()) {
        if (const Status readable = CheckReadable(settings.m_caFile); !readable) {
            return Error{where + settings.m_caFile + ": " + readable.error()};
        }
    }
    return settings;
}

ServiceCenterUpload CenterSettings::Client() const {
    ServiceCenterUpload client;
    client.SetServer(m_server);
    client.SetCaFile(m_caFile);
    return client;
}

}  // namespace vok
