#include "center/ReportImporter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace vok::center {

namespace {

namespace fs = std::filesystem;

// Reads at most limit + 1 bytes: enough to know a file is too big without
// holding all of it.
Result<std::string> ReadFile(const std::string& path, std::size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return Error{std::strerror(errno)};
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return Error{"not a regular file"};
    }
    std::string content;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return Error{std::strerror(error)};
        }
        if (n == 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(n));
        if (content.size() > limit) {
            break;
        }
    }
    ::close(fd);
    return content;
}

void Collect(const std::string& given, std::vector<std::string>& files,
             std::vector<ReportImporter::Rejection>& rejected) {
    std::error_code ec;
    const fs::file_status status = fs::status(given, ec);
    if (ec) {
        rejected.push_back({given, ec.message()});
        return;
    }
    if (!fs::is_directory(status)) {
        files.push_back(given);
        return;
    }
    std::vector<std::string> found;
    fs::recursive_directory_iterator it(given, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError)) {
            found.push_back(it->path().string());
        }
    }
    if (ec) {
        rejected.push_back({given, ec.message()});
    }
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
}

}  // namespace

ReportImporter::Summary ReportImporter::Import(CenterService& service,
                                               const std::vector<std::string>& paths,
                                               const Progress& progress) {
    Summary summary;
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        Collect(path, files, summary.rejected);
    }
    // Files go to the store in batches: one commit for many files.
    constexpr std::size_t kBatch = 64;
    for (std::size_t first = 0; first < files.size() && !summary.storeFailed; first += kBatch) {
        if (progress) {
            progress(first, files.size());
        }
        const std::size_t end = std::min(files.size(), first + kBatch);
        std::vector<CenterService::Incoming> batch;
        std::vector<std::size_t> positions;
        for (std::size_t i = first; i < end; ++i) {
            Result<std::string> content = ReadFile(files[i], service.Config().maxReportBytes);
            if (!content) {
                summary.rejected.push_back({files[i], "cannot read: " + content.error()});
                continue;
            }
            batch.push_back({std::move(content).value(), files[i]});
            positions.push_back(i);
        }
        const std::vector<CenterService::Received> received =
            service.ReceiveMany(std::move(batch), "import");
        for (std::size_t k = 0; k < received.size(); ++k) {
            const std::string& path = files[positions[k]];
            if (received[k].stored) {
                ++(received[k].duplicate ? summary.duplicates : summary.stored);
            } else {
                summary.storeFailed =
                    summary.storeFailed || received[k].reason == RejectReason::StoreFailed;
                summary.rejected.push_back({path, received[k].message});
            }
        }
    }
    if (progress) {
        progress(files.size(), files.size());
    }
    return summary;
}

}  // namespace vok::center
