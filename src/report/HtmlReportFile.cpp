#include "report/HtmlReportFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/AsciiText.h"
#include "platform/AtomicFile.h"
#include "platform/FileDescriptor.h"
#include "report/DefinitionFile.h"
#include "report/HtmlLayout.h"
#include "report/RenderHtml.h"
#include "report/ReportFileReader.h"

namespace vok {

namespace {

constexpr std::string_view kReportExtension = ".VOK";
constexpr std::string_view kHtmlExtension = ".html";

std::string StripFolder(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

Error Refused(const std::string& page, std::string_view why) {
    return Error{"The HTML report " + page + " would replace " + std::string(why) +
                 "; nothing was written"};
}

// Whether a page may go to `page`: when nothing is there, or an empty file or
// a page of ours that is not the report itself (links included: one name of
// the report is as good as another).
Status MayReplace(const std::string& report, const std::string& page) {
    const FileDescriptor file(
        ::open(page.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0) {
        const int error = errno;
        if (error == ENOENT) {
            return Done{};
        }
        if (error == ELOOP) {
            return Refused(page, "a symbolic link");
        }
        return Error{"Cannot check the HTML report " + page +
                     " before replacing it: " + std::generic_category().message(error)};
    }
    struct stat target {};
    if (::fstat(file.get(), &target) != 0) {
        return Error{"Cannot check the HTML report " + page +
                     " before replacing it: " + std::generic_category().message(errno)};
    }
    if (!S_ISREG(target.st_mode)) {
        return Refused(page, "something that is not a file");
    }
    struct stat source {};
    if (::stat(report.c_str(), &source) == 0 && source.st_dev == target.st_dev &&
        source.st_ino == target.st_ino) {
        return Refused(page, "the report file itself");
    }
    char head[kHtmlHeadTitle.size()];
    std::size_t got = 0;
    while (got < sizeof head) {
        const ssize_t n = ::read(file.get(), head + got, sizeof head - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    if (got != 0 && std::string_view(head, got) != kHtmlHeadTitle) {
        return Refused(page, "a file that is not an HTML report");
    }
    return Done{};
}

}  // namespace

std::string HtmlReportFile::HtmlFileName(std::string_view reportName) {
    std::string name;
    name.reserve(reportName.size() + kHtmlExtension.size());
    bool replaced = false;
    std::size_t i = 0;
    while (i < reportName.size()) {
        if (EqualsIgnoreCase(reportName.substr(i, kReportExtension.size()), kReportExtension)) {
            name += kHtmlExtension;
            i += kReportExtension.size();
            replaced = true;
        } else {
            name += reportName[i++];
        }
    }
    if (!replaced) {
        name += kHtmlExtension;
    }
    return name;
}

Result<std::string> HtmlReportFile::RenderReportFile(const std::string& reportPath,
                                                     const std::string& htmlPath,
                                                     const std::string& defineFile) {
    if (Status allowed = MayReplace(reportPath, htmlPath); !allowed) {
        return Error{allowed.error()};
    }
    const Result<ReportData> report = ReportFileReader::Read(reportPath);
    if (!report) {
        return Error{report.error()};
    }
    const Result<DefinitionFile> definitions = DefinitionFile::Open(defineFile);
    if (!definitions) {
        return Error{definitions.error()};
    }
    if (Status written = AtomicFile::Write(htmlPath, RenderHtml(*report, *definitions)); !written) {
        return Error{"Cannot write the HTML report " + htmlPath + ": " + written.error()};
    }
    return htmlPath;
}

Result<std::string> HtmlReportFile::RenderReportFile(const std::string& reportPath,
                                                     const DataFolder& folder) {
    if (Status ready = folder.EnsureReportFolder(); !ready) {
        return Error{ready.error()};
    }
    const std::string htmlPath =
        (folder.ReportFolder() / HtmlFileName(StripFolder(reportPath))).string();
    return RenderReportFile(reportPath, htmlPath, folder.DefineFile().string());
}

}  // namespace vok
