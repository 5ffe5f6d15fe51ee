#include "upload/UploadBody.h"

#include "platform/RegularFile.h"

namespace vok {

namespace {

// The body: prefix head, the path as passed, prefix tail, the file, suffix.
constexpr std::string_view kUploadBodyPrefixHead =
    "\r\n-----------------------------7d13a23b368\r\n"
    "Content-Disposition: form-data; name=\"userfile\"; filename=\"";
constexpr std::string_view kUploadBodyPrefixTail =
    "\"\r\nContent-Type: application/octet-stream\r\n\r\n";
constexpr std::string_view kUploadBodySuffix =
    "\r\n\r\n-----------------------------7d13a23b368--\r\n";
static_assert(kUploadBodyPrefixHead.size() + kUploadBodyPrefixTail.size() == 148);
static_assert(kUploadBodySuffix.size() == 48);
// Report files are tens of kilobytes; anything this big was picked by mistake
// and would only be held in memory whole.
constexpr std::size_t kUploadMaxFileBytes = RegularFile::kMaxBytes;
// Error texts of the upload; the caller shows them after "ERROR : ".
constexpr std::string_view kUploadFileReadError = "Cannot read the report file ";
constexpr std::string_view kUploadFileTooLargeError =
    "it holds more than 64 MiB, too much for a report file";
constexpr std::string_view kUploadPathUnsendableError =
    "Cannot send a report file whose path holds a line break, a double quote or a zero byte";

std::size_t BodySize(std::size_t pathSize, std::size_t fileSize) {
    return kUploadBodyPrefixHead.size() + pathSize + kUploadBodyPrefixTail.size() + fileSize +
           kUploadBodySuffix.size();
}

void AppendPrefix(std::string& body, std::string_view path) {
    body += kUploadBodyPrefixHead;
    body += path;
    body += kUploadBodyPrefixTail;
}

}  // namespace

Result<std::string> UploadBody::Load(const std::string& path) {
    // The path goes into a quoted header line of the part; a line break there
    // would end that header early, a double quote would close the file name
    // and let the rest of the path pose as more parameters, and a zero byte
    // would open another file than the one named.
    if (path.find_first_of(std::string_view("\r\n\"\0", 4)) != std::string::npos) {
        return Error{std::string(kUploadPathUnsendableError)};
    }
    // The program's one bounded read: a FIFO cannot hang it, only a regular
    // file is read, and no more than a report file could ever hold.
    const Result<std::string> file = RegularFile::Read(path, kUploadMaxFileBytes);
    if (!file) {
        const std::string reason = file.error() == RegularFile::TooLargeReason(kUploadMaxFileBytes)
                                       ? std::string(kUploadFileTooLargeError)
                                       : file.error();
        return Error{std::string(kUploadFileReadError) + path + ": " + reason};
    }
    return Compose(path, *file);
}

std::string UploadBody::Compose(std::string_view path, std::string_view file) {
    std::string body;
    body.reserve(BodySize(path.size(), file.size()));
    AppendPrefix(body, path);
    body += file;
    body += kUploadBodySuffix;
    return body;
}

}  // namespace vok
